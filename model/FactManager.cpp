#include "FactManager.h"

#include <stdexcept>

using Xml::XmlElement;

namespace UserLog {

CFactManager::CFactManager() { ResetBuiltIns(); }

void CFactManager::ResetBuiltIns() {
    definitions_.resize(2);
    definitions_[kWeight].name = "Weight";
    definitions_[kWeight].units = "kg";
    definitions_[kExtraEnergy].name = "Extra Energy";
    definitions_[kExtraEnergy].units = "kcal";
}

CFactReference CFactManager::GetBuiltIn(int index) const {
    if (index != kWeight && index != kExtraEnergy) throw std::logic_error("Undefined fact requested.");
    return definitions_[static_cast<std::size_t>(index)];
}

int CFactManager::FindDefinition(const std::string& name) const {
    for (std::size_t i = 0; i < definitions_.size(); ++i)
        if (definitions_[i].name == name) return static_cast<int>(i);
    return -1;
}

int CFactManager::AddOrUpdate(const CFactReference& definition) {
    const int index = FindDefinition(definition.name);
    if (index >= 0) {
        definitions_[static_cast<std::size_t>(index)] = definition;
        return index;
    }
    definitions_.push_back(definition);
    return Count() - 1;
}

bool CFactManager::RemoveAt(int index) {
    // The energy requirement finds the day's weight and extra energy through the built-ins'
    // positions, so they cannot go.
    if (index <= kExtraEnergy || index >= Count()) return false;
    definitions_.erase(definitions_.begin() + index);
    return true;
}

void CFactManager::Save(const XmlElement& parent) const {
    XmlElement el = parent.AddElement("FactManager");
    for (const CFactReference& d : definitions_) d.Save(el);
    unknown_.Restore(el);
}

void CFactManager::Load(const XmlElement& element) {
    const std::vector<XmlElement> read = element.ChildElements("FactReference");
    unknown_.Capture(element, {}, {"FactReference"});
    ResetBuiltIns();
    for (const XmlElement& el : read) {
        CFactReference definition;
        definition.Load(el);
        AddOrUpdate(definition);
    }
}

}  // namespace UserLog
