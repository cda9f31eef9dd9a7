#include "controls/WndPlacement.h"

#include "platform/Profile.h"
#include "tests/dialogs/DialogTestEnvironment.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace tavora::controls;
using tavora::platform::ProfileGetBinary;
using tavora::platform::ProfileGetInt;
using tavora::platform::ProfileWriteBinary;
using tavora::platform::ProfileWriteInt;

namespace {

constexpr const char* kEntry = "{TEST-PLACEMENT}";

TEST(WindowPlacementRecordTest, IsFortyFourLittleEndianBytes) {
    WindowPlacement p;
    p.length = 44;
    p.flags = WPF_RESTORETOMAXIMIZED;
    p.showCmd = SW_SHOWMINIMIZED;
    p.minX = -1;
    p.minY = -2;
    p.maxX = 0x01020304;
    p.maxY = 5;
    p.left = 100;
    p.top = 200;
    p.right = 0x1234;
    p.bottom = -300;
    const std::vector<uint8_t> bytes = p.Serialize();
    ASSERT_EQ(bytes.size(), 44u);
    const auto word = [&](size_t at) {
        return std::vector<uint8_t>(bytes.begin() + static_cast<long>(at),
                                    bytes.begin() + static_cast<long>(at) + 4);
    };
    EXPECT_EQ(word(0), (std::vector<uint8_t>{44, 0, 0, 0}));
    EXPECT_EQ(word(4), (std::vector<uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(word(8), (std::vector<uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(word(12), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(word(20), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(word(28), (std::vector<uint8_t>{100, 0, 0, 0}));
    EXPECT_EQ(word(36), (std::vector<uint8_t>{0x34, 0x12, 0, 0}));
    EXPECT_EQ(word(40), (std::vector<uint8_t>{0xD4, 0xFE, 0xFF, 0xFF}));

    const auto back = WindowPlacement::Parse(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, p);

    for (size_t size : {0u, 43u, 45u, 88u}) {
        std::vector<uint8_t> other = bytes;
        other.resize(size, 0);
        EXPECT_FALSE(WindowPlacement::Parse(other).has_value()) << size << " bytes";
    }
}

TEST(WindowPlacementRecordTest, ShowOverrideRules) {
    struct Case {
        int showOverride;
        uint32_t showCmd, flags, expected;
    };
    const Case cases[] = {
        // 0 and unknown values: a minimised window opens as it was before.
        {0, SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, SW_SHOWMAXIMIZED},
        {0, SW_SHOWMINIMIZED, 0, SW_SHOWNORMAL},
        {0, SW_SHOWMAXIMIZED, 0, SW_SHOWMAXIMIZED},
        {0, SW_SHOWNORMAL, 0, SW_SHOWNORMAL},
        {7, SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, SW_SHOWMAXIMIZED},
        {-1, SW_SHOWMINIMIZED, 0, SW_SHOWNORMAL},
        // Other placement bits (1 = minimised position set) do not make a new state.
        {0, SW_SHOWMINIMIZED, 1, SW_SHOWNORMAL},
        {0, SW_SHOWMINIMIZED, 1 | WPF_RESTORETOMAXIMIZED, SW_SHOWMAXIMIZED},
        // 1: as saved.
        {1, SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, SW_SHOWMINIMIZED},
        {1, SW_SHOWMAXIMIZED, 0, SW_SHOWMAXIMIZED},
        // 2, 3, 4: forced.
        {2, SW_SHOWMAXIMIZED, 0, SW_SHOWNORMAL},
        {2, SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, SW_SHOWNORMAL},
        {3, SW_SHOWNORMAL, 0, SW_SHOWMAXIMIZED},
        {3, SW_SHOWMINIMIZED, 0, SW_SHOWMAXIMIZED},
        {4, SW_SHOWNORMAL, 0, SW_SHOWMINIMIZED},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ApplyShowOverride(c.showOverride, c.showCmd, c.flags), c.expected)
            << "override " << c.showOverride << " showCmd " << c.showCmd << " flags " << c.flags;
}

class WndPlacementTest : public ::testing::Test {
protected:
    void SetUp() override { tavora::test::ClearProfile(); }

    static std::unique_ptr<QWidget> NewWindow(QSize size = QSize(320, 200)) {
        auto w = std::make_unique<QWidget>();
        w->resize(size);
        w->move(10, 20);
        return w;
    }

    static void StorePlacement(QRect normal, uint32_t showCmd, uint32_t flags = 0) {
        WindowPlacement p;
        p.length = 44;
        p.showCmd = showCmd;
        p.flags = flags;
        p.left = normal.left();
        p.top = normal.top();
        p.right = normal.left() + normal.width();
        p.bottom = normal.top() + normal.height();
        ASSERT_TRUE(ProfileWriteBinary(kPositionSection, kEntry, p.Serialize()));
    }

    static QSize Screen() { return QGuiApplication::primaryScreen()->geometry().size(); }
};

TEST_F(WndPlacementTest, FirstRunAppliesNothingAndPreparesACentredPlacement) {
    auto window = NewWindow(QSize(321, 201));
    CWndPlacement store;
    EXPECT_FALSE(store.LoadPlacement(window.get(), kEntry, kPositionSection));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(10, 20));

    store.ApplyPlacement(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QSize screen = Screen();
    EXPECT_EQ(window->size(), QSize(321, 201));
    EXPECT_EQ(window->geometry().topLeft(),
              QPoint((screen.width() - 321) / 2, (screen.height() - 201) / 2));
}

TEST_F(WndPlacementTest, SaveWritesExactlyFortyFourBytesAndTheOverride) {
    auto window = NewWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    CWndPlacement store;
    ASSERT_TRUE(store.SavePlacement(window.get(), kEntry, kPositionSection));

    std::vector<uint8_t> stored;
    ASSERT_TRUE(ProfileGetBinary(kPositionSection, kEntry, stored));
    ASSERT_EQ(stored.size(), 44u);
    const auto p = WindowPlacement::Parse(stored);
    EXPECT_EQ(p->length, 44u);
    EXPECT_EQ(p->showCmd, SW_SHOWNORMAL);
    EXPECT_EQ(QRect(QPoint(p->left, p->top), QPoint(p->right - 1, p->bottom - 1)),
              window->geometry());
    EXPECT_EQ(ProfileGetInt(kPositionSection, "", -99), 0);
}

TEST_F(WndPlacementTest, RoundTripRestoresPositionSizeAndMaximisedState) {
    QRect normal;
    {
        auto window = NewWindow();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->setGeometry(60, 70, 300, 180);
        tavora::test::Settle();
        normal = window->geometry();
        window->showMaximized();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->isMaximized(); }, 2000));
        CWndPlacement store;
        ASSERT_TRUE(store.SavePlacement(window.get(), kEntry, kPositionSection));
        EXPECT_EQ(store.Placement().showCmd, SW_SHOWMAXIMIZED);
    }
    auto window = NewWindow();
    CWndPlacement store;
    ASSERT_TRUE(store.LoadPlacement(window.get(), kEntry, kPositionSection));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->normalGeometry(), normal);
    window->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->geometry() == normal; }, 2000));
}

