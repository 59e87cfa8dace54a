#include "DlgRecipe.h"

namespace Gui {

std::optional<FoodKey> EditRecipe(QWidget*, const CAppContext&, std::optional<FoodKey>, const MyFood&) {
    return std::nullopt;
}

}  // namespace Gui
