#include "document/fileio/ProfileFile.h"

#include "support/DocumentFixture.h"

#include "document/ProfileDocument.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <boost/date_time/gregorian/gregorian.hpp>

#include <ostream>

#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

using namespace DocumentFixture;
using boost::gregorian::date;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> DayKeys(const NS_Data::CUserLog& log) {
    std::vector<std::string> keys;
    for (const auto& d : log.Days()) keys.push_back(d->date);
    return keys;
}

std::vector<int> Gids(const NS_Data::CUserLog& log) {
    std::vector<int> gids;
    for (const auto& r : log.Requirements()) gids.push_back(r.gid);
    return gids;
}

// A profile that uses every part of the file: personal data with characters that need escaping,
// a user fact and changed targets, a changed composition and limits, days with foods in several
// units and meals, a day's own limits, composition and facts, a day with only a fact, an empty day,
// and changed grid sizes.
void FillProfile(CProfileDocument& doc) {
    doc.OnNewDocument();
    CPersonalData& p = doc.Log().Personal();
    p.firstName = "Ann";
    p.lastName = "Lee";
    p.notes = "Line one\nLine <two> & \"three\", 5 \xC2\xB5g";
    p.birthYear = 1990;
    p.birthMonth = 7;
    p.birthDay = 4;
    p.pregnant = 1;
    p.height = 168;
    p.weight = 61.5;
    doc.Log().Facts().AddOrUpdate(UserLog::CFactReference("Waist", 80, "cm"));
    doc.Log().Facts().At(UserLog::CFactManager::kWeight).value = 60;
    doc.Log().EnergyComposition().SetValue(0, CDS_EnergyComposition::kMin, 12);
    auto& iron = doc.Log().RequirementAt(doc.Log().FindRequirement(kIron));
    iron.min = 8;
    iron.max = 45.5;

    doc.GoToDate("20240301");
    const int stew = doc.AddFoodByKey(kStew, kSource);
    doc.SetFoodWeight(stew, 150);
    doc.SetFoodMeal(stew, "Lunch");
    const int broth = doc.AddFoodByKey(kBroth, kSource);
    doc.SetFoodWeight(broth, 480);
    doc.SetFoodUnit(broth, 1);
    const int nuts = doc.AddFoodByKey(kNuts, kSource);
    doc.SetFoodWeight(nuts, 56.7);
    doc.SetFoodMeal(nuts, "Supper");
    auto day = doc.Log().GetCurrentDay();
    day->SetFact("Weight", 61.5);
    day->requirements.emplace_back(kVitaminC, 75, -1);
    day->energyComposition = std::make_unique<CDS_EnergyComposition>();
    day->energyComposition->SetValue(1, CDS_EnergyComposition::kMax, 30);

    doc.GoToDate("20240305");  // stays empty
    // Enough days to be written in more than one piece, with empty days among them.
    doc.Log().Facts().AddOrUpdate(
        UserLog::CFactReference("Gr\xC3\xB6\xC3\x9F"
                                "e",
                                UserLog::kUndefinedValue, "cm"));
    for (date d(2024, 4, 1); d < date(2024, 7, 1); d += boost::gregorian::days(1)) {
        doc.GoToDate(boost::gregorian::to_iso_string(d));
        if (d.day() % 3 != 0)
            doc.SetDayFact(
                "Gr\xC3\xB6\xC3\x9F"
                "e",
                160 + d.day() / 10.0);
    }
    doc.GoToDate("20240302");
    doc.SetDayFact("Waist", 79.5);
    CGridDim food = doc.Layout(LayoutKind::Food);
    food.SetRowSize(1, 40);
    doc.SetLayout(LayoutKind::Food, food);
    CGridDim diet = doc.Layout(LayoutKind::Diet);
    diet.SetColumnSize(4, 75);
    doc.SetLayout(LayoutKind::Diet, diet);
}

