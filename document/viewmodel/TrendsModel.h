#pragma once

#include "model/Trends.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace NS_Data {
class CUserLog;
}

// What the Trends tab draws, without the drawing: the period's days, each chart's series cut
// into runs of days that have a value, and the lines drawn across a chart. A chart's x is the
// day's index in the period, so that every chart of the tab lines up.
namespace TrendsModel {

enum class Period { Last7, Last30, Last90, Year, Everything, Range };
// The chooser's texts, in the order of the enum.
const std::vector<std::string>& PeriodNames();

struct DateRange {
    std::string from, to;  // "YYYYMMDD", both included
};

// The days a period covers. The "last" periods end today; everything runs from the log's first
// day with data to its last (today alone for an empty log); a range is taken as given, its ends
// swapped when from lies after to.
DateRange RangeOf(Period period, const NS_Data::CUserLog& log, const std::string& today, const DateRange& range = {});

// Consecutive days that have a value: the index of the first in the period, and the values.
struct Run {
    int first = 0;
    std::vector<double> values;
};
std::vector<Run> RunsOf(const Trends::Series& series);

// A horizontal line across a chart; nullopt where there is none.
using Level = std::optional<double>;

struct NutrientChart {
    std::string name, units;
    Trends::Series intake;
    std::optional<Trends::Mean> average;
    // The target of the last day of the period with foods: own limits, else the default targets.
    Level min, max;
    // The highest intake that is still safe: the upper target, or a UL that is only information.
    Level upper;
    bool operator==(const NutrientChart&) const = default;
};
NutrientChart NutrientChartOf(const NS_Data::CUserLog& log, int gid, const DateRange& range);

struct FactChart {
    std::string name, units;
    Trends::Series values;
    Trends::Series moving;  // the 7-day moving average
    Level target;           // the definition's value
    bool operator==(const FactChart&) const = default;
};
FactChart FactChartOf(const NS_Data::CUserLog& log, const std::string& fact, const DateRange& range);

struct EnergyChart {
    Trends::Series eaten;
    Trends::Series requirement;
    bool operator==(const EnergyChart&) const = default;
};
EnergyChart EnergyChartOf(const NS_Data::CUserLog& log, const DateRange& range);

// Labels along the x axis: at most `count` of them, on evenly spaced days, as (index, text);
// "MM-DD" within one year, "YYYY-MM-DD" across years, "YYYY-MM" over more than a year, each
// text once.
std::vector<std::pair<int, std::string>> AxisLabels(const std::vector<std::string>& days, int count);

// "YYYYMMDD" as "YYYY-MM-DD".
std::string ShowDate(const std::string& dateKey);

}  // namespace TrendsModel
