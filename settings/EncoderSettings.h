#pragma once

#include "settings/AudioType.h"

#include <array>
#include <cstdint>
#include <string>

namespace tavora {

// Constant bit rates in kbit/s, by bit-rate index.
inline constexpr std::array<int, 17> kBitrateTable = {8,  16,  24,  32,  40,  48,  56,  64, 80,
                                                      96, 112, 128, 160, 192, 224, 256, 320};
// Sampling frequencies in Hz, by frequency index; index 0 means automatic.
inline constexpr std::array<uint32_t, 9> kFrequencyTable = {0,     8000,  11025, 12000, 16000,
                                                            22050, 24000, 32000, 44100};

inline constexpr int16_t kDefaultBitrateIndex = 11; // 128 kbit/s
inline constexpr int16_t kDefaultFrequencyIndex = 0;
inline constexpr int16_t kDefaultChannelMode = CHANNELS_AUTOMATIC;
inline constexpr int16_t kDefaultEncoderQuality = 9;

// The output settings the user chooses, plus the two that no dialog shows.
struct EncoderSettings {
    std::string outputFolder;
    int16_t outputFormat = AUDIO_MP3;
    int16_t bitrateIndex = kDefaultBitrateIndex;     // LameBits
    int16_t frequencyIndex = kDefaultFrequencyIndex; // Freq
    int16_t channelMode = kDefaultChannelMode;       // LameChannel
    int16_t encoderQuality = kDefaultEncoderQuality;

    // Target rate for a source rate: the chosen frequency, or in automatic
    // mode the first table rate not below the source (44100 above that).
    uint32_t ResolveOutputRate(uint32_t sourceRate) const;
    // Target channels: automatic keeps mono and makes everything else stereo.
    uint32_t ResolveOutputChannels(uint32_t sourceChannels) const;
    int BitrateKbps() const;

    // Indices out of their tables (a hand-edited file) are replaced by their
    // defaults, so that no table is ever read out of range.
    void ReplaceInvalidValues();
};

bool ValidBitrateIndex(int index);
bool ValidFrequencyIndex(int index);
bool ValidChannelMode(int mode);

// "ogg" or "mp3"; empty for other codes.
std::string OutputExtension(int audioType);

// One-line encoder summary, e.g. "MP3:  CBR 128 kbps; Automatic Frequency; Automatic Channel;".
std::string SettingsSummaryText(const EncoderSettings& settings);

// The process-wide settings record.
EncoderSettings& g_settings();

} // namespace tavora
