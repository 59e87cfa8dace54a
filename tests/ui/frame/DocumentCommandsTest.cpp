#include "support/RunningApp.h"

#include "ui/dialogs/DlgExportCsv.h"
#include "ui/dialogs/DlgFoodEditor.h"
#include "ui/dialogs/DlgSaveProfile.h"
#include "ui/dialogs/DlgSelectDate.h"
#include "ui/dialogs/DlgSelectProfile.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/QtServices.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewIngredients.h"
#include "ui/views/ViewPlaceholder.h"
#include "ui/views/ViewTrends.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Gui::CommandId;
namespace fs = std::filesystem;

class ProfileCommands : public ::testing::Test {
protected:
    ProfileCommands() {
        EXPECT_TRUE(run.Start());
        annPath = run.AddProfile("Ann", "Ann");
    }

    CVelmoraDoc* OpenAnn() { return run.App().DocManager()->OpenDocumentFile(annPath); }
    CMainFrame& main() { return run.Main(); }
    CVelmoraDoc* Active() { return main().ActiveChildFrame()->GetActiveDocument(); }
    // The day line of a placeholder view; other views show the day their own way, so for them
    // the document's current day stands in.
    QString DayShown() {
        if (auto* view = qobject_cast<CViewPlaceholder*>(main().ActiveChildFrame()->GetActiveView()))
            return view->DayText();
        const std::string key = Active()->CurrentDate();
        return QStringLiteral("Day: %1-%2-%3")
            .arg(QString::fromStdString(key.substr(0, 4)), QString::fromStdString(key.substr(4, 2)),
                 QString::fromStdString(key.substr(6, 2)));
    }
    bool Enabled(CommandId id) { return main().IsCommandEnabled(id); }

    RunningApp run;
    std::string annPath;
};

TEST_F(ProfileCommands, ADayCopiedPastesOntoAnEmptyDayKeepingThatDaysDate) {
    CVelmoraDoc* doc = OpenAnn();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(Enabled(CommandId::EditCopy));
    EXPECT_FALSE(Enabled(CommandId::EditPaste));
    main().ExecuteCommand(CommandId::EditCopy);
    const std::string text = QApplication::clipboard()->text().toStdString();
    EXPECT_EQ(text.rfind("<?xml", 0), 0u) << text;
    EXPECT_NE(text.find("<clipboard method=\"copy\">"), std::string::npos) << text;

    OnNextDialog<DlgSelectDate>([](DlgSelectDate& dialog) {
        dialog.Calendar()->setSelectedDate(QDate(2024, 5, 10));
        dialog.accept();
    });
    main().ExecuteCommand(CommandId::GoToDate);
    EXPECT_EQ(DayShown(), QStringLiteral("Day: 2024-05-10"));
    EXPECT_FALSE(Enabled(CommandId::EditCopy));
    EXPECT_TRUE(Enabled(CommandId::EditPaste));
    EXPECT_FALSE(doc->IsModified());

    main().ExecuteCommand(CommandId::EditPaste);
    const auto day = doc->Log().GetCurrentDay();
    EXPECT_EQ(day->date, "20240510");
    ASSERT_EQ(day->foods.size(), 1u);
    EXPECT_EQ(day->foods[0].name, "Nuts");
    EXPECT_DOUBLE_EQ(day->foods[0].weight, 30);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(run.prompt.messages.empty());
    EXPECT_EQ(doc->Log().FindDay("20240507") >= 0, true);
}

struct PasteCase {
    const char* name;
    const char* clipboard;
    const char* message;
};

class FailedPaste : public ProfileCommands, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(FailedPaste, TellsWhyAndLeavesTheDayAsItWas) {
    CVelmoraDoc* doc = OpenAnn();
    doc->GoToDate("20240601");
    QApplication::clipboard()->setText(QString::fromUtf8(GetParam().clipboard));
    main().ExecuteCommand(CommandId::EditPaste);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{GetParam().message});
    EXPECT_TRUE(doc->CurrentDay().IsEmpty());
    EXPECT_EQ(doc->CurrentDate(), "20240601");
}

