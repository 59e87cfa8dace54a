#pragma once

#include <string>
#include <vector>

class CDataSourceMgr;
namespace Meal {
class CMealManager;
}

namespace UserLog {

class CLogDay;

// What the entries of one meal of a day add up to.
struct MealSubtotal {
    std::string meal;  // empty for the entries of no meal
    int entries = 0;
    double energy = 0;  // kcal: the data source's energy, as the day's Energy row adds it up
    double protein = 0;
    double fat = 0;
    double carbohydrate = 0;

    friend bool operator==(const MealSubtotal&, const MealSubtotal&) = default;
};

// One subtotal for each meal the day's entries name: the meal list's meals in its order, then
// names the list doesn't know (entries from other files) in the order they first occur, then the
// entries of no meal. Each value is rounded as the day's intake of that nutrient is, so a meal
// of the only foods of the day shows the day's figures.
std::vector<MealSubtotal> MealSubtotals(const CLogDay& day, const Meal::CMealManager* meals,
                                        const CDataSourceMgr* source);

}  // namespace UserLog
