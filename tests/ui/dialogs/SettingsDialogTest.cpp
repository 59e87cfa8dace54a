#include "support/RunningApp.h"

#include "ui/dialogs/DlgSettings.h"
#include "ui/frame/MainFrame.h"

#include "core/AppDir.h"
#include "core/settings/ConfigManager.h"
#include "core/settings/SettingsMgr.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

#include "core/settings/GeneralManager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using Gui::CommandId;
using Services::Answer;

const char* const kQuestion = "Settings have been modified.\rPress Yes to save the changes.";

// A section with a parameter of every kind; it offers choices and an editor, and records what it
// was asked for.
class TestSection : public Config::ConfigManager {
public:
    void GetChoices(const std::string& name, std::vector<std::string>& choices) const override {
        choicesAsked.push_back(name);
        if (name == "Mode") choices = {"slow", "fast"};
        if (name == "a.b") choices = {"one", "two"};
    }
    bool Edit(const std::string& name) override {
        edited.push_back(name);
        if (name != "File") return false;
        FindChild("File")->SetValue("/data/new.xml");
        return true;
    }

    mutable std::vector<std::string> choicesAsked;
    std::vector<std::string> edited;
};

const char* const kConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<settings>
  <section name="Test">
    <param name="Count" type="integer" write="true"><description>How many</description><value>3</value></param>
    <param name="Title" type="string" write="true"><value>Plain</value></param>
    <param name="Flag" type="boolean" write="true"><value>false</value></param>
    <param name="File" type="ifile" write="true"><value>foods/a.xml</value></param>
    <param name="Items" type="list" write="true"><value>x</value></param>
    <param name="Mode" type="choice" write="true"><value>fast</value></param>
    <param name="Since" type="info" write="true"><value>07/03/10</value></param>
    <param name="Hidden" type="string"><value>secret</value></param>
    <param name="a" type="string" write="true">
      <param name="b" type="choice" write="true"><value>two</value></param>
      <param name="c" type="list" write="true"><value>y</value></param>
    </param>
    <param name="Blob" type="content" write="true"><value>x</value></param>
  </section>
  <section name="Quiet">
    <param name="Stamp" type="info"><value>1</value></param>
  </section>
</settings>
)";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SettingsDialog : public ::testing::Test {
protected:
    SettingsDialog() : settings(folder.Path().string()) {
        folder.Write("config.xml", kConfig);
        settings.AddSection("Test", &section);
        settings.AddSection("Quiet", &quiet);
        settings.LoadSettings();
        dialog = std::make_unique<DlgSettings>(settings, "/opt/velmora");
    }

    const DlgSettings::ConfigUIBuilder::Row& Row(const std::string& path) {
        const auto* row = dialog->Builder().Find(path);
        if (!row) throw std::runtime_error("no row " + path);
        return *row;
    }
    const std::string& Value(const std::string& name) { return section.FindChild(name)->Value(); }

    TempDir folder;
    RecordingPrompt prompt;
    TestSection section;
    TestSection quiet;
    Settings::CSettingsMgr settings;
    std::unique_ptr<DlgSettings> dialog;
};

TEST_F(SettingsDialog, BuildsARowForEveryWritableParameterByType) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Velmora Settings"));
    ASSERT_EQ(dialog->Tree()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog->Tree()->topLevelItem(0)->text(0), QStringLiteral("Test"));
    EXPECT_EQ(dialog->Tree()->topLevelItem(1)->text(0), QStringLiteral("Quiet"));
    // Read-only, content and the sections without writable parameters get nothing.
    EXPECT_EQ(dialog->Builder().Paths(), (std::vector<std::string>{"Count", "Title", "Flag", "File", "Items", "Mode",
                                                                   "Since", "a", "a.b", "a.c"}));

    EXPECT_EQ(Row("Count").label->text(), QStringLiteral("Count"));
    EXPECT_EQ(Row("Count").edit->text(), QStringLiteral("3"));
    EXPECT_EQ(Row("Count").edit->toolTip(), QStringLiteral("How many"));
    EXPECT_EQ(Row("Flag").check->text(), QStringLiteral("Flag"));
    EXPECT_FALSE(Row("Flag").check->isChecked());
    EXPECT_EQ(Row("File").edit->text(), QStringLiteral("foods/a.xml"));
    EXPECT_EQ(Row("File").button->text(), QStringLiteral("..."));
    EXPECT_EQ(Row("Items").button->text(), QStringLiteral("View/Modify"));
    EXPECT_EQ(Row("Items").label->text(), QStringLiteral("Items"));
    EXPECT_EQ(Row("Items").edit, nullptr);
    EXPECT_EQ(Row("Since").info->text(), QStringLiteral("07/03/10"));
    EXPECT_EQ(Row("Mode").choice->count(), 2);
    EXPECT_EQ(Row("Mode").choice->currentText(), QStringLiteral("fast"));
    EXPECT_EQ(Row("a.b").label->text(), QStringLiteral("b"));
    EXPECT_EQ(Row("a.b").choice->currentText(), QStringLiteral("two"));
    EXPECT_EQ(section.choicesAsked, (std::vector<std::string>{"Mode", "a.b"}));
}

