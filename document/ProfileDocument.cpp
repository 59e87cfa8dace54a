#include "ProfileDocument.h"

#include "model/Meal.h"
#include "model/Targets.h"

#include "document/fileio/ProfileFile.h"

#include "core/LoadReport.h"
#include "core/Services.h"
#include "core/TextUtil.h"
#include "refdata/DataSourceMgr.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <memory>
#include <stdexcept>

using UserLog::CDayFood;

namespace {

constexpr int kDietRowOffset = 1;     // "Diet": row 0 is the header
constexpr int kFoodRowOffset = 2;     // "Food": the tree food's row, then the header
constexpr int kDietSummaryRows = 3;   // "Diet": the rows after the entries
constexpr int kDietColumnOffset = 4;  // "Diet": four fixed columns before the nutrients
constexpr int kFoodColumnOffset = 1;  // "Food": the name column

void EnsureRows(CGridDim& layout, int rows) {
    while (layout.RowCount() < rows) layout.AddRow(0);
}

// Moves the column size at from + offset so that it ends at to + offset, the way the
// requirement list moves its entry.
void MoveColumn(CGridDim& layout, int from, int to, int offset) {
    const std::int32_t size = layout.ColumnSize(from + offset);
    if (from < to) {
        layout.InsertColumn(to + offset + 1, size);
        layout.RemoveColumn(from + offset);
    } else {
        layout.InsertColumn(to + offset, size);
        layout.RemoveColumn(from + offset + 1);
    }
}

}  // namespace

// What a food without portions is logged as at first.
constexpr double kDefaultGrams = 100;

namespace {

struct Portion {
    int unitIndex;
    double grams;
};

// What a new entry of the food counts as: one of its first portion, or 100 g when it has none.
Portion FirstPortion(const CDS_Ingredient& food) {
    const auto& units = food.Units();
    if (units.size() > 1 && units[1].grams > 0) return {1, units[1].grams};
    return {0, kDefaultGrams};
}

}  // namespace

unsigned FoodStatusOf(const std::vector<CDayFood>& entries, const FoodKey& key) {
    unsigned flags = 0;
    for (const CDayFood& e : entries)
        if (e.GetFoodKey() == key) flags |= e.meal.empty() ? kFoodWithoutMeal : kFoodWithMeal;
    return flags;
}

bool FactDefinitionsDiffer(const std::vector<UserLog::CFactReference>& before,
                           const std::vector<UserLog::CFactReference>& after) {
    if (before.size() != after.size()) return true;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i].name != after[i].name || before[i].value != after[i].value) return true;
    return false;
}

CProfileDocument::CProfileDocument(const Meal::CMealManager* mealList, const CDataSourceMgr* source)
    : CSingleDayDocData(mealList, source) {}

void CProfileDocument::SetModifiedFlag(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    if (hooks.modifiedChanged) hooks.modifiedChanged(modified_);
}

bool CProfileDocument::OnNewDocument(NewNutrients follow) {
    // A new profile starts with nothing to take back.
    suppressed_ = true;
    std::vector<int> gids;
    if (follow == NewNutrients::WithReferenceIntakes) gids = Targets::ReferenceNutrients(Log());
    if (gids.empty())
        SetDefaultRequirements();
    else
        FollowOnly(gids);
    suppressed_ = false;
    SetModifiedFlag();
    return true;
}

bool CProfileDocument::OnOpenDocument(const std::string& path) {
    std::string error;
    FileUtil::FileStamp stamp;
    if (!ReadProfileFile(*this, path, error, &stamp)) {
        Services::Prompt().Message(error);
        return false;
    }
    RecomputeEnergyShares();
    path_ = path;
    stampPath_ = path;
    diskStamp_ = stamp;
    SetModifiedFlag(false);
    return true;
}

bool CProfileDocument::OpenForUpdate(const std::string& path) {
    try {
        // Waiting is for the other command-line writers, each done within moments.
        updateLock_ = FileUtil::FileLock::Exclusive(path, std::chrono::milliseconds(-1));
    } catch (const std::exception& e) {
        Services::Prompt().Message("Can't open file:\n" + path + "\n" + e.what());
        return false;
    }
    return OnOpenDocument(path);
}

