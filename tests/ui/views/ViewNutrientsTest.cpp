#include "support/GridViewsFixture.h"

#include "ui/views/ViewNutrients.h"
#include "widgets/CellMark.h"
#include "widgets/CellStyle.h"
#include "widgets/DragList.h"
#include "widgets/ReportList.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;

// tests/data/model/foods.xml: Energy, Protein, Total lipid (fat), Carbohydrate, Iron, Vitamin C,
// Vitamin A IU. Ann follows all but the last.
enum Row { kEnergy, kProtein, kFat, kCarbohydrate, kIron, kVitaminC, kVitaminA };

QStringList Order(const CDragList* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
    return names;
}

std::vector<int> Gids(const CVelmoraDoc& doc) {
    std::vector<int> gids;
    for (const auto& r : doc.Log().Requirements()) gids.push_back(r.gid);
    return gids;
}

// Clicks the check box of a row, where the user would.
void ClickCheck(CReportList* list, int row) {
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 10, cell.center().y()));
}

using NutrientsView = GridViewTest<CViewNutrients>;

TEST_F(NutrientsView, ListsEveryNutrientWithItsChecksLimitsAndReferenceValues) {
    doc->Log().RequirementAt(4).min = 8;
    doc->CurrentDay().requirements.emplace_back(29, 60, 1500);
    view->UpdateData(false);

    const CReportList* list = view->NutrientList();
    ASSERT_EQ(list->rowCount(), 7);
    EXPECT_EQ(list->Text(kFat, 0), "Total lipid (fat)");
    EXPECT_EQ(list->Text(kIron, 1), "mg");
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(list->IsChecked(r), r != kVitaminA) << r;
        EXPECT_EQ(list->IsCellEditable(r, 2), r != kVitaminA) << r;
        EXPECT_EQ(list->IsCellEditable(r, 3), r != kVitaminA) << r;
        EXPECT_FALSE(list->IsCellEditable(r, 4)) << r;
    }
    EXPECT_EQ(list->Text(kIron, 2), "8");
    EXPECT_EQ(list->Text(kIron, 3), "");
    EXPECT_EQ(list->Text(kVitaminC, 2), "60");  // the day's own limits
    EXPECT_EQ(list->Text(kVitaminC, 3), "1500");
    // Ann is a woman of 54 on that day.
    EXPECT_EQ(list->Text(kIron, 4), "8");
    EXPECT_EQ(list->Text(kIron, 5), "");
    EXPECT_EQ(list->Text(kIron, 6), "45");
    EXPECT_EQ(list->Text(kVitaminC, 4), "75");
    EXPECT_EQ(list->Text(kProtein, 4), "46");

    EXPECT_EQ(Order(view->OrderList()),
              (QStringList{"Energy", "Protein", "Total Fat", "Carbohydrate", "Iron", "Vitamin C"}));
    EXPECT_TRUE(view->Note()->toPlainText().startsWith("NOTE: The table is adapted from the DRI reports, see http"));
    EXPECT_TRUE(view->Note()->isReadOnly());
}

TEST_F(NutrientsView, DefaultTargetsShowGreyAndItalicInMinAndMax) {
    doc->Log().RequirementAt(4).min = 8;  // iron: Ann's own
    UseDefaultTargets();
    CReportList* list = view->NutrientList();
    struct Expected {
        int row, column;
        const char* text;
        bool suggested;
    };
    const Expected cells[] = {
        {kProtein, 2, "46", true}, {kProtein, 3, "", false}, {kVitaminC, 2, "75", true}, {kVitaminC, 3, "2000", true},
        {kIron, 2, "8", false},    {kIron, 3, "", false},    {kVitaminA, 2, "", false},  // not followed
    };
    for (const Expected& e : cells) {
        EXPECT_EQ(list->Text(e.row, e.column), e.text) << e.row << "," << e.column;
        EXPECT_EQ(CellStyle::IsSuggested(*list, e.row, e.column), e.suggested) << e.row << "," << e.column;
    }
    EXPECT_TRUE(list->item(kProtein, 2)->font().italic());

    Type(list, kProtein, 2, "46");
    EXPECT_EQ(doc->Log().RequirementAt(1).min, 46);
    EXPECT_FALSE(CellStyle::IsSuggested(*list, kProtein, 2));
    EXPECT_EQ(list->Text(kProtein, 2), "46");
}

TEST_F(NutrientsView, ReferenceValuesFollowTheDayShown) {
    doc->Log().Personal().birthYear = 2006;  // 18 on 6 May 2024
    doc->Log().Personal().female = 0;
    view->UpdateData(false);
    EXPECT_EQ(view->NutrientList()->Text(kProtein, 4), "52");
    doc->Log().SelectDay("20250506");
    view->UpdateData(false);
    EXPECT_EQ(view->NutrientList()->Text(kProtein, 4), "56");
}

TEST_F(NutrientsView, CheckingAndUncheckingChangeTheFollowedNutrients) {
    doc->SetModifiedFlag(false);
    CReportList* list = view->NutrientList();
    ClickCheck(list, kVitaminA);
    EXPECT_TRUE(list->IsChecked(kVitaminA));
    EXPECT_EQ(doc->Log().Requirements().size(), 7u);
    EXPECT_EQ(doc->Log().Requirements().back().min, -1);
    EXPECT_TRUE(list->IsCellEditable(kVitaminA, 2));
    EXPECT_EQ(view->OrderList()->count(), 7);
    EXPECT_TRUE(doc->IsModified());

    list->item(kIron, 2)->setText("8");
    ClickCheck(list, kIron);
    EXPECT_FALSE(list->IsChecked(kIron));
    EXPECT_EQ(doc->Log().FindRequirement(13), -1);
    EXPECT_EQ(list->Text(kIron, 2), "");
    EXPECT_FALSE(list->IsCellEditable(kIron, 2));
    EXPECT_FALSE(Order(view->OrderList()).contains("Iron"));
}