TEST_F(SettingsDialog, TheTreeChoosesThePage) {
    EXPECT_EQ(dialog->Pages()->currentIndex(), 0);
    dialog->Tree()->setCurrentItem(dialog->Tree()->topLevelItem(1));
    EXPECT_EQ(dialog->Pages()->currentIndex(), 1);
}

TEST_F(SettingsDialog, ExitWithoutAChangeAsksNothing) {
    Row("Flag").check->setChecked(true);
    Row("Flag").check->setChecked(false);
    Row("Title").edit->setText(QStringLiteral("Plain"));
    dialog->ExitButton()->click();
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(settings.IsModified());
}

TEST_F(SettingsDialog, ExitAndYesSavesEveryKindOfRow) {
    Row("Count").edit->setText(QStringLiteral("12x"));  // stored as typed
    Row("Flag").check->setChecked(true);
    Row("Mode").choice->setCurrentIndex(0);
    Row("a.b").choice->setCurrentIndex(0);
    prompt.answers = {Answer::Yes};
    dialog->ExitButton()->click();
    EXPECT_EQ(prompt.questions, std::vector<std::string>{kQuestion});

    TestSection reread;
    Settings::CSettingsMgr again(folder.Path().string());
    again.AddSection("Test", &reread);
    again.LoadSettings();
    EXPECT_EQ(reread.FindChild("Count")->Value(), "12x");
    EXPECT_EQ(reread.FindChild("Flag")->Value(), "true");
    EXPECT_EQ(reread.FindChild("Mode")->Value(), "slow");
    EXPECT_EQ(reread.FindChild("a")->FindChild("b")->Value(), "one");
    EXPECT_EQ(reread.FindChild("Hidden")->Value(), "secret");
}

TEST_F(SettingsDialog, ExitAndNoRestoresTheFile) {
    const std::string before = ReadFile(folder.File("config.xml"));
    Row("Title").edit->setText(QStringLiteral("Fancy"));
    prompt.answers = {Answer::No};
    dialog->ExitButton()->click();
    EXPECT_EQ(prompt.questions, std::vector<std::string>{kQuestion});
    EXPECT_EQ(Value("Title"), "Plain");
    EXPECT_FALSE(settings.IsModified());
    EXPECT_EQ(ReadFile(folder.File("config.xml")), before);
}

TEST_F(SettingsDialog, TheEditorButtonShowsTheNewValueAndExitOffersToSaveIt) {
    Row("Items").button->click();
    Row("a.c").button->click();
    EXPECT_FALSE(settings.IsModified());
    Row("File").button->click();
    EXPECT_EQ(section.edited, (std::vector<std::string>{"Items", "a.c", "File"}));
    EXPECT_EQ(Row("File").edit->text(), QStringLiteral("/data/new.xml"));
    prompt.answers = {Answer::Yes};
    dialog->ExitButton()->click();
    EXPECT_EQ(prompt.questions, std::vector<std::string>{kQuestion});
    EXPECT_NE(ReadFile(folder.File("config.xml")).find("/data/new.xml"), std::string::npos);
}

TEST_F(SettingsDialog, EscapeDiscardsTypedAndEditedValuesWithoutAsking) {
    dialog->show();
    Row("Title").edit->setText(QStringLiteral("Fancy"));
    Row("File").button->click();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(Value("Title"), "Plain");
    EXPECT_EQ(Value("File"), "foods/a.xml");
    EXPECT_FALSE(settings.IsModified());
}

