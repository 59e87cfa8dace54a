#include "document/viewmodel/NutrientRows.h"

#include "support/ViewsFixture.h"

#include "refdata/DietaryIntakesMgr.h"

#include <gmock/gmock.h>

using namespace ViewsFixture;
using ::testing::ElementsAre;

namespace {

// Name, min, max of every followed row; name alone for the others.
std::vector<std::string> Shown(const std::vector<NutrientRows::Row>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.followed ? r.name + " [" + r.min + ", " + r.max + "]" : r.name);
    return out;
}

std::vector<int> Gids(const CProfileDocument& doc) {
    std::vector<int> gids;
    for (const auto& r : doc.Log().Requirements()) gids.push_back(r.gid);
    return gids;
}

class NutrientRowsTest : public Profile {
protected:
    NutrientRowsTest() { intakes.InitializeBuiltIn(); }

    std::vector<NutrientRows::Row> Rows() const { return NutrientRows::Rows(doc.Log(), &intakes); }

    CDC_DietaryIntakesMgr intakes;
};

TEST_F(NutrientRowsTest, EveryDataSourceNutrientHasARowWithTheEffectiveLimitsOfTheFollowedOnes) {
    Follow({kIron, kProtein});
    doc.Log().RequirementAt(0).min = 8;
    doc.Log().RequirementAt(1).max = 60.5;
    doc.CurrentDay().requirements.emplace_back(kProtein, 40, -1);
    const auto rows = Rows();
    EXPECT_THAT(Shown(rows), ElementsAre("Protein [40, ]", "Total lipid (fat)", "Iron, Fe [8, ]", "Calcium, Ca", "Glow",
                                         "Nameless"));
    EXPECT_EQ(rows[2].units, "mg");
    EXPECT_THAT(NutrientRows::OrderNames(doc.Log()), ElementsAre("Iron", "Protein"));
}

// A woman of 34 judged against the current reference intakes: protein RDA 46 g; iron RDA 18 mg,
// UL 45 mg; calcium RDA 1000 mg, UL 2500 mg.
TEST_F(NutrientRowsTest, FollowedNutrientsWithoutLimitsOfTheUsersOwnShowTheirDefaultTargets) {
    CDC_DietaryIntakesMgr current;
    current.InitializeBuiltIn(DriEdition::Current);
    doc.Log().Personal().birthYear = 1990;
    Follow({kProtein, kIron, kCalcium});
    doc.Log().RequirementAt(1).min = 8;

    doc.Log().SetTargetOptions({&current, true});
    auto rows = NutrientRows::Rows(doc.Log(), &current);
    EXPECT_THAT(Shown(rows), ElementsAre("Protein [46, ]", "Total lipid (fat)", "Iron, Fe [8, ]",
                                         "Calcium, Ca [1000, 2500]", "Glow", "Nameless"));
    EXPECT_TRUE(rows[0].defaultLimits);
    EXPECT_FALSE(rows[2].defaultLimits);
    EXPECT_TRUE(rows[3].defaultLimits);
    EXPECT_FALSE(rows[1].defaultLimits) << "not followed";
    EXPECT_EQ(rows[3].maxTip, "Default target: UL. Type a number to set a limit of your own.");
    EXPECT_EQ(rows[2].minTip + rows[2].maxTip, "");

    doc.Log().SetTargetOptions({&current, false});
    rows = NutrientRows::Rows(doc.Log(), &current);
    EXPECT_THAT(Shown(rows), ElementsAre("Protein [, ]", "Total lipid (fat)", "Iron, Fe [8, ]", "Calcium, Ca [, ]",
                                         "Glow", "Nameless"));
    for (const auto& row : rows) EXPECT_FALSE(row.defaultLimits) << row.name;
    EXPECT_EQ(doc.Log().RequirementAt(0).min, -1);
}

