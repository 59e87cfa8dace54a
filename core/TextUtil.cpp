#include "TextUtil.h"

namespace TextUtil {

std::string_view Trimmed(std::string_view text, std::string_view whitespace) {
    const std::size_t first = text.find_first_not_of(whitespace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(whitespace) - first + 1);
}

}  // namespace TextUtil
