#pragma once

#include "TypedNumber.h"

#include <string>
#include <vector>

class CGridDim;
class CProfileDocument;
class IGridSizes;
namespace NS_Data {
class CUserLog;
}

// The "Diet" grid of the current day as data: every cell's text, whether the user may type into
// it, its background and style, so the view only copies it onto the screen.
namespace DietGrid {

inline constexpr const char* kTitle = " Nutrients By Ingredient Weight ";
// Columns before the first nutrient: the label, "Weight", "Min", "Max".
inline constexpr int kFixedColumns = 4;

enum class CellColour {
    ButtonFace,  // the headers, in the window system's colour
    White,
    Yellow,    // 255, 255, 0: limits the user types
    Grey,      // 150, 150, 150: nothing to show
    LightRed,  // 255, 150, 150: a total outside its limits
};

struct Rgb {
    int red, green, blue;
};
// The fixed colours; ButtonFace has none of its own.
Rgb RgbOf(CellColour colour);

struct Cell {
    std::string text;
    bool editable = false;
    CellColour background = CellColour::White;
    // A Min or Max the reference intakes give a followed nutrient without limits of the user's
    // own: shown in a style of its own, never stored unless the user types it.
    bool defaultTarget = false;
    std::string toolTip;
};

// n entries and m followed nutrients give n + 4 rows and m + 4 columns: the header row, one row
// per entry, then "Min", "Max" and "Total".
class Table {
public:
    Table(int rows, int columns);
    int Rows() const noexcept { return rows_; }
    int Columns() const noexcept { return columns_; }
    const Cell& At(int row, int column) const;
    Cell& At(int row, int column);

private:
    int rows_;
    int columns_;
    std::vector<Cell> cells_;
};

// The grid of the log's current day with its effective requirements; a total is judged against
// its target (model/Targets), the user's limits or else the default ones.
Table Build(const NS_Data::CUserLog& log);

// Stores the text typed into a cell: a weight, an entry's limit or a nutrient's limit (an empty
// limit removes it) of the list shown, so a nutrient's limit goes to the current day's own
// requirement when the day has one for it. Afterwards the document is modified and its views
// refreshed. Nothing changes for a cell that takes no input, or for a text its rule refuses (the
// outcome then says why).
CellStore StoreCell(CProfileDocument& document, int row, int column, const std::string& text);

// The saved "Diet" layout holds a row per entry position that any day has had, so a day with
// fewer entries shows only the first of them; its summary rows take the layout's last three rows.
// Sizes stay in the stored encoding, so a column that fits its contents keeps doing so.
void ApplyLayout(const CGridDim& layout, int entries, int nutrients, IGridSizes& grid);
// A size the user gave one row or column goes to the layout's slot for it. A layout without such a
// slot takes the whole grid's sizes instead, as pixels.
void StoreRowSize(CGridDim& layout, const IGridSizes& grid, int entries, int row, int height);
void StoreColumnSize(CGridDim& layout, const IGridSizes& grid, int column, int width);

}  // namespace DietGrid
