#include "ReportList.h"

#include "CellMark.h"
#include "CellStyle.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

// Tells the list when a typed text has reached the cell, which only the delegate knows: the
// list's own item signal also fires for every change the program makes.
class EditDelegate : public QStyledItemDelegate {
public:
    explicit EditDelegate(CReportList* list) : QStyledItemDelegate(list), list_(list) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        const QString before = index.data(Qt::EditRole).toString();
        QStyledItemDelegate::setModelData(editor, model, index);
        const QString after = index.data(Qt::EditRole).toString();
        // Opening a cell and leaving it as it was is no change of the user's data; typing a
        // suggested value over itself is, as the value becomes the user's.
        if (after != before || CellStyle::ConfirmsSuggestion(editor, index))
            emit list_->cellTextEdited(index.row(), index.column(), after);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        CellMarks::Paint(painter, option, index);
    }

private:
    CReportList* list_;
};

}  // namespace

CReportList::CReportList(QWidget* parent) : QTableWidget(parent) {
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setWordWrap(false);
    setItemDelegate(new EditDelegate(this));
    connect(this, &QTableWidget::itemChanged, this, &CReportList::OnItemChanged);
}

void CReportList::SetColumns(const QStringList& headers, const std::vector<double>& factors) {
    setColumnCount(static_cast<int>(headers.size()));
    setHorizontalHeaderLabels(headers);
    const QFontMetrics metrics(font());
    // The header draws its text inside margins; without them a factor of 1 would cut it off.
    const int margins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader()) + 4;
    for (int c = 0; c < headers.size(); ++c) {
        const double factor = c < static_cast<int>(factors.size()) ? factors[static_cast<std::size_t>(c)] : 1.0;
        setColumnWidth(c, static_cast<int>(metrics.horizontalAdvance(headers[c]) * factor) + margins);
    }
}

void CReportList::WidenToContents(int column, int maxWidth) {
    if (column < 0 || column >= columnCount()) return;
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int r = 0; r < rowCount(); ++r) widest = std::max(widest, metrics.horizontalAdvance(Text(r, column)));
    // Room for the check box and the cell's margins.
    const int extra = (checkBoxes_ && column == 0 ? style()->pixelMetric(QStyle::PM_IndicatorWidth) + 8 : 0) + 12;
    const int wanted = std::min(widest + extra, maxWidth);
    if (wanted > columnWidth(column)) setColumnWidth(column, wanted);
}

int CReportList::ContentHeight() const {
    int height = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
    for (int r = 0; r < rowCount(); ++r) height += rowHeight(r);
    return height + 2 * frameWidth();
}

void CReportList::SetRowHeight(int pixels) {
    verticalHeader()->setMinimumSectionSize(std::min(pixels, verticalHeader()->minimumSectionSize()));
    verticalHeader()->setDefaultSectionSize(pixels);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void CReportList::Clear() {
    setRowCount(0);
    checks_.clear();
}

int CReportList::AddRow() {
    const int row = rowCount();
    const QSignalBlocker quiet(this);
    insertRow(row);
    for (int c = 0; c < columnCount(); ++c) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (c == 0 && checkBoxes_) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        setItem(row, c, item);
    }
    checks_.push_back(0);
    return row;
}

QTableWidgetItem* CReportList::Cell(int row, int column) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, column, cell);
    }
    return cell;
}

void CReportList::SetText(int row, int column, const QString& text) {
    if (QTableWidgetItem* cell = Cell(row, column)) cell->setText(text);
}

QString CReportList::Text(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CReportList::SetCellEditable(int row, int column, bool editable) {
    if (QTableWidgetItem* cell = Cell(row, column))
        cell->setFlags(editable ? cell->flags() | Qt::ItemIsEditable : cell->flags() & ~Qt::ItemIsEditable);
}

bool CReportList::IsCellEditable(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell && cell->flags().testFlag(Qt::ItemIsEditable);
}

void CReportList::SetChecked(int row, bool checked) {
    if (QTableWidgetItem* cell = checkBoxes_ ? Cell(row, 0) : nullptr)
        cell->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool CReportList::IsChecked(int row) const {
    const QTableWidgetItem* cell = checkBoxes_ ? item(row, 0) : nullptr;
    return cell && cell->checkState() == Qt::Checked;
}

void CReportList::FinishEdit() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CReportList::OnItemChanged(QTableWidgetItem* changed) {
    if (!checkBoxes_ || changed->column() != 0) return;
    const int row = changed->row();
    if (row < 0 || row >= static_cast<int>(checks_.size())) return;
    const int now = changed->checkState() == Qt::Checked ? 1 : 0;
    const int before = checks_[static_cast<std::size_t>(row)];
    if (now == before) return;
    checks_[static_cast<std::size_t>(row)] = now;
    emit checkChanged(row, before, now);
}