bool CProfileDocument::OnSaveDocument(const std::string& path) { return SaveTo(path, true); }

namespace {

class ChangedWhileSaving : public std::runtime_error {
public:
    ChangedWhileSaving() : std::runtime_error(CProfileDocument::kChangedWhileSaving) {}
};

}  // namespace

bool CProfileDocument::SaveTo(const std::string& path, bool ownFile) {
    // Another program (or another copy of this one) may have written the file meanwhile; saving
    // over it unasked would silently throw that work away.
    const bool followed = !stampPath_.empty() && stampPath_ == path;
    const bool takesStamp = ownFile || followed;
    bool overwriteAgreed = false;
    if (followed && FileUtil::StampOf(path) != diskStamp_) {
        const std::string question = "The profile " + path +
                                     " was changed by another program after it was opened here.\n"
                                     "Press Yes to save over it, No to keep the other version.";
        if (Services::Prompt().Question(question, Services::Buttons::YesNo) != Services::Answer::Yes) return false;
        overwriteAgreed = true;
    }
    FileUtil::FileStamp written;
    try {
        Call(hooks.storeView);
        FileUtil::FileLock lock;
        if (!updateLock_.Covers(path)) lock = FileUtil::FileLock::Exclusive(path, std::chrono::seconds(10));
        // From here until the rename, a writer that takes the lock waits; one that doesn't is
        // caught by the last look right before the rename.
        const FileUtil::FileStamp expected = followed && !overwriteAgreed ? diskStamp_ : FileUtil::StampOf(path);
        FileUtil::WriteOptions options;
        options.removeStaleTemporaries = true;
        options.written = &written;
        options.beforeReplace = [&path, &expected] {
            if (FileUtil::StampOf(path) != expected) throw ChangedWhileSaving();
        };
        WriteProfileFile(*this, path, options);
    } catch (const std::exception& e) {
        // A save that failed late (e.g. syncing the folder) may already have put our file in
        // place; it is ours, so the next save must not take it for another program's.
        if (takesStamp && written.exists) {
            stampPath_ = path;
            diskStamp_ = written;
        }
        Services::Prompt().Message("Can't save file:\n" + path + "\n" + e.what());
        return false;
    }
    if (takesStamp) {
        stampPath_ = path;
        diskStamp_ = written;
    }
    if (ownFile) {
        // The locked file is the one just replaced; writers waiting for it go on to the new one.
        updateLock_ = FileUtil::FileLock();
        SetModifiedFlag(false);
    }
    return true;
}

namespace {

template <typename Part>
std::string TextOf(const Part& part) {
    Xml::XmlDocument doc;
    Xml::XmlElement root = doc.CreateElement("part");
    doc.AppendChild(root);
    part.Save(root);
    return doc.GetXml();
}

}  // namespace

bool ProfileSnapshot::SameAs(const ProfileSnapshot& other) const {
    if (days.size() != other.days.size() || requirementsText != other.requirementsText ||
        energyRanges != other.energyRanges || layoutsText != other.layoutsText)
        return false;
    for (std::size_t i = 0; i < days.size(); ++i)
        if (days[i].date != other.days[i].date || days[i].text != other.days[i].text) return false;
    return true;
}

