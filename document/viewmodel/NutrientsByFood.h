#pragma once

#include "refdata/NutrientLabel.h"

#include <string>
#include <vector>

class CDataSourceMgr;
class CDS_Ingredient;
namespace UserLog {
class CNutrientRequirement;
}

// The "Nutrients By Food" grid of the "Food" tab as data: its texts, what each row stands for and
// where its remembered sizes are kept in the "Food" grid layout.
namespace NutrientsByFood {

// What a row or cell shows, which decides its colour.
enum class RowKind { Header, Entry, TreeFood };

// The "Food" layout's row of the entry in list row 0; the others follow in list order.
constexpr int kFirstEntryLayoutRow = 2;

struct Row {
    RowKind kind = RowKind::Header;
    // The index of the row's size in the "Food" layout: 1 for the header, 2 + r for the entry of
    // list row r, 0 for the tree's food.
    int layoutRow = 1;
    std::vector<std::string> cells;
};

struct Grid {
    std::vector<Row> rows;
    int columns = 0;
};

// The nutrient's column header: its name and, indented on the next line, its units; both empty
// for a nutrient neither the program nor the data source knows by name.
std::string HeaderText(const Nutrient::Label& label);
// The food's value of the nutrient per 100 g at the nutrient's display decimals (0 for a food
// without it or without a record).
std::string ValueText(const CDS_Ingredient* food, int gid, const Nutrient::Label& label);

// One food of the grid: the entry's list row (or -1 for the tree's food), its name and its food
// (null when the profile's food could not be found).
struct ShownFood {
    int listRow = -1;
    std::string name;
    const CDS_Ingredient* food = nullptr;
};

// The header row, then the selected entries in list order, then the tree's food when there is one
// (`treeFood.listRow` < 0 and a name).
// Nutrients outside the standard table are named and rounded as `source` says.
Grid Build(const std::vector<UserLog::CNutrientRequirement>& requirements, const std::vector<ShownFood>& entries,
           const ShownFood* treeFood, const CDataSourceMgr* source);

// Where a grid row's size is kept: the inverse of Row::layoutRow for a grid showing the entries of
// `selectedRows` (in list order) and, with `hasTreeFood`, the tree's food; -1 outside the grid.
int LayoutRowOfGridRow(int gridRow, const std::vector<int>& selectedRows, bool hasTreeFood);

}  // namespace NutrientsByFood
