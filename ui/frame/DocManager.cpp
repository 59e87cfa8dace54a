#include "DocManager.h"

#include "ChildFrame.h"
#include "MainFrame.h"
#include "QtServices.h"
#include "RecentFileList.h"
#include "VelmoraDoc.h"
#include "ui/dialogs/DlgSaveProfile.h"
#include "ui/dialogs/DlgSelectProfile.h"

#include "core/Services.h"
#include "document/fileio/ProfileName.h"

#include <filesystem>
#include <memory>

CDocManagerEx::CDocManagerEx(const Gui::CAppContext& app, CDynamicDocTemplate& docTemplate, CMainFrame& mainFrame,
                             CRecentFileList* recent)
    : app_(app), template_(docTemplate), mainFrame_(mainFrame), recent_(recent) {}

std::vector<CVelmoraDoc*> CDocManagerEx::Documents() const {
    std::vector<CVelmoraDoc*> docs;
    for (CChildFrameBase* frame : mainFrame_.ChildFrames())
        if (CVelmoraDoc* doc = frame->GetActiveDocument()) docs.push_back(doc);
    return docs;
}

void CDocManagerEx::AddToRecentFileList(const std::string& path) {
    if (!recent_) return;
    recent_->Add(path);
    recent_->WriteList();
}

CVelmoraDoc* CDocManagerEx::OpenDocumentFile(const std::string& path, bool addToRecent) {
    const std::vector<CVelmoraDoc*> docs = Documents();
    std::vector<std::string> openPaths;
    for (CVelmoraDoc* doc : docs) openPaths.push_back(doc->GetPathName());

    int match = -1;
    switch (template_.MatchDocType(path, openPaths, match)) {
        case CDynamicDocTemplate::noAttempt: Services::Prompt().Message(kFailedToOpen); return nullptr;
        case CDynamicDocTemplate::yesAlreadyOpen: {
            CVelmoraDoc* doc = docs[static_cast<std::size_t>(match)];
            for (CChildFrameBase* frame : mainFrame_.ChildFrames())
                if (frame->GetActiveDocument() == doc) mainFrame_.ActivateChildFrame(frame);
            return doc;
        }
        default: break;
    }

    auto doc = NewDocument();
    if (!doc->OnOpenDocument(path)) return nullptr;
    doc->SetPathName(path);
    // Windows show the profile's name, not the extension of a file brought in from elsewhere.
    const std::string& title = doc->GetTitle();
    if (auto cut = title.find(CDynamicDocTemplate::kExtension); cut != std::string::npos)
        doc->SetTitle(title.substr(0, cut));
    if (addToRecent) AddToRecentFileList(path);

    CVelmoraDoc* raw = doc.get();
    if (!CreateFrame(doc.release())) {
        Services::Prompt().Message(kFailedToOpen);
        return nullptr;
    }
    return raw;
}

CVelmoraDoc* CDocManagerEx::OnFileNew() {
    auto doc = NewDocument();
    // A profile made here shows its dashboard at once: it follows what the person has reference
    // intakes for, not the data source's every nutrient.
    if (!doc->OnNewDocument(CProfileDocument::NewNutrients::WithReferenceIntakes)) return nullptr;
    doc->SetTitle("Profile" + std::to_string(++untitledCount_));
    CVelmoraDoc* raw = doc.get();
    return CreateFrame(doc.release()) ? raw : nullptr;
}

void CDocManagerEx::OnFileOpen() {
    std::string name;
    if (DoPromptFileName(name, true)) OpenDocumentFile(name);
}

std::unique_ptr<CVelmoraDoc> CDocManagerEx::NewDocument() {
    auto doc = std::make_unique<CVelmoraDoc>(app_);
    doc->SetFileHooks({
        .askSavePath = [this]() -> std::optional<std::string> {
            std::string path;
            if (!DoPromptFileName(path, false)) return std::nullopt;
            return path;
        },
        .savedAs = [this](const std::string& path) { AddToRecentFileList(path); },
    });
    return doc;
}

CChildFrameDay* CDocManagerEx::CreateFrame(CVelmoraDoc* doc) {
    auto frame = std::make_unique<CChildFrameDay>(std::unique_ptr<CVelmoraDoc>(doc));
    if (!frame->Create()) return nullptr;     // the document goes with the frame
    CChildFrameDay* shown = frame.release();  // the main window's area owns it from here
    mainFrame_.AddChildFrame(shown);
    shown->InitialUpdateFrame();
    return shown;
}

std::vector<std::string> ListProfileNames(const std::string& profilesFolder) {
    std::error_code ec;
    std::filesystem::create_directories(profilesFolder, ec);
    return ProfileName::List(profilesFolder);
}

bool CDocManagerEx::DoPromptFileName(std::string& fileName, bool openFile) {
    const std::vector<std::string> names = ListProfileNames(app_.ProfilesFolder());
    std::string chosen;
    if (openFile) {
        DlgSelectProfile dialog(names, app_.appDir, Gui::DialogParent());
        if (dialog.exec() != QDialog::Accepted) return false;
        chosen = dialog.ChosenName();
    } else {
        DlgSaveProfile dialog(names, Gui::DialogParent());
        if (dialog.exec() != QDialog::Accepted) return false;
        chosen = dialog.ChosenName();
    }
    fileName = app_.ProfilesFolder() + chosen;
    return true;
}
