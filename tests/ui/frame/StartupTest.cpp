#include "support/RunningApp.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"

#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> OpenTitles(CMainFrame& main) {
    std::vector<std::string> titles;
    for (CChildFrameBase* frame : main.ChildFrames()) titles.push_back(frame->GetActiveDocument()->GetTitle());
    return titles;
}

TEST(Startup, WithoutLoadLastProfileNothingIsOpenedOrCreated) {
    RunningApp run;
    const std::string ann = run.AddProfile("Ann", "Ann");
    run.SetRecentFiles({ann});
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.Main().isVisible());
    EXPECT_TRUE(run.Main().ChildFrames().empty());
    EXPECT_EQ(run.Main().MenuOnShow(), CMainFrame::kNoProfile);
    EXPECT_TRUE(run.prompt.messages.empty());
    EXPECT_TRUE(run.shell.opened.empty());
    EXPECT_FALSE(run.App().DataSource().Nutrients().empty());
}

TEST(Startup, LoadLastProfileTriesTheRecentFilesNewestFirstUntilOneOpens) {
    RunningApp::Config config;
    config.loadLastProfile = true;
    RunningApp run(config);
    run.Folder().Write("notes.txt", "not a profile");
    const std::string ann = run.AddProfile("Ann", "Ann");
    const std::string bob = run.AddProfile("Ann", "Bob");
    run.SetRecentFiles({run.Folder().File("profiles/Gone"), run.Folder().File("notes.txt"), ann, bob});
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.prompt.messages,
              (std::vector<std::string>{CDocManagerEx::kFailedToOpen, CDocManagerEx::kFailedToOpen}));
    EXPECT_EQ(OpenTitles(run.Main()), std::vector<std::string>{"Ann"});
    EXPECT_EQ(run.Main().MenuOnShow(), CMainFrame::kProfile);
    EXPECT_EQ(run.Main().ToolBarOnShow(), CMainFrame::kProfile);
}

TEST(Startup, TheMainWindowIsMaximisedAsTheSettingSays) {
    for (bool maximized : {true, false}) {
        RunningApp::Config config;
        config.maximized = maximized;
        RunningApp run(config);
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(run.Main().isMaximized(), maximized);
    }
}

TEST(Startup, LoadLastProfileWithNoRecentFilesOpensNothing) {
    RunningApp::Config config;
    config.loadLastProfile = true;
    RunningApp run(config);
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.Main().ChildFrames().empty());
    EXPECT_TRUE(run.prompt.messages.empty());
}

TEST(Startup, AProfileNamedOnTheCommandLineOpensBesideTheLastOne) {
    RunningApp::Config config;
    config.loadLastProfile = true;
    RunningApp run(config);
    const std::string ann = run.AddProfile("Ann", "Ann");
    const std::string bob = run.AddProfile("Ann", "Bob");
    run.SetRecentFiles({ann});
    ASSERT_TRUE(run.Start({bob, ann}));
    EXPECT_EQ(OpenTitles(run.Main()), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(run.Main().ActiveChildFrame()->GetActiveDocument()->GetTitle(), "Ann");
}

TEST(Startup, TheUserIdIsMadeOnceAndKept) {
    std::string first;
    {
        RunningApp run;
        ASSERT_TRUE(run.Start());
        first = run.App().GetUserId();
    }
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"))
            .match(QString::fromStdString(first))
            .hasMatch())
        << first;
    QSettings settings(QStringLiteral("Orrindale"), QStringLiteral("Velmora"));
    EXPECT_EQ(settings.value(QStringLiteral("Velmora/UserId")).toString().toStdString(), first);

    // A later start reads it back (RunningApp would clear it, so start this one by hand).
    TempDir folder;
    folder.Write("config.xml", "<?xml version=\"1.0\"?><settings/>");
    CVelmoraApp again(CVelmoraApp::Options{folder.Path().string(), std::string(), {}, {}, {}});
    RecordingPrompt prompt;
    RecordingShell shell;
    ASSERT_TRUE(again.InitInstance());
    EXPECT_EQ(again.GetUserId(), first);
    again.ExitInstance();
}

TEST(Startup, ADueUpdateCheckOpensTheUpdatePageWithTheUserId) {
    RunningApp::Config config;
    config.lastCheck = "01/02/24";
    RunningApp run(config);
    ASSERT_TRUE(run.Start());
    ASSERT_EQ(run.shell.opened.size(), 1u);
    const std::string& url = run.shell.opened.front();
    EXPECT_NE(url.find("/update/update.php?version=2.0.2&user={"), std::string::npos) << url;
    EXPECT_NE(url.find(run.App().GetUserId()), std::string::npos) << url;
    EXPECT_EQ(run.App().UpdateSettings().LastCheckDate(), "05/07/24");
    EXPECT_NE(run.Folder().Read("config.xml").find("05/07/24"), std::string::npos);
}

