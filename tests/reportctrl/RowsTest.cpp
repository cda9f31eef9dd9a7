// Rows, cells, their colour records and the item-flag filters.
#include "tests/reportctrl/ReportTestSupport.h"

#include <QPalette>

namespace tavora::testing {
namespace {

using namespace controls;

class RowsTest : public ReportFixture {};

Colour PaletteColour(QWidget* w, QPalette::ColorRole role) {
    const QColor c = w->palette().color(role);
    return MakeColour(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

TEST_F(RowsTest, NewRowGetsRecordWithSystemColoursAndOwnerData) {
    TestEntry entry;
    const int row = list_->InsertRow(LVIF_TEXT | LVIF_PARAM, 0, "a.ogg", 0, 0, 0, &entry);
    ASSERT_EQ(row, 0);
    EXPECT_EQ(list_->GetRowData(0), &entry);
    EXPECT_EQ(list_->GetCellText(0, 0), "a.ogg");
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(list_->GetCellTextColour(0, c), PaletteColour(list_, QPalette::Text));
        EXPECT_EQ(list_->GetCellBackColour(0, c), PaletteColour(list_, QPalette::Base));
    }
    // Without LVIF_PARAM the record's data is null, whatever was passed.
    EXPECT_EQ(list_->InsertRow(LVIF_TEXT, 1, "b.ogg", 0, 0, 0, &entry), 1);
    EXPECT_EQ(list_->GetRowData(1), nullptr);
    // Past the end appends; a negative index is refused and adds nothing.
    EXPECT_EQ(list_->InsertRow(LVIF_TEXT, 99, "c.ogg", 0, 0, 0, nullptr), 2);
    EXPECT_EQ(list_->InsertRow(LVIF_TEXT, -1, "d.ogg", 0, 0, 0, nullptr), -1);
    EXPECT_EQ(list_->CountItems(ITEM_ANY), 3);
    // No record behind a row that does not exist.
    EXPECT_EQ(list_->GetRowData(7), nullptr);
    EXPECT_FALSE(list_->SetRowData(7, &entry));
    EXPECT_TRUE(list_->SetRowData(2, &entry));
    EXPECT_EQ(list_->GetRowData(2), &entry);
}

TEST_F(RowsTest, InsertRowAppliesSelectedFocusedAndCheckedState) {
    list_->ApplyExtendedStyle(LVS_EX_CHECKBOXES);
    AddRows({{"a.ogg"}, {"b.ogg"}});
    const int row = list_->InsertRow(
        LVIF_TEXT | LVIF_STATE, 1, "new.ogg", LVIS_SELECTED | LVIS_FOCUSED | StateImage(2),
        LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK, 0, nullptr);
    EXPECT_EQ(list_->QueryItemFlags(row), uint32_t(ITEM_SELECTED | ITEM_CHECKED | ITEM_FOCUSED));
    EXPECT_EQ(list_->QueryItemFlags(0),
              uint32_t(ITEM_UNSELECTED | ITEM_UNCHECKED | ITEM_UNFOCUSED));
    EXPECT_EQ(list_->model()->index(row, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

TEST_F(RowsTest, AddColumnInsertsColoursAtItsIndexInEveryRecord) {
    AddRows({{"a.ogg"}, {"b.ogg"}});
    list_->SetCellBackColour(-1, 2, MakeColour(1, 2, 3), false);
    list_->SetCellBackColour(-1, 3, MakeColour(4, 5, 6), false);
    EXPECT_EQ(list_->AddColumn(3, "Extra", LVCFMT_LEFT, 50), 3);
    EXPECT_EQ(list_->GetColumnCount(), 9);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(list_->GetCellBackColour(r, 2), MakeColour(1, 2, 3));
        EXPECT_EQ(list_->GetCellBackColour(r, 3), PaletteColour(list_, QPalette::Base));
        EXPECT_EQ(list_->GetCellBackColour(r, 4), MakeColour(4, 5, 6));
        EXPECT_EQ(list_->GetCellText(r, 3), "");
    }
    EXPECT_EQ(list_->GetColumnState(3).shown, 1);
    EXPECT_EQ(list_->GetColumnState(3).savedWidth, 50);
    EXPECT_EQ(list_->GetColumnState(3).savedPos, -1);
    EXPECT_EQ(list_->AddColumn(50, "Last", LVCFMT_LEFT, 40), 9);
    EXPECT_EQ(list_->AddColumn(-1, "None", LVCFMT_LEFT, 40), -1);
    EXPECT_EQ(list_->GetColumnCount(), 10);
}

TEST_F(RowsTest, SetCellNumberFormats) {
    AddRow({"a.ogg"});
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {3.0, -1, "3"},       {2.5, -1, "2.5"},
        {0.0, -1, "0"},       {100.0, -1, "100"},
        {0.125, -1, "0.125"}, {2.0, 2, "2.00"},
        {9.5, 2, "9.50"},     {10.256, 2, "10.26"},
        {7.0, 0, "7"},        {1234567.5, 1, "1234567.5"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(list_->SetCellNumber(0, 3, c.value, c.decimals));
        EXPECT_EQ(list_->GetCellText(0, 3), c.text) << c.value << " / " << c.decimals;
    }
}

TEST_F(RowsTest, ColourSettersSelectCellsByRowAndColumnRules) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}});
    const Colour base = PaletteColour(list_, QPalette::Base);
    const Colour red = MakeColour(255, 0, 0);
    struct Case {
        int row, column;
        // Which (row, column) cells end up red.
        bool (*hit)(int r, int c);
    };
    const Case cases[] = {
        {1, 2, [](int r, int c) { return r == 1 && c == 2; }},
        {1, -1, [](int r, int) { return r == 1; }},
        {1, 8, [](int r, int) { return r == 1; }},
        {-1, 2, [](int, int c) { return c == 2; }},
        {3, 2, [](int, int c) { return c == 2; }},
        {-1, -1, [](int, int) { return true; }},
    };
    for (const Case& tc : cases) {
        list_->SetCellBackColour(-1, -1, kSystemColour, false);
        list_->SetCellBackColour(tc.row, tc.column, red, false);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 8; ++c)
                EXPECT_EQ(list_->GetCellBackColour(r, c), tc.hit(r, c) ? red : base)
                    << "set (" << tc.row << "," << tc.column << ") cell " << r << "," << c;
    }
    // Text colours follow the same rules and leave the backgrounds alone.
    list_->SetCellTextColour(2, 2, red, true);
    EXPECT_EQ(list_->GetCellTextColour(2, 2), red);
    EXPECT_EQ(list_->GetCellTextColour(2, 1), PaletteColour(list_, QPalette::Text));
    EXPECT_EQ(list_->GetCellBackColour(2, 2), red);
}

