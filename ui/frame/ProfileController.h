#pragma once

#include <functional>

#include "ui/commands/CommandTarget.h"

class CVelmoraDoc;

// The commands of one open profile that ask the user in a dialog: they read and change the
// profile's document, which opens no dialogs itself. One per profile window; on the command
// route it comes after the document, in the window's place.
class CProfileController : public Gui::CCommandTarget {
public:
    explicit CProfileController(CVelmoraDoc& doc);

    void OnExport();
    void OnGoToDate();
    void OnFacts();
    void OnEnergyRequirements();
    // "Select ingredients" and "Diet Wizard": the day's foods edited in the food selection dialog.
    void OnSelectIngredients();
    // "Export CSV...": asks what to write and for which days, then for a file, and writes it.
    void OnExportCsv();
    // "Copy Day To...", "Copy Meal To..." and "Repeat Yesterday's Meal...": the dates and the meal
    // asked for in a dialog, the meal of the selected entry (else of the time of day) chosen at
    // first. A meal without foods is told in a message and changes nothing.
    void OnCopyDayTo();
    void OnCopyMealTo();
    void OnRepeatYesterdaysMeal();

    // Brings the Log tab, where the day is shown against its targets; filled in by the window.
    std::function<void()> showDayTargets;
    // Brings the Food tab with the cursor in its search box; filled in by the window.
    std::function<void()> findFood;
    // Brings the tab `step` places to the right (negative: left), round the end; filled in by the
    // window.
    std::function<void(int step)> stepTab;

private:
    CVelmoraDoc& doc_;
};
