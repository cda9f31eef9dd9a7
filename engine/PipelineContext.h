#pragma once

#include "engine/ConversionState.h"
#include "engine/ConversionTask.h"
#include "engine/RingBuffer.h"

#include <memory>
#include <string>

namespace tavora::engine {

// Everything the stages of one running job touch. The runner builds it once per
// job from the process-wide variables, and every worker thread is created with
// its own copy. A worker left running after the task's bounded wait therefore
// keeps the job, the conversion state and both rings alive until it ends, and
// never reads the process-wide variables again (a later job may change them).
struct PipelineContext {
    std::shared_ptr<CConversionTask> job;
    std::shared_ptr<ConversionState> state;
    std::shared_ptr<SampleRing> decodedRing;
    std::shared_ptr<SampleRing> processedRing;

    bool Complete() const { return job && state && decodedRing && processedRing; }
};

// Binds a context to the calling thread for the guard's lifetime, so that the
// stage operations (which take no arguments) and the effect handlers find it.
class ScopedPipelineBinding {
public:
    explicit ScopedPipelineBinding(const PipelineContext& context);
    ~ScopedPipelineBinding();
    ScopedPipelineBinding(const ScopedPipelineBinding&) = delete;
    ScopedPipelineBinding& operator=(const ScopedPipelineBinding&) = delete;

private:
    const PipelineContext* previous_;
};

// The context bound to this thread when it runs job; otherwise one made from
// the process-wide variables that borrows job (a stage called on its own, whose
// caller keeps job alive until every thread the stage starts has ended).
PipelineContext ContextFor(CConversionTask& job);

// The job most recently started by Run, kept alive (and g_currentTask valid)
// until the next Run replaces it.
std::shared_ptr<CConversionTask> CurrentJob();
void SetCurrentJob(std::shared_ptr<CConversionTask> job);

// Posts an engine error line to the state's window and stops the task.
void StopWithError(ConversionState& state, const std::string& text);

} // namespace tavora::engine
