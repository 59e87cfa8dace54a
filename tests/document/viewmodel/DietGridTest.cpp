#include "document/viewmodel/DietGrid.h"

#include "support/ViewsFixture.h"

#include "document/viewmodel/GridDim.h"
#include "refdata/DietaryIntakesMgr.h"

#include <gmock/gmock.h>

using namespace ViewsFixture;
using DietGrid::CellColour;

namespace {

constexpr auto kFace = CellColour::ButtonFace, kWhite = CellColour::White, kYellow = CellColour::Yellow,
               kGrey = CellColour::Grey, kRed = CellColour::LightRed;

std::vector<std::string> RowTexts(const DietGrid::Table& t, int row) {
    std::vector<std::string> texts;
    for (int c = 0; c < t.Columns(); ++c) texts.push_back(t.At(row, c).text);
    return texts;
}

using DietGridTest = Profile;

TEST_F(DietGridTest, ADayWithoutFoodsHasTheHeaderAndTheThreeSummaryRows) {
    Follow({kProtein});
    const DietGrid::Table t = DietGrid::Build(doc.Log());
    ASSERT_EQ(t.Rows(), 4);
    ASSERT_EQ(t.Columns(), 5);
    EXPECT_THAT(RowTexts(t, 0),
                ::testing::ElementsAre(" Nutrients By Ingredient Weight ", "Weight", "Min", "Max", "Protein\n   g"));
    EXPECT_THAT(RowTexts(t, 1), ::testing::ElementsAre("Min", "", "", "", ""));
    EXPECT_THAT(RowTexts(t, 2), ::testing::ElementsAre("Max", "", "", "", ""));
    EXPECT_THAT(RowTexts(t, 3), ::testing::ElementsAre("Total", "", "", "", "0"));
}

// Every kind of cell of a grid with one entry and one nutrient: what it shows, whether it takes
// typing, and its background.
TEST_F(DietGridTest, EachKindOfCellHasItsTextEditabilityAndColour) {
    Follow({kProtein});
    doc.Log().RequirementAt(0).min = 5;
    Eat(kYogurt, 250);
    doc.CurrentDay().foods[0].max = 300;
    const DietGrid::Table t = DietGrid::Build(doc.Log());
    ASSERT_EQ(t.Rows(), 5);

    struct Expected {
        int row, column;
        const char* text;
        bool editable;
        CellColour colour;
    };
    const Expected cells[] = {
        {0, 0, " Nutrients By Ingredient Weight ", false, kFace},
        {0, 1, "Weight", false, kFace},
        {0, 4, "Protein\n   g", false, kFace},
        {1, 0, "Yogurt", false, kFace},
        {1, 1, "250", true, kWhite},
        {1, 2, "", true, kYellow},
        {1, 3, "300", true, kYellow},
        {1, 4, "8.5", false, kWhite},  // 250 g × 3.4 g / 100 g
        {2, 0, "Min", false, kFace},
        {2, 1, "", false, kGrey},
        {2, 3, "", false, kGrey},
        {2, 4, "5", true, kYellow},
        {3, 0, "Max", false, kFace},
        {3, 2, "", false, kGrey},
        {3, 4, "", true, kYellow},
        {4, 0, "Total", false, kFace},
        {4, 1, "", false, kWhite},
        {4, 2, "", false, kGrey},
        {4, 4, "8.5", false, kWhite},
    };
    for (const Expected& e : cells) {
        const DietGrid::Cell& cell = t.At(e.row, e.column);
        EXPECT_EQ(cell.text, e.text) << e.row << "," << e.column;
        EXPECT_EQ(cell.editable, e.editable) << e.row << "," << e.column;
        EXPECT_EQ(cell.background, e.colour) << e.row << "," << e.column;
    }
}

// A nutrient outside the standard table (glow, as most of a USDA file's) is named and rounded as
// the data source says: "Glow" in mg at one decimal.
TEST_F(DietGridTest, AmountsAreRoundedAtTheNutrientsDecimalsOfTheTableOrTheDataSource) {
    Follow({kCalcium, kGlow, kIron});
    Eat(kYogurt, 33.3);  // calcium 39.96 mg at 0 decimals; glow 0.08325 mg at 1
    Eat(kMeat, 100.1);   // iron 2.5025 mg at 2 decimals
    const DietGrid::Table t = DietGrid::Build(doc.Log());
    EXPECT_THAT(RowTexts(t, 0), ::testing::ElementsAre(" Nutrients By Ingredient Weight ", "Weight", "Min", "Max",
                                                       "Calcium\n   mg", "Glow\n   mg", "Iron\n   mg"));
    EXPECT_THAT(RowTexts(t, 1), ::testing::ElementsAre("Yogurt", "33.3", "", "", "40", "0.1", "0"));
    EXPECT_THAT(RowTexts(t, 2), ::testing::ElementsAre("Lean Meat", "100.1", "", "", "0", "0", "2.5"));
    EXPECT_THAT(RowTexts(t, 5), ::testing::ElementsAre("Total", "", "", "", "40", "0.1", "2.5"));
    EXPECT_EQ(doc.Log().GetIntake(kGlow), 0.1);
}

TEST_F(DietGridTest, TheTotalTurnsLightRedOnlyOutsideItsLimits) {
    struct Case {
        double grams;  // of meat: 20 g protein per 100 g
        double min, max;
        CellColour colour;
    };
    const Case cases[] = {
        {249.5, 50, -1, kRed},  // 49.9 below the minimum
        {250, 50, -1, kWhite},  // exactly the minimum
        {250, -1, 50, kWhite},  // exactly the maximum
        {250.5, -1, 50, kRed},  // 50.1 above it
        // Judged on the total as shown: 49.998 and 50.002 both show as 50.
        {249.99, 50, -1, kWhite},
        {250.01, -1, 50, kWhite},
        {250, 40, 60, kWhite},
        {0, -1, -1, kWhite},  // no limits: always white
        {1e6, -1, -1, kWhite},
    };
    Follow({kProtein});
    Eat(kMeat, 0);
    for (const Case& c : cases) {
        doc.CurrentDay().foods[0].weight = c.grams;
        doc.Log().RequirementAt(0).min = c.min;
        doc.Log().RequirementAt(0).max = c.max;
        EXPECT_EQ(DietGrid::Build(doc.Log()).At(4, 4).background, c.colour) << c.grams << " " << c.min << " " << c.max;
    }
}

TEST_F(DietGridTest, TheDaysOwnLimitsAreShownAndJudgedInPlaceOfTheProfiles) {
    Follow({kProtein});
    doc.Log().RequirementAt(0).min = 5;
    doc.CurrentDay().requirements.emplace_back(kProtein, 100, -1);
    Eat(kYogurt, 250);
    const DietGrid::Table t = DietGrid::Build(doc.Log());
    EXPECT_EQ(t.At(2, 4).text, "100");
    EXPECT_EQ(t.At(4, 4).background, kRed);
}

// Typing into the cells that take input, row and column as the grid counts them.
TEST_F(DietGridTest, TypedValuesAreStoredWhereTheCellBelongs) {
    Follow({kProtein, kIron});
    Eat(kMeat, 0);
    Eat(kYogurt, 50);
    ASSERT_EQ(doc.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue), 100);
    auto& foods = doc.DayFoods();
    auto& reqs = doc.Log().Requirements();
    doc.SetModifiedFlag(false);

