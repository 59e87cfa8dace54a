// Hostile input for every reader: each is refused with the program's own error and leaves every
// file as it was; the few that are read must read back the same after a save.

#include "core/FileUtil.h"
#include "core/settings/GeneralManager.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"
#include "core/xml/Xml.h"
#include "document/ProfileDocument.h"
#include "document/fileio/ProfileFile.h"
#include "refdata/DataSourceMgr.h"
#include "support/DocumentFixture.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <boost/date_time/gregorian/gregorian.hpp>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

std::string Fixture(const std::string& path) { return FileUtil::ReadFile(VELMORA_SOURCE_DIR "/" + path); }

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    const auto at = text.find(what);
    if (at == std::string::npos) throw std::logic_error("fixture lacks " + what);
    return text.replace(at, what.size(), with);
}

// Every byte as a UTF-16LE unit, as an editor saving "Unicode" without a byte order mark writes
// an ASCII file. With its XML declaration such a file is still recognised (the declaration's
// first bytes give the encoding away); without one it can't be told from broken UTF-8.
std::string Utf16WithoutBom(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string WithoutDeclaration(const std::string& xml) {
    return xml.rfind("<?xml", 0) == 0 ? xml.substr(xml.find("?>") + 2) : xml;
}

std::string Nested(int depth, const std::string& name) {
    std::string open, close;
    open.reserve(static_cast<std::size_t>(depth) * (name.size() + 2));
    for (int i = 0; i < depth; ++i) open += "<" + name + ">";
    for (int i = 0; i < depth; ++i) close += "</" + name + ">";
    return open + close;
}

const std::string kHundredMb(100u << 20, 'A');

// Ten levels of ten references each: 3 GB of text from a few hundred bytes.
std::string BillionLaughs(const std::string& root, const std::string& where) {
    std::string dtd = "<!DOCTYPE " + root + " [<!ENTITY lol0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        std::string refs;
        for (int k = 0; k < 10; ++k) refs += "&lol" + std::to_string(i - 1) + ";";
        dtd += "<!ENTITY lol" + std::to_string(i) + " \"" + refs + "\">";
    }
    return "<?xml version=\"1.0\"?>" + dtd + "]>" + Replaced(where, "@", "&lol9;");
}

// An entity that would read a file of the machine into the document.
std::string ExternalEntity(const std::string& root, const std::string& where) {
    return "<?xml version=\"1.0\"?><!DOCTYPE " + root + " [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
           Replaced(where, "@", "&x;");
}

std::map<std::string, std::string> Files(const std::filesystem::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        out[e.path().filename()] = FileUtil::ReadFile(e.path());
    return out;
}

// ---- profiles --------------------------------------------------------------------------------

struct HostileProfile {
    const char* name;
    std::function<std::string()> content;
    const char* errorStart;  // what the message starts with, after which the path follows
    friend void PrintTo(const HostileProfile& c, std::ostream* os) { *os << c.name; }
};

class HostileProfileTest : public ::testing::TestWithParam<HostileProfile> {
protected:
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
};

TEST_P(HostileProfileTest, IsRefusedWithTheReadersErrorAndNothingChanges) {
    dir.Write("profiles/Ann Lee", GetParam().content());
    const auto before = Files(dir.Path() / "profiles");
    const std::string path = dir.File("profiles/Ann Lee");

    CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    EXPECT_FALSE(doc.OnOpenDocument(path));
    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_THAT(prompt.messages[0], StartsWith(GetParam().errorStart + path));
    EXPECT_TRUE(before == Files(dir.Path() / "profiles"));
}

