#pragma once

#include <optional>
#include <string_view>

// A number the user typed into a cell, read the way the C library's atof reads it: leading
// blanks, then the longest decimal number at the start, 0 when there is none ("abc" is 0, "12kg"
// is 12). The reading never depends on the process locale. An infinite or not-a-number result
// ("inf", "1e999") gives nullopt: such a value would be written into the profile and not read back.
std::optional<double> TypedNumber(std::string_view text);
