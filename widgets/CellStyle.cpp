#include "CellStyle.h"

#include "CellMark.h"
#include "TableItems.h"

#include <QLineEdit>
#include <QTableWidget>

namespace CellStyle {

namespace {

constexpr int kSuggestedRole = Qt::UserRole + 41;

// Cells styled before they hold text are shown, not typed into.
QTableWidgetItem* ItemAt(QTableWidget& table, int row, int column) {
    return TableItems::Ensure(table, row, column, Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}
const QTableWidgetItem* ItemAt(const QTableWidget& table, int row, int column) {
    return TableItems::Find(table, row, column);
}

}  // namespace

QColor SuggestedColour() { return {110, 110, 110}; }

void SetSuggested(QTableWidget& table, int row, int column, bool suggested) {
    QTableWidgetItem* item = ItemAt(table, row, column);
    if (!item || IsSuggested(table, row, column) == suggested) return;
    const QSignalBlocker quiet(&table);
    if (suggested) {
        QFont font = table.font();
        font.setItalic(true);
        item->setFont(font);
    } else {
        item->setData(Qt::FontRole, QVariant());
    }
    item->setData(Qt::ForegroundRole, suggested ? QVariant(QBrush(SuggestedColour())) : QVariant());
    item->setData(kSuggestedRole, suggested ? QVariant(true) : QVariant());
}

bool IsSuggested(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = ItemAt(table, row, column);
    return item && item->data(kSuggestedRole).toBool();
}

void SetBackground(QTableWidget& table, int row, int column, const QColor& colour) {
    QTableWidgetItem* item = ItemAt(table, row, column);
    if (!item) return;
    const QSignalBlocker quiet(&table);
    item->setData(Qt::BackgroundRole, colour.isValid() ? QVariant(QBrush(colour)) : QVariant());
}

QColor Background(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = ItemAt(table, row, column);
    return item && item->data(Qt::BackgroundRole).isValid() ? item->background().color() : QColor();
}

void SetToolTip(QTableWidget& table, int row, int column, const QString& text) {
    if (CellMarks::IsMarked(table, row, column)) return;
    QTableWidgetItem* item = ItemAt(table, row, column);
    if (!item || item->toolTip() == text) return;
    const QSignalBlocker quiet(&table);
    item->setToolTip(text);
}

QString ToolTip(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = ItemAt(table, row, column);
    return item ? item->toolTip() : QString();
}

bool ConfirmsSuggestion(const QWidget* editor, const QModelIndex& index) {
    const auto* line = qobject_cast<const QLineEdit*>(editor);
    return line && line->isModified() && index.data(kSuggestedRole).toBool();
}

}  // namespace CellStyle
