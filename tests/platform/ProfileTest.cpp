#include "platform/Profile.h"
#include "platform/Instance.h"
#include "tests/support/OggFixture.h"

#include <QSettings>
#include <gtest/gtest.h>

using namespace tavora::platform;

namespace {
struct ProfileFixture : ::testing::Test {
    tavora::testing::TempFolder dir;
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir.Path()));
        SetInstanceName("tavora");
    }
};
} // namespace

TEST_F(ProfileFixture, IntsAndBinariesRoundTripPerInstanceAndSection) {
    EXPECT_EQ(ProfileGetInt("Position", "", -1), -1);
    EXPECT_TRUE(ProfileWriteInt("Position", "", 3)); // the section's default value
    EXPECT_TRUE(ProfileWriteInt("FileList", "", 5));
    EXPECT_EQ(ProfileGetInt("Position", "", -1), 3);
    EXPECT_EQ(ProfileGetInt("FileList", "", -1), 5);

    const std::vector<uint8_t> blob = {0, 1, 2, 0xFF, 0, 44};
    std::vector<uint8_t> read = {9};
    EXPECT_FALSE(ProfileGetBinary("FileList", "Column", read));
    EXPECT_TRUE(read.empty());
    EXPECT_TRUE(ProfileWriteBinary("FileList", "Column", blob));
    EXPECT_TRUE(ProfileGetBinary("FileList", "Column", read));
    EXPECT_EQ(read, blob);

    SetInstanceName("tavora-copy"); // another executable name is another program
    EXPECT_EQ(ProfileGetInt("Position", "", -1), -1);
    EXPECT_FALSE(ProfileGetBinary("FileList", "Column", read));
    SetInstanceName("tavora");

    // Written through to disk: a fresh QSettings sees it.
    QSettings fresh("Brenvik Corporation", "Tavora");
    EXPECT_EQ(fresh.value("tavora/Position/Default").toInt(), 3);
}
