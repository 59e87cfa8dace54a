// velmora-cli's profile and day commands, run as a user would run them.

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

namespace {

const std::string kData = std::string(VELMORA_TEST_DATA) + "/document/";

using Result = ProgramRun;

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CliProfile : public ::testing::Test {
protected:
    Result Run(const std::vector<std::string>& args) {
        return RunCli(dir, args, {"--data-source", kData + "foods.xml", "--today", "20240310"});
    }

    // A new profile at `profile`.
    void NewProfile() {
        const Result r = Run({"profile", "new", profile});
        ASSERT_EQ(0, r.code) << r.err;
    }

    TempDir dir;
    const std::string profile = dir.File("profiles/Ann Lee");

    void SetUp() override { dir.Write("profiles/.keep", ""); }
};

TEST_F(CliProfile, ANewProfileChecksCleanAndIsNotOverwritten) {
    NewProfile();
    const std::string written = dir.Read("profiles/Ann Lee");
    EXPECT_THAT(written, HasSubstr("<root app=\"velmora\" type=\"profile\" version=\"1\">"));
    EXPECT_THAT(written, HasSubstr("<NutrientRequirement gid=\"29\""));

    const Result check = Run({"profile", "check", profile});
    EXPECT_EQ(0, check.code) << check.err;
    EXPECT_EQ("", check.out);

    const Result again = Run({"profile", "new", profile});
    EXPECT_EQ(1, again.code);
    EXPECT_THAT(again.err, HasSubstr("exists already"));
    EXPECT_EQ(written, dir.Read("profiles/Ann Lee"));
}

TEST_F(CliProfile, CheckPrintsTheLoadReport) {
    const Result r = Run({"profile", "check", kData + "lost-data.xml"});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ("Unknown food reference\n\tOld Cake\nUnknown nutrient\n\tUnobtainium : mg\n\tKryptonite : g\n", r.out);
}

TEST_F(CliProfile, CheckOfABrokenFilePrintsTheReadersError) {
    const std::string path = kData + "broken/app-other-case.xml";
    const Result r = Run({"profile", "check", path});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("", r.out);
    EXPECT_EQ("Can't load file:\n" + path + "\n", r.err);

    const Result missing = Run({"profile", "check", dir.File("none")});
    EXPECT_EQ(1, missing.code);
    EXPECT_EQ("Can't open file:\n" + dir.File("none") + "\nNo such file or directory\n", missing.err);
}

TEST_F(CliProfile, FoodsAndFactsAddedToADayAreShown) {
    NewProfile();
    ASSERT_EQ(0,
              Run({"day", "add", profile, "--date", "20240301", "--food", "7:100", "--grams", "150", "--meal", "Lunch"})
                  .code);
    ASSERT_EQ(0, Run({"day", "add", profile, "--date", "20240301", "--food", "7:101", "--grams", "240"}).code);
    ASSERT_EQ(0, Run({"day", "fact", profile, "--date", "20240301", "--name", "Weight", "--value", "61.5"}).code);

    // The last day of the file is current after reading.
    const Result r = Run({"day", "show", profile});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Day 20240301\n"));
    // A food added by key is kept in grams.
    EXPECT_THAT(r.out, MatchesRegex("(.|\n)*\n  Stew +Lunch +150 +g +150\n(.|\n)*"));
    EXPECT_THAT(r.out, MatchesRegex("(.|\n)*\n  Broth +- +240 +g +240\n(.|\n)*"));
    // Protein: 150 g × 10 + 240 g × 1 per 100 g.
    EXPECT_THAT(r.out, MatchesRegex("(.|\n)*\n  Protein +g +- +- +17.4 +-\n(.|\n)*"));
    EXPECT_THAT(r.out, MatchesRegex("(.|\n)*\n  Weight +61.5 +kg\n(.|\n)*"));

    const Result other = Run({"day", "show", profile, "--date", "20240302"});
    ASSERT_EQ(0, other.code) << other.err;
    EXPECT_THAT(other.out, HasSubstr("Day 20240302\nFoods:\n  (none)\n"));
}

TEST_F(CliProfile, RecentFoodsListFavouritesThenTheLatestWithTheirLastAmounts) {
    NewProfile();
    ASSERT_EQ(0, Run({"day", "add", profile, "--date", "20240301", "--food", "7:100", "--grams", "150"}).code);
    ASSERT_EQ(0, Run({"day", "add", profile, "--date", "20240302", "--food", "7:101", "--grams", "240"}).code);
    ASSERT_EQ(0, Run({"day", "add", profile, "--date", "20240302", "--food", "7:100"}).code);  // 0 g
    std::string text = dir.Read("profiles/Ann Lee");
    const std::string log = "    <Log>";
    text.replace(text.find(log), 0, "    <FavouriteFoods><Food source=\"7\" key=\"103\"/></FavouriteFoods>\n");
    dir.Write("profiles/Ann Lee", text);

    const Result r = Run({"foods", "recent", profile});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("*7:103\tNuts\t\t\n7:100\tStew\t150\tg\n7:101\tBroth\t240\tg\n", r.out);

    const Result missing = Run({"foods", "recent"});
    EXPECT_EQ(2, missing.code);
    EXPECT_THAT(missing.err, HasSubstr("foods recent needs one profile FILE"));
}

TEST_F(CliProfile, IntakesAreJudgedAgainstTheLimits) {
    const Result r = Run({"day", "show", kData + "lost-data.xml"});
    ASSERT_EQ(0, r.code) << r.err;
    // Iron at least 8 mg; the day has none.
    EXPECT_THAT(r.out, MatchesRegex("(.|\n)*\n  Iron +mg +8 +- +0 +no\n(.|\n)*"));
}

struct BadInputCase {
    const char* name;
    std::vector<std::string> args;  // after the profile path
    const char* message;
    friend void PrintTo(const BadInputCase& c, std::ostream* os) { *os << c.name; }
};

class CliProfileBadInput : public CliProfile, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(CliProfileBadInput, IsRefusedAndTheFileStaysAsItWas) {
    NewProfile();
    const std::string before = dir.Read("profiles/Ann Lee");
    std::vector<std::string> args = {"day", GetParam().args[0], profile};
    args.insert(args.end(), GetParam().args.begin() + 1, GetParam().args.end());
    const Result r = Run(args);
    EXPECT_EQ(1, r.code);
    EXPECT_THAT(r.err, HasSubstr(GetParam().message));
    EXPECT_EQ(before, dir.Read("profiles/Ann Lee"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliProfileBadInput,
    ::testing::Values(
        BadInputCase{"UnknownFood", {"add", "--date", "20240301", "--food", "7:999"}, "no food 7:999"},
        BadInputCase{"FoodNotAKey", {"add", "--date", "20240301", "--food", "stew"}, "SOURCE:KEY"},
        BadInputCase{"BadDate", {"add", "--date", "20240231", "--food", "7:100"}, "'20240231' is not a date"},
        BadInputCase{"UnknownMeal",
                     {"add", "--date", "20240301", "--food", "7:100", "--meal", "Elevenses"},
                     "unknown meal 'Elevenses'"},
        BadInputCase{"NegativeGrams", {"add", "--date", "20240301", "--food", "7:100", "--grams", "-5"}, "negative"},
        BadInputCase{
            "UnknownFact", {"fact", "--date", "20240301", "--name", "Height", "--value", "2"}, "no fact 'Height'"},
        BadInputCase{"FactValueNotANumber",
                     {"fact", "--date", "20240301", "--name", "Weight", "--value", "heavy"},
                     "must be a number"},
        BadInputCase{"ShowBadDate", {"show", "--date", "2024-03-01"}, "is not a date"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliProfile, ADayCommandOnAnUnreadableFileFails) {
    dir.Write("broken", "<root app=\"velmora\"><Profile>");
    const Result r = Run({"day", "add", dir.File("broken"), "--date", "20240301", "--food", "7:100"});
    EXPECT_EQ(1, r.code);
    EXPECT_THAT(r.err, HasSubstr("Can't open file:\n" + dir.File("broken")));
    EXPECT_EQ("<root app=\"velmora\"><Profile>", dir.Read("broken"));
}

TEST_F(CliProfile, ListShowsTheProfilesTheChoosersOffer) {
    NewProfile();
    ASSERT_EQ(0, Run({"day", "fact", profile, "--date", "20240301", "--name", "Weight", "--value", "61"}).code);
    ASSERT_TRUE(std::filesystem::exists(profile + "~"));  // the backup of the first version
    dir.Write("profiles/.Ann Lee.a1B2c3", "a save cut off");
    dir.Write("profiles/Bob", "<root/>");
    const Result r = Run({"profile", "list"});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ("Ann Lee\nBob\n", r.out);
}

// Two loops of the command line writing one profile at the same time: each command waits for the
// other's save, so every day either of them logged is in the file.
TEST_F(CliProfile, ConcurrentWritersLoseNoDay) {
    NewProfile();
    constexpr int kPerLoop = 40;
    const std::string cli = std::string(VELMORA_BIN_DIR) + "/velmora-cli";
    auto quote = [](const std::string& s) { return "'" + s + "'"; };
    std::vector<std::string> dates;
    std::string script;
    for (int loop = 0; loop < 2; ++loop) {
        script += "(";
        for (int i = 0; i < kPerLoop; ++i) {
            char date[9];
            std::snprintf(date, sizeof date, "20%02d%02d%02d", 20 + loop, 1 + i / 28, 1 + i % 28);
            dates.push_back(date);
            script += quote(cli) + " --app-dir " + quote(dir.Path().string()) + " --data-source " +
                      quote(kData + "foods.xml") + " day add " + quote(profile) + " --date " + date +
                      " --food 7:100 --grams 10 >/dev/null 2>&1 || echo failed " + date + "; ";
        }
        script += ") & ";
    }
    script += "wait";
    const Result r = RunProgram("/bin/sh", {"-c", script}, dir);
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("", r.out);  // every command succeeded

    const std::string written = dir.Read("profiles/Ann Lee");
    int missing = 0;
    for (const std::string& date : dates)
        if (written.find("<LogDay date=\"" + date + "\">") == std::string::npos) ++missing;
    EXPECT_EQ(0, missing) << "of " << dates.size() << " days";
    EXPECT_EQ(0, Run({"profile", "check", profile}).code);
}

// Reading a profile that names nutrients and a food the data source lacks drops them; a command
// that saves would make that loss final, so it shows what would go and writes nothing unless told.
TEST_F(CliProfile, AChangeThatWouldLoseDataIsOnlySavedWithForce) {
    dir.Write("profiles/Ole", ReadWhole(kData + "lost-data.xml"));
    const std::string path = dir.File("profiles/Ole");
    const std::string before = dir.Read("profiles/Ole");
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"day", "add", path, "--date", "20240301", "--food", "7:100"},
          std::vector<std::string>{"day", "fact", path, "--date", "20240301", "--name", "Weight", "--value", "80"}}) {
        const Result refused = Run(command);
        EXPECT_EQ(1, refused.code);
        EXPECT_THAT(refused.err, HasSubstr("Unknown nutrient\n\tUnobtainium : mg\n\tKryptonite : g\n"));
        EXPECT_THAT(refused.err, HasSubstr("--force"));
        EXPECT_EQ(before, dir.Read("profiles/Ole"));
    }

    std::vector<std::string> forced = {"day", "add", path, "--date", "20240301", "--food", "7:100", "--force"};
    const Result r = Run(forced);
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_THAT(dir.Read("profiles/Ole"), HasSubstr("<LogDay date=\"20240301\">"));
    EXPECT_THAT(dir.Read("profiles/Ole"), ::testing::Not(HasSubstr("Unobtainium")));
}

// A profile of the release that followed fluoride, manganese and pantothenic acid under their USDA
// numbers is neither reported as losing them nor refused for a change; the change saves today's.
TEST_F(CliProfile, NutrientsUnderFormerNumbersNeedNoForce) {
    dir.Write("profiles/Ida", ReadWhole(kData + "usda-numbers-profile.xml"));
    const std::string path = dir.File("profiles/Ida");
    const std::vector<std::string> source = {"--data-source", kData + "usda-numbers-foods.xml", "--today", "20240310"};

    const Result check = RunCli(dir, {"profile", "check", path}, source);
    EXPECT_EQ(0, check.code) << check.err;
    EXPECT_EQ("", check.out);

    const Result add = RunCli(dir, {"day", "add", path, "--date", "20240106", "--food", "7:14355"}, source);
    ASSERT_EQ(0, add.code) << add.err;
    const std::string saved = dir.Read("profiles/Ida");
    for (const char* gid : {"gid=\"108\"", "gid=\"75\"", "gid=\"81\""}) EXPECT_THAT(saved, HasSubstr(gid));
    EXPECT_THAT(saved, ::testing::Not(HasSubstr("gid=\"313\"")));
}

}  // namespace
