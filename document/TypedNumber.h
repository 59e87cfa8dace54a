#pragma once

#include <optional>
#include <string_view>

// A number the user typed into a cell, read the way the C library's atof reads it: leading
// blanks, then the longest decimal number at the start, 0 when there is none ("abc" is 0, "12kg"
// is 12). The reading never depends on the process locale. An infinite or not-a-number result
// ("inf", "1e999") gives nullopt: such a value would be written into the profile and not read back.
std::optional<double> TypedNumber(std::string_view text);

// A lower or upper limit typed into a cell: a text of nothing but blanks removes the limit (-1),
// since read as a number it would be a limit of 0 that the user clearing the cell never meant;
// anything else is a TypedNumber.
std::optional<double> TypedLimit(std::string_view text);
