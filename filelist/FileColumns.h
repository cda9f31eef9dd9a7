#pragma once

#include <array>
#include <cstdint>

namespace tavora::filelist {

// Columns of the file list, in creation order.
enum FileColumn : int {
    COL_NAME = 0,
    COL_PATH = 1,
    COL_TYPE = 2,
    COL_SIZE = 3,
    COL_MODIFIED = 4,
    COL_DURATION = 5,
    COL_FREQUENCY = 6,
    COL_CHANNEL = 7,
};
inline constexpr int kFileColumnCount = 8;

enum class ColumnAlign { Left, Right };

struct FileColumnInfo {
    const char* header;
    ColumnAlign align;
    int defaultWidth; // pixels
};

inline constexpr std::array<FileColumnInfo, kFileColumnCount> kFileColumns = {{
    {"Name", ColumnAlign::Left, 150},
    {"Path", ColumnAlign::Left, 150},
    {"Type", ColumnAlign::Right, 65},
    {"Size(MB)", ColumnAlign::Right, 85},
    {"Last Modified", ColumnAlign::Right, 120},
    {"Duration", ColumnAlign::Right, 88},
    {"Frequency", ColumnAlign::Right, 96},
    {"Channel", ColumnAlign::Right, 88},
}};

struct CellColour {
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const CellColour&, const CellColour&) = default;
};

// The Type cell of an unusable entry.
inline constexpr CellColour kUnusableTypeColour{255, 0, 0};
inline constexpr const char* kUnknownTypeText = "Unknown";

} // namespace tavora::filelist
