#pragma once

#include "core/xml/Xml.h"
#include "refdata/NutrientCatalogue.h"

#include <map>

#include <string>

// Attributes written straight into the text of a data source file. The converters build files of
// many megabytes, so they append text instead of building a document tree.
namespace XmlAttr {

inline void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            // Attribute values lose raw line breaks and tabs to normalisation when read back.
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            default: out += c;
        }
    }
}

inline void Attr(std::string& out, const char* name, const std::string& value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value);
    out += '"';
}

inline void Attr(std::string& out, const char* name, int value) {
    out += ' ';
    out += name;
    out += "=\"";
    out += std::to_string(value);
    out += '"';
}

inline void Attr(std::string& out, const char* name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    out += Xml::FormatDouble(value);
    out += '"';
}

// A food's "Nutrition" element from its values by nutrient number. "N" is the global nutrient id,
// ascending, as the program itself writes foods. Answers the number of values written.
inline int AppendNutrition(std::string& out, const std::map<int, double>& byNumber) {
    std::map<int, double> byGid;
    for (const auto& [number, value] : byNumber) byGid[Nutrient::GidOfNutrientNumber(number)] = value;
    out += "        <Nutrition>\n";
    for (const auto& [gid, value] : byGid) {
        out += "          <E";
        Attr(out, "N", gid);
        Attr(out, "V", value);
        out += "/>\n";
    }
    out += "        </Nutrition>\n";
    return static_cast<int>(byGid.size());
}

}  // namespace XmlAttr
