#include "FileUtil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace FileUtil {

int IFileOps::CreateTemp(std::string& pathTemplate) { return ::mkstemp(pathTemplate.data()); }
int IFileOps::SetMode(int fd, mode_t mode) { return ::fchmod(fd, mode); }
ssize_t IFileOps::Write(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
int IFileOps::Sync(int fd) { return ::fsync(fd); }
int IFileOps::Close(int fd) { return ::close(fd); }
int IFileOps::Link(const std::string& from, const std::string& to) { return ::link(from.c_str(), to.c_str()); }
int IFileOps::Rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }
int IFileOps::Unlink(const std::string& path) { return ::unlink(path.c_str()); }
int IFileOps::OpenFolder(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

namespace {

IFileOps& SystemOps() {
    static IFileOps ops;
    return ops;
}

IFileOps* installed = nullptr;

IFileOps& Ops() { return installed ? *installed : SystemOps(); }

std::string Reason(int err) { return std::strerror(err); }

[[noreturn]] void Fail(const std::string& path, const std::string& what, int err) {
    throw FileError("Can't write file " + path + ": " + what + ": " + Reason(err));
}

// The rename made durable: without it a power cut after the rename may bring back the old file,
// or none. File systems that can't sync a folder say so with EINVAL; their renames are as durable
// as they get.
void SyncFolder(IFileOps& ops, const std::string& folder, const std::string& path) {
    const int dirFd = ops.OpenFolder(folder);
    if (dirFd < 0) return;
    const int synced = ops.Sync(dirFd);
    const int err = errno;
    ops.Close(dirFd);
    if (synced != 0 && err != EINVAL && err != ENOTSUP && err != EROFS)
        Fail(path, "flushing the folder to disk (the new file is in place but may not survive a power failure)", err);
}

void Write(const std::string& path, const std::string& data, const std::string* backupPath);

// The current file stays as the backup: linked to a fresh name first and then renamed over the
// old backup, so a backup that exists is always a whole file.
void KeepBackup(IFileOps& ops, const std::string& path, const std::string& backupPath, const std::string& tempName) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return;  // nothing to keep yet
        Fail(path, "keeping the previous file as " + backupPath, errno);
    }
    // Whatever else stands there (a folder) makes the rename fail; there is no file to keep.
    if (!S_ISREG(st.st_mode)) return;
    const std::string linkName = tempName + "~";
    ops.Unlink(linkName);  // debris of a write that was cut off, if any
    if (ops.Link(path, linkName) != 0) {
        const int err = errno;
        // Some file systems (FAT, many network and FUSE mounts) have no hard links: copy instead.
        if (err != EPERM && err != EOPNOTSUPP && err != EMLINK && err != EXDEV)
            Fail(path, "keeping the previous file as " + backupPath, err);
        Write(backupPath, ReadFile(path), nullptr);
        return;
    }
    if (ops.Rename(linkName, backupPath) != 0) {
        const int err = errno;
        ops.Unlink(linkName);
        Fail(path, "keeping the previous file as " + backupPath, err);
    }
}

void Write(const std::string& path, const std::string& data, const std::string* backupPath) {
    namespace fs = std::filesystem;
    IFileOps& ops = Ops();
    const fs::path target(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    std::string tmpl = (folder / name).string();

    const int fd = ops.CreateTemp(tmpl);
    if (fd < 0) Fail(path, "creating a temporary file", errno);

    auto abandon = [&](const std::string& what, int err) {
        ops.Close(fd);
        ops.Unlink(tmpl);
        Fail(path, what, err);
    };

    // Keep the permissions of the file being replaced; a new file gets the usual 0644 less umask.
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (ops.SetMode(fd, mode) != 0) abandon("setting permissions", errno);

    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ops.Write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            abandon("writing", errno);
        }
        // A write that takes nothing would repeat for ever; the disk is as good as full.
        if (n == 0) abandon("writing", ENOSPC);
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (ops.Sync(fd) != 0) abandon("flushing to disk", errno);
    if (ops.Close(fd) != 0) {
        const int err = errno;
        ops.Unlink(tmpl);
        Fail(path, "closing", err);
    }
    if (backupPath) {
        try {
            KeepBackup(ops, path, *backupPath, tmpl);
        } catch (const FileError&) {
            ops.Unlink(tmpl);
            throw;
        }
    }
    if (ops.Rename(tmpl, path) != 0) {
        const int err = errno;
        ops.Unlink(tmpl);
        Fail(path, "replacing the old file", err);
    }
    SyncFolder(ops, folder.string(), path);
}

}  // namespace

void SetFileOps(IFileOps* ops) { installed = ops; }

void WriteFileAtomic(const std::string& path, const std::string& data) { Write(path, data, nullptr); }

void WriteFileAtomic(const std::string& path, const std::string& data, const std::string& backupPath) {
    Write(path, data, &backupPath);
}

std::string TooLarge(std::uint64_t maxBytes) {
    const bool gib = maxBytes >= (std::uint64_t{1} << 30) && maxBytes % (std::uint64_t{1} << 30) == 0;
    return "larger than " + std::to_string(gib ? maxBytes >> 30 : maxBytes >> 20) + (gib ? " GiB" : " MiB") +
           ", more than the program reads from such a file";
}

int OpenForReading(const std::string& path, std::uint64_t maxBytes) {
    // Non-blocking only for the opening itself: a FIFO without a writer would wait there.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw FileError("Can't read file " + path + ": " + Reason(errno));
    struct stat st {};
    std::string refusal;
    if (::fstat(fd, &st) != 0)
        refusal = Reason(errno);
    else if (S_ISDIR(st.st_mode))
        refusal = Reason(EISDIR);
    else if (!S_ISREG(st.st_mode))
        refusal = "not a regular file";
    else if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        refusal = TooLarge(maxBytes);
    if (refusal.empty() && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) refusal = Reason(errno);
    if (!refusal.empty()) {
        ::close(fd);
        throw FileError("Can't read file " + path + ": " + refusal);
    }
    return fd;
}

std::string ReadFile(const std::string& path, std::uint64_t maxBytes) {
    const int fd = OpenForReading(path, maxBytes);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError("Can't read file " + path + ": " + Reason(errno));
        }
        out.append(buffer, static_cast<std::size_t>(n));
        // A file that grows while it is read, or one whose size the system does not know.
        if (out.size() > maxBytes) throw FileError("Can't read file " + path + ": " + TooLarge(maxBytes));
    }
    return out;
}

}  // namespace FileUtil
