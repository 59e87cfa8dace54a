// velmora-cli trends and export csv on a small profile, run as a user would run them.

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

const std::string kData = std::string(VELMORA_TEST_DATA) + "/document/";

// Reads a CSV file with Python's csv module and prints each row's fields as JSON strings joined
// by " | ", so that a reader other than ours decides what the file holds.
const char* kReadCsv = R"(import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    for row in csv.reader(f, strict=True):
        print(' | '.join(json.dumps(field, ensure_ascii=False) for field in row))
)";

class CliTrends : public ::testing::Test {
protected:
    ProgramRun Run(const std::vector<std::string>& args) {
        return RunCli(dir, args, {"--data-source", kData + "foods.xml", "--today", "20240310"});
    }
    void Ok(const std::vector<std::string>& args) {
        const ProgramRun r = Run(args);
        ASSERT_EQ(0, r.code) << args[0] << ' ' << args[1] << ": " << r.err;
    }

    // 1 March: stew and broth at lunch; 2 March: only a weight; 4 March: salt (no protein) and a
    // weight; 10 March (today): the empty day a new profile opens on.
    void SetUp() override {
        dir.Write("profiles/.keep", "");
        Ok({"profile", "new", profile});
        Ok({"day", "add", profile, "--date", "20240301", "--food", "7:100", "--grams", "200", "--meal", "Lunch"});
        Ok({"day", "add", profile, "--date", "20240301", "--food", "7:101", "--grams", "240", "--meal", "Lunch"});
        Ok({"day", "fact", profile, "--date", "20240302", "--name", "Weight", "--value", "70.5"});
        Ok({"day", "add", profile, "--date", "20240304", "--food", "7:102", "--grams", "10"});
        Ok({"day", "fact", profile, "--date", "20240304", "--name", "Weight", "--value", "70.1"});
    }

    std::vector<std::string> ReadBack(const std::string& csv) {
        dir.Write("read.py", kReadCsv);
        const ProgramRun r = RunProgram("python3", {dir.File("read.py"), csv}, dir);
        EXPECT_EQ(0, r.code) << r.err;
        std::vector<std::string> rows;
        std::size_t from = 0;
        for (std::size_t end; (end = r.out.find('\n', from)) != std::string::npos; from = end + 1)
            rows.push_back(r.out.substr(from, end - from));
        return rows;
    }

    TempDir dir;
    const std::string profile = dir.File("profiles/Ann Lee");
};