// The document writes the file a few days at a time; the file read back and written as one
// document tree must come out the same, byte for byte.
TEST(ProfileFile, ASavedProfileReadsBackToTheSameFile) {
    ScopedClock clock(date(2024, 3, 10));
    RecordingPrompt prompt;
    TempDir dir;
    CProfileDocument doc(&Meals(), &Foods());
    FillProfile(doc);
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("first.vlx")));

    LoadReport::Clear();
    CSingleDayDocData read(&Meals(), &Foods());
    std::string error;
    ASSERT_TRUE(ReadProfileFile(read, dir.File("first.vlx"), error)) << error;
    EXPECT_EQ("", LostText());
    Xml::XmlDocument again;
    BuildProfileDocument(read, again);
    again.Indent();
    again.Save(dir.File("second.vlx"));
    EXPECT_EQ(dir.Read("first.vlx"), dir.Read("second.vlx"));

    // The empty days are gone; the last day of the file is current.
    const auto keys = DayKeys(read.Log());
    ASSERT_EQ(2u + 91u - 30u, keys.size());
    EXPECT_EQ("20240301", keys[0]);
    EXPECT_EQ("20240302", keys[1]);
    EXPECT_EQ(-1, read.Log().FindDay("20240305"));
    EXPECT_EQ(-1, read.Log().FindDay("20240403"));
    EXPECT_EQ("20240629", read.CurrentDate());
    const auto& foods = read.Log().Days()[0]->foods;
    ASSERT_EQ(3u, foods.size());
    EXPECT_EQ("Lunch", foods[0].meal);
    EXPECT_EQ(1, foods[1].unitIndex);
    EXPECT_DOUBLE_EQ(2, foods[1].Amount());
    EXPECT_DOUBLE_EQ(56.7, foods[2].weight);
    EXPECT_EQ(doc.Layout(LayoutKind::Diet).sizes, read.Layout(LayoutKind::Diet).sizes);
    EXPECT_EQ(doc.Layout(LayoutKind::Food).sizes, read.Layout(LayoutKind::Food).sizes);
    EXPECT_EQ(doc.Log().Personal().notes, read.Log().Personal().notes);
    EXPECT_TRUE(prompt.messages.empty());
}

// The skeleton of the file: declaration, root, "Profile" with its sections in order, "View" with
// both layouts, and the meal list once more under the root.
// A profile passed through this version keeps everything a later version wrote into it: elements
// and attributes it does not know are written back as they were, wherever they stood.
TEST(ProfileFile, WhatANewerVersionWroteIsWrittenBack) {
    ScopedClock clock(date(2024, 3, 10));
    RecordingPrompt prompt;
    TempDir dir;
    CProfileDocument doc(&Meals(), &Foods());
    ASSERT_TRUE(doc.OnOpenDocument(Data("newer-version.xml"))) << prompt.messages.at(0);
    doc.GoToDate("20240301");
    doc.SetDayFact("Weight", 62);
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("first")));
    const std::string saved = dir.Read("first");
    for (const char* kept :
         {"sync=\"cloud-7\"",
          "theme=\"dark\"",
          "waist=\"81\"",
          "place=\"Oslo\"",
          "trimester=\"0\"",
          "scale=\"bathroom\"",
          "<Goal kind=\"maintain\"/>",
          "shared=\"no\"",
          "colour=\"blue\"",
          "<Fact name=\"Weight\" precision=\"1\"/>",
          "<Archived name=\"Hips\"/>",
          "source=\"manual\"",
          "locked=\"true\"",
          "colour=\"red\"",
          "Name=\"Fibre\"",
          "<History/>",
          "order=\"custom\"",
          "source=\"DRI\"",
          "<Group name=\"Minerals\"/>",
          "<RecentFoods>\n      <Food id=\"7\" key=\"100\" used=\"20240301\"/>\n      <Food id=\"7\" key=\"103\" "
          "used=\"20240302\"/>\n",
          "<Favourites>",
          "span=\"all\"",
          "mood=\"good\"",
          "total=\"2\"",
          "photo=\"stew.jpg\"",
          "<Note>Ate out.\nSecond line, kept as written.</Note>",
          "<Hint gid=\"29\"/>",
          "<Fact name=\"Weight\" value=\"62\" time=\"07:30\"/>",
          "<Water litres=\"2\"/>",
          "<LogDay date=\"20240302\">\n        <Food/>\n        <Steps count=\"9000\"/>",
          "<Summary days=\"2\"/>",
          "zoom=\"110\"",
          "<Grid name=\"Calendar\">\n      <Rows size=\"1\" R0=\"20\"/>",
          "<Sync last=\"20240310T120000\"/>",
          "<Grid name=\"Food\" frozen=\"1\">\n      <Rows size=\"2\" R0=\"0\" R1=\"-3\" heading=\"2\"/>",
          "C6=\"0\" hidden=\"C3\"/>\n      <Split at=\"3\"/>\n    </Grid>"})
        EXPECT_THAT(saved, HasSubstr(kept));
    // A size beyond the count is stale, not another version's.
    EXPECT_THAT(saved, Not(HasSubstr("R5=")));

    // Read and written again, the file stays as it is, whether written in pieces or as one tree.
    CProfileDocument again(&Meals(), &Foods());
    ASSERT_TRUE(again.OnOpenDocument(dir.File("first")));
    ASSERT_TRUE(again.OnSaveDocument(dir.File("second")));
    EXPECT_EQ(saved, dir.Read("second"));
    Xml::XmlDocument tree;
    BuildProfileDocument(again, tree);
    tree.Indent();
    EXPECT_EQ(saved, tree.GetXml());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ProfileFile, ANewProfileIsWrittenAsTheGoldenFile) {
    ScopedClock clock(date(2024, 3, 10));
    TempDir dir;
    CProfileDocument doc(&Meals(), &Foods());
    doc.OnNewDocument();
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("new.vlx")));
    EXPECT_EQ(ReadText(Data("new-profile.xml")), dir.Read("new.vlx"));
}

