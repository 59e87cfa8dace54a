#pragma once

#include <QColor>
#include <QString>

class QModelIndex;
class QTableWidget;
class QWidget;

// How one cell of a table shows beside its text: a value the program proposes in place of one the
// user typed (grey, italic), a background, a tool tip. The owner sets these cell by cell on each
// refill; the grids' delegates ask IsSuggested when an edit closes.
namespace CellStyle {

// Grey italic text that stands in for a value the user has not typed. Typing into such a cell is
// a change even when the text typed equals the suggestion, so the user can adopt it as theirs.
void SetSuggested(QTableWidget& table, int row, int column, bool suggested);
bool IsSuggested(const QTableWidget& table, int row, int column);
// The colour suggested text is drawn in.
QColor SuggestedColour();

// An invalid colour gives the cell the table's own background back.
void SetBackground(QTableWidget& table, int row, int column, const QColor& colour);
QColor Background(const QTableWidget& table, int row, int column);

// A marked cell keeps telling the reason of its mark; its own tool tip shows again once the owner
// sets it after taking the mark off.
void SetToolTip(QTableWidget& table, int row, int column, const QString& text);
QString ToolTip(const QTableWidget& table, int row, int column);

// Whether an edit that leaves the text as it was still counts as the user's: true for a suggested
// cell whose editor the user typed into.
bool ConfirmsSuggestion(const QWidget* editor, const QModelIndex& index);

}  // namespace CellStyle
