#include "model/MealSubtotals.h"

#include "model/LogDay.h"
#include "model/Meal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

using ::testing::ElementsAreArray;
using UserLog::MealSubtotal;

namespace UserLog {
void PrintTo(const MealSubtotal& s, std::ostream* os) {
    *os << "{'" << s.meal << "' " << s.entries << " entries, " << s.energy << " kcal, P " << s.protein << ", F "
        << s.fat << ", C " << s.carbohydrate << "}";
}
}  // namespace UserLog

namespace {

// Values per 100 g: energy, protein, fat, carbohydrate.
std::shared_ptr<CDS_Ingredient> Food(int key, double kcal, double protein, double fat, double carbohydrate) {
    auto food = std::make_shared<CDS_Ingredient>();
    food->SetFoodKey(FoodKey(key, 7));
    food->SetNutrientValue(1, kcal);
    food->SetNutrientValue(3, protein);
    food->SetNutrientValue(4, fat);
    food->SetNutrientValue(5, carbohydrate);
    return food;
}

const auto kOats = Food(1, 380, 17, 7, 66);
const auto kMilk = Food(2, 61, 3.15, 3.25, 4.8);

struct Entry {
    const char* meal;
    std::shared_ptr<CDS_Ingredient> food;  // null: a food the data lacks
    double grams;
};

struct SubtotalCase {
    const char* name;
    std::vector<Entry> entries;
    bool withMealList;
    std::vector<MealSubtotal> expected;
};

std::ostream& operator<<(std::ostream& os, const SubtotalCase& c) { return os << c.name; }

class MealSubtotalsTable : public ::testing::TestWithParam<SubtotalCase> {};

TEST_P(MealSubtotalsTable, AddsUpEachMealInTheOrderOfTheDay) {
    const Meal::CMealManager meals;
    UserLog::CLogDay day("20240310");
    for (const Entry& e : GetParam().entries) {
        UserLog::CDayFood* entry = day.AddFood(e.food ? e.food : std::make_shared<CDS_Ingredient>());
        if (!e.food) entry->food.reset();
        entry->meal = e.meal;
        entry->weight = e.grams;
    }
    EXPECT_THAT(UserLog::MealSubtotals(day, GetParam().withMealList ? &meals : nullptr, nullptr),
                ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MealSubtotalsTable,
    ::testing::Values(
        SubtotalCase{"AnEmptyDayHasNone", {}, true, {}},
        // 50 g oats + 200 g milk: 190 + 122 kcal, 8.5 + 6.3 g protein, 3.5 + 6.5 g fat, 33 + 9.6 g carbohydrate.
        SubtotalCase{"EntriesOfAMealAddUp",
                     {{"Breakfast", kOats, 50}, {"Breakfast", kMilk, 200}},
                     true,
                     {{"Breakfast", 2, 312, 14.8, 10, 42.6}}},
        // Energy has no decimals, the others two: 33.3 g of milk gives 20.313 kcal and 1.04895 g protein.
        SubtotalCase{"RoundedAsTheDaysIntake", {{"Snack", kMilk, 33.3}}, true, {{"Snack", 1, 20, 1.05, 1.08, 1.6}}},
        SubtotalCase{"TheMealListsOrderThenUnknownNamesThenNoMeal",
                     {{"", kMilk, 100},
                      {"Elevenses", kMilk, 100},
                      {"Supper", kMilk, 100},
                      {"Tea", kMilk, 100},
                      {"Snack", kMilk, 100},
                      {"Breakfast", kMilk, 100},
                      {"Elevenses", kMilk, 100}},
                     true,
                     {{"Breakfast", 1, 61, 3.15, 3.25, 4.8},
                      {"Snack", 1, 61, 3.15, 3.25, 4.8},
                      {"Supper", 1, 61, 3.15, 3.25, 4.8},
                      {"Elevenses", 2, 122, 6.3, 6.5, 9.6},
                      {"Tea", 1, 61, 3.15, 3.25, 4.8},
                      {"", 1, 61, 3.15, 3.25, 4.8}}},
        SubtotalCase{
            "WithoutAMealListTheDaysOrderWithNoMealLast",
            {{"", kMilk, 100}, {"Lunch", kOats, 100}, {"Breakfast", kMilk, 100}},
            false,
            {{"Lunch", 1, 380, 17, 7, 66}, {"Breakfast", 1, 61, 3.15, 3.25, 4.8}, {"", 1, 61, 3.15, 3.25, 4.8}}},
        // An entry not weighed yet, or of a food the data lacks, is counted but adds nothing.
        SubtotalCase{"EntriesThatAddNothingStillCount",
                     {{"Lunch", kOats, 0}, {"Lunch", nullptr, 100}},
                     true,
                     {{"Lunch", 2, 0, 0, 0, 0}}}),
    [](const ::testing::TestParamInfo<SubtotalCase>& info) { return std::string(info.param.name); });

}  // namespace