INSTANTIATE_TEST_SUITE_P(
    , FailedPaste,
    ::testing::Values(PasteCase{"NoText", "", "Clipboard data is not available."},
                      PasteCase{"NotXml", "Stew, 250 g", "Failed to load data from clipboard."},
                      PasteCase{"NoLogDay", "<clipboard method=\"copy\"/>", "Failed to load data from clipboard."},
                      PasteCase{"DayWithoutDate", "<clipboard><LogDay><Food/></LogDay></clipboard>",
                                "Failed to load data from clipboard."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileCommands, DeleteEmptiesTheDayAndSavingDropsIt) {
    CVelmoraDoc* doc = OpenAnn();
    main().ExecuteCommand(CommandId::EditDelete);
    EXPECT_TRUE(doc->CurrentDay().IsEmpty());
    EXPECT_TRUE(doc->IsModified());
    main().ExecuteCommand(CommandId::FileSave);
    EXPECT_FALSE(doc->IsModified());
    const std::string saved = run.Folder().Read("profiles/Ann");
    EXPECT_EQ(saved.find("LogDay date=\"20240507\""), std::string::npos);
    EXPECT_NE(saved.find("LogDay date=\"20240506\""), std::string::npos);
}

TEST_F(ProfileCommands, ExportWritesTheWholeProfileElsewhereAndTheDocumentStaysAsItWas) {
    CVelmoraDoc* doc = OpenAnn();
    doc->SetModifiedFlag(true);
    const std::string target = run.Folder().File("AnnLee.vlx");
    QString suggested;
    OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        suggested = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        dialog.selectFile(QString::fromStdString(target));
        static_cast<QDialog&>(dialog).accept();
    });
    main().ExecuteCommand(CommandId::Export);
    EXPECT_EQ(suggested, QStringLiteral("AnnLee"));
    EXPECT_NE(run.Folder().Read("AnnLee.vlx").find("<root app=\"velmora\" type=\"profile\""), std::string::npos);
    EXPECT_EQ(doc->GetPathName(), annPath);
    EXPECT_EQ(doc->GetTitle(), "Ann");
    EXPECT_TRUE(doc->IsModified());
}

struct SaveTypeCase {
    const char* what;
    const char* typed;  // typed after the type is chosen; null: the suggested name stays
    int type;           // 0 PNG, 1 SVG
    const char* shown;  // the name in the dialog once the type is chosen
    const char* saved;
};

// The type chosen in a save dialog decides the file's extension, and so what is written into it.
TEST_F(ProfileCommands, TheTypeChosenInASaveDialogDecidesTheExtension) {
    const SaveTypeCase cases[] = {
        {"svg chosen for the suggested name", nullptr, 1, "Calcium (mg).svg", "Calcium (mg).svg"},
        {"svg chosen, then a name ending in png typed", "calcium.png", 1, "Calcium (mg).svg", "calcium.svg"},
        {"png chosen, then a name without extension typed", "calcium", 0, "Calcium (mg).png", "calcium.png"},
    };
    for (const SaveTypeCase& c : cases) {
        SCOPED_TRACE(c.what);
        QString shown;
        OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            dialog.setDirectory(QString::fromStdString(run.Folder().Path().string()));
            auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            types->setCurrentIndex(c.type);
            // As a click on the list does.
            emit types->activated(c.type);
            emit types->textActivated(types->currentText());
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            shown = name->text();
            if (c.typed) name->setText(QString::fromLatin1(c.typed));
            static_cast<QDialog&>(dialog).accept();
        });
        const auto path = Gui::ChooseSaveFile("Save Chart", "Calcium (mg)", "*.png",
                                              "PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg||");
        ASSERT_TRUE(path);
        EXPECT_EQ(*path, run.Folder().File(c.saved));
        EXPECT_EQ(shown, QString::fromLatin1(c.shown));
    }
    EXPECT_TRUE(run.prompt.questions.empty());
}

// A file dialog opens in the profiles folder, then in the folder of the last file chosen.
TEST_F(ProfileCommands, FileDialogsOpenInTheProfilesFolderThenTheLastOneUsed) {
    std::vector<QString> opened;
    TempDir elsewhere;
    OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        opened.push_back(dialog.directory().absolutePath());
        dialog.setDirectory(QString::fromStdString(elsewhere.Path().string()));
        dialog.selectFile(QStringLiteral("first.csv"));
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(Gui::ChooseSaveFile("Export CSV", "Ann", "*.csv", "CSV Files (*.csv)|*.csv||"),
              elsewhere.File("first.csv"));
    OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        opened.push_back(dialog.directory().absolutePath());
        static_cast<QDialog&>(dialog).reject();
    });
    Gui::QtFileChooser chooser;
    EXPECT_FALSE(chooser.OpenFile("", "*.vlx", "Profiles (*.vlx)|*.vlx||"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QDir(QString::fromStdString(run.Folder().File("profiles"))).absolutePath());
    EXPECT_EQ(opened[1], QDir(QString::fromStdString(elsewhere.Path().string())).absolutePath());
}

