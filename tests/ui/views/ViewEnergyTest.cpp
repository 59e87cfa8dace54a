#include "support/GridViewsFixture.h"

#include "ui/views/ViewEnergy.h"
#include "widgets/CellStyle.h"
#include "widgets/ReportList.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;

QStringList RowTexts(const CReportList* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) texts << list->Text(row, c);
    return texts;
}

QStringList Headers(const CReportList* list) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) texts << list->horizontalHeaderItem(c)->text();
    return texts;
}

using EnergyView = GridViewTest<CViewEnergy>;

TEST_F(EnergyView, ShowsTheDaysFoodEnergyTheRequirementAndTheComposition) {
    const CReportList* foods = view->FoodEnergy();
    EXPECT_EQ(Headers(foods),
              (QStringList{" Ingredient ", " kCal ", " % ", " Protein ", " Fat ", " Carbs ", " Alcohol "}));
    ASSERT_EQ(foods->rowCount(), 3);
    // Stew: 10 g protein, 5 g fat, 20 g carbohydrate in 100 g; broth: 1 g protein.
    EXPECT_EQ(RowTexts(foods, 0), (QStringList{"Stew", "412.5", "97.73", "24.24", "27.27", "48.48", "0"}));
    EXPECT_EQ(RowTexts(foods, 1), (QStringList{"Broth", "9.6", "2.27", "100", "0", "0", "0"}));
    EXPECT_EQ(RowTexts(foods, 2).mid(0, 3), (QStringList{"Total (rounded)", "422", ""}));

    EXPECT_TRUE(view->EnergyText()->text().startsWith(QStringLiteral("Energy: ")));
    EXPECT_TRUE(view->EnergyText()->text().endsWith(QStringLiteral(" kcal")));
    EXPECT_GT(view->Parameters()->rowCount(), 0);
    QStringList labels;
    for (const QLabel* label : view->findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Numbers in * columns are recommended values based on AMDR")))
        << labels.join('|').toStdString();

    const CReportList* composition = view->Composition();
    ASSERT_EQ(composition->rowCount(), 4);
    // Ann's own ranges beside the reference; the value is the day's split.
    EXPECT_EQ(RowTexts(composition, 0).mid(0, 2), (QStringList{"Protein", "10"}));
    EXPECT_EQ(RowTexts(composition, 1)[5], "27");  // 26.65 % of the energy, as the document rounds it
    for (int c = 0; c < 7; ++c) EXPECT_EQ(composition->IsCellEditable(0, c), c == 1 || c == 3) << c;
    // Every column shows its whole header.
    const QFontMetrics metrics(composition->font());
    for (int c = 0; c < 7; ++c)
        EXPECT_GE(composition->columnWidth(c), metrics.horizontalAdvance(composition->horizontalHeaderItem(c)->text()));
}

TEST_F(EnergyView, ATypedRangeIsKeptByTheCompositionAndMarksTheProfileModified) {
    doc->SetModifiedFlag(false);
    CReportList* composition = view->Composition();
    Type(composition, 0, 1, "15");
    Type(composition, 2, 3, "70.5");
    EXPECT_EQ(doc->Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kMin), 15);
    EXPECT_EQ(doc->Log().EnergyComposition().GetValue(2, CDS_EnergyComposition::kMax), 70.5);
    EXPECT_EQ(composition->Text(0, 1), "15");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(OpensEditor(composition, 0, 2));
    EXPECT_FALSE(OpensEditor(composition, 0, 5));

    // The reference columns stay as they were after a refresh.
    const QString optimal = composition->Text(0, 6);
    view->UpdateData(false);
    EXPECT_EQ(composition->Text(0, 1), "15");
    EXPECT_EQ(composition->Text(0, 6), optimal);
}

// The day: protein 26 %, fat 27 %, carbohydrates 47 %, within Ann's ranges.
TEST_F(EnergyView, AShareOutsideItsRangeIsFlaggedAsTheDietGridFlagsATotal) {
    CReportList* composition = view->Composition();
    for (int r = 0; r < 4; ++r) EXPECT_FALSE(CellStyle::Background(*composition, r, 5).isValid()) << r;
    Type(composition, 2, 1, "50");
    EXPECT_EQ(CellStyle::Background(*composition, 2, 5), QColor(255, 150, 150));
    EXPECT_EQ(CellStyle::ToolTip(*composition, 2, 5),
              QString::fromUtf8("Carbohydrates: 47 % of energy, below the range 50\u201365 %"));
    EXPECT_FALSE(CellStyle::Background(*composition, 2, 1).isValid()) << "only the share is coloured";
    view->UpdateData(false);
    EXPECT_EQ(CellStyle::Background(*composition, 2, 5), QColor(255, 150, 150));

    Type(composition, 2, 1, "47");
    EXPECT_FALSE(CellStyle::Background(*composition, 2, 5).isValid());
    EXPECT_EQ(CellStyle::ToolTip(*composition, 2, 5), "");
}

TEST_F(EnergyView, FollowsTheDocumentOnEveryRefresh) {
    doc->SetFoodWeight(1, 0);  // refreshes the view on show
    EXPECT_EQ(RowTexts(view->FoodEnergy(), 1).mid(0, 3), (QStringList{"Broth", "0", "0"}));
    doc->Log().SelectDay("20240501");
    doc->UpdateAllViews();
    ASSERT_EQ(view->FoodEnergy()->rowCount(), 1);
    EXPECT_EQ(RowTexts(view->FoodEnergy(), 0), (QStringList{"Total (rounded)", "0", "", "N/A", "N/A", "N/A", "N/A"}));
}

TEST_F(EnergyView, TheHiddenCheckBoxCarriesTheRequestedFlag) {
    EXPECT_FALSE(view->SatisfyComposition()->isVisible());
    doc->Log().EnergyComposition().SetRequested(1);
    view->UpdateData(false);
    EXPECT_TRUE(view->SatisfyComposition()->isChecked());
    view->SatisfyComposition()->setChecked(false);
    view->UpdateData(true);
    EXPECT_EQ(doc->Log().EnergyComposition().Requested(), 0);
}

}  // namespace
