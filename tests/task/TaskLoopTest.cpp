#include "engine/Progress.h"
#include "platform/Files.h"
#include "platform/Ticks.h"
#include "task/TaskMessages.h"
#include "task/TaskStarter.h"
#include "task/TaskTexts.h"
#include "tests/support/Mp3Analysis.h"
#include "tests/support/OggFixture.h"
#include "tests/task/TaskHarness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace tavora;
namespace fx = tavora::testing;
using engine::LOG_ERROR;
using engine::LOG_INFO;
using fx::OggSpec;
using fx::TaskHarness;
using fx::TempFolder;

namespace {

const std::string kSeparator(99, '-');

// Whether text is format (two "%.2f" figures) filled with some figures.
bool MatchesFigures(const std::string& text, const char* format, const char* scanFormat) {
    double a = 0, b = 0;
    int end = -1;
    if (std::sscanf(text.c_str(), scanFormat, &a, &b, &end) != 2 || end != int(text.size()))
        return false;
    return engine::FormatText(format, a, b) == text;
}
bool IsJobTime(const std::string& text) {
    return MatchesFigures(text, task::kJobTimeFormat, "Time elapsed %lf secs, speed %lfx.%n");
}
bool IsTotalTime(const std::string& text) {
    return MatchesFigures(text, task::kTotalTimeFormat,
                          "Total time elapsed %lf secs, overall speed %lfx.%n");
}

std::string WriteSource(const TempFolder& dir, const std::string& name, OggSpec spec) {
    const std::string path = dir / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_TRUE(fx::WriteOgg(path, spec)) << path;
    return path;
}

// The lines of one job that converted, from the separator to the status.
void ExpectConvertedJob(const TaskHarness& h, size_t first, const std::string& source,
                        const std::string& destination) {
    ASSERT_GE(h.log.size(), first + 6);
    EXPECT_EQ(h.log[first].text, kSeparator);
    EXPECT_EQ(h.log[first + 1].text, task::kStartJobText);
    EXPECT_EQ(h.log[first + 2].text, "Source:  " + source + ".");
    EXPECT_EQ(h.log[first + 3].text, "Destination: " + destination + ".");
    EXPECT_TRUE(IsJobTime(h.log[first + 4].text)) << h.log[first + 4].text;
    EXPECT_EQ(h.log[first + 5].text, task::kStatusOkText);
    for (size_t i = first; i < first + 6; ++i)
        EXPECT_EQ(h.log[i].level, LOG_INFO) << h.log[i].text;
}

void ExpectMp3(const std::string& path, long rate, int channels, double seconds) {
    const fx::Mp3Report mp3 = fx::InspectMp3(path);
    ASSERT_TRUE(mp3.ok) << path << ": " << mp3.error;
    EXPECT_EQ(mp3.rate, rate);
    EXPECT_EQ(mp3.channels, channels);
    EXPECT_NEAR(static_cast<double>(mp3.frames) / rate, seconds, 0.06) << path;
    ASSERT_FALSE(mp3.bitratesKbps.empty());
    for (int kbps : mp3.bitratesKbps)
        ASSERT_EQ(kbps, 128);
}

} // namespace

TEST(ConvertAll, SingleJobLogsItsLinesThenFinishes) {
    TempFolder dir;
    const std::string source = WriteSource(dir, "in/a.ogg", {44100, 2, 2.0});
    TaskHarness h;
    ASSERT_EQ(h.Build({source}, dir / "out/"), 1u);
    h.Run();

    EXPECT_EQ(h.boxes->Count(), 0u);
    ASSERT_EQ(h.log.size(), 6u) << "no separator or total after a single job";
    ExpectConvertedJob(h, 0, source, dir / "out/a.mp3");
    EXPECT_EQ(h.finishedCount, 1);
    EXPECT_EQ(h.ids.front(), task::WM_CONV_START_TIMER);
    EXPECT_EQ(h.ids.back(), engine::WM_CONV_FINISHED);
    EXPECT_EQ(h.titles, std::vector<std::string>{"Converting 1/1"});
    EXPECT_EQ(h.destinations, std::vector<std::string>{dir / "out/a.mp3"});
    EXPECT_GT(h.progressCount, 0);
    EXPECT_TRUE(h.state->Running()) << "only the window's finish handler clears it";
    EXPECT_EQ(h.state->currentIndex.load(), 1);
    EXPECT_EQ(h.state->overallDone.load(), h.state->fileDone.load());
    EXPECT_NEAR(h.state->overallSeconds.load(), 2.0, 0.05);

    ExpectMp3(dir / "out/a.mp3", 44100, 2, 2.0);
}

