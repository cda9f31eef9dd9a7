#pragma once

#include <cstddef>
#include <cstdint>

namespace tavora::engine {

// Samples per channel asked of the Vorbis library per read.
inline constexpr int kDecodeChunkFrames = 512;
// Only the ten most significant bits of each decoded sample are kept.
inline constexpr int32_t kSampleMask = static_cast<int32_t>(0xFFC00000u);

// One float sample at 2^31 full scale: ties to even, saturating at both ends, NaN to INT32_MIN.
int32_t FloatToInt32(float sample);

// Converts count samples, from the last to the first, so that dst may overlay src.
void FloatToInt32(const float* src, int32_t* dst, size_t count);

} // namespace tavora::engine
