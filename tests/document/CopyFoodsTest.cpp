#include "document/ProfileDocument.h"

#include "support/DocumentFixture.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace DocumentFixture;
using boost::gregorian::date;
using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

constexpr LayoutKind kDiet = LayoutKind::Diet;
constexpr LayoutKind kFood = LayoutKind::Food;

// Name, meal and weight of each entry.
std::vector<std::tuple<std::string, std::string, double>> Entries(const UserLog::CLogDay& day) {
    std::vector<std::tuple<std::string, std::string, double>> out;
    for (const auto& e : day.foods) out.emplace_back(e.name, e.meal, e.weight);
    return out;
}

std::vector<std::pair<std::string, double>> Facts(const UserLog::CLogDay& day) {
    std::vector<std::pair<std::string, double>> out;
    for (const auto& f : day.facts.Items()) out.emplace_back(f.name, f.value);
    return out;
}

std::vector<std::pair<int, double>> OwnLimits(const UserLog::CLogDay& day) {
    std::vector<std::pair<int, double>> out;
    for (const auto& r : day.requirements) out.emplace_back(r.gid, r.min);
    return out;
}

class CopyFoodsTest : public ::testing::Test {
protected:
    CopyFoodsTest() : clock(date(2024, 3, 10)), doc(&Meals(), &Foods()) {
        LoadReport::Clear();
        doc.hooks.refreshView = [this] { ++refreshed; };
    }

    void Add(int key, const std::string& meal, double grams) {
        const int index = doc.AddFoodByKey(key, kSource);
        doc.SetFoodMeal(index, meal);
        doc.SetFoodWeight(index, grams);
    }

    // 9 March: stew and broth at lunch, nuts at dinner. 12 March: salt at breakfast, a weight of
    // 71 and an iron limit of its own. 10 March, current: stew at lunch, broth of no meal, nuts at
    // dinner, its own iron limit and energy split, a weight and a waist measured.
    void Prepare() {
        doc.GoToDate("20240309");
        Add(kStew, "Lunch", 240);
        Add(kBroth, "Lunch", 480);
        Add(kNuts, "Dinner", 28.35);
        doc.GoToDate("20240312");
        Add(kSalt, "Breakfast", 1);
        doc.CurrentDay().SetFact("Weight", 71);
        doc.CurrentDay().requirements.emplace_back(kIron, 10, -1);
        doc.GoToDate("20240310");
        Add(kStew, "Lunch", 240);
        doc.SetFoodUnit(0, 1);  // 1 cup
        Add(kBroth, "", 240);
        Add(kNuts, "Dinner", 28.35);
        UserLog::CLogDay& today = doc.CurrentDay();
        today.requirements.emplace_back(kIron, 8, -1);
        today.energyComposition = std::make_unique<CDS_EnergyComposition>();
        today.energyComposition->SetValue(0, CDS_EnergyComposition::kMin, 25);
        today.SetFact("Weight", 70);
        today.SetFact("Waist", 80);
        doc.SetModifiedFlag(false);
        refreshed = 0;
    }

    const UserLog::CLogDay* Day(const std::string& key) const {
        const int index = doc.Log().FindDay(key);
        return index < 0 ? nullptr : doc.Log().Days()[static_cast<std::size_t>(index)].get();
    }

    ScopedClock clock;
    RecordingPrompt prompt;
    CProfileDocument doc;
    int refreshed = 0;
};

TEST_F(CopyFoodsTest, ACopiedDayIsAppendedToEachDateWithoutItsFacts) {
    Prepare();
    // The current day and a repeated date are passed over.
    EXPECT_EQ(3, doc.CopyDayTo({"20240311", "20240312", "20240310", "20240313", "20240311"}, false));

    const auto copied = Entries(doc.CurrentDay());
    ASSERT_EQ(3u, copied.size());
    for (const char* key : {"20240311", "20240313"}) {
        ASSERT_NE(nullptr, Day(key)) << key;
        EXPECT_EQ(copied, Entries(*Day(key))) << key;
        EXPECT_THAT(OwnLimits(*Day(key)), ElementsAre(Pair(kIron, 8))) << key;
        ASSERT_NE(nullptr, Day(key)->energyComposition) << key;
        EXPECT_EQ(25, Day(key)->energyComposition->GetValue(0, CDS_EnergyComposition::kMin));
        EXPECT_TRUE(Day(key)->facts.IsEmpty()) << key;
    }
    // A day with foods keeps them, its own limit and its weight; the copies come after its foods.
    const UserLog::CLogDay& existing = *Day("20240312");
    EXPECT_EQ("Salt", std::get<0>(Entries(existing).front()));
    EXPECT_EQ(4u, existing.foods.size());
    EXPECT_THAT(OwnLimits(existing), ElementsAre(Pair(kIron, 10)));
    EXPECT_THAT(Facts(existing), ElementsAre(Pair("Weight", 71)));

    EXPECT_EQ("20240310", doc.CurrentDate());
    EXPECT_EQ(copied, Entries(doc.CurrentDay()));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(1, refreshed);
    // The longest day now has four entries: both layouts have a row for each.
    EXPECT_EQ(1 + 4 + 3, doc.Layout(kDiet).RowCount());
    EXPECT_EQ(2 + 4, doc.Layout(kFood).RowCount());

    // The copies are whole entries: they are saved and read back like the originals.
    TempDir dir;
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("p.vlx")));
    CProfileDocument reread(&Meals(), &Foods());
    ASSERT_TRUE(reread.OnOpenDocument(dir.File("p.vlx")));
    reread.GoToDate("20240313");
    EXPECT_EQ(copied, Entries(reread.CurrentDay()));
    EXPECT_EQ("cup", reread.CurrentDay().foods[0].UnitName());
}