TEST(ConvertAll, SameNamesFromTwoFoldersGetDistinctFilesAndTotals) {
    TempFolder dir;
    const std::string first = WriteSource(dir, "ä b/Sång ö.ogg", {44100, 1, 1.0});
    const std::string second = WriteSource(dir, "c d/Sång ö.ogg", {48000, 2, 1.5});
    TaskHarness h;
    ASSERT_EQ(h.Build({first, second}, dir / "out/"), 2u);
    h.Run();

    ASSERT_EQ(h.log.size(), 14u);
    ExpectConvertedJob(h, 0, first, dir / "out/Sång ö.mp3");
    ExpectConvertedJob(h, 6, second, dir / "out/Sång ö (2).mp3");
    EXPECT_EQ(h.log[12].text, kSeparator);
    EXPECT_TRUE(IsTotalTime(h.log[13].text)) << h.log[13].text;
    EXPECT_EQ(h.finishedCount, 1);
    EXPECT_EQ(h.ids.back(), engine::WM_CONV_FINISHED);
    EXPECT_EQ(h.titles, (std::vector<std::string>{"Converting 1/2", "Converting 2/2"}));
    EXPECT_NEAR(h.state->overallSeconds.load(), 2.5, 0.05);

    ExpectMp3(dir / "out/Sång ö.mp3", 44100, 1, 1.0);
    ExpectMp3(dir / "out/Sång ö (2).mp3", 44100, 2, 1.5); // 48 kHz resampled
}

TEST(ConvertAll, ExistingFilesAreNeverOverwritten) {
    TempFolder dir;
    const std::string source = WriteSource(dir, "in/song.ogg", {22050, 2, 1.0});
    std::filesystem::create_directories(dir / "out/song (2).mp3"); // a folder takes a name too
    ASSERT_TRUE(fx::WriteText(dir / "out/song.mp3", "precious"));
    TaskHarness h;
    ASSERT_EQ(h.Build({source}, dir / "out/"), 1u);
    h.Run();

    EXPECT_EQ(h.finishedCount, 1);
    EXPECT_EQ(h.destinations, std::vector<std::string>{dir / "out/song (3).mp3"});
    const auto kept = fx::ReadBytes(dir / "out/song.mp3");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "precious");
    EXPECT_TRUE(platform::FolderExists(dir / "out/song (2).mp3"));
    ExpectMp3(dir / "out/song (3).mp3", 22050, 2, 1.0);
}

TEST(ConvertAll, DeletedOutputFolderIsCreatedAgain) {
    TempFolder dir;
    const std::string source = WriteSource(dir, "a.ogg", {44100, 1, 0.5});
    TaskHarness h;
    ASSERT_EQ(h.Build({source}, dir / "out/x/y/"), 1u);
    ASSERT_TRUE(platform::FolderExists(dir / "out/x/y"));
    std::filesystem::remove_all(dir / "out");
    h.Run();

    EXPECT_EQ(h.finishedCount, 1);
    ExpectMp3(dir / "out/x/y/a.mp3", 44100, 1, 0.5);
}

TEST(ConvertAll, FolderThatCannotBeCreatedEndsTheTask) {
    TempFolder dir;
    const std::string a = WriteSource(dir, "a.ogg", {44100, 1, 0.5});
    const std::string b = WriteSource(dir, "b.ogg", {44100, 1, 0.5});
    ASSERT_TRUE(fx::WriteText(dir / "file", "a regular file"));
    TaskHarness h;
    ASSERT_EQ(h.Build({a, b}, dir / "file/sub/"), 2u);
    h.Run();

    ASSERT_EQ(h.log.size(), 2u) << "no status line for the job";
    EXPECT_EQ(h.log[0].text, kSeparator);
    EXPECT_EQ(h.log[1].text, "Fail to create folder " + dir / "file/sub" + " !");
    EXPECT_EQ(h.log[1].level, LOG_ERROR);
    EXPECT_EQ(h.finishedCount, 0);
    EXPECT_FALSE(h.state->Running());
    const auto kept = fx::ReadBytes(dir / "file");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "a regular file");
}

