// SortRows: the key order, numbers against texts, and what moves with a row.
#include "tests/reportctrl/ReportTestSupport.h"

#include "controls/ProcessFlags.h"
#include "controls/ReportEditor.h"
#include "controls/ReportSort.h"

#include <algorithm>

#include <cmath>
#include <random>

namespace tavora::testing {
namespace {

using namespace controls;

class SortTest : public ReportFixture {
protected:
    void SortAll(std::vector<SortKey> keys) {
        list_->SetSortKeys(std::move(keys));
        list_->SortRows(0, list_->CountItems(ITEM_ANY) - 1, true);
    }
};

TEST_F(SortTest, ColumnsSortByBytesOrByNumbers) {
    struct Case {
        const char* what;
        std::vector<FileRow> rows;
        SortKey key;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"byte order: capitals first",
         {{"apple"}, {"Zebra"}, {"mango"}},
         {0, 1},
         {"Zebra", "apple", "mango"}},
        {"byte order: '1' before '9'", {{"9"}, {"10"}, {"100"}}, {0, 1}, {"10", "100", "9"}},
        {"UTF-8 bytes: accented letters after z",
         {{"\xC3\xA9t\xC3\xA9"}, {"zoo"}, {"abc"}},
         {0, 1},
         {"abc", "zoo", "\xC3\xA9t\xC3\xA9"}},
        {"descending", {{"b"}, {"c"}, {"a"}}, {0, 0}, {"c", "b", "a"}},
        {"sizes as numbers",
         {{"big", "/", "OGG", 10.25}, {"small", "/", "OGG", 9.5}, {"mid", "/", "OGG", 9.75}},
         {3, 1},
         {"small", "mid", "big"}},
        {"frequencies as numbers",
         {{"cd", "/", "OGG", 1, "", "", 44100},
          {"phone", "/", "OGG", 1, "", "", 8000},
          {"dat", "/", "OGG", 1, "", "", 48000}},
         {6, 1},
         {"phone", "cd", "dat"}},
        {"channels as numbers",
         {{"six", "/", "OGG", 1, "", "", 44100, 6},
          {"mono", "/", "OGG", 1, "", "", 44100, 1},
          {"ten", "/", "OGG", 1, "", "", 44100, 10}},
         {7, 0},
         {"ten", "six", "mono"}},
        {"durations as text",
         {{"long", "/", "OGG", 1, "", "10:00:00"}, {"short", "/", "OGG", 1, "", "09:59:59"}},
         {5, 1},
         {"short", "long"}},
        {"dates as text",
         {{"new", "/", "OGG", 1, "2024/02/01 00:00:00"},
          {"old", "/", "OGG", 1, "2023/12/31 23:59:59"}},
         {4, 1},
         {"old", "new"}},
    };
    for (const Case& c : cases) {
        list_->RemoveRows(ITEM_ANY);
        AddRows(c.rows);
        SortAll({c.key});
        EXPECT_EQ(Column(0), c.names) << c.what;
    }
}

TEST_F(SortTest, TiesFollowTheNextKeysInThePrimaryDirection) {
    AddRows({{"b", "/", "OGG"},
             {"a", "/", "MP3"},
             {"c", "/", "OGG"},
             {"a", "/", "OGG"},
             {"b", "/", "MP3"}});
    SortAll({{2, 0}, {0, 1}});
    EXPECT_EQ(Column(2), (std::vector<std::string>{"OGG", "OGG", "OGG", "MP3", "MP3"}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"c", "b", "a", "b", "a"}));
}

TEST_F(SortTest, RowsMoveWithRecordsImagesChecksSelectionAndFocus) {
    list_->ApplyExtendedStyle(0x10430 | LVS_EX_CHECKBOXES);
    AddRows({{"d", "/", "OGG", 4.0},
             {"b", "/", "OGG", 2.0},
             {"a", "/", "OGG", 1.0},
             {"c", "/", "OGG", 3.0}});
    list_->SetCellImage(1, 4, 0); // "b" has an image in column 4
    list_->SetCellTextColour(3, 2, MakeColour(255, 0, 0), false);
    list_->ApplyItemFlags(1, ITEM_SELECTED | ITEM_CHECKED);
    list_->ApplyItemFlags(3, ITEM_SELECTED | ITEM_FOCUSED);

    SortAll({{0, 1}});
    ASSERT_EQ(Column(0), (std::vector<std::string>{"a", "b", "c", "d"}));
    for (int r = 0; r < 4; ++r) {
        const auto* entry = static_cast<const TestEntry*>(list_->GetRowData(r));
        EXPECT_EQ(entry->size, r + 1.0) << "row data travels with its row";
        EXPECT_EQ(list_->GetCellText(r, 3), std::to_string(r + 1) + ".00");
    }
    EXPECT_EQ(list_->GetCellImage(1, 4), 0);
    EXPECT_EQ(list_->GetCellImage(0, 4), -1);
    EXPECT_EQ(list_->GetCellTextColour(2, 2), MakeColour(255, 0, 0));
    EXPECT_EQ(list_->QueryItemFlags(1), uint32_t(ITEM_SELECTED | ITEM_CHECKED | ITEM_UNFOCUSED));
    EXPECT_EQ(list_->QueryItemFlags(2), uint32_t(ITEM_SELECTED | ITEM_UNCHECKED | ITEM_FOCUSED));
    EXPECT_EQ(list_->CountItems(ITEM_SELECTED), 2);
    // The bands are painted afresh for the new order.
    EXPECT_EQ(list_->GetCellBackColour(1, 0), kBandOddSortColumn);
    EXPECT_EQ(list_->GetCellBackColour(1, 1), kBandOdd);
}

