#pragma once

#include "platform/Message.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace tavora::platform {

// Shared between a synchronous sender and the message it sent.
class SendCompletion {
public:
    void Signal(bool handled);
    // Waits until signalled; polls keepWaiting every pollMs and gives up when it
    // returns false. Returns whether the message was handled.
    bool Wait(const std::function<bool()>& keepWaiting, uint32_t pollMs = 5);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
    bool handled_ = false;
};

// Where window messages go: a window on the GUI thread, or a plain queue for
// the command-line converter and the tests.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;

    // Queues the message for the target's thread. Returns false when the target no
    // longer accepts messages; the payload is then freed with the message.
    virtual bool Post(Message msg) = 0;

    // Delivers the message on the target's thread and waits until it was handled.
    // Gives up, returning false, when the target is closed or gone, or when
    // keepWaiting returns false (for example because the task was stopped), so a
    // worker never deadlocks against a GUI thread that is waiting for it.
    virtual bool Send(Message msg, const std::function<bool()>& keepWaiting) = 0;

    // True once the target no longer accepts messages.
    virtual bool Closed() const = 0;

protected:
    // A send from a thread other than the target's: posts msg and waits until it
    // was handled, the target closed, or keepWaiting said to stop.
    bool PostAndWait(Message msg, const std::function<bool()>& keepWaiting);
};

// Senders hold targets weakly: a window that is gone is simply not there.
using TargetRef = std::weak_ptr<MessageTarget>;

bool PostMessageTo(const TargetRef& target, Message msg);
bool SendMessageTo(
    const TargetRef& target, Message msg,
    const std::function<bool()>& keepWaiting = [] { return true; });

} // namespace tavora::platform