TEST_F(WndPlacementTest, ShowOverrideDecidesHowASavedWindowOpens) {
    const QRect normal(40, 50, 300, 200);
    struct Case {
        const char* saved;
        uint32_t showCmd, flags;
        int showOverride;
        Qt::WindowStates expected;
    };
    const Case cases[] = {
        {"minimised after maximised", SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, 0,
         Qt::WindowMaximized},
        {"minimised from normal", SW_SHOWMINIMIZED, 0, 0, Qt::WindowNoState},
        {"minimised after maximised, as saved", SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, 1,
         Qt::WindowMinimized | Qt::WindowMaximized},
        {"maximised, forced normal", SW_SHOWMAXIMIZED, 0, 2, Qt::WindowNoState},
        {"normal, forced maximised", SW_SHOWNORMAL, 0, 3, Qt::WindowMaximized},
        {"minimised, forced maximised", SW_SHOWMINIMIZED, 0, 3, Qt::WindowMaximized},
        {"normal, forced minimised", SW_SHOWNORMAL, 0, 4, Qt::WindowMinimized},
        {"hidden is shown normal", 0, 0, 1, Qt::WindowNoState},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        tavora::test::ClearProfile();
        StorePlacement(normal, c.showCmd, c.flags);
        ASSERT_TRUE(ProfileWriteInt(kPositionSection, "", c.showOverride));
        auto window = NewWindow();
        CWndPlacement store;
        ASSERT_TRUE(store.LoadPlacement(window.get(), kEntry, kPositionSection));
        EXPECT_EQ(store.ShowOverride(), c.showOverride);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowState() & ~Qt::WindowActive, c.expected);
        EXPECT_EQ(window->normalGeometry(), normal);
        // The override goes back to the profile as it was read.
        ASSERT_TRUE(store.SavePlacement(window.get(), kEntry, kPositionSection));
        EXPECT_EQ(ProfileGetInt(kPositionSection, "", -99), c.showOverride);
    }
}

