#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const std::string kFixture = VELMORA_SOURCE_DIR "/tests/data/tools/usda_sr24";

struct CliRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs velmora-cli with the arguments (each quoted for the shell) in its own application folder.
CliRun RunCli(const TempDir& dir, const std::vector<std::string>& args) {
    std::string cmd = std::string("'") + VELMORA_BIN_DIR + "/velmora-cli' --app-dir '" + dir.Path().string() + "'";
    for (const auto& a : args) cmd += " '" + a + "'";
    cmd += " >'" + dir.File("stdout.txt") + "' 2>'" + dir.File("stderr.txt") + "'";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("stdout.txt"), dir.Read("stderr.txt")};
}

TEST(ConvertUsdaCommand, WritesTheFileAndTellsWhatItHolds) {
    TempDir dir;
    const CliRun r = RunCli(dir, {"convert-usda", kFixture, dir.File("usda.xml")});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_THAT(r.out, HasSubstr(dir.File("usda.xml") + ": 4 foods, 4 groups, 13 nutrients, 6 portions"));
    EXPECT_THAT(r.out, HasSubstr("Left out 2 deprecated foods and 1 foods without nutrients"));
    EXPECT_THAT(r.err, HasSubstr("note: nutrient \"Glitter\" is not known"));
    EXPECT_THAT(dir.Read("usda.xml"), HasSubstr("<DataSource Name=\"USDA SR24\""));
}

TEST(ConvertUsdaCommand, BadSourceFailsWithoutCreatingTheOutput) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "empty");
    const CliRun r = RunCli(dir, {"convert-usda", dir.File("empty"), dir.File("usda.xml")});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_THAT(r.err, HasSubstr(dir.File("empty") + "/foods.index: missing"));
    EXPECT_THAT(r.out, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("usda.xml")));
}

TEST(ConvertUsdaCommand, UnwritableOutputIsAnError) {
    TempDir dir;
    const CliRun r = RunCli(dir, {"convert-usda", kFixture, dir.File("no/such/folder/usda.xml")});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_THAT(r.err, HasSubstr(dir.File("no/such/folder/usda.xml")));
}

TEST(ConvertUsdaCommand, WantsTwoArguments) {
    TempDir dir;
    const CliRun r = RunCli(dir, {"convert-usda", kFixture});
    EXPECT_EQ(2, r.exitCode);
    EXPECT_THAT(r.err, HasSubstr("convert-usda needs SOURCE and OUT.xml"));
}

}  // namespace
