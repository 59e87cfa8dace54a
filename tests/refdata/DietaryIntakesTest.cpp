#include "refdata/DietaryIntakesMgr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const CDC_DietaryIntakesMgr& Dri() {
    static const CDC_DietaryIntakesMgr mgr = [] {
        CDC_DietaryIntakesMgr m;
        m.InitializeBuiltIn();
        return m;
    }();
    return mgr;
}

}  // namespace

TEST(DietaryIntakes, BuiltInTableShape) {
    const std::size_t sizes[] = {14, 17, 4, 2};
    std::size_t rows = 0;
    for (int g = 0; g < CDC_DietaryIntakesMgr::kGroupCount; ++g) {
        EXPECT_EQ(sizes[g], Dri().GroupIntakes(g).size()) << CDC_DietaryIntakesMgr::GroupName(g);
        for (const auto& intake : Dri().GroupIntakes(g)) rows += intake.rows.size();
    }
    EXPECT_EQ(444u, rows);
    EXPECT_EQ("Biotin", Dri().GroupIntakes(CDC_DietaryIntakesMgr::Vitamins).front().name);
    EXPECT_EQ("Sodium", Dri().GroupIntakes(CDC_DietaryIntakesMgr::Minerals).back().name);
    EXPECT_STREQ("MacroNutrients", CDC_DietaryIntakesMgr::GroupName(2));

    const DietaryIntake* d = Dri().FindIntake(66);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ("Vitamin D", d->name);
    EXPECT_EQ("ug/day", d->units);
    EXPECT_EQ("\xC2\xB5g/day", Dri().FindIntake(113)->units);
    EXPECT_EQ("?", Dri().FindIntake(-1)->units);
    EXPECT_EQ(nullptr, Dri().FindIntake(2));
}

TEST(DietaryIntakes, InitializingTwiceDoesNotDuplicate) {
    CDC_DietaryIntakesMgr mgr;
    mgr.InitializeBuiltIn();
    mgr.InitializeBuiltIn();
    EXPECT_EQ(14u, mgr.GroupIntakes(0).size());
}

struct DriCase {
    const char* what;
    int gid;
    DriCategory category;
    int age;
    float rda, ai, ul;
    bool found = true;
};

void PrintTo(const DriCase& c, std::ostream* os) { *os << c.what; }

class DriLookup : public testing::TestWithParam<DriCase> {};

TEST_P(DriLookup, FirstMatchingRowDecides) {
    const DriCase& c = GetParam();
    const DietaryIntake* intake = Dri().FindIntake(c.gid);
    ASSERT_NE(nullptr, intake);
    float rda = 0, ai = 0, ul = 0;
    const bool found = intake->GetValues(c.category, c.age, rda, ai, ul);
    EXPECT_EQ(c.found, found);
    EXPECT_EQ(c.rda, rda);
    EXPECT_EQ(c.ai, ai);
    EXPECT_EQ(c.ul, ul);
}

INSTANTIATE_TEST_SUITE_P(People, DriLookup,
                         testing::Values(DriCase{"woman_25_iron", 13, Female, 25, 18, -1, 45},
                                         DriCase{"woman_25_calcium", 12, Female, 25, -1, 1000, 2500},
                                         DriCase{"man_18_protein_row_14_18", 3, Male, 18, 52, -1, -1},
                                         DriCase{"man_19_protein", 3, Male, 19, 56, -1, -1},
                                         DriCase{"man_50_fiber_row_14_50", 11, Male, 50, -1, 38, -1},
                                         DriCase{"man_51_fiber", 11, Male, 51, -1, 30, -1},
                                         DriCase{"girl_14_sodium_row_9_14", 17, Female, 14, -1, 1500, 2200},
                                         DriCase{"infant_6_months_calcium", 12, Infant, 6, -1, 210, -1},
                                         DriCase{"infant_7_months_calcium", 12, Infant, 7, -1, 270, -1},
                                         DriCase{"man_90_open_range", 66, Male, 90, -1, 15, 50},
                                         DriCase{"copper_fraction", 19, Infant, 8, -1, 0.22f, -1},
                                         DriCase{"pregnant_51_iron", 13, FemalePregnant, 51, -1, -1, -1, false},
                                         DriCase{"pregnant_lactating", 13, FemalePregnantLactation, 30, -1, -1, -1,
                                                 false},
                                         DriCase{"unknown_category", 12, UnknownCategory, 30, -1, -1, -1, false},
                                         DriCase{"row_without_values", 4, Female, 30, -1, -1, -1},
                                         // Ages are compared as 16-bit numbers: 65536 + 25 is 25.
                                         DriCase{"age_wraps_at_16_bits", 13, Female, 65536 + 25, 18, -1, 45},
                                         DriCase{"negative_age", 12, Infant, -1, -1, -1, -1, false}),
                         [](const auto& info) { return std::string(info.param.what); });

