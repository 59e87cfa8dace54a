#pragma once

#include <QString>

#include <vector>

class QPainter;
class QStyleOptionViewItem;
class QModelIndex;
class QTableWidget;

// A cell whose typed text its owner refused. The cell keeps the text, so the user sees what was
// not taken and can correct it, is framed in red and tells the reason as its tool tip, until its
// owner takes the mark off.
namespace CellMarks {

struct Mark {
    int row;
    int column;
    QString text;
    QString reason;
};

void Set(QTableWidget& table, int row, int column, const QString& text, const QString& reason);
void Clear(QTableWidget& table, int row, int column);
void ClearAll(QTableWidget& table);
bool IsMarked(const QTableWidget& table, int row, int column);
QString Reason(const QTableWidget& table, int row, int column);

// The marks of the table, to put back after a refill that recreated its cells.
std::vector<Mark> All(const QTableWidget& table);
void Restore(QTableWidget& table, const std::vector<Mark>& marks);

// The frame of a marked cell, drawn by a delegate over what it painted.
void Paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index);

}  // namespace CellMarks
