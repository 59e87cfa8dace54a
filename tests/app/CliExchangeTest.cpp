// velmora-cli json and report, run as a user would run them.

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <json/json.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
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
        CliCase{"bad_food_key", {"report", "--compare", "7-100"}, 2, "", "SOURCE:KEY"},
        CliCase{"dri_current_by_default",
                {"dri", "--category", "Female", "--age", "25", "--gid", "66"},
                0,
                "RDA\t15\nAI\t\nUL\t100\n",
                ""},
        CliCase{"dri_original_edition",
                {"dri", "--category", "Female", "--age", "25", "--gid", "66", "--edition", "original"},
                0,
                "RDA\t\nAI\t5\nUL\t50\n",
                ""},
        CliCase{"dri_unknown_edition",
                {"dri", "--category", "Female", "--age", "25", "--gid", "66", "--edition", "2019"},
                2,
                "",
                "--edition must be \"current\" or \"original\""},
        CliCase{"targets_bad_date", {"targets", kProfile, "--date", "2026-01-10"}, 2, "", "--date needs a date"},
        CliCase{"targets_with_own_limits",
                {"targets", kProfile, "--date", "20260110"},
                0,
                "Protein\t25.3\t70\t\town\t36\tunder\n",
                ""},
        CliCase{"json_day_targets",
                {"json", kProfile, "--placeholder", "%JSON_DAY_TARGETS%", "--date", "20260110"},
                0,
                "\"name\" : \"Energy and macronutrients\"",
                ""}),
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

// The sample profile of a woman of 35 without limits of her own but vitamin B-12's minimum.
std::string UntargetedProfile() {
    std::ifstream in(kProfile);
    std::stringstream text;
    text << in.rdbuf();
    return std::regex_replace(
        text.str(), std::regex(R"re((<NutrientRequirement gid="(1|3|13|29)") min="[^"]*"( max="[^"]*")?)re"), "$1");
}

TEST(CliExchange, TargetsJudgeTheDayByTheReferenceIntakesUnlessTheProfileHasLimits) {
    TempDir dir;
    dir.Write("p.vlx", UntargetedProfile());
    const std::vector<std::string> global = {"--data-source", kData + "foods.xml"};
    Result r = RunCli(dir, {"targets", (dir.Path() / "p.vlx").string(), "--date", "20260110"}, global);
    ASSERT_EQ(0, r.code) << r.err;
    // Energy: 303 kcal against her requirement of 2,099 kcal ±10 %.
    EXPECT_EQ(
        "Energy\t303\t1889\t2309\tEER\t14\tunder\n"  // of the requirement, 2,099
        "Protein\t25.3\t46\t\tRDA\t55\tunder\n"
        "Iron\t75\t18\t45\tRDA+UL\t417\tover\n"
        "Vitamin C\t18.1\t75\t2000\tRDA+UL\t24\tunder\n"
        "Vitamin B-12\t2\t2.4\t\town\t83\tunder\n",
        r.out);

    // Switched off, the nutrients without limits judge nothing.
    dir.Write("config.xml",
              "<settings><section name=\"General\"><param name=\"Default Targets\" type=\"boolean\">"
              "<value>false</value></param></section></settings>");
    r = RunCli(dir, {"targets", (dir.Path() / "p.vlx").string(), "--date", "20260110"}, global);
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("Protein\t25.3\t\t\tnone\t\t\n")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("Vitamin B-12\t2\t2.4\t\town\t83\tunder\n")) << r.out;
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
