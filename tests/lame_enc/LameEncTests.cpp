// The encoder adapter, driven through dlopen as the engine drives it, with
// its output checked by a real decoder (libmpg123).

#include "lame_enc/LameEncApi.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <set>
#include <string>
#include <vector>

namespace le = tavora::lame_enc;
namespace fs = std::filesystem;

namespace {

struct Api {
    le::BeInitStreamFn init = nullptr;
    le::BeEncodeChunkFloatS16NIFn encode = nullptr;
    le::BeDeinitStreamFn deinit = nullptr;
    le::BeCloseStreamFn close = nullptr;
    le::BeWriteVBRHeaderFn writeVbrHeader = nullptr;
    le::BeWriteInfoTagFn writeInfoTag = nullptr;
    std::string error;
};

// Loaded from the test's own folder, like the engine's "next to the
// executable", and never unloaded.
Api LoadApi() {
    Api api;
    const fs::path library = fs::read_symlink("/proc/self/exe").parent_path() / "liblame_enc.so";
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        api.error = dlerror();
        return api;
    }
    auto symbol = [&](const char* name) {
        void* p = dlsym(handle, name);
        if (!p)
            api.error += std::string("missing ") + name + "; ";
        return p;
    };
    api.init = reinterpret_cast<le::BeInitStreamFn>(symbol(le::kBeInitStream));
    api.encode =
        reinterpret_cast<le::BeEncodeChunkFloatS16NIFn>(symbol(le::kBeEncodeChunkFloatS16NI));
    api.deinit = reinterpret_cast<le::BeDeinitStreamFn>(symbol(le::kBeDeinitStream));
    api.close = reinterpret_cast<le::BeCloseStreamFn>(symbol(le::kBeCloseStream));
    api.writeVbrHeader = reinterpret_cast<le::BeWriteVBRHeaderFn>(symbol(le::kBeWriteVBRHeader));
    api.writeInfoTag = reinterpret_cast<le::BeWriteInfoTagFn>(symbol(le::kBeWriteInfoTag));
    return api;
}

const Api& Lib() {
    static const Api api = LoadApi();
    return api;
}

// The record as the encoding stage fills it.
le::BeConfig EngineConfig(std::uint32_t rate, int channels, std::uint32_t kbps) {
    le::BeConfig c{};
    c.configKind = le::kConfigLame;
    c.structVersion = le::kConfigVersion;
    c.structSize = sizeof(le::BeConfig);
    c.sampleRate = rate;
    c.mode = channels == 1 ? le::kModeMono : le::kModeStereo;
    c.bitrate = kbps;
    c.preset = le::kPresetNone;
    c.mpegVersion = le::kMpeg1;
    c.writeVbrHeader = 1;
    c.noBitReservoir = 1;
    c.quality = le::QualityWord(9);
    return c;
}

int ChannelsOf(const le::BeConfig& c) {
    return c.mode == le::kModeMono ? 1 : 2;
}

le::BeErr Init(const le::BeConfig& c, std::uint32_t* chunk, std::uint32_t* outSize,
               le::BeStream* stream) {
    static const wchar_t empty[] = L"";
    return Lib().init(&c, chunk, outSize, stream, 0, 0, empty, empty, empty, empty, empty, empty,
                      empty, 0, 0, 30, 5, 16000, 2400);
}

// Interleaved samples in the range of 16-bit ones: a tone on the left (or
// only) channel, a quiet one an octave up on the right.
std::vector<float> Tone(std::uint32_t rate, int channels, std::size_t frames) {
    std::vector<float> pcm(frames * channels);
    for (std::size_t i = 0; i < frames; ++i) {
        const double phase = 2 * std::numbers::pi * 440.0 * double(i) / rate;
        pcm[i * channels] = float(12000 * std::sin(phase));
        if (channels == 2)
            pcm[i * channels + 1] = float(1200 * std::sin(2 * phase));
    }
    return pcm;
}

// libmp3lame's encoder delay, and the tail its flush adds so the decoder's
// own delay does not cut the last samples.
constexpr long kEncoderDelay = 576;
constexpr long kFlushTail = 576;

