// Trends over a ten-year log held in memory (3,650 days of 10 entries): one nutrient's daily
// series and its mean, which the Trends tab and `velmora-cli trends` draw from (aim: under
// 50 ms), a fact's series with its moving average, and the period table of every followed
// nutrient, on the test table and on the USDA table with every nutrient followed and judged by
// default targets, as a new profile on it is.

#include "model/Meal.h"
#include "model/Trends.h"
#include "model/UserLog.h"

#include "core/Services.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"

#include <benchmark/benchmark.h>
#include <boost/date_time/gregorian/gregorian.hpp>

#include <filesystem>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>

namespace {

constexpr int kIron = 13;
const std::string kFirst = "20160101";

const NS_Data::CUserLog& TenYearLog() {
    static Meal::CMealManager meals;
    static CDataSourceMgr foods;
    static NS_Data::CUserLog log(&meals, &foods);
    static const bool built = [] {
        std::string error;
        if (!foods.Load(VELMORA_SOURCE_DIR "/tests/data/model/foods.xml", {}, error)) throw std::runtime_error(error);
        for (const CDS_Nutrition& n : foods.Nutrients()) log.AddRequirement(n.Gid(), 1, 100);
        std::mt19937 rng(11);
        const char* mealNames[] = {"Breakfast", "Lunch", "Dinner"};
        boost::gregorian::date day = *Services::ParseDateKey(kFirst);
        for (int d = 0; d < 3650; ++d, day += boost::gregorian::days(1)) {
            log.SelectDay(boost::gregorian::to_iso_string(day));
            for (int e = 0; e < 10; ++e)
                log.AddFood(20.0 + rng() % 3000 / 10.0, 0, mealNames[e % 3],
                            *foods.FindFood(FoodKey(100 + static_cast<int>(rng() % 4), 7)));
            if (rng() % 4) log.GetCurrentDay()->SetFact("Weight", 60 + rng() % 200 / 10.0);
        }
        return true;
    }();
    (void)built;
    return log;
}

std::string Last() {
    return boost::gregorian::to_iso_string(*Services::ParseDateKey(kFirst) + boost::gregorian::days(3649));
}

void BM_TenYearNutrientSeriesAndAverage(benchmark::State& state) {
    const NS_Data::CUserLog& log = TenYearLog();
    const std::string last = Last();
    for (auto _ : state) {
        const Trends::Series series = Trends::NutrientSeries(log, kIron, kFirst, last);
        const auto mean = Trends::Average(series);
        if (!mean || mean->days != 3650) state.SkipWithError("days missing");
        benchmark::DoNotOptimize(mean);
    }
}
BENCHMARK(BM_TenYearNutrientSeriesAndAverage)->Unit(benchmark::kMillisecond);

void BM_TenYearFactSeriesAndMovingAverage(benchmark::State& state) {
    const NS_Data::CUserLog& log = TenYearLog();
    const std::string last = Last();
    for (auto _ : state) {
        const Trends::Series series = Trends::FactSeries(log, "Weight", kFirst, last);
        benchmark::DoNotOptimize(Trends::MovingAverage(series, 7));
        benchmark::DoNotOptimize(Trends::Average(series));
    }
}
BENCHMARK(BM_TenYearFactSeriesAndMovingAverage)->Unit(benchmark::kMillisecond);

void BM_TenYearPeriodTable(benchmark::State& state) {
    const NS_Data::CUserLog& log = TenYearLog();
    const std::string last = Last();
    for (auto _ : state) benchmark::DoNotOptimize(Trends::PeriodTable(log, kFirst, last));
}
BENCHMARK(BM_TenYearPeriodTable)->Unit(benchmark::kMillisecond);

// Null when the build has no USDA table.
const NS_Data::CUserLog* TenYearUsdaLog() {
    static Meal::CMealManager meals;
    static CDataSourceMgr foods;
    static CDC_DietaryIntakesMgr intakes;
    static NS_Data::CUserLog log(&meals, &foods);
    static const bool built = [] {
        std::string error;
        if (!std::filesystem::exists(VELMORA_USDA_FILE) || !foods.Load(VELMORA_USDA_FILE, {}, error)) return false;
        intakes.InitializeBuiltIn(DriEdition::Current);
        log.SetTargetOptions({&intakes, true});
        log.Personal().female = 0;
        log.Personal().birthYear = 1988;
        std::vector<int> gids;
        for (const CDS_Nutrition& n : foods.Nutrients())
            if (n.Gid() != -1) gids.push_back(n.Gid());
        log.SyncRequirements(gids);
        const int keys[] = {8120, 1079, 9040, 18075, 1132, 5064, 20045, 11091, 16070, 15237, 11828, 4053};
        std::mt19937 rng(5);
        boost::gregorian::date day = *Services::ParseDateKey(kFirst);
        for (int d = 0; d < 3650; ++d, day += boost::gregorian::days(1)) {
            log.SelectDay(boost::gregorian::to_iso_string(day));
            for (int e = 0; e < 10; ++e)
                log.AddFood(20.0 + rng() % 2500 / 10.0, 0, "Lunch", *foods.FindFood(FoodKey(keys[rng() % 12], 1)));
        }
        return true;
    }();
    return built ? &log : nullptr;
}

void BM_TenYearUsdaNutrientSeriesAndAverage(benchmark::State& state) {
    const NS_Data::CUserLog* log = TenYearUsdaLog();
    if (!log) return state.SkipWithError("no USDA table in the build");
    const std::string last = Last();
    for (auto _ : state) benchmark::DoNotOptimize(Trends::Average(Trends::NutrientSeries(*log, kIron, kFirst, last)));
}
BENCHMARK(BM_TenYearUsdaNutrientSeriesAndAverage)->Unit(benchmark::kMillisecond);

void BM_TenYearUsdaPeriodTable(benchmark::State& state) {
    const NS_Data::CUserLog* log = TenYearUsdaLog();
    if (!log) return state.SkipWithError("no USDA table in the build");
    const std::string last = Last();
    for (auto _ : state) benchmark::DoNotOptimize(Trends::PeriodTable(*log, kFirst, last));
    state.counters["nutrients"] = static_cast<double>(log->Requirements().size());
}
BENCHMARK(BM_TenYearUsdaPeriodTable)->Unit(benchmark::kMillisecond);

}  // namespace
