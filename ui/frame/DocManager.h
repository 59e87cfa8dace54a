#pragma once

#include "AppContext.h"
#include "DocTemplate.h"

#include <memory>
#include <string>
#include <vector>

class CChildFrameDay;
class CMainFrame;
class CRecentFileList;
class CVelmoraDoc;

// The stored profile names of a profiles folder, as ProfileName::List gives them (no backups, no
// temporary files). The folder is created when missing.
std::vector<std::string> ListProfileNames(const std::string& folder);

// Opens, creates and names profiles: the profile chooser replaces file dialogs, profiles live in
// the application's "profiles" folder, and each open profile gets its window in the main frame.
class CDocManagerEx {
public:
    static constexpr const char* kFailedToOpen = "Failed to open document.";

    CDocManagerEx(const Gui::CAppContext& app, CDynamicDocTemplate& docTemplate, CMainFrame& mainFrame,
                  CRecentFileList* recent);

    // The open document of that file (its window comes forward), or the file opened in a new
    // window; null, after telling the user, when it can't be opened. A file opened is listed
    // among the recent files unless `addToRecent` is false.
    CVelmoraDoc* OpenDocumentFile(const std::string& path, bool addToRecent = true);
    // A new profile in a new window, titled "Profile1", "Profile2", ...
    CVelmoraDoc* OnFileNew();
    // Asks for a profile and opens it.
    void OnFileOpen();
    // Asks for a profile name: the open dialog with `openFile`, else the save dialog. On OK
    // `fileName` becomes the profiles folder + the name.
    bool DoPromptFileName(std::string& fileName, bool openFile);

    std::vector<CVelmoraDoc*> Documents() const;
    void AddToRecentFileList(const std::string& path);

private:
    // A document whose saving asks this manager for profile names.
    std::unique_ptr<CVelmoraDoc> NewDocument();
    CChildFrameDay* CreateFrame(CVelmoraDoc* doc);

    Gui::CAppContext app_;
    CDynamicDocTemplate& template_;
    CMainFrame& mainFrame_;
    CRecentFileList* recent_ = nullptr;
    int untitledCount_ = 0;
};