ProfileSnapshot CProfileDocument::TakeSnapshot(const std::vector<std::string>& dates) const {
    ProfileSnapshot s;
    s.currentDate = CurrentDate();
    std::vector<std::string> touched{s.currentDate};
    for (const std::string& date : dates)
        if (std::find(touched.begin(), touched.end(), date) == touched.end()) touched.push_back(date);
    for (const std::string& date : touched) {
        const int index = Log().FindDay(date);
        ProfileSnapshot::Day& taken = s.days.emplace_back(ProfileSnapshot::Day{date, std::nullopt, {}});
        if (index < 0) continue;
        taken.day = *Log().Days()[static_cast<std::size_t>(index)];
        // An empty day is not written, so it is the same as no day.
        if (!taken.day->IsEmpty()) taken.text = TextOf(*taken.day);
    }
    s.requirements = Log().Requirements();
    struct {
        const std::vector<UserLog::CNutrientRequirement>& list;
        void Save(const Xml::XmlElement& parent) const {
            for (const UserLog::CNutrientRequirement& r : list) r.Save(parent);
        }
    } requirements{s.requirements};
    s.requirementsText = TextOf(requirements);
    const CDS_EnergyComposition& composition = Log().EnergyComposition();
    for (int c = 0; c < CDS_EnergyComposition::kComponentCount; ++c)
        s.energyRanges[static_cast<std::size_t>(c)] = {composition.GetValue(c, CDS_EnergyComposition::kMin),
                                                       composition.GetValue(c, CDS_EnergyComposition::kMax)};
    s.dietLayout = Layout(LayoutKind::Diet);
    s.foodLayout = Layout(LayoutKind::Food);
    struct {
        const CGridDim& diet;
        const CGridDim& food;
        void Save(const Xml::XmlElement& parent) const {
            diet.Save(parent);
            food.Save(parent);
        }
    } layouts{s.dietLayout, s.foodLayout};
    s.layoutsText = TextOf(layouts);
    return s;
}

CProfileDocument::ChangeScope::ChangeScope(CProfileDocument& document, std::string label,
                                           std::vector<std::string> dates)
    : document_(document), label_(std::move(label)), dates_(std::move(dates)) {
    if (document_.changeDepth_++ == 0 && !document_.suppressed_ && document_.hooks.undoableChange)
        before_ = document_.TakeSnapshot(dates_);
}

CProfileDocument::ChangeScope::~ChangeScope() {
    if (--document_.changeDepth_ != 0 || !before_) return;
    try {
        auto step = std::make_shared<UndoStep>();
        step->after = document_.TakeSnapshot(dates_);
        if (step->after.SameAs(*before_)) return;
        step->label = std::move(label_);
        step->before = std::move(*before_);
        document_.hooks.undoableChange(std::move(step));
    } catch (const std::exception&) {
        // The change itself is made; only the way back is lost, which must not take the change
        // (or the program) with it.
    }
}

void CProfileDocument::Restore(const UndoStep& step, bool forward) {
    const ProfileSnapshot& to = forward ? step.after : step.before;
    const ProfileSnapshot& from = forward ? step.before : step.after;
    suppressed_ = true;
    for (std::size_t i = 0; i < to.days.size() && i < from.days.size(); ++i) {
        const ProfileSnapshot::Day& day = to.days[i];
        if (day.text != from.days[i].text) Log().DayOf(day.date) = day.day ? *day.day : UserLog::CLogDay(day.date);
    }
    if (to.requirementsText != from.requirementsText) Log().RestoreRequirements(to.requirements);
    if (to.energyRanges != from.energyRanges) {
        CDS_EnergyComposition& composition = Log().EnergyComposition();
        for (int c = 0; c < CDS_EnergyComposition::kComponentCount; ++c) {
            const auto& [min, max] = to.energyRanges[static_cast<std::size_t>(c)];
            composition.SetValue(c, CDS_EnergyComposition::kMin, min);
            composition.SetValue(c, CDS_EnergyComposition::kMax, max);
        }
    }
    if (to.layoutsText != from.layoutsText) {
        SetLayout(LayoutKind::Diet, to.dietLayout);
        SetLayout(LayoutKind::Food, to.foodLayout);
    }
    Log().SelectDay(to.currentDate);
    RecomputeEnergyShares();
    suppressed_ = false;
    SetModifiedFlag();
    // Only the view on show is attached; the others load when shown.
    Call(hooks.refreshView);
}

CDayFood* CProfileDocument::Entry(int index) {
    auto& foods = CurrentDay().foods;
    if (index < 0 || static_cast<std::size_t>(index) >= foods.size()) return nullptr;
    return &foods[static_cast<std::size_t>(index)];
}