// Starring a food changes the profile and the stars come back with it; a profile without stars
// (an earlier version's, or one whose stars were all taken back) is written as it always was.
TEST(ProfileFile, FavouritesSurviveSavingAndAProfileWithoutThemIsWrittenAsBefore) {
    ScopedClock clock(date(2024, 3, 10));
    RecordingPrompt prompt;
    TempDir dir;
    CProfileDocument earlier(&Meals(), &Foods());
    ASSERT_TRUE(earlier.OnOpenDocument(Data("new-profile.xml")));
    ASSERT_TRUE(earlier.OnSaveDocument(dir.File("old.vlx")));

    CProfileDocument doc(&Meals(), &Foods());
    ASSERT_TRUE(doc.OnOpenDocument(Data("new-profile.xml")));
    doc.SetFavouriteFood(FoodKey(kNuts, kSource), true);
    EXPECT_TRUE(doc.IsModified());
    doc.SetFavouriteFood(FoodKey(kStew, kSource), true);
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("starred.vlx")));
    doc.SetFavouriteFood(FoodKey(kStew, kSource), true);  // already starred: nothing changes
    EXPECT_FALSE(doc.IsModified());

    CProfileDocument reread(&Meals(), &Foods());
    ASSERT_TRUE(reread.OnOpenDocument(dir.File("starred.vlx")));
    EXPECT_THAT(reread.Log().Favourites(), ElementsAre(FoodKey(kNuts, kSource), FoodKey(kStew, kSource)));
    reread.SetFavouriteFood(FoodKey(kNuts, kSource), false);
    reread.SetFavouriteFood(FoodKey(kStew, kSource), false);
    ASSERT_TRUE(reread.OnSaveDocument(dir.File("unstarred.vlx")));
    EXPECT_THAT(dir.Read("old.vlx"), Not(HasSubstr("Favourite")));
    EXPECT_EQ(dir.Read("old.vlx"), dir.Read("unstarred.vlx"));
    EXPECT_TRUE(prompt.messages.empty());
}

