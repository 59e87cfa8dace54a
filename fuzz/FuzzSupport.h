#pragma once

// Helpers shared by the fuzz targets. Readers of the program take paths, so inputs are handed to
// them as real files; a memory-backed file keeps that cheap and leaves nothing on disk.

#include "core/Services.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace FuzzSupport {

// A file in memory reachable by a path (/proc/self/fd/N) for the life of the object.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("velmora-fuzz", MFD_CLOEXEC)) {
        if (fd_ < 0) Die("memfd_create");
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the whole content.
    void Set(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(fd_, 0) != 0) Die("ftruncate");
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) Die("pwrite");
            done += static_cast<std::size_t>(n);
        }
    }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    [[noreturn]] static void Die(const char* what) {
        std::perror(what);
        std::abort();
    }
    int fd_;
};

// Swallows every message; questions answer No, as the program's default does.
class SilentPrompt : public Services::IPrompt {
public:
    SilentPrompt() { Services::SetPrompt(this); }
    ~SilentPrompt() override { Services::SetPrompt(nullptr); }
    void Message(const std::string& text, const std::string&) override {
        ++messages;
        last = text;
    }
    Services::Answer Question(const std::string&, Services::Buttons, const std::string&) override {
        return Services::Answer::No;
    }
    int messages = 0;
    std::string last;
};

// A broken promise of the program, found while fuzzing: print it and stop, so the input is kept.
[[noreturn]] inline void Fault(const std::string& what) {
    std::fprintf(stderr, "velmora fuzz: %s\n", what.c_str());
    std::abort();
}

// A folder in memory (/dev/shm) for the targets whose readers write files of their own; it goes
// with everything in it at the end of the run.
class TempFolder {
public:
    TempFolder() {
        char tmpl[] = "/dev/shm/velmora-fuzz-XXXXXX";
        if (!::mkdtemp(tmpl)) Fault("no temporary folder");
        path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Stops with `what` and the place where two texts that should be equal part.
[[noreturn]] inline void FaultDiffering(const std::string& what, const std::string& a, const std::string& b) {
    if (std::getenv("VELMORA_FUZZ_DUMP")) {
        if (FILE* f = std::fopen("fault-before.txt", "wb")) std::fwrite(a.data(), 1, a.size(), f), std::fclose(f);
        if (FILE* f = std::fopen("fault-after.txt", "wb")) std::fwrite(b.data(), 1, b.size(), f), std::fclose(f);
    }
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const std::size_t from = at > 120 ? at - 120 : 0;
    Fault(what + " at byte " + std::to_string(at) + ":\n--- before\n" + a.substr(from, 240) + "\n--- after\n" +
          b.substr(from, 240));
}

}  // namespace FuzzSupport
