#pragma once

#include "model/TargetOptions.h"

#include <string>

class CDataSourceMgr;
class CMyFoods;
class CDC_DietaryIntakesMgr;
class CFoodSearchContext;
class CSearchWorkers;
namespace Meal {
class CMealManager;
}
namespace Settings {
class CSettingsMgr;
}
namespace Config::General {
class GeneralManager;
}

namespace Gui {

// What windows, documents and views read of the application: the reference data and the
// settings, which live as long as the program.
struct CAppContext {
    const CDataSourceMgr* dataSource = nullptr;
    const Meal::CMealManager* meals = nullptr;
    const CDC_DietaryIntakesMgr* intakes = nullptr;
    Settings::CSettingsMgr* settings = nullptr;
    Config::General::GeneralManager* general = nullptr;
    // The one food search of the program and its worker threads, which the application waits for
    // before the data source goes.
    CFoodSearchContext* searchContext = nullptr;
    CSearchWorkers* searchWorkers = nullptr;
    // The user's own foods and recipes; null when the program runs without them (some tests).
    CMyFoods* myFoods = nullptr;
    // Without a trailing separator.
    std::string appDir;

    std::string ProfilesFolder() const { return appDir + "/profiles/"; }
};

// What profiles are judged against: the loaded reference intakes and the "Default Targets"
// setting (on when the program runs without settings).
Targets::Options TargetOptionsOf(const CAppContext& app);

// Opens a help page in the browser: the application folder's, else the one the program came with;
// `page` starts with a slash. When it can't be shown the user is told with the file's path.
void OpenHelpPage(const std::string& appDir, const std::string& page);

}  // namespace Gui
