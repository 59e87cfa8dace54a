#include "document/viewmodel/NutrientsByFood.h"

#include "support/DocumentFixture.h"

#include "model/NutrientRequirement.h"
#include "refdata/Ingredient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace DocumentFixture;
using NutrientsByFood::RowKind;
using ::testing::ElementsAre;

namespace {

const CDS_Ingredient* Food(int key) { return Foods().FindFood(FoodKey(key, kSource)); }

// tests/data/document/views-foods.xml: the one with a nutrient outside the standard table.
const CDataSourceMgr& ViewFoods() {
    static const CDataSourceMgr* foods = [] {
        auto* mgr = new CDataSourceMgr;
        std::string error;
        EXPECT_TRUE(mgr->Load(Data("views-foods.xml"), {}, error)) << error;
        return mgr;
    }();
    return *foods;
}

TEST(NutrientsByFood, HeaderThenSelectedEntriesThenTheTreeFood) {
    const std::vector<UserLog::CNutrientRequirement> requirements{{kIron, -1, -1}, {kVitaminC, -1, -1}, {9999, -1, -1}};
    const NutrientsByFood::ShownFood stew{3, "Stew", Food(kStew)};
    const NutrientsByFood::ShownFood nuts{-1, "Nuts", Food(kNuts)};
    const auto grid = NutrientsByFood::Build(requirements, {stew}, &nuts, &Foods());

    EXPECT_EQ(grid.columns, 4);
    ASSERT_EQ(grid.rows.size(), 3u);
    EXPECT_EQ(grid.rows[0].kind, RowKind::Header);
    EXPECT_THAT(grid.rows[0].cells,
                ElementsAre(" Nutrients By Food\n  per 100 g ", "Iron\n  mg", "Vitamin C\n  mg", "\n  "));
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
    const auto grid = NutrientsByFood::Build({{kIron, -1, -1}}, {lost}, nullptr, &Foods());
    ASSERT_EQ(grid.rows.size(), 2u);
    EXPECT_THAT(grid.rows[1].cells, ElementsAre("Gone", "0"));
}

// Nutrients the standard table lacks (most of a USDA file's) take the data source's name, units
// and accuracy: "Glow" in mg at one decimal, 0.25 per 100 g of yogurt.
TEST(NutrientsByFood, ANutrientOutsideTheStandardTableHasTheDataSourcesNameAndAccuracy) {
    const CDataSourceMgr& foods = ViewFoods();
    const NutrientsByFood::ShownFood yogurt{0, "Yogurt", foods.FindFood(FoodKey(200, 9))};
    const auto grid = NutrientsByFood::Build({{999, -1, -1}}, {yogurt}, nullptr, &foods);
    EXPECT_THAT(grid.rows[0].cells, ElementsAre(" Nutrients By Food\n  per 100 g ", "Glow\n  mg"));
    EXPECT_THAT(grid.rows[1].cells, ElementsAre("Yogurt", "0.3"));
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
