#include "model/Meal.h"
#include "model/UserLog.h"

#include "core/LoadReport.h"
#include "refdata/DataSourceMgr.h"
#include "support/FakeServices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using boost::gregorian::date;
using NS_Data::CUserLog;
using ::testing::ElementsAre;

namespace {

constexpr int kSource = 7;
constexpr int kIron = 13, kVitaminC = 29, kProtein = 3;

const CDataSourceMgr& Foods() {
    static CDataSourceMgr* foods = [] {
        auto* mgr = new CDataSourceMgr;
        std::string error;
        EXPECT_TRUE(mgr->Load(std::string(VELMORA_TEST_DATA) + "/model/foods.xml", {}, error)) << error;
        return mgr;
    }();
    return *foods;
}

const CDS_Ingredient& Food(int key) { return *Foods().FindFood(FoodKey(key, kSource)); }

const Meal::CMealManager& Meals() {
    static Meal::CMealManager meals;
    return meals;
}

std::string ProfileXml(const CUserLog& log) {
    Xml::XmlDocument doc;
    Xml::XmlElement root = doc.CreateElement("root");
    doc.AppendChild(root);
    log.Save(root);
    return root.GetXml();
}

// The test foods, and a table of the user's own (1000, "My Foods") holding an oat bar: 12.5 g
// protein per 100 g, 40 g a bar.
void LoadWithOatBar(CDataSourceMgr& tables) {
    std::string error;
    ASSERT_TRUE(tables.Load(std::string(VELMORA_TEST_DATA) + "/model/foods.xml", {}, error)) << error;
    CDS_Ingredient bar;
    bar.SetName("Oat bar");
    bar.SetFoodKey(FoodKey(1, 0));
    bar.SetNutrientValue(kProtein, 12.5);
    bar.AddUnit("bar", 40);
    ASSERT_TRUE(tables.SetTable(1000, "My Foods", "my.xml", {{"My Foods", {bar}}}));
}

// A log read from a "Profile" element; the load report is cleared first.
std::unique_ptr<CUserLog> ReadProfile(const std::string& body, const CDataSourceMgr* source = &Foods()) {
    LoadReport::Clear();
    Xml::XmlDocument doc;
    EXPECT_TRUE(doc.LoadXml(body)) << doc.ParseError();
    auto log = std::make_unique<CUserLog>(&Meals(), source);
    log->Load(doc.Root());
    return log;
}

const std::string kPersonal =
    "<Personal LifeStyle='1' Height='170' UnitsKG='1' Weight='70'><FirstName>A</FirstName><LastName>B</LastName>"
    "<DOB date='19800101'/><Sex Female='1'/></Personal>"
    "<Energy><EnergyComposition>"
    "<EnergyComponent Name='Protein' Min='10' Max='35' Value='0'/><EnergyComponent Name='Fat' Min='20' Max='35' "
    "Value='0'/>"
    "<EnergyComponent Name='Carbohydrates' Min='45' Max='65' Value='0'/><EnergyComponent Name='Alcohol' Min='0' "
    "Max='0' Value='0'/>"
    "</EnergyComposition></Energy>";

std::string Profile(const std::string& inner) { return "<Profile version='1'>" + kPersonal + inner + "</Profile>"; }

}  // namespace

TEST(UserLog, NewLogHoldsTodaysEmptyDayAndWritesAnEmptyLog) {
    ScopedClock clock(date(2026, 12, 10));
    CUserLog log(&Meals(), &Foods());
    ASSERT_EQ(1u, log.Days().size());
    EXPECT_EQ("20261210", log.GetCurrentDay()->date);
    EXPECT_TRUE(log.GetCurrentDay()->IsEmpty());
    EXPECT_THAT(ProfileXml(log), ::testing::HasSubstr("<Log/>"));
}

