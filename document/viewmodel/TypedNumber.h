#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers the user types into cells, fields and pages, read one way everywhere: the whole text
// (blanks around it allowed) is a decimal number, its decimal separator the dot or that of the
// user's locale, so "1,5" is 1.5 under a German locale and never 1. Shown numbers always use the
// dot (TextFormat), which therefore reads back in every locale.

// The decimal separator of the user's locale: the process's LC_NUMERIC, which the window system
// sets from the environment.
std::string LocaleDecimalSeparator();

// The number the whole text spells; nullopt for anything else ("abc", "12kg", "1.5.2", "") and
// for a number too large to hold ("1e999"): such a value would be written into the profile and
// not read back.
std::optional<double> TypedNumber(std::string_view text);

// What may be typed where.
enum class TypedRule {
    Weight,  // a weight or an amount: finite, not negative; an empty text is refused, never 0
    Limit,   // a lower or upper limit: finite, not negative; an empty text removes the limit
    Value,   // a measured value (a fact): any finite number; an empty text removes the value
};

// A typed text read by the rule of its field.
struct TypedInput {
    enum class Kind { Number, Cleared, Refused };
    Kind kind = Kind::Refused;
    double value = 0;   // the number, for Kind::Number
    std::string error;  // why the text was refused, in the user's words, for Kind::Refused
};
TypedInput ReadTyped(std::string_view text, TypedRule rule);

namespace NS_Data {
class CUserLog;
}

// A value typed for the fact `name` of the log, on a day or as the fact's target. The body weight
// (the built-in "Weight") must be one a person can have, in the units of its definition, since
// the day's energy requirement is computed from it; other facts take any finite number, as
// Value does.
TypedInput ReadFactValue(std::string_view text, const NS_Data::CUserLog& log, std::string_view name);

// Why a lower and an upper limit can't stand together: the minimum above the maximum. Empty when
// they can; a negative limit is none.
std::string LimitOrderError(double min, double max);

// Why a typed text was refused, for texts that read as a number but break a rule of their own
// (a weight that an amount gives but is too large to hold).
std::string TooLargeText(std::string_view text);

// What became of a text typed into a cell: stored, refused with the reason to show, or neither
// (a cell that takes no input).
struct CellStore {
    bool stored = false;
    std::string error;
};
