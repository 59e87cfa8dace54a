#pragma once

#include "Fact.h"

#include <string>
#include <vector>

namespace UserLog {

// The profile's fact definitions in display order. Entries 0 and 1 are always the built-ins
// "Weight" (kg) and "Extra Energy" (kcal); user definitions follow.
class CFactManager : public IXMLSerialize {
public:
    static constexpr int kWeight = 0;
    static constexpr int kExtraEnergy = 1;

    CFactManager();

    // Cuts the list back to (or fills it up to) the two built-ins and restores their names and
    // units; their target values stay.
    void ResetBuiltIns();
    // A copy of built-in 0 or 1; std::logic_error "Undefined fact requested." otherwise.
    CFactReference GetBuiltIn(int index) const;
    // Index of the first definition with exactly that name, or -1.
    int FindDefinition(const std::string& name) const;
    // Replaces the definition of that name, or appends it; answers its index.
    int AddOrUpdate(const CFactReference& definition);
    // False when there is no such entry or it is a built-in.
    bool RemoveAt(int index);

    int Count() const noexcept { return static_cast<int>(definitions_.size()); }
    const std::vector<CFactReference>& Definitions() const noexcept { return definitions_; }
    // For editing one definition in place; std::out_of_range for a bad index.
    CFactReference& At(int index) { return definitions_.at(static_cast<std::size_t>(index)); }
    const CFactReference& At(int index) const { return definitions_.at(static_cast<std::size_t>(index)); }

    void Save(const Xml::XmlElement& parent) const override;
    // Merges by name into the built-ins: a file may change their units and targets, never
    // remove them.
    void Load(const Xml::XmlElement& element) override;

private:
    std::vector<CFactReference> definitions_;
    // What a newer version wrote here that this one does not read; written back unchanged.
    Xml::UnknownParts unknown_;
};

}  // namespace UserLog
