#include "tests/support/OggFixture.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace tavora::testing {
namespace {

bool WritePage(std::FILE* out, const ogg_page& page) {
    return std::fwrite(page.header, 1, page.header_len, out) == size_t(page.header_len) &&
           std::fwrite(page.body, 1, page.body_len, out) == size_t(page.body_len);
}

bool WriteLink(std::FILE* out, uint32_t rate, int channels, uint64_t frames, float quality,
               int serial, const SampleSource& fill) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, static_cast<long>(rate), quality) != 0) {
        vorbis_info_clear(&vi);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ENCODER", "tavora-tests");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    bool ok = true;
    while (ogg_stream_flush(&os, &page))
        ok = ok && WritePage(out, page);

    uint64_t written = 0;
    bool eos = false;
    while (!eos) {
        const int chunk = static_cast<int>(std::min<uint64_t>(1024, frames - written));
        if (chunk > 0) {
            fill(written, chunk, vorbis_analysis_buffer(&vd, chunk));
            written += chunk;
        }
        vorbis_analysis_wrote(&vd, chunk);
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) {
                    ok = ok && WritePage(out, page);
                    if (ogg_page_eos(&page))
                        eos = true;
                }
            }
        }
        if (chunk == 0 && !eos) {
            // Drain whatever the stream still holds.
            while (ogg_stream_flush(&os, &page)) {
                ok = ok && WritePage(out, page);
                if (ogg_page_eos(&page))
                    eos = true;
            }
            eos = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return ok;
}

SampleSource ToneOf(const OggSpec& spec) {
    const double step = 2.0 * M_PI * spec.frequency / spec.rate;
    return [step, spec](uint64_t first, int count, float** planes) {
        for (int i = 0; i < count; ++i) {
            const double v = spec.amplitude * std::sin(step * double(first + uint64_t(i)));
            for (int c = 0; c < spec.channels; ++c)
                planes[c][i] = static_cast<float>(v);
        }
    };
}

} // namespace

bool WriteOggFrom(const std::string& path, uint32_t rate, int channels, uint64_t frames,
                  float quality, const SampleSource& fill) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool ok = WriteLink(out, rate, channels, frames, quality, 1000, fill);
    return (std::fclose(out) == 0) && ok;
}

uint64_t FramesOf(const OggSpec& spec) {
    return static_cast<uint64_t>(std::llround(spec.seconds * spec.rate));
}

bool WriteChainedOgg(const std::string& path, const std::vector<OggSpec>& links) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = true;
    int serial = 1000;
    for (const auto& link : links)
        ok = ok && WriteLink(out, link.rate, link.channels, FramesOf(link), link.quality, serial++,
                             ToneOf(link));
    ok = (std::fclose(out) == 0) && ok;
    return ok;
}

bool WriteOgg(const std::string& path, const OggSpec& spec) {
    return WriteChainedOgg(path, {spec});
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool TruncateTo(const std::string& path, uint64_t size) {
    std::error_code ec;
    std::filesystem::resize_file(path, size, ec);
    return !ec;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TempFolder::TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tavora-test-XXXXXX").string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        std::abort();
    path_ = name.data();
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

} // namespace tavora::testing
