#pragma once

#include "controls/ReportDefs.h"

#include <vector>

namespace tavora::controls {

// What the list keeps behind every row: the owner's row data (never freed here)
// and one text and one background colour per column, so that painting only
// copies stored colours.
struct RowRecord {
    void* data = nullptr;
    std::vector<Colour> textColours;
    std::vector<Colour> backColours;
};

} // namespace tavora::controls
