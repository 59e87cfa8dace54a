#pragma once

// How the records of a data source are read from their attributes, written once and shared by
// the two ways the program reads them: from a DOM element (profiles, single records) and from the
// streaming data source reader. Internal to refdata.
//
// An attribute source `A` answers `std::optional<std::string_view> Get(const char* name)` (the
// view stays valid until the next call) and `bool Has(const char* name)`.

#include "AttrValue.h"
#include "FoodGroup.h"
#include "Ingredient.h"
#include "Nutrition.h"

#include "core/xml/Xml.h"
#include "refdata/NutrientCatalogue.h"

#include <optional>
#include <string>
#include <string_view>

namespace RecordReaders {

[[noreturn]] inline void MissingAttribute(const char* name) {
    throw Xml::XmlError(Xml::XmlError::Conversion, std::string("Missing attribute '") + name + "'");
}

[[noreturn]] inline void MissingElement(const char* name) {
    throw Xml::XmlError(Xml::XmlError::NotElement, std::string("Missing element '") + name + "'");
}

template <class A>
std::string_view Required(const A& attrs, const char* name) {
    std::optional<std::string_view> v = attrs.Get(name);
    if (!v) MissingAttribute(name);
    return *v;
}

template <class A>
int IntOr(const A& attrs, const char* name, int fallback) {
    std::optional<std::string_view> v = attrs.Get(name);
    return v ? AttrValue::ToInt(*v) : fallback;
}

template <class A>
double DoubleOr(const A& attrs, const char* name, double fallback) {
    std::optional<std::string_view> v = attrs.Get(name);
    return v ? AttrValue::ToDouble(*v) : fallback;
}

// "Nutrient": Name, Units, Accuracy required; EnergyComponent and id optional (-1); the gid is
// always derived from id, whatever the file says.
template <class A>
void ReadNutrition(CDS_Nutrition& n, const A& attrs) {
    n.name = std::string(Required(attrs, "Name"));
    n.units = std::string(Required(attrs, "Units"));
    n.accuracy = static_cast<unsigned short>(AttrValue::ToUnsigned(Required(attrs, "Accuracy"), 65535));
    n.energyComponent = IntOr(attrs, "EnergyComponent", -1);
    n.id = IntOr(attrs, "id", -1);
    n.gid = Nutrient::GidOfNutrientNumber(n.id);
}

enum class FoodChild { Ignore, Nutrition, Units };

// Reads one "Food" element fed to it event by event: Begin with the element's attributes, Child
// for each child element in document order (its answer says whether that child's "E" children
// are to be fed to NutritionValue or Unit), then End. Identity, energy factors and units are set
// only at End, once the element is known to be complete.
class FoodBuilder {
public:
    explicit FoodBuilder(CDS_Ingredient& food) : food_(food) {}

    template <class A>
    void Begin(const A& attrs) {
        food_.name = std::string(Required(attrs, "Name"));
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
        food_.nutrientValues.insert_or_assign(gid, AttrValue::ToDouble(Required(attrs, "V")));
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
        food_.key = identity_.key;
        food_.source = identity_.source;
        food_.energyFactors = factors_;
        food_.units = std::move(units_);
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

// Attributes of a DOM element.
class DomAttrs {
public:
    explicit DomAttrs(const Xml::XmlElement& element) : element_(element) {}
    std::optional<std::string_view> Get(const char* name) const {
        Xml::XmlValue v = element_.GetAttribute(name);
        if (v.IsAbsent()) return std::nullopt;
        buffer_ = v.AsString();
        return std::string_view(buffer_);
    }
    bool Has(const char* name) const { return element_.HasAttribute(name); }

private:
    const Xml::XmlElement& element_;
    mutable std::string buffer_;
};

// Feeds a DOM "Food" element to a FoodBuilder.
void ReadFood(CDS_Ingredient& food, const Xml::XmlElement& element);

}  // namespace RecordReaders
