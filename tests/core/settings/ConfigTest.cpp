#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/settings/GeneralManager.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"

#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace Config;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

std::string LogicErrorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "(no logic_error)";
}

Xml::XmlElement ParseRoot(Xml::XmlDocument& doc, const std::string& text) {
    EXPECT_TRUE(doc.LoadXml(text)) << doc.ParseError();
    return doc.Root();
}

// A store with the program's two sections over a temporary application folder.
struct Store {
    TempDir dir;
    RecordingPrompt prompt;
    General::GeneralManager general;
    Update::UpdateManager update;
    Settings::CSettingsMgr settings{dir.Path().string()};

    Store() {
        settings.AddSection("General", &general);
        settings.AddSection("Update", &update);
    }
    void WriteConfig(const std::string& body) { dir.Write("config.xml", "<settings>" + body + "</settings>"); }
};

}  // namespace

TEST(Param, TypedAccessChecksTheType) {
    Param n("n", Integer);
    n.SetValue("12abc");
    EXPECT_EQ(12, n.GetInt());
    n.SetValue("abc");
    EXPECT_EQ(0, n.GetInt());
    EXPECT_EQ("wrong setting type requested.", LogicErrorOf([&] { n.GetString(); }));
    EXPECT_EQ("wrong setting type requested.", LogicErrorOf([&] { n.GetBool(); }));

    Param b("b", Boolean);
    b.SetBool(true);
    EXPECT_EQ("true", b.Value());
    b.SetValue("maybe");
    EXPECT_EQ("wrong boolean setting format specified: maybe", LogicErrorOf([&] { b.GetBool(); }));
    EXPECT_EQ(std::nullopt, b.ReadBool());
    EXPECT_EQ(std::nullopt, n.ReadBool());

    Param s("s", "text");
    EXPECT_EQ(String, s.Type());
    EXPECT_EQ(Unknown, Param("u", nullptr).Type());
    EXPECT_EQ("wrong setting type requested.", LogicErrorOf([&] { s.SetIFile("x"); }));
}

TEST(Param, ReadsValueOrNestedParamsAndTypeNamesExactly) {
    Xml::XmlDocument doc;
    ConfigManager section;
    section.Load(
        ParseRoot(doc,
                  "<section name='General'>"
                  "<param name='Units' type='choice' write='true'><value>kg/cm</value></param>"
                  "<param name='Units' type='choice'><value>lb/inch</value></param>"
                  "<param name='Both' type='list'><description>d</description><value>v</value>"
                  "<param name='ignored' type='string'/></param>"
                  "<param name='Tree' type='list'><param name='leaf' type='Integer'><value>3</value></param></param>"
                  "</section>"));
    EXPECT_EQ("General", section.Name());
    EXPECT_EQ("kg/cm", section.FindChild("Units", 0)->Value());
    EXPECT_TRUE(section.FindChild("Units", 0)->IsWritable());
    EXPECT_EQ("lb/inch", section.FindChild("Units", 1)->Value());
    EXPECT_FALSE(section.FindChild("Units", 1)->IsWritable());
    EXPECT_EQ(nullptr, section.FindChild("Units", 2));

    const Param* both = section.FindChild("Both");
    EXPECT_EQ("v", both->Value());
    EXPECT_EQ("d", both->Description());
    EXPECT_TRUE(both->Children().empty());

    const Param* leaf = section.FindChild("Tree")->FindChild("leaf");
    ASSERT_NE(nullptr, leaf);
    EXPECT_EQ(Unknown, leaf->Type());
}

TEST(Param, EmptyValueIsWrittenAsAttributesOnly) {
    Xml::XmlDocument doc;
    Xml::XmlElement root = doc.CreateElement("root");
    doc.AppendChild(root);
    Param p("Data Source", IFile);
    p.SetDescription("where");
    p.Save(root);
    Param q("plain", String);
    q.Save(root);
    EXPECT_EQ(
        "<root>\n  <param name=\"Data Source\" type=\"ifile\">\n    <description>where</description>\n"
        "  </param>\n  <param name=\"plain\" type=\"string\"/>\n</root>",
        root.GetXml());
}

