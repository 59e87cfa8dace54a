#include "model/Meal.h"

#include "XmlFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Meal;
using Xml::XmlDocument;

namespace {

TEST(MealManager, BuiltInListInTimeOrder) {
    CMealManager m;
    ASSERT_EQ(6, m.MealCount());
    const char* names[] = {"Breakfast", "Brunch", "Lunch", "Dinner", "Supper", ""};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(names[i], m.MealAt(i).Name()) << i;
}

TEST(MealManager, MealAtBeyondTheListFails) {
    CMealManager m;
    for (int position : {6, -1, 100}) {
        try {
            m.MealAt(position);
            ADD_FAILURE() << position;
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ("Requested item position out of range in Manager.", e.what());
        }
    }
}

TEST(MealManager, SavesNamesAndTimeTexts) {
    XmlFixture xml;
    CMealManager().Save(xml.root);
    EXPECT_EQ(R"(<Meals>
  <Meal id="Breakfast" time="7:0"/>
  <Meal id="Brunch" time="9:30"/>
  <Meal id="Lunch" time="12:0"/>
  <Meal id="Dinner" time="17:0"/>
  <Meal id="Supper" time="19:0"/>
  <Meal id="" time="24:1"/>
</Meals>)",
              xml.root.ChildElement("Meals").GetXml());
}

TEST(MealManager, LoadLeavesTheListAlone) {
    XmlDocument doc;
    CMealManager m;
    m.Load(XmlFixture::Parse(doc, R"(<Meals><Meal id="Elevenses" time="11:0"/></Meals>)"));
    ASSERT_EQ(6, m.MealCount());
    EXPECT_EQ("Brunch", m.MealAt(1).Name());
}

TEST(Meals, StableSortByHoursThenMinutes) {
    std::vector<CMeal> meals = {
        {"late", {.minutes = 5, .hours = 20}},  {"first tie", {.minutes = 30, .hours = 8}},
        {"early", {.minutes = 59, .hours = 6}}, {"second tie", {.minutes = 30, .hours = 8}},
        {"noon", {.minutes = 0, .hours = 12}},  {"third tie", {.minutes = 30, .hours = 8}},
    };
    SortByStartTime(meals);
    std::vector<std::string> names;
    for (const CMeal& m : meals) names.push_back(m.Name());
    EXPECT_EQ((std::vector<std::string>{"early", "first tie", "second tie", "third tie", "noon", "late"}), names);
}

struct TimeCase {
    const char* text;
    int hours, minutes;
};

class MealTimeText : public ::testing::TestWithParam<TimeCase> {};

TEST_P(MealTimeText, Reads) {
    const MealTime t = MealTime::FromText(GetParam().text);
    EXPECT_EQ(GetParam().hours, t.hours);
    EXPECT_EQ(GetParam().minutes, t.minutes);
}

INSTANTIATE_TEST_SUITE_P(Cases, MealTimeText,
                         ::testing::Values(TimeCase{"7:00", 7, 0}, TimeCase{"7:0", 7, 0}, TimeCase{"09:30", 9, 30},
                                           TimeCase{"24:1", 24, 1}, TimeCase{"12.15", 12, 15}));

TEST(Meals, UnreadableTimesFail) {
    for (const char* text : {"", "7", "7:", "noon", ":30"})
        EXPECT_THROW(MealTime::FromText(text), Xml::XmlError) << text;
}

TEST(Meals, MealRoundTripAndRequiredAttributes) {
    XmlFixture xml;
    CMeal("Tea", {.minutes = 5, .hours = 16}).Save(xml.root);
    XmlDocument back;
    CMeal read;
    read.Load(xml.Reparsed(back, "Meal"));
    EXPECT_EQ("Tea", read.Name());
    EXPECT_EQ("16:5", read.startTime.Text());

    for (const char* broken : {R"(<Meal id="Tea"/>)", R"(<Meal time="16:05"/>)"}) {
        XmlDocument doc;
        EXPECT_THROW(read.Load(XmlFixture::Parse(doc, broken)), Xml::XmlError) << broken;
    }
}

}  // namespace
