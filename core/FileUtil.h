#pragma once

#include <stdexcept>
#include <string>

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

// The whole file, or FileError.
std::string ReadFile(const std::string& path);

}  // namespace FileUtil
