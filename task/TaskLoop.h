#pragma once

#include "engine/ConversionState.h"

#include <cstdint>
#include <memory>

namespace tavora::task {

struct TaskOptions {
    // Pause before the first job, so that the window is up before work starts.
    uint32_t startDelayMs = 500;
    // Longest wait for each worker of a job once its decoding has ended.
    uint32_t workerWaitMs = 10000;
};

// The task loop, on the conversion task thread: runs state->tasks one after
// another while state->running is set, with a free destination name and a
// created folder for each, and reports through log lines to state->window.
// Posts WM_CONV_FINISHED when it ends without having been stopped. The
// engine's stages report to g_convProg, which must be state by then (StartTask
// sets it before the thread exists).
void ConvertAll(const std::shared_ptr<engine::ConversionState>& state,
                const TaskOptions& options = {});

// Thread entry of the task thread; returns 0.
unsigned ConvertThreadProc(std::shared_ptr<engine::ConversionState> state,
                           TaskOptions options = {});

} // namespace tavora::task
