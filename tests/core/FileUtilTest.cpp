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