TEST(UserLog, DaysStaySortedAndSelectingCreatesOnlyOnce) {
    ScopedClock clock(date(2026, 12, 10));
    CUserLog log(&Meals(), &Foods());
    EXPECT_TRUE(log.SelectDay("20261201"));   // before every day: at the front
    EXPECT_TRUE(log.SelectDay("20261205"));   // between two days
    EXPECT_TRUE(log.SelectDay("20270101"));   // after every day
    EXPECT_FALSE(log.SelectDay("20261205"));  // exists
    std::vector<std::string> keys;
    for (const auto& d : log.Days()) keys.push_back(d->date);
    EXPECT_THAT(keys, ElementsAre("20261201", "20261205", "20261210", "20270101"));
    EXPECT_EQ("20261205", log.GetCurrentDay()->date);
    EXPECT_EQ("20261205", log.Personal().date);
    EXPECT_EQ(-1, log.FindDay("20261203"));
    EXPECT_EQ(3, log.FindDay("20270101"));
}

TEST(UnitFraction, FiveDecimalsNudgedTowardsThirds) {
    struct Case {
        double x;
        long long num, den;
    };
    for (const Case& c : {Case{1, 1, 1}, Case{0.5, 3, 6}, Case{0.33333, 1, 3}, Case{0.25, 1, 4}, Case{0.2, 1, 5},
                          Case{0.625, 5, 8}, Case{10, 10, 1}, Case{2.0 / 3.0, 2, 3}, Case{1.75, 7, 4}}) {
        UserLog::UnitFraction f = UserLog::FractionOf(c.x);
        EXPECT_EQ(c.num, f.numerator) << c.x;
        EXPECT_EQ(c.den, f.denominator) << c.x;
    }
}

struct UnitCase {
    const char* name;
    int key;
    const char* attributes;  // of the stored "dayFood"
    int unit;
    double amount;
    const char* unitName;
};

class ShownUnit : public ::testing::TestWithParam<UnitCase> {};

TEST_P(ShownUnit, IsDerivedFromTheFile) {
    const UnitCase& c = GetParam();
    auto log = ReadProfile(Profile("<Log><LogDay date='20260101'><Food><dayFood id='7' key='" + std::to_string(c.key) +
                                   "' " + c.attributes + "/></Food></LogDay></Log>"));
    const UserLog::CDayFood& entry = log->GetCurrentDay()->foods.at(0);
    EXPECT_EQ(c.unit, entry.unitIndex);
    EXPECT_DOUBLE_EQ(c.amount, entry.Amount());
    EXPECT_EQ(c.unitName, entry.UnitName());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShownUnit,
    ::testing::Values(UnitCase{"ByStoredGrams", 100, "weight='150' R='50'", 3, 3, "piece"},
                      UnitCase{"OlderIndexFailsTheCheck", 100, "weight='150' CWI='2'", 3, 3, "piece"},
                      UnitCase{"OlderIndexKept", 100, "weight='180' CWI='1'", 1, 0.75, "cup"},
                      UnitCase{"QuarterCupLosesToWholeSpoons", 101, "weight='60' R='7'", 2, 4, "tablespoon"},
                      UnitCase{"GramsOnly", 102, "weight='12' R='3'", 0, 12, "g"},
                      UnitCase{"GramsKept", 100, "weight='33' R='1'", 0, 33, "g"},
                      // The file holds 28.35 while the unit weighs 28.350000381 as read.
                      UnitCase{"SinglePrecisionUnitSurvivesSaving", 103, "weight='56.7' R='28.35'", 1, 2, "oz"}),
    [](const auto& info) { return info.param.name; });

