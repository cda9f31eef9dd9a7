#include "platform/gui/WindowMessageTarget.h"
#include "platform/MessageBox.h"
#include "platform/Ticks.h"
#include "platform/gui/QtMessagePresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace tavora::platform;

namespace {

struct Counted : MessagePayload {
    static inline std::atomic<int> alive{0};
    Counted() { ++alive; }
    ~Counted() override { --alive; }
};

int argc = 1;
char arg0[] = "platform_gui_tests";
char* argv[] = {arg0, nullptr};

struct GuiFixture : ::testing::Test {
    static void SetUpTestSuite() {
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
};

} // namespace

TEST_F(GuiFixture, PostedAndSentMessagesAreHandledOnTheGuiThread) {
    auto window = std::make_unique<QWidget>();
    std::vector<uint32_t> handled;
    bool onGuiThread = true;
    auto target = WindowMessageTarget::Create(window.get(), [&](Message& m) {
        handled.push_back(m.id);
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
    });
    TargetRef ref = target;
    std::atomic<bool> sent{false};
    std::thread worker([&] {
        PostMessageTo(ref, Message(1, 0, 0, std::make_unique<Counted>()));
        sent = SendMessageTo(ref, Message(2, 0, 0, std::make_unique<Counted>()));
    });
    while (!sent) // the GUI thread keeps pumping while the worker waits
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    EXPECT_EQ(handled, (std::vector<uint32_t>{1, 2}));
    EXPECT_TRUE(onGuiThread);
    EXPECT_EQ(Counted::alive, 0);
    // A send from the GUI thread itself is handled at once.
    EXPECT_TRUE(SendMessageTo(ref, Message(3)));
    EXPECT_EQ(handled.back(), 3u);
}

TEST_F(GuiFixture, AWindowThatGoesFreesQueuedPayloadsAndReleasesSenders) {
    auto window = std::make_unique<QWidget>();
    int handled = 0;
    auto target = WindowMessageTarget::Create(window.get(), [&](Message&) { ++handled; });
    TargetRef ref = target;
    PostMessageTo(ref, Message(1, 0, 0, std::make_unique<Counted>()));
    PostMessageTo(ref, Message(2, 0, 0, std::make_unique<Counted>()));
    std::atomic<int> sendResult{-1};
    std::thread worker([&] {
        sendResult = SendMessageTo(ref, Message(3, 0, 0, std::make_unique<Counted>())) ? 1 : 0;
    });
    while (Counted::alive < 3)
        std::this_thread::yield();
    window.reset(); // destroyed before the events were delivered
    worker.join();
    EXPECT_EQ(sendResult, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_FALSE(PostMessageTo(ref, Message(4, 0, 0, std::make_unique<Counted>())));
    EXPECT_EQ(Counted::alive, 0);
}

TEST_F(GuiFixture, QtPresenterShowsABoxFromAWorkerAndReturnsTheButton) {
    auto previous = SetMessageBoxPresenter(std::make_shared<QtMessagePresenter>());
    // Answer the box as a user would once it is up.
    QTimer closer;
    QString seenText;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                seenText = box->text();
                box->button(QMessageBox::No)->click();
            }
    });
    closer.start(20);
    std::atomic<int> result{0};
    std::thread worker(
        [&] { result = static_cast<int>(ShowMessage(nullptr, "Overwrite?", MsgButtons::YesNo)); });
    while (result == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    SetMessageBoxPresenter(previous);
    EXPECT_EQ(result, static_cast<int>(MsgResult::No));
    EXPECT_EQ(seenText, "Overwrite?");
}
