// The encoder adapter: the entry points of LameEncApi.h over libmp3lame.

#include "lame_enc/LameEncApi.h"

#include <lame/lame.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <type_traits>
#include <unordered_map>
#include <vector>

using namespace tavora::lame_enc;

static_assert(std::endian::native == std::endian::little,
              "the configuration record is read in place and is little-endian");

#define LAME_ENC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// One chunk is one MPEG-1 frame per channel, and two MPEG-2/2.5 frames.
constexpr std::uint32_t kSamplesPerChannel = 1152;
// libmp3lame's documented worst case for one call (1.25 bytes per sample
// plus 7200), which also covers the 7200 bytes a flush may need.
constexpr std::uint32_t kOutputBufferBytes = kSamplesPerChannel * 5 / 4 + 7200;

constexpr std::array<std::uint32_t, 9> kMpegRates = {8000,  11025, 12000, 16000, 22050,
                                                     24000, 32000, 44100, 48000};

struct Stream {
    std::mutex mutex;
    lame_global_flags* lame = nullptr;
    int channels = 0;
    bool flushed = false;
    std::vector<unsigned char> tagFrame; // final information frame, empty when there is none

    ~Stream() { Release(); }
    void Release() {
        if (lame) {
            lame_close(lame);
            lame = nullptr;
        }
    }
};

// Handles are ids rather than pointers, so a stale or foreign handle is an
// error result instead of a crash. Ids are never reused.
class Registry {
public:
    BeStream Add(std::shared_ptr<Stream> stream) {
        std::lock_guard lock(mutex_);
        BeStream id = next_++;
        if (next_ == 0)
            next_ = 1;
        streams_.emplace(id, std::move(stream));
        return id;
    }
    std::shared_ptr<Stream> Find(BeStream id) {
        std::lock_guard lock(mutex_);
        auto it = streams_.find(id);
        return it == streams_.end() ? nullptr : it->second;
    }
    void Remove(BeStream id) {
        std::lock_guard lock(mutex_);
        streams_.erase(id);
        std::erase(awaitingTag_, id);
    }
    // A flushed stream that was closed keeps its handle for the tag call.
    void AwaitTag(BeStream id) {
        std::lock_guard lock(mutex_);
        std::erase(awaitingTag_, id);
        awaitingTag_.push_back(id);
    }
    BeStream LatestAwaitingTag() {
        std::lock_guard lock(mutex_);
        return awaitingTag_.empty() ? 0 : awaitingTag_.back();
    }

private:
    std::mutex mutex_;
    std::unordered_map<BeStream, std::shared_ptr<Stream>> streams_;
    std::vector<BeStream> awaitingTag_;
    BeStream next_ = 1;
};

Registry& Streams() {
    static Registry registry;
    return registry;
}

// No exception may cross the C boundary.
template <typename Body> BeErr Guarded(Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kBeErrNoMoreHandles;
    } catch (...) {
        return kBeErrEncodeFailed;
    }
}

bool IsMpegRate(std::uint32_t rate) {
    return std::find(kMpegRates.begin(), kMpegRates.end(), rate) != kMpegRates.end();
}

// Without a requested output rate the input rate is kept; a rate MP3 cannot
// carry goes to the next standard rate up, at most 48000 Hz.
std::uint32_t OutputRate(const BeConfig& config) {
    if (config.reSampleRate != 0)
        return config.reSampleRate;
    for (std::uint32_t rate : kMpegRates)
        if (rate >= config.sampleRate)
            return rate;
    return kMpegRates.back();
}

bool ValidBitrate(std::uint32_t kbps, bool zeroAllowed) {
    return (zeroAllowed && kbps == 0) || (kbps >= 8 && kbps <= 320);
}

BeErr CheckParameters(const BeConfig& config) {
    const bool vbr = config.enableVbr != 0;
    if (config.sampleRate == 0 || (config.reSampleRate != 0 && !IsMpegRate(config.reSampleRate)))
        return kBeErrInvalidFormatParameters;
    if (config.mode < kModeStereo || config.mode > kModeMono)
        return kBeErrInvalidFormatParameters;
    if (!ValidBitrate(config.bitrate, vbr) || !ValidBitrate(config.maxBitrate, true) ||
        !ValidBitrate(config.abrBitrate, true))
        return kBeErrInvalidFormatParameters;
    if (config.preset > 0)
        return kBeErrInvalidFormatParameters;
    if (config.emphasis != 0 && config.emphasis != 1 && config.emphasis != 3)
        return kBeErrInvalidFormatParameters;
    return kBeErrSuccessful;
}

MPEG_mode LameMode(std::int32_t mode) {
    switch (mode) {
    case kModeJointStereo:
        return JOINT_STEREO;
    case kModeDualChannel:
        return DUAL_CHANNEL;
    case kModeMono:
        return MONO;
    default:
        return STEREO;
    }
}

