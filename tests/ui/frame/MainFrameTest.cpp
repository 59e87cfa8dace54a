#include "support/RunningApp.h"

#include "DlgAbout.h"

#include "core/AppDir.h"
#include "ui/dialogs/DlgSelectProfile.h"
#include "ui/frame/AppContext.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/frame/Welcome.h"
#include "widgets/HyperLink.h"

#include <QAction>
#include <QCommandLinkButton>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>

#include <map>

namespace {

using Gui::CommandId;
using Services::Answer;

// Each menu as "title: item | item | ...", submenus in brackets, separators left out.
std::string Describe(const QMenu* menu) {
    std::string out = menu->title().toStdString() + ":";
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        out += ' ';
        if (a->menu()) {
            out += '[';
            out += Describe(a->menu());
            out += ']';
        } else {
            out += a->text().toStdString();
            out += " |";
        }
    }
    return out;
}

std::vector<std::string> Describe(const std::vector<QMenu*>& menus) {
    std::vector<std::string> out;
    for (const QMenu* m : menus) out.push_back(Describe(m));
    return out;
}

std::vector<int> Buttons(const QToolBar* bar) {
    std::vector<int> ids;
    for (const QAction* a : bar->actions()) ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    return ids;
}

class MainWindow : public ::testing::Test {
protected:
    MainWindow() { EXPECT_TRUE(run.Start()); }
    CMainFrame& main() { return run.Main(); }
    bool Enabled(CommandId id) {
        main().UpdateCommandUI();
        const auto actions = main().CommandActions(id);
        EXPECT_FALSE(actions.empty());
        return !actions.empty() && actions.front()->isEnabled();
    }
    RunningApp run;
};

TEST_F(MainWindow, WithoutAProfileShowsTheShortMenuAndToolBar) {
    EXPECT_EQ(Describe(main().Menus(CMainFrame::kNoProfile)),
              (std::vector<std::string>{"&Profile: &New\tCtrl+N | &Open\tCtrl+O | E&xit |",
                                        "&Help: &Reference | &About Program |"}));
    EXPECT_EQ(main().MenuOnShow(), CMainFrame::kNoProfile);
    EXPECT_EQ(main().ToolBarOnShow(), CMainFrame::kNoProfile);
    EXPECT_TRUE(main().ToolBar(CMainFrame::kNoProfile)->isVisible());
    EXPECT_FALSE(main().ToolBar(CMainFrame::kProfile)->isVisible());
    EXPECT_EQ(Buttons(main().ToolBar(CMainFrame::kNoProfile)),
              (std::vector<int>{57600, 57601, 0, 32872, 0, 57667, 57664}));
    for (CommandId on :
         {CommandId::FileNew, CommandId::FileOpen, CommandId::Import, CommandId::HelpFinder, CommandId::AppAbout})
        EXPECT_TRUE(Enabled(on)) << static_cast<int>(on);
}

