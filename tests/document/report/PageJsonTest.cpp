// The JSON the pages receive for their placeholders, and how it gets into the page text.

#include "document/report/PageTemplate.h"

#include "support/ExchangeFixture.h"

#include <gtest/gtest.h>

#include <sstream>

using NS_Data::CUserLog;

namespace {

Json::Value Parse(const std::string& text) {
    Json::CharReaderBuilder builder;
    std::string errors;
    Json::Value value;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(builder, in, &value, &errors)) << errors << "\n" << text;
    return value;
}

// Numbers are compared by value: the log writes doubles, a hand-written expectation has integers.
bool SameJson(const Json::Value& a, const Json::Value& b) {
    if (a.isNumeric() && b.isNumeric()) return a.asDouble() == b.asDouble();
    if (a.type() != b.type()) return false;
    if (a.isArray()) {
        if (a.size() != b.size()) return false;
        for (Json::ArrayIndex i = 0; i < a.size(); ++i)
            if (!SameJson(a[i], b[i])) return false;
        return true;
    }
    if (a.isObject()) {
        if (a.getMemberNames() != b.getMemberNames()) return false;
        for (const std::string& name : a.getMemberNames())
            if (!SameJson(a[name], b[name])) return false;
        return true;
    }
    return a == b;
}

struct ShapeCase {
    const char* name;
    const char* day;  // made current before writing
    const char* placeholder;
    const char* expected;  // JSON
};

class PlaceholderShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(PlaceholderShape, IsWhatThePagesRead) {
    const ShapeCase& c = GetParam();
    auto log = ExchangeFixture::LogOn(c.day);
    const Json::Value written = Parse(Page::PlaceholderJson(log.get(), c.placeholder));
    const Json::Value expected = Parse(c.expected);
    EXPECT_TRUE(SameJson(expected, written))
        << "expected " << expected.toStyledString() << "written " << written.toStyledString();
}

// The day 20260110 as every page gets it: the food under its current name, 100 g in a cup of
// 240 g as 0.417, a food the data source lacks under its stored name, "" for no meal.
#define DAY_20260110                                                                       \
    R"({"date": "20260110", "facts": [{"name": "Weight", "value": 61.5}],)"                \
    R"( "food": [{"amount": 0.417, "meal": "Breakfast", "name": "Stew", "units": "cup"},)" \
    R"(          {"amount": 3, "meal": "Lunch", "name": "Stew", "units": "piece"},)"       \
    R"(          {"amount": 2, "meal": "", "name": "Broth", "units": "tablespoon"},)"      \
    R"(          {"amount": 5, "meal": "Elevenses", "name": "Salt", "units": "g"},)"       \
    R"(          {"amount": 20, "meal": "Breakfast", "units": "g",)"                       \
    R"(           "name": "Soup </script><script>alert(1)</script> & more"}]})"

INSTANTIATE_TEST_SUITE_P(
    Table, PlaceholderShape,
    ::testing::Values(
        // The month key holds the year: January 2025 stays out, and so does the empty day.
        ShapeCase{"MonthOfTheCurrentDay", "20260110", CUserLog::kJsonLog,
                  R"({"currentDay": "20260110", "log": [)"
                  R"({"date": "20260105", "facts": [{"name": "Mood", "value": 4}], "food": null}, )" DAY_20260110 "]}"},
        ShapeCase{"MonthWithoutAnyNonEmptyDay", "20260315", CUserLog::kJsonLog,
                  R"({"currentDay": "20260315", "log": null})"},
        ShapeCase{"DayWithAFactAndNoFood", "20260105", CUserLog::kJsonDay,
                  R"({"log": [{"date": "20260105", "facts": [{"name": "Mood", "value": 4}], "food": null}]})"},
        ShapeCase{"DayWithFoodAndAFact", "20260110", CUserLog::kJsonDay, R"({"log": [)" DAY_20260110 "]}"},
        ShapeCase{"EmptyDay", "20260315", CUserLog::kJsonDay, R"({"log": null})"},
        // Targets that are not set go out as the marker; the pages test for it.
        ShapeCase{"FactDefinitions", "20260110", CUserLog::kJsonMeasures,
                  R"({"facts": [{"name": "Weight", "units": "kg", "value": -1234567890},)"
                  R"(           {"name": "Extra Energy", "units": "kcal", "value": -1234567890},)"
                  R"(           {"name": "Mood", "units": "points", "value": 5}]})"},
        ShapeCase{"KeyInOtherLetterCase", "20260110", "%json_userlog_log%", "null"},
        ShapeCase{"KeyWithoutPercentSigns", "20260110", "JSON_MEASURES", "null"}),
    [](const auto& info) { return info.param.name; });