TEST_F(SettingsDialog, AValueNotAmongTheChoicesIsLeftAlone) {
    dialog.reset();
    section.FindChild("Mode")->SetValue("medium");
    dialog = std::make_unique<DlgSettings>(settings, "/opt/velmora");
    EXPECT_EQ(Row("Mode").choice->currentIndex(), -1);
    dialog->ExitButton()->click();
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(Value("Mode"), "medium");
}

TEST_F(SettingsDialog, HelpOpensTheSettingsPage) {
    RecordingShell shell;
    dialog->HelpButton()->click();
    EXPECT_EQ(shell.opened,
              std::vector<std::string>{"file://" + AppDir::ExecutableDir() + "/help/reference/settings_manager.htm"});
}

struct BrokenCase {
    const char* what;
    int type;
    const char* value;
    const char* error;
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.what; }

class SettingsDialogRefuses : public testing::TestWithParam<BrokenCase> {};

TEST_P(SettingsDialogRefuses, AParameterItCannotShow) {
    const BrokenCase& c = GetParam();
    TempDir folder;
    Settings::CSettingsMgr settings(folder.Path().string());
    Config::ConfigManager section;
    auto outer = std::make_unique<Config::Param>("x", Config::String);
    auto inner = std::make_unique<Config::Param>("y", static_cast<Config::ParamType>(c.type));
    inner->SetWritable(true);
    inner->SetValue(c.value);
    outer->AddChild(std::move(inner));
    section.AddChild(std::move(outer));
    settings.AddSection("Broken", &section);
    try {
        DlgSettings dialog(settings, "/opt/velmora");
        ADD_FAILURE() << "built";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Dialog, SettingsDialogRefuses,
                         testing::Values(BrokenCase{"type index 10", 10, "1", "Unknown control type: x.y"},
                                         BrokenCase{"boolean neither true nor false", Config::Boolean, "maybe",
                                                    "wrong boolean setting format specified: maybe"}));

// "More Data Sources": each added table shows as a row of its own at once, and its file is
// saved; a row emptied by the user is no table.
TEST(SettingsMoreDataSources, AddedTablesShowAtOnceAndAreSaved) {
    struct Chooser : Services::IFileChooser {
        std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override {
            return next;
        }
        std::string next;
    } chooser;
    Services::SetFileChooser(&chooser);
    TempDir folder;
    {
        std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/data/config.xml");
        std::ostringstream text;
        text << in.rdbuf();
        folder.Write("config.xml", text.str());
    }
    RecordingPrompt prompt;
    prompt.answers = {Answer::Yes};
    Settings::CSettingsMgr settings(folder.Path().string());
    Config::General::GeneralManager general;
    settings.AddSection("General", &general);
    settings.LoadSettings();
    DlgSettings dialog(settings, "/opt/velmora");
    const auto* list = dialog.Builder().Find("More Data Sources");
    ASSERT_NE(nullptr, list);
    for (const char* file : {"foods/ifct2017.xml", "/data/other.xml"}) {
        chooser.next = file;
        list->button->click();
    }
    const auto* first = dialog.Builder().Find("More Data Sources.File 1");
    const auto* second = dialog.Builder().Find("More Data Sources.File 2");
    ASSERT_TRUE(first && second && first->edit && second->edit);
    EXPECT_EQ("foods/ifct2017.xml", first->edit->text().toStdString());
    second->edit->clear();
    dialog.ExitButton()->click();
    Services::SetFileChooser(nullptr);

    EXPECT_EQ(std::vector<std::string>{"foods/ifct2017.xml"}, general.GetMoreDataSources());
    Settings::CSettingsMgr again(folder.Path().string());
    Config::General::GeneralManager reread;
    again.AddSection("General", &reread);
    again.LoadSettings();
    EXPECT_EQ(std::vector<std::string>{"foods/ifct2017.xml"}, reread.GetMoreDataSources());
}

TEST(SettingsCommand, OpensTheApplicationsSections) {
    RunningApp run;
    ASSERT_TRUE(run.Start());
    std::vector<QString> sections;
    OnNextDialog<DlgSettings>([&](DlgSettings& dialog) {
        for (int i = 0; i < dialog.Tree()->topLevelItemCount(); ++i)
            sections.push_back(dialog.Tree()->topLevelItem(i)->text(0));
        dialog.reject();
    });
    run.Main().ExecuteCommand(CommandId::Settings);
    EXPECT_EQ(sections, (std::vector<QString>{QStringLiteral("General"), QStringLiteral("Update")}));
    EXPECT_TRUE(run.prompt.questions.empty());
}

}  // namespace
