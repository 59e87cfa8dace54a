#pragma once

#include "FoodKey.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CDS_FoodGroup;
class CDS_Ingredient;

// One food of the index: its key, the food and the group it was read in.
struct FoodIndexEntry {
    FoodKey key;
    const CDS_Ingredient* food = nullptr;
    const CDS_FoodGroup* group = nullptr;
};

// The data source's foods in FoodKey order, one per key, with their names upper-cased once so that
// searching compares bytes only. Built at load and read-only afterwards, so any number of threads
// may read it at once.
class CFoodIndex {
public:
    using const_iterator = std::vector<FoodIndexEntry>::const_iterator;

    std::size_t Size() const noexcept { return entries_.size(); }
    bool Empty() const noexcept { return entries_.empty(); }
    const FoodIndexEntry& operator[](std::size_t i) const { return entries_[i]; }
    const_iterator begin() const noexcept { return entries_.begin(); }
    const_iterator end() const noexcept { return entries_.end(); }

    // Logarithmic look-up; null when there is no food of that key.
    const FoodIndexEntry* Find(const FoodKey& key) const;

    // The upper-cased name of entry i.
    std::string_view UpperName(std::size_t i) const {
        return std::string_view(names_).substr(starts_[i], starts_[i + 1] - starts_[i] - 1);
    }
    // Every upper-cased name in index order, each followed by a '\0' (which no search term holds,
    // so a match never runs from one name into the next).
    std::string_view UpperNames() const noexcept { return names_; }
    // Where entry i's name starts in UpperNames(); NameStart(Size()) is the end of the text.
    std::size_t NameStart(std::size_t i) const { return starts_[i]; }

    // Adds foods; a food replaces an earlier one of the same key, whether already indexed or
    // earlier in `added`.
    void Merge(std::vector<FoodIndexEntry> added);
    // Drops every food of the source and adds those given.
    void ReplaceSource(std::int32_t source, std::vector<FoodIndexEntry> added);
    void Clear();

private:
    void BuildNames();

    std::vector<FoodIndexEntry> entries_;
    std::string names_;
    std::vector<std::size_t> starts_ = {0};
};

// Upper case as the "C" locale maps it: a-z only. Bytes of multi-byte UTF-8 characters are left
// as they are, so the result is still valid UTF-8 and byte matching stays character matching.
std::string ToUpperAscii(std::string_view text);

// The name for a copy of a food named `name`: "NAME (copy)", else "NAME (copy 2)", "(copy 3)"…, the
// first that no food of the index has (case aside). A copy of a copy counts on from its original's
// name rather than piling up "(copy) (copy)".
std::string CopyName(const CFoodIndex& index, std::string_view name);