const std::string kProfile = "tests/data/document/new-profile.xml";
const std::string kCantOpen = "Can't open file:\n";
const std::string kCantLoad = "Can't load file:\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileProfileTest,
    ::testing::Values(
        HostileProfile{"Empty", [] { return std::string(); }, kCantOpen.c_str()},
        HostileProfile{"Truncated",
                       [] {
                           const auto t = Fixture(kProfile);
                           return t.substr(0, t.size() / 2);
                       },
                       kCantOpen.c_str()},
        HostileProfile{"WrongRoot", [] { return std::string("<?xml version=\"1.0\"?><settings app=\"velmora\"/>"); },
                       kCantLoad.c_str()},
        HostileProfile{"Utf16WithoutBomOrDeclaration",
                       [] { return Utf16WithoutBom(WithoutDeclaration(Fixture(kProfile))); }, kCantOpen.c_str()},
        HostileProfile{"Latin1ClaimingUtf8",
                       [] { return Replaced(Fixture(kProfile), "<FirstName/>", "<FirstName>J\xF6rg</FirstName>"); },
                       kCantOpen.c_str()},
        HostileProfile{"ControlCharacterInAName",
                       [] { return Replaced(Fixture(kProfile), "<FirstName/>", "<FirstName>A&#1;B</FirstName>"); },
                       kCantOpen.c_str()},
        HostileProfile{"HeightBeyond32Bits",
                       [] { return Replaced(Fixture(kProfile), "Height=\"170\"", "Height=\"4294967466\""); },
                       kCantOpen.c_str()},
        HostileProfile{"FoodKeyBeyond32Bits",
                       [] {
                           return Replaced(Fixture(kProfile), "<Log/>",
                                           "<Log><LogDay date=\"20240310\"><Food><dayFood weight=\"1\" id=\"7\" "
                                           "key=\"2147483648\"/></Food></LogDay></Log>");
                       },
                       kCantOpen.c_str()},
        HostileProfile{"GidBelow32Bits",
                       [] { return Replaced(Fixture(kProfile), "gid=\"13\"", "gid=\"-2147483649\""); },
                       kCantOpen.c_str()},
        HostileProfile{"GridCountBeyond32Bits",
                       [] { return Replaced(Fixture(kProfile), "<Rows size=\"4\"", "<Rows size=\"99999999999\""); },
                       kCantOpen.c_str()},
        HostileProfile{"GridCountHugerThanItsSizes",
                       [] { return Replaced(Fixture(kProfile), "<Rows size=\"4\"", "<Rows size=\"2147483647\""); },
                       kCantOpen.c_str()},
        HostileProfile{"DeepNesting", [] { return Replaced(Fixture(kProfile), "<Log/>", Nested(100000, "Log")); },
                       kCantOpen.c_str()},
        HostileProfile{"HundredMegabyteAttribute",
                       [] { return Replaced(Fixture(kProfile), "date=\"20240310\"", "date=\"" + kHundredMb + "\""); },
                       kCantOpen.c_str()},
        HostileProfile{"EntityExpansion",
                       [] {
                           return BillionLaughs(
                               "Profile", WithoutDeclaration(
                                              Replaced(Fixture(kProfile), "<FirstName/>", "<FirstName>@</FirstName>")));
                       },
                       kCantOpen.c_str()},
        HostileProfile{"ExternalEntity",
                       [] {
                           return ExternalEntity(
                               "Profile", WithoutDeclaration(
                                              Replaced(Fixture(kProfile), "<FirstName/>", "<FirstName>@</FirstName>")));
                       },
                       kCantOpen.c_str()}),
    [](const auto& info) { return std::string(info.param.name); });

// Not files to read: a FIFO would block the program for ever, /dev/zero would fill the memory.
TEST(HostileProfileFiles, WhatIsNotARegularFileIsRefusedAtOnce) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "profiles");
    ASSERT_EQ(0, ::mkfifo(dir.File("profiles/Ann Lee").c_str(), 0600));
    for (const std::string& path : {dir.File("profiles/Ann Lee"), std::string("/dev/zero")}) {
        RecordingPrompt prompt;
        CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
        EXPECT_FALSE(doc.OnOpenDocument(path));
        ASSERT_EQ(1u, prompt.messages.size());
        EXPECT_THAT(prompt.messages[0], StartsWith(kCantOpen + path));
    }
}

// An internal entity is harmless and read as written out.
TEST(HostileProfileEntities, AnInternalEntityReadsAsItsText) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    dir.Write("p",
              "<?xml version=\"1.0\"?><!DOCTYPE root [<!ENTITY name \"Ann &amp; Bo\">]>" +
                  WithoutDeclaration(Replaced(Fixture(kProfile), "<FirstName/>", "<FirstName>&name;</FirstName>")));
    CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("p"))) << prompt.messages.at(0);
    EXPECT_EQ("Ann & Bo", doc.Log().Personal().firstName);
}

