#pragma once

#include "tests/support/Mp3Analysis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tavora::testing {

// Samples per channel in one MP3 frame at rate.
inline uint64_t FrameSamples(long rate) {
    return rate >= 32000 ? 1152 : 576;
}

// Checks that path decodes, carries the information frame, has rate,
// channels and the constant bit rate in every frame header, and (when
// expectedFrames is not 0) decodes to expectedFrames within one MP3 frame.
inline ::testing::AssertionResult IsMp3(const std::string& path, long rate, int channels, int kbps,
                                        uint64_t expectedFrames) {
    const Mp3Report r = InspectMp3(path);
    if (!r.ok)
        return ::testing::AssertionFailure() << path << " does not decode: " << r.error;
    if (!r.hasInfoFrame)
        return ::testing::AssertionFailure() << path << " has no information frame";
    if (r.rate != rate || r.channels != channels)
        return ::testing::AssertionFailure()
               << "decoded as " << r.rate << " Hz, " << r.channels << " channels";
    if (r.bitratesKbps.empty())
        return ::testing::AssertionFailure() << "no audio frames";
    for (size_t i = 0; i < r.bitratesKbps.size(); ++i)
        if (r.bitratesKbps[i] != kbps || r.headerRates[i] != rate ||
            r.headerChannels[i] != channels)
            return ::testing::AssertionFailure()
                   << "frame " << i << ": " << r.bitratesKbps[i] << " kbps, " << r.headerRates[i]
                   << " Hz, " << r.headerChannels[i] << " channels";
    if (expectedFrames) {
        const uint64_t diff =
            r.frames > expectedFrames ? r.frames - expectedFrames : expectedFrames - r.frames;
        if (diff > FrameSamples(rate))
            return ::testing::AssertionFailure()
                   << "decoded " << r.frames << " frames, expected " << expectedFrames;
    }
    return ::testing::AssertionSuccess();
}

} // namespace tavora::testing
