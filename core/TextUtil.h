#pragma once

#include <string_view>

namespace TextUtil {

// Spaces, tabs and line ends: the white space of XML, where most of the program's text comes from.
// Form feed and vertical tab are no XML characters, so no document holds them.
inline constexpr std::string_view kWhitespace = " \t\r\n";

// The text without the given characters at either end; empty when it holds nothing else.
std::string_view Trimmed(std::string_view text, std::string_view whitespace = kWhitespace);

}  // namespace TextUtil
