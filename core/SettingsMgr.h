#pragma once

#include "ConfigManager.h"

#include <string>
#include <utility>
#include <vector>

namespace Settings {

// Knows config.xml and the registered sections, and reads and writes them all at once. Does not
// own the sections.
class CSettingsMgr {
public:
    // The application folder as resolved at start-up (AppDir).
    CSettingsMgr();
    explicit CSettingsMgr(std::string appDir);

    // Without a trailing separator.
    const std::string& GetAppDir() const { return appDir_; }
    std::string ConfigPath() const { return appDir_ + "/config.xml"; }

    bool AddSection(const std::string& name, Config::ConfigManager* section);
    const std::vector<std::pair<std::string, Config::ConfigManager*>>& Sections() const { return sections_; }

    // Reads the file into the sections; problems are shown through the prompt service, after which
    // the sections hold what was read (every accessor falling back to its default).
    bool LoadSettings();
    // Writes every section; false after a reported error, with the modified flags left set.
    bool SaveSettings();
    bool IsModified() const;

private:
    std::string appDir_;
    std::vector<std::pair<std::string, Config::ConfigManager*>> sections_;
};

}  // namespace Settings
