#pragma once

#include "EnergyComposition.h"
#include "FactManager.h"
#include "LogDay.h"
#include "NutrientRequirement.h"
#include "PersonalData.h"
#include "TargetOptions.h"

#include "core/xml/JsonSerialize.h"
#include "core/xml/XmlReport.h"
#include "core/xml/XmlSerialize.h"
#include "refdata/FoodKey.h"

#include <exception>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class CDataSourceMgr;
class CDS_Ingredient;
namespace Meal {
class CMealManager;
}

namespace NS_Data {

// The model of one profile: the person, the profile's energy composition, the followed
// nutrients with their limits, the fact definitions, and the dated log of days. Foods are kept
// as private copies, one per FoodKey, so a profile stays readable when the data source changes.
class CUserLog : public IXMLSerialize, public IJSONSerialize, public IXMLReport {
public:
    // The placeholders of the pages that the log answers.
    static constexpr const char* kJsonLog = "%JSON_USERLOG_LOG%";
    static constexpr const char* kJsonDay = "%JSON_USERLOG_DAY%";
    static constexpr const char* kJsonMeasures = "%JSON_MEASURES%";

    // Holds one empty day: today's, which is current.
    CUserLog(const Meal::CMealManager* mealList, const CDataSourceMgr* source);

    // "Profile" (version 1) with the personal data, facts, "Energy", "Nutrients", "Meals" and a
    // "Log" of the non-empty days.
    void Save(const Xml::XmlElement& parent) const override;
    // The same without the days: the profile writer streams them in after the rest of "Log".
    void SaveWithoutDays(const Xml::XmlElement& parent) const;
    // Reads a "Profile" element. What had to be dropped is noted in the load report.
    void Load(const Xml::XmlElement& element) override;

    // The days of a profile read while its file is parsed, before the rest of it: per "Log"
    // element, its "LogDay" elements in the order of the file, each read or with the error its
    // reading raised. A long log is then never held whole as a tree.
    class DaysReadAhead {
    public:
        // Reads one day of the "Log" element `log`. An error is kept, and raised by Load when it
        // comes to that day, as if the day were read there; the days after it are dropped unread.
        void Take(const Xml::XmlElement& log, const Xml::XmlElement& day);

    private:
        friend class CUserLog;
        struct Day {
            std::shared_ptr<UserLog::CLogDay> day;
            std::exception_ptr error;
        };
        // Null when that "Log" element had no days read ahead.
        std::vector<Day>* Of(const Xml::XmlElement& log);
        std::map<const void*, std::vector<Day>> logs_;
        bool failed_ = false;
    };
    // The same, moving the days of each "Log" element that has days read ahead out of those.
    void Load(const Xml::XmlElement& element, DaysReadAhead* readAhead);

    // The page placeholders: "%JSON_USERLOG_LOG%" (the current day's month and the current date
    // key), "%JSON_USERLOG_DAY%" (the current day) and "%JSON_MEASURES%" (the fact definitions).
    // Any other key, in any other letter case too, leaves the value alone and answers false.
    bool WriteJson(Json::Value& value, const std::string& placeholder) const override;
    // "Profile" (version = the template path) with the person, the composition, the followed
    // nutrients with the current day's intakes, the meals and a "Log" of the current day alone,
    // written even when empty, with its energy requirement.
    void WriteReport(const Xml::XmlElement& parent, const std::string& version) const override;

    std::shared_ptr<UserLog::CLogDay> GetCurrentDay() const { return currentDay_; }
    // Index of the day with that date key, or -1.
    int FindDay(const std::string& dateKey) const;
    // Index of the day with that key, inserting an empty day at its sorted place when needed.
    int InsertDay(const std::string& dateKey);
    // Makes that day current (creating it) and moves the person's date there; true when created.
    bool SelectDay(const std::string& dateKey);

    bool AddFood(double weight, int unitIndex, const std::string& meal, const CDS_Ingredient& food);
    // Gives every entry of the current day its food (a placeholder for a food the data source
    // lacks, noted under "Unknown food reference") and its shown unit; false when a new
    // placeholder was needed.
    bool ResolveFoods();
    // Brings the private copies of foods up to date with the food tables, after the user changed
    // one of their own foods: entries already logged show the new values. Copies of foods the
    // tables no longer hold stay as they are.
    void RefreshFoods();

    int FindRequirement(int gid) const;
    // Appends when the data source has a nutrient with that gid; false and nothing added otherwise.
    bool AddRequirement(int gid, double min, double max);
    bool RemoveRequirement(int index);
    // The profile's requirements, with the current day's own limits in place of the profile's for
    // the same nutrient; true when the day has limits of its own.
    bool GetEffectiveRequirements(std::vector<UserLog::CNutrientRequirement>& out) const;
    // The requirement whose limits GetEffectiveRequirements shows for the nutrient: the current
    // day's own (the last of them for that gid) when the day has one, else the profile's; null
    // when the profile does not follow the nutrient. Typed limits go here, to the list shown.
    UserLog::CNutrientRequirement* EffectiveRequirement(int gid);
    // Follows a nutrient list: existing requirements kept in list order, then new ones.
    void SyncRequirements(const std::vector<int>& gids);

