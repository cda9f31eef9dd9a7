#pragma once

#include "platform/MessageTarget.h"

#include <QObject>

namespace tavora::platform {

class WindowMessageReceiver;

// The message target that a window is: messages become events handled on the
// window's (GUI) thread. When the window goes, queued messages are freed with
// their payloads and waiting senders are released.
class WindowMessageTarget : public MessageTarget,
                            public std::enable_shared_from_this<WindowMessageTarget> {
public:
    using Handler = std::function<void(Message&)>;

    // The receiver object becomes a child of window, so it dies with it.
    static std::shared_ptr<WindowMessageTarget> Create(QObject* window, Handler handler);
    ~WindowMessageTarget() override;

    bool Post(Message msg) override;
    bool Send(Message msg, const std::function<bool()>& keepWaiting) override;

    // Stops accepting messages (the window is closing).
    void Close();
    bool Closed() const override;

private:
    friend class WindowMessageReceiver;
    WindowMessageTarget() = default;
    void Deliver(Message& msg);
    void ReceiverGone();

    mutable std::mutex mutex_;
    WindowMessageReceiver* receiver_ = nullptr; // guarded by mutex_
    Handler handler_;
};

} // namespace tavora::platform