TEST_F(ProfileCommands, ANewProfileIsSavedUnderTheNameGivenInTheProfilesFolder) {
    main().ExecuteCommand(CommandId::FileNew);
    CVelmoraDoc* doc = Active();
    EXPECT_EQ(doc->GetTitle(), "Profile1");
    OnNextDialog<DlgSaveProfile>([](DlgSaveProfile& dialog) {
        EXPECT_EQ(dialog.List()->count(), 1);  // Ann
        dialog.NameEdit()->setText(QStringLiteral("Carol"));
        dialog.SaveButton()->click();
    });
    main().ExecuteCommand(CommandId::FileSave);
    const std::string carol = run.Folder().File("profiles/Carol");
    EXPECT_TRUE(fs::exists(carol));
    EXPECT_EQ(doc->GetPathName(), carol);
    EXPECT_EQ(doc->GetTitle(), "Carol");
    EXPECT_EQ(main().ActiveChildFrame()->windowTitle(), QStringLiteral("Carol[*]"));
    EXPECT_FALSE(doc->IsModified());
    ASSERT_FALSE(run.App().RecentFiles().Entries().empty());
    EXPECT_EQ(run.App().RecentFiles().Entries().front(), carol);
}

TEST_F(ProfileCommands, OpenChoosesAProfileByNameAndAnOpenOneComesForward) {
    run.AddProfile("Ann", "Bob");
    auto choose = [](const char* name) {
        OnNextDialog<DlgSelectProfile>([name](DlgSelectProfile& dialog) {
            const auto found = dialog.List()->findItems(QString::fromLatin1(name), Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1);
            dialog.List()->setCurrentItem(found.front());
            dialog.OkButton()->click();
        });
    };
    choose("Bob");
    main().ExecuteCommand(CommandId::FileOpen);
    main().ExecuteCommand(CommandId::FileNew);
    choose("Bob");
    main().ExecuteCommand(CommandId::FileOpen);
    EXPECT_EQ(main().ChildFrames().size(), 2u);
    EXPECT_EQ(Active()->GetTitle(), "Bob");
    EXPECT_EQ(Active()->GetPathName(), run.Folder().File("profiles/Bob"));
}

class Import : public ProfileCommands {
protected:
    Import() { Services::SetFileChooser(&chooser); }
    ~Import() override { Services::SetFileChooser(nullptr); }

    void ChooseFile(const std::string& path) {
        OnNextDialog<QFileDialog>([path](QFileDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import"));
            dialog.selectFile(QString::fromStdString(path));
            static_cast<QDialog&>(dialog).accept();
        });
    }

    Gui::QtFileChooser chooser;
};

TEST_F(Import, OpensTheFileAsANewModifiedProfileThatSavesIntoTheProfilesFolder) {
    TempDir elsewhere;
    const std::string source = elsewhere.File("Ann.vlx");
    fs::copy_file(annPath, source);
    const std::string before = elsewhere.Read("Ann.vlx");
    ChooseFile(source);
    main().ExecuteCommand(CommandId::Import);
    ASSERT_EQ(main().ChildFrames().size(), 1u);
    CVelmoraDoc* doc = Active();
    EXPECT_EQ(doc->GetTitle(), "Ann");
    EXPECT_TRUE(doc->IsModified());

    bool asked = false;
    OnNextDialog<DlgSaveProfile>([&](DlgSaveProfile& dialog) {
        asked = true;
        dialog.NameEdit()->setText(QStringLiteral("Ann Imported"));
        dialog.SaveButton()->click();
    });
    main().ExecuteCommand(CommandId::FileSave);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(fs::exists(run.Folder().File("profiles/Ann Imported")));
    EXPECT_EQ(elsewhere.Read("Ann.vlx"), before);
}

TEST_F(Import, AFileThatIsNotAProfileIsReported) {
    const std::string notes = TestFile("ui/Ann-notes.txt");
    ChooseFile(notes);
    main().ExecuteCommand(CommandId::Import);
    EXPECT_EQ(run.prompt.messages,
              (std::vector<std::string>{CDocManagerEx::kFailedToOpen, "Can't import document " + notes}));
    EXPECT_TRUE(main().ChildFrames().empty());
}