TEST(UserLog, MissingFoodsBecomePlaceholdersReportedOnce) {
    auto log =
        ReadProfile(Profile("<Log><LogDay date='20260101'><Food><dayFood id='7' key='999' weight='10'/><dayFood id='7' "
                            "key='999' weight='5'/>"
                            "<dayFood id='7' key='998' name='Gone soup' weight='1'/><dayFood id='7' key='100' "
                            "weight='1'/></Food></LogDay></Log>"));
    EXPECT_EQ("Unknown food reference\n\tkey 7:999\n\tGone soup\n", LoadReport::FormatLost("", "\t", "\n"));
    const auto& foods = log->GetCurrentDay()->foods;
    EXPECT_EQ(foods[0].food, foods[1].food);
    EXPECT_TRUE(foods[0].food->IsPlaceholder());
    EXPECT_FALSE(foods[3].food->IsPlaceholder());
    EXPECT_NE(&Food(100), foods[3].food.get());  // a private copy

    LoadReport::Clear();
    EXPECT_TRUE(log->ResolveFoods());  // placeholders are cached: nothing new to report
    EXPECT_TRUE(LoadReport::IsEmpty());
    // The placeholder keeps the entry's identity, so it is written back unchanged.
    EXPECT_THAT(ProfileXml(*log), ::testing::HasSubstr("id=\"7\" key=\"999\""));
}

TEST(UserLog, FoodsOfOtherTablesAreCopiedIntoTheProfileAndUsedWhenTheyAreGone) {
    CDataSourceMgr tables;
    ASSERT_NO_FATAL_FAILURE(LoadWithOatBar(tables));

    CUserLog log(&Meals(), &tables);
    log.AddFood(40, 1, "", *tables.FindFood(FoodKey(1, 1000)));
    log.AddFood(10, 0, "", Food(100));
    const std::string saved = ProfileXml(log);
    // Only the other table's food is copied: the data source's foods are its own business.
    EXPECT_THAT(saved, ::testing::HasSubstr("<FoodCopies>\n      <Food Name=\"Oat bar\" source=\"1000\""));
    EXPECT_THAT(saved, ::testing::Not(::testing::HasSubstr("Name=\"" + Food(100).Name() + "\"")));

    ASSERT_TRUE(tables.SetTable(1000, "My Foods", "my.xml", {{"My Foods", {}}}));  // the user deleted it
    Xml::XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(saved));
    auto reread = ReadProfile(doc.Root().ChildElement("Profile").GetXml(), &tables);
    EXPECT_TRUE(LoadReport::IsEmpty()) << LoadReport::FormatLost("", "", "\n");
    const auto& entry = reread->GetCurrentDay()->foods.at(0);
    EXPECT_FALSE(entry.food->IsPlaceholder());
    EXPECT_EQ(12.5, entry.food->NutrientValue(kProtein));
    EXPECT_EQ("bar", entry.UnitName());
    // Saved again, the copy stays for the next time.
    EXPECT_THAT(ProfileXml(*reread),
                ::testing::HasSubstr("<FoodCopies>\n      <Food Name=\"Oat bar\" source=\"1000\""));
}

// A food of your own that you starred stays in your list when you delete it, also when no day
// holds it; a favourite nobody knows any more is kept in the file, in case its table comes back.
TEST(UserLog, FavouritesAreWrittenOnlyWhenThereAreAnyAndKeepCopiesOfOwnFoods) {
    CDataSourceMgr tables;
    ASSERT_NO_FATAL_FAILURE(LoadWithOatBar(tables));

    CUserLog log(&Meals(), &tables);
    log.AddFood(10, 0, "", Food(100));
    const std::string before = ProfileXml(log);
    EXPECT_THAT(before, ::testing::Not(::testing::HasSubstr("Favourite")));

    const FoodKey own(1, 1000), gone(999, kSource), plain(100, kSource);
    EXPECT_TRUE(log.SetFavourite(own, true));
    EXPECT_TRUE(log.SetFavourite(gone, true));
    EXPECT_TRUE(log.SetFavourite(plain, true));
    EXPECT_FALSE(log.SetFavourite(plain, true));
    EXPECT_TRUE(log.SetFavourite(plain, false));
    EXPECT_TRUE(log.SetFavourite(plain, true));
    const std::string saved = ProfileXml(log);
    EXPECT_THAT(saved, ::testing::HasSubstr("<FoodCopies>\n      <Food Name=\"Oat bar\" source=\"1000\""));
    EXPECT_THAT(saved, ::testing::HasSubstr("<FavouriteFoods>\n      <Food source=\"1000\" key=\"1\"/>\n      "
                                            "<Food source=\"7\" key=\"999\"/>\n      <Food source=\"7\" key=\"100\"/>\n"
                                            "    </FavouriteFoods>\n    <Log>"));

    ASSERT_TRUE(tables.SetTable(1000, "My Foods", "my.xml", {{"My Foods", {}}}));  // the user deleted it
    Xml::XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(saved));
    auto reread = ReadProfile(doc.Root().ChildElement("Profile").GetXml(), &tables);
    EXPECT_TRUE(LoadReport::IsEmpty()) << LoadReport::FormatLost("", "", "\n");
    EXPECT_THAT(reread->Favourites(), ElementsAre(own, gone, plain));
    ASSERT_NE(nullptr, reread->FindFood(own));
    EXPECT_EQ("Oat bar", reread->FindFood(own)->Name());
    EXPECT_EQ(nullptr, reread->FindFood(gone));
    EXPECT_EQ(saved, ProfileXml(*reread));
}

