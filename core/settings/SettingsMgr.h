#pragma once

#include "ConfigManager.h"

#include <string>
#include <utility>
#include <vector>

namespace Settings {

// The installed config.xml (data/config.xml), compiled in.
extern const char* const kInstalledConfig;

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

    // Reads the file into the sections; false after a read error, which is shown through the
    // prompt service with the path and the reason. A missing file leaves every section empty (each
    // accessor answers its default); a file that is there but can't be read is left untouched and
    // the sections get the installed settings.
    bool LoadSettings();
    // Whether the last LoadSettings failed.
    bool ReadFailed() const { return readError_; }
    // Writes every section; false after a reported error, with the modified flags left set. A
    // config.xml that could not be read is first moved aside (config.xml.broken, or .broken.N when
    // that name is taken) and the user told where it went, so that no write ever replaces it.
    bool SaveSettings();
    bool IsModified() const;

private:
    void ResetSections();
    void LoadSections(const Xml::XmlElement& root);
    // Moves the unreadable file out of the way; the new name, or empty when there was no file.
    std::string MoveAside() const;

    std::string appDir_;
    std::vector<std::pair<std::string, Config::ConfigManager*>> sections_;
    bool readError_ = false;
    // There is a config.xml that could not be read: it must not be written over.
    bool keepUnreadable_ = false;
};

}  // namespace Settings