TEST(SettingsStore, SaveAndReadAgainGiveTheSameSections) {
    Store s;
    s.WriteConfig(
        "<section name='General'><param name='Units' type='choice' write='true'><description>u</description>"
        "<value>kg/cm</value></param><param name='Group' type='list'><param name='a' type='integer'><value>1</value>"
        "</param><param name='b' type='string'><value>two</value></param></param></section>"
        "<section name='Update'><param name='Time Interval' type='choice'><value>week</value></param></section>");
    s.settings.LoadSettings();
    ASSERT_TRUE(s.prompt.messages.empty()) << s.prompt.messages[0];
    ASSERT_TRUE(s.settings.SaveSettings());
    const std::string first = s.dir.Read("config.xml");

    s.settings.LoadSettings();
    ASSERT_TRUE(s.settings.SaveSettings());
    EXPECT_EQ(first, s.dir.Read("config.xml"));
    EXPECT_EQ("week", s.update.TimeInterval());
    EXPECT_EQ("two", s.general.FindChild("Group")->FindChild("b")->Value());
    // EnsureDefaults added the settings the file lacks after its own parameters, in order.
    const auto& children = s.general.Children();
    ASSERT_GE(children.size(), 4u);
    EXPECT_EQ("Maximized", children[children.size() - 4]->Name());
    EXPECT_EQ("More Data Sources", children[children.size() - 3]->Name());
    EXPECT_EQ("Default Targets", children[children.size() - 2]->Name());
    EXPECT_EQ("Reference Intakes", children.back()->Name());
    EXPECT_EQ("true", children[children.size() - 2]->Value());
    EXPECT_EQ("current", children.back()->Value());
    EXPECT_THAT(first, HasSubstr("<param name=\"Units\" type=\"choice\" write=\"true\">"));
}

TEST(SettingsStore, MissingFileIsReportedAndEverySettingFallsBack) {
    Store s;
    EXPECT_FALSE(s.settings.LoadSettings());
    EXPECT_TRUE(s.settings.ReadFailed());
    ASSERT_EQ(1u, s.prompt.messages.size());
    EXPECT_EQ("Error reading config file: " + s.dir.File("config.xml") + "\nNo such file or directory",
              s.prompt.messages[0]);
    EXPECT_TRUE(s.general.Children().empty());
    EXPECT_EQ("", s.general.GetDataSource());
    EXPECT_TRUE(s.general.IsMaximized());
    EXPECT_EQ(2, s.general.SmartHierarchyDepth());
    EXPECT_EQ("month", s.update.TimeInterval());

    // The next save writes every registered section (there is nothing to keep aside), and the
    // next read finds them.
    ASSERT_TRUE(s.settings.SaveSettings());
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<settings>\n  <section name=\"General\"/>\n"
        "  <section name=\"Update\"/>\n</settings>\n",
        s.dir.Read("config.xml"));
    EXPECT_EQ(1u, s.prompt.messages.size());
    EXPECT_TRUE(s.settings.LoadSettings());
    EXPECT_FALSE(s.settings.ReadFailed());
    EXPECT_EQ(1u, s.prompt.messages.size());
    EXPECT_NE(nullptr, s.general.FindChild("Maximized"));
}

// The path, then the reason as the reader gives it (line and what was wrong), never the
// reader's own progress notes.
TEST(SettingsStore, ReadErrorNamesTheFileAndTheReason) {
    const std::string runsOnInstalled = "\nThe program runs on the installed settings; the file is kept as it is.";
    const struct {
        const char* content;
        const char* reason;
    } cases[] = {
        {"<settings>\n<section name='General'>\n</settings>",
         "line 3, column 12: Premature end of data in tag settings line 1"},
        {"<settings><section name='General'><param type='string'><value>x</value></param></section></settings>",
         "section \"General\": Attribute value is missing"},
        {"<Profile/>", "the root element is <Profile>, not <settings>"},
    };
    for (const auto& c : cases) {
        Store s;
        s.dir.Write("config.xml", c.content);
        EXPECT_FALSE(s.settings.LoadSettings());
        EXPECT_THAT(s.prompt.messages, ElementsAre("Error reading config file: " + s.dir.File("config.xml") + "\n" +
                                                   c.reason + runsOnInstalled));
    }
}

