// Pause, cancel, progress reports and the lifetime of workers left running.
#include "tests/engine/EngineHarness.h"
#include "tests/engine/Mp3Expect.h"
#include "tests/support/OggFixture.h"

#include "engine/EngineGlobals.h"
#include "engine/JobRunner.h"
#include "engine/PipelineContext.h"
#include "platform/Files.h"
#include "platform/Ticks.h"

#include <gtest/gtest.h>

#include <thread>

using namespace tavora;
using namespace tavora::testing;
using namespace tavora::engine;

namespace {

OggSpec Seconds(double seconds) {
    OggSpec spec;
    spec.seconds = seconds;
    return spec;
}

struct Control : ::testing::Test {
    TempFolder dir;
    std::string source = dir / "in.ogg", dest = dir / "out.mp3";
};

TEST_F(Control, CancelKeepsTheFileWrittenSoFarFlushedAndTagged) {
    const OggSpec spec = Seconds(30);
    ASSERT_TRUE(WriteOgg(source, spec));
    EngineHarness h;
    bool cancelled = false;
    const auto outcome = h.Convert(MakeJob(source, dest), [&] {
        // Hold the encoder the moment it has written something, then cancel.
        if (!cancelled && h.state->fileDone.load() > 0) {
            h.state->paused = 1;
            platform::SleepMs(150);
            h.state->Stop();
            h.state->paused = 0;
            cancelled = true;
        }
    });
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(outcome.result, 1); // the decoder was stopped, it did not fail
    EXPECT_FALSE(outcome.running);
    EXPECT_TRUE(outcome.workersEnded);
    EXPECT_TRUE(h.Errors().empty());
    const Mp3Report r = InspectMp3(dest);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.hasInfoFrame);
    EXPECT_GT(r.encoderDelay, 0); // the tag was finished, not just reserved
    EXPECT_GT(r.frames, 0u);
    EXPECT_LT(r.frames, FramesOf(spec) / 2);
}

TEST_F(Control, PauseHoldsTheEncoderAndResumeFinishesTheFile) {
    const OggSpec spec = Seconds(3);
    ASSERT_TRUE(WriteOgg(source, spec));
    EngineHarness h;
    h.state->paused = 1;
    uint32_t start = 0;
    size_t reportsWhilePaused = 0;
    const auto outcome = h.Convert(MakeJob(source, dest), [&] {
        if (!start)
            start = platform::TickCount();
        if (h.state->Paused() && platform::TickCount() - start > 400) {
            EXPECT_EQ(h.state->fileDone.load(), 0u);
            reportsWhilePaused = h.progress.size();
            h.state->paused = 0;
        }
    });
    EXPECT_EQ(reportsWhilePaused, 0u);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.running);
    EXPECT_TRUE(IsMp3(dest, 44100, 2, 128, FramesOf(spec)));
}

TEST_F(Control, PausingMidFileStopsReadingWithin100Ms) {
    ASSERT_TRUE(WriteOgg(source, Seconds(30)));
    EngineHarness h;
    uint64_t atPause = 0, later = 0;
    const auto outcome = h.Convert(MakeJob(source, dest), [&] {
        if (!atPause && h.state->fileDone.load() > 0) {
            h.state->paused = 1;
            platform::SleepMs(150);
            atPause = h.state->fileDone.load();
            platform::SleepMs(300);
            later = h.state->fileDone.load();
            h.state->Stop();
            h.state->paused = 0;
        }
    });
    EXPECT_GT(atPause, 0u);
    EXPECT_EQ(later, atPause);
    EXPECT_TRUE(outcome.workersEnded);
}

TEST_F(Control, ProgressIsReportedAtMostEvery100Ms) {
    ASSERT_TRUE(WriteOgg(source, Seconds(20)));
    EngineHarness h;
    const uint32_t start = platform::TickCount();
    const auto outcome = h.Convert(MakeJob(source, dest));
    const uint32_t elapsed = platform::TickCount() - start;
    EXPECT_EQ(outcome.result, 1);
    // The asynchronous reports plus the final synchronous one.
    EXPECT_LE(h.progress.size(), elapsed / 100 + 2);
    EXPECT_GE(h.progress.size(), 1u);
    for (size_t i = 1; i < h.progress.size(); ++i)
        EXPECT_GE(h.progress[i].first, h.progress[i - 1].first);
}

// A cancel can land after the task loop's last look at running and before
// the next job's Run: that job was never begun, so it starts no worker,
// creates no file and reports nothing (not even a source that is missing).
TEST_F(Control, AJobRunAfterTheTaskStoppedStartsNothing) {
    ASSERT_TRUE(WriteOgg(source, Seconds(1)));
    EngineHarness h;
    for (const std::string& from : {source, dir / "missing.ogg"}) {
        SCOPED_TRACE(from);
        CConversionTask job = MakeJob(source, dest);
        job.sourcePath = from;
        h.state->Stop();
        int result = -1;
        std::thread task([&] { result = job.Run(); });
        task.join();
        EXPECT_EQ(result, 1); // stopped, not failed
        EXPECT_FALSE(job.Decoding());
        EXPECT_EQ(h.state->effectsThread.load(), nullptr);
        EXPECT_EQ(h.state->encoderThread.load(), nullptr);
        EXPECT_TRUE(WaitForIdleEngine(2000));
        EXPECT_FALSE(platform::FileExists(dest));
        h.Pump(0);
        EXPECT_TRUE(h.log.empty()) << h.log.front().text;
    }
}

