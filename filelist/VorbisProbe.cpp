#include "filelist/VorbisProbe.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

namespace tavora::filelist {

VorbisProbeResult ProbeVorbis(const std::string& path, FileEntry& entry) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return VorbisProbeResult::CannotOpen;
    OggVorbis_File vf;
    // From here on the library owns the file and its close callback closes it,
    // except when the open fails.
    if (ov_open_callbacks(file, &vf, nullptr, 0, OV_CALLBACKS_DEFAULT) < 0) {
        ov_clear(&vf);
        std::fclose(file);
        return VorbisProbeResult::NotVorbis;
    }
    const vorbis_info* info = ov_info(&vf, -1);
    const ogg_int64_t frames = ov_pcm_total(&vf, -1);
    if (info) {
        entry.channels = info->channels > 0 ? static_cast<uint32_t>(info->channels) : 0;
        entry.sampleRate = info->rate > 0 ? static_cast<uint32_t>(info->rate) : 0;
    }
    // A negative total is an error code, not a length.
    entry.totalSamples = frames > 0 ? static_cast<uint64_t>(frames) * entry.channels : 0;
    entry.duration =
        entry.sampleRate != 0 && entry.channels != 0
            ? static_cast<double>(entry.totalSamples) / entry.sampleRate / entry.channels
            : 0.0;
    ov_clear(&vf);
    return VorbisProbeResult::Ok;
}

} // namespace tavora::filelist
