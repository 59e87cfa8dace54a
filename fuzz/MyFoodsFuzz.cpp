// The user's own table on any file: loading answers true or false with its message; a food and a
// recipe made with it and with the table's first food are then added under keys no food had, and
// the file written reads back with the same foods under the same keys. These are the promises a
// bad table used to break: values written as "inf", a table refused at the next start and keys
// given again.

#include "FuzzSupport.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/MyFoods.h"

#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace {

const std::string kSample = std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/sample.xml";

std::map<int, std::string> NamesByKey(const CMyFoods& foods) {
    std::map<int, std::string> names;
    for (const MyFood& f : foods.Foods()) names.emplace(f.food.GetFoodKey().key, f.food.Name());
    return names;
}

void LoadSample(CDataSourceMgr& tables) {
    std::string error;
    if (!tables.Load(kSample, {}, error)) FuzzSupport::Fault("the sample table does not load: " + error);
}

// A new key is above every key the table had: none is ever given twice.
void CheckNewKey(const std::optional<FoodKey>& key, const std::map<int, std::string>& before) {
    if (key->source != MyFoods::kSourceId) FuzzSupport::Fault("a food added outside the user's table");
    if (!before.empty() && key->key <= before.rbegin()->first)
        FuzzSupport::Fault("key " + std::to_string(key->key) + " given though the table had key " +
                           std::to_string(before.rbegin()->first));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzSupport::TempFolder folder;
    const std::string path = folder.Path() + "/my-foods.xml";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    CDataSourceMgr tables;
    LoadSample(tables);
    CMyFoods mine(tables);
    std::string error;
    if (!mine.Load(path, error) && error.rfind("Can't read your own foods from " + path + ":\n", 0) != 0)
        FuzzSupport::Fault("load error without the path: " + error);
    std::map<int, std::string> names = NamesByKey(mine);
    const std::optional<FoodKey> firstFood =
        mine.Foods().empty() ? std::nullopt : std::optional<FoodKey>(mine.Foods().front().food.GetFoodKey());

    MyFood bar;
    bar.food.SetName("Fuzz bar");
    bar.food.SetNutrientValue(1, 400);
    bar.food.SetNutrientValue(3, 10);
    bar.food.AddUnit("bar", 30);
    const std::optional<FoodKey> barKey = mine.Add(bar, error);
    if (!barKey) {
        if (error.find("used every key") == std::string::npos) FuzzSupport::Fault("a plain food refused: " + error);
        return 0;
    }
    CheckNewKey(barKey, names);
    names.emplace(barKey->key, "Fuzz bar");

    MyFood stew;
    stew.food.SetName("Fuzz stew");
    stew.recipe.emplace();
    stew.recipe->ingredients.push_back({*barKey, "Fuzz bar", 2, "bar", 60});
    stew.recipe->ingredients.push_back({FoodKey(1001, 7), "Milk, whole", 200, "g", 200});
    if (firstFood) stew.recipe->ingredients.push_back({*firstFood, "first", 10, "g", 10});
    stew.recipe->servings = 3;
    // The table's first food may make the recipe refused (values too large): that is an answer.
    if (const std::optional<FoodKey> stewKey = mine.Add(stew, error)) {
        CheckNewKey(stewKey, names);
        names.emplace(stewKey->key, "Fuzz stew");
    } else if (error.empty()) {
        FuzzSupport::Fault("a recipe refused without a reason");
    }

    // What was written reads back whole, as the next start would read it.
    CDataSourceMgr again;
    LoadSample(again);
    CMyFoods reread(again);
    if (!reread.Load(path, error)) FuzzSupport::Fault("the table written does not load again: " + error);
    if (NamesByKey(reread) != names) FuzzSupport::Fault("the table read back holds other foods than were written");
    if (NamesByKey(mine) != names) FuzzSupport::Fault("the table shown holds other foods than were written");
    return 0;
}
