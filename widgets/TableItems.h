#pragma once

#include <QTableWidget>

#include <optional>

// The item behind a cell of a table widget, for the helpers that style and mark cells.
namespace TableItems {

// The cell's item; a cell without one gets a new item, with `flags` when given (a fresh item is
// editable). Null outside the table.
inline QTableWidgetItem* Ensure(QTableWidget& table, int row, int column,
                                std::optional<Qt::ItemFlags> flags = std::nullopt) {
    if (row < 0 || column < 0 || row >= table.rowCount() || column >= table.columnCount()) return nullptr;
    QTableWidgetItem* item = table.item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        if (flags) item->setFlags(*flags);
        table.setItem(row, column, item);
    }
    return item;
}

// The cell's item; null when it has none or lies outside the table.
inline const QTableWidgetItem* Find(const QTableWidget& table, int row, int column) {
    if (row < 0 || column < 0 || row >= table.rowCount() || column >= table.columnCount()) return nullptr;
    return table.item(row, column);
}

}  // namespace TableItems
