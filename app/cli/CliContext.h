#pragma once

#include "core/Services.h"
#include "core/settings/GeneralManager.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"
#include "model/TargetOptions.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDataSourceMgr;
class CDC_DietaryIntakesMgr;
class CMyFoods;
struct FoodKey;

namespace Cli {

// Thrown for a wrong command line; main prints the text and the usage and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What every command shares: the global options, the application folder, the settings and "today".
class CliContext {
public:
    // Takes the global options out of `args` (--app-dir DIR, --data-source FILE (again for each
    // further table), --my-foods FILE, --today YYYYMMDD) and leaves the command and its own
    // arguments.
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
    // The further tables: the second and later --data-source, taken from the working folder,
    // else the "More Data Sources" setting, taken from the application folder.
    std::vector<std::string> MoreTablePaths();
    // --my-foods, taken from the working folder, else the application folder's table.
    std::string MyFoodsPath() const;
    // The data source of DataSourcePath(), loaded on first use with the further tables and the
    // user's own foods beside it. Throws std::runtime_error with the loader's error text when the
    // data source can't be loaded, or saying so when none is configured; a further table or the
    // user's foods that can't be read are reported on stderr, and the rest still loads.
    const CDataSourceMgr& DataSource();
    // The user's own foods, loaded with the data source.
    CMyFoods& MyFoods();
    // The reference intakes of the edition the "Reference Intakes" setting names, built on first use.
    const CDC_DietaryIntakesMgr& Intakes();
    // What profiles are judged against, as the program judges them with these settings.
    Targets::Options TargetOptions();

private:
    void EnsureSettings();
    bool HasConfig() const;

    std::string appDir_;
    std::vector<std::string> dataSources_;
    std::optional<std::string> myFoods_;
    std::unique_ptr<Services::FixedClock> clock_;
    Config::General::GeneralManager general_;
    Update::UpdateManager update_;
    std::unique_ptr<Settings::CSettingsMgr> settings_;
    bool settingsLoaded_ = false;
    std::unique_ptr<CDataSourceMgr> dataSourceMgr_;
    std::unique_ptr<CMyFoods> myFoodsTable_;
    std::unique_ptr<CDC_DietaryIntakesMgr> intakes_;
};

// Takes the value of `--name VALUE` out of args; nullopt when the option is absent. A missing
// value is a UsageError.
std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name);
// Takes a lone `--name` flag out of args.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
// A whole decimal integer, or UsageError naming the option.
int ParseInt(const std::string& text, const std::string& what);
// A finite decimal number, or UsageError naming the option.
double ParseDouble(const std::string& text, const std::string& what);
// SOURCE:KEY, two whole numbers, or UsageError naming the option.
FoodKey ParseFoodKeyOption(const std::string& text, const std::string& what);
// Every value of a repeated `--name VALUE`, in order.
std::vector<std::string> TakeOptions(std::vector<std::string>& args, const std::string& name);

}  // namespace Cli
