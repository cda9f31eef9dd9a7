#include "platform/IniFile.h"
#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavora::platform;
using tavora::testing::ReadText;
using tavora::testing::TempFolder;
using tavora::testing::WriteText;

TEST(IniFile, MatchesSectionsAndKeysWithoutRegardToCase) {
    TempFolder dir;
    const auto ini = dir / "a.ini";
    ASSERT_TRUE(WriteText(ini, "[Mp3]\r\nLameBits=7\r\n  freq = 3 \n[other]\nLameBits=1\n"));
    EXPECT_EQ(ReadIniInt(ini, "MP3", "lamebits", 11), 7);
    EXPECT_EQ(ReadIniInt(ini, "mp3", "FREQ", 0), 3);
    EXPECT_EQ(ReadIniInt(ini, "OTHER", "LAMEBITS", 0), 1);

    ASSERT_TRUE(WriteIniString(ini, "MP3", "FREQ", "5"));
    EXPECT_EQ(ReadText(ini), "[Mp3]\nLameBits=7\nFREQ=5\n[other]\nLameBits=1\n");
}

TEST(IniFile, ValuesAreVerbatim) {
    TempFolder dir;
    const auto ini = dir / "a.ini";
    const std::string values[] = {"C:\\My Music\\", "a=b=c", "/home/ü ß/Música",
                                  "\\\\server\\share", "50%;#not a comment"};
    for (const auto& v : values) {
        ASSERT_TRUE(WriteIniString(ini, "OUTPUT", "DesDir", v));
        EXPECT_EQ(ReadIniString(ini, "OUTPUT", "DesDir", "-"), v);
    }
    EXPECT_EQ(ReadText(ini), "[OUTPUT]\nDesDir=50%;#not a comment\n");
    // Enclosing quotes and surrounding blanks are not part of the value.
    ASSERT_TRUE(WriteText(ini, "[s]\nk= \"quoted value\" \n"));
    EXPECT_EQ(ReadIniString(ini, "s", "k", "-"), "quoted value");
}

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
    TempFolder dir;
    const auto ini = dir / "a.ini";
    EXPECT_EQ(ReadIniInt(ini, "MP3", "LameBits", 11), 11);
    EXPECT_EQ(ReadIniString(ini, "OUTPUT", "DesDir", "/def/"), "/def/");
    ASSERT_TRUE(WriteText(ini, "; only a comment\n[MP3]\nFreq=2\n"));
    EXPECT_EQ(ReadIniInt(ini, "MP3", "LameBits", 11), 11);
    EXPECT_EQ(ReadIniInt(ini, "NOPE", "Freq", 4), 4);
    EXPECT_EQ(ReadIniString(ini, "MP3", "Other", "x"), "x");
}

TEST(IniFile, IntegersParseLikeProfileInts) {
    TempFolder dir;
    const auto ini = dir / "a.ini";
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"42", 42},
                 {"-3", -3},
                 {"+8", 8},
                 {"12abc", 12},
                 {"abc", 0},
                 {"", 99},
                 {" 7 ", 7},
                 {"99999999999", 2147483647},
                 {"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteText(ini, std::string("[s]\nk=") + c.text + "\n"));
        EXPECT_EQ(ReadIniInt(ini, "s", "k", 99), c.value) << '"' << c.text << '"';
    }
}

TEST(IniFile, WritesKeepUnknownContentInOrder) {
    TempFolder dir;
    const auto ini = dir / "a.ini";
    ASSERT_TRUE(
        WriteText(ini, "; header comment\n\n[Keep]\nx=1\n; inner\n\n[MP3]\nFreq=1\n# note\n"));
    ASSERT_TRUE(
        WriteIniString(ini, "MP3", "LameBits", "11")); // new key after the section's last line
    ASSERT_TRUE(WriteIniString(ini, "Keep", "y", "2"));
    ASSERT_TRUE(WriteIniString(ini, "New", "z", "3")); // new section at the end
    EXPECT_EQ(ReadText(ini),
              "; header comment\n\n[Keep]\nx=1\n; inner\ny=2\n\n[MP3]\nFreq=1\n# note\n"
              "LameBits=11\n[New]\nz=3\n");
}

TEST(IniFile, RewriteIsAtomicAndFailsCleanly) {
    TempFolder dir;
    const auto ini = dir / "a.ini";
    ASSERT_TRUE(WriteIniString(ini, "s", "k", "1"));
    ASSERT_TRUE(WriteIniString(ini, "s", "k", "2"));
    // Only the file itself is left: no temporary files lying around.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    // A missing folder, or a folder in place of the file: false, nothing created.
    EXPECT_FALSE(WriteIniString(dir / "missing/a.ini", "s", "k", "v"));
    std::filesystem::create_directory(dir / "isdir.ini");
    EXPECT_FALSE(WriteIniString(dir / "isdir.ini", "s", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "isdir.ini"));
    EXPECT_EQ(ReadText(ini), "[s]\nk=2\n");
}

TEST(IniFile, LongValuesAreCutAtCharacterBoundaries) {
    TempFolder dir;
    const auto ini = dir / "a.ini";
    ASSERT_TRUE(WriteIniString(ini, "s", "k", std::string(1030, 'a')));
    EXPECT_EQ(ReadIniString(ini, "s", "k", "").size(), 1023u);
    ASSERT_TRUE(WriteIniString(ini, "s", "k", "ééé"));
    EXPECT_EQ(ReadIniString(ini, "s", "k", "", 2), "éé");
}
