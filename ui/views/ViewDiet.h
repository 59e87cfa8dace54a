#pragma once

#include "ViewBase.h"

#include <string>

class CCellGrid;

// The "Diet" tab: the grid of the current day's foods by weight against the followed nutrients,
// with the entries' and the nutrients' limits and the day's totals. Weights and limits are typed
// into the grid; the sizes the user gives its rows and columns are kept in the profile.
class CViewDiet : public CViewBase {
    Q_OBJECT
public:
    explicit CViewDiet(QWidget* parent = nullptr);

    CCellGrid* Grid() const { return grid_; }

protected:
    bool DoDataExchange(bool save) override;

private:
    // Cell kinds, colours and texts of the current day.
    void Fill();
    void OnCellEdited(int row, int column, const QString& text);
    void OnSizesChanged();
    void OnCalculateNutrients();

    CCellGrid* grid_ = nullptr;
    // Set while the view writes the grid, so sizes it applies are not taken for the user's.
    bool filling_ = false;
    // The day the grid's marked cells belong to.
    std::string markedDate_;
};
