// velmora-cli's food and reference intake commands, run as a user would run them.

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kSample = std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/sample.xml";

using Result = ProgramRun;

// An application folder whose config.xml names the given data source.
void WriteConfig(const TempDir& dir, const std::string& dataSource) {
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/data/config.xml");
    std::stringstream text;
    text << in.rdbuf();
    std::string config = text.str();
    const std::string from = "<value>foods/usda-sr24.xml</value>";
    config.replace(config.find(from), from.size(), "<value>" + dataSource + "</value>");
    dir.Write("config.xml", config);
}

}  // namespace

struct CliCase {
    const char* what;
    std::vector<std::string> args;
    int code;
    const char* out;
    const char* err;  // a part of standard error
};

void PrintTo(const CliCase& c, std::ostream* os) { *os << c.what; }

class CliFoods : public testing::TestWithParam<CliCase> {};

TEST_P(CliFoods, Prints) {
    TempDir dir;
    WriteConfig(dir, kSample);
    const Result r = RunCli(dir, GetParam().args);
    EXPECT_EQ(GetParam().code, r.code) << r.err;
    EXPECT_EQ(GetParam().out, r.out);
    EXPECT_NE(std::string::npos, r.err.find(GetParam().err)) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliFoods,
    testing::Values(
        CliCase{"search_ranks_shorter_names_first",
                {"foods", "search", "mIlk"},
                0,
                "7:1002\tMilk, skim\n7:1001\tMilk, whole\n7:1003\tMilk, dry, nonfat\n",
                ""},
        CliCase{"search_narrows",
                {"foods", "search", "beef  raw"},
                0,
                "7:13003\tBeef, steak, raw\n7:13001\tBeef, ground, raw\n",
                ""},
        CliCase{"search_words_as_arguments",
                {"foods", "search", "cheddar", "sharp"},
                0,
                "7:1004\tCHEESE, cheddar, sharp\n",
                ""},
        CliCase{"search_leading_space", {"foods", "search", " milk"}, 0, "", ""},
        CliCase{"search_nothing_found", {"foods", "search", "zzz"}, 0, "", ""},
        CliCase{"tree_settings",
                {"foods", "tree", "1"},
                0,
                "[category] Milk\n   whole\t7:1001\n   skim\t7:1002\n   dry, nonfat\t7:1003\nCheese, "
                "cheddar\t7:1004\nApple\t7:2001\n",
                ""},
        CliCase{"tree_full_title",
                {"foods", "tree", "1", "--full-title"},
                0,
                "[category] Milk\n  Milk, whole\t7:1001\n  Milk, skim\t7:1002\n  Milk, dry, nonfat\t7:1003\n"
                "Cheese, cheddar\t7:1004\nApple\t7:2001\n",
                ""},
        CliCase{"tree_size_4",
                {"foods", "tree", "1", "--size", "4"},
                0,
                "Milk, whole\t7:1001\nMilk, skim\t7:1002\nMilk, dry, nonfat\t7:1003\nCheese, "
                "cheddar\t7:1004\nApple\t7:2001\n",
                ""},
        CliCase{"tree_subgroups_first",
                {"foods", "tree", "1301", "--depth", "0"},
                0,
                "[group] Beef organs\nBeef, steak, raw\t7:13003\nBeef, steak, cooked\t7:13004\n",
                ""},
        CliCase{"tree_nested_categories",
                {"foods", "tree", "1301", "--size", "1"},
                0,
                "[group] Beef organs\n[category] Beef, steak\n   raw\t7:13003\n   cooked\t7:13004\n",
                ""},
        CliCase{"tree_root",
                {"foods", "tree", "0"},
                0,
                "[group] Dairy and Egg Products\n[group] Beef Products\n[group] Mixed Dishes\n",
                ""},
        CliCase{"tree_unknown_group", {"foods", "tree", "5"}, 1, "", "no food group with code 5"},
        CliCase{"dri_values",
                {"dri", "--category", "Female", "--age", "25", "--gid", "13"},
                0,
                "RDA\t18\nAI\t\nUL\t45\n",
                ""},
        CliCase{"dri_fraction",
                {"dri", "--category", "Infant", "--age", "9", "--gid", "19"},
                0,
                "RDA\t\nAI\t0.22\nUL\t\n",
                ""},
        CliCase{"dri_no_row",
                {"dri", "--category", "Female Pregnant", "--age", "51", "--gid", "13"},
                0,
                "RDA\t\nAI\t\nUL\t\n",
                ""},
        CliCase{"dri_unknown_gid",
                {"dri", "--category", "Male", "--age", "30", "--gid", "2"},
                0,
                "RDA\t\nAI\t\nUL\t\n",
                ""},
        CliCase{"dri_bad_category",
                {"dri", "--category", "Adult", "--age", "30", "--gid", "13"},
                2,
                "",
                "--category must be one of"},
        CliCase{"eer_defaults", {"eer"}, 0, "2057.3\n", ""},
        CliCase{"eer_no_weight", {"eer", "--weight", "0"}, 2, "", "--weight must be above 0 and at most 500 (kg)"},
        CliCase{"eer_heavy",
                {"eer", "--category", "Male", "--age", "30", "--weight", "501", "--height", "180"},
                2,
                "",
                "--weight must be above 0 and at most 500 (kg)"},
        CliCase{"eer_tall", {"eer", "--height", "1650"}, 2, "", "--height must be an integer from 50 to 250"}),
    [](const auto& info) { return std::string(info.param.what); });

