#pragma once

#ifndef Q_MOC_RUN
#include "refdata/FoodKey.h"
#include "refdata/MyFoods.h"
#endif

#include <optional>

class QWidget;

namespace Gui {

struct CAppContext;

// The recipe editor. `key` names a recipe of the user's table to edit; without it a new recipe
// starts from `start` (empty, or the foods of a day). Answers the key of the recipe saved, or
// nullopt when the user cancelled.
std::optional<FoodKey> EditRecipe(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key,
                                  const MyFood& start);

}  // namespace Gui