TEST(UserLog, AnUnreadableFavouriteIsDroppedAndReported) {
    auto log =
        ReadProfile(Profile("<FavouriteFoods><Food source='7' key='x'/><Food source='7'/>"
                            "<Food source='7' key='100'/><Food source='7' key='100'/></FavouriteFoods>"));
    EXPECT_EQ("Unreadable favourite food\n\t7:x\n\t7:\n", LoadReport::FormatLost("", "\t", "\n"));
    EXPECT_THAT(log->Favourites(), ElementsAre(FoodKey(100, kSource)));
}

TEST(UserLog, RequirementsFromTheFileAreCheckedAndReported) {
    auto log = ReadProfile(
        Profile("<Nutrients><NutrientRequirement gid='999' name='Mystery' units='mg' min='1'/>"
                "<NutrientRequirement gid='20' name='Selenium' units='µg' min='55'/>"
                "<NutrientRequirement gid='13' min='8' max='45'/><NutrientRequirement gid='3' min='50'/></Nutrients>"));
    EXPECT_EQ("Removed nutrient\n\tSelenium : µg\nUnknown nutrient\n\tMystery : mg\n",
              LoadReport::FormatLost("", "\t", "\n"));
    ASSERT_EQ(2u, log->Requirements().size());
    EXPECT_EQ("Iron", log->RequirementAt(0).name);
    EXPECT_EQ("mg", log->RequirementAt(0).units);
    EXPECT_EQ(45, log->RequirementAt(0).max);
    EXPECT_FALSE(log->AddRequirement(20, -1, -1));
    EXPECT_FALSE(log->RemoveRequirement(2));

    // A nutrient of the data source outside the standard table is followed like any other, and
    // survives reading the profile again.
    ASSERT_TRUE(log->AddRequirement(318, 100, -1));
    EXPECT_EQ("Vitamin A, IU", log->Requirements().back().name);
    EXPECT_EQ("IU", log->Requirements().back().units);
    auto reread =
        ReadProfile(Profile("<Nutrients><NutrientRequirement gid='318' name='Vitamin A, IU' units='IU' "
                            "min='100'/></Nutrients>"));
    EXPECT_TRUE(LoadReport::IsEmpty());
    ASSERT_EQ(1u, reread->Requirements().size());
    EXPECT_EQ("Vitamin A, IU", reread->RequirementAt(0).name);

    // Without any data source nothing can be checked; the requirements are kept rather than lost.
    auto unchecked = ReadProfile(Profile("<Nutrients><NutrientRequirement gid='20' min='55'/></Nutrients>"), nullptr);
    EXPECT_EQ(1u, unchecked->Requirements().size());
}

