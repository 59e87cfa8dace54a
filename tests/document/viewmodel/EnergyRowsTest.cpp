#include "document/viewmodel/EnergyRows.h"

#include "support/ViewsFixture.h"

#include "model/EnergyComposition.h"
#include "model/Targets.h"
#include "model/TextFormat.h"
#include "refdata/Ingredient.h"

#include <gmock/gmock.h>

using namespace ViewsFixture;
using ::testing::ElementsAre;

namespace {

using Row = EnergyRows::FoodRow;
using EnergyRowsTest = Profile;

TEST_F(EnergyRowsTest, ADayWithoutFoodsHasOnlyTheTotalRow) {
    EXPECT_THAT(EnergyRows::FoodEnergy(doc.Log()),
                ElementsAre(Row{"Total (rounded)", "0", "", "N/A", "N/A", "N/A", "N/A"}));
}

TEST_F(EnergyRowsTest, AnEntrysEnergyIsSplitBetweenItsComponents) {
    Eat(kMeat, 150);  // protein 20, fat 10 per 100 g: 170 kcal in 100 g
    // The total row shows the profile composition as the document keeps it: rounded to add up
    // to 100 at the fewest decimals.
    EXPECT_THAT(EnergyRows::FoodEnergy(doc.Log()),
                ElementsAre(Row{"Lean Meat", "255", "100", "47.06", "52.94", "0", "0"},
                            Row{"Total (rounded)", "255", "", "47", "53", "0", "0"}));
}

TEST_F(EnergyRowsTest, EachEntryShowsItsShareOfTheDay) {
    Eat(kMeat, 150);    // 255 kcal
    Eat(kYogurt, 100);  // 13.6 kcal, all protein
    Eat(kWater, 500);   // no energy at all
    EXPECT_THAT(
        EnergyRows::FoodEnergy(doc.Log()),
        ElementsAre(Row{"Lean Meat", "255", "94.94", "47.06", "52.94", "0", "0"},
                    Row{"Yogurt", "13.6", "5.06", "100", "0", "0", "0"}, Row{"Water", "0", "0", "?", "?", "?", "?"},
                    Row{"Total (rounded)", "269", "", "50", "50", "0", "0"}));
}

// A food table states a food's energy, which its components miss by the table's own factors: the
// tab shows the stated energy, so its total is the Diet grid's, to the kilocalorie.
TEST_F(EnergyRowsTest, AStatedEnergyIsShownAndTheTotalIsTheDietGrids) {
    CDS_Ingredient bread;
    bread.SetName("Bread");
    bread.SetNutrientValue(Targets::kEnergyGid, 265);  // its components give 260.8
    bread.SetNutrientValue(EnergyComponents::kGid[0], 9);
    bread.SetNutrientValue(EnergyComponents::kGid[1], 3.2);
    bread.SetNutrientValue(EnergyComponents::kGid[2], 49);
    doc.Log().AddFood(153, 0, "", bread);
    Eat(kMeat, 150);  // no energy of its own: 255 kcal from its components
    const auto rows = EnergyRows::FoodEnergy(doc.Log());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], "405.5");
    EXPECT_EQ(rows[1][1], "255");
    EXPECT_EQ(rows[2][1], "660");
    doc.Log().GetCurrentDay()->foods.pop_back();
    EXPECT_EQ(EnergyRows::FoodEnergy(doc.Log()).back()[1],
              TextFormat::G(doc.Log().DayIntake(*doc.Log().GetCurrentDay(), Targets::kEnergyGid)));
}

TEST_F(EnergyRowsTest, WithoutAnyEnergyTheSharesAreNotAvailable) {
    Eat(kWater, 500);
    Eat(kMeat, 0);
    EXPECT_THAT(EnergyRows::FoodEnergy(doc.Log()),
                ElementsAre(Row{"Water", "0", "N/A", "?", "?", "?", "?"},
                            Row{"Lean Meat", "0", "N/A", "47.06", "52.94", "0", "0"},
                            Row{"Total (rounded)", "0", "", "N/A", "N/A", "N/A", "N/A"}));
}

TEST_F(EnergyRowsTest, TheCompositionStandsBesideTheUnchangingReference) {
    const auto reference = EnergyRows::Composition(CDS_EnergyComposition());
    CDS_EnergyComposition& profile = doc.Log().EnergyComposition();
    EXPECT_TRUE(EnergyRows::StoreRange(profile, 0, 1, "15").stored);
    EXPECT_TRUE(EnergyRows::StoreRange(profile, 1, 3, "30.456").stored);
    EXPECT_EQ(profile.GetValue(0, CDS_EnergyComposition::kMin), 15);
    EXPECT_FALSE(profile.IsReference());

    const auto rows = EnergyRows::Composition(profile);
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], reference[i][0]);
        for (int c : {2, 4, 6}) EXPECT_EQ(rows[i][c], reference[i][c]) << i << "," << c;
    }
    EXPECT_EQ(rows[0][1], "15");
    EXPECT_EQ(rows[1][3], "30.46");
}

