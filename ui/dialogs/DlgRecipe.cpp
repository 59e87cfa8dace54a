#include "DlgRecipe.h"

#include "core/Services.h"

#include "model/DayFood.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/FoodSearch.h"
#include "ui/frame/AppContext.h"
#include "ui/frame/FoodTables.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

namespace Gui {

namespace {

constexpr int kMaxResults = 200;
constexpr int kKeyRole = Qt::UserRole;
constexpr int kSourceRole = Qt::UserRole + 1;

enum Column { kName, kAmount, kUnit, kGrams, kColumns };

QString Number(double value) { return QString::number(value, 'f', 1); }

// One ingredient row: the food and the units it can be measured in. A food the tables no longer
// have keeps the one unit it was entered in, at the weight it had then.
struct Row {
    FoodKey food;
    std::string name;
    std::vector<FoodUnit> units;
};

class CRecipeDialog : public QDialog {
public:
    CRecipeDialog(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key, const MyFood& start)
        : QDialog(parent), app_(app), key_(key), start_(start) {
        setWindowTitle(QStringLiteral("Recipe"));
        name_ = new QLineEdit(QString::fromStdString(start.food.Name()), this);
        name_->setObjectName(QStringLiteral("name"));
        search_ = new QLineEdit(this);
        search_->setObjectName(QStringLiteral("search"));
        search_->setPlaceholderText(QStringLiteral("Search foods"));
        results_ = new QListWidget(this);
        results_->setObjectName(QStringLiteral("results"));
        table_ = new QTableWidget(0, kColumns, this);
        table_->setObjectName(QStringLiteral("ingredients"));
        table_->setHorizontalHeaderLabels(
            {QStringLiteral("Food"), QStringLiteral("Amount"), QStringLiteral("Unit"), QStringLiteral("Grams")});
        table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
        table_->setSelectionBehavior(QAbstractItemView::SelectRows);
        table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        auto* remove = new QPushButton(QStringLiteral("Remove"), this);
        remove->setObjectName(QStringLiteral("remove"));
        remove->setAutoDefault(false);
        cooked_ = new QDoubleSpinBox(this);
        cooked_->setObjectName(QStringLiteral("cookedWeight"));
        cooked_->setRange(0.0, 1e6);
        cooked_->setDecimals(1);
        cooked_->setSuffix(QStringLiteral(" g"));
        cooked_->setSpecialValueText(QStringLiteral("sum of ingredients"));
        servings_ = new QDoubleSpinBox(this);
        servings_->setObjectName(QStringLiteral("servings"));
        servings_->setRange(0.1, 1e4);
        servings_->setDecimals(2);
        servings_->setValue(1.0);
        preview_ = new QLabel(this);
        preview_->setObjectName(QStringLiteral("preview"));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->setObjectName(QStringLiteral("buttons"));

        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("Name:"), name_);
        form->addRow(QStringLiteral("Add food:"), search_);
        form->addRow(results_);
        form->addRow(table_);
        form->addRow(remove);
        form->addRow(QStringLiteral("Cooked weight:"), cooked_);
        form->addRow(QStringLiteral("Servings:"), servings_);
        form->addRow(preview_);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(buttons);

        if (start.recipe) {
            for (const RecipeIngredient& ingredient : start.recipe->ingredients) AddRow(ingredient);
            cooked_->setValue(start.recipe->cookedWeight);
            servings_->setValue(start.recipe->servings);
        }

        // Enter in the search box or the result list adds a food; it must not close the dialog.
        search_->installEventFilter(this);
        results_->installEventFilter(this);
        connect(search_, &QLineEdit::textChanged, this, [this] { Search(); });
        connect(results_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { AddResult(item); });
        connect(remove, &QPushButton::clicked, this, [this] { RemoveSelected(); });
        connect(cooked_, &QDoubleSpinBox::valueChanged, this, [this] { UpdatePreview(); });
        connect(servings_, &QDoubleSpinBox::valueChanged, this, [this] { UpdatePreview(); });
        connect(buttons, &QDialogButtonBox::accepted, this, [this] { Save(); });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        UpdatePreview();
        resize(640, 640);
    }