// The unreadable file is moved aside under a free name before anything is written: numbered
// when an earlier one is still there.
TEST(SettingsStore, UnreadableFileIsKeptUnderAFreeNameAtTheNextSave) {
    Store s;
    s.dir.Write("config.xml.broken", "older");
    s.dir.Write("config.xml.broken.1", "older still");
    s.dir.Write("config.xml", "<settings>");
    EXPECT_FALSE(s.settings.LoadSettings());
    EXPECT_EQ("<settings>", s.dir.Read("config.xml"));
    ASSERT_TRUE(s.settings.SaveSettings());
    EXPECT_EQ("<settings>", s.dir.Read("config.xml.broken.2"));
    EXPECT_EQ("older", s.dir.Read("config.xml.broken"));
    EXPECT_EQ("older still", s.dir.Read("config.xml.broken.1"));
    ASSERT_EQ(2u, s.prompt.messages.size());
    EXPECT_EQ("The settings file " + s.dir.File("config.xml") + " could not be read; it was kept as " +
                  s.dir.File("config.xml.broken.2") + ".",
              s.prompt.messages[1]);
    // Told once: later saves write as usual.
    ASSERT_TRUE(s.settings.SaveSettings());
    EXPECT_EQ(2u, s.prompt.messages.size());
    EXPECT_FALSE(std::filesystem::exists(s.dir.File("config.xml.broken.3")));
    EXPECT_TRUE(s.settings.LoadSettings());
    EXPECT_EQ("foods/usda-sr24.xml", s.general.GetDataSource());
}

TEST(SettingsStore, FailedSaveIsReportedAndKeepsTheModifiedFlag) {
    Store s;
    s.settings.LoadSettings();
    s.prompt.messages.clear();
    s.update.SetModified(true);
    std::filesystem::create_directory(s.dir.Path() / "config.xml");  // a folder where the file must go
    EXPECT_FALSE(s.settings.SaveSettings());
    ASSERT_EQ(1u, s.prompt.messages.size());
    EXPECT_THAT(s.prompt.messages[0],
                ::testing::StartsWith("Can't save settings:\n" + s.dir.File("config.xml") + "\n"));
    EXPECT_TRUE(s.settings.IsModified());
}

TEST(GeneralSettings, AccessorsDefaultsChoicesAndEditor) {
    Store s;
    s.WriteConfig(
        "<section name='General'><param name='Data Source' type='ifile'><value>foods/a.xml</value></param>"
        "<param name='Smart Hierarchy Depth' type='string'><value>3</value></param>"
        "<param name='Load Last Profile' type='boolean'><value>true</value></param>"
        "<param name='Reference Intakes' type='choice'><value>1997</value></param></section>");
    s.settings.LoadSettings();
    EXPECT_EQ("foods/a.xml", s.general.GetDataSource());
    EXPECT_EQ("current", s.general.ReferenceIntakes());  // not one of the choices: the default
    EXPECT_TRUE(s.general.DefaultTargets());
    std::vector<std::string> editions;
    s.general.GetChoices("Reference Intakes", editions);
    EXPECT_EQ((std::vector<std::string>{"current", "original"}), editions);
    EXPECT_TRUE(s.general.LoadLastProfile());
    EXPECT_FALSE(s.general.RunWizard());
    EXPECT_FALSE(s.general.UseFullTitle());
    EXPECT_EQ(2, s.general.SmartHierarchySize());
    EXPECT_EQ(2, s.general.SmartHierarchyDepth());  // given as a string: the default

    const Param* maximized = s.general.FindChild("Maximized");
    ASSERT_NE(nullptr, maximized);
    EXPECT_EQ("true", maximized->Value());
    EXPECT_EQ("Start up application with maximized window", maximized->Description());
    EXPECT_TRUE(maximized->IsWritable());

    std::vector<std::string> choices;
    s.general.GetChoices("Units", choices);
    s.general.GetChoices("Maximized", choices);
    EXPECT_THAT(choices, ElementsAre("kg/cm", "lb/inch"));

    struct Chooser : Services::IFileChooser {
        std::optional<std::string> answer;
        std::string shownInitial, shownFilter;
        std::optional<std::string> OpenFile(const std::string& initial, const std::string&,
                                            const std::string& filter) override {
            shownInitial = initial;
            shownFilter = filter;
            return answer;
        }
    } chooser;
    Services::SetFileChooser(&chooser);
    EXPECT_FALSE(s.general.Edit("Data Source"));  // cancelled
    EXPECT_FALSE(s.general.IsModified());
    chooser.answer = "/data/other.xml";
    EXPECT_TRUE(s.general.Edit("Data Source"));
    Services::SetFileChooser(nullptr);
    EXPECT_EQ("foods/a.xml", chooser.shownInitial);
    EXPECT_EQ("Nutrition Data File (*.xml)|*.xml|All Files (*.*)|*.*||", chooser.shownFilter);
    EXPECT_EQ("/data/other.xml", s.general.GetDataSource());
    EXPECT_TRUE(s.settings.IsModified());
}

