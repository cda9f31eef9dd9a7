#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tavora::platform {

// A thread that is created suspended, resumed once, and waited for with a
// time-out. It is never killed: when its owner lets go of a thread that is still
// running, the thread goes on and frees its own state when its body returns.
// Whatever the body touches must therefore be owned by the body (captured
// shared_ptrs), not borrowed from the owner.
class WorkerThread {
public:
    using Body = std::function<unsigned()>;

    // Creates the thread suspended; returns null when the system refuses a thread.
    static std::shared_ptr<WorkerThread> CreateSuspended(Body body);

    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Lets the body run. Further calls do nothing.
    void Resume();

    // True once the body has returned, false when timeoutMs elapsed first.
    // A thread that was never resumed is resumed by neither call.
    bool Wait(uint32_t timeoutMs) const;
    bool Finished() const;
    unsigned ExitCode() const; // valid once Finished()
    bool IsCurrentThread() const;

private:
    struct Shared;
    explicit WorkerThread(std::shared_ptr<Shared> shared);
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

} // namespace tavora::platform
