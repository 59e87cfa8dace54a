#include "CellGrid.h"

#include "CellMark.h"
#include "CellStyle.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
constexpr int kBorderGrip = 3;  // pixels either side of a border that pick it up
}

// Reports a finished edit to the grid when the text really changed, so that opening and
// leaving a cell does not read as a change of the user's data. Typing a suggested value over
// itself is a change: the value becomes the user's.
class CCellGridDelegate : public QStyledItemDelegate {
public:
    explicit CCellGridDelegate(CCellGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        const QString before = index.data(Qt::EditRole).toString();
        QStyledItemDelegate::setModelData(editor, model, index);
        const QString after = index.data(Qt::EditRole).toString();
        if (after != before || CellStyle::ConfirmsSuggestion(editor, index))
            grid_->EditCommitted(index.row(), index.column(), after);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        CellMarks::Paint(painter, option, index);
    }

private:
    CCellGrid* grid_;
};

CCellGrid::CCellGrid(QWidget* parent) : QTableWidget(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(kMinColumnWidth);
    verticalHeader()->setMinimumSectionSize(kMinRowHeight);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(true);
    setItemDelegate(new CCellGridDelegate(this));
    viewport()->setMouseTracking(true);
}

QTableWidgetItem* CCellGrid::MakeCell() const {
    auto* cell = new QTableWidgetItem;
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    cell->setBackground(QBrush(Qt::white));
    cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return cell;
}

QTableWidgetItem* CCellGrid::Cell(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    return item(row, column);
}

void CCellGrid::SetSize(int rows, int columns) {
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    const int oldRows = rowCount();
    const int oldColumns = columnCount();
    setRowCount(rows);
    setColumnCount(columns);
    autoColumns_.resize(static_cast<std::size_t>(columns), true);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (r >= oldRows || c >= oldColumns) setItem(r, c, MakeCell());
    for (int r = oldRows; r < rows; ++r) SetRowSize(r, 0);
    for (int c = oldColumns; c < columns; ++c) SetColumnSize(c, 0);
}

void CCellGrid::SetCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* cell = Cell(row, column)) cell->setText(text);
}

QString CCellGrid::CellText(int row, int column) const {
    const QTableWidgetItem* cell = Cell(row, column);
    return cell ? cell->text() : QString();
}

void CCellGrid::SetCellEditable(int row, int column, bool editable) {
    QTableWidgetItem* cell = Cell(row, column);
    if (!cell) return;
    cell->setFlags(editable ? cell->flags() | Qt::ItemIsEditable : cell->flags() & ~Qt::ItemIsEditable);
}

bool CCellGrid::IsCellEditable(int row, int column) const {
    const QTableWidgetItem* cell = Cell(row, column);
    return cell && (cell->flags() & Qt::ItemIsEditable);
}

void CCellGrid::SetCellBackground(int row, int column, const QColor& color) {
    if (QTableWidgetItem* cell = Cell(row, column)) cell->setBackground(QBrush(color));
}

QColor CCellGrid::CellBackground(int row, int column) const {
    const QTableWidgetItem* cell = Cell(row, column);
    return cell ? cell->background().color() : QColor();
}

int CCellGrid::RowHeightFor(int stored) const {
    if (stored > 0) return std::max(stored, kMinRowHeight);
    const int lines = stored == 0 ? 1 : -stored;
    return lines * fontMetrics().lineSpacing() + 6;
}

void CCellGrid::SetRowSize(int row, int stored) {
    if (row < 0 || row >= rowCount()) return;
    setRowHeight(row, RowHeightFor(stored));
}

void CCellGrid::SetColumnSize(int column, int stored) {
    if (column < 0 || column >= columnCount()) return;
    const bool fit = stored <= 0;
    autoColumns_[static_cast<std::size_t>(column)] = fit;
    if (fit)
        FitColumn(column);
    else
        setColumnWidth(column, std::max(stored, kMinColumnWidth));
}

int CCellGrid::RowHeight(int row) const { return row >= 0 && row < rowCount() ? rowHeight(row) : 0; }

int CCellGrid::ColumnWidth(int column) const { return column >= 0 && column < columnCount() ? columnWidth(column) : 0; }

void CCellGrid::FitColumn(int column) {
    // sizeHintForColumn looks at the rows on screen only; the grids are small enough to measure
    // every cell, and a header further down must not be cut.
    const QFontMetrics metrics = fontMetrics();
    int width = kAutoColumnMinWidth;
    for (int r = 0; r < rowCount(); ++r) {
        const QString text = CellText(r, column);
        if (text.isEmpty()) continue;
        for (const QString& line : text.split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line) + 12);
    }
    setColumnWidth(column, width);
}

