#include "VelmoraDoc.h"

#include "DlgSelectDate.h"
#include "DocManager.h"
#include "QtServices.h"
#include "ViewBase.h"

#include "core/Services.h"
#include "core/Xml.h"
#include "refdata/DataSourceMgr.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <filesystem>

namespace {

constexpr const char* kClipboardUnavailable = "Clipboard data is not available.";
constexpr const char* kClipboardFailed = "Failed to load data from clipboard.";

std::string Trim(const std::string& s) {
    const char* ws = " \t\r\n";
    auto b = s.find_first_not_of(ws);
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

}  // namespace

CVelmoraDoc::CVelmoraDoc(const Ui::CAppContext& app, CDocManagerEx* manager)
    : app_(app), manager_(manager), log_(std::make_unique<NS_Data::CUserLog>(app.meals, app.dataSource)) {}

CVelmoraDoc::~CVelmoraDoc() = default;

bool CVelmoraDoc::OnNewDocument() {
    log_->requirements.clear();
    if (app_.dataSource)
        for (const auto& nutrient : app_.dataSource->Nutrients()) log_->AddRequirement(nutrient.Gid(), -1, -1);
    SetModifiedFlag(true);
    return true;
}

bool CVelmoraDoc::OnOpenDocument(const std::string& path) {
    std::string error;
    try {
        Xml::XmlDocument xml;
        if (!xml.Load(path)) {
            error = "Can't open file:\n" + path;
        } else {
            Xml::XmlElement root = xml.Root();
            if (root.TagName() != "root" || root.GetAttribute("app", "").AsString() != "velmora")
                error = "Can't load file:\n" + path + "\n";
            else
                log_->Load(root.ChildElement("Profile"));
        }
    } catch (const Xml::XmlError& e) {
        error = "Can't open file:\n" + path + "\n" + e.what();
    } catch (const std::exception&) {
        error = "Can't open file:\n" + path;
    }
    if (!error.empty()) {
        Services::Prompt().Message(error);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CVelmoraDoc::WriteProfile(const std::string& path) const {
    Xml::XmlDocument xml;
    Xml::XmlElement root = xml.CreateElement("root");
    root.SetAttribute("app", "velmora");
    root.SetAttribute("type", "profile");
    root.SetAttribute("version", 1);
    xml.AppendChild(root);
    log_->Save(root);
    xml.Indent();
    xml.Save(path);
}

bool CVelmoraDoc::OnSaveDocument(const std::string& path) {
    if (CViewBase* view = FirstView()) view->UpdateData(true);
    try {
        WriteProfile(path);
    } catch (const std::exception& e) {
        Services::Prompt().Message("Can't open file:\n" + path + "\n" + e.what());
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CVelmoraDoc::DoFileSave() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const bool writable = !path_.empty() &&
                          (!fs::exists(path_, ec) || (fs::status(path_, ec).permissions() & fs::perms::owner_write) != fs::perms::none);
    return DoSave(writable ? path_ : std::string());
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
    path_ = path;
    SetTitle(std::filesystem::path(path).filename().string());
}

void CVelmoraDoc::SetTitle(const std::string& title) {
    if (title == title_) return;
    title_ = title;
    emit titleChanged(QString::fromStdString(title_));
}

void CVelmoraDoc::SetModifiedFlag(bool modified) {
    modified_ = modified;
    emit changed();
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

std::string CVelmoraDoc::CopyText() const {
    Xml::XmlDocument xml;
    Xml::XmlElement root = xml.CreateElement("clipboard");
    root.SetAttribute("method", "copy");
    xml.AppendChild(root);
    log_->GetCurrentDay()->Save(root);
    return xml.GetXml();
}

std::string CVelmoraDoc::ExportName() const {
    std::string name = Trim(log_->personal.firstName + log_->personal.lastName);
    return name.empty() ? "VelmoraExport" : name;
}

bool CVelmoraDoc::OnCmdMsg(Ui::CommandId id, Ui::CCmdUI* state) {
    using Ui::CommandId;
    switch (id) {
        case CommandId::EditCopy:
            if (state) state->enabled = !log_->GetCurrentDay()->IsEmpty();
            else OnEditCopy();
            return true;
        case CommandId::EditPaste:
            if (state) state->enabled = log_->GetCurrentDay()->IsEmpty();
            else OnEditPaste();
            return true;
        case CommandId::EditDelete:
            if (!state) OnEditDelete();
            return true;
        case CommandId::Export:
            if (!state) OnExport();
            return true;
        case CommandId::GoToDate:
            if (!state) OnGoToDate();
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
        case CommandId::SelectNutrients:
            return true;  // answered by the nutrients view; nothing to do for the document
        default: return false;
    }
}

void CVelmoraDoc::OnEditCopy() {
    if (log_->GetCurrentDay()->IsEmpty()) return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(CopyText()));
}

void CVelmoraDoc::OnEditPaste() {
    auto day = log_->GetCurrentDay();
    if (!day->IsEmpty()) return;  // pasting never merges into a day that has data
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) {
        Services::Prompt().Message(kClipboardUnavailable);
        return;
    }
    // A failed paste leaves the day as it was: reading can stop half-way, and the day must keep
    // its own date to stay at its place in the log.
    const UserLog::CLogDay before(*day);
    try {
        Xml::XmlDocument xml;
        if (!xml.LoadXml(text.toStdString())) throw Xml::XmlError(Xml::XmlError::Parse, xml.ParseError());
        Xml::XmlElement pasted = xml.Root().ChildElement("LogDay");
        if (!pasted) throw Xml::XmlError(Xml::XmlError::NotElement, "no LogDay");
        day->Load(pasted);
        day->SetDate(before.date);
        log_->ResolveFoods();
    } catch (const std::exception&) {
        *day = before;
        Services::Prompt().Message(kClipboardFailed);
        return;
    }
    RefreshFirstView();
    SetModifiedFlag(true);
}

void CVelmoraDoc::OnEditDelete() {
    log_->GetCurrentDay()->ClearDay();
    RefreshFirstView();
    SetModifiedFlag(true);
}

void CVelmoraDoc::OnExport() {
    auto path = Ui::ChooseSaveFile("Export", ExportName(), "*.vlx", kExportFilter);
    if (!path) return;
    const bool wasModified = IsModified();
    OnSaveDocument(*path);
    SetModifiedFlag(wasModified);
}

void CVelmoraDoc::OnGoToDate() {
    DlgSelectDate dialog(Ui::DialogParent());
    if (dialog.exec() != QDialog::Accepted) return;
    log_->SelectDay(dialog.DateKey());
    RefreshFirstView();
}