// Magnesium's UL covers supplements only, so it is information, never a maximum; sodium's upper
// value in the current edition is the Chronic Disease Risk Reduction intake.
TEST(NutrientRowsUpperLevels, AnUpperLevelThatIsNoPlainTargetForFoodIsMarked) {
    const ScopedClock clock(boost::gregorian::date(2024, 5, 7));
    CDataSourceMgr source;
    std::string error;
    ASSERT_TRUE(source.Load(std::string(VELMORA_TEST_DATA) + "/document/minerals-foods.xml", {}, error)) << error;
    Meal::CMealManager meals;
    CProfileDocument doc(&meals, &source);
    doc.Log().Personal().birthYear = 1990;  // a woman of 34
    EXPECT_TRUE(doc.AddNutrient(14));
    EXPECT_TRUE(doc.AddNutrient(17));

    struct Case {
        DriEdition edition;
        const char *magnesiumUl, *sodiumUl, *sodiumMax, *sodiumUlTip;
    };
    const Case cases[] = {
        {DriEdition::Current, "350 *", "2300 CDRR", "2300",
         "Chronic Disease Risk Reduction intake (2019), which stands as the upper limit"},
        {DriEdition::Original, "350 *", "2300", "2300", ""},
    };
    for (const Case& c : cases) {
        CDC_DietaryIntakesMgr intakes;
        intakes.InitializeBuiltIn(c.edition);
        doc.Log().SetTargetOptions({&intakes, true});
        const auto rows = NutrientRows::Rows(doc.Log(), &intakes);
        const char* edition = DriEditionName(c.edition);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].ul, c.magnesiumUl) << edition;
        EXPECT_EQ(rows[0].ulTip, "For supplements only: not a target for food") << edition;
        EXPECT_EQ(rows[0].min, "320") << edition;
        EXPECT_EQ(rows[0].max, "") << edition;
        EXPECT_EQ(rows[1].ul, c.sodiumUl) << edition;
        EXPECT_EQ(rows[1].ulTip, c.sodiumUlTip) << edition;
        EXPECT_EQ(rows[1].max, c.sodiumMax) << edition;
    }
    // The CDRR stands as sodium's default maximum, and says so.
    CDC_DietaryIntakesMgr current;
    current.InitializeBuiltIn(DriEdition::Current);
    doc.Log().SetTargetOptions({&current, true});
    EXPECT_EQ(
        NutrientRows::Rows(doc.Log(), &current)[1].maxTip,
        "Default target: CDRR (Chronic Disease Risk Reduction intake). Type a number to set a limit of your own.");
}

TEST_F(NutrientRowsTest, TheOrderNamesANutrientOutsideTheStandardTableAsTheDataSourceDoes) {
    Follow({kGlow, kIron});
    EXPECT_THAT(NutrientRows::OrderNames(doc.Log()), ElementsAre("Glow", "Iron"));
}

// The reference values for the person on the current day.
TEST_F(NutrientRowsTest, ReferenceValuesFollowThePersonsCategoryAndAgeOnTheDay) {
    struct Case {
        const char* who;
        int female, pregnant, lactation;
        int bornYear, bornMonth;
        const char* day;
        int row;  // 0 protein, 2 iron, 3 calcium
        const char *rda, *ai, *ul;
    };
    const Case cases[] = {
        {"woman of 25", 1, 0, 0, 1999, 1, "20240507", 2, "18", "", "45"},
        {"woman of 25", 1, 0, 0, 1999, 1, "20240507", 3, "", "1000", "2500"},
        {"man of 18", 0, 0, 0, 2006, 1, "20240507", 0, "52", "", ""},
        {"the same man at 19", 0, 0, 0, 2006, 1, "20250507", 0, "56", "", ""},
        {"infant of 6 months", 0, 0, 0, 2023, 11, "20240507", 3, "", "210", ""},
        {"infant of 7 months", 0, 0, 0, 2023, 10, "20240507", 3, "", "270", ""},
        {"pregnant woman of 51", 1, 1, 0, 1973, 1, "20240507", 2, "", "", ""},
        {"woman pregnant and lactating", 1, 1, 1, 1999, 1, "20240507", 2, "", "", ""},
        {"day before the birth", 1, 0, 0, 2025, 1, "20240507", 2, "", "", ""},
    };
    for (const Case& c : cases) {
        CPersonalData& person = doc.Log().Personal();
        person.female = c.female;
        person.pregnant = c.pregnant;
        person.lactation = c.lactation;
        person.birthYear = c.bornYear;
        person.birthMonth = c.bornMonth;
        person.birthDay = 1;
        doc.Log().SelectDay(c.day);
        const NutrientRows::Row row = Rows()[static_cast<std::size_t>(c.row)];
        EXPECT_EQ(row.rda, c.rda) << c.who << " " << row.name;
        EXPECT_EQ(row.ai, c.ai) << c.who << " " << row.name;
        EXPECT_EQ(row.ul, c.ul) << c.who << " " << row.name;
    }
}

