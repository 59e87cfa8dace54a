// The converter's output read by the program's own loader: what a user gets at start-up.

#include "tools/UsdaConverter.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/FoodSearch.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

TEST(UsdaDataSource, LoadsWithEveryFoodItsUnitsAndValues) {
    TempDir dir;
    const Usda::ConvertSummary summary =
        Usda::ConvertUsda(VELMORA_SOURCE_DIR "/tests/data/tools/usda_sr24", dir.File("usda.xml"));

    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(dir.File("usda.xml"), {}, error)) << error;
    EXPECT_EQ(static_cast<std::size_t>(summary.foods), mgr.Foods().Size());
    EXPECT_EQ(static_cast<std::size_t>(summary.nutrients), mgr.Nutrients().size());
    EXPECT_EQ("USDA SR24", mgr.RootGroup().name);

    const CDS_Ingredient* butter = mgr.FindFood(FoodKey(1001, Usda::kUsdaSourceId));
    ASSERT_NE(nullptr, butter);
    EXPECT_EQ("Butter, salted", butter->name);
    EXPECT_DOUBLE_EQ(717, butter->NutrientValue(1));     // energy, number 208
    EXPECT_DOUBLE_EQ(81.11, butter->NutrientValue(4));   // fat, number 204
    EXPECT_DOUBLE_EQ(1.5, butter->NutrientValue(66));    // vitamin D: 60 IU / 40 in µg, number 328
    EXPECT_DOUBLE_EQ(8.79, butter->EnergyFactor(1));
    std::vector<std::string> units;
    for (const FoodUnit& u : butter->units) units.push_back(u.name);
    EXPECT_THAT(units, ElementsAre("g", "cup", "tbsp", "pat (1\" sq, 1/3\" high)"));
    EXPECT_FLOAT_EQ(14.2f, static_cast<float>(butter->units[2].grams));

    const CDS_FoodGroup* group = mgr.GroupOfFood(FoodKey(1001, Usda::kUsdaSourceId));
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(100, group->code);

    const auto found = FoodSearch::Run(mgr, "butter salted");
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(FoodKey(1001, Usda::kUsdaSourceId), found[0].key);
}
