#include "GeneralManager.h"

#include "Services.h"

namespace Config::General {

namespace {

constexpr const char* kDataSource = "Data Source";

}  // namespace

bool GeneralManager::BoolOr(const char* name, bool fallback) const {
    const Param* p = FindChild(name);
    return p ? p->GetBool() : fallback;
}

int GeneralManager::IntOr(const char* name, int fallback) const {
    const Param* p = FindChild(name);
    return p ? p->GetInt() : fallback;
}

std::string GeneralManager::GetDataSource() const {
    const Param* p = FindChild(kDataSource);
    return p ? p->GetIFile() : std::string();
}

bool GeneralManager::SetDataSource(const std::string& path) {
    Param* p = FindChild(kDataSource);
    if (!p) return false;
    p->SetIFile(path);
    return true;
}

bool GeneralManager::IsMaximized() const { return BoolOr("Maximized", true); }
bool GeneralManager::LoadLastProfile() const { return BoolOr("Load Last Profile", false); }
bool GeneralManager::RunWizard() const { return BoolOr("Run Wizard", false); }
bool GeneralManager::UseFullTitle() const { return BoolOr("Use Full Title", false); }
int GeneralManager::SmartHierarchyDepth() const { return IntOr("Smart Hierarchy Depth", 2); }
int GeneralManager::SmartHierarchySize() const { return IntOr("Smart Hierarchy Size", 2); }

void GeneralManager::GetChoices(const std::string& name, std::vector<std::string>& choices) const {
    if (name == "Units") {
        choices.emplace_back("kg/cm");
        choices.emplace_back("lb/inch");
    }
}

bool GeneralManager::Edit(const std::string& name) {
    if (name != kDataSource) return false;
    auto chosen = Services::FileChooser().OpenFile(GetDataSource(), "*.xml",
                                                   "Nutrition Data File (*.xml)|*.xml|All Files (*.*)|*.*||");
    if (!chosen || !SetDataSource(*chosen)) return false;
    SetModified(true);
    return true;
}

void GeneralManager::EnsureDefaults() {
    EnsureBool("Maximized", true, "Start up application with maximized window", true);
}

}  // namespace Config::General
