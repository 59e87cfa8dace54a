#include "support/GuiSupport.h"

#include "ui/frame/DocManager.h"
#include "ui/frame/DocTemplate.h"
#include "ui/frame/QtServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

struct MatchCase {
    const char* file;     // written into the folder unless content is null
    const char* content;  // null: the file does not exist
    int kind;
    CDynamicDocTemplate::Confidence expected;
};

class MatchDocType : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchDocType, OffersEveryXmlFileAndRefusesTheRest) {
    const MatchCase& c = GetParam();
    TempDir dir;
    if (c.content) dir.Write(c.file, c.content);
    int match = 7;
    EXPECT_EQ(CDynamicDocTemplate(c.kind).MatchDocType(dir.File(c.file), {}, match), c.expected);
    EXPECT_EQ(match, -1);
}

constexpr const char* kDiet = "<?xml version=\"1.0\"?><Diet date=\"20110305\"/>";
constexpr const char* kProfile = "<?xml version=\"1.0\"?><root app=\"velmora\"/>";

INSTANTIATE_TEST_SUITE_P(, MatchDocType,
                         ::testing::Values(MatchCase{"old.vlx", kDiet, 2, CDynamicDocTemplate::yesAttemptNative},
                                           MatchCase{"old", kDiet, 2, CDynamicDocTemplate::yesAttemptForeign},
                                           MatchCase{"Ann", kProfile, 2, CDynamicDocTemplate::yesAttemptForeign},
                                           MatchCase{"Ann.vlx", kProfile, 2, CDynamicDocTemplate::yesAttemptForeign},
                                           MatchCase{"Ann.vlx", "<?xml version=\"1.0\"?><Profile/>", 1,
                                                     CDynamicDocTemplate::yesAttemptNative},
                                           MatchCase{"old.vlx", kDiet, 3, CDynamicDocTemplate::noAttempt},
                                           MatchCase{"notes.vlx", "Ann's diet, not XML", 2,
                                                     CDynamicDocTemplate::noAttempt},
                                           MatchCase{"half.vlx", "<Diet><Food>", 2, CDynamicDocTemplate::noAttempt},
                                           MatchCase{"gone.vlx", nullptr, 2, CDynamicDocTemplate::noAttempt}));

TEST(MatchDocTypeOpen, AFileAlreadyOpenIsFoundByWhateverPathNamesIt) {
    TempDir dir;
    dir.Write("Ann", kProfile);
    dir.Write("Bob", kProfile);
    std::filesystem::create_directories(dir.Path() / "sub");
    const std::vector<std::string> open = {dir.File("Bob"), dir.File("sub") + "/../Ann"};
    int match = -1;
    EXPECT_EQ(CDynamicDocTemplate().MatchDocType(dir.File("Ann"), open, match), CDynamicDocTemplate::yesAlreadyOpen);
    EXPECT_EQ(match, 1);
}

TEST(ProfileNames, AreTheFilesWithoutExtensionOrBackupMarkAndTheFolderIsMadeWhenMissing) {
    TempDir dir;
    const std::string folder = dir.File("profiles");
    EXPECT_TRUE(ListProfileNames(folder).empty());
    ASSERT_TRUE(std::filesystem::is_directory(folder));

    for (const char* name : {"Ann", "Ann~", "Ann~~", "Bob Lee 2", "Ann.vlx", ".Ann.x1y2z3", ".hidden"})
        std::ofstream(folder + "/" + name) << "x";
    std::filesystem::create_directories(folder + "/Archive");
    std::vector<std::string> names = ListProfileNames(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Ann", "Bob Lee 2"}));
}

struct FilterCase {
    const char* given;
    const char* expected;
};

class FileFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FileFilter, BecomesQtsForm) { EXPECT_EQ(Gui::ToQtFilter(GetParam().given), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    , FileFilter,
    ::testing::Values(
        FilterCase{"Velmora xml file (*.vlx)|*.vlx|eXtensible Markup Language file (*.xml)|*.xml|All Files (*.*)|*.*||",
                   "Velmora xml file (*.vlx);;eXtensible Markup Language file (*.xml);;All Files (*)"},
        FilterCase{"Nutrition Data File (*.xml)|*.xml|All Files (*.*)|*.*||",
                   "Nutrition Data File (*.xml);;All Files (*)"},
        FilterCase{"Pages|*.htm;*.html||", "Pages (*.htm *.html)"}, FilterCase{"", ""}));

}  // namespace
