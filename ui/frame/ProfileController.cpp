#include "ProfileController.h"

#include "QtServices.h"
#include "VelmoraDoc.h"
#include "document/fileio/CsvExport.h"
#include "document/fileio/ProfileFile.h"
#include "ui/dialogs/DlgEnergy.h"
#include "ui/dialogs/DlgExportCsv.h"
#include "ui/dialogs/DlgFactManager.h"
#include "ui/dialogs/DlgSelectDate.h"
#include "ui/dialogs/DlgSelectIngredients.h"

#include "core/Services.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <exception>

CProfileController::CProfileController(CVelmoraDoc& doc) : doc_(doc) {
    using Gui::CommandId;
    OnCommand(CommandId::Export, [this] { OnExport(); });
    OnCommand(CommandId::ExportCsv, [this] { OnExportCsv(); });
    OnCommand(CommandId::GoToDate, [this] { OnGoToDate(); });
    OnCommand(CommandId::Facts, [this] { OnFacts(); });
    OnCommand(CommandId::EnergyRequirements, [this] { OnEnergyRequirements(); });
    OnCommand(CommandId::SelectIngredients, [this] { OnSelectIngredients(); });
    OnCommand(CommandId::DietWizard, [this] { OnSelectIngredients(); });
    OnCommand(
        CommandId::DayTargets, [this] { showDayTargets(); }, [this] { return static_cast<bool>(showDayTargets); });
    OnCommand(
        CommandId::FindFood, [this] { findFood(); }, [this] { return static_cast<bool>(findFood); });
    OnCommand(
        CommandId::NextTab, [this] { stepTab(1); }, [this] { return static_cast<bool>(stepTab); });
    OnCommand(
        CommandId::PreviousTab, [this] { stepTab(-1); }, [this] { return static_cast<bool>(stepTab); });
}

void CProfileController::OnExport() {
    auto path =
        Gui::ChooseSaveFile("Export", doc_.ExportFileName(), CVelmoraDoc::kExportDefaultExt, kProfileFileFilter);
    if (path) doc_.Export(*path);
}

void CProfileController::OnGoToDate() {
    DlgSelectDate dialog(Gui::DialogParent());
    if (dialog.exec() == QDialog::Accepted) doc_.GoToDate(dialog.DateKey());
}

void CProfileController::OnFacts() {
    doc_.Facts([this](NS_Data::CUserLog& userLog) {
        DlgFactManager dialog(userLog, doc_.App().appDir, Gui::DialogParent());
        dialog.exec();
    });
}

void CProfileController::OnSelectIngredients() {
    // The dialog works on a copy, so that Cancel leaves the day as it was.
    DlgSelectIngredients dialog(doc_.App(), doc_.DayFoods(), Gui::DialogParent());
    if (dialog.exec() == QDialog::Accepted) doc_.SetDayFoods(dialog.Entries());
}

void CProfileController::OnEnergyRequirements() {
    DlgEnergy dialog(doc_.App().appDir, Gui::DialogParent());
    dialog.exec();
}

void CProfileController::OnExportCsv() {
    const std::string today = boost::gregorian::to_iso_string(Services::Today());
    const TrendsModel::DateRange range = doc_.TrendsRange()
                                             ? *doc_.TrendsRange()
                                             : TrendsModel::RangeOf(TrendsModel::Period::Everything, doc_.Log(), today);
    DlgExportCsv dialog(range.from, range.to, Gui::DialogParent());
    if (dialog.exec() != QDialog::Accepted) return;
    auto path = Gui::ChooseSaveFile("Export CSV", doc_.ExportFileName(), "*.csv",
                                    "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||");
    if (!path) return;
    try {
        CsvExport::Write(doc_.Log(), dialog.Entries() ? CsvExport::Kind::Entries : CsvExport::Kind::Daily,
                         dialog.From(), dialog.To(), *path);
    } catch (const std::exception& e) {
        Services::Prompt().Message(e.what());
    }
}
