#include "VelmoraDoc.h"

#include "ui/dialogs/DlgEnergy.h"
#include "ui/dialogs/DlgFactManager.h"
#include "ui/dialogs/DlgSelectDate.h"
#include "ui/dialogs/DlgSelectIngredients.h"
#include "DocManager.h"
#include "QtServices.h"
#include "ui/views/ViewBase.h"

#include "core/Services.h"
#include "document/fileio/ProfileFile.h"
#include "document/report/Report.h"
#include "document/report/ReportDocument.h"

#include <QApplication>
#include <QClipboard>

#include <algorithm>
#include <filesystem>

namespace {

// The wait cursor for as long as the object lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CVelmoraDoc::CVelmoraDoc(const Gui::CAppContext& app, CDocManagerEx* manager)
    : CProfileDocument(app.meals, app.dataSource), app_(app), manager_(manager) {
    hooks.refreshView = [this] { RefreshFirstView(); };
    hooks.storeView = [this] {
        if (CViewBase* view = FirstView()) view->UpdateData(true);
    };
    hooks.updateAllViews = [this] { UpdateAllViews(); };
    hooks.modifiedChanged = [this](bool) { emit changed(); };
}

CVelmoraDoc::~CVelmoraDoc() = default;

bool CVelmoraDoc::DoFileSave() {
    namespace fs = std::filesystem;
    const std::string& path = GetPathName();
    std::error_code ec;
    const bool writable = !path.empty() && (!fs::exists(path, ec) ||
                                            (fs::status(path, ec).permissions() & fs::perms::owner_write) != fs::perms::none);
    return DoSave(writable ? path : std::string());
}

bool CVelmoraDoc::DoSave(const std::string& path, bool replace) {
    std::string target = path;
    if (target.empty()) {
        if (!manager_ || !manager_->DoPromptFileName(target, false)) return false;
    }
    if (!OnSaveDocument(target)) return false;
    if (replace) {
        SetPathName(target);
        if (manager_) manager_->AddToRecentFileList(target);
    }
    return true;
}

bool CVelmoraDoc::SaveModified() {
    if (!IsModified()) return true;
    switch (Services::Prompt().Question("Save changes to " + title_ + "?", Services::Buttons::YesNoCancel)) {
        case Services::Answer::Yes:
        case Services::Answer::Ok: return DoFileSave();
        case Services::Answer::No: return true;
        case Services::Answer::Cancel: return false;
    }
    return false;
}

void CVelmoraDoc::SetPathName(const std::string& path) {
    CProfileDocument::SetPathName(path);
    SetTitle(std::filesystem::path(path).filename().string());
}

void CVelmoraDoc::SetTitle(const std::string& title) {
    if (title == title_) return;
    title_ = title;
    emit titleChanged(QString::fromStdString(title_));
}

void CVelmoraDoc::AddView(CViewBase* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
}

void CVelmoraDoc::RemoveView(CViewBase* view) { std::erase(views_, view); }

void CVelmoraDoc::UpdateAllViews() {
    for (CViewBase* view : views_) view->OnUpdate();
    emit changed();
}

void CVelmoraDoc::RefreshFirstView() {
    if (CViewBase* view = FirstView()) view->UpdateData(false);
    emit changed();
}

bool CVelmoraDoc::OnCmdMsg(Gui::CommandId id, Gui::CCmdUI* state) {
    using Gui::CommandId;
    switch (id) {
        case CommandId::EditCopy:
            if (state) state->enabled = CanCopy();
            else OnEditCopy();
            return true;
        case CommandId::EditPaste:
            if (state) state->enabled = CanPaste();
            else OnEditPaste();
            return true;
        case CommandId::EditDelete:
            if (!state) DeleteDay();
            return true;
        case CommandId::Export:
            if (!state) OnExport();
            return true;
        case CommandId::GoToDate:
            if (!state) OnGoToDate();
            return true;
        case CommandId::ReportSummary:
            if (!state) OnReport(Report::kSummaryTemplate);
            return true;
        case CommandId::ReportMenu:
            if (!state) OnReport(Report::kMenuTemplate);
            return true;
        case CommandId::ReportXml:
            if (!state) OnReportXml();
            return true;
        case CommandId::FileSave:
            if (!state) DoFileSave();
            return true;
        case CommandId::FileSaveAs:
            if (!state) DoSave({});
            return true;
        case CommandId::FileClose:
            if (!state) emit closeRequested();
            return true;
        case CommandId::Facts:
            if (!state) OnFacts();
            return true;
        case CommandId::EnergyRequirements:
            if (!state) OnEnergyRequirements();
            return true;
        case CommandId::SelectIngredients:
        case CommandId::DietWizard:
            if (!state) OnSelectIngredients();
            return true;
        case CommandId::SelectNutrients:
            return true;  // answered by the nutrients view; nothing to do for the document
        default: return false;
    }
}

void CVelmoraDoc::OnEditCopy() {
    if (!CanCopy()) return;
    QApplication::clipboard()->setText(QString::fromStdString(CopyText()));
}

void CVelmoraDoc::OnEditPaste() {
    const QString text = QApplication::clipboard()->text();
    Paste(text.isEmpty() ? std::nullopt : std::optional<std::string>(text.toStdString()));
}

void CVelmoraDoc::OnExport() {
    auto path = Gui::ChooseSaveFile("Export", ExportFileName(), kExportDefaultExt, kExportFilter);
    if (path) Export(*path);
}

void CVelmoraDoc::OnGoToDate() {
    DlgSelectDate dialog(Gui::DialogParent());
    if (dialog.exec() == QDialog::Accepted) GoToDate(dialog.DateKey());
}

void CVelmoraDoc::OnFacts() {
    Facts([this](NS_Data::CUserLog& userLog) {
        DlgFactManager dialog(userLog, app_.appDir, Gui::DialogParent());
        dialog.exec();
    });
}

void CVelmoraDoc::OnSelectIngredients() {
    // The dialog works on a copy, so that Cancel leaves the day as it was.
    DlgSelectIngredients dialog(app_, DayFoods(), Gui::DialogParent());
    if (dialog.exec() == QDialog::Accepted) SetDayFoods(dialog.Entries());
}

void CVelmoraDoc::OnEnergyRequirements() {
    DlgEnergy dialog(app_.appDir, Gui::DialogParent());
    dialog.exec();
}

void CVelmoraDoc::OnReport(const char* templatePath) {
    WaitCursor wait;
    Report::RunTemplate(templatePath, Log());
}

void CVelmoraDoc::OnReportXml() {
    WaitCursor wait;
    try {
        Xml::XmlDocument doc;
        BuildProfileDocument(*this, doc);
        Report::ExportXml(doc);
    } catch (const std::exception& e) {
        Services::Prompt().Message(e.what());
    }
}
