#pragma once

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

// Numbers typed into pages, read the same way whatever locale the window system installed: the
// pages always write a dot.
namespace Gui {

// The number a whole text spells, spaces around it allowed; nullopt for anything else.
inline std::optional<double> WholeNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace Gui
