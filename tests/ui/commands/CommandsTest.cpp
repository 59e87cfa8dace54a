#include "support/GuiSupport.h"

#include "ui/commands/CommandTarget.h"
#include "ui/commands/Commands.h"
#include "ui/frame/MainFrame.h"

#include <QAction>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Gui::CommandId;

TEST(CommandTable, DeclaresEachCommandOnceAndGivesEachKeyToOneCommand) {
    std::set<CommandId> ids;
    std::map<QString, CommandId> keyOwner;
    for (const Gui::Command& command : Gui::Commands()) {
        EXPECT_TRUE(ids.insert(command.id).second) << static_cast<int>(command.id);
        const QList<QKeySequence> keys = command.Shortcuts();
        // A misspelt key name reads as another key or as none.
        EXPECT_EQ(QKeySequence::listToString(keys, QKeySequence::PortableText), QString::fromLatin1(command.keys));
        for (const QKeySequence& key : keys) {
            auto [it, added] = keyOwner.emplace(key.toString(QKeySequence::PortableText), command.id);
            EXPECT_TRUE(added) << command.keys << " runs " << static_cast<int>(it->second) << " and "
                               << static_cast<int>(command.id);
        }
    }
}

TEST(CommandTable, EveryToolBarPictureLoadsAndHasATip) {
    for (const Gui::Command& command : Gui::Commands()) {
        if (*command.icon == '\0') continue;
        // Null when the file is not among the resources or no engine can draw SVG.
        EXPECT_FALSE(command.Icon().pixmap(24).isNull()) << command.icon;
        EXPECT_FALSE(command.ToolTip().isEmpty()) << command.icon;
    }
    EXPECT_FALSE(Gui::ApplicationIcon().pixmap(48).isNull());
}

TEST(CommandTable, FindsACommandByItsNumberAndByItsKeys) {
    const Gui::Command* saveAs = Gui::FindCommand(CommandId::FileSaveAs);
    ASSERT_NE(saveAs, nullptr);
    EXPECT_EQ(saveAs->MenuText(), QStringLiteral("Save &As\tCtrl+A"));
    EXPECT_EQ(Gui::FindCommand(CommandId::FileClose)->MenuText(), QStringLiteral("&Close"));
    EXPECT_EQ(Gui::FindCommand(static_cast<CommandId>(1)), nullptr);

    const Gui::Command* byKeys = Gui::CommandForKeys(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    ASSERT_NE(byKeys, nullptr);
    EXPECT_EQ(byKeys->id, CommandId::ContextHelp);
    EXPECT_EQ(Gui::CommandForKeys(QKeySequence(Qt::CTRL | Qt::Key_Y))->id, CommandId::EditRedo);
    EXPECT_EQ(Gui::CommandForKeys(QKeySequence(Qt::CTRL | Qt::Key_Q)), nullptr);
}

TEST(CommandTarget, RunsACommandItAnswersOnlyWhileItCanRun) {
    Gui::CCommandTarget target;
    EXPECT_FALSE(target.Answers(CommandId::FileSave));
    EXPECT_FALSE(target.CanRun(CommandId::FileSave));
    EXPECT_FALSE(target.RunCommand(CommandId::FileSave));

    std::vector<std::string> ran;
    bool saveable = false;
    target.OnCommand(
        CommandId::FileSave, [&] { ran.push_back("save"); }, [&] { return saveable; });
    target.OnCommand(CommandId::FileNew, [&] { ran.push_back("new"); });
    EXPECT_TRUE(target.Answers(CommandId::FileSave));
    EXPECT_FALSE(target.CanRun(CommandId::FileSave));
    EXPECT_FALSE(target.RunCommand(CommandId::FileSave));
    saveable = true;
    EXPECT_TRUE(target.RunCommand(CommandId::FileSave));
    EXPECT_TRUE(target.CanRun(CommandId::FileNew));
    EXPECT_TRUE(target.RunCommand(CommandId::FileNew));
    EXPECT_EQ(ran, (std::vector<std::string>{"save", "new"}));
}

TEST(CommandTarget, ACommandMayDeleteTheTargetThatRunsIt) {
    auto* target = new Gui::CCommandTarget;
    bool ran = false;
    target->OnCommand(CommandId::FileClose, [&] {
        delete target;
        ran = true;
    });
    EXPECT_TRUE(target->RunCommand(CommandId::FileClose));
    EXPECT_TRUE(ran);
}

// The main window with an application that answers only what a test gives it.
class CommandRoute : public ::testing::Test {
protected:
    CommandRoute() {
        EXPECT_TRUE(main.Create());
        main.SetAppTarget(&app);
    }
    bool ActionsEnabled(CommandId id) {
        main.UpdateCommandUI();
        bool all = true;
        for (const QAction* action : main.CommandActions(id)) all = all && action->isEnabled();
        return all;
    }

    CMainFrame main;
    Gui::CCommandTarget app;
    std::vector<std::string> ran;
};

TEST_F(CommandRoute, ACommandNobodyAnswersIsDisabledAndDoesNothing) {
    ASSERT_FALSE(main.CommandActions(CommandId::FileNew).empty());
    EXPECT_FALSE(main.IsCommandEnabled(CommandId::FileNew));
    EXPECT_FALSE(ActionsEnabled(CommandId::FileNew));
    main.ExecuteCommand(CommandId::FileNew);

    app.OnCommand(CommandId::FileNew, [this] { ran.push_back("new"); });
    EXPECT_TRUE(ActionsEnabled(CommandId::FileNew));
    main.ExecuteCommand(CommandId::FileNew);
    EXPECT_EQ(ran, std::vector<std::string>{"new"});
}

TEST_F(CommandRoute, TheFirstTargetThatAnswersDecidesEvenWhenItCannotRun) {
    // The main window answers Tile before the application, and Help for it with its reference.
    app.OnCommand(CommandId::WindowTile, [this] { ran.push_back("app tile"); });
    app.OnCommand(CommandId::Help, [this] { ran.push_back("app help"); });
    main.ExecuteCommand(CommandId::WindowTile);
    EXPECT_FALSE(main.IsCommandEnabled(CommandId::Help));
    main.ExecuteCommand(CommandId::Help);
    EXPECT_EQ(ran, std::vector<std::string>{});

    app.OnCommand(CommandId::HelpReference, [this] { ran.push_back("reference"); });
    EXPECT_TRUE(main.IsCommandEnabled(CommandId::Help));
    main.ExecuteCommand(CommandId::Help);
    EXPECT_EQ(ran, std::vector<std::string>{"reference"});
}

}  // namespace
