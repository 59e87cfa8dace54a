#pragma once

#include "Xml.h"

// Objects that persist themselves in XML: Save writes under a parent element, Load reads from
// the object's own element.
class IXMLSerialize {
public:
    virtual ~IXMLSerialize() = default;
    virtual void Save(const Xml::XmlElement& parent) const = 0;
    virtual void Load(const Xml::XmlElement& element) = 0;
};