void Configure(lame_global_flags* lame, const BeConfig& config, std::uint32_t outRate) {
    const int channels = config.mode == kModeMono ? 1 : 2;
    lame_set_in_samplerate(lame, static_cast<int>(config.sampleRate));
    lame_set_out_samplerate(lame, static_cast<int>(outRate));
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, LameMode(config.mode));

    if (config.enableVbr) {
        if (config.abrBitrate != 0) {
            lame_set_VBR(lame, vbr_abr);
            lame_set_VBR_mean_bitrate_kbps(lame, static_cast<int>(config.abrBitrate));
        } else {
            lame_set_VBR(lame, vbr_default);
            lame_set_VBR_quality(lame, static_cast<float>(std::clamp(config.vbrQuality, 0, 9)));
        }
        if (config.bitrate != 0)
            lame_set_VBR_min_bitrate_kbps(lame, static_cast<int>(config.bitrate));
        if (config.maxBitrate != 0)
            lame_set_VBR_max_bitrate_kbps(lame, static_cast<int>(config.maxBitrate));
    } else {
        lame_set_VBR(lame, vbr_off);
        lame_set_brate(lame, static_cast<int>(config.bitrate));
    }

    // The complement guard tells a deliberate quality from stray bytes.
    const unsigned low = config.quality & 0xFFu;
    const unsigned high = config.quality >> 8;
    if (high == (~low & 0xFFu))
        lame_set_quality(lame, static_cast<int>(std::min(low, 9u)));

    lame_set_emphasis(lame, static_cast<int>(config.emphasis));
    lame_set_extension(lame, config.privateBit != 0);
    lame_set_error_protection(lame, config.crc != 0);
    lame_set_copyright(lame, config.copyright != 0);
    lame_set_original(lame, config.original != 0); // libmp3lame's default is on
    lame_set_disable_reservoir(lame, config.noBitReservoir != 0);
    lame_set_strict_ISO(lame, config.strictIso != 0);
    lame_set_bWriteVbrTag(lame, config.writeVbrHeader != 0);
    lame_set_write_id3tag_automatic(lame, 0); // the file starts with our frames
}

// Replaces the reserved first frame of the file with the final tag frame,
// after making sure the file starts with a frame of the same header.
BeErr WriteTagFrame(const std::vector<unsigned char>& tag, const char* path) {
    if (tag.empty())
        return kBeErrSuccessful;
    if (!path)
        return kBeErrInvalidFormatParameters;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "r+b"), &std::fclose);
    if (!file)
        return kBeErrFile;
    unsigned char header[4];
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header ||
        std::memcmp(header, tag.data(), sizeof header) != 0)
        return kBeErrFile;
    if (std::fseek(file.get(), 0, SEEK_SET) != 0 ||
        std::fwrite(tag.data(), 1, tag.size(), file.get()) != tag.size() ||
        std::fclose(file.release()) != 0)
        return kBeErrFile;
    return kBeErrSuccessful;
}

// Writes the tag of a flushed stream and ends the handle's life.
BeErr FinishWithTag(BeStream id, const char* path) {
    std::shared_ptr<Stream> stream = Streams().Find(id);
    if (!stream)
        return kBeErrInvalidHandle;
    std::lock_guard lock(stream->mutex);
    if (!stream->flushed)
        return kBeErrWrongState;
    Streams().Remove(id);
    stream->Release();
    return WriteTagFrame(stream->tagFrame, path);
}

// The common start of the calls that produce output: a known stream that is
// still encoding, and somewhere to put the bytes. fn runs under the stream's lock.
template <typename Fn>
BeErr WithEncodingStream(BeStream id, std::uint8_t* output, std::uint32_t* outputBytes, Fn fn) {
    return Guarded([&]() -> BeErr {
        if (outputBytes)
            *outputBytes = 0;
        std::shared_ptr<Stream> stream = Streams().Find(id);
        if (!stream)
            return kBeErrInvalidHandle;
        std::lock_guard lock(stream->mutex);
        if (stream->flushed || !stream->lame)
            return kBeErrWrongState;
        if (!output || !outputBytes)
            return kBeErrInvalidFormatParameters;
        return fn(stream.get());
    });
}

} // namespace

