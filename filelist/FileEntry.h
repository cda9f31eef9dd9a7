#pragma once

#include <cstdint>

namespace tavora::filelist {

// What the program trusts about one file in the list. Filled once when the file
// is added and never probed again.
struct FileEntry {
    int32_t unusable = 0; // 1 when the file cannot be opened or probed
    uint8_t type = 0;     // an AudioType, from the extension
    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint64_t totalSamples = 0; // frames of the whole stream times channels
    double size = 0.0;         // MB (bytes / 1048576)
    double duration = 0.0;     // seconds

    bool Usable() const { return unusable == 0; }
};

} // namespace tavora::filelist
