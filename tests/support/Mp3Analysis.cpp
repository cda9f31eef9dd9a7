#include "tests/support/Mp3Analysis.h"

#include "tests/support/OggFixture.h"

#include <mpg123.h>

#include <cmath>
#include <cstring>

namespace tavora::testing {
namespace {

struct FrameHeader {
    int version = 0; // 1, 2, 25
    int bitrate = 0; // kbps
    long rate = 0;
    int channels = 0;
    size_t length = 0;
    size_t sideInfo = 0; // bytes of side information after the 4-byte header
};

bool ParseHeader(const uint8_t* p, FrameHeader& h) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    const int versionBits = (p[1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layerBits = (p[1] >> 1) & 3;   // 1: layer III
    if (versionBits == 1 || layerBits != 1)
        return false;
    const int bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    static const int v1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int v2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const long rates[] = {44100, 48000, 32000};
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.bitrate = h.version == 1 ? v1[bitrateIndex] : v2[bitrateIndex];
    h.rate = rates[rateIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
    h.channels = ((p[3] >> 6) == 3) ? 1 : 2;
    const long coefficient = h.version == 1 ? 144000 : 72000;
    h.length = static_cast<size_t>(coefficient * h.bitrate / h.rate + padding);
    if (h.version == 1)
        h.sideInfo = h.channels == 1 ? 17 : 32;
    else
        h.sideInfo = h.channels == 1 ? 9 : 17;
    return true;
}

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void WalkFrames(const std::vector<uint8_t>& bytes, Mp3Report& r) {
    size_t pos = 0;
    // Skip an ID3v2 tag if there is one.
    if (bytes.size() > 10 && std::memcmp(bytes.data(), "ID3", 3) == 0)
        pos = 10 + ((bytes[6] & 0x7F) << 21 | (bytes[7] & 0x7F) << 14 | (bytes[8] & 0x7F) << 7 |
                    (bytes[9] & 0x7F));
    bool first = true;
    while (pos + 4 <= bytes.size()) {
        FrameHeader h;
        if (!ParseHeader(&bytes[pos], h) || h.length < 4) {
            if (first) { // tolerate leading garbage only before the first frame
                ++pos;
                continue;
            }
            break;
        }
        if (pos + h.length > bytes.size())
            break; // a cut last frame is not counted
        ++r.headerFrames;
        r.mpegVersion = h.version;
        const uint8_t* tag = &bytes[pos + 4 + h.sideInfo];
        if (first && pos + 4 + h.sideInfo + 8 <= bytes.size() &&
            (std::memcmp(tag, "Info", 4) == 0 || std::memcmp(tag, "Xing", 4) == 0)) {
            r.hasInfoFrame = true;
            r.infoIsXing = std::memcmp(tag, "Xing", 4) == 0;
            const uint32_t flags = BigEndian32(tag + 4);
            size_t offset = 8;
            if (flags & 1) {
                r.infoFrameCount = BigEndian32(tag + offset);
                offset += 4;
            }
            if (flags & 2)
                offset += 4;
            if (flags & 4)
                offset += 100;
            if (flags & 8)
                offset += 4;
            // LAME extension: 9-byte version string, then delay/padding at +21.
            const size_t lame = pos + 4 + h.sideInfo + offset;
            if (lame + 24 <= bytes.size() && std::memcmp(&bytes[lame], "LAME", 4) == 0) {
                const uint8_t* d = &bytes[lame + 21];
                r.encoderDelay = (d[0] << 4) | (d[1] >> 4);
                r.encoderPadding = ((d[1] & 0x0F) << 8) | d[2];
            }
        } else {
            r.bitratesKbps.push_back(h.bitrate);
            r.headerRates.push_back(h.rate);
            r.headerChannels.push_back(h.channels);
        }
        first = false;
        pos += h.length;
    }
}

} // namespace

Mp3Report InspectMp3(const std::string& path) {
    Mp3Report r;
    WalkFrames(ReadBytes(path), r);

    mpg123_init();
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) {
        r.error = "mpg123_new failed";
        return r;
    }
    mpg123_param(mh, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    mpg123_format_none(mh);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
        mpg123_format(mh, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(mh, path.c_str()) != MPG123_OK) {
        r.error = mpg123_strerror(mh);
        mpg123_delete(mh);
        return r;
    }
    int encoding = 0;
    if (mpg123_getformat(mh, &r.rate, &r.channels, &encoding) != MPG123_OK) {
        r.error = mpg123_strerror(mh);
        mpg123_close(mh);
        mpg123_delete(mh);
        return r;
    }
    std::vector<unsigned char> buffer(65536);
    for (;;) {
        size_t done = 0;
        int rc = mpg123_read(mh, buffer.data(), buffer.size(), &done);
        const auto* samples = reinterpret_cast<const int16_t*>(buffer.data());
        r.pcm.insert(r.pcm.end(), samples, samples + done / 2);
        if (rc == MPG123_DONE) {
            r.ok = true;
            break;
        }
        if (rc == MPG123_NEW_FORMAT)
            continue;
        if (rc != MPG123_OK) {
            r.error = mpg123_strerror(mh);
            break;
        }
    }
    r.frames = r.channels > 0 ? r.pcm.size() / static_cast<size_t>(r.channels) : 0;
    mpg123_close(mh);
    mpg123_delete(mh);
    return r;
}

double LevelDb(const std::vector<int16_t>& pcm, int channels, int channel, uint64_t skipFrames) {
    const uint64_t frames = channels > 0 ? pcm.size() / static_cast<size_t>(channels) : 0;
    if (frames <= 2 * skipFrames)
        return -200.0;
    double sum = 0;
    uint64_t n = 0;
    for (uint64_t i = skipFrames; i < frames - skipFrames; ++i, ++n) {
        const double v = pcm[i * channels + channel] / 32768.0;
        sum += v * v;
    }
    const double rms = std::sqrt(sum / double(n));
    return rms > 0 ? 20.0 * std::log10(rms) : -200.0;
}

} // namespace tavora::testing
