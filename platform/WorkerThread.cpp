#include "platform/WorkerThread.h"

#include <chrono>
#include <system_error>

namespace tavora::platform {

struct WorkerThread::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool resumed = false;
    bool finished = false;
    unsigned exitCode = 0;
    std::thread::id id;
    Body body;
};

WorkerThread::WorkerThread(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

std::shared_ptr<WorkerThread> WorkerThread::CreateSuspended(Body body) {
    auto shared = std::make_shared<Shared>();
    shared->body = std::move(body);
    std::shared_ptr<WorkerThread> self(new WorkerThread(shared));
    try {
        // The thread keeps its own reference to the shared state, so it may outlive the handle.
        self->thread_ = std::thread([shared] {
            {
                std::unique_lock lock(shared->mutex);
                shared->changed.wait(lock, [&] { return shared->resumed; });
            }
            unsigned code = shared->body();
            shared->body = nullptr; // release captured state before reporting the end
            std::lock_guard lock(shared->mutex);
            shared->exitCode = code;
            shared->finished = true;
            shared->changed.notify_all();
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    std::lock_guard lock(shared->mutex);
    shared->id = self->thread_.get_id();
    return self;
}

WorkerThread::~WorkerThread() {
    if (!thread_.joinable())
        return;
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
        return;
    }
    bool finished;
    {
        std::lock_guard lock(shared_->mutex);
        finished = shared_->finished;
        if (!shared_->resumed) {
            // Never resumed: let it run an empty body so that it ends at once.
            shared_->body = [] { return 0u; };
            shared_->resumed = true;
            shared_->changed.notify_all();
        }
    }
    if (finished)
        thread_.join();
    else
        thread_.detach(); // abandoned, never killed
}

void WorkerThread::Resume() {
    std::lock_guard lock(shared_->mutex);
    shared_->resumed = true;
    shared_->changed.notify_all();
}

bool WorkerThread::Wait(uint32_t timeoutMs) const {
    std::unique_lock lock(shared_->mutex);
    return shared_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return shared_->finished; });
}

bool WorkerThread::Finished() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->finished;
}

unsigned WorkerThread::ExitCode() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->exitCode;
}

bool WorkerThread::IsCurrentThread() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->id == std::this_thread::get_id();
}

} // namespace tavora::platform