TEST_F(MainWindow, AProfileWindowBringsTheProfileMenuAndToolBar) {
    QTest::keyClick(&main(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(main().ChildFrames().size(), 1u);
    EXPECT_EQ(main().ActiveChildFrame()->GetActiveDocument()->GetTitle(), "Profile1");
    EXPECT_EQ(main().MenuOnShow(), CMainFrame::kProfile);
    EXPECT_EQ(
        Describe(main().Menus(CMainFrame::kProfile)),
        (std::vector<std::string>{
            "&Profile: &New\tCtrl+N | &Open\tCtrl+O | &Close | &Save\tCtrl+S | Save &As\tCtrl+A | &Import\tCtrl+I | "
            "&Export\tCtrl+E | Export CSV...\tCtrl+Shift+X | &Exit |",
            "&Edit: &Undo\tCtrl+Z | &Redo\tCtrl+Shift+Z | &Delete\tCtrl+D | &Copy\tCtrl+C | &Paste\tCtrl+V | "
            "Copy Day &To...\tCtrl+Shift+C | Copy &Meal To...\tCtrl+Shift+M | Repeat &Yesterday's "
            "Meal...\tCtrl+Shift+Y | "
            "Facts ... |",
            "F&oods: &Find Food\tCtrl+F | &New Food ...\tCtrl+Shift+N | &Edit Food ...\tCtrl+Shift+E | D&uplicate Food "
            "...\tCtrl+Shift+U | "
            "&Delete Food\tCtrl+Shift+Del | New &Recipe ...\tCtrl+Shift+R | &Save as Recipe ...\tCtrl+Shift+S |",
            "Reports: [Daily: Summary | Menu |] Period Summary | Food Comparison | XML |",
            "Tools: Energy ... | Day &Targets\tCtrl+Shift+T | Software Update | &Settings |",
            "&Window: &Next Tab\tCtrl+PgDown | &Previous Tab\tCtrl+PgUp | &Cascade | &Tile |",
            "&Help: &Reference | &About Program |"}));
    EXPECT_EQ(main().ToolBarOnShow(), CMainFrame::kProfile);
    EXPECT_TRUE(main().ToolBar(CMainFrame::kProfile)->isVisible());
    EXPECT_FALSE(main().ToolBar(CMainFrame::kNoProfile)->isVisible());
    EXPECT_EQ(Buttons(main().ToolBar(CMainFrame::kProfile)),
              (std::vector<int>{57600, 57601, 57603, 0, 32872, 32877, 32864, 0, 57643, 57644, 57634, 57637, 32871, 0,
                                57667, 57664}));

    run.prompt.answers = {Answer::No};
    main().ExecuteCommand(CommandId::FileClose);
    QTest::qWait(0);
    EXPECT_EQ(run.prompt.questions, std::vector<std::string>{"Save changes to Profile1?"});
    EXPECT_TRUE(main().ChildFrames().empty());
    EXPECT_EQ(main().MenuOnShow(), CMainFrame::kNoProfile);
    EXPECT_EQ(main().ToolBarOnShow(), CMainFrame::kNoProfile);
}

TEST_F(MainWindow, TheEmptyWindowWelcomesWithTheWaysToBegin) {
    CWelcome* welcome = main().Welcome();
    ASSERT_TRUE(welcome);
    EXPECT_TRUE(welcome->isVisible());
    // Centred in the empty area, whole on a small screen.
    main().resize(1024, 600);
    QTest::qWait(0);
    const QRect area = main().MdiArea()->viewport()->rect();
    EXPECT_TRUE(area.contains(welcome->geometry())) << welcome->geometry().y() << " " << area.height();
    EXPECT_LE(std::abs(welcome->geometry().center().x() - area.center().x()), 1);

    welcome->HelpButton()->click();
    EXPECT_EQ(run.shell.opened,
              std::vector<std::string>{"file://" + AppDir::ExecutableDir() + "/help/start/start_main.htm"});

    // The buttons run the profile commands; the welcome steps aside while a profile is open.
    welcome->NewButton()->click();
    ASSERT_EQ(main().ChildFrames().size(), 1u);
    EXPECT_FALSE(welcome->isVisible());
    run.prompt.answers = {Answer::No};
    main().ExecuteCommand(CommandId::FileClose);
    QTest::qWait(0);
    EXPECT_TRUE(welcome->isVisible());

    run.AddProfile("Ann", "Bob");
    OnNextDialog<DlgSelectProfile>([](DlgSelectProfile& dialog) {
        dialog.List()->setCurrentItem(dialog.List()->findItems(QStringLiteral("Bob"), Qt::MatchExactly).value(0));
        dialog.OkButton()->click();
    });
    welcome->OpenButton()->click();
    ASSERT_EQ(main().ChildFrames().size(), 1u);
    EXPECT_EQ(main().ActiveChildFrame()->GetActiveDocument()->GetTitle(), "Bob");
}

TEST_F(MainWindow, CommandsWithoutAHandlerYetAreDisabled) {
    main().ExecuteCommand(CommandId::FileNew);
    EXPECT_FALSE(Enabled(CommandId::ReportFoodComparison));
    for (CommandId on : {CommandId::FileSave, CommandId::FileSaveAs, CommandId::Export, CommandId::EditDelete,
                         CommandId::GoToDate, CommandId::ReportSummary, CommandId::ReportMenu, CommandId::ReportXml,
                         CommandId::SoftwareUpdate, CommandId::WindowCascade, CommandId::Facts,
                         CommandId::EnergyRequirements, CommandId::Settings, CommandId::SelectIngredients})
        EXPECT_TRUE(Enabled(on)) << static_cast<int>(on);
    // A new profile's day is empty: nothing to copy, room to paste.
    EXPECT_FALSE(Enabled(CommandId::EditCopy));
    EXPECT_TRUE(Enabled(CommandId::EditPaste));
}

TEST_F(MainWindow, PromptsGoToTheStatusBarAndToolTips) {
    QAction* menuNew = main().CommandActions(CommandId::FileNew).front();
    EXPECT_EQ(menuNew->statusTip(), QStringLiteral("Create new profile"));
    std::map<int, std::string> tips;
    for (QAction* a : main().ToolBar(CMainFrame::kProfile)->actions())
        if (!a->isSeparator()) tips[a->data().toInt()] = a->toolTip().toStdString();
    EXPECT_EQ(tips[57600], "New profile");
    EXPECT_EQ(tips[32877], "Export profile");
    EXPECT_EQ(tips[32864], "Select Date");
    EXPECT_EQ(tips[57634], "Copy");
    EXPECT_EQ(tips[57667], "Help");
    EXPECT_EQ(tips[57664], "About program");
    // What a menu does when the pointer rests on an item.
    menuNew->showStatusText(main().menuBar());
    EXPECT_EQ(main().statusBar()->currentMessage(), QStringLiteral("Create new profile"));
}

TEST_F(MainWindow, HelpAndSoftwareUpdateOpenTheirPagesInTheBrowser) {
    // The application folder holds no help of its own: the pages the program came with are shown.
    const std::string page = "file://" + AppDir::ExecutableDir() + "/help/reference/index.htm";
    main().ExecuteCommand(CommandId::HelpReference);
    QTest::keyClick(&main(), Qt::Key_F1);
    // The tool bar's "?" is the help, "i" the About box.
    main().ToolBar(CMainFrame::kNoProfile)->actions().at(5)->trigger();
    EXPECT_EQ(run.shell.opened, (std::vector<std::string>{page, page, page}));
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});

    // Help the user has put in the application folder comes first.
    run.Folder().Write("help/reference/index.htm", "<html>mine</html>");
    main().ExecuteCommand(CommandId::HelpReference);
    EXPECT_EQ(run.shell.opened.back(), "file://" + run.Folder().File("help/reference/index.htm"));

    main().ExecuteCommand(CommandId::FileNew);
    main().ExecuteCommand(CommandId::SoftwareUpdate);
    ASSERT_EQ(run.shell.opened.size(), 5u);
    EXPECT_EQ(run.shell.opened.back(),
              "https://www.orrindale.com/update/update.php?version=2.0.2&user=" + run.App().GetUserId());
}

