#include "Commands.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace Gui {

namespace {

using enum CommandId;

// The only list of the program's keys. A key with Alt must not take a letter that a menu title
// underlines: that key opens the menu. The text is empty where no menu shows the command.
// clang-format off
constexpr std::array<Command, 52> kCommands = {{
    // id                  text               keys        icon           status tip, tool tip
    {FileNew,              "&New",            "Ctrl+N",   "file-new",    "Create new profile", "New profile"},
    {FileOpen,             "&Open",           "Ctrl+O",   "file-open",   "Open profile", "Open profile"},
    {FileClose,            "&Close",          "",         "",            "", ""},
    {FileSave,             "&Save",           "Ctrl+S",   "file-save",   "Save profile", "Save profile"},
    {FileSaveAs,           "Save &As",        "Ctrl+A",   "",            "", ""},
    {Import,               "&Import",         "Ctrl+I",   "import",      "Import external file",
                                                                        "Import external file"},
    {Export,               "&Export",         "Ctrl+E",   "export",      "Export profile", "Export profile"},
    {ExportCsv,            "Export CSV...",   "Ctrl+Shift+X", "",        "The log's entries or daily totals as a CSV file", ""},
    {AppExit,              "&Exit",           "",         "",            "Exit program", ""},
    {EditDelete,           "&Delete",         "Ctrl+D",   "edit-delete", "", "Delete"},
    {EditCopy,             "&Copy",           "Ctrl+C",   "edit-copy",   "", "Copy"},
    {EditPaste,            "&Paste",          "Ctrl+V",   "edit-paste",  "", "Paste"},
    {EditUndo,             "&Undo",           "Ctrl+Z",   "edit-undo",   "Take back the last change to the log", "Undo"},
    {EditRedo,             "&Redo",           "Ctrl+Shift+Z; Ctrl+Y", "edit-redo", "Make the change taken back again", "Redo"},
    {CopyDayTo,            "Copy Day &To...", "Ctrl+Shift+C", "",        "Copy the day's foods to other dates", ""},
    {CopyMealTo,           "Copy &Meal To...", "Ctrl+Shift+M", "",       "Copy one meal of the day to other dates", ""},
    {RepeatYesterdaysMeal, "Repeat &Yesterday's Meal...", "Ctrl+Shift+Y", "", "Add the foods of a meal of the day before", ""},
    {Facts,                "Facts ...",       "",         "",            "", ""},
    {NewFood,              "&New Food ...",   "Ctrl+Shift+N", "",        "Add a food of your own", ""},
    {EditFood,             "&Edit Food ...",  "Ctrl+Shift+E", "",        "Change the selected food of your own", ""},
    {DuplicateFood,        "D&uplicate Food ...", "Ctrl+Shift+U", "",    "Start a food of your own from the selected food", ""},
    {DeleteFood,           "&Delete Food",    "Ctrl+Shift+Del", "",      "Delete the selected food of your own", ""},
    {NewRecipe,            "New &Recipe ...", "Ctrl+Shift+R", "",        "Make a recipe of foods", ""},
    {SaveAsRecipe,         "&Save as Recipe ...", "Ctrl+Shift+S", "",    "Turn the day's foods, or one meal's, into a recipe", ""},
    {FindFood,             "&Find Food",      "Ctrl+F",   "",            "Search the foods, on the Food tab", ""},
    {NextTab,              "&Next Tab",       "Ctrl+PgDown", "",         "The tab to the right", ""},
    {PreviousTab,          "&Previous Tab",   "Ctrl+PgUp", "",           "The tab to the left", ""},
    {GoToDate,             "",                "",         "go-to-date",  "", "Select Date"},
    {ReportSummary,        "Summary",         "",         "",            "Export report in HTML format", "HTML Report"},
    {ReportMenu,           "Menu",            "",         "",            "", ""},
    {ReportPeriod,         "Period Summary",  "",         "",            "The Trends tab's period in an HTML report", ""},
    {ReportFoodComparison, "Food Comparison", "",         "",            "", ""},
    {ReportXml,            "XML",             "",         "",            "Export data in XML format", ""},
    {EnergyRequirements,   "Energy ...",      "",         "",            "Energy recommendation", ""},
    {DayTargets,           "Day &Targets",    "Ctrl+Shift+T", "",        "The day against its targets, on the Log tab", ""},
    {SoftwareUpdate,       "Software Update", "",         "",            "", ""},
    {Settings,             "&Settings",       "",         "",            "Application settings", ""},
    {WindowCascade,        "&Cascade",        "",         "",            "", ""},
    {WindowTile,           "&Tile",           "",         "",            "", ""},
    {HelpReference,        "&Reference",      "",         "",            "Velmora Reference", ""},
    {AppAbout,             "&About Program",  "",         "about",       "About program", "About program"},
    {AboutApplication,     "",                "",         "about",       "About application", "About"},
    {HelpFinder,           "",                "",         "help",        "Help", "Help"},
    {Help,                 "",                "F1",       "",            "", ""},
    {ContextHelp,          "",                "Shift+F1", "",            "Context Help", "Context Help"},
    {HelpIndex,            "",                "",         "",            "", ""},
    {SelectIngredients,    "",                "Alt+I",    "",            "Select ingredients", "Select ingredients"},
    {DietWizard,           "",                "",         "",            "Diet Wizard", "Wizard"},
    {SelectNutrients,      "",                "",         "",            "Select Nutrients", "Select Nutrients"},
    {CalculateNutrients,   "",                "Ctrl+P",   "",            "", ""},
    {CalculateIngredients, "",                "",         "",            "", ""},
    {SpecifyTask,          "",                "Alt+T",    "",            "", ""},
}};
// clang-format on

}  // namespace

QList<QKeySequence> Command::Shortcuts() const {
    // An empty text would read as one empty key.
    if (*keys == '\0') return {};
    return QKeySequence::listFromString(QString::fromLatin1(keys), QKeySequence::PortableText);
}

QString Command::MenuText() const {
    const QList<QKeySequence> shortcuts = Shortcuts();
    if (shortcuts.isEmpty()) return Text();
    return Text() + '\t' + shortcuts.front().toString(QKeySequence::PortableText);
}

QIcon Command::Icon() const {
    if (*icon == '\0') return {};
    return QIcon(QStringLiteral(":/commands/icons/%1.svg").arg(QLatin1String(icon)));
}

std::span<const Command> Commands() { return kCommands; }

const Command* FindCommand(CommandId id) {
    auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const Command& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

const Command* CommandForKeys(const QKeySequence& keys) {
    // Asked for every key typed into a page: the key texts are parsed once.
    static const std::vector<std::pair<QKeySequence, const Command*>> byKeys = [] {
        std::vector<std::pair<QKeySequence, const Command*>> all;
        for (const Command& command : kCommands)
            for (const QKeySequence& k : command.Shortcuts()) all.emplace_back(k, &command);
        return all;
    }();
    for (const auto& [k, command] : byKeys)
        if (k == keys) return command;
    return nullptr;
}

QIcon ApplicationIcon() { return QIcon(QStringLiteral(":/commands/icons/application.svg")); }

}  // namespace Gui
