#include "EnergyComposition.h"

#include "StoredNumber.h"

#include "refdata/NutrientCatalogue.h"

#include <algorithm>
#include <stdexcept>

using Xml::XmlElement;

namespace {

constexpr double kTolerance = 0.0001;

}  // namespace

CDS_EnergyComposition::CDS_EnergyComposition()
    : components_{{
          {"Protein", 10, 35, 30, false},
          {"Fat", 20, 35, 25, false},
          {"Carbohydrates", 45, 65, 45, false},
          {"Alcohol", 0, 10, 0, false},
      }} {}

EnergyComponent& CDS_EnergyComposition::Component(int component) {
    if (component < 0 || component >= kComponentCount)
        throw std::out_of_range("No energy component " + std::to_string(component));
    return components_[static_cast<std::size_t>(component)];
}

const EnergyComponent& CDS_EnergyComposition::Component(int component) const {
    return const_cast<CDS_EnergyComposition*>(this)->Component(component);
}

double CDS_EnergyComposition::GetValue(int component, int column) const {
    const EnergyComponent& c = Component(component);
    switch (column) {
        case kMin: return c.min;
        case kMax: return c.max;
        case kValue: return c.value;
        default: throw std::out_of_range("No energy composition column " + std::to_string(column));
    }
}

void CDS_EnergyComposition::SetValue(int component, int column, double value) {
    EnergyComponent& c = Component(component);
    switch (column) {
        case kMin: c.min = value; break;
        case kMax: c.max = value; break;
        case kValue: c.value = value; break;
        default: throw std::out_of_range("No energy composition column " + std::to_string(column));
    }
    reference_ = false;
}

const std::string& CDS_EnergyComposition::ComponentName(int component) const { return Component(component).name; }

bool CDS_EnergyComposition::IsBalanced(int component) const {
    const EnergyComponent& c = Component(component);
    return c.value + kTolerance >= c.min && (c.max == 0 || c.value - kTolerance <= c.max);
}

void CDS_EnergyComposition::RoundToHundred(int decimals) {
    if (decimals == -1) decimals = 3;
    if (decimals < 0) return;
    for (int d = 0; d <= decimals; ++d) {
        std::array<double, kComponentCount> rounded{};
        double sum = 0;
        for (std::size_t i = 0; i < components_.size(); ++i) {
            rounded[i] = Nutrient::RoundDecimals(components_[i].value, d);
            sum += rounded[i];
        }
        if (sum == 100 || d == decimals) {
            for (std::size_t i = 0; i < components_.size(); ++i) components_[i].value = rounded[i];
            return;
        }
    }
}

void CDS_EnergyComposition::SetFromEnergies(const std::array<double, kComponentCount>& energies) {
    double total = 0;
    for (int i = 0; i < kComponentCount; ++i) {
        SetValue(i, kValue, energies[static_cast<std::size_t>(i)]);
        total += energies[static_cast<std::size_t>(i)];
    }
    if (total != 0)
        for (EnergyComponent& c : components_) c.value = c.value / total * 100;
    RoundToHundred(2);
}

void CDS_EnergyComposition::Save(const XmlElement& parent) const {
    XmlElement el = parent.AddElement("EnergyComposition");
    el.SetAttribute("type", reference_ ? "reference" : "request");
    el.SetAttribute("requested", requested_);
    for (int i = 0; i < kComponentCount; ++i) {
        const EnergyComponent& c = components_[static_cast<std::size_t>(i)];
        XmlElement ce = el.AddElement("EnergyComponent");
        ce.SetAttribute("Name", c.name);
        ce.SetAttribute("Min", c.min);
        ce.SetAttribute("Max", c.max);
        ce.SetAttribute("Value", c.value);
        ce.SetAttribute("included", c.included);
        ce.SetAttribute("balanced", IsBalanced(i));
        unknownOfComponents_[static_cast<std::size_t>(i)].Restore(ce);
    }
    unknown_.Restore(el);
}

void CDS_EnergyComposition::Load(const XmlElement& element) {
    for (std::size_t i = 0; i < components_.size(); ++i) {
        EnergyComponent& c = components_[i];
        XmlElement ce = element.SelectSingleNode("EnergyComponent[@Name='" + c.name + "']");
        if (!ce)
            throw Xml::XmlError(Xml::XmlError::NotElement, "EnergyComposition has no EnergyComponent named " + c.name);
        unknownOfComponents_[i].Capture(ce, {"Name", "Min", "Max", "Value", "included", "balanced"}, {});
        c.min = StoredNumber(ce.GetAttribute("Min"));
        c.max = StoredNumber(ce.GetAttribute("Max"));
        c.value = StoredNumber(ce.GetAttribute("Value"));
        c.included = ce.GetAttribute("included", false).AsBool();
    }
    requested_ = element.GetAttribute("requested", 1).AsInt();
    reference_ = element.GetAttribute("type", "request").AsString() == "reference";
    // Only components this version knows are read; others are kept like any unknown element.
    unknown_.Capture(element, {"type", "requested"}, [this](const XmlElement& child) {
        if (child.TagName() != "EnergyComponent") return false;
        const std::string name = child.GetAttribute("Name", "").AsString();
        return std::any_of(components_.begin(), components_.end(),
                           [&name](const EnergyComponent& c) { return c.name == name; });
    });
}