TEST_F(NutrientsView, ChecksWrittenByTheViewItselfChangeNothing) {
    const std::vector<int> before = Gids(*doc);
    doc->Log().RemoveRequirement(static_cast<int>(before.size()) - 1);  // as if vitamin C had been dropped elsewhere
    view->UpdateData(false);
    EXPECT_FALSE(view->NutrientList()->IsChecked(kVitaminC));
    EXPECT_EQ(Gids(*doc), std::vector<int>(before.begin(), before.end() - 1));
}

TEST_F(NutrientsView, ATypedLimitIsStoredAndARefusedOneStaysMarked) {
    const InMainWindow window(view.get());
    doc->Log().RequirementAt(4).max = 45;
    view->UpdateData(false);
    doc->SetModifiedFlag(false);
    CReportList* list = view->NutrientList();
    Type(list, kProtein, 2, "50");
    EXPECT_EQ(doc->Log().RequirementAt(1).min, 50);
    EXPECT_TRUE(doc->IsModified());
    Type(list, kIron, 3, "lots");
    EXPECT_EQ(doc->Log().RequirementAt(4).max, 45);
    EXPECT_EQ(list->Text(kIron, 3), "lots");
    EXPECT_TRUE(CellMarks::IsMarked(*list, kIron, 3));
    EXPECT_EQ(window.StatusMessage(), QStringLiteral("\"lots\" is not a number; the old value is kept."));
    view->UpdateData(false);
    EXPECT_EQ(list->Text(kIron, 3), "lots");
    Type(list, kIron, 3, "");
    EXPECT_EQ(doc->Log().RequirementAt(4).max, -1);
    EXPECT_FALSE(CellMarks::IsMarked(*list, kIron, 3));
    EXPECT_EQ(window.StatusMessage(), QString());  // the word on the refusal goes with its mark
    EXPECT_FALSE(OpensEditor(list, kVitaminA, 2));
    EXPECT_FALSE(OpensEditor(list, kProtein, 4));
}

// A day with limits of its own: the tab shows them, and its ticks and limits edit what it shows.
TEST_F(NutrientsView, OnADayWithItsOwnLimitsTheListShownIsEdited) {
    doc->Log().RequirementAt(5).min = 75;
    doc->CurrentDay().requirements.emplace_back(29, 60, 1500);  // vitamin C
    view->UpdateData(false);
    CReportList* list = view->NutrientList();
    Type(list, kVitaminC, 2, "90");
    EXPECT_EQ(list->Text(kVitaminC, 2), "90");
    EXPECT_EQ(doc->CurrentDay().requirements[0].min, 90);
    EXPECT_EQ(doc->Log().RequirementAt(5).min, 75);

    ClickCheck(list, kVitaminC);
    EXPECT_FALSE(list->IsChecked(kVitaminC));
    ClickCheck(list, kVitaminC);
    EXPECT_TRUE(list->IsChecked(kVitaminC));
    EXPECT_EQ(list->Text(kVitaminC, 2), "");
    EXPECT_EQ(list->Text(kVitaminC, 3), "");
}

TEST_F(NutrientsView, DroppingAnOrderItemMovesTheRequirement) {
    CDragList* order = view->OrderList();
    order->DropItem(0, 6);  // Energy below the last
    EXPECT_EQ(Gids(*doc), (std::vector<int>{3, 4, 5, 13, 29, 1}));
    EXPECT_EQ(Order(order), (QStringList{"Protein", "Total Fat", "Carbohydrate", "Iron", "Vitamin C", "Energy"}));
    EXPECT_EQ(order->currentRow(), 5);
    order->DropItem(2, 2);
    order->DropItem(2, -1);
    EXPECT_EQ(Gids(*doc), (std::vector<int>{3, 4, 5, 13, 29, 1}));
}

TEST_F(NutrientsView, TheButtonsResetSelectAllAndClear) {
    QTest::mouseClick(view->ClearButton(), Qt::LeftButton);
    EXPECT_TRUE(doc->Log().Requirements().empty());
    EXPECT_EQ(view->OrderList()->count(), 0);
    for (int r = 0; r < 7; ++r) EXPECT_FALSE(view->NutrientList()->IsChecked(r)) << r;

    ClickCheck(view->NutrientList(), kIron);
    QTest::mouseClick(view->SelectAllButton(), Qt::LeftButton);
    EXPECT_EQ(Gids(*doc), (std::vector<int>{13, 1, 3, 4, 5, 29, 318}));

    doc->Log().RequirementAt(0).min = 5;
    QTest::mouseClick(view->ResetButton(), Qt::LeftButton);
    EXPECT_EQ(Gids(*doc), (std::vector<int>{1, 3, 4, 5, 13, 29, 318}));
    EXPECT_EQ(view->NutrientList()->Text(kIron, 2), "");
    EXPECT_EQ(view->OrderList()->count(), 7);
    // Vitamin A in IU is outside the standard table: named as the data source names it.
    EXPECT_EQ(Order(view->OrderList()).back(), QStringLiteral("Vitamin A, IU"));
    for (int r = 0; r < 7; ++r) EXPECT_TRUE(view->NutrientList()->IsChecked(r)) << r;
}

}  // namespace
