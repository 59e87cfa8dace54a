#pragma once

#include <string>

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
    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    EditCopy = 57634,
    EditPaste = 57637,
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

// The command's prompt: the status bar text, a line feed, the tool tip; empty when it has none.
const char* CommandPrompt(CommandId id);
// The part before the line feed.
std::string StatusText(CommandId id);
// The part after the line feed; empty when the prompt has none.
std::string ToolTipText(CommandId id);

}  // namespace Gui
