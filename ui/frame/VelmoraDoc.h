#pragma once

#include "AppContext.h"
#include "ui/commands/CommandTarget.h"

#include "document/ProfileDocument.h"
#include "document/viewmodel/TrendsModel.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class CViewBase;

// The document of one open profile in its window: the profile document with its file, its title,
// the views of the window and the profile's menu commands that need no dialog. Only the view on
// show is attached; refreshing reaches that one.
class CVelmoraDoc : public QObject, public CProfileDocument, public Gui::CCommandTarget {
    Q_OBJECT
public:
    explicit CVelmoraDoc(const Gui::CAppContext& app);
    ~CVelmoraDoc() override;

    // What saving needs from the program around the document; either may be left empty.
    struct FileHooks {
        // A file for a profile without one: the profile chooser's; nullopt when the user cancels.
        std::function<std::optional<std::string>()> askSavePath;
        // The document now has this file (for the recent files).
        std::function<void(const std::string& path)> savedAs;
    };
    void SetFileHooks(FileHooks hooks) { fileHooks_ = std::move(hooks); }

    // Save: to the document's file, or under a name asked for when it has none or it is
    // read-only.
    bool DoFileSave();
    // Writes to `path`, asking for a profile name when it is empty; with `replace` the document
    // takes the new path and title.
    bool DoSave(const std::string& path, bool replace = true);
    // Before closing: asks whether to save a modified profile. False when the user cancels or
    // saving fails.
    bool SaveModified();

    const std::string& GetPathName() const { return PathName(); }
    // Takes the path and the file's name as title.
    void SetPathName(const std::string& path);
    // Forgets the file, keeping the title: the next save asks for a profile name.
    void ClearPathName() { CProfileDocument::SetPathName({}); }
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& title);

    void AddView(CViewBase* view);
    void RemoveView(CViewBase* view);
    CViewBase* FirstView() const { return views_.empty() ? nullptr : views_.front(); }
    // The attached view reloads after a change of the whole document.
    void UpdateAllViews();
    // The attached view reloads its controls.
    void RefreshFirstView();

    const Gui::CAppContext& App() const { return app_; }

    void OnEditCopy();
    void OnEditPaste();
    void OnReport(const char* templatePath);
    void OnReportXml();
    // The period summary of the Trends tab's period, or of the last 30 days before the tab was
    // shown.
    void OnReportPeriod();

    // The period the Trends tab shows; nullopt until it was shown.
    const std::optional<TrendsModel::DateRange>& TrendsRange() const { return trendsRange_; }
    void SetTrendsRange(const TrendsModel::DateRange& range) { trendsRange_ = range; }

signals:
    void titleChanged(const QString& title);
    // The modified flag, the current day or anything the commands' states depend on changed.
    void changed();
    // The user asked to close the profile's window (Close); the window asks to save first.
    void closeRequested();

private:
    Gui::CAppContext app_;
    FileHooks fileHooks_;
    std::vector<CViewBase*> views_;
    std::string title_;
    std::optional<TrendsModel::DateRange> trendsRange_;
    // The changes to the log that Edit > Undo takes back, for as long as the profile is open.
    QUndoStack undoStack_;
};