TEST_F(RowsTest, FlagFiltersCountFindAndApply) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}, {"d.ogg"}});
    EXPECT_FALSE(list_->ApplyItemFlags(1, 0));
    EXPECT_FALSE(list_->ApplyItemFlags(9, ITEM_SELECTED));
    EXPECT_TRUE(list_->ApplyItemFlags(1, ITEM_SELECTED | ITEM_FOCUSED));
    EXPECT_TRUE(list_->ApplyItemFlags(3, ITEM_SELECTED));

    // Every row holds exactly one flag of each pair.
    for (int r = 0; r < 4; ++r) {
        const uint32_t f = list_->QueryItemFlags(r);
        EXPECT_NE(bool(f & ITEM_SELECTED), bool(f & ITEM_UNSELECTED));
        EXPECT_NE(bool(f & ITEM_CHECKED), bool(f & ITEM_UNCHECKED));
        EXPECT_NE(bool(f & ITEM_FOCUSED), bool(f & ITEM_UNFOCUSED));
    }

    struct Case {
        uint32_t filter;
        int count;
        int firstFromStart;
    };
    const Case cases[] = {
        {ITEM_ANY | ITEM_SELECTED, 4, 0}, // ITEM_ANY wins
        {0, 0, -1},
        {ITEM_SELECTED, 2, 1},
        {ITEM_UNSELECTED, 2, 0},
        {ITEM_SELECTED | ITEM_FOCUSED, 1, 1},
        {ITEM_SELECTED | ITEM_UNFOCUSED, 1, 3},
        {ITEM_SELECTED | ITEM_UNSELECTED, 0, -1},
        {ITEM_CHECKED, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list_->CountItems(c.filter), c.count) << std::hex << c.filter;
        EXPECT_EQ(list_->FindNextItem(c.filter, -1), c.firstFromStart) << std::hex << c.filter;
    }
    EXPECT_EQ(list_->FindNextItem(ITEM_SELECTED, 1), 3);
    EXPECT_EQ(list_->FindNextItem(ITEM_ANY, -5), 0);
    EXPECT_EQ(list_->FindNextItem(ITEM_ANY, 3), -1);

    // Select All, then unfocus everything.
    EXPECT_EQ(list_->ApplyItemFlagsToAll(ITEM_ANY, ITEM_SELECTED), 4);
    EXPECT_EQ(list_->CountItems(ITEM_SELECTED), 4);
    EXPECT_EQ(list_->ApplyItemFlagsToAll(ITEM_FOCUSED, ITEM_UNFOCUSED), 1);
    EXPECT_EQ(list_->CountItems(ITEM_FOCUSED), 0);
    EXPECT_EQ(list_->ApplyItemFlagsToAll(0, ITEM_SELECTED), 0);
    EXPECT_EQ(list_->ApplyItemFlagsToAll(ITEM_ANY, 0), 0);
    // Unselecting the rows 1 and 2 by a filter over the selected rows.
    list_->ApplyItemFlags(0, ITEM_UNSELECTED);
    list_->ApplyItemFlags(3, ITEM_UNSELECTED);
    EXPECT_EQ(list_->ApplyItemFlagsToAll(ITEM_SELECTED, ITEM_UNSELECTED | ITEM_CHECKED), 2);
    EXPECT_EQ(list_->CountItems(ITEM_SELECTED), 0);
    EXPECT_EQ(list_->CountItems(ITEM_CHECKED), 2);
}

TEST_F(RowsTest, RemoveRowsByFilterKeepsOwnerDataAndOtherRows) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}, {"d.ogg"}, {"e.ogg"}});
    for (int r : {1, 2, 4})
        list_->ApplyItemFlags(r, ITEM_SELECTED);
    EXPECT_EQ(list_->RemoveRows(ITEM_SELECTED), 3);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a.ogg", "d.ogg"}));
    EXPECT_EQ(list_->GetRowData(1), entries_[3].get());
    EXPECT_EQ(entries_[1]->size, 1.0); // the owner's entries are untouched
    EXPECT_EQ(list_->RemoveRows(0), 0);
    EXPECT_EQ(list_->RemoveRows(ITEM_ANY), 2);
    EXPECT_EQ(list_->CountItems(ITEM_ANY), 0);
}

TEST_F(RowsTest, RemoveRowCanSelectTheNextRow) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}});
    EXPECT_TRUE(list_->RemoveRow(0, true));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"b.ogg", "c.ogg"}));
    EXPECT_EQ(list_->FindNextItem(ITEM_SELECTED, -1), 0);
    EXPECT_TRUE(list_->RemoveRow(1, false));
    EXPECT_FALSE(list_->RemoveRow(5, false));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"b.ogg"}));
}

} // namespace
} // namespace tavora::testing
