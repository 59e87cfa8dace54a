#include "MealSubtotals.h"

#include "LogDay.h"
#include "Meal.h"
#include "Targets.h"

#include "refdata/Ingredient.h"
#include "refdata/NutrientLabel.h"

#include <algorithm>
#include <array>
#include <limits>

namespace UserLog {

namespace {

struct Sums {
    std::string meal;
    int order = 0;
    int entries = 0;
    std::array<double, 4> grams{};  // value × weight, divided by 100 at the end
};

constexpr std::array<int, 4> kGids = {Targets::kEnergyGid, EnergyComponents::kGid[0], EnergyComponents::kGid[1],
                                      EnergyComponents::kGid[2]};

// Where a meal's subtotal goes: the list's named meals first, then unknown names, then no meal.
int OrderOf(const std::string& meal, const Meal::CMealManager* meals, int firstSeen) {
    constexpr int kUnknown = 1 << 20;
    if (meal.empty()) return std::numeric_limits<int>::max();
    if (meals)
        for (int i = 0; i < meals->MealCount(); ++i)
            if (meals->MealAt(i).Name() == meal) return i;
    return kUnknown + firstSeen;
}

}  // namespace

std::vector<MealSubtotal> MealSubtotals(const CLogDay& day, const Meal::CMealManager* meals,
                                        const CDataSourceMgr* source) {
    std::vector<Sums> sums;
    for (const CDayFood& entry : day.foods) {
        auto it = std::find_if(sums.begin(), sums.end(), [&entry](const Sums& s) { return s.meal == entry.meal; });
        if (it == sums.end()) {
            sums.push_back({entry.meal, OrderOf(entry.meal, meals, static_cast<int>(sums.size())), 0, {}});
            it = sums.end() - 1;
        }
        ++it->entries;
        if (!entry.food) continue;
        for (std::size_t n = 0; n < kGids.size(); ++n)
            it->grams[n] += entry.weight * entry.food->NutrientValue(kGids[n]);
    }
    std::stable_sort(sums.begin(), sums.end(), [](const Sums& a, const Sums& b) { return a.order < b.order; });

    std::vector<MealSubtotal> out;
    out.reserve(sums.size());
    for (const Sums& s : sums) {
        auto value = [&s, source](std::size_t n) { return Nutrient::RoundShown(kGids[n], s.grams[n] / 100, source); };
        out.push_back({s.meal, s.entries, value(0), value(1), value(2), value(3)});
    }
    return out;
}

}  // namespace UserLog
