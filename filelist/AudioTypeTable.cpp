#include "filelist/AudioTypeTable.h"

#include <array>
#include <utility>

namespace tavora::filelist {

namespace {
constexpr std::array<std::pair<const char*, AudioType>, 2> kTypeTable = {{
    {"OGG", AUDIO_OGG_VORBIS},
    {"MP3", AUDIO_MP3},
}};
} // namespace

std::string UpperExtension(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    std::string ext = dot == std::string::npos ? fileName : fileName.substr(dot + 1);
    // Bytes of multi-byte UTF-8 letters are left alone rather than mangled.
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

AudioType AudioTypeFromExtension(const std::string& upperExtension) {
    for (const auto& [ext, type] : kTypeTable)
        if (upperExtension == ext)
            return type;
    return AUDIO_UNKNOWN;
}

} // namespace tavora::filelist
