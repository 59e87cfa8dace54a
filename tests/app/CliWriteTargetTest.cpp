// Every command that writes a file, pointed at something that is no regular file: the command
// fails and says so, and what stood there is left as it was.

#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;

const std::string kFoods = std::string(VELMORA_SOURCE_DIR) + "/tests/data/document/foods.xml";
const std::string kIfct = std::string(VELMORA_SOURCE_DIR) + "/tests/data/tools/ifct/index.csv";

struct WriteCase {
    const char* what;
    // Where the FIFO goes, and the command with "@" for that place (for a link to it when
    // `throughLink`).
    const char* fifo;
    std::vector<std::string> args;
    bool throughLink = false;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.what; }

class CliWriteTarget : public testing::TestWithParam<WriteCase> {};

TEST_P(CliWriteTarget, RefusesAFifoAndLeavesIt) {
    const WriteCase& c = GetParam();
    TempDir dir;
    ASSERT_EQ(0, RunCli(dir, {"--data-source", kFoods, "profile", "new", dir.File("p.vlx")}).code);
    const std::string fifo = dir.File(c.fifo);
    std::filesystem::create_directories(std::filesystem::path(fifo).parent_path());
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    std::string named = fifo;
    if (c.throughLink) {
        named = dir.File("link");
        std::filesystem::create_symlink(fifo, named);
    }
    std::vector<std::string> args = {"--data-source", kFoods};
    for (const std::string& a : c.args) {
        if (a == "@")
            args.push_back(named);
        else if (a == "p.vlx")
            args.push_back(dir.File(a));
        else
            args.push_back(a);
    }

    const ProgramRun r = RunCli(dir, args);
    EXPECT_NE(0, r.code) << r.out;
    EXPECT_THAT(r.err, HasSubstr("it is a pipe (FIFO), not a regular file"));
    struct stat st {};
    ASSERT_EQ(0, ::lstat(fifo.c_str(), &st));
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_FALSE(std::filesystem::exists(fifo + ".broken"));
}

INSTANTIATE_TEST_SUITE_P(
    Writers, CliWriteTarget,
    ::testing::Values(WriteCase{"CsvExport",
                                "out.csv",
                                {"export", "csv", "--daily", "--from", "20240101", "--to", "20240102", "p.vlx", "@"}},
                      WriteCase{"CsvExportThroughALink",
                                "out.csv",
                                {"export", "csv", "--daily", "--from", "20240101", "--to", "20240102", "p.vlx", "@"},
                                true},
                      WriteCase{"ProfileBackup",
                                "p.vlx~",
                                {"day", "fact", "p.vlx", "--date", "20240101", "--name", "Weight", "--value", "70"}},
                      WriteCase{"MyFoods",
                                "mine.xml",
                                {"--my-foods", "@", "foods", "add", "--name", "Oat bar", "--nutrient", "208=380"}},
                      WriteCase{"ConvertedTable", "ifct.xml", {"convert-ifct", kIfct, "@"}}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.what); });

// Standard output as a file name leads through /proc to a pipe; the message names the path given,
// not the pipe's inner name.
TEST(CliWriteTarget, StandardOutputIsNamedAsGivenAndRefused) {
    TempDir dir;
    ASSERT_EQ(0, RunCli(dir, {"--data-source", kFoods, "profile", "new", dir.File("p.vlx")}).code);
    const ProgramRun r = RunCli(dir, {"--data-source", kFoods, "export", "csv", "--daily", "--from", "20240101", "--to",
                                      "20240102", dir.File("p.vlx"), "/dev/stdout"});
    EXPECT_NE(0, r.code);
    EXPECT_EQ("", r.out);
    EXPECT_THAT(r.err, HasSubstr("Can't write file /dev/stdout: it is a pipe (FIFO), not a regular file"));
}

}  // namespace
