#include "controls/ReportGuiCaller.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace tavora::controls {
namespace {

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// How long a caller spins before it sleeps.
constexpr auto kSpin = std::chrono::microseconds(100);

enum CallState : int { kWaiting = 0, kRan = 1, kDropped = 2 };

struct PendingCall {
    std::function<void()> fn;
    std::exception_ptr error;
    std::atomic<int> state{kWaiting};
    std::mutex mutex;
    std::condition_variable finished;

    void Finish(int result) {
        {
            std::lock_guard lock(mutex);
            state.store(result, std::memory_order_release);
        }
        finished.notify_all();
    }
};

// Dropped with the receiver when it goes before the call ran.
class CallEvent : public QEvent {
public:
    explicit CallEvent(std::shared_ptr<PendingCall> c) : QEvent(kCallEvent), call(std::move(c)) {}
    ~CallEvent() override {
        if (call->state.load(std::memory_order_acquire) == kWaiting)
            call->Finish(kDropped);
    }
    std::shared_ptr<PendingCall> call;
};

} // namespace

class ReportGuiCaller::Receiver : public QObject {
public:
    using QObject::QObject;

    bool event(QEvent* e) override {
        if (e->type() != kCallEvent)
            return QObject::event(e);
        PendingCall& call = *static_cast<CallEvent*>(e)->call;
        try {
            call.fn();
        } catch (...) {
            call.error = std::current_exception();
        }
        call.Finish(kRan);
        return true;
    }
};

struct ReportGuiCaller::Gate {
    std::mutex mutex;
    Receiver* receiver = nullptr; // null once closed
};

ReportGuiCaller::ReportGuiCaller(QObject* guiObject) : gate_(std::make_shared<Gate>()) {
    gate_->receiver = new Receiver(guiObject);
}

ReportGuiCaller::~ReportGuiCaller() {
    Close();
}

void ReportGuiCaller::Close() {
    Receiver* receiver = nullptr;
    {
        std::lock_guard lock(gate_->mutex);
        receiver = gate_->receiver;
        gate_->receiver = nullptr;
    }
    // Its queued calls are deleted with it, which releases their callers.
    delete receiver;
}

bool ReportGuiCaller::Call(std::function<void()> fn) {
    const std::shared_ptr<Gate> gate = gate_;
    auto call = std::make_shared<PendingCall>();
    call->fn = std::move(fn);
    {
        std::lock_guard lock(gate->mutex);
        if (!gate->receiver)
            return false;
        QCoreApplication::postEvent(gate->receiver, new CallEvent(call));
    }
    const auto spinUntil = std::chrono::steady_clock::now() + kSpin;
    while (call->state.load(std::memory_order_acquire) == kWaiting &&
           std::chrono::steady_clock::now() < spinUntil)
        std::this_thread::yield();
    {
        std::unique_lock lock(call->mutex);
        call->finished.wait(
            lock, [&] { return call->state.load(std::memory_order_acquire) != kWaiting; });
    }
    if (call->error)
        std::rethrow_exception(call->error);
    return call->state.load(std::memory_order_acquire) == kRan;
}

} // namespace tavora::controls
