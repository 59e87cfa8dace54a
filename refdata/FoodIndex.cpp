#include "FoodIndex.h"

#include "Ingredient.h"

#include <algorithm>
#include <charconv>
#include <unordered_set>

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

const FoodIndexEntry* CFoodIndex::Find(const FoodKey& key) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const FoodIndexEntry& e, const FoodKey& k) { return e.key < k; });
    return it != entries_.end() && it->key == key ? &*it : nullptr;
}

void CFoodIndex::Merge(std::vector<FoodIndexEntry> added) {
    if (added.empty()) return;
    std::vector<FoodIndexEntry> all;
    all.reserve(entries_.size() + added.size());
    all.insert(all.end(), entries_.begin(), entries_.end());
    all.insert(all.end(), added.begin(), added.end());
    added = {};
    std::stable_sort(all.begin(), all.end(),
                     [](const FoodIndexEntry& a, const FoodIndexEntry& b) { return a.key < b.key; });
    // Of each run of equal keys the last one read wins.
    std::vector<FoodIndexEntry> unique;
    unique.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        if (i + 1 == all.size() || all[i + 1].key != all[i].key) unique.push_back(all[i]);
    entries_ = std::move(unique);
    BuildNames();
}

void CFoodIndex::ReplaceSource(std::int32_t source, std::vector<FoodIndexEntry> added) {
    std::erase_if(entries_, [source](const FoodIndexEntry& e) { return e.key.source == source; });
    if (added.empty())
        BuildNames();
    else
        Merge(std::move(added));
}

void CFoodIndex::Clear() {
    entries_.clear();
    names_.clear();
    starts_.assign(1, 0);
}

void CFoodIndex::BuildNames() {
    std::size_t total = 0;
    for (const auto& e : entries_) total += e.food->Name().size() + 1;
    names_.clear();
    names_.reserve(total);
    starts_.clear();
    starts_.reserve(entries_.size() + 1);
    for (const auto& e : entries_) {
        starts_.push_back(names_.size());
        names_ += e.food->Name();
        names_ += '\0';
    }
    starts_.push_back(names_.size());
    for (char& c : names_)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

std::string CopyName(const CFoodIndex& index, std::string_view name) {
    // The original's name: without a " (copy)" or " (copy N)" at the end.
    std::string_view base = name;
    if (base.ends_with(')')) {
        const std::size_t open = base.rfind(" (copy");
        if (open != std::string_view::npos) {
            const std::string_view inside = base.substr(open + 6, base.size() - open - 7);
            int n = 0;
            const bool numbered = inside.size() > 1 && inside[0] == ' ' &&
                                  std::from_chars(inside.data() + 1, inside.data() + inside.size(), n).ptr ==
                                      inside.data() + inside.size();
            if (inside.empty() || numbered) base = base.substr(0, open);
        }
    }
    std::unordered_set<std::string_view> taken;
    for (std::size_t i = 0; i < index.Size(); ++i) taken.insert(index.UpperName(i));
    const std::string upperBase = ToUpperAscii(base);
    for (int n = 1;; ++n) {
        const std::string suffix = n == 1 ? " (copy)" : " (copy " + std::to_string(n) + ")";
        if (!taken.count(upperBase + ToUpperAscii(suffix))) return std::string(base) + suffix;
    }
}