TEST_F(SortTest, PostsThePrimaryKeyAndHoldsTheSortingFlagMeanwhile) {
    AddRows({{"x", "/", "OGG", 2.0}, {"y", "/", "OGG", 1.0}});
    SetSortingFlag(1); // as the busy dialog's Cancel leaves it
    SortAll({{3, 0}, {0, 1}});
    EXPECT_EQ(reader_->sortingFlagSeen.load(), 1);
    EXPECT_EQ(SortingFlag(), 0);
    ASSERT_EQ(CountMessages(WM_REPORT_SORTED), 1);
    EXPECT_EQ(Messages().back().wParam, 3u);
    EXPECT_EQ(Messages().back().lParam, 0);
}

TEST_F(SortTest, SingleRowAndBadRangesChangeNothingButStillNotify) {
    AddRow({"only"});
    list_->SetCellBackColour(0, -1, MakeColour(9, 9, 9), false);
    SortAll({{0, 1}});
    EXPECT_EQ(Column(0), (std::vector<std::string>{"only"}));
    EXPECT_EQ(list_->GetCellBackColour(0, 0), kBandEvenSortColumn);
    EXPECT_EQ(CountMessages(WM_REPORT_SORTED), 1);

    AddRows({{"c"}, {"b"}});
    list_->SortRows(1, 5, true);  // past the end
    list_->SortRows(2, 1, true);  // reversed
    list_->SortRows(-1, 2, true); // before the start
    EXPECT_EQ(Column(0), (std::vector<std::string>{"only", "c", "b"}));
    EXPECT_EQ(CountMessages(WM_REPORT_SORTED), 4);
    list_->SortRows(1, 2, true);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"only", "b", "c"}));
}

TEST_F(SortTest, NumbersThatCannotBeOrderedDoNotBreakTheSort) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> size(0, 100);
    std::vector<FileRow> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back({Numbered("f", i), "/", "OGG", i % 7 == 0 ? NAN : size(random)});
    AddRows(rows);
    SortAll({{3, 1}});
    std::vector<std::string> names = Column(0);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    for (const FileRow& r : rows)
        expected.push_back(r.name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected) << "every row is still there, once";
}

TEST_F(SortTest, AnOpenEditIsCommittedToItsOwnRowBeforeTheRowsMove) {
    AddRows({{"c.ogg"}, {"a.ogg"}, {"b.ogg"}});
    ASSERT_TRUE(list_->BeginCellEdit(0, 0));
    list_->Editor()->setText("z.ogg");
    SortAll({{0, 1}});
    EXPECT_FALSE(list_->IsCellEditing());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a.ogg", "b.ogg", "z.ogg"}));
    // The renamed row is still the entry that was edited.
    EXPECT_EQ(list_->GetRowData(2), entries_[0].get());
    ASSERT_EQ(CountMessages(WM_REPORT_EDITED), 1);
    EXPECT_EQ(Messages().front().editedRow, 0);
}

} // namespace
} // namespace tavora::testing

// The row quicksort on its own, over input shapes that break naive pivots.
TEST(QuickSortRows, OrdersEveryInputShapeLikeStdSort) {
    const int n = 30000;
    std::vector<std::pair<const char*, std::vector<int>>> shapes;
    std::vector<int> ascending(n), descending(n), equal(n, 7), sawtooth(n), organ(n), random(n);
    uint32_t seed = 12345;
    for (int k = 0; k < n; ++k) {
        ascending[k] = k;
        descending[k] = n - k;
        sawtooth[k] = k % 97;
        organ[k] = k < n / 2 ? k : n - k;
        seed = seed * 1664525u + 1013904223u;
        random[k] = static_cast<int>(seed >> 8);
    }
    shapes = {{"ascending", ascending}, {"descending", descending}, {"equal", equal},
              {"sawtooth", sawtooth},   {"organ pipe", organ},      {"random", random}};
    for (const auto& [name, keys] : shapes) {
        for (bool up : {true, false}) {
            std::vector<int> rows(n);
            for (int k = 0; k < n; ++k)
                rows[k] = k;
            const auto compare = [&](int a, int b) {
                return keys[a] < keys[b] ? -1 : keys[a] > keys[b] ? 1 : 0;
            };
            tavora::controls::QuickSortRows(rows, 0, n - 1, up, compare);
            std::vector<int> got(n), want(keys);
            for (int k = 0; k < n; ++k)
                got[k] = keys[rows[k]];
            std::sort(want.begin(), want.end());
            if (!up)
                std::reverse(want.begin(), want.end());
            EXPECT_EQ(got, want) << name << (up ? " ascending" : " descending");
        }
    }
}
