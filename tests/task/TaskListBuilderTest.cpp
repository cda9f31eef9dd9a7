#include "task/TaskListBuilder.h"
#include "filelist/MemoryFileTable.h"
#include "platform/Files.h"
#include "task/MemoryTableRows.h"
#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>

using namespace tavora;
using namespace tavora::task;
using engine::ConversionState;
using filelist::FileEntry;
using filelist::MemoryFileTable;
using tavora::testing::TempFolder;

namespace {

struct RowSpec {
    const char* name;
    const char* path;
    uint32_t rate = 44100;
    uint32_t channels = 2;
    uint64_t totalSamples = 88200;
    bool selected = false;
    int32_t unusable = 0;
};

void AddRow(MemoryFileTable& table, const RowSpec& r) {
    const int row = table.InsertRow();
    table.SetCellText(row, filelist::COL_NAME, r.name);
    table.SetCellText(row, filelist::COL_PATH, r.path);
    FileEntry& e = *table.Entry(row);
    e.unusable = r.unusable;
    e.type = AUDIO_OGG_VORBIS;
    e.sampleRate = r.rate;
    e.channels = r.channels;
    e.totalSamples = r.totalSamples;
    table.At(row).selected = r.selected;
}

EncoderSettings SettingsFor(const std::string& folder) {
    EncoderSettings s;
    s.outputFolder = folder;
    return s;
}

} // namespace

TEST(BuildTaskList, TurnsUsableRowsIntoJobs) {
    TempFolder dir;
    MemoryFileTable table;
    AddRow(table, {"song.ogg", "/music/", 44100, 2, 88200});
    AddRow(table, {"broken.ogg", "/music/", 0, 0, 0, false, 1});
    AddRow(table, {"my song.Ogg", "/music/Ünï/", 48000, 2, 480000});
    ConversionState state;
    const auto settings = SettingsFor(dir.Path() + "/");
    EXPECT_EQ(BuildTaskList(state, MemoryTableRows(table), false, settings), 2u);
    ASSERT_EQ(state.tasks.size(), 2u);

    const auto& a = state.tasks[0];
    EXPECT_EQ(a.sourcePath, "/music/song.ogg");
    EXPECT_EQ(a.destPath, dir / "song.mp3");
    EXPECT_EQ(a.sourceType, AUDIO_OGG_VORBIS);
    EXPECT_EQ(a.targetType, AUDIO_MP3);
    EXPECT_EQ(a.targetRate, 44100u);
    EXPECT_EQ(a.targetChannels, 2u);
    EXPECT_DOUBLE_EQ(a.sampleRatio, 1.0);
    EXPECT_EQ(a.totalSamples, 88200u);
    EXPECT_EQ(a.needsEffects, 1);
    EXPECT_FALSE(a.Decoding() || a.Processing() || a.Encoding());

    const auto& b = state.tasks[1];
    EXPECT_EQ(b.sourcePath, "/music/Ünï/my song.Ogg");
    EXPECT_EQ(b.destPath, dir / "my song.mp3");
    EXPECT_EQ(b.sourceRate, 48000u);
    EXPECT_EQ(b.targetRate, 44100u);
    EXPECT_DOUBLE_EQ(b.sampleRatio, 0.91875);
    EXPECT_EQ(b.totalSamples, 441000u);

    EXPECT_EQ(state.overallTotal.load(), 88200u + 441000u);
}

TEST(BuildTaskList, SelectedOnlyTakesSelectedUsableRows) {
    MemoryFileTable table;
    AddRow(table, {"a.ogg", "/m/", 44100, 2, 100, true});
    AddRow(table, {"b.ogg", "/m/", 44100, 2, 200, false});
    AddRow(table, {"c.ogg", "/m/", 44100, 2, 400, true, 1}); // selected but unusable
    AddRow(table, {"d.ogg", "/m/", 44100, 2, 800, true});
    TempFolder dir;
    const auto settings = SettingsFor(dir.Path() + "/");

    ConversionState selected;
    EXPECT_EQ(BuildTaskList(selected, MemoryTableRows(table), true, settings), 2u);
    EXPECT_EQ(selected.tasks[0].sourcePath, "/m/a.ogg");
    EXPECT_EQ(selected.tasks[1].sourcePath, "/m/d.ogg");
    EXPECT_EQ(selected.overallTotal.load(), 900u);

    ConversionState all;
    EXPECT_EQ(BuildTaskList(all, MemoryTableRows(table), false, settings), 3u);
    EXPECT_EQ(all.overallTotal.load(), 1100u);
}

