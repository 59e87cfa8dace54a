#include "CellMark.h"

#include <QPainter>
#include <QStyleOptionViewItem>
#include "TableItems.h"

#include <QTableWidget>

#include <utility>

namespace CellMarks {

namespace {

// The reason of a marked cell; cells without one are not marked.
constexpr int kReasonRole = Qt::UserRole + 40;

const QColor kFrame(220, 0, 0);

QTableWidgetItem* ItemAt(QTableWidget& table, int row, int column) { return TableItems::Ensure(table, row, column); }
const QTableWidgetItem* ItemAt(const QTableWidget& table, int row, int column) {
    return TableItems::Find(table, row, column);
}

}  // namespace

void Set(QTableWidget& table, int row, int column, const QString& text, const QString& reason) {
    QTableWidgetItem* item = ItemAt(table, row, column);
    if (!item) return;
    const QSignalBlocker quiet(&table);
    item->setText(text);
    item->setData(kReasonRole, reason);
    item->setToolTip(reason);
}

void Clear(QTableWidget& table, int row, int column) {
    QTableWidgetItem* item = const_cast<QTableWidgetItem*>(ItemAt(std::as_const(table), row, column));
    if (!item || !item->data(kReasonRole).isValid()) return;
    const QSignalBlocker quiet(&table);
    item->setData(kReasonRole, QVariant());
    item->setToolTip(QString());
}

void ClearAll(QTableWidget& table) {
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c)
            if (IsMarked(table, r, c)) Clear(table, r, c);
}

bool IsMarked(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = ItemAt(table, row, column);
    return item && item->data(kReasonRole).isValid();
}

QString Reason(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = ItemAt(table, row, column);
    return item ? item->data(kReasonRole).toString() : QString();
}

std::vector<Mark> All(const QTableWidget& table) {
    std::vector<Mark> marks;
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c)
            if (IsMarked(table, r, c)) marks.push_back({r, c, table.item(r, c)->text(), Reason(table, r, c)});
    return marks;
}

void Restore(QTableWidget& table, const std::vector<Mark>& marks) {
    for (const Mark& mark : marks) Set(table, mark.row, mark.column, mark.text, mark.reason);
}

void Paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!index.data(kReasonRole).isValid()) return;
    painter->save();
    painter->setPen(QPen(kFrame, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

}  // namespace CellMarks
