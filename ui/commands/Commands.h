#pragma once

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <span>

namespace Gui {

// Menu, tool bar and keyboard commands, by their fixed numbers.
enum class CommandId : int {
    SelectIngredients = 32776,
    CalculateIngredients = 32780,
    CalculateNutrients = 32792,
    SelectNutrients = 32805,
    SpecifyTask = 32810,
    ReportSummary = 32819,
    ReportXml = 32820,
    EnergyRequirements = 32822,
    DietWizard = 32827,
    HelpReference = 32848,
    SoftwareUpdate = 32852,
    Settings = 32853,
    GoToDate = 32864,
    EditDelete = 32871,
    Import = 32872,
    Export = 32877,
    ReportMenu = 32880,
    ReportFoodComparison = 32881,
    Facts = 32883,
    NewFood = 33000,
    EditFood = 33001,
    DuplicateFood = 33002,
    DeleteFood = 33003,
    NewRecipe = 33004,
    SaveAsRecipe = 33005,
    DayTargets = 33006,
    ReportPeriod = 33007,
    ExportCsv = 33008,
    CopyDayTo = 33020,
    CopyMealTo = 33021,
    RepeatYesterdaysMeal = 33022,
    FindFood = 33023,
    NextTab = 33024,
    PreviousTab = 33025,
    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    EditCopy = 57634,
    EditPaste = 57637,
    EditUndo = 57643,
    EditRedo = 57644,
    WindowCascade = 57650,
    WindowTile = 57651,
    AppAbout = 57664,
    AppExit = 57665,
    AboutApplication = 57666,
    HelpFinder = 57667,
    ContextHelp = 57669,
    Help = 57670,
    HelpIndex = 57671,
};

// How a command shows itself in menus, tool bars and the status bar, and the keys that run it.
// Menus, tool bars and the main window's key actions are all made from these entries.
struct Command {
    CommandId id;
    const char* text;       // the menu item, "&" before its underlined letter
    const char* keys;       // in portable text ("Ctrl+N"), "; " between several
    const char* icon;       // the tool bar picture, a file of the command resources
    const char* statusTip;  // the status bar's line while the pointer rests on the item
    const char* toolTip;    // the tool bar button's tip

    QString Text() const { return QString::fromUtf8(text); }
    QString StatusTip() const { return QString::fromUtf8(statusTip); }
    QString ToolTip() const { return QString::fromUtf8(toolTip); }
    QList<QKeySequence> Shortcuts() const;
    // The menu item's text with the first key written after a tab, as menus show it.
    QString MenuText() const;
    // A null icon for commands without a picture.
    QIcon Icon() const;
};

// Every command, each once.
std::span<const Command> Commands();
// The command of that number; null when no command has it.
const Command* FindCommand(CommandId id);
// The command the keys run; null when they run none.
const Command* CommandForKeys(const QKeySequence& keys);

// The program's own icon: a plate with a leaf.
QIcon ApplicationIcon();

}  // namespace Gui