// The encoder's final report waits for the window; a window that never
// answers must not hold the encoder once the task is stopped.
TEST_F(Control, TheFinalSynchronousReportGivesUpWhenTheTaskStops) {
    ASSERT_TRUE(WriteOgg(source, Seconds(1)));
    EngineHarness h;
    h.window->SetHandler({}); // nobody looks at the window...
    h.state->running = 1;
    h.state->overallTotal = 1;
    CConversionTask job = MakeJob(source, dest);
    g_decodedRing->Reset();
    g_processedRing->Reset();
    std::thread task([&] { job.Run(); }); // ...and nobody pumps it
    task.join();
    auto effects = h.state->effectsThread.load();
    ASSERT_TRUE(effects && effects->Wait(kWorkerWaitMs));
    const auto encoder = h.state->encoderThread.load();
    ASSERT_TRUE(encoder);
    // Its input has ended: the encoder finishes the file, then waits in its report.
    EXPECT_FALSE(encoder->Wait(1000));
    h.state->Stop();
    EXPECT_TRUE(encoder->Wait(2000));
    EXPECT_TRUE(IsMp3(dest, 44100, 2, 128, FramesOf(Seconds(1))));
}

// A worker that outlives the task's wait keeps everything it touches alive:
// here the job copy, the conversion state, the rings and the window all go
// while the encoder is still paused, and it still finishes its file.
TEST_F(Control, AnAbandonedWorkerOwnsWhatItTouches) {
    const OggSpec spec = Seconds(2);
    ASSERT_TRUE(WriteOgg(source, spec));
    platform::ScopedMessageResponder boxes;
    auto state = std::make_shared<ConversionState>();
    auto window = std::make_shared<platform::QueueMessageTarget>();
    state->window = window;
    state->running = 1;
    state->paused = 1;
    g_convProg = state;
    CreateEngineRings();
    std::shared_ptr<platform::WorkerThread> encoder;
    {
        CConversionTask job = MakeJob(source, dest);
        std::thread task([&] { job.Run(); });
        task.join();
        auto effects = state->effectsThread.load();
        ASSERT_TRUE(effects);
        ASSERT_TRUE(effects->Wait(kWorkerWaitMs)); // the whole file fits the rings
        encoder = state->encoderThread.exchange(nullptr);
        ASSERT_TRUE(encoder);
        EXPECT_FALSE(encoder->Wait(100)); // paused: this is where the task gives up
    }                                     // the task's copy of the job is gone
    const std::weak_ptr<ConversionState> stateLeft = state;
    const std::weak_ptr<SampleRing> ringLeft = g_processedRing;
    state->effectsThread.store(nullptr);
    window.reset();
    g_convProg.reset();
    DeleteEngineRings();
    state->paused = 0; // the last word from outside
    state.reset();

    ASSERT_TRUE(encoder->Wait(20000));
    encoder.reset();
    EXPECT_TRUE(stateLeft.expired());
    EXPECT_TRUE(ringLeft.expired());
    EXPECT_TRUE(IsMp3(dest, 44100, 2, 128, FramesOf(spec)));
}

// The next job does not start while a worker of the last one still drains its
// ring, so no ring ever has two consumers and no file gets another's samples.
TEST_F(Control, TheNextJobWaitsForAWorkerLeftRunning) {
    const OggSpec first = Seconds(2), second = Seconds(1);
    ASSERT_TRUE(WriteOgg(source, first));
    ASSERT_TRUE(WriteOgg(dir / "second.ogg", second));
    EngineHarness h;
    h.state->paused = 1;
    h.state->running = 1;
    g_decodedRing->Reset();
    g_processedRing->Reset();
    {
        CConversionTask job = MakeJob(source, dest);
        std::thread task([&] { job.Run(); });
        task.join();
    }
    auto effects = h.state->effectsThread.load();
    ASSERT_TRUE(effects && effects->Wait(kWorkerWaitMs));
    ASSERT_TRUE(CurrentJob() && WorkersActive(*CurrentJob()));
    uint32_t start = 0;
    const auto outcome = h.Convert(
        MakeJob(dir / "second.ogg", dir / "second.mp3"),
        [&] {
            if (!start)
                start = platform::TickCount();
            if (h.state->Paused() && platform::TickCount() - start > 300)
                h.state->paused = 0;
        },
        false);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.running);
    EXPECT_TRUE(h.Errors().empty());
    EXPECT_TRUE(IsMp3(dest, 44100, 2, 128, FramesOf(first)));
    EXPECT_TRUE(IsMp3(dir / "second.mp3", 44100, 2, 128, FramesOf(second)));
}

} // namespace
