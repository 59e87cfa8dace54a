#include "document/ProfileDocument.h"

#include "model/Meal.h"

#include "support/DocumentFixture.h"

#include "document/viewmodel/DietGrid.h"
#include "document/viewmodel/EnergyRows.h"
#include "document/viewmodel/NutrientRows.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

using namespace DocumentFixture;
using boost::gregorian::date;

namespace {

// The whole profile as the file would hold it.
std::string ProfileText(const CProfileDocument& doc) {
    Xml::XmlDocument xml;
    Xml::XmlElement root = xml.CreateElement("root");
    xml.AppendChild(root);
    doc.Save(root);
    return xml.GetXml();
}

// The clipboard of the paste case.
std::string& Copied() {
    static std::string text;
    return text;
}

int NutrientRow(int gid) {
    const auto& nutrients = Foods().Nutrients();
    for (std::size_t i = 0; i < nutrients.size(); ++i)
        if (nutrients[i].Gid() == gid) return static_cast<int>(i);
    return -1;
}

class UndoTest : public ::testing::Test {
protected:
    UndoTest() : clock(date(2024, 3, 10)), doc(&Meals(), &Foods()) {
        LoadReport::Clear();
        doc.hooks.undoableChange = [this](std::shared_ptr<const UndoStep> step) { steps.push_back(std::move(step)); };
        doc.hooks.refreshView = [this] { ++refreshed; };
    }

    // Today holds stew (150 g, breakfast) and broth (240 g, lunch) and a weight; iron and vitamin
    // C are followed; yesterday holds nuts. No step recorded.
    void Prepare() {
        doc.GoToDate("20240309");
        doc.AddFoodByKey(kNuts, kSource);
        doc.GoToDate("20240310");
        doc.AddNutrient(kIron);
        doc.AddNutrient(kVitaminC);
        doc.SetFoodWeight(doc.AddFoodByKey(kStew, kSource), 150);
        doc.SetFoodMeal(0, "Breakfast");
        doc.SetFoodWeight(doc.AddFoodByKey(kBroth, kSource), 240);
        doc.SetFoodMeal(1, "Lunch");
        doc.SetDayFact("Weight", 70);
        steps.clear();
        refreshed = 0;
    }

