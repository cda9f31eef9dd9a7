// The decoding stage: CConversionTask::Decode.
#include "engine/VorbisDecoder.h"

#include "engine/ConversionTask.h"
#include "engine/PipelineContext.h"
#include "engine/Progress.h"
#include "platform/Ticks.h"

// The header defines its callback sets as static data; this file uses one of them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-variable"
#include <vorbis/vorbisfile.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace tavora::engine {

int32_t FloatToInt32(float sample) {
    const double x = static_cast<double>(sample) * 2147483648.0; // exact for every float
    if (x >= 2147483647.0)
        return INT32_MAX;
    if (!(x >= -2147483648.0)) // below the range, or NaN
        return INT32_MIN;
    return static_cast<int32_t>(std::nearbyint(x)); // default rounding: ties to even
}

void FloatToInt32(const float* src, int32_t* dst, size_t count) {
    // Backwards and through a temporary, so an overlaid dst never clobbers an unread src.
    for (size_t j = count; j-- > 0;) {
        float value;
        std::memcpy(&value, src + j, sizeof value);
        const int32_t converted = FloatToInt32(value);
        std::memcpy(dst + j, &converted, sizeof converted);
    }
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Clears the library state on every way out of the stage.
class VorbisFile {
public:
    VorbisFile() = default;
    ~VorbisFile() {
        if (open_)
            ov_clear(&vf_);
    }
    VorbisFile(const VorbisFile&) = delete;
    VorbisFile& operator=(const VorbisFile&) = delete;

    int Open(std::FILE* file) {
        const int result = ov_open_callbacks(file, &vf_, nullptr, 0, OV_CALLBACKS_NOCLOSE);
        open_ = result >= 0;
        return result;
    }
    OggVorbis_File* Get() { return &vf_; }

private:
    OggVorbis_File vf_{};
    bool open_ = false;
};

// Clears planeBuffer when the stage leaves, so the job never points at freed scratch.
struct PlaneBufferGuard {
    CConversionTask& job;
    ~PlaneBufferGuard() { job.planeBuffer = nullptr; }
};

} // namespace

int CConversionTask::Decode() {
    const PipelineContext context = ContextFor(*this);
    if (!context.state || !context.decodedRing)
        return 0;
    ConversionState& state = *context.state;
    SampleRing& ring = *context.decodedRing;

    FilePtr file(std::fopen(sourcePath.c_str(), "rb"));
    if (!file) {
        StopWithError(state, FormatText("Error : could not open file : %s", sourcePath.c_str()));
        return 0;
    }
    VorbisFile vorbis;
    if (vorbis.Open(file.get()) < 0) {
        StopWithError(state, "Invalid ogg vorbis stream");
        return 0;
    }

    // Opening a chained file whose first link is a single page leaves the
    // library at the end of that link, which would silently drop it.
    if (ov_seekable(vorbis.Get()) && ov_pcm_tell(vorbis.Get()) > 0) {
        const int rewound = ov_raw_seek(vorbis.Get(), 0);
        if (rewound < 0) {
            StopWithError(state, FormatText("Fatal read error: %d", rewound));
            return 0;
        }
    }

    // The buffers follow the probed format. Every link is checked against it
    // before its samples are touched: a link of a chained stream with another
    // channel count would be read past the end of the library's planes, and
    // one with another rate would come out at the wrong speed.
    const uint32_t ch = sourceChannels;
    auto mismatch = [&](int link) {
        const vorbis_info* info = ov_info(vorbis.Get(), link);
        if (info && ch >= 1 && ch <= 255 && info->channels == static_cast<int>(ch) &&
            info->rate == static_cast<long>(sourceRate))
            return false;
        StopWithError(state, FormatText("Unsupported stream format in %s: %d channels at %ld Hz "
                                        "where %u channels at %u Hz were expected",
                                        sourcePath.c_str(), info ? info->channels : 0,
                                        info ? info->rate : 0L, ch, sourceRate));
        return true;
    };
    // A seekable file names all its links up front, so a mismatch stops the
    // job before any sample is written; the check per read covers the rest.
    for (long link = 0; link < std::max(1L, ov_streams(vorbis.Get())); ++link)
        if (mismatch(static_cast<int>(link)))
            return 0;
    std::vector<float> planes(static_cast<size_t>(ch) * kDecodeChunkFrames);
    std::vector<float*> pointers(ch);
    for (uint32_t k = 0; k < ch; ++k)
        pointers[k] = planes.data() + static_cast<size_t>(k) * kDecodeChunkFrames;
    std::vector<int32_t> interleaved(static_cast<size_t>(ch) * kDecodeChunkFrames);
    planeBuffer = planes.data();
    PlaneBufferGuard planeGuard{*this};

    const uint32_t chunk = ch * kDecodeChunkFrames;
    int result = 1;
    int checkedLink = 0;
    while (state.Running()) {
        if (ring.Free() < chunk) {
            platform::SleepMs(1);
            continue;
        }
        float** pcm = pointers.data();
        int link = 0;
        const long n = ov_read_float(vorbis.Get(), &pcm, kDecodeChunkFrames, &link);
        if (n < 0) {
            StopWithError(state, FormatText("Fatal read error: %d", static_cast<int>(n)));
            result = 0;
            break;
        }
        if (n == 0)
            break;
        if (link != checkedLink) {
            if (mismatch(link)) {
                result = 0;
                break;
            }
            checkedLink = link;
        }
        const size_t frames = static_cast<size_t>(n);
        for (size_t i = 0; i < frames; ++i)
            for (uint32_t k = 0; k < ch; ++k)
                interleaved[i * ch + k] = FloatToInt32(pcm[k][i]) & kSampleMask;
        ring.Write(interleaved.data(), static_cast<uint32_t>(frames * ch));
    }
    return result;
}

} // namespace tavora::engine