// What a person types, and the food they look for, on the converted USDA database.
TEST(CliFoods, SearchRanksWhatPeopleLookForFirstOnTheUsdaDatabase) {
    const std::string usda = std::string(VELMORA_BIN_DIR) + "/foods/usda-sr24.xml";
    if (!std::filesystem::exists(usda)) GTEST_SKIP() << "no converted USDA database at " << usda;
    const std::pair<const char*, const char*> cases[] = {
        {"oat", "1:20038\tOats\n"},
        {"apple", "1:9003\tApples, raw, with skin\n"},
        {"banana", "1:9040\tBananas, raw\n"},
        {"broccoli", "1:11090\tBroccoli, raw\n"},
        {"cheese cheddar", "1:1009\tCheese, cheddar\n"},
        {"chicken", "1:5064\tChicken, broilers or fryers, breast, meat only, cooked, roasted\n"},
        {"milk whole", "1:1077\tMilk, whole, 3.25% milkfat, with added vitamin D\n"},  // not buttermilk
        {"honey", "1:19296\tHoney\n"},
    };
    TempDir dir;
    for (const auto& [text, first] : cases) {
        const Result r = RunCli(dir, {"--data-source", usda, "foods", "search", text});
        ASSERT_EQ(0, r.code) << r.err;
        EXPECT_EQ(first, r.out.substr(0, r.out.find('\n') + 1)) << text;
    }
}

// The ten words people type most: the everyday form is among the first three, ahead of the dried,
// powdered and specialty forms that share the word.
TEST(CliFoods, SearchPutsTheEverydayFormOfTheCommonestWordsAmongTheFirstThree) {
    const std::string usda = std::string(VELMORA_BIN_DIR) + "/foods/usda-sr24.xml";
    if (!std::filesystem::exists(usda)) GTEST_SKIP() << "no converted USDA database at " << usda;
    const std::pair<const char*, const char*> cases[] = {
        {"milk", "1:1077\tMilk, whole, 3.25% milkfat, with added vitamin D"},
        {"egg", "1:1123\tEgg, whole, raw, fresh"},
        {"bread", "1:18069\tBread, white, commercially prepared (includes soft bread crumbs)"},
        {"rice", "1:20045\tRice, white, long-grain, regular, cooked"},
        {"chicken", "1:5064\tChicken, broilers or fryers, breast, meat only, cooked, roasted"},
        {"apple", "1:9003\tApples, raw, with skin"},
        {"banana", "1:9040\tBananas, raw"},
        {"cheese", "1:1009\tCheese, cheddar"},
        {"coffee", "1:14209\tCoffee, brewed from grounds, prepared with tap water"},
        {"potato", "1:11674\tPotato, baked, flesh and skin, without salt"},
    };
    TempDir dir;
    for (const auto& [text, everyday] : cases) {
        const Result r = RunCli(dir, {"--data-source", usda, "foods", "search", text});
        ASSERT_EQ(0, r.code) << r.err;
        std::istringstream lines(r.out);
        std::vector<std::string> firstThree;
        for (std::string line; firstThree.size() < 3 && std::getline(lines, line);) firstThree.push_back(line);
        EXPECT_NE(firstThree.end(), std::find(firstThree.begin(), firstThree.end(), everyday)) << text << ":\n"
                                                                                               << r.out.substr(0, 400);
    }
}

