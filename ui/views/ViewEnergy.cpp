#include "ViewEnergy.h"

#include "ui/frame/VelmoraDoc.h"

#include "document/viewmodel/DietGrid.h"
#include "document/viewmodel/EnergyRows.h"
#include "widgets/CellStyle.h"
#include "widgets/ReportList.h"

#include <QCheckBox>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The composition's "Value(%)": the day's share of energy.
constexpr int kValueColumn = 5;

template <class Row>
void AddRow(CReportList* list, const Row& texts) {
    const int row = list->AddRow();
    for (std::size_t c = 0; c < texts.size(); ++c) list->SetText(row, static_cast<int>(c), Q(texts[c]));
}

}  // namespace

CViewEnergy::CViewEnergy(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewEnergy"));

    auto* upper = new QWidget;
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(4, 4, 4, 4);
    energyText_ = new QLabel(upper);
    energyText_->setObjectName(QStringLiteral("energyText"));
    energyText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    parameters_ = new CReportList(upper);
    parameters_->setObjectName(QStringLiteral("parameterList"));
    parameters_->SetColumns({QStringLiteral("Parameter "), QStringLiteral("Value ")}, {2.0, 2.0});
    note_ = new QLabel(QString::fromUtf8(EnergyRows::kNote), upper);
    composition_ = new CReportList(upper);
    composition_->setObjectName(QStringLiteral("compositionList"));
    composition_->SetColumns(
        {QStringLiteral("Source "), QStringLiteral("Min(%)"), QStringLiteral("Min*(%)"), QStringLiteral("Max(%)"),
         QStringLiteral("Max*(%)"), QStringLiteral("Value(%)"), QStringLiteral("Optimal(%)")},
        {2.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0});
    // Kept for the composition's "requested" value, which nothing on this tab sets yet.
    satisfy_ = new QCheckBox(QStringLiteral("Satisfy energy composition"), upper);
    satisfy_->hide();
    upperLayout->addWidget(energyText_);
    upperLayout->addWidget(parameters_, 1);
    upperLayout->addWidget(note_);
    upperLayout->addWidget(composition_, 1);

    foods_ = new CReportList;
    foods_->setObjectName(QStringLiteral("foodEnergyList"));
    foods_->SetColumns(
        {QStringLiteral(" Ingredient "), QStringLiteral(" kCal "), QStringLiteral(" % "), QStringLiteral(" Protein "),
         QStringLiteral(" Fat "), QStringLiteral(" Carbs "), QStringLiteral(" Alcohol ")},
        {3.0, 1.5, 3.0, 1.2, 1.5, 1.2, 1.2});

    // Rows one text line high keep the lists of the upper area whole on a usual screen.
    const int line = fontMetrics().lineSpacing() + 6;
    for (CReportList* list : {parameters_, composition_, foods_}) list->SetRowHeight(line);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("energySplitter"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(upper);
    splitter_->addWidget(foods_);
    // The upper area is the smaller part: its lists hold four or five rows.
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);

    connect(composition_, &CReportList::cellTextEdited, this, &CViewEnergy::OnCompositionEdited);
}

void CViewEnergy::OnInitialUpdate() {
    CViewBase::OnInitialUpdate();
    // The upper area as tall as its lists need, so the requirement and the composition show
    // whole; the food list takes the rest, and never less than the upper area.
    for (CReportList* list : {parameters_, composition_}) list->setMinimumHeight(list->ContentHeight());
    const int height = std::max(splitter_->height(), 500);
    const int upper = std::min(splitter_->widget(0)->minimumSizeHint().height(), height / 2);
    splitter_->setSizes({upper, height - upper});
}

bool CViewEnergy::DoDataExchange(bool save) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return true;
    auto& composition = doc->Log().EnergyComposition();
    if (save) {
        composition_->FinishEdit();
        composition.SetRequested(satisfy_->isChecked() ? 1 : 0);
        return true;
    }
    doc->RecomputeEnergyShares();
    FillFoodEnergy();
    FillRequirement();
    FillComposition();
    satisfy_->setChecked(composition.Requested() != 0);
    return true;
}

void CViewEnergy::FillFoodEnergy() {
    foods_->Clear();
    for (const EnergyRows::FoodRow& row : EnergyRows::FoodEnergy(GetDocument()->Log())) AddRow(foods_, row);
    foods_->WidenToContents(0, 400);
}

void CViewEnergy::FillRequirement() {
    const EnergyRows::Requirement requirement = EnergyRows::EnergyRequirement(GetDocument()->Log());
    parameters_->Clear();
    for (const auto& [name, value] : requirement.parameters) AddRow(parameters_, std::array{name, value});
    parameters_->WidenToContents(0, 300);
    parameters_->WidenToContents(1, 300);
    energyText_->setText(Q(requirement.text));
}

void CViewEnergy::FillComposition() {
    composition_->Clear();
    for (const EnergyRows::CompositionRow& row : EnergyRows::Composition(GetDocument()->Log().EnergyComposition())) {
        AddRow(composition_, row);
        const int r = composition_->rowCount() - 1;
        composition_->SetCellEditable(r, 1, true);
        composition_->SetCellEditable(r, 3, true);
    }
    FlagComposition();
}

void CViewEnergy::FlagComposition() {
    const std::vector<EnergyRows::SplitFlag> flags = EnergyRows::SplitFlags(GetDocument()->Log());
    // In the colour the Diet grid gives a total outside its limits.
    const DietGrid::Rgb red = DietGrid::RgbOf(DietGrid::CellColour::LightRed);
    const int rows = std::min(composition_->rowCount(), static_cast<int>(flags.size()));
    for (int r = 0; r < rows; ++r) {
        const EnergyRows::SplitFlag& flag = flags[static_cast<std::size_t>(r)];
        CellStyle::SetBackground(*composition_, r, kValueColumn,
                                 flag.outside ? QColor(red.red, red.green, red.blue) : QColor());
        CellStyle::SetToolTip(*composition_, r, kValueColumn, QString::fromStdString(flag.toolTip));
    }
}

void CViewEnergy::OnCompositionEdited(int row, int column, const QString& text) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    // The typed text stays as it is; the composition keeps the number read from it, or its old
    // value when the text is no number, and the cell is then marked until corrected.
    const CellStore outcome = StoreTypedCell(*composition_, row, column, text, [&](const std::string& typed) {
        CProfileDocument::ChangeScope change(*doc, "Change Energy Range");
        return EnergyRows::StoreRange(doc->Log().EnergyComposition(), row, column, typed);
    });
    if (outcome.error.empty() && outcome.stored) {
        // A changed range is written to the profile; closing must ask to save it.
        doc->SetModifiedFlag();
        FlagComposition();
    }
}
