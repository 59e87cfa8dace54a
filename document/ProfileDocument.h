#pragma once

#include "SingleDayDocData.h"

#include "core/FileUtil.h"
#include "refdata/FoodKey.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Meal {
struct MealTime;
}

struct UndoStep;

// How the document reaches the view on screen. Any hook may be left empty.
struct DocumentViewHooks {
    // The first view takes its controls' contents from the document (load direction).
    std::function<void()> refreshView;
    // The first view stores its controls' contents into the document (save direction).
    std::function<void()> storeView;
    // Every view of the document refreshes itself.
    std::function<void()> updateAllViews;
    // The modified flag changed (for the window title).
    std::function<void(bool modified)> modifiedChanged;
    // A change the user can take back was made (see CProfileDocument::ChangeScope).
    std::function<void(std::shared_ptr<const UndoStep> step)> undoableChange;
};

// What a change can touch of the profile, taken before and after it: the days it may change, the
// profile's limits and energy ranges, the grid layouts (whose rows and columns follow entries and
// nutrients) and the day on show. Each part keeps its text as the file would hold it, so that
// taking a change back puts back only the parts the change made different and leaves alone what
// changed meanwhile without a step (the person's data, the energy split's switches).
struct ProfileSnapshot {
    struct Day {
        std::string date;
        std::optional<UserLog::CLogDay> day;  // nullopt: there was no such day
        std::string text;
    };
    std::string currentDate;
    std::vector<Day> days;
    std::vector<UserLog::CNutrientRequirement> requirements;
    std::string requirementsText;
    std::array<std::pair<double, double>, CDS_EnergyComposition::kComponentCount> energyRanges{};
    CGridDim dietLayout, foodLayout;
    std::string layoutsText;

    // Nothing the user can see differs.
    bool SameAs(const ProfileSnapshot& other) const;
};

// One change as the user made it, with what the profile was before and after.
struct UndoStep {
    std::string label;  // "Add Food", "Change Amount" ...
    ProfileSnapshot before, after;
};

// Flags of a food against a list of day entries, as the food tree shows them.
enum FoodStatusFlags : unsigned {
    kFoodWithoutMeal = 1,  // an entry of the food without a meal
    kFoodWithMeal = 2,     // an entry of the food with a meal
};
unsigned FoodStatusOf(const std::vector<UserLog::CDayFood>& entries, const FoodKey& key);

// Whether the Fact Manager changed the definitions: another count, or an entry with another name
// or target value. Units don't count.
bool FactDefinitionsDiffer(const std::vector<UserLog::CFactReference>& before,
                           const std::vector<UserLog::CFactReference>& after);

// One open profile without its windows: the profile data plus the path and the modified flag,
// the operations through which the views change the log (keeping the saved grid layouts in step),
// and the profile's commands. Messages go through the prompt service.
class CProfileDocument : public CSingleDayDocData {
public:
    static constexpr const char* kClipboardNotAvailable = "Clipboard data is not available.";
    static constexpr const char* kPasteFailed = "Failed to load data from clipboard.";
    static constexpr const char* kLostDataHeading = "Imported data lost:\n";
    static constexpr const char* kChangedWhileSaving =
        "Another program changed the profile while it was being saved; nothing was written.";
    static constexpr const char* kDefaultExportName = "VelmoraExport";
    static constexpr const char* kExportDefaultExt = "*.vlx";

    CProfileDocument(const Meal::CMealManager* mealList, const CDataSourceMgr* source);

    DocumentViewHooks hooks;

