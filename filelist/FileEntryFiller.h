#pragma once

#include "filelist/FileRowSink.h"
#include "filelist/FileTotals.h"
#include "filelist/UnusableReason.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace tavora::filelist {

// One file found on disk, as the loader hands it over.
struct FoundFile {
    std::string name;     // file name with extension
    std::string fullPath; // folder + "/" + name
    uint64_t length = 0;  // bytes
    std::optional<std::time_t> lastWrite;
};

// Describes path from the file system; length 0 and no time when it cannot be
// looked at (the probe then marks it unusable).
FoundFile FoundFileFromPath(const std::string& path);

struct AddedRow {
    int row = -1; // -1 when the sink refused a row
    ProbeOutcome outcome;
};

// Creates, fills and probes one row for file: Name, Path (folder with its
// trailing "/"), Type (upper-case extension), Size(MB) "%.2f", Last Modified,
// then the probe's cells. Raises the file count and the total size. The icon
// index is looked up once per path: iconCache is -1 for a path not yet looked up.
AddedRow AddFileEntry(FileRowSink& sink, FileTotals& totals, const FoundFile& file, int& iconCache);

// Probes row's entry: the open check, then the Vorbis probe for Ogg files.
// Fills Duration, Frequency and Channel of a usable entry; an unusable one gets
// "Unknown" in red as its Type. A successful Vorbis probe adds the duration to
// the total duration.
ProbeOutcome ProbeFileEntry(FileRowSink& sink, int row, FileEntry& entry,
                            const std::string& fullPath, FileTotals& totals);

// Cell texts.
std::string FormatSizeCell(double megabytes);                 // "%.2f"
std::string FormatModifiedCell(std::optional<std::time_t> t); // local, "%Y/%m/%d %H:%M:%S"
std::string FormatDurationCell(double seconds);               // "%02d:%02d:%02d", empty below 1 s
std::string FormatFrequencyCell(uint32_t rate);               // "%d Hz"
std::string FormatChannelCell(uint32_t channels);             // "1 (Mono)", "2 (Stereo)", "%d"

} // namespace tavora::filelist