TEST_F(WndPlacementTest, ValuesThatAreNotAPlacementAreIgnored) {
    WindowPlacement good;
    good.length = 44;
    good.showCmd = SW_SHOWNORMAL;
    good.left = 30;
    good.top = 40;
    good.right = 330;
    good.bottom = 240;
    WindowPlacement badLength = good;
    badLength.length = 12;
    WindowPlacement empty = good;
    empty.right = empty.left;

    std::vector<uint8_t> longer = good.Serialize();
    longer.push_back(0);
    std::vector<uint8_t> shorter = good.Serialize();
    shorter.pop_back();
    const struct {
        const char* what;
        std::vector<uint8_t> value;
    } cases[] = {
        {"43 bytes", shorter},
        {"45 bytes", longer},
        {"empty value", {}},
        {"wrong length field", badLength.Serialize()},
        {"empty rectangle", empty.Serialize()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ProfileWriteBinary(kPositionSection, kEntry, c.value));
        auto window = NewWindow();
        CWndPlacement store;
        EXPECT_FALSE(store.LoadPlacement(window.get(), kEntry, kPositionSection));
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->geometry(), QRect(10, 20, 320, 200));
        // What ApplyPlacement would use is the centred default, not the bad value.
        EXPECT_EQ(store.Placement(), store.DefaultPlacement());
    }
}

TEST_F(WndPlacementTest, APlacementOffEveryScreenIsBroughtBack) {
    StorePlacement(QRect(-5000, 9000, 300, 200), SW_SHOWNORMAL);
    auto window = NewWindow();
    CWndPlacement store;
    ASSERT_TRUE(store.LoadPlacement(window.get(), kEntry, kPositionSection));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->geometry()))
        << window->geometry().x() << "," << window->geometry().y();
    EXPECT_EQ(window->size(), QSize(300, 200));
}

TEST_F(WndPlacementTest, ShowOverrideIsReadOnceAndNeverLostByAStoreThatDidNotLoad) {
    ASSERT_TRUE(ProfileWriteInt(kPositionSection, "", 3));
    auto window = NewWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    CWndPlacement neverLoaded;
    ASSERT_TRUE(neverLoaded.SavePlacement(window.get(), kEntry, kPositionSection));
    EXPECT_EQ(ProfileGetInt(kPositionSection, "", -99), 3);

    CWndPlacement store;
    ASSERT_TRUE(store.LoadPlacement(window.get(), kEntry, kPositionSection));
    EXPECT_TRUE(window->isMaximized());
    // A later change in the profile does not reach a store that has loaded.
    ASSERT_TRUE(ProfileWriteInt(kPositionSection, "", 2));
    ASSERT_TRUE(store.LoadPlacement(window.get(), kEntry, kPositionSection));
    EXPECT_EQ(store.ShowOverride(), 3);
    EXPECT_TRUE(window->isMaximized());
}

TEST_F(WndPlacementTest, SaveFailsWhenTheProfileCannotBeWritten) {
    auto window = NewWindow();
    CWndPlacement store;
    tavora::test::UnwritableProfile unwritable;
    EXPECT_FALSE(store.SavePlacement(window.get(), kEntry, kPositionSection));
    EXPECT_FALSE(store.SavePlacement(nullptr, kEntry, kPositionSection));
}

} // namespace
