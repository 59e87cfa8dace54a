#include "LogDay.h"

namespace UserLog {

CLogDay::CLogDay(const CLogDay& other)
    : date(other.date),
      foods(other.foods),
      energyComposition(other.energyComposition ? std::make_unique<CDS_EnergyComposition>(*other.energyComposition)
                                                : nullptr),
      requirements(other.requirements),
      facts(other.facts),
      unknown(other.unknown) {}

CLogDay& CLogDay::operator=(const CLogDay& other) {
    if (this != &other) *this = CLogDay(other);
    return *this;
}

bool CLogDay::IsEmpty() const {
    return foods.empty() && !energyComposition && requirements.empty() && facts.IsEmpty() && unknown.day.IsEmpty() &&
           unknown.foodList.IsEmpty() && unknown.nutrientList.IsEmpty();
}

void CLogDay::ClearDay() {
    foods.clear();
    energyComposition.reset();
    requirements.clear();
    facts.Clear();
    unknown = {};
}

CDayFood* CLogDay::AddFood(std::shared_ptr<CDS_Ingredient> food, int index) {
    CDayFood entry(std::move(food));
    if (index < 0 || static_cast<std::size_t>(index) >= foods.size()) {
        foods.push_back(std::move(entry));
        return &foods.back();
    }
    return &*foods.insert(foods.begin() + index, std::move(entry));
}

void CLogDay::RemoveFood(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < foods.size()) foods.erase(foods.begin() + index);
}

std::array<double, CDS_EnergyComposition::kComponentCount> CLogDay::ComponentEnergies() const {
    std::array<double, CDS_EnergyComposition::kComponentCount> energies{};
    for (const CDayFood& entry : foods) {
        if (!entry.food) continue;
        for (int i = 0; i < CDS_EnergyComposition::kComponentCount; ++i)
            energies[static_cast<std::size_t>(i)] +=
                entry.food->EnergyFactor(i) * entry.weight * entry.food->EnergyComponentValue(i);
    }
    return energies;
}

void CLogDay::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement el = parent.AddElement("LogDay");
    el.SetAttribute("date", date);
    Xml::XmlElement foodList = el.AddElement("Food");
    for (const CDayFood& entry : foods) entry.Save(foodList);
    unknown.foodList.Restore(foodList);
    if (energyComposition) energyComposition->Save(el);
    if (!requirements.empty() || !unknown.nutrientList.IsEmpty()) {
        Xml::XmlElement nutrients = el.AddElement("Nutrients");
        for (const CNutrientRequirement& r : requirements) r.Save(nutrients);
        unknown.nutrientList.Restore(nutrients);
    }
    facts.Save(el);
    unknown.day.Restore(el);
}

void CLogDay::Load(const Xml::XmlElement& element) {
    date = element.GetAttribute("date").AsString();
    unknown = {};
    unknown.day.Capture(element, {"date"}, {"Food", "EnergyComposition", "Nutrients", "Fact"});
    foods.clear();
    for (const Xml::XmlElement& foodList : element.ChildElements("Food")) {
        unknown.foodList.Capture(foodList, {}, {"dayFood"});
        for (const Xml::XmlElement& e : foodList.ChildElements("dayFood")) {
            foods.emplace_back();
            foods.back().Load(e);
        }
    }
    energyComposition.reset();
    if (Xml::XmlElement composition = element.ChildElement("EnergyComposition")) {
        energyComposition = std::make_unique<CDS_EnergyComposition>();
        energyComposition->Load(composition);
    }
    requirements.clear();
    for (const Xml::XmlElement& nutrients : element.ChildElements("Nutrients")) {
        unknown.nutrientList.Capture(nutrients, {}, {"NutrientRequirement"});
        for (const Xml::XmlElement& e : nutrients.ChildElements("NutrientRequirement")) {
            requirements.emplace_back();
            requirements.back().Load(e);
        }
    }
    facts.Load(element);
}

}  // namespace UserLog
