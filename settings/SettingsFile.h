#pragma once

#include "settings/EncoderSettings.h"

#include <string>

namespace tavora {

// Per-user data folder: the application data folder + "/Tavora".
std::string DataFolderPath();
// Data folder + "/Config.ini".
std::string SettingsFilePath();
// The music folder + "/", else the desktop + "/", else the home folder + "/Music/".
std::string DefaultOutputFolder();

// Creates the data folder with its missing parents. On failure shows
// "Fail to create folder %s !!" and returns false; start-up goes on.
bool EnsureDataFolder();

// Loads the settings file when it exists; otherwise creates it empty and keeps
// the values in memory.
void EnsureSettingsFile(EncoderSettings& settings);

// Reads the file key by key; a missing key or file gives the key's default.
// A file that exists but cannot be read shows "An Error Occurred while loading
// settings!" and returns false.
bool LoadSettings(EncoderSettings& settings);

// Writes DesDir, LameBits, LameChannel and Freq in that order. A failure shows
// "An error occurred while saving settings!" and returns false.
bool SaveSettings(const EncoderSettings& settings);

} // namespace tavora
