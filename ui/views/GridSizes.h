#pragma once

#include "document/viewmodel/GridDim.h"
#include "widgets/CellGrid.h"

// Lets a profile's saved grid layout size a cell grid on screen and read its sizes back. Sizes
// go through in the stored encoding (pixels above 0, text lines at 0 and below) and come back as
// pixels.
class CCellGridSizes : public IGridSizes {
public:
    explicit CCellGridSizes(CCellGrid& grid) : grid_(grid) {}

    int RowCount() const override { return grid_.rowCount(); }
    int ColumnCount() const override { return grid_.columnCount(); }
    int RowHeight(int row) const override { return grid_.RowHeight(row); }
    int ColumnWidth(int column) const override { return grid_.ColumnWidth(column); }
    void SetRowCount(int rows) override { grid_.SetSize(rows, grid_.columnCount()); }
    void SetColumnCount(int columns) override { grid_.SetSize(grid_.rowCount(), columns); }
    void SetRowHeight(int row, int height) override { grid_.SetRowSize(row, height); }
    void SetColumnWidth(int column, int width) override { grid_.SetColumnSize(column, width); }

private:
    CCellGrid& grid_;
};
