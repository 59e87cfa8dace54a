// velmora-cli json and report, run as a user would run them.

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <json/json.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(VELMORA_TEST_DATA) + "/exchange/";

using Result = ProgramRun;

// The templates as the build installs them.
void InstallTemplates(const TempDir& appDir) {
    fs::create_directories(appDir.Path() / "xslt");
    for (const char* name : {"HTML.xsl", "DailyMenu.xsl", "FoodCompare.xsl"})
        fs::copy_file(fs::path(VELMORA_BIN_DIR) / "xslt" / name, appDir.Path() / "xslt" / name);
}

struct CliCase {
    const char* what;
    std::vector<std::string> args;
    int code;
    const char* out;  // a part of standard output
    const char* err;  // a part of standard error
};

void PrintTo(const CliCase& c, std::ostream* os) { *os << c.what; }

class CliExchange : public testing::TestWithParam<CliCase> {};

TEST_P(CliExchange, Prints) {
    TempDir dir;
    InstallTemplates(dir);
    const Result r = RunCli(dir, GetParam().args, {"--data-source", kData + "foods.xml"});
    EXPECT_EQ(GetParam().code, r.code) << r.err;
    EXPECT_NE(std::string::npos, r.out.find(GetParam().out)) << r.out;
    EXPECT_NE(std::string::npos, r.err.find(GetParam().err)) << r.err;
}

const std::string kProfile = kData + "profile.xml";

INSTANTIATE_TEST_SUITE_P(
    Commands, CliExchange,
    testing::Values(
        CliCase{"json_of_a_chosen_day",
                {"json", kProfile, "--placeholder", "%JSON_USERLOG_DAY%", "--date", "20260105"},
                0,
                "\"date\" : \"20260105\"",
                ""},
        CliCase{"json_escapes_script_ends",
                {"json", kProfile, "--placeholder", "%JSON_USERLOG_DAY%", "--date", "20260110"},
                0,
                "Soup \\u003c/script\\u003e",
                ""},
        CliCase{"json_unknown_key_is_null", {"json", kProfile, "--placeholder", "%JSON_OTHER%"}, 0, "null\n", ""},
        CliCase{"summary",
                {"report", kProfile, "--template", "summary", "--date", "20260110"},
                0,
                "Daily summary for Ada Test",
                ""},
        CliCase{"menu_document",
                {"report", kProfile, "--template", "menu", "--xml"},
                0,
                "<root app=\"velmora\" type=\"report\" version=\"/xslt/DailyMenu.xsl\">",
                ""},
        CliCase{"comparison", {"report", "--compare", "7:100,7:101"}, 0, "Food comparison", ""},
        CliCase{"comparison_document",
                {"report", kProfile, "--compare", "7:101", "--xml"},
                0,
                "<ComparedFood>\n    <Food Name=\"Broth\"",
                ""},
        CliCase{
            "missing_profile", {"report", kData + "absent.xml", "--template", "summary"}, 1, "", "Can't open file:\n"},
        CliCase{"not_a_profile",
                {"json", kData + "foods.xml", "--placeholder", "%JSON_MEASURES%"},
                1,
                "",
                "Can't load file:\n"},
        CliCase{
            "unknown_template", {"report", kProfile, "--template", "weekly"}, 2, "", "--template is summary or menu"},
        CliCase{"bad_date",
                {"json", kProfile, "--placeholder", "%JSON_MEASURES%", "--date", "2026-01-10"},
                2,
                "",
                "--date needs a date as YYYYMMDD"},
        CliCase{"bad_food_key", {"report", "--compare", "7-100"}, 2, "", "SOURCE:KEY"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(CliExchange, ATemplateMissingFromTheFolderIsTheProgramsOwnAndABrokenOneIsNamed) {
    TempDir dir;
    InstallTemplates(dir);
    fs::remove(dir.Path() / "xslt" / "DailyMenu.xsl");
    Result r = RunCli(dir, {"report", kProfile, "--template", "menu"}, {"--data-source", kData + "foods.xml"});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("<html")) << r.out;

    dir.Write("xslt/DailyMenu.xsl", "<xsl:stylesheet");
    r = RunCli(dir, {"report", kProfile, "--template", "menu"}, {"--data-source", kData + "foods.xml"});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("", r.out);
    EXPECT_NE(std::string::npos, r.err.find("Can't load template: " + dir.Path().string() + "/xslt/DailyMenu.xsl"))
        << r.err;
}

// The converted USDA database that set-up builds: a real day, as a person would print it.
TEST(CliExchange, SummaryOfADayOnTheUsdaDatabase) {
    const std::string usda = std::string(VELMORA_BIN_DIR) + "/foods/usda-sr24.xml";
    if (!fs::exists(usda)) GTEST_SKIP() << "no converted USDA database at " << usda;
    TempDir dir;
    InstallTemplates(dir);
    const Result r =
        RunCli(dir, {"report", kData + "usda-profile.xml", "--template", "summary"}, {"--data-source", usda});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("Daily summary for Maren Holt"));
    EXPECT_NE(std::string::npos, r.out.find("1\u00A0medium (3\" dia)"));
    EXPECT_NE(std::string::npos, r.out.find("6\u00A0oz"));
    EXPECT_NE(std::string::npos, r.out.find(">µg<"));
    EXPECT_NE(std::string::npos, r.out.find("<tr class=\"high\">\n<td>Cholesterol"));
    EXPECT_EQ("", r.err);
}

}  // namespace