    // Rows: 0 header, 1-2 entries, 3 Min, 4 Max, 5 Total.
    EXPECT_TRUE(DietGrid::StoreCell(doc, 1, 1, "120").stored);
    EXPECT_EQ(foods[0].weight, 120);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_GE(refreshes, 1);
    // The energy shares follow the new weight: 120 g meat + 50 g yogurt give 48.77 % protein.
    EXPECT_EQ(doc.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue), 49);

    EXPECT_TRUE(DietGrid::StoreCell(doc, 2, 2, "10.5").stored);
    EXPECT_EQ(foods[1].min, 10.5);
    EXPECT_TRUE(DietGrid::StoreCell(doc, 2, 3, "80").stored);
    EXPECT_EQ(foods[1].max, 80);
    EXPECT_TRUE(DietGrid::StoreCell(doc, 2, 3, "").stored);
    EXPECT_EQ(foods[1].max, -1);

    EXPECT_TRUE(DietGrid::StoreCell(doc, 3, 5, "8").stored);
    EXPECT_EQ(reqs[1].min, 8);
    EXPECT_TRUE(DietGrid::StoreCell(doc, 4, 4, "60").stored);
    EXPECT_EQ(reqs[0].max, 60);
    EXPECT_TRUE(DietGrid::StoreCell(doc, 4, 4, "  ").stored);
    EXPECT_EQ(reqs[0].max, -1) << "blanking a limit with spaces removes it rather than making it 0";
    EXPECT_TRUE(DietGrid::StoreCell(doc, 3, 5, "").stored);
    EXPECT_EQ(reqs[1].min, -1);
}

