#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavora::testing {

// What a real decoder and a walk over the frame headers say about an MP3 file.
struct Mp3Report {
    bool ok = false; // decoded without error
    std::string error;
    long rate = 0; // decoder's output rate
    int channels = 0;
    std::vector<int16_t> pcm; // interleaved, encoder delay and padding removed
    uint64_t frames = 0;      // pcm.size() / channels

    // Frame header walk (the information frame included as frame 0 when present).
    int headerFrames = 0;
    std::vector<int> bitratesKbps; // of every audio frame, information frame excluded
    std::vector<long> headerRates;
    std::vector<int> headerChannels;
    int mpegVersion = 0;       // 1, 2 or 25 (2.5)
    bool hasInfoFrame = false; // "Info" or "Xing" tag in the first frame
    bool infoIsXing = false;
    uint32_t infoFrameCount = 0;                // frame count recorded in the tag, 0 when absent
    int encoderDelay = -1, encoderPadding = -1; // from the LAME extension, -1 when absent
};

Mp3Report InspectMp3(const std::string& path);

// Level in dB relative to full scale of one channel of interleaved PCM,
// skipping skipFrames at each end (filter settling).
double LevelDb(const std::vector<int16_t>& pcm, int channels, int channel = 0,
               uint64_t skipFrames = 0);

} // namespace tavora::testing
