#include "FileUtil.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>
#include <utility>
#include <vector>

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

void Write(const std::string& path, const std::string& data, const WriteOptions& options);

// A name of the form the temporary files of `target` take, ".NAME.XXXXXX", not yet used.
std::string FreshHiddenName(const std::filesystem::path& folder, const std::string& target) {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string name = "." + target + ".";
    for (int i = 0; i < 6; ++i) name += kChars[random() % (sizeof kChars - 1)];
    return (folder / name).string();
}

// The current file stays as the backup: linked to a fresh hidden name first and then renamed over
// the old backup, so a backup that exists is always a whole file.
void KeepBackup(IFileOps& ops, const std::string& path, const std::string& backupPath) {
    namespace fs = std::filesystem;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return;  // nothing to keep yet
        Fail(path, "keeping the previous file as " + backupPath, errno);
    }
    // Whatever else stands there (a folder) makes the rename fail; there is no file to keep.
    if (!S_ISREG(st.st_mode)) return;
    // Already the backup (a save that stopped after taking it): renaming a link of a file onto
    // another link of the same file would do nothing and leave the first one behind.
    struct stat backup {};
    if (::stat(backupPath.c_str(), &backup) == 0 && backup.st_dev == st.st_dev && backup.st_ino == st.st_ino) return;

    const fs::path target(path);
    std::string linkName;
    int linked = -1;
    int err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        linkName = FreshHiddenName(target.parent_path().empty() ? fs::path(".") : target.parent_path(),
                                   target.filename().string());
        linked = ops.Link(path, linkName);
        err = errno;
        if (linked == 0 || err != EEXIST) break;
    }
    if (linked != 0) {
        // Some file systems (FAT, many network and FUSE mounts) have no hard links: copy instead.
        if (err != EPERM && err != EOPNOTSUPP && err != EMLINK && err != EXDEV)
            Fail(path, "keeping the previous file as " + backupPath, err);
        Write(backupPath, ReadFile(path), WriteOptions{});
        return;
    }
    if (ops.Rename(linkName, backupPath) != 0) {
        err = errno;
        ops.Unlink(linkName);
        Fail(path, "keeping the previous file as " + backupPath, err);
    }
    // Another writer may have made the backup this same file meanwhile; the rename then left
    // the link where it was.
    struct stat left {};
    if (::lstat(linkName.c_str(), &left) == 0) ops.Unlink(linkName);
}

bool IsTemporaryOf(const std::string& name, const std::string& target) {
    const std::string prefix = "." + target + ".";
    if (!name.starts_with(prefix)) return false;
    std::string rest = name.substr(prefix.size());
    // Older writes also left links named like a temporary file with "~" added.
    if (rest.size() == 7 && rest.back() == '~') rest.pop_back();
    return rest.size() == 6 && std::all_of(rest.begin(), rest.end(), [](unsigned char c) { return std::isalnum(c); });
}

void RemoveTemporaries(IFileOps& ops, const std::filesystem::path& folder, const std::string& target) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> stale;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && !it->is_symlink(typeError) &&
            IsTemporaryOf(it->path().filename().string(), target))
            stale.push_back(it->path().string());
    }
    for (const std::string& name : stale) ops.Unlink(name);
}

// What stands at a path that is no regular file, as a user would call it.
std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe (FIFO)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

// Only regular files are replaced. Renaming over a device or a FIFO would put a file in its place
// (as root, /dev/null becomes a plain file), and the data would never reach it anyway. `stat`
// follows the links the kernel itself follows, including those in /proc that name pipes
// (/dev/stdout), which no path leads to.
void RefuseUnlessRegular(const std::string& path, const std::string& shownPath) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return;
    throw FileError("Can't write file " + shownPath + ": it is " + KindOf(st.st_mode) +
                    ", not a regular file, so it was left as it is");
}

// The old file's owner, group and permissions are to stay; one that nobody may write is not
// replaced at all: its owner made it read-only on purpose. (Root may write anything, so the
// permission bits are looked at too.)
mode_t CheckReplaceable(const std::string& path, struct stat& st, bool& exists) {
    exists = ::stat(path.c_str(), &st) == 0;
    if (!exists) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return 0644 & ~mask;
    }
    if (S_ISREG(st.st_mode) && ((st.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES)))
        throw FileError("Can't write file " + path + ": the file is read-only (its permissions allow no writing)");
    return st.st_mode & 07777;
}