int CProfileDocument::AddFoodByKey(int key, int source) {
    ChangeScope change(*this, "Add Food");
    const CDataSourceMgr* data = Log().DataSource();
    const CDS_Ingredient* food = data ? data->FindFood(FoodKey(key, source)) : nullptr;
    if (!food) return -1;
    Log().AddFood(0, 0, "", *food);
    EnsureEntryRows();
    SetModifiedFlag();
    return static_cast<int>(CurrentDay().foods.size()) - 1;
}

int CProfileDocument::AddFoodReady(int key, int source, const Meal::MealTime& timeOfDay) {
    ChangeScope change(*this, "Add Food");
    const int index = AddFoodByKey(key, source);
    UserLog::CDayFood* entry = Entry(index);
    if (!entry || !entry->food) return index;
    // A new entry counts at once; the amount is what the user corrects, not what they must type.
    const Portion portion = FirstPortion(*entry->food);
    entry->unitIndex = portion.unitIndex;
    entry->weight = portion.grams;
    entry->unitGrams = portion.unitIndex == 1 ? portion.grams : 1.0;
    if (std::optional<std::string> meal = MealNameFor(timeOfDay)) entry->meal = *meal;
    RecomputeEnergyShares();
    return index;
}

int CProfileDocument::AddFoodAgain(const FoodKey& key, int unitIndex, double grams, const Meal::MealTime& timeOfDay) {
    ChangeScope change(*this, "Add Food");
    const CDS_Ingredient* food = Log().FindFood(key);
    if (!food) return -1;
    const auto& units = food->Units();
    const bool known = unitIndex >= 0 && std::size_t(unitIndex) < units.size();
    if (!(grams > 0 && std::isfinite(grams) && known)) {
        const Portion portion = FirstPortion(*food);
        unitIndex = portion.unitIndex;
        grams = portion.grams;
    }
    Log().AddFood(grams, unitIndex, MealNameFor(timeOfDay).value_or(std::string()), *food);
    const int index = static_cast<int>(CurrentDay().foods.size()) - 1;
    if (CDayFood* entry = Entry(index); entry && !units.empty()) entry->unitGrams = units[std::size_t(unitIndex)].grams;
    EnsureEntryRows();
    RecomputeEnergyShares();
    SetModifiedFlag();
    return index;
}

void CProfileDocument::SetFavouriteFood(const FoodKey& key, bool favourite) {
    if (Log().SetFavourite(key, favourite)) SetModifiedFlag();
}

std::optional<std::string> CProfileDocument::MealNameFor(const Meal::MealTime& timeOfDay) const {
    if (const Meal::CMealManager* meals = Log().Meals())
        if (const Meal::CMeal* meal = meals->MealForTime(timeOfDay)) return meal->Name();
    return std::nullopt;
}

void CProfileDocument::EnsureEntryRows() { EnsureRowsForEntries(CurrentDay().foods.size()); }

void CProfileDocument::RemoveFood(int index) {
    ChangeScope change(*this, "Delete Food");
    if (!Entry(index)) return;
    CurrentDay().RemoveFood(index);
    MutableLayout(LayoutKind::Food).RemoveRow(index + kFoodRowOffset);
    MutableLayout(LayoutKind::Diet).RemoveRow(index + kDietRowOffset);
    RecomputeEnergyShares();
    SetModifiedFlag();
    Call(hooks.updateAllViews);
}

void CProfileDocument::MoveFood(int from, int to) {
    ChangeScope change(*this, "Move Food");
    auto& foods = CurrentDay().foods;
    if (!Entry(from)) return;
    CDayFood entry = std::move(foods[static_cast<std::size_t>(from)]);
    foods.erase(foods.begin() + from);
    const int at = std::clamp(to, 0, static_cast<int>(foods.size()));
    foods.insert(foods.begin() + at, std::move(entry));
    // The order of the entries is written to the file, so a move is a change to save.
    if (at != from) SetModifiedFlag();
}

void CProfileDocument::SetFoodWeight(int index, double grams) {
    ChangeScope change(*this, "Change Amount");
    CDayFood* entry = Entry(index);
    // Weights a person can have eaten only: a negative one would lower every total of the day.
    if (!entry || !std::isfinite(grams) || grams < 0) return;
    entry->weight = grams;
    RecomputeEnergyShares();
    SetModifiedFlag();
    Call(hooks.updateAllViews);
}

