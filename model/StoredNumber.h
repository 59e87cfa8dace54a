#pragma once

#include "core/xml/Xml.h"

#include <cmath>

// A number read from a profile. "nan" and "inf" are refused like any other text that is no
// number, as typed input refuses them: no weight, value or limit can be infinite, and shown or
// summed they would spread through every total.
inline double StoredNumber(const Xml::XmlValue& value) {
    const double d = value.AsDouble();
    if (!std::isfinite(d))
        throw Xml::XmlError(Xml::XmlError::Conversion,
                            "Can't convert value '" + value.AsString() + "' to a finite number");
    return d;
}
