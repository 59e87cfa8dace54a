#include "ProfileController.h"

#include "QtServices.h"
#include "VelmoraDoc.h"
#include "document/fileio/CsvExport.h"
#include "document/fileio/ProfileFile.h"
#include "ui/dialogs/DlgCopyFoods.h"
#include "ui/dialogs/DlgEnergy.h"
#include "ui/dialogs/DlgExportCsv.h"
#include "ui/dialogs/DlgFactManager.h"
#include "ui/dialogs/DlgFoodEditor.h"
#include "ui/dialogs/DlgRecipe.h"
#include "ui/dialogs/DlgSelectDate.h"
#include "ui/dialogs/DlgSelectIngredients.h"

#include "ui/views/ViewBase.h"

#include "core/Services.h"
#include "document/viewmodel/DayFoodList.h"
#include "model/Meal.h"

#include <QTime>

#include <boost/date_time/gregorian/gregorian.hpp>

#include <exception>

namespace {

std::string ShownDate(const std::string& dateKey) {
    const auto date = Services::ParseDateKey(dateKey);
    return date ? boost::gregorian::to_iso_extended_string(*date) : dateKey;
}

std::string ShownMeal(const std::string& meal) { return meal.empty() ? DayFoodList::kNoMeal : meal; }

// What the copy dialogs start from.
DlgCopyFoods::Setup CopySetup(const CVelmoraDoc& doc, DlgCopyFoods::Kind kind) {
    DlgCopyFoods::Setup setup;
    setup.kind = kind;
    setup.currentDate = doc.CurrentDate();
    setup.dayBefore = doc.DayBeforeCurrent();
    const Meal::CMealManager* meals = doc.Log().Meals();
    if (meals)
        for (int i = 0; i < meals->MealCount(); ++i) setup.meals.push_back(meals->MealAt(i).Name());
    const CViewBase* view = doc.FirstView();
    if (const auto selected = view ? view->SelectedMeal() : std::nullopt) {
        setup.meal = *selected;
    } else if (meals) {
        const QTime now = QTime::currentTime();
        const Meal::MealTime timeOfDay{.minutes = static_cast<std::int16_t>(now.minute()),
                                       .hours = static_cast<std::int16_t>(now.hour())};
        if (const Meal::CMeal* meal = meals->MealForTime(timeOfDay)) setup.meal = meal->Name();
    }
    setup.entriesOn = [&doc](const std::string& dateKey, const std::optional<std::string>& meal) {
        return doc.EntriesOn(dateKey, meal);
    };
    return setup;
}

}  // namespace

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
        CommandId::CopyDayTo, [this] { OnCopyDayTo(); }, [this] { return doc_.CanCopy(); });
    OnCommand(
        CommandId::CopyMealTo, [this] { OnCopyMealTo(); }, [this] { return !doc_.DayFoods().empty(); });
    OnCommand(CommandId::RepeatYesterdaysMeal, [this] { OnRepeatYesterdaysMeal(); });
    OnCommand(
        CommandId::DayTargets, [this] { showDayTargets(); }, [this] { return static_cast<bool>(showDayTargets); });
    OnCommand(
        CommandId::FindFood, [this] { findFood(); }, [this] { return static_cast<bool>(findFood); });
    // Making a food or a recipe of your own needs no food of the Food tab: these work on every
    // tab. The Food tab answers them first, to show what was saved in its tree.
    auto mine = [this] { return doc_.App().myFoods != nullptr; };
    OnCommand(
        CommandId::NewFood, [this] { Gui::EditFood(Gui::DialogParent(), doc_.App(), std::nullopt, MyFood{}); }, mine);
    OnCommand(
        CommandId::NewRecipe, [this] { Gui::EditRecipe(Gui::DialogParent(), doc_.App(), std::nullopt, MyFood{}); },
        mine);
    OnCommand(
        CommandId::SaveAsRecipe, [this] { Gui::SaveDayAsRecipe(Gui::DialogParent(), doc_.App(), doc_.DayFoods()); },
        [this, mine] { return mine() && !doc_.DayFoods().empty(); });
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
    dialog.StartWith(doc_.Log());
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

void CProfileController::OnCopyDayTo() {
    DlgCopyFoods dialog(CopySetup(doc_, DlgCopyFoods::Kind::Day), Gui::DialogParent());
    if (dialog.exec() != QDialog::Accepted) return;
    try {
        doc_.CopyDayTo(dialog.Dates(), dialog.WithFacts());
    } catch (const std::exception& e) {
        Services::Prompt().Message(e.what());
    }
}

void CProfileController::OnCopyMealTo() {
    DlgCopyFoods dialog(CopySetup(doc_, DlgCopyFoods::Kind::Meal), Gui::DialogParent());
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string meal = dialog.Meal();
    try {
        if (doc_.CopyMealTo(meal, dialog.Dates()) == 0 && doc_.EntriesOn(doc_.CurrentDate(), meal) == 0)
            Services::Prompt().Message(ShownDate(doc_.CurrentDate()) + " has no foods in " + ShownMeal(meal) +
                                       "; nothing was copied.");
    } catch (const std::exception& e) {
        Services::Prompt().Message(e.what());
    }
}

void CProfileController::OnRepeatYesterdaysMeal() {
    DlgCopyFoods dialog(CopySetup(doc_, DlgCopyFoods::Kind::RepeatMeal), Gui::DialogParent());
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string meal = dialog.Meal();
    if (doc_.RepeatYesterdaysMeal(meal) == 0)
        Services::Prompt().Message(ShownDate(doc_.DayBeforeCurrent()) + " had no foods in " + ShownMeal(meal) +
                                   "; nothing was added.");
}
