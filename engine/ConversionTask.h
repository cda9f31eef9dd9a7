#pragma once

#include "engine/RingBuffer.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace tavora::engine {

// One conversion job: one Ogg Vorbis source into one MP3 file. The stage
// flags are atomic (release on write, acquire on read) so that a consumer that
// sees its producer's flag cleared also sees every sample that producer wrote.
class CConversionTask {
public:
    std::string sourcePath;
    int32_t sourceType = -1;
    uint32_t sourceRate = UINT32_MAX;
    uint32_t sourceChannels = UINT32_MAX;
    std::string destPath;
    int32_t targetType = -1;
    uint32_t targetRate = UINT32_MAX;
    uint32_t targetChannels = UINT32_MAX;
    uint64_t totalSamples = 0; // interleaved output samples the encoder should receive
    double sampleRatio = 0.0;  // (targetRate * targetChannels) / (sourceRate * sourceChannels)
    int32_t needsEffects = 0;
    std::atomic<int32_t> decoding{0};
    std::atomic<int32_t> encoding{0};
    std::atomic<int32_t> processing{0};
    SampleRing* encoderInput = nullptr; // not owned
    float* planeBuffer = nullptr;       // the decoding stage's scratch, owned by it while it runs

    CConversionTask() = default;
    CConversionTask(const CConversionTask& other);
    CConversionTask& operator=(const CConversionTask& other);
    ~CConversionTask() = default;

    // Playing time of n interleaved output samples.
    float SamplesToSeconds(uint64_t n) const;

    // Pipeline stages, each on its own thread; see the runner.
    int Run();
    int Decode();
    int Process();
    int Encode();
    int EncodeGuarded();
    static bool CheckSource(const std::string& path);

    bool Decoding() const { return decoding.load(std::memory_order_acquire) != 0; }
    bool Processing() const { return processing.load(std::memory_order_acquire) != 0; }
    bool Encoding() const { return encoding.load(std::memory_order_acquire) != 0; }
};

} // namespace tavora::engine
