#include "DlgFoodEditor.h"

#include "ui/frame/AppContext.h"
#include "ui/frame/FoodTables.h"

#include "core/Services.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/NutrientCatalogue.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace Gui {

namespace {

// The nutrients of a nutrition label, in its order, by their numbers: energy, fat, saturated and
// trans fat, cholesterol, sodium, carbohydrate, fibre, sugars, protein, vitamin D, calcium, iron,
// potassium.
constexpr int kLabelNumbers[] = {208, 204, 606, 605, 601, 307, 205, 291, 269, 203, 328, 301, 303, 306};

enum Column { kName = 0, kValue = 1, kUnits = 2 };

std::optional<double> ParseNumber(const QString& text) {
    bool ok = false;
    double v = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) return std::nullopt;
    return v;
}

QString Number(double v) { return QString::number(v, 'g', 10); }

}  // namespace

DlgFoodEditor::DlgFoodEditor(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key, const MyFood& start)
    : QDialog(parent), app_(app), key_(key), start_(start) {
    setWindowTitle(key ? QStringLiteral("Edit Food") : QStringLiteral("New Food"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    name_ = new QLineEdit(QString::fromStdString(start.food.Name()), this);
    name_->setObjectName(QStringLiteral("name"));
    form->addRow(QStringLiteral("&Name:"), name_);

    group_ = new QComboBox(this);
    group_->setObjectName(QStringLiteral("group"));
    group_->setEditable(true);
    QStringList groups{QString::fromUtf8(MyFoods::kFoodsGroup)};
    if (app.myFoods)
        for (const MyFood& f : app.myFoods->Foods())
            if (!f.recipe && !groups.contains(QString::fromStdString(f.group)))
                groups << QString::fromStdString(f.group);
    group_->addItems(groups);
    group_->setCurrentText(QString::fromStdString(start.group.empty() ? MyFoods::kFoodsGroup : start.group));
    form->addRow(QStringLiteral("&Group:"), group_);

    auto* basisRow = new QHBoxLayout;
    basis_ = new QComboBox(this);
    basis_->setObjectName(QStringLiteral("basis"));
    basis_->addItems({QStringLiteral("per 100 g"), QStringLiteral("per serving of")});
    servingGrams_ = new QDoubleSpinBox(this);
    servingGrams_->setObjectName(QStringLiteral("servingGrams"));
    servingGrams_->setRange(0.1, 100000);
    servingGrams_->setDecimals(1);
    servingGrams_->setSuffix(QStringLiteral(" g"));
    servingGrams_->setValue(100);
    servingGrams_->setEnabled(false);
    connect(basis_, &QComboBox::currentIndexChanged, this, [this](int i) { servingGrams_->setEnabled(i == 1); });
    basisRow->addWidget(basis_);
    basisRow->addWidget(servingGrams_);
    basisRow->addStretch();
    form->addRow(QStringLiteral("Values:"), basisRow);

    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setPlaceholderText(QStringLiteral("Find a nutrient"));
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, this, &DlgFoodEditor::Filter);
    layout->addWidget(filter_);

    // The label's nutrients first, then every other nutrient of the tables in their order.
    std::vector<const CDS_Nutrition*> rows;
    if (app.dataSource) {
        const auto& all = app.dataSource->Nutrients();
        for (int number : kLabelNumbers) {
            const int gid = Nutrient::GidOfNutrientNumber(number);
            auto it = std::find_if(all.begin(), all.end(), [gid](const CDS_Nutrition& n) { return n.gid == gid; });
            if (it != all.end()) rows.push_back(&*it);
        }
        for (const CDS_Nutrition& n : all)
            if (std::find(rows.begin(), rows.end(), &n) == rows.end() && n.gid >= 0) rows.push_back(&n);
    }
    nutrients_ = new QTableWidget(static_cast<int>(rows.size()), 3, this);
    nutrients_->setObjectName(QStringLiteral("nutrients"));
    nutrients_->setHorizontalHeaderLabels(
        {QStringLiteral("Nutrient"), QStringLiteral("Value"), QStringLiteral("Units")});
    nutrients_->verticalHeader()->hide();
    nutrients_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    nutrients_->setTabKeyNavigation(true);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = static_cast<int>(i);
        gids_.push_back(rows[i]->gid);
        auto* name = new QTableWidgetItem(QString::fromStdString(rows[i]->name));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        nutrients_->setItem(r, kName, name);
        const auto& values = start.food.NutrientValues();
        auto value = values.find(rows[i]->gid);
        nutrients_->setItem(r, kValue, new QTableWidgetItem(value != values.end() ? Number(value->second) : QString()));
        auto* units = new QTableWidgetItem(QString::fromStdString(rows[i]->units));
        units->setFlags(units->flags() & ~Qt::ItemIsEditable);
        nutrients_->setItem(r, kUnits, units);
    }
    if (nutrients_->rowCount() > 0) nutrients_->setCurrentCell(0, kValue);
    layout->addWidget(nutrients_, 3);

    layout->addWidget(new QLabel(QStringLiteral("Portions:"), this));
    portions_ = new QTableWidget(0, 2, this);
    portions_->setObjectName(QStringLiteral("portions"));
    portions_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Grams")});
    portions_->verticalHeader()->hide();
    portions_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (std::size_t i = 1; i < start.food.Units().size(); ++i)
        AddPortionRow(QString::fromStdString(start.food.Units()[i].name), start.food.Units()[i].grams);
    layout->addWidget(portions_, 1);
    auto* portionButtons = new QHBoxLayout;
    auto* addPortion = new QPushButton(QStringLiteral("Add &Portion"), this);
    addPortion->setObjectName(QStringLiteral("addPortion"));
    auto* removePortion = new QPushButton(QStringLiteral("&Remove Portion"), this);
    for (QPushButton* b : {addPortion, removePortion}) b->setAutoDefault(false);
    connect(addPortion, &QPushButton::clicked, this, [this] {
        // A label's values per serving name the serving's weight: the portion most people log.
        AddPortionRow(QStringLiteral("serving"), basis_->currentIndex() == 1 ? servingGrams_->value() : 100.0);
        portions_->setCurrentCell(portions_->rowCount() - 1, 0);
        portions_->editItem(portions_->item(portions_->rowCount() - 1, 0));
    });
    connect(removePortion, &QPushButton::clicked, this, [this] {
        if (portions_->currentRow() >= 0) portions_->removeRow(portions_->currentRow());
    });
    portionButtons->addWidget(addPortion);
    portionButtons->addWidget(removePortion);
    portionButtons->addStretch();
    layout->addLayout(portionButtons);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgFoodEditor::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgFoodEditor::reject);
    layout->addWidget(buttons);
    resize(560, 640);
}