TEST_F(EnergyRowsTest, OnlyMinAndMaxTakeTypedRanges) {
    CDS_EnergyComposition& profile = doc.Log().EnergyComposition();
    const auto before = EnergyRows::Composition(profile);
    for (int column : {0, 2, 4, 5, 6}) EXPECT_FALSE(EnergyRows::StoreRange(profile, 0, column, "15").stored) << column;
    EXPECT_FALSE(EnergyRows::StoreRange(profile, 4, 1, "15").stored);
    // A text that is no range keeps the old one and says why; carbohydrates are 45-65 %.
    for (const char* refused : {"inf", "many", "", "-5", "150", "44.9"}) {
        const CellStore outcome = EnergyRows::StoreRange(profile, 2, 3, refused);
        EXPECT_FALSE(outcome.stored) << refused;
        EXPECT_NE(outcome.error, "") << refused;
    }
    EXPECT_EQ(EnergyRows::Composition(profile), before);
    EXPECT_TRUE(profile.IsReference());
    EXPECT_EQ(EnergyRows::StoreRange(profile, 0, 1, "150").error,
              "An energy range is a share of 0 to 100 % (\"150\"); the old value is kept.");
    EXPECT_EQ(EnergyRows::StoreRange(profile, 0, 1, "36").error,
              "A minimum can't be above its maximum (36 above 35); the old limit is kept.");
    // A maximum of 0 is none, so any minimum stands below it.
    EXPECT_TRUE(EnergyRows::StoreRange(profile, 3, 3, "0").stored);
    EXPECT_TRUE(EnergyRows::StoreRange(profile, 3, 1, "20").stored);
}

// The built-in ranges: protein 10-35 %, fat 20-35 %, carbohydrates 45-65 %, alcohol 0-10 %. A
// maximum of 0 sets no upper limit.
TEST_F(EnergyRowsTest, AShareOutsideItsRangeIsFlaggedWithWhy) {
    struct Change {
        int component, column;
        double value;
    };
    struct Case {
        const char* what;
        int food;  // 150 g of it
        std::vector<Change> changes;
        std::array<const char*, 4> toolTips;  // empty: not flagged
    };
    constexpr int kMin = CDS_EnergyComposition::kMin, kMax = CDS_EnergyComposition::kMax;
    const Case cases[] = {
        {"meat: 47 % protein, 53 % fat",
         kMeat,
         {},
         {"Protein: 47 % of energy, above the range 10\u201335 %", "Fat: 53 % of energy, above the range 20\u201335 %",
          "Carbohydrates: 0 % of energy, below the range 45\u201365 %", ""}},
        {"on the edges of wider ranges", kMeat, {{0, kMax, 47}, {1, kMax, 53}, {2, kMin, 0}}, {"", "", "", ""}},
        {"maximum 0",
         kMeat,
         {{0, kMax, 0}, {2, kMax, 0}},
         {"", "Fat: 53 % of energy, above the range 20\u201335 %",
          "Carbohydrates: 0 % of energy, below the minimum of 45 %", ""}},
        {"a day without energy", kWater, {}, {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        doc.CurrentDay().foods.clear();
        doc.Log().EnergyComposition() = CDS_EnergyComposition();
        for (const Change& change : c.changes)
            doc.Log().EnergyComposition().SetValue(change.component, change.column, change.value);
        Eat(c.food, 150);
        const std::vector<EnergyRows::SplitFlag> flags = EnergyRows::SplitFlags(doc.Log());
        ASSERT_EQ(flags.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(flags[i].toolTip, c.toolTips[i]) << c.what << ", component " << i;
            EXPECT_EQ(flags[i].outside, *c.toolTips[i] != 0) << c.what << ", component " << i;
        }
    }
}

TEST_F(EnergyRowsTest, TheRequirementLineNamesTheEquationAndRoundsToWholeKilocalories) {
    doc.Log().Personal().birthYear = 1990;
    const EnergyRows::Requirement r = EnergyRows::EnergyRequirement(doc.Log());
    std::string equation;
    const double kcal = doc.Log().Personal().EnergyRequirement(doc.Log().GetEnergyInputs(), equation);
    ASSERT_FALSE(equation.empty());
    EXPECT_EQ(r.text, "Energy: " + equation + " = " + std::to_string(static_cast<long>(kcal + 0.5)) + " kcal");
    EXPECT_EQ(r.parameters, doc.Log().Personal().EnergyDetails(doc.Log().GetEnergyInputs()));
}

}  // namespace
