// Hidden columns, widths, display order, header menu, header images and scrolling.
#include "tests/reportctrl/ReportTestSupport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace tavora::testing {
namespace {

using namespace controls;

class ColumnsTest : public ReportFixture {
protected:
    std::vector<int> Widths() const {
        std::vector<int> widths;
        for (int c = 0; c < 8; ++c)
            widths.push_back(list_->GetColumnWidth(c));
        return widths;
    }
};

TEST_F(ColumnsTest, HideAndShowMoveColumnsAndRestoreWidths) {
    struct Step {
        int column;
        bool show;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<int> order;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {"hide 5", {{5, false}}, {5, 0, 1, 2, 3, 4, 6, 7}, {150, 150, 65, 85, 120, 0, 96, 88}},
        {"hide and show 5",
         {{5, false}, {5, true}},
         {0, 1, 2, 3, 4, 6, 7, 5},
         {150, 150, 65, 85, 120, 88, 96, 88}},
        {"the last one hidden comes first",
         {{2, false}, {6, false}},
         {6, 2, 0, 1, 3, 4, 5, 7},
         {150, 150, 0, 85, 120, 88, 0, 88}},
        {"shown again, past the hidden ones",
         {{2, false}, {6, false}, {2, true}},
         {6, 0, 1, 3, 4, 5, 7, 2},
         {150, 150, 65, 85, 120, 88, 0, 88}},
        {"hiding twice keeps the saved width",
         {{3, false}, {3, false}, {3, true}},
         {0, 1, 2, 4, 5, 6, 7, 3},
         {150, 150, 65, 85, 120, 88, 96, 88}},
        {"showing a shown column changes nothing",
         {{4, true}},
         {0, 1, 2, 3, 4, 5, 6, 7},
         {150, 150, 65, 85, 120, 88, 96, 88}},
    };
    for (const Case& c : cases) {
        for (int col = 0; col < 8; ++col)
            list_->SetColumnVisible(col, true);
        list_->SetColumnOrder({0, 1, 2, 3, 4, 5, 6, 7});
        for (const Step& s : c.steps)
            EXPECT_TRUE(list_->SetColumnVisible(s.column, s.show));
        EXPECT_EQ(list_->GetColumnOrder(), c.order) << c.what;
        EXPECT_EQ(Widths(), c.widths) << c.what;
        for (int col = 0; col < 8; ++col)
            EXPECT_EQ(list_->IsColumnShown(col), c.widths[size_t(col)] != 0) << c.what;
    }
}

TEST_F(ColumnsTest, HiddenColumnKeepsSavedWidthAndRefusesWidthChanges) {
    list_->SetColumnWidth(1, 300); // the user widened it
    list_->SetColumnVisible(1, false);
    const ColumnState state = list_->GetColumnState(1);
    EXPECT_EQ(state.shown, 0);
    EXPECT_EQ(state.savedWidth, 300);
    EXPECT_EQ(state.savedPos, 8);
    EXPECT_FALSE(list_->SetColumnWidth(1, 120));
    list_->FitColumnWidth(1, true);
    EXPECT_EQ(list_->GetColumnWidth(1), 0);
    list_->SetColumnVisible(1, true);
    EXPECT_EQ(list_->GetColumnWidth(1), 300);
}

TEST_F(ColumnsTest, CtrlKeypadPlusFitsShownColumnsToContents) {
    AddRows({{"a-rather-long-file-name-for-the-name-column.ogg", "/"}, {"b.ogg", "/"}});
    list_->SetColumnVisible(5, false);
    list_->SetColumnWidth(2, 300);
    QTest::keyClick(list_, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(list_->GetColumnWidth(5), 0);
    EXPECT_EQ(list_->GetColumnState(5).savedWidth, 88);
    // The longest name with its image, plus no more than the cell's margins.
    const int needed =
        list_->fontMetrics().horizontalAdvance("a-rather-long-file-name-for-the-name-column.ogg") +
        list_->iconSize().width();
    EXPECT_GE(list_->GetColumnWidth(0), needed);
    EXPECT_LE(list_->GetColumnWidth(0), needed + 24);
    EXPECT_LT(list_->GetColumnWidth(2), 300); // "OGG" needs far less
    // The plain plus key is not the command.
    list_->SetColumnWidth(2, 300);
    QTest::keyClick(list_, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(list_->GetColumnWidth(2), 300);
}

TEST_F(ColumnsTest, HeaderMenuListsColumnsWithChecksGreysNameAndPath) {
    list_->SetColumnVisible(6, false);
    auto menu = list_->CreateHeaderMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 9);
    EXPECT_TRUE(actions[3]->isSeparator());
    std::vector<std::string> titles;
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        const int column = a->data().toInt();
        titles.push_back(a->text().toStdString());
        EXPECT_TRUE(a->isCheckable());
        EXPECT_EQ(a->isChecked(), column != 6) << column;
        EXPECT_EQ(a->isEnabled(), column >= 2) << column;
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Name", "Path", "Type", "Size(MB)", "Last Modified",
                                                "Duration", "Frequency", "Channel"}));
}

// Watches for a popup menu: runs body on it once it is open, then closes it.
class MenuWatcher {
public:
    explicit MenuWatcher(std::function<void(QMenu*)> body) : body_(std::move(body)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || opened_)
                return;
            opened_ = true;
            body_(menu);
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        timer_.start(10);
    }
    bool Opened() const { return opened_; }

private:
    std::function<void(QMenu*)> body_;
    QTimer timer_;
    bool opened_ = false;
};

