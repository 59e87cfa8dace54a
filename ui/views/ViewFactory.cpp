#include "ViewFactory.h"

#include "ViewAnalysis.h"
#include "ViewCalendar.h"
#include "ViewDiet.h"
#include "ViewEnergy.h"
#include "ViewIngredients.h"
#include "ViewNutrients.h"
#include "ViewPersonal.h"
#include "ViewPlaceholder.h"
#include "ViewTrends.h"

#include <array>

std::unique_ptr<CViewBase> CreateViewByName(const std::string& name) {
    static constexpr std::array<const char*, 7> kKnown = {"Personal", "Log",       "Diet",    "Energy",
                                                          "Food",     "Nutrients", "Analysis"};
    if (name == "Personal") return std::make_unique<CViewPersonal>();
    if (name == "Log") return std::make_unique<CViewCalendar>();
    if (name == "Diet") return std::make_unique<CViewDiet>();
    if (name == "Energy") return std::make_unique<CViewEnergy>();
    if (name == "Food") return std::make_unique<CViewIngredients>();
    if (name == "Nutrients") return std::make_unique<CViewNutrients>();
    if (name == "Analysis") return std::make_unique<CViewAnalysis>();
    if (name == "Trends") return std::make_unique<CViewTrends>();
    for (const char* known : kKnown)
        if (name == known) return std::make_unique<CViewPlaceholder>(QString::fromStdString(name));
    return nullptr;
}
