#pragma once

#include "lame_enc/LameEncApi.h"

#include <cstdint>
#include <memory>

namespace tavora::engine {

class CConversionTask;

// Ring samples (32-bit) to encoder floats in the range of 16-bit samples.
inline constexpr float kEncoderScale = 1.0f / 65536.0f;
// Least time between two progress reports, in ms.
inline constexpr uint32_t kProgressIntervalMs = 100;
// Sleep while paused, in ms.
inline constexpr uint32_t kPauseSleepMs = 100;

// The encoder configuration for job at bitrateKbps and encoder quality q.
lame_enc::BeConfig MakeEncoderConfig(const CConversionTask& job, int bitrateKbps, int quality);

// The byte-string form of a path for the library's tag call: a zero-filled
// buffer of 2 * length + 1 bytes. Text is UTF-8 already, which is also the
// system's byte encoding of file names, so the conversion is a copy. A null
// text gives a one-byte empty string.
std::unique_ptr<char[]> WideToAnsiAlloc(const char* text);

} // namespace tavora::engine
