#include "Trends.h"

#include "Targets.h"
#include "UserLog.h"

#include "core/Services.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/FoodIndex.h"
#include "refdata/NutrientLabel.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace Trends {

namespace {

using UserLog::CLogDay;

// Walks the range day by day, taking a value from each log day `valueOf` answers for.
template <class ValueOf>
Series Walk(const NS_Data::CUserLog& log, const std::string& from, const std::string& to, ValueOf valueOf) {
    Series series;
    const std::vector<const CLogDay*> days = DaysWithin(log, from, to);
    std::size_t next = 0;
    for (std::string& date : DaysOf(from, to)) {
        Point point{std::move(date), std::nullopt};
        if (next < days.size() && days[next]->date == point.date) point.value = valueOf(*days[next++]);
        series.push_back(std::move(point));
    }
    return series;
}

// How far an intake lies from a range, relative to the range's edge: 0 inside it.
double Distance(double intake, double min, double max) {
    if (min > 0 && intake < min) return (min - intake) / min;
    if (max > 0 && intake > max) return (intake - max) / max;
    return 0;
}

// How near a day came to its target: first how far outside the range, then, inside a range with
// two ends, how far from its middle in halves of its width. Inside a range with one end every
// day is as good as another.
struct Nearness {
    double outside = 0;
    double fromMiddle = 0;
    auto operator<=>(const Nearness&) const = default;
};

Nearness NearnessOf(double intake, double min, double max) {
    Nearness n{Distance(intake, min, max), 0};
    if (n.outside == 0 && min >= 0 && max > min) n.fromMiddle = std::abs(intake - (min + max) / 2) / ((max - min) / 2);
    return n;
}

}  // namespace

std::vector<const CLogDay*> DaysWithin(const NS_Data::CUserLog& log, const std::string& from, const std::string& to) {
    std::vector<const CLogDay*> days;
    const auto& all = log.Days();
    auto it =
        std::lower_bound(all.begin(), all.end(), from,
                         [](const std::shared_ptr<CLogDay>& day, const std::string& key) { return day->date < key; });
    for (; it != all.end() && (*it)->date <= to; ++it) days.push_back(it->get());
    return days;
}

std::vector<std::string> DaysOf(const std::string& from, const std::string& to) {
    std::vector<std::string> days;
    const auto first = Services::ParseDateKey(from);
    const auto last = Services::ParseDateKey(to);
    if (!first || !last || *first > *last) return days;
    for (boost::gregorian::day_iterator d(*first); *d <= *last; ++d)
        days.push_back(boost::gregorian::to_iso_string(*d));
    return days;
}

Series NutrientSeries(const NS_Data::CUserLog& log, int gid, const std::string& from, const std::string& to) {
    return Walk(log, from, to, [&](const CLogDay& day) -> std::optional<double> {
        if (day.foods.empty()) return std::nullopt;
        return log.DayIntake(day, gid);
    });
}

Series FactSeries(const NS_Data::CUserLog& log, const std::string& fact, const std::string& from,
                  const std::string& to) {
    return Walk(log, from, to, [&](const CLogDay& day) -> std::optional<double> {
        const UserLog::CFact* value = day.FindFact(fact);
        if (!value || !UserLog::IsDefined(value->value)) return std::nullopt;
        return value->value;
    });
}

Series RequirementSeries(const NS_Data::CUserLog& log, const std::string& from, const std::string& to) {
    return Walk(log, from, to, [&](const CLogDay& day) -> std::optional<double> {
        if (day.foods.empty()) return std::nullopt;
        const double kcal = log.DayEnergyRequirement(day);
        return kcal > 0 ? std::optional<double>(kcal) : std::nullopt;
    });
}

std::optional<Mean> Average(const Series& series) {
    Mean mean;
    double sum = 0;
    for (const Point& p : series)
        if (p.value) {
            sum += *p.value;
            ++mean.days;
        }
    if (mean.days == 0) return std::nullopt;
    mean.value = sum / mean.days;
    return mean;
}

