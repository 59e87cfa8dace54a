#include "model/Trends.h"

#include "model/Meal.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "support/FakeServices.h"
#include "support/JudgedLogFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using boost::gregorian::date;
using NS_Data::CUserLog;
using Trends::Series;

namespace {

constexpr int kSource = 7;
constexpr int kEnergy = 1, kProtein = 3, kFat = 4, kIron = 13, kVitaminC = 29;
constexpr int kStew = 100, kSalt = 102;  // stew: 10 g protein, 1.234 mg iron, 7.25 mg vitamin C in 100 g

// Values of a series, NAN for a gap, so that a whole series compares in one line.
std::vector<double> Values(const Series& series) {
    std::vector<double> out;
    for (const auto& p : series) out.push_back(p.value ? *p.value : NAN);
    return out;
}

Series Make(const std::vector<double>& values) {
    Series out;
    int day = 1;
    for (double v : values)
        out.push_back({"202401" + std::string(day < 10 ? "0" : "") + std::to_string(day++),
                       std::isnan(v) ? std::nullopt : std::optional<double>(v)});
    return out;
}

MATCHER_P(SeriesIs, expected, "") {
    const std::vector<double> got = Values(arg);
    if (got.size() != expected.size()) return false;
    for (std::size_t i = 0; i < got.size(); ++i)
        if (std::isnan(got[i]) != std::isnan(expected[i]) ||
            (!std::isnan(got[i]) && std::abs(got[i] - expected[i]) > 1e-9))
            return false;
    return true;
}

TEST(TrendsDays, RunAcrossMonthAndYearEndsAndRefuseBadRanges) {
    struct Case {
        const char* from;
        const char* to;
        std::vector<std::string> days;
    };
    const Case cases[] = {
        {"20241230", "20250102", {"20241230", "20241231", "20250101", "20250102"}},
        {"20240228", "20240301", {"20240228", "20240229", "20240301"}},
        {"20230228", "20230301", {"20230228", "20230301"}},
        {"20240501", "20240501", {"20240501"}},
        {"20240502", "20240501", {}},
        {"20240230", "20240301", {}},
        {"2024051", "20240601", {}},
        {"20240501", "", {}},
        {"2024-05-01", "20240601", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.days, Trends::DaysOf(c.from, c.to)) << c.from << ".." << c.to;
}

TEST(TrendsMovingAverage, WindowShrinksAtTheStartAndGapsStayGaps) {
    const double gap = NAN;
    struct Case {
        const char* what;
        std::vector<double> series;
        int window;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {"gaps_skipped_in_the_mean", {1, gap, 3, gap, gap, gap, 7}, 3, {1, 1, 2, 3, 3, gap, 7}},
        {"start_holds_fewer_days", {2, 4, 6, 8}, 7, {2, 3, 4, 5}},
        {"leading_gaps", {gap, gap, 5, 7}, 2, {gap, gap, 5, 6}},
        {"window_of_one_is_the_series", {1, gap, 3}, 1, {1, gap, 3}},
        {"only_gaps", {gap, gap, gap}, 7, {gap, gap, gap}},
        {"empty", {}, 7, {}},
    };
    for (const Case& c : cases) {
        const Series out = Trends::MovingAverage(Make(c.series), c.window);
        EXPECT_THAT(out, SeriesIs(c.expected)) << c.what;
        for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(Make(c.series)[i].date, out[i].date) << c.what;
    }
}

TEST(TrendsAverage, CountsOnlyDaysWithAValue) {
    const auto mean = Trends::Average(Make({4, NAN, 0, NAN, 8}));
    ASSERT_TRUE(mean);
    EXPECT_EQ(3, mean->days);
    EXPECT_DOUBLE_EQ(4, mean->value);  // a zero is a value, a gap is not
    EXPECT_FALSE(Trends::Average(Make({NAN, NAN})));
    EXPECT_FALSE(Trends::Average({}));
}

class TrendsOfALog : public JudgedLogTest {
protected:
    void Eat(const std::string& day, int key, double grams) {
        log_.SelectDay(day);
        log_.AddFood(grams, 0, "", *foods_.FindFood(FoodKey(key, kSource)));
    }
    void Weigh(const std::string& day, double kg) {
        log_.SelectDay(day);
        log_.GetCurrentDay()->SetFact("Weight", kg);
    }
};

TEST_F(TrendsOfALog, DaysWithoutFoodsOrWithoutTheFactAreGaps) {
    Eat("20241230", kStew, 100);  // before the range
    Eat("20241231", kStew, 100);
    Weigh("20241231", 72.5);
    Weigh("20250101", 72.1);     // a day in the log with a fact and no foods
    Eat("20250103", kSalt, 50);  // foods without protein: a zero, not a gap
    Eat("20250104", kStew, 50);
    Eat("20250104", kStew, 150);
    log_.SelectDay("20250105");  // an empty day in the log
    Weigh("20250106", UserLog::kUndefinedValue);
    Eat("20250107", kStew, 10);  // after the range

    const double gap = NAN;
    const Series protein = Trends::NutrientSeries(log_, kProtein, "20241231", "20250106");
    EXPECT_THAT(protein, SeriesIs(std::vector<double>{10, gap, gap, 0, 20, gap, gap}));
    EXPECT_EQ("20250102", protein[2].date);
    const auto mean = Trends::Average(protein);
    ASSERT_TRUE(mean);
    EXPECT_EQ(3, mean->days);
    EXPECT_DOUBLE_EQ(10, mean->value);

    const Series weight = Trends::FactSeries(log_, "Weight", "20241229", "20250106");
    EXPECT_THAT(weight, SeriesIs(std::vector<double>{gap, gap, 72.5, 72.1, gap, gap, gap, gap, gap}));
    EXPECT_DOUBLE_EQ(72.3, Trends::Average(weight)->value);
    EXPECT_FALSE(Trends::Average(Trends::FactSeries(log_, "Waist", "20241229", "20250106")));

    // The requirement is drawn only where foods were eaten.
    const Series requirement = Trends::RequirementSeries(log_, "20241231", "20250102");
    ASSERT_EQ(3u, requirement.size());
    EXPECT_TRUE(requirement[0].value);
    EXPECT_GT(*requirement[0].value, 1500);
    EXPECT_FALSE(requirement[1].value);

    EXPECT_TRUE(Trends::NutrientSeries(log_, kProtein, "20250106", "20241231").empty());
}

TEST_F(TrendsOfALog, PeriodTableJudgesEachLoggedDay) {
    log_.RequirementAt(log_.FindRequirement(kVitaminC)).min = 20;
    log_.RequirementAt(log_.FindRequirement(kVitaminC)).max = 50;
    Eat("20250301", kStew, 2000);  // outside the range
    Eat("20250310", kStew, 600);   // protein 60, iron 7.4, vitamin C 43.5
    Eat("20250311", kStew, 300);   // protein 30, iron 3.7, vitamin C 21.8
    Weigh("20250312", 71);         // no foods: not a logged day
    Eat("20250313", kStew, 1000);  // protein 100, iron 12.34, vitamin C 72.5

    const std::vector<Trends::PeriodRow> rows = Trends::PeriodTable(log_, "20250305", "20250315");
    ASSERT_EQ(4u, rows.size());
    const auto row = [&](int gid) -> const Trends::PeriodRow& {
        for (const auto& r : rows)
            if (r.gid == gid) return r;
        throw std::out_of_range("not in the table");
    };

    struct Expected {
        int gid;
        double average;
        std::optional<double> target;
        int percent, under, within, over;
        const char* best;
        const char* worst;
    };
    const Expected expected[] = {
        {kProtein, 190.0 / 3, 56, 113, 1, 2, 0, "", "20250311"},  // two days within: none the best
        {kIron, (7.4 + 3.7 + 12.34) / 3, 8, 98, 2, 1, 0, "20250313", "20250311"},
        {kVitaminC, (43.5 + 21.8 + 72.5) / 3, 20, 230, 0, 2, 1, "20250310", "20250313"},
    };
    for (const Expected& e : expected) {
        const Trends::PeriodRow& r = row(e.gid);
        SCOPED_TRACE(r.name);
        EXPECT_EQ(3, r.days);
        ASSERT_TRUE(r.average);
        EXPECT_NEAR(e.average, *r.average, 0.01);
        EXPECT_EQ(e.target, r.target);
        EXPECT_EQ(e.percent, r.percent);
        EXPECT_EQ(e.under, r.under);
        EXPECT_EQ(e.within, r.within);
        EXPECT_EQ(e.over, r.over);
        EXPECT_EQ(e.best, r.bestDate);
        EXPECT_EQ(e.worst, r.worstDate);
    }
    EXPECT_EQ("Protein", row(kProtein).name);
    EXPECT_EQ("g", row(kProtein).units);

    // A period whose every day is within range has a best day but no worst one.
    for (const Trends::PeriodRow& r : Trends::PeriodTable(log_, "20250310", "20250310"))
        if (r.gid == kVitaminC) {
            EXPECT_EQ(1, r.within);
            EXPECT_EQ("20250310", r.bestDate);
            EXPECT_EQ("", r.worstDate);
        }

    // A period without foods: every row is there, with nothing to show.
    for (const Trends::PeriodRow& r : Trends::PeriodTable(log_, "20250312", "20250312")) {
        EXPECT_EQ(0, r.days) << r.name;
        EXPECT_FALSE(r.average) << r.name;
        EXPECT_EQ(-1, r.percent) << r.name;
        EXPECT_TRUE(r.bestDate.empty()) << r.name;
    }
}

// Stew gives 10 g protein (one end: RDA 56) and 7.25 mg vitamin C (made a range of 20-50 mg) in
// 100 g; each case eats its grams on the days of a month of its own.
TEST_F(TrendsOfALog, TheBestDayIsTheOneNearestItsTargetOrNone) {
    log_.RequirementAt(log_.FindRequirement(kVitaminC)).min = 20;
    log_.RequirementAt(log_.FindRequirement(kVitaminC)).max = 50;
    struct Case {
        const char* what;
        int gid;
        std::vector<double> grams;  // a day each, from the 1st
        int best;                   // the day's index; -1: none
    };
    const Case cases[] = {
        {"two ends: nearest the middle, not the first within", kVitaminC, {300, 480, 600}, 1},  // 21.75, 34.8, 43.5
        {"two ends: the same intake twice", kVitaminC, {480, 480}, -1},
        {"one end, every day within", kProtein, {600, 1000}, -1},
        {"one end, one day within", kProtein, {300, 600}, 1},
        {"one end, none within: the nearest miss", kProtein, {300, 500, 100}, 1},
    };
    int month = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ++month;
        const std::string prefix = "2025" + std::string(month < 10 ? "0" : "") + std::to_string(month);
        for (std::size_t d = 0; d < c.grams.size(); ++d) Eat(prefix + "0" + std::to_string(d + 1), kStew, c.grams[d]);
        for (const Trends::PeriodRow& row : Trends::PeriodTable(log_, prefix + "01", prefix + "31")) {
            if (row.gid == c.gid) {
                EXPECT_EQ(row.bestDate, c.best < 0 ? "" : prefix + "0" + std::to_string(c.best + 1));
            }
        }
    }
}

TEST_F(TrendsOfALog, NutrientsAreFoundByEitherName) {
    struct Case {
        const char* name;
        int gid;
    };
    const Case cases[] = {
        {"Total Fat", kFat},
        {"Total lipid (fat)", kFat},
        {"iron", kIron},
        {"IRON, FE", kIron},
        {"Vitamin C", kVitaminC},
        {"Protein", kProtein},
        {"Fat", -1},
        {"", -1},
        {"Iron ", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.gid, Trends::FindNutrient(log_, c.name)) << "'" << c.name << "'";
}

}  // namespace
