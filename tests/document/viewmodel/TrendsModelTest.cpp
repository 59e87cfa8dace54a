#include "document/viewmodel/TrendsModel.h"

#include "support/ViewsFixture.h"

#include "model/UserLog.h"

#include <gmock/gmock.h>

#include <set>

using namespace ViewsFixture;
using ::testing::ElementsAre;
using ::testing::Pair;

namespace {

using TrendsModel::Period;

class TrendsModelTest : public Profile {
protected:
    void EatOn(const std::string& date, int key, double grams) {
        doc.Log().SelectDay(date);
        Eat(key, grams);
    }
    void WeighOn(const std::string& date, double kg) {
        doc.Log().SelectDay(date);
        doc.SetDayFact("Weight", kg);
    }
};

std::vector<std::string> Shown(const Trends::Series& series) {
    std::vector<std::string> out;
    for (const auto& p : series) out.push_back(p.value ? std::to_string(static_cast<int>(*p.value * 10)) : "-");
    return out;
}

TEST_F(TrendsModelTest, PeriodsEndTodayAndEverythingSpansTheDaysWithData) {
    // Today is 7 May 2024. A day that was only visited holds nothing and does not count.
    doc.Log().SelectDay("20231231");
    EatOn("20240301", kMeat, 100);
    EatOn("20240420", kMeat, 100);
    doc.Log().SelectDay("20240506");
    struct Case {
        Period period;
        TrendsModel::DateRange range;
        const char* from;
        const char* to;
    } cases[] = {
        {Period::Last7, {}, "20240501", "20240507"},
        {Period::Last30, {}, "20240408", "20240507"},
        {Period::Last90, {}, "20240208", "20240507"},  // February has 29 days
        {Period::Year, {}, "20230509", "20240507"},
        {Period::Everything, {}, "20240301", "20240420"},
        {Period::Range, {"20240101", "20240131"}, "20240101", "20240131"},
        {Period::Range, {"20240131", "20240101"}, "20240101", "20240131"},
    };
    for (const Case& c : cases) {
        const auto range = TrendsModel::RangeOf(c.period, doc.Log(), "20240507", c.range);
        EXPECT_EQ(range.from, c.from) << static_cast<int>(c.period);
        EXPECT_EQ(range.to, c.to) << static_cast<int>(c.period);
    }
    EXPECT_EQ(TrendsModel::PeriodNames().size(), static_cast<std::size_t>(Period::Range) + 1);
}

TEST_F(TrendsModelTest, EverythingOfAnEmptyLogIsToday) {
    const auto range = TrendsModel::RangeOf(Period::Everything, doc.Log(), "20240507");
    EXPECT_EQ(range.from, "20240507");
    EXPECT_EQ(range.to, "20240507");
}

TEST_F(TrendsModelTest, RunsSplitAtEveryGap) {
    auto runs = [](std::vector<std::optional<double>> values) {
        Trends::Series series;
        for (auto v : values) series.push_back({"", v});
        std::vector<std::pair<int, std::vector<double>>> out;
        for (const auto& run : TrendsModel::RunsOf(series)) out.emplace_back(run.first, run.values);
        return out;
    };
    EXPECT_THAT(runs({}), ElementsAre());
    EXPECT_THAT(runs({std::nullopt, std::nullopt}), ElementsAre());
    EXPECT_THAT(runs({1, std::nullopt, 2, 0, std::nullopt}),
                ElementsAre(Pair(0, ElementsAre(1)), Pair(2, ElementsAre(2, 0))));
    EXPECT_THAT(runs({std::nullopt, 5, 6}), ElementsAre(Pair(1, ElementsAre(5, 6))));
}

TEST_F(TrendsModelTest, ADayWithoutFoodsIsAGapAndTheTargetComesFromTheLastLoggedDay) {
    Follow({kIron});
    doc.Log().RequirementAt(0).min = 8;
    doc.Log().RequirementAt(0).max = 45;
    EatOn("20240505", kMeat, 100);  // 2.5 mg iron
    EatOn("20240507", kMeat, 200);  // 5 mg
    EatOn("20240507", kWater, 100);
    doc.CurrentDay().requirements.emplace_back(kIron, 10, 40);  // that day's own limits
    doc.Log().SelectDay("20240506");                            // visited, nothing eaten

    const auto chart = TrendsModel::NutrientChartOf(doc.Log(), kIron, {"20240504", "20240508"});
    EXPECT_EQ(chart.units, "mg");
    EXPECT_THAT(Shown(chart.intake), ElementsAre("-", "25", "-", "50", "-"));
    ASSERT_TRUE(chart.average);
    EXPECT_DOUBLE_EQ(chart.average->value, 3.75);
    EXPECT_EQ(chart.average->days, 2);
    EXPECT_EQ(chart.min, 10);
    EXPECT_EQ(chart.max, 40);
    EXPECT_EQ(chart.upper, 40);

    const auto empty = TrendsModel::NutrientChartOf(doc.Log(), kIron, {"20240401", "20240402"});
    EXPECT_FALSE(empty.average);
    EXPECT_FALSE(empty.min);
    EXPECT_FALSE(empty.upper);
}

TEST_F(TrendsModelTest, AFactChartHasItsMovingAverageAndTheDefinitionsTarget) {
    doc.Log().Facts().At(UserLog::CFactManager::kWeight).value = 60;
    WeighOn("20240501", 64);
    WeighOn("20240503", 62);
    const auto chart = TrendsModel::FactChartOf(doc.Log(), "Weight", {"20240430", "20240503"});
    EXPECT_EQ(chart.units, "kg");
    EXPECT_EQ(chart.target, 60);
    EXPECT_THAT(Shown(chart.values), ElementsAre("-", "640", "-", "620"));
    EXPECT_THAT(Shown(chart.moving), ElementsAre("-", "640", "640", "630"));

    EXPECT_FALSE(TrendsModel::FactChartOf(doc.Log(), "Waist", {"20240430", "20240503"}).target);
}

TEST_F(TrendsModelTest, AxisLabelsAreSpacedAndShowTheYearOnlyAcrossYears) {
    EXPECT_THAT(TrendsModel::AxisLabels(Trends::DaysOf("20240501", "20240505"), 3),
                ElementsAre(Pair(0, "05-01"), Pair(2, "05-03"), Pair(4, "05-05")));
    EXPECT_THAT(TrendsModel::AxisLabels(Trends::DaysOf("20231231", "20240101"), 6),
                ElementsAre(Pair(0, "2023-12-31"), Pair(1, "2024-01-01")));
    EXPECT_THAT(TrendsModel::AxisLabels(Trends::DaysOf("20230101", "20241231"), 4),
                ElementsAre(Pair(0, "2023-01"), Pair(183, "2023-07"), Pair(366, "2024-01"), Pair(549, "2024-07")));
    // Labels closer than a month apart would repeat a month; an axis takes each label once.
    std::set<std::string> texts;
    for (const auto& [index, text] : TrendsModel::AxisLabels(Trends::DaysOf("20230101", "20240201"), 30))
        EXPECT_TRUE(texts.insert(text).second) << text;
    EXPECT_THAT(TrendsModel::AxisLabels({}, 6), ElementsAre());
}

}  // namespace
