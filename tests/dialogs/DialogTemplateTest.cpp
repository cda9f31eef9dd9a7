#include "controls/DialogTemplate.h"
#include "controls/DialogTemplateDlg.h"
#include "controls/DialogUnits.h"

#include "tests/dialogs/DialogTestEnvironment.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tavora::controls;

namespace {

TEST(DialogUnitsTest, ConvertsEdgesWithRounding) {
    // Base units 6 x 13: x by 6/4, y by 13/8, halves rounded away from zero.
    const DialogUnits units(6, 13);
    struct Case {
        int x, y, cx, cy;
        QRect expected;
    };
    const Case cases[] = {
        {0, 0, 4, 8, QRect(0, 0, 6, 13)},
        {7, 7, 302, 11, QRect(11, 11, 453, 18)},   // 7*1.5 = 10.5 -> 11; (7+302)*1.5 = 463.5 -> 464
        {259, 23, 50, 14, QRect(389, 37, 75, 23)}, // edges 388.5 -> 389 and 463.5 -> 464
        {1, 1, 1, 1, QRect(2, 2, 1, 1)},           // 1.5 -> 2, 3 -> 3; 1.625 -> 2, 3.25 -> 3
    };
    for (const auto& c : cases)
        EXPECT_EQ(units.ToPixels(c.x, c.y, c.cx, c.cy), c.expected) << c.x << "," << c.y;
    EXPECT_EQ(units.ToPixels(316, 44), QSize(474, 72)); // 71.5 -> 72
}

TEST(DialogUnitsTest, DialogFontGivesPlausibleBaseUnits) {
    const DialogUnits units = DialogUnits::ForDialogFont();
    EXPECT_GE(units.BaseX(), 3);
    EXPECT_GT(units.BaseY(), units.BaseX());
}

DialogTemplate SampleTemplate() {
    DialogTemplate t(4242, "Sample", 200, 100, kDialogSystemMenu);
    t.Add(ControlKind::Label, kNoControlId, "Static:", 4, 4, 40, 8);
    t.Add(ControlKind::ProgressBar, 1054, "", 7, 20, 150, 11);
    t.Add(ControlKind::Label, 1080, "0.00%", 160, 20, 30, 8, kStyleRight | kStyleDisabled);
    t.Add(ControlKind::DefaultPushButton, 1, "OK", 40, 80, 50, 14);
    t.Add(ControlKind::PushButton, 2, "Cancel", 100, 80, 50, 14);
    t.Add(ControlKind::PushButton, 3, "Other", 150, 80, 40, 14, kStyleHidden);
    return t;
}

TEST(DialogTemplateTest, BuildsControlsAddressableById) {
    CTemplateDlg dlg(SampleTemplate());
    const DialogUnits& units = dlg.Units();

    EXPECT_EQ(dlg.TemplateId(), 4242);
    EXPECT_EQ(dlg.windowTitle(), "Sample");
    EXPECT_EQ(dlg.size(), units.ToPixels(200, 100));

    auto* bar = dlg.ItemAs<QProgressBar>(1054);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), units.ToPixels(7, 20, 150, 11));
    EXPECT_EQ(ControlId(bar), 1054);

    auto* percent = dlg.ItemAs<QLabel>(1080);
    ASSERT_NE(percent, nullptr);
    EXPECT_EQ(percent->text(), "0.00%");
    EXPECT_TRUE(percent->alignment() & Qt::AlignRight);
    EXPECT_FALSE(percent->isEnabled());

    auto* ok = dlg.ItemAs<QPushButton>(1);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(dlg.Item(3)->isHidden());

    // Items without an id, and ids that are not there, are not found.
    EXPECT_EQ(dlg.Item(kNoControlId), nullptr);
    EXPECT_EQ(dlg.Item(9999), nullptr);
    EXPECT_EQ(dlg.ItemAs<QPushButton>(1054), nullptr); // wrong kind

    // Controls made in code are addressed the same way.
    auto* status = new QStatusBar(&dlg);
    SetControlId(status, 0xE801);
    EXPECT_EQ(dlg.Item(0xE801), status);
}

TEST(DialogTemplateTest, ButtonsEndAModalRunWithTheirId) {
    struct Case {
        const char* how;
        std::function<void(CTemplateDlg&)> act;
        int expected;
    };
    const Case cases[] = {
        {"OK button", [](CTemplateDlg& d) { QTest::mouseClick(d.Item(1), Qt::LeftButton); }, 1},
        {"Cancel button", [](CTemplateDlg& d) { QTest::mouseClick(d.Item(2), Qt::LeftButton); }, 2},
        {"Escape", [](CTemplateDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }, 2},
        {"Enter presses the default button",
         [](CTemplateDlg& d) { QTest::keyClick(&d, Qt::Key_Return); }, 1},
    };
    for (const auto& c : cases) {
        CTemplateDlg dlg(SampleTemplate());
        QTimer::singleShot(0, &dlg, [&] {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
            c.act(dlg);
        });
        EXPECT_EQ(dlg.DoModal(), c.expected) << c.how;
    }
}

TEST(DialogTemplateTest, NumberedTimersFireUntilKilled) {
    struct CountingDlg : CTemplateDlg {
        CountingDlg() : CTemplateDlg(SampleTemplate()) {}
        std::map<int, int> fired;
        void OnTimer(int id) override {
            ++fired[id];
            if (fired[id] == 3)
                KillTimer(id);
        }
    } dlg;
    dlg.SetTimer(1, 10);
    dlg.SetTimer(2, 10);
    dlg.KillTimer(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg.TimerRunning(1); }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(dlg.fired[1], 3);
    EXPECT_EQ(dlg.fired.count(2), 0u);
}

} // namespace
