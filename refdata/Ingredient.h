#pragma once

#include "AttrValue.h"
#include "FoodKey.h"
#include "NutrientValueMap.h"
#include "RecordReaders.h"

#include "core/xml/XmlSerialize.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// The four energy components, always in this order: protein, fat, carbohydrate, alcohol.
namespace EnergyComponents {

constexpr int kCount = 4;
// Global nutrient ids of the components.
constexpr std::array<int, kCount> kGid = {3, 4, 5, 6};
// Attribute letters in "EnergyFactors".
constexpr std::array<const char*, kCount> kLetter = {"P", "F", "C", "A"};
// Default energy factors, kcal per gram.
constexpr std::array<double, kCount> kDefaultFactor = {4.0, 9.0, 4.0, 7.0};

}  // namespace EnergyComponents

namespace RecordReaders {
class FoodBuilder;
}

// A serving unit of a food: its name and the grams in one such unit.
struct FoodUnit {
    std::string name;
    double grams = 0.0;

    friend bool operator==(const FoodUnit&, const FoodUnit&) = default;
};

// One food: nutrient values per 100 g, energy factors and serving units. Read from "Food" elements
// of the data source and of profiles; copies are deep.
class CDS_Ingredient : public IXMLSerialize {
public:
    CDS_Ingredient();

    // Writes a "Food" element under the parent. Units are written as plain "E" entries, so
    // reading the element back yields the same unit list.
    void Save(const Xml::XmlElement& parent) const override;
    // The same, answering the element written.
    Xml::XmlElement SaveFood(const Xml::XmlElement& parent) const;
    // Reads a "Food" element; raises Xml::XmlError on a missing required element or attribute
    // or a value that is not a number. Nutrient values are added to those already present.
    void Load(const Xml::XmlElement& element) override;

    // The value in 100 g, 0 when the food has none for that gid.
    double NutrientValue(int gid) const { return nutrientValues_.get(gid); }
    // NutrientValue of the component's gid (index 0-3).
    double EnergyComponentValue(int index) const;
    double EnergyFactor(int index) const;
    // kcal in 100 g: the sum of factor × value over the four components.
    double EnergyPer100g() const;

    // False when the index is not below the number of units.
    bool GetUnit(int index, std::string& unitName, double& grams) const;
    // Index of the first unit whose name equals the text exactly (case counts), or -1.
    int FindUnitByName(const std::string& unitName) const;
    // Index of the first unit of exactly that weight, or -1.
    int FindUnitByWeight(double grams) const;
    void AddUnit(const std::string& unitName, double grams);

    const std::string& Name() const noexcept { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    FoodKey GetFoodKey() const noexcept { return FoodKey(key_, source_); }
    void SetFoodKey(const FoodKey& key) noexcept {
        key_ = key.key;
        source_ = key.source;
    }

    const NutrientValueMap& NutrientValues() const noexcept { return nutrientValues_; }
    void SetNutrientValue(int gid, double value) { nutrientValues_.insert_or_assign(gid, value); }
    // The data source reader sizes each food's values by the food before, then gives back what
    // was not needed.
    void ReserveNutrientValues(std::size_t count) { nutrientValues_.reserve(count); }
    void ShrinkNutrientValues() { nutrientValues_.shrink_to_fit(); }
    const std::array<double, EnergyComponents::kCount>& EnergyFactors() const noexcept { return energyFactors_; }
    void SetEnergyFactors(const std::array<double, EnergyComponents::kCount>& factors) { energyFactors_ = factors; }
    const std::vector<FoodUnit>& Units() const noexcept { return units_; }
    void SetUnits(std::vector<FoodUnit> units) { units_ = std::move(units); }

    // A record made up for a food the data source lacks; never written.
    bool IsPlaceholder() const noexcept { return placeholder_; }
    void MarkPlaceholder() noexcept { placeholder_ = true; }

private:
    friend class RecordReaders::FoodBuilder;

    NutrientValueMap nutrientValues_;
    std::array<double, EnergyComponents::kCount> energyFactors_ = EnergyComponents::kDefaultFactor;
    bool placeholder_ = false;
    int key_ = -1;
    int source_ = 0;
    std::vector<FoodUnit> units_;
    std::string name_;
};

// A food with an amount, limits, the unit the amount was entered in and a meal: the "FoodEx"
// element of older diet documents.
class CDS_IngredientEx : public CDS_Ingredient {
public:
    // "FoodEx" holding the "Food" element, then "min"/"max" (only when not 0), "weight", "CWI",
    // "meal", "Px", "Fx", "Cx", "Ax".
    void Save(const Xml::XmlElement& parent) const override;
    void Load(const Xml::XmlElement& element) override;

