#include "Fact.h"

#include "StoredNumber.h"

#include <algorithm>

using Xml::XmlElement;

namespace UserLog {

void CFact::Save(const XmlElement& parent) const {
    XmlElement el = parent.AddElement("Fact");
    el.SetAttribute("name", name);
    if (IsDefined(value)) el.SetAttribute("value", value);
    unknown.Restore(el);
}

void CFact::Load(const XmlElement& element) {
    name = element.GetAttribute("name", "?").AsString();
    value = StoredNumber(element.GetAttribute("value", kUndefinedValue));
    unknown.Capture(element, {"name", "value"}, {});
}

void CFactReference::Save(const XmlElement& parent) const {
    XmlElement el = parent.AddElement("FactReference");
    if (!units.empty()) el.SetAttribute("units", units);
    CFact::Save(el);
    unknownReference.Restore(el);
}

void CFactReference::Load(const XmlElement& element) {
    units = element.GetAttribute("units", "").AsString();
    if (XmlElement fact = element.ChildElement("Fact")) CFact::Load(fact);
    unknownReference.Capture(element, {"units"}, {"Fact"});
}

CFact* CDayFacts::Find(const std::string& name) {
    auto it = std::find_if(facts_.begin(), facts_.end(), [&](const CFact& f) { return f.name == name; });
    return it == facts_.end() ? nullptr : &*it;
}

const CFact* CDayFacts::Find(const std::string& name) const { return const_cast<CDayFacts*>(this)->Find(name); }

void CDayFacts::Set(const std::string& name, double value) {
    if (CFact* f = Find(name))
        f->value = value;
    else
        facts_.emplace_back(name, value);
}

bool CDayFacts::Remove(const std::string& name) {
    auto it = std::find_if(facts_.begin(), facts_.end(), [&](const CFact& f) { return f.name == name; });
    if (it == facts_.end()) return false;
    facts_.erase(it);
    return true;
}

void CDayFacts::Save(const XmlElement& dayElement) const {
    for (const CFact& f : facts_) f.Save(dayElement);
}

void CDayFacts::Load(const XmlElement& dayElement) {
    std::vector<CFact> read;
    for (const XmlElement& el : dayElement.ChildElements("Fact")) read.emplace_back().Load(el);
    facts_ = std::move(read);
}

}  // namespace UserLog
