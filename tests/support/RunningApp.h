#pragma once

#include "GuiSupport.h"

#include "support/FakeServices.h"

#include "VelmoraApp.h"

#include <memory>
#include <string>
#include <vector>

class CMainFrame;

// The whole program started in-process on a fresh application folder, with the prompt and the
// shell recorded and today fixed at 7 May 2024.
class RunningApp {
public:
    struct Config {
        std::string dataSource;  // "Data Source"; the test data source by default
        bool loadLastProfile = false;
        bool maximized = false;
        bool runWizard = false;
        std::string lastCheck = "05/07/24";  // no update check is due
    };

    explicit RunningApp(const Config& config);
    RunningApp() : RunningApp(Config{}) {}
    ~RunningApp();

    // Starts the program; the recent files are what the user settings hold then.
    bool Start(std::vector<std::string> files = {});
    // Shuts it down (the destructor does this too).
    void Stop();

    CVelmoraApp& App() { return *app_; }
    CMainFrame& Main();
    const TempDir& Folder() const { return folder_; }
    std::string AddProfile(const std::string& fixture, const std::string& name) const;
    void SetRecentFiles(const std::vector<std::string>& paths) const;

    ScopedClock clock;
    RecordingPrompt prompt;
    RecordingShell shell;

private:
    TempDir folder_;
    std::unique_ptr<CVelmoraApp> app_;
};
