#pragma once

#include "engine/ConversionState.h"
#include "task/TaskLoop.h"

#include <cstdint>
#include <memory>

namespace tavora::task {

// Starts a task whose jobs and overall total are built: makes state the
// engine's conversion state (g_convProg), clears the pause flag, the counters
// and the job index, creates the rings when there are none, sets running and
// starts the task thread (created suspended, stored in state->taskThread, then
// resumed). False, with running clear, when no thread can be created.
bool StartTask(const std::shared_ptr<engine::ConversionState>& state,
               const TaskOptions& options = {});

// For a confirmed cancel, after running was cleared: waits for the current
// job's effects thread, its encoder thread and the task thread, each for at
// most eachMs. True when all of them have ended; the others are left to end
// on their own.
bool WaitForTaskThreads(engine::ConversionState& state, uint32_t eachMs);

// Whether a worker of the current job (effects or encoder thread) still runs.
bool JobWorkersRunning(const engine::ConversionState& state);

} // namespace tavora::task
