#pragma once

#include <string_view>

// Conversions of attribute texts for readers that see attribute values as plain text (the
// streaming data source reader). They follow exactly the rules of Xml::XmlValue, so a file reads
// the same whichever way it is read: surrounding blanks are ignored, one leading '+' is allowed,
// an integer written as a fraction rounds to the nearest (ties to even), and anything else raises
// Xml::XmlError.
namespace AttrValue {

double ToDouble(std::string_view text);
int ToInt(std::string_view text);
// Single precision, widened back: the precision at which unit weights are kept.
inline double ToFloatAsDouble(std::string_view text) { return static_cast<float>(ToDouble(text)); }
// A non-negative integer no larger than `max`.
int ToUnsigned(std::string_view text, int max);
// The C library's atoi, saturating instead of overflowing: leading blanks, an optional sign, then
// as many digits as there are; 0 when there are none.
int AtoiLike(std::string_view text);

}  // namespace AttrValue
