// The report document's view of the log: the saved layouts plus what a report shows and a file
// does not keep.

#include "UserLog.h"

#include "Meal.h"
#include "Targets.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace UserLog {

void CDayFood::WriteReport(const Xml::XmlElement& parent) const {
    Save(parent);
    Xml::XmlElement el = parent.SelectSingleNode("dayFood[last()]");
    el.SetAttribute("amount", Amount());
    el.SetAttribute("units", UnitName());
}

void CNutrientRequirement::WriteReport(const Xml::XmlElement& parent, double intake) const {
    if (gid == -1) return;
    Save(parent);
    Xml::XmlElement el = parent.SelectSingleNode("NutrientRequirement[last()]");
    el.SetAttribute("value", intake);
}

Xml::XmlElement CLogDay::WriteReport(const Xml::XmlElement& parent) const {
    Xml::XmlElement el = parent.AddElement("LogDay");
    el.SetAttribute("date", date);
    Xml::XmlElement foodList = el.AddElement("Food");
    for (const CDayFood& entry : foods) entry.WriteReport(foodList);
    if (energyComposition) energyComposition->Save(el);
    if (!requirements.empty()) {
        Xml::XmlElement nutrients = el.AddElement("Nutrients");
        for (const CNutrientRequirement& r : requirements) r.Save(nutrients);
    }
    facts.Save(el);
    return el;
}

}  // namespace UserLog

namespace NS_Data {

namespace {

// Weights, heights and extra energies read from a file may be any number a double holds; an
// energy that can't be an int is written as the nearest one, and one that is no number as 0.
int RoundedKcal(double energy) {
    if (std::isnan(energy)) return 0;
    const double rounded = std::floor(energy + 0.5);
    return static_cast<int>(std::clamp(rounded, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

void CUserLog::WriteReport(const Xml::XmlElement& parent, const std::string& version) const {
    Xml::XmlElement profile = parent.AddElement("Profile");
    profile.SetAttribute("version", version);
    personal_.Save(profile);
    // The stored split is whatever day was last computed; a report of this day shows this day's.
    CDS_EnergyComposition split = energyComposition_;
    split.SetFromEnergies(currentDay_->ComponentEnergies());
    split.Save(profile.AddElement("Energy"));
    // The profile's limits with the current day's intakes; the day's own limits follow in its
    // "LogDay", so a template can tell which apply.
    Xml::XmlElement nutrients = profile.AddElement("Nutrients");
    // Each with the target the day is judged against: own limits, else the defaults.
    const std::vector<Targets::Target> targets = Targets::ForDay(*this, *currentDay_);
    for (std::size_t i = 0; i < requirements_.size(); ++i) {
        const UserLog::CNutrientRequirement& r = requirements_[i];
        r.WriteReport(nutrients, GetIntake(r.gid));
        if (r.gid == -1 || i >= targets.size()) continue;
        const Targets::Target& t = targets[i];
        Xml::XmlElement target = nutrients.SelectSingleNode("NutrientRequirement[last()]").AddElement("Target");
        if (t.min >= 0) target.SetAttribute("min", t.min);
        if (t.max >= 0) target.SetAttribute("max", t.max);
        target.SetAttribute("basis", Targets::BasisName(t.basis));
        if (t.IsDefault()) target.SetAttribute("default", "true");
        if (t.goal >= 0) target.SetAttribute("goal", t.goal);
        if (t.percent >= 0) target.SetAttribute("percent", t.percent);
        if (t.status != Targets::Status::None) target.SetAttribute("status", Targets::StatusName(t.status));
        if (t.infoUl >= 0) target.SetAttribute("supplementUL", t.infoUl);
        if (t.cdrr) target.SetAttribute("cdrr", "true");
    }
    if (meals_) meals_->Save(profile);
    Xml::XmlElement day = currentDay_->WriteReport(profile.AddElement("Log"));

    std::string expression;
    const double energy = personal_.EnergyRequirement(GetEnergyInputs(), expression);
    Xml::XmlElement requirement = day.AddElement("EnergyRequirement");
    requirement.SetAttribute("value", RoundedKcal(energy));
    requirement.SetAttribute("expression", expression);
}

}  // namespace NS_Data
