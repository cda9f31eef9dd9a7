#include "platform/Files.h"
#include "task/DirectoryTree.h"
#include "task/UniqueName.h"
#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavora::task;
using tavora::platform::FileExists;
using tavora::platform::FolderExists;
using tavora::testing::TempFolder;
using tavora::testing::WriteText;

TEST(MakeUniqueName, CountsFromTwoPastEveryTakenName) {
    const struct {
        const char* name;
        std::vector<const char*> taken; // besides name itself
        const char* unique;
    } cases[] = {
        {"song.mp3", {}, "song (2).mp3"},
        {"song.mp3", {"song (2).mp3"}, "song (3).mp3"},
        {"song.mp3", {"song (2).mp3", "song (3).mp3", "song (5).mp3"}, "song (4).mp3"},
        {"two words.mp3", {}, "two words (2).mp3"},
        {"Ünïcødé.mp3", {}, "Ünïcødé (2).mp3"},
        {"a.b.mp3", {}, "a.b (2).mp3"},
        {"noext", {}, "noext (2)"},
        {"my.dir/name", {}, "my.dir/name (2)"}, // a dot in a folder is no extension
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        std::filesystem::create_directory(dir / "my.dir");
        ASSERT_TRUE(WriteText(dir / c.name, "x"));
        for (const char* t : c.taken)
            ASSERT_TRUE(WriteText(dir / t, "x"));
        EXPECT_EQ(MakeUniqueName(dir / c.name), dir / c.unique);
    }
}

TEST(MakeUniqueName, FoldersAndDanglingLinksCountAsTaken) {
    TempFolder dir;
    std::filesystem::create_directory(dir / "song (2).mp3");
    std::filesystem::create_symlink(dir / "nowhere", dir / "song (3).mp3");
    EXPECT_EQ(MakeUniqueName(dir / "song.mp3"), dir / "song (4).mp3");
}

TEST(CreateDirectoryTree, CreatesEveryMissingParent) {
    for (const char* tail : {"/a/b/c", "/a/b/c/", "/ä ö/ü ß/ç"}) {
        SCOPED_TRACE(tail);
        TempFolder dir;
        const std::string path = dir.Path() + tail;
        EXPECT_TRUE(CreateDirectoryTree(path));
        EXPECT_TRUE(FolderExists(path));
        EXPECT_TRUE(CreateDirectoryTree(path)) << "an existing tree is fine";
    }
}

TEST(CreateDirectoryTree, OnlyMissingPartsAreCreated) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "a/b");
    ASSERT_TRUE(WriteText(dir / "a/b/keep.txt", "kept"));
    EXPECT_TRUE(CreateDirectoryTree(dir / "a/b/c/d"));
    EXPECT_TRUE(FolderExists(dir / "a/b/c/d"));
    EXPECT_TRUE(FileExists(dir / "a/b/keep.txt"));
}

TEST(CreateDirectoryTree, FailsWhenAFileIsInTheWay) {
    TempFolder dir;
    ASSERT_TRUE(WriteText(dir / "file", "in the way"));
    EXPECT_FALSE(CreateDirectoryTree(dir / "file")) << "the leaf is a file";
    EXPECT_FALSE(CreateDirectoryTree(dir / "file/sub/deeper")) << "a parent is a file";
    EXPECT_FALSE(FolderExists(dir / "file"));
    EXPECT_EQ(tavora::testing::ReadBytes(dir / "file").size(), 10u);
}

TEST(CreateDirectoryTree, RejectsEmptyAndOverlongPaths) {
    TempFolder dir;
    EXPECT_FALSE(CreateDirectoryTree(""));
    const std::string deep = dir.Path() + "/" + std::string(kMaxTreePath, 'x');
    EXPECT_FALSE(CreateDirectoryTree(deep));
    // Up to the limit a tree of ordinary names is fine.
    std::string longest = dir.Path();
    while (longest.size() + 101 <= kMaxTreePath)
        longest += "/" + std::string(100, 'd');
    EXPECT_TRUE(CreateDirectoryTree(longest));
    EXPECT_TRUE(FolderExists(longest));
}