TEST(UserLog, DayLimitsOverrideTheProfileAndListsAreFollowed) {
    auto log = ReadProfile(
        Profile("<Nutrients><NutrientRequirement gid='13' min='8'/><NutrientRequirement gid='3' min='50'/></Nutrients>"
                "<Log><LogDay date='20260101'><Food/><Nutrients><NutrientRequirement gid='3' min='60' max='90'/>"
                "<NutrientRequirement gid='29' min='1'/></Nutrients></LogDay></Log>"));
    std::vector<UserLog::CNutrientRequirement> effective;
    EXPECT_TRUE(log->GetEffectiveRequirements(effective));
    ASSERT_EQ(2u, effective.size());
    EXPECT_EQ(8, effective[0].min);
    EXPECT_EQ(60, effective[1].min);
    EXPECT_EQ(90, effective[1].max);

    log->SyncRequirements({29, 3, 5});
    std::vector<int> gids;
    for (const auto& r : log->Requirements()) gids.push_back(r.gid);
    EXPECT_THAT(gids, ElementsAre(3, 29, 5));
    EXPECT_EQ(50, log->RequirementAt(0).min);
}

TEST(UserLog, IntakeIsRoundedToTheNutrientsDecimals) {
    ScopedClock clock(date(2026, 12, 10));
    CUserLog log(&Meals(), &Foods());
    log.AddFood(120, 0, "", Food(100));
    EXPECT_DOUBLE_EQ(8.7, log.GetIntake(kVitaminC));  // 120 g × 7.25 / 100 = 8.7, one decimal
    EXPECT_DOUBLE_EQ(1.48, log.GetIntake(kIron));     // 1.4808 at two decimals
    log.AddFood(100, 0, "Lunch", Food(101));
    EXPECT_DOUBLE_EQ(13, log.GetIntake(kProtein));
    EXPECT_DOUBLE_EQ(0, log.GetIntake(12));
    EXPECT_EQ(1u, log.FoodCache().count(FoodKey(100, kSource)));
    log.AddFood(5, 0, "", Food(100));
    EXPECT_EQ(log.GetCurrentDay()->foods[0].food, log.GetCurrentDay()->foods[2].food);
}

TEST(UserLog, WeightFactConvertsBetweenKilogramsAndPounds) {
    auto log = ReadProfile(
        Profile("<FactManager><FactReference units='kg'><Fact name='Weight' value='65'/></FactReference></FactManager>"
                "<Log><LogDay date='20260101'><Food/><Fact name='Weight' value='70'/></LogDay>"
                "<LogDay date='20260102'><Food/><Fact name='Weight' value='-1234567890'/><Fact name='Waist' "
                "value='80'/></LogDay></Log>"));
    log->ConvertWeightUnits(false);
    log->ConvertWeightUnits(false);
    EXPECT_EQ("lb", log->Facts().GetBuiltIn(0).units);
    EXPECT_DOUBLE_EQ(143, log->Facts().GetBuiltIn(0).value);
    EXPECT_DOUBLE_EQ(154, log->Days()[0]->FindFact("Weight")->value);
    EXPECT_DOUBLE_EQ(-1234567890, log->Days()[1]->FindFact("Weight")->value);
    EXPECT_DOUBLE_EQ(80, log->Days()[1]->FindFact("Waist")->value);
    log->ConvertWeightUnits(true);
    EXPECT_DOUBLE_EQ(70, log->Days()[0]->FindFact("Weight")->value);
    EXPECT_EQ("kg", log->Facts().GetBuiltIn(0).units);
}

TEST(UserLog, EnergyInputsComeFromTheDaysBuiltInFacts) {
    auto log =
        ReadProfile(Profile("<Log><LogDay date='20260101'><Food/><Fact name='Weight' value='72.5'/>"
                            "<Fact name='Extra Energy' value='-1234567890'/></LogDay></Log>"));
    EnergyInputs in = log->GetEnergyInputs();
    EXPECT_DOUBLE_EQ(72.5, in.weight);
    EXPECT_DOUBLE_EQ(0, in.extraEnergy);
    EXPECT_EQ("20260101", in.date);
    EXPECT_EQ(&log->Personal(), in.personal);

    log->RemoveFactFromDays("Weight", true);
    EXPECT_EQ(nullptr, log->GetCurrentDay()->FindFact("Weight"));
}

