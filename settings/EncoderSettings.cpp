#include "settings/EncoderSettings.h"

#include <cstdio>

namespace tavora {

bool ValidBitrateIndex(int index) {
    return index >= 0 && index < static_cast<int>(kBitrateTable.size());
}
bool ValidFrequencyIndex(int index) {
    return index >= 0 && index < static_cast<int>(kFrequencyTable.size());
}
bool ValidChannelMode(int mode) {
    return mode >= CHANNELS_AUTOMATIC && mode <= CHANNELS_STEREO;
}

uint32_t EncoderSettings::ResolveOutputRate(uint32_t sourceRate) const {
    const int index = ValidFrequencyIndex(frequencyIndex) ? frequencyIndex : kDefaultFrequencyIndex;
    if (index != 0)
        return kFrequencyTable[index];
    for (size_t i = 1; i < kFrequencyTable.size(); ++i)
        if (kFrequencyTable[i] >= sourceRate)
            return kFrequencyTable[i];
    return 44100;
}

uint32_t EncoderSettings::ResolveOutputChannels(uint32_t sourceChannels) const {
    switch (channelMode) {
    case CHANNELS_AUTOMATIC:
        return sourceChannels < 2 ? sourceChannels : 2;
    case CHANNELS_MONO:
        return 1;
    default:
        return 2;
    }
}

int EncoderSettings::BitrateKbps() const {
    return kBitrateTable[ValidBitrateIndex(bitrateIndex) ? bitrateIndex : kDefaultBitrateIndex];
}

void EncoderSettings::ReplaceInvalidValues() {
    if (!ValidBitrateIndex(bitrateIndex))
        bitrateIndex = kDefaultBitrateIndex;
    if (!ValidFrequencyIndex(frequencyIndex))
        frequencyIndex = kDefaultFrequencyIndex;
    if (!ValidChannelMode(channelMode))
        channelMode = kDefaultChannelMode;
}

std::string OutputExtension(int audioType) {
    switch (audioType) {
    case AUDIO_OGG_VORBIS:
        return "ogg";
    case AUDIO_MP3:
        return "mp3";
    default:
        return "";
    }
}

std::string SettingsSummaryText(const EncoderSettings& s) {
    if (s.outputFormat != AUDIO_MP3)
        return "";
    std::string text = "MP3:  ";
    char buffer[64];
    const int index = ValidFrequencyIndex(s.frequencyIndex) ? s.frequencyIndex : 0;
    if (index != 0)
        std::snprintf(buffer, sizeof buffer, "CBR %3d kbps; %5u Hz;", s.BitrateKbps(),
                      kFrequencyTable[index]);
    else
        std::snprintf(buffer, sizeof buffer, "CBR %3d kbps; Automatic Frequency;", s.BitrateKbps());
    text += buffer;
    switch (s.channelMode) {
    case CHANNELS_AUTOMATIC:
        text += " Automatic Channel;";
        break;
    case CHANNELS_MONO:
        text += " Mono;";
        break;
    case CHANNELS_STEREO:
        text += " Stereo;";
        break;
    default:
        break;
    }
    return text;
}

EncoderSettings& g_settings() {
    static EncoderSettings settings;
    return settings;
}

} // namespace tavora
