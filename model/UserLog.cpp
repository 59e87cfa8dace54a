#include "UserLog.h"

#include "Meal.h"

#include "core/LoadReport.h"
#include "core/Services.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/NutrientCatalogue.h"
#include "refdata/NutrientLabel.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>

using UserLog::CDayFood;
using UserLog::CLogDay;
using UserLog::CNutrientRequirement;

namespace NS_Data {

namespace {

std::string TodayKey() { return boost::gregorian::to_iso_string(Services::Today()); }

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Body weight conversion of facts: factor 2.2, one decimal.
double ConvertWeight(double v, bool toKilograms) {
    return toKilograms ? std::floor(v / 2.2 * 10 + 0.5) / 10 : std::floor(v * 2.2 * 10 + 0.5) / 10;
}

}  // namespace

CUserLog::CUserLog(const Meal::CMealManager* mealList, const CDataSourceMgr* source)
    : meals(mealList), dataSource(source) {
    currentDay = days[static_cast<std::size_t>(InsertDay(TodayKey()))];
}

int CUserLog::FindDay(const std::string& dateKey) const {
    for (int i = static_cast<int>(days.size()) - 1; i >= 0; --i) {
        const std::string& key = days[static_cast<std::size_t>(i)]->date;
        if (key == dateKey) return i;
        if (key < dateKey) return -1;
    }
    return -1;
}

int CUserLog::InsertDay(const std::string& dateKey) {
    int i = static_cast<int>(days.size()) - 1;
    while (i >= 0 && days[static_cast<std::size_t>(i)]->date > dateKey) --i;
    if (i >= 0 && days[static_cast<std::size_t>(i)]->date == dateKey) return i;
    days.insert(days.begin() + (i + 1), std::make_shared<CLogDay>(dateKey));
    return i + 1;
}

bool CUserLog::SelectDay(const std::string& dateKey) {
    int index = FindDay(dateKey);
    const bool created = index < 0;
    if (created) index = InsertDay(dateKey);
    currentDay = days[static_cast<std::size_t>(index)];
    personal.date = dateKey;
    return created;
}

bool CUserLog::AddFood(double weight, int unitIndex, const std::string& meal, const CDS_Ingredient& food) {
    auto& cached = foodCache[food.GetFoodKey()];
    if (!cached) cached = std::make_shared<CDS_Ingredient>(food);
    CDayFood* entry = currentDay->AddFood(cached, -1);
    entry->meal = meal;
    entry->weight = weight;
    entry->unitIndex = unitIndex;
    return true;
}

std::shared_ptr<CDS_Ingredient> CUserLog::CachedFood(const FoodKey& key, bool& madePlaceholder,
                                                     const std::string& name) {
    auto it = foodCache.find(key);
    if (it != foodCache.end()) return it->second;
    std::shared_ptr<CDS_Ingredient> food;
    if (const CDS_Ingredient* found = dataSource ? dataSource->FindFood(key) : nullptr) {
        food = std::make_shared<CDS_Ingredient>(*found);
    } else {
        food = std::make_shared<CDS_Ingredient>();
        food->SetFoodKey(key);
        food->SetName(name);
        food->MarkPlaceholder();
        LoadReport::AddUnique("Unknown food reference",
                              !name.empty() ? name
                                            : "key " + std::to_string(static_cast<unsigned>(key.source)) + ":" +
                                                  std::to_string(static_cast<unsigned>(key.key)));
        madePlaceholder = true;
    }
    foodCache.emplace(key, food);
    return food;
}

bool CUserLog::ResolveFoods() {
    bool madePlaceholder = false;
    for (CDayFood& entry : currentDay->foods) {
        entry.food = CachedFood(entry.GetFoodKey(), madePlaceholder, entry.name);
        entry.ResolveUnit();
    }
    return !madePlaceholder;
}

int CUserLog::FindRequirement(int gid) const {
    for (std::size_t i = 0; i < requirements.size(); ++i)
        if (requirements[i].gid == gid) return static_cast<int>(i);
    return -1;
}

bool CUserLog::AddRequirement(int gid, double min, double max) {
    if (!dataSource) return false;
    const auto& nutrients = dataSource->Nutrients();
    const auto found =
        std::find_if(nutrients.begin(), nutrients.end(), [gid](const CDS_Nutrition& n) { return n.gid == gid; });
    if (found == nutrients.end()) return false;
    requirements.emplace_back(gid, min, max);
    // Outside the standard table the data source is the only one that can name the nutrient.
    if (requirements.back().name.empty()) {
        requirements.back().name = found->name;
        requirements.back().units = found->units;
    }
    return true;
}

bool CUserLog::RemoveRequirement(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= requirements.size()) return false;
    requirements.erase(requirements.begin() + index);
    return true;
}

