#pragma once

#include <string>
#include <vector>

// The most recently used profile files, newest first, kept in the user's settings
// (organisation "Orrindale", application "Velmora").
class CRecentFileList {
public:
    explicit CRecentFileList(int size = 16) : size_(size) {}

    void ReadList();
    void WriteList() const;

    // Puts the path first, removing an older entry of the same file and the oldest beyond the size.
    void Add(const std::string& path);
    void Remove(int index);

    int GetSize() const noexcept { return size_; }
    const std::vector<std::string>& Entries() const noexcept { return entries_; }

private:
    int size_;
    std::vector<std::string> entries_;
};
