#pragma once

#include "ConfigManager.h"

#include <set>
#include <string>
#include <vector>

namespace Config::General {

// Section "General": the program-wide options. The accessors never raise: a value that can't be
// read (a parameter of another type, a boolean that is neither yes nor no) gives the default, and
// log.txt says so once per parameter.
class GeneralManager : public ConfigManager {
public:
    // Empty when absent (no data source).
    std::string GetDataSource() const;
    // False when the parameter does not exist; nothing is added then.
    bool SetDataSource(const std::string& path);
    // The food tables loaded beside "Data Source": the non-empty paths listed under "More Data
    // Sources", in order (relative ones are taken from the application folder, as "Data Source").
    std::vector<std::string> GetMoreDataSources() const;
    // Replaces the list; false when the parameter does not exist.
    bool SetMoreDataSources(const std::vector<std::string>& paths);
    bool IsMaximized() const;
    bool LoadLastProfile() const;
    bool RunWizard() const;
    bool UseFullTitle() const;
    int SmartHierarchyDepth() const;
    int SmartHierarchySize() const;
    // Followed nutrients without limits of the user's own are judged against the reference intakes.
    bool DefaultTargets() const;
    // "current" or "original": which edition of the reference intake table the program uses.
    std::string ReferenceIntakes() const;

    void GetChoices(const std::string& name, std::vector<std::string>& choices) const override;
    bool Edit(const std::string& name) override;
    void EnsureDefaults() override;

private:
    bool BoolOr(const char* name, bool fallback) const;
    int IntOr(const char* name, int fallback) const;
    void NoteUnreadable(const Param& p, const std::string& fallback) const;

    mutable std::set<std::string> noted_;
};

}  // namespace Config::General
