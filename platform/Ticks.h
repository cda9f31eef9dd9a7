#pragma once

#include <cstdint>

namespace tavora::platform {

// Milliseconds from a steady clock, wrapping at 2^32 like the classic tick count.
// Differences of two ticks taken as uint32_t stay correct across the wrap.
uint32_t TickCount();

void SleepMs(uint32_t milliseconds);

} // namespace tavora::platform
