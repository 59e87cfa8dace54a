#include "ViewDiet.h"

#include "GridSizes.h"
#include "ui/frame/VelmoraDoc.h"

#include "document/viewmodel/DietGrid.h"
#include "model/UserLog.h"
#include "widgets/CellGrid.h"
#include "widgets/CellMark.h"
#include "widgets/CellStyle.h"

#include <QScopedValueRollback>
#include <QStyle>
#include <QVBoxLayout>

namespace {

int Entries(const CVelmoraDoc& doc) { return static_cast<int>(doc.DayFoods().size()); }

}  // namespace

CViewDiet::CViewDiet(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewDiet"));
    grid_ = new CCellGrid(this);
    grid_->setObjectName(QStringLiteral("dietGrid"));
    auto* layout = new QVBoxLayout(this);
    const int inset = style()->pixelMetric(QStyle::PM_ScrollBarExtent) / 3;
    layout->setContentsMargins(inset, inset, inset, inset);
    layout->addWidget(grid_);

    connect(grid_, &CCellGrid::cellTextEdited, this, &CViewDiet::OnCellEdited);
    connect(grid_, &CCellGrid::rowResized, this, [this](int row, int height) {
        if (CVelmoraDoc* doc = GetDocument(); doc && !filling_) {
            CGridDim layout = doc->Layout(LayoutKind::Diet);
            DietGrid::StoreRowSize(layout, CCellGridSizes(*grid_), Entries(*doc), row, height);
            doc->SetLayout(LayoutKind::Diet, std::move(layout));
        }
    });
    connect(grid_, &CCellGrid::columnResized, this, [this](int column, int width) {
        if (CVelmoraDoc* doc = GetDocument(); doc && !filling_) {
            CGridDim layout = doc->Layout(LayoutKind::Diet);
            DietGrid::StoreColumnSize(layout, CCellGridSizes(*grid_), column, width);
            doc->SetLayout(LayoutKind::Diet, std::move(layout));
        }
    });
    connect(grid_, &CCellGrid::sizesChanged, this, &CViewDiet::OnSizesChanged);

    OnCommand(
        Gui::CommandId::CalculateNutrients, [this] { OnCalculateNutrients(); },
        [this] { return GetDocument() != nullptr; });
}

void CViewDiet::OnCalculateNutrients() {
    if (CVelmoraDoc* doc = GetDocument()) {
        doc->DataChanged();
        Fill();
    }
}

bool CViewDiet::DoDataExchange(bool save) {
    CVelmoraDoc* doc = GetDocument();
    grid_->FinishEdit();
    if (!doc) return true;
    if (save) {
        // Every size the user set is in the layout already, in the layout's own encoding; a
        // layout out of step with the grid takes the grid's sizes whole.
        const CGridDim& layout = doc->Layout(LayoutKind::Diet);
        const int rows = grid_->rowCount();
        if (!layout.IsConsistent() || layout.ColumnCount() != grid_->columnCount() || layout.RowCount() < rows)
            doc->CaptureGridLayout(CCellGridSizes(*grid_), LayoutKind::Diet);
        return true;
    }
    Fill();
    return true;
}

void CViewDiet::Fill() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const QScopedValueRollback<bool> filling(filling_, true);
    const DietGrid::Table table = DietGrid::Build(doc->Log());
    // A refused text stays marked in its cell until corrected, while the day's grid keeps its
    // shape; on another day, or with other rows or columns, the cell means something else.
    const std::string date = doc->CurrentDate();
    if (date != markedDate_ || table.Rows() != grid_->rowCount() || table.Columns() != grid_->columnCount())
        CellMarks::ClearAll(*grid_);
    markedDate_ = date;
    CCellGridSizes sizes(*grid_);
    DietGrid::ApplyLayout(doc->Layout(LayoutKind::Diet), table.Rows() - 4, table.Columns() - DietGrid::kFixedColumns,
                          sizes);
    const QColor face = palette().color(QPalette::Button);
    for (int r = 0; r < table.Rows(); ++r) {
        for (int c = 0; c < table.Columns(); ++c) {
            const DietGrid::Cell& cell = table.At(r, c);
            // A marked cell holds what the user typed, in the user's style.
            const bool marked = CellMarks::IsMarked(*grid_, r, c);
            if (!marked) grid_->SetCellText(r, c, QString::fromStdString(cell.text));
            CellStyle::SetSuggested(*grid_, r, c, cell.defaultTarget && !marked);
            CellStyle::SetToolTip(*grid_, r, c, QString::fromStdString(cell.toolTip));
            grid_->SetCellEditable(r, c, cell.editable);
            if (cell.background == DietGrid::CellColour::ButtonFace) {
                grid_->SetCellBackground(r, c, face);
            } else {
                const DietGrid::Rgb rgb = DietGrid::RgbOf(cell.background);
                grid_->SetCellBackground(r, c, QColor(rgb.red, rgb.green, rgb.blue));
            }
        }
    }
    grid_->Redraw();
}

void CViewDiet::OnCellEdited(int row, int column, const QString& text) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const CellStore outcome = StoreTypedCell(*grid_, row, column, text, [&](const std::string& typed) {
        return DietGrid::StoreCell(*doc, row, column, typed);
    });
    // A refused text: the document keeps its value; the cell keeps the text, for the user to correct.
    if (!outcome.error.empty()) return;
    // A cell that takes no input gets back what the document holds.
    Fill();
}

void CViewDiet::OnSizesChanged() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc || filling_) return;
    // Sizes are saved with the profile; without the flag a dragged size would be lost on closing.
    doc->SetModifiedFlag();
}
