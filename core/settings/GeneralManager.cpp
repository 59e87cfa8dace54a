#include "GeneralManager.h"

#include "core/Log.h"
#include "core/Services.h"

#include <stdexcept>

namespace Config::General {

namespace {

constexpr const char* kDataSource = "Data Source";
constexpr const char* kMoreDataSources = "More Data Sources";
constexpr const char* kMoreDataSourcesHelp =
    "Further food tables, loaded beside the data source under their own IDs (one file per entry; a relative path is "
    "taken from the application folder). Changes take effect at the next start.";
constexpr const char* kDefaultTargets = "Default Targets";
constexpr const char* kDefaultTargetsHelp =
    "Judge followed nutrients that have no limits of your own against your reference intakes (RDA or AI, UL) "
    "and energy against its requirement \u00b110 %";
constexpr const char* kReferenceIntakes = "Reference Intakes";
constexpr const char* kReferenceIntakesHelp =
    "Which reference intakes to use: \"current\" has the 2011 values of calcium and vitamin D and the 2019 values "
    "of sodium and potassium, \"original\" the table the program always had";
constexpr const char* kCurrent = "current";
constexpr const char* kOriginal = "original";

// The name of each entry of "More Data Sources", numbered from 1: the settings dialog tells rows
// apart by their names.
std::string TableFileName(std::size_t n) { return "File " + std::to_string(n); }

}  // namespace

void GeneralManager::NoteUnreadable(const Param& p, const std::string& fallback) const {
    if (!noted_.insert(p.Name()).second) return;
    const std::string note = "Setting \"" + p.Name() + "\" (" + TypeName(p.Type()) + ") has the value \"" + p.Value() +
                             "\", which can't be read; using " + fallback + " instead.";
    try {
        GetLog("log.txt")->Write(CU_Log::ERR, note);
    } catch (const std::logic_error&) {
        // Read before the log folder is known (start-up reads the settings first): nowhere to note it.
    }
}

bool GeneralManager::BoolOr(const char* name, bool fallback) const {
    const Param* p = FindChild(name);
    if (!p) return fallback;
    if (const auto flag = p->ReadBool()) return *flag;
    NoteUnreadable(*p, fallback ? "true" : "false");
    return fallback;
}

int GeneralManager::IntOr(const char* name, int fallback) const {
    const Param* p = FindChild(name);
    if (!p) return fallback;
    if (p->Type() == Integer) return p->GetInt();
    NoteUnreadable(*p, std::to_string(fallback));
    return fallback;
}

std::string GeneralManager::GetDataSource() const {
    const Param* p = FindChild(kDataSource);
    if (!p) return std::string();
    if (p->Type() == IFile) return p->GetIFile();
    NoteUnreadable(*p, "no data source");
    return std::string();
}

bool GeneralManager::SetDataSource(const std::string& path) {
    Param* p = FindChild(kDataSource);
    if (!p) return false;
    p->SetIFile(path);
    return true;
}

std::vector<std::string> GeneralManager::GetMoreDataSources() const {
    std::vector<std::string> paths;
    const Param* list = FindChild(kMoreDataSources);
    if (!list) return paths;
    for (const auto& child : list->Children())
        if ((child->Type() == IFile || child->Type() == String) && !child->Value().empty())
            paths.push_back(child->Value());
    return paths;
}

bool GeneralManager::SetMoreDataSources(const std::vector<std::string>& paths) {
    Param* list = FindChild(kMoreDataSources);
    if (!list) return false;
    list->ClearChildren();
    for (const std::string& path : paths) {
        auto file = std::make_unique<Param>(TableFileName(list->Children().size() + 1), IFile);
        file->SetValue(path);
        file->SetWritable(true);
        list->AddChild(std::move(file));
    }
    return true;
}

bool GeneralManager::IsMaximized() const { return BoolOr("Maximized", true); }
bool GeneralManager::LoadLastProfile() const { return BoolOr("Load Last Profile", false); }
bool GeneralManager::RunWizard() const { return BoolOr("Run Wizard", false); }
bool GeneralManager::UseFullTitle() const { return BoolOr("Use Full Title", false); }
int GeneralManager::SmartHierarchyDepth() const { return IntOr("Smart Hierarchy Depth", 2); }
int GeneralManager::SmartHierarchySize() const { return IntOr("Smart Hierarchy Size", 2); }
bool GeneralManager::DefaultTargets() const { return BoolOr(kDefaultTargets, true); }

std::string GeneralManager::ReferenceIntakes() const {
    const Param* p = FindChild(kReferenceIntakes);
    if (!p) return kCurrent;
    if (p->Value() == kCurrent || p->Value() == kOriginal) return p->Value();
    NoteUnreadable(*p, kCurrent);
    return kCurrent;
}

void GeneralManager::GetChoices(const std::string& name, std::vector<std::string>& choices) const {
    if (name == "Units") {
        choices.emplace_back("kg/cm");
        choices.emplace_back("lb/inch");
    } else if (name == kReferenceIntakes) {
        choices.emplace_back(kCurrent);
        choices.emplace_back(kOriginal);
    }
}

bool GeneralManager::Edit(const std::string& name) {
    if (name == kMoreDataSources) {
        auto chosen =
            Services::FileChooser().OpenFile("", "*.xml", "Nutrition Data File (*.xml)|*.xml|All Files (*.*)|*.*||");
        Param* list = FindChild(kMoreDataSources);
        if (!chosen || !list) return false;
        // Appended, so that the rows showing the entries before keep their parameters.
        auto file = std::make_unique<Param>(TableFileName(list->Children().size() + 1), IFile);
        file->SetValue(*chosen);
        file->SetWritable(true);
        list->AddChild(std::move(file));
        SetModified(true);
        return true;
    }
    if (name != kDataSource) return false;
    auto chosen = Services::FileChooser().OpenFile(GetDataSource(), "*.xml",
                                                   "Nutrition Data File (*.xml)|*.xml|All Files (*.*)|*.*||");
    if (!chosen || !SetDataSource(*chosen)) return false;
    SetModified(true);
    return true;
}

void GeneralManager::EnsureDefaults() {
    EnsureBool("Maximized", true, "Start up application with maximized window", true);
    if (!FindChild(kMoreDataSources)) {
        auto list = std::make_unique<Param>(kMoreDataSources, List);
        list->SetDescription(kMoreDataSourcesHelp);
        list->SetWritable(true);
        AddChild(std::move(list));
    }
    EnsureBool(kDefaultTargets, true, kDefaultTargetsHelp, true);
    if (!FindChild(kReferenceIntakes)) {
        auto edition = std::make_unique<Param>(kReferenceIntakes, Choice);
        edition->SetValue(kCurrent);
        edition->SetDescription(kReferenceIntakesHelp);
        edition->SetWritable(true);
        AddChild(std::move(edition));
    }
}

}  // namespace Config::General
