#include "DriCategory.h"

namespace {

const char* const kNames[] = {
    "Infant", "Children", "Male", "Female", "Female Pregnant", "Female Lactation", "Female Pregnant Lactation",
    "Unknown"};

}  // namespace

const char* DriCategoryName(int category) { return category >= 0 && category <= 7 ? kNames[category] : kNames[7]; }

std::optional<DriCategory> DriCategoryFromName(const std::string& name) {
    for (int i = 0; i <= 7; ++i)
        if (name == kNames[i]) return static_cast<DriCategory>(i);
    return std::nullopt;
}
