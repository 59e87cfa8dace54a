#pragma once

#include "refdata/FoodKey.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class CDS_Ingredient;
namespace NS_Data {
class CUserLog;
}

// The foods the "Food" tab offers for logging again with one click: the starred ones, those
// logged lately and those logged most, each once, with the amount it was last logged at.
namespace RecentFoods {

enum class Section { Favourites, Recent, Frequent };

// The food's most recent entry that weighed anything (latest day first, within a day the later
// entry first): what a click logs again.
struct LastAmount {
    int unitIndex = 0;
    double grams = 0;
    double amount = 0;
    std::string unitName;
};

struct Item {
    Section section = Section::Recent;
    FoodKey key;
    // From the tables, else the profile's own copy; never null.
    const CDS_Ingredient* food = nullptr;
    bool favourite = false;
    int timesLogged = 0;
    // Empty when the food was never logged with a weight: it is then logged as a new food is.
    std::optional<LastAmount> last;
};

struct Limits {
    // Distinct foods the recent section looks back over (favourites among them show above).
    std::size_t recent = 30;
    // Foods logged at least twice shown beyond the recent ones.
    std::size_t frequent = 10;
};

// Favourites in the order they were starred, then the recent foods, latest first, then the most
// logged of the rest, most first (ties: logged more lately first). A food that neither the
// tables nor the profile's copies hold is left out.
std::vector<Item> Build(const NS_Data::CUserLog& log, Limits limits = {});

}  // namespace RecentFoods