struct Encoded {
    le::BeErr error = le::kBeErrSuccessful; // first failing call
    le::BeStream stream = 0;
    std::uint32_t chunk = 0;
    std::uint32_t outSize = 0;
    std::vector<std::uint8_t> mp3;
};

// Runs a stream up to and including beDeinitStream the way the encoding stage
// does: full chunks, then the remainder (possibly empty) as the last chunk.
// Every call must stay inside the output buffer size the library reported.
Encoded EncodeFlushed(const le::BeConfig& c, const std::vector<float>& pcm) {
    Encoded e;
    e.error = Init(c, &e.chunk, &e.outSize, &e.stream);
    if (e.error != le::kBeErrSuccessful)
        return e;
    const int channels = ChannelsOf(c);
    constexpr std::size_t kGuard = 64;
    std::vector<std::uint8_t> out(e.outSize + kGuard, 0xA5);
    std::vector<float> left(e.chunk / channels), right(e.chunk / channels);
    auto take = [&](std::uint32_t produced) {
        EXPECT_LE(produced, e.outSize);
        EXPECT_TRUE(std::all_of(out.begin() + e.outSize, out.end(), [](std::uint8_t b) {
            return b == 0xA5;
        })) << "wrote past the reported output buffer size";
        e.mp3.insert(e.mp3.end(), out.begin(), out.begin() + std::min(produced, e.outSize));
    };
    std::size_t pos = 0;
    for (bool last = false; !last;) {
        const std::size_t n = std::min<std::size_t>(e.chunk, pcm.size() - pos);
        last = n < e.chunk;
        const std::size_t perChannel = n / channels;
        for (std::size_t i = 0; i < perChannel; ++i) {
            left[i] = pcm[pos + i * channels];
            if (channels == 2)
                right[i] = pcm[pos + i * channels + 1];
        }
        std::uint32_t produced = 0;
        e.error = Lib().encode(e.stream, std::uint32_t(perChannel), left.data(),
                               channels == 2 ? right.data() : nullptr, out.data(), &produced);
        if (e.error != le::kBeErrSuccessful)
            return e;
        take(produced);
        pos += n;
    }
    std::uint32_t produced = 0;
    e.error = Lib().deinit(e.stream, out.data(), &produced);
    if (e.error == le::kBeErrSuccessful)
        take(produced);
    return e;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The information tag of the first frame, read straight from the bytes.
struct InfoTag {
    bool present = false;
    bool xing = false; // "Xing" (VBR) rather than "Info" (CBR)
    std::uint32_t frames = 0;
    std::uint32_t bytes = 0;
};

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

InfoTag ReadInfoTag(const std::vector<std::uint8_t>& mp3) {
    InfoTag tag;
    if (mp3.size() < 4 || mp3[0] != 0xFF || (mp3[1] & 0xE0) != 0xE0)
        return tag;
    const bool mpeg1 = ((mp3[1] >> 3) & 3) == 3;
    const bool mono = (mp3[3] >> 6) == 3;
    const bool crc = (mp3[1] & 1) == 0;
    const std::size_t at = 4 + (crc ? 2 : 0) + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (mp3.size() < at + 16)
        return tag;
    const std::uint8_t* p = mp3.data() + at;
    tag.xing = std::memcmp(p, "Xing", 4) == 0;
    tag.present = tag.xing || std::memcmp(p, "Info", 4) == 0;
    if (tag.present && (p[7] & 3) == 3) {
        tag.frames = BigEndian32(p + 8);
        tag.bytes = BigEndian32(p + 12);
    }
    return tag;
}

struct Decoded {
    std::string error; // empty when the whole file decoded cleanly
    long rate = 0;
    int channels = 0;
    std::vector<mpg123_frameinfo2> frames; // every audio frame
    std::vector<std::int16_t> pcm;         // interleaved
    long encoderDelay = -1, encoderPadding = -1;
    std::size_t Length() const { return channels ? pcm.size() / channels : 0; }
    double Rms(int channel) const {
        double sum = 0;
        for (std::size_t i = channel; i < pcm.size(); i += channels)
            sum += double(pcm[i]) * pcm[i];
        return Length() ? std::sqrt(sum / double(Length())) : 0;
    }
};

// Gapless decoding trims the encoder delay and padding the Info tag records.
Decoded Decode(const fs::path& path) {
    Decoded d;
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) {
        d.error = "mpg123_new failed";
        return d;
    }
    mpg123_param2(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    mpg123_format_none(mh);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(mh, path.c_str()) != MPG123_OK) {
        d.error = mpg123_strerror(mh);
        mpg123_delete(mh);
        return d;
    }
    for (;;) {
        off_t num = 0;
        unsigned char* audio = nullptr;
        std::size_t bytes = 0;
        const int r = mpg123_decode_frame(mh, &num, &audio, &bytes);
        if (r == MPG123_DONE)
            break;
        if (r == MPG123_NEW_FORMAT) {
            int encoding = 0;
            mpg123_getformat(mh, &d.rate, &d.channels, &encoding);
            continue;
        }
        if (r != MPG123_OK) {
            d.error = mpg123_strerror(mh);
            break;
        }
        mpg123_frameinfo2 info{};
        mpg123_info2(mh, &info);
        d.frames.push_back(info);
        const auto* samples = reinterpret_cast<const std::int16_t*>(audio);
        d.pcm.insert(d.pcm.end(), samples, samples + bytes / sizeof(std::int16_t));
    }
    double unused = 0;
    mpg123_getstate(mh, MPG123_ENC_DELAY, &d.encoderDelay, &unused);
    mpg123_getstate(mh, MPG123_ENC_PADDING, &d.encoderPadding, &unused);
    mpg123_close(mh);
    mpg123_delete(mh);
    return d;
}

