#pragma once

#include "filelist/FileRowSink.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavora::filelist {

// A file list without widgets: the command-line converter's list, and the
// table the tests read back. Not thread-safe; one thread fills it.
class MemoryFileTable : public FileRowSink {
public:
    struct Row {
        std::array<std::string, kFileColumnCount> cells;
        std::array<std::optional<CellColour>, kFileColumnCount> colours;
        std::unique_ptr<FileEntry> entry = std::make_unique<FileEntry>();
        int image = -1;
        bool selected = false;
    };

    int InsertRow() override;
    FileEntry* Entry(int row) override;
    void SetCellText(int row, int column, const std::string& text) override;
    void SetCellTextColour(int row, int column, CellColour colour) override;
    void SetRowImage(int row, int image) override;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const Row& At(int row) const { return rows_.at(static_cast<size_t>(row)); }
    Row& At(int row) { return rows_.at(static_cast<size_t>(row)); }
    const std::string& Cell(int row, int column) const {
        return At(row).cells.at(static_cast<size_t>(column));
    }

private:
    bool Valid(int row, int column) const;
    std::vector<Row> rows_;
};

} // namespace tavora::filelist
