// The job runner: CConversionTask::Run, CheckSource and EncodeGuarded, and
// the worker threads of a job.
//
// Lifetime: the task runs each job from a copy that dies when its loop
// iteration ends, while a worker that outlived its bounded wait keeps running.
// Run therefore runs the pipeline on a heap copy of the job, shared by the
// task thread and the workers (PipelineContext), and every worker holds its own
// shared_ptrs to that copy, the conversion state and both rings. The copy also
// stays current (g_currentTask) until the next Run.
#include "engine/JobRunner.h"

#include "engine/EngineGlobals.h"
#include "engine/Progress.h"
#include "platform/Files.h"
#include "platform/Ticks.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace tavora::engine {

namespace {

std::shared_ptr<platform::WorkerThread> StartWorker(ThreadSlot& slot, std::atomic<int32_t>& flag,
                                                    platform::WorkerThread::Body body) {
    auto thread = platform::WorkerThread::CreateSuspended(std::move(body));
    if (!thread)
        throw std::runtime_error("the system refused a worker thread");
    flag.store(1, std::memory_order_release);
    slot.store(thread, std::memory_order_release);
    thread->Resume();
    return thread;
}

// A worker of an earlier job that outlived the task's bounded wait (a long
// pause, for instance) still reads its ring. The new job waits for it, so that
// no ring ever gets a second consumer or producer. Gives up when the task stops.
void WaitForEarlierWorkers(const ConversionState& state) {
    const auto earlier = CurrentJob();
    while (earlier && WorkersActive(*earlier) && state.Running())
        platform::SleepMs(1);
}

} // namespace

bool WorkersActive(const CConversionTask& job) {
    return job.Encoding() || job.Processing();
}

unsigned EncodeThreadProc(PipelineContext context) {
    ScopedPipelineBinding binding(context);
    context.job->EncodeGuarded();
    return 0;
}

unsigned ProcessThreadProc(PipelineContext context) {
    ScopedPipelineBinding binding(context);
    context.job->Process();
    return 0;
}

std::shared_ptr<platform::WorkerThread> StartEncoderThread(const PipelineContext& context) {
    return StartWorker(context.state->encoderThread, context.job->encoding,
                       [context] { return EncodeThreadProc(context); });
}

std::shared_ptr<platform::WorkerThread> StartEffectsThread(const PipelineContext& context) {
    return StartWorker(context.state->effectsThread, context.job->processing,
                       [context] { return ProcessThreadProc(context); });
}

bool CConversionTask::CheckSource(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::string reason = platform::ErrorText(errno);
        if (reason.size() > 1024)
            reason.resize(1024);
        PostLog(FormatText("File Error: %s", reason.c_str()), LOG_ERROR);
        return false;
    }
    std::fclose(file);
    return true;
}

int CConversionTask::Run() {
    PipelineContext context;
    context.state = g_convProg;
    context.decodedRing = g_decodedRing;
    context.processedRing = g_processedRing;
    if (!context.state)
        return 0; // nobody to report to, and no running flag to honour
    ConversionState& state = *context.state;

    decoding.store(1, std::memory_order_release);
    state.effectsThread.store(nullptr, std::memory_order_release);
    // Only this job's threads are waited for after Run.
    state.encoderThread.store(nullptr, std::memory_order_release);

    auto finish = [this](int result) {
        decoding.store(0, std::memory_order_release);
        return result;
    };

    WaitForEarlierWorkers(state);
    // A task stopped before this job began (a cancel just after the task
    // loop's last look at running) starts nothing: no worker, no file, no
    // line. Like a decoder that was stopped, that is no failure.
    if (!state.Running())
        return finish(1);

    context.job = std::make_shared<CConversionTask>(*this);
    CConversionTask& job = *context.job;
    SetCurrentJob(context.job);

    if (!CheckSource(sourcePath)) {
        state.Stop();
        job.decoding.store(0, std::memory_order_release);
        return finish(0);
    }

    int result;
    try {
        if (!context.decodedRing || !context.processedRing)
            throw std::logic_error("the sample rings do not exist");
        if (targetChannels < 1 || targetChannels > 2 || targetRate == 0)
            throw std::invalid_argument("no MP3 output format");
        if (needsEffects) {
            job.encoderInput = context.processedRing.get();
            encoderInput = job.encoderInput;
            StartEffectsThread(context);
        } else {
            // Without the effects stage the decoded samples are encoded as
            // they are, so they must already be in the target format.
            if (sourceChannels != targetChannels || sourceRate != targetRate)
                throw std::invalid_argument("the source is not in the target format");
            job.encoderInput = context.decodedRing.get();
            encoderInput = job.encoderInput;
            StartEncoderThread(context);
        }
        ScopedPipelineBinding binding(context);
        result = job.Decode();
    } catch (...) {
        StopWithError(state, FormatText("An error occurred while decoding %s", sourcePath.c_str()));
        result = 0;
    }
    job.decoding.store(0, std::memory_order_release);
    return finish(result);
}

int CConversionTask::EncodeGuarded() {
    const PipelineContext context = ContextFor(*this);
    encoding.store(1, std::memory_order_release);
    int result;
    try {
        result = Encode();
    } catch (...) {
        if (context.state)
            StopWithError(*context.state,
                          FormatText("An error occurred while encoding %s", destPath.c_str()));
        result = 0;
    }
    encoding.store(0, std::memory_order_release);
    return result;
}

} // namespace tavora::engine