void CProfileDocument::SetFoodUnit(int index, int unitIndex) {
    ChangeScope change(*this, "Change Unit");
    CDayFood* entry = Entry(index);
    if (!entry || entry->unitIndex == unitIndex) return;
    entry->unitIndex = unitIndex;
    // The unit's grams are written to the file; without the flag the change would be lost on
    // closing.
    SetModifiedFlag();
}

void CProfileDocument::SetFoodMeal(int index, const std::string& meal) {
    ChangeScope change(*this, "Change Meal");
    CDayFood* entry = Entry(index);
    if (!entry || entry->meal == meal) return;
    entry->meal = meal;
    SetModifiedFlag();
}

unsigned CProfileDocument::FoodStatus(int key, int source) const {
    return FoodStatusOf(CurrentDay().foods, FoodKey(key, source));
}

bool CProfileDocument::AddNutrient(int gid) {
    ChangeScope change(*this, "Follow Nutrient");
    if (!Log().AddRequirement(gid, -1, -1)) return false;
    for (LayoutKind kind : {LayoutKind::Diet, LayoutKind::Food}) MutableLayout(kind).AddColumn(0);
    SetModifiedFlag();
    return true;
}

void CProfileDocument::RemoveNutrient(int index) {
    ChangeScope change(*this, "Stop Following Nutrient");
    if (!Log().RemoveRequirement(index)) return;
    MutableLayout(LayoutKind::Food).RemoveColumn(index + kFoodColumnOffset);
    MutableLayout(LayoutKind::Diet).RemoveColumn(index + kDietColumnOffset);
    SetModifiedFlag();
}

void CProfileDocument::MoveNutrient(int from, int to) {
    ChangeScope change(*this, "Move Nutrient");
    const int count = static_cast<int>(Log().Requirements().size());
    if (from < 0 || from >= count) return;
    to = std::clamp(to, 0, count - 1);
    if (from == to || !Log().MoveRequirement(from, to)) return;
    MoveColumn(MutableLayout(LayoutKind::Food), from, to, kFoodColumnOffset);
    MoveColumn(MutableLayout(LayoutKind::Diet), from, to, kDietColumnOffset);
    // The order of the requirements is the order of the file and of every view.
    SetModifiedFlag();
}

void CProfileDocument::DataChanged() {
    RecomputeEnergyShares();
    SetModifiedFlag();
    Call(hooks.updateAllViews);
}

void CProfileDocument::RecomputeEnergyShares() {
    Log().EnergyComposition().SetFromEnergies(CurrentDay().ComponentEnergies());
}

void CProfileDocument::SetDefaultRequirements() {
    std::vector<int> gids;
    if (const CDataSourceMgr* data = Log().DataSource())
        for (const CDS_Nutrition& n : data->Nutrients()) gids.push_back(n.gid);
    FollowOnly(gids);
}

void CProfileDocument::FollowOnly(const std::vector<int>& gids) {
    ChangeScope change(*this, "Reset Nutrients");
    // One by one from the end, so that the layouts lose the columns of the old requirements.
    for (int i = static_cast<int>(Log().Requirements().size()) - 1; i >= 0; --i) RemoveNutrient(i);
    for (int gid : gids) AddNutrient(gid);
}

void CProfileDocument::SetDayFact(const std::string& name, double value) {
    ChangeScope change(*this, "Change Fact");
    CurrentDay().SetFact(name, value);
    SetModifiedFlag();
    Call(hooks.updateAllViews);
}

void CProfileDocument::CaptureGridLayout(const IGridSizes& grid, LayoutKind kind) { MutableLayout(kind).Capture(grid); }

bool CProfileDocument::CanCopy() const { return !CurrentDay().IsEmpty(); }

bool CProfileDocument::CanPaste() const { return CurrentDay().IsEmpty(); }

std::string CProfileDocument::CopyText() const {
    Xml::XmlDocument doc;
    Xml::XmlElement root = doc.CreateElement("clipboard");
    root.SetAttribute("method", "copy");
    doc.AppendChild(root);
    CurrentDay().Save(root);
    return doc.GetXml();
}

