// Profile names come from the user and become file names in the profiles folder: no name may
// lead outside it, and the folder's listing shows profiles only.

#include "document/fileio/ProfileName.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using ::testing::UnorderedElementsAre;

namespace {

struct NameCase {
    const char* label;
    std::string name;
    std::string problem;  // empty: accepted
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }
};

std::string Refused(const std::string& character) {
    return "Profile name does not support: '" + character + "' character";
}

class ProfileNameCheck : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProfileNameCheck, AcceptsLettersDigitsAndBlanksOnly) {
    const NameCase& c = GetParam();
    EXPECT_EQ(c.problem, ProfileName::Problem(c.name));
    const std::string path = ProfileName::PathOf("/home/ann/profiles", c.name);
    if (c.problem.empty())
        EXPECT_EQ("/home/ann/profiles/" + c.name, path);
    else
        EXPECT_EQ("", path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileNameCheck,
    ::testing::Values(NameCase{"WordsAndDigit", "Ann Lee 2", ""}, NameCase{"Empty", "", ProfileName::kEmptyName},
                      NameCase{"FullStop", "Ann.Lee", Refused(".")}, NameCase{"Underscore", "Ann_Lee", Refused("_")},
                      NameCase{"ParentFolder", "../x", Refused(".")}, NameCase{"AbsolutePath", "/etc/x", Refused("/")},
                      NameCase{"Backslash", "a\\b", Refused("\\")},
                      NameCase{"Nul", std::string("ann\0lee", 7), Refused(std::string(1, '\0'))},
                      NameCase{"Newline", "ann\nlee", Refused("\n")}, NameCase{"BackupMark", "Ann~", Refused("~")},
                      NameCase{"OutsideAscii", "Zo\xC3\xAB", Refused("\xC3\xAB")},
                      NameCase{"BrokenUtf8", "Zo\xEB", Refused("\xEB")}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ProfileNameList, ShowsProfilesButNotBackupsTemporaryFilesOrOtherFiles) {
    TempDir dir;
    dir.Write("Ann Lee", "profile");
    dir.Write("Ann Lee~", "its backup");
    dir.Write(".Ann Lee.a1B2c3", "a save cut off");
    dir.Write("notes.txt", "not a profile");
    dir.Write("Bob", "profile");
    std::filesystem::create_directory(dir.Path() / "Folder");
    EXPECT_THAT(ProfileName::List(dir.Path().string()), UnorderedElementsAre("Ann Lee", "Bob"));
    EXPECT_TRUE(ProfileName::List(dir.File("missing")).empty());
}

}  // namespace
