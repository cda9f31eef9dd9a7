// The header under the mouse: clicks that sort, dividers and column drags.
#include "tests/reportctrl/ReportTestSupport.h"

#include "controls/ReportEditor.h"

#include <QTest>

namespace tavora::testing {
namespace {

using namespace controls;

class HeaderMouseTest : public ReportFixture {
protected:
    void ClickHeader(int column) {
        QTest::mouseClick(list_->header()->viewport(), Qt::LeftButton, {}, SectionCentre(column));
    }
    std::vector<int> Widths() const {
        std::vector<int> widths;
        for (int c = 0; c < 8; ++c)
            widths.push_back(list_->GetColumnWidth(c));
        return widths;
    }
};

TEST_F(HeaderMouseTest, ClicksBuildTheSortKeyList) {
    constexpr int kName = 0, kType = 2, kSize = 3;
    struct Case {
        const char* what;
        std::vector<SortKey> start;
        std::vector<int> clicks;
        std::vector<SortKey> keys;
    };
    const Case cases[] = {
        {"one click on Name", {{kType, 1}}, {kName}, {{kName, 1}, {kType, 1}}},
        {"two clicks reverse it", {{kType, 1}}, {kName, kName}, {{kName, 0}, {kType, 1}}},
        {"three clicks restore it", {{kType, 1}}, {kName, kName, kName}, {{kName, 1}, {kType, 1}}},
        {"a new column starts ascending", {{kName, 1}}, {kType}, {{kType, 1}, {kName, 1}}},
        {"a secondary key keeps its direction",
         {{kName, 1}},
         {kType, kName},
         {{kName, 1}, {kType, 1}}},
        {"descending secondary key comes back descending",
         {{kSize, 1}, {kName, 0}},
         {kName},
         {{kName, 0}, {kSize, 1}}},
        {"seven columns keep the six latest",
         {},
         {0, 1, 2, 3, 4, 5, 6},
         {{6, 1}, {5, 1}, {4, 1}, {3, 1}, {2, 1}, {1, 1}}},
    };
    for (const Case& c : cases) {
        list_->SetSortKeys(c.start);
        for (int column : c.clicks)
            ClickHeader(column);
        EXPECT_EQ(list_->SortKeys(), c.keys) << c.what;
    }
}

TEST_F(HeaderMouseTest, ClickSortsTheRowsOnlyWhileHeaderSortIsOn) {
    AddRows({{"b.ogg"}, {"c.ogg"}, {"a.ogg"}});
    list_->SetSortKeys({{2, 1}});
    ClickHeader(0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a.ogg", "b.ogg", "c.ogg"}));
    ASSERT_EQ(CountMessages(WM_REPORT_SORTED), 1);
    EXPECT_EQ(Messages().back().wParam, 0u);
    EXPECT_EQ(Messages().back().lParam, 1);

    list_->EnableHeaderSort(false);
    ClickHeader(0);
    EXPECT_EQ(list_->SortKeys(), (std::vector<SortKey>{{0, 0}, {2, 1}}));
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a.ogg", "b.ogg", "c.ogg"}));
    EXPECT_EQ(CountMessages(WM_REPORT_SORTED), 1);
}

TEST_F(HeaderMouseTest, HiddenColumnDividersCannotBeDraggedOrDoubleClicked) {
    AddRows({{"a-long-file-name-that-wants-a-wide-column.ogg"}});
    list_->SetColumnVisible(2, false);
    list_->SetColumnVisible(3, false);
    const std::vector<int> before = Widths();
    auto* viewport = list_->header()->viewport();
    // The hidden columns' dividers all lie at the left edge of the header.
    Drag(viewport, QPoint(1, viewport->height() / 2), QPoint(120, viewport->height() / 2));
    EXPECT_EQ(Widths(), before);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(1, viewport->height() / 2));
    EXPECT_EQ(Widths(), before);
    EXPECT_EQ(list_->GetColumnOrder()[0], 3);
    EXPECT_EQ(list_->GetColumnOrder()[1], 2);

    // A shown column's divider still works both ways.
    ASSERT_EQ(Header()->DividerAt(DividerPoint(1).x()), 1);
    Drag(viewport, DividerPoint(1), DividerPoint(1) + QPoint(40, 0));
    EXPECT_EQ(list_->GetColumnWidth(1), 190);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, DividerPoint(0));
    const int needed =
        list_->fontMetrics().horizontalAdvance("a-long-file-name-that-wants-a-wide-column.ogg");
    EXPECT_GE(list_->GetColumnWidth(0), needed);
    EXPECT_LE(list_->GetColumnWidth(0), needed + list_->iconSize().width() + 24);
    EXPECT_EQ(list_->GetColumnWidth(2), 0);
    EXPECT_EQ(list_->GetColumnWidth(3), 0);
}

TEST_F(HeaderMouseTest, ColumnDroppedBeforeTheHiddenOnesLandsAfterThem) {
    list_->SetColumnVisible(5, false);
    list_->SetColumnVisible(6, false);
    ASSERT_EQ(list_->GetColumnOrder(), (std::vector<int>{6, 5, 0, 1, 2, 3, 4, 7}));
    auto* viewport = list_->header()->viewport();
    Drag(viewport, SectionCentre(2), QPoint(2, viewport->height() / 2));
    EXPECT_EQ(list_->GetColumnOrder(), (std::vector<int>{6, 5, 2, 0, 1, 3, 4, 7}));
    EXPECT_EQ(list_->GetColumnWidth(2), 65);
    EXPECT_EQ(list_->GetColumnWidth(5), 0);
}

TEST_F(HeaderMouseTest, DividerAndColumnDragsDiscardAnOpenEdit) {
    AddRows({{"a.ogg"}, {"b.ogg"}});
    auto* viewport = list_->header()->viewport();
    struct Case {
        const char* what;
        QPoint from, to;
    };
    const Case cases[] = {
        {"divider drag", DividerPoint(2), DividerPoint(2) + QPoint(30, 0)},
        {"column drag", SectionCentre(4), SectionCentre(6)},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(list_->BeginCellEdit(1, 0));
        list_->Editor()->setText("typed.ogg");
        Drag(viewport, c.from, c.to);
        EXPECT_FALSE(list_->IsCellEditing()) << c.what;
        EXPECT_EQ(list_->GetCellText(1, 0), "b.ogg") << c.what;
    }
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 0);

    // A header click commits instead.
    ASSERT_TRUE(list_->BeginCellEdit(1, 0));
    list_->Editor()->setText("typed.ogg");
    ClickHeader(2);
    EXPECT_FALSE(list_->IsCellEditing());
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 1);
}

} // namespace
} // namespace tavora::testing