    const std::optional<FoodKey>& Saved() const { return saved_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter) {
                QListWidgetItem* item = results_->currentItem();
                if (!item && watched == search_ && results_->count() > 0) item = results_->item(0);
                if (item) AddResult(item);
                return true;
            }
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    void Search() {
        results_->clear();
        const std::string text = search_->text().trimmed().toStdString();
        if (text.size() < 2 || !app_.dataSource) return;
        FoodMatchList found = FoodSearch::Run(*app_.dataSource, text);
        // Ranked as on the Food tab, so Enter takes the everyday form ("honey": Honey, not a baby food).
        const auto everyday = app_.searchContext ? app_.searchContext->EverydayFoods() : nullptr;
        FoodSearch::Rank(*app_.dataSource, found, FoodSearch::SplitTerms(text), {}, everyday.get());
        found.resize(std::min<std::size_t>(found.size(), kMaxResults));
        const std::vector<std::string> labels = FoodSearch::Labels(*app_.dataSource, found);
        for (std::size_t i = 0; i < found.size(); ++i) {
            auto* item = new QListWidgetItem(QString::fromStdString(labels[i]), results_);
            item->setData(kKeyRole, found[i].key.key);
            item->setData(kSourceRole, found[i].key.source);
        }
    }

    void AddResult(QListWidgetItem* item) {
        const FoodKey key(item->data(kKeyRole).toInt(), item->data(kSourceRole).toInt());
        const CDS_Ingredient* food = app_.dataSource ? app_.dataSource->FindFood(key) : nullptr;
        if (!food) return;
        RecipeIngredient ingredient{key, food->Name(), 100.0, "g", 100.0};
        // The first household portion is what a cook measures by; grams only when there is none.
        for (const FoodUnit& unit : food->Units()) {
            if (unit.name == "g") continue;
            ingredient.amount = 1.0;
            ingredient.unit = unit.name;
            ingredient.grams = unit.grams;
            break;
        }
        AddRow(ingredient);
        UpdatePreview();
    }

    void AddRow(const RecipeIngredient& ingredient) {
        Row row{ingredient.food, ingredient.name, {}};
        const CDS_Ingredient* food = app_.dataSource ? app_.dataSource->FindFood(ingredient.food) : nullptr;
        QString shown = QString::fromStdString(ingredient.name);
        if (food) {
            row.units = food->Units();
            if (row.units.empty()) row.units.push_back(FoodUnit{"g", 1.0});
        } else {
            shown += QStringLiteral(" (missing)");
            const double perUnit = ingredient.amount > 0.0 ? ingredient.grams / ingredient.amount : 0.0;
            row.units.push_back(FoodUnit{ingredient.unit, perUnit});
        }
        const int r = table_->rowCount();
        table_->insertRow(r);
        table_->setItem(r, kName, new QTableWidgetItem(shown));
        auto* amount = new QDoubleSpinBox;
        amount->setObjectName(QStringLiteral("amount"));
        amount->setRange(0.0, 1e6);
        amount->setDecimals(2);
        amount->setValue(ingredient.amount);
        table_->setCellWidget(r, kAmount, amount);
        auto* unit = new QComboBox;
        unit->setObjectName(QStringLiteral("unit"));
        for (const FoodUnit& u : row.units) unit->addItem(QString::fromStdString(u.name));
        int index = 0;
        for (std::size_t i = 0; i < row.units.size(); ++i)
            if (row.units[i].name == ingredient.unit) {
                index = static_cast<int>(i);
                break;
            }
        unit->setCurrentIndex(index);
        table_->setCellWidget(r, kUnit, unit);
        table_->setItem(r, kGrams, new QTableWidgetItem);
        rows_.push_back(std::move(row));
        connect(amount, &QDoubleSpinBox::valueChanged, this, [this] { UpdatePreview(); });
        connect(unit, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    }

    void RemoveSelected() {
        const int r = table_->currentRow();
        if (r < 0 || r >= static_cast<int>(rows_.size())) return;
        table_->removeRow(r);
        rows_.erase(rows_.begin() + r);
        UpdatePreview();
    }

    Recipe CurrentRecipe() const {
        Recipe recipe;
        for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
            const Row& row = rows_[r];
            const auto* amount = static_cast<QDoubleSpinBox*>(table_->cellWidget(r, kAmount));
            const auto* unit = static_cast<QComboBox*>(table_->cellWidget(r, kUnit));
            const FoodUnit& u = row.units.at(std::max(0, unit->currentIndex()));
            recipe.ingredients.push_back(
                RecipeIngredient{row.food, row.name, amount->value(), u.name, amount->value() * u.grams});
        }
        recipe.cookedWeight = cooked_->value();
        recipe.servings = servings_->value();
        return recipe;
    }

