// Numbers a profile file may hold that no one would type: read, shown and reported, they give
// defined answers (an unknown age, the largest height) instead of overflowing.

#include "core/FileUtil.h"
#include "document/ProfileDocument.h"
#include "document/report/ReportDocument.h"
#include "model/DayFood.h"
#include "support/DocumentFixture.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <boost/date_time/gregorian/gregorian.hpp>

#include <climits>
#include <cmath>
#include <functional>

namespace {

// The new-profile fixture with one text replaced, as profile "p" of the folder.
void WriteProfileWith(TempDir& dir, const char* replace, const char* with) {
    std::string text = FileUtil::ReadFile(VELMORA_SOURCE_DIR "/tests/data/document/new-profile.xml");
    const auto at = text.find(replace);
    ASSERT_NE(std::string::npos, at) << replace;
    dir.Write("p", text.replace(at, std::strlen(replace), with));
}

struct ExtremeCase {
    const char* name;
    const char* replace;
    const char* with;
    std::function<void(const CProfileDocument&)> check;
    friend void PrintTo(const ExtremeCase& c, std::ostream* os) { *os << c.name; }
};

class ExtremeValue : public ::testing::TestWithParam<ExtremeCase> {};

TEST_P(ExtremeValue, OpensAndIsShownWithDefinedValues) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    ASSERT_NO_FATAL_FAILURE(WriteProfileWith(dir, GetParam().replace, GetParam().with));

    CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("p"))) << prompt.messages.at(0);
    GetParam().check(doc);
}

