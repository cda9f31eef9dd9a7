#include "filelist/FileEntryFiller.h"
#include "filelist/MemoryFileTable.h"
#include "filelist/VorbisProbe.h"
#include "settings/AudioType.h"
#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavora;
using namespace tavora::filelist;
namespace fx = tavora::testing;
using fx::OggSpec;
using fx::TempFolder;

namespace {

AddedRow AddPath(MemoryFileTable& table, FileTotals& totals, const std::string& path) {
    int iconCache = -1;
    return AddFileEntry(table, totals, FoundFileFromPath(path), iconCache);
}

std::string Size2(uint64_t bytes) {
    return FormatSizeCell(static_cast<double>(bytes) / 1048576.0);
}

uint64_t FileBytes(const std::string& path) {
    return std::filesystem::file_size(path);
}

} // namespace

TEST(FileEntryFiller, FillsEveryCellOfAVorbisFile) {
    const struct {
        const char* name;
        OggSpec spec;
        const char* duration;
        const char* frequency;
        const char* channel;
    } cases[] = {
        {"mono.ogg", {44100, 1, 2.5}, "00:00:02", "44100 Hz", "1 (Mono)"},
        {"stereo.ogg", {44100, 2, 3.0}, "00:00:03", "44100 Hz", "2 (Stereo)"},
        {"six.ogg", {44100, 6, 1.2}, "00:00:01", "44100 Hz", "6"},
        {"high.ogg", {48000, 2, 2.0}, "00:00:02", "48000 Hz", "2 (Stereo)"},
        {"short.ogg", {22050, 2, 0.4}, "", "22050 Hz", "2 (Stereo)"}, // below a second
        {"Upper Case.Ogg", {32000, 1, 1.0}, "00:00:01", "32000 Hz", "1 (Mono)"},
        {"Ünïcødé sóng.ogg", {16000, 2, 1.5}, "00:00:01", "16000 Hz", "2 (Stereo)"},
    };
    TempFolder dir;
    MemoryFileTable table;
    FileTotals totals;
    double expectedDuration = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        ASSERT_TRUE(fx::WriteOgg(path, c.spec));
        const AddedRow added = AddPath(table, totals, path);
        ASSERT_GE(added.row, 0);
        EXPECT_TRUE(added.outcome.Usable());

        const auto& row = table.At(added.row);
        EXPECT_EQ(row.cells[COL_NAME], c.name);
        EXPECT_EQ(row.cells[COL_PATH], dir.Path() + "/");
        EXPECT_EQ(row.cells[COL_TYPE], "OGG");
        EXPECT_FALSE(row.colours[COL_TYPE].has_value());
        EXPECT_EQ(row.cells[COL_SIZE], Size2(FileBytes(path)));
        EXPECT_FALSE(row.cells[COL_MODIFIED].empty());
        EXPECT_EQ(row.cells[COL_DURATION], c.duration);
        EXPECT_EQ(row.cells[COL_FREQUENCY], c.frequency);
        EXPECT_EQ(row.cells[COL_CHANNEL], c.channel);

        const FileEntry& e = *row.entry;
        const uint64_t frames = fx::FramesOf(c.spec);
        EXPECT_EQ(e.unusable, 0);
        EXPECT_EQ(e.type, AUDIO_OGG_VORBIS);
        EXPECT_EQ(e.sampleRate, c.spec.rate);
        EXPECT_EQ(e.channels, static_cast<uint32_t>(c.spec.channels));
        EXPECT_EQ(e.totalSamples, frames * c.spec.channels);
        EXPECT_DOUBLE_EQ(e.duration, static_cast<double>(frames) / c.spec.rate);
        EXPECT_DOUBLE_EQ(e.size, FileBytes(path) / 1048576.0);
        expectedDuration += e.duration;
    }
    EXPECT_EQ(totals.fileCount, table.RowCount());
    EXPECT_NEAR(totals.totalDuration, expectedDuration, 1e-9);
}

TEST(FileEntryFiller, ChainedStreamCountsEveryLink) {
    TempFolder dir;
    const std::string path = dir / "chain.ogg";
    ASSERT_TRUE(fx::WriteChainedOgg(path, {{44100, 2, 1.0}, {44100, 2, 2.0}}));
    FileEntry entry;
    ASSERT_EQ(ProbeVorbis(path, entry), VorbisProbeResult::Ok);
    EXPECT_EQ(entry.totalSamples, (44100u + 88200u) * 2);
    EXPECT_DOUBLE_EQ(entry.duration, 3.0);
}

