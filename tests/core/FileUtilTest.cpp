#include "core/FileUtil.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int MakeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
    return bound;
}

}  // namespace

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

// Root saving a user's file gives it back to the user, with the permissions the user chose.
TEST(WriteFileAtomic, KeepsOwnerGroupAndPermissionsOfTheFileItReplaces) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another owner";
    TempDir dir;
    dir.Write("p", "old");
    ASSERT_EQ(0, ::chown(dir.File("p").c_str(), 4321, 4322));
    ASSERT_EQ(0, ::chmod(dir.File("p").c_str(), 0600));
    FileUtil::WriteFileAtomic(dir.File("p"), "new", dir.File("p~"));
    struct stat st {};
    ASSERT_EQ(0, ::stat(dir.File("p").c_str(), &st));
    EXPECT_EQ(4321u, st.st_uid);
    EXPECT_EQ(4322u, st.st_gid);
    EXPECT_EQ(0600u, st.st_mode & 07777);
    EXPECT_EQ("new", dir.Read("p"));
}

TEST(WriteFileAtomic, AReadOnlyFileIsRefusedAndLeftAsItWas) {
    TempDir dir;
    dir.Write("p", "old");
    ASSERT_EQ(0, ::chmod(dir.File("p").c_str(), 0444));
    try {
        FileUtil::WriteFileAtomic(dir.File("p"), "new");
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const FileUtil::FileError& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("read-only")) << e.what();
    }
    EXPECT_EQ("old", dir.Read("p"));
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

// The link stays a link and its target gets the new content.
TEST(WriteFileAtomic, WritesWhereASymbolicLinkLeads) {
    TempDir dir;
    dir.Write("data/p", "old");
    std::filesystem::create_symlink("data/p", dir.Path() / "link");
    FileUtil::WriteFileAtomic(dir.File("link"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "link"));
    EXPECT_EQ("new", dir.Read("data/p"));
}

// A save cut off after it had taken the backup leaves the backup a second link of the file. The
// next save finds it so; renaming a link onto another link of the same file would do nothing and
// leave the first behind as debris.
TEST(WriteFileAtomic, ABackupThatIsAlreadyTheFileLeavesNoDebris) {
    TempDir dir;
    dir.Write("p", "old");
    ASSERT_EQ(0, ::link(dir.File("p").c_str(), dir.File("p~").c_str()));
    FileUtil::WriteFileAtomic(dir.File("p"), "new", dir.File("p~"));
    EXPECT_EQ("new", dir.Read("p"));
    EXPECT_EQ("old", dir.Read("p~"));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"p", "p~"}), names);
}

// What stands where a file is to be written and is no regular file stays as it is: renaming over it
// would put a plain file in its place (as root, /dev/null became one). Named directly, reached
// through a link, standing where the backup goes, or asked to be moved aside as unreadable: the
// write is refused with what stands there, and nothing is left beside it.
TEST(WriteFileAtomic, RefusesWhatIsNotARegularFileAndLeavesItAsItWas) {
    struct Node {
        const char* name;
        const char* kind;
        std::function<int(const std::string&)> make;
    };
    const Node nodes[] = {
        {"fifo", "a pipe (FIFO)", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600); }},
        {"folder", "a folder", [](const std::string& p) { return ::mkdir(p.c_str(), 0700); }},
        {"socket", "a socket", MakeSocket},
        // The null device's numbers; made here, never the system's own node.
        {"null", "a character device",
         [](const std::string& p) { return ::mknod(p.c_str(), S_IFCHR | 0666, ::makedev(1, 3)); }},
    };
    enum class Place { Target, Link, Backup, MoveAside };
    for (const Node& node : nodes) {
        for (Place place : {Place::Target, Place::Link, Place::Backup, Place::MoveAside}) {
            SCOPED_TRACE(std::string(node.name) + " as " + std::to_string(static_cast<int>(place)));
            TempDir dir;
            dir.Write("p", "old");
            const std::string at = dir.File(node.name);
            if (node.make(at) != 0) {
                // Making a device needs root and a file system that allows it.
                ASSERT_STREQ("null", node.name) << std::strerror(errno);
                continue;
            }
            struct stat before {};
            ASSERT_EQ(0, ::lstat(at.c_str(), &before));
            std::vector<std::string> names = {node.name, "p"};
            std::string named = at;
            try {
                switch (place) {
                    case Place::Target: FileUtil::WriteFileAtomic(at, "new"); break;
                    case Place::Link:
                        named = dir.File("link");
                        names.push_back("link");
                        std::filesystem::create_symlink(node.name, named);
                        FileUtil::WriteFileAtomic(named, "new");
                        break;
                    case Place::Backup: FileUtil::WriteFileAtomic(dir.File("p"), "new", at); break;
                    case Place::MoveAside: FileUtil::MoveAside(at); break;
                }
                ADD_FAILURE() << "written";
            } catch (const FileUtil::FileError& e) {
                EXPECT_THAT(e.what(), HasSubstr(named));
                EXPECT_THAT(e.what(), HasSubstr("it is " + std::string(node.kind) + ", not a regular file"));
            }
            struct stat after {};
            ASSERT_EQ(0, ::lstat(at.c_str(), &after));
            EXPECT_EQ(before.st_ino, after.st_ino);
            EXPECT_EQ(before.st_mode, after.st_mode);
            EXPECT_EQ("old", dir.Read("p"));
            std::sort(names.begin(), names.end());
            EXPECT_EQ(names, Names(dir.Path()));
        }
    }
}

// Temporary files of saves that were cut off go at the next save of the same file that holds its
// lock; those of other files stay.
TEST(WriteFileAtomic, RemovesTheStaleTemporariesOfItsFile) {
    TempDir dir;
    dir.Write("Ann Lee", "old");
    for (const char* debris : {".Ann Lee.a1B2c3", ".Ann Lee.Zz9Yy8~"}) dir.Write(debris, "cut off");
    dir.Write(".Bob.a1B2c3", "another profile's");
    dir.Write(".Ann Lee.notes", "not a temporary file");
    FileUtil::WriteOptions options;
    options.removeStaleTemporaries = true;
    FileUtil::WriteFileAtomic(dir.File("Ann Lee"), "new", options);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{".Ann Lee.notes", ".Bob.a1B2c3", "Ann Lee"}), names);
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
