#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const std::string kFixture = VELMORA_SOURCE_DIR "/tests/data/tools/ifct/index.csv";

TEST(ConvertIfctCommand, WritesTheFileThatFoodSearchThenReads) {
    TempDir dir;
    const ProgramRun r = RunCli(dir, {"convert-ifct", kFixture, dir.File("ifct.xml")});
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Wrote " + dir.File("ifct.xml") + ": 5 foods, 4 groups, 15 nutrients"));
    EXPECT_THAT(r.err, HasSubstr("note: energy given as 0, computed from protein, fat and carbohydrate for 1 food: "
                                 "T013 Ghee (884 kcal)\n"));

    const ProgramRun search = RunCli(dir, {"--data-source", dir.File("ifct.xml"), "foods", "search", "gai doodh"});
    EXPECT_EQ(0, search.code) << search.err;
    EXPECT_EQ("2:12002\tMilk, whole, Cow (H. Gai ka doodh)\n", search.out);
}

TEST(ConvertIfctCommand, BadSourceFailsWithoutCreatingTheOutput) {
    TempDir dir;
    dir.Write("index.csv", "\"Food Code; code\",\"Food Name; name\"\n\"A001\",\"Rice\"\n");
    const ProgramRun r = RunCli(dir, {"convert-ifct", dir.File("index.csv"), dir.File("ifct.xml")});
    EXPECT_EQ(1, r.code);
    EXPECT_THAT(r.err, HasSubstr(dir.File("index.csv") + ": no column grup, enerc, protcnt, fatce, choavldf"));
    EXPECT_THAT(r.out, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("ifct.xml")));
}

TEST(ConvertIfctCommand, WantsTwoArguments) {
    TempDir dir;
    const ProgramRun r = RunCli(dir, {"convert-ifct", kFixture});
    EXPECT_EQ(2, r.code);
    EXPECT_THAT(r.err, HasSubstr("convert-ifct needs SOURCE and OUT.xml"));
}

}  // namespace