    // ---- the document's life ----
    // Which nutrients a new profile follows: every one of the data source, or those with reference
    // intakes for the person (Targets::ReferenceNutrients; every one when the log has no intakes).
    enum class NewNutrients { Every, WithReferenceIntakes };
    // A new profile: follows the nutrients `follow` names; modified.
    bool OnNewDocument(NewNutrients follow = NewNutrients::Every);
    // Reads the file; on failure shows the reader's error text and answers false (the document
    // should then be discarded). On success the energy shares are recomputed and the document is
    // not modified.
    bool OnOpenDocument(const std::string& path);
    // Opens the profile to change and save it at once (the command line): the file is locked
    // from before reading until the document has saved or gone, so that writers taking the same
    // lock take turns instead of each saving over the others' work.
    bool OpenForUpdate(const std::string& path);
    // Writes the whole profile next to the file and renames it over the old one, so a failure
    // leaves the old file as it was: the error is shown, the answer is false and the document
    // stays modified. When the file was changed by another program since this document read or
    // wrote it, the user is asked first; declining answers false and changes nothing. A change
    // by another program during the save fails it and writes nothing.
    bool OnSaveDocument(const std::string& path);

    bool IsModified() const noexcept { return modified_; }
    void SetModifiedFlag(bool modified = true);
    const std::string& PathName() const noexcept { return path_; }
    void SetPathName(std::string path) { path_ = std::move(path); }

    // ---- changes the user can take back ----
    // Everything that changes a day, the limits or the energy split while a scope lives is one
    // step, handed to `hooks.undoableChange` when the scope ends with something changed. Scopes
    // nest: only the outermost records, under its label. `dates` are the days the change may
    // touch besides the current day.
    class ChangeScope {
    public:
        ChangeScope(CProfileDocument& document, std::string label, std::vector<std::string> dates = {});
        ~ChangeScope();
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

    private:
        CProfileDocument& document_;
        std::string label_;
        std::vector<std::string> dates_;
        std::optional<ProfileSnapshot> before_;
    };
    // Takes the step back (`forward` false) or makes it again: the parts the step changed become
    // as its snapshot has them, its day becomes the current one and the views refresh; the
    // document becomes modified. Records nothing.
    void Restore(const UndoStep& step, bool forward);

    // ---- operations of the views, on the current day ----
    // Appends an entry of the food with weight 0, giving both layouts a row for its position when
    // they have none yet; the entry's index, or -1 when the data source has no such food.
    int AddFoodByKey(int key, int source);
    // The same, ready to count: one of the food's first portion (100 g when it has none) in the
    // meal of that time of day. Answers the new entry's index, or -1 for an unknown food.
    int AddFoodReady(int key, int source, const Meal::MealTime& timeOfDay);
    // Logs the food again as it was logged before: `grams` in the unit of that index, in the meal
    // of that time of day. A food of a table that is gone comes from the profile's own copy.
    // Without grams above 0 it gets one of its first portion (100 g) as AddFoodReady gives. The
    // new entry's index, or -1 when the profile knows no such food.
    int AddFoodAgain(const FoodKey& food, int unitIndex, double grams, const Meal::MealTime& timeOfDay);
    // Stars or unstars a food; the profile is modified when that changed anything.
    void SetFavouriteFood(const FoodKey& food, bool favourite);
    void RemoveFood(int index);
    void MoveFood(int from, int to);
    void SetFoodWeight(int index, double grams);
    void SetFoodUnit(int index, int unitIndex);
    void SetFoodMeal(int index, const std::string& meal);
    unsigned FoodStatus(int key, int source) const;
    // Follows the nutrient (no limits) and adds a column to both layouts; false when the data
    // source has no such nutrient.
    bool AddNutrient(int gid);
    void RemoveNutrient(int index);
    // The requirement ends at position `to`; the layouts' columns move with it.
    void MoveNutrient(int from, int to);
    // Recomputes the energy shares, marks the document modified and refreshes every view.
    void DataChanged();
    // The profile's composition takes the energy split of the current day's foods.
    void RecomputeEnergyShares();
    // The requirements of a new profile: every nutrient of the data source, in its order.
    void SetDefaultRequirements();
    // Follows the nutrients of `gids` in that order instead of those followed now.
    void FollowOnly(const std::vector<int>& gids);
    // Sets a fact's value on the current day.
    void SetDayFact(const std::string& name, double value);
    void CaptureGridLayout(const IGridSizes& grid, LayoutKind kind);

