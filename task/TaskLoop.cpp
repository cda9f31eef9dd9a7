#include "task/TaskLoop.h"

#include "engine/EngineGlobals.h"
#include "engine/Progress.h"
#include "platform/Files.h"
#include "platform/Ticks.h"
#include "task/DirectoryTree.h"
#include "task/TaskMessages.h"
#include "task/TaskTexts.h"
#include "task/UniqueName.h"

#include <string>

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

// Empty rings for the next job. A worker of an earlier job that outlived its
// wait still holds its rings; such a ring is replaced rather than reset under it.
void PrepareRing(std::shared_ptr<engine::SampleRing>& ring) {
    if (ring && ring.use_count() == 1)
        ring->Reset();
    else
        ring = std::make_shared<engine::SampleRing>(engine::kRingSamples);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Waits for the effects thread (when the job started one), then the encoder
// thread. False when one of them outlived its wait.
bool WaitForJobWorkers(ConversionState& state, const CConversionTask& job, uint32_t waitMs) {
    std::shared_ptr<WorkerThread> effects = state.effectsThread.load(std::memory_order_acquire);
    const bool effectsEnded = !job.needsEffects || !effects || effects->Wait(waitMs);
    // Read only now: the effects thread is the one that starts the encoder.
    std::shared_ptr<WorkerThread> encoder = state.encoderThread.load(std::memory_order_acquire);
    const bool encoderEnded = !encoder || encoder->Wait(waitMs);
    return effectsEnded && encoderEnded;
}

} // namespace

void ConvertAll(const std::shared_ptr<ConversionState>& statePtr, const TaskOptions& options) {
    ConversionState& state = *statePtr;
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

        CConversionTask job = state.tasks[static_cast<size_t>(index)];
        const std::string folder = FolderOf(job.destPath);
        if (!platform::FolderExists(folder) && !CreateDirectoryTree(folder)) {
            PostLog(state, FormatText(kFolderErrorFormat, folder.c_str()), LOG_ERROR);
            state.Stop();
            break;
        }
        if (platform::FileExists(job.destPath))
            job.destPath = MakeUniqueName(job.destPath);

        PostPaths(state, job);
        PostLog(state, kStartJobText, LOG_INFO);
        PostLog(state, FormatText(kSourceFormat, job.sourcePath.c_str()), LOG_INFO);
        PostLog(state, FormatText(kDestinationFormat, job.destPath.c_str()), LOG_INFO);

        // Settling the folder and the name can take long on a slow drive. A
        // task stopped meanwhile runs nothing more: its thread may have been
        // given up by then, and must not touch the rings, or run its job on
        // the conversion state of a task started since.
        if (state.Running()) {
            state.ResetFileCounters();
            state.fileStartTick.store(TickCount(), std::memory_order_release);
            PrepareRing(engine::g_decodedRing);
            PrepareRing(engine::g_processedRing);

            // Run empties both thread slots first, so only this job's threads are waited for.
            if (job.Run() == 0)
                state.Stop();

            if (!WaitForJobWorkers(state, job, options.workerWaitMs)) {
                // Its file is unfinished: not a converted file, and the end of the task.
                state.Stop();
            }
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
