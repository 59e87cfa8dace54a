#pragma once

#include "Xml.h"

#include <string>

// Objects that describe themselves in a report document: the same layout as their saved form,
// plus what a report shows and a file does not keep (intakes, amounts in the shown units, the
// energy requirement). `version` is the path of the template the report is made for.
class IXMLReport {
public:
    virtual ~IXMLReport() = default;
    virtual void WriteReport(const Xml::XmlElement& parent, const std::string& version) const = 0;
};