    // ---- commands ----
    // Copy is offered for a day with data, Paste only for an empty day, so pasting never merges.
    bool CanCopy() const;
    bool CanPaste() const;
    // The current day as clipboard text: a "clipboard" document holding its "LogDay".
    std::string CopyText() const;
    // Replaces the (empty) current day by the day in the clipboard text, keeping the day's date.
    // Nothing changes unless the whole day could be read; foods the data source lacks are told
    // at once. nullopt: the clipboard holds no text.
    bool Paste(const std::optional<std::string>& clipboardText);
    // Empties the current day.
    void DeleteDay();
    // First and last name run together, trimmed; "VelmoraExport" when that is empty.
    std::string ExportFileName() const;
    // Writes the whole profile to another file; the document's path and modified flag stay.
    bool Export(const std::string& path);
    // Runs the Fact Manager on the log; the document becomes modified when the definitions
    // changed.
    void Facts(const std::function<void(NS_Data::CUserLog&)>& runDialog);
    // Makes the date the current day.
    void GoToDate(const std::string& dateKey);
    // The day's entries become the list edited by the food selection dialog.
    void SetDayFoods(std::vector<UserLog::CDayFood> entries);
    // Shows and empties the load report when it holds anything, and marks the document modified.
    void ReportLostData();

    // ---- copying foods between days ----
    // Each command appends and never replaces: a day that has foods keeps them and gets the
    // copies after them, and what a day already has of its own (limits, energy split, a fact's
    // value) stays. Days are created as needed; the current day stays current. The dates are
    // "YYYYMMDD" keys, each used once; the current day's own date is passed over. An invalid
    // key raises std::invalid_argument before anything changes. Each answers how many days
    // received something.
    //
    // The current day's foods, own limits and own energy split; its facts only when asked,
    // since a copied body weight would be a measurement nobody took.
    int CopyDayTo(const std::vector<std::string>& dateKeys, bool withFacts);
    // The current day's entries of that meal ("" for those of no meal).
    int CopyMealTo(const std::string& meal, const std::vector<std::string>& dateKeys);
    // Appends to the current day the entries the day before it had in that meal; the number of
    // entries appended, 0 when it had none.
    int RepeatYesterdaysMeal(const std::string& meal);
    // The date key of the day before the current day.
    std::string DayBeforeCurrent() const;
    // How many entries the day with that date has in that meal; all its entries for nullopt.
    int EntriesOn(const std::string& dateKey, const std::optional<std::string>& meal = std::nullopt) const;

private:
    ProfileSnapshot TakeSnapshot(const std::vector<std::string>& dates) const;

    UserLog::CDayFood* Entry(int index);
    // The name of the meal whose time fits the time of day; nullopt without a meal list.
    std::optional<std::string> MealNameFor(const Meal::MealTime& timeOfDay) const;
    // Both layouts get rows for the current day's entries where they have too few.
    void EnsureEntryRows();
    // The same for a day of that many entries, which need not be the current one.
    void EnsureRowsForEntries(std::size_t entries);
    // Appends copies of the entries to the day with that date, creating it; answers the day.
    UserLog::CLogDay& AppendEntries(const std::string& dateKey, const std::vector<UserLog::CDayFood>& entries);
    // The keys to copy to: valid, each once, without the current day's.
    std::vector<std::string> TargetDates(const std::vector<std::string>& dateKeys) const;
    static void Call(const std::function<void()>& hook) {
        if (hook) hook();
    }

    // Writes the profile to `path`, as the document's own file or as an export, which leaves the
    // document's file, stamp and modified flag alone.
    bool SaveTo(const std::string& path, bool ownFile);

    std::string path_;
    // The file this document last read or wrote, and how it looked then.
    std::string stampPath_;
    FileUtil::FileStamp diskStamp_;
    FileUtil::FileLock updateLock_;
    bool modified_ = false;
    int changeDepth_ = 0;
    bool suppressed_ = false;
};
