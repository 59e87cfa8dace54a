#include "VelmoraDoc.h"

#include "FoodTables.h"

#include "ui/views/ViewBase.h"

#include "core/Services.h"
#include "document/fileio/ProfileFile.h"
#include "document/report/Report.h"
#include "document/report/ReportDocument.h"

#include <QApplication>
#include <QClipboard>

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace {

// The wait cursor for as long as the object lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// A change of the log on the undo stack. Pushing runs redo(); the change is made already then.
class ProfileChange : public QUndoCommand {
public:
    ProfileChange(CProfileDocument& document, std::shared_ptr<const UndoStep> step)
        : QUndoCommand(QString::fromStdString(step->label)), document_(document), step_(std::move(step)) {}

    void undo() override { document_.Restore(*step_, false); }
    void redo() override {
        if (pushed_) document_.Restore(*step_, true);
        pushed_ = true;
    }

private:
    CProfileDocument& document_;
    std::shared_ptr<const UndoStep> step_;
    bool pushed_ = false;
};

// How many changes Undo goes back; each holds a day or two and the nutrient list.
constexpr int kUndoLimit = 500;

}  // namespace

CVelmoraDoc::CVelmoraDoc(const Gui::CAppContext& app) : CProfileDocument(app.meals, app.dataSource), app_(app) {
    Log().SetTargetOptions(Gui::TargetOptionsOf(app));
    hooks.refreshView = [this] { RefreshFirstView(); };
    hooks.storeView = [this] {
        if (CViewBase* view = FirstView()) view->UpdateData(true);
    };
    hooks.updateAllViews = [this] { UpdateAllViews(); };
    hooks.modifiedChanged = [this](bool) { emit changed(); };
    undoStack_.setUndoLimit(kUndoLimit);
    hooks.undoableChange = [this](std::shared_ptr<const UndoStep> step) {
        undoStack_.push(new ProfileChange(*this, std::move(step)));
        emit changed();
    };
    // Entries of the user's own foods show what the user just changed.
    connect(&Gui::CFoodTablesSignal::Instance(), &Gui::CFoodTablesSignal::myFoodsChanged, this, [this] {
        Log().RefreshFoods();
        UpdateAllViews();
    });

    using Gui::CommandId;
    OnCommand(
        CommandId::EditCopy, [this] { OnEditCopy(); }, [this] { return CanCopy(); });
    OnCommand(
        CommandId::EditPaste, [this] { OnEditPaste(); }, [this] { return CanPaste(); });
    OnCommand(CommandId::EditDelete, [this] { DeleteDay(); });
    OnCommand(
        CommandId::EditUndo, [this] { undoStack_.undo(); }, [this] { return undoStack_.canUndo(); });
    OnCommand(
        CommandId::EditRedo, [this] { undoStack_.redo(); }, [this] { return undoStack_.canRedo(); });
    DescribeCommand(CommandId::EditUndo, [this] {
        return undoStack_.canUndo() ? "&Undo " + undoStack_.undoText().toStdString() : std::string();
    });
    DescribeCommand(CommandId::EditRedo, [this] {
        return undoStack_.canRedo() ? "&Redo " + undoStack_.redoText().toStdString() : std::string();
    });
    OnCommand(CommandId::ReportSummary, [this] { OnReport(Report::kSummaryTemplate); });
    OnCommand(CommandId::ReportMenu, [this] { OnReport(Report::kMenuTemplate); });
    OnCommand(CommandId::ReportXml, [this] { OnReportXml(); });
    OnCommand(CommandId::ReportPeriod, [this] { OnReportPeriod(); });
    OnCommand(CommandId::FileSave, [this] { DoFileSave(); });
    OnCommand(CommandId::FileSaveAs, [this] { DoSave({}); });
    OnCommand(CommandId::FileClose, [this] { emit closeRequested(); });
    // Answered by the nutrients view; nothing to do for the document.
    OnCommand(CommandId::SelectNutrients, [] {});
}

CVelmoraDoc::~CVelmoraDoc() = default;

bool CVelmoraDoc::DoFileSave() {
    namespace fs = std::filesystem;
    const std::string& path = GetPathName();
    std::error_code ec;
    const bool writable =
        !path.empty() &&
        (!fs::exists(path, ec) || (fs::status(path, ec).permissions() & fs::perms::owner_write) != fs::perms::none);
    return DoSave(writable ? path : std::string());
}

bool CVelmoraDoc::DoSave(const std::string& path, bool replace) {
    std::string target = path;
    if (target.empty()) {
        std::optional<std::string> asked = fileHooks_.askSavePath ? fileHooks_.askSavePath() : std::nullopt;
        if (!asked) return false;
        target = *asked;
    }
    if (!OnSaveDocument(target)) return false;
    if (replace) {
        SetPathName(target);
        if (fileHooks_.savedAs) fileHooks_.savedAs(target);
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

void CVelmoraDoc::OnEditCopy() {
    if (!CanCopy()) return;
    QApplication::clipboard()->setText(QString::fromStdString(CopyText()));
}

void CVelmoraDoc::OnEditPaste() {
    const QString text = QApplication::clipboard()->text();
    Paste(text.isEmpty() ? std::nullopt : std::optional<std::string>(text.toStdString()));
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

void CVelmoraDoc::OnReportPeriod() {
    WaitCursor wait;
    const std::string today = boost::gregorian::to_iso_string(Services::Today());
    const TrendsModel::DateRange range =
        trendsRange_ ? *trendsRange_ : TrendsModel::RangeOf(TrendsModel::Period::Last30, Log(), today);
    Xml::XmlDocument doc;
    Report::BuildPeriodDocument(Log(), range.from, range.to, doc);
    Report::RunTemplate(Report::kPeriodTemplate, doc);
}
