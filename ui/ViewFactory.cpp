#include "ViewFactory.h"

#include "ViewIngredients.h"
#include "ViewPlaceholder.h"

#include <array>

std::unique_ptr<CViewBase> CreateViewByName(const std::string& name) {
    if (name == "Food") return std::make_unique<CViewIngredients>();
    static constexpr std::array<const char*, 7> kKnown = {"Personal", "Log",       "Diet",    "Energy",
                                                           "Food",     "Nutrients", "Analysis"};
    for (const char* known : kKnown)
        if (name == known) return std::make_unique<CViewPlaceholder>(QString::fromStdString(name));
    return nullptr;
}
