#include "model/Meal.h"

#include "support/XmlFixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Meal;
using Xml::XmlDocument;

namespace {

TEST(MealManager, BuiltInListInTimeOrder) {
    CMealManager m;
    ASSERT_EQ(7, m.MealCount());
    const char* names[] = {"Breakfast", "Brunch", "Lunch", "Snack", "Dinner", "Supper", ""};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(names[i], m.MealAt(i).Name()) << i;
}

TEST(MealManager, AFoodEatenAtATimeBelongsToTheMealThatBeganLast) {
    CMealManager m;
    const std::pair<MealTime, const char*> cases[] = {
        {{.minutes = 0, .hours = 5}, "Breakfast"},  // before every meal: an early breakfast
        {{.minutes = 0, .hours = 7}, "Breakfast"}, {{.minutes = 29, .hours = 9}, "Breakfast"},
        {{.minutes = 30, .hours = 9}, "Brunch"},   {{.minutes = 59, .hours = 11}, "Brunch"},
        {{.minutes = 0, .hours = 12}, "Lunch"},    {{.minutes = 59, .hours = 14}, "Lunch"},
        {{.minutes = 0, .hours = 15}, "Snack"},    {{.minutes = 59, .hours = 16}, "Snack"},
        {{.minutes = 0, .hours = 18}, "Dinner"},   {{.minutes = 59, .hours = 23}, "Supper"},
    };
    for (const auto& [time, name] : cases) {
        const CMeal* meal = m.MealForTime(time);
        ASSERT_NE(nullptr, meal) << time.Text();
        EXPECT_EQ(name, meal->Name()) << time.Text();
    }
}

TEST(MealManager, MealAtBeyondTheListFails) {
    CMealManager m;
    for (int position : {7, -1, 100}) {
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
  <Meal id="Snack" time="15:0"/>
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
    ASSERT_EQ(7, m.MealCount());
    EXPECT_EQ("Brunch", m.MealAt(1).Name());
}

TEST(Meals, StableSortByHoursThenMinutes) {
    // Enough meals that a sort could not get away with insertion sort; names give creation order.
    const MealTime times[] = {{.minutes = 5, .hours = 20},
                              {.minutes = 30, .hours = 8},
                              {.minutes = 59, .hours = 6},
                              {.minutes = 0, .hours = 12},
                              {.minutes = 30, .hours = 8}};
    std::vector<CMeal> meals;
    for (int i = 0; i < 60; ++i) meals.emplace_back(std::to_string(i), times[i % 5]);
    SortByStartTime(meals);
    for (std::size_t i = 1; i < meals.size(); ++i) {
        const CMeal& a = meals[i - 1];
        const CMeal& b = meals[i];
        ASSERT_FALSE(StartsBefore(b.startTime, a.startTime)) << i;
        if (!StartsBefore(a.startTime, b.startTime)) {
            EXPECT_LT(std::stoi(a.Name()), std::stoi(b.Name())) << i;
        }
    }
    EXPECT_EQ("2", meals.front().Name());
    EXPECT_EQ("55", meals.back().Name());
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
