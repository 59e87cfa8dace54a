#pragma once

#include "NutrientCatalogue.h"
#include "RecordReaders.h"

#include "core/xml/XmlSerialize.h"

#include <string>

// One nutrient of the data source: the "Nutrient" element.
class CDS_Nutrition : public IXMLSerialize {
public:
    // "Nutrient" with Name, Units, Accuracy, EnergyComponent, id and gid.
    void Save(const Xml::XmlElement& parent) const override;
    // Name, Units and Accuracy are required; EnergyComponent and id default to -1. The gid is
    // derived from id (a "gid" attribute is not read).
    void Load(const Xml::XmlElement& element) override;
    // The same from any attribute source (see RecordReaders.h).
    template <class A>
    void ReadAttributes(const A& attrs);

    const std::string& Name() const noexcept { return name; }
    const std::string& Units() const noexcept { return units; }
    unsigned short Accuracy() const noexcept { return accuracy; }
    int Id() const noexcept { return id; }
    int EnergyComponentIndex() const noexcept { return energyComponent; }
    int Gid() const noexcept { return gid; }

    std::string name;
    std::string units;
    unsigned short accuracy = 2;
    int id = -1;
    int energyComponent = -1;
    int gid = -1;
};

template <class A>
void CDS_Nutrition::ReadAttributes(const A& attrs) {
    using namespace RecordReaders;
    name = std::string(Required(attrs, "Name"));
    units = std::string(Required(attrs, "Units"));
    accuracy = static_cast<unsigned short>(AttrValue::ToUnsigned(Required(attrs, "Accuracy"), 65535));
    energyComponent = IntOr(attrs, "EnergyComponent", -1);
    id = IntOr(attrs, "id", -1);
    gid = Nutrient::GidOfNutrientNumber(id);
}
