#include "controls/ResizeDlg.h"

#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "tests/dialogs/DialogTestEnvironment.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tavora::controls;
using tavora::platform::ScopedMessageResponder;
using tavora::test::ResizeWindow;

namespace {

constexpr int kControlId = 1100;
constexpr int kOtherId = 1101;

DialogTemplate PlainTemplate() {
    DialogTemplate t(9001, "Anchors", 100, 100,
                     kDialogSystemMenu | kDialogSizingBorder | kDialogMaximizeBox |
                         kDialogMinimizeBox);
    t.Add(ControlKind::Label, kControlId, "control", 0, 0, 10, 10, kStyleBorder);
    t.Add(ControlKind::Label, kOtherId, "other", 0, 0, 10, 10, kStyleBorder);
    return t;
}

// A dialog with two controls placed in pixels inside a 400 x 300 client area.
std::unique_ptr<CResizeDlg> MakeDialog(QRect control, QRect other = QRect(0, 0, 10, 10)) {
    auto dlg = std::make_unique<CResizeDlg>(PlainTemplate());
    dlg->resize(400, 300);
    dlg->Item(kControlId)->setGeometry(control);
    dlg->Item(kOtherId)->setGeometry(other);
    dlg->InitDialog();
    return dlg;
}

void Show(CResizeDlg& dlg) {
    dlg.move(100, 100);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    tavora::test::Settle();
}

struct Step {
    QSize client;
    QRect expected;
};

struct AnchorCase {
    const char* name;
    int left, right, top, bottom;
    QRect start;
    std::vector<Step> steps;
    double xShare = -1.0, xGrow = -1.0, yShare = -1.0, yGrow = -1.0;
};

TEST(ResizeDlgTest, AnchorModesFollowTheClientArea) {
    const AnchorCase cases[] = {
        {"stretch both ways grows with the dialog",
         RS_STRETCH,
         RS_STRETCH,
         RS_STRETCH,
         RS_STRETCH,
         QRect(10, 10, 100, 50),
         {{{500, 350}, QRect(10, 10, 200, 100)}, {{450, 320}, QRect(10, 10, 150, 70)}}},
        {"stretch across and follow the bottom",
         RS_STRETCH,
         RS_STRETCH,
         RS_MOVE,
         RS_MOVE,
         QRect(0, 270, 400, 30),
         {{{500, 350}, QRect(0, 320, 500, 30)}}},
        {"keep stays",
         RS_KEEP,
         RS_KEEP,
         RS_KEEP,
         RS_KEEP,
         QRect(50, 60, 30, 20),
         {{{600, 500}, QRect(50, 60, 30, 20)}}},
        {"move follows the bottom-right corner",
         RS_MOVE,
         RS_MOVE,
         RS_MOVE,
         RS_MOVE,
         QRect(300, 200, 50, 40),
         {{{450, 330}, QRect(350, 230, 50, 40)}, {{420, 300}, QRect(320, 200, 50, 40)}}},
        {"centre keeps a centred control centred",
         RS_CENTER,
         RS_CENTER,
         RS_KEEP,
         RS_KEEP,
         QRect(150, 20, 100, 20),
         {{{600, 300}, QRect(250, 20, 100, 20)}, {{400, 300}, QRect(150, 20, 100, 20)}}},
        {"centre at a third stays at a third",
         RS_CENTER,
         RS_CENTER,
         RS_KEEP,
         RS_KEEP,
         QRect(113, 20, 40, 20),                  // centre 133 of 400 -> share 0.3325
         {{{700, 300}, QRect(212, 20, 40, 20)}}}, // trunc(700 * 0.3325 - 20) = 212
        {"centre on y",
         RS_KEEP,
         RS_KEEP,
         RS_CENTER,
         RS_CENTER,
         QRect(10, 140, 30, 20),
         {{{400, 500}, QRect(10, 240, 30, 20)}}},
        {"scale spans the same share and comes back exactly",
         RS_SCALE,
         RS_SCALE,
         RS_KEEP,
         RS_KEEP,
         QRect(100, 10, 100, 20),
         {{{600, 300}, QRect(150, 10, 150, 20)},
          {{500, 300}, QRect(125, 10, 125, 20)},
          {{400, 300}, QRect(100, 10, 100, 20)}}},
        {"scale on y",
         RS_KEEP,
         RS_KEEP,
         RS_SCALE,
         RS_SCALE,
         QRect(10, 30, 20, 60),
         {{{400, 450}, QRect(10, 45, 20, 90)}}},
        {"share gives each edge its share of the growth",
         RS_SHARE,
         RS_SHARE,
         RS_KEEP,
         RS_KEEP,
         QRect(100, 10, 100, 20),
         // growth 200: left + 0.25 * 200, right + (0.25 + 0.5) * 200
         {{{600, 300}, QRect(150, 10, 200, 20)}, {{400, 300}, QRect(100, 10, 100, 20)}},
         0.25,
         0.5},
        {"share on y",
         RS_KEEP,
         RS_KEEP,
         RS_SHARE,
         RS_SHARE,
         QRect(10, 100, 20, 50),
         // growth 100: top + 0.1 * 100, bottom + (0.1 + 0.2) * 100
         {{{400, 400}, QRect(10, 110, 20, 70)}},
         -1.0,
         -1.0,
         0.1,
         0.2},
        {"keep beside a scaled edge leaves the control alone",
         RS_SCALE,
         RS_KEEP,
         RS_KEEP,
         RS_KEEP,
         QRect(100, 10, 100, 20),
         {{{800, 300}, QRect(100, 10, 100, 20)}}},
        {"modes 6 to 15 act like keep",
         9,
         15,
         6,
         12,
         QRect(40, 40, 20, 20),
         {{{600, 500}, QRect(40, 40, 20, 20)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto dlg = MakeDialog(c.start);
        dlg->AddAnchor(kControlId, c.left, c.right, c.top, c.bottom, 0, c.xShare, c.xGrow, c.yShare,
                       c.yGrow);
        Show(*dlg);
        QWidget* control = dlg->Item(kControlId);
        ASSERT_EQ(control->geometry(), c.start);
        for (const auto& step : c.steps) {
            ResizeWindow(dlg.get(), step.client);
            ASSERT_EQ(dlg->size(), step.client);
            EXPECT_EQ(control->geometry(), step.expected)
                << "client " << step.client.width() << "x" << step.client.height();
        }
    }
}

TEST(ResizeDlgTest, SharesPassedForCentreAndScaleAreReplacedByTheControlsCentre) {
    auto dlg = MakeDialog(QRect(100, 30, 100, 40)); // centre (150, 50) of 400 x 300
    dlg->AddAnchor(kControlId, RS_CENTER, RS_CENTER, RS_SCALE, RS_SCALE, 0, 1.0, -1.0, 1.0, -1.0);
    ASSERT_EQ(dlg->Anchors().size(), 1u);
    EXPECT_DOUBLE_EQ(dlg->Anchors()[0].xShare, 0.375);
    EXPECT_DOUBLE_EQ(dlg->Anchors()[0].yShare, 50.0 / 300.0);
}

TEST(ResizeDlgTest, RegisteringAnIdTwiceKeepsOnlyTheSecond) {
    auto dlg = MakeDialog(QRect(10, 10, 100, 50));
    dlg->AddAnchor(kControlId, RS_STRETCH, RS_STRETCH, RS_STRETCH, RS_STRETCH);
    dlg->AddAnchor(kOtherId, RS_KEEP, RS_KEEP, RS_KEEP, RS_KEEP);
    dlg->AddAnchor(kControlId, RS_MOVE, RS_MOVE, RS_KEEP, RS_KEEP);
    ASSERT_EQ(dlg->Anchors().size(), 2u);
    EXPECT_EQ(dlg->Anchors()[0].id, kControlId); // replaced in place, order kept
    Show(*dlg);
    ResizeWindow(dlg.get(), {500, 350});
    EXPECT_EQ(dlg->Item(kControlId)->geometry(), QRect(110, 10, 100, 50));
}

TEST(ResizeDlgTest, ALayoutPassMovesOnlyControlsWhoseRectangleChanges) {
    auto dlg = MakeDialog(QRect(10, 10, 100, 50), QRect(0, 270, 400, 30));
    dlg->AddAnchor(kControlId, RS_KEEP, RS_KEEP, RS_STRETCH, RS_STRETCH);
    dlg->AddAnchor(kOtherId, RS_STRETCH, RS_STRETCH, RS_MOVE, RS_MOVE);
    Show(*dlg);
    ResizeWindow(dlg.get(), {500, 300}); // wider only: the first control has nothing to do
    EXPECT_EQ(dlg->LastLayoutMoves(), 1);
    EXPECT_EQ(dlg->Item(kOtherId)->geometry(), QRect(0, 270, 500, 30));
    ResizeWindow(dlg.get(), {500, 360});
    EXPECT_EQ(dlg->LastLayoutMoves(), 2);
}

TEST(ResizeDlgTest, DraggingTheSizeGripResizesAndTheControlsFollow) {
    auto dlg = MakeDialog(QRect(10, 10, 100, 50), QRect(0, 270, 400, 30));
    dlg->AddAnchor(kControlId, RS_STRETCH, RS_STRETCH, RS_STRETCH, RS_STRETCH);
    dlg->AddAnchor(kOtherId, RS_STRETCH, RS_STRETCH, RS_MOVE, RS_MOVE);
    Show(*dlg);
    CSizeGripExt* grip = dlg->SizeGrip();
    ASSERT_NE(grip, nullptr);
    ASSERT_TRUE(grip->isVisible());
    EXPECT_EQ(grip->geometry().bottomRight(), QPoint(399, 299));

    // The mouse events go to the grip, which moves with every step: aim in dialog
    // coordinates, whose origin stays put.
    const QPoint inside(grip->width() - 2, grip->height() - 2); // in the lower-right triangle
    const QPoint start = grip->mapTo(dlg.get(), inside);
    const auto onGrip = [&](QPoint offset) { return grip->mapFrom(dlg.get(), start + offset); };
    QTest::mousePress(grip, Qt::LeftButton, {}, inside);
    QTest::mouseMove(grip, onGrip({50, 30}));
    tavora::test::Settle();
    QTest::mouseMove(grip, onGrip({100, 50}));
    tavora::test::Settle();
    QTest::mouseRelease(grip, Qt::LeftButton, {}, onGrip({100, 50}));
    tavora::test::Settle();

    EXPECT_EQ(dlg->size(), QSize(500, 350));
    EXPECT_EQ(dlg->Item(kControlId)->geometry(), QRect(10, 10, 200, 100));
    EXPECT_EQ(dlg->Item(kOtherId)->geometry(), QRect(0, 320, 500, 30));
    EXPECT_EQ(grip->geometry().bottomRight(), QPoint(499, 349));
}

TEST(ResizeDlgTest, GripHidesWhileMaximisedAndReturnsToTheNewCorner) {
    auto dlg = MakeDialog(QRect(10, 10, 100, 50));
    dlg->AddAnchor(kControlId, RS_STRETCH, RS_STRETCH, RS_STRETCH, RS_STRETCH);
    Show(*dlg);
    CSizeGripExt* grip = dlg->SizeGrip();
    EXPECT_TRUE(grip->isVisible());

    dlg->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->isMaximized() && dlg->width() > 400; }, 2000));
    tavora::test::Settle();
    EXPECT_FALSE(grip->isVisible());
    EXPECT_EQ(dlg->Item(kControlId)->width(), 100 + dlg->width() - 400);

    dlg->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->size() == QSize(400, 300); }, 2000));
    tavora::test::Settle();
    EXPECT_TRUE(grip->isVisible());
    EXPECT_EQ(grip->geometry().bottomRight(), QPoint(399, 299));
    EXPECT_EQ(dlg->Item(kControlId)->geometry(), QRect(10, 10, 100, 50));
}

