#include "platform/QueueMessageTarget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace tavora::platform;

namespace {

// Counts live payloads, to prove each one is freed exactly once.
struct Counted : MessagePayload {
    static inline std::atomic<int> alive{0};
    explicit Counted(int v) : value(v) { ++alive; }
    ~Counted() override { --alive; }
    int value;
};

Message CountedMessage(uint32_t id, int v) {
    return Message(id, 0, 0, std::make_unique<Counted>(v));
}

} // namespace

TEST(QueueMessageTarget, DeliversInOrderAndHandlerMayTakeThePayload) {
    std::vector<int> seen;
    std::unique_ptr<Counted> kept;
    auto target = std::make_shared<QueueMessageTarget>([&](Message& m) {
        seen.push_back(m.PayloadAs<Counted>()->value);
        if (m.id == 2)
            kept = m.TakePayload<Counted>();
    });
    TargetRef ref = target;
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(PostMessageTo(ref, CountedMessage(static_cast<uint32_t>(i), i * 10)));
    EXPECT_EQ(target->ProcessPending(), 3u);
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(Counted::alive, 1); // only the one the handler kept
    kept.reset();
    EXPECT_EQ(Counted::alive, 0);
}

TEST(QueueMessageTarget, PayloadsOfUndeliverableMessagesAreFreed) {
    auto target = std::make_shared<QueueMessageTarget>();
    TargetRef ref = target;
    PostMessageTo(ref, CountedMessage(1, 1));
    PostMessageTo(ref, CountedMessage(2, 2));
    EXPECT_EQ(Counted::alive, 2);
    target->Close(); // queued ones die with the queue
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_FALSE(PostMessageTo(ref, CountedMessage(3, 3))); // refused, and freed
    EXPECT_EQ(Counted::alive, 0);
    PostMessageTo(ref, CountedMessage(4, 4));
    target.reset(); // gone altogether
    EXPECT_FALSE(PostMessageTo(ref, CountedMessage(5, 5)));
    EXPECT_FALSE(SendMessageTo(ref, CountedMessage(6, 6)));
    EXPECT_EQ(Counted::alive, 0);

    // A target destroyed with messages still queued frees them too.
    auto other = std::make_shared<QueueMessageTarget>();
    PostMessageTo(other, CountedMessage(7, 7));
    other.reset();
    EXPECT_EQ(Counted::alive, 0);
}

TEST(QueueMessageTarget, SendWaitsUntilHandledOnTheOwnerThread) {
    std::thread::id handledOn;
    auto target = std::make_shared<QueueMessageTarget>(
        [&](Message&) { handledOn = std::this_thread::get_id(); });
    std::atomic<bool> done{false};
    bool result = false;
    std::thread worker([&] {
        result = SendMessageTo(target, CountedMessage(1, 1));
        done = true;
    });
    while (target->PendingCount() == 0)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(done.load()); // still blocked: nobody handled it yet
    target->WaitAndProcess(1000);
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    EXPECT_EQ(Counted::alive, 0);

    // From the owner thread itself a send is handled at once instead of deadlocking.
    EXPECT_TRUE(SendMessageTo(target, CountedMessage(2, 2)));
}

TEST(QueueMessageTarget, SendGivesUpWhenTheTargetClosesOrTheSenderStopsWaiting) {
    auto target = std::make_shared<QueueMessageTarget>();
    std::atomic<bool> keepWaiting{true};
    bool stopped = true, closed = true;
    std::thread a([&] {
        stopped = SendMessageTo(target, CountedMessage(1, 1), [&] { return keepWaiting.load(); });
    });
    while (target->PendingCount() == 0)
        std::this_thread::yield();
    keepWaiting = false;
    a.join();
    EXPECT_FALSE(stopped);

    std::thread b([&] { closed = SendMessageTo(target, CountedMessage(2, 2)); });
    while (target->PendingCount() < 2)
        std::this_thread::yield();
    target->Close(); // the window goes while a worker waits on it
    b.join();
    EXPECT_FALSE(closed);
    EXPECT_EQ(Counted::alive, 0);
}
