#pragma once

#include "core/xml/XmlSerialize.h"
#include "core/xml/XmlUnknown.h"

#include <string>

namespace UserLog {

// A followed nutrient with its daily limits, of the profile or of one day.
class CNutrientRequirement : public IXMLSerialize {
public:
    CNutrientRequirement() = default;
    // Name and units come from the standard nutrient table when the gid is one of its entries.
    CNutrientRequirement(int gid, double min, double max);

    // "NutrientRequirement" with gid, name, units, and min/max only when set. A requirement
    // without a gid writes nothing.
    void Save(const Xml::XmlElement& parent) const override;
    void Load(const Xml::XmlElement& element) override;
    // "NutrientRequirement" as Save writes it, with the day's intake as "value".
    void WriteReport(const Xml::XmlElement& parent, double intake) const;

    friend bool operator==(const CNutrientRequirement&, const CNutrientRequirement&) = default;

    int gid = -1;
    double min = -1;  // -1: not set
    double max = -1;  // -1: not set
    std::string name;
    std::string units;
    // What a newer version wrote here that this one does not read; written back unchanged.
    Xml::UnknownParts unknown;
};

}  // namespace UserLog