TEST(FileEntryFiller, UnusableFilesShowUnknownInRedAndNoAudioCells) {
    TempFolder dir;
    OggSpec tone{44100, 2, 2.0};
    const std::string valid = dir / "valid.ogg";
    ASSERT_TRUE(fx::WriteOgg(valid, tone));
    std::vector<uint8_t> noise(5000);
    std::mt19937 random(7);
    for (auto& b : noise)
        b = static_cast<uint8_t>(random());
    std::filesystem::create_directory(dir / "folder.ogg");

    // Header pages of a Vorbis file come first; 200 bytes end inside them.
    std::filesystem::copy_file(valid, dir / "cut.ogg");
    ASSERT_TRUE(fx::TruncateTo(dir / "cut.ogg", 200));
    std::filesystem::copy_file(valid, dir / "valid.wav");
    std::filesystem::copy_file(valid, dir / "noext");
    ASSERT_TRUE(fx::WriteBytes(dir / "empty.ogg", {}));
    ASSERT_TRUE(fx::WriteText(dir / "text.ogg", "This is not audio at all.\n"));
    ASSERT_TRUE(fx::WriteBytes(dir / "noise.ogg", noise));
    ASSERT_TRUE(fx::WriteBytes(dir / "song.mp3", noise));

    const struct {
        const char* name;
        UnusableReason reason;
        const char* typeBeforeProbe; // what the Type cell said before "Unknown"
    } cases[] = {
        {"missing.ogg", UnusableReason::CannotOpen, "OGG"},
        {"folder.ogg", UnusableReason::CannotOpen, "OGG"},
        {"empty.ogg", UnusableReason::Empty, "OGG"},
        {"text.ogg", UnusableReason::NotVorbis, "OGG"},
        {"noise.ogg", UnusableReason::NotVorbis, "OGG"},
        {"cut.ogg", UnusableReason::NotVorbis, "OGG"},
        {"valid.wav", UnusableReason::UnknownType, "WAV"},
        {"noext", UnusableReason::UnknownType, "NOEXT"},
        {"song.mp3", UnusableReason::NotOggType, "MP3"},
    };

    // Records the Type cell's texts in order, to see the extension come first.
    struct TypeHistory : MemoryFileTable {
        std::vector<std::string> types;
        void SetCellText(int row, int column, const std::string& text) override {
            if (column == COL_TYPE)
                types.push_back(text);
            MemoryFileTable::SetCellText(row, column, text);
        }
    };
    FileTotals totals;
    double expectedSize = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TypeHistory table;
        const std::string path = dir / c.name;
        const AddedRow added = AddPath(table, totals, path);
        ASSERT_EQ(added.row, 0);
        EXPECT_EQ(added.outcome.reason, c.reason);
        EXPECT_FALSE(UnusableReasonText(added.outcome).empty());

        const auto& row = table.At(0);
        EXPECT_EQ(row.entry->unusable, 1);
        EXPECT_EQ(table.types, (std::vector<std::string>{c.typeBeforeProbe, "Unknown"}));
        EXPECT_EQ(row.colours[COL_TYPE], (CellColour{255, 0, 0}));
        EXPECT_EQ(row.cells[COL_NAME], c.name);
        EXPECT_EQ(row.cells[COL_DURATION], "");
        EXPECT_EQ(row.cells[COL_FREQUENCY], "");
        EXPECT_EQ(row.cells[COL_CHANNEL], "");
        expectedSize += row.entry->size;
    }
    // Counted in the file count and the size, never in the duration.
    EXPECT_EQ(totals.fileCount, static_cast<int>(std::size(cases)));
    EXPECT_DOUBLE_EQ(totals.totalSize, expectedSize);
    EXPECT_GT(totals.totalSize, 0.0);
    EXPECT_EQ(totals.totalDuration, 0.0);
}

// Opening a pipe for reading waits for a writer, and a device never ends:
// only a regular file is probed, so adding one never holds up the loader.
TEST(FileEntryFiller, APipeIsUnusableAndNeverWaitedFor) {
    using namespace std::chrono_literals;
    TempFolder dir;
    const std::string path = dir / "pipe.ogg";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    MemoryFileTable table;
    FileTotals totals;
    auto added = std::async(std::launch::async, [&] { return AddPath(table, totals, path); });
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    bool waited = false;
    while (added.wait_for(10ms) != std::future_status::ready) {
        if (std::chrono::steady_clock::now() < deadline)
            continue;
        // A writer that comes and goes lets a waiting open and read end.
        waited = true;
        if (const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0)
            ::close(fd);
    }
    EXPECT_FALSE(waited) << "the probe waited for a writer";
    const AddedRow row = added.get();
    EXPECT_EQ(row.outcome.reason, UnusableReason::NotAFile);
    EXPECT_EQ(UnusableReasonText(row.outcome), "not a regular file");
    EXPECT_EQ(table.At(0).entry->unusable, 1);
    EXPECT_EQ(table.Cell(0, COL_TYPE), "Unknown");
}

