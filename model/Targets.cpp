#include "Targets.h"

#include "UserLog.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "refdata/Ingredient.h"
#include "refdata/NutrientLabel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace Targets {

namespace {

// The table keeps floats; 0.9f is 0.899999976 as a double, which would print and divide as such.
double Exact(float value) {
    if (value < 0) return -1;
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return std::strtod(text, nullptr);
}

Group GroupOf(int gid) {
    if ((gid >= 0 && gid <= 7) || gid == 10 || gid == 11 || (gid >= 41 && gid <= 65)) return Group::Macro;
    if ((gid >= 12 && gid <= 20) || gid == 75 || (gid >= 106 && gid <= 112)) return Group::Minerals;
    if ((gid >= 21 && gid <= 40) || gid == 66 || gid == 81 || gid == 113) return Group::Vitamins;
    return Group::Other;
}

}  // namespace

const char* BasisName(Basis basis) {
    switch (basis) {
        case Basis::Own: return "own";
        case Basis::RDA: return "RDA";
        case Basis::AI: return "AI";
        case Basis::UL: return "UL";
        case Basis::RdaUl: return "RDA+UL";
        case Basis::AiUl: return "AI+UL";
        case Basis::EER: return "EER";
        case Basis::None: break;
    }
    return "none";
}

const char* StatusName(Status status) {
    switch (status) {
        case Status::Under: return "under";
        case Status::Within: return "within";
        case Status::Over: return "over";
        case Status::None: break;
    }
    return "";
}

const char* GroupName(Group group) {
    switch (group) {
        case Group::Macro: return "Energy and macronutrients";
        case Group::Vitamins: return "Vitamins";
        case Group::Minerals: return "Minerals";
        case Group::Other: break;
    }
    return "Other";
}

Status Judge(double intake, double min, double max) {
    if (min < 0 && max < 0) return Status::None;
    if (min >= 0 && intake < min) return Status::Under;
    if (max >= 0 && intake > max) return Status::Over;
    return Status::Within;
}

int PercentOf(double value, double of) {
    if (!(of > 0)) return -1;
    const double percent = value / of * 100;
    return std::isfinite(percent) ? static_cast<int>(std::lround(std::min(percent, 1e9))) : -1;
}

std::pair<double, double> EnergyBand(double requirement) {
    const double eer = std::round(requirement);
    return {std::round(eer * (1 - kEnergyBand)), std::round(eer * (1 + kEnergyBand))};
}

DefaultTarget DefaultFor(const CDC_DietaryIntakesMgr& intakes, int gid, int category, int age,
                         double energyRequirement) {
    DefaultTarget target;
    if (gid == kEnergyGid) {
        // A requirement from a hostile weight may be no number at all.
        if (!(energyRequirement > 0) || !std::isfinite(energyRequirement)) return target;
        std::tie(target.min, target.max) = EnergyBand(energyRequirement);
        target.basis = Basis::EER;
        return target;
    }
    const DietaryIntake* intake = gid >= 0 ? intakes.FindIntake(gid) : nullptr;
    if (!intake) return target;
    float rda = -1, ai = -1, ul = -1;
    if (!intake->GetValues(category, age, rda, ai, ul)) return target;
    const bool hasRda = rda >= 0, hasAi = !hasRda && ai >= 0;
    target.min = hasRda ? Exact(rda) : hasAi ? Exact(ai) : -1;
    if (ul >= 0 && intake->ulForSupplementsOnly)
        target.infoUl = Exact(ul);
    else if (ul >= 0) {
        target.max = Exact(ul);
        target.cdrr = intake->ulIsCdrr;
    }
    const bool hasMax = target.max >= 0;
    if (hasRda)
        target.basis = hasMax ? Basis::RdaUl : Basis::RDA;
    else if (hasAi)
        target.basis = hasMax ? Basis::AiUl : Basis::AI;
    else if (hasMax)
        target.basis = Basis::UL;
    return target;
}

