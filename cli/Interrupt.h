#pragma once

#include <atomic>
#include <cstdint>

namespace tavora::cli {

// Ctrl+C handling. The first interrupt is counted and clears the running flag
// given to StopOnInterrupt, as Cancel does (the current file is finished off,
// no further job runs); a second one ends the process at once.
void InstallInterruptHandler();
// The flag the first interrupt clears; null when there is none (no task runs).
void StopOnInterrupt(std::atomic<int32_t>* running);
int InterruptCount();

} // namespace tavora::cli
