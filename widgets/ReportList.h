#pragma once

#include <QTableWidget>

#include <vector>

// A list of rows and columns with grid lines and whole-row selection, whose cells the user may
// type into where the owner allows it, and whose rows may carry a check box in the first column.
// It reports what the user did; the owner decides what it means.
class CReportList : public QTableWidget {
    Q_OBJECT
public:
    explicit CReportList(QWidget* parent = nullptr);

    // One column per header, each as wide as its header text in the list's font times its factor.
    void SetColumns(const QStringList& headers, const std::vector<double>& factors);
    // Widens the column to its longest text, up to `maxWidth` pixels; never narrows it.
    void WidenToContents(int column, int maxWidth);
    // The height that shows the header and every row without scrolling.
    int ContentHeight() const;
    // Every row this tall, in pixels.
    void SetRowHeight(int pixels);
    // Rows get a check box in column 0.
    void SetCheckBoxes(bool on) { checkBoxes_ = on; }

    // Removes every row.
    void Clear();
    // Appends a row; its index.
    int AddRow();
    void SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;
    void SetCellEditable(int row, int column, bool editable);
    bool IsCellEditable(int row, int column) const;
    void SetChecked(int row, bool checked);
    bool IsChecked(int row) const;

    // Commits an edit in progress, as leaving the cell would.
    void FinishEdit();
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

signals:
    // The user finished typing a new text into a cell; the cell already holds it.
    void cellTextEdited(int row, int column, const QString& text);
    // The check box of a row changed, by the user or by SetChecked: its old and new state
    // (0 unchecked, 1 checked).
    void checkChanged(int row, int oldState, int newState);

private:
    QTableWidgetItem* Cell(int row, int column);
    void OnItemChanged(QTableWidgetItem* item);

    bool checkBoxes_ = false;
    // The check state last reported per row, to tell a check change from other changes.
    std::vector<int> checks_;
};
