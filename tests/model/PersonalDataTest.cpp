#include "model/PersonalData.h"

#include "support/FakeServices.h"
#include "support/XmlFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using Xml::XmlDocument;
using Xml::XmlElement;

namespace {

CPersonalData Born(int year, int month, int day, bool female = true) {
    CPersonalData p;
    p.birthYear = year;
    p.birthMonth = month;
    p.birthDay = day;
    p.female = female ? 1 : 0;
    return p;
}

// ---- Age and category ----------------------------------------------------------------------

struct AgeCase {
    const char* what;
    int by, bm, bd;
    int female, pregnant, lactation;
    const char* date;
    double age;
    DriCategory category;
    int driAge;
};

std::ostream& operator<<(std::ostream& os, const AgeCase& c) { return os << c.what; }

class PersonalAge : public ::testing::TestWithParam<AgeCase> {};

TEST_P(PersonalAge, AgeCategoryAndLookupAge) {
    const AgeCase& c = GetParam();
    CPersonalData p = Born(c.by, c.bm, c.bd, c.female);
    p.pregnant = c.pregnant;
    p.lactation = c.lactation;
    EXPECT_DOUBLE_EQ(c.age, p.AgeAt(c.date));
    EXPECT_EQ(c.category, p.DriCategoryAt(c.date));
    EXPECT_EQ(c.driAge, p.DriAgeAt(c.date));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonalAge,
    ::testing::Values(
        AgeCase{"day before the 40th birthday", 1970, 6, 15, 1, 0, 0, "20100614", 39, Female, 39},
        AgeCase{"40th birthday", 1970, 6, 15, 1, 0, 0, "20100615", 40, Female, 40},
        AgeCase{"man", 1970, 6, 15, 0, 0, 0, "20100615", 40, Male, 40},
        AgeCase{"pregnancy flags of a man are ignored", 1970, 6, 15, 0, 1, 1, "20100615", 40, Male, 40},
        AgeCase{"pregnant", 1980, 1, 1, 1, 1, 0, "20100615", 30, FemalePregnant, 30},
        AgeCase{"lactating", 1980, 1, 1, 1, 0, 1, "20100615", 30, FemaleLactation, 30},
        AgeCase{"pregnant and lactating", 1980, 1, 1, 1, 1, 1, "20100615", 30, FemalePregnantLactation, 30},
        AgeCase{"4 months: a day short of 5", 2010, 1, 20, 1, 0, 0, "20100619", 0.04, Infant, 4},
        AgeCase{"6 months across the new year", 2009, 12, 20, 0, 0, 0, "20100620", 0.06, Infant, 6},
        AgeCase{"11 months across the new year", 2009, 6, 20, 0, 0, 0, "20100619", 0.11, Infant, 11},
        AgeCase{"7 months", 2009, 11, 1, 0, 0, 0, "20100601", 0.07, Infant, 7},
        AgeCase{"day of birth", 2010, 6, 15, 1, 0, 0, "20100615", 0, Infant, 0},
        AgeCase{"leap-day birth, day before the 1st birthday", 2000, 2, 29, 1, 0, 0, "20010228", 0.11, Infant, 11},
        AgeCase{"leap-day birth, 1st of March", 2000, 2, 29, 1, 0, 0, "20010301", 1, Children, 1},
        AgeCase{"leap-day birth, on the next leap day", 2000, 2, 29, 1, 0, 0, "20040229", 4, Children, 4},
        AgeCase{"8 years are still a child", 2000, 1, 1, 0, 0, 0, "20080101", 8, Children, 8},
        AgeCase{"9 years are no longer", 2000, 1, 1, 0, 0, 0, "20090101", 9, Male, 9},
        AgeCase{"120 years", 1890, 6, 15, 1, 0, 0, "20100615", 120, Female, 120},
        AgeCase{"121 years are unknown", 1889, 6, 15, 1, 0, 0, "20100615", -1, UnknownCategory, -100},
        AgeCase{"born after the day", 2010, 6, 16, 1, 0, 0, "20100615", -1, UnknownCategory, -100},
        AgeCase{"no such date", 1970, 1, 1, 1, 0, 0, "20100230", -1, UnknownCategory, -100},
        AgeCase{"not a date key", 1970, 1, 1, 1, 0, 0, "2010-6-15", -1, UnknownCategory, -100}));

TEST(PersonalData, EmptyDateMeansToday) {
    ScopedClock clock(boost::gregorian::date(2010, 6, 15));
    CPersonalData p = Born(1970, 6, 15);
    EXPECT_EQ("20100615", p.date);
    EXPECT_DOUBLE_EQ(40, p.AgeAt());
    clock.Set(boost::gregorian::date(2010, 6, 14));
    EXPECT_DOUBLE_EQ(39, p.AgeAt(""));
}

TEST(PersonalData, UnitConversions) {
    EXPECT_DOUBLE_EQ(70, PoundsToKg(154));
    EXPECT_DOUBLE_EQ(154, KgToPounds(70));
    EXPECT_DOUBLE_EQ(68.1, PoundsToKg(149.9));  // 68.136...
    EXPECT_DOUBLE_EQ(11, KgToPounds(5));
    EXPECT_EQ(178, InchesToCm(70));  // 177.8
    EXPECT_EQ(3, InchesToCm(1));     // 2.54

    CPersonalData p;
    p.height = 70;
    EXPECT_EQ(70, p.HeightCm());
    p.unitsKg = 0;
    EXPECT_EQ(178, p.HeightCm());
}

struct RangeCase {
    int unitsKg;
    int height;
    double weight;
    bool heightIn;
    bool weightIn;
};

TEST(PersonalData, HeightAndWeightFollowTheEnergyCalculatorsRanges) {
    const RangeCase cases[] = {
        {1, 50, 0.1, true, true},       {1, 250, 500, true, true},    {1, 49, 0, false, false},
        {1, 251, 500.01, false, false}, {1, 1650, -70, false, false}, {1, 170, std::nan(""), true, false},
        {0, 20, 1100, true, true},      {0, 98, 0.2, true, true},     {0, 19, 1100.1, false, false},
        {0, 99, 0, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CPersonalData::HeightRangeError(c.height, c.unitsKg).empty(), c.heightIn)
            << c.unitsKg << ' ' << c.height;
        EXPECT_EQ(CPersonalData::WeightRangeError(c.weight, c.unitsKg).empty(), c.weightIn)
            << c.unitsKg << ' ' << c.weight;
    }
    EXPECT_EQ(CPersonalData::HeightRangeError(1650, 1), "Height must be from 50 to 250 cm.");
    EXPECT_EQ(CPersonalData::HeightRangeError(19, 0), "Height must be from 20 to 98 inches (50 to 250 cm).");
    EXPECT_EQ(CPersonalData::WeightRangeError(0, 1), "Weight must be above 0 and at most 500 kg.");
    EXPECT_EQ(CPersonalData::WeightRangeError(0, 0), "Weight must be above 0 and at most 1100 lb.");
}

TEST(PersonalData, LifeStyleNames) {
    CPersonalData p;
    const char* expected[] = {"?", "SEDENTARY", "LOWACTIVE", "ACTIVE", "VERYACTIVE", "?"};
    for (int ls = -1; ls <= 4; ++ls) {
        p.lifeStyle = ls;
        EXPECT_EQ(expected[ls + 1], p.LifeStyleName()) << ls;
    }
}

// ---- Energy requirement --------------------------------------------------------------------

struct Person {
    int by, bm, bd;
    int female = 1;
    int pregnant = 0;
    int lactation = 0;
    int lifeStyle = 1;
    int unitsKg = 1;
    int height = 170;
    double weight = 70;
};

CPersonalData Make(const Person& s) {
    CPersonalData p = Born(s.by, s.bm, s.bd, s.female);
    p.pregnant = s.pregnant;
    p.lactation = s.lactation;
    p.lifeStyle = s.lifeStyle;
    p.unitsKg = s.unitsKg;
    p.height = s.height;
    p.weight = s.weight;
    return p;
}

struct EnergyCase {
    const char* what;
    Person person;
    double dayWeight;
    double extraEnergy;
    double kcal;
    const char* description;
};

std::ostream& operator<<(std::ostream& os, const EnergyCase& c) { return os << c.what; }

class PersonalEnergy : public ::testing::TestWithParam<EnergyCase> {};

TEST_P(PersonalEnergy, ValueAndDescription) {
    const EnergyCase& c = GetParam();
    const CPersonalData p = Make(c.person);
    const EnergyInputs inputs{c.dayWeight, c.extraEnergy, &p, "20100615"};
    std::string description = "stale";
    EXPECT_NEAR(c.kcal, p.EnergyRequirement(inputs, description), 1e-9);
    EXPECT_EQ(c.description, description);
}

const char* const kPregnancyNote = " Pregnancy and Lactation are not taken into account now.";

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonalEnergy,
    ::testing::Values(
        EnergyCase{"man of 30, active",
                   {1980, 1, 1, 0, 0, 0, 2, 1, 180, 80},
                   0,
                   0,
                   662 - 285.9 + 1.25 * (1272.8 + 971.28),
                   "662 - 9.53 * Age(30) + Activity Coef(1.25) * ( 15.91 * Weight(80) + 5.396 * Height(180) )"},
        EnergyCase{"woman of 16, low active",
                   {1994, 1, 1, 1, 0, 0, 1, 1, 165, 55},
                   0,
                   0,
                   135.3 - 492.8 + 1.16 * (550 + 1541.1) + 25,
                   "135.3 - 30.8 * Age(16) + Activity Coef(1.16) * ( 10 * Weight(55) + 9.34 * Height(165) + "
                   "Energy Deposition(25) )"},
        EnergyCase{"woman of 30",
                   {1980, 1, 1, 1, 0, 0, 3, 1, 165, 60.5},
                   0,
                   0,
                   354 - 6.91 * 30 + 1.45 * (9.36 * 60.5 + 7.26 * 165),
                   "354 - 6.91 * Age(30) + Activity Coef(1.45) * ( 9.36 * Weight(60.5) + 7.26 * Height(165) )"},
        EnergyCase{"pregnant woman of 30",
                   {1980, 1, 1, 1, 1, 0, 1, 1, 165, 60},
                   0,
                   0,
                   354 - 6.91 * 30 + 1.12 * (9.36 * 60 + 7.26 * 165),
                   "354 - 6.91 * Age(30) + Activity Coef(1.12) * ( 9.36 * Weight(60) + 7.26 * Height(165) ) "
                   "Pregnancy and Lactation are not taken into account now."},
        EnergyCase{"lactating girl of 17",
                   {1993, 1, 1, 1, 0, 1, 0, 1, 160, 50},
                   0,
                   0,
                   135.3 - 30.8 * 17 + (10 * 50 + 9.34 * 160) + 25,
                   "135.3 - 30.8 * Age(17) + Activity Coef(1) * ( 10 * Weight(50) + 9.34 * Height(160) + "
                   "Energy Deposition(25) ) Pregnancy and Lactation are not taken into account now."},
        EnergyCase{"boy of 15",
                   {1995, 1, 1, 0, 0, 0, 3, 1, 170, 60},
                   0,
                   0,
                   88.5 - 61.9 * 15 + 1.42 * (26.7 * 60 + 9.03 * 170) + 25,
                   "88.5 - 61.9 * Age(15) + Activity Coef(1.42) * ( 26.7 * Weight(60) + 9.03 * Height(170) + "
                   "Energy Deposition(25) )"},
        EnergyCase{"man of 19 has no deposition",
                   {1991, 1, 1, 0, 0, 0, 0, 1, 180, 75},
                   0,
                   0,
                   662 - 9.53 * 19 + (15.91 * 75 + 5.396 * 180),
                   "662 - 9.53 * Age(19) + Activity Coef(1) * ( 15.91 * Weight(75) + 5.396 * Height(180) )"},
        EnergyCase{"boy of 5",
                   {2005, 1, 1, 0, 0, 0, 1, 1, 110, 20},
                   0,
                   0,
                   88.5 - 61.9 * 5 + 1.13 * (26.7 * 20 + 9.03 * 110) + 20,
                   "88.5 - 61.9 * Age(5) + Activity Coef(1.13) * ( 26.7 * Weight(20) + 9.03 * Height(110) ) + "
                   "Energy Deposition(20)"},
        EnergyCase{"girl of 5",
                   {2005, 1, 1, 1, 0, 0, 2, 1, 110, 20},
                   0,
                   0,
                   135.3 - 30.8 * 5 + 1.31 * (10 * 20 + 9.34 * 110) + 20,
                   "135.3 - 30.8 * Age(5) + Activity Coef(1.31) * ( 10 * Weight(20) + 9.34 * Height(110) + "
                   "Energy Deposition(20) )"},
        EnergyCase{"boy of 2: toddlers' equation",
                   {2008, 1, 1, 0, 0, 0, 3, 1, 90, 12.5},
                   0,
                   0,
                   89 * 12.5 - 100 + 20,
                   "89 * Weight(12.5) - 100 + Energy Deposition(20) )"},
        EnergyCase{"girl of 1: toddlers' equation",
                   {2009, 6, 1, 1, 0, 0, 3, 1, 75, 10},
                   0,
                   0,
                   89 * 10 - 100 + 20,
                   "89 * Weight(10) - 100 + Energy Deposition(20) )"},
        EnergyCase{"infant of 4 months",
                   {2010, 1, 20, 1, 0, 0, 1, 1, 60, 6},
                   0,
                   0,
                   490,
                   "89 * Weight(6) - 100 + Energy Deposition(56) )"},
        EnergyCase{"infant of 2 months",
                   {2010, 4, 1, 0, 0, 0, 1, 1, 55, 5},
                   0,
                   0,
                   89 * 5 - 100 + 175,
                   "89 * Weight(5) - 100 + Energy Deposition(175) )"},
        EnergyCase{"infant of 9 months",
                   {2009, 9, 1, 0, 0, 0, 1, 1, 70, 9},
                   0,
                   0,
                   89 * 9 - 100 + 22,
                   "89 * Weight(9) - 100 + Energy Deposition(22) )"},
        EnergyCase{"pounds and inches",
                   {1980, 1, 1, 0, 0, 0, 2, 0, 70, 154},
                   0,
                   0,
                   662 - 285.9 + 1.25 * (15.91 * 70 + 5.396 * 178),
                   "662 - 9.53 * Age(30) + Activity Coef(1.25) * ( 15.91 * Weight(70) + 5.396 * Height(178) )"},
        EnergyCase{"the day's weight wins",
                   {1980, 1, 1, 0, 0, 0, 2, 1, 180, 80},
                   90,
                   0,
                   662 - 285.9 + 1.25 * (15.91 * 90 + 971.28),
                   "662 - 9.53 * Age(30) + Activity Coef(1.25) * ( 15.91 * Weight(90) + 5.396 * Height(180) )"},
        EnergyCase{"the day's weight in pounds",
                   {1980, 1, 1, 0, 0, 0, 2, 0, 70, 154},
                   165,
                   0,
                   662 - 285.9 + 1.25 * (15.91 * 75 + 5.396 * 178),
                   "662 - 9.53 * Age(30) + Activity Coef(1.25) * ( 15.91 * Weight(75) + 5.396 * Height(178) )"},
        EnergyCase{"extra energy",
                   {1980, 1, 1, 0, 0, 0, 2, 1, 180, 80},
                   0,
                   300,
                   662 - 285.9 + 1.25 * (1272.8 + 971.28) + 300,
                   "662 - 9.53 * Age(30) + Activity Coef(1.25) * ( 15.91 * Weight(80) + 5.396 * Height(180) ) + "
                   "Extra Energy(300)"},
        EnergyCase{"life style out of range counts as sedentary",
                   {1980, 1, 1, 0, 0, 0, 9, 1, 180, 80},
                   0,
                   0,
                   662 - 285.9 + (1272.8 + 971.28),
                   "662 - 9.53 * Age(30) + Activity Coef(1) * ( 15.91 * Weight(80) + 5.396 * Height(180) )"},
        EnergyCase{"unknown age has no requirement", {2011, 1, 1, 0, 0, 0, 2, 1, 180, 80}, 0, 300, 0, ""}));