class LameEnc : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Lib().error.empty()) << Lib().error;
        dir_ = fs::temp_directory_path() /
               ("lame_enc_tests-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Path(const std::string& name) const { return dir_ / name; }

    // A flushed stream written to a file and closed, its tag not yet written.
    Encoded EncodeToFile(const le::BeConfig& c, const std::vector<float>& pcm,
                         const fs::path& path) {
        Encoded e = EncodeFlushed(c, pcm);
        if (e.error == le::kBeErrSuccessful) {
            WriteBytes(path, e.mp3);
            EXPECT_EQ(Lib().close(e.stream), le::kBeErrSuccessful);
        }
        return e;
    }

    fs::path dir_;
};

TEST_F(LameEnc, RejectsRecordsItCannotHonour) {
    struct Case {
        const char* name;
        std::function<void(le::BeConfig&)> change;
        le::BeErr expected;
    };
    const Case cases[] = {
        {"the engine's record", [](le::BeConfig&) {}, le::kBeErrSuccessful},
        {"MP3 config kind", [](le::BeConfig& c) { c.configKind = 0; }, le::kBeErrInvalidFormat},
        {"AAC-like config kind", [](le::BeConfig& c) { c.configKind = 257; },
         le::kBeErrInvalidFormat},
        {"struct size short", [](le::BeConfig& c) { c.structSize = 330; }, le::kBeErrInvalidFormat},
        {"struct size long", [](le::BeConfig& c) { c.structSize = 332; }, le::kBeErrInvalidFormat},
        {"struct version 0", [](le::BeConfig& c) { c.structVersion = 0; }, le::kBeErrInvalidFormat},
        {"no sample rate", [](le::BeConfig& c) { c.sampleRate = 0; },
         le::kBeErrInvalidFormatParameters},
        {"resample to a rate MP3 lacks", [](le::BeConfig& c) { c.reSampleRate = 44000; },
         le::kBeErrInvalidFormatParameters},
        {"mode 4", [](le::BeConfig& c) { c.mode = 4; }, le::kBeErrInvalidFormatParameters},
        {"CBR without bit rate", [](le::BeConfig& c) { c.bitrate = 0; },
         le::kBeErrInvalidFormatParameters},
        {"bit rate above 320", [](le::BeConfig& c) { c.bitrate = 384; },
         le::kBeErrInvalidFormatParameters},
        {"a preset", [](le::BeConfig& c) { c.preset = 1001; }, le::kBeErrInvalidFormatParameters},
        {"reserved emphasis", [](le::BeConfig& c) { c.emphasis = 2; },
         le::kBeErrInvalidFormatParameters},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        le::BeConfig c = EngineConfig(44100, 2, 128);
        test.change(c);
        std::uint32_t chunk = 0, outSize = 0;
        le::BeStream stream = 0xDEAD;
        EXPECT_EQ(Init(c, &chunk, &outSize, &stream), test.expected);
        if (test.expected == le::kBeErrSuccessful) {
            EXPECT_NE(stream, 0u);
            EXPECT_EQ(Lib().close(stream), le::kBeErrSuccessful);
        } else {
            EXPECT_EQ(stream, 0u);
        }
    }
    le::BeConfig c = EngineConfig(44100, 2, 128);
    le::BeStream stream = 0;
    EXPECT_EQ(Init(c, nullptr, nullptr, &stream), le::kBeErrInvalidFormatParameters);
    EXPECT_EQ(Lib().init(nullptr, nullptr, nullptr, &stream, 0, 0, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, 0),
              le::kBeErrInvalidFormatParameters);
}

