#include "AttrValue.h"

#include "core/TextUtil.h"
#include "core/xml/Xml.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace AttrValue {

namespace {

[[noreturn]] void Fail(std::string_view text, const char* to) {
    throw Xml::XmlError(Xml::XmlError::Conversion, "Can't convert value '" + std::string(text) + "' to " + to);
}

// The number part after one optional '+'.
std::string_view Digits(std::string_view trimmed) {
    if (!trimmed.empty() && trimmed.front() == '+') trimmed.remove_prefix(1);
    return trimmed;
}

}  // namespace

double ToDouble(std::string_view text) {
    const std::string_view t = TextUtil::Trimmed(text);
    const std::string_view d = Digits(t);
    double v = 0;
    const auto r = std::from_chars(d.data(), d.data() + d.size(), v);
    if (t.empty() || r.ec != std::errc() || r.ptr != d.data() + d.size()) Fail(text, "a number");
    return v;
}

int ToInt(std::string_view text) {
    const std::string_view t = TextUtil::Trimmed(text);
    const std::string_view d = Digits(t);
    int n = 0;
    const auto r = std::from_chars(d.data(), d.data() + d.size(), n);
    if (!t.empty() && r.ec == std::errc() && r.ptr == d.data() + d.size()) return n;
    const double v = ToDouble(text);
    if (!(v >= -2147483648.5 && v < 2147483647.5)) Fail(text, "an integer");
    return static_cast<int>(std::nearbyint(v));
}

int ToUnsigned(std::string_view text, int max) {
    const int n = ToInt(text);
    if (n < 0 || n > max) Fail(text, "an unsigned integer");
    return n;
}

int AtoiLike(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) n = -n;
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

}  // namespace AttrValue