TEST(PersonalData, PregnancyAndLactationNoteFollowsTheEquation) {
    for (auto [pregnant, lactation] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}}) {
        CPersonalData p = Make({1980, 1, 1, 1, pregnant, lactation, 1, 1, 165, 60});
        std::string description;
        p.EnergyRequirement({0, 250, &p, "20100615"}, description);
        EXPECT_THAT(description, ::testing::EndsWith(std::string(kPregnancyNote) + " + Extra Energy(250)"));
        EXPECT_THAT(description, ::testing::StartsWith("354 - 6.91 * Age(30)"));
    }
}

// ---- Energy details ------------------------------------------------------------------------

struct DetailsCase {
    const char* what;
    Person person;
    double dayWeight;
    double extraEnergy;
    std::vector<EnergyDetail> details;
};

std::ostream& operator<<(std::ostream& os, const DetailsCase& c) { return os << c.what; }

class PersonalDetails : public ::testing::TestWithParam<DetailsCase> {};

TEST_P(PersonalDetails, ListTheInputs) {
    const DetailsCase& c = GetParam();
    const CPersonalData p = Make(c.person);
    EXPECT_EQ(c.details, p.EnergyDetails({c.dayWeight, c.extraEnergy, &p, "20100615"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonalDetails,
    ::testing::Values(DetailsCase{"man in kg",
                                  {1980, 1, 1, 0, 0, 0, 2, 1, 180, 80},
                                  0,
                                  0,
                                  {{"Age", "30 years"},
                                   {"Weight", "80 kg"},
                                   {"Height", "180 cm"},
                                   {"Gender", "Male"},
                                   {"Life Style", "ACTIVE"}}},
                      DetailsCase{"man in pounds and inches, the unconverted weight",
                                  {1980, 1, 1, 0, 0, 0, 2, 0, 70, 154},
                                  0,
                                  0,
                                  {{"Age", "30 years"},
                                   {"Weight", "154 lb"},
                                   {"Height", "5 feet 10 inches"},
                                   {"Gender", "Male"},
                                   {"Life Style", "ACTIVE"}}},
                      DetailsCase{"infant: no height, gender or life style",
                                  {2010, 1, 20, 1, 0, 0, 1, 1, 60, 6.2},
                                  0,
                                  0,
                                  {{"Age", "4 months"}, {"Weight", "6.2 kg"}, {"Energy Deposition", "56 kcal"}}},
                      DetailsCase{"girl of 16 with the day's weight and extra energy",
                                  {1994, 1, 1, 1, 0, 0, 7, 1, 165, 55},
                                  56.5,
                                  120.5,
                                  {{"Age", "16 years"},
                                   {"Weight", "56.5 kg"},
                                   {"Height", "165 cm"},
                                   {"Gender", "Female"},
                                   {"Life Style", "?"},
                                   {"Energy Deposition", "25 kcal"},
                                   {"Extra Energy", "120.5 kcal"}}},
                      DetailsCase{"pregnant and lactating",
                                  {1980, 1, 1, 1, 1, 1, 0, 1, 165, 60},
                                  0,
                                  0,
                                  {{"Age", "30 years"},
                                   {"Weight", "60 kg"},
                                   {"Height", "165 cm"},
                                   {"Gender", "Female"},
                                   {"Life Style", "SEDENTARY"},
                                   {"Pregnancy", "not taken into account"},
                                   {"Lactation", "not taken into account"}}},
                      DetailsCase{"unknown age",
                                  {2011, 1, 1, 0, 0, 0, 1, 1, 180, 80},
                                  0,
                                  0,
                                  {{"Age", "unknown"},
                                   {"Weight", "80 kg"},
                                   {"Height", "180 cm"},
                                   {"Gender", "Male"},
                                   {"Life Style", "LOWACTIVE"}}}));

// ---- XML -----------------------------------------------------------------------------------

TEST(PersonalDataXml, SavesTheCurrentLayout) {
    XmlFixture xml;
    CPersonalData p = Born(1975, 3, 9, false);
    p.date = "20100615";
    p.firstName = "Ann";
    p.weight = 81.5;
    p.Save(xml.root);
    EXPECT_EQ(R"(<Personal date="20100615" LifeStyle="1" Height="170" UnitsKG="1">
  <FirstName>Ann</FirstName>
  <LastName/>
  <DOB YYYY="1975" MM="3" DD="9"/>
  <Sex Female="0"/>
  <Weight value="81.5" date="20100615"/>
</Personal>)",
              xml.root.ChildElement("Personal").GetXml());
}

TEST(PersonalDataXml, RoundTripKeepsEveryField) {
    XmlFixture xml;
    CPersonalData saved = Born(1981, 12, 31);
    saved.date = "20100615";
    saved.firstName = "Zoë";
    saved.lastName = "O'Brien & <Sons>";
    saved.notes = "line one\nline \"two\"";
    saved.pregnant = 1;
    saved.lactation = 1;
    saved.lifeStyle = 3;
    saved.unitsKg = 0;
    saved.height = 66;
    saved.weight = 143.3;
    saved.Save(xml.root);

    XmlDocument back;
    CPersonalData read = Born(1900, 1, 1, false);
    read.Load(xml.Reparsed(back, "Personal"));
    EXPECT_EQ(saved.date, read.date);
    EXPECT_EQ(saved.firstName, read.firstName);
    EXPECT_EQ(saved.lastName, read.lastName);
    EXPECT_EQ(saved.notes, read.notes);
    EXPECT_EQ(1981, read.birthYear);
    EXPECT_EQ(12, read.birthMonth);
    EXPECT_EQ(31, read.birthDay);
    EXPECT_EQ(1, read.female);
    EXPECT_EQ(1, read.pregnant);
    EXPECT_EQ(1, read.lactation);
    EXPECT_EQ(3, read.lifeStyle);
    EXPECT_EQ(0, read.unitsKg);
    EXPECT_EQ(66, read.height);
    EXPECT_DOUBLE_EQ(143.3, read.weight);
}

struct LoadCase {
    const char* what;
    const char* xml;
    double weight;
    int birthYear, birthMonth, birthDay;
    int pregnant, lactation;
    const char* notes;
};

std::ostream& operator<<(std::ostream& os, const LoadCase& c) { return os << c.what; }

class PersonalLoad : public ::testing::TestWithParam<LoadCase> {};

// Loaded over a person with notes, pregnancy flags and a weight of 70, so that what the file
// leaves alone shows.
TEST_P(PersonalLoad, ReadsOlderAndCurrentForms) {
    const LoadCase& c = GetParam();
    CPersonalData p;
    p.notes = "old notes";
    p.pregnant = 1;
    p.lactation = 1;
    XmlDocument doc;
    p.Load(XmlFixture::Parse(doc, c.xml));
    EXPECT_DOUBLE_EQ(c.weight, p.weight);
    EXPECT_EQ(c.birthYear, p.birthYear);
    EXPECT_EQ(c.birthMonth, p.birthMonth);
    EXPECT_EQ(c.birthDay, p.birthDay);
    EXPECT_EQ(c.pregnant, p.pregnant);
    EXPECT_EQ(c.lactation, p.lactation);
    EXPECT_EQ(c.notes, p.notes);
}

#define PERSONAL(attrs, children)                                             \
    "<Personal date='20100615' LifeStyle='2' Height='180' UnitsKG='1' " attrs \
    "><FirstName>A</FirstName><LastName>B</LastName>" children "</Personal>"

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonalLoad,
    ::testing::Values(
        LoadCase{"weight as attribute", PERSONAL("Weight='65.5'", "<DOB YYYY='1970' MM='2' DD='3'/><Sex Female='0'/>"),
                 65.5, 1970, 2, 3, 0, 0, ""},
        LoadCase{"attribute wins over the child",
                 PERSONAL("Weight='65'", "<DOB YYYY='1970' MM='2' DD='3'/><Sex Female='0'/><Weight value='90'/>"), 65,
                 1970, 2, 3, 0, 0, ""},
        LoadCase{
            "weight child",
            PERSONAL("", "<DOB YYYY='1970' MM='2' DD='3'/><Sex Female='0'/><Weight value='82.25' date='20100615'/>"),
            82.25, 1970, 2, 3, 0, 0, ""},
        LoadCase{"weight child without value",
                 PERSONAL("", "<DOB YYYY='1970' MM='2' DD='3'/><Sex Female='0'/><Weight/>"), 0, 1970, 2, 3, 0, 0, ""},
        LoadCase{"no weight at all keeps the weight", PERSONAL("", "<DOB YYYY='1970' MM='2' DD='3'/><Sex Female='0'/>"),
                 70, 1970, 2, 3, 0, 0, ""},
        LoadCase{"birth date as one text",
                 PERSONAL("", "<DOB date='19850312' YYYY='1970' MM='2' DD='3'/><Sex Female='0'/>"), 70, 1985, 3, 12, 0,
                 0, ""},
        LoadCase{"empty date text uses the parts",
                 PERSONAL("", "<DOB date='' YYYY='1970' MM='2' DD='3'/><Sex Female='0'/>"), 70, 1970, 2, 3, 0, 0, ""},
        LoadCase{"malformed date text uses the parts",
                 PERSONAL("", "<DOB date='1985-3-12' YYYY='1970' MM='2' DD='3'/><Sex Female='0'/>"), 70, 1970, 2, 3, 0,
                 0, ""},
        LoadCase{"a man's pregnancy flags are not read",
                 PERSONAL("", "<DOB YYYY='1970' MM='2' DD='3'/><Sex Female='0' Pregnant='1' Lactation='1'/>"), 70, 1970,
                 2, 3, 0, 0, ""},
        LoadCase{"a woman's are",
                 PERSONAL("",
                          "<DOB YYYY='1970' MM='2' DD='3'/><Sex Female='1' Pregnant='0' Lactation='1'/>"
                          "<PersonalNotes>notes</PersonalNotes>"),
                 70, 1970, 2, 3, 0, 1, "notes"}));

TEST(PersonalDataXml, MissingDateMeansToday) {
    ScopedClock clock(boost::gregorian::date(2011, 2, 3));
    XmlDocument doc;
    CPersonalData p;
    p.date = "20000101";
    p.Load(XmlFixture::Parse(doc,
                             "<Personal LifeStyle='0' Height='160' UnitsKG='0'><FirstName/><LastName/>"
                             "<DOB YYYY='1970' MM='1' DD='1'/><Sex Female='1'/></Personal>"));
    EXPECT_EQ("20110203", p.date);
    EXPECT_EQ(0, p.unitsKg);
    EXPECT_EQ(406, p.HeightCm());  // 160 inches
}

TEST(PersonalDataXml, MissingRequiredValuesFailTheLoad) {
    const char* broken[] = {
        "<Personal Height='160' UnitsKG='1'><FirstName/><LastName/><DOB YYYY='1970' MM='1' DD='1'/><Sex "
        "Female='1'/></Personal>",
        "<Personal LifeStyle='x' Height='160' UnitsKG='1'><FirstName/><LastName/><DOB YYYY='1970' MM='1' DD='1'/><Sex "
        "Female='1'/></Personal>",
        "<Personal LifeStyle='1' Height='160' UnitsKG='1'><FirstName/><LastName/><DOB YYYY='1970' MM='1'/><Sex "
        "Female='1'/></Personal>",
        "<Personal LifeStyle='1' Height='160' UnitsKG='1'><FirstName/><LastName/><DOB YYYY='1970' MM='1' "
        "DD='1'/></Personal>",
        "<Personal LifeStyle='1' Height='160' UnitsKG='1'><LastName/><DOB YYYY='1970' MM='1' DD='1'/><Sex "
        "Female='1'/></Personal>",
    };
    for (const char* xml : broken) {
        XmlDocument doc;
        CPersonalData p;
        EXPECT_ANY_THROW(p.Load(XmlFixture::Parse(doc, xml))) << xml;
    }
}

}  // namespace