TEST_F(CliTrends, PrintsEveryDayOfTheRangeWithGapsAndTheMean) {
    ProgramRun r = Run({"trends", profile, "--nutrient", "protein", "--from", "20240229", "--to", "20240305"});
    ASSERT_EQ(0, r.code) << r.err;
    // Stew 200 g (20 g protein) and broth 240 g (2.4 g); salt has none: a zero, not a gap.
    EXPECT_EQ(
        "20240229\t\n20240301\t22.4\n20240302\t\n20240303\t\n20240304\t0\n20240305\t\n"
        "average\t11.2\ndays\t2\n",
        r.out);

    r = Run({"trends", profile, "--fact", "Weight", "--from", "20240301", "--to", "20240304"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("20240301\t\n20240302\t70.5\n20240303\t\n20240304\t70.1\naverage\t70.3\ndays\t2\n", r.out);

    // By the data source's name, on one day without any value.
    r = Run({"trends", profile, "--nutrient", "Total lipid (fat)", "--from", "20240303", "--to", "20240303"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("20240303\t\naverage\t\ndays\t0\n", r.out);
}

TEST_F(CliTrends, BadArgumentsAreUsageErrorsAndWriteNothing) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        const char* error;
    };
    const std::string out = dir.File("out.csv");
    const std::vector<std::string> range = {"--from", "20240301", "--to", "20240302"};
    const auto with = [&](std::vector<std::string> args, const std::vector<std::string>& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const Case cases[] = {
        {"unknown nutrient", with({"trends", profile, "--nutrient", "Unobtainium"}, range),
         "the data source has no nutrient 'Unobtainium'"},
        {"unknown fact", with({"trends", profile, "--fact", "Waist"}, range),
         "the profile defines no fact 'Waist' (facts: Weight, Extra Energy)"},
        {"both kinds", with({"trends", profile, "--fact", "Weight", "--nutrient", "Protein"}, range),
         "either --nutrient NAME or --fact NAME"},
        {"no date range", {"trends", profile, "--fact", "Weight"}, "needs --from YYYYMMDD and --to YYYYMMDD"},
        {"bad date",
         {"trends", profile, "--fact", "Weight", "--from", "20240230", "--to", "20240302"},
         "--from needs a date as YYYYMMDD, not '20240230'"},
        {"from after to",
         {"trends", profile, "--fact", "Weight", "--from", "20240303", "--to", "20240302"},
         "--from 20240303 lies after --to 20240302"},
        {"export bad to",
         {"export", "csv", profile, "--daily", "--from", "20240301", "--to", "2024-03-02", out},
         "--to needs a date as YYYYMMDD, not '2024-03-02'"},
        {"export from after to",
         {"export", "csv", profile, "--entries", "--from", "20250101", "--to", "20240101", out},
         "--from 20250101 lies after --to 20240101"},
        {"export without kind", with({"export", "csv", profile, out}, range), "either --entries or --daily"},
        {"export both kinds", with({"export", "csv", profile, "--entries", "--daily", out}, range),
         "either --entries or --daily"},
        {"export without out", with({"export", "csv", profile, "--daily"}, range), "a profile FILE and an OUT.csv"},
        {"export other format", with({"export", "xlsx", profile, "--daily", out}, range), "export needs a format: csv"},
    };
    for (const Case& c : cases) {
        const ProgramRun r = Run(c.args);
        EXPECT_EQ(2, r.code) << c.what;
        EXPECT_THAT(r.err, HasSubstr(c.error)) << c.what;
        EXPECT_EQ("", r.out) << c.what;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.what;
    }
}

TEST_F(CliTrends, CsvReadsBackAsTheLogWithQuotedNames) {
    ProgramRun r = Run({"foods", "add", "--name", "Soup, \"hot\"", "--nutrient", "203=4", "--nutrient", "401=2.5"});
    ASSERT_EQ(0, r.code) << r.err;
    const std::string soup = r.out.substr(0, r.out.find('\n'));
    Ok({"day", "add", profile, "--date", "20240302", "--food", soup, "--grams", "250", "--meal", "Dinner"});

    const std::string entries = dir.File("entries.csv");
    r = Run({"export", "csv", profile, "--from", "20240301", "--to", "20240304", "--entries", entries});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ(
        std::vector<std::string>({
            R"r("date" | "meal" | "food" | "SOURCE:KEY" | "amount" | "unit" | "grams" | "Energy (kcal)" | )r"
            R"r("Protein (g)" | "Total lipid (fat) (g)" | "Carbohydrate, by difference (g)" | "Iron, Fe (mg)" | )r"
            R"r("Vitamin C (mg)")r",
            R"r("20240301" | "Lunch" | "Stew" | "7:100" | "200" | "g" | "200" | "0" | "20" | "10" | "40" | )r"
            R"r("2.47" | "14.5")r",
            R"r("20240301" | "Lunch" | "Broth" | "7:101" | "240" | "g" | "240" | "0" | "2.4" | "0" | "0" | )r"
            R"r("0" | "0")r",
            R"r("20240302" | "Dinner" | "Soup, \"hot\"" | ")r" + soup +
                R"r(" | "250" | "g" | "250" | "0" | "10" | )r"
                R"r("0" | "0" | "0" | "6.3")r",
            R"r("20240304" | "" | "Salt" | "7:102" | "10" | "g" | "10" | "0" | "0" | "0" | "0" | "0" | "0")r",
        }),
        ReadBack(entries));

    const std::string daily = dir.File("daily.csv");
    r = Run({"export", "csv", profile, "--from", "20240229", "--to", "20240310", "--daily", daily});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ(std::vector<std::string>({
                  R"r("date" | "Energy (kcal)" | "Protein (g)" | "Total lipid (fat) (g)" | )r"
                  R"r("Carbohydrate, by difference (g)" | "Iron, Fe (mg)" | "Vitamin C (mg)" | "Weight (kg)" | )r"
                  R"r("Extra Energy (kcal)")r",
                  R"r("20240301" | "0" | "22.4" | "10" | "40" | "2.47" | "14.5" | "" | "")r",
                  R"r("20240302" | "0" | "10" | "0" | "0" | "0" | "6.3" | "70.5" | "")r",
                  R"r("20240304" | "0" | "0" | "0" | "0" | "0" | "0" | "70.1" | "")r",
              }),
              ReadBack(daily));
}

// The mean of the values of `trends` output lines for the days from `first` to `last` (indexes).
double MeanOfLines(const std::string& out, std::size_t first, std::size_t last) {
    std::vector<double> values;
    std::size_t from = 0, line = 0;
    for (std::size_t end; (end = out.find('\n', from)) != std::string::npos; from = end + 1, ++line) {
        const std::string text = out.substr(from, end - from);
        const std::size_t tab = text.find('\t');
        if (line >= first && line <= last && tab + 1 < text.size()) values.push_back(std::stod(text.substr(tab + 1)));
    }
    double sum = 0;
    for (double v : values) sum += v;
    return values.empty() ? NAN : sum / static_cast<double>(values.size());
}

TEST(CliSampleProfile, ThreeMealsADayAndAWeightThatGoesDown) {
    TempDir dir;
    const std::string profile = dir.File("Sample");
    const ProgramRun refused = RunCli(dir, {"sample-profile", profile}, {"--data-source", kData + "foods.xml"});
    EXPECT_EQ(1, refused.code);
    EXPECT_THAT(refused.err, HasSubstr("the sample profile needs the USDA SR24 table"));
    EXPECT_FALSE(std::filesystem::exists(profile));

    const std::string usda = std::string(VELMORA_BIN_DIR) + "/foods/usda-sr24.xml";
    if (!std::filesystem::exists(usda)) GTEST_SKIP() << "no converted USDA database at " << usda;
    const auto run = [&](const std::vector<std::string>& args) {
        return RunCli(dir, args, {"--data-source", usda, "--today", "20240310"});
    };
    ProgramRun r = run({"sample-profile", profile, "--days", "60"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ(profile + ": 60 days from 20240111 to 20240310\n", r.out);

    r = run({"trends", profile, "--fact", "Weight", "--from", "20240111", "--to", "20240310"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_GT(MeanOfLines(r.out, 0, 13), MeanOfLines(r.out, 46, 59) + 2) << r.out;
    EXPECT_NEAR(70.25, MeanOfLines(r.out, 0, 59), 1) << r.out;

    r = run({"trends", profile, "--nutrient", "Energy", "--from", "20240111", "--to", "20240310"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_NEAR(2000, MeanOfLines(r.out, 0, 59), 300) << r.out;
    EXPECT_THAT(r.out, testing::MatchesRegex("(.|\n)*\ndays\t5[0-9]\n"));  // a few days without foods

    r = run({"day", "show", profile, "--date", "20240310"});
    ASSERT_EQ(0, r.code) << r.err;
    for (const char* meal : {"Breakfast", "Lunch", "Dinner"}) EXPECT_THAT(r.out, HasSubstr(meal));

    EXPECT_EQ(1, run({"sample-profile", profile}).code);  // never over an existing file
}

}  // namespace
