#include "model/Targets.h"

#include "model/Meal.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "refdata/Ingredient.h"
#include "support/FakeServices.h"
#include "support/JudgedLogFixture.h"

#include <gtest/gtest.h>

using boost::gregorian::date;
using NS_Data::CUserLog;
using Targets::Basis;
using Targets::Status;

namespace {

constexpr int kSource = 7;
constexpr int kEnergy = 1, kProtein = 3, kIron = 13, kVitaminC = 29;

const CDC_DietaryIntakesMgr& Current() {
    static const CDC_DietaryIntakesMgr mgr = [] {
        CDC_DietaryIntakesMgr m;
        m.InitializeBuiltIn(DriEdition::Current);
        return m;
    }();
    return mgr;
}

struct DefaultCase {
    const char* what;
    int gid;
    DriCategory category;
    int age;
    double min, max;
    Basis basis;
    double infoUl = -1;
    bool cdrr = false;
};

void PrintTo(const DefaultCase& c, std::ostream* os) { *os << c.what; }

class DefaultTargets : public testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultTargets, ComeFromThePersonsReferenceIntakes) {
    const DefaultCase& c = GetParam();
    const Targets::DefaultTarget t = Targets::DefaultFor(Current(), c.gid, c.category, c.age, 0);
    EXPECT_EQ(c.min, t.min);
    EXPECT_EQ(c.max, t.max);
    EXPECT_EQ(c.basis, t.basis) << Targets::BasisName(t.basis);
    EXPECT_EQ(c.infoUl, t.infoUl);
    EXPECT_EQ(c.cdrr, t.cdrr);
}