TEST(HostileProfileEncoding, Utf16WithADeclarationButNoByteOrderMarkReadsAsTheSameProfile) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    const std::string utf8 = Replaced(Fixture(kProfile), "<FirstName/>", "<FirstName>Ann</FirstName>");
    dir.Write("utf8", utf8);
    dir.Write("utf16", Utf16WithoutBom(Replaced(utf8, "encoding=\"UTF-8\"", "encoding=\"UTF-16\"")));
    CProfileDocument a(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    CProfileDocument b(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    ASSERT_TRUE(a.OnOpenDocument(dir.File("utf8")));
    ASSERT_TRUE(b.OnOpenDocument(dir.File("utf16"))) << prompt.messages.at(0);
    EXPECT_EQ("Ann", b.Log().Personal().firstName);
    EXPECT_EQ(a.CopyText(), b.CopyText());
}

// Counts the profile's layouts read leniently, as rows "from 0 below the count": none for a
// negative one. What opens must be a layout the grids can take.
TEST(HostileProfileGrid, NegativeCountsReadAsNoRows) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    dir.Write("p", Replaced(Replaced(Fixture(kProfile), "<Rows size=\"4\"", "<Rows size=\"-5\""), "<Cols size=\"7\"",
                            "<Cols size=\"-2147483648\""));
    CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("p")));
    EXPECT_EQ(0, doc.Layout(LayoutKind::Diet).RowCount());
    for (LayoutKind kind : {LayoutKind::Diet, LayoutKind::Food})
        EXPECT_TRUE(doc.Layout(kind).sizes.empty() || doc.Layout(kind).IsConsistent());
    EXPECT_TRUE(prompt.messages.empty());
}

// Names typed by the user may hold anything a text field takes; the saved profile must open again
// with the names as close to the typed ones as XML allows.
TEST(HostileProfileNames, NamesWithControlCharactersAndMarkupSurviveSavingAndOpening) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    const std::string first =
        "A\x01"
        "B\tC\x1F\x7F</script><script>alert(1)</script>";
    const std::string last = "x\r\ny &amp; ]]> \"q\" '\xC2\xB5' J\xF6rg";
    // XML can't carry the control characters and the Latin-1 byte; the rest comes back as typed.
    const std::string firstRead = "AB\tC\x7F</script><script>alert(1)</script>";
    const std::string lastRead = "x\r\ny &amp; ]]> \"q\" '\xC2\xB5' J\xEF\xBF\xBDrg";
    CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    doc.OnNewDocument();
    doc.Log().Personal().firstName = first;
    doc.Log().Personal().lastName = last;
    doc.Log().Personal().notes = first + "\n" + last;
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("p"))) << prompt.messages.at(0);

    CProfileDocument reopened(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    ASSERT_TRUE(reopened.OnOpenDocument(dir.File("p"))) << prompt.messages.at(0);
    EXPECT_EQ(firstRead, reopened.Log().Personal().firstName);
    EXPECT_EQ(lastRead, reopened.Log().Personal().lastName);
    EXPECT_EQ(firstRead + "\n" + lastRead, reopened.Log().Personal().notes);
}

// ---- the food data source ----------------------------------------------------------------------

struct HostileSource {
    const char* name;
    std::function<std::string()> content;
    const char* reason;  // a part of the reason given after the path
    friend void PrintTo(const HostileSource& c, std::ostream* os) { *os << c.name; }
};

class HostileSourceTest : public ::testing::TestWithParam<HostileSource> {};

TEST_P(HostileSourceTest, IsRefusedWithTheLoadersErrorAndNothingChanges) {
    TempDir dir;
    dir.Write("foods.xml", GetParam().content());
    const auto before = Files(dir.Path());
    CDataSourceMgr mgr;
    std::string error;
    EXPECT_FALSE(mgr.Load(dir.File("foods.xml"), {}, error));
    EXPECT_THAT(error, StartsWith(CDataSourceMgr::kCantLoad + dir.File("foods.xml") + "\n"));
    EXPECT_THAT(error, HasSubstr(GetParam().reason));
    EXPECT_TRUE(before == Files(dir.Path()));
}

