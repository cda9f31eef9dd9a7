#pragma once

#include "filelist/FileEntry.h"

#include <string>

namespace tavora::filelist {

enum class VorbisProbeResult {
    Ok,         // channels, rate, total samples and duration filled
    CannotOpen, // the C library could not open the file
    NotVorbis,  // libvorbisfile rejected it
};

// Reads the stream headers and the total length of an Ogg Vorbis file (never
// the audio) into entry: channels and rate of the first link, total samples
// of the whole chain (frames times channels) and the duration in seconds.
// On failure entry is left as it was.
VorbisProbeResult ProbeVorbis(const std::string& path, FileEntry& entry);

} // namespace tavora::filelist
