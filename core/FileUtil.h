#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include <sys/types.h>

namespace FileUtil {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What tells one version of a file from another without reading it: a file replaced by a rename
// has another inode, one rewritten in place another size or modification time.
struct FileStamp {
    bool exists = false;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    long long modifiedNs = 0;  // nanoseconds since the epoch
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file a path leads to (links followed); `exists` false when there is none.
FileStamp StampOf(const std::string& path);
// The stamp of an open file.
FileStamp StampOfOpen(int fd);

// The file a path names once symbolic links in its last part are followed: replacing that file
// keeps the links pointing at it. A path that is no link is answered as it is.
std::string LinkTarget(const std::string& path);

// An advisory lock (flock) on the file that stands at a path, held while the object lives.
// Programs that take it before replacing the file take turns; others are not kept out.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Locks the file at `path` exclusively, waiting up to `wait` for other holders (for ever when
    // negative). A file replaced while waiting is followed to its new version. Without a file at
    // the path, or on a file system without locks, nothing is held. FileError when the wait ran
    // out.
    static FileLock Exclusive(const std::string& path, std::chrono::milliseconds wait);

    bool Holds() const noexcept { return fd_ >= 0; }
    // Whether this lock is held on the file that now stands at `path`.
    bool Covers(const std::string& path) const;

private:
    int fd_ = -1;
};

// How a file is replaced.
struct WriteOptions {
    // Where the file being replaced stays on, if there is one (empty: not kept). The backup is
    // taken only once the new content is complete on disk, so it is always the last file that
    // was whole before this write; an older backup is replaced. A backup that can't be taken
    // fails the write before anything changed.
    std::string backupPath;
    // Called right before the new file takes the old one's place; an exception thrown there
    // stops the write, leaves the old file and removes the new one.
    std::function<void()> beforeReplace;
    // Hidden temporary files of earlier writes of this file that were cut off are removed. Only
    // for a writer that holds the file's lock: another writer's file in progress looks the same.
    bool removeStaleTemporaries = false;
    // Receives the stamp of the file written.
    FileStamp* written = nullptr;
};

// Replaces the file at `path` with `data` so that a reader sees either the old or the new file,
// never a part: the bytes go to a temporary file in the same folder, which is flushed to disk and
// then renamed over the target. A symbolic link is followed and its target replaced; owner, group
// and permissions of the old file are kept, and a file without any write permission is refused,
// as is a target or backup that is no regular file (a folder, a device, a FIFO, a socket).
// On failure the temporary file is removed, the old file is left as it was, and FileError tells
// the path and the reason.
void WriteFileAtomic(const std::string& path, const std::string& data);
void WriteFileAtomic(const std::string& path, const std::string& data, const WriteOptions& options);

// The same, and the file being replaced, if there is one, stays on as `backupPath`.
void WriteFileAtomic(const std::string& path, const std::string& data, const std::string& backupPath);

// Moves a file that can't be read out of the way of the next write, to PATH.broken (or
// PATH.broken.N when that is taken), and answers where it went; empty when there was no file.
// FileError when the move fails, or when what stands there is no regular file (it stays).
std::string MoveAside(const std::string& path);

// The most a reader takes from one file: documents (profiles, settings, templates) and the
// food data source, which is larger by nature.
constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t{256} << 20;
constexpr std::uint64_t kMaxDataSourceBytes = std::uint64_t{1} << 30;

// Opens a file for reading and answers its descriptor, or raises FileError naming the path and
// the reason. Only a regular file of at most maxBytes is opened: a FIFO would block the reader
// for ever and a device such as /dev/zero would never end.
int OpenForReading(const std::string& path, std::uint64_t maxBytes);

// Closes a file descriptor when it goes out of scope; a negative one is no file.
struct ScopedFd {
    int fd = -1;
    explicit ScopedFd(int descriptor) noexcept : fd(descriptor) {}
    ~ScopedFd();
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;
};

// The whole file, or FileError; the same checks as OpenForReading.
std::string ReadFile(const std::string& path, std::uint64_t maxBytes = kMaxDocumentBytes);
// The text of a FileError for a file above the cap, e.g. "larger than 256 MiB".
std::string TooLarge(std::uint64_t maxBytes);

// The system calls a write goes through, one per step, each answering as the system call does
// (-1 and errno on failure). The program always uses the system's; tests install their own to
// make a chosen step fail or stop.
class IFileOps {
public:
    virtual ~IFileOps() = default;
    // mkstemp: replaces the XXXXXX of the template and answers the open descriptor.
    virtual int CreateTemp(std::string& pathTemplate);
    virtual int SetMode(int fd, mode_t mode);
    virtual ssize_t Write(int fd, const char* data, std::size_t size);
    virtual int Sync(int fd);
    virtual int Close(int fd);
    virtual int Link(const std::string& from, const std::string& to);
    virtual int Rename(const std::string& from, const std::string& to);
    virtual int Unlink(const std::string& path);
    virtual int OpenFolder(const std::string& path);
};

// Installs the file operations (nullptr restores the system's); the caller keeps ownership.
void SetFileOps(IFileOps* ops);

}  // namespace FileUtil
