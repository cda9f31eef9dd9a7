#include "engine/ConversionState.h"

namespace tavora::engine {

namespace {
void AddFloat(std::atomic<float>& target, float delta) {
    // Only the encoder thread adds; a plain load-store keeps readers tear-free.
    target.store(target.load(std::memory_order_relaxed) + delta, std::memory_order_release);
}
} // namespace

void ConversionState::ResetCounters() {
    overallDone.store(0, std::memory_order_release);
    overallSeconds.store(0.0f, std::memory_order_release);
    ResetFileCounters();
}

void ConversionState::ResetFileCounters() {
    fileDone.store(0, std::memory_order_release);
    fileSeconds.store(0.0f, std::memory_order_release);
}

void ConversionState::AddEncoded(const CConversionTask& job, uint64_t n) {
    fileDone.fetch_add(n, std::memory_order_acq_rel);
    overallDone.fetch_add(n, std::memory_order_acq_rel);
    const float seconds = job.SamplesToSeconds(n);
    AddFloat(overallSeconds, seconds);
    AddFloat(fileSeconds, seconds);
}

} // namespace tavora::engine
