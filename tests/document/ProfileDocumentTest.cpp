#include "document/ProfileDocument.h"

#include "model/Meal.h"

#include "support/DocumentFixture.h"

#include "core/FileUtil.h"
#include "document/fileio/ProfileFile.h"
#include "refdata/DietaryIntakesMgr.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

using namespace DocumentFixture;
using boost::gregorian::date;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

constexpr LayoutKind kDiet = LayoutKind::Diet;
constexpr LayoutKind kFood = LayoutKind::Food;

std::vector<int> Gids(const NS_Data::CUserLog& log) {
    std::vector<int> gids;
    for (const auto& r : log.Requirements()) gids.push_back(r.gid);
    return gids;
}

// gid, min and max of each requirement.
std::vector<std::tuple<int, double, double>> Limits(const std::vector<UserLog::CNutrientRequirement>& list) {
    std::vector<std::tuple<int, double, double>> out;
    for (const auto& r : list) out.emplace_back(r.gid, r.min, r.max);
    return out;
}

std::vector<std::string> FoodNames(const UserLog::CLogDay& day) {
    std::vector<std::string> names;
    for (const auto& e : day.foods) names.push_back(e.name);
    return names;
}

class ProfileDocumentTest : public ::testing::Test {
protected:
    ProfileDocumentTest() : clock(date(2024, 3, 10)), doc(&Meals(), &Foods()) {
        LoadReport::Clear();
        doc.hooks.refreshView = [this] { ++refreshed; };
        doc.hooks.updateAllViews = [this] { ++updatedAll; };
        doc.hooks.storeView = [this] { ++stored; };
        doc.hooks.modifiedChanged = [this](bool m) { modifiedSignals.push_back(m); };
    }

    // Today's day holds stew without a meal and broth at lunch; iron and vitamin C are followed;
    // a user fact "Waist" is defined. Not modified, nothing refreshed yet.
    void Prepare() {
        doc.AddNutrient(kIron);
        doc.AddNutrient(kVitaminC);
        doc.AddFoodByKey(kStew, kSource);
        doc.SetFoodWeight(doc.AddFoodByKey(kBroth, kSource), 240);
        doc.SetFoodMeal(1, "Lunch");
        doc.Log().Facts().AddOrUpdate(UserLog::CFactReference("Waist", 80, "cm"));
        ResetCounters();
    }

    void SetSizes(LayoutKind kind, std::vector<int> sizes) {
        CGridDim layout = doc.Layout(kind);
        layout.sizes = std::move(sizes);
        doc.SetLayout(kind, std::move(layout));
    }

    // Another program opens the profile at `path`, adds a fact and saves it; answers the file it
    // wrote.
    static std::string SaveFromAnotherProgram(const std::string& path) {
        CProfileDocument other(&Meals(), &Foods());
        EXPECT_TRUE(other.OnOpenDocument(path));
        other.Log().Facts().AddOrUpdate(UserLog::CFactReference("Sleep", 8, "h"));
        EXPECT_TRUE(other.OnSaveDocument(path));
        return FileUtil::ReadFile(path);
    }

    void ResetCounters() {
        doc.SetModifiedFlag(false);
        refreshed = updatedAll = stored = 0;
        modifiedSignals.clear();
    }

    ScopedClock clock;
    RecordingPrompt prompt;
    CProfileDocument doc;
    int refreshed = 0;
    int updatedAll = 0;
    int stored = 0;
    std::vector<bool> modifiedSignals;
};

TEST_F(ProfileDocumentTest, ANewDocumentFollowsEveryNutrientOfTheDataSource) {
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_THAT(Gids(doc.Log()), ElementsAre(kEnergy, kProtein, kFat, kCarbohydrate, kIron, kVitaminC));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_THAT(modifiedSignals, ElementsAre(true));
    ASSERT_EQ(1u, doc.Log().Days().size());
    EXPECT_EQ("20240310", doc.CurrentDate());
    // One column per requirement after the fixed columns of each grid.
    EXPECT_EQ(4 + 6, doc.Layout(kDiet).ColumnCount());
    EXPECT_EQ(1 + 6, doc.Layout(kFood).ColumnCount());
    EXPECT_TRUE(doc.Layout(kDiet).IsConsistent());
}