bool CProfileDocument::Paste(const std::optional<std::string>& clipboardText) {
    ChangeScope change(*this, "Paste");
    if (!clipboardText) {
        Services::Prompt().Message(kClipboardNotAvailable);
        return false;
    }
    if (!CanPaste()) return false;
    UserLog::CLogDay& day = CurrentDay();
    try {
        Xml::XmlDocument doc;
        if (!doc.LoadXml(*clipboardText)) throw Xml::XmlError(Xml::XmlError::Parse, doc.ParseError());
        Xml::XmlElement element = doc.Root().ChildElement("LogDay");
        if (!element) throw Xml::XmlError(Xml::XmlError::NotElement, "no LogDay");
        // Read into a day of its own: a text that fails half-way leaves the current day as it was.
        UserLog::CLogDay pasted;
        pasted.Load(element);
        pasted.SetDate(day.date);
        day = std::move(pasted);
    } catch (const std::exception&) {
        Services::Prompt().Message(kPasteFailed);
        return false;
    }
    // What the pasted day lost (foods the data source lacks) is this profile's news, told now:
    // left in the report it would be shown later as lost data of whichever profile comes next.
    LoadReport::Clear();
    Log().ResolveFoods();
    RecomputeEnergyShares();
    Call(hooks.refreshView);
    SetModifiedFlag();
    ReportLostData();
    return true;
}

void CProfileDocument::DeleteDay() {
    ChangeScope change(*this, "Delete Day");
    CurrentDay().ClearDay();
    RecomputeEnergyShares();
    Call(hooks.refreshView);
    SetModifiedFlag();
}

std::string CProfileDocument::ExportFileName() const {
    std::string name(TextUtil::Trimmed(Log().Personal().firstName + Log().Personal().lastName));
    return name.empty() ? kDefaultExportName : name;
}

bool CProfileDocument::Export(const std::string& path) {
    // The document's own file stays the one whose changes on disk are watched.
    return SaveTo(path, false);
}

void CProfileDocument::Facts(const std::function<void(NS_Data::CUserLog&)>& runDialog) {
    const std::vector<UserLog::CFactReference> before = Log().Facts().Definitions();
    if (runDialog) runDialog(Log());
    Call(hooks.refreshView);
    if (FactDefinitionsDiffer(before, Log().Facts().Definitions())) SetModifiedFlag();
}

void CProfileDocument::GoToDate(const std::string& dateKey) {
    Log().SelectDay(dateKey);
    Call(hooks.refreshView);
}

void CProfileDocument::SetDayFoods(std::vector<CDayFood> entries) {
    ChangeScope change(*this, "Select Foods");
    CurrentDay().foods = std::move(entries);
    Log().ResolveFoods();
    EnsureEntryRows();
    RecomputeEnergyShares();
    SetModifiedFlag();
    Call(hooks.refreshView);
}

void CProfileDocument::ReportLostData() {
    if (LoadReport::IsEmpty()) return;
    const std::string text = kLostDataHeading + LoadReport::FormatLost("", "\t", "\n");
    LoadReport::Clear();
    Services::Prompt().Message(text);
    SetModifiedFlag();
}

std::vector<std::string> CProfileDocument::TargetDates(const std::vector<std::string>& dateKeys) const {
    std::vector<std::string> dates;
    for (const std::string& key : dateKeys)
        if (!Services::ParseDateKey(key)) throw std::invalid_argument("'" + key + "' is not a date (YYYYMMDD).");
    for (const std::string& key : dateKeys)
        if (key != CurrentDate() && std::find(dates.begin(), dates.end(), key) == dates.end()) dates.push_back(key);
    return dates;
}

void CProfileDocument::EnsureRowsForEntries(std::size_t entries) {
    // A layout's rows stand for positions in a day's list, and every day shares them: a row is
    // added only when no day so far has had that many entries. Adding one per food ever logged
    // would grow the file by a row a meal for as long as the profile is kept.
    const int rows = static_cast<int>(entries);
    EnsureRows(MutableLayout(LayoutKind::Diet), kDietRowOffset + rows + kDietSummaryRows);
    EnsureRows(MutableLayout(LayoutKind::Food), kFoodRowOffset + rows);
}