bool CUserLog::GetEffectiveRequirements(std::vector<CNutrientRequirement>& out) const {
    out = requirements;
    for (const CNutrientRequirement& own : currentDay->requirements) {
        const int i = FindRequirement(own.gid);
        if (i >= 0) out[static_cast<std::size_t>(i)] = own;
    }
    return !currentDay->requirements.empty();
}

CNutrientRequirement* CUserLog::EffectiveRequirement(int gid) {
    const int index = FindRequirement(gid);
    if (index < 0) return nullptr;
    auto& own = currentDay->requirements;
    const auto last = std::find_if(own.rbegin(), own.rend(), [gid](const CNutrientRequirement& r) { return r.gid == gid; });
    return last != own.rend() ? &*last : &requirements[static_cast<std::size_t>(index)];
}

void CUserLog::SyncRequirements(const std::vector<int>& gids) {
    std::vector<CNutrientRequirement> kept;
    std::vector<CNutrientRequirement> added;
    for (int gid : gids) {
        const int i = FindRequirement(gid);
        if (i >= 0)
            kept.push_back(requirements[static_cast<std::size_t>(i)]);
        else
            added.emplace_back(gid, -1, -1);
    }
    kept.insert(kept.end(), added.begin(), added.end());
    requirements = std::move(kept);
}

double CUserLog::GetIntake(int gid) const {
    double sum = 0;
    for (const CDayFood& entry : currentDay->foods)
        if (entry.food) sum += entry.weight * entry.food->NutrientValue(gid);
    return Nutrient::RoundShown(gid, sum / 100, dataSource);
}

void CUserLog::ConvertWeightUnits(bool toKilograms) {
    const char* target = toKilograms ? "kg" : "lb";
    UserLog::CFactReference weight = facts.GetBuiltIn(UserLog::CFactManager::kWeight);
    if (weight.units == target) return;
    weight.units = target;
    if (UserLog::IsDefined(weight.value)) weight.value = ConvertWeight(weight.value, toKilograms);
    facts.AddOrUpdate(weight);
    for (const auto& day : days) {
        UserLog::CFact* fact = day->FindFact(weight.name);
        if (fact && UserLog::IsDefined(fact->value)) fact->value = ConvertWeight(fact->value, toKilograms);
    }
}

EnergyInputs CUserLog::GetEnergyInputs() const {
    EnergyInputs inputs;
    const auto valueOf = [this](int builtIn) {
        const UserLog::CFact* fact = currentDay->FindFact(facts.GetBuiltIn(builtIn).name);
        return fact && UserLog::IsDefined(fact->value) ? fact->value : 0.0;
    };
    // The fact is kept in its definition's units, which need not be the person's.
    inputs.weight = valueOf(UserLog::CFactManager::kWeight);
    const std::string units = LowerCase(facts.GetBuiltIn(UserLog::CFactManager::kWeight).units);
    if (inputs.weight != 0 && personal.unitsKg && (units == "lb" || units == "lbs"))
        inputs.weight = PoundsToKg(inputs.weight);
    else if (inputs.weight != 0 && !personal.unitsKg && units == "kg")
        inputs.weight = KgToPounds(inputs.weight);
    inputs.extraEnergy = valueOf(UserLog::CFactManager::kExtraEnergy);
    inputs.personal = &personal;
    inputs.date = currentDay->date;
    return inputs;
}

void CUserLog::RemoveFactFromDays(const std::string& name, bool allDays) {
    if (!allDays) {
        currentDay->RemoveFact(name);
        return;
    }
    for (const auto& day : days) day->RemoveFact(name);
}

