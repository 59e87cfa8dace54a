#include "LogDay.h"

namespace UserLog {

CLogDay::CLogDay(const CLogDay& other)
    : date(other.date),
      foods(other.foods),
      energyComposition(other.energyComposition ? std::make_unique<CDS_EnergyComposition>(*other.energyComposition)
                                                : nullptr),
      requirements(other.requirements),
      facts(other.facts) {}

CLogDay& CLogDay::operator=(const CLogDay& other) {
    if (this != &other) *this = CLogDay(other);
    return *this;
}

bool CLogDay::IsEmpty() const {
    return foods.empty() && !energyComposition && requirements.empty() && facts.IsEmpty();
}

void CLogDay::ClearDay() {
    foods.clear();
    energyComposition.reset();
    requirements.clear();
    facts.Clear();
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

void CLogDay::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement el = parent.AddElement("LogDay");
    el.SetAttribute("date", date);
    Xml::XmlElement foodList = el.AddElement("Food");
    for (const CDayFood& entry : foods) entry.Save(foodList);
    if (energyComposition) energyComposition->Save(el);
    if (!requirements.empty()) {
        Xml::XmlElement nutrients = el.AddElement("Nutrients");
        for (const CNutrientRequirement& r : requirements) r.Save(nutrients);
    }
    facts.Save(el);
}

void CLogDay::Load(const Xml::XmlElement& element) {
    date = element.GetAttribute("date").AsString();
    foods.clear();
    for (const Xml::XmlElement& foodList : element.ChildElements("Food")) {
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
        for (const Xml::XmlElement& e : nutrients.ChildElements("NutrientRequirement")) {
            requirements.emplace_back();
            requirements.back().Load(e);
        }
    }
    facts.Load(element);
}

}  // namespace UserLog
