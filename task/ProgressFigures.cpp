#include "task/ProgressFigures.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace tavora::task {

float LimitPercent(float percent) {
    if (std::isnan(percent))
        return 0.0f;
    return percent > 100.0f ? 100.0f : percent;
}

std::string FormatHMS(double seconds) {
    int whole = 0;
    if (std::isfinite(seconds) && seconds > 0)
        whole = seconds >= double(INT_MAX) ? INT_MAX : static_cast<int>(seconds);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", whole / 3600, whole % 3600 / 60,
                  whole % 60);
    return buffer;
}

std::string FormatPercent(float percent) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%5.2lf%%", static_cast<double>(percent));
    return buffer;
}

std::string FormatSpeed(double speed) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " %5.2fx", speed);
    return buffer;
}

double RemainingSeconds(float percent, double elapsedSeconds) {
    return (100.0 - percent) * elapsedSeconds / percent;
}

} // namespace tavora::task
