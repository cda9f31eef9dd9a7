#include "engine/ConversionTask.h"

namespace tavora::engine {

CConversionTask::CConversionTask(const CConversionTask& other) {
    *this = other;
}

CConversionTask& CConversionTask::operator=(const CConversionTask& other) {
    if (this == &other)
        return *this;
    sourcePath = other.sourcePath;
    sourceType = other.sourceType;
    sourceRate = other.sourceRate;
    sourceChannels = other.sourceChannels;
    destPath = other.destPath;
    targetType = other.targetType;
    targetRate = other.targetRate;
    targetChannels = other.targetChannels;
    totalSamples = other.totalSamples;
    sampleRatio = other.sampleRatio;
    needsEffects = other.needsEffects;
    decoding.store(other.decoding.load(std::memory_order_acquire), std::memory_order_release);
    encoding.store(other.encoding.load(std::memory_order_acquire), std::memory_order_release);
    processing.store(other.processing.load(std::memory_order_acquire), std::memory_order_release);
    encoderInput = other.encoderInput;
    planeBuffer = other.planeBuffer;
    return *this;
}

float CConversionTask::SamplesToSeconds(uint64_t n) const {
    // The product wraps as 32-bit unsigned, as the counters always have.
    const uint32_t perSecond = targetChannels * targetRate;
    return static_cast<float>(static_cast<double>(n) / static_cast<double>(perSecond));
}

} // namespace tavora::engine
