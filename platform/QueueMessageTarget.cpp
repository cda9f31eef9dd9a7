#include "platform/QueueMessageTarget.h"

#include <chrono>

namespace tavora::platform {

QueueMessageTarget::QueueMessageTarget(Handler handler)
    : handler_(std::move(handler)), owner_(std::this_thread::get_id()) {}

QueueMessageTarget::~QueueMessageTarget() {
    Close();
}

void QueueMessageTarget::SetHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void QueueMessageTarget::SetOwnerThread(std::thread::id owner) {
    std::lock_guard lock(mutex_);
    owner_ = owner;
}

bool QueueMessageTarget::Post(Message msg) {
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false; // msg and its payload die here
        queue_.push_back(std::move(msg));
    }
    arrived_.notify_all();
    return true;
}

bool QueueMessageTarget::Send(Message msg, const std::function<bool()>& keepWaiting) {
    {
        std::lock_guard lock(mutex_);
        if (closed_)
            return false;
    }
    if (std::this_thread::get_id() == owner_) {
        Dispatch(msg);
        return true;
    }
    return PostAndWait(std::move(msg), keepWaiting);
}

void QueueMessageTarget::Dispatch(Message& msg) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        handler = handler_;
    }
    if (handler)
        handler(msg);
    msg.MarkHandled();
}

size_t QueueMessageTarget::ProcessPending() {
    size_t count = 0;
    for (;;) {
        Message msg;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty())
                return count;
            msg = std::move(queue_.front());
            queue_.pop_front();
        }
        Dispatch(msg);
        ++count;
    }
}

size_t QueueMessageTarget::WaitAndProcess(uint32_t timeoutMs) {
    {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [&] { return !queue_.empty() || closed_; });
    }
    return ProcessPending();
}

void QueueMessageTarget::Close() {
    std::deque<Message> dropped;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        dropped.swap(queue_);
    }
    arrived_.notify_all();
    // dropped goes out of scope here: payloads freed, senders released
}

bool QueueMessageTarget::Closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

size_t QueueMessageTarget::PendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

} // namespace tavora::platform
