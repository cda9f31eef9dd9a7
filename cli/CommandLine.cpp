#include "cli/CommandLine.h"

#include <charconv>
#include <filesystem>

namespace tavora::cli {

namespace {

std::optional<long> ParseNumber(const std::string& text) {
    long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

template <typename Table> std::optional<int16_t> IndexOf(const Table& table, long value) {
    for (size_t i = 0; i < table.size(); ++i)
        if (static_cast<long>(table[i]) == value)
            return static_cast<int16_t>(i);
    return std::nullopt;
}

std::string List(const auto& table, size_t from) {
    std::string text;
    for (size_t i = from; i < table.size(); ++i)
        text += (text.empty() ? "" : ", ") + std::to_string(table[i]);
    return text;
}

// Applies one option's value; returns an error text, empty when accepted.
std::string SetOption(CliOptions& o, const std::string& name, const std::string& value) {
    if (name == "--output") {
        if (value.empty())
            return "--output needs a folder";
        o.outputFolder = value;
        return "";
    }
    if (name == "--bitrate") {
        const auto kbps = ParseNumber(value);
        const auto index = kbps ? IndexOf(kBitrateTable, *kbps) : std::nullopt;
        if (!index)
            return "invalid bit rate '" + value + "' (kbit/s: " + List(kBitrateTable, 0) + ")";
        o.bitrateIndex = index;
        return "";
    }
    if (name == "--rate") {
        if (value == "auto") {
            o.frequencyIndex = 0;
            return "";
        }
        const auto hz = ParseNumber(value);
        const auto index = hz && *hz != 0 ? IndexOf(kFrequencyTable, *hz) : std::nullopt;
        if (!index)
            return "invalid rate '" + value + "' (auto or Hz: " + List(kFrequencyTable, 1) + ")";
        o.frequencyIndex = index;
        return "";
    }
    if (name == "--channels") {
        if (value == "auto")
            o.channelMode = CHANNELS_AUTOMATIC;
        else if (value == "mono")
            o.channelMode = CHANNELS_MONO;
        else if (value == "stereo")
            o.channelMode = CHANNELS_STEREO;
        else
            return "invalid channels '" + value + "' (auto, mono or stereo)";
        return "";
    }
    return "unknown option '" + name + "'";
}

bool TakesValue(const std::string& name) {
    return name == "--output" || name == "--bitrate" || name == "--rate" || name == "--channels";
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult result;
    CliOptions& o = result.options;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            o.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            continue;
        }
        std::string name = arg, value;
        const size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (!TakesValue(name)) {
            result.error = "unknown option '" + name + "'";
            return result;
        }
        if (eq == std::string::npos) {
            if (i + 1 >= args.size()) {
                result.error = name + " needs a value";
                return result;
            }
            value = args[++i];
        }
        if (std::string error = SetOption(o, name, value); !error.empty()) {
            result.error = error;
            return result;
        }
    }
    if (o.files.empty() && !o.help) {
        result.error = "no files given";
        return result;
    }
    result.ok = true;
    return result;
}

void ApplyOptions(const CliOptions& options, EncoderSettings& settings) {
    if (options.outputFolder) {
        std::error_code ec;
        std::string folder =
            std::filesystem::absolute(*options.outputFolder, ec).lexically_normal().string();
        if (ec)
            folder = *options.outputFolder;
        if (folder.back() != '/')
            folder += '/';
        settings.outputFolder = folder;
    }
    if (options.bitrateIndex)
        settings.bitrateIndex = *options.bitrateIndex;
    if (options.frequencyIndex)
        settings.frequencyIndex = *options.frequencyIndex;
    if (options.channelMode)
        settings.channelMode = *options.channelMode;
}

std::string UsageText(const std::string& program) {
    return "Usage: " + program +
           " [--output DIR] [--bitrate KBPS] [--rate auto|HZ] [--channels auto|mono|stereo] "
           "FILE...\n"
           "Converts Ogg Vorbis files into constant-bit-rate MP3 files.\n"
           "\n"
           "  --output DIR       folder for the MP3 files\n"
           "  --bitrate KBPS     " +
           List(kBitrateTable, 0) +
           "\n"
           "  --rate auto|HZ     " +
           List(kFrequencyTable, 1) +
           "\n"
           "  --channels auto|mono|stereo\n"
           "  -h, --help         show this text\n"
           "\n"
           "Defaults come from Config.ini in the Tavora data folder; options change this run "
           "only.\n"
           "Unusable files are named on stderr and skipped, as the file list skips them.\n"
           "Exit status: 0 when every usable file converted, 1 when the task stopped or no\n"
           "file was usable, 2 for a usage error.\n";
}

} // namespace tavora::cli
