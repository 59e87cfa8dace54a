#include "FoodTables.h"

#include "refdata/MyFoods.h"

namespace Gui {

bool ChangeMyFoods(const CAppContext& app, const std::function<bool(CMyFoods&)>& change) {
    if (!app.myFoods) return false;
    return change(*app.myFoods);
}

}  // namespace Gui
