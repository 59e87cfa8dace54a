#include "NutrientsByFood.h"

#include "model/NutrientRequirement.h"
#include "model/TextFormat.h"
#include "refdata/Ingredient.h"
#include "refdata/NutrientCatalogue.h"

namespace NutrientsByFood {

namespace {
constexpr const char* kCorner = " Nutrients By Food ";
constexpr int kHeaderLayoutRow = 1;
constexpr int kTreeFoodLayoutRow = 0;
}  // namespace

std::string HeaderText(int gid) {
    const Nutrient::StandardNutrient* known = Nutrient::StandardNutrientByGid(gid);
    std::string text = known ? known->name : "";
    text += "\n  ";
    if (known) text += known->units;
    return text;
}

std::string ValueText(const CDS_Ingredient* food, int gid) {
    const Nutrient::StandardNutrient* known = Nutrient::StandardNutrientByGid(gid);
    const double value = food ? food->NutrientValue(gid) : 0.0;
    return TextFormat::G(Nutrient::RoundDecimals(value, known ? known->decimals : 0));
}

Grid Build(const std::vector<UserLog::CNutrientRequirement>& requirements, const std::vector<ShownFood>& entries,
           const ShownFood* treeFood) {
    Grid grid;
    grid.columns = 1 + static_cast<int>(requirements.size());
    Row header{RowKind::Header, kHeaderLayoutRow, {kCorner}};
    for (const auto& requirement : requirements) header.cells.push_back(HeaderText(requirement.gid));
    grid.rows.push_back(std::move(header));
    auto addFood = [&](const ShownFood& shown, RowKind kind, int layoutRow) {
        Row row{kind, layoutRow, {shown.name}};
        for (const auto& requirement : requirements) row.cells.push_back(ValueText(shown.food, requirement.gid));
        grid.rows.push_back(std::move(row));
    };
    for (const ShownFood& entry : entries) addFood(entry, RowKind::Entry, kFirstEntryLayoutRow + entry.listRow);
    if (treeFood) addFood(*treeFood, RowKind::TreeFood, kTreeFoodLayoutRow);
    return grid;
}

int LayoutRowOfGridRow(int gridRow, const std::vector<int>& selectedRows, bool hasTreeFood) {
    const int entries = static_cast<int>(selectedRows.size());
    if (gridRow == 0) return kHeaderLayoutRow;
    if (gridRow >= 1 && gridRow <= entries) return kFirstEntryLayoutRow + selectedRows[static_cast<std::size_t>(gridRow - 1)];
    if (hasTreeFood && gridRow == entries + 1) return kTreeFoodLayoutRow;
    return -1;
}

}  // namespace NutrientsByFood
