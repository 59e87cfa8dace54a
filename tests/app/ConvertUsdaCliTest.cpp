#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const std::string kFixture = VELMORA_SOURCE_DIR "/tests/data/tools/usda_sr24";

TEST(ConvertUsdaCommand, WritesTheFileAndTellsWhatItHolds) {
    TempDir dir;
    const ProgramRun r = RunCli(dir, {"convert-usda", kFixture, dir.File("usda.xml")});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_THAT(r.out, HasSubstr(dir.File("usda.xml") + ": 4 foods, 4 groups, 16 nutrients, 6 portions"));
    EXPECT_THAT(r.out, HasSubstr("Left out 2 deprecated foods and 1 foods without nutrients"));
    EXPECT_THAT(r.err, HasSubstr("note: nutrient \"Glitter\" is not known"));
    EXPECT_THAT(dir.Read("usda.xml"), HasSubstr("<DataSource Name=\"USDA SR24\""));
}

TEST(ConvertUsdaCommand, BadSourceFailsWithoutCreatingTheOutput) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "empty");
    const ProgramRun r = RunCli(dir, {"convert-usda", dir.File("empty"), dir.File("usda.xml")});
    EXPECT_EQ(1, r.code);
    EXPECT_THAT(r.err, HasSubstr(dir.File("empty") + "/foods.index: missing"));
    EXPECT_THAT(r.out, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("usda.xml")));
}

TEST(ConvertUsdaCommand, UnwritableOutputIsAnError) {
    TempDir dir;
    const ProgramRun r = RunCli(dir, {"convert-usda", kFixture, dir.File("no/such/folder/usda.xml")});
    EXPECT_EQ(1, r.code);
    EXPECT_THAT(r.err, HasSubstr(dir.File("no/such/folder/usda.xml")));
}

TEST(ConvertUsdaCommand, WantsTwoArguments) {
    TempDir dir;
    const ProgramRun r = RunCli(dir, {"convert-usda", kFixture});
    EXPECT_EQ(2, r.code);
    EXPECT_THAT(r.err, HasSubstr("convert-usda needs SOURCE and OUT.xml"));
}

}  // namespace
