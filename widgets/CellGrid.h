#pragma once

#include <QColor>
#include <QPoint>
#include <QTableWidget>

#include <optional>
#include <vector>

// A grid of text cells in which the owner decides, cell by cell, what may be typed and how it is
// coloured. The header row 0 and the label column 0 are ordinary cells here, so that the owner
// counts rows and columns the way its data does. Row and column borders can be dragged anywhere in
// the grid; the owner hears of every size the user set, so it can keep them.
class CCellGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit CCellGrid(QWidget* parent = nullptr);

    // Keeps the cells that remain; new cells are empty, read-only and white, new rows one text
    // line high and new columns fitted to their contents.
    void SetSize(int rows, int columns);

    // Texts may hold '\n' for several lines (the header cells do). Cells outside the grid are
    // ignored and read as empty.
    void SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    void SetCellEditable(int row, int column, bool editable);
    bool IsCellEditable(int row, int column) const;
    void SetCellBackground(int row, int column, const QColor& color);
    QColor CellBackground(int row, int column) const;

    // Sizes as profiles store them: a row size above 0 is pixels, 0 one text line plus 6 pixels,
    // -n n lines plus 6 pixels. A column size above 0 is pixels; 0 and below fit the column to its
    // contents, because a stored width must never hide a column.
    void SetRowSize(int row, int stored);
    void SetColumnSize(int column, int stored);
    int RowHeight(int row) const;
    int ColumnWidth(int column) const;
    // The height a stored row size stands for with the grid's font.
    int RowHeightFor(int stored) const;

    // Stores the text of an edit in progress (reporting it like any finished edit) and closes the
    // editor; nothing happens when no cell is being edited.
    void FinishEdit();
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
    // Fits the columns whose width follows their contents and repaints; call after filling.
    void Redraw();

    static constexpr int kMinColumnWidth = 12;
    static constexpr int kMinRowHeight = 8;
    static constexpr int kAutoColumnMinWidth = 40;

signals:
    // The user finished typing into a cell and the text differs from what it held.
    void cellTextEdited(int row, int column, const QString& text);
    // The user dragged the border of one row or column.
    void rowResized(int row, int height);
    void columnResized(int column, int width);
    // Any size the user changed; sent after rowResized/columnResized.
    void sizesChanged();

protected:
    bool viewportEvent(QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class CCellGridDelegate;
    struct Border {
        Qt::Orientation orientation;  // Horizontal: a column's right edge; Vertical: a row's bottom
        int index;
    };
    struct Drag {
        Border border;
        QPoint start;
        int startSize;
    };

    QTableWidgetItem* Cell(int row, int column) const;
    QTableWidgetItem* MakeCell() const;
    std::optional<Border> BorderAt(const QPoint& pos) const;
    void FitColumn(int column);
    void EditCommitted(int row, int column, const QString& text);

    std::vector<bool> autoColumns_;
    std::optional<Drag> drag_;
    // An edit is reported once its editor has closed, so that an owner refilling the grid in
    // answer does not pull the model from under the closing editor.
    struct PendingEdit {
        int row;
        int column;
        QString text;
    };
    std::optional<PendingEdit> pending_;
};
