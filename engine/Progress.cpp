#include "engine/Progress.h"

#include "engine/EngineGlobals.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace tavora::engine {

using platform::Message;

float OverallPercent(const ConversionState& state) {
    const double done = static_cast<double>(state.overallDone.load(std::memory_order_acquire));
    const double total = static_cast<double>(state.overallTotal.load(std::memory_order_acquire));
    return static_cast<float>(done * 100.0 / total);
}

float CurrentPercent(const ConversionState& state, uint64_t jobTotalSamples) {
    const double done = static_cast<double>(state.fileDone.load(std::memory_order_acquire));
    return static_cast<float>(done * 100.0 / static_cast<double>(jobTotalSamples));
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (needed > 0) {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        text.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(again);
    return text;
}

bool PostProgress(ConversionState& state, float current, float overall, bool synchronous) {
    Message msg(WM_CONV_PROGRESS, 0, 0, std::make_unique<ProgressPayload>(current, overall));
    if (!synchronous)
        return platform::PostMessageTo(state.window, std::move(msg));
    return platform::SendMessageTo(state.window, std::move(msg),
                                   [&state] { return state.Running(); });
}

bool PostLog(ConversionState& state, const std::string& text, int level) {
    return platform::PostMessageTo(
        state.window, Message(WM_CONV_LOG, 0, level, std::make_unique<LogPayload>(text)));
}

bool PostFinished(ConversionState& state) {
    return platform::PostMessageTo(state.window, Message(WM_CONV_FINISHED));
}

bool PostProgress(float current, float overall, bool synchronous) {
    auto state = g_convProg;
    return state && PostProgress(*state, current, overall, synchronous);
}

bool PostLog(const std::string& text, int level) {
    auto state = g_convProg;
    return state && PostLog(*state, text, level);
}

} // namespace tavora::engine
