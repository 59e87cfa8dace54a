// The user's own foods and recipes, and several food tables, through velmora-cli.

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;

const std::string kSample = std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/sample.xml";

const std::string kSecond = std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/second-table.xml";

// Every run names the sample table as the data source; the user's foods live in the application
// folder as the program keeps them.
class CliMyFoods : public testing::Test {
protected:
    ProgramRun Run(std::vector<std::string> args) { return RunCli(dir, args, {"--data-source", kSample}); }
    std::string MyFoodsFile() const { return dir.File("foods/my-foods.xml"); }

    TempDir dir;
};

}  // namespace

TEST_F(CliMyFoods, AFoodFromALabelAndARecipeAreAddedAndShown) {
    // A label per 30 g serving: 120 kcal, 3 g protein, 40 mg calcium.
    ProgramRun r = Run({"foods", "add", "--name", "Oat bar, \"crunchy\" & sweet", "--per", "30", "--nutrient",
                        "208=120", "--nutrient", "203=3", "--nutrient", "301=40", "--portion", "bar=30"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("1000:1\n", r.out);

    r = Run({"foods", "show", "1000:1"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ(
        "Oat bar, \"crunchy\" & sweet\n"
        "208\tEnergy\t400\tkcal\n"
        "203\tProtein\t10\tg\n"
        "301\tCalcium, Ca\t133.333\tmg\n"
        "portion\tbar\t30\n",
        r.out);

    // 200 g whole milk (61 kcal in 100 g) and 100 g of the bar (400), cooked down to 250 g in 2
    // servings: (122 + 400) × 100 / 250 = 208.8 kcal in 100 g; a serving is 125 g.
    r = Run({"recipe", "add", "--name", "Milk porridge", "--ingredient", "7:1001=200", "--ingredient", "1000:1=100",
             "--cooked-weight", "250", "--servings", "2"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("1000:2\n", r.out);
    r = Run({"foods", "show", "1000:2"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Milk porridge\n208\tEnergy\t208.8\tkcal\n"));
    EXPECT_THAT(r.out, HasSubstr("portion\tserving\t125\nportion\twhole recipe\t250\n"));

    // Searching finds both, like any other food.
    r = Run({"foods", "search", "porridge"});
    EXPECT_EQ("1000:2\tMilk porridge\n", r.out);
}

TEST_F(CliMyFoods, BadFoodsAreRefusedAndNothingIsWritten) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int code;
        const char* err;
    };
    const Case cases[] = {
        {"negative value", {"foods", "add", "--name", "X", "--nutrient", "203=-1"}, 1, "must be a number of 0 or more"},
        {"not a number", {"foods", "add", "--name", "X", "--nutrient", "203=nan"}, 2, "must be a number"},
        {"infinite", {"foods", "add", "--name", "X", "--nutrient", "203=1e999"}, 2, "must be a number"},
        {"unknown nutrient", {"foods", "add", "--name", "X", "--nutrient", "999=1"}, 2, "no food table has a nutrient"},
        {"portion of 0 g", {"foods", "add", "--name", "X", "--portion", "cup=0"}, 1, "must weigh more than 0 g"},
        {"per 0 g", {"foods", "add", "--name", "X", "--per", "0"}, 2, "--per must be more than 0"},
        {"no name", {"foods", "add", "--nutrient", "203=1"}, 2, "needs --name"},
        {"unknown ingredient",
         {"recipe", "add", "--name", "R", "--ingredient", "7:4242=10"},
         1,
         "is not in the food tables"},
        {"bad ingredient", {"recipe", "add", "--name", "R", "--ingredient", "7-1001=10"}, 2, "must be SOURCE:KEY"},
        {"no servings",
         {"recipe", "add", "--name", "R", "--ingredient", "7:1001=10", "--servings", "0"},
         1,
         "must be more than 0"},
        {"values beyond any number", {"recipe", "add", "--name", "R", "--ingredient", "7:1001=1e308"}, 1, "too large"},
        {"a serving beyond any weight",
         {"recipe", "add", "--name", "R", "--ingredient", "7:1001=10", "--servings", "1e-320"},
         1,
         "too large"},
        {"ingredients of 0 g",
         {"recipe", "add", "--name", "R", "--ingredient", "7:1001=0", "--cooked-weight", "100"},
         1,
         "weighs nothing"},
        {"a line break in the name", {"foods", "add", "--name", "Oat\nbar"}, 1, "can't hold control characters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramRun r = Run(c.args);
        EXPECT_EQ(c.code, r.code);
        EXPECT_EQ("", r.out);
        EXPECT_THAT(r.err, HasSubstr(c.err));
        EXPECT_FALSE(std::filesystem::exists(MyFoodsFile()));
    }
    const ProgramRun r = Run({"foods", "show", "1000:1"});
    EXPECT_EQ(1, r.code);
    EXPECT_THAT(r.err, HasSubstr("no food table has the food 1000:1"));
}

TEST_F(CliMyFoods, FurtherTablesLoadBesideTheDataSourceAndABrokenOneIsReported) {
    dir.Write("broken.xml", "<DataSource Name=\"B\" ID=\"3\">");
    const ProgramRun r =
        RunCli(dir, {"foods", "show", "2:1001"},
               {"--data-source", kSample, "--data-source", dir.File("broken.xml"), "--data-source", kSecond});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ("Rice, raw\n208\tEnergy\t356\tkcal\n", r.out);
    EXPECT_THAT(r.err, HasSubstr("Can't load data source file: " + dir.File("broken.xml")));
}

TEST_F(CliMyFoods, AnUnreadableTableIsKeptAsideAndTheUserIsTold) {
    dir.Write("mine.xml", "<DataSource><Food>");
    const ProgramRun r = RunCli(dir, {"foods", "add", "--name", "Y", "--nutrient", "208=10"},
                                {"--data-source", kSample, "--my-foods", dir.File("mine.xml")});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ("1000:1\n", r.out);
    EXPECT_THAT(r.err, HasSubstr("Can't read your own foods from " + dir.File("mine.xml")));
    EXPECT_THAT(r.err, HasSubstr("the file was kept as " + dir.File("mine.xml.broken")));
    EXPECT_EQ("<DataSource><Food>", dir.Read("mine.xml.broken"));
}

// Two loops adding foods at once, as a user's scripts might: every food is kept, under a key of its
// own.
TEST_F(CliMyFoods, TwoWritersAtOnceLoseNoFoodAndShareNoKey) {
    const int each = 25;
    const std::string script =
        "for w in a b; do (for i in $(seq 1 " + std::to_string(each) +
        "); do \"$1\" --app-dir \"$2\" --data-source \"$3\" foods add --name \"$w$i\" --nutrient 208=1"
        " >>\"$2/keys-$w.txt\" || echo failed; done) & done; wait";
    const ProgramRun r = RunProgram(
        "/bin/sh", {"-c", script, "sh", std::string(VELMORA_BIN_DIR) + "/velmora-cli", dir.Path().string(), kSample},
        dir);
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("", r.out);
    std::set<std::string> keys;
    for (const char* w : {"keys-a.txt", "keys-b.txt"}) {
        std::istringstream lines(dir.Read(w));
        for (std::string line; std::getline(lines, line);) EXPECT_TRUE(keys.insert(line).second) << line;
    }
    EXPECT_EQ(2u * each, keys.size());
    const std::string table = dir.Read("foods/my-foods.xml");
    for (const char* w : {"a", "b"})
        for (int i = 1; i <= each; ++i)
            EXPECT_THAT(table, HasSubstr("Name=\"" + std::string(w) + std::to_string(i) + "\"")) << w << i;
}

// A further table that takes the ID of the user's own foods would hide them: a food added would
// get a key no command finds.
TEST_F(CliMyFoods, AFurtherTableWithTheIdOfOwnFoodsIsRefused) {
    std::ifstream second(kSecond);
    std::string table((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
    table.replace(table.find("ID=\"2\""), 6, "ID=\"1000\"");
    dir.Write("mine-too.xml", table);
    ProgramRun r = RunCli(dir, {"foods", "add", "--name", "Oat bar", "--nutrient", "208=400"},
                          {"--data-source", kSample, "--data-source", dir.File("mine-too.xml")});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ("1000:1\n", r.out);
    EXPECT_THAT(r.err, HasSubstr("Its ID 1000 is the ID of a table already loaded"));
    r = RunCli(dir, {"foods", "show", "1000:1"}, {"--data-source", kSample, "--data-source", dir.File("mine-too.xml")});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Oat bar\n"));
}
