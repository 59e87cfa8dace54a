#include "RunningApp.h"

#include "DlgAbout.h"

#include "ui/ChildFrame.h"
#include "widgets/HyperLink.h"
#include "ui/MainFrame.h"
#include "ui/VelmoraDoc.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <map>

namespace {

using Ui::CommandId;
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
    EXPECT_EQ(Buttons(main().ToolBar(CMainFrame::kNoProfile)), (std::vector<int>{57600, 57601, 0, 32872, 0, 57666, 57664}));
    for (CommandId on : {CommandId::FileNew, CommandId::FileOpen, CommandId::Import, CommandId::AppAbout})
        EXPECT_TRUE(Enabled(on)) << static_cast<int>(on);
    // The "About application" button has no command behind it.
    EXPECT_FALSE(Enabled(CommandId::AboutApplication));
}

TEST_F(MainWindow, AProfileWindowBringsTheProfileMenuAndToolBar) {
    QTest::keyClick(&main(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(main().ChildFrames().size(), 1u);
    EXPECT_EQ(main().ActiveChildFrame()->GetActiveDocument()->GetTitle(), "Profile1");
    EXPECT_EQ(main().MenuOnShow(), CMainFrame::kProfile);
    EXPECT_EQ(Describe(main().Menus(CMainFrame::kProfile)),
              (std::vector<std::string>{
                  "&Profile: &New\tCtrl+N | &Open\tCtrl+O | &Close | &Save\tCtrl+S | Save &As\tCtrl+A | &Import\tCtrl+I | "
                  "&Export\tCtrl+E | &Exit |",
                  "&Edit: &Delete\tCtrl+D | &Copy\tCtrl+C | &Paste\tCtrl+V | Facts ... |",
                  "Reports: [Daily: Summary | Menu |] Food Comparison | XML |",
                  "Tools: Energy ... | Software Update | &Settings |", "&Window: &Cascade | &Tile |",
                  "&Help: &Reference | &About Program |"}));
    EXPECT_EQ(main().ToolBarOnShow(), CMainFrame::kProfile);
    EXPECT_TRUE(main().ToolBar(CMainFrame::kProfile)->isVisible());
    EXPECT_FALSE(main().ToolBar(CMainFrame::kNoProfile)->isVisible());
    EXPECT_EQ(Buttons(main().ToolBar(CMainFrame::kProfile)),
              (std::vector<int>{57600, 57601, 57603, 0, 32872, 32877, 32864, 0, 57634, 57637, 32871, 0, 57666, 57664}));

    run.prompt.answers = {Answer::No};
    main().ExecuteCommand(CommandId::FileClose);
    QTest::qWait(0);
    EXPECT_EQ(run.prompt.questions, std::vector<std::string>{"Save changes to Profile1?"});
    EXPECT_TRUE(main().ChildFrames().empty());
    EXPECT_EQ(main().MenuOnShow(), CMainFrame::kNoProfile);
    EXPECT_EQ(main().ToolBarOnShow(), CMainFrame::kNoProfile);
}

TEST_F(MainWindow, CommandsWithoutAHandlerYetAreDisabled) {
    main().ExecuteCommand(CommandId::FileNew);
    for (CommandId off : {CommandId::ReportFoodComparison, CommandId::CalculateIngredients, CommandId::AboutApplication})
        EXPECT_FALSE(Enabled(off)) << static_cast<int>(off);
    for (CommandId on : {CommandId::FileSave, CommandId::FileSaveAs, CommandId::Export, CommandId::EditDelete,
                         CommandId::GoToDate, CommandId::ReportSummary, CommandId::ReportMenu, CommandId::ReportXml,
                         CommandId::SoftwareUpdate, CommandId::WindowCascade, CommandId::SelectNutrients,
                         CommandId::Facts, CommandId::EnergyRequirements, CommandId::Settings,
                         CommandId::SelectIngredients})
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
    EXPECT_EQ(tips[57666], "About");
    // What a menu does when the pointer rests on an item.
    menuNew->showStatusText(main().menuBar());
    EXPECT_EQ(main().statusBar()->currentMessage(), QStringLiteral("Create new profile"));
}

TEST_F(MainWindow, HelpAndSoftwareUpdateOpenTheirPagesInTheBrowser) {
    const std::string page = "file://" + run.Folder().Path().string() + "/help/reference/index.htm";
    main().ExecuteCommand(CommandId::HelpReference);
    QTest::keyClick(&main(), Qt::Key_F1);
    EXPECT_EQ(run.shell.opened, (std::vector<std::string>{page, page}));

    main().ExecuteCommand(CommandId::FileNew);
    main().ExecuteCommand(CommandId::SoftwareUpdate);
    ASSERT_EQ(run.shell.opened.size(), 3u);
    EXPECT_EQ(run.shell.opened.back(),
              "https://www.orrindale.com/update/update.php?version=2.0.2&user=" + run.App().GetUserId());
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
    EXPECT_EQ(run.shell.opened, (std::vector<std::string>{"https://www.orrindale.com", "mailto:support@orrindale.com"}));
}

TEST_F(MainWindow, TheWindowMenuListsTheProfilesAndSwitchesBetweenThem) {
    main().ExecuteCommand(CommandId::FileNew);
    main().ExecuteCommand(CommandId::FileNew);
    QMenu* window = main().Menus(CMainFrame::kProfile).at(4);
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
    EXPECT_EQ(run.prompt.questions, (std::vector<std::string>{"Save changes to Profile1?", "Save changes to Profile2?"}));
    QTest::qWait(0);
    EXPECT_EQ(main().ChildFrames().size(), 2u);
    EXPECT_TRUE(main().isVisible());

    run.prompt.answers = {Answer::No, Answer::No};
    EXPECT_TRUE(main().close());
    QTest::qWait(0);
    EXPECT_TRUE(main().ChildFrames().empty());
}

}  // namespace
