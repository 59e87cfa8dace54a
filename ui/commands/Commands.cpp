#include "Commands.h"

#include <utility>

namespace Gui {

namespace {

constexpr std::pair<CommandId, const char*> kPrompts[] = {
    {CommandId::FileNew, "Create new profile\nNew profile"},
    {CommandId::FileOpen, "Open profile\nOpen profile"},
    {CommandId::FileSave, "Save profile\nSave profile"},
    {CommandId::AppAbout, "About program\nAbout program"},
    {CommandId::AppExit, "Exit program"},
    {CommandId::AboutApplication, "About application\nAbout"},
    {CommandId::HelpFinder, "Help\nHelp"},
    {CommandId::ContextHelp, "Context Help\nContext Help"},
    {CommandId::ReportSummary, "Export report in HTML format\nHTML Report"},
    {CommandId::ReportXml, "Export data in XML format"},
    {CommandId::EnergyRequirements, "Energy recommendation"},
    {CommandId::HelpReference, "Velmora Reference"},
    {CommandId::Settings, "Application settings"},
    {CommandId::Import, "Import external file\nImport external file"},
    {CommandId::Export, "Export profile\nExport profile"},
    {CommandId::SelectIngredients, "Select ingredients\nSelect ingredients"},
    {CommandId::DietWizard, "Diet Wizard\nWizard"},
    {CommandId::SelectNutrients, "Select Nutrients\nSelect Nutrients"},
};

}  // namespace

const char* CommandPrompt(CommandId id) {
    for (const auto& [cmd, prompt] : kPrompts)
        if (cmd == id) return prompt;
    return "";
}

std::string StatusText(CommandId id) {
    std::string prompt = CommandPrompt(id);
    return prompt.substr(0, prompt.find('\n'));
}

std::string ToolTipText(CommandId id) {
    std::string prompt = CommandPrompt(id);
    auto lf = prompt.find('\n');
    return lf == std::string::npos ? std::string() : prompt.substr(lf + 1);
}

}  // namespace Gui