void DlgFoodEditor::AddPortionRow(const QString& name, double grams) {
    const int r = portions_->rowCount();
    portions_->insertRow(r);
    portions_->setItem(r, 0, new QTableWidgetItem(name));
    portions_->setItem(r, 1, new QTableWidgetItem(Number(grams)));
}

void DlgFoodEditor::Filter(const QString& text) {
    for (int r = 0; r < nutrients_->rowCount(); ++r)
        nutrients_->setRowHidden(r, !nutrients_->item(r, kName)->text().contains(text.trimmed(), Qt::CaseInsensitive));
}

void DlgFoodEditor::accept() {
    MyFood food = start_;
    food.recipe.reset();
    food.food = CDS_Ingredient();
    food.food.SetName(name_->text().trimmed().toStdString());
    food.group = group_->currentText().trimmed().toStdString();
    if (food.group.empty()) food.group = MyFoods::kFoodsGroup;
    food.food.SetEnergyFactors(start_.food.EnergyFactors());
    const double per = basis_->currentIndex() == 1 ? servingGrams_->value() : 100.0;
    for (int r = 0; r < nutrients_->rowCount(); ++r) {
        const QString text = nutrients_->item(r, kValue)->text().trimmed();
        if (text.isEmpty()) continue;
        const auto value = ParseNumber(text);
        if (!value) {
            Services::Prompt().Message("The value of " + nutrients_->item(r, kName)->text().toStdString() + ", \"" +
                                           text.toStdString() + "\", is not a number.",
                                       "Food");
            nutrients_->setCurrentCell(r, kValue);
            return;
        }
        food.food.SetNutrientValue(gids_[static_cast<std::size_t>(r)], *value * 100.0 / per);
    }
    for (int r = 0; r < portions_->rowCount(); ++r) {
        const QString name = portions_->item(r, 0) ? portions_->item(r, 0)->text().trimmed() : QString();
        const QString gramsText = portions_->item(r, 1) ? portions_->item(r, 1)->text() : QString();
        if (name.isEmpty() && gramsText.trimmed().isEmpty()) continue;
        const auto grams = ParseNumber(gramsText);
        food.food.AddUnit(name.toStdString(), grams.value_or(std::nan("")));
    }
    std::string error;
    std::optional<FoodKey> saved;
    ChangeMyFoods(app_, [&](CMyFoods& mine) {
        if (key_) {
            if (mine.Replace(*key_, food, error)) saved = key_;
        } else {
            saved = mine.Add(food, error);
        }
        return saved.has_value();
    });
    if (!saved) {
        Services::Prompt().Message(error.empty() ? "Your own foods are not loaded." : error, "Food");
        return;
    }
    saved_ = saved;
    QDialog::accept();
}

std::optional<FoodKey> EditFood(QWidget* parent, const CAppContext& app, std::optional<FoodKey> key,
                                const MyFood& start) {
    DlgFoodEditor dialog(parent, app, key, start);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.SavedKey();
}

}  // namespace Gui