// Every combination the settings can produce comes out as a stream whose
// every frame header says what it holds, at the requested rate and channel
// count, and as long as the input.
TEST_F(LameEnc, RatesBitRatesAndChannels) {
    struct Case {
        std::uint32_t inRate, reSample;
        int channels;
        std::uint32_t kbps;
        long outRate;
        int version;
        int wantKbps; // the nearest rate the MPEG version carries
        bool infoTag; // frames of 8 to 32 kbit/s are too small to carry one
    };
    const Case cases[] = {
        {44100, 0, 2, 128, 44100, MPG123_1_0, 128, true},
        {44100, 0, 1, 320, 44100, MPG123_1_0, 320, true},
        {32000, 0, 2, 64, 32000, MPG123_1_0, 64, true},
        {24000, 0, 2, 160, 24000, MPG123_2_0, 160, true},
        {22050, 0, 1, 8, 22050, MPG123_2_0, 8, false},
        {16000, 0, 2, 32, 16000, MPG123_2_0, 32, false},
        {12000, 0, 1, 64, 12000, MPG123_2_5, 64, true},
        {11025, 0, 2, 8, 11025, MPG123_2_5, 8, false},
        {8000, 0, 1, 8, 8000, MPG123_2_5, 8, false},
        {8000, 0, 2, 320, 8000, MPG123_2_5, 64, true},  // libmp3lame's ceiling below 16 kHz
        {44100, 0, 2, 8, 44100, MPG123_1_0, 32, false}, // MPEG-1's floor
        {44100, 22050, 2, 128, 22050, MPG123_2_0, 128, true},
        {44056, 0, 1, 128, 44100, MPG123_1_0, 128, true}, // next standard rate up
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(::testing::Message() << test.inRate << " Hz -> " << test.outRate << " Hz, "
                                          << test.channels << " ch, " << test.kbps << " kbit/s");
        le::BeConfig c = EngineConfig(test.inRate, test.channels, test.kbps);
        c.reSampleRate = test.reSample;
        const std::size_t inputLength = test.inRate + 1234;
        const fs::path path = Path("out.mp3");
        const Encoded e = EncodeToFile(c, Tone(test.inRate, test.channels, inputLength), path);
        ASSERT_EQ(e.error, le::kBeErrSuccessful);
        EXPECT_EQ(e.chunk % test.channels, 0u);
        EXPECT_EQ(Lib().writeInfoTag(e.stream, path.c_str()), le::kBeErrSuccessful);

        const Decoded d = Decode(path);
        ASSERT_EQ(d.error, "");
        EXPECT_EQ(d.rate, test.outRate);
        EXPECT_EQ(d.channels, test.channels);
        ASSERT_FALSE(d.frames.empty());
        for (const mpg123_frameinfo2& f : d.frames) {
            ASSERT_EQ(f.layer, 3);
            ASSERT_EQ(f.version, test.version);
            ASSERT_EQ(f.rate, test.outRate);
            ASSERT_EQ(f.mode, test.channels == 1 ? MPG123_M_MONO : MPG123_M_STEREO);
            ASSERT_EQ(f.bitrate, test.wantKbps);
            ASSERT_EQ(f.vbr, MPG123_CBR);
        }
        EXPECT_EQ(ReadInfoTag(ReadBytes(path)).present, test.infoTag);

        // Gapless decoding through the Info tag gives back the input's length;
        // without a tag the decoder returns every frame: the input behind the
        // encoder delay and flush tail, plus less than a frame of padding.
        const long expected = long(inputLength * test.outRate / test.inRate);
        const long spf = test.version == MPG123_1_0 ? 1152 : 576;
        const long decoded = long(d.Length());
        if (test.infoTag) {
            EXPECT_NEAR(decoded, expected, 1);
        } else {
            EXPECT_GE(decoded, expected + kEncoderDelay + kFlushTail);
            EXPECT_LT(decoded, expected + kEncoderDelay + kFlushTail + spf);
        }

        // The tone is where it was put: loud left, quiet right.
        EXPECT_GT(d.Rms(0), 4000);
        if (test.channels == 2) {
            EXPECT_LT(d.Rms(1), d.Rms(0) / 4);
        }
    }
}

