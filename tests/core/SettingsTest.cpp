#include "platform/Instance.h"
#include "platform/MessageBox.h"
#include "settings/EncoderSettings.h"
#include "settings/SettingsFile.h"
#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace tavora;
using tavora::platform::ScopedMessageResponder;
using tavora::testing::ReadText;
using tavora::testing::TempFolder;
using tavora::testing::WriteText;

namespace {

// Each test gets its own home and application data folder.
struct SettingsFixture : ::testing::Test {
    TempFolder home;
    std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    void SetUp() override {
        setenv("HOME", home.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.Path() + "/config").c_str(), 1);
    }
    void TearDown() override {
        setenv("HOME", oldHome.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    std::string Ini() const { return SettingsFilePath(); }
    void WriteIni(const std::string& text) {
        std::filesystem::create_directories(DataFolderPath());
        ASSERT_TRUE(WriteText(Ini(), text));
    }
};

} // namespace

TEST(EncoderSettings, AutomaticRateTakesTheFirstTableRateNotBelowTheSource) {
    EncoderSettings s;
    const std::pair<uint32_t, uint32_t> cases[] = {
        {8000, 8000},   {11025, 11025}, {12000, 12000}, {16000, 16000}, {22050, 22050},
        {24000, 24000}, {32000, 32000}, {44100, 44100}, {44056, 44100}, {48000, 44100},
        {96000, 44100}, {6000, 8000},   {7000, 8000},   {1, 8000},
    };
    for (auto [source, target] : cases)
        EXPECT_EQ(s.ResolveOutputRate(source), target) << source;
    s.frequencyIndex = 3;
    EXPECT_EQ(s.ResolveOutputRate(48000), 12000u);
}

TEST(EncoderSettings, ChannelRules) {
    struct Case {
        int16_t mode;
        uint32_t source, target;
    } cases[] = {{0, 1, 1}, {0, 2, 2}, {0, 6, 2}, {1, 2, 1}, {1, 6, 1}, {2, 1, 2}, {2, 6, 2}};
    for (const auto& c : cases) {
        EncoderSettings s;
        s.channelMode = c.mode;
        EXPECT_EQ(s.ResolveOutputChannels(c.source), c.target) << c.mode << "/" << c.source;
    }
}

TEST(EncoderSettings, SummaryTexts) {
    struct Case {
        int16_t bits, freq, channels;
        const char* text;
    } cases[] = {
        {11, 0, 0, "MP3:  CBR 128 kbps; Automatic Frequency; Automatic Channel;"},
        {0, 1, 1, "MP3:  CBR   8 kbps;  8000 Hz; Mono;"},
        {0, 3, 2, "MP3:  CBR   8 kbps; 12000 Hz; Stereo;"},
        {16, 8, 7, "MP3:  CBR 320 kbps; 44100 Hz;"},
    };
    for (const auto& c : cases) {
        EncoderSettings s;
        s.bitrateIndex = c.bits;
        s.frequencyIndex = c.freq;
        s.channelMode = c.channels;
        EXPECT_EQ(SettingsSummaryText(s), c.text);
    }
    EncoderSettings ogg;
    ogg.outputFormat = AUDIO_OGG_VORBIS;
    EXPECT_EQ(SettingsSummaryText(ogg), "");
}

TEST(EncoderSettings, TablesAndExtensions) {
    EncoderSettings s;
    EXPECT_EQ(s.BitrateKbps(), 128);
    s.bitrateIndex = 0;
    EXPECT_EQ(s.BitrateKbps(), 8);
    s.bitrateIndex = 16;
    EXPECT_EQ(s.BitrateKbps(), 320);
    EXPECT_EQ(OutputExtension(AUDIO_MP3), "mp3");
    EXPECT_EQ(OutputExtension(AUDIO_OGG_VORBIS), "ogg");
    EXPECT_EQ(OutputExtension(AUDIO_UNKNOWN), "");
    EXPECT_EQ(OutputExtension(9), "");
}

TEST_F(SettingsFixture, FirstStartCreatesFolderAndEmptyFileThenCloseWritesDefaults) {
    ScopedMessageResponder boxes;
    EncoderSettings s;
    s.outputFolder = DefaultOutputFolder();
    EXPECT_EQ(s.outputFolder, home.Path() + "/Music/");
    ASSERT_TRUE(EnsureDataFolder());
    EnsureSettingsFile(s);
    ASSERT_TRUE(std::filesystem::exists(Ini()));
    EXPECT_EQ(std::filesystem::file_size(Ini()), 0u);
    EXPECT_EQ(SettingsSummaryText(s),
              "MP3:  CBR 128 kbps; Automatic Frequency; Automatic Channel;");

    ASSERT_TRUE(SaveSettings(s));
    EXPECT_EQ(ReadText(Ini()), "[OUTPUT]\nDesDir=" + home.Path() +
                                   "/Music/\n[MP3]\nLameBits=11\nLameChannel=0\nFreq=0\n");
    EXPECT_EQ(boxes->Count(), 0u);
}

TEST_F(SettingsFixture, LoadTakesDefaultsForMissingKeysAndValuesVerbatim) {
    WriteIni("[MP3]\nFreq=8\n");
    EncoderSettings s;
    ASSERT_TRUE(LoadSettings(s));
    EXPECT_EQ(s.ResolveOutputRate(22050), 44100u);
    EXPECT_EQ(s.BitrateKbps(), 128);
    EXPECT_EQ(s.channelMode, CHANNELS_AUTOMATIC);
    EXPECT_EQ(s.outputFolder, DefaultOutputFolder());

    WriteIni("[output]\ndesdir=/srv/Mü sic\\x=y\n[mp3]\nlamebits=3\n");
    ASSERT_TRUE(LoadSettings(s));
    EXPECT_EQ(s.outputFolder, "/srv/Mü sic\\x=y"); // no trailing "/" added, nothing escaped
    EXPECT_EQ(s.bitrateIndex, 3);

    WriteIni("[OUTPUT]\nDesDir=/" + std::string(1500, 'd') + "\n");
    ASSERT_TRUE(LoadSettings(s));
    EXPECT_EQ(s.outputFolder.size(), 1023u);
}

TEST_F(SettingsFixture, OutOfRangeValuesBecomeDefaults) {
    struct Case {
        const char* text;
        int16_t bits, freq, channels;
    } cases[] = {
        {"LameBits=99\nFreq=-3\nLameChannel=abc\n", 11, 0, 0},
        {"LameBits=-1\nFreq=9\nLameChannel=3\n", 11, 0, 0},
        {"LameBits=65547\nFreq=65544\nLameChannel=-65535\n", 11, 0,
         0}, // would wrap into range as int16
        {"LameBits=16\nFreq=8\nLameChannel=2\n", 16, 8, 2},
        {"LameBits= 5 \nFreq=2x\nLameChannel=+1\n", 5, 2, 1},
    };
    for (const auto& c : cases) {
        WriteIni(std::string("[MP3]\n") + c.text);
        EncoderSettings s;
        s.bitrateIndex = 1;
        ASSERT_TRUE(LoadSettings(s));
        EXPECT_EQ(s.bitrateIndex, c.bits) << c.text;
        EXPECT_EQ(s.frequencyIndex, c.freq) << c.text;
        EXPECT_EQ(s.channelMode, c.channels) << c.text;
    }
}

TEST_F(SettingsFixture, SaveKeepsForeignContentAndRewritesKnownKeys) {
    WriteIni("; my notes\n[Extra]\nk=v\n[mp3]\nFreq=1\nOther=keep\n");
    EncoderSettings s;
    s.outputFolder = "/out/";
    s.frequencyIndex = 5;
    ASSERT_TRUE(SaveSettings(s));
    EXPECT_EQ(ReadText(Ini()), "; my notes\n[Extra]\nk=v\n[mp3]\nFreq=5\nOther=keep\nLameBits=11\n"
                               "LameChannel=0\n[OUTPUT]\nDesDir=/out/\n");
}

TEST_F(SettingsFixture, FailuresShowTheirBoxes) {
    ScopedMessageResponder boxes;
    // The data folder's parent is a file: nothing can be created or written below it.
    ASSERT_TRUE(WriteText(home.Path() + "/config", "not a folder"));
    EXPECT_FALSE(EnsureDataFolder());
    EncoderSettings s;
    EXPECT_FALSE(SaveSettings(s));
    ASSERT_EQ(boxes->Count(), 2u);
    EXPECT_EQ(boxes->Texts()[0], "Fail to create folder " + DataFolderPath() + " !!");
    EXPECT_EQ(boxes->Texts()[1], "An error occurred while saving settings!");
    EXPECT_EQ(boxes->Boxes()[1].icon, platform::MsgIcon::Error);
    EXPECT_EQ(boxes->Boxes()[0].caption, platform::InstanceName());

    // A settings "file" that cannot be read: defaults stay, the box says why.
    std::filesystem::remove(home.Path() + "/config");
    std::filesystem::create_directories(Ini()); // a folder where the file should be
    s.bitrateIndex = 4;
    EXPECT_FALSE(LoadSettings(s));
    EXPECT_EQ(boxes->Texts().back(), "An Error Occurred while loading settings!");
    EXPECT_EQ(s.bitrateIndex, 4);
}
