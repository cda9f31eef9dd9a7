#include "controls/Processing.h"

#include "controls/ProcessFlags.h"

#include "tests/dialogs/DialogTestEnvironment.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

using namespace tavora::controls;

namespace {

// Records when a widget is first shown.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(QWidget* w) { w->installEventFilter(this); }
    qint64 shownAfterMs = -1;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && shownAfterMs < 0)
            shownAfterMs = clock.elapsed();
        return QObject::eventFilter(o, e);
    }
};

class ProcessingTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setWindowTitle("Tavora");
        owner.setGeometry(150, 100, 500, 300);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        busy = std::make_unique<CProcessing>(&owner);
        busy->BindListBusyFlag(&listBusy);
        busy->Create();
    }
    void TearDown() override { SetSortingFlag(0); }

    QWidget owner;
    std::unique_ptr<CProcessing> busy;
    std::atomic<int> listBusy{1};
};

TEST_F(ProcessingTest, IsCreatedHiddenWithARunningMarquee) {
    EXPECT_FALSE(busy->isVisible());
    EXPECT_EQ(busy->windowTitle(), "Processing Audio Files...");
    QProgressBar* bar = busy->ProgressBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 0);
    auto* cancel = busy->ItemAs<QPushButton>(CProcessing::kCancelId);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_EQ(busy->Item(2), nullptr); // Cancel is id 3, not the standard 2
    EXPECT_EQ(busy->size(), busy->Units().ToPixels(316, 44));
}

TEST_F(ProcessingTest, ShowsHalfASecondAfterArmingCentredOverTheOwner) {
    ShowWatcher watcher(busy.get());
    watcher.clock.start();
    busy->Arm(&owner);
    EXPECT_EQ(busy->windowTitle(), "");
    EXPECT_FALSE(busy->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return busy->isVisible(); }, 3000));
    EXPECT_GE(watcher.shownAfterMs, CProcessing::kShowDelayMs);
    EXPECT_FALSE(busy->TimerRunning(CProcessing::kShowTimerId)); // fires once
    ASSERT_TRUE(QTest::qWaitForWindowExposed(busy.get()));
    EXPECT_LE((busy->geometry().center() - owner.geometry().center()).manhattanLength(), 1);

    busy->SetReadingPath("/home/user/Music/A Song.ogg");
    EXPECT_EQ(busy->windowTitle(), "Reading  /home/user/Music/A Song.ogg");
    tavora::test::Settle();
    EXPECT_FALSE(tavora::test::SaveScreenshot(busy.get(), "busy_dialog").isEmpty());

    busy->Disarm();
    EXPECT_FALSE(busy->isVisible());
}

TEST_F(ProcessingTest, ARunThatEndsWithinHalfASecondShowsNothing) {
    ShowWatcher watcher(busy.get());
    busy->Arm(&owner);
    QTest::qWait(100);
    busy->Disarm();
    QTest::qWait(700);
    EXPECT_EQ(watcher.shownAfterMs, -1);
    EXPECT_FALSE(busy->isVisible());
}

TEST_F(ProcessingTest, CancelCloseAndEscapeAskTheRunToStop) {
    struct Case {
        const char* how;
        std::function<void(CProcessing&)> act;
        bool staysVisible;
    };
    const Case cases[] = {
        {"Cancel button",
         [](CProcessing& d) { QTest::mouseClick(d.Item(CProcessing::kCancelId), Qt::LeftButton); },
         true},
        {"close box", [](CProcessing& d) { d.close(); }, false},
        {"Escape", [](CProcessing& d) { QTest::keyClick(&d, Qt::Key_Escape); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        SetSortingFlag(0);
        listBusy = 1;
        busy->Arm(&owner);
        ASSERT_TRUE(QTest::qWaitFor([&] { return busy->isVisible(); }, 3000));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(busy.get()));
        c.act(*busy);
        tavora::test::Settle();
        EXPECT_EQ(SortingFlag(), 1);
        EXPECT_EQ(listBusy.load(), 0);
        EXPECT_EQ(busy->isVisible(), c.staysVisible);
        busy->Disarm();
    }
}

} // namespace