TEST_F(CopyFoodsTest, FactsAreCopiedWhenAskedButNeverOverOnesTheDayHas) {
    Prepare();
    EXPECT_EQ(2, doc.CopyDayTo({"20240311", "20240312"}, true));
    EXPECT_THAT(Facts(*Day("20240311")), ElementsAre(Pair("Weight", 70), Pair("Waist", 80)));
    EXPECT_THAT(Facts(*Day("20240312")), ElementsAre(Pair("Weight", 71), Pair("Waist", 80)));
}

TEST_F(CopyFoodsTest, ACopiedMealTakesOnlyThatMealsEntries) {
    Prepare();
    EXPECT_EQ(2, doc.CopyMealTo("Lunch", {"20240311", "20240312"}));
    EXPECT_THAT(Entries(*Day("20240311")), ElementsAre(std::make_tuple("Stew", "Lunch", 240.0)));
    EXPECT_THAT(Entries(*Day("20240312")),
                ElementsAre(std::make_tuple("Salt", "Breakfast", 1.0), std::make_tuple("Stew", "Lunch", 240.0)));
    // Only foods: no limits, no split.
    EXPECT_TRUE(Day("20240311")->requirements.empty());
    EXPECT_EQ(nullptr, Day("20240311")->energyComposition);
    EXPECT_EQ(3u, doc.CurrentDay().foods.size());
    EXPECT_TRUE(doc.IsModified());

    // The entries of no meal are a meal of their own.
    EXPECT_EQ(1, doc.CopyMealTo("", {"20240311"}));
    EXPECT_EQ("Broth", std::get<0>(Entries(*Day("20240311")).back()));
}

TEST_F(CopyFoodsTest, NothingToCopyOrABadDateChangesNothing) {
    Prepare();
    const auto daysBefore = doc.Log().Days().size();
    // A meal the day doesn't have creates no empty days.
    EXPECT_EQ(0, doc.CopyMealTo("Breakfast", {"20240311"}));
    EXPECT_EQ(0, doc.CopyDayTo({"20240310"}, true));
    for (const char* bad : {"2024-03-11", "20240230", ""}) {
        try {
            doc.CopyDayTo({"20240311", bad}, false);
            ADD_FAILURE() << bad;
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ("'" + std::string(bad) + "' is not a date (YYYYMMDD).", e.what());
        }
        EXPECT_THROW(doc.CopyMealTo("Lunch", {bad}), std::invalid_argument) << bad;
    }
    EXPECT_EQ(daysBefore, doc.Log().Days().size());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(0, refreshed);
}

TEST_F(CopyFoodsTest, RepeatingYesterdaysMealAppendsItsEntriesToTheCurrentDay) {
    Prepare();
    const double proteinShare = doc.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue);
    EXPECT_EQ("20240309", doc.DayBeforeCurrent());
    EXPECT_EQ(2, doc.EntriesOn("20240309", "Lunch"));
    EXPECT_EQ(2, doc.RepeatYesterdaysMeal("Lunch"));
    EXPECT_THAT(Entries(doc.CurrentDay()),
                ElementsAre(std::make_tuple("Stew", "Lunch", 240.0), std::make_tuple("Broth", "", 240.0),
                            std::make_tuple("Nuts", "Dinner", 28.35), std::make_tuple("Stew", "Lunch", 240.0),
                            std::make_tuple("Broth", "Lunch", 480.0)));
    EXPECT_EQ(3u, Day("20240309")->foods.size());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(1, refreshed);
    EXPECT_EQ(2 + 5, doc.Layout(kFood).RowCount());
    // The energy split follows the day's new foods.
    EXPECT_NE(proteinShare, doc.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue));
}

TEST_F(CopyFoodsTest, RepeatingAMealYesterdayDidntHaveAddsNothing) {
    Prepare();
    EXPECT_EQ(0, doc.RepeatYesterdaysMeal("Breakfast"));
    // 1 March's day before is 29 February, which has no day at all; none is made.
    doc.GoToDate("20240301");
    EXPECT_EQ("20240229", doc.DayBeforeCurrent());
    const auto daysBefore = doc.Log().Days().size();
    EXPECT_EQ(0, doc.RepeatYesterdaysMeal("Lunch"));
    EXPECT_EQ(daysBefore, doc.Log().Days().size());
    EXPECT_TRUE(doc.CurrentDay().foods.empty());
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
