#include "platform/MessageTarget.h"

#include <chrono>

namespace tavora::platform {

Message& Message::operator=(Message&& other) noexcept {
    if (this != &other) {
        if (completion)
            completion->Signal(false);
        id = other.id;
        wParam = other.wParam;
        lParam = other.lParam;
        payload = std::move(other.payload);
        completion = std::move(other.completion);
    }
    return *this;
}

Message::~Message() {
    // A message destroyed without MarkHandled was dropped: release its sender.
    if (completion)
        completion->Signal(false);
}

void Message::MarkHandled() {
    if (completion) {
        completion->Signal(true);
        completion.reset();
    }
}

void SendCompletion::Signal(bool handled) {
    std::lock_guard lock(mutex_);
    if (signalled_)
        return;
    signalled_ = true;
    handled_ = handled;
    cv_.notify_all();
}

bool SendCompletion::Wait(const std::function<bool()>& keepWaiting, uint32_t pollMs) {
    std::unique_lock lock(mutex_);
    while (!signalled_) {
        if (cv_.wait_for(lock, std::chrono::milliseconds(pollMs), [&] { return signalled_; }))
            break;
        lock.unlock();
        bool goOn = !keepWaiting || keepWaiting();
        lock.lock();
        if (!goOn && !signalled_)
            return false;
    }
    return handled_;
}

bool MessageTarget::PostAndWait(Message msg, const std::function<bool()>& keepWaiting) {
    auto completion = std::make_shared<SendCompletion>();
    msg.completion = completion;
    if (!Post(std::move(msg)))
        return false;
    return completion->Wait([&] { return !Closed() && (!keepWaiting || keepWaiting()); });
}

bool PostMessageTo(const TargetRef& target, Message msg) {
    auto t = target.lock();
    return t && t->Post(std::move(msg));
}

bool SendMessageTo(const TargetRef& target, Message msg, const std::function<bool()>& keepWaiting) {
    auto t = target.lock();
    return t && t->Send(std::move(msg), keepWaiting);
}

} // namespace tavora::platform