// A typed text the cell's rule refuses changes nothing and says why; a weight is never zeroed
// or made negative by it.
TEST_F(DietGridTest, RefusedTextsKeepTheOldValueAndSayWhy) {
    Follow({kProtein});
    Eat(kMeat, 100);
    auto& entry = doc.CurrentDay().foods[0];
    entry.min = 5;
    doc.Log().RequirementAt(0).max = 60;
    doc.SetModifiedFlag(false);
    refreshes = 0;
    struct Case {
        int row, column;
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {1, 1, "abc", "\"abc\" is not a number; the old value is kept."},
        {1, 1, "", "A weight or amount can't be empty; the old value is kept."},
        {1, 1, "-100", "A weight or amount can't be negative (\"-100\"); the old value is kept."},
        {1, 1, "1e999", "\"1e999\" is too large a number; the old value is kept."},
        {1, 1, "63,4", "\"63,4\" is not a number; the old value is kept."},
        {1, 2, "plenty", "\"plenty\" is not a number; the old value is kept."},
        {1, 2, "-5", "A limit can't be negative (\"-5\"); the old limit is kept."},
        {3, 4, "inf", "\"inf\" is not a number; the old value is kept."},
        {1, 3, "4", "A minimum can't be above its maximum (5 above 4); the old limit is kept."},
        {2, 4, "61", "A minimum can't be above its maximum (61 above 60); the old limit is kept."},
    };
    for (const Case& c : cases) {
        const CellStore outcome = DietGrid::StoreCell(doc, c.row, c.column, c.text);
        EXPECT_FALSE(outcome.stored) << c.text;
        EXPECT_EQ(outcome.error, c.error);
    }
    EXPECT_EQ(entry.weight, 100);
    EXPECT_EQ(entry.min, 5);
    EXPECT_EQ(doc.Log().RequirementAt(0).max, 60);
    EXPECT_EQ(DietGrid::Build(doc.Log()).At(3, 4).text, "60");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(refreshes, 0);
}

// On a day with limits of its own the grid shows them, so typing changes them and not the
// profile's, which the day would go on hiding.
TEST_F(DietGridTest, ALimitTypedOverTheDaysOwnChangesTheDays) {
    Follow({kProtein, kIron});
    doc.Log().RequirementAt(0).min = 5;
    doc.CurrentDay().requirements.emplace_back(kProtein, 100, -1);
    EXPECT_TRUE(DietGrid::StoreCell(doc, 1, 4, "30").stored);
    EXPECT_TRUE(DietGrid::StoreCell(doc, 2, 4, "90").stored);
    EXPECT_EQ(doc.CurrentDay().requirements[0].min, 30);
    EXPECT_EQ(doc.CurrentDay().requirements[0].max, 90);
    EXPECT_EQ(doc.Log().RequirementAt(0).min, 5);
    EXPECT_EQ(doc.Log().RequirementAt(0).max, -1);
    const DietGrid::Table t = DietGrid::Build(doc.Log());
    EXPECT_EQ(t.At(1, 4).text, "30");
    EXPECT_EQ(t.At(2, 4).text, "90");
    // A nutrient without limits of the day's own still takes the profile's.
    EXPECT_TRUE(DietGrid::StoreCell(doc, 1, 5, "8").stored);
    EXPECT_EQ(doc.Log().RequirementAt(1).min, 8);
    EXPECT_EQ(doc.CurrentDay().requirements.size(), 1u);
}

