#pragma once

#include "ui/commands/CommandTarget.h"
#include "ui/frame/AppContext.h"
#include "ui/frame/DocTemplate.h"
#include "ui/frame/RecentFileList.h"
#include "ui/views/SearchWorkers.h"

#include "core/settings/GeneralManager.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"
#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "refdata/FoodSearch.h"
#include "refdata/MyFoods.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDocManagerEx;
class CMainFrame;
class DLG_Logo;

// The application: owns the reference data and the settings for the life of the program, starts
// it up behind the splash window, answers the application's commands and shuts it down.
class CVelmoraApp : public Gui::CCommandTarget {
public:
    struct Options {
        std::optional<std::string> appDir;      // --app-dir
        std::optional<std::string> dataSource;  // --data-source, instead of the "Data Source" setting
        std::vector<std::string> files;         // profiles named on the command line
        // Further --data-source options: the tables loaded beside the data source, instead of
        // the "More Data Sources" setting.
        std::vector<std::string> moreDataSources;
        std::optional<std::string> myFoods;  // --my-foods, instead of the application folder's
    };

    explicit CVelmoraApp(Options options);
    ~CVelmoraApp() override;
    CVelmoraApp(const CVelmoraApp&) = delete;
    CVelmoraApp& operator=(const CVelmoraApp&) = delete;

    // The whole start-up; false when the main window can't be made.
    bool InitInstance();
    // The shutdown; answers `result`.
    int ExitInstance(int result = 0);
    // Configuration and reference data, behind the splash window.
    bool LoadConfiguration();
    // Opens the update page and stamps the date.
    void CheckForUpdate();

    const std::string& GetUserId() const { return userId_; }
    CDC_DietaryIntakesMgr& DietaryIntakes() { return intakes_; }
    Settings::CSettingsMgr& SettingsStore() { return settings_; }
    CDataSourceMgr& DataSource() { return dataSource_; }
    CMyFoods* MyFoods() { return myFoods_.get(); }
    Config::General::GeneralManager& General() { return general_; }
    Meal::CMealManager& Meals() { return meals_; }
    Update::UpdateManager& UpdateSettings() { return update_; }
    const std::string& AppDir() const { return appDir_; }
    // The food search all views share, and its worker threads.
    CFoodSearchContext& SearchContext() { return searchContext_; }
    CSearchWorkers& SearchWorkers() { return workers_; }

    // Not const: the windows change the settings and run searches through it.
    Gui::CAppContext Context();
    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    CDocManagerEx* DocManager() const { return docManager_.get(); }
    CRecentFileList& RecentFiles() { return recent_; }

    void OnImport();
    void OnSettings();
    // The reference intake edition and "Default Targets" as the settings now say, in every open
    // profile.
    void ApplyTargetSettings();
    void OnAppAbout();

private:
    void ReopenLastProfile();
    // Reads the user ID, creating and storing one the first time.
    void EnsureUserId(bool trace);
    void Trace(const std::string& text) const;

    Options options_;
    std::string userId_;
    CDC_DietaryIntakesMgr intakes_;
    Settings::CSettingsMgr settings_;
    CDataSourceMgr dataSource_;
    std::unique_ptr<CMyFoods> myFoods_;
    Config::General::GeneralManager general_;
    Meal::CMealManager meals_;
    Update::UpdateManager update_;
    std::string appDir_;

    CFoodSearchContext searchContext_;
    CSearchWorkers workers_;
    CRecentFileList recent_{16};
    std::unique_ptr<CDynamicDocTemplate> template_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<CDocManagerEx> docManager_;
};