struct EditionCase {
    const char* what;
    int gid;
    DriCategory category;
    int age;
    float originalRda, originalAi, originalUl;
    float currentRda, currentAi, currentUl;
};

void PrintTo(const EditionCase& c, std::ostream* os) { *os << c.what; }

class DriEditions : public testing::TestWithParam<EditionCase> {};

// The current edition replaces the rows of exactly four nutrients; the original stays as it was.
TEST_P(DriEditions, CurrentReplacesTheRevisedRowsOnly) {
    const EditionCase& c = GetParam();
    CDC_DietaryIntakesMgr original, current;
    original.InitializeBuiltIn(DriEdition::Original);
    current.InitializeBuiltIn(DriEdition::Current);
    float rda = 0, ai = 0, ul = 0;
    original.FindIntake(c.gid)->GetValues(c.category, c.age, rda, ai, ul);
    EXPECT_EQ(c.originalRda, rda);
    EXPECT_EQ(c.originalAi, ai);
    EXPECT_EQ(c.originalUl, ul);
    current.FindIntake(c.gid)->GetValues(c.category, c.age, rda, ai, ul);
    EXPECT_EQ(c.currentRda, rda);
    EXPECT_EQ(c.currentAi, ai);
    EXPECT_EQ(c.currentUl, ul);
}

INSTANTIATE_TEST_SUITE_P(
    People, DriEditions,
    testing::Values(EditionCase{"vitamin_d_woman_25", 66, Female, 25, -1, 5, 50, 15, -1, 100},
                    EditionCase{"vitamin_d_man_75", 66, Male, 75, -1, 15, 50, 20, -1, 100},
                    EditionCase{"vitamin_d_infant_8_months", 66, Infant, 8, -1, 5, 25, -1, 10, 38},
                    EditionCase{"potassium_man_30", 16, Male, 30, -1, 4700, -1, -1, 3400, -1},
                    EditionCase{"potassium_woman_30", 16, Female, 30, -1, 4700, -1, -1, 2600, -1},
                    EditionCase{"potassium_lactating_30", 16, FemaleLactation, 30, -1, 5100, -1, -1, 2800, -1},
                    EditionCase{"calcium_woman_25", 12, Female, 25, -1, 1000, 2500, 1000, -1, 2500},
                    EditionCase{"calcium_man_60", 12, Male, 60, -1, 1200, 2500, 1000, -1, 2000},
                    EditionCase{"calcium_infant_6_months", 12, Infant, 6, -1, 210, -1, -1, 200, 1000},
                    EditionCase{"sodium_girl_14", 17, Female, 14, -1, 1500, 2200, -1, 1500, 2300},
                    EditionCase{"sodium_child_2", 17, Children, 2, -1, 1000, 1500, -1, 800, 1200},
                    EditionCase{"iron_unchanged", 13, Female, 25, 18, -1, 45, 18, -1, 45},
                    EditionCase{"magnesium_unchanged", 14, Male, 40, 420, -1, 350, 420, -1, 350}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(DietaryIntakes, EditionsAreNamedAndFlagTheirUpperLevels) {
    EXPECT_EQ(DriEdition::Current, DriEditionFromName("current"));
    EXPECT_EQ(DriEdition::Original, DriEditionFromName("original"));
    EXPECT_FALSE(DriEditionFromName("Current"));
    EXPECT_STREQ("current", DriEditionName(DriEdition::Current));

    CDC_DietaryIntakesMgr mgr;
    mgr.InitializeBuiltIn(DriEdition::Current);
    EXPECT_EQ(DriEdition::Current, mgr.Edition());
    for (const int gid : {14, 32, 34, 25}) EXPECT_TRUE(mgr.FindIntake(gid)->ulForSupplementsOnly) << gid;
    EXPECT_FALSE(mgr.FindIntake(13)->ulForSupplementsOnly);
    EXPECT_TRUE(mgr.FindIntake(17)->ulIsCdrr);
    // The original table's sodium UL is a UL.
    mgr.InitializeBuiltIn(DriEdition::Original);
    EXPECT_FALSE(mgr.FindIntake(17)->ulIsCdrr);
    EXPECT_TRUE(mgr.FindIntake(14)->ulForSupplementsOnly);
}
