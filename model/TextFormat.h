#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// The C library's number formats for the program's texts, without the C library's dependence on
// the process locale: a description must read "1.25", never "1,25", whatever locale the window
// system installed.
namespace TextFormat {

// printf "%G": six significant digits, trailing zeros dropped, exponent form for very large or
// small values.
std::string G(double value);
// printf "%g": the same with a lower-case exponent.
std::string LowerG(double value);

using Arg = std::variant<int, double>;

// printf for the conversions the program's texts use: "%G" takes a double, "%d" an int, "%%" is
// a percent sign. Any other conversion, or arguments that do not match, raise std::logic_error.
std::string Printf(std::string_view format, std::initializer_list<Arg> args);

}  // namespace TextFormat