TEST_F(ColumnsTest, RightClickOnHeaderTogglesAColumnThroughTheMenu) {
    MenuWatcher watcher([this](QMenu* menu) {
        SaveScreenshot(menu, "header_menu.png");
        for (QAction* a : menu->actions())
            if (a->text() == "Duration")
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
    });
    // A right click on the header, as the window system delivers it.
    QWidget* headerViewport = list_->header()->viewport();
    const QPoint at = headerViewport->mapTo(window_.get(), SectionCentre(4));
    QTest::mouseClick(window_->windowHandle(), Qt::RightButton, {}, at);
    EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.Opened(); }, 2000));
    EXPECT_FALSE(list_->IsColumnShown(5));
    EXPECT_EQ(list_->GetColumnOrder()[0], 5);
    SaveScreenshot(window_.get(), "hidden_column.png");
}

TEST_F(ColumnsTest, NoMenuFromTheKeyboardOrFromTheRows) {
    AddRows({{"a.ogg"}, {"b.ogg"}});
    MenuWatcher watcher([](QMenu*) {});
    const QPoint row = list_->viewport()->mapTo(window_.get(), CellCentre(1, 2));
    QTest::mouseClick(window_->windowHandle(), Qt::RightButton, {}, row);
    QTest::qWait(100);
    EXPECT_FALSE(watcher.Opened()) << "a right click on the rows";

    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, SectionCentre(2),
                               list_->header()->viewport()->mapToGlobal(SectionCentre(2)));
    QApplication::sendEvent(list_->header()->viewport(), &keyboard);
    QTest::qWait(100);
    EXPECT_FALSE(watcher.Opened()) << "the menu key";
    EXPECT_TRUE(keyboard.isAccepted());
}

TEST_F(ColumnsTest, HeaderImageSitsRightOrLeftOfTheTitle) {
    auto* header = list_->header();
    const auto blueColumns = [&](int column) {
        // x range of the blue image inside the header section.
        const QImage image = header->viewport()->grab().toImage();
        const int left = header->sectionViewportPosition(column);
        int first = -1, last = -1;
        for (int x = left; x < left + header->sectionSize(column); ++x) {
            const QColor c = image.pixelColor(x, header->height() / 2);
            if (c.blue() > 150 && c.red() < 80 && c.green() < 80) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        return std::pair{first - left, last - left};
    };
    EXPECT_TRUE(list_->SetHeaderItemImage(0, 1, false));
    EXPECT_EQ(list_->GetHeaderItemFormat(0), HDF_LEFT | HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
    const auto right = blueColumns(0);
    SaveScreenshot(header, "header_image_right.png");
    EXPECT_TRUE(list_->SetHeaderItemImage(0, 1, true));
    EXPECT_EQ(list_->GetHeaderItemFormat(0), HDF_LEFT | HDF_IMAGE);
    const auto left = blueColumns(0);
    SaveScreenshot(header, "header_image_left.png");
    ASSERT_GE(right.first, 0);
    ASSERT_GE(left.first, 0);
    const int titleWidth = header->fontMetrics().horizontalAdvance("Name");
    EXPECT_GE(right.first, titleWidth) << "image after the title";
    EXPECT_LT(left.first, 12) << "image before the title";
    // The owner's sort arrow on a right-aligned title.
    EXPECT_TRUE(list_->SetHeaderItemImage(3, 2, false));
    SaveScreenshot(window_.get(), "header_sort_arrow.png");
    EXPECT_FALSE(list_->SetHeaderItemImage(12, 1, false));
}

TEST_F(ColumnsTest, ScrollColumnIntoViewBringsTheColumnIn) {
    window_->resize(400, 300);
    QTest::qWait(20);
    auto* bar = list_->horizontalScrollBar();
    const int width = list_->viewport()->width();
    struct Case {
        int startScroll;
        int column;
        bool partialOk;
        int expectedScroll; // -1: computed from the column's right edge
    };
    const int rightOf4 = list_->header()->sectionPosition(4) + list_->GetColumnWidth(4);
    const Case cases[] = {
        {0, 0, false, 0},                // already in view
        {0, 4, false, rightOf4 - width}, // right edge to the right side
        {0, 7, true, -2},                // out of view even partly: scrolled
        {200, 0, false, 0},              // left edge to the left side
        {100, 1, true, 100},             // partly visible is enough
    };
    for (const Case& c : cases) {
        bar->setValue(c.startScroll);
        EXPECT_TRUE(list_->ScrollColumnIntoView(c.column, c.partialOk));
        if (c.expectedScroll >= 0) {
            EXPECT_EQ(bar->value(), c.expectedScroll) << c.column;
        }
        const int left = list_->header()->sectionViewportPosition(c.column);
        EXPECT_LT(left, width) << c.column;
        EXPECT_GT(left + list_->GetColumnWidth(c.column), 0) << c.column;
    }
}

TEST_F(ColumnsTest, ColumnStatesFollowInsertedAndDeletedColumns) {
    list_->SetColumnVisible(6, false);
    EXPECT_EQ(list_->AddColumn(2, "New", LVCFMT_LEFT, 70), 2);
    EXPECT_TRUE(list_->IsColumnShown(2));
    EXPECT_FALSE(list_->IsColumnShown(7)); // "Frequency" moved up by one
    EXPECT_EQ(list_->GetColumnTitle(7), "Frequency");
    EXPECT_TRUE(list_->DeleteColumn(2));
    EXPECT_FALSE(list_->IsColumnShown(6));
    EXPECT_EQ(list_->GetColumnTitle(6), "Frequency");
    EXPECT_EQ(list_->GetColumnCount(), 8);
}

} // namespace
} // namespace tavora::testing
