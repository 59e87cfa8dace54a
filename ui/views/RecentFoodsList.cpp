#include "RecentFoodsList.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kSourceRole = Qt::UserRole + 1;
const QString kStarred = QStringLiteral("\u2605");
const QString kUnstarred = QStringLiteral("\u2606");

}  // namespace

CRecentFoodsList::CRecentFoodsList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(kColumnCount);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(kStar, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(kName, QHeaderView::Stretch);
    header()->setSectionResizeMode(kLast, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemClicked, this, &CRecentFoodsList::OnClicked);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &CRecentFoodsList::OnDoubleClicked);
}

void CRecentFoodsList::SetRows(const std::vector<Row>& rows) {
    if (!holdOrder_) {
        Fill(rows);
        return;
    }
    held_ = rows;
    for (const Row& row : rows)
        if (QTreeWidgetItem* item = row.heading.isEmpty() ? ItemOfFood(row.food) : nullptr)
            SetStar(item, row.favourite);
}

void CRecentFoodsList::Release() {
    holdOrder_ = false;
    if (!held_) return;
    const std::vector<Row> rows = std::move(*held_);
    held_.reset();
    Fill(rows);
}

void CRecentFoodsList::leaveEvent(QEvent* event) {
    Release();
    QTreeWidget::leaveEvent(event);
}

void CRecentFoodsList::hideEvent(QHideEvent* event) {
    Release();
    QTreeWidget::hideEvent(event);
}

void CRecentFoodsList::SetStar(QTreeWidgetItem* item, bool favourite) {
    item->setText(kStar, favourite ? kStarred : kUnstarred);
    item->setToolTip(kStar, favourite ? tr("A favourite: click (or Space) to unstar it")
                                      : tr("Click (or Space) to star it as a favourite"));
}

void CRecentFoodsList::Fill(const std::vector<Row>& rows) {
    const std::optional<FoodKey> current = FoodOfItem(currentItem());
    const QSignalBlocker block(this);
    clear();
    QTreeWidgetItem* keep = nullptr;
    for (const Row& row : rows) {
        auto* item = new QTreeWidgetItem(this);
        if (!row.heading.isEmpty()) {
            item->setText(0, row.heading);
            QFont bold = font();
            bold.setBold(true);
            item->setFont(0, bold);
            // Disabled items are greyed; a heading is to be read.
            item->setForeground(0, palette().color(QPalette::WindowText));
            // Disabled, so that the arrow keys pass over it to the foods.
            item->setFlags(Qt::NoItemFlags);
            item->setFirstColumnSpanned(true);
            continue;
        }
        SetStar(item, row.favourite);
        item->setText(kName, row.name);
        item->setText(kLast, row.last);
        for (int column : {kName, kLast}) item->setToolTip(column, row.tip);
        item->setData(kName, kKeyRole, row.food.key);
        item->setData(kName, kSourceRole, row.food.source);
        if (!keep && current && *current == row.food) keep = item;
    }
    if (keep) setCurrentItem(keep);
}

QTreeWidgetItem* CRecentFoodsList::ItemOfFood(const FoodKey& food) const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (FoodOfItem(topLevelItem(i)) == food) return topLevelItem(i);
    return nullptr;
}

std::optional<FoodKey> CRecentFoodsList::FoodOfItem(const QTreeWidgetItem* item) const {
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) return std::nullopt;
    return FoodKey(item->data(kName, kKeyRole).toInt(), item->data(kName, kSourceRole).toInt());
}

void CRecentFoodsList::OnClicked(QTreeWidgetItem* item, int column) {
    const auto food = FoodOfItem(item);
    if (!food || column != kStar) return;
    holdOrder_ = true;
    emit starToggled(food->key, food->source);
}

void CRecentFoodsList::OnDoubleClicked(QTreeWidgetItem* item, int column) {
    // The first click of a double click on a star starred the food already.
    const auto food = FoodOfItem(item);
    if (food && column != kStar) emit foodChosen(food->key, food->source);
}

void CRecentFoodsList::keyPressEvent(QKeyEvent* event) {
    const auto food = FoodOfItem(currentItem());
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (food) emit foodChosen(food->key, food->source);
            return;
        case Qt::Key_Space:
        case Qt::Key_Asterisk:
            if (food) emit starToggled(food->key, food->source);
            return;
        default: QTreeWidget::keyPressEvent(event);
    }
}
