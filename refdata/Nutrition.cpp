#include "Nutrition.h"

void CDS_Nutrition::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement e = parent.AddElement("Nutrient");
    e.SetAttribute("Name", name);
    e.SetAttribute("Units", units);
    e.SetAttribute("Accuracy", static_cast<int>(accuracy));
    e.SetAttribute("EnergyComponent", energyComponent);
    e.SetAttribute("id", id);
    e.SetAttribute("gid", gid);
}

void CDS_Nutrition::Load(const Xml::XmlElement& element) {
    if (element.IsNull()) RecordReaders::MissingElement("Nutrient");
    ReadAttributes(RecordReaders::DomAttrs(element));
}