TEST(CliFoods, BadDataSourceGivesThePathAndTheReason) {
    TempDir dir;
    const std::string partial = std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/partial.xml";
    WriteConfig(dir, partial);
    Result r = RunCli(dir, {"foods", "search", "bread"});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("", r.out);
    EXPECT_NE(std::string::npos, r.err.find("Can't load data source file: " + partial + "\n")) << r.err;

    r = RunCli(dir, {"--data-source", dir.File("absent.xml"), "foods", "tree", "1"});
    EXPECT_EQ(1, r.code);
    EXPECT_NE(std::string::npos,
              r.err.find("Can't load data source file: " + dir.File("absent.xml") + "\nNo such file or directory"))
        << r.err;
}

// A file named on the command line is taken from where the command runs, not from the
// application folder, and a failure names the path that was tried.
TEST(CliFoods, RelativeDataSourceOptionIsTakenFromTheWorkingFolder) {
    TempDir appDir, work;
    WriteConfig(appDir, "");
    std::filesystem::copy_file(kSample, work.File("mine.xml"));
    appDir.Write("mine.xml", "not a data source");  // what the old rule would have read
    const auto runIn = [&](const std::string& dataSource) {
        return RunProgram(
            "/bin/sh",
            {"-c", "cd \"$0\" && exec \"$1\" --app-dir \"$2\" --data-source \"$3\" foods search milk",
             work.Path().string(), std::string(VELMORA_BIN_DIR) + "/velmora-cli", appDir.Path().string(), dataSource},
            work);
    };
    Result r = runIn("mine.xml");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("Milk, whole")) << r.out;

    r = runIn("absent.xml");
    EXPECT_EQ(1, r.code);
    EXPECT_NE(std::string::npos,
              r.err.find("Can't load data source file: " + work.File("absent.xml") + "\nNo such file or directory"))
        << r.err;
}

TEST(CliFoods, NoDataSourceConfigured) {
    TempDir dir;
    WriteConfig(dir, "");
    const Result r = RunCli(dir, {"foods", "search", "milk"});
    EXPECT_EQ(1, r.code);
    EXPECT_NE(std::string::npos, r.err.find("no data source is configured")) << r.err;
}

// `settings` lists what the program runs on; after a read error it says why on standard error
// and exits non-zero, so a script never takes the installed settings for the file's content.
TEST(CliSettings, ExitsNonZeroAfterAReadError) {
    TempDir dir;
    WriteConfig(dir, kSample);
    Result r = RunCli(dir, {"settings"});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ("", r.err);
    EXPECT_NE(std::string::npos, r.out.find("Data Source (ifile, writable) = " + kSample)) << r.out;

    dir.Write("config.xml", "<settings><section name=\"General\">");
    r = RunCli(dir, {"settings"});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ(0u, r.err.find("Error reading config file: " + dir.File("config.xml") + "\nline 1")) << r.err;
    EXPECT_EQ("<settings><section name=\"General\">", dir.Read("config.xml"));
}