// How the Log tab shows the day's targets is kept with the profile, as its grid sizes are: saved
// with it, yet no change that asks to be saved by itself.
TEST(ProfileFile, TheSummarysTargetsViewSurvivesSavingAndAProfileThatNeverChangedItIsWrittenAsBefore) {
    ScopedClock clock(date(2024, 3, 10));
    RecordingPrompt prompt;
    TempDir dir;
    CProfileDocument earlier(&Meals(), &Foods());
    ASSERT_TRUE(earlier.OnOpenDocument(Data("new-profile.xml")));
    EXPECT_EQ(earlier.TargetsView(), SummaryTargetsView{});
    ASSERT_TRUE(earlier.OnSaveDocument(dir.File("old.vlx")));

    for (const SummaryTargetsView view : {SummaryTargetsView{true, false}, SummaryTargetsView{false, true}}) {
        CProfileDocument doc(&Meals(), &Foods());
        ASSERT_TRUE(doc.OnOpenDocument(Data("new-profile.xml")));
        doc.SetTargetsView(view);
        EXPECT_FALSE(doc.IsModified());
        ASSERT_TRUE(doc.OnSaveDocument(dir.File("changed.vlx")));
        CProfileDocument reread(&Meals(), &Foods());
        ASSERT_TRUE(reread.OnOpenDocument(dir.File("changed.vlx")));
        EXPECT_EQ(reread.TargetsView(), view) << dir.Read("changed.vlx");
        reread.SetTargetsView({});
        ASSERT_TRUE(reread.OnSaveDocument(dir.File("back.vlx")));
        EXPECT_EQ(dir.Read("old.vlx"), dir.Read("back.vlx"));
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ProfileFile, ALegacyDietOpensWithItsNotes) {
    ScopedClock clock(date(2024, 3, 10));
    LoadReport::Add("Left from before", "a note");  // the legacy reader starts a report of its own
    CSingleDayDocData data(&Meals(), &Foods());
    std::string error;
    ASSERT_TRUE(ReadProfileFile(data, Data("legacy-diet.xml"), error)) << error;

    EXPECT_EQ(
        "Removed nutrient\n\tCalcium\n"
        "Unknown data source for food\n\tMystery Soup\n"
        "Unknown food reference\n\tOld Cake\n"
        "Unknown key for food\n\tLost Bread\n"
        "Unknown nutrient\n\tUnobtainium\n",
        LostText());

    const auto day = data.Log().GetCurrentDay();
    EXPECT_EQ("20100315", day->date);
    ASSERT_EQ(2u, day->foods.size());
    EXPECT_EQ("Stew", day->foods[0].food->Name());
    EXPECT_EQ("Lunch", day->foods[0].meal);
    EXPECT_EQ("piece", day->foods[0].UnitName());
    EXPECT_DOUBLE_EQ(3, day->foods[0].Amount());
    EXPECT_EQ("Old Cake", day->foods[1].name);
    EXPECT_TRUE(day->foods[1].food->IsPlaceholder());
    EXPECT_EQ("Dinner", day->foods[1].meal);

    EXPECT_EQ("Mara", data.Log().Personal().firstName);
    EXPECT_EQ("Kept since the old program", data.Log().Personal().notes);
    EXPECT_DOUBLE_EQ(15, data.Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kMin));
    // Every nutrient of the data source is followed; the limits read for iron stay.
    EXPECT_THAT(Gids(data.Log()), ElementsAre(kIron, kEnergy, kProtein, kFat, kCarbohydrate, kVitaminC));
    EXPECT_DOUBLE_EQ(8, data.Log().RequirementAt(0).min);
    EXPECT_DOUBLE_EQ(45, data.Log().RequirementAt(0).max);
}

TEST(ProfileFile, ALegacyDietWithoutADateIsReadIntoToday) {
    ScopedClock clock(date(2024, 3, 10));
    TempDir dir;
    std::string text = ReadText(Data("legacy-diet.xml"));
    text.replace(text.find(" date=\"20100315\""), 16, "");
    dir.Write("undated.xml", text);
    CSingleDayDocData data(&Meals(), &Foods());
    std::string error;
    ASSERT_TRUE(ReadProfileFile(data, dir.File("undated.xml"), error)) << error;
    EXPECT_EQ("20240310", data.CurrentDate());
    EXPECT_EQ(2u, data.DayFoods().size());
}

TEST(ProfileFile, TheLoadReportListsEachLostItemOnceUnderItsKey) {
    LoadReport::Clear();
    CSingleDayDocData data(&Meals(), &Foods());
    std::string error;
    ASSERT_TRUE(ReadProfileFile(data, Data("lost-data.xml"), error)) << error;
    EXPECT_EQ("Unknown food reference\n\tOld Cake\nUnknown nutrient\n\tUnobtainium : mg\n\tKryptonite : g\n",
              LostText());
    EXPECT_THAT(Gids(data.Log()), ElementsAre(kIron));
    EXPECT_EQ(3u, data.DayFoods().size());
}

struct LayoutCase {
    const char* file;
    std::vector<std::int32_t> diet;
    std::vector<std::int32_t> food;
    friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.file; }
};

