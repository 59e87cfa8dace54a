#include "ui/views/GridSizes.h"

#include <gtest/gtest.h>

namespace {

TEST(GridSizes, AStoredLayoutSizesTheGridAndComesBackAsPixelsThatReproduceIt) {
    CCellGrid grid;
    grid.SetSize(1, 1);
    grid.SetCellText(0, 0, QStringLiteral(" Nutrients By Ingredient Weight "));
    CCellGridSizes sizes(grid);
    // Three rows (header of two lines, one line, 40 px) and two columns (fitted, 70 px), as a
    // new profile's layout starts them.
    const CGridDim stored(std::string("Diet"), {3, 2, -2, 0, 40, -2, 70});
    ASSERT_TRUE(stored.Apply(sizes));
    ASSERT_EQ(grid.rowCount(), 3);
    ASSERT_EQ(grid.columnCount(), 2);
    EXPECT_EQ(grid.RowHeight(0), grid.RowHeightFor(-2));
    EXPECT_EQ(grid.RowHeight(1), grid.RowHeightFor(0));
    EXPECT_EQ(grid.RowHeight(2), 40);
    EXPECT_GT(grid.ColumnWidth(0), grid.fontMetrics().horizontalAdvance(QStringLiteral("Nutrients By Ingredient")));
    EXPECT_EQ(grid.ColumnWidth(1), 70);

    CGridDim captured;
    captured.Capture(sizes);
    ASSERT_EQ(captured.sizes.size(), 7u);
    for (std::size_t i = 2; i < captured.sizes.size(); ++i) EXPECT_GT(captured.sizes[i], 0) << "slot " << i;

    CCellGrid again;
    CCellGridSizes againSizes(again);
    ASSERT_TRUE(captured.Apply(againSizes));
    for (int r = 0; r < 3; ++r) EXPECT_EQ(again.RowHeight(r), grid.RowHeight(r));
    for (int c = 0; c < 2; ++c) EXPECT_EQ(again.ColumnWidth(c), grid.ColumnWidth(c));
}

TEST(GridSizes, ALayoutThatDoesNotMatchItsCountsLeavesTheGridAlone) {
    CCellGrid grid;
    grid.SetSize(2, 2);
    grid.SetRowSize(1, 33);
    CCellGridSizes sizes(grid);
    const CGridDim broken(std::string("Diet"), {5, 2, 10, 10});
    EXPECT_FALSE(broken.Apply(sizes));
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.RowHeight(1), 33);
}

}  // namespace