TEST_F(NutrientRowsTest, NutrientsOutsideTheReferenceTableShowNoReferenceValues) {
    doc.Log().Personal().birthYear = 1990;
    for (const auto& row : Rows()) {
        if (row.name == "Protein" || row.name == "Iron, Fe" || row.name == "Calcium, Ca") continue;
        EXPECT_EQ(row.rda + row.ai + row.ul, "") << row.name;
    }
    EXPECT_EQ(Rows()[1].gid, kFat);  // in the table, but with no values for anyone
    EXPECT_EQ(Rows()[5].gid, -1);
    EXPECT_EQ(NutrientRows::Rows(doc.Log(), nullptr)[2].rda, "");
}

TEST_F(NutrientRowsTest, CheckingAppendsWithoutLimitsAndUncheckingRemoves) {
    Follow({kIron});
    doc.Log().RequirementAt(0).min = 8;
    doc.SetModifiedFlag(false);
    EXPECT_TRUE(NutrientRows::SetFollowed(doc, 0, true));
    EXPECT_THAT(Gids(doc), ElementsAre(kIron, kProtein));
    EXPECT_EQ(Rows()[0].min + Rows()[0].max, "");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Layout(LayoutKind::Diet).ColumnCount(), 6);

    EXPECT_TRUE(NutrientRows::SetFollowed(doc, 2, false));
    EXPECT_THAT(Gids(doc), ElementsAre(kProtein));
    EXPECT_FALSE(Rows()[2].followed);
    EXPECT_EQ(Rows()[2].min, "");
    EXPECT_THAT(NutrientRows::OrderNames(doc.Log()), ElementsAre("Protein"));

    EXPECT_FALSE(NutrientRows::SetFollowed(doc, 0, true));
    EXPECT_FALSE(NutrientRows::SetFollowed(doc, 1, false));
    EXPECT_FALSE(NutrientRows::SetFollowed(doc, 6, true));
    EXPECT_THAT(Gids(doc), ElementsAre(kProtein));
}

TEST_F(NutrientRowsTest, ATypedLimitGoesToTheProfileAndMarksItModified) {
    Follow({kProtein, kIron});
    doc.SetModifiedFlag(false);
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 0, 2, "50").stored);
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 2, 3, "12.5").stored);
    EXPECT_EQ(doc.Log().RequirementAt(0).min, 50);
    EXPECT_EQ(doc.Log().RequirementAt(1).max, 12.5);
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 0, 2, "").stored);
    EXPECT_EQ(doc.Log().RequirementAt(0).min, -1);
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 0, 2, "50").stored);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(refreshes, 0);

    doc.SetModifiedFlag(false);
    EXPECT_FALSE(NutrientRows::StoreLimit(doc, 1, 2, "5").stored);  // fat is not followed
    EXPECT_FALSE(NutrientRows::StoreLimit(doc, 0, 4, "5").stored);
    for (const char* refused : {"1e999", "not a number", "-3"}) {
        const CellStore outcome = NutrientRows::StoreLimit(doc, 0, 2, refused);
        EXPECT_FALSE(outcome.stored) << refused;
        EXPECT_NE(outcome.error, "") << refused;
    }
    EXPECT_EQ(doc.Log().RequirementAt(0).min, 50);
    EXPECT_FALSE(doc.IsModified());
}

// A minimum above its maximum is refused from either side; equal limits and a lone limit stand.
TEST_F(NutrientRowsTest, AMinimumAboveItsMaximumIsRefused) {
    Follow({kProtein});
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 0, 3, "100").stored);
    doc.SetModifiedFlag(false);
    const CellStore high = NutrientRows::StoreLimit(doc, 0, 2, "150");
    EXPECT_FALSE(high.stored);
    EXPECT_EQ(high.error, "A minimum can't be above its maximum (150 above 100); the old limit is kept.");
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 0, 2, "100").stored);
    const CellStore low = NutrientRows::StoreLimit(doc, 0, 3, "99.5");
    EXPECT_EQ(low.error, "A minimum can't be above its maximum (100 above 99.5); the old limit is kept.");
    EXPECT_EQ(doc.Log().RequirementAt(0).min, 100);
    EXPECT_EQ(doc.Log().RequirementAt(0).max, 100);
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 0, 3, "").stored);
    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 0, 2, "150").stored);
}