class ProfileFileLayouts : public ::testing::TestWithParam<LayoutCase> {};

// A "View" that lacks a grid (or no "View" at all) must not make the profile unreadable.
TEST_P(ProfileFileLayouts, AMissingGridKeepsItsInitialLayout) {
    CSingleDayDocData data(&Meals(), &Foods());
    std::string error;
    ASSERT_TRUE(ReadProfileFile(data, Data(GetParam().file), error)) << error;
    EXPECT_EQ(GetParam().diet, data.Layout(LayoutKind::Diet).sizes);
    EXPECT_EQ(GetParam().food, data.Layout(LayoutKind::Food).sizes);
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileFileLayouts,
                         ::testing::Values(LayoutCase{"no-view.xml",
                                                      CSingleDayDocData::InitialLayout(LayoutKind::Diet).sizes,
                                                      CSingleDayDocData::InitialLayout(LayoutKind::Food).sizes},
                                           LayoutCase{"only-diet-grid.xml",
                                                      {2, 2, -3, 24, -2, 60},
                                                      CSingleDayDocData::InitialLayout(LayoutKind::Food).sizes}));

TEST(ProfileFile, InitialLayoutsOfANewDocument) {
    CSingleDayDocData data(&Meals(), &Foods());
    EXPECT_EQ("Diet", data.Layout(LayoutKind::Diet).gridName.value_or(""));
    EXPECT_THAT(data.Layout(LayoutKind::Diet).sizes, ElementsAre(4, 4, -3, 0, 0, 0, -2, 0, 0, 0));
    EXPECT_EQ("Food", data.Layout(LayoutKind::Food).gridName.value_or(""));
    EXPECT_THAT(data.Layout(LayoutKind::Food).sizes, ElementsAre(2, 1, 0, -3, -2));
}

// What reading a file gives: the profile as it would be written again with the notes of what was
// lost, or the error text.
std::string ReadThroughFile(const std::string& path) {
    CSingleDayDocData data(&Meals(), &Foods());
    std::string error;
    if (!ReadProfileFile(data, path, error)) return error;
    Xml::XmlDocument out;
    BuildProfileDocument(data, out);
    return out.GetXml() + LostText();
}

// The same through a whole tree of the file read first, as every reader but the profile's reads.
std::string ReadThroughTree(const std::string& path) {
    LoadReport::Clear();
    Xml::XmlDocument doc;
    if (!doc.Load(path)) return "not well-formed";
    CSingleDayDocData data(&Meals(), &Foods());
    try {
        if (!data.Load(doc.Root())) return "Can't load file:\n" + path + "\n";
    } catch (const std::exception& e) {
        return "Can't open file:\n" + path + "\n" + e.what();
    }
    Xml::XmlDocument out;
    BuildProfileDocument(data, out);
    return out.GetXml() + LostText();
}

struct LogLayout {
    const char* name;
    const char* doctype;  // after the XML declaration
    const char* log;      // instead of the new profile's empty log
    const char* after;    // after "Profile"
    bool withoutPersonal = false;
    friend void PrintTo(const LogLayout& l, std::ostream* os) { *os << l.name; }
};

class ProfileFileDays : public ::testing::TestWithParam<LogLayout> {};

// The profile reader reads the days while the file is parsed, not from a tree of the whole file;
// whatever the log's layout, it reads what a reader of the whole tree reads, errors included.
TEST_P(ProfileFileDays, ReadAsFromTheWholeTree) {
    std::string text = ReadText(Data("new-profile.xml"));
    const std::size_t declaration = text.find("?>") + 2;
    text.insert(declaration, GetParam().doctype);
    text.replace(text.find("<Log/>"), 6, GetParam().log);
    text.insert(text.find("</Profile>") + 10, GetParam().after);
    if (GetParam().withoutPersonal) {
        const std::size_t from = text.find("<Personal");
        text.erase(from, text.find("</Personal>") + 11 - from);
    }
    TempDir dir;
    dir.Write("profile.xml", text);
    const std::string path = dir.File("profile.xml");
    const std::string expected = ReadThroughTree(path);
    EXPECT_EQ(ReadThroughFile(path), expected);
    EXPECT_NE(expected, "not well-formed");
}

