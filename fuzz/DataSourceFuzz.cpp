// The food data source loader on any file: it must answer true or false with one of its two
// errors, and whatever it loaded must hold together (every indexed food found by its key, in a
// group, with a gram unit first where portions were translated).

#include "FuzzSupport.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/FoodSearch.h"
#include "refdata/SmartHierarchy.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzSupport::MemoryFile file;
    file.Set(data, size);

    CDataSourceMgr mgr;
    std::string error;
    int lastBar = -1;
    const bool ok = mgr.Load(
        file.Path(),
        [&lastBar](const LoadProgress& p) {
            const int bar = p.BarPosition();
            if (bar < 0 || bar > 50) FuzzSupport::Fault("progress bar outside 0-50: " + std::to_string(bar));
            lastBar = bar;
        },
        error);
    if (!ok &&
        (error.rfind(CDataSourceMgr::kCantLoad + file.Path() + "\n", 0) != 0 || mgr.DocumentErrorDetail().empty()))
        FuzzSupport::Fault("load error without the path and a reason: " + error);

    const CFoodIndex& foods = mgr.Foods();
    for (std::size_t i = 0; i < foods.Size(); ++i) {
        const FoodIndexEntry& e = foods[i];
        if (mgr.FindFood(e.key) == nullptr || mgr.GroupOfFood(e.key) == nullptr)
            FuzzSupport::Fault("an indexed food is not found by its key");
        (void)foods.UpperName(i);
        std::string unit;
        double grams = 0;
        for (int u = 0; e.food->GetUnit(u, unit, grams); ++u) {}
    }
    for (std::size_t i = 0; i < mgr.Nutrients().size(); ++i) (void)mgr.NutrientAt(i);
    for (const auto& group : mgr.RootGroup().subGroups) (void)BuildSmartHierarchy(*group, 2, 2, false);
    (void)FoodSearch::Run(mgr, "a e");
    mgr.Clear();
    return 0;
}