TEST(PageJson, OnlyTheLogsOwnKeysAreAnswered) {
    auto log = ExchangeFixture::ReadLog();
    Json::Value value;
    EXPECT_TRUE(log->WriteJson(value, CUserLog::kJsonMeasures));
    Json::Value untouched;
    EXPECT_FALSE(log->WriteJson(untouched, "%JSON_USERLOG_log%"));
    EXPECT_TRUE(untouched.isNull());
}

// ---- Filling a page ------------------------------------------------------------------------

TEST(PageTemplate, EveryOccurrenceIsReplacedAndTheRestOfThePageKept) {
    auto log = ExchangeFixture::ReadLog();
    const Page::PlaceholderTable table{{CUserLog::kJsonMeasures, log.get()}, {CUserLog::kJsonDay, log.get()}};
    const std::string measures = Page::PlaceholderJson(log.get(), CUserLog::kJsonMeasures, Page::JsonLayout::Compact);

    EXPECT_EQ("<p>" + measures + "</p>" + measures + "|" + measures + "%JSON_MEASURES",
              Page::FillPlaceholders("<p>%JSON_MEASURES%</p>%JSON_MEASURES%|%JSON_MEASURES%%JSON_MEASURES", table));
    EXPECT_EQ("<html>no placeholders, 100% plain</html>",
              Page::FillPlaceholders("<html>no placeholders, 100% plain</html>", table));
}

TEST(PageTemplate, InsertedJsonIsNeverSearchedAgain) {
    auto log = ExchangeFixture::LogOn("20260110");
    // A fact named like a later key, and a food named like its own key.
    log->Facts().AddOrUpdate(UserLog::CFactReference(CUserLog::kJsonLog, 1, ""));
    CDS_Ingredient food;
    food.SetFoodKey(FoodKey(555, 7));
    food.SetName(CUserLog::kJsonDay);
    log->AddFood(10, 0, "", food);

    const Page::PlaceholderTable table{
        {CUserLog::kJsonLog, log.get()}, {CUserLog::kJsonDay, log.get()}, {CUserLog::kJsonMeasures, log.get()}};
    const std::string page =
        Page::FillPlaceholders("m=%JSON_MEASURES%;;d=%JSON_USERLOG_DAY%;;l=%JSON_USERLOG_LOG%", table);

    const std::size_t d = page.find(";;d=");
    const std::size_t l = page.find(";;l=");
    ASSERT_NE(std::string::npos, d);
    ASSERT_NE(std::string::npos, l);
    const Json::Value measures = Parse(page.substr(2, d - 2));
    const Json::Value day = Parse(page.substr(d + 4, l - d - 4));
    EXPECT_EQ(CUserLog::kJsonLog, measures["facts"][3]["name"].asString());
    EXPECT_EQ(CUserLog::kJsonDay, day["log"][0]["food"][5]["name"].asString());
    EXPECT_EQ("20260110", Parse(page.substr(l + 4))["currentDay"].asString());
}

TEST(PageTemplate, NamesCannotCloseTheScriptTheyAreInsertedInto) {
    auto log = ExchangeFixture::LogOn("20260110");
    const std::string page =
        Page::FillPlaceholders("<script>var day = %JSON_USERLOG_DAY%;</script>", {{CUserLog::kJsonDay, log.get()}});

    EXPECT_EQ(page.size() - std::string("</script>").size(), page.find("</script>"));
    EXPECT_EQ(0u, page.rfind("<script>"));
    EXPECT_EQ(std::string::npos, page.find('&'));
    // The escapes are JSON's own: the page's script reads the name as it was written.
    const std::string json = page.substr(std::string("<script>var day = ").size());
    EXPECT_EQ(ExchangeFixture::kScriptName,
              Parse(json.substr(0, json.rfind(';')))["log"][0]["food"][4]["name"].asString());
}

}  // namespace
