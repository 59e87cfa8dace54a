#pragma once

#ifndef Q_MOC_RUN
#include "refdata/FoodKey.h"
#include "refdata/MyFoods.h"
#endif

#include <optional>
#include <vector>

class QWidget;

namespace UserLog {
class CDayFood;
}

namespace Gui {

struct CAppContext;

// The recipe editor. `key` names a recipe of the user's table to edit; without it a new recipe
// starts from `start` (empty, or the foods of a day). Answers the key of the recipe saved, or
// nullopt when the user cancelled.
std::optional<FoodKey> EditRecipe(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key,
                                  const MyFood& start);

// "Save as Recipe": a new recipe of the day's entries, or of one meal's, which the user chooses
// when the day has more than one meal. Answers the key of the recipe saved, or nullopt when the
// user cancelled.
std::optional<FoodKey> SaveDayAsRecipe(QWidget* parent, const CAppContext& app,
                                       const std::vector<UserLog::CDayFood>& entries);

}  // namespace Gui