struct WeightUnitsCase {
    const char* factUnits;
    int personInKg;
    double factValue;
    double personsWeight;  // what the energy requirement takes, in the person's units
};

class WeightFactUnits : public ::testing::TestWithParam<WeightUnitsCase> {};

// The day's weight is stored in the units of the fact's definition; the energy requirement takes
// it in the person's.
TEST_P(WeightFactUnits, AreConvertedToThePersonsUnits) {
    const WeightUnitsCase& c = GetParam();
    auto log = ReadProfile(Profile("<FactManager><FactReference units='" + std::string(c.factUnits) +
                                   "'><Fact name='Weight'/></FactReference></FactManager>"
                                   "<Log><LogDay date='20260101'><Food/><Fact name='Weight' value='" +
                                   std::to_string(c.factValue) + "'/></LogDay></Log>"));
    log->Personal().unitsKg = c.personInKg;
    const EnergyInputs in = log->GetEnergyInputs();
    EXPECT_DOUBLE_EQ(c.personsWeight, in.weight);

    // The requirement is the one of the person weighing that much.
    CPersonalData person = log->Personal();
    person.weight = c.personsWeight;
    EnergyInputs ownWeight = in;
    ownWeight.weight = 0;
    std::string withFact, withOwn;
    EXPECT_DOUBLE_EQ(person.EnergyRequirement(ownWeight, withOwn), log->Personal().EnergyRequirement(in, withFact));
}

INSTANTIATE_TEST_SUITE_P(Cases, WeightFactUnits,
                         ::testing::Values(WeightUnitsCase{"lb", 1, 154, 70}, WeightUnitsCase{"LB", 1, 154, 70},
                                           WeightUnitsCase{"kg", 0, 70, 154}, WeightUnitsCase{"kg", 1, 70, 70},
                                           WeightUnitsCase{"lb", 0, 154, 154}));

TEST(UserLog, OnlyNonEmptyDaysAreWritten) {
    ScopedClock clock(date(2026, 12, 10));
    CUserLog log(&Meals(), &Foods());
    log.SelectDay("20261201");
    log.GetCurrentDay()->SetFact("Waist", 80);
    log.SelectDay("20261202");
    log.AddFood(10, 0, "", Food(102));
    log.GetCurrentDay()->RemoveFood(0);
    const std::string xml = ProfileXml(log);
    EXPECT_THAT(xml, ::testing::HasSubstr("<LogDay date=\"20261201\">"));
    EXPECT_THAT(xml, ::testing::Not(::testing::HasSubstr("<LogDay date=\"20261202\"")));
    EXPECT_THAT(xml, ::testing::Not(::testing::HasSubstr("<LogDay date=\"20261210\"")));
}

