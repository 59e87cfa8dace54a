#include "document/viewmodel/RecentFoods.h"

#include "support/DocumentFixture.h"

#include "model/UserLog.h"
#include "refdata/Ingredient.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

using namespace DocumentFixture;

namespace {

struct Logged {
    int food;
    double grams;
    int unit = 0;
};
struct Day {
    const char* date;
    std::vector<Logged> foods;
};

struct RecentCase {
    const char* what;
    std::vector<Day> days;
    std::vector<int> favourites;
    RecentFoods::Limits limits;
    // Section letter (F, R, M), name and what a click logs ("-" for one portion).
    std::vector<std::string> shown;
};

void PrintTo(const RecentCase& c, std::ostream* os) { *os << c.what; }

std::string Describe(const RecentFoods::Item& item) {
    const char* section = item.section == RecentFoods::Section::Favourites ? "F"
                          : item.section == RecentFoods::Section::Recent   ? "R"
                                                                           : "M";
    std::string text = std::string(section) + " " + item.food->Name() + " ";
    if (!item.last) return text + "-";
    char amount[32];
    std::snprintf(amount, sizeof amount, "%g", item.last->amount);
    return text + amount + " " + item.last->unitName;
}

class RecentFoodsTable : public ::testing::TestWithParam<RecentCase> {};

TEST_P(RecentFoodsTable, Lists) {
    const RecentCase& c = GetParam();
    NS_Data::CUserLog log(&Meals(), &Foods());
    for (const Day& day : c.days) {
        log.SelectDay(day.date);
        for (const Logged& l : day.foods)
            log.AddFood(l.grams, l.unit, "Lunch", *Foods().FindFood(FoodKey(l.food, kSource)));
    }
    for (int food : c.favourites) log.SetFavourite(FoodKey(food, kSource), true);

    std::vector<std::string> shown;
    for (const RecentFoods::Item& item : RecentFoods::Build(log, c.limits)) shown.push_back(Describe(item));
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentFoodsTable,
    ::testing::Values(RecentCase{"latest_day_first_and_later_entries_of_a_day_first",
                                 {{"20240102", {{kSalt, 1}, {kNuts, 30}}},
                                  {"20240101", {{kStew, 240, 1}, {kBroth, 15, 2}}}},
                                 {},
                                 {},
                                 {"R Nuts 30 g", "R Salt 1 g", "R Broth 1 tablespoon", "R Stew 1 cup"}},
                      RecentCase{"each_food_once_at_its_latest_amount_and_unit",
                                 {{"20240101", {{kNuts, 28.35, 1}}}, {"20240103", {{kNuts, 10}, {kNuts, 56.7, 1}}}},
                                 {},
                                 {},
                                 {"R Nuts 2 oz"}},
                      RecentCase{"an_entry_never_weighed_gives_no_amount",
                                 {{"20240101", {{kStew, 100, 3}}}, {"20240102", {{kStew, 0}, {kBroth, 0}}}},
                                 {},
                                 {},
                                 {"R Broth -", "R Stew 2 piece"}},
                      RecentCase{"favourites_first_in_the_order_starred_also_unlogged_ones",
                                 {{"20240101", {{kStew, 240, 1}, {kBroth, 15, 2}}}},
                                 {kSalt, kNuts, kBroth},
                                 {},
                                 {"F Salt -", "F Nuts -", "F Broth 1 tablespoon", "R Stew 1 cup"}},
                      RecentCase{"recent_up_to_the_limit_then_the_most_logged_at_least_twice",
                                 {{"20240101", {{kStew, 50}, {kBroth, 20}, {kSalt, 1}}},
                                  {"20240102", {{kStew, 60}, {kBroth, 20}}},
                                  {"20240103", {{kStew, 70}}},
                                  {"20240104", {{kNuts, 30}}}},
                                 {},
                                 {.recent = 1, .frequent = 5},
                                 {"R Nuts 30 g", "M Stew 70 g", "M Broth 20 g"}},
                      RecentCase{"the_most_logged_stop_at_their_limit_ties_going_to_the_later",
                                 {{"20240101", {{kBroth, 20}, {kStew, 50}}},
                                  {"20240102", {{kBroth, 20}, {kStew, 60}}},
                                  {"20240103", {{kNuts, 30}}}},
                                 {},
                                 {.recent = 1, .frequent = 1},
                                 {"R Nuts 30 g", "M Stew 60 g"}},
                      RecentCase{"a_favourite_the_profile_does_not_know_is_left_out",
                                 {{"20240101", {{kSalt, 2}}}},
                                 {999, kSalt},
                                 {},
                                 {"F Salt 2 g"}},
                      RecentCase{"an_empty_log_lists_nothing", {}, {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
