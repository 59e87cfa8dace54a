#pragma once

#include "core/xml/XmlSerialize.h"
#include "core/xml/XmlUnknown.h"

#include <string>
#include <utility>
#include <vector>

namespace UserLog {

// Marks a fact value or target value that is not set. Never written to XML.
inline constexpr double kUndefinedValue = -1234567890.0;

inline bool IsDefined(double value) noexcept { return value != kUndefinedValue; }

// One measured value of a day ("Fact" element); matched to its definition by name, exactly.
class CFact : public IXMLSerialize {
public:
    CFact() = default;
    CFact(std::string factName, double factValue) : name(std::move(factName)), value(factValue) {}

    void Save(const Xml::XmlElement& parent) const override;
    void Load(const Xml::XmlElement& element) override;

    std::string name;
    double value = kUndefinedValue;
    // What a newer version wrote here that this one does not read; written back unchanged.
    Xml::UnknownParts unknown;
};

// A fact definition ("FactReference" element): the inherited value is the optimal or target value.
class CFactReference : public CFact {
public:
    CFactReference() = default;
    CFactReference(std::string factName, double target, std::string factUnits)
        : CFact(std::move(factName), target), units(std::move(factUnits)) {}

    void Save(const Xml::XmlElement& parent) const override;
    void Load(const Xml::XmlElement& element) override;

    std::string units;
    Xml::UnknownParts unknownReference;  // of the "FactReference" element
};

// The facts measured on one day, in the order they were entered; at most one per name when
// they are set through Set.
class CDayFacts {
public:
    // The first fact with exactly that name, or null.
    CFact* Find(const std::string& name);
    const CFact* Find(const std::string& name) const;
    // Replaces the value of the fact of that name, or appends the fact.
    void Set(const std::string& name, double value);
    // Removes the first fact of that name; false when there is none.
    bool Remove(const std::string& name);
    void Clear() noexcept { facts_.clear(); }

    bool IsEmpty() const noexcept { return facts_.empty(); }
    std::size_t Count() const noexcept { return facts_.size(); }
    const std::vector<CFact>& Items() const noexcept { return facts_; }

    // One "Fact" element per fact, directly under the day's element.
    void Save(const Xml::XmlElement& dayElement) const;
    // Replaces the facts with the "Fact" children of the day's element, in document order.
    void Load(const Xml::XmlElement& dayElement);

private:
    std::vector<CFact> facts_;
};

}  // namespace UserLog
