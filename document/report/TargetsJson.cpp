#include "TargetsJson.h"

#include "model/MealSubtotals.h"
#include "model/Targets.h"
#include "model/Trends.h"
#include "model/UserLog.h"
#include "refdata/Ingredient.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

using Targets::Target;

// -1 stands for "none" in the model; the pages test for null.
Json::Value OrNull(double value) { return value < 0 ? Json::Value() : Json::Value(value); }

double Round(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

Json::Value NutrientJson(const UserLog::CLogDay& day, const Target& target) {
    Json::Value v;
    v["gid"] = target.gid;
    v["name"] = target.name;
    v["units"] = target.units;
    v["intake"] = target.intake;
    v["min"] = OrNull(target.min);
    v["max"] = OrNull(target.max);
    v["basis"] = Targets::BasisName(target.basis);
    v["default"] = target.IsDefault();
    v["infoUl"] = OrNull(target.infoUl);
    v["cdrr"] = target.cdrr;
    v["goal"] = OrNull(target.goal);
    v["percent"] = target.percent < 0 ? Json::Value() : Json::Value(target.percent);
    v["status"] = Targets::StatusName(target.status);
    Json::Value top(Json::arrayValue);
    for (const auto& [index, amount] : Targets::TopContributors(day, target.gid)) {
        const UserLog::CDayFood& entry = day.foods[static_cast<std::size_t>(index)];
        Json::Value food;
        food["name"] = entry.food ? entry.food->Name() : entry.name;
        food["meal"] = entry.meal;
        food["amount"] = Round(amount, 2);
        const int share = Targets::PercentOf(amount, target.intake);
        food["share"] = share < 0 ? Json::Value() : Json::Value(share);
        top.append(food);
    }
    v["top"] = top;
    return v;
}

Json::Value DayTargets(const NS_Data::CUserLog& log) {
    const UserLog::CLogDay& day = *log.GetCurrentDay();
    Json::Value v;
    v["date"] = day.date;
    v["hasFoods"] = !day.foods.empty();
    const std::vector<Target> targets = Targets::ForDay(log, day);

    const double requirement = log.DayEnergyRequirement(day);
    // The data source's energy, as the Energy row of the Diet grid adds it up.
    const double eaten = log.DayIntake(day, Targets::kEnergyGid);
    if (requirement > 0 && std::isfinite(eaten)) {
        // The band the day is judged by: the user's own limits for energy when it has them, else
        // the requirement's; the share is always of the requirement, as on every other page.
        auto [min, max] = Targets::EnergyBand(requirement);
        const auto followed =
            std::find_if(targets.begin(), targets.end(), [](const Target& t) { return t.gid == Targets::kEnergyGid; });
        const bool own = followed != targets.end() && followed->basis == Targets::Basis::Own;
        if (own) std::tie(min, max) = std::pair{followed->min, followed->max};
        Json::Value energy;
        energy["eaten"] = eaten;
        energy["requirement"] = requirement;
        energy["remaining"] = requirement - eaten;
        energy["percent"] = Targets::PercentOf(eaten, requirement);
        energy["min"] = OrNull(min);
        energy["max"] = OrNull(max);
        energy["own"] = own;
        energy["status"] = Targets::StatusName(Targets::Judge(eaten, min, max));
        v["energy"] = energy;
    } else {
        v["energy"] = Json::Value();
    }

    // The day's own ranges when it has them, else the profile's; the shares of what was eaten.
    const CDS_EnergyComposition& ranges = day.energyComposition ? *day.energyComposition : log.EnergyComposition();
    CDS_EnergyComposition shares;
    const auto energies = day.ComponentEnergies();
    shares.SetFromEnergies(energies);
    Json::Value split(Json::arrayValue);
    for (int i = 0; i < CDS_EnergyComposition::kComponentCount; ++i) {
        Json::Value c;
        c["name"] = ranges.ComponentName(i);
        const double value = shares.GetValue(i, CDS_EnergyComposition::kValue);
        const double min = ranges.GetValue(i, CDS_EnergyComposition::kMin);
        const double max = ranges.GetValue(i, CDS_EnergyComposition::kMax);
        c["value"] = value;
        c["min"] = min;
        c["max"] = max > 0 ? Json::Value(max) : Json::Value();  // 0: no upper limit
        c["status"] = day.foods.empty() ? "" : Targets::StatusName(Targets::Judge(value, min, max > 0 ? max : -1));
        split.append(c);
    }
    v["split"] = split;

    Json::Value groups(Json::arrayValue);
    for (const Targets::Group group :
         {Targets::Group::Macro, Targets::Group::Vitamins, Targets::Group::Minerals, Targets::Group::Other}) {
        Json::Value nutrients(Json::arrayValue);
        for (const Target& t : targets)
            if (t.group == group) nutrients.append(NutrientJson(day, t));
        if (nutrients.empty()) continue;
        Json::Value g;
        g["name"] = Targets::GroupName(group);
        g["nutrients"] = nutrients;
        groups.append(g);
    }
    v["groups"] = groups;

    Json::Value meals(Json::arrayValue);
    for (const UserLog::MealSubtotal& s : UserLog::MealSubtotals(day, log.Meals(), log.DataSource())) {
        Json::Value m;
        m["meal"] = s.meal;
        m["energy"] = s.energy;
        m["protein"] = s.protein;
        m["fat"] = s.fat;
        m["carbohydrate"] = s.carbohydrate;
        meals.append(m);
    }
    v["meals"] = meals;
    return v;
}

Json::Value MonthStatus(const NS_Data::CUserLog& log) {
    Json::Value v(Json::objectValue);
    const std::string month = log.GetCurrentDay()->date.substr(0, 6);
    for (const UserLog::CLogDay* day : Trends::DaysWithin(log, month + "01", month + "31")) {
        if (day->foods.empty()) continue;
        const Targets::DayStatus status = Targets::StatusOf(log, *day);
        Json::Value d;
        d["energy"] = Targets::StatusName(status.energy);
        d["outside"] = status.outside;
        v[day->date] = d;
    }
    return v;
}

}  // namespace

bool CTargetsJson::WriteJson(Json::Value& value, const std::string& placeholder) const {
    if (placeholder == kJsonDayTargets) {
        value = DayTargets(log_);
        const SummaryTargetsView view = view_ ? view_() : SummaryTargetsView{};
        value["folded"] = view.folded;
        value["all"] = view.all;
        return true;
    }
    if (placeholder == kJsonMonthStatus) {
        value = MonthStatus(log_);
        return true;
    }
    return false;
}
