#include "NutrientsByFood.h"

#include "model/NutrientRequirement.h"
#include "model/TextFormat.h"
#include "refdata/Ingredient.h"
#include "refdata/NutrientLabel.h"

namespace NutrientsByFood {

namespace {
// The values are per 100 g of each food, whatever amount of it the day holds.
constexpr const char* kCorner = " Nutrients By Food\n  per 100 g ";
constexpr int kHeaderLayoutRow = 1;
constexpr int kTreeFoodLayoutRow = 0;
}  // namespace

std::string HeaderText(const Nutrient::Label& label) { return label.name + "\n  " + label.units; }

std::string ValueText(const CDS_Ingredient* food, int gid, const Nutrient::Label& label) {
    const double value = food ? food->NutrientValue(gid) : 0.0;
    return TextFormat::G(Nutrient::RoundShown(label, value));
}

Grid Build(const std::vector<UserLog::CNutrientRequirement>& requirements, const std::vector<ShownFood>& entries,
           const ShownFood* treeFood, const CDataSourceMgr* source) {
    Grid grid;
    grid.columns = 1 + static_cast<int>(requirements.size());
    std::vector<Nutrient::Label> labels;
    for (const auto& requirement : requirements) labels.push_back(Nutrient::LabelOf(requirement.gid, source));
    Row header{RowKind::Header, kHeaderLayoutRow, {kCorner}};
    for (const Nutrient::Label& label : labels) header.cells.push_back(HeaderText(label));
    grid.rows.push_back(std::move(header));
    auto addFood = [&](const ShownFood& shown, RowKind kind, int layoutRow) {
        Row row{kind, layoutRow, {shown.name}};
        for (std::size_t i = 0; i < requirements.size(); ++i)
            row.cells.push_back(ValueText(shown.food, requirements[i].gid, labels[i]));
        grid.rows.push_back(std::move(row));
    };
    for (const ShownFood& entry : entries) addFood(entry, RowKind::Entry, kFirstEntryLayoutRow + entry.listRow);
    if (treeFood) addFood(*treeFood, RowKind::TreeFood, kTreeFoodLayoutRow);
    return grid;
}

int LayoutRowOfGridRow(int gridRow, const std::vector<int>& selectedRows, bool hasTreeFood) {
    const int entries = static_cast<int>(selectedRows.size());
    if (gridRow == 0) return kHeaderLayoutRow;
    if (gridRow >= 1 && gridRow <= entries)
        return kFirstEntryLayoutRow + selectedRows[static_cast<std::size_t>(gridRow - 1)];
    if (hasTreeFood && gridRow == entries + 1) return kTreeFoodLayoutRow;
    return -1;
}

}  // namespace NutrientsByFood
