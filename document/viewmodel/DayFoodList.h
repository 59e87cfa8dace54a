#pragma once

#include "refdata/FoodKey.h"

#include <optional>
#include <string>
#include <vector>

namespace UserLog {
class CDayFood;
struct MealSubtotal;
}  // namespace UserLog

// What the day's food list of the "Food" tab shows and how its edits become weights, without the
// window: the texts of a row, the amount and weight conversions and which buttons apply.
namespace DayFoodList {

// "%G", or an empty text for 0 (an entry whose weight was not typed yet shows nothing).
std::string NumberText(double value);

// Grams of the unit the entry is shown in (unit 0 when its index does not name one of the food's
// units); 0 for a food without units.
double ShownUnitGrams(const UserLog::CDayFood& entry);
std::string ShownUnitName(const UserLog::CDayFood& entry);
// weight ÷ grams of the shown unit, 0 when the unit weighs nothing.
double AmountOf(const UserLog::CDayFood& entry);
// The weight an amount of the shown unit stands for, to a thousandth of a gram.
double WeightOfAmount(const UserLog::CDayFood& entry, double amount);
// Weights a person can have eaten: finite and not negative.
bool IsAcceptableWeight(double grams);

// The food's unit names, in order, for the unit drop-down.
std::vector<std::string> UnitNames(const UserLog::CDayFood& entry);
// The position of the first unit named exactly so, or -1.
int UnitIndexOfName(const UserLog::CDayFood& entry, const std::string& name);

enum Column { kName = 0, kMeal, kUnits, kAmount, kWeight, kColumnCount };

// The five cells of an entry's row.
std::vector<std::string> RowTexts(const UserLog::CDayFood& entry);

// The name the list shows for the entries of no meal.
inline constexpr const char* kNoMeal = "(no meal)";
enum SubtotalColumn { kSubtotalMeal = 0, kSubtotalEnergy, kSubtotalProtein, kSubtotalFat, kSubtotalCarbohydrate };
// The cells of a meal's subtotal row, under the headers "Meal", "kcal", "Protein g", "Fat g" and
// "Carbohydrate g"; a subtotal of nothing shows 0, since the meal is there.
std::vector<std::string> SubtotalTexts(const UserLog::MealSubtotal& subtotal);

struct ButtonStates {
    bool add = false;
    bool remove = false;
    bool clear = false;
    bool up = false;
    bool down = false;
    friend bool operator==(const ButtonStates&, const ButtonStates&) = default;
};
// `treeFoodStatus` is the FoodStatusFlags of the tree's selected food in the day, nullopt when
// the tree's selection is no food. A food already on the day without a meal is not added twice:
// the person is to give the first one its meal first.
ButtonStates ButtonsFor(int rows, const std::vector<int>& selectedRows, std::optional<unsigned> treeFoodStatus);

// The foods to compare, each once: those of the selected rows, in list order, then the tree's food.
std::vector<FoodKey> ComparisonKeys(const std::vector<UserLog::CDayFood>& entries, std::vector<int> selectedRows,
                                    std::optional<FoodKey> treeFood);

}  // namespace DayFoodList