    // The current day's intake, rounded to the nutrient's display decimals (the data source's
    // accuracy for a nutrient outside the standard table).
    double GetIntake(int gid) const;
    // The same for any day of the log.
    double DayIntake(const UserLog::CLogDay& day, int gid) const;
    // The profile's requirements with that day's own limits in place of the profile's.
    std::vector<UserLog::CNutrientRequirement> EffectiveRequirementsOf(const UserLog::CLogDay& day) const;
    // Converts the "Weight" fact (definition and every day's value) between kg and lb.
    void ConvertWeightUnits(bool toKilograms);
    EnergyInputs GetEnergyInputs() const;
    EnergyInputs GetEnergyInputs(const UserLog::CLogDay& day) const;
    // The day's energy requirement in whole kcal; 0 when the person's age is unknown or the
    // inputs give no number (a hostile weight).
    double DayEnergyRequirement(const UserLog::CLogDay& day) const;
    // Every food any day of the log holds.
    std::set<FoodKey> LoggedFoods() const;
    // The food as the profile knows it: from the tables, else the profile's own copy (a food of a
    // table that is gone); null when neither holds it.
    const CDS_Ingredient* FindFood(const FoodKey& key) const;

    // The foods the user starred, in the order they were starred. They are written only when
    // there are any, so a profile without favourites keeps the form it always had.
    const std::vector<FoodKey>& Favourites() const noexcept { return favourites_; }
    bool IsFavourite(const FoodKey& key) const;
    // Stars or unstars the food; false when it already was as asked.
    bool SetFavourite(const FoodKey& key, bool favourite);

    // What days are judged against besides the user's own limits (model/Targets). Set by whoever
    // opens the profile; a log without them judges by own limits alone.
    const Targets::Options& TargetOptions() const noexcept { return targetOptions_; }
    void SetTargetOptions(const Targets::Options& options) { targetOptions_ = options; }
    // Removes the fact's values from every day, or from the current day only.
    void RemoveFactFromDays(const std::string& name, bool allDays);

    const CDataSourceMgr* DataSource() const noexcept { return dataSource_; }
    const Meal::CMealManager* Meals() const noexcept { return meals_; }

    // The profile's own parts, which the views and dialogs edit in place.
    CPersonalData& Personal() noexcept { return personal_; }
    const CPersonalData& Personal() const noexcept { return personal_; }
    CDS_EnergyComposition& EnergyComposition() noexcept { return energyComposition_; }
    const CDS_EnergyComposition& EnergyComposition() const noexcept { return energyComposition_; }
    UserLog::CFactManager& Facts() noexcept { return facts_; }
    const UserLog::CFactManager& Facts() const noexcept { return facts_; }

    // The followed nutrients in the order every view shows them. The list itself changes only
    // through Add/Remove/Move/SyncRequirements, so it never holds a nutrient the data source lacks;
    // a requirement's limits are edited in place.
    const std::vector<UserLog::CNutrientRequirement>& Requirements() const noexcept { return requirements_; }
    UserLog::CNutrientRequirement& RequirementAt(int index) {
        return requirements_.at(static_cast<std::size_t>(index));
    }
    // The requirement ends at position `to`; false when either position is outside the list.
    bool MoveRequirement(int from, int to);
    // Puts back a list this log's Requirements() gave earlier, when a change is taken back.
    void RestoreRequirements(std::vector<UserLog::CNutrientRequirement> list) { requirements_ = std::move(list); }
    // The day of that date, made when there is none (the current day stays).
    UserLog::CLogDay& DayOf(const std::string& dateKey) { return *days_[static_cast<std::size_t>(InsertDay(dateKey))]; }

    // The days in date order, each date once; the current day is always one of them.
    const std::vector<std::shared_ptr<UserLog::CLogDay>>& Days() const noexcept { return days_; }
    // The private copies of the foods the days refer to.
    const std::map<FoodKey, std::shared_ptr<CDS_Ingredient>>& FoodCache() const noexcept { return foodCache_; }

private:
    void SaveProfile(const Xml::XmlElement& parent, bool withDays) const;
    void SaveFoodCopies(const Xml::XmlElement& profile) const;
    void SaveFavourites(const Xml::XmlElement& profile) const;
    void LoadFavourites(const Xml::XmlElement& profile);

    CPersonalData personal_;
    std::shared_ptr<UserLog::CLogDay> currentDay_;
    std::vector<std::shared_ptr<UserLog::CLogDay>> days_;
    CDS_EnergyComposition energyComposition_;
    std::vector<UserLog::CNutrientRequirement> requirements_;
    const Meal::CMealManager* meals_ = nullptr;
    const CDataSourceMgr* dataSource_ = nullptr;
    std::map<FoodKey, std::shared_ptr<CDS_Ingredient>> foodCache_;
    // The food copies the file held: used where the tables lack a food.
    std::map<FoodKey, CDS_Ingredient> foodCopies_;
    std::vector<FoodKey> favourites_;
    UserLog::CFactManager facts_;
    Targets::Options targetOptions_{nullptr, false};
    // What a newer version wrote into "Profile", "Energy", "Nutrients" and "Log" that this one
    // does not read; written back unchanged.
    struct {
        Xml::UnknownParts profile, energy, nutrientList, log;
    } unknown_;

    std::shared_ptr<CDS_Ingredient> CachedFood(const FoodKey& key, bool& madePlaceholder, const std::string& name);
    // Files of other programs may repeat a date or list days out of order; a repeated date is
    // merged into the day already read so the log stays sorted and unique.
    std::shared_ptr<UserLog::CLogDay> AddReadDay(std::shared_ptr<UserLog::CLogDay> day);
};

}  // namespace NS_Data