Series MovingAverage(const Series& series, int window) {
    Series out;
    out.reserve(series.size());
    double sum = 0;
    int count = 0;
    for (std::size_t i = 0; i < series.size(); ++i) {
        if (series[i].value) {
            sum += *series[i].value;
            ++count;
        }
        if (window > 0 && i >= static_cast<std::size_t>(window)) {
            const Point& leaving = series[i - static_cast<std::size_t>(window)];
            if (leaving.value) {
                sum -= *leaving.value;
                --count;
            }
        }
        out.push_back({series[i].date, count > 0 ? std::optional<double>(sum / count) : std::nullopt});
    }
    return out;
}

std::vector<PeriodRow> PeriodTable(const NS_Data::CUserLog& log, const std::string& from, const std::string& to) {
    std::vector<PeriodRow> rows;
    for (const UserLog::CNutrientRequirement& req : log.Requirements()) {
        PeriodRow row;
        row.gid = req.gid;
        const Nutrient::Label label = Nutrient::LabelOf(req.gid, log.DataSource());
        row.name = label.name;
        row.units = label.units;
        rows.push_back(std::move(row));
    }
    std::vector<double> sums(rows.size(), 0.0);
    std::vector<double> goals(rows.size(), 0.0);
    std::vector<int> goalDays(rows.size(), 0);
    std::vector<std::optional<Nearness>> best(rows.size());
    std::vector<bool> bestShared(rows.size(), false);
    std::vector<double> worst(rows.size(), -1.0);
    for (const CLogDay* day : DaysWithin(log, from, to)) {
        if (day->foods.empty()) continue;
        // In the profile's order, as the rows.
        const std::vector<Targets::Target> targets = Targets::ForDay(log, *day);
        for (std::size_t i = 0; i < rows.size() && i < targets.size(); ++i) {
            const Targets::Target& t = targets[i];
            PeriodRow& row = rows[i];
            ++row.days;
            sums[i] += t.intake;
            switch (t.status) {
                case Targets::Status::Under: ++row.under; break;
                case Targets::Status::Within: ++row.within; break;
                case Targets::Status::Over: ++row.over; break;
                case Targets::Status::None: break;
            }
            if (t.goal >= 0) {
                goals[i] += t.goal;
                ++goalDays[i];
            }
            if (t.status == Targets::Status::None) continue;
            const Nearness nearness = NearnessOf(t.intake, t.min, t.max);
            if (!best[i] || nearness < *best[i]) {
                best[i] = nearness;
                bestShared[i] = false;
                row.bestDate = day->date;
            } else if (nearness == *best[i]) {
                bestShared[i] = true;
            }
            // A period whose every day was within its range has no worst day.
            const double distance = nearness.outside;
            if (distance > 0 && distance > worst[i]) {
                worst[i] = distance;
                row.worstDate = day->date;
            }
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        PeriodRow& row = rows[i];
        if (row.days > 0) row.average = sums[i] / row.days;
        if (goalDays[i] > 0) row.target = goals[i] / goalDays[i];
        if (row.average && row.target) row.percent = Targets::PercentOf(*row.average, *row.target);
        // Days equally near (all within a target with one end, or the same intake) leave no day
        // to single out; naming the first of them would only say which came first.
        if (bestShared[i]) row.bestDate.clear();
    }
    return rows;
}

int FindNutrient(const NS_Data::CUserLog& log, const std::string& name) {
    const CDataSourceMgr* source = log.DataSource();
    if (!source) return -1;
    const std::string wanted = ToUpperAscii(name);
    for (const CDS_Nutrition& nutrient : source->Nutrients()) {
        if (nutrient.Gid() == -1) continue;
        if (ToUpperAscii(nutrient.Name()) == wanted ||
            ToUpperAscii(Nutrient::LabelOf(nutrient.Gid(), source).name) == wanted)
            return nutrient.Gid();
    }
    return -1;
}

}  // namespace Trends