TEST(ConvertAll, FailedJobEndsTheTaskWithoutTotals) {
    TempFolder dir;
    const std::string a = WriteSource(dir, "a.ogg", {44100, 2, 0.5});
    const std::string b = WriteSource(dir, "b.ogg", {44100, 2, 0.5});
    TaskHarness h;
    ASSERT_EQ(h.Build({a, b}, dir / "out/"), 2u);
    std::filesystem::remove(a); // gone between building and running
    h.Run();

    const auto texts = h.Texts();
    ASSERT_EQ(h.log.size(), 6u) << ::testing::PrintToString(texts);
    EXPECT_EQ(texts[1], task::kStartJobText);
    EXPECT_EQ(texts[4].rfind("File Error: ", 0), 0u) << texts[4]; // the engine's own line
    EXPECT_EQ(h.log[4].level, LOG_ERROR);
    EXPECT_EQ(texts[5], task::kStatusErrorText);
    EXPECT_EQ(h.log[5].level, LOG_ERROR);
    EXPECT_EQ(h.Count(task::kStartJobText), 1) << "no further job runs";
    EXPECT_EQ(h.finishedCount, 0);
    EXPECT_FALSE(platform::FileExists(dir / "out/b.mp3"));
}

TEST(ConvertAll, CancelFinishesOffTheCurrentFileAndRunsNoOther) {
    TempFolder dir;
    const std::string a = WriteSource(dir, "long.ogg", {44100, 2, 40.0});
    const std::string b = WriteSource(dir, "next.ogg", {44100, 2, 0.5});
    TaskHarness h;
    ASSERT_EQ(h.Build({a, b}, dir / "out/"), 2u);
    h.onMessage = [&](const platform::Message& msg) {
        if (msg.id == engine::WM_CONV_PROGRESS)
            h.state->Stop(); // as a confirmed Cancel does
    };
    h.Run();

    EXPECT_TRUE(task::WaitForTaskThreads(*h.state, 1000));
    EXPECT_EQ(h.Count(task::kStartJobText), 1);
    ASSERT_FALSE(h.log.empty());
    EXPECT_EQ(h.log.back().text, task::kStatusErrorText);
    EXPECT_EQ(h.log.back().level, LOG_ERROR);
    EXPECT_EQ(h.Count(task::kStatusOkText), 0);
    EXPECT_EQ(h.finishedCount, 0);
    EXPECT_FALSE(platform::FileExists(dir / "out/next.mp3"));

    const fx::Mp3Report mp3 = fx::InspectMp3(dir / "out/long.mp3");
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_GT(mp3.frames, 0u);
    EXPECT_LT(mp3.frames, 40u * 44100);
}

TEST(ConvertAll, WorkerThatOutlivesItsWaitFailsTheJob) {
    TempFolder dir;
    // Long enough that the pause, set when the start message is handled, lands
    // well before the encoder could finish even on a fast machine.
    const std::string a = WriteSource(dir, "a.ogg", {44100, 2, 12.0});
    const std::string b = WriteSource(dir, "b.ogg", {44100, 2, 0.5});
    TaskHarness h;
    ASSERT_EQ(h.Build({a, b}, dir / "out/"), 2u);
    auto options = TaskHarness::Fast();
    options.startDelayMs = 200;
    options.workerWaitMs = 300;
    h.onMessage = [&](const platform::Message& msg) {
        if (msg.id == task::WM_CONV_START_TIMER)
            h.state->paused = 1; // the encoder holds, and outlives its wait
    };
    h.Run(options);

    EXPECT_EQ(h.log.back().text, task::kStatusErrorText) << "an unfinished file is no success";
    EXPECT_EQ(h.Count(task::kStatusOkText), 0);
    EXPECT_EQ(h.Count(task::kStartJobText), 1);
    EXPECT_EQ(h.finishedCount, 0);
    EXPECT_TRUE(task::JobWorkersRunning(*h.state));

    // Released, the encoder sees the task stopped and finishes its file.
    h.state->paused = 0;
    const uint32_t start = platform::TickCount();
    while (task::JobWorkersRunning(*h.state) && platform::TickCount() - start < 10000) {
        h.window->WaitAndProcess(5);
    }
    EXPECT_FALSE(task::JobWorkersRunning(*h.state));
    const fx::Mp3Report mp3 = fx::InspectMp3(dir / "out/a.mp3");
    EXPECT_TRUE(mp3.ok) << mp3.error;
}

TEST(ConvertAll, NoJobFinishesAtOnce) {
    TaskHarness h;
    h.Run();
    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.ids, (std::vector<uint32_t>{task::WM_CONV_START_TIMER, engine::WM_CONV_FINISHED}));
}
