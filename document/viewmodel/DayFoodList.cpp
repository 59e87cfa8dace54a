#include "DayFoodList.h"

#include "document/ProfileDocument.h"

#include "model/DayFood.h"
#include "model/MealSubtotals.h"
#include "model/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace DayFoodList {

std::string NumberText(double value) { return value == 0 ? std::string() : TextFormat::G(value); }

double ShownUnitGrams(const UserLog::CDayFood& entry) {
    const FoodUnit* unit = entry.ShownUnit();
    return unit ? unit->grams : 0.0;
}

std::string ShownUnitName(const UserLog::CDayFood& entry) {
    const FoodUnit* unit = entry.ShownUnit();
    return unit ? unit->name : std::string();
}

double AmountOf(const UserLog::CDayFood& entry) {
    const double grams = ShownUnitGrams(entry);
    return grams != 0 ? entry.weight / grams : 0.0;
}

double WeightOfAmount(const UserLog::CDayFood& entry, double amount) {
    // Unit weights are read at single precision; to the gram's thousandth, as profiles keep
    // weights, 2 ounces of 28.35 g are 56.7 g and not 56.700000763.
    const double grams = amount * ShownUnitGrams(entry);
    return std::isfinite(grams) ? UserLog::RoundToGrams3(grams) : grams;
}

bool IsAcceptableWeight(double grams) { return std::isfinite(grams) && grams >= 0; }

std::vector<std::string> UnitNames(const UserLog::CDayFood& entry) {
    std::vector<std::string> names;
    if (entry.food)
        for (const FoodUnit& unit : entry.food->Units()) names.push_back(unit.name);
    return names;
}

int UnitIndexOfName(const UserLog::CDayFood& entry, const std::string& name) {
    return entry.food ? entry.food->FindUnitByName(name) : -1;
}

std::vector<std::string> RowTexts(const UserLog::CDayFood& entry) {
    return {entry.ShownName(), entry.meal, ShownUnitName(entry), NumberText(AmountOf(entry)), NumberText(entry.weight)};
}

std::vector<std::string> SubtotalTexts(const UserLog::MealSubtotal& subtotal) {
    return {subtotal.meal.empty() ? kNoMeal : subtotal.meal, TextFormat::G(subtotal.energy),
            TextFormat::G(subtotal.protein), TextFormat::G(subtotal.fat), TextFormat::G(subtotal.carbohydrate)};
}

ButtonStates ButtonsFor(int rows, const std::vector<int>& selectedRows, std::optional<unsigned> treeFoodStatus) {
    ButtonStates states;
    states.add = treeFoodStatus && !(*treeFoodStatus & kFoodWithoutMeal);
    states.clear = rows > 0;
    if (selectedRows.size() == 1) {
        const int row = selectedRows.front();
        states.remove = true;
        states.up = row > 0;
        states.down = row < rows - 1;
    }
    return states;
}

std::vector<FoodKey> ComparisonKeys(const std::vector<UserLog::CDayFood>& entries, std::vector<int> selectedRows,
                                    std::optional<FoodKey> treeFood) {
    std::sort(selectedRows.begin(), selectedRows.end());
    std::vector<FoodKey> keys;
    // A food eaten twice that day, or the tree on a food the list also has selected, is one
    // column of the comparison.
    auto add = [&keys](const FoodKey& key) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    };
    for (int row : selectedRows)
        if (row >= 0 && static_cast<std::size_t>(row) < entries.size())
            add(entries[static_cast<std::size_t>(row)].GetFoodKey());
    if (treeFood) add(*treeFood);
    return keys;
}

}  // namespace DayFoodList
