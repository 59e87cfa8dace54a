#include "RecentFoods.h"

#include "DayFoodList.h"

#include "model/UserLog.h"

#include <algorithm>
#include <map>

namespace RecentFoods {

namespace {

struct Seen {
    int times = 0;
    std::optional<LastAmount> last;
};

LastAmount AmountOfEntry(const UserLog::CDayFood& entry) {
    LastAmount last;
    const std::size_t units = entry.food ? entry.food->Units().size() : 0;
    last.unitIndex = entry.unitIndex >= 0 && std::size_t(entry.unitIndex) < units ? entry.unitIndex : 0;
    last.grams = entry.weight;
    last.amount = DayFoodList::AmountOf(entry);
    last.unitName = DayFoodList::ShownUnitName(entry);
    return last;
}

}  // namespace

std::vector<Item> Build(const NS_Data::CUserLog& log, Limits limits) {
    std::map<FoodKey, Seen> seen;
    std::vector<FoodKey> byRecency;
    const auto& days = log.Days();
    for (auto day = days.rbegin(); day != days.rend(); ++day)
        for (auto entry = (*day)->foods.rbegin(); entry != (*day)->foods.rend(); ++entry) {
            const FoodKey key = entry->GetFoodKey();
            auto [at, first] = seen.try_emplace(key);
            if (first) byRecency.push_back(key);
            ++at->second.times;
            // An entry of 0 g was added and never weighed: it says nothing of a serving.
            if (!at->second.last && entry->weight > 0) at->second.last = AmountOfEntry(*entry);
        }

    std::vector<Item> items;
    std::vector<FoodKey> shown;
    auto add = [&](Section section, const FoodKey& key) {
        const CDS_Ingredient* food = log.FindFood(key);
        if (!food) return;
        Item item;
        item.section = section;
        item.key = key;
        item.food = food;
        item.favourite = log.IsFavourite(key);
        if (auto found = seen.find(key); found != seen.end()) {
            item.timesLogged = found->second.times;
            item.last = found->second.last;
        }
        items.push_back(std::move(item));
        shown.push_back(key);
    };
    auto isShown = [&](const FoodKey& key) { return std::find(shown.begin(), shown.end(), key) != shown.end(); };

    for (const FoodKey& key : log.Favourites()) add(Section::Favourites, key);
    std::size_t looked = 0;
    for (const FoodKey& key : byRecency) {
        if (looked == limits.recent) break;
        if (!log.FindFood(key)) continue;
        ++looked;
        if (!isShown(key)) add(Section::Recent, key);
    }

    std::vector<FoodKey> often;
    for (const FoodKey& key : byRecency)
        if (seen[key].times >= 2 && !isShown(key)) often.push_back(key);
    std::stable_sort(often.begin(), often.end(),
                     [&](const FoodKey& a, const FoodKey& b) { return seen[a].times > seen[b].times; });
    for (std::size_t i = 0, taken = 0; i < often.size() && taken < limits.frequent; ++i) {
        const std::size_t before = items.size();
        add(Section::Frequent, often[i]);
        taken += items.size() - before;
    }
    return items;
}

}  // namespace RecentFoods