TEST(FileEntryFiller, EmptyFileShowsZeroSize) {
    TempFolder dir;
    ASSERT_TRUE(fx::WriteBytes(dir / "zero.ogg", {}));
    MemoryFileTable table;
    FileTotals totals;
    AddPath(table, totals, dir / "zero.ogg");
    EXPECT_EQ(table.Cell(0, COL_SIZE), "0.00");
}

TEST(FileEntryFiller, FileCutInsideTheAudioKeepsWhatIsLeft) {
    TempFolder dir;
    const std::string path = dir / "half.ogg";
    ASSERT_TRUE(fx::WriteOgg(path, {44100, 2, 10.0}));
    ASSERT_TRUE(fx::TruncateTo(path, FileBytes(path) * 3 / 4));
    MemoryFileTable table;
    FileTotals totals;
    const AddedRow added = AddPath(table, totals, path);
    ASSERT_TRUE(added.outcome.Usable());
    const FileEntry& e = *table.At(0).entry;
    EXPECT_GT(e.totalSamples, 0u);
    EXPECT_LT(e.totalSamples, 10u * 44100 * 2);
    EXPECT_EQ(e.totalSamples % 2, 0u);
}

TEST(FileEntryFiller, TotalsFollowAddsAndRemovals) {
    TempFolder dir;
    ASSERT_TRUE(fx::WriteOgg(dir / "a.ogg", {44100, 2, 1.0}));
    ASSERT_TRUE(fx::WriteOgg(dir / "b.ogg", {22050, 1, 2.0}));
    ASSERT_TRUE(fx::WriteText(dir / "c.ogg", "not vorbis"));
    MemoryFileTable table;
    FileTotals totals;
    for (const char* name : {"a.ogg", "b.ogg", "c.ogg"})
        AddPath(table, totals, dir / name);
    EXPECT_EQ(totals.fileCount, 3);
    EXPECT_DOUBLE_EQ(totals.totalDuration, 3.0);

    totals.RemoveEntry(*table.At(1).entry);
    EXPECT_EQ(totals.fileCount, 2);
    EXPECT_DOUBLE_EQ(totals.totalDuration, 1.0);
    totals.RemoveEntry(*table.At(2).entry);
    totals.RemoveEntry(*table.At(0).entry);
    EXPECT_EQ(totals.fileCount, 0);
    EXPECT_NEAR(totals.totalSize, 0.0, 1e-12);
    EXPECT_NEAR(totals.totalDuration, 0.0, 1e-12);
}

TEST(FileEntryFiller, IconIsLookedUpOncePerPath) {
    struct IconTable : MemoryFileTable {
        int lookups = 0;
        int FileIconIndex(const std::string&) override { return 40 + lookups++; }
    };
    TempFolder dir;
    ASSERT_TRUE(fx::WriteOgg(dir / "a.ogg", {44100, 1, 0.5}));
    IconTable table;
    FileTotals totals;
    int cache = -1;
    AddFileEntry(table, totals, FoundFileFromPath(dir / "a.ogg"), cache);
    EXPECT_EQ(cache, 40);
    AddFileEntry(table, totals, FoundFileFromPath(dir / "a.ogg"), cache); // cache kept
    EXPECT_EQ(table.lookups, 1);
    EXPECT_EQ(table.At(0).image, 40);
    EXPECT_EQ(table.At(1).image, 40);
}

TEST(FileEntryFiller, RefusedRowChangesNothing) {
    struct FullTable : MemoryFileTable {
        int InsertRow() override { return -1; }
    };
    TempFolder dir;
    ASSERT_TRUE(fx::WriteOgg(dir / "a.ogg", {44100, 1, 0.5}));
    FullTable table;
    FileTotals totals;
    const AddedRow added = AddPath(table, totals, dir / "a.ogg");
    EXPECT_EQ(added.row, -1);
    EXPECT_EQ(totals.fileCount, 0);
    EXPECT_EQ(totals.totalSize, 0.0);
}