std::string InstalledConfig() {
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/data/config.xml");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The installed settings never open the browser on their own, even years after the last check;
// "Software Update" still opens the page when asked.
TEST(Startup, TheInstalledSettingsOpenTheUpdatePageOnlyWhenAsked) {
    RunningApp run;
    run.Folder().Write("config.xml", InstalledConfig());
    std::filesystem::create_directories(run.Folder().Path() / "foods");
    std::filesystem::copy_file(TestFile("model/foods.xml"), run.Folder().File("foods/usda-sr24.xml"));
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.prompt.messages.empty()) << run.prompt.messages.front();
    EXPECT_TRUE(run.shell.opened.empty());
    EXPECT_EQ(run.Folder().Read("config.xml"), InstalledConfig());

    run.App().RunCommand(Gui::CommandId::SoftwareUpdate);
    ASSERT_EQ(run.shell.opened.size(), 1u);
    EXPECT_NE(run.shell.opened[0].find("/update/update.php?version="), std::string::npos);
}

// A config.xml that can't be read is left as it is; the program runs on the installed settings,
// so the foods load and no update page opens.
TEST(Startup, AnUnreadableConfigIsKeptAndTheInstalledSettingsRun) {
    RunningApp run;
    const std::string broken = "<settings><section name=\"General\"><param name=\"Data Source\" type=\"ifile\">";
    run.Folder().Write("config.xml", broken);
    std::filesystem::create_directories(run.Folder().Path() / "foods");
    std::filesystem::copy_file(TestFile("model/foods.xml"), run.Folder().File("foods/usda-sr24.xml"));
    ASSERT_TRUE(run.Start());
    ASSERT_EQ(run.prompt.messages.size(), 1u);
    EXPECT_EQ(
        run.prompt.messages[0].rfind("Error reading config file: " + run.Folder().File("config.xml") + "\nline 1", 0),
        0u)
        << run.prompt.messages[0];
    EXPECT_EQ(run.Folder().Read("config.xml"), broken);
    EXPECT_FALSE(std::filesystem::exists(run.Folder().File("config.xml.broken")));
    EXPECT_TRUE(run.shell.opened.empty());
    EXPECT_FALSE(run.App().DataSource().Nutrients().empty());
    EXPECT_EQ(run.App().UpdateSettings().TimeInterval(), "never");
}

// --data-source names a file where the user stands, as with every command-line program; the
// application folder's file of the same name is not the one meant.
TEST(Startup, ARelativeDataSourceOptionIsTakenFromTheWorkingFolder) {
    ClearUserSettings();
    TempDir work, folder;
    std::filesystem::copy_file(TestFile("model/foods.xml"), work.File("mine.xml"));
    folder.Write("config.xml", "<?xml version=\"1.0\"?><settings/>");
    folder.Write("mine.xml", "not a data source");
    RecordingPrompt prompt;
    RecordingShell shell;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(work.Path());
    CVelmoraApp app(CVelmoraApp::Options{folder.Path().string(), std::string("mine.xml"), {}, {}, {}});
    const bool started = app.InitInstance();
    std::filesystem::current_path(before);
    ASSERT_TRUE(started);
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    EXPECT_FALSE(app.DataSource().Nutrients().empty());
    app.ExitInstance();
}

struct SourceCase {
    const char* name;
    const char* setting;  // "Data Source"; "@" stands for the test data folder
    bool loaded;
    const char* reason = "";  // why it did not load
};

class StartupDataSource : public ::testing::TestWithParam<SourceCase> {};

TEST_P(StartupDataSource, IsReadRelativeToTheApplicationFolderAndItsFailureReported) {
    const SourceCase& c = GetParam();
    std::string setting = c.setting;
    if (setting.rfind("@", 0) == 0) setting = TestFile(setting.substr(1));
    RunningApp::Config config;
    config.dataSource = setting;
    RunningApp run(config);
    std::filesystem::create_directories(run.Folder().Path() / "foods");
    std::filesystem::copy_file(TestFile("model/foods.xml"), run.Folder().File("foods/test.xml"));
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(!run.App().DataSource().Nutrients().empty(), c.loaded);
    if (c.loaded)
        EXPECT_TRUE(run.prompt.messages.empty());
    else
        EXPECT_EQ(run.prompt.messages,
                  std::vector<std::string>{CDataSourceMgr::kCantLoad +
                                           std::string(c.setting[0] == '@' ? setting : run.Folder().File(setting)) +
                                           "\n" + c.reason});
    EXPECT_TRUE(run.Main().isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    , StartupDataSource,
    ::testing::Values(SourceCase{"Relative", "foods/test.xml", true}, SourceCase{"Absolute", "@model/foods.xml", true},
                      SourceCase{"Missing", "foods/none.xml", false, "No such file or directory"},
                      SourceCase{"NotXml", "@ui/Ann-notes.txt", false, "line 1: Start tag expected, '<' not found"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