    void UpdatePreview() {
        const Recipe recipe = CurrentRecipe();
        for (int r = 0; r < static_cast<int>(recipe.ingredients.size()); ++r)
            table_->item(r, kGrams)->setText(Number(recipe.ingredients[r].grams));
        CDS_Ingredient values;
        std::string error;
        if (recipe.ingredients.empty()) {
            preview_->setText(QStringLiteral("Add foods to the recipe."));
            return;
        }
        if (!app_.dataSource || !CMyFoods::Compute(*app_.dataSource, recipe, values, error)) {
            preview_->setText(QString::fromStdString(error));
            return;
        }
        const double servingGrams = recipe.CookedGrams() / recipe.servings;
        const auto line = [&](const QString& what, double grams) {
            const double f = grams / 100.0;
            return QStringLiteral("%1: %2 kcal, protein %3 g, fat %4 g, carbohydrate %5 g")
                .arg(what, Number(values.EnergyPer100g() * f), Number(values.NutrientValue(3) * f),
                     Number(values.NutrientValue(4) * f), Number(values.NutrientValue(5) * f));
        };
        preview_->setText(line(QStringLiteral("Per serving (%1 g)").arg(Number(servingGrams)), servingGrams) +
                          QLatin1Char('\n') + line(QStringLiteral("Per 100 g"), 100.0));
    }

    void Save() {
        MyFood food = start_;
        food.recipe = CurrentRecipe();
        CDS_Ingredient values;
        std::string error;
        if (app_.dataSource && CMyFoods::Compute(*app_.dataSource, *food.recipe, values, error)) {
            values.SetFoodKey(food.food.GetFoodKey());
            food.food = std::move(values);
        }
        food.food.SetName(name_->text().trimmed().toStdString());
        if (food.group.empty() || food.group == MyFoods::kFoodsGroup) food.group = MyFoods::kRecipesGroup;
        error.clear();
        std::optional<FoodKey> saved;
        const bool ok = ChangeMyFoods(app_, [&](CMyFoods& mine) {
            if (key_) {
                if (mine.Replace(*key_, food, error)) saved = key_;
            } else {
                saved = mine.Add(food, error);
            }
            return saved.has_value();
        });
        if (!ok || !saved) {
            Services::Prompt().Message(error.empty() ? "The recipe could not be saved." : error,
                                       windowTitle().toStdString());
            return;
        }
        saved_ = saved;
        accept();
    }

    const CAppContext& app_;
    std::optional<FoodKey> key_;
    MyFood start_;
    std::vector<Row> rows_;
    QLineEdit* name_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* results_ = nullptr;
    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* cooked_ = nullptr;
    QDoubleSpinBox* servings_ = nullptr;
    QLabel* preview_ = nullptr;
    std::optional<FoodKey> saved_;
};

}  // namespace

std::optional<FoodKey> EditRecipe(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key,
                                  const MyFood& start) {
    const MyFood* stored = key && app.myFoods ? app.myFoods->Find(*key) : nullptr;
    CRecipeDialog dialog(parent, app, key, stored ? *stored : start);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Saved();
}

std::optional<FoodKey> SaveDayAsRecipe(QWidget* parent, const CAppContext& app,
                                       const std::vector<UserLog::CDayFood>& entries) {
    QStringList choices{QStringLiteral("The whole day")};
    for (const auto& entry : entries) {
        const QString meal = QString::fromStdString(entry.meal);
        if (!meal.isEmpty() && !choices.contains(meal)) choices << meal;
    }
    QString chosen = choices.front();
    if (choices.size() > 1) {
        bool ok = false;
        chosen = QInputDialog::getItem(parent, QStringLiteral("Save as Recipe"), QStringLiteral("Make a recipe of:"),
                                       choices, 0, false, &ok);
        if (!ok) return std::nullopt;
    }
    MyFood start;
    start.group = MyFoods::kRecipesGroup;
    start.recipe.emplace();
    for (const auto& entry : entries) {
        if (chosen != choices.front() && QString::fromStdString(entry.meal) != chosen) continue;
        start.recipe->ingredients.push_back(
            RecipeIngredient{entry.GetFoodKey(), entry.ShownName(), entry.Amount(), entry.UnitName(), entry.weight});
    }
    if (chosen != choices.front()) start.food.SetName(chosen.toStdString());
    return EditRecipe(parent, app, std::nullopt, start);
}

}  // namespace Gui