// A day with limits of its own: the tab shows its list, so ticks and limits change that list.
TEST_F(NutrientRowsTest, OnADayWithItsOwnLimitsTheListShownIsTheOneEdited) {
    Follow({kProtein, kFat, kIron});
    doc.Log().RequirementAt(2).max = 45;
    auto& own = doc.CurrentDay().requirements;
    own.emplace_back(kIron, 10, 20);
    own.emplace_back(kFat, 30, -1);

    EXPECT_TRUE(NutrientRows::StoreLimit(doc, 2, 3, "25").stored);
    EXPECT_EQ(Rows()[2].max, "25");
    EXPECT_EQ(own[0].max, 25);
    EXPECT_EQ(doc.Log().RequirementAt(2).max, 45);

    // Unticked, the nutrient stays away: ticked again later it starts without the old limits.
    EXPECT_TRUE(NutrientRows::SetFollowed(doc, 1, false));
    EXPECT_FALSE(Rows()[1].followed);
    EXPECT_EQ(own.size(), 1u);
    EXPECT_TRUE(NutrientRows::SetFollowed(doc, 1, true));
    EXPECT_EQ(Rows()[1].min + Rows()[1].max, "");

    // The order shown is dragged: iron, shown second now, goes first.
    EXPECT_THAT(NutrientRows::OrderNames(doc.Log()), ElementsAre("Protein", "Iron", "Total Fat"));
    EXPECT_TRUE(NutrientRows::Drop(doc, 1, 0));
    EXPECT_THAT(NutrientRows::OrderNames(doc.Log()), ElementsAre("Iron", "Protein", "Total Fat"));
    EXPECT_EQ(Rows()[2].min, "10");
}

TEST_F(NutrientRowsTest, DroppingAnOrderItemMovesTheRequirement) {
    struct Case {
        int from, drop;
        std::vector<int> order;
    };
    const std::vector<int> start = {kProtein, kFat, kIron};
    const Case cases[] = {
        {0, 3, {kFat, kIron, kProtein}},  // below the last
        {0, 2, {kFat, kProtein, kIron}},
        {2, 0, {kIron, kProtein, kFat}},
        {0, 0, start},   // on itself
        {0, 1, start},   // just before the next: the same place
        {1, -1, start},  // outside the list
        {5, 0, start},
    };
    for (const Case& c : cases) {
        NutrientRows::Clear(doc);
        for (int gid : start) doc.AddNutrient(gid);
        doc.Log().RequirementAt(0).min = 12;
        EXPECT_EQ(NutrientRows::Drop(doc, c.from, c.drop), c.order != start) << c.from << "->" << c.drop;
        EXPECT_EQ(Gids(doc), c.order) << c.from << "->" << c.drop;
        EXPECT_EQ(doc.Log().RequirementAt(doc.Log().FindRequirement(kProtein)).min, 12);
    }
}

TEST_F(NutrientRowsTest, ResetSelectAllAndClearChangeTheFollowedSet) {
    const std::vector<int> all = {kProtein, kFat, kIron, kCalcium, kGlow, -1};
    Follow({kCalcium, kProtein});
    doc.Log().RequirementAt(1).min = 40;

    NutrientRows::SelectAll(doc);
    EXPECT_EQ(Gids(doc), (std::vector<int>{kCalcium, kProtein, kFat, kIron, kGlow, -1}));
    EXPECT_EQ(doc.Log().RequirementAt(1).min, 40);

    NutrientRows::Reset(doc);
    EXPECT_EQ(Gids(doc), all);
    EXPECT_EQ(doc.Log().RequirementAt(0).min, -1);

    doc.SetModifiedFlag(false);
    NutrientRows::Clear(doc);
    EXPECT_TRUE(doc.Log().Requirements().empty());
    EXPECT_TRUE(NutrientRows::OrderNames(doc.Log()).empty());
    for (const auto& row : Rows()) EXPECT_FALSE(row.followed) << row.name;
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Layout(LayoutKind::Diet).ColumnCount(), 4);
}

}  // namespace
