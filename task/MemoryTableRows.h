#pragma once

#include "filelist/MemoryFileTable.h"
#include "task/TaskRowSource.h"

namespace tavora::task {

// The rows of a widget-free file table, as the job-list builder reads them.
class MemoryTableRows : public TaskRowSource {
public:
    explicit MemoryTableRows(const filelist::MemoryFileTable& table) : table_(table) {}

    int RowCount() const override { return table_.RowCount(); }
    std::string NameCell(int row) const override { return table_.Cell(row, filelist::COL_NAME); }
    std::string PathCell(int row) const override { return table_.Cell(row, filelist::COL_PATH); }
    const filelist::FileEntry* Entry(int row) const override { return table_.At(row).entry.get(); }
    bool Selected(int row) const override { return table_.At(row).selected; }

private:
    const filelist::MemoryFileTable& table_;
};

} // namespace tavora::task