TEST(ResizeDlgTest, HiddenGripComesBackWithTheNextSizeChange) {
    auto dlg = MakeDialog(QRect(10, 10, 100, 50));
    Show(*dlg);
    dlg->HideSizeGrip();
    EXPECT_FALSE(dlg->SizeGrip()->isVisible());
    ResizeWindow(dlg.get(), {420, 310});
    EXPECT_TRUE(dlg->SizeGrip()->isVisible());
}

TEST(ResizeDlgTest, NothingMovesWhileMinimised) {
    auto dlg = MakeDialog(QRect(10, 10, 100, 50), QRect(300, 250, 50, 20));
    dlg->AddAnchor(kControlId, RS_STRETCH, RS_STRETCH, RS_STRETCH, RS_STRETCH);
    dlg->AddAnchor(kOtherId, RS_CENTER, RS_CENTER, RS_MOVE, RS_MOVE);
    Show(*dlg);
    const QRect control = dlg->Item(kControlId)->geometry();
    const QRect other = dlg->Item(kOtherId)->geometry();

    dlg->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->isMinimized(); }, 2000));
    ResizeWindow(dlg.get(), {160, 40}); // what a minimised window may report
    EXPECT_EQ(dlg->Item(kControlId)->geometry(), control);
    EXPECT_EQ(dlg->Item(kOtherId)->geometry(), other);

    dlg->showNormal();
    ResizeWindow(dlg.get(), {400, 300});
    EXPECT_EQ(dlg->Item(kControlId)->geometry(), control);
    EXPECT_EQ(dlg->Item(kOtherId)->geometry(), other);
}