TEST_F(ProfileCommands, ReportsUseTheFoldersTemplatesElseTheProgramsAndOpenWhatTheyWrite) {
    OpenAnn();
    // The application folder has no xslt/ of its own.
    main().ExecuteCommand(CommandId::ReportSummary);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});
    ASSERT_EQ(run.shell.opened.size(), 1u);
    EXPECT_NE(run.shell.opened[0].find("/export.htm"), std::string::npos);
    EXPECT_NE(run.Folder().Read("export.htm").find("Nuts"), std::string::npos);

    // A template of the folder's own comes first, and one that does not load is named.
    const std::string folder = run.Folder().Path().string();
    run.Folder().Write("xslt/HTML.xsl", "not a style sheet");
    main().ExecuteCommand(CommandId::ReportSummary);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{"Can't load template: " + folder + "/xslt/HTML.xsl"});
    EXPECT_EQ(run.shell.opened.size(), 1u);

    main().ExecuteCommand(CommandId::ReportMenu);
    main().ExecuteCommand(CommandId::ReportXml);
    ASSERT_EQ(run.shell.opened.size(), 3u);
    EXPECT_NE(run.shell.opened[1].find("/export.htm"), std::string::npos);
    EXPECT_NE(run.shell.opened[2].find("/export.xml"), std::string::npos);
    EXPECT_NE(run.Folder().Read("export.xml").find("<root app=\"velmora\" type=\"profile\""), std::string::npos);
}

TEST_F(ProfileCommands, PeriodSummaryCoversTheTrendsTabsPeriodElseTheLastThirtyDays) {
    ASSERT_NE(OpenAnn(), nullptr);  // on 7 May 2024
    main().ExecuteCommand(CommandId::ReportPeriod);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});
    ASSERT_EQ(run.shell.opened.size(), 1u);
    EXPECT_NE(run.Folder().Read("export.htm").find("2024-04-08 to 2024-05-07: 2 of 30 days with foods"),
              std::string::npos);

    CChildFrameBase* frame = main().ActiveChildFrame();
    ASSERT_EQ(frame->TabName(6), "Trends");
    ASSERT_TRUE(frame->SelectTab(6));
    auto* trends = qobject_cast<CViewTrends*>(frame->GetActiveView());
    ASSERT_NE(trends, nullptr);
    trends->PeriodChooser()->setCurrentIndex(0);  // the last 7 days
    main().ExecuteCommand(CommandId::ReportPeriod);
    EXPECT_NE(run.Folder().Read("export.htm").find("2024-05-01 to 2024-05-07: 2 of 7 days with foods"),
              std::string::npos);
}

// Profile > Export CSV: the kind and days in one dialog, the file in the next, the entries in it.
TEST_F(ProfileCommands, ExportCsvWritesTheChosenDaysEntries) {
    ASSERT_NE(OpenAnn(), nullptr);
    const std::string out = run.Folder().File("ann.csv");
    OnNextDialog<DlgExportCsv>([&](DlgExportCsv& dialog) {
        dialog.EntriesButton()->setChecked(true);
        dialog.FromEdit()->setDate(QDate(2024, 5, 1));
        dialog.ToEdit()->setDate(QDate(2024, 5, 31));
        OnNextDialog<QFileDialog>([&](QFileDialog& files) {
            files.selectFile(QString::fromStdString(out));
            static_cast<QDialog&>(files).accept();
        });
        dialog.accept();
    });
    main().ExecuteCommand(CommandId::ExportCsv);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});
    ASSERT_TRUE(fs::exists(out));
    const std::string csv = run.Folder().Read("ann.csv");
    EXPECT_EQ(csv.rfind("date,meal,food,SOURCE:KEY,amount,unit,grams,", 0), 0u) << csv.substr(0, 200);
    EXPECT_NE(csv.find("Nuts"), std::string::npos);
}

}  // namespace

