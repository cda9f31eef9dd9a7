#pragma once

#include "engine/ConversionTask.h"
#include "platform/MessageTarget.h"
#include "platform/WorkerThread.h"

#include <atomic>
#include <memory>
#include <vector>

namespace tavora::engine {

// A thread slot that one thread fills and others read.
using ThreadSlot = std::atomic<std::shared_ptr<platform::WorkerThread>>;

// The state of one conversion task, shared by the progress window (or the
// command-line converter) and the engine's threads. Workers hold it by
// shared_ptr, so a worker left running after its bounded wait never touches
// freed memory.
class ConversionState {
public:
    std::atomic<int32_t> running{0};
    std::atomic<int32_t> paused{0};

    std::atomic<uint64_t> overallDone{0};
    std::atomic<uint64_t> fileDone{0};
    std::atomic<uint64_t> overallTotal{0};
    std::atomic<float> overallSeconds{0.0f};
    std::atomic<float> fileSeconds{0.0f};
    std::atomic<int32_t> currentIndex{0};

    ThreadSlot taskThread;
    ThreadSlot encoderThread;
    ThreadSlot effectsThread;

    std::vector<CConversionTask> tasks; // filled before the task thread starts
    std::atomic<uint32_t> fileStartTick{0};
    std::atomic<uint32_t> taskStartTick{0};

    // Where progress, log and finish messages go.
    platform::TargetRef window;

    bool Running() const { return running.load(std::memory_order_acquire) != 0; }
    bool Paused() const { return paused.load(std::memory_order_acquire) != 0; }
    void Stop() { running.store(0, std::memory_order_release); }

    // Counters back to zero, as when the window initialises.
    void ResetCounters();
    // Current-job counters back to zero, before each job.
    void ResetFileCounters();
    // Adds n encoded samples of job to the counters.
    void AddEncoded(const CConversionTask& job, uint64_t n);
};

} // namespace tavora::engine
