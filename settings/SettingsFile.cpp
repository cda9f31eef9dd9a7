#include "settings/SettingsFile.h"

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace tavora {

using namespace tavora::platform;

namespace {
constexpr const char* kOutputSection = "OUTPUT";
constexpr const char* kMp3Section = "MP3";
constexpr size_t kMaxFolderChars = 1023;
} // namespace

std::string DataFolderPath() {
    return AppDataFolder() + "/Tavora";
}

std::string SettingsFilePath() {
    return DataFolderPath() + "/Config.ini";
}

std::string DefaultOutputFolder() {
    if (auto music = MusicFolder(); !music.empty())
        return music + "/";
    if (auto desktop = DesktopFolder(); !desktop.empty())
        return desktop + "/";
    return HomeFolder() + "/Music/";
}

bool EnsureDataFolder() {
    const std::string folder = DataFolderPath();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!FolderExists(folder)) {
        ShowMessage(nullptr, "Fail to create folder " + folder + " !!", MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void EnsureSettingsFile(EncoderSettings& settings) {
    const std::string path = SettingsFilePath();
    if (FileExists(path)) {
        LoadSettings(settings);
        return;
    }
    std::ofstream create(path, std::ios::binary); // empty file; failure is not fatal here
}

bool LoadSettings(EncoderSettings& settings) {
    const std::string path = SettingsFilePath();
    try {
        if (FileExists(path) && (FolderExists(path) || access(path.c_str(), R_OK) != 0))
            throw std::runtime_error("settings file unreadable");
        // A hand-edited value outside its table reads as the key's default.
        const auto index = [&](const char* key, int16_t fallback, bool (*valid)(int)) {
            const int v = ReadIniInt(path, kMp3Section, key, fallback);
            return valid(v) ? static_cast<int16_t>(v) : fallback;
        };
        settings.bitrateIndex = index("LameBits", kDefaultBitrateIndex, ValidBitrateIndex);
        settings.channelMode = index("LameChannel", kDefaultChannelMode, ValidChannelMode);
        settings.frequencyIndex = index("Freq", kDefaultFrequencyIndex, ValidFrequencyIndex);
        settings.outputFolder =
            ReadIniString(path, kOutputSection, "DesDir", DefaultOutputFolder(), kMaxFolderChars);
        return true;
    } catch (const std::exception&) {
        ShowMessage(nullptr, "An Error Occurred while loading settings!", MsgButtons::Ok,
                    MsgIcon::Error);
        return false;
    }
}

bool SaveSettings(const EncoderSettings& settings) {
    const std::string path = SettingsFilePath();
    const auto number = [](int v) { return std::to_string(v); };
    const bool ok =
        WriteIniString(path, kOutputSection, "DesDir", settings.outputFolder) &&
        WriteIniString(path, kMp3Section, "LameBits", number(settings.bitrateIndex)) &&
        WriteIniString(path, kMp3Section, "LameChannel", number(settings.channelMode)) &&
        WriteIniString(path, kMp3Section, "Freq", number(settings.frequencyIndex));
    if (!ok)
        ShowMessage(nullptr, "An error occurred while saving settings!", MsgButtons::Ok,
                    MsgIcon::Error);
    return ok;
}

} // namespace tavora
