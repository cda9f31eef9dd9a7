#pragma once

#include <cstdint>
#include <vector>

namespace tavora::controls {

// Visibility of one column, indexed by column index (not display position). A
// hidden column has width 0; savedWidth is what it gets back when shown again.
struct ColumnState {
    uint8_t shown = 1;
    int32_t savedWidth = 0; // applied as its low 16 bits
    int32_t savedPos = -1;  // limit for moving right when shown again; -1 for a new column
};

// Display-order rules of SetColumnVisible. order maps display positions to column
// indexes and holds every column once.
//
// Before showing: column moves towards the end, past every column up to display
// position savedPos and past hidden columns beyond it. Hidden columns thus stay
// gathered at the front and a column shown again comes back last.
void ReorderForShow(std::vector<int>& order, int column, const std::vector<ColumnState>& states);
// Before hiding: column moves to display position 0 and its savedPos becomes the
// column count.
void ReorderForHide(std::vector<int>& order, int column, std::vector<ColumnState>& states);

} // namespace tavora::controls