namespace {

QString MenuText(CMainFrame& main, CommandId id) {
    for (QAction* action : main.findChildren<QAction*>(QStringLiteral("cmd%1").arg(static_cast<int>(id))))
        if (qobject_cast<QMenu*>(action->parent())) return action->text();
    return {};
}

TEST_F(ProfileCommands, UndoTakesChangesBackAcrossTabsAndSavesUntilTheProfileCloses) {
    CVelmoraDoc* doc = OpenAnn();
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(Enabled(CommandId::EditUndo));
    const double weight = doc->DayFoods().at(0).weight;
    doc->SetFoodWeight(0, weight + 25);
    doc->DeleteDay();
    main().UpdateCommandUI();
    EXPECT_TRUE(Enabled(CommandId::EditUndo));
    EXPECT_FALSE(Enabled(CommandId::EditRedo));
    EXPECT_EQ(MenuText(main(), CommandId::EditUndo), QStringLiteral("&Undo Delete Day\tCtrl+Z"));

    ASSERT_TRUE(main().ActiveChildFrame()->SelectTab(1));
    ASSERT_TRUE(doc->DoFileSave());
    ASSERT_TRUE(main().ActiveChildFrame()->SelectTab(3));
    QTest::keyClick(&main(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(doc->DayFoods().size(), 1u);
    EXPECT_DOUBLE_EQ(doc->DayFoods()[0].weight, weight + 25);
    EXPECT_TRUE(doc->IsModified());
    main().ExecuteCommand(CommandId::EditUndo);
    EXPECT_DOUBLE_EQ(doc->DayFoods()[0].weight, weight);
    main().UpdateCommandUI();
    EXPECT_EQ(MenuText(main(), CommandId::EditRedo), QStringLiteral("&Redo Change Amount\tCtrl+Shift+Z"));
    EXPECT_EQ(MenuText(main(), CommandId::EditUndo), QStringLiteral("&Undo\tCtrl+Z"));
    QTest::keyClick(&main(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(doc->DayFoods()[0].weight, weight + 25);

    ASSERT_TRUE(doc->DoFileSave());
    main().ExecuteCommand(CommandId::FileClose);
    CVelmoraDoc* again = OpenAnn();
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(Enabled(CommandId::EditUndo));
    EXPECT_FALSE(Enabled(CommandId::EditRedo));
}

TEST_F(ProfileCommands, KeysBringTheFoodSearchAndStepThroughTheTabs) {
    ASSERT_NE(OpenAnn(), nullptr);
    CChildFrameBase* frame = main().ActiveChildFrame();
    QTest::keyClick(&main(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(frame->TabName(frame->CurrentTab()), "Food");
    auto* food = qobject_cast<CViewIngredients*>(frame->GetActiveView());
    ASSERT_NE(food, nullptr);
    EXPECT_TRUE(food->SearchBox().hasFocus() || QApplication::focusWidget() == &food->SearchBox());

    QTest::keyClick(&main(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(frame->TabName(frame->CurrentTab()), "Nutrients");
    for (int i = 0; i < 3; ++i) QTest::keyClick(&main(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentTab(), 1) << "round the end";
    QTest::keyClick(&main(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(frame->CurrentTab(), 0);
}

// A food or a recipe of your own is made from any tab; the food is saved to your table.
TEST_F(ProfileCommands, NewFoodNewRecipeAndSaveAsRecipeWorkOnEveryTab) {
    ASSERT_NE(OpenAnn(), nullptr);
    ASSERT_NE(run.App().MyFoods(), nullptr);
    ASSERT_FALSE(Active()->DayFoods().empty());
    CChildFrameBase* frame = main().ActiveChildFrame();
    for (int tab = 0; tab < frame->TabCount(); ++tab) {
        ASSERT_TRUE(frame->SelectTab(tab));
        main().UpdateCommandUI();
        for (CommandId id : {CommandId::NewFood, CommandId::NewRecipe, CommandId::SaveAsRecipe}) {
            EXPECT_TRUE(Enabled(id)) << frame->TabName(tab) << " " << static_cast<int>(id);
            for (QAction* action : main().CommandActions(id)) EXPECT_TRUE(action->isEnabled());
        }
    }

    ASSERT_TRUE(frame->SelectTab(0));
    OnNextDialog<Gui::DlgFoodEditor>([](Gui::DlgFoodEditor& dialog) {
        dialog.findChild<QLineEdit*>("name")->setText(QStringLiteral("Oat bar"));
        dialog.accept();
    });
    main().ExecuteCommand(CommandId::NewFood);
    const auto& mine = run.App().MyFoods()->Foods();
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine.front().food.Name(), "Oat bar");
}

}  // namespace
