#pragma once

#include "settings/EncoderSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavora::cli {

// What one run of tavora-convert was asked for. Unset values keep the
// settings file's (or the defaults); nothing here is ever written back.
struct CliOptions {
    std::optional<std::string> outputFolder;
    std::optional<int16_t> bitrateIndex;
    std::optional<int16_t> frequencyIndex; // 0 = automatic
    std::optional<int16_t> channelMode;
    std::vector<std::string> files;
    bool help = false;
};

struct ParseResult {
    bool ok = false;
    CliOptions options;
    std::string error; // why parsing failed
};

// Parses the arguments after the program name. Options may come before,
// between or after the files, as "--name value" or "--name=value"; "--" ends
// the options. Values must be in the settings' tables.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

// Overrides the settings with the given options.
void ApplyOptions(const CliOptions& options, EncoderSettings& settings);

std::string UsageText(const std::string& program);

} // namespace tavora::cli