void CCellGrid::FinishEdit() {
    if (state() != QAbstractItemView::EditingState) return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CCellGrid::Redraw() {
    for (int c = 0; c < columnCount(); ++c)
        if (autoColumns_[static_cast<std::size_t>(c)]) FitColumn(c);
    viewport()->update();
}

void CCellGrid::EditCommitted(int row, int column, const QString& text) { pending_ = PendingEdit{row, column, text}; }

void CCellGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableWidget::closeEditor(editor, hint);
    if (!pending_) return;
    const PendingEdit edit = *pending_;
    pending_.reset();
    emit cellTextEdited(edit.row, edit.column, edit.text);
}

std::optional<CCellGrid::Border> CCellGrid::BorderAt(const QPoint& pos) const {
    const int column = columnAt(pos.x());
    if (column >= 0) {
        const int left = columnViewportPosition(column);
        const int right = left + columnWidth(column);
        if (right - pos.x() <= kBorderGrip) return Border{Qt::Horizontal, column};
        if (pos.x() - left <= kBorderGrip && column > 0) return Border{Qt::Horizontal, column - 1};
    } else if (columnCount() > 0) {
        // Just right of the last column still grips it, or a narrow last column could not grow.
        const int last = columnCount() - 1;
        const int right = columnViewportPosition(last) + columnWidth(last);
        if (pos.x() >= right && pos.x() - right <= kBorderGrip) return Border{Qt::Horizontal, last};
    }
    const int row = rowAt(pos.y());
    if (row >= 0) {
        const int top = rowViewportPosition(row);
        const int bottom = top + rowHeight(row);
        if (bottom - pos.y() <= kBorderGrip) return Border{Qt::Vertical, row};
        if (pos.y() - top <= kBorderGrip && row > 0) return Border{Qt::Vertical, row - 1};
    } else if (rowCount() > 0) {
        const int last = rowCount() - 1;
        const int bottom = rowViewportPosition(last) + rowHeight(last);
        if (pos.y() >= bottom && pos.y() - bottom <= kBorderGrip) return Border{Qt::Vertical, last};
    }
    return std::nullopt;
}

bool CCellGrid::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint pos = mouse->position().toPoint();
            if (drag_) {
                const bool horizontal = drag_->border.orientation == Qt::Horizontal;
                const int delta = horizontal ? pos.x() - drag_->start.x() : pos.y() - drag_->start.y();
                const int size = std::max(drag_->startSize + delta, horizontal ? kMinColumnWidth : kMinRowHeight);
                if (horizontal)
                    setColumnWidth(drag_->border.index, size);
                else
                    setRowHeight(drag_->border.index, size);
                return true;
            }
            if (mouse->buttons() == Qt::NoButton) {
                const auto border = BorderAt(pos);
                if (border)
                    viewport()->setCursor(border->orientation == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
                else
                    viewport()->unsetCursor();
            }
            break;
        }
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) break;
            const QPoint pos = mouse->position().toPoint();
            const auto border = BorderAt(pos);
            if (!border) break;
            FinishEdit();
            const bool horizontal = border->orientation == Qt::Horizontal;
            drag_ = Drag{*border, pos, horizontal ? columnWidth(border->index) : rowHeight(border->index)};
            return true;
        }
        case QEvent::MouseButtonRelease: {
            if (!drag_) break;
            const Drag drag = *drag_;
            drag_.reset();
            const bool horizontal = drag.border.orientation == Qt::Horizontal;
            const int size = horizontal ? columnWidth(drag.border.index) : rowHeight(drag.border.index);
            if (size == drag.startSize) return true;
            if (horizontal) {
                autoColumns_[static_cast<std::size_t>(drag.border.index)] = false;
                emit columnResized(drag.border.index, size);
            } else {
                emit rowResized(drag.border.index, size);
            }
            emit sizesChanged();
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            // A double click on a column border fits the column to its contents, as spreadsheets do.
            auto* mouse = static_cast<QMouseEvent*>(event);
            const auto border = BorderAt(mouse->position().toPoint());
            if (!border || border->orientation != Qt::Horizontal) break;
            const int before = columnWidth(border->index);
            FitColumn(border->index);
            autoColumns_[static_cast<std::size_t>(border->index)] = false;
            if (columnWidth(border->index) != before) {
                emit columnResized(border->index, columnWidth(border->index));
                emit sizesChanged();
            }
            return true;
        }
        case QEvent::Leave:
            if (!drag_) viewport()->unsetCursor();
            break;
        default: break;
    }
    return QTableWidget::viewportEvent(event);
}