constexpr const char* kTwoLogs =
    "<Log><LogDay date=\"20240301\"><Food><dayFood weight=\"150\" R=\"1\" meal=\"Lunch\" id=\"7\" key=\"100\""
    " name=\"Stew\"/></Food><Fact name=\"Weight\" value=\"61\"/></LogDay><Kept a=\"1\"/>"
    "<LogDay date=\"20240302\"><Fact name=\"Weight\" value=\"60\"/></LogDay></Log>"
    "<Log><LogDay date=\"20240301\" mood=\"good\"><Food><dayFood weight=\"30\" R=\"1\" meal=\"\" id=\"7\""
    " key=\"103\" name=\"Nuts\"/></Food><Fact name=\"Weight\" value=\"62\"/><Photo/></LogDay></Log>";
constexpr const char* kPieDay =
    "<Log><LogDay date=\"20240303\"><Food><dayFood weight=\"150\" R=\"1\" meal=\"Lunch\" id=\"1000\""
    " key=\"5\" name=\"Pie\"/></Food></LogDay></Log><FoodCopies><Food Name=\"Apple pie\" source=\"1000\""
    " key=\"5\"><Nutrition><E N=\"1\" V=\"250\"/></Nutrition><EnergyFactors/><Units main=\"1\">"
    "<E M=\"1\" K=\"120\"/></Units></Food></FoodCopies>";

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProfileFileDays,
    ::testing::Values(
        // Days of one date in two logs are one day; kept elements between and inside days.
        LogLayout{"TwoLogs", "", kTwoLogs, ""},
        // Only the first "Profile" is read.
        LogLayout{"SecondProfile", "", kTwoLogs, "<Profile><Log><LogDay date=\"20240309\"/></Log></Profile>"},
        // Days that entities expand to are days like any other.
        LogLayout{"Entities",
                  "<!DOCTYPE root [<!ENTITY nuts '<dayFood weight=\"30\" R=\"1\" meal=\"\" id=\"7\" key=\"103\" "
                  "name=\"Nuts\"/>'><!ENTITY day '<LogDay date=\"20240304\"><Food>&nuts;</Food></LogDay>'>]>",
                  "<Log><LogDay date=\"20240303\"><Food>&nuts;&nuts;</Food></LogDay>&day;&day;</Log>", ""},
        // A day that can't be read fails the file with its own error...
        LogLayout{"DayWithoutDate", "", "<Log><LogDay date=\"20240301\"/><LogDay/><LogDay date=\"20240302\"/></Log>",
                  ""},
        // ...unless what is read before the days fails first.
        LogLayout{"DayWithoutDateAndNoPersonal", "", "<Log><LogDay/></Log>", "", true},
        // A day's food is found among the copies that come after the log.
        LogLayout{"FoodCopyAfterTheLog", "", kPieDay, ""}),
    [](const auto& info) { return std::string(info.param.name); });

enum class Failure {
    CantOpen,  // "Can't open file:\n" + path + "\n" + the reason
    CantLoad,  // "Can't load file:\n" + path + "\n"
};

struct BrokenCase {
    const char* file;
    Failure failure;
    const char* reason;  // a part of the reason; empty: any reason
    friend void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.file; }
};

class ProfileFileBroken : public ::testing::TestWithParam<BrokenCase> {};

