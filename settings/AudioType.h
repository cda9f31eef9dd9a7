#pragma once

#include <cstdint>

namespace tavora {

// Codes of audio file types, shared by file entries, settings and jobs.
enum AudioType : int32_t {
    AUDIO_UNKNOWN = 0,
    AUDIO_OGG_VORBIS = 1,
    AUDIO_MP3 = 2,
};

enum ChannelMode : int16_t {
    CHANNELS_AUTOMATIC = 0,
    CHANNELS_MONO = 1,
    CHANNELS_STEREO = 2,
};

} // namespace tavora