TEST(GeneralSettings, SetDataSourceNeedsTheParameter) {
    General::GeneralManager general;
    EXPECT_FALSE(general.SetDataSource("x.xml"));
    EXPECT_TRUE(general.Children().empty());
}

TEST(InstalledConfig, HoldsEverySettingWithItsDescription) {
    Store s;
    s.dir.Write("config.xml", FileUtil::ReadFile(std::string(VELMORA_SOURCE_DIR) + "/data/config.xml"));
    s.settings.LoadSettings();
    ASSERT_TRUE(s.prompt.messages.empty()) << s.prompt.messages[0];
    for (const char* name : {"Data Source", "Maximized", "Load Last Profile", "Units", "Run Wizard",
                             "Smart Hierarchy Depth", "Smart Hierarchy Size", "Use Full Title"}) {
        const Param* p = s.general.FindChild(name);
        ASSERT_NE(nullptr, p) << name;
        EXPECT_FALSE(p->Description().empty()) << name;
    }
    EXPECT_FALSE(s.general.GetDataSource().empty());
    EXPECT_TRUE(s.general.IsMaximized());
    EXPECT_FALSE(s.general.LoadLastProfile());
    EXPECT_EQ(2, s.general.SmartHierarchyDepth());
    EXPECT_EQ(2, s.general.SmartHierarchySize());
    EXPECT_EQ("never", s.update.TimeInterval());
    EXPECT_EQ(Choice, s.update.FindChild("Time Interval")->Type());
}

// A flag written by hand reads as meant where the meaning is plain; anything else, and a known
// parameter given another type, gives the default and a note in log.txt, never an exception.
TEST(GeneralSettings, AccessorsReadFlagsLenientlyAndNeverRaise) {
    const struct {
        const char* type;
        const char* value;
        bool expected;  // "Load Last Profile", default false
    } cases[] = {
        {"boolean", "true", true},   {"boolean", "True", true},   {"boolean", "YES", true},  {"boolean", "1", true},
        {"boolean", " yes ", true},  {"boolean", "false", false}, {"boolean", "No", false},  {"boolean", "0", false},
        {"boolean", "maybe", false}, {"boolean", "", false},      {"string", "true", false}, {"integer", "1", false},
    };
    for (const auto& c : cases) {
        TempDir logDir;
        SetLogFolder(logDir.Path().string() + "/");
        Store s;
        s.WriteConfig(std::string("<section name='General'><param name='Load Last Profile' type='") + c.type +
                      "'><value>" + c.value +
                      "</value></param><param name='Maximized' type='string'><value>yes"
                      "</value></param><param name='Smart Hierarchy Size' type='boolean'><value>5</value></param>"
                      "<param name='Data Source' type='string'><value>foods/a.xml</value></param></section>");
        EXPECT_TRUE(s.settings.LoadSettings());
        EXPECT_EQ(c.expected, s.general.LoadLastProfile()) << c.type << " '" << c.value << "'";
        EXPECT_EQ(c.expected, s.general.LoadLastProfile()) << c.type << " '" << c.value << "'";
        EXPECT_TRUE(s.general.IsMaximized());
        EXPECT_EQ(2, s.general.SmartHierarchySize());
        EXPECT_EQ("", s.general.GetDataSource());

        const std::string log = logDir.Read("log.txt");
        const bool plain = std::string(c.type) == "boolean" && std::string(c.value) != "maybe" && *c.value;
        const std::string note = std::string("Setting \"Load Last Profile\" (") + c.type + ") has the value \"" +
                                 c.value + "\", which can't be read; using false instead.";
        EXPECT_EQ(plain ? 0u : 1u, Occurrences(log, note)) << log;
        EXPECT_EQ(1u, Occurrences(log,
                                  "Setting \"Maximized\" (string) has the value \"yes\", which can't be read; "
                                  "using true instead."))
            << log;
        EXPECT_EQ(1u, Occurrences(log, "Setting \"Smart Hierarchy Size\" (boolean)")) << log;
        EXPECT_EQ(1u, Occurrences(log, "Setting \"Data Source\" (string)")) << log;
        SetLogFolder("");
    }
}