namespace {

// The person as the reference intakes see them on one day, worked out once for all its nutrients.
struct DayPerson {
    int category = UnknownCategory;
    int age = 0;
    double energyRequirement = 0;  // kcal; 0 unless energy is followed
};

DayPerson PersonOn(const NS_Data::CUserLog& log, const UserLog::CLogDay& day, bool energy) {
    const CPersonalData& person = log.Personal();
    return {person.DriCategoryAt(day.date), person.DriAgeAt(day.date), energy ? log.DayEnergyRequirement(day) : 0};
}

Target Judged(const NS_Data::CUserLog& log, const UserLog::CLogDay& day, const UserLog::CNutrientRequirement& req,
              const DayPerson& person) {
    Target target;
    target.gid = req.gid;
    const Nutrient::Label label = Nutrient::LabelOf(req.gid, log.DataSource());
    target.name = label.name;
    target.units = label.units;
    target.group = GroupOf(req.gid);
    target.intake = log.DayIntake(day, req.gid);

    const Options& options = log.TargetOptions();
    DefaultTarget reference;
    if (options.intakes)
        reference = DefaultFor(*options.intakes, req.gid, person.category, person.age, person.energyRequirement);
    target.infoUl = reference.infoUl;
    if (req.min >= 0 || req.max >= 0) {
        target.min = req.min;
        target.max = req.max;
        target.basis = Basis::Own;
    } else if (options.defaultTargets) {
        target.min = reference.min;
        target.max = reference.max;
        target.basis = reference.basis;
        target.cdrr = reference.cdrr;
    }
    target.goal = req.gid == kEnergyGid && person.energyRequirement > 0 ? person.energyRequirement : target.min;
    target.percent = PercentOf(target.intake, target.goal);
    target.status = Judge(target.intake, target.min, target.max);
    return target;
}

}  // namespace

Target For(const NS_Data::CUserLog& log, const UserLog::CLogDay& day, const UserLog::CNutrientRequirement& req) {
    return Judged(log, day, req, PersonOn(log, day, req.gid == kEnergyGid));
}

std::vector<Target> ForDay(const NS_Data::CUserLog& log, const UserLog::CLogDay& day) {
    const std::vector<UserLog::CNutrientRequirement> requirements = log.EffectiveRequirementsOf(day);
    const bool energy =
        std::any_of(requirements.begin(), requirements.end(), [](const auto& req) { return req.gid == kEnergyGid; });
    const DayPerson person = PersonOn(log, day, energy);
    std::vector<Target> targets;
    targets.reserve(requirements.size());
    for (const UserLog::CNutrientRequirement& req : requirements) targets.push_back(Judged(log, day, req, person));
    return targets;
}

std::vector<int> ReferenceNutrients(const NS_Data::CUserLog& log) {
    std::vector<int> gids;
    const CDC_DietaryIntakesMgr* intakes = log.TargetOptions().intakes;
    const std::shared_ptr<UserLog::CLogDay> day = log.GetCurrentDay();
    if (!intakes || !log.DataSource() || !day) return gids;
    const DayPerson person = PersonOn(log, *day, true);
    std::vector<std::pair<Group, int>> found;
    for (const CDS_Nutrition& n : log.DataSource()->Nutrients()) {
        const DefaultTarget target = DefaultFor(*intakes, n.gid, person.category, person.age, person.energyRequirement);
        if (target.basis != Basis::None) found.emplace_back(GroupOf(n.gid), n.gid);
    }
    // Energy heads its group whatever the data source's order.
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::make_pair(a.first, a.second != kEnergyGid) < std::make_pair(b.first, b.second != kEnergyGid);
    });
    for (const auto& entry : found) gids.push_back(entry.second);
    return gids;
}

DayStatus StatusOf(const NS_Data::CUserLog& log, const UserLog::CLogDay& day) {
    DayStatus status;
    status.hasFoods = !day.foods.empty();
    if (!status.hasFoods) return status;
    for (const Target& target : ForDay(log, day)) {
        if (target.gid == kEnergyGid)
            status.energy = target.status;
        else if (target.status == Status::Under || target.status == Status::Over)
            ++status.outside;
    }
    return status;
}

std::vector<std::pair<int, double>> TopContributors(const UserLog::CLogDay& day, int gid, std::size_t count) {
    std::vector<std::pair<int, double>> amounts;
    for (std::size_t i = 0; i < day.foods.size(); ++i) {
        const UserLog::CDayFood& entry = day.foods[i];
        const double amount = entry.food ? entry.weight * entry.food->NutrientValue(gid) / 100 : 0;
        if (amount > 0) amounts.emplace_back(static_cast<int>(i), amount);
    }
    // Equal amounts keep entry order, so the list does not shuffle between refreshes.
    std::stable_sort(amounts.begin(), amounts.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    if (amounts.size() > count) amounts.resize(count);
    return amounts;
}

}  // namespace Targets
