#pragma once

namespace tavora::engine {

// The filters every conversion passes through, in Hz.
inline constexpr int kLowpassHz = 7000;
inline constexpr int kHighpassHz = 100;

} // namespace tavora::engine
