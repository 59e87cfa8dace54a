#include "FoodTables.h"

#include "ui/views/SearchWorkers.h"

#include "refdata/FoodSearch.h"
#include "refdata/MyFoods.h"

namespace Gui {

CFoodTablesSignal& CFoodTablesSignal::Instance() {
    static CFoodTablesSignal signal;
    return signal;
}

bool ChangeMyFoods(const CAppContext& app, const std::function<bool(CMyFoods&)>& change) {
    if (!app.myFoods) return false;
    // A change rebuilds the food index the workers scan.
    if (app.searchContext) app.searchContext->Cancel();
    if (app.searchWorkers) app.searchWorkers->WaitForAll();
    const bool changed = change(*app.myFoods);
    emit CFoodTablesSignal::Instance().myFoodsChanged();
    return changed;
}

}  // namespace Gui
