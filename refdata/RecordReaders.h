#pragma once

// What the readers of the data source's records share: attribute lookups that fail with the XML
// layer's error, and the attributes of a DOM element. A record reads itself from any attribute
// source, so the two ways the program reads records, from a DOM element (profiles, single
// records) and from the streaming data source reader, go through the same code. Internal to
// refdata.
//
// An attribute source `A` answers `std::optional<std::string_view> Get(const char* name)` (the
// view stays valid until the next call) and `bool Has(const char* name)`.

#include "AttrValue.h"

#include "core/xml/Xml.h"

#include <optional>
#include <string>
#include <string_view>

namespace RecordReaders {

[[noreturn]] inline void MissingAttribute(const char* name) {
    throw Xml::XmlError(Xml::XmlError::Conversion, std::string("Missing attribute '") + name + "'");
}

[[noreturn]] inline void MissingElement(const char* name) {
    throw Xml::XmlError(Xml::XmlError::NotElement, std::string("Missing element '") + name + "'");
}

template <class A>
std::string_view Required(const A& attrs, const char* name) {
    std::optional<std::string_view> v = attrs.Get(name);
    if (!v) MissingAttribute(name);
    return *v;
}

template <class A>
int IntOr(const A& attrs, const char* name, int fallback) {
    std::optional<std::string_view> v = attrs.Get(name);
    return v ? AttrValue::ToInt(*v) : fallback;
}

template <class A>
double DoubleOr(const A& attrs, const char* name, double fallback) {
    std::optional<std::string_view> v = attrs.Get(name);
    return v ? AttrValue::ToDouble(*v) : fallback;
}

// Attributes of a DOM element.
class DomAttrs {
public:
    explicit DomAttrs(const Xml::XmlElement& element) : element_(element) {}
    std::optional<std::string_view> Get(const char* name) const {
        Xml::XmlValue v = element_.GetAttribute(name);
        if (v.IsAbsent()) return std::nullopt;
        buffer_ = v.AsString();
        return std::string_view(buffer_);
    }
    bool Has(const char* name) const { return element_.HasAttribute(name); }

private:
    const Xml::XmlElement& element_;
    mutable std::string buffer_;
};

}  // namespace RecordReaders
