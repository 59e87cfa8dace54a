#include "ViewNutrients.h"

#include "ui/frame/VelmoraDoc.h"

#include "document/viewmodel/NutrientRows.h"
#include "widgets/CellMark.h"
#include "widgets/CellStyle.h"
#include "widgets/DragList.h"
#include "widgets/ReportList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QVBoxLayout>

const char* const CViewNutrients::kNote =
    "NOTE: The table is adapted from the DRI reports, see https://www.nap.edu. It represents "
    "Recommended Dietary Allowances (RDAs), Adequate Intakes (AIs), and Tolerable Upper Intake Levels (ULs)a. RDAs "
    "and AIs may both be used as goals for individual intake. RDAs are set to meet the needs of almost all (97 to "
    "98 percent) individuals in a group. For healthy breastfed infants, the AI is the mean intake. The AI for other "
    "life stage and gender groups is believed to cover the needs of all individuals in the group, but lack of data "
    "prevent being able to specify with confidence the percentage of individuals covered by this intake.\r\n"
    "UL = The maximum level of daily nutrient intake that is likely to pose no risk of adverse effects. Unless "
    "otherwise specified, the UL represents total intake from food, water, and supplements. In the absence of ULs, "
    "extra caution may be warranted in consuming levels above recommended intakes.\r\n"
    "Min and Max in grey italics are default targets from the reference intakes (the RDA, else the AI, and the "
    "UL; for energy the requirement ±10 %), used for a followed nutrient until you type limits of your own. "
    "For sodium the 2019 Chronic Disease Risk Reduction intake (CDRR) stands as the upper limit. The ULs of "
    "magnesium, niacin, folate and vitamin E (marked *) apply to supplements only and are no target for food.";

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

enum Column { kName, kUnits, kMin, kMax, kRda, kAi, kUl };

}  // namespace

CViewNutrients::CViewNutrients(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewNutrients"));

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(4, 4, 4, 4);
    note_ = new QPlainTextEdit(left);
    note_->setObjectName(QStringLiteral("nutrientNote"));
    note_->setReadOnly(true);
    // The text as the program writes it has a carriage return before each line feed; the editor
    // would show it as a character of its own.
    note_->setPlainText(QString::fromUtf8(kNote).remove(QLatin1Char('\r')));
    note_->setMaximumHeight(note_->fontMetrics().lineSpacing() * 9 + 12);
    nutrients_ = new CReportList(left);
    nutrients_->setObjectName(QStringLiteral("nutrientList"));
    nutrients_->SetCheckBoxes(true);
    nutrients_->SetRowHeight(20);
    nutrients_->SetColumns(
        {QStringLiteral(" Name                             "), QStringLiteral(" Units   "), QStringLiteral(" Min   "),
         QStringLiteral(" Max  "), QStringLiteral(" RDA    "), QStringLiteral(" Adequate Intakes"),
         QStringLiteral("Upper Level"), QStringLiteral(" Source "), QStringLiteral(" Reference ")},
        std::vector<double>(9, 1.0));
    nutrients_->setToolTip(QStringLiteral("Check nutrient you want to observe"));
    leftLayout->addWidget(note_);
    leftLayout->addWidget(nutrients_, 1);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(4, 4, 4, 4);
    auto* buttons = new QHBoxLayout;
    reset_ = new QPushButton(QStringLiteral("Reset"), right);
    selectAll_ = new QPushButton(QStringLiteral("Select All"), right);
    clear_ = new QPushButton(QStringLiteral("Clear"), right);
    for (QPushButton* b : {reset_, selectAll_, clear_}) buttons->addWidget(b);
    order_ = new CDragList(right);
    order_->setObjectName(QStringLiteral("orderList"));
    order_->setToolTip(QStringLiteral("Drag & Drop items on the list in order you like"));
    rightLayout->addWidget(new QLabel(QStringLiteral("Order:"), right));
    rightLayout->addLayout(buttons);
    rightLayout->addWidget(order_, 1);

    left->setMinimumWidth(250);
    right->setMinimumWidth(200);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(left);
    splitter_->addWidget(right);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);

    connect(nutrients_, &CReportList::checkChanged, this, &CViewNutrients::OnCheckChanged);
    connect(nutrients_, &CReportList::cellTextEdited, this, &CViewNutrients::OnLimitEdited);
    connect(order_, &CDragList::itemDropped, this, &CViewNutrients::OnDropped);
    connect(reset_, &QPushButton::clicked, this, &CViewNutrients::OnReset);
    connect(selectAll_, &QPushButton::clicked, this, &CViewNutrients::OnSelectAll);
    connect(clear_, &QPushButton::clicked, this, &CViewNutrients::OnClear);
}

