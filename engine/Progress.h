#pragma once

#include "engine/ConversionState.h"
#include "platform/Message.h"

#include <string>

namespace tavora::engine {

inline constexpr uint32_t WM_CONV_PROGRESS = platform::WM_USER + 100;
inline constexpr uint32_t WM_CONV_LOG = platform::WM_USER + 101;
inline constexpr uint32_t WM_CONV_FINISHED = platform::WM_USER + 105;

enum LogLevel : int { LOG_INFO = 0, LOG_ERROR = 2 };

// WM_CONV_PROGRESS payload: the percentages of the current job and of the task.
struct ProgressPayload : platform::MessagePayload {
    ProgressPayload(float c, float o) : current(c), overall(o) {}
    float current;
    float overall;
};

// WM_CONV_LOG payload: one line of text; the level travels in lParam.
struct LogPayload : platform::MessagePayload {
    explicit LogPayload(std::string t) : text(std::move(t)) {}
    std::string text;
};

// Percentages in double precision, rounded to float; a total of 0 gives a
// number that is not finite, which stops nothing.
float OverallPercent(const ConversionState& state);
float CurrentPercent(const ConversionState& state, uint64_t jobTotalSamples);

// printf-style formatting into text.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reports the percentages to the state's window: sent (waiting until it was
// handled, or until the task stops or the window goes) when synchronous, posted otherwise.
bool PostProgress(ConversionState& state, float current, float overall, bool synchronous);
// Posts one log line to the state's window.
bool PostLog(ConversionState& state, const std::string& text, int level);
// Posts WM_CONV_FINISHED.
bool PostFinished(ConversionState& state);

// The same, addressed to g_convProg (false when there is none).
bool PostProgress(float current, float overall, bool synchronous);
bool PostLog(const std::string& text, int level);

} // namespace tavora::engine
