// Row bands with the sort-column tint, and the hints of the empty list.
#include "tests/reportctrl/ReportTestSupport.h"

#include "platform/Ticks.h"

#include <QImage>
#include <QTest>

namespace tavora::testing {
namespace {

using namespace controls;

class BandsTest : public ReportFixture {
protected:
    // The rendered colour of a cell, sampled in its blank left margin.
    QColor RenderedCellColour(const QImage& image, int row, int column) {
        const QRect cell = list_->visualRect(list_->model()->index(row, column));
        return image.pixelColor(cell.left() + 3, cell.center().y());
    }
};

TEST_F(BandsTest, BandsFollowRowParityUnusableFlagAndSortColumn) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}, {"bad.ogg", "/music/", "Unknown"}});
    entries_[3]->unusable = 1;
    list_->SetCellTextColour(3, 2, MakeColour(255, 0, 0), false); // the owner's red "Unknown"
    list_->SetSortKeys({{4, 1}});

    list_->PaintRowBands(true);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(list_->GetCellBackColour(0, c), c == 4 ? kBandEvenSortColumn : kBandEven) << c;
        EXPECT_EQ(list_->GetCellBackColour(1, c), c == 4 ? kBandOddSortColumn : kBandOdd) << c;
        EXPECT_EQ(list_->GetCellBackColour(2, c), c == 4 ? kBandEvenSortColumn : kBandEven) << c;
        EXPECT_EQ(list_->GetCellBackColour(3, c), kBandUnusable) << c;
    }
    EXPECT_EQ(kBandEvenSortColumn, MakeColour(241, 242, 247));
    EXPECT_EQ(kBandOddSortColumn, MakeColour(227, 230, 242));
    EXPECT_EQ(kBandOdd, MakeColour(244, 245, 252));
    EXPECT_EQ(kBandUnusable, MakeColour(255, 225, 241));
    EXPECT_EQ(list_->GetCellTextColour(3, 2), MakeColour(255, 0, 0));

    // What is drawn is what is stored; selected rows get the list's own highlight.
    const QImage image = list_->viewport()->grab().toImage();
    EXPECT_EQ(RenderedCellColour(image, 0, 4), QColor(241, 242, 247));
    EXPECT_EQ(RenderedCellColour(image, 1, 4), QColor(227, 230, 242));
    EXPECT_EQ(RenderedCellColour(image, 1, 1), QColor(244, 245, 252));
    EXPECT_EQ(RenderedCellColour(image, 3, 4), QColor(255, 225, 241));
    EXPECT_EQ(RenderedCellColour(image, 0, 1), QColor(255, 255, 255));
    list_->ApplyItemFlags(2, ITEM_SELECTED | ITEM_FOCUSED);
    SaveScreenshot(window_.get(), "bands_sort_column_tint.png");

    // Without the highlight there is no tint.
    list_->PaintRowBands(false);
    EXPECT_EQ(list_->GetCellBackColour(0, 4), kBandEven);
    EXPECT_EQ(list_->GetCellBackColour(1, 4), kBandOdd);
}

struct HintArea {
    QRect bounds; // of the hint's blue text pixels; null when there are none
};

HintArea FindHint(QWidget* viewport) {
    const QImage image = viewport->grab().toImage();
    HintArea area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            // The hint's colour, or antialiased towards the white behind it.
            if (c.blue() > 200 && c.red() < 180 && c.red() == c.green())
                area.bounds = area.bounds.united(QRect(x, y, 1, 1));
        }
    return area;
}

TEST(EmptyHints, RotateEverySixSecondsOfUptime) {
    struct Case {
        uint32_t ticks;
        const char* hint;
    };
    const Case cases[] = {
        {0, "Load your files by clicking the \"Add Files\" toolbar button"},
        {5999, "Load your files by clicking the \"Add Files\" toolbar button"},
        {6000, "Right click items in the file list, then click the floating popup menu to "
               "perform various file operations"},
        {12000, "Click the column header to sort the file list"},
        {18500, "Right click the column header, then click the floating popup menu to "
                "show/hide columns"},
        {24000, "Load your files by clicking the \"Add Files\" toolbar button"},
        {0xFFFFFFFFu, "Right click the column header, then click the floating popup menu to "
                      "show/hide columns"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CReportCtrl::EmptyHintText(c.ticks), c.hint) << c.ticks;
}

class HintsTest : public ReportFixture {};

TEST_F(HintsTest, EmptyListShowsOneCentredHintOneLineAboveTheMiddle) {
    EXPECT_TRUE(FindHint(list_->viewport()).bounds.isNull()) << "hints are off by default";

    list_->EnableEmptyHints(true);
    const HintArea hint = FindHint(list_->viewport());
    ASSERT_FALSE(hint.bounds.isNull());
    SaveScreenshot(window_.get(), "empty_list_hint.png");

    const QWidget* viewport = list_->viewport();
    QFont font;
    font.setFamilies({"Trebuchet MS", "DejaVu Sans"});
    font.setPointSizeF(15.6);
    const int lineHeight = QFontMetrics(font).height();
    const int middle = viewport->height() / 2;
    // Centred: every hint line is centred, so the whole text is too.
    EXPECT_NEAR(hint.bounds.center().x(), viewport->width() / 2, 3);
    // The first line's glyphs start inside the line just above the middle.
    EXPECT_GE(hint.bounds.top(), middle - lineHeight);
    EXPECT_LT(hint.bounds.top(), middle);

    // Rows hide the hint.
    AddRow({"a.ogg"});
    list_->PaintRowBands(true);
    EXPECT_TRUE(FindHint(list_->viewport()).bounds.isNull());
    list_->RemoveRows(ITEM_ANY);
    EXPECT_FALSE(FindHint(list_->viewport()).bounds.isNull());
    list_->EnableEmptyHints(false);
    EXPECT_TRUE(FindHint(list_->viewport()).bounds.isNull());
}

} // namespace
} // namespace tavora::testing
