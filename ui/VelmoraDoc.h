#pragma once

#include "AppContext.h"
#include "CommandTarget.h"

#include "model/UserLog.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class CViewBase;
class CDocManagerEx;

// The document of one open profile: its data, its file, its title and modified flag, and the
// profile's own commands. Only the view on screen is attached; refreshing reaches that one.
class CVelmoraDoc : public QObject, public Ui::CCommandTarget {
    Q_OBJECT
public:
    static constexpr const char* kExportFilter =
        "Velmora xml file (*.vlx)|*.vlx|eXtensible Markup Language file (*.xml)|*.xml|All Files (*.*)|*.*||";

    // `manager` supplies the profile chooser for saving under a new name; may be null.
    CVelmoraDoc(const Ui::CAppContext& app, CDocManagerEx* manager);
    ~CVelmoraDoc() override;

    // A new profile: today's empty day, the built-in facts, every nutrient of the data source
    // followed. Modified, so closing it asks to save it.
    bool OnNewDocument();
    // Reads the profile file; false, after telling the user why, when it can't be read.
    bool OnOpenDocument(const std::string& path);
    // Stores the view's input, writes the profile file and clears the modified flag; false, after
    // telling the user why, when it can't be written (the document stays modified).
    bool OnSaveDocument(const std::string& path);

    // Save: to the document's file, or under a name asked for when it has none.
    bool DoFileSave();
    // Writes to `path`, asking for a profile name when it is empty; with `replace` the document
    // takes the new path and title.
    bool DoSave(const std::string& path, bool replace = true);
    // Before closing: asks whether to save a modified profile. False when the user cancels or
    // saving fails.
    bool SaveModified();

    const std::string& GetPathName() const { return path_; }
    // Takes the path and the file's name as title.
    void SetPathName(const std::string& path);
    // Forgets the file, keeping the title: the next save asks for a profile name.
    void ClearPathName() { path_.clear(); }
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& title);
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true);

    void AddView(CViewBase* view);
    void RemoveView(CViewBase* view);
    CViewBase* FirstView() const { return views_.empty() ? nullptr : views_.front(); }
    // The attached view reloads after a change of the whole document.
    void UpdateAllViews();
    // The attached view reloads its controls.
    void RefreshFirstView();

    NS_Data::CUserLog& Log() { return *log_; }
    const NS_Data::CUserLog& Log() const { return *log_; }
    const Ui::CAppContext& App() const { return app_; }

    // The clipboard text of the current day: an XML document with the root "clipboard".
    std::string CopyText() const;
    // The file name Export suggests: first and last name joined, trimmed; "VelmoraExport" when
    // that is empty.
    std::string ExportName() const;

    bool OnCmdMsg(Ui::CommandId id, Ui::CCmdUI* state) override;

    void OnEditCopy();
    void OnEditPaste();
    void OnEditDelete();
    void OnExport();
    void OnGoToDate();

signals:
    void titleChanged(const QString& title);
    // The modified flag, the current day or anything the commands' states depend on changed.
    void changed();
    // The user asked to close the profile's window (Close); the window asks to save first.
    void closeRequested();

private:
    void WriteProfile(const std::string& path) const;

    Ui::CAppContext app_;
    CDocManagerEx* manager_ = nullptr;
    std::unique_ptr<NS_Data::CUserLog> log_;
    std::vector<CViewBase*> views_;
    std::string path_;
    std::string title_;
    bool modified_ = false;
};
