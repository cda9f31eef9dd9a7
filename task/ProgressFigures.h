#pragma once

#include <string>

namespace tavora::task {

// The figures the progress window (and the command-line converter) shows.

// At most 100 (an estimate that was exceeded); a value that is not a number,
// as from a total of 0, shows as 0.
float LimitPercent(float percent);

// "%02d:%02d:%02d" of whole seconds; negative or unbounded values show as 0.
std::string FormatHMS(double seconds);
// "%5.2lf%%", e.g. " 5.25%", "100.00%".
std::string FormatPercent(float percent);
// " %5.2fx" (with a leading blank).
std::string FormatSpeed(double speed);

// Seconds still to go at percent after elapsed seconds; only for percent > 0.
double RemainingSeconds(float percent, double elapsedSeconds);

} // namespace tavora::task