TEST(BuildTaskList, ResolvesTargetsAndKeepsWholeFrames) {
    const struct {
        uint32_t rate, channels;
        uint64_t samples;
        int16_t frequencyIndex, channelMode;
        uint32_t targetRate, targetChannels;
        uint64_t expected;
    } cases[] = {
        {44100, 2, 88200, 0, 0, 44100, 2, 88200},
        {48000, 2, 480000, 0, 0, 44100, 2, 441000},
        {44100, 1, 44101, 0, 0, 44100, 1, 44101},
        {44100, 1, 44101, 0, 2, 44100, 2, 88202},     // mono made stereo
        {44100, 6, 6 * 44101, 0, 0, 44100, 2, 88202}, // six channels become two
        {44100, 6, 6 * 44101, 0, 1, 44100, 1, 44101},
        {44100, 2, 88201 * 2, 5, 0, 22050, 2, 88200}, // 88201 frames * 0.5, whole frames only
        {7000, 1, 7001, 0, 0, 8000, 1, 8001},
        {96000, 2, 96000 * 2, 1, 1, 8000, 1, 8000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << " Hz x" << c.channels << " freq "
                                          << c.frequencyIndex << " mode " << c.channelMode);
        MemoryFileTable table;
        AddRow(table, {"x.ogg", "/m/", c.rate, c.channels, c.samples});
        TempFolder dir;
        auto settings = SettingsFor(dir.Path() + "/");
        settings.frequencyIndex = c.frequencyIndex;
        settings.channelMode = c.channelMode;
        ConversionState state;
        ASSERT_EQ(BuildTaskList(state, MemoryTableRows(table), false, settings), 1u);
        const auto& job = state.tasks[0];
        EXPECT_EQ(job.targetRate, c.targetRate);
        EXPECT_EQ(job.targetChannels, c.targetChannels);
        EXPECT_EQ(job.totalSamples, c.expected);
        EXPECT_EQ(job.totalSamples % job.targetChannels, 0u);
    }
}

TEST(BuildTaskList, CreatesTheMissingOutputFolder) {
    TempFolder dir;
    MemoryFileTable table;
    AddRow(table, {"a.ogg", "/m/"});
    ConversionState state;
    BuildTaskList(state, MemoryTableRows(table), false, SettingsFor(dir / "x/y/z/"));
    EXPECT_TRUE(platform::FolderExists(dir / "x/y/z"));
    EXPECT_EQ(state.tasks.at(0).destPath, dir / "x/y/z/a.mp3");
}

TEST(BuildTaskList, OutputFolderWithoutTrailingSlashIsStillTheFolder) {
    // Not "/out/musica.mp3" beside the folder.
    TempFolder dir;
    MemoryFileTable table;
    AddRow(table, {"a.ogg", "/m/"});
    ConversionState state;
    BuildTaskList(state, MemoryTableRows(table), false, SettingsFor(dir / "music"));
    EXPECT_EQ(state.tasks.at(0).destPath, dir / "music/a.mp3");
    EXPECT_TRUE(platform::FolderExists(dir / "music"));
}

TEST(BuildTaskList, NoUsableRowGivesNoJob) {
    TempFolder dir;
    MemoryFileTable table;
    AddRow(table, {"a.ogg", "/m/", 0, 0, 0, true, 1});
    ConversionState state;
    state.overallTotal = 77;
    EXPECT_EQ(BuildTaskList(state, MemoryTableRows(table), false, SettingsFor(dir.Path() + "/")),
              0u);
    EXPECT_TRUE(state.tasks.empty());
    EXPECT_EQ(state.overallTotal.load(), 0u);
}
