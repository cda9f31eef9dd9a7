#include "filelist/AudioTypeTable.h"
#include "filelist/FileEntryFiller.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace tavora;
using namespace tavora::filelist;

TEST(CellFormat, DurationIsWholeSecondsAndEmptyBelowOne) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0.0, ""},
        {0.999, ""},
        {1.0, "00:00:01"},
        {205.7, "00:03:25"},
        {3599.99, "00:59:59"},
        {3600.0, "01:00:00"},
        {100.0 * 3600 + 61, "100:01:01"}, // hours above 99 keep all their digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDurationCell(c.seconds), c.text) << c.seconds;
}

TEST(CellFormat, SizeFrequencyAndChannels) {
    EXPECT_EQ(FormatSizeCell(4718592 / 1048576.0), "4.50");
    EXPECT_EQ(FormatSizeCell(0.0), "0.00");
    EXPECT_EQ(FormatSizeCell(0.004), "0.00");
    EXPECT_EQ(FormatFrequencyCell(44100), "44100 Hz");
    EXPECT_EQ(FormatFrequencyCell(8000), "8000 Hz");
    EXPECT_EQ(FormatChannelCell(1), "1 (Mono)");
    EXPECT_EQ(FormatChannelCell(2), "2 (Stereo)");
    EXPECT_EQ(FormatChannelCell(6), "6");
}

TEST(CellFormat, LastModifiedIsLocalTime) {
    const char* oldTz = std::getenv("TZ");
    const std::string saved = oldTz ? oldTz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(FormatModifiedCell(std::time_t{1614834367}), "2021/03/04 05:06:07");
    setenv("TZ", "JST-9", 1); // nine hours ahead, no summer time
    tzset();
    EXPECT_EQ(FormatModifiedCell(std::time_t{1614834367}), "2021/03/04 14:06:07");
    EXPECT_EQ(FormatModifiedCell(std::nullopt), "");
    if (oldTz)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(TypeTable, ExtensionsMapCaseInsensitively) {
    const struct {
        const char* name;
        const char* upper;
        AudioType type;
    } cases[] = {
        {"song.ogg", "OGG", AUDIO_OGG_VORBIS}, {"Song.Ogg", "OGG", AUDIO_OGG_VORBIS},
        {"a.b.mp3", "MP3", AUDIO_MP3},         {"noext", "NOEXT", AUDIO_UNKNOWN},
        {"clip.wav", "WAV", AUDIO_UNKNOWN},    {"trailing.", "", AUDIO_UNKNOWN},
        {"ünï.ogg", "OGG", AUDIO_OGG_VORBIS},  {"x.oggé", "OGGé", AUDIO_UNKNOWN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpperExtension(c.name), c.upper) << c.name;
        EXPECT_EQ(AudioTypeFromExtension(UpperExtension(c.name)), c.type) << c.name;
    }
}
