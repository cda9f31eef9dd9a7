#include "platform/gui/WindowMessageTarget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace tavora::platform {
namespace {
const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
public:
    explicit MessageEvent(Message m) : QEvent(kMessageEvent), msg(std::move(m)) {}
    Message msg; // freed with the event when it is never delivered
};
} // namespace

class WindowMessageReceiver : public QObject {
public:
    WindowMessageReceiver(QObject* parent, std::weak_ptr<WindowMessageTarget> target)
        : QObject(parent), target_(std::move(target)) {}
    ~WindowMessageReceiver() override {
        if (auto t = target_.lock())
            t->ReceiverGone();
    }

    bool event(QEvent* e) override {
        if (e->type() != kMessageEvent)
            return QObject::event(e);
        auto* me = static_cast<MessageEvent*>(e);
        if (auto t = target_.lock())
            t->Deliver(me->msg);
        return true;
    }

private:
    std::weak_ptr<WindowMessageTarget> target_;
};

std::shared_ptr<WindowMessageTarget> WindowMessageTarget::Create(QObject* window, Handler handler) {
    std::shared_ptr<WindowMessageTarget> target(new WindowMessageTarget());
    target->handler_ = std::move(handler);
    target->receiver_ = new WindowMessageReceiver(window, target);
    return target;
}

WindowMessageTarget::~WindowMessageTarget() = default;

void WindowMessageTarget::Deliver(Message& msg) {
    if (handler_)
        handler_(msg);
    msg.MarkHandled();
}

void WindowMessageTarget::ReceiverGone() {
    std::lock_guard lock(mutex_);
    receiver_ = nullptr;
}

void WindowMessageTarget::Close() {
    WindowMessageReceiver* receiver;
    {
        std::lock_guard lock(mutex_);
        receiver = receiver_;
        receiver_ = nullptr;
    }
    if (receiver)
        QCoreApplication::removePostedEvents(receiver, kMessageEvent);
}

bool WindowMessageTarget::Closed() const {
    std::lock_guard lock(mutex_);
    return receiver_ == nullptr;
}

bool WindowMessageTarget::Post(Message msg) {
    std::lock_guard lock(mutex_);
    if (!receiver_)
        return false;
    QCoreApplication::postEvent(receiver_, new MessageEvent(std::move(msg)));
    return true;
}

bool WindowMessageTarget::Send(Message msg, const std::function<bool()>& keepWaiting) {
    {
        std::lock_guard lock(mutex_);
        if (!receiver_)
            return false;
        if (receiver_->thread() == QThread::currentThread()) {
            Deliver(msg);
            return true;
        }
    }
    return PostAndWait(std::move(msg), keepWaiting);
}

} // namespace tavora::platform
