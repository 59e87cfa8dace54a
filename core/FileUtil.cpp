#include "FileUtil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace FileUtil {

namespace {

std::string Reason(int err) { return std::strerror(err); }

[[noreturn]] void Fail(const std::string& path, const std::string& what, int err) {
    throw FileError("Can't write file " + path + ": " + what + ": " + Reason(err));
}

}  // namespace

void WriteFileAtomic(const std::string& path, const std::string& data) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    std::string tmpl = (folder / name).string();

    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) Fail(path, "creating a temporary file", errno);

    auto abandon = [&](const std::string& what, int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
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
    if (::fchmod(fd, mode) != 0) abandon("setting permissions", errno);

    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            abandon("writing", errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) abandon("flushing to disk", errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        Fail(path, "closing", err);
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        Fail(path, "replacing the old file", err);
    }
    // Make the rename itself durable.
    int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError("Can't read file " + path + ": " + Reason(errno));
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) throw FileError("Can't read file " + path);
    return out.str();
}

}  // namespace FileUtil