TEST_F(MainWindow, AHelpPageOrReportThatCannotBeShownIsNamedInAMessage) {
    const std::string help = AppDir::ExecutableDir() + "/help/reference/index.htm";
    const std::string report = run.Folder().File("export.htm");
    const std::string noBrowser =
        "There is no application associated with the given file name extension. This error "
        "will also be returned if you attempt to print a file that is not printable.";
    run.shell.works = false;
    main().ExecuteCommand(CommandId::HelpReference);
    main().ExecuteCommand(CommandId::FileNew);
    main().ExecuteCommand(CommandId::ReportSummary);
    EXPECT_EQ(run.prompt.messages,
              (std::vector<std::string>{"File " + help + " could not be opened: " + noBrowser + " ",
                                        "File " + report + " could not be opened: " + noBrowser + " "}));
    // The report was written all the same, from the templates the program came with.
    EXPECT_NE(run.Folder().Read("export.htm").find("<html"), std::string::npos);

    // A help page missing from every place says so too, instead of an empty browser tab.
    run.prompt.messages.clear();
    run.shell.opened.clear();
    run.shell.works = true;
    Gui::OpenHelpPage(run.App().AppDir(), "/help/reference/gone.htm#here");
    EXPECT_EQ(run.prompt.messages,
              std::vector<std::string>{"File " + run.Folder().File("help/reference/gone.htm") +
                                       " could not be opened: The specified file was not found. "});
    EXPECT_EQ(run.shell.opened, std::vector<std::string>{});
}

TEST_F(MainWindow, TheTitleMarksUnsavedChanges) {
    const std::string ann = run.AddProfile("Ann", "Ann");
    ASSERT_NE(run.App().DocManager()->OpenDocumentFile(ann), nullptr);
    CChildFrameBase* frame = main().ActiveChildFrame();
    CVelmoraDoc* doc = frame->GetActiveDocument();
    // What the desktop shows: Qt puts "*" for "[*]" when the window is marked modified.
    auto shown = [this] { return main().windowHandle()->title().toStdString(); };
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(shown(), "Velmora - [Ann]");

    main().ExecuteCommand(CommandId::EditDelete);
    ASSERT_TRUE(doc->IsModified());
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_EQ(shown(), "Velmora - [Ann*]");

    main().ExecuteCommand(CommandId::FileSave);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(shown(), "Velmora - [Ann]");
}

