#pragma once

#include "filelist/FileEntry.h"

#include <string>

namespace tavora::task {

// The rows the job-list builder reads, in list order: the main window's file
// list on the GUI thread, or the command-line converter's table.
class TaskRowSource {
public:
    virtual ~TaskRowSource() = default;

    virtual int RowCount() const = 0;
    // The Name cell: the file name with its extension.
    virtual std::string NameCell(int row) const = 0;
    // The Path cell: the file's folder, ending with "/".
    virtual std::string PathCell(int row) const = 0;
    // The row's probed entry; null for a row without one (never converted).
    virtual const filelist::FileEntry* Entry(int row) const = 0;
    virtual bool Selected(int row) const = 0;
};

} // namespace tavora::task
