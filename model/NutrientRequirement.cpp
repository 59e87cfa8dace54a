#include "NutrientRequirement.h"

#include "StoredNumber.h"

#include "refdata/NutrientCatalogue.h"

namespace UserLog {

CNutrientRequirement::CNutrientRequirement(int nutrientGid, double minimum, double maximum)
    : gid(nutrientGid), min(minimum), max(maximum) {
    if (const Nutrient::StandardNutrient* n = Nutrient::StandardNutrientByGid(gid)) {
        name = n->name;
        units = n->units;
    }
}

void CNutrientRequirement::Save(const Xml::XmlElement& parent) const {
    if (gid == -1) return;
    Xml::XmlElement el = parent.AddElement("NutrientRequirement");
    el.SetAttribute("gid", gid);
    el.SetAttribute("name", name);
    el.SetAttribute("units", units);
    if (min != -1) el.SetAttribute("min", min);
    if (max != -1) el.SetAttribute("max", max);
    unknown.Restore(el);
}

void CNutrientRequirement::Load(const Xml::XmlElement& element) {
    gid = element.GetAttribute("gid", -1).AsInt();
    min = StoredNumber(element.GetAttribute("min", -1));
    max = StoredNumber(element.GetAttribute("max", -1));
    name = element.GetAttribute("name", "").AsString();
    units = element.GetAttribute("units", "").AsString();
    unknown.Capture(element, {"gid", "min", "max", "name", "units"}, {});
    if (const Nutrient::RenumberedNutrient* r = Nutrient::RenumberedFrom(gid)) {
        // Written before the nutrient took its reference intakes' gid: the limits follow the
        // nutrient, and the next save writes the gid of today. A file already in the new units
        // (edited by hand) is taken as it says.
        gid = r->gid;
        if (units != r->units) {
            if (min != -1) min /= r->oldPerNew;
            if (max != -1) max /= r->oldPerNew;
        }
        units = r->units;
    }
    if (name.empty() || units.empty()) {
        if (const Nutrient::StandardNutrient* n = Nutrient::StandardNutrientByGid(gid)) {
            name = n->name;
            units = n->units;
        }
    }
}

}  // namespace UserLog