LAME_ENC_EXPORT BeErr beInitStream(const BeConfig* config, std::uint32_t* samplesPerCall,
                                   std::uint32_t* outputBufferBytes, BeStream* stream,
                                   std::uint32_t, std::uint32_t, const wchar_t*, const wchar_t*,
                                   const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*,
                                   const wchar_t*, std::uint32_t, std::uint32_t, std::uint32_t,
                                   std::uint32_t, std::uint32_t, std::uint32_t) {
    return Guarded([&]() -> BeErr {
        if (stream)
            *stream = 0;
        if (!config || !samplesPerCall || !outputBufferBytes || !stream)
            return kBeErrInvalidFormatParameters;
        if (config->configKind != kConfigLame || config->structVersion != kConfigVersion ||
            config->structSize != sizeof(BeConfig))
            return kBeErrInvalidFormat;
        if (BeErr e = CheckParameters(*config); e != kBeErrSuccessful)
            return e;

        auto created = std::make_shared<Stream>();
        created->lame = lame_init();
        if (!created->lame)
            return kBeErrNoMoreHandles;
        const std::uint32_t outRate = OutputRate(*config);
        Configure(created->lame, *config, outRate);
        if (lame_init_params(created->lame) < 0)
            return kBeErrInvalidFormatParameters;
        // libmp3lame may move an unusual rate elsewhere; the stream would then
        // not be what the caller's header expects.
        if (lame_get_out_samplerate(created->lame) != static_cast<int>(outRate))
            return kBeErrInvalidFormatParameters;
        created->channels = lame_get_num_channels(created->lame);

        *samplesPerCall = kSamplesPerChannel * static_cast<std::uint32_t>(created->channels);
        *outputBufferBytes = kOutputBufferBytes;
        *stream = Streams().Add(std::move(created));
        return kBeErrSuccessful;
    });
}

LAME_ENC_EXPORT BeErr beEncodeChunkFloatS16NI(BeStream id, std::uint32_t samplesPerChannel,
                                              const float* left, const float* right,
                                              std::uint8_t* output, std::uint32_t* outputBytes) {
    return WithEncodingStream(id, output, outputBytes, [&](Stream* stream) -> BeErr {
        if (samplesPerChannel > kSamplesPerChannel)
            return kBeErrBufferTooSmall;
        if (samplesPerChannel == 0)
            return kBeErrSuccessful;
        if (!left || (stream->channels == 2 && !right))
            return kBeErrInvalidFormatParameters;
        const int n = lame_encode_buffer_float(
            stream->lame, left, stream->channels == 2 ? right : left,
            static_cast<int>(samplesPerChannel), output, static_cast<int>(kOutputBufferBytes));
        if (n < 0)
            return kBeErrEncodeFailed;
        *outputBytes = static_cast<std::uint32_t>(n);
        return kBeErrSuccessful;
    });
}

LAME_ENC_EXPORT BeErr beDeinitStream(BeStream id, std::uint8_t* output,
                                     std::uint32_t* outputBytes) {
    return WithEncodingStream(id, output, outputBytes, [&](Stream* stream) -> BeErr {
        const int n = lame_encode_flush(stream->lame, output, static_cast<int>(kOutputBufferBytes));
        if (n < 0)
            return kBeErrEncodeFailed;

        // The tag frame needs the encoder's final counts, so it is taken now,
        // before beCloseStream releases the encoder.
        const std::size_t size = lame_get_lametag_frame(stream->lame, nullptr, 0);
        stream->tagFrame.resize(size);
        if (size != 0 &&
            lame_get_lametag_frame(stream->lame, stream->tagFrame.data(), size) != size)
            return kBeErrEncodeFailed;

        stream->flushed = true;
        *outputBytes = static_cast<std::uint32_t>(n);
        return kBeErrSuccessful;
    });
}

LAME_ENC_EXPORT BeErr beCloseStream(BeStream id) {
    return Guarded([&]() -> BeErr {
        std::shared_ptr<Stream> stream = Streams().Find(id);
        if (!stream)
            return kBeErrInvalidHandle;
        std::lock_guard lock(stream->mutex);
        stream->Release();
        if (stream->flushed)
            Streams().AwaitTag(id);
        else
            Streams().Remove(id);
        return kBeErrSuccessful;
    });
}

LAME_ENC_EXPORT BeErr beWriteInfoTag(BeStream id, const char* path) {
    return Guarded([&] { return FinishWithTag(id, path); });
}

LAME_ENC_EXPORT BeErr beWriteVBRHeader(const char* path) {
    return Guarded([&]() -> BeErr {
        const BeStream id = Streams().LatestAwaitingTag();
        return id == 0 ? kBeErrInvalidHandle : FinishWithTag(id, path);
    });
}

// The exports must match the types the engine casts dlsym's results to.
static_assert(std::is_same_v<decltype(&beInitStream), BeInitStreamFn>);
static_assert(std::is_same_v<decltype(&beEncodeChunkFloatS16NI), BeEncodeChunkFloatS16NIFn>);
static_assert(std::is_same_v<decltype(&beDeinitStream), BeDeinitStreamFn>);
static_assert(std::is_same_v<decltype(&beCloseStream), BeCloseStreamFn>);
static_assert(std::is_same_v<decltype(&beWriteVBRHeader), BeWriteVBRHeaderFn>);
static_assert(std::is_same_v<decltype(&beWriteInfoTag), BeWriteInfoTagFn>);
