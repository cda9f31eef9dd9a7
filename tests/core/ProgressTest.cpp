#include "engine/Progress.h"
#include "engine/EngineGlobals.h"
#include "platform/QueueMessageTarget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

using namespace tavora::engine;
using tavora::platform::Message;
using tavora::platform::QueueMessageTarget;

namespace {

struct ProgressFixture : ::testing::Test {
    std::shared_ptr<ConversionState> state = std::make_shared<ConversionState>();
    std::shared_ptr<QueueMessageTarget> window = std::make_shared<QueueMessageTarget>();
    std::vector<std::pair<float, float>> progress;
    std::vector<std::pair<std::string, int>> log;

    void SetUp() override {
        state->window = window;
        window->SetHandler([this](Message& m) {
            if (m.id == WM_CONV_PROGRESS) {
                auto p = m.TakePayload<ProgressPayload>();
                progress.emplace_back(p->current, p->overall);
            } else if (m.id == WM_CONV_LOG) {
                auto p = m.TakePayload<LogPayload>();
                log.emplace_back(p->text, static_cast<int>(m.lParam));
            }
        });
    }
};

} // namespace

TEST(ProgressPercent, ComputedFromTheCountersAndNotFiniteForZeroTotals) {
    ConversionState state;
    state.overallTotal = 400;
    state.overallDone = 100;
    state.fileDone = 50;
    EXPECT_FLOAT_EQ(OverallPercent(state), 25.0f);
    EXPECT_FLOAT_EQ(CurrentPercent(state, 200), 25.0f);
    EXPECT_FLOAT_EQ(CurrentPercent(state, 40), 125.0f); // estimates may overshoot; not clamped here

    state.overallTotal = 0;
    EXPECT_FALSE(std::isfinite(OverallPercent(state)));
    EXPECT_FALSE(std::isfinite(CurrentPercent(state, 0)));
    state.overallDone = 0;
    EXPECT_TRUE(std::isnan(OverallPercent(state)));
}

TEST(FormatText, FormatsPrintfStyle) {
    EXPECT_EQ(FormatText("Error creating file %s", "/out/ä b.mp3"),
              "Error creating file /out/ä b.mp3");
    EXPECT_EQ(FormatText("Fatal read error: %d", -3), "Fatal read error: -3");
    EXPECT_EQ(FormatText("beEncodeChunk() failed (%lu)", 4294967295ul),
              "beEncodeChunk() failed (4294967295)");
    EXPECT_EQ(FormatText("%s", std::string(5000, 'x').c_str()).size(), 5000u);
}

TEST_F(ProgressFixture, PostedMessagesCarryTheirValuesToTheHandler) {
    EXPECT_TRUE(PostProgress(*state, 12.5f, 3.0f, false));
    EXPECT_TRUE(
        PostLog(*state, FormatText("Error : could not open file : %s", "/a.ogg"), LOG_ERROR));
    EXPECT_TRUE(PostLog(*state, "Start a new converting task.", LOG_INFO));
    EXPECT_TRUE(PostFinished(*state));
    EXPECT_EQ(window->ProcessPending(), 4u);
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_EQ(progress[0], std::make_pair(12.5f, 3.0f));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0],
              std::make_pair(std::string("Error : could not open file : /a.ogg"), int(LOG_ERROR)));
    EXPECT_EQ(log[1].second, LOG_INFO);
}

TEST_F(ProgressFixture, GlobalStateRoutesToItsWindowAndNoStateMeansNoMessage) {
    g_convProg.reset();
    EXPECT_FALSE(PostLog("lost", LOG_ERROR));
    g_convProg = state;
    EXPECT_TRUE(PostLog("kept", LOG_ERROR));
    g_convProg.reset();
    window->ProcessPending();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].first, "kept");
}

TEST_F(ProgressFixture, SynchronousReportWaitsForTheHandler) {
    state->running = 1;
    std::atomic<bool> returned{false};
    std::thread encoder([&] {
        EXPECT_TRUE(PostProgress(*state, 100.0f, 100.0f, true));
        returned = true;
    });
    while (window->PendingCount() == 0)
        std::this_thread::yield();
    EXPECT_FALSE(returned.load());
    window->ProcessPending();
    encoder.join();
    EXPECT_TRUE(returned.load());
    ASSERT_EQ(progress.size(), 1u);
}

TEST_F(ProgressFixture, SynchronousReportGivesUpWhenTheTaskStops) {
    state->running = 1;
    std::thread encoder([&] { EXPECT_FALSE(PostProgress(*state, 1.0f, 1.0f, true)); });
    while (window->PendingCount() == 0)
        std::this_thread::yield();
    state->Stop(); // the GUI cancels while it would otherwise wait for the encoder
    encoder.join();
    // The message is still queued and still owns its payload; handling it later is harmless.
    EXPECT_EQ(window->ProcessPending(), 1u);
}

TEST_F(ProgressFixture, MessagesToAClosedOrVanishedWindowAreFreed) {
    window->Close();
    EXPECT_FALSE(PostLog(*state, "late", LOG_ERROR));
    EXPECT_FALSE(PostProgress(*state, 1.0f, 1.0f, false));
    state->running = 1;
    EXPECT_FALSE(PostProgress(*state, 1.0f, 1.0f, true));
    window.reset(); // the window is gone altogether
    EXPECT_FALSE(PostLog(*state, "later", LOG_ERROR));
    EXPECT_TRUE(log.empty());
}
