#include "DlgSelectIngredients.h"

#include "ui/views/IngredientTree.h"

#include "document/ProfileDocument.h"
#include "document/viewmodel/DayFoodList.h"
#include "model/TextFormat.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/Ingredient.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The blanks widen the columns, which are as wide as their headers.
constexpr const char* kColumns[] = {" Name           ", " Units  ", " Category   ", "Protein", "Fat  ",
                                    "Carbohydrate",     "Alcohol"};
constexpr int kFactorColumn = 3;

}  // namespace

DlgSelectIngredients::DlgSelectIngredients(const Gui::CAppContext& app, std::vector<UserLog::CDayFood> entries,
                                           QWidget* parent)
    : QDialog(parent), app_(app), entries_(std::move(entries)) {
    setWindowTitle(QStringLiteral("Select Ingredients"));
    tree_ = new CIngredientTree(this);
    list_ = new QTableWidget(this);
    add_ = new QPushButton(QStringLiteral("Add"), this);
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    clear_ = new QPushButton(QStringLiteral("Clear"), this);
    up_ = new QPushButton(QStringLiteral("Up"), this);
    units_ = new QPushButton(QStringLiteral("Units"), this);
    down_ = new QPushButton(QStringLiteral("Down"), this);
    ok_ = new QPushButton(QStringLiteral("&Ok"), this);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    help_ = new QPushButton(QStringLiteral("&Help"), this);
    ok_->setDefault(true);

    tree_->ShowProgramFoods(app_, entries_);

    list_->setColumnCount(int(std::size(kColumns)));
    QStringList headers;
    for (const char* c : kColumns) headers << QString::fromUtf8(c);
    list_->setHorizontalHeaderLabels(headers);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    int width = 0;
    for (int i = 0; i < list_->columnCount(); ++i) {
        // What the header needs for its text with its own margins, or the text would be cut.
        list_->setColumnWidth(i, list_->horizontalHeader()->sectionSizeHint(i));
        width += list_->columnWidth(i);
    }
    // Food names are long; the name column takes whatever room the others leave.
    list_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(20);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setRowCount(int(entries_.size()));
    for (int row = 0; row < list_->rowCount(); ++row) SetRow(row);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Available Ingredients:"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Selected Ingredients:"), this), 0, 1);
    grid->addWidget(tree_, 1, 0);
    grid->addWidget(list_, 1, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    auto* listButtons = new QHBoxLayout;
    for (QPushButton* b : {add_, delete_, clear_, up_, units_, down_}) listButtons->addWidget(b);
    listButtons->addStretch();
    grid->addLayout(listButtons, 2, 1);
    auto* dialogButtons = new QHBoxLayout;
    dialogButtons->addStretch();
    for (QPushButton* b : {ok_, cancel_, help_}) dialogButtons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(dialogButtons);
    resize(std::max(900, width + 560), 520);

    connect(add_, &QPushButton::clicked, this, &DlgSelectIngredients::OnAdd);
    connect(delete_, &QPushButton::clicked, this, &DlgSelectIngredients::OnDelete);
    connect(clear_, &QPushButton::clicked, this, &DlgSelectIngredients::OnClear);
    connect(up_, &QPushButton::clicked, this, &DlgSelectIngredients::OnUp);
    connect(down_, &QPushButton::clicked, this, &DlgSelectIngredients::OnDown);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(help_, &QPushButton::clicked, this,
            [this] { Gui::OpenHelpPage(app_.appDir, "/help/reference/ingredients.htm"); });
    connect(list_, &QTableWidget::itemSelectionChanged, this, &DlgSelectIngredients::UpdateButtons);
    connect(tree_, &QTreeWidget::currentItemChanged, this, &DlgSelectIngredients::UpdateButtons);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (tree_->IsFoodItem(item) && item == tree_->currentItem()) OnAdd();
    });
    UpdateButtons();
}

void DlgSelectIngredients::SetRow(int row) {
    const UserLog::CDayFood& entry = entries_[std::size_t(row)];
    QStringList cells{QString::fromStdString(entry.ShownName()),
                      QString::fromStdString(DayFoodList::ShownUnitName(entry)), QString()};
    for (int i = 0; i < EnergyComponents::kCount; ++i)
        cells << (entry.food ? QString::fromStdString(TextFormat::LowerG(entry.food->EnergyFactor(i))) : QString());
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (column >= kFactorColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        list_->setItem(row, column, item);
    }
}

int DlgSelectIngredients::SelectedRow() const {
    const auto rows = list_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

const CDS_Ingredient* DlgSelectIngredients::FoodToAdd() const {
    const CDS_Ingredient* food = tree_->FoodOfItem(tree_->currentItem());
    if (!food) return nullptr;
    const bool listed = std::any_of(entries_.begin(), entries_.end(),
                                    [&](const UserLog::CDayFood& e) { return e.GetFoodKey() == food->GetFoodKey(); });
    return listed ? nullptr : food;
}

void DlgSelectIngredients::UpdateButtons() {
    const int row = SelectedRow();
    add_->setEnabled(FoodToAdd() != nullptr);
    clear_->setEnabled(list_->rowCount() > 0);
    delete_->setEnabled(row >= 0);
    units_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < list_->rowCount());
}

void DlgSelectIngredients::EntriesChanged() {
    tree_->SetStatusList(entries_);
    tree_->UpdateAllFoodIcons();
    UpdateButtons();
}

void DlgSelectIngredients::OnAdd() {
    const CDS_Ingredient* food = FoodToAdd();
    if (!food) return;
    entries_.emplace_back(std::make_shared<CDS_Ingredient>(*food));
    const int row = list_->rowCount();
    list_->insertRow(row);
    SetRow(row);
    EntriesChanged();
}

void DlgSelectIngredients::OnDelete() {
    const int row = SelectedRow();
    if (row < 0) return;
    entries_.erase(entries_.begin() + row);
    list_->removeRow(row);
    EntriesChanged();
}

void DlgSelectIngredients::OnClear() {
    entries_.clear();
    list_->setRowCount(0);
    EntriesChanged();
}

void DlgSelectIngredients::Swap(int row, int other) {
    std::swap(entries_[std::size_t(row)], entries_[std::size_t(other)]);
    SetRow(row);
    SetRow(other);
    list_->selectRow(other);
    EntriesChanged();
}

void DlgSelectIngredients::OnUp() {
    const int row = SelectedRow();
    if (row > 0) Swap(row, row - 1);
}

void DlgSelectIngredients::OnDown() {
    const int row = SelectedRow();
    if (row >= 0 && row + 1 < list_->rowCount()) Swap(row, row + 1);
}