// The profile judged against the current reference intakes, as the program opens it, for a woman of
// 34: protein RDA 46 g; iron RDA 18 mg, UL 45 mg; calcium RDA 1000 mg, UL 2500 mg.
class DietGridDefaultsTest : public Profile {
protected:
    DietGridDefaultsTest() {
        intakes.InitializeBuiltIn(DriEdition::Current);
        doc.Log().SetTargetOptions({&intakes, true});
        doc.Log().Personal().birthYear = 1990;
    }

    CDC_DietaryIntakesMgr intakes;
};

// Rows: 0 header, 1 the entry, 2 Min, 3 Max, 4 Total; columns 4 protein, 5 iron, 6 calcium.
TEST_F(DietGridDefaultsTest, ANutrientWithoutLimitsOfTheUsersOwnShowsItsDefaultTarget) {
    Follow({kProtein, kIron, kCalcium});
    doc.Log().RequirementAt(1).min = 8;  // iron: the user's own minimum, and no maximum
    Eat(kMeat, 100);                     // 20 g protein, 2.5 mg iron, no calcium

    struct Expected {
        int row, column;
        const char* text;
        bool isDefault;
    };
    const Expected cells[] = {
        {2, 4, "46", true},   {3, 4, "", false},  // protein has no UL
        {2, 5, "8", false},   {3, 5, "", false},  // own limits win, both of them
        {2, 6, "1000", true}, {3, 6, "2500", true},
    };
    const DietGrid::Table t = DietGrid::Build(doc.Log());
    for (const Expected& e : cells) {
        const DietGrid::Cell& cell = t.At(e.row, e.column);
        EXPECT_EQ(cell.text, e.text) << e.row << "," << e.column;
        EXPECT_EQ(cell.defaultTarget, e.isDefault) << e.row << "," << e.column;
        EXPECT_TRUE(cell.editable) << e.row << "," << e.column;
        EXPECT_EQ(cell.background, kYellow) << e.row << "," << e.column;
        EXPECT_EQ(cell.toolTip.empty(), !e.isDefault) << e.row << "," << e.column;
    }
    EXPECT_EQ(t.At(2, 6).toolTip, "Default target: RDA. Type a number to set a limit of your own.");
    EXPECT_EQ(t.At(3, 6).toolTip, "Default target: UL. Type a number to set a limit of your own.");
    EXPECT_EQ(t.At(4, 4).background, kRed);
    EXPECT_EQ(t.At(4, 4).toolTip, "Below the minimum of 46 g (RDA)");
    EXPECT_EQ(t.At(4, 5).toolTip, "Below the minimum of 8 mg (your limit)");
    // A default is never stored.
    EXPECT_EQ(doc.Log().RequirementAt(0).min, -1);
    EXPECT_EQ(doc.Log().RequirementAt(2).min + doc.Log().RequirementAt(2).max, -2);

    // With the setting off only the user's own limits show and judge.
    doc.Log().SetTargetOptions({&intakes, false});
    const DietGrid::Table off = DietGrid::Build(doc.Log());
    EXPECT_THAT(RowTexts(off, 2), ::testing::ElementsAre("Min", "", "", "", "", "8", ""));
    EXPECT_THAT(RowTexts(off, 3), ::testing::ElementsAre("Max", "", "", "", "", "", ""));
    for (int c = 4; c < 7; ++c) EXPECT_FALSE(off.At(2, c).defaultTarget || off.At(3, c).defaultTarget) << c;
    EXPECT_EQ(off.At(4, 4).background, kWhite);
    EXPECT_EQ(off.At(4, 4).toolTip, "");
    EXPECT_EQ(off.At(4, 5).background, kRed);
}

