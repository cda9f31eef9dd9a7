#pragma once

#include "platform/Message.h"

#include <cstdint>

namespace tavora::controls {

// Colours are kept in the 0x00BBGGRR layout of the profile and the tables.
using Colour = uint32_t;
// As a colour argument: the system's window text or window colour, read at the call.
inline constexpr Colour kSystemColour = 0xFFFFFFFFu;

constexpr Colour MakeColour(uint8_t r, uint8_t g, uint8_t b) {
    return Colour(r) | (Colour(g) << 8) | (Colour(b) << 16);
}
constexpr uint8_t ColourRed(Colour c) {
    return uint8_t(c & 0xFF);
}
constexpr uint8_t ColourGreen(Colour c) {
    return uint8_t((c >> 8) & 0xFF);
}
constexpr uint8_t ColourBlue(Colour c) {
    return uint8_t((c >> 16) & 0xFF);
}

// Row backgrounds painted by PaintRowBands.
inline constexpr Colour kBandUnusable = 0x00F1E1FF;
inline constexpr Colour kBandOddSortColumn = 0x00F2E6E3;
inline constexpr Colour kBandOdd = 0x00FCF5F4;
inline constexpr Colour kBandEvenSortColumn = 0x00F7F2F1;
inline constexpr Colour kBandEven = 0x00FFFFFF;

// Item flags: a description of a row and a filter over rows. A row always has one
// flag of each pair; a filter matches when it holds ITEM_ANY or all its bits are set.
enum ItemFlags : uint32_t {
    ITEM_ANY = 0x01,
    ITEM_SELECTED = 0x02,
    ITEM_UNSELECTED = 0x04,
    ITEM_CHECKED = 0x08,
    ITEM_UNCHECKED = 0x10,
    ITEM_FOCUSED = 0x20,
    ITEM_UNFOCUSED = 0x40,
};

// InsertRow mask bits and row states.
inline constexpr uint32_t LVIF_TEXT = 0x0001;
inline constexpr uint32_t LVIF_IMAGE = 0x0002;
inline constexpr uint32_t LVIF_PARAM = 0x0004;
inline constexpr uint32_t LVIF_STATE = 0x0008;
inline constexpr uint32_t LVIS_FOCUSED = 0x0001;
inline constexpr uint32_t LVIS_SELECTED = 0x0002;
inline constexpr uint32_t LVIS_STATEIMAGEMASK = 0xF000;
// State image 2 is the ticked check box, 1 the empty one.
constexpr uint32_t StateImage(uint32_t image) {
    return image << 12;
}

// Column alignment (AddColumn) and header item format.
inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
inline constexpr int LVCFMT_CENTER = 0x0002;
inline constexpr int HDF_LEFT = 0x0000;
inline constexpr int HDF_RIGHT = 0x0001;
inline constexpr int HDF_CENTER = 0x0002;
inline constexpr int HDF_JUSTIFYMASK = 0x0003;
inline constexpr int HDF_IMAGE = 0x0800;
inline constexpr int HDF_BITMAP_ON_RIGHT = 0x1000;

// Editor alignment, from the column's header format.
inline constexpr int ES_LEFT = 0;
inline constexpr int ES_CENTER = 1;
inline constexpr int ES_RIGHT = 2;

// Special widths for SetColumnWidth.
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

// Extended list styles that mean something here.
inline constexpr uint32_t LVS_EX_GRIDLINES = 0x00000001;
inline constexpr uint32_t LVS_EX_CHECKBOXES = 0x00000004;
inline constexpr uint32_t LVS_EX_HEADERDRAGDROP = 0x00000010;
inline constexpr uint32_t LVS_EX_FULLROWSELECT = 0x00000020;
inline constexpr uint32_t LVS_EX_SUBITEMIMAGES = 0x00000002;
inline constexpr uint32_t LVS_EX_INFOTIP = 0x00000400;
inline constexpr uint32_t LVS_EX_DOUBLEBUFFER = 0x00010000;
// Always part of the extended style.
inline constexpr uint32_t kForcedExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;

// Notifications to the notify window. WM_REPORT_SORTED is posted with wParam = the
// primary key's column and lParam = 1 ascending / 0 descending. WM_REPORT_EDITED is
// sent with wParam = the address of the edited cell (ReportEditedCell) and lParam =
// the CReportCtrl*.
inline constexpr uint32_t WM_REPORT_SORTED = platform::WM_APP + 0x2711;
inline constexpr uint32_t WM_REPORT_EDITED = platform::WM_APP + 0x2712;

// What WM_REPORT_EDITED's wParam points to: two consecutive 32-bit values, row first.
struct ReportEditedCell {
    int32_t row = -1;
    int32_t column = -1;
};
static_assert(sizeof(ReportEditedCell) == 8);

inline const ReportEditedCell& EditedCellOf(const platform::Message& msg) {
    return *reinterpret_cast<const ReportEditedCell*>(msg.wParam);
}

} // namespace tavora::controls
