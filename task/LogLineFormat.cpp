#include "task/LogLineFormat.h"

#include <atomic>
#include <cstdio>

namespace tavora::task {

namespace {
std::atomic<uint32_t> g_logLineCount{0};
} // namespace

uint32_t NextLogLineNumber() {
    return g_logLineCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::string FormatLogNumber(uint32_t number) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%03d ", static_cast<int>(number));
    return buffer;
}

std::string FormatLogTime(const std::tm* local) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", local ? local->tm_hour : -1,
                  local ? local->tm_min : -1, local ? local->tm_sec : -1);
    return buffer;
}

std::string FormatLogTime(std::time_t when) {
    std::tm local{};
    return FormatLogTime(::localtime_r(&when, &local));
}

} // namespace tavora::task