int ReportedEnergy(const CProfileDocument& doc) {
    Xml::XmlDocument report;
    Report::BuildReportDocument(doc, Report::kSummaryTemplate, report);
    return report.SelectSingleNode("//EnergyRequirement").IsNull()
               ? -1
               : Xml::XmlElement(report.SelectSingleNode("//EnergyRequirement")).GetAttribute("value").AsInt();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtremeValue,
    ::testing::Values(
        ExtremeCase{"BirthYearIntMin", "YYYY=\"1970\"", "YYYY=\"-2147483648\"",
                    [](const CProfileDocument& doc) {
                        EXPECT_EQ(-1, doc.Log().Personal().AgeAt("20240310"));
                        EXPECT_EQ(DriCategory::UnknownCategory, doc.Log().Personal().DriCategoryAt("20240310"));
                        EXPECT_EQ(0, ReportedEnergy(doc));
                    }},
        ExtremeCase{"BirthYearIntMax", "YYYY=\"1970\"", "YYYY=\"2147483647\"",
                    [](const CProfileDocument& doc) { EXPECT_EQ(-1, doc.Log().Personal().AgeAt("20240310")); }},
        // The month only decides whether this year's birthday has passed.
        ExtremeCase{"BirthMonthIntMin", "MM=\"1\"", "MM=\"-2147483648\"",
                    [](const CProfileDocument& doc) { EXPECT_EQ(54, doc.Log().Personal().AgeAt("20240310")); }},
        ExtremeCase{"HeightInInchesIntMax", "Height=\"170\" UnitsKG=\"1\"", "Height=\"2147483647\" UnitsKG=\"0\"",
                    [](const CProfileDocument& doc) {
                        EXPECT_EQ(INT_MAX, doc.Log().Personal().HeightCm());
                        EXPECT_EQ(INT_MAX, ReportedEnergy(doc));
                    }},
        ExtremeCase{"FoodWeight1e300", "<Log/>",
                    "<Log><LogDay date=\"20240310\"><Food><dayFood weight=\"1e300\" R=\"0\" CWI=\"2\" id=\"7\" "
                    "key=\"100\" name=\"Stew\"/></Food></LogDay></Log>",
                    [](const CProfileDocument& doc) {
                        const auto& foods = doc.DayFoods();
                        ASSERT_EQ(1u, foods.size());
                        EXPECT_EQ(1e300, foods[0].weight);
                        EXPECT_GE(foods[0].unitIndex, 0);
                        EXPECT_TRUE(std::isfinite(foods[0].Amount()));
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

struct NonFiniteCase {
    const char* name;
    const char* replace;
    const char* with;
    const char* value;  // the text the message names
    friend void PrintTo(const NonFiniteCase& c, std::ostream* os) { *os << c.name; }
};

class NonFiniteValue : public ::testing::TestWithParam<NonFiniteCase> {};

// No weight, value or limit can be infinite or no number at all; typed in, such a text is
// refused, and a file holding one is refused like a file holding any other text that is no number.
TEST_P(NonFiniteValue, RefusesTheFileAndSaysWhy) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    ASSERT_NO_FATAL_FAILURE(WriteProfileWith(dir, GetParam().replace, GetParam().with));

    CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("p")));
    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_EQ(0u, prompt.messages[0].find("Can't open file:\n" + dir.File("p") + "\n")) << prompt.messages[0];
    EXPECT_NE(std::string::npos, prompt.messages[0].find(std::string("'") + GetParam().value + "'"))
        << prompt.messages[0];
}

constexpr const char* kDay = "<Log><LogDay date=\"20240310\"><Food>%FOOD%</Food>%REST%</LogDay></Log>";

std::string Day(const std::string& food, const std::string& rest) {
    std::string day = kDay;
    day.replace(day.find("%FOOD%"), 6, food);
    day.replace(day.find("%REST%"), 6, rest);
    return day;
}

const std::string kNanFood = Day(R"(<dayFood weight="nan" R="1" id="7" key="100" name="Stew"/>)", "");
const std::string kInfFoodLimit = Day(R"(<dayFood weight="1" R="1" id="7" key="100" name="Stew" max="inf"/>)", "");
const std::string kInfFact = Day("", R"(<Fact name="Weight" value="-inf"/>)");
const std::string kNanDayLimit = Day("", R"(<Nutrients><NutrientRequirement gid="13" min="NaN"/></Nutrients>)");

INSTANTIATE_TEST_SUITE_P(Cases, NonFiniteValue,
                         ::testing::Values(NonFiniteCase{"PersonsWeight", "<Weight value=\"70\"",
                                                         "<Weight value=\"-inf\"", "-inf"},
                                           NonFiniteCase{"FoodWeight", "<Log/>", kNanFood.c_str(), "nan"},
                                           NonFiniteCase{"FoodLimit", "<Log/>", kInfFoodLimit.c_str(), "inf"},
                                           NonFiniteCase{"FactValue", "<Log/>", kInfFact.c_str(), "-inf"},
                                           NonFiniteCase{"FactTarget", "<Fact name=\"Weight\"/>",
                                                         "<Fact name=\"Weight\" value=\"infinity\"/>", "infinity"},
                                           NonFiniteCase{"ProfileLimit", "gid=\"13\" name=\"Iron\" units=\"mg\"",
                                                         "gid=\"13\" name=\"Iron\" units=\"mg\" max=\"inf\"", "inf"},
                                           NonFiniteCase{"DayLimit", "<Log/>", kNanDayLimit.c_str(), "NaN"},
                                           NonFiniteCase{"Composition", "Min=\"10\" Max=\"35\" Value=\"30\"",
                                                         "Min=\"10\" Max=\"35\" Value=\"nan\"", "nan"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExtremeValue, AmountsBeyondHundredThousandthsAreNoSmallFraction) {
    for (double x : {1e12, -1e300, HUGE_VAL, std::nan("")}) {
        const UserLog::UnitFraction f = UserLog::FractionOf(x);
        EXPECT_NE(1, f.denominator) << x;
        EXPECT_NE(0, f.denominator) << x;
    }
    EXPECT_EQ(3, UserLog::FractionOf(2.0 / 3).denominator);
}

}  // namespace
