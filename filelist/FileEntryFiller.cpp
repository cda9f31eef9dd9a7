#include "filelist/FileEntryFiller.h"

#include "filelist/AudioTypeTable.h"
#include "filelist/VorbisProbe.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavora::filelist {

namespace {

constexpr double kBytesPerMegabyte = 1048576.0;

// Whether the file can be opened for reading, as an outcome. A folder opens
// but cannot be converted. Nor can a pipe, which would hold up every later
// open until a writer came, or a device, whose data never ends: the open does
// not wait, and only a regular file passes.
ProbeOutcome OpenCheck(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {UnusableReason::CannotOpen, errno};
    struct stat st {};
    ProbeOutcome outcome;
    if (::fstat(fd, &st) != 0)
        outcome = {UnusableReason::CannotOpen, errno};
    else if (S_ISDIR(st.st_mode))
        outcome = {UnusableReason::CannotOpen, EISDIR};
    else if (!S_ISREG(st.st_mode))
        outcome.reason = UnusableReason::NotAFile;
    ::close(fd);
    return outcome;
}

std::string FolderOf(const std::string& fullPath) {
    const size_t slash = fullPath.rfind('/');
    return slash == std::string::npos ? std::string() : fullPath.substr(0, slash + 1);
}

} // namespace

FoundFile FoundFileFromPath(const std::string& path) {
    FoundFile file;
    file.fullPath = path;
    const size_t slash = path.rfind('/');
    file.name = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISREG(st.st_mode))
            file.length = static_cast<uint64_t>(st.st_size);
        file.lastWrite = st.st_mtime;
    }
    return file;
}

std::string FormatSizeCell(double megabytes) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", megabytes);
    return buffer;
}

std::string FormatModifiedCell(std::optional<std::time_t> t) {
    if (!t)
        return "";
    std::tm local{};
    if (!::localtime_r(&*t, &local))
        return "";
    char buffer[64];
    if (std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M:%S", &local) == 0)
        return "";
    return buffer;
}

std::string FormatDurationCell(double seconds) {
    const long long whole = static_cast<long long>(seconds);
    if (whole == 0)
        return "";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", whole / 3600, whole % 3600 / 60,
                  whole % 60);
    return buffer;
}

std::string FormatFrequencyCell(uint32_t rate) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d Hz", static_cast<int>(rate));
    return buffer;
}

std::string FormatChannelCell(uint32_t channels) {
    if (channels == 1)
        return "1 (Mono)";
    if (channels == 2)
        return "2 (Stereo)";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(channels));
    return buffer;
}

AddedRow AddFileEntry(FileRowSink& sink, FileTotals& totals, const FoundFile& file,
                      int& iconCache) {
    AddedRow added;
    const int row = sink.InsertRow();
    if (row < 0)
        return added;
    FileEntry* entry = sink.Entry(row);
    if (!entry)
        return added;
    // Counted before the row is filled, so the count always equals the rows created.
    totals.fileCount += 1;
    added.row = row;

    sink.SetCellText(row, COL_NAME, file.name);
    sink.SetBusyCaption("Reading  " + file.fullPath);
    sink.SetCellText(row, COL_PATH, FolderOf(file.fullPath));
    if (iconCache == -1)
        iconCache = sink.FileIconIndex(file.fullPath);
    sink.SetRowImage(row, iconCache);

    entry->size = static_cast<double>(file.length) / kBytesPerMegabyte;
    sink.SetCellText(row, COL_SIZE, FormatSizeCell(entry->size));
    totals.totalSize += entry->size;

    const std::string ext = UpperExtension(file.name);
    entry->type = static_cast<uint8_t>(AudioTypeFromExtension(ext));
    sink.SetCellText(row, COL_TYPE, ext);
    sink.SetCellText(row, COL_MODIFIED, FormatModifiedCell(file.lastWrite));

    added.outcome = ProbeFileEntry(sink, row, *entry, file.fullPath, totals);
    return added;
}

ProbeOutcome ProbeFileEntry(FileRowSink& sink, int row, FileEntry& entry,
                            const std::string& fullPath, FileTotals& totals) {
    sink.SetCellText(row, COL_DURATION, "");
    sink.SetCellText(row, COL_FREQUENCY, "");
    sink.SetCellText(row, COL_CHANNEL, "");

    ProbeOutcome outcome = OpenCheck(fullPath);
    if (!outcome.Usable()) {
        // Not probed.
    } else if (entry.type == AUDIO_OGG_VORBIS) {
        switch (ProbeVorbis(fullPath, entry)) {
        case VorbisProbeResult::Ok:
            totals.totalDuration += entry.duration;
            if (entry.channels == 0 || entry.sampleRate == 0 || entry.totalSamples == 0)
                outcome.reason = UnusableReason::NoAudio;
            break;
        case VorbisProbeResult::CannotOpen:
            outcome = {UnusableReason::CannotOpen, errno};
            break;
        case VorbisProbeResult::NotVorbis:
            outcome.reason = entry.size == 0.0 ? UnusableReason::Empty : UnusableReason::NotVorbis;
            break;
        }
        sink.EntryUpdated(row);
    } else {
        // Other types are never probed, so they have no audio to convert.
        if (entry.size == 0.0)
            outcome.reason = UnusableReason::Empty;
        else
            outcome.reason = entry.type == AUDIO_UNKNOWN ? UnusableReason::UnknownType
                                                         : UnusableReason::NotOggType;
    }

    if (outcome.Usable()) {
        entry.unusable = 0;
        sink.SetCellText(row, COL_DURATION, FormatDurationCell(entry.duration));
        sink.SetCellText(row, COL_CHANNEL, FormatChannelCell(entry.channels));
        sink.SetCellText(row, COL_FREQUENCY, FormatFrequencyCell(entry.sampleRate));
        return outcome;
    }
    entry.unusable = 1;
    sink.SetCellText(row, COL_TYPE, kUnknownTypeText);
    sink.SetCellTextColour(row, COL_TYPE, kUnusableTypeColour);
    return outcome;
}

} // namespace tavora::filelist
