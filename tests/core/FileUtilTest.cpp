#include "core/FileUtil.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(WriteFileAtomic, ReplacesTheFileAndKeepsItsPermissions) {
    TempDir dir;
    dir.Write("p", "old");
    ::chmod(dir.File("p").c_str(), 0600);
    FileUtil::WriteFileAtomic(dir.File("p"), "new content");
    EXPECT_EQ("new content", dir.Read("p"));
    struct stat st {};
    ASSERT_EQ(0, ::stat(dir.File("p").c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
}

TEST(WriteFileAtomic, ReadOnlyFolderLeavesTheOldFileAndNoDebris) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    dir.Write("sub/p", "old");
    ::chmod(dir.File("sub").c_str(), 0500);
    EXPECT_THROW(FileUtil::WriteFileAtomic(dir.File("sub/p"), "new"), FileUtil::FileError);
    ::chmod(dir.File("sub").c_str(), 0700);
    EXPECT_EQ("old", dir.Read("sub/p"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path() / "sub"), {}));
}

// Only regular files are read, and only up to the cap: a FIFO would block the reader for ever,
// /dev/zero would never end. The message names the path and the reason.
TEST(ReadFile, RefusesWhatIsNotARegularFileOrTooLarge) {
    TempDir dir;
    ASSERT_EQ(0, ::mkfifo(dir.File("fifo").c_str(), 0600));
    dir.Write("eleven", "0123456789\n");
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("fifo"), "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {dir.Path().string(), "Is a directory"},
        {dir.File("absent"), "No such file or directory"},
    };
    for (const auto& [path, reason] : cases) {
        try {
            FileUtil::ReadFile(path);
            ADD_FAILURE() << path << " was read";
        } catch (const FileUtil::FileError& e) {
            EXPECT_EQ("Can't read file " + path + ": " + reason, std::string(e.what()));
        }
    }
    EXPECT_EQ("0123456789\n", FileUtil::ReadFile(dir.File("eleven"), 11));
    try {
        FileUtil::ReadFile(dir.File("eleven"), 10);
        ADD_FAILURE() << "read beyond the cap";
    } catch (const FileUtil::FileError& e) {
        EXPECT_EQ("Can't read file " + dir.File("eleven") + ": " + FileUtil::TooLarge(10), std::string(e.what()));
    }
    EXPECT_EQ("larger than 256 MiB, more than the program reads from such a file",
              FileUtil::TooLarge(FileUtil::kMaxDocumentBytes));
    EXPECT_EQ("larger than 1 GiB, more than the program reads from such a file",
              FileUtil::TooLarge(FileUtil::kMaxDataSourceBytes));
}