// The message says which file and then why it can't be read, in one line of the reader's words.
TEST_P(ProfileFileBroken, FailsWithItsErrorText) {
    const std::string path = Data(GetParam().file);
    CSingleDayDocData data(&Meals(), &Foods());
    std::string error;
    EXPECT_FALSE(ReadProfileFile(data, path, error));
    switch (GetParam().failure) {
        case Failure::CantLoad: EXPECT_EQ("Can't load file:\n" + path + "\n", error); break;
        case Failure::CantOpen: {
            const std::string head = "Can't open file:\n" + path + "\n";
            ASSERT_THAT(error, StartsWith(head));
            const std::string reason = error.substr(head.size());
            EXPECT_FALSE(reason.empty());
            EXPECT_EQ(std::string::npos, reason.find('\n')) << reason;
            EXPECT_EQ(std::string::npos, reason.find(path)) << reason;
            EXPECT_THAT(reason, HasSubstr(GetParam().reason));
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileFileBroken,
    ::testing::Values(BrokenCase{"broken/missing.xml", Failure::CantOpen, "No such file or directory"},
                      BrokenCase{"broken", Failure::CantOpen, "Is a directory"},
                      BrokenCase{"broken/not-well-formed.xml", Failure::CantOpen, "Line 11, column 1: "},
                      BrokenCase{"broken/doctype.xml", Failure::CantOpen, ""},
                      BrokenCase{"broken/other-root.xml", Failure::CantLoad, ""},
                      BrokenCase{"broken/app-other-case.xml", Failure::CantLoad, ""},
                      BrokenCase{"broken/no-profile.xml", Failure::CantOpen, "\"Profile\""},
                      BrokenCase{"broken/logday-without-date.xml", Failure::CantOpen, ""},
                      BrokenCase{"broken/composition-component-missing.xml", Failure::CantOpen, "EnergyComponent"},
                      BrokenCase{"broken/grid-size-missing.xml", Failure::CantOpen, ""},
                      BrokenCase{"broken/legacy-without-personal.xml", Failure::CantOpen, "\"Personal\""}),
    [](const auto& info) {
        std::string name = info.param.file;
        name = name.substr(name.find('/') + 1);
        name = name.substr(0, name.find('.'));
        std::erase(name, '-');
        return name;
    });

TEST(ProfileFileUnreadable, SaysPermissionDenied) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
    TempDir dir;
    dir.Write("p", "<root app=\"velmora\"/>");
    ::chmod(dir.File("p").c_str(), 0);
    CSingleDayDocData data(&Meals(), &Foods());
    std::string error;
    EXPECT_FALSE(ReadProfileFile(data, dir.File("p"), error));
    EXPECT_EQ("Can't open file:\n" + dir.File("p") + "\nPermission denied", error);
}

}  // namespace

namespace {

struct Limit {
    int gid;
    double min;
    double max;
    std::string units;
    friend bool operator==(const Limit&, const Limit&) = default;
    friend void PrintTo(const Limit& l, std::ostream* os) {
        *os << l.gid << " " << l.min << ".." << l.max << " " << l.units;
    }
};

std::vector<Limit> LimitsOf(const std::vector<UserLog::CNutrientRequirement>& requirements) {
    std::vector<Limit> limits;
    for (const auto& r : requirements) limits.push_back({r.gid, r.min, r.max, r.units});
    return limits;
}

}  // namespace

// Fluoride, manganese and pantothenic acid were once followed under their USDA numbers, fluoride in
// µg; a profile of that time keeps them, with its limits in today's units, and saves them so.
TEST(ProfileFile, NutrientsUnderTheirFormerNumbersAreFollowedUnderTodays) {
    CDataSourceMgr foods;
    std::string error;
    ASSERT_TRUE(foods.Load(Data("usda-numbers-foods.xml"), {}, error)) << error;
    TempDir dir;
    dir.Write("Ida", ReadText(Data("usda-numbers-profile.xml")));

    const std::vector<Limit> profileLimits = {
        {13, 18, -1, "mg"}, {108, 3, 10, "mg"}, {75, 1.8, 11, "mg"}, {81, 5, -1, "mg"}};
    const std::vector<Limit> dayLimits = {{108, -1, 4, "mg"}};
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "as written before" : "as saved again");
        CSingleDayDocData data(&Meals(), &foods);
        ASSERT_TRUE(ReadProfileFile(data, dir.File("Ida"), error)) << error;
        EXPECT_EQ("", LostText());
        EXPECT_EQ(profileLimits, LimitsOf(data.Log().Requirements()));
        const int day = data.Log().FindDay("20240105");
        ASSERT_LE(0, day);
        EXPECT_EQ(dayLimits, LimitsOf(data.Log().Days()[static_cast<std::size_t>(day)]->requirements));
        if (pass == 0) WriteProfileFile(data, dir.File("Ida"), {});
    }
    const std::string saved = ReadText(dir.File("Ida"));
    EXPECT_THAT(saved, Not(HasSubstr("gid=\"313\"")));
    EXPECT_THAT(saved,
                HasSubstr("<NutrientRequirement gid=\"108\" name=\"Fluoride, F\" units=\"mg\" min=\"3\" max=\"10\"/>"));
}