void CUserLog::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement profile = parent.AddElement("Profile");
    profile.SetAttribute("version", 1);
    personal.Save(profile);
    facts.Save(profile);
    Xml::XmlElement energy = profile.AddElement("Energy");
    energyComposition.Save(energy);
    unknown.energy.Restore(energy);
    Xml::XmlElement nutrients = profile.AddElement("Nutrients");
    for (const CNutrientRequirement& r : requirements) r.Save(nutrients);
    unknown.nutrientList.Restore(nutrients);
    if (meals) meals->Save(profile);
    Xml::XmlElement log = profile.AddElement("Log");
    // Before the days: the profile writer streams the days in after everything else in "Log".
    unknown.log.Restore(log);
    for (const auto& day : days)
        if (!day->IsEmpty()) day->Save(log);
    unknown.profile.Restore(profile);
}

std::shared_ptr<CLogDay> CUserLog::AddReadDay(std::shared_ptr<CLogDay> day) {
    int i = static_cast<int>(days.size()) - 1;
    while (i >= 0 && days[static_cast<std::size_t>(i)]->date > day->date) --i;
    if (i < 0 || days[static_cast<std::size_t>(i)]->date != day->date) {
        days.insert(days.begin() + (i + 1), day);
        return day;
    }
    CLogDay& first = *days[static_cast<std::size_t>(i)];
    for (CDayFood& entry : day->foods) first.foods.push_back(std::move(entry));
    for (const UserLog::CFact& fact : day->facts.Items()) first.SetFact(fact.name, fact.value);
    for (const CNutrientRequirement& r : day->requirements) {
        auto same = std::find_if(first.requirements.begin(), first.requirements.end(),
                                 [&r](const CNutrientRequirement& x) { return x.gid == r.gid; });
        if (same != first.requirements.end())
            *same = r;
        else
            first.requirements.push_back(r);
    }
    if (day->energyComposition) first.energyComposition = std::move(day->energyComposition);
    return days[static_cast<std::size_t>(i)];
}

void CUserLog::Load(const Xml::XmlElement& element) {
    unknown = {};
    unknown.profile.Capture(element, {"version"}, {"Personal", "FactManager", "Energy", "Nutrients", "Meals", "Log"});
    if (Xml::XmlElement energy = element.ChildElement("Energy")) unknown.energy.Capture(energy, {}, {"EnergyComposition"});
    personal.Load(element.ChildElement("Personal"));
    if (Xml::XmlElement factManager = element.ChildElement("FactManager")) facts.Load(factManager);
    energyComposition.Load(element.SelectSingleNode("Energy/EnergyComposition"));

    // Without any nutrient list (no data source could be loaded) nothing can be checked, and
    // dropping the profile's requirements would lose them at the next save.
    const bool canCheck = dataSource && !dataSource->Nutrients().empty();
    requirements.clear();
    for (const Xml::XmlElement& list : element.ChildElements("Nutrients")) {
        unknown.nutrientList.Capture(list, {}, {"NutrientRequirement"});
        for (const Xml::XmlElement& e : list.ChildElements("NutrientRequirement")) {
            CNutrientRequirement read;
            read.Load(e);
            const std::string note = read.name + " : " + read.units;
            const std::size_t before = requirements.size();
            if (!Nutrient::StandardNutrientByGid(read.gid)) {
                // A nutrient of the data source that has no standard entry (most USDA nutrients)
                // is as followable as any other; dropping it would lose it at the next save.
                if (!canCheck || !AddRequirement(read.gid, read.min, read.max))
                    LoadReport::AddUnique("Unknown nutrient", note);
            } else if (!canCheck) {
                requirements.emplace_back(read.gid, read.min, read.max);
            } else if (!AddRequirement(read.gid, read.min, read.max)) {
                LoadReport::AddUnique("Removed nutrient", note);
            }
            if (requirements.size() > before) requirements.back().unknown = read.unknown;
        }
    }

    days.clear();
    currentDay.reset();
    for (const Xml::XmlElement& log : element.ChildElements("Log")) {
        unknown.log.Capture(log, {}, {"LogDay"});
        for (const Xml::XmlElement& e : log.ChildElements("LogDay")) {
            auto day = std::make_shared<CLogDay>();
            day->Load(e);
            currentDay = AddReadDay(std::move(day));
            ResolveFoods();
        }
    }
    if (!currentDay) SelectDay(TodayKey());
}

}  // namespace NS_Data