INSTANTIATE_TEST_SUITE_P(
    LifeStages, DefaultTargets,
    testing::Values(DefaultCase{"infant_calcium_ai_and_ul", 12, Infant, 6, 200, 1000, Basis::AiUl},
                    DefaultCase{"infant_biotin_ai_only", 113, Infant, 3, 5, -1, Basis::AI},
                    DefaultCase{"child_vitamin_d", 66, Children, 5, 15, 75, Basis::RdaUl},
                    DefaultCase{"child_magnesium_ul_below_rda_is_information", 14, Children, 2, 80, -1, Basis::RDA, 65},
                    DefaultCase{"man_potassium_ai_without_ul", 16, Male, 30, 3400, -1, Basis::AI},
                    DefaultCase{"man_riboflavin_exact_decimal", 31, Male, 30, 1.3, -1, Basis::RDA},
                    DefaultCase{"man_niacin_supplement_ul", 32, Male, 30, 16, -1, Basis::RDA, 35},
                    DefaultCase{"man_boron_ul_only", 106, Male, 30, -1, 20, Basis::UL},
                    DefaultCase{"man_fat_without_values", 4, Male, 30, -1, -1, Basis::None},
                    DefaultCase{"woman_iron", 13, Female, 30, 18, 45, Basis::RdaUl},
                    DefaultCase{"woman_copper_exact_decimal", 19, Female, 30, 0.9, 10, Basis::RdaUl},
                    DefaultCase{"woman_sodium_cdrr_as_upper", 17, Female, 30, 1500, 2300, Basis::AiUl, -1, true},
                    DefaultCase{"woman_folate_supplement_ul", 34, Female, 30, 400, -1, Basis::RDA, 1000},
                    DefaultCase{"pregnant_iron", 13, FemalePregnant, 30, 27, 45, Basis::RdaUl},
                    DefaultCase{"pregnant_potassium", 16, FemalePregnant, 30, 2900, -1, Basis::AI},
                    DefaultCase{"lactating_vitamin_e_supplement_ul", 25, FemaleLactation, 30, 19, -1, Basis::RDA, 1000},
                    DefaultCase{"lactating_vitamin_c", 29, FemaleLactation, 30, 120, 2000, Basis::RdaUl},
                    DefaultCase{"man_over_70_vitamin_d", 66, Male, 75, 20, 100, Basis::RdaUl},
                    DefaultCase{"man_over_70_calcium", 12, Male, 75, 1200, 2000, Basis::RdaUl},
                    DefaultCase{"pregnant_and_lactating_has_no_rows", 13, FemalePregnantLactation, 30, -1, -1,
                                Basis::None},
                    DefaultCase{"nutrient_outside_the_table", 43, Male, 30, -1, -1, Basis::None}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(DefaultTargets, EnergyIsTheRequirementWithinTenPercent) {
    const Targets::DefaultTarget t = Targets::DefaultFor(Current(), kEnergy, Male, 30, 2345.6);
    EXPECT_EQ(Basis::EER, t.basis);
    EXPECT_EQ(2111, t.min);  // 2346 × 0.9 = 2111.4
    EXPECT_EQ(2581, t.max);  // 2346 × 1.1 = 2580.6
    EXPECT_EQ(Basis::None, Targets::DefaultFor(Current(), kEnergy, UnknownCategory, 30, 0).basis);
}

TEST(Targets, JudgeAgainstWhicheverLimitsAreSet) {
    struct Case {
        double intake, min, max;
        Status status;
    };
    const Case cases[] = {
        {49.9, 50, -1, Status::Under},  {50, 50, -1, Status::Within}, {100, 50, 100, Status::Within},
        {100.1, 50, 100, Status::Over}, {5, -1, 4, Status::Over},     {0, 0, -1, Status::Within},
        {7, -1, -1, Status::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.status, Targets::Judge(c.intake, c.min, c.max)) << c.intake << " in " << c.min << ".." << c.max;
}

class TargetsOfADay : public JudgedLogTest {
protected:
    const Targets::Target& Of(const std::vector<Targets::Target>& all, int gid) {
        for (const auto& t : all)
            if (t.gid == gid) return t;
        throw std::out_of_range("not followed");
    }
};

TEST_F(TargetsOfADay, DefaultsJudgeTheDayAndOwnLimitsWin) {
    log_.AddFood(500, 0, "", Food(100));  // stew: 50 g protein, 6.17 mg iron, 36.25 mg vitamin C
    const UserLog::CLogDay& day = *log_.GetCurrentDay();
    auto all = Targets::ForDay(log_, day);
    ASSERT_EQ(4u, all.size());
    EXPECT_EQ(kEnergy, all[0].gid);  // the profile's order
    EXPECT_EQ(Basis::EER, all[0].basis);

    const Targets::Target& protein = Of(all, kProtein);
    EXPECT_EQ(Basis::RDA, protein.basis);
    EXPECT_TRUE(protein.IsDefault());
    EXPECT_EQ(50, protein.intake);
    EXPECT_EQ(89, protein.percent);  // 50 ÷ 56
    EXPECT_EQ(Status::Under, protein.status);
    EXPECT_EQ(Targets::Group::Macro, protein.group);

    const Targets::Target& iron = Of(all, kIron);
    EXPECT_EQ(6.17, iron.intake);
    EXPECT_EQ(8, iron.min);
    EXPECT_EQ(45, iron.max);
    EXPECT_EQ(77, iron.percent);
    EXPECT_EQ(Targets::Group::Minerals, iron.group);

    // A limit of the user's own replaces both default limits; the day's own limit wins over the profile's.
    log_.RequirementAt(log_.FindRequirement(kIron)).min = 6;
    log_.GetCurrentDay()->requirements.emplace_back(kProtein, -1, 45);
    all = Targets::ForDay(log_, day);
    EXPECT_EQ(Basis::Own, Of(all, kIron).basis);
    EXPECT_EQ(-1, Of(all, kIron).max);
    EXPECT_EQ(Status::Within, Of(all, kIron).status);
    EXPECT_EQ(Basis::Own, Of(all, kProtein).basis);
    EXPECT_EQ(-1, Of(all, kProtein).percent);  // no lower target
    EXPECT_EQ(Status::Over, Of(all, kProtein).status);

    // Switched off, only own limits judge.
    log_.SetTargetOptions({&Current(), false});
    all = Targets::ForDay(log_, day);
    EXPECT_EQ(Basis::None, Of(all, kVitaminC).basis);
    EXPECT_EQ(Status::None, Of(all, kVitaminC).status);
    EXPECT_EQ(Basis::Own, Of(all, kIron).basis);
}

// Energy's share is of the requirement, the middle of its default band, whatever band judges the
// day, so every page gives the same figure; any other nutrient's is of its lower target.
TEST_F(TargetsOfADay, EnergysShareIsOfTheRequirementWhicheverBandJudges) {
    CDS_Ingredient bread;
    bread.SetNutrientValue(kEnergy, 250);
    log_.AddFood(1000, 0, "", bread);                                   // 2,500 kcal
    log_.AddFood(300, 0, "", Food(100));                                // 30 g protein
    ASSERT_EQ(2535, log_.DayEnergyRequirement(*log_.GetCurrentDay()));  // the man of 40, low active
    struct Case {
        const char* what;
        double min, max;  // own limits; -1: none
        double bandMin, bandMax;
        Status status;
    };
    const Case cases[] = {
        {"the requirement's band", -1, -1, 2282, 2789, Status::Within},
        {"own limits", 2600, 3000, 2600, 3000, Status::Under},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UserLog::CNutrientRequirement& energy = log_.RequirementAt(log_.FindRequirement(kEnergy));
        energy.min = c.min;
        energy.max = c.max;
        const auto all = Targets::ForDay(log_, *log_.GetCurrentDay());
        const Targets::Target& t = Of(all, kEnergy);
        EXPECT_EQ(c.bandMin, t.min);
        EXPECT_EQ(c.bandMax, t.max);
        EXPECT_EQ(2535, t.goal);
        EXPECT_EQ(99, t.percent);  // 2,500 of 2,535, not of the band's lower end
        EXPECT_EQ(c.status, t.status);
        EXPECT_EQ(56, Of(all, kProtein).goal);
        EXPECT_EQ(54, Of(all, kProtein).percent);
    }
}

TEST_F(TargetsOfADay, CalendarStatusCountsNutrientsOutsideTheirRange) {
    log_.SelectDay("20261201");
    const Targets::DayStatus empty = Targets::StatusOf(log_, *log_.GetCurrentDay());
    EXPECT_FALSE(empty.hasFoods);
    EXPECT_EQ(0, empty.outside);
    EXPECT_EQ(Status::None, empty.energy);

    log_.AddFood(500, 0, "", Food(100));
    // Protein, iron and vitamin C are all under; the stew's energy falls under the band too.
    Targets::DayStatus status = Targets::StatusOf(log_, *log_.GetCurrentDay());
    EXPECT_TRUE(status.hasFoods);
    EXPECT_EQ(3, status.outside);
    EXPECT_EQ(Status::Under, status.energy);

    log_.AddFood(2000, 0, "", Food(100));  // 2,500 g in all: 250 g protein, 30.85 mg iron, 181 mg vitamin C
    status = Targets::StatusOf(log_, *log_.GetCurrentDay());
    EXPECT_EQ(0, status.outside);
}

TEST_F(TargetsOfADay, TopContributorsAreTheLargestEntries) {
    log_.AddFood(100, 0, "", Food(101));  // 1 g protein
    log_.AddFood(50, 0, "", Food(100));   // 5 g
    log_.AddFood(10, 0, "", Food(102));   // none
    log_.AddFood(200, 0, "", Food(101));  // 2 g
    const auto top = Targets::TopContributors(*log_.GetCurrentDay(), kProtein, 2);
    ASSERT_EQ(2u, top.size());
    EXPECT_EQ(1, top[0].first);
    EXPECT_DOUBLE_EQ(5, top[0].second);
    EXPECT_EQ(3, top[1].first);
    EXPECT_EQ(3u, Targets::TopContributors(*log_.GetCurrentDay(), kProtein).size());
}

}  // namespace
