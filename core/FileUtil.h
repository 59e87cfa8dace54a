#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include <sys/types.h>

namespace FileUtil {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Replaces the file at `path` with `data` so that a reader sees either the old or the new file,
// never a part: the bytes go to a temporary file in the same folder, which is flushed to disk and
// then renamed over the target. On failure the temporary file is removed, the old file is left as
// it was, and FileError tells the path and the reason.
void WriteFileAtomic(const std::string& path, const std::string& data);

// The same, and the file being replaced, if there is one, stays on as `backupPath`. The backup is
// taken only once the new content is complete on disk, so it is always the last file that was
// whole before this write; an older backup is replaced. A backup that can't be taken fails the
// write before anything changed.
void WriteFileAtomic(const std::string& path, const std::string& data, const std::string& backupPath);

// The most a reader takes from one file: documents (profiles, settings, templates) and the
// food data source, which is larger by nature.
constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t{256} << 20;
constexpr std::uint64_t kMaxDataSourceBytes = std::uint64_t{1} << 30;

// Opens a file for reading and answers its descriptor, or raises FileError naming the path and
// the reason. Only a regular file of at most maxBytes is opened: a FIFO would block the reader
// for ever and a device such as /dev/zero would never end.
int OpenForReading(const std::string& path, std::uint64_t maxBytes);

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
