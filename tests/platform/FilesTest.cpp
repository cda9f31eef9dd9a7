#include "platform/Files.h"
#include "platform/DynamicLibrary.h"
#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

using namespace tavora::platform;
using tavora::testing::ReadBytes;
using tavora::testing::TempFolder;
using tavora::testing::WriteText;

TEST(Files, MoveNeverReplacesAnExistingFile) {
    TempFolder dir;
    ASSERT_TRUE(WriteText(dir / "a", "source"));
    ASSERT_TRUE(WriteText(dir / "b", "precious"));
    EXPECT_EQ(MoveFileNoReplace(dir / "a", dir / "b"), EEXIST);
    EXPECT_EQ(ReadBytes(dir / "b").size(), 8u); // untouched
    EXPECT_TRUE(FileExists(dir / "a"));

    EXPECT_EQ(MoveFileNoReplace(dir / "a", dir / "c ü.txt"), 0);
    EXPECT_FALSE(FileExists(dir / "a"));
    EXPECT_EQ(ReadBytes(dir / "c ü.txt").size(), 6u);
    EXPECT_EQ(MoveFileNoReplace(dir / "missing", dir / "d"), ENOENT);
}

TEST(Files, FoldersDeleteAndEnumerate) {
    TempFolder dir;
    EXPECT_EQ(CreateFolder(dir / "sub"), 0);
    EXPECT_EQ(CreateFolder(dir / "sub"), EEXIST);
    EXPECT_NE(CreateFolder(dir / "no/such/parent"), 0);
    EXPECT_TRUE(FolderExists(dir / "sub"));
    ASSERT_TRUE(WriteText(dir / "f.ogg", "1234"));
    EXPECT_FALSE(FolderExists(dir / "f.ogg"));

    std::vector<FolderEntry> entries;
    ASSERT_EQ(EnumerateFolder(dir.Path(), entries), 0);
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "f.ogg");
    EXPECT_EQ(entries[0].size, 4u);
    EXPECT_TRUE(entries[1].isFolder);
    EXPECT_EQ(EnumerateFolder(dir / "none", entries), ENOENT);

    EXPECT_EQ(DeleteFileAt(dir / "f.ogg"), 0);
    EXPECT_EQ(DeleteFileAt(dir / "f.ogg"), ENOENT);
    EXPECT_NE(DeleteFileAt(dir / "sub"), 0); // folders are not files
    EXPECT_FALSE(ErrorText(ENOENT).empty());
}

TEST(DynamicLibrary, MapsWindowsNamesAndLoadsFromTheSystemPath) {
    EXPECT_EQ(DynamicLibrary::MapLibraryName("lame_enc.dll"), "liblame_enc.so");
    EXPECT_EQ(DynamicLibrary::MapLibraryName("UxTheme.DLL"), "libUxTheme.so");
    EXPECT_EQ(DynamicLibrary::MapLibraryName("libm.so.6"), "libm.so.6");

    auto libm = DynamicLibrary::Load("libm.so.6");
    ASSERT_TRUE(libm);
    auto cosine = libm->Function<double (*)(double)>("cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(libm->Symbol("no_such_symbol_here"), nullptr);

    std::string error;
    EXPECT_FALSE(DynamicLibrary::Load("no_such_library.dll", &error));
    EXPECT_NE(error.find("no_such_library"), std::string::npos);
}