TEST(ResizeDlgTest, MinimumTrackingSizeAndFixedDimensions) {
    auto dlg = MakeDialog(QRect(10, 10, 100, 50));
    dlg->SetMinTrackSize(300, 200);
    Show(*dlg);
    dlg->resize(100, 100);
    tavora::test::Settle();
    EXPECT_EQ(dlg->size(), QSize(300, 200));

    dlg->SetResizable(false, true);
    dlg->resize(600, 400);
    tavora::test::Settle();
    EXPECT_EQ(dlg->size(), QSize(300, 400));
}

TEST(ResizeDlgTest, NoEraseControlsAreLeftOutOfTheBackgroundErase) {
    auto dlg = MakeDialog(QRect(100, 10, 100, 20), QRect(10, 100, 50, 20));
    dlg->AddAnchor(kControlId, RS_SCALE, RS_SCALE, RS_KEEP, RS_KEEP, RS_NOERASE);
    dlg->AddAnchor(kOtherId, RS_KEEP, RS_KEEP, RS_KEEP, RS_KEEP, RS_NOERASE);
    dlg->Item(kOtherId)->hide();
    Show(*dlg);
    ResizeWindow(dlg.get(), {600, 300});

    const QRegion erase = dlg->EraseRegion();
    EXPECT_FALSE(erase.intersects(QRect(150, 10, 150, 20))); // where the scaled control is now
    EXPECT_TRUE(erase.contains(QPoint(120, 15)));            // where it was registered
    EXPECT_TRUE(erase.contains(QPoint(20, 110)));            // hidden control: erased
    EXPECT_TRUE(dlg->Item(kControlId)->autoFillBackground());
}

