#include "platform/WorkerThread.h"
#include "platform/Ticks.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace tavora::platform;

TEST(WorkerThread, RunsOnlyAfterResumeAndReportsItsExitCode) {
    std::atomic<bool> ran{false};
    auto t = WorkerThread::CreateSuspended([&] {
        ran = true;
        return 7u;
    });
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->Wait(50)); // suspended: it does not run on its own
    EXPECT_FALSE(ran.load());
    t->Resume();
    EXPECT_TRUE(t->Wait(5000));
    EXPECT_TRUE(ran.load());
    EXPECT_TRUE(t->Finished());
    EXPECT_EQ(t->ExitCode(), 7u);
}

TEST(WorkerThread, WaitTimesOutAndAnAbandonedThreadFinishesOnItsOwn) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    auto t = WorkerThread::CreateSuspended([release, finished] {
        while (!*release)
            SleepMs(1);
        *finished = true;
        return 0u;
    });
    t->Resume();
    const uint32_t start = TickCount();
    EXPECT_FALSE(t->Wait(30));
    EXPECT_GE(static_cast<uint32_t>(TickCount() - start), 25u);
    t.reset(); // given up, never killed: it keeps what it captured
    *release = true;
    for (int i = 0; i < 5000 && !*finished; ++i)
        SleepMs(1);
    EXPECT_TRUE(*finished);
}

TEST(WorkerThread, DroppingANeverResumedThreadDoesNotRunItsBody) {
    std::atomic<bool> ran{false};
    {
        auto t = WorkerThread::CreateSuspended([&] {
            ran = true;
            return 0u;
        });
    }
    SleepMs(20);
    EXPECT_FALSE(ran.load());
}

TEST(Ticks, CountMilliseconds) {
    const uint32_t a = TickCount();
    SleepMs(20);
    const uint32_t elapsed = TickCount() - a;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 2000u);
}
