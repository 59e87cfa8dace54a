#pragma once

#include "core/Services.h"
#include "core/settings/GeneralManager.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDataSourceMgr;

namespace Cli {

// Thrown for a wrong command line; main prints the text and the usage and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What every command shares: the global options, the application folder, the settings and "today".
class CliContext {
public:
    // Takes the global options out of `args` (--app-dir DIR, --data-source FILE, --today YYYYMMDD)
    // and leaves the command and its own arguments.
    explicit CliContext(std::vector<std::string>& args);
    ~CliContext();

    const std::string& AppDir() const { return appDir_; }
    // Reads config.xml on first use.
    Config::General::GeneralManager& General();
    Update::UpdateManager& UpdateSettings();
    Settings::CSettingsMgr& SettingsStore();
    // --data-source, taken from the working folder when relative, else the "Data Source"
    // setting, taken from the application folder when relative. Empty when neither names a file.
    std::string DataSourcePath();
    // The data source of DataSourcePath(), loaded on first use. Throws std::runtime_error with the
    // loader's error text when it can't be loaded, or saying so when none is configured.
    const CDataSourceMgr& DataSource();

private:
    void EnsureSettings();

    std::string appDir_;
    std::optional<std::string> dataSource_;
    std::unique_ptr<Services::FixedClock> clock_;
    Config::General::GeneralManager general_;
    Update::UpdateManager update_;
    std::unique_ptr<Settings::CSettingsMgr> settings_;
    bool settingsLoaded_ = false;
    std::unique_ptr<CDataSourceMgr> dataSourceMgr_;
};

// Takes the value of `--name VALUE` out of args; nullopt when the option is absent. A missing
// value is a UsageError.
std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name);
// Takes a lone `--name` flag out of args.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
// A whole decimal integer, or UsageError naming the option.
int ParseInt(const std::string& text, const std::string& what);

}  // namespace Cli