void Write(const std::string& requestedPath, const std::string& data, const WriteOptions& options) {
    namespace fs = std::filesystem;
    IFileOps& ops = Ops();
    RefuseUnlessRegular(requestedPath, requestedPath);
    const std::string path = LinkTarget(requestedPath);
    // The backup is written too; a link there would otherwise lead the rename onto a device.
    const std::string backupPath = options.backupPath.empty() ? std::string() : LinkTarget(options.backupPath);
    if (!backupPath.empty()) RefuseUnlessRegular(options.backupPath, options.backupPath);
    const fs::path target(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    struct stat old {};
    bool exists = false;
    const mode_t mode = CheckReplaceable(path, old, exists);
    if (options.removeStaleTemporaries) RemoveTemporaries(ops, folder, target.filename().string());

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

    // A file of another owner (root saving a user's profile) goes back to that owner; the owner
    // comes first, as changing it may clear permission bits.
    if (exists && S_ISREG(old.st_mode) && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        abandon("keeping the file's owner and group", errno);
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
    const FileStamp written = StampOfOpen(fd);
    if (ops.Close(fd) != 0) {
        const int err = errno;
        ops.Unlink(tmpl);
        Fail(path, "closing", err);
    }
    try {
        if (!backupPath.empty()) KeepBackup(ops, path, backupPath);
        if (options.beforeReplace) options.beforeReplace();
    } catch (...) {
        ops.Unlink(tmpl);
        throw;
    }
    if (ops.Rename(tmpl, path) != 0) {
        const int err = errno;
        ops.Unlink(tmpl);
        Fail(path, "replacing the old file", err);
    }
    if (options.written) *options.written = written;
    SyncFolder(ops, folder.string(), path);
}

}  // namespace

void SetFileOps(IFileOps* ops) { installed = ops; }

void WriteFileAtomic(const std::string& path, const std::string& data) { Write(path, data, WriteOptions{}); }

void WriteFileAtomic(const std::string& path, const std::string& data, const std::string& backupPath) {
    WriteOptions options;
    options.backupPath = backupPath;
    Write(path, data, options);
}

void WriteFileAtomic(const std::string& path, const std::string& data, const WriteOptions& options) {
    Write(path, data, options);
}

namespace {

FileStamp FromStat(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return stamp;
}

}  // namespace

FileStamp StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return FromStat(st);
}

FileStamp StampOfOpen(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {};
    return FromStat(st);
}

std::string LinkTarget(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path p(path);
    // As many links as the system itself follows before it gives up.
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec) break;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p.lexically_normal().string();
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock FileLock::Exclusive(const std::string& path, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + wait;
    for (;;) {
        // Non-blocking, so that a FIFO put where the profile should be does not hang here.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) return {};
        FileLock lock;
        lock.fd_ = fd;
        if (wait.count() < 0) {
            while (::flock(fd, LOCK_EX) != 0)
                if (errno != EINTR) return {};  // no locks here (some network file systems)
        } else {
            while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                if (errno != EWOULDBLOCK && errno != EINTR) return {};
                if (Clock::now() >= until)
                    throw FileError("Can't write file " + path + ": another program is writing it");
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        // The holder before us may have replaced the file; its successor is the one to lock.
        if (lock.Covers(path)) return lock;
    }
}

bool FileLock::Covers(const std::string& path) const {
    if (fd_ < 0) return false;
    const FileStamp held = StampOfOpen(fd_);
    const FileStamp now = StampOf(path);
    return now.exists && now.device == held.device && now.inode == held.inode;
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

ScopedFd::~ScopedFd() {
    if (fd >= 0) ::close(fd);
}

std::string ReadFile(const std::string& path, std::uint64_t maxBytes) {
    const int fd = OpenForReading(path, maxBytes);
    const ScopedFd closer{fd};
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

namespace FileUtil {

std::string MoveAside(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return {};
    // A device or a FIFO is unreadable as a file but not broken; moving it would take it from
    // whoever else uses it.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw FileError("Can't move the unreadable file " + path + " aside: it is " + KindOf(st.st_mode) +
                        ", not a regular file, so it was left as it is");
    std::string aside = path + ".broken";
    for (int n = 1; fs::exists(fs::symlink_status(aside, ec)); ++n) aside = path + ".broken." + std::to_string(n);
    if (::rename(path.c_str(), aside.c_str()) != 0)
        throw FileError("Can't move the unreadable file " + path + " to " + aside + ": " + std::strerror(errno));
    return aside;
}

}  // namespace FileUtil
