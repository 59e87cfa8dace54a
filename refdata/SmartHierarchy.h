#pragma once

#include <string>
#include <string_view>
#include <vector>

class CDS_FoodGroup;

// The "smart hierarchy" of a food group: food names read as comma-separated paths ("Beef, ground,
// raw" is "Beef" -> " ground" -> " raw"), common leading parts turned into categories, then
// compacted so that at most `depth` levels of categories remain, a category stays only with at
// least `size` foods below it, and chains of single children join back into one name.
struct SmartItem {
    enum class Kind { Category, Food };
    Kind kind = Kind::Food;
    // The text the food tree shows: the category's name, or the food's part of its name (its full
    // name when that part is empty or full titles are wanted).
    std::string text;
    // For a food, its position in the list the hierarchy was built from; -1 for a category.
    int food = -1;
    std::vector<SmartItem> children;

    friend bool operator==(const SmartItem&, const SmartItem&) = default;
};

// The items under a group in the food tree, after its subgroups, for the group's foods in order.
// A depth of 0 lists every food by its full name.
std::vector<SmartItem> BuildSmartHierarchy(const std::vector<std::string_view>& names, int depth, int size,
                                           bool useFullTitle);
// The same for the foods of a group (positions are those in group.foods).
std::vector<SmartItem> BuildSmartHierarchy(const CDS_FoodGroup& group, int depth, int size, bool useFullTitle);
