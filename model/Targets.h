#pragma once

#include "TargetOptions.h"

#include <string>
#include <utility>
#include <vector>

namespace NS_Data {
class CUserLog;
}
namespace UserLog {
class CLogDay;
class CNutrientRequirement;
}  // namespace UserLog

// How far a day has come towards each followed nutrient's target. A nutrient the user gave limits
// of their own is judged by those; any other by the person's reference intakes for that day
// (lower = RDA, else AI; upper = UL unless it covers only supplements), and energy by the
// requirement ±10 %. The defaults are computed, never stored in the profile.
namespace Targets {

// The gid of energy in kcal.
inline constexpr int kEnergyGid = 1;
// Energy's default band around the requirement.
inline constexpr double kEnergyBand = 0.10;

enum class Basis { None, Own, RDA, AI, UL, RdaUl, AiUl, EER };
// "none", "own", "RDA", "AI", "UL", "RDA+UL", "AI+UL", "EER".
const char* BasisName(Basis basis);

enum class Status { None, Under, Within, Over };
// "", "under", "within", "over".
const char* StatusName(Status status);

// The nutrient groups of the dashboard, in the order it shows them.
enum class Group { Macro, Vitamins, Minerals, Other };
const char* GroupName(Group group);  // "Energy and macronutrients", "Vitamins", "Minerals", "Other"

struct Target {
    int gid = -1;
    std::string name;   // as the Nutrients tab names it
    std::string units;  // of the data source
    Group group = Group::Other;
    double intake = 0;  // rounded as the Diet grid rounds the day's total
    double min = -1;    // -1: none
    double max = -1;    // -1: none
    Basis basis = Basis::None;
    // The limits are computed from the reference intakes or the requirement, not typed.
    bool IsDefault() const { return basis != Basis::Own && basis != Basis::None; }
    // The person's UL where it is only information (supplements only), else -1. The dashboard
    // marks it; it judges nothing.
    double infoUl = -1;
    // The upper value is sodium's Chronic Disease Risk Reduction intake.
    bool cdrr = false;
    // What `percent` is of: for energy the day's requirement (the middle of its default band),
    // so that every screen and report says the same share of it; for any other nutrient the
    // lower target. -1 when there is none.
    double goal = -1;
    int percent = -1;  // intake ÷ goal × 100, rounded; -1 without a goal
    Status status = Status::None;
};

// Within when min ≤ intake ≤ max for the limits that are set; None when neither is set.
Status Judge(double intake, double min, double max);
// value ÷ of × 100, rounded; -1 when `of` is not above 0 or the quotient is no number.
int PercentOf(double value, double of);
// Energy's default band around a requirement in kcal, each edge in whole kcal.
std::pair<double, double> EnergyBand(double requirement);

// The default target of one nutrient for the day's person: min and max of the basis, left at -1
// where there is none. Energy needs the day's requirement in kcal (0 when unknown).
struct DefaultTarget {
    double min = -1;
    double max = -1;
    Basis basis = Basis::None;
    double infoUl = -1;
    bool cdrr = false;
};
DefaultTarget DefaultFor(const CDC_DietaryIntakesMgr& intakes, int gid, int category, int age,
                         double energyRequirement);

// The nutrients of the log's data source that have a default target for the person on the log's
// current day, as a new profile follows them: energy and the macronutrients first, then the
// vitamins, then the minerals, each group in the data source's order. Empty without reference
// intakes in the log's options.
std::vector<int> ReferenceNutrients(const NS_Data::CUserLog& log);

// The followed nutrients of a day in the profile's order, with the day's own limits in place of
// the profile's, each judged against its target.
std::vector<Target> ForDay(const NS_Data::CUserLog& log, const UserLog::CLogDay& day);
// The target of one requirement on that day.
Target For(const NS_Data::CUserLog& log, const UserLog::CLogDay& day, const UserLog::CNutrientRequirement& req);

// What the calendar shows of a day: nothing for a day without foods, else whether energy is
// within its band and how many nutrients fall outside their range.
struct DayStatus {
    bool hasFoods = false;
    Status energy = Status::None;  // None: energy is not followed or has no target
    int outside = 0;               // nutrients other than energy under or over their target
};
DayStatus StatusOf(const NS_Data::CUserLog& log, const UserLog::CLogDay& day);

// The five (or fewer) entries of the day that gave most of the nutrient, largest first, as
// (entry index, amount); entries that gave none are left out.
std::vector<std::pair<int, double>> TopContributors(const UserLog::CLogDay& day, int gid, std::size_t count = 5);

}  // namespace Targets
