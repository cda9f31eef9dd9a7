#include "task/TaskLoop.h"

#include "engine/EngineGlobals.h"
#include "engine/Progress.h"
#include "platform/Files.h"
#include "platform/Ticks.h"
#include "task/AbandonedJobs.h"
#include "task/DirectoryTree.h"
#include "task/TaskMessages.h"
#include "task/TaskTexts.h"
#include "task/UniqueName.h"

#include <string>
#include <vector>

namespace tavora::task {

using engine::CConversionTask;
using engine::ConversionState;
using engine::FormatText;
using engine::LOG_ERROR;
using engine::LOG_INFO;
using engine::PostLog;
using platform::Message;
using platform::TickCount;
using platform::WorkerThread;

namespace {

float SecondsSince(uint32_t startTick) {
    const uint32_t elapsedMs = TickCount() - startTick; // unsigned: right across the wrap
    return static_cast<float>(elapsedMs) / 1000.0f;
}

void PostTitle(ConversionState& state, std::string title) {
    platform::PostMessageTo(state.window, Message(WM_CONV_SET_TITLE, 0, 0,
                                                  std::make_unique<TextPayload>(std::move(title))));
}

void PostPaths(ConversionState& state, const CConversionTask& job) {
    platform::PostMessageTo(
        state.window, Message(WM_CONV_SET_PATHS, 0, 0,
                              std::make_unique<JobPathsPayload>(job.sourcePath, job.destPath)));
}

// Empty rings for the next job. While a worker of an earlier job still runs it
// may still hold the old rings, so the job gets new ones instead.
void PrepareRings() {
    if (!engine::g_decodedRing || !engine::g_processedRing || AbandonedWorkersRunning()) {
        engine::CreateEngineRings();
        return;
    }
    engine::g_decodedRing->Reset();
    engine::g_processedRing->Reset();
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Waits for the effects thread (when the job started one), then the encoder
// thread. False when one of them outlived its wait.
bool WaitForJobWorkers(ConversionState& state, const CConversionTask& job, uint32_t waitMs,
                       std::vector<std::shared_ptr<WorkerThread>>& running) {
    std::shared_ptr<WorkerThread> effects = state.effectsThread.load(std::memory_order_acquire);
    if (job.needsEffects && effects && !effects->Wait(waitMs))
        running.push_back(effects);
    // Read only now: the effects thread is the one that starts the encoder.
    std::shared_ptr<WorkerThread> encoder = state.encoderThread.load(std::memory_order_acquire);
    if (encoder && !encoder->Wait(waitMs))
        running.push_back(encoder);
    return running.empty();
}

} // namespace

void ConvertAll(const std::shared_ptr<ConversionState>& statePtr, const TaskOptions& options) {
    ConversionState& state = *statePtr;
    engine::g_convProg = statePtr; // where the engine's stages report
    const std::string separator(kSeparatorLength, '-');

    platform::SleepMs(options.startDelayMs);
    platform::PostMessageTo(state.window,
                            Message(WM_CONV_START_TIMER, kLogTimerId, kLogTimerPeriodMs));

    const uint32_t taskStart = TickCount();
    state.taskStartTick.store(taskStart, std::memory_order_release);
    state.currentIndex.store(0, std::memory_order_release);
    const int jobCount = static_cast<int>(state.tasks.size());

    for (int index = 0; index < jobCount && state.Running();
         state.currentIndex.store(++index, std::memory_order_release)) {
        PostLog(state, separator, LOG_INFO);
        const uint32_t jobStart = TickCount();
        PostTitle(state, FormatText(kTitleFormat, index + 1, jobCount));

        // The job runs from a copy, held so that it can outlive this iteration
        // when a worker does.
        auto job = std::make_shared<CConversionTask>(state.tasks[static_cast<size_t>(index)]);
        const std::string folder = FolderOf(job->destPath);
        if (!platform::FolderExists(folder) && !CreateDirectoryTree(folder)) {
            PostLog(state, FormatText(kFolderErrorFormat, folder.c_str()), LOG_ERROR);
            state.Stop();
            break;
        }
        if (platform::FileExists(job->destPath))
            job->destPath = MakeUniqueName(job->destPath);

        PostPaths(state, *job);
        PostLog(state, kStartJobText, LOG_INFO);
        PostLog(state, FormatText(kSourceFormat, job->sourcePath.c_str()), LOG_INFO);
        PostLog(state, FormatText(kDestinationFormat, job->destPath.c_str()), LOG_INFO);

        state.ResetFileCounters();
        state.fileStartTick.store(TickCount(), std::memory_order_release);
        PrepareRings();
        // Only threads started for this job are waited for.
        state.effectsThread.store(nullptr, std::memory_order_release);
        state.encoderThread.store(nullptr, std::memory_order_release);

        if (job->Run() == 0)
            state.Stop();

        std::vector<std::shared_ptr<WorkerThread>> stillRunning;
        if (!WaitForJobWorkers(state, *job, options.workerWaitMs, stillRunning)) {
            // An unfinished file must not be reported as converted, and no
            // further job may share the rings with a worker that still runs.
            state.Stop();
            KeepUntilFinished(job, std::move(stillRunning));
        }

        if (state.Running()) {
            const float elapsed = SecondsSince(jobStart);
            const float speed = state.fileSeconds.load(std::memory_order_acquire) / elapsed;
            PostLog(state, FormatText(kJobTimeFormat, elapsed, speed), LOG_INFO);
            PostLog(state, kStatusOkText, LOG_INFO);
        } else {
            PostLog(state, kStatusErrorText, LOG_ERROR);
        }
    }

    if (!state.Running())
        return; // stopped: no totals, no finish
    if (jobCount > 1) {
        PostLog(state, separator, LOG_INFO);
        const float total = SecondsSince(taskStart);
        const float speed = state.overallSeconds.load(std::memory_order_acquire) / total;
        PostLog(state, FormatText(kTotalTimeFormat, total, speed), LOG_INFO);
    }
    engine::PostFinished(state);
}

unsigned ConvertThreadProc(std::shared_ptr<ConversionState> state, TaskOptions options) {
    ConvertAll(state, options);
    return 0;
}

} // namespace tavora::task
