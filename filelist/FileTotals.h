#pragma once

#include "filelist/FileEntry.h"

#include <cstdint>

namespace tavora::filelist {

// Running totals over the list, shown in the status bar. They are never
// recomputed from the rows: adding and probing raise them, removing lowers them.
struct FileTotals {
    int32_t fileCount = 0;
    double totalSize = 0.0;     // MB
    double totalDuration = 0.0; // seconds

    void RemoveEntry(const FileEntry& entry) {
        fileCount -= 1;
        totalSize -= entry.size;
        totalDuration -= entry.duration;
    }
};

} // namespace tavora::filelist
