#include "document/NutrientsByFood.h"

#include "DocumentFixture.h"

#include "model/NutrientRequirement.h"
#include "refdata/Ingredient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace DocumentFixture;
using NutrientsByFood::RowKind;
using ::testing::ElementsAre;

namespace {

const CDS_Ingredient* Food(int key) { return Foods().FindFood(FoodKey(key, kSource)); }

TEST(NutrientsByFood, HeaderThenSelectedEntriesThenTheTreeFood) {
    const std::vector<UserLog::CNutrientRequirement> requirements{{kIron, -1, -1}, {kVitaminC, -1, -1}, {9999, -1, -1}};
    const NutrientsByFood::ShownFood stew{3, "Stew", Food(kStew)};
    const NutrientsByFood::ShownFood nuts{-1, "Nuts", Food(kNuts)};
    const auto grid = NutrientsByFood::Build(requirements, {stew}, &nuts);

    EXPECT_EQ(grid.columns, 4);
    ASSERT_EQ(grid.rows.size(), 3u);
    EXPECT_EQ(grid.rows[0].kind, RowKind::Header);
    EXPECT_THAT(grid.rows[0].cells, ElementsAre(" Nutrients By Food ", "Iron\n  mg", "Vitamin C\n  mg", "\n  "));
    // Iron 1.234 at two decimals, vitamin C 7.25 at one (rounded half up), an unknown nutrient 0.
    EXPECT_EQ(grid.rows[1].kind, RowKind::Entry);
    EXPECT_THAT(grid.rows[1].cells, ElementsAre("Stew", "1.23", "7.3", "0"));
    EXPECT_EQ(grid.rows[2].kind, RowKind::TreeFood);
    EXPECT_THAT(grid.rows[2].cells, ElementsAre("Nuts", "0", "0", "0"));

    // Sizes: the header under 1, list row r under 2 + r, the tree's food under 0.
    EXPECT_EQ(grid.rows[0].layoutRow, 1);
    EXPECT_EQ(grid.rows[1].layoutRow, 5);
    EXPECT_EQ(grid.rows[2].layoutRow, 0);
}

TEST(NutrientsByFood, AnEntryWhoseFoodIsMissingShowsZeros) {
    const NutrientsByFood::ShownFood lost{0, "Gone", nullptr};
    const auto grid = NutrientsByFood::Build({{kIron, -1, -1}}, {lost}, nullptr);
    ASSERT_EQ(grid.rows.size(), 2u);
    EXPECT_THAT(grid.rows[1].cells, ElementsAre("Gone", "0"));
}

TEST(NutrientsByFood, GridRowsMapBackToTheirLayoutRows) {
    const std::vector<int> selected{1, 4};
    EXPECT_EQ(NutrientsByFood::LayoutRowOfGridRow(0, selected, true), 1);
    EXPECT_EQ(NutrientsByFood::LayoutRowOfGridRow(1, selected, true), 3);
    EXPECT_EQ(NutrientsByFood::LayoutRowOfGridRow(2, selected, true), 6);
    EXPECT_EQ(NutrientsByFood::LayoutRowOfGridRow(3, selected, true), 0);
    EXPECT_EQ(NutrientsByFood::LayoutRowOfGridRow(3, selected, false), -1);
    EXPECT_EQ(NutrientsByFood::LayoutRowOfGridRow(1, {}, true), 0);
}

}  // namespace
