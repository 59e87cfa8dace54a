#pragma once

#include <compare>
#include <cstdint>

// The identity of a food: its number within its data source and the ID of that data source.
// Keys order by source first, then by key.
struct FoodKey {
    std::int32_t key = -1;
    std::int32_t source = 0;

    constexpr FoodKey() = default;
    constexpr FoodKey(std::int32_t k, std::int32_t s) : key(k), source(s) {}

    friend constexpr bool operator==(const FoodKey&, const FoodKey&) = default;
    friend constexpr std::strong_ordering operator<=>(const FoodKey& a, const FoodKey& b) {
        if (auto c = a.source <=> b.source; c != 0) return c;
        return a.key <=> b.key;
    }
};

namespace MyFoods {

// The ID of the user's own table. It is taken whether or not the table has foods yet, so no table
// read from a file may carry it.
constexpr int kSourceId = 1000;

}  // namespace MyFoods