TEST(UserLog, ProfileRoundTripKeepsEverything) {
    ScopedClock clock(date(2026, 12, 10));
    CUserLog log(&Meals(), &Foods());
    log.Personal().firstName = "Ann";
    log.AddRequirement(13, 8, 45);
    log.AddRequirement(29, 75, -1);
    log.Facts().AddOrUpdate(UserLog::CFactReference("Waist", 80, "cm"));
    log.EnergyComposition().SetValue(0, CDS_EnergyComposition::kMin, 15);
    log.SelectDay("20261208");
    log.AddFood(150.12345, 0, "Lunch", Food(100));
    log.GetCurrentDay()->foods[0].ResolveUnit();
    log.AddFood(56.7, 1, "Dinner", Food(103));
    log.GetCurrentDay()->foods[1].min = 10;
    log.GetCurrentDay()->SetFact("Waist", 81.5);
    log.GetCurrentDay()->requirements.emplace_back(13, 10, 40);
    log.GetCurrentDay()->energyComposition = std::make_unique<CDS_EnergyComposition>();
    log.SelectDay("20261209");
    log.AddFood(15, 2, "", Food(101));

    const std::string first = ProfileXml(log);
    EXPECT_THAT(first, ::testing::HasSubstr("weight=\"150.123\""));
    Xml::XmlDocument doc;
    ASSERT_TRUE(doc.LoadXml(first));
    CUserLog back(&Meals(), &Foods());
    LoadReport::Clear();
    back.Load(doc.Root().ChildElement("Profile"));
    EXPECT_TRUE(LoadReport::IsEmpty()) << LoadReport::FormatLost("", "\t", "\n");
    EXPECT_EQ(first, ProfileXml(back));
    ASSERT_EQ(2u, back.Days().size());
    EXPECT_EQ("20261209", back.GetCurrentDay()->date);
    EXPECT_EQ(2, back.GetCurrentDay()->foods[0].unitIndex);
    EXPECT_EQ(1, back.Days()[0]->foods[1].unitIndex);
}

TEST(UserLog, DaysOfForeignFilesAreSortedAndRepeatedDatesMerged) {
    auto log = ReadProfile(Profile(
        "<Log><LogDay date='20260105'><Food><dayFood id='7' key='100' weight='1'/></Food><Fact name='Waist' "
        "value='80'/></LogDay>"
        "<LogDay date='20260101'><Food/><Fact name='Waist' value='79'/></LogDay>"
        "<LogDay date='20260105'><Food><dayFood id='7' key='101' weight='2'/></Food><Fact name='Waist' value='81'/>"
        "<Nutrients><NutrientRequirement gid='13' min='9'/></Nutrients></LogDay></Log>"));
    ASSERT_EQ(2u, log->Days().size());
    EXPECT_EQ("20260101", log->Days()[0]->date);
    const auto& merged = *log->Days()[1];
    ASSERT_EQ(2u, merged.foods.size());
    EXPECT_EQ(101, merged.foods[1].key);
    EXPECT_NE(nullptr, merged.foods[1].food);
    EXPECT_DOUBLE_EQ(81, merged.FindFact("Waist")->value);
    EXPECT_EQ(1u, merged.requirements.size());
    EXPECT_EQ(log->Days()[1], log->GetCurrentDay());
    EXPECT_EQ(1, log->FindDay("20260105"));
}

TEST(UserLog, DayWithoutDateFailsTheRead) {
    EXPECT_THROW(ReadProfile(Profile("<Log><LogDay><Food/></LogDay></Log>")), Xml::XmlError);
}

TEST(EnergyComposition, ComputedFromTheDaysFoods) {
    ScopedClock clock(date(2026, 12, 10));
    CUserLog log(&Meals(), &Foods());
    log.AddFood(100, 0, "", Food(100));  // 10 g protein × 4, 5 g fat × 9, 20 g carbohydrate × 4: 40, 45, 80 kcal
    CDS_EnergyComposition composition;
    composition.SetFromEnergies(log.GetCurrentDay()->ComponentEnergies());
    // 24.24 + 27.27 + 48.48 miss 100 by 0.01; at one decimal the shares add up.
    EXPECT_DOUBLE_EQ(24.2, composition.GetValue(0, CDS_EnergyComposition::kValue));
    EXPECT_DOUBLE_EQ(27.3, composition.GetValue(1, CDS_EnergyComposition::kValue));
    EXPECT_DOUBLE_EQ(48.5, composition.GetValue(2, CDS_EnergyComposition::kValue));
    EXPECT_DOUBLE_EQ(0, composition.GetValue(3, CDS_EnergyComposition::kValue));

    CUserLog empty(&Meals(), &Foods());
    composition.SetFromEnergies(empty.GetCurrentDay()->ComponentEnergies());
    EXPECT_DOUBLE_EQ(0, composition.GetValue(0, CDS_EnergyComposition::kValue));
}