// The record's header bits and channel modes reach every frame header; the
// engine's record (all of them off) must not pick up libmp3lame's defaults.
TEST_F(LameEnc, HeaderFieldsReachEveryFrame) {
    struct Case {
        const char* name;
        std::function<void(le::BeConfig&)> change;
        int flags;
        int emphasis;
        int mode;
    };
    const Case cases[] = {
        {"the engine's record", [](le::BeConfig&) {}, 0, 0, MPG123_M_STEREO},
        {"CRC", [](le::BeConfig& c) { c.crc = 1; }, MPG123_CRC, 0, MPG123_M_STEREO},
        {"copyright", [](le::BeConfig& c) { c.copyright = 1; }, MPG123_COPYRIGHT, 0,
         MPG123_M_STEREO},
        {"original", [](le::BeConfig& c) { c.original = 1; }, MPG123_ORIGINAL, 0, MPG123_M_STEREO},
        {"private", [](le::BeConfig& c) { c.privateBit = 1; }, MPG123_PRIVATE, 0, MPG123_M_STEREO},
        {"emphasis 50/15", [](le::BeConfig& c) { c.emphasis = 1; }, 0, 1, MPG123_M_STEREO},
        {"joint stereo", [](le::BeConfig& c) { c.mode = le::kModeJointStereo; }, 0, 0,
         MPG123_M_JOINT},
        {"dual channel", [](le::BeConfig& c) { c.mode = le::kModeDualChannel; }, 0, 0,
         MPG123_M_DUAL},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        le::BeConfig c = EngineConfig(44100, 2, 128);
        test.change(c);
        const fs::path path = Path("flags.mp3");
        const Encoded e = EncodeToFile(c, Tone(44100, 2, 20000), path);
        ASSERT_EQ(e.error, le::kBeErrSuccessful);
        EXPECT_EQ(Lib().writeInfoTag(e.stream, path.c_str()), le::kBeErrSuccessful);
        const Decoded d = Decode(path);
        ASSERT_EQ(d.error, "");
        ASSERT_FALSE(d.frames.empty());
        for (const mpg123_frameinfo2& f : d.frames) {
            ASSERT_EQ(f.flags, test.flags);
            ASSERT_EQ(f.emphasis, test.emphasis);
            ASSERT_EQ(f.mode, test.mode);
        }
    }
}

// The quality word counts only with the complement in its high byte; any
// other word leaves the encoder at its default quality.
TEST_F(LameEnc, QualityWordNeedsItsComplement) {
    auto encode = [](std::uint16_t word) {
        le::BeConfig c = EngineConfig(44100, 2, 128);
        c.quality = word;
        c.writeVbrHeader = 0; // compare audio frames only
        Encoded e = EncodeFlushed(c, Tone(44100, 2, 30000));
        EXPECT_EQ(e.error, le::kBeErrSuccessful);
        EXPECT_EQ(Lib().close(e.stream), le::kBeErrSuccessful);
        EXPECT_EQ(Lib().writeInfoTag(e.stream, nullptr), le::kBeErrSuccessful);
        return e.mp3;
    };
    const auto fastest = encode(le::QualityWord(9));
    const auto best = encode(le::QualityWord(0));
    const auto unset = encode(0x0000);
    EXPECT_NE(fastest, best);
    EXPECT_NE(unset, fastest);
    EXPECT_NE(unset, best);
    for (std::uint16_t ignored : {0x0009, 0x0909, 0xF608, 0xFF09}) {
        SCOPED_TRACE(::testing::Message() << std::hex << ignored);
        EXPECT_EQ(encode(ignored), unset);
    }
}

