#include "document/viewmodel/DayFoodList.h"

#include "support/DocumentFixture.h"

#include "document/ProfileDocument.h"
#include "model/DayFood.h"
#include "model/MealSubtotals.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using namespace DocumentFixture;
using ::testing::ElementsAre;

namespace {

UserLog::CDayFood EntryOf(int key, double weight = 0, int unitIndex = 0, std::string meal = {}) {
    UserLog::CDayFood entry(std::make_shared<CDS_Ingredient>(*Foods().FindFood(FoodKey(key, kSource))));
    entry.weight = weight;
    entry.unitIndex = unitIndex;
    entry.meal = std::move(meal);
    return entry;
}

TEST(DayFoodList, NumbersAreWrittenShortAndZeroIsEmpty) {
    EXPECT_EQ(DayFoodList::NumberText(0), "");
    EXPECT_EQ(DayFoodList::NumberText(56.7), "56.7");
    EXPECT_EQ(DayFoodList::NumberText(1.0 / 3), "0.333333");
    EXPECT_EQ(DayFoodList::NumberText(1234567), "1.23457E+06");
}

TEST(DayFoodList, AmountAndWeightConvertThroughTheShownUnit) {
    // Nuts: unit 0 is the gram, unit 1 an ounce of 28.35 g.
    const auto ounce = EntryOf(kNuts, 0, 1);
    EXPECT_DOUBLE_EQ(DayFoodList::WeightOfAmount(ounce, 2), 56.7);
    EXPECT_EQ(DayFoodList::RowTexts(EntryOf(kNuts, 56.7, 1)),
              (std::vector<std::string>{"Nuts", "", "oz", "2", "56.7"}));

    // Choosing another unit keeps the weight; only the amount changes.
    auto grams = EntryOf(kNuts, 56.7, 0, "Lunch");
    EXPECT_EQ(DayFoodList::RowTexts(grams), (std::vector<std::string>{"Nuts", "Lunch", "g", "56.7", "56.7"}));

    // An index that names no unit shows, and converts through, unit 0.
    const auto stray = EntryOf(kStew, 30, 9);
    EXPECT_EQ(DayFoodList::ShownUnitName(stray), "g");
    EXPECT_DOUBLE_EQ(DayFoodList::WeightOfAmount(stray, 4), 4);

    // A unit of no weight measures nothing: the amount is 0 (an empty cell), not infinite.
    auto weightless = EntryOf(kStew, 30);
    std::vector<FoodUnit> units = weightless.food->Units();
    units[0].grams = 0;
    weightless.food->SetUnits(units);
    EXPECT_EQ(DayFoodList::AmountOf(weightless), 0);
    EXPECT_EQ(DayFoodList::RowTexts(weightless)[DayFoodList::kAmount], "");
}

TEST(DayFoodList, SubtotalRowsNameTheMealAndShowZeroes) {
    EXPECT_THAT(DayFoodList::SubtotalTexts({"Lunch", 2, 312, 14.8, 10, 42.65}),
                ElementsAre("Lunch", "312", "14.8", "10", "42.65"));
    EXPECT_THAT(DayFoodList::SubtotalTexts({"", 1, 0, 0, 0, 0}), ElementsAre("(no meal)", "0", "0", "0", "0"));
}

TEST(DayFoodList, UnitsAreOfferedAndFoundByTheirExactNames) {
    const auto stew = EntryOf(kStew);
    EXPECT_THAT(DayFoodList::UnitNames(stew), ElementsAre("g", "cup", "tablespoon", "piece"));
    EXPECT_EQ(DayFoodList::UnitIndexOfName(stew, "tablespoon"), 2);
    EXPECT_EQ(DayFoodList::UnitIndexOfName(stew, "Cup"), -1);
}

TEST(DayFoodList, OnlyRealisticWeightsAreAccepted) {
    EXPECT_TRUE(DayFoodList::IsAcceptableWeight(0));
    EXPECT_TRUE(DayFoodList::IsAcceptableWeight(56.7));
    EXPECT_FALSE(DayFoodList::IsAcceptableWeight(-1));
    EXPECT_FALSE(DayFoodList::IsAcceptableWeight(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(DayFoodList::IsAcceptableWeight(std::nan("")));
}

struct ButtonCase {
    const char* what;
    int rows;
    std::vector<int> selected;
    std::optional<unsigned> treeFood;
    DayFoodList::ButtonStates expected;  // add, remove, clear, up, down
};

class Buttons : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(Buttons, FollowTheSelection) {
    const ButtonCase& c = GetParam();
    EXPECT_EQ(DayFoodList::ButtonsFor(c.rows, c.selected, c.treeFood), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Buttons,
    ::testing::Values(
        ButtonCase{"empty list, no food", 0, {}, std::nullopt, {false, false, false, false, false}},
        ButtonCase{"a food not on the day", 0, {}, 0u, {true, false, false, false, false}},
        ButtonCase{"on the day without a meal", 1, {}, kFoodWithoutMeal, {false, false, true, false, false}},
        ButtonCase{
            "with and without a meal", 2, {}, kFoodWithoutMeal | kFoodWithMeal, {false, false, true, false, false}},
        ButtonCase{"only with a meal", 1, {}, kFoodWithMeal, {true, false, true, false, false}},
        ButtonCase{"first row", 3, {0}, std::nullopt, {false, true, true, false, true}},
        ButtonCase{"middle row", 3, {1}, std::nullopt, {false, true, true, true, true}},
        ButtonCase{"last row", 3, {2}, std::nullopt, {false, true, true, true, false}},
        ButtonCase{"the only row", 1, {0}, std::nullopt, {false, true, true, false, false}},
        ButtonCase{"two rows", 3, {0, 2}, std::nullopt, {false, false, true, false, false}}));

TEST(DayFoodList, ComparisonTakesTheSelectedEntriesInListOrderThenTheTreeFood) {
    const std::vector<UserLog::CDayFood> entries{EntryOf(kStew), EntryOf(kBroth), EntryOf(kNuts)};
    EXPECT_THAT(DayFoodList::ComparisonKeys(entries, {2, 0}, FoodKey(kSalt, kSource)),
                ElementsAre(FoodKey(kStew, kSource), FoodKey(kNuts, kSource), FoodKey(kSalt, kSource)));
    EXPECT_THAT(DayFoodList::ComparisonKeys(entries, {1}, std::nullopt), ElementsAre(FoodKey(kBroth, kSource)));
    // Each food once: the tree on a selected food, or a food eaten twice that day.
    EXPECT_THAT(DayFoodList::ComparisonKeys(entries, {0, 2}, FoodKey(kNuts, kSource)),
                ElementsAre(FoodKey(kStew, kSource), FoodKey(kNuts, kSource)));
    const std::vector<UserLog::CDayFood> twice{EntryOf(kNuts), EntryOf(kStew), EntryOf(kNuts)};
    EXPECT_THAT(DayFoodList::ComparisonKeys(twice, {0, 2}, std::nullopt), ElementsAre(FoodKey(kNuts, kSource)));
}

}  // namespace