UserLog::CLogDay& CProfileDocument::AppendEntries(const std::string& dateKey, const std::vector<CDayFood>& entries) {
    // Days are shared objects: inserting one leaves the current day, and references to it, alone.
    UserLog::CLogDay& day = Log().DayOf(dateKey);
    day.foods.insert(day.foods.end(), entries.begin(), entries.end());
    EnsureRowsForEntries(day.foods.size());
    return day;
}

int CProfileDocument::CopyDayTo(const std::vector<std::string>& dateKeys, bool withFacts) {
    const std::vector<std::string> dates = TargetDates(dateKeys);
    ChangeScope change(*this, "Copy Day", dates);
    const UserLog::CLogDay& from = CurrentDay();
    int changed = 0;
    for (const std::string& date : dates) {
        UserLog::CLogDay& to = AppendEntries(date, from.foods);
        bool any = !from.foods.empty();
        for (const UserLog::CNutrientRequirement& limit : from.requirements) {
            const bool own =
                std::any_of(to.requirements.begin(), to.requirements.end(),
                            [&limit](const UserLog::CNutrientRequirement& r) { return r.gid == limit.gid; });
            if (own) continue;
            to.requirements.push_back(limit);
            any = true;
        }
        if (from.energyComposition && !to.energyComposition) {
            to.energyComposition = std::make_unique<CDS_EnergyComposition>(*from.energyComposition);
            any = true;
        }
        if (withFacts)
            for (const UserLog::CFact& fact : from.facts.Items()) {
                if (to.FindFact(fact.name)) continue;
                to.SetFact(fact.name, fact.value);
                any = true;
            }
        if (any) ++changed;
    }
    if (changed > 0) {
        SetModifiedFlag();
        // The calendar marks the days that now have foods.
        Call(hooks.refreshView);
    }
    return changed;
}

int CProfileDocument::CopyMealTo(const std::string& meal, const std::vector<std::string>& dateKeys) {
    const std::vector<std::string> dates = TargetDates(dateKeys);
    ChangeScope change(*this, "Copy Meal", dates);
    std::vector<CDayFood> entries;
    for (const CDayFood& entry : CurrentDay().foods)
        if (entry.meal == meal) entries.push_back(entry);
    if (entries.empty()) return 0;
    for (const std::string& date : dates) AppendEntries(date, entries);
    if (!dates.empty()) {
        SetModifiedFlag();
        Call(hooks.refreshView);
    }
    return static_cast<int>(dates.size());
}

std::string CProfileDocument::DayBeforeCurrent() const {
    const auto date = Services::ParseDateKey(CurrentDate());
    // A current day always has a valid key; the fallback only keeps a damaged one harmless.
    return date ? boost::gregorian::to_iso_string(*date - boost::gregorian::days(1)) : std::string();
}

int CProfileDocument::EntriesOn(const std::string& dateKey, const std::optional<std::string>& meal) const {
    const int index = Log().FindDay(dateKey);
    if (index < 0) return 0;
    const auto& foods = Log().Days()[static_cast<std::size_t>(index)]->foods;
    if (!meal) return static_cast<int>(foods.size());
    return static_cast<int>(
        std::count_if(foods.begin(), foods.end(), [&meal](const CDayFood& e) { return e.meal == *meal; }));
}

int CProfileDocument::RepeatYesterdaysMeal(const std::string& meal) {
    const int index = Log().FindDay(DayBeforeCurrent());
    if (index < 0) return 0;
    std::vector<CDayFood> entries;
    for (const CDayFood& entry : Log().Days()[static_cast<std::size_t>(index)]->foods)
        if (entry.meal == meal) entries.push_back(entry);
    if (entries.empty()) return 0;
    ChangeScope change(*this, "Repeat Yesterday's Meal");
    AppendEntries(CurrentDate(), entries);
    RecomputeEnergyShares();
    SetModifiedFlag();
    Call(hooks.refreshView);
    return static_cast<int>(entries.size());
}