const std::string kSource = "tests/data/refdata/sample.xml";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileSourceTest,
    ::testing::Values(
        HostileSource{"Truncated",
                      [] {
                          const auto t = Fixture(kSource);
                          return t.substr(0, t.size() * 2 / 3);
                      },
                      "line "},
        HostileSource{"WrongRoot", [] { return std::string("<settings/>"); }, "root element <settings>: "},
        HostileSource{"Utf16WithoutBomOrDeclaration",
                      [] { return Utf16WithoutBom(WithoutDeclaration(Fixture(kSource))); }, "line "},
        HostileSource{"Latin1ClaimingUtf8", [] { return Replaced(Fixture(kSource), "Milk, whole", "Milch, gr\xFCn"); },
                      "line "},
        HostileSource{"KeyBeyond32Bits",
                      [] { return Replaced(Fixture(kSource), "key=\"1001\"", "key=\"2147483648\""); }, "2147483648"},
        HostileSource{
            "NutrientIdBeyond32Bits",
            [] { return Replaced(Fixture(kSource), "<E N=\"1\" V=\"61\"/>", "<E N=\"4294967297\" V=\"61\"/>"); },
            "4294967297"},
        HostileSource{"AccuracyBeyond16Bits",
                      [] { return Replaced(Fixture(kSource), "Accuracy=\"0\"", "Accuracy=\"65536\""); }, "65536"},
        HostileSource{
            "DeepNesting",
            [] { return Replaced(Fixture(kSource), "<FoodGroups>", "<FoodGroups>" + Nested(100000, "FoodGroup")); },
            "line "},
        HostileSource{"HundredMegabyteAttribute", [] { return Replaced(Fixture(kSource), "Milk, whole", kHundredMb); },
                      "line "},
        HostileSource{"EntityExpansion", [] { return BillionLaughs("DataSource", "<DataSource Name=\"@\"/>"); },
                      "entity"},
        HostileSource{"ExternalEntity", [] { return ExternalEntity("DataSource", "<DataSource Name=\"@\"/>"); },
                      Xml::kExternalReferencesRefused}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- config.xml -------------------------------------------------------------------------------

struct HostileConfig {
    const char* name;
    std::function<std::string()> content;
    friend void PrintTo(const HostileConfig& c, std::ostream* os) { *os << c.name; }
};

class HostileConfigTest : public ::testing::TestWithParam<HostileConfig> {};

// Reading reports the file and why, changes nothing on disk and runs on the installed settings;
// the next save keeps the unreadable file, byte for byte, beside the new one.
TEST_P(HostileConfigTest, IsReportedKeptAndTheInstalledSettingsRun) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    TempDir dir;
    const std::string content = GetParam().content();
    dir.Write("config.xml", content);
    const auto before = Files(dir.Path());
    Settings::CSettingsMgr settings(dir.Path().string());
    Config::General::GeneralManager general;
    Update::UpdateManager update;
    settings.AddSection("General", &general);
    settings.AddSection("Update", &update);
    EXPECT_FALSE(settings.LoadSettings());

    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_THAT(prompt.messages[0], StartsWith("Error reading config file: " + settings.ConfigPath() + "\n"));
    EXPECT_THAT(prompt.messages[0], Not(HasSubstr("Progres")));
    EXPECT_TRUE(before == Files(dir.Path()));
    EXPECT_EQ("foods/usda-sr24.xml", general.GetDataSource());
    EXPECT_TRUE(general.IsMaximized());
    EXPECT_EQ(2, general.SmartHierarchyDepth());
    EXPECT_EQ("never", update.TimeInterval());
    EXPECT_FALSE(update.IsCheckDue(false));
    EXPECT_FALSE(settings.IsModified());

    ASSERT_TRUE(settings.SaveSettings());
    ASSERT_EQ(2u, prompt.messages.size());
    EXPECT_EQ("The settings file " + settings.ConfigPath() + " could not be read; it was kept as " +
                  settings.ConfigPath() + ".broken.",
              prompt.messages[1]);
    EXPECT_TRUE(content == FileUtil::ReadFile(dir.File("config.xml.broken")));
    EXPECT_TRUE(settings.LoadSettings());
    EXPECT_EQ("foods/usda-sr24.xml", general.GetDataSource());
    EXPECT_EQ(2u, prompt.messages.size());
}