    RecordingPrompt prompt;
    ScopedClock clock;
    CProfileDocument doc;
    std::vector<std::shared_ptr<const UndoStep>> steps;
    int refreshed = 0;
};

struct ChangeCase {
    const char* name;
    const char* label;
    std::function<void(CProfileDocument&)> change;
    std::function<void(CProfileDocument&)> setup = {};  // before the profile is taken as it was
};

std::ostream& operator<<(std::ostream& os, const ChangeCase& c) { return os << c.name; }

class UndoEveryChange : public UndoTest, public ::testing::WithParamInterface<ChangeCase> {};

// Each change is one step; taking it back gives the profile exactly as it was, and making it
// again exactly as it became.
TEST_P(UndoEveryChange, TakesTheProfileBackAndForthExactly) {
    Prepare();
    if (GetParam().setup) GetParam().setup(doc);
    steps.clear();
    const std::string before = ProfileText(doc);
    GetParam().change(doc);
    const std::string after = ProfileText(doc);
    ASSERT_NE(before, after);
    ASSERT_EQ(1u, steps.size());
    EXPECT_EQ(GetParam().label, steps[0]->label);

    doc.Restore(*steps[0], false);
    EXPECT_EQ(before, ProfileText(doc));
    doc.Restore(*steps[0], true);
    EXPECT_EQ(after, ProfileText(doc));
    doc.Restore(*steps[0], false);
    EXPECT_EQ(before, ProfileText(doc));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(1u, steps.size()) << "taking a change back records nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Changes, UndoEveryChange,
    ::testing::Values(
        ChangeCase{"AddReady", "Add Food",
                   [](CProfileDocument& d) {
                       d.AddFoodReady(kSalt, kSource, Meal::MealTime{0, 13});
                   }},
        ChangeCase{"AddAgain", "Add Food",
                   [](CProfileDocument& d) {
                       d.AddFoodAgain(FoodKey(kBroth, kSource), 0, 120, Meal::MealTime{0, 19});
                   }},
        ChangeCase{"Delete", "Delete Food", [](CProfileDocument& d) { d.RemoveFood(0); }},
        ChangeCase{"Move", "Move Food", [](CProfileDocument& d) { d.MoveFood(1, 0); }},
        ChangeCase{"Amount", "Change Amount", [](CProfileDocument& d) { d.SetFoodWeight(1, 300); }},
        ChangeCase{"Unit", "Change Unit", [](CProfileDocument& d) { d.SetFoodUnit(1, 1); }},
        ChangeCase{"Meal", "Change Meal", [](CProfileDocument& d) { d.SetFoodMeal(0, "Dinner"); }},
        ChangeCase{"Clear", "Clear",
                   [](CProfileDocument& d) {
                       CProfileDocument::ChangeScope change(d, "Clear");
                       while (!d.DayFoods().empty()) d.RemoveFood(0);
                   }},
        ChangeCase{"DeleteDay", "Delete Day", [](CProfileDocument& d) { d.DeleteDay(); }},
        ChangeCase{"Paste", "Paste", [](CProfileDocument& d) { EXPECT_TRUE(d.Paste(Copied())); },
                   [](CProfileDocument& d) {
                       Copied() = d.CopyText();
                       d.GoToDate("20240311");
                       // The split follows the day on show once anything changes.
                       d.RecomputeEnergyShares();
                   }},
        ChangeCase{"SelectFoods", "Select Foods",
                   [](CProfileDocument& d) {
                       std::vector<UserLog::CDayFood> foods(d.DayFoods());
                       foods.pop_back();
                       d.SetDayFoods(foods);
                   }},
        ChangeCase{"CopyDay", "Copy Day",
                   [](CProfileDocument& d) {
                       EXPECT_EQ(2, d.CopyDayTo({"20240309", "20240315"}, true));
                   }},
        ChangeCase{"CopyMeal", "Copy Meal",
                   [](CProfileDocument& d) {
                       EXPECT_EQ(2, d.CopyMealTo("Lunch", {"20240311", "20240312"}));
                   }},
        ChangeCase{"RepeatYesterdaysMeal", "Repeat Yesterday's Meal",
                   [](CProfileDocument& d) { EXPECT_EQ(1, d.RepeatYesterdaysMeal("Supper")); },
                   [](CProfileDocument& d) {
                       d.GoToDate("20240309");
                       d.SetFoodMeal(0, "Supper");
                       d.GoToDate("20240310");
                   }},
        ChangeCase{"Fact", "Change Fact", [](CProfileDocument& d) { d.SetDayFact("Weight", 69.5); }},
        ChangeCase{"DietGridLimit", "Change Limit",
                   [](CProfileDocument& d) {
                       // Min of the first followed nutrient: the row under the two entries.
                       EXPECT_TRUE(DietGrid::StoreCell(d, 3, DietGrid::kFixedColumns, "8").stored);
                   }},
        ChangeCase{"EntryLimit", "Change Limit",
                   [](CProfileDocument& d) { EXPECT_TRUE(DietGrid::StoreCell(d, 1, 3, "200").stored); }},
        ChangeCase{"NutrientsTabLimit", "Change Limit",
                   [](CProfileDocument& d) {
                       EXPECT_TRUE(NutrientRows::StoreLimit(d, NutrientRow(kVitaminC), 3, "2000").stored);
                   }},
        ChangeCase{"Follow", "Follow Nutrient",
                   [](CProfileDocument& d) { EXPECT_TRUE(NutrientRows::SetFollowed(d, NutrientRow(kProtein), true)); }},
        ChangeCase{"StopFollowing", "Stop Following Nutrient",
                   [](CProfileDocument& d) { EXPECT_TRUE(NutrientRows::SetFollowed(d, NutrientRow(kIron), false)); }},
        ChangeCase{"MoveNutrient", "Move Nutrient", [](CProfileDocument& d) { d.MoveNutrient(1, 0); }},
        ChangeCase{"EnergyRange", "Change Energy Range",
                   [](CProfileDocument& d) {
                       CProfileDocument::ChangeScope change(d, "Change Energy Range");
                       EXPECT_TRUE(EnergyRows::StoreRange(d.Log().EnergyComposition(), 1, 3, "30").stored);
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoTest, WhatChangesNothingIsNoStep) {
    Prepare();
    doc.SetFoodMeal(0, "Breakfast");
    doc.SetFoodUnit(0, doc.DayFoods()[0].unitIndex);
    doc.SetFoodWeight(0, -5);  // refused
    doc.GoToDate("20240301");
    EXPECT_TRUE(steps.empty());
}

TEST_F(UndoTest, NestedChangesAreOneStepUnderTheOutermostLabel) {
    Prepare();
    {
        CProfileDocument::ChangeScope outer(doc, "Clear");
        doc.RemoveFood(0);
        doc.RemoveFood(0);
        EXPECT_TRUE(steps.empty());
    }
    ASSERT_EQ(1u, steps.size());
    EXPECT_EQ("Clear", steps[0]->label);
}

TEST_F(UndoTest, TakingBackShowsTheDayOfTheChange) {
    Prepare();
    doc.RemoveFood(0);
    doc.GoToDate("20240301");
    refreshed = 0;
    doc.Restore(*steps[0], false);
    EXPECT_EQ("20240310", doc.CurrentDate());
    EXPECT_EQ(2u, doc.DayFoods().size());
    EXPECT_GT(refreshed, 0);
}

// A later step taken back must not undo what changed meanwhile outside any step, nor an earlier
// step's work on another day.
TEST_F(UndoTest, TakingBackLeavesOtherChangesAlone) {
    Prepare();
    doc.SetFoodWeight(0, 10);
    doc.Log().EnergyComposition().SetRequested(1);
    doc.Log().Personal().firstName = "Ann";
    doc.GoToDate("20240309");
    doc.RemoveFood(0);
    doc.Restore(*steps[0], false);  // the amount on the 10th
    EXPECT_EQ(150, doc.DayFoods()[0].weight);
    EXPECT_EQ(1, doc.Log().EnergyComposition().Requested());
    EXPECT_EQ("Ann", doc.Log().Personal().firstName);
    const int yesterday = doc.Log().FindDay("20240309");
    ASSERT_GE(yesterday, 0);
    EXPECT_TRUE(doc.Log().Days()[static_cast<std::size_t>(yesterday)]->foods.empty());
}

TEST_F(UndoTest, UndoOfAPasteIntoANewDayLeavesItEmpty) {
    Prepare();
    const std::string text = doc.CopyText();
    doc.GoToDate("20240320");
    ASSERT_TRUE(doc.Paste(text));
    doc.Restore(*steps.back(), false);
    EXPECT_TRUE(doc.CurrentDay().IsEmpty());
    EXPECT_EQ("20240320", doc.CurrentDate());
}

TEST_F(UndoTest, ANewProfileHasNothingToTakeBack) {
    doc.OnNewDocument();
    EXPECT_TRUE(steps.empty());
}

}  // namespace
