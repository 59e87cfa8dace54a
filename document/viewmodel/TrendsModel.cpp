#include "TrendsModel.h"

#include "model/Targets.h"
#include "model/UserLog.h"

#include "core/Services.h"
#include "refdata/NutrientLabel.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>

namespace TrendsModel {

namespace {

std::string DaysBefore(const std::string& today, int days) {
    const auto date = Services::ParseDateKey(today);
    if (!date) return today;
    return boost::gregorian::to_iso_string(*date - boost::gregorian::days(days));
}

Level Positive(double value) { return value > 0 ? Level(value) : std::nullopt; }

}  // namespace

const std::vector<std::string>& PeriodNames() {
    static const std::vector<std::string> kNames = {"Last 7 days", "Last 30 days", "Last 90 days",
                                                    "Last year",   "Everything",   "From - to"};
    return kNames;
}

DateRange RangeOf(Period period, const NS_Data::CUserLog& log, const std::string& today, const DateRange& range) {
    switch (period) {
        case Period::Last7: return {DaysBefore(today, 6), today};
        case Period::Last30: return {DaysBefore(today, 29), today};
        case Period::Last90: return {DaysBefore(today, 89), today};
        case Period::Year: return {DaysBefore(today, 364), today};
        case Period::Everything: {
            DateRange all;
            for (const auto& day : log.Days()) {
                if (day->IsEmpty()) continue;
                if (all.from.empty()) all.from = day->date;
                all.to = day->date;
            }
            if (all.from.empty()) return {today, today};
            return all;
        }
        case Period::Range:
            if (range.to < range.from) return {range.to, range.from};
            return range;
    }
    return {today, today};
}

std::vector<Run> RunsOf(const Trends::Series& series) {
    std::vector<Run> runs;
    bool open = false;
    for (std::size_t i = 0; i < series.size(); ++i) {
        if (!series[i].value) {
            open = false;
            continue;
        }
        if (!open) runs.push_back({static_cast<int>(i), {}});
        runs.back().values.push_back(*series[i].value);
        open = true;
    }
    return runs;
}

NutrientChart NutrientChartOf(const NS_Data::CUserLog& log, int gid, const DateRange& range) {
    NutrientChart chart;
    const Nutrient::Label label = Nutrient::LabelOf(gid, log.DataSource());
    chart.name = label.name;
    chart.units = label.units;
    chart.intake = Trends::NutrientSeries(log, gid, range.from, range.to);
    chart.average = Trends::Average(chart.intake);

    if (log.FindRequirement(gid) < 0) return chart;
    const UserLog::CLogDay* last = nullptr;
    for (auto it = chart.intake.rbegin(); it != chart.intake.rend() && !last; ++it)
        if (it->value) {
            const int index = log.FindDay(it->date);
            if (index >= 0) last = log.Days()[static_cast<std::size_t>(index)].get();
        }
    if (!last) return chart;
    // Limits the day has of its own stand in for the profile's.
    for (const UserLog::CNutrientRequirement& limits : log.EffectiveRequirementsOf(*last)) {
        if (limits.gid != gid) continue;
        const Targets::Target target = Targets::For(log, *last, limits);
        chart.min = Positive(target.min);
        chart.max = Positive(target.max);
        chart.upper = target.max > 0 ? chart.max : Positive(target.infoUl);
        break;
    }
    return chart;
}

FactChart FactChartOf(const NS_Data::CUserLog& log, const std::string& fact, const DateRange& range) {
    FactChart chart;
    chart.name = fact;
    chart.values = Trends::FactSeries(log, fact, range.from, range.to);
    chart.moving = Trends::MovingAverage(chart.values, 7);
    const int index = log.Facts().FindDefinition(fact);
    if (index >= 0) {
        const UserLog::CFactReference& definition = log.Facts().Definitions()[static_cast<std::size_t>(index)];
        chart.units = definition.units;
        if (UserLog::IsDefined(definition.value)) chart.target = definition.value;
    }
    return chart;
}

EnergyChart EnergyChartOf(const NS_Data::CUserLog& log, const DateRange& range) {
    return {Trends::NutrientSeries(log, Targets::kEnergyGid, range.from, range.to),
            Trends::RequirementSeries(log, range.from, range.to)};
}

std::vector<std::pair<int, std::string>> AxisLabels(const std::vector<std::string>& days, int count) {
    std::vector<std::pair<int, std::string>> labels;
    if (days.empty() || count < 1) return labels;
    const int n = static_cast<int>(days.size());
    const bool years = days.front().substr(0, 4) != days.back().substr(0, 4);
    // Over more than a year the day is too fine to tell.
    const bool months = n > 366;
    const int step = std::max(1, (n + count - 1) / count);
    for (int i = 0; i < n; i += step) {
        const std::string shown = ShowDate(days[static_cast<std::size_t>(i)]);
        std::string text = months ? shown.substr(0, 7) : years ? shown : shown.substr(5);
        // An axis takes each label once.
        if (!labels.empty() && labels.back().second == text) continue;
        labels.emplace_back(i, std::move(text));
    }
    return labels;
}

std::string ShowDate(const std::string& dateKey) {
    if (dateKey.size() != 8) return dateKey;
    return dateKey.substr(0, 4) + "-" + dateKey.substr(4, 2) + "-" + dateKey.substr(6, 2);
}

}  // namespace TrendsModel
