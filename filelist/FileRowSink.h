#pragma once

#include "filelist/FileColumns.h"
#include "filelist/FileEntry.h"

#include <string>

namespace tavora::filelist {

// Where the file-entry filler writes one row: the file list's report control in
// the main window, a plain table in the command-line converter and the tests.
// The filler runs on the loading worker; an implementation over widgets marshals
// each call to the GUI thread.
class FileRowSink {
public:
    virtual ~FileRowSink() = default;

    // Appends an empty row with a zero-filled entry attached; returns its index,
    // or -1 when no row can be added.
    virtual int InsertRow() = 0;
    // The entry attached to a row; stays valid while the row exists.
    virtual FileEntry* Entry(int row) = 0;
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    // Colours one cell's text and redraws at once.
    virtual void SetCellTextColour(int row, int column, CellColour colour) = 0;

    // The small icon for a file type: an index the row's Name cell can show.
    virtual int FileIconIndex(const std::string& path) {
        (void)path;
        return 0;
    }
    virtual void SetRowImage(int row, int image) {
        (void)row;
        (void)image;
    }
    // The probe has finished with the row's entry; a list repaints the row.
    virtual void EntryUpdated(int row) { (void)row; }
    // Caption of the busy dialog shown during long loads.
    virtual void SetBusyCaption(const std::string& caption) { (void)caption; }
};

} // namespace tavora::filelist
