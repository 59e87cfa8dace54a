#pragma once

#include "ui/frame/AppContext.h"

// moc can't parse the standard headers these pull in, and needs nothing from them.
#ifndef Q_MOC_RUN
#include "model/DayFood.h"
#endif

#include <QDialog>

#include <vector>

class CIngredientTree;
class QPushButton;
class QTableWidget;
class QTreeWidgetItem;

// "Select Ingredients": the food tree beside a list of foods, edited on a copy of a day's entries
// that the caller takes back on OK.
class DlgSelectIngredients : public QDialog {
    Q_OBJECT
public:
    DlgSelectIngredients(const Gui::CAppContext& app, std::vector<UserLog::CDayFood> entries,
                         QWidget* parent = nullptr);

    const std::vector<UserLog::CDayFood>& Entries() const { return entries_; }

    CIngredientTree& Tree() const { return *tree_; }
    QTableWidget& List() const { return *list_; }
    QPushButton& AddButton() const { return *add_; }
    QPushButton& DeleteButton() const { return *delete_; }
    QPushButton& ClearButton() const { return *clear_; }
    QPushButton& UpButton() const { return *up_; }
    QPushButton& UnitsButton() const { return *units_; }
    QPushButton& DownButton() const { return *down_; }
    QPushButton& HelpButton() const { return *help_; }

    void OnAdd();
    void OnDelete();
    void OnClear();
    void OnUp();
    void OnDown();
    // The selected row, or -1.
    int SelectedRow() const;

private:
    void SetRow(int row);
    void Swap(int row, int other);
    void UpdateButtons();
    void EntriesChanged();
    // The food of the tree's selected item when the list has no entry of it yet.
    const CDS_Ingredient* FoodToAdd() const;

    Gui::CAppContext app_;
    std::vector<UserLog::CDayFood> entries_;
    CIngredientTree* tree_ = nullptr;
    QTableWidget* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* units_ = nullptr;
    QPushButton* down_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
};
