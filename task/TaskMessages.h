#pragma once

#include "platform/Message.h"

#include <string>

namespace tavora::task {

// Window updates the task thread asks for; they join the engine's
// WM_CONV_PROGRESS, WM_CONV_LOG and WM_CONV_FINISHED in the same queue, so
// they arrive in the order they were posted.

// Start a window timer: wParam = timer id, lParam = period in ms.
inline constexpr uint32_t WM_CONV_START_TIMER = platform::WM_USER + 102;
// Set the window title to the TextPayload.
inline constexpr uint32_t WM_CONV_SET_TITLE = platform::WM_USER + 103;
// Show the current job's paths (JobPathsPayload).
inline constexpr uint32_t WM_CONV_SET_PATHS = platform::WM_USER + 104;

inline constexpr uintptr_t kLogTimerId = 1;
inline constexpr intptr_t kLogTimerPeriodMs = 1000;

struct TextPayload : platform::MessagePayload {
    explicit TextPayload(std::string t) : text(std::move(t)) {}
    std::string text;
};

struct JobPathsPayload : platform::MessagePayload {
    JobPathsPayload(std::string s, std::string d)
        : source(std::move(s)), destination(std::move(d)) {}
    std::string source;
    std::string destination;
};

} // namespace tavora::task
