#pragma once

#include "settings/AudioType.h"

#include <string>

namespace tavora::filelist {

// The extension of a file name in upper case: the text after the last ".",
// or the whole name when it has none. Only ASCII letters change case.
std::string UpperExtension(const std::string& fileName);

// "OGG" is Ogg Vorbis, "MP3" is MP3; anything else is unknown.
AudioType AudioTypeFromExtension(const std::string& upperExtension);

} // namespace tavora::filelist
