#include "ViewFactory.h"

#include "ViewCalendar.h"
#include "ViewPersonal.h"
#include "ViewPlaceholder.h"

#include <array>

std::unique_ptr<CViewBase> CreateViewByName(const std::string& name) {
    static constexpr std::array<const char*, 7> kKnown = {"Personal", "Log",       "Diet",    "Energy",
                                                           "Food",     "Nutrients", "Analysis"};
    if (name == "Personal") return std::make_unique<CViewPersonal>();
    if (name == "Log") return std::make_unique<CViewCalendar>();
    for (const char* known : kKnown)
        if (name == known) return std::make_unique<CViewPlaceholder>(QString::fromStdString(name));
    return nullptr;
}
