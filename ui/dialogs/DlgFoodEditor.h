#pragma once

#ifndef Q_MOC_RUN
#include "refdata/FoodKey.h"
#include "refdata/MyFoods.h"
#endif

#include "ui/frame/AppContext.h"

#include <QDialog>

#include <optional>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QTableWidget;

namespace Gui {

// "Food": one of the user's own foods. Values are typed per 100 g or per serving of a given
// weight (kept per 100 g); every nutrient of the food tables is listed, those of a nutrition label
// first, and a filter finds the others. OK saves through the user's table; a refusal is shown and
// the dialog stays open.
class DlgFoodEditor : public QDialog {
    Q_OBJECT
public:
    // `key` names the food to replace; without it OK adds `start` (empty, or a copy of a food).
    DlgFoodEditor(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key, const MyFood& start);

    // The key saved, after OK.
    std::optional<FoodKey> SavedKey() const { return saved_; }

    void accept() override;

private:
    void Filter(const QString& text);
    void AddPortionRow(const QString& name, double grams);

    const CAppContext app_;
    std::optional<FoodKey> key_;
    MyFood start_;
    std::optional<FoodKey> saved_;
    std::vector<int> gids_;  // of the nutrient rows
    QLineEdit* name_ = nullptr;
    QComboBox* group_ = nullptr;
    QComboBox* basis_ = nullptr;
    QDoubleSpinBox* servingGrams_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QTableWidget* nutrients_ = nullptr;
    QTableWidget* portions_ = nullptr;
};

// Opens the editor; the key saved, or nullopt when the user cancelled.
std::optional<FoodKey> EditFood(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key,
                                const MyFood& start);

}  // namespace Gui
