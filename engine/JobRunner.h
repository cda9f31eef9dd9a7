#pragma once

#include "engine/PipelineContext.h"
#include "platform/WorkerThread.h"

#include <memory>

namespace tavora::engine {

// How long the task waits for each worker of a job, in ms.
inline constexpr uint32_t kWorkerWaitMs = 10000;

// Thread entry points; each binds its own copy of the job's context to the
// thread, runs its stage and returns 0.
unsigned EncodeThreadProc(PipelineContext context);
unsigned ProcessThreadProc(PipelineContext context);

// Creates a stage's thread suspended, stores it in slot and resumes it. The
// stage's flag is raised before the thread runs, so that a consumer (or the
// next job) never sees the stage as finished before it began. Throws when the
// system refuses a thread.
std::shared_ptr<platform::WorkerThread> StartEncoderThread(const PipelineContext& context);
std::shared_ptr<platform::WorkerThread> StartEffectsThread(const PipelineContext& context);

// True while any stage of job still runs on a worker thread.
bool WorkersActive(const CConversionTask& job);

} // namespace tavora::engine
