#include "Ingredient.h"

namespace {

const char* const kFood = "Food";

// Feeds a DOM "Food" element to a FoodBuilder.
void ReadFood(CDS_Ingredient& food, const Xml::XmlElement& element) {
    using namespace RecordReaders;
    if (element.IsNull()) MissingElement(kFood);
    FoodBuilder builder(food);
    builder.Begin(DomAttrs(element));
    for (const Xml::XmlElement& child : element.ChildElements()) {
        const FoodChild kind = builder.Child(child.TagName(), DomAttrs(child));
        if (kind == FoodChild::Ignore) continue;
        for (const Xml::XmlElement& e : child.ChildElements("E")) {
            if (kind == FoodChild::Nutrition)
                builder.NutritionValue(DomAttrs(e));
            else
                builder.Unit(DomAttrs(e));
        }
    }
    builder.End();
}

}  // namespace

CDS_Ingredient::CDS_Ingredient() { units_.push_back(FoodUnit{"g", 1.0}); }

double CDS_Ingredient::EnergyComponentValue(int index) const {
    return NutrientValue(EnergyComponents::kGid.at(static_cast<std::size_t>(index)));
}

double CDS_Ingredient::EnergyFactor(int index) const { return energyFactors_.at(static_cast<std::size_t>(index)); }

double CDS_Ingredient::EnergyPer100g() const {
    double kcal = 0.0;
    for (int i = 0; i < EnergyComponents::kCount; ++i) kcal += EnergyFactor(i) * EnergyComponentValue(i);
    return kcal;
}

bool CDS_Ingredient::GetUnit(int index, std::string& unitName, double& grams) const {
    if (index < 0 || static_cast<std::size_t>(index) >= units_.size()) return false;
    unitName = units_[static_cast<std::size_t>(index)].name;
    grams = units_[static_cast<std::size_t>(index)].grams;
    return true;
}

int CDS_Ingredient::FindUnitByName(const std::string& unitName) const {
    for (std::size_t i = 0; i < units_.size(); ++i)
        if (units_[i].name == unitName) return static_cast<int>(i);
    return -1;
}

int CDS_Ingredient::FindUnitByWeight(double grams) const {
    for (std::size_t i = 0; i < units_.size(); ++i)
        if (units_[i].grams == grams) return static_cast<int>(i);
    return -1;
}

void CDS_Ingredient::AddUnit(const std::string& unitName, double grams) { units_.push_back(FoodUnit{unitName, grams}); }

void CDS_Ingredient::Save(const Xml::XmlElement& parent) const { SaveFood(parent); }

Xml::XmlElement CDS_Ingredient::SaveFood(const Xml::XmlElement& parent) const {
    Xml::XmlElement food = parent.AddElement(kFood);
    food.SetAttribute("Name", name_);
    Xml::XmlElement nutrition = food.AddElement("Nutrition");
    for (const auto& [gid, value] : nutrientValues_) {
        Xml::XmlElement e = nutrition.AddElement("E");
        e.SetAttribute("N", gid);
        e.SetAttribute("V", value);
    }
    food.SetAttribute("source", source_);
    food.SetAttribute("key", key_);
    Xml::XmlElement factors = food.AddElement("EnergyFactors");
    for (int i = 0; i < EnergyComponents::kCount; ++i)
        factors.SetAttribute(EnergyComponents::kLetter[i], energyFactors_[i]);
    Xml::XmlElement unitsEl = food.AddElement("Units");
    for (const FoodUnit& u : units_) {
        Xml::XmlElement e = unitsEl.AddElement("E");
        e.SetAttribute("M", u.name);
        e.SetAttribute("K", u.grams);
    }
    return food;
}

void CDS_Ingredient::Load(const Xml::XmlElement& element) { ReadFood(*this, element); }

void CDS_IngredientEx::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement ex = parent.AddElement("FoodEx");
    CDS_Ingredient::Save(ex);
    if (minWeight != 0.0) ex.SetAttribute("min", minWeight);
    if (maxWeight != 0.0) ex.SetAttribute("max", maxWeight);
    ex.SetAttribute("weight", weight);
    ex.SetAttribute("CWI", unitIndex);
    ex.SetAttribute("meal", meal);
    const char* const names[] = {"Px", "Fx", "Cx", "Ax"};
    for (int i = 0; i < EnergyComponents::kCount; ++i) ex.SetAttribute(names[i], componentValues[i]);
}

void CDS_IngredientEx::Load(const Xml::XmlElement& element) {
    using namespace RecordReaders;
    if (element.IsNull()) MissingElement("FoodEx");
    const DomAttrs attrs(element);
    minWeight = DoubleOr(attrs, "min", 0.0);
    maxWeight = DoubleOr(attrs, "max", 0.0);
    weight = DoubleOr(attrs, "weight", 0.0);
    unitIndex = AttrValue::ToInt(Required(attrs, "CWI"));
    meal = std::string(attrs.Get("meal").value_or(""));
    // Only kept, never used: an older document without them still imports.
    const char* const names[] = {"Px", "Fx", "Cx", "Ax"};
    for (int i = 0; i < EnergyComponents::kCount; ++i) componentValues[i] = DoubleOr(attrs, names[i], 0.0);
    Xml::XmlElement food = element.ChildElement(kFood);
    if (food.IsNull()) MissingElement(kFood);
    CDS_Ingredient::Load(food);
}