TEST(ResizeDlgTest, SavesItsPlacementWhenDestroyed) {
    tavora::test::ClearProfile();
    ScopedMessageResponder boxes;
    {
        auto dlg = MakeDialog(QRect(10, 10, 100, 50));
        dlg->SetPlacementKey("{TEST-RESIZE-SAVE}");
        Show(*dlg);
        ResizeWindow(dlg.get(), {420, 310});
    }
    std::vector<uint8_t> stored;
    ASSERT_TRUE(tavora::platform::ProfileGetBinary(kPositionSection, "{TEST-RESIZE-SAVE}", stored));
    const auto placement = WindowPlacement::Parse(stored);
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->right - placement->left, 420);
    EXPECT_EQ(placement->bottom - placement->top, 310);
    EXPECT_EQ(boxes->Count(), 0u);

    // Without a key nothing is written.
    tavora::test::ClearProfile();
    { auto dlg = MakeDialog(QRect(10, 10, 100, 50)); }
    EXPECT_FALSE(
        tavora::platform::ProfileGetBinary(kPositionSection, "{TEST-RESIZE-SAVE}", stored));
}

TEST(ResizeDlgTest, ReportsAFailedSaveAndStillGoes) {
    ScopedMessageResponder boxes;
    {
        tavora::test::UnwritableProfile unwritable;
        auto dlg = MakeDialog(QRect(10, 10, 100, 50));
        dlg->SetPlacementKey("{TEST-RESIZE-FAIL}");
        Show(*dlg);
        dlg->DestroyWindow();
        dlg->DestroyWindow(); // once only
    }
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->Boxes()[0].text, "Fail to Save!");
    EXPECT_EQ(boxes->Boxes()[0].buttons, tavora::platform::MsgButtons::Ok);
}

