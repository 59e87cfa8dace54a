#include "CliContext.h"

#include "core/AppDir.h"
#include "core/Log.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "refdata/MyFoods.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace Cli {

std::optional<std::string> TakeOption(std::vector<std::string>& args, const std::string& name) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == name) {
            if (std::next(it) == args.end()) throw UsageError("option " + name + " needs a value");
            std::string value = *std::next(it);
            args.erase(it, it + 2);
            return value;
        }
        if (it->rfind(name + "=", 0) == 0) {
            std::string value = it->substr(name.size() + 1);
            args.erase(it);
            return value;
        }
    }
    return std::nullopt;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == name) {
            args.erase(it);
            return true;
        }
    }
    return false;
}

int ParseInt(const std::string& text, const std::string& what) {
    int n = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        throw UsageError(what + " must be a whole number, not '" + text + "'");
    return n;
}

std::vector<std::string> TakeOptions(std::vector<std::string>& args, const std::string& name) {
    std::vector<std::string> values;
    while (auto value = TakeOption(args, name)) values.push_back(std::move(*value));
    return values;
}

double ParseDouble(const std::string& text, const std::string& what) {
    double d = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(d))
        throw UsageError(what + " must be a number, not '" + text + "'");
    return d;
}

FoodKey ParseFoodKeyOption(const std::string& text, const std::string& what) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) throw UsageError(what + " must be SOURCE:KEY, not '" + text + "'");
    return FoodKey(ParseInt(text.substr(colon + 1), what + " KEY"), ParseInt(text.substr(0, colon), what + " SOURCE"));
}

CliContext::CliContext(std::vector<std::string>& args) {
    auto appDir = TakeOption(args, "--app-dir");
    dataSources_ = TakeOptions(args, "--data-source");
    myFoods_ = TakeOption(args, "--my-foods");
    if (auto today = TakeOption(args, "--today")) {
        auto date = Services::ParseDateKey(*today);
        if (!date) throw UsageError("--today needs a date as YYYYMMDD, not '" + *today + "'");
        clock_ = std::make_unique<Services::FixedClock>(*date);
        Services::SetClock(clock_.get());
    }
    appDir_ = AppDir::Resolve(AppDir::FromEnvironment(appDir));
    AppDir::Set(appDir_);
    SetLogFolder(appDir_ + "/");
}

CliContext::~CliContext() {
    if (clock_) Services::SetClock(nullptr);
}

void CliContext::EnsureSettings() {
    if (settingsLoaded_) return;
    settingsLoaded_ = true;
    settings_ = std::make_unique<Settings::CSettingsMgr>(appDir_);
    settings_->AddSection("General", &general_);
    settings_->AddSection("Update", &update_);
    settings_->LoadSettings();
}

Config::General::GeneralManager& CliContext::General() {
    EnsureSettings();
    return general_;
}

Update::UpdateManager& CliContext::UpdateSettings() {
    EnsureSettings();
    return update_;
}

Settings::CSettingsMgr& CliContext::SettingsStore() {
    EnsureSettings();
    return *settings_;
}

std::string CliContext::DataSourcePath() {
    // A file named on the command line is where the user stands, as with every command-line
    // program; the setting is relative to the application folder.
    if (!dataSources_.empty()) {
        const std::string& first = dataSources_.front();
        return first.empty() ? first : std::filesystem::absolute(first).string();
    }
    std::string path = General().GetDataSource();
    if (path.empty()) return path;
    if (!std::filesystem::path(path).is_absolute()) path = appDir_ + "/" + path;
    return path;
}

std::vector<std::string> CliContext::MoreTablePaths() {
    std::vector<std::string> paths;
    if (!dataSources_.empty()) {
        for (std::size_t i = 1; i < dataSources_.size(); ++i)
            if (!dataSources_[i].empty()) paths.push_back(std::filesystem::absolute(dataSources_[i]).string());
        return paths;
    }
    for (std::string path : General().GetMoreDataSources()) {
        if (!std::filesystem::path(path).is_absolute()) path = appDir_ + "/" + path;
        paths.push_back(std::move(path));
    }
    return paths;
}

std::string CliContext::MyFoodsPath() const {
    if (myFoods_) return std::filesystem::absolute(*myFoods_).string();
    return appDir_ + "/" + ::MyFoods::kDefaultPath;
}

}  // namespace Cli

namespace Cli {

const CDataSourceMgr& CliContext::DataSource() {
    if (dataSourceMgr_) return *dataSourceMgr_;
    const std::string path = DataSourcePath();
    if (path.empty())
        throw std::runtime_error(
            "no data source is configured: set \"Data Source\" in config.xml or pass --data-source FILE");
    auto mgr = std::make_unique<CDataSourceMgr>();
    std::string error;
    if (!mgr->Load(path, {}, error)) throw std::runtime_error(error);
    for (const std::string& table : MoreTablePaths())
        if (!mgr->AddTable(table, error)) std::cerr << "velmora-cli: " << error << '\n';
    auto mine = std::make_unique<CMyFoods>(*mgr);
    if (!mine->Load(MyFoodsPath(), error)) std::cerr << "velmora-cli: " << error << '\n';
    dataSourceMgr_ = std::move(mgr);
    myFoodsTable_ = std::move(mine);
    return *dataSourceMgr_;
}

// Commands that only read a profile work without a config.xml, as they always did; judging a day
// then takes the settings' defaults instead of complaining about the missing file.
bool CliContext::HasConfig() const {
    std::error_code ec;
    return settingsLoaded_ || std::filesystem::exists(appDir_ + "/config.xml", ec);
}

const CDC_DietaryIntakesMgr& CliContext::Intakes() {
    if (!intakes_) {
        intakes_ = std::make_unique<CDC_DietaryIntakesMgr>();
        const std::string edition = HasConfig() ? General().ReferenceIntakes() : "current";
        intakes_->InitializeBuiltIn(DriEditionFromName(edition).value_or(DriEdition::Current));
    }
    return *intakes_;
}

Targets::Options CliContext::TargetOptions() { return {&Intakes(), HasConfig() ? General().DefaultTargets() : true}; }

CMyFoods& CliContext::MyFoods() {
    DataSource();
    return *myFoodsTable_;
}

}  // namespace Cli
