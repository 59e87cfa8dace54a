#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

// The nutrient values of one food: gid -> amount in 100 g, unique gids in ascending order.
// Kept as a sorted vector rather than a tree because a data source holds tens of millions of
// values: a tree node per value would cost several times the memory and the load time. Values
// arrive in ascending gid order in practice, so appending is the common case.
class NutrientValueMap {
public:
    using value_type = std::pair<int, double>;
    using const_iterator = std::vector<value_type>::const_iterator;

    const_iterator begin() const noexcept { return items_.begin(); }
    const_iterator end() const noexcept { return items_.end(); }
    std::size_t size() const noexcept { return items_.size(); }
    bool empty() const noexcept { return items_.empty(); }
    void clear() noexcept { items_.clear(); }
    void reserve(std::size_t n) { items_.reserve(n); }
    void shrink_to_fit() { items_.shrink_to_fit(); }
    std::size_t capacity() const noexcept { return items_.capacity(); }

    const_iterator find(int gid) const {
        auto it = LowerBound(gid);
        return it != items_.end() && it->first == gid ? const_iterator(it) : end();
    }
    bool contains(int gid) const { return find(gid) != end(); }
    // The stored value, or `fallback` when the food has none for that gid.
    double get(int gid, double fallback = 0.0) const {
        auto it = find(gid);
        return it == end() ? fallback : it->second;
    }
    // Stores the value, replacing an earlier one of the same gid.
    void insert_or_assign(int gid, double value) {
        if (items_.empty() || items_.back().first < gid) {
            items_.emplace_back(gid, value);
            return;
        }
        auto it = LowerBound(gid);
        if (it != items_.end() && it->first == gid)
            it->second = value;
        else
            items_.emplace(it, gid, value);
    }
    bool erase(int gid) {
        auto it = LowerBound(gid);
        if (it == items_.end() || it->first != gid) return false;
        items_.erase(it);
        return true;
    }

    friend bool operator==(const NutrientValueMap&, const NutrientValueMap&) = default;

private:
    std::vector<value_type>::iterator LowerBound(int gid) {
        return std::lower_bound(items_.begin(), items_.end(), gid,
                                [](const value_type& v, int g) { return v.first < g; });
    }
    std::vector<value_type>::const_iterator LowerBound(int gid) const {
        return std::lower_bound(items_.begin(), items_.end(), gid,
                                [](const value_type& v, int g) { return v.first < g; });
    }

    std::vector<value_type> items_;
};
