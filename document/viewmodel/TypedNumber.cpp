#include "TypedNumber.h"

#include "core/TextUtil.h"
#include "model/PersonalData.h"
#include "model/TextFormat.h"
#include "model/UserLog.h"

#include <langinfo.h>
#include <locale.h>
#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace {

enum class Parsed { Number, Blank, NotANumber, TooLarge };

// Only blanks surround a typed number: a line break in it refuses the text rather than vanishing.
constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) { return TextUtil::Trimmed(text, kBlanks); }

Parsed Parse(std::string_view text, double& value) {
    text = Trimmed(text);
    if (text.empty()) return Parsed::Blank;
    std::string plain(text);
    const std::string separator = LocaleDecimalSeparator();
    if (const std::size_t at = plain.find(separator); separator != "." && at != std::string::npos) {
        // Appended piece by piece: g++ 12 warns falsely about string::replace here (-Wrestrict).
        std::string dotted;
        dotted.append(plain, 0, at).append(1, '.').append(plain, at + separator.size());
        plain = std::move(dotted);
    }
    // strtod also takes "inf", "nan" and hexadecimal forms, which nobody types as a weight.
    if (plain.find_first_not_of("0123456789.eE+-") != std::string::npos) return Parsed::NotANumber;
    if (plain.find_first_of("0123456789") == std::string::npos) return Parsed::NotANumber;
    // The window system sets the process locale from the environment; the dot must stay a
    // decimal point whatever it is.
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    char* end = nullptr;
    const double read = strtod_l(plain.c_str(), &end, c);
    if (end != plain.c_str() + plain.size()) return Parsed::NotANumber;
    if (!std::isfinite(read)) return Parsed::TooLarge;
    value = read;
    return Parsed::Number;
}

std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted.append(Trimmed(text)).append(1, '"');
    return quoted;
}

TypedInput Refused(std::string error) { return {TypedInput::Kind::Refused, 0, std::move(error)}; }

}  // namespace

std::string LocaleDecimalSeparator() {
    const char* separator = nl_langinfo(RADIXCHAR);
    return separator && *separator ? separator : ".";
}

std::optional<double> TypedNumber(std::string_view text) {
    double value = 0;
    if (Parse(text, value) != Parsed::Number) return std::nullopt;
    return value;
}

std::string TooLargeText(std::string_view text) {
    return Quoted(text) + " is too large a number; the old value is kept.";
}

TypedInput ReadTyped(std::string_view text, TypedRule rule) {
    double value = 0;
    switch (Parse(text, value)) {
        case Parsed::Blank:
            if (rule == TypedRule::Weight) return Refused("A weight or amount can't be empty; the old value is kept.");
            return {TypedInput::Kind::Cleared, 0, {}};
        case Parsed::NotANumber: return Refused(Quoted(text) + " is not a number; the old value is kept.");
        case Parsed::TooLarge: return Refused(TooLargeText(text));
        case Parsed::Number: break;
    }
    if (value < 0 && rule == TypedRule::Weight)
        return Refused("A weight or amount can't be negative (" + Quoted(text) + "); the old value is kept.");
    if (value < 0 && rule == TypedRule::Limit)
        return Refused("A limit can't be negative (" + Quoted(text) + "); the old limit is kept.");
    // "-0" would be written into the profile as "-0".
    return {TypedInput::Kind::Number, value == 0 ? 0.0 : value, {}};
}

TypedInput ReadFactValue(std::string_view text, const NS_Data::CUserLog& log, std::string_view name) {
    TypedInput typed = ReadTyped(text, TypedRule::Value);
    const UserLog::CFactReference weight = log.Facts().GetBuiltIn(UserLog::CFactManager::kWeight);
    if (typed.kind != TypedInput::Kind::Number || name != weight.name) return typed;
    // As the energy requirement reads it: pounds or kilograms as the definition says, else the
    // person's units.
    std::string units = weight.units;
    for (char& c : units) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool kg = units == "kg" || (units != "lb" && units != "lbs" && log.Personal().unitsKg);
    std::string error = CPersonalData::WeightRangeError(typed.value, kg ? 1 : 0);
    if (error.empty()) return typed;
    if (error.ends_with('.')) error.pop_back();
    return Refused(error + " (" + Quoted(text) + "); the old value is kept.");
}

std::string LimitOrderError(double min, double max) {
    if (min < 0 || max < 0 || min <= max) return {};
    return "A minimum can't be above its maximum (" + TextFormat::G(min) + " above " + TextFormat::G(max) +
           "); the old limit is kept.";
}