    int unitIndex = 0;
    std::string meal;
    std::array<double, EnergyComponents::kCount> componentValues = {0.0, 0.0, 0.0, 0.0};
    double minWeight = 0.0;
    double maxWeight = 0.0;
    double weight = 0.0;
};

namespace RecordReaders {

enum class FoodChild { Ignore, Nutrition, Units };

// Reads one "Food" element fed to it event by event: Begin with the element's attributes, Child
// for each child element in document order (its answer says whether that child's "E" children
// are to be fed to NutritionValue or Unit), then End. Identity, energy factors and units are set
// only at End, once the element is known to be complete. Load and the streaming data source reader
// both read foods through it.
class FoodBuilder {
public:
    explicit FoodBuilder(CDS_Ingredient& food) : food_(food) {}

    template <class A>
    void Begin(const A& attrs) {
        food_.name_ = std::string(Required(attrs, "Name"));
        if (auto v = attrs.Get("key")) key_ = std::string(*v);
        if (auto v = attrs.Get("source")) source_ = std::string(*v);
    }

    template <class A>
    FoodChild Child(std::string_view tag, const A& attrs) {
        if (tag == "Nutrition") return FoodChild::Nutrition;
        if (tag == "DataSource") {
            if (!hasIdentity_) {
                hasIdentity_ = true;
                identity_ = FoodKey(AttrValue::ToInt(Required(attrs, "Key")), AttrValue::ToInt(Required(attrs, "ID")));
            }
        } else if (tag == "EnergyFactors") {
            if (!hasFactors_) {
                hasFactors_ = true;
                for (int i = 0; i < EnergyComponents::kCount; ++i)
                    factors_[i] = DoubleOr(attrs, EnergyComponents::kLetter[i], EnergyComponents::kDefaultFactor[i]);
            }
        } else if (tag == "Units") {
            if (!hasUnits_) {
                hasUnits_ = true;
                if (attrs.Has("main")) units_.push_back(FoodUnit{"g", 1.0});
                return FoodChild::Units;
            }
        }
        return FoodChild::Ignore;
    }

    template <class A>
    void NutritionValue(const A& attrs) {
        const int gid = AttrValue::ToUnsigned(Required(attrs, "N"), 0x7fffffff);
        food_.nutrientValues_.insert_or_assign(gid, AttrValue::ToDouble(Required(attrs, "V")));
    }

    template <class A>
    void Unit(const A& attrs) {
        std::string unitName(Required(attrs, "M"));
        units_.push_back(FoodUnit{std::move(unitName), AttrValue::ToFloatAsDouble(Required(attrs, "K"))});
    }

    void End() {
        if (!hasIdentity_) {
            if (!key_) MissingAttribute("key");
            identity_ = FoodKey(AttrValue::ToInt(*key_), source_ ? AttrValue::ToInt(*source_) : 0);
        }
        if (!hasFactors_) MissingElement("EnergyFactors");
        if (!hasUnits_) MissingElement("Units");
        food_.key_ = identity_.key;
        food_.source_ = identity_.source;
        food_.energyFactors_ = factors_;
        food_.units_ = std::move(units_);
    }

private:
    CDS_Ingredient& food_;
    std::optional<std::string> key_;
    std::optional<std::string> source_;
    bool hasIdentity_ = false;
    bool hasFactors_ = false;
    bool hasUnits_ = false;
    FoodKey identity_;
    std::array<double, EnergyComponents::kCount> factors_ = EnergyComponents::kDefaultFactor;
    std::vector<FoodUnit> units_;
};

}  // namespace RecordReaders