TEST_F(DietGridDefaultsTest, TheTotalFollowsTheDefaultTargetAsItFollowsTypedLimits) {
    struct Case {
        double grams;  // of meat: 2.5 mg iron per 100 g
        double ownMin, ownMax;
        CellColour colour;
        const char* toolTip;
    };
    const Case cases[] = {
        {100, -1, -1, kRed, "Below the minimum of 18 mg (RDA)"},
        {720, -1, -1, kWhite, ""},   // 18: exactly the RDA
        {1800, -1, -1, kWhite, ""},  // 45: exactly the UL
        {2000, -1, -1, kRed, "Above the maximum of 45 mg (UL)"},
        {100, 2, -1, kWhite, ""},  // the user's own limits in place of the default
        {2000, -1, 60, kWhite, ""},
        {2000, -1, 40, kRed, "Above the maximum of 40 mg (your limit)"},
    };
    Follow({kIron});
    Eat(kMeat, 0);
    for (const Case& c : cases) {
        doc.CurrentDay().foods[0].weight = c.grams;
        doc.Log().RequirementAt(0).min = c.ownMin;
        doc.Log().RequirementAt(0).max = c.ownMax;
        const DietGrid::Table t = DietGrid::Build(doc.Log());
        const DietGrid::Cell& total = t.At(4, 4);
        EXPECT_EQ(total.background, c.colour) << c.grams << " " << c.ownMin << " " << c.ownMax;
        EXPECT_EQ(total.toolTip, c.toolTip) << c.grams << " " << c.ownMin << " " << c.ownMax;
    }
}

TEST_F(DietGridDefaultsTest, AnOwnLimitTypedOverTheDefaultIsStoredAndEmptyingItBringsTheDefaultBack) {
    Follow({kIron});
    EXPECT_TRUE(DietGrid::StoreCell(doc, 1, 4, "18").stored);  // the default's own number
    EXPECT_EQ(doc.Log().RequirementAt(0).min, 18);
    DietGrid::Table t = DietGrid::Build(doc.Log());
    EXPECT_FALSE(t.At(1, 4).defaultTarget);
    EXPECT_EQ(t.At(2, 4).text, "") << "the UL is a default; the user's minimum replaces the whole target";

    EXPECT_TRUE(DietGrid::StoreCell(doc, 1, 4, "").stored);
    EXPECT_EQ(doc.Log().RequirementAt(0).min, -1);
    t = DietGrid::Build(doc.Log());
    EXPECT_EQ(t.At(1, 4).text, "18");
    EXPECT_TRUE(t.At(1, 4).defaultTarget);
    EXPECT_EQ(t.At(2, 4).text, "45");
}

TEST_F(DietGridTest, CellsWithoutInputChangeNothing) {
    Follow({kProtein});
    Eat(kMeat, 100);
    doc.SetModifiedFlag(false);
    refreshes = 0;
    const std::pair<int, int> readOnly[] = {{0, 0}, {0, 1}, {0, 4}, {1, 0}, {1, 4}, {2, 1},
                                            {3, 3}, {4, 1}, {4, 4}, {5, 4}, {2, 9}, {-1, 1}};
    for (auto [row, column] : readOnly) {
        const CellStore outcome = DietGrid::StoreCell(doc, row, column, "7");
        EXPECT_FALSE(outcome.stored) << row << "," << column;
        EXPECT_EQ(outcome.error, "") << row << "," << column;
    }
    EXPECT_EQ(doc.DayFoods()[0].weight, 100);
    EXPECT_EQ(doc.Log().RequirementAt(0).min, -1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(refreshes, 0);
}

}  // namespace

