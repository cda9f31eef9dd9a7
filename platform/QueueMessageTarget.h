#pragma once

#include "platform/MessageTarget.h"

#include <deque>
#include <thread>

namespace tavora::platform {

// A message target that is a thread-safe queue, drained by whichever thread
// owns it (the command-line converter's main loop, or a test).
class QueueMessageTarget : public MessageTarget {
public:
    using Handler = std::function<void(Message&)>;

    // The creating thread is the owner: a send from it is handled at once.
    explicit QueueMessageTarget(Handler handler = {});
    ~QueueMessageTarget() override;

    void SetHandler(Handler handler);
    void SetOwnerThread(std::thread::id owner);

    bool Post(Message msg) override;
    bool Send(Message msg, const std::function<bool()>& keepWaiting) override;

    // Handles every queued message on the calling thread; returns how many.
    size_t ProcessPending();
    // Waits up to timeoutMs for a message, then handles everything queued.
    size_t WaitAndProcess(uint32_t timeoutMs);

    // Refuses further messages, frees the queued ones and releases waiting senders.
    void Close();
    bool Closed() const override;
    size_t PendingCount() const;

private:
    void Dispatch(Message& msg);

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Message> queue_;
    Handler handler_;
    std::thread::id owner_;
    bool closed_ = false;
};

} // namespace tavora::platform
