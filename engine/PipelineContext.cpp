#include "engine/PipelineContext.h"

#include "engine/EngineGlobals.h"
#include "engine/Progress.h"

#include <mutex>
#include <utility>

namespace tavora::engine {

namespace {
thread_local const PipelineContext* t_bound = nullptr;

std::mutex g_currentJobMutex;
std::shared_ptr<CConversionTask> g_currentJob;
} // namespace

ScopedPipelineBinding::ScopedPipelineBinding(const PipelineContext& context) : previous_(t_bound) {
    t_bound = &context;
}

ScopedPipelineBinding::~ScopedPipelineBinding() {
    t_bound = previous_;
}

PipelineContext ContextFor(CConversionTask& job) {
    if (t_bound && t_bound->job.get() == &job)
        return *t_bound;
    PipelineContext context;
    context.job = std::shared_ptr<CConversionTask>(&job, [](CConversionTask*) {});
    context.state = g_convProg;
    context.decodedRing = g_decodedRing;
    context.processedRing = g_processedRing;
    return context;
}

std::shared_ptr<CConversionTask> CurrentJob() {
    std::lock_guard lock(g_currentJobMutex);
    return g_currentJob;
}

void SetCurrentJob(std::shared_ptr<CConversionTask> job) {
    std::shared_ptr<CConversionTask> previous;
    {
        std::lock_guard lock(g_currentJobMutex);
        previous = std::exchange(g_currentJob, std::move(job));
        g_currentTask = g_currentJob.get();
    }
    // previous (if its workers are done) is freed here, outside the lock.
}

void StopWithError(ConversionState& state, const std::string& text) {
    state.Stop();
    PostLog(state, text, LOG_ERROR);
}

} // namespace tavora::engine
