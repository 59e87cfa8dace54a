#include "TypedNumber.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

std::optional<double> TypedNumber(std::string_view text) {
    // The window system sets the process locale from the environment; a typed "1.5" must not
    // become 1 under a locale whose decimal separator is a comma.
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string copy(text);
    const double value = strtod_l(copy.c_str(), nullptr, c);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> TypedLimit(std::string_view text) {
    if (text.find_first_not_of(" \t") == std::string_view::npos) return -1.0;
    return TypedNumber(text);
}