namespace {

// What a grid on screen would be given: the stored sizes as they are, and pixels when captured.
class SizesSeen : public IGridSizes {
public:
    int RowCount() const override { return static_cast<int>(rows.size()); }
    int ColumnCount() const override { return static_cast<int>(columns.size()); }
    int RowHeight(int row) const override {
        return rows.at(static_cast<std::size_t>(row)) <= 0 ? 20 : rows.at(static_cast<std::size_t>(row));
    }
    int ColumnWidth(int column) const override {
        return columns.at(static_cast<std::size_t>(column)) <= 0 ? 50 : columns.at(static_cast<std::size_t>(column));
    }
    void SetRowCount(int n) override { rows.resize(static_cast<std::size_t>(n), 0); }
    void SetColumnCount(int n) override { columns.resize(static_cast<std::size_t>(n), 0); }
    void SetRowHeight(int row, int height) override { rows.at(static_cast<std::size_t>(row)) = height; }
    void SetColumnWidth(int column, int width) override { columns.at(static_cast<std::size_t>(column)) = width; }

    std::vector<int> rows, columns;
};

// Layout of a profile whose days had at most two entries, five nutrients followed.
CGridDim TwoEntryLayout() { return CGridDim("Diet", {6, 9, -3, 31, 32, 40, 41, 42, -2, 0, 0, 0, 70, 0, 0, 0, 75}); }

TEST(DietLayout, ADayWithFewerEntriesTakesTheFirstEntryRowsAndTheLastThreeRows) {
    SizesSeen grid;
    DietGrid::ApplyLayout(TwoEntryLayout(), 1, 5, grid);
    EXPECT_THAT(grid.rows, ::testing::ElementsAre(-3, 31, 40, 41, 42));
    EXPECT_THAT(grid.columns, ::testing::ElementsAre(-2, 0, 0, 0, 70, 0, 0, 0, 75));
}

TEST(DietLayout, RowsAndColumnsTheLayoutLacksGetDefaultSizes) {
    SizesSeen grid;
    DietGrid::ApplyLayout(TwoEntryLayout(), 3, 6, grid);
    EXPECT_THAT(grid.rows, ::testing::ElementsAre(-3, 31, 32, 0, 40, 41, 42));
    EXPECT_EQ(grid.columns.size(), 10u);
    EXPECT_EQ(grid.columns[9], 0);

    SizesSeen fresh;
    DietGrid::ApplyLayout(CGridDim(), 1, 0, fresh);
    EXPECT_THAT(fresh.rows, ::testing::ElementsAre(-3, 0, 0, 0, 0));
}

TEST(DietLayout, ADraggedSizeGoesToItsSlotAndLeavesTheOthersInTheirEncoding) {
    CGridDim layout = TwoEntryLayout();
    SizesSeen grid;
    DietGrid::ApplyLayout(layout, 1, 5, grid);
    DietGrid::StoreRowSize(layout, grid, 1, 4, 55);  // the "Total" row
    DietGrid::StoreRowSize(layout, grid, 1, 1, 25);  // the entry
    DietGrid::StoreColumnSize(layout, grid, 1, 90);  // "Weight"
    EXPECT_THAT(layout.sizes, ::testing::ElementsAre(6, 9, -3, 25, 32, 40, 41, 55, -2, 90, 0, 0, 70, 0, 0, 0, 75));
}

TEST(DietLayout, ALayoutWithoutTheSlotTakesTheWholeGrid) {
    CGridDim layout = TwoEntryLayout();
    SizesSeen grid;
    DietGrid::ApplyLayout(layout, 3, 5, grid);
    grid.rows[3] = 44;  // the user drags the third entry's row, which the layout has no row for
    DietGrid::StoreRowSize(layout, grid, 3, 3, 44);
    EXPECT_EQ(layout.RowCount(), 7);
    EXPECT_EQ(layout.RowSize(3), 44);
    EXPECT_EQ(layout.RowSize(0), 20);  // captured as pixels
}

}  // namespace
