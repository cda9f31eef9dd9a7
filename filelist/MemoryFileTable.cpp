#include "filelist/MemoryFileTable.h"

namespace tavora::filelist {

bool MemoryFileTable::Valid(int row, int column) const {
    return row >= 0 && row < RowCount() && column >= 0 && column < kFileColumnCount;
}

int MemoryFileTable::InsertRow() {
    rows_.emplace_back();
    return RowCount() - 1;
}

FileEntry* MemoryFileTable::Entry(int row) {
    return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)].entry.get() : nullptr;
}

void MemoryFileTable::SetCellText(int row, int column, const std::string& text) {
    if (Valid(row, column))
        rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)] = text;
}

void MemoryFileTable::SetCellTextColour(int row, int column, CellColour colour) {
    if (Valid(row, column))
        rows_[static_cast<size_t>(row)].colours[static_cast<size_t>(column)] = colour;
}

void MemoryFileTable::SetRowImage(int row, int image) {
    if (row >= 0 && row < RowCount())
        rows_[static_cast<size_t>(row)].image = image;
}

} // namespace tavora::filelist