const std::string kConfig = "data/config.xml";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileConfigTest,
    ::testing::Values(
        HostileConfig{"Empty", [] { return std::string(); }},
        HostileConfig{"Truncated",
                      [] {
                          const auto t = Fixture(kConfig);
                          return t.substr(0, t.size() / 2);
                      }},
        HostileConfig{"Garbage",
                      [] {
                          static const char kPng[] = "\x89PNG\r\n\x1a\n\x00\x00 not settings at all";
                          return std::string(kPng, sizeof kPng - 1);
                      }},
        HostileConfig{"NoRoot", [] { return std::string("<?xml version=\"1.0\"?>\n"); }},
        HostileConfig{"WrongRoot", [] { return std::string("<Profile><section name=\"General\"/></Profile>"); }},
        HostileConfig{"NulByte", [] { return Replaced(Fixture(kConfig), "kg/cm", std::string("kg\0cm", 5)); }},
        HostileConfig{"Utf16WithoutBomOrDeclaration",
                      [] { return Utf16WithoutBom(WithoutDeclaration(Fixture(kConfig))); }},
        HostileConfig{"Latin1ClaimingUtf8",
                      [] { return Replaced(Fixture(kConfig), "foods/usda-sr24.xml", "foods/l\xE9gumes.xml"); }},
        HostileConfig{
            "EntityExpansion",
            [] { return BillionLaughs("settings", WithoutDeclaration(Replaced(Fixture(kConfig), "kg/cm", "@"))); }},
        HostileConfig{
            "ExternalEntity",
            [] { return ExternalEntity("settings", WithoutDeclaration(Replaced(Fixture(kConfig), "kg/cm", "@"))); }},
        HostileConfig{"ParamWithoutName", [] { return Replaced(Fixture(kConfig), "name=\"Maximized\" ", ""); }},
        HostileConfig{"DeepNesting",
                      [] {
                          return Replaced(Fixture(kConfig), "<section name=\"Update\">",
                                          Nested(100000, "param") + "<section name=\"Update\">");
                      }},
        HostileConfig{"HundredMegabyteAttribute",
                      [] { return Replaced(Fixture(kConfig), "name=\"Maximized\"", "name=\"" + kHundredMb + "\""); }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- clipboard ---------------------------------------------------------------------------------

struct HostileClipboard {
    const char* name;
    std::function<std::string()> text;
    friend void PrintTo(const HostileClipboard& c, std::ostream* os) { *os << c.name; }
};

class HostileClipboardTest : public ::testing::TestWithParam<HostileClipboard> {};

TEST_P(HostileClipboardTest, FailsToPasteAndLeavesTheDayEmpty) {
    ScopedClock clock{boost::gregorian::date(2024, 3, 10)};
    RecordingPrompt prompt;
    CProfileDocument doc(&DocumentFixture::Meals(), &DocumentFixture::Foods());
    EXPECT_FALSE(doc.Paste(GetParam().text()));
    EXPECT_THAT(prompt.messages, ElementsAre(CProfileDocument::kPasteFailed));
    EXPECT_TRUE(doc.CurrentDay().IsEmpty());
    EXPECT_FALSE(doc.IsModified());
}

constexpr std::size_t kFiftyMb = 50u << 20;

std::string ClipboardDay(const std::string& inner) {
    return "<clipboard method=\"copy\"><LogDay date=\"20240310\">" + inner + "</LogDay></clipboard>";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileClipboardTest,
    ::testing::Values(
        HostileClipboard{"FiftyMegabytesOfText", [] { return std::string(kFiftyMb, 'x'); }},
        HostileClipboard{"FiftyMegabyteFoodName",
                         [] {
                             return ClipboardDay("<Food><dayFood weight=\"1\" id=\"7\" key=\"100\" name=\"" +
                                                 std::string(kFiftyMb, 'n') + "\"/></Food>");
                         }},
        HostileClipboard{"FiftyMegabytesOfFoodsCutShort",
                         [] {
                             std::string entries;
                             const std::string one = "<dayFood weight=\"1\" id=\"7\" key=\"100\" name=\"Stew\"/>";
                             while (entries.size() < kFiftyMb) entries += one;
                             return ClipboardDay("<Food>" + entries).substr(0, kFiftyMb);
                         }},
        HostileClipboard{"Utf16WithoutBom",
                         [] { return Utf16WithoutBom(ClipboardDay("<Fact name=\"Weight\" value=\"70\"/>")); }},
        HostileClipboard{
            "KeyBeyond32Bits",
            [] { return ClipboardDay("<Food><dayFood weight=\"1\" id=\"7\" key=\"4294967296\"/></Food>"); }},
        HostileClipboard{"DayWithoutDate", [] { return std::string("<clipboard><LogDay/></clipboard>"); }},
        HostileClipboard{"NoDay", [] { return std::string("<clipboard/>"); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