// VBR and ABR fields, which the engine leaves off, still do what they say.
TEST_F(LameEnc, VariableBitRateFields) {
    struct Case {
        const char* name;
        std::uint32_t abr;
        int vbrMode;
    };
    for (const Case& test : {Case{"VBR", 0, MPG123_VBR}, Case{"ABR 96", 96, MPG123_ABR}}) {
        SCOPED_TRACE(test.name);
        le::BeConfig c = EngineConfig(44100, 2, 32);
        c.enableVbr = 1;
        c.vbrQuality = 2;
        c.abrBitrate = test.abr;
        c.maxBitrate = 256;
        const fs::path path = Path("vbr.mp3");
        std::vector<float> pcm = Tone(44100, 2, 3 * 44100);
        for (std::size_t i = pcm.size() / 2; i < pcm.size(); ++i) // a louder, busier second half
            pcm[i] = pcm[i] * 2 + float((i * 7919) % 4001) - 2000.0f;
        const Encoded e = EncodeToFile(c, pcm, path);
        ASSERT_EQ(e.error, le::kBeErrSuccessful);
        EXPECT_EQ(Lib().writeInfoTag(e.stream, path.c_str()), le::kBeErrSuccessful);
        EXPECT_TRUE(ReadInfoTag(ReadBytes(path)).xing);

        const Decoded d = Decode(path);
        ASSERT_EQ(d.error, "");
        std::set<int> bitrates;
        for (const mpg123_frameinfo2& f : d.frames) {
            EXPECT_EQ(f.vbr, test.vbrMode);
            EXPECT_LE(f.bitrate, 256);
            bitrates.insert(f.bitrate);
        }
        EXPECT_GT(bitrates.size(), 1u);
        EXPECT_NEAR(long(d.Length()), 3 * 44100, 1);
    }
}

// The reserved first frame stays blank until the tag call fills it with the
// finished Info tag of this stream; the call ends the handle's life.
TEST_F(LameEnc, InfoTagWrittenIntoTheFinishedFile) {
    enum class By { Handle, Path };
    for (By by : {By::Handle, By::Path}) {
        SCOPED_TRACE(by == By::Handle ? "beWriteInfoTag" : "beWriteVBRHeader");
        const fs::path path = Path("tagged.mp3");
        const std::size_t inputLength = 3 * 44100 + 99;
        const Encoded e =
            EncodeToFile(EngineConfig(44100, 2, 128), Tone(44100, 2, inputLength), path);
        ASSERT_EQ(e.error, le::kBeErrSuccessful);
        EXPECT_FALSE(ReadInfoTag(ReadBytes(path)).present);

        if (by == By::Handle) {
            EXPECT_EQ(Lib().writeInfoTag(e.stream, path.c_str()), le::kBeErrSuccessful);
            EXPECT_EQ(Lib().writeInfoTag(e.stream, path.c_str()), le::kBeErrInvalidHandle);
        } else {
            EXPECT_EQ(Lib().writeVbrHeader(path.c_str()), le::kBeErrSuccessful);
            EXPECT_EQ(Lib().writeVbrHeader(path.c_str()), le::kBeErrInvalidHandle);
        }
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        EXPECT_EQ(bytes.size(), e.mp3.size());
        const InfoTag tag = ReadInfoTag(bytes);
        EXPECT_TRUE(tag.present);
        EXPECT_FALSE(tag.xing);
        EXPECT_EQ(tag.bytes, bytes.size());

        const Decoded d = Decode(path);
        ASSERT_EQ(d.error, "");
        EXPECT_EQ(tag.frames, d.frames.size());
        EXPECT_EQ(d.encoderDelay, kEncoderDelay);
        EXPECT_EQ(d.Length(), inputLength);
    }
}