// Closing another maximised profile without saving it leaves the mark of the one shown next.
TEST_F(MainWindow, ClosingAnotherProfileUnsavedKeepsTheMarkOfTheOneShown) {
    for (const char* name : {"Ann", "Bea"}) {
        ASSERT_NE(run.App().DocManager()->OpenDocumentFile(run.AddProfile("Ann", name)), nullptr);
        main().ExecuteCommand(CommandId::EditDelete);
        ASSERT_TRUE(main().ActiveChildFrame()->GetActiveDocument()->IsModified());
    }
    auto shown = [this] { return main().windowHandle()->title().toStdString(); };
    EXPECT_EQ(shown(), "Velmora - [Bea*]");
    run.prompt.answers = {Answer::No};
    main().ExecuteCommand(CommandId::FileClose);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == "Velmora - [Ann*]"; }, 1000)) << shown();
    EXPECT_EQ(main().ChildFrames().size(), 1u);
}

// Cascading keeps every profile window, and so its tabs, within the window.
TEST_F(MainWindow, CascadeKeepsEachProfileWindowWithinTheArea) {
    main().resize(1000, 600);
    for (int profiles = 1; profiles <= 2; ++profiles) {
        main().ExecuteCommand(CommandId::FileNew);
        main().ExecuteCommand(CommandId::WindowCascade);
        const auto* area = main().findChild<QMdiArea*>();
        ASSERT_NE(area, nullptr);
        for (const QMdiSubWindow* sub : area->subWindowList())
            EXPECT_TRUE(area->viewport()->rect().contains(sub->geometry()))
                << profiles << ": " << sub->geometry().bottom() << " in " << area->viewport()->rect().bottom();
    }
}

TEST_F(MainWindow, AboutShowsTheVersionAndOpensItsLinks) {
    QString product;
    OnNextDialog<DLG_About>([&](DLG_About& about) {
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About Velmora"));
        for (const QLabel* label : about.findChildren<QLabel*>())
            if (label->text().startsWith(QStringLiteral("Velmora, version"))) product = label->text();
        emit about.CompanyLink()->linkActivated(QStringLiteral("link"));
        emit about.MailLink()->linkActivated(QStringLiteral("link"));
        about.accept();
    });
    main().ExecuteCommand(CommandId::AppAbout);
    EXPECT_EQ(product, QStringLiteral("Velmora, version 2.0.2"));
    EXPECT_EQ(run.shell.opened,
              (std::vector<std::string>{"https://www.orrindale.com", "mailto:support@orrindale.com"}));
}

TEST_F(MainWindow, TheWindowMenuListsTheProfilesAndSwitchesBetweenThem) {
    main().ExecuteCommand(CommandId::FileNew);
    main().ExecuteCommand(CommandId::FileNew);
    QMenu* window = main().Menus(CMainFrame::kProfile).at(5);
    emit window->aboutToShow();
    std::vector<std::string> items;
    QAction* first = nullptr;
    for (QAction* a : window->actions())
        if (a->isCheckable()) {
            items.push_back(a->text().toStdString() + (a->isChecked() ? " *" : ""));
            if (!first) first = a;
        }
    EXPECT_EQ(items, (std::vector<std::string>{"&1 Profile1", "&2 Profile2 *"}));
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(main().ActiveChildFrame()->GetActiveDocument()->GetTitle(), "Profile1");
}

TEST_F(MainWindow, AFileDroppedOnTheWindowIsOpened) {
    const std::string ann = run.AddProfile("Ann", "Ann");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(ann))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main(), &drop);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});
    ASSERT_EQ(main().ChildFrames().size(), 1u);
    EXPECT_EQ(main().ActiveChildFrame()->GetActiveDocument()->GetTitle(), "Ann");
}

TEST_F(MainWindow, QuittingAsksForEveryModifiedProfileAndCancelKeepsThemAll) {
    main().ExecuteCommand(CommandId::FileNew);
    main().ExecuteCommand(CommandId::FileNew);
    run.prompt.answers = {Answer::No, Answer::Cancel};
    EXPECT_FALSE(main().close());
    EXPECT_EQ(run.prompt.questions,
              (std::vector<std::string>{"Save changes to Profile1?", "Save changes to Profile2?"}));
    QTest::qWait(0);
    EXPECT_EQ(main().ChildFrames().size(), 2u);
    EXPECT_TRUE(main().isVisible());

    run.prompt.answers = {Answer::No, Answer::No};
    EXPECT_TRUE(main().close());
    QTest::qWait(0);
    EXPECT_TRUE(main().ChildFrames().empty());
}

}  // namespace