TEST_F(ProfileDocumentTest, ANewProfileCanFollowWhatThePersonHasReferenceIntakesFor) {
    CDC_DietaryIntakesMgr intakes;
    intakes.InitializeBuiltIn(DriEdition::Current);
    struct Case {
        const char* who;
        int birthYear, birthMonth;
        bool withIntakes;
        std::vector<int> followed;
    };
    // Total fat has a reference intake for infants only; vitamins come before minerals.
    const std::vector<Case> cases = {
        {"a woman of the new profile's defaults", 1970, 1, true, {kEnergy, kProtein, kCarbohydrate, kVitaminC, kIron}},
        {"an infant of five months", 2023, 10, true, {kEnergy, kProtein, kFat, kCarbohydrate, kVitaminC, kIron}},
        {"no reference intakes at hand", 1970, 1, false, {kEnergy, kProtein, kFat, kCarbohydrate, kIron, kVitaminC}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.who);
        CProfileDocument fresh(&Meals(), &Foods());
        if (c.withIntakes) fresh.Log().SetTargetOptions({&intakes, true});
        fresh.Log().Personal().birthYear = c.birthYear;
        fresh.Log().Personal().birthMonth = c.birthMonth;
        ASSERT_TRUE(fresh.OnNewDocument(CProfileDocument::NewNutrients::WithReferenceIntakes));
        EXPECT_EQ(c.followed, Gids(fresh.Log()));
        EXPECT_EQ(4 + static_cast<int>(c.followed.size()), fresh.Layout(kDiet).ColumnCount());
        EXPECT_TRUE(fresh.Layout(kDiet).IsConsistent());
    }
}

TEST_F(ProfileDocumentTest, ResettingTheRequirementsKeepsTheLayoutsInStep) {
    Prepare();
    doc.SetDefaultRequirements();
    EXPECT_EQ(6u, doc.Log().Requirements().size());
    EXPECT_EQ(4 + 6, doc.Layout(kDiet).ColumnCount());
    EXPECT_EQ(1 + 6, doc.Layout(kFood).ColumnCount());
}

