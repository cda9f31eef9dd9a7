#pragma once

#include <functional>
#include <memory>

class QObject;

namespace tavora::controls {

// Carries calls from other threads to the GUI thread and waits for them: the
// "sent message" by which a worker reaches the list. The caller first spins
// briefly, because the GUI thread usually answers within microseconds and a
// sleeping wait costs far more than the call itself; then it blocks.
class ReportGuiCaller {
public:
    // Calls run on guiObject's thread; the caller's receiver becomes its child.
    explicit ReportGuiCaller(QObject* guiObject);
    ~ReportGuiCaller();
    ReportGuiCaller(const ReportGuiCaller&) = delete;
    ReportGuiCaller& operator=(const ReportGuiCaller&) = delete;

    // Runs fn on the GUI thread and returns once it ran (true), or once the caller
    // was closed before it could run (false, fn not run). An exception thrown by
    // fn is rethrown here. Never call from the GUI thread itself.
    bool Call(std::function<void()> fn);

    // Refuses further calls and releases waiting callers. GUI thread only.
    void Close();

private:
    class Receiver;
    struct Gate;
    std::shared_ptr<Gate> gate_;
};

} // namespace tavora::controls