// A dialog laid out like a small progress window, for a look at a resized layout.
DialogTemplate ProgressLikeTemplate() {
    DialogTemplate t(9002, "Resized dialog", 260, 170,
                     kDialogSystemMenu | kDialogSizingBorder | kDialogMaximizeBox |
                         kDialogMinimizeBox);
    t.Add(ControlKind::GroupBox, 1071, "Current Progress", 7, 4, 246, 44);
    t.Add(ControlKind::ProgressBar, 1073, "", 14, 16, 232, 10);
    t.Add(ControlKind::Label, 1076, "Done:", 14, 32, 24, 8);
    t.Add(ControlKind::Label, 1080, "42.00%", 40, 32, 30, 8);
    t.Add(ControlKind::Label, 1078, "Speed:", 130, 32, 26, 8);
    t.Add(ControlKind::Label, 1082, " 12.50x", 158, 32, 30, 8);
    t.AddCustom(1003, 7, 54, 246, 90, [](QWidget* parent) {
        auto* list = new QTreeWidget(parent);
        list->setRootIsDecorated(false);
        list->setHeaderLabels({"#", "Time", "Description"});
        for (int i = 1; i <= 4; ++i)
            list->addTopLevelItem(
                new QTreeWidgetItem({QString::number(i), "12:00:0" + QString::number(i),
                                     "Start a new converting task."}));
        return list;
    });
    t.Add(ControlKind::PushButton, 1096, "Clear", 46, 150, 50, 14);
    t.Add(ControlKind::PushButton, 1075, "Pause", 105, 150, 50, 14);
    t.Add(ControlKind::PushButton, 2, "Cancel", 164, 150, 50, 14);
    return t;
}

TEST(ResizeDlgTest, ResizedLayoutScreenshot) {
    CResizeDlg dlg(ProgressLikeTemplate());
    dlg.InitDialog();
    for (int id : {1071, 1073})
        dlg.AddAnchor(id, RS_STRETCH, RS_STRETCH, RS_KEEP, RS_KEEP);
    for (int id : {1096, 1075, 2})
        dlg.AddAnchor(id, RS_CENTER, RS_CENTER, RS_MOVE, RS_MOVE, 0, 1.0);
    for (int id : {1076, 1078, 1082})
        dlg.AddAnchor(id, RS_CENTER, RS_CENTER, RS_KEEP, RS_KEEP, 0, 1.0);
    dlg.AddAnchor(1080, RS_CENTER, RS_CENTER, RS_KEEP, RS_KEEP, RS_NOERASE, 1.0);
    dlg.AddAnchor(1003, RS_STRETCH, RS_STRETCH, RS_STRETCH, RS_STRETCH);
    Show(dlg);
    const QSize first = dlg.size();
    const QRect group0 = dlg.Item(1071)->geometry();
    const QRect list0 = dlg.Item(1003)->geometry();
    const QRect pause0 = dlg.Item(1075)->geometry();
    tavora::test::SaveScreenshot(&dlg, "resize_dialog_initial");
    ResizeWindow(&dlg, first + QSize(200, 120));

    EXPECT_EQ(dlg.Item(1071)->geometry(), group0.adjusted(0, 0, 200, 0));
    EXPECT_EQ(dlg.Item(1003)->geometry(), list0.adjusted(0, 0, 200, 120));
    const QRect pause = dlg.Item(1075)->geometry();
    EXPECT_EQ(pause.size(), pause0.size());
    EXPECT_EQ(pause.top(), pause0.top() + 120);
    // The middle button stays in the middle.
    EXPECT_NEAR(pause.center().x() * 1.0 / dlg.width(), pause0.center().x() * 1.0 / first.width(),
                0.01);
    EXPECT_FALSE(tavora::test::SaveScreenshot(&dlg, "resize_dialog_resized").isEmpty());
}

} // namespace
