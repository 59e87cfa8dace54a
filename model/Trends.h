#pragma once

#include <optional>
#include <string>
#include <vector>

namespace NS_Data {
class CUserLog;
}
namespace UserLog {
class CLogDay;
}

// One measurement or nutrient over a run of days, and what a period of the log adds up to. Days
// are "YYYYMMDD" keys; a range includes both ends. A day without foods has no intake, and a day
// without a fact's value has no value: both are gaps, never zeros.
namespace Trends {

struct Point {
    std::string date;
    std::optional<double> value;
    bool operator==(const Point&) const = default;
};
using Series = std::vector<Point>;

// The log's days within [from, to], in date order (the keys compare as the dates do).
std::vector<const UserLog::CLogDay*> DaysWithin(const NS_Data::CUserLog& log, const std::string& from,
                                                const std::string& to);
// Every day of [from, to], in order; empty when either key is no date or from lies after to.
std::vector<std::string> DaysOf(const std::string& from, const std::string& to);

// The day's intake (rounded as the Diet grid rounds it) on every day of the range that has foods.
Series NutrientSeries(const NS_Data::CUserLog& log, int gid, const std::string& from, const std::string& to);
// The fact's value on every day of the range that has one.
Series FactSeries(const NS_Data::CUserLog& log, const std::string& fact, const std::string& from,
                  const std::string& to);
// The energy requirement of every day of the range that has foods (kcal, whole).
Series RequirementSeries(const NS_Data::CUserLog& log, const std::string& from, const std::string& to);

// The mean of the values present, and how many there were; nullopt without any.
struct Mean {
    double value = 0;
    int days = 0;
    bool operator==(const Mean&) const = default;
};
std::optional<Mean> Average(const Series& series);

// Each day's mean of the values present in the `window` days ending with it; a gap where none
// is. At the start of the series the window holds fewer days.
Series MovingAverage(const Series& series, int window = 7);

// A followed nutrient over a period: its mean over the logged days, judged against its target
// on each day (own limits, else the default targets).
struct PeriodRow {
    int gid = -1;
    std::string name;
    std::string units;
    int days = 0;                   // days with foods
    std::optional<double> average;  // over those days
    // The mean over those days of the goal each was judged against (Targets::Target::goal: the
    // lower target, for energy the requirement), when any had one.
    std::optional<double> target;
    int percent = -1;  // average ÷ target × 100, rounded; -1 without a target
    int under = 0, within = 0, over = 0;
    // The best day is the one nearest its target: the least outside the range, and within a range
    // with two ends the nearest its middle. None when several days are equally near, as every
    // day within a target with one end is. The worst is the farthest outside the range, none when
    // every day was within it.
    std::string bestDate, worstDate;
    bool operator==(const PeriodRow&) const = default;
};
std::vector<PeriodRow> PeriodTable(const NS_Data::CUserLog& log, const std::string& from, const std::string& to);

// A followed or data-source nutrient by the name the Nutrients tab or the data source gives it
// (letter case ignored); -1 when there is none.
int FindNutrient(const NS_Data::CUserLog& log, const std::string& name);

}  // namespace Trends