TEST_F(LameEnc, InfoTagNeverLandsInAnotherStreamsFile) {
    const std::vector<float> pcm = Tone(44100, 2, 44100);
    const fs::path mine = Path("mine.mp3"), other = Path("other.mp3");
    const Encoded a = EncodeToFile(EngineConfig(44100, 2, 128), pcm, mine);
    const Encoded b = EncodeToFile(EngineConfig(44100, 2, 64), pcm, other);
    ASSERT_EQ(a.error, le::kBeErrSuccessful);
    ASSERT_EQ(b.error, le::kBeErrSuccessful);
    EXPECT_EQ(Lib().writeInfoTag(a.stream, other.c_str()), le::kBeErrFile);
    EXPECT_EQ(ReadBytes(other), b.mp3);
    EXPECT_EQ(Lib().writeInfoTag(b.stream, Path("missing.mp3").c_str()), le::kBeErrFile);
    EXPECT_FALSE(fs::exists(Path("missing.mp3")));
}

TEST_F(LameEnc, WithoutTheFlagThereIsNoReservedFrame) {
    le::BeConfig c = EngineConfig(44100, 1, 128);
    c.writeVbrHeader = 0;
    const fs::path path = Path("plain.mp3");
    const Encoded e = EncodeToFile(c, Tone(44100, 1, 44100), path);
    ASSERT_EQ(e.error, le::kBeErrSuccessful);
    EXPECT_EQ(Lib().writeInfoTag(e.stream, path.c_str()), le::kBeErrSuccessful);
    EXPECT_EQ(ReadBytes(path), e.mp3);
    EXPECT_FALSE(ReadInfoTag(e.mp3).present);
    EXPECT_EQ(Decode(path).error, "");
}

// Calls out of order or out of bounds are refused with a result, never
// undefined behaviour, and leave the stream usable where that makes sense.
TEST_F(LameEnc, StreamLifecycle) {
    le::BeStream stream = 0;
    std::uint32_t chunk = 0, outSize = 0;
    ASSERT_EQ(Init(EngineConfig(22050, 2, 64), &chunk, &outSize, &stream), le::kBeErrSuccessful);
    const std::uint32_t perChannel = chunk / 2;
    std::vector<float> left(perChannel + 1), right(perChannel + 1);
    std::vector<std::uint8_t> out(outSize);
    std::uint32_t produced = 0;

    EXPECT_EQ(
        Lib().encode(stream, perChannel + 1, left.data(), right.data(), out.data(), &produced),
        le::kBeErrBufferTooSmall);
    EXPECT_EQ(Lib().encode(stream, perChannel, left.data(), nullptr, out.data(), &produced),
              le::kBeErrInvalidFormatParameters);
    EXPECT_EQ(Lib().writeInfoTag(stream, Path("early.mp3").c_str()), le::kBeErrWrongState);
    EXPECT_EQ(Lib().encode(stream, perChannel, left.data(), right.data(), out.data(), &produced),
              le::kBeErrSuccessful);

    EXPECT_EQ(Lib().deinit(stream, out.data(), &produced), le::kBeErrSuccessful);
    EXPECT_EQ(Lib().deinit(stream, out.data(), &produced), le::kBeErrWrongState);
    EXPECT_EQ(Lib().encode(stream, perChannel, left.data(), right.data(), out.data(), &produced),
              le::kBeErrWrongState);
    EXPECT_EQ(Lib().close(stream), le::kBeErrSuccessful);
    // The tag call ends the handle's life even when the file is missing.
    EXPECT_EQ(Lib().writeInfoTag(stream, Path("never-written.mp3").c_str()), le::kBeErrFile);
    for (le::BeStream gone : {stream, le::BeStream{0}}) {
        EXPECT_EQ(Lib().encode(gone, 0, left.data(), right.data(), out.data(), &produced),
                  le::kBeErrInvalidHandle);
        EXPECT_EQ(Lib().deinit(gone, out.data(), &produced), le::kBeErrInvalidHandle);
        EXPECT_EQ(Lib().close(gone), le::kBeErrInvalidHandle);
        EXPECT_EQ(Lib().writeInfoTag(gone, nullptr), le::kBeErrInvalidHandle);
    }

    // A stream closed before its flush (the engine's failure paths) is gone
    // at once.
    ASSERT_EQ(Init(EngineConfig(22050, 1, 64), &chunk, &outSize, &stream), le::kBeErrSuccessful);
    EXPECT_EQ(Lib().close(stream), le::kBeErrSuccessful);
    EXPECT_EQ(Lib().writeInfoTag(stream, nullptr), le::kBeErrInvalidHandle);
}

} // namespace
