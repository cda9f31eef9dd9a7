#include "tests/dialogs/DialogTestEnvironment.h"

#include "platform/Instance.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tavora::test {
namespace {

std::unique_ptr<QTemporaryDir> g_profileDir;

void PointProfileAt(const QString& folder) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, folder + "/system");
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, folder + "/system");
}

// One QApplication for the whole run, on the offscreen platform, with the profile
// in a folder of its own.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_profileDir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(g_profileDir->isValid());
        qputenv("XDG_CONFIG_HOME", g_profileDir->path().toLocal8Bit());
        PointProfileAt(g_profileDir->path());
        platform::SetInstanceName("dialogs_tests");
        static int argc = 1;
        static char name[] = "dialogs_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override {
        app_.reset();
        g_profileDir.reset();
    }

private:
    std::unique_ptr<QApplication> app_;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

QString ProfileFolder() {
    return g_profileDir ? g_profileDir->path() : QString();
}

void ClearProfile() {
    QSettings settings("Brenvik Corporation", "Tavora");
    settings.clear();
    settings.sync();
}

UnwritableProfile::UnwritableProfile() {
    // A plain file where the profile's folder should be: no write can succeed,
    // whatever the user's rights.
    const QString blocker = ProfileFolder() + "/blocker";
    QFile file(blocker);
    file.open(QIODevice::WriteOnly);
    file.close();
    PointProfileAt(blocker + "/profile");
}

UnwritableProfile::~UnwritableProfile() {
    PointProfileAt(ProfileFolder());
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void ResizeWindow(QWidget* window, QSize size) {
    window->resize(size);
    // A size the window cannot take (minimum, maximum) is checked by the caller.
    (void)QTest::qWaitFor([&] { return window->size() == size; }, 2000);
    Settle();
}

QString SaveScreenshot(QWidget* window, const QString& name) {
    const QString folder = QStringLiteral(TAVORA_SCREENSHOT_DIR);
    if (!QDir().mkpath(folder))
        return {};
    const QString path = folder + "/" + name + ".png";
    return window->grab().save(path) ? path : QString();
}

} // namespace tavora::test
