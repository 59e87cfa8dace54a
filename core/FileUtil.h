#pragma once

#include <cstddef>
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

// The whole file, or FileError.
std::string ReadFile(const std::string& path);

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