struct OperationCase {
    const char* name;
    std::function<void(CProfileDocument&)> run;
    bool modified;
    int updatedAll;
    int refreshed;
    bool rowsFollowTheDay = true;
    friend void PrintTo(const OperationCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileDocumentOperation : public ProfileDocumentTest, public ::testing::WithParamInterface<OperationCase> {};

// Each operation marks the document modified exactly when it changed what is saved, tells the views
// what they must show again, and leaves the layouts with a row per entry and a column per
// requirement.
TEST_P(ProfileDocumentOperation, HasItsEffects) {
    Prepare();
    GetParam().run(doc);
    EXPECT_EQ(GetParam().modified, doc.IsModified());
    EXPECT_EQ(GetParam().updatedAll, updatedAll);
    EXPECT_EQ(GetParam().refreshed, refreshed);
    const int requirements = static_cast<int>(doc.Log().Requirements().size());
    EXPECT_EQ(4 + requirements, doc.Layout(kDiet).ColumnCount());
    EXPECT_EQ(1 + requirements, doc.Layout(kFood).ColumnCount());
    if (GetParam().rowsFollowTheDay) {
        const int entries = static_cast<int>(doc.DayFoods().size());
        EXPECT_EQ(4 + entries, doc.Layout(kDiet).RowCount());
        EXPECT_EQ(2 + entries, doc.Layout(kFood).RowCount());
    }
    EXPECT_TRUE(doc.Layout(kDiet).IsConsistent());
    EXPECT_TRUE(doc.Layout(kFood).IsConsistent());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileDocumentOperation,
    ::testing::Values(
        OperationCase{"AddFood", [](CProfileDocument& d) { EXPECT_EQ(2, d.AddFoodByKey(kSalt, kSource)); }, true, 0, 0},
        OperationCase{"AddUnknownFood", [](CProfileDocument& d) { EXPECT_EQ(-1, d.AddFoodByKey(999, kSource)); }, false,
                      0, 0},
        OperationCase{"RemoveFood", [](CProfileDocument& d) { d.RemoveFood(0); }, true, 1, 0},
        OperationCase{"RemoveFoodOutOfRange", [](CProfileDocument& d) { d.RemoveFood(2); }, false, 0, 0},
        OperationCase{"MoveFood", [](CProfileDocument& d) { d.MoveFood(0, 1); }, true, 0, 0},
        OperationCase{"MoveFoodFromOutOfRange", [](CProfileDocument& d) { d.MoveFood(5, 0); }, false, 0, 0},
        OperationCase{"SetFoodWeight", [](CProfileDocument& d) { d.SetFoodWeight(0, 90); }, true, 1, 0},
        OperationCase{"SetFoodWeightOutOfRange", [](CProfileDocument& d) { d.SetFoodWeight(-1, 90); }, false, 0, 0},
        OperationCase{"SetFoodUnit", [](CProfileDocument& d) { d.SetFoodUnit(1, 2); }, true, 0, 0},
        OperationCase{"SetFoodUnitUnchanged", [](CProfileDocument& d) { d.SetFoodUnit(0, 0); }, false, 0, 0},
        OperationCase{"SetFoodMeal", [](CProfileDocument& d) { d.SetFoodMeal(0, "Dinner"); }, true, 0, 0},
        OperationCase{"SetFoodMealUnchanged", [](CProfileDocument& d) { d.SetFoodMeal(1, "Lunch"); }, false, 0, 0},
        OperationCase{"AddNutrient", [](CProfileDocument& d) { EXPECT_TRUE(d.AddNutrient(kProtein)); }, true, 0, 0},
        OperationCase{"AddNutrientTheDataSourceLacks", [](CProfileDocument& d) { EXPECT_FALSE(d.AddNutrient(12)); },
                      false, 0, 0},
        OperationCase{"RemoveNutrient", [](CProfileDocument& d) { d.RemoveNutrient(0); }, true, 0, 0},
        OperationCase{"RemoveNutrientOutOfRange", [](CProfileDocument& d) { d.RemoveNutrient(2); }, false, 0, 0},
        OperationCase{"MoveNutrient", [](CProfileDocument& d) { d.MoveNutrient(1, 0); }, true, 0, 0},
        OperationCase{"MoveNutrientInPlace", [](CProfileDocument& d) { d.MoveNutrient(1, 1); }, false, 0, 0},
        OperationCase{"DataChanged", [](CProfileDocument& d) { d.DataChanged(); }, true, 1, 0},
        OperationCase{"SetDayFact", [](CProfileDocument& d) { d.SetDayFact("Waist", 79); }, true, 1, 0},
        OperationCase{"DeleteDay", [](CProfileDocument& d) { d.DeleteDay(); }, true, 0, 1, false},
        OperationCase{"GoToDate", [](CProfileDocument& d) { d.GoToDate("20240101"); }, false, 0, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Rows stand for positions in a day's list: logging every day does not make the layouts (and
// the file) grow with the log.
TEST_F(ProfileDocumentTest, TheLayoutsHaveRowsForTheLongestDayOnly) {
    for (const char* day : {"20240301", "20240302", "20240303"}) {
        doc.GoToDate(day);
        doc.AddFoodByKey(kStew, kSource);
        doc.AddFoodByKey(kBroth, kSource);
    }
    doc.AddFoodByKey(kNuts, kSource);
    EXPECT_EQ(4 + 3, doc.Layout(kDiet).RowCount());
    EXPECT_EQ(2 + 3, doc.Layout(kFood).RowCount());
    EXPECT_TRUE(doc.Layout(kDiet).IsConsistent());
}

TEST_F(ProfileDocumentTest, RemovingAFoodRemovesItsRowFromBothLayouts) {
    Prepare();
    // Diet: header, the two entries, three summary rows. Food: tree food, header, the two entries.
    SetSizes(kDiet, {6, 0, -3, 11, 12, 0, 0, 0});
    SetSizes(kFood, {4, 0, 0, -3, 21, 22});
    doc.RemoveFood(0);
    EXPECT_THAT(doc.Layout(kDiet).sizes, ElementsAre(5, 0, -3, 12, 0, 0, 0));
    EXPECT_THAT(doc.Layout(kFood).sizes, ElementsAre(3, 0, 0, -3, 22));
    EXPECT_THAT(FoodNames(doc.CurrentDay()), ElementsAre("Broth"));
}

struct MoveCase {
    int from;
    int to;
    std::vector<int> order;  // gids afterwards
    friend void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.from << "to" << c.to; }
};

class ProfileDocumentMoveNutrient : public ProfileDocumentTest, public ::testing::WithParamInterface<MoveCase> {};

// The requirement and its column in each layout end at the same place.
TEST_P(ProfileDocumentMoveNutrient, MovesTheRequirementAndItsColumns) {
    for (int gid : {kProtein, kFat, kCarbohydrate, kIron}) doc.AddNutrient(gid);
    CGridDim diet = doc.Layout(kDiet);
    CGridDim food = doc.Layout(kFood);
    const std::map<int, int> width = {{kProtein, 10}, {kFat, 11}, {kCarbohydrate, 12}, {kIron, 13}};
    for (int i = 0; i < 4; ++i) {
        diet.SetColumnSize(4 + i, width.at(doc.Log().Requirements()[static_cast<std::size_t>(i)].gid));
        food.SetColumnSize(1 + i, width.at(doc.Log().Requirements()[static_cast<std::size_t>(i)].gid));
    }
    doc.SetLayout(kDiet, diet);
    doc.SetLayout(kFood, food);
    doc.MoveNutrient(GetParam().from, GetParam().to);
    diet = doc.Layout(kDiet);
    food = doc.Layout(kFood);
    EXPECT_EQ(GetParam().order, Gids(doc.Log()));
    for (int i = 0; i < 4; ++i) {
        const int expected = width.at(GetParam().order[static_cast<std::size_t>(i)]);
        EXPECT_EQ(expected, diet.ColumnSize(4 + i)) << "Diet column " << 4 + i;
        EXPECT_EQ(expected, food.ColumnSize(1 + i)) << "Food column " << 1 + i;
    }
    EXPECT_EQ(-2, diet.ColumnSize(0));
    EXPECT_EQ(-2, food.ColumnSize(0));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileDocumentMoveNutrient,
                         ::testing::Values(MoveCase{0, 2, {kFat, kCarbohydrate, kProtein, kIron}},
                                           MoveCase{3, 1, {kProtein, kIron, kFat, kCarbohydrate}},
                                           MoveCase{0, 3, {kFat, kCarbohydrate, kIron, kProtein}},
                                           MoveCase{2, 0, {kCarbohydrate, kProtein, kFat, kIron}},
                                           MoveCase{1, 9, {kProtein, kCarbohydrate, kIron, kFat}}));

TEST_F(ProfileDocumentTest, FoodStatusTellsEntriesWithAndWithoutAMeal) {
    Prepare();
    doc.SetFoodMeal(doc.AddFoodByKey(kStew, kSource), "Dinner");
    EXPECT_EQ(kFoodWithoutMeal | kFoodWithMeal, doc.FoodStatus(kStew, kSource));
    EXPECT_EQ(unsigned{kFoodWithMeal}, doc.FoodStatus(kBroth, kSource));
    EXPECT_EQ(0u, doc.FoodStatus(kSalt, kSource));
}

// A food logged ready to count: one of its first portion, or 100 g without one, in the meal of
// the time of day; never 0 g.
TEST_F(ProfileDocumentTest, AFoodAddedReadyCountsAtOnce) {
    const Meal::MealTime lunchtime{.minutes = 15, .hours = 12};
    const int stew = doc.AddFoodReady(kStew, kSource, lunchtime);
    const int salt = doc.AddFoodReady(kSalt, kSource, {.minutes = 0, .hours = 20});
    ASSERT_GE(salt, 0);
    const auto& foods = doc.CurrentDay().foods;
    EXPECT_EQ(240, foods[stew].weight);  // one cup
    EXPECT_EQ(1, foods[stew].unitIndex);
    EXPECT_EQ(1, foods[stew].Amount());
    EXPECT_EQ("Lunch", foods[stew].meal);
    EXPECT_EQ(100, foods[salt].weight);  // no portions: 100 g
    EXPECT_EQ(0, foods[salt].unitIndex);
    EXPECT_EQ("Supper", foods[salt].meal);
    EXPECT_GT(doc.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue), 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(-1, doc.AddFoodReady(999, kSource, lunchtime));
}

// Logged again from the recent foods: at the amount and unit given, in the meal of the time of
// day; what gives no amount (no grams, a unit the food lacks) is logged as a new food is.
TEST_F(ProfileDocumentTest, AFoodLoggedAgainTakesItsLastAmountAndUnit) {
    const Meal::MealTime lunchtime{.minutes = 15, .hours = 12};
    const auto& foods = doc.CurrentDay().foods;
    const int stew = doc.AddFoodAgain(FoodKey(kStew, kSource), 3, 100, lunchtime);
    ASSERT_GE(stew, 0);
    EXPECT_EQ(100, foods[stew].weight);
    EXPECT_EQ("piece", foods[stew].UnitName());
    EXPECT_EQ(2, foods[stew].Amount());
    EXPECT_EQ("Lunch", foods[stew].meal);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_GT(doc.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue), 0);

    for (auto [unit, grams] : {std::pair{0, 0.0}, {9, 50.0}, {1, -3.0}}) {
        const int again = doc.AddFoodAgain(FoodKey(kStew, kSource), unit, grams, lunchtime);
        ASSERT_GE(again, 0);
        EXPECT_EQ(240, foods[again].weight) << unit << " " << grams;  // one cup
        EXPECT_EQ("cup", foods[again].UnitName()) << unit << " " << grams;
    }
    EXPECT_EQ(-1, doc.AddFoodAgain(FoodKey(999, kSource), 0, 10, lunchtime));
    EXPECT_EQ(4u, foods.size());
}

TEST_F(ProfileDocumentTest, ANewWeightRecomputesTheDaysEnergyShares) {
    const int stew = doc.AddFoodByKey(kStew, kSource);
    doc.SetFoodWeight(stew, 100);
    // 100 g of stew: protein 10 g × 4, fat 5 g × 9, carbohydrate 20 g × 4 kcal.
    const auto& c = doc.Log().EnergyComposition();
    EXPECT_DOUBLE_EQ(24.2, c.GetValue(0, CDS_EnergyComposition::kValue));
    EXPECT_DOUBLE_EQ(27.3, c.GetValue(1, CDS_EnergyComposition::kValue));
    EXPECT_DOUBLE_EQ(48.5, c.GetValue(2, CDS_EnergyComposition::kValue));
    EXPECT_DOUBLE_EQ(0, c.GetValue(3, CDS_EnergyComposition::kValue));
}

TEST_F(ProfileDocumentTest, ACopiedDayPastesIntoAnotherDayWithItsOwnDate) {
    Prepare();
    auto day = doc.Log().GetCurrentDay();
    day->SetFact("Waist", 79);
    day->requirements.emplace_back(kIron, 10, 20);
    ASSERT_TRUE(doc.CanCopy());
    EXPECT_FALSE(doc.CanPaste());
    const std::string text = doc.CopyText();
    EXPECT_THAT(text, StartsWith("<?xml version=\"1.0\""));
    EXPECT_THAT(text, HasSubstr("<clipboard method=\"copy\">"));

    doc.GoToDate("20240311");
    ResetCounters();
    ASSERT_TRUE(doc.CanPaste());
    EXPECT_FALSE(doc.CanCopy());
    ASSERT_TRUE(doc.Paste(text));

    const auto pasted = doc.Log().GetCurrentDay();
    EXPECT_EQ("20240311", pasted->date);
    EXPECT_THAT(FoodNames(*pasted), ElementsAre("Stew", "Broth"));
    EXPECT_EQ("Lunch", pasted->foods[1].meal);
    EXPECT_DOUBLE_EQ(240, pasted->foods[1].weight);
    ASSERT_NE(nullptr, pasted->foods[0].food);
    EXPECT_EQ(Limits(day->requirements), Limits(pasted->requirements));
    ASSERT_NE(nullptr, pasted->FindFact("Waist"));
    EXPECT_DOUBLE_EQ(79, pasted->FindFact("Waist")->value);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(1, refreshed);
    EXPECT_TRUE(prompt.messages.empty());
    // The day it was copied from is untouched.
    EXPECT_EQ("20240310", day->date);
    EXPECT_EQ(2u, day->foods.size());
}

TEST_F(ProfileDocumentTest, PastingNeverMergesIntoADayWithData) {
    Prepare();
    const std::string text = doc.CopyText();
    EXPECT_FALSE(doc.Paste(text));
    EXPECT_EQ(2u, doc.DayFoods().size());
    EXPECT_FALSE(doc.IsModified());
}

struct PasteCase {
    const char* name;
    std::optional<std::string> text;
    const char* message;
    friend void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileDocumentPaste : public ProfileDocumentTest, public ::testing::WithParamInterface<PasteCase> {};

// A clipboard text that can't be read whole leaves the empty day empty.
TEST_P(ProfileDocumentPaste, AFailedPasteLeavesTheDayAsItWas) {
    doc.GoToDate("20240311");
    ResetCounters();
    EXPECT_FALSE(doc.Paste(GetParam().text));
    EXPECT_THAT(prompt.messages, ElementsAre(GetParam().message));
    const auto day = doc.Log().GetCurrentDay();
    EXPECT_EQ("20240311", day->date);
    EXPECT_TRUE(day->IsEmpty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(0, refreshed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileDocumentPaste,
    ::testing::Values(
        PasteCase{"NoText", std::nullopt, "Clipboard data is not available."},
        PasteCase{"NotXml", std::string("Stew, 150 g"), "Failed to load data from clipboard."},
        PasteCase{"NoLogDay", std::string("<?xml version=\"1.0\"?><clipboard method=\"copy\"/>"),
                  "Failed to load data from clipboard."},
        // The first entry reads, the second does not: nothing of the day may be taken.
        PasteCase{"BrokenSecondEntry",
                  std::string("<clipboard method=\"copy\"><LogDay date=\"20240301\"><Food>"
                              "<dayFood weight=\"150\" R=\"1\" meal=\"\" id=\"7\" key=\"100\" name=\"Stew\"/>"
                              "<dayFood weight=\"heavy\" R=\"1\" meal=\"\" id=\"7\" key=\"101\" name=\"Broth\"/>"
                              "</Food><Fact name=\"Waist\" value=\"79\"/></LogDay></clipboard>"),
                  "Failed to load data from clipboard."},
        PasteCase{"CompositionWithoutComponents",
                  std::string("<clipboard method=\"copy\"><LogDay date=\"20240301\"><Food>"
                              "<dayFood weight=\"150\" R=\"1\" meal=\"\" id=\"7\" key=\"100\" name=\"Stew\"/>"
                              "</Food><EnergyComposition/></LogDay></clipboard>"),
                  "Failed to load data from clipboard."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileDocumentTest, ADeletedDayIsNotSaved) {
    TempDir dir;
    Prepare();
    doc.DeleteDay();
    EXPECT_TRUE(doc.CurrentDay().IsEmpty());
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("p.vlx")));
    EXPECT_THAT(dir.Read("p.vlx"), HasSubstr("<Log/>"));
}

struct ExportNameCase {
    const char* first;
    const char* last;
    const char* expected;
    friend void PrintTo(const ExportNameCase& c, std::ostream* os) { *os << "'" << c.first << "'+'" << c.last << "'"; }
};

class ProfileDocumentExportName : public ProfileDocumentTest, public ::testing::WithParamInterface<ExportNameCase> {};

TEST_P(ProfileDocumentExportName, RunsTheNamesTogether) {
    doc.Log().Personal().firstName = GetParam().first;
    doc.Log().Personal().lastName = GetParam().last;
    EXPECT_EQ(GetParam().expected, doc.ExportFileName());
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileDocumentExportName,
                         ::testing::Values(ExportNameCase{" Ann", "Lee ", "AnnLee"},
                                           ExportNameCase{"", "", "VelmoraExport"},
                                           ExportNameCase{" \t", " ", "VelmoraExport"},
                                           ExportNameCase{"Ann", "", "Ann"}));

TEST_F(ProfileDocumentTest, ExportWritesTheProfileAndKeepsPathAndFlag) {
    TempDir dir;
    Prepare();
    doc.SetPathName(dir.File("own.vlx"));
    for (bool modified : {true, false}) {
        doc.SetModifiedFlag(modified);
        ASSERT_TRUE(doc.Export(dir.File("export.vlx")));
        EXPECT_EQ(modified, doc.IsModified());
        EXPECT_EQ(dir.File("own.vlx"), doc.PathName());
    }
    CSingleDayDocData read(&Meals(), &Foods());
    std::string error;
    ASSERT_TRUE(ReadProfileFile(read, dir.File("export.vlx"), error)) << error;
    EXPECT_THAT(FoodNames(read.CurrentDay()), ElementsAre("Stew", "Broth"));
}

struct FactsCase {
    const char* name;
    std::function<void(NS_Data::CUserLog&)> dialog;
    bool modified;
    friend void PrintTo(const FactsCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileDocumentFacts : public ProfileDocumentTest, public ::testing::WithParamInterface<FactsCase> {};

TEST_P(ProfileDocumentFacts, MarksTheDocumentWhenTheDefinitionsChanged) {
    Prepare();
    doc.Facts(GetParam().dialog);
    EXPECT_EQ(GetParam().modified, doc.IsModified());
    EXPECT_EQ(1, refreshed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileDocumentFacts,
    ::testing::Values(FactsCase{"NothingChanged", [](NS_Data::CUserLog&) {}, false},
                      FactsCase{"UnitsOnly", [](NS_Data::CUserLog& l) { l.Facts().At(2).units = "in"; }, false},
                      FactsCase{"TargetValue", [](NS_Data::CUserLog& l) { l.Facts().At(0).value = 65; }, true},
                      FactsCase{"TargetCleared",
                                [](NS_Data::CUserLog& l) { l.Facts().At(2).value = UserLog::kUndefinedValue; }, true},
                      FactsCase{"Renamed", [](NS_Data::CUserLog& l) { l.Facts().At(2).name = "Hips"; }, true},
                      FactsCase{"Added",
                                [](NS_Data::CUserLog& l) {
                                    l.Facts().AddOrUpdate(
                                        UserLog::CFactReference("New Fact 1", UserLog::kUndefinedValue, ""));
                                },
                                true},
                      FactsCase{"Removed",
                                [](NS_Data::CUserLog& l) {
                                    l.RemoveFactFromDays("Waist", true);
                                    l.Facts().RemoveAt(2);
                                },
                                true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileDocumentTest, SavingStoresTheViewAndClearsTheFlag) {
    TempDir dir;
    Prepare();
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("p.vlx")));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(1, stored);
    CProfileDocument again(&Meals(), &Foods());
    ASSERT_TRUE(again.OnOpenDocument(dir.File("p.vlx")));
    EXPECT_FALSE(again.IsModified());
    EXPECT_EQ(dir.File("p.vlx"), again.PathName());
    EXPECT_THAT(FoodNames(again.CurrentDay()), ElementsAre("Stew", "Broth"));
    // Opening computes the day's split: broth's protein is its only energy.
    EXPECT_DOUBLE_EQ(100, again.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue));
}

TEST_F(ProfileDocumentTest, AFileChangedByAnotherProgramIsNotOverwrittenUnasked) {
    TempDir dir;
    const std::string path = dir.File("p.vlx");
    Prepare();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    ASSERT_TRUE(doc.OnSaveDocument(path));  // our own file: no question
    EXPECT_TRUE(prompt.questions.empty());

    // Another program writes the file; the edit here is made afterwards.
    const std::string theirs = SaveFromAnotherProgram(path);
    doc.SetFoodWeight(0, 99);

    prompt.answers = {Services::Answer::No};
    EXPECT_FALSE(doc.OnSaveDocument(path));
    ASSERT_EQ(1u, prompt.questions.size());
    EXPECT_THAT(prompt.questions[0], ::testing::HasSubstr("changed by another program"));
    EXPECT_EQ(theirs, dir.Read("p.vlx"));
    EXPECT_TRUE(doc.IsModified());

    prompt.answers = {Services::Answer::Yes};
    EXPECT_TRUE(doc.OnSaveDocument(path));
    EXPECT_NE(theirs, dir.Read("p.vlx"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.OnSaveDocument(path));  // the stamp is ours again
    EXPECT_EQ(2u, prompt.questions.size());
}

// Another program saves the file while this document is in the middle of saving (here while the
// view hands its contents over): the save fails, and the other program's file stays.
TEST_F(ProfileDocumentTest, AFileChangedWhileSavingIsNotOverwritten) {
    TempDir dir;
    const std::string path = dir.File("p.vlx");
    Prepare();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    doc.SetFoodWeight(0, 99);

    std::string theirs;
    doc.hooks.storeView = [&] { theirs = SaveFromAnotherProgram(path); };
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_EQ(theirs, dir.Read("p.vlx"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_THAT(prompt.messages,
                ElementsAre("Can't save file:\n" + path + "\n" + CProfileDocument::kChangedWhileSaving));
}

// An export writes another file; the document's own file is still the one watched for changes.
TEST_F(ProfileDocumentTest, AfterAnExportTheOwnFileIsStillWatched) {
    TempDir dir;
    const std::string path = dir.File("p.vlx");
    Prepare();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    ASSERT_TRUE(doc.Export(dir.File("export.vlx")));
    EXPECT_TRUE(prompt.questions.empty());

    const std::string theirs = SaveFromAnotherProgram(path);

    doc.SetFoodWeight(0, 99);
    prompt.answers = {Services::Answer::No};
    EXPECT_FALSE(doc.OnSaveDocument(path));
    ASSERT_EQ(1u, prompt.questions.size());
    EXPECT_THAT(prompt.questions[0], HasSubstr("changed by another program"));
    EXPECT_EQ(theirs, dir.Read("p.vlx"));
}

// A profile the user made read-only stays as it is; one reached through a link is written where
// the link leads, and the link stays.
TEST_F(ProfileDocumentTest, SavingRespectsReadOnlyProfilesAndLinks) {
    TempDir dir;
    Prepare();
    dir.Write("real/Ann", "");
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("real/Ann")));
    const std::string saved = dir.Read("real/Ann");
    std::filesystem::create_directories(dir.Path() / "profiles");
    std::filesystem::create_symlink("../real/Ann", dir.Path() / "profiles/Ann");

    CProfileDocument viaLink(&Meals(), &Foods());
    ASSERT_TRUE(viaLink.OnOpenDocument(dir.File("profiles/Ann")));
    viaLink.SetDayFact("Weight", 64);
    ASSERT_TRUE(viaLink.OnSaveDocument(dir.File("profiles/Ann"))) << prompt.messages.at(0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "profiles/Ann"));
    EXPECT_THAT(dir.Read("real/Ann"), HasSubstr("<Fact name=\"Weight\" value=\"64\"/>"));
    EXPECT_EQ(saved, dir.Read("real/Ann~"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "profiles/Ann~"));

    const std::string before = dir.Read("real/Ann");
    ::chmod(dir.File("real/Ann").c_str(), 0444);
    viaLink.SetDayFact("Weight", 65);
    EXPECT_FALSE(viaLink.OnSaveDocument(dir.File("profiles/Ann")));
    EXPECT_EQ(before, dir.Read("real/Ann"));
    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_THAT(prompt.messages[0], StartsWith("Can't save file:\n" + dir.File("profiles/Ann") + "\n"));
    EXPECT_THAT(prompt.messages[0], HasSubstr("read-only"));
    EXPECT_TRUE(viaLink.IsModified());
}

// Every file below `root` with its bytes.
std::map<std::string, std::string> Snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path())) {
        const std::string rel = std::filesystem::relative(e.path(), dir.Path()).string();
        files[rel] = e.is_regular_file() ? dir.Read(rel) : std::string("<folder>");
    }
    return files;
}

// Something that makes writing fail while it lives.
struct Fault {
    virtual ~Fault() = default;
};

// Writes beyond a few bytes fail with "file too large", as on a full disk.
struct FileSizeLimit : Fault {
    FileSizeLimit() {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 64;
        previous = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() override {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
    rlimit saved{};
    void (*previous)(int) = nullptr;
};

struct ReadOnlyFolder : Fault {
    explicit ReadOnlyFolder(std::filesystem::path p) : folder(std::move(p)) {
        std::filesystem::permissions(folder,
                                     std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
    }
    ~ReadOnlyFolder() override {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    }
    std::filesystem::path folder;
};

struct SaveFailureCase {
    const char* name;
    bool needsNonRoot;
    // Prepares the folder and the path to save to; the fault is active while saving.
    std::function<std::unique_ptr<Fault>(const TempDir&, std::string& path)> arrange;
    friend void PrintTo(const SaveFailureCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileDocumentSaveFailure : public ProfileDocumentTest, public ::testing::WithParamInterface<SaveFailureCase> {};

TEST_P(ProfileDocumentSaveFailure, LeavesTheOldFileAndTheDocumentModified) {
    if (GetParam().needsNonRoot && ::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    Prepare();
    doc.SetModifiedFlag();
    std::string path;
    std::unique_ptr<Fault> fault = GetParam().arrange(dir, path);
    const auto before = Snapshot(dir);
    EXPECT_FALSE(doc.OnSaveDocument(path));
    fault.reset();

    EXPECT_EQ(before, Snapshot(dir));  // old file byte for byte, and no temporary file left
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_THAT(prompt.messages[0], StartsWith("Can't save file:\n" + path + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileDocumentSaveFailure,
    ::testing::Values(SaveFailureCase{"FolderWhereTheFileMustGo", false,
                                      [](const TempDir& dir, std::string& path) -> std::unique_ptr<Fault> {
                                          dir.Write("profile/inside.txt", "kept");
                                          path = dir.File("profile");
                                          return nullptr;
                                      }},
                      SaveFailureCase{"DiskFull", false,
                                      [](const TempDir& dir, std::string& path) -> std::unique_ptr<Fault> {
                                          dir.Write("profile", "<?xml version=\"1.0\"?>\n<root app=\"velmora\"/>\n");
                                          path = dir.File("profile");
                                          return std::make_unique<FileSizeLimit>();
                                      }},
                      SaveFailureCase{"ReadOnlyFolder", true,
                                      [](const TempDir& dir, std::string& path) -> std::unique_ptr<Fault> {
                                          dir.Write("profile", "old");
                                          path = dir.File("profile");
                                          return std::make_unique<ReadOnlyFolder>(dir.Path());
                                      }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileDocumentTest, AFileThatFailsToOpenIsReportedWithTheReadersText) {
    const std::string path = Data("broken/other-root.xml");
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_THAT(prompt.messages, ElementsAre("Can't load file:\n" + path + "\n"));
}

TEST_F(ProfileDocumentTest, LostDataIsShownOnceAndMarksTheDocument) {
    ASSERT_TRUE(doc.OnOpenDocument(Data("lost-data.xml")));
    EXPECT_FALSE(doc.IsModified());
    doc.ReportLostData();
    EXPECT_THAT(prompt.messages, ElementsAre("Imported data lost:\nUnknown food reference\n\tOld Cake\n"
                                             "Unknown nutrient\n\tUnobtainium : mg\n\tKryptonite : g\n"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(LoadReport::IsEmpty());
    doc.ReportLostData();
    EXPECT_EQ(1u, prompt.messages.size());
}

// What another read noted (a file that failed half-way, a paste into another profile) is never
// shown as lost data of this profile.
TEST_F(ProfileDocumentTest, LostDataOfOtherReadsIsNotShownHere) {
    ASSERT_TRUE(doc.OnOpenDocument(Data("new-profile.xml")));
    TempDir dir;
    std::string text = FileUtil::ReadFile(Data("lost-data.xml"));
    text.replace(text.find("</Log>"), 6, "<LogDay/></Log>");  // a day without its date
    dir.Write("broken", text);
    CProfileDocument failed(&Meals(), &Foods());
    ASSERT_FALSE(failed.OnOpenDocument(dir.File("broken")));
    prompt.messages.clear();

    CProfileDocument other(&Meals(), &Foods());
    other.GoToDate("20240311");
    ASSERT_TRUE(
        other.Paste(std::string("<clipboard method=\"copy\"><LogDay date=\"20240301\"><Food>"
                                "<dayFood weight=\"80\" R=\"1\" meal=\"\" id=\"7\" key=\"999\" name=\"Old Cake\"/>"
                                "</Food></LogDay></clipboard>")));
    EXPECT_THAT(prompt.messages, ElementsAre("Imported data lost:\nUnknown food reference\n\tOld Cake\n"));
    prompt.messages.clear();

    doc.ReportLostData();
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.OnOpenDocument(Data("new-profile.xml")));
    doc.ReportLostData();
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProfileDocumentTest, TheFoodSelectionReplacesTheDaysEntries) {
    Prepare();
    std::vector<UserLog::CDayFood> chosen(1);
    chosen[0].key = kNuts;
    chosen[0].source = kSource;
    chosen[0].name = "Nuts";
    chosen[0].weight = 28.35;
    chosen[0].unitIndex = -1;
    chosen[0].unitGrams = 28.35;
    chosen.insert(chosen.end(), 3, chosen[0]);
    doc.SetDayFoods(chosen);
    const auto& foods = doc.DayFoods();
    ASSERT_EQ(4u, foods.size());
    EXPECT_EQ(2 + 4, doc.Layout(kFood).RowCount());
    ASSERT_NE(nullptr, foods[0].food);
    EXPECT_EQ(1, foods[0].unitIndex);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(1, refreshed);
}

}  // namespace
