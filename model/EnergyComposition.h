#pragma once

#include "core/xml/XmlSerialize.h"
#include "core/xml/XmlUnknown.h"

#include <array>
#include <string>

// One of the four energy components (protein, fat, carbohydrates, alcohol) as percentages of
// the total energy.
struct EnergyComponent {
    std::string name;
    double min = 0;
    double max = 0;  // 0: no upper limit
    double value = 0;
    bool included = false;
};

// The wanted split of a diet's energy between the four components, and the current split.
class CDS_EnergyComposition : public IXMLSerialize {
public:
    static constexpr int kComponentCount = 4;
    // Columns of GetValue and SetValue.
    static constexpr int kMin = 0;
    static constexpr int kMax = 1;
    static constexpr int kValue = 2;

    // The built-in ranges and values.
    CDS_EnergyComposition();

    void Save(const Xml::XmlElement& parent) const override;
    // Finds the components by name, so their order in the file does not matter. A missing
    // component fails the load with the XML layer's error; what was read before it stays.
    void Load(const Xml::XmlElement& element) override;

    // A component 0-3 and a column kMin, kMax or kValue; std::out_of_range otherwise.
    double GetValue(int component, int column) const;
    // Also marks the composition as no longer the built-in one.
    void SetValue(int component, int column, double value);
    const std::string& ComponentName(int component) const;
    // The value lies within the range, with a tolerance of 0.0001.
    bool IsBalanced(int component) const;
    // Rounds the four values to the fewest decimals (0 up to `decimals`; -1 means 3) at which
    // they add up to exactly 100, or to `decimals` when none does. Other negatives do nothing.
    void RoundToHundred(int decimals);
    // The split of the given energies (kcal of each component, in component order) as
    // percentages at two decimals at most; all 0 when there is no energy.
    void SetFromEnergies(const std::array<double, kComponentCount>& energies);

    bool IsIncluded(int component) const { return Component(component).included; }
    void SetIncluded(int component, bool included) { Component(component).included = included; }
    int Requested() const noexcept { return requested_; }
    void SetRequested(int requested) noexcept { requested_ = requested; }
    // True while the composition still holds its built-in values.
    bool IsReference() const noexcept { return reference_; }

private:
    EnergyComponent& Component(int component);
    const EnergyComponent& Component(int component) const;

    int requested_ = 0;
    bool reference_ = true;
    std::array<EnergyComponent, kComponentCount> components_;
    // What a newer version wrote here that this one does not read; written back unchanged.
    Xml::UnknownParts unknown_;
    std::array<Xml::UnknownParts, kComponentCount> unknownOfComponents_;
};
