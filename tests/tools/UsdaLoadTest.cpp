// The converter's output read by the program's own loader: what a user gets at start-up.

#include "tools/UsdaConverter.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "refdata/FoodSearch.h"
#include "refdata/NutrientCatalogue.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

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
    EXPECT_EQ("Butter, salted", butter->Name());
    EXPECT_DOUBLE_EQ(717, butter->NutrientValue(1));    // energy, number 208
    EXPECT_DOUBLE_EQ(81.11, butter->NutrientValue(4));  // fat, number 204
    EXPECT_DOUBLE_EQ(1.5, butter->NutrientValue(66));   // vitamin D: 60 IU / 40 in µg, number 328
    EXPECT_DOUBLE_EQ(8.79, butter->EnergyFactor(1));
    std::vector<std::string> units;
    for (const FoodUnit& u : butter->Units()) units.push_back(u.name);
    EXPECT_THAT(units, ElementsAre("g", "cup", "tbsp", "pat (1\" sq, 1/3\" high)"));
    EXPECT_FLOAT_EQ(14.2f, static_cast<float>(butter->Units()[2].grams));

    const CDS_FoodGroup* group = mgr.GroupOfFood(FoodKey(1001, Usda::kUsdaSourceId));
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(100, group->code);

    const auto found = FoodSearch::Run(mgr, "butter salted");
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(FoodKey(1001, Usda::kUsdaSourceId), found[0].key);
}

// Manganese, fluoride and pantothenic acid reach the reference intakes' gids; USDA gives fluoride
// in µg, the intakes in mg, so the data source holds it in mg.
TEST(UsdaDataSource, NutrientsWithReferenceIntakesCarryTheirGidsAndUnits) {
    TempDir dir;
    Usda::ConvertUsda(VELMORA_SOURCE_DIR "/tests/data/tools/usda_sr24", dir.File("usda.xml"));
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(dir.File("usda.xml"), {}, error)) << error;
    const CDS_Ingredient* chips = mgr.FindFood(FoodKey(19411, Usda::kUsdaSourceId));
    ASSERT_NE(nullptr, chips);
    EXPECT_DOUBLE_EQ(0.0337, chips->NutrientValue(108));  // 33.7 µg
    EXPECT_DOUBLE_EQ(0.348, chips->NutrientValue(75));
    EXPECT_DOUBLE_EQ(0.56, chips->NutrientValue(81));
    std::map<int, std::string> units;
    for (const CDS_Nutrition& n : mgr.Nutrients()) units[n.gid] = n.units;
    EXPECT_EQ("mg", units[108]);
    EXPECT_EQ("mg", units[75]);
    EXPECT_EQ("mg", units[81]);
}

namespace {

// "mg/day" and "mg", "ug/day" and "µg", "cal" (food calories) and "kcal" are the same units.
std::string PerDayUnits(std::string units) {
    if (const auto at = units.find("/day"); at != std::string::npos) units.erase(at);
    if (units == "ug") return "\xC2\xB5g";
    if (units == "cal") return "kcal";
    return units;
}

}  // namespace

// Each nutrient of the reference intake table is looked for among the nutrients the converter
// writes, as the program finds it: by gid. Every one USDA has must be found, in the table's units,
// with an RDA or an AI for a woman of 30.
TEST(UsdaDataSource, EveryNutrientUsdaHasGetsReferenceIntakes) {
    // SR24 has no values for these.
    const std::set<std::string> notInUsda = {"Biotin",     "Boron",  "Chromium", "Iodine",
                                             "Molybdenum", "Nickel", "Vanadium", "Unknown"};
    // Adults have no RDA or AI for these: energy is the person's own requirement, fat has a
    // range of energy only.
    const std::set<std::string> noAdultValue = {"Energy", "Total Fat"};
    std::map<int, Usda::OutNutrient> byGid;
    for (const Usda::OutNutrient& n : Usda::NutrientDefinitions())
        byGid.emplace(Nutrient::GidOfNutrientNumber(n.number), n);

    CDC_DietaryIntakesMgr intakes;
    intakes.InitializeBuiltIn();
    int found = 0;
    for (int group = 0; group < CDC_DietaryIntakesMgr::kGroupCount; ++group) {
        for (const DietaryIntake& intake : intakes.GroupIntakes(group)) {
            const auto it = byGid.find(intake.id);
            if (notInUsda.count(intake.name)) {
                EXPECT_EQ(byGid.end(), it) << intake.name << " is USDA number " << it->second.number;
                continue;
            }
            ASSERT_NE(byGid.end(), it) << intake.name << " (gid " << intake.id << ") has no USDA nutrient";
            ++found;
            EXPECT_EQ(PerDayUnits(intake.units), it->second.units) << intake.name << " is USDA " << it->second.number;
            if (noAdultValue.count(intake.name)) continue;
            float rda = -1, ai = -1, ul = -1;
            EXPECT_TRUE(intake.GetValues(Female, 30, rda, ai, ul)) << intake.name;
            EXPECT_TRUE(rda > 0 || ai > 0) << intake.name;
        }
    }
    EXPECT_EQ(29, found);
}
