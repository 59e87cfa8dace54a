#pragma once

#include "Xml.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Xml {

// What a newer version of the program wrote into an element that this version reads without
// knowing it: attributes and child elements of other names. Readers capture them and writers put
// them back, so a file passed through an older version keeps everything the newer one wrote.
// Copies share the kept elements, which are never changed.
class UnknownParts {
public:
    // Keeps the attributes of `element` that are not in `knownAttributes` and the child elements
    // whose names are not in `knownChildren`; whatever was kept before is dropped.
    void Capture(const XmlElement& element, std::initializer_list<std::string_view> knownAttributes,
                 std::initializer_list<std::string_view> knownChildren);
    // The same with the known children picked by a rule of their own (e.g. by an attribute).
    void Capture(const XmlElement& element, std::initializer_list<std::string_view> knownAttributes,
                 const std::function<bool(const XmlElement& child)>& isKnownChild);
    // The same with both the known attributes and the known children picked by rules (e.g.
    // numbered attributes up to a count the element gives).
    void CaptureBy(const XmlElement& element, const std::function<bool(std::string_view name)>& isKnownAttribute,
                   const std::function<bool(const XmlElement& child)>& isKnownChild);
    // Writes them into `element`, as this version writes it: the attributes it has not got, and
    // copies of the child elements appended to its children, in their order in the file.
    void Restore(const XmlElement& element) const;

    bool IsEmpty() const noexcept { return attributes_.empty() && !children_; }
    friend bool operator==(const UnknownParts& a, const UnknownParts& b);

private:
    std::vector<std::pair<std::string, std::string>> attributes_;
    // A small document of its own holds copies of the unknown children, so that the file's
    // whole tree need not stay in memory.
    std::shared_ptr<const XmlDocument> children_;
};

}  // namespace Xml
