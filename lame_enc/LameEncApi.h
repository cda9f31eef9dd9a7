#pragma once

// The interface of liblame_enc.so, the MP3 encoder adapter. The engine loads
// the library at run time and looks the entry points up by name, so this
// header only describes the record, the constants and the function types;
// nothing here needs linking.

#include <cstddef>
#include <cstdint>

namespace tavora::lame_enc {

using BeErr = std::uint32_t;    // 0 on success, otherwise one of kBeErr*
using BeStream = std::uint32_t; // opaque stream handle; 0 is never a valid one

inline constexpr BeErr kBeErrSuccessful = 0;
inline constexpr BeErr kBeErrInvalidFormat = 1; // wrong config kind, version or size
inline constexpr BeErr kBeErrInvalidFormatParameters =
    2; // a value the encoder cannot honour, or a null argument
inline constexpr BeErr kBeErrNoMoreHandles = 3;  // the encoder could not be created (memory)
inline constexpr BeErr kBeErrInvalidHandle = 4;  // unknown or already released stream
inline constexpr BeErr kBeErrBufferTooSmall = 5; // more samples per channel than one chunk
inline constexpr BeErr kBeErrWrongState = 6;   // encode after flush, flush twice, tag before flush
inline constexpr BeErr kBeErrEncodeFailed = 7; // libmp3lame reported an error
inline constexpr BeErr kBeErrFile = 8;         // tag file cannot be opened, read or written,
                                               // or does not start with the stream's reserved frame

inline constexpr std::uint32_t kConfigLame = 256;
inline constexpr std::uint32_t kConfigVersion = 1;

inline constexpr std::int32_t kModeStereo = 0;
inline constexpr std::int32_t kModeJointStereo = 1;
inline constexpr std::int32_t kModeDualChannel = 2;
inline constexpr std::int32_t kModeMono = 3;

inline constexpr std::int32_t kPresetNone = -1;
inline constexpr std::uint32_t kMpeg1 = 1;
inline constexpr std::uint32_t kMpeg2 = 0;

#pragma pack(push, 1)
// The LAME layout of the encoder configuration record. Booleans are 32-bit.
struct BeConfig {
    std::uint32_t configKind;    // kConfigLame
    std::uint32_t structVersion; // kConfigVersion
    std::uint32_t structSize;    // sizeof(BeConfig)
    std::uint32_t sampleRate;    // input rate, Hz
    std::uint32_t reSampleRate;  // output rate, Hz; 0 keeps the input rate (next standard rate up)
    std::int32_t mode;           // kMode*; kModeMono means one input channel
    std::uint32_t bitrate;       // kbit/s, 8..320; CBR: nearest rate the MPEG version carries
    std::uint32_t maxBitrate;    // kbit/s, VBR/ABR ceiling; 0 for none
    std::int32_t preset;         // kPresetNone (or 0); presets above 0 are refused
    std::uint32_t mpegVersion;   // a hint only: the output rate decides MPEG-1, 2 or 2.5
    std::uint32_t psyModel;      // ignored
    std::uint32_t emphasis;      // 0 none, 1 50/15 us, 3 CCITT J.17
    std::int32_t privateBit;
    std::int32_t crc;
    std::int32_t copyright;
    std::int32_t original;
    std::int32_t writeVbrHeader; // reserve an information frame, filled by beWriteInfoTag
    std::int32_t enableVbr;
    std::int32_t vbrQuality;  // 0 best .. 9
    std::uint32_t abrBitrate; // kbit/s; with enableVbr, non-zero selects ABR
    std::int32_t vbrMethod;   // ignored: libmp3lame has one VBR model
    std::int32_t noBitReservoir;
    std::int32_t strictIso;
    std::uint16_t quality; // low byte 0 best .. 9 fastest, honoured only when
                           // the high byte is its complement (see QualityWord)
    std::uint8_t reserved[237];
};
#pragma pack(pop)

static_assert(sizeof(BeConfig) == 331);
static_assert(offsetof(BeConfig, sampleRate) == 12);
static_assert(offsetof(BeConfig, mode) == 20);
static_assert(offsetof(BeConfig, preset) == 32);
static_assert(offsetof(BeConfig, emphasis) == 44);
static_assert(offsetof(BeConfig, privateBit) == 48);
static_assert(offsetof(BeConfig, writeVbrHeader) == 64);
static_assert(offsetof(BeConfig, vbrQuality) == 72);
static_assert(offsetof(BeConfig, noBitReservoir) == 84);
static_assert(offsetof(BeConfig, strictIso) == 88);
static_assert(offsetof(BeConfig, quality) == 92);
static_assert(offsetof(BeConfig, reserved) == 94);

// The quality word for encoder quality q (0..9).
constexpr std::uint16_t QualityWord(unsigned q) {
    return static_cast<std::uint16_t>(((255 - (q & 0xFF)) << 8) | (q & 0xFF));
}

// beInitStream(config, out samples per call, out output buffer bytes, out
// stream, ...). Samples per call counts interleaved samples of all channels;
// one beEncodeChunkFloatS16NI call takes at most that many divided by the
// channel count per channel. Every output buffer handed to the stream must
// hold the reported number of bytes. The fifteen trailing arguments are
// accepted and ignored; the engine passes 0, 0, seven empty texts, 0, 0, 30,
// 5, 16000, 2400. On failure *stream is 0.
using BeInitStreamFn = BeErr (*)(const BeConfig* config, std::uint32_t* samplesPerCall,
                                 std::uint32_t* outputBufferBytes, BeStream* stream,
                                 std::uint32_t reserved1, std::uint32_t reserved2,
                                 const wchar_t* text1, const wchar_t* text2, const wchar_t* text3,
                                 const wchar_t* text4, const wchar_t* text5, const wchar_t* text6,
                                 const wchar_t* text7, std::uint32_t reserved3,
                                 std::uint32_t reserved4, std::uint32_t reserved5,
                                 std::uint32_t reserved6, std::uint32_t reserved7,
                                 std::uint32_t reserved8);

// Floats in the range of 16-bit samples, one buffer per channel; right is
// ignored (may be null) for mono. Zero samples is allowed.
using BeEncodeChunkFloatS16NIFn = BeErr (*)(BeStream stream, std::uint32_t samplesPerChannel,
                                            const float* left, const float* right,
                                            std::uint8_t* output, std::uint32_t* outputBytes);

// Flushes the encoder: the last bytes of the stream.
using BeDeinitStreamFn = BeErr (*)(BeStream stream, std::uint8_t* output,
                                   std::uint32_t* outputBytes);

// Releases the encoder. A flushed stream's handle stays valid for
// beWriteInfoTag (or beWriteVBRHeader), which releases it.
using BeCloseStreamFn = BeErr (*)(BeStream stream);

// Write the finished information frame over the reserved first frame of the
// file at path (a native byte-string path); a stream without one (the flag
// was off, or its frames are too small to carry it) leaves the file alone.
// beWriteVBRHeader uses the most recently closed flushed stream.
using BeWriteVBRHeaderFn = BeErr (*)(const char* path);
using BeWriteInfoTagFn = BeErr (*)(BeStream stream, const char* path);

inline constexpr const char* kBeInitStream = "beInitStream";
inline constexpr const char* kBeEncodeChunkFloatS16NI = "beEncodeChunkFloatS16NI";
inline constexpr const char* kBeDeinitStream = "beDeinitStream";
inline constexpr const char* kBeCloseStream = "beCloseStream";
inline constexpr const char* kBeWriteVBRHeader = "beWriteVBRHeader";
inline constexpr const char* kBeWriteInfoTag = "beWriteInfoTag";

} // namespace tavora::lame_enc
