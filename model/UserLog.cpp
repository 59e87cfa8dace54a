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
#include <set>

using UserLog::CDayFood;
using UserLog::CLogDay;
using UserLog::CNutrientRequirement;

namespace NS_Data {

namespace {

// Copies of the foods the days use from tables other than the data source (the user's own foods,
// further tables), so that the profile opens as before where such a food is gone.
constexpr const char* kFoodCopies = "FoodCopies";
// The starred foods: "Food" children with "source" and "key".
constexpr const char* kFavouriteFoods = "FavouriteFoods";

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
    : meals_(mealList), dataSource_(source) {
    currentDay_ = days_[static_cast<std::size_t>(InsertDay(TodayKey()))];
}

int CUserLog::FindDay(const std::string& dateKey) const {
    for (int i = static_cast<int>(days_.size()) - 1; i >= 0; --i) {
        const std::string& key = days_[static_cast<std::size_t>(i)]->date;
        if (key == dateKey) return i;
        if (key < dateKey) return -1;
    }
    return -1;
}

int CUserLog::InsertDay(const std::string& dateKey) {
    int i = static_cast<int>(days_.size()) - 1;
    while (i >= 0 && days_[static_cast<std::size_t>(i)]->date > dateKey) --i;
    if (i >= 0 && days_[static_cast<std::size_t>(i)]->date == dateKey) return i;
    days_.insert(days_.begin() + (i + 1), std::make_shared<CLogDay>(dateKey));
    return i + 1;
}

bool CUserLog::SelectDay(const std::string& dateKey) {
    int index = FindDay(dateKey);
    const bool created = index < 0;
    if (created) index = InsertDay(dateKey);
    currentDay_ = days_[static_cast<std::size_t>(index)];
    personal_.date = dateKey;
    return created;
}

bool CUserLog::AddFood(double weight, int unitIndex, const std::string& meal, const CDS_Ingredient& food) {
    auto& cached = foodCache_[food.GetFoodKey()];
    if (!cached) cached = std::make_shared<CDS_Ingredient>(food);
    CDayFood* entry = currentDay_->AddFood(cached, -1);
    entry->meal = meal;
    entry->weight = weight;
    entry->unitIndex = unitIndex;
    return true;
}

std::shared_ptr<CDS_Ingredient> CUserLog::CachedFood(const FoodKey& key, bool& madePlaceholder,
                                                     const std::string& name) {
    auto it = foodCache_.find(key);
    if (it != foodCache_.end()) return it->second;
    std::shared_ptr<CDS_Ingredient> food;
    if (const CDS_Ingredient* found = dataSource_ ? dataSource_->FindFood(key) : nullptr) {
        food = std::make_shared<CDS_Ingredient>(*found);
    } else if (auto copy = foodCopies_.find(key); copy != foodCopies_.end()) {
        food = std::make_shared<CDS_Ingredient>(copy->second);
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
    foodCache_.emplace(key, food);
    return food;
}

void CUserLog::RefreshFoods() {
    if (!dataSource_) return;
    for (auto& [key, food] : foodCache_) {
        const CDS_Ingredient* current = dataSource_->FindFood(key);
        if (current && !food->IsPlaceholder()) *food = *current;
    }
}

bool CUserLog::ResolveFoods() {
    bool madePlaceholder = false;
    for (CDayFood& entry : currentDay_->foods) {
        entry.food = CachedFood(entry.GetFoodKey(), madePlaceholder, entry.name);
        entry.ResolveUnit();
    }
    return !madePlaceholder;
}

int CUserLog::FindRequirement(int gid) const {
    for (std::size_t i = 0; i < requirements_.size(); ++i)
        if (requirements_[i].gid == gid) return static_cast<int>(i);
    return -1;
}

bool CUserLog::AddRequirement(int gid, double min, double max) {
    if (!dataSource_) return false;
    const auto& nutrients = dataSource_->Nutrients();
    const auto found =
        std::find_if(nutrients.begin(), nutrients.end(), [gid](const CDS_Nutrition& n) { return n.gid == gid; });
    if (found == nutrients.end()) return false;
    requirements_.emplace_back(gid, min, max);
    // Outside the standard table the data source is the only one that can name the nutrient.
    if (requirements_.back().name.empty()) {
        requirements_.back().name = found->name;
        requirements_.back().units = found->units;
    }
    return true;
}

bool CUserLog::RemoveRequirement(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= requirements_.size()) return false;
    requirements_.erase(requirements_.begin() + index);
    return true;
}

bool CUserLog::MoveRequirement(int from, int to) {
    const int count = static_cast<int>(requirements_.size());
    if (from < 0 || from >= count || to < 0 || to >= count) return false;
    auto moved = requirements_.begin() + from;
    if (from < to)
        std::rotate(moved, moved + 1, requirements_.begin() + to + 1);
    else
        std::rotate(requirements_.begin() + to, moved, moved + 1);
    return true;
}

bool CUserLog::GetEffectiveRequirements(std::vector<CNutrientRequirement>& out) const {
    out = EffectiveRequirementsOf(*currentDay_);
    return !currentDay_->requirements.empty();
}

std::vector<CNutrientRequirement> CUserLog::EffectiveRequirementsOf(const UserLog::CLogDay& day) const {
    std::vector<CNutrientRequirement> out = requirements_;
    for (const CNutrientRequirement& own : day.requirements) {
        const int i = FindRequirement(own.gid);
        if (i >= 0) out[static_cast<std::size_t>(i)] = own;
    }
    return out;
}

CNutrientRequirement* CUserLog::EffectiveRequirement(int gid) {
    const int index = FindRequirement(gid);
    if (index < 0) return nullptr;
    auto& own = currentDay_->requirements;
    const auto last =
        std::find_if(own.rbegin(), own.rend(), [gid](const CNutrientRequirement& r) { return r.gid == gid; });
    return last != own.rend() ? &*last : &requirements_[static_cast<std::size_t>(index)];
}

void CUserLog::SyncRequirements(const std::vector<int>& gids) {
    std::vector<CNutrientRequirement> kept;
    std::vector<CNutrientRequirement> added;
    for (int gid : gids) {
        const int i = FindRequirement(gid);
        if (i >= 0)
            kept.push_back(requirements_[static_cast<std::size_t>(i)]);
        else
            added.emplace_back(gid, -1, -1);
    }
    kept.insert(kept.end(), added.begin(), added.end());
    requirements_ = std::move(kept);
}

double CUserLog::GetIntake(int gid) const { return DayIntake(*currentDay_, gid); }

double CUserLog::DayIntake(const UserLog::CLogDay& day, int gid) const {
    double sum = 0;
    for (const CDayFood& entry : day.foods)
        if (entry.food) sum += entry.weight * entry.food->NutrientValue(gid);
    return Nutrient::RoundShown(gid, sum / 100, dataSource_);
}

void CUserLog::ConvertWeightUnits(bool toKilograms) {
    const char* target = toKilograms ? "kg" : "lb";
    UserLog::CFactReference weight = facts_.GetBuiltIn(UserLog::CFactManager::kWeight);
    if (weight.units == target) return;
    weight.units = target;
    if (UserLog::IsDefined(weight.value)) weight.value = ConvertWeight(weight.value, toKilograms);
    facts_.AddOrUpdate(weight);
    for (const auto& day : days_) {
        UserLog::CFact* fact = day->FindFact(weight.name);
        if (fact && UserLog::IsDefined(fact->value)) fact->value = ConvertWeight(fact->value, toKilograms);
    }
}

EnergyInputs CUserLog::GetEnergyInputs() const { return GetEnergyInputs(*currentDay_); }

EnergyInputs CUserLog::GetEnergyInputs(const UserLog::CLogDay& day) const {
    EnergyInputs inputs;
    const auto valueOf = [this, &day](int builtIn) {
        const UserLog::CFact* fact = day.FindFact(facts_.GetBuiltIn(builtIn).name);
        return fact && UserLog::IsDefined(fact->value) ? fact->value : 0.0;
    };
    // The fact is kept in its definition's units, which need not be the person's.
    inputs.weight = valueOf(UserLog::CFactManager::kWeight);
    const std::string units = LowerCase(facts_.GetBuiltIn(UserLog::CFactManager::kWeight).units);
    if (inputs.weight != 0 && personal_.unitsKg && (units == "lb" || units == "lbs"))
        inputs.weight = PoundsToKg(inputs.weight);
    else if (inputs.weight != 0 && !personal_.unitsKg && units == "kg")
        inputs.weight = KgToPounds(inputs.weight);
    inputs.extraEnergy = valueOf(UserLog::CFactManager::kExtraEnergy);
    inputs.personal = &personal_;
    inputs.date = day.date;
    return inputs;
}

double CUserLog::DayEnergyRequirement(const UserLog::CLogDay& day) const {
    std::string unused;
    const double kcal = personal_.EnergyRequirement(GetEnergyInputs(day), unused);
    return kcal > 0 && std::isfinite(kcal) ? std::round(kcal) : 0;
}

std::set<FoodKey> CUserLog::LoggedFoods() const {
    std::set<FoodKey> keys;
    for (const auto& day : days_)
        for (const CDayFood& entry : day->foods) keys.insert(entry.GetFoodKey());
    return keys;
}

const CDS_Ingredient* CUserLog::FindFood(const FoodKey& key) const {
    if (const CDS_Ingredient* food = dataSource_ ? dataSource_->FindFood(key) : nullptr) return food;
    if (auto cached = foodCache_.find(key); cached != foodCache_.end() && !cached->second->IsPlaceholder())
        return cached->second.get();
    if (auto copy = foodCopies_.find(key); copy != foodCopies_.end()) return &copy->second;
    return nullptr;
}

bool CUserLog::IsFavourite(const FoodKey& key) const {
    return std::find(favourites_.begin(), favourites_.end(), key) != favourites_.end();
}

bool CUserLog::SetFavourite(const FoodKey& key, bool favourite) {
    const auto at = std::find(favourites_.begin(), favourites_.end(), key);
    if ((at != favourites_.end()) == favourite) return false;
    if (favourite)
        favourites_.push_back(key);
    else
        favourites_.erase(at);
    return true;
}

void CUserLog::RemoveFactFromDays(const std::string& name, bool allDays) {
    if (!allDays) {
        currentDay_->RemoveFact(name);
        return;
    }
    for (const auto& day : days_) day->RemoveFact(name);
}

void CUserLog::Save(const Xml::XmlElement& parent) const { SaveProfile(parent, true); }

void CUserLog::SaveWithoutDays(const Xml::XmlElement& parent) const { SaveProfile(parent, false); }

void CUserLog::SaveProfile(const Xml::XmlElement& parent, bool withDays) const {
    Xml::XmlElement profile = parent.AddElement("Profile");
    profile.SetAttribute("version", 1);
    personal_.Save(profile);
    facts_.Save(profile);
    Xml::XmlElement energy = profile.AddElement("Energy");
    energyComposition_.Save(energy);
    unknown_.energy.Restore(energy);
    Xml::XmlElement nutrients = profile.AddElement("Nutrients");
    for (const CNutrientRequirement& r : requirements_) r.Save(nutrients);
    unknown_.nutrientList.Restore(nutrients);
    if (meals_) meals_->Save(profile);
    SaveFoodCopies(profile);
    SaveFavourites(profile);
    Xml::XmlElement log = profile.AddElement("Log");
    // Before the days: the profile writer streams the days in after everything else in "Log".
    unknown_.log.Restore(log);
    if (withDays)
        for (const auto& day : days_)
            if (!day->IsEmpty()) day->Save(log);
    unknown_.profile.Restore(profile);
}

void CUserLog::SaveFoodCopies(const Xml::XmlElement& profile) const {
    const int primary = dataSource_ ? dataSource_->SourceId() : -1;
    std::set<FoodKey> used;
    for (const auto& day : days_)
        for (const CDayFood& entry : day->foods)
            if (entry.GetFoodKey().source != primary) used.insert(entry.GetFoodKey());
    // A starred food of your own stays in the list after it is deleted or its table dropped.
    for (const FoodKey& key : favourites_)
        if (key.source != primary) used.insert(key);
    Xml::XmlElement copies;
    for (const FoodKey& key : used) {
        const CDS_Ingredient* food = dataSource_ ? dataSource_->FindFood(key) : nullptr;
        if (!food)
            if (auto cached = foodCache_.find(key); cached != foodCache_.end() && !cached->second->IsPlaceholder())
                food = cached->second.get();
        if (!food)
            if (auto copy = foodCopies_.find(key); copy != foodCopies_.end()) food = &copy->second;
        if (!food) continue;
        if (!copies) copies = profile.AddElement(kFoodCopies);
        food->Save(copies);
    }
}

void CUserLog::SaveFavourites(const Xml::XmlElement& profile) const {
    if (favourites_.empty()) return;
    Xml::XmlElement list = profile.AddElement(kFavouriteFoods);
    for (const FoodKey& key : favourites_) {
        Xml::XmlElement food = list.AddElement("Food");
        food.SetAttribute("source", key.source);
        food.SetAttribute("key", key.key);
    }
}

void CUserLog::LoadFavourites(const Xml::XmlElement& profile) {
    favourites_.clear();
    for (const Xml::XmlElement& list : profile.ChildElements(kFavouriteFoods))
        for (const Xml::XmlElement& e : list.ChildElements("Food")) {
            try {
                SetFavourite(FoodKey(e.GetAttribute("key").AsInt(), e.GetAttribute("source").AsInt()), true);
            } catch (const Xml::XmlError&) {
                LoadReport::AddUnique("Unreadable favourite food", e.GetAttribute("source", "").AsString() + ":" +
                                                                       e.GetAttribute("key", "").AsString());
            }
        }
}

std::shared_ptr<CLogDay> CUserLog::AddReadDay(std::shared_ptr<CLogDay> day) {
    int i = static_cast<int>(days_.size()) - 1;
    while (i >= 0 && days_[static_cast<std::size_t>(i)]->date > day->date) --i;
    if (i < 0 || days_[static_cast<std::size_t>(i)]->date != day->date) {
        days_.insert(days_.begin() + (i + 1), day);
        return day;
    }
    CLogDay& first = *days_[static_cast<std::size_t>(i)];
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
    return days_[static_cast<std::size_t>(i)];
}

void CUserLog::DaysReadAhead::Take(const Xml::XmlElement& log, const Xml::XmlElement& day) {
    std::vector<Day>& days = logs_[log.Raw()];
    // Nothing after an error is read; the element is still taken, so the tree stays small.
    if (failed_) return;
    auto read = std::make_shared<CLogDay>();
    try {
        read->Load(day);
        days.push_back({std::move(read), nullptr});
    } catch (...) {
        failed_ = true;
        days.push_back({nullptr, std::current_exception()});
    }
}

std::vector<CUserLog::DaysReadAhead::Day>* CUserLog::DaysReadAhead::Of(const Xml::XmlElement& log) {
    const auto found = logs_.find(log.Raw());
    return found == logs_.end() ? nullptr : &found->second;
}

void CUserLog::Load(const Xml::XmlElement& element) { Load(element, nullptr); }

void CUserLog::Load(const Xml::XmlElement& element, DaysReadAhead* readAhead) {
    unknown_ = {};
    unknown_.profile.Capture(
        element, {"version"},
        {"Personal", "FactManager", "Energy", "Nutrients", "Meals", kFoodCopies, kFavouriteFoods, "Log"});
    if (Xml::XmlElement energy = element.ChildElement("Energy"))
        unknown_.energy.Capture(energy, {}, {"EnergyComposition"});
    personal_.Load(element.ChildElement("Personal"));
    if (Xml::XmlElement factManager = element.ChildElement("FactManager")) facts_.Load(factManager);
    energyComposition_.Load(element.SelectSingleNode("Energy/EnergyComposition"));

    // Without any nutrient list (no data source could be loaded) nothing can be checked, and
    // dropping the profile's requirements would lose them at the next save.
    const bool canCheck = dataSource_ && !dataSource_->Nutrients().empty();
    requirements_.clear();
    for (const Xml::XmlElement& list : element.ChildElements("Nutrients")) {
        unknown_.nutrientList.Capture(list, {}, {"NutrientRequirement"});
        for (const Xml::XmlElement& e : list.ChildElements("NutrientRequirement")) {
            CNutrientRequirement read;
            read.Load(e);
            const std::string note = read.name + " : " + read.units;
            const std::size_t before = requirements_.size();
            if (!Nutrient::StandardNutrientByGid(read.gid)) {
                // A nutrient of the data source that has no standard entry (most USDA nutrients)
                // is as followable as any other; dropping it would lose it at the next save.
                if (!canCheck || !AddRequirement(read.gid, read.min, read.max))
                    LoadReport::AddUnique("Unknown nutrient", note);
            } else if (!canCheck) {
                requirements_.emplace_back(read.gid, read.min, read.max);
            } else if (!AddRequirement(read.gid, read.min, read.max)) {
                LoadReport::AddUnique("Removed nutrient", note);
            }
            if (requirements_.size() > before) requirements_.back().unknown = read.unknown;
        }
    }

    foodCopies_.clear();
    for (const Xml::XmlElement& copies : element.ChildElements(kFoodCopies)) {
        for (const Xml::XmlElement& e : copies.ChildElements("Food")) {
            CDS_Ingredient food;
            try {
                food.Load(e);
            } catch (const Xml::XmlError&) {
                LoadReport::AddUnique("Unreadable food copy", e.GetAttribute("Name", "").AsString());
                continue;
            }
            foodCopies_.insert_or_assign(food.GetFoodKey(), std::move(food));
        }
    }

    LoadFavourites(element);

    days_.clear();
    currentDay_.reset();
    for (const Xml::XmlElement& log : element.ChildElements("Log")) {
        unknown_.log.Capture(log, {}, {"LogDay"});
        if (std::vector<DaysReadAhead::Day>* ahead = readAhead ? readAhead->Of(log) : nullptr) {
            for (DaysReadAhead::Day& read : *ahead) {
                if (read.error) std::rethrow_exception(read.error);
                currentDay_ = AddReadDay(std::move(read.day));
                ResolveFoods();
            }
            continue;
        }
        for (const Xml::XmlElement& e : log.ChildElements("LogDay")) {
            auto day = std::make_shared<CLogDay>();
            day->Load(e);
            currentDay_ = AddReadDay(std::move(day));
            ResolveFoods();
        }
    }
    if (!currentDay_) SelectDay(TodayKey());
}

}  // namespace NS_Data