void CViewNutrients::OnInitialUpdate() {
    FillRows();
    CViewBase::OnInitialUpdate();
    const int width = std::max(splitter_->width(), 800);
    splitter_->setSizes({width * 3 / 4, width / 4});
}

bool CViewNutrients::DoDataExchange(bool save) {
    if (save) {
        nutrients_->FinishEdit();
        return true;
    }
    if (!GetDocument()) return true;
    RefreshRows();
    RefreshOrder();
    return true;
}

void CViewNutrients::FillRows() {
    const QScopedValueRollback<bool> updating(updating_, true);
    nutrients_->Clear();
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    for (const NutrientRows::Row& row : NutrientRows::Rows(doc->Log(), nullptr)) {
        const int r = nutrients_->AddRow();
        nutrients_->SetText(r, kName, Q(row.name));
        nutrients_->SetText(r, kUnits, Q(row.units));
    }
    nutrients_->WidenToContents(kName, 320);
}

void CViewNutrients::RefreshRows() {
    const QScopedValueRollback<bool> updating(updating_, true);
    CVelmoraDoc* doc = GetDocument();
    const std::vector<NutrientRows::Row> rows = NutrientRows::Rows(doc->Log(), doc->App().intakes);
    if (doc->CurrentDate() != markedDate_) CellMarks::ClearAll(*nutrients_);
    markedDate_ = doc->CurrentDate();
    const int count = std::min(static_cast<int>(rows.size()), nutrients_->rowCount());
    for (int r = 0; r < count; ++r) {
        const NutrientRows::Row& row = rows[static_cast<std::size_t>(r)];
        nutrients_->SetChecked(r, row.followed);
        nutrients_->SetCellEditable(r, kMin, row.followed);
        nutrients_->SetCellEditable(r, kMax, row.followed);
        // A refused limit stays in its cell until corrected, unless the nutrient is no longer followed.
        for (int column : {kMin, kMax}) {
            if (!row.followed) CellMarks::Clear(*nutrients_, r, column);
            const bool marked = CellMarks::IsMarked(*nutrients_, r, column);
            const std::string& limit = column == kMin ? row.min : row.max;
            if (!marked) nutrients_->SetText(r, column, Q(limit));
            CellStyle::SetSuggested(*nutrients_, r, column, row.defaultLimits && !marked && !limit.empty());
            CellStyle::SetToolTip(*nutrients_, r, column, Q(column == kMin ? row.minTip : row.maxTip));
        }
        nutrients_->SetText(r, kRda, Q(row.rda));
        nutrients_->SetText(r, kAi, Q(row.ai));
        nutrients_->SetText(r, kUl, Q(row.ul));
        CellStyle::SetToolTip(*nutrients_, r, kUl, Q(row.ulTip));
    }
}

void CViewNutrients::RefreshOrder() {
    const int current = order_->currentRow();
    order_->clear();
    for (const std::string& name : NutrientRows::OrderNames(GetDocument()->Log())) order_->addItem(Q(name));
    if (current >= 0 && current < order_->count()) order_->setCurrentRow(current);
}

void CViewNutrients::OnCheckChanged(int row, int oldState, int newState) {
    CVelmoraDoc* doc = GetDocument();
    if (updating_ || !doc || (oldState == 0 && newState == 0)) return;
    if (oldState != newState && NutrientRows::SetFollowed(*doc, row, newState == 1)) RefreshOrder();
    RefreshRows();
}

void CViewNutrients::OnLimitEdited(int row, int column, const QString& text) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const CellStore outcome = StoreTypedCell(*nutrients_, row, column, text, [&](const std::string& typed) {
        return NutrientRows::StoreLimit(*doc, row, column, typed);
    });
    // A refused text: the limit stays as it was; the cell keeps the text, for the user to correct.
    if (!outcome.error.empty()) return;
    // "1,5" is shown as the program writes every number.
    RefreshRows();
}

void CViewNutrients::OnDropped(int dropIndex, int oldIndex) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    NutrientRows::Drop(*doc, oldIndex, dropIndex);
    // The list moved the text itself; rebuilt from the document it can't drift from the order.
    const int target = dropIndex >= 0 ? NutrientRows::DropTarget(oldIndex, dropIndex) : dropIndex;
    RefreshOrder();
    if (target >= 0 && target < order_->count()) order_->setCurrentRow(target);
}

void CViewNutrients::OnReset() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    {
        const QScopedValueRollback<bool> updating(updating_, true);
        NutrientRows::Reset(*doc);
    }
    RefreshOrder();
    RefreshRows();
}

void CViewNutrients::OnSelectAll() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    NutrientRows::SelectAll(*doc);
    RefreshOrder();
    RefreshRows();
}

void CViewNutrients::OnClear() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    NutrientRows::Clear(*doc);
    RefreshOrder();
    RefreshRows();
}
