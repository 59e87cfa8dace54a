#include "support/GridViewsFixture.h"

#include "support/GermanLocale.h"

#include "ui/views/ViewAnalysis.h"
#include "ui/views/ViewDiet.h"
#include "ui/views/ViewEnergy.h"
#include "ui/views/ViewFactory.h"
#include "ui/views/ViewNutrients.h"
#include "widgets/CellGrid.h"
#include "widgets/CellMark.h"
#include "widgets/CellStyle.h"
#include "widgets/ReportList.h"

#include <QTest>

namespace {

using DietView = GridViewTest<CViewDiet>;

// Drags the right border of a column of the grid by `dx` pixels, as the user would.
void DragColumnBorder(CCellGrid* grid, int column, int dx) {
    QWidget* viewport = grid->viewport();
    const int edge = grid->columnViewportPosition(column) + grid->columnWidth(column) - 1;
    const int y = grid->rowViewportPosition(1) + 5;
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(viewport, QPoint(edge + dx, y));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(edge + dx, y));
}

void DragRowBorder(CCellGrid* grid, int row, int dy) {
    QWidget* viewport = grid->viewport();
    const int edge = grid->rowViewportPosition(row) + grid->rowHeight(row) - 1;
    const int x = grid->columnViewportPosition(1) + 5;
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(x, edge));
    QTest::mouseMove(viewport, QPoint(x, edge + dy));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(x, edge + dy));
}

TEST_F(DietView, ShowsTheDaysFoodsAgainstTheFollowedNutrients) {
    const CCellGrid* grid = view->Grid();
    // Stew 250 g, broth 240 g; energy, protein, fat, carbohydrate, iron, vitamin C.
    ASSERT_EQ(grid->rowCount(), 6);
    ASSERT_EQ(grid->columnCount(), 10);
    EXPECT_EQ(grid->CellText(0, 0), " Nutrients By Ingredient Weight ");
    EXPECT_EQ(grid->CellText(0, 5), "Protein\n   g");
    EXPECT_EQ(grid->CellText(1, 0), "Stew");
    EXPECT_EQ(grid->CellText(1, 1), "250");
    EXPECT_EQ(grid->CellText(1, 5), "25");
    EXPECT_EQ(grid->CellText(1, 8), "3.09");  // 250 g × 1.234 mg iron / 100 g at two decimals
    EXPECT_EQ(grid->CellText(5, 0), "Total");
    EXPECT_EQ(grid->CellText(5, 5), "27.4");
    EXPECT_EQ(grid->CellBackground(1, 2), QColor(255, 255, 0));
    EXPECT_EQ(grid->CellBackground(4, 1), QColor(150, 150, 150));
    EXPECT_TRUE(grid->IsCellEditable(1, 1));
    EXPECT_FALSE(grid->IsCellEditable(1, 5));
    // Every column shows, whatever its stored width.
    for (int c = 0; c < grid->columnCount(); ++c) EXPECT_GE(grid->ColumnWidth(c), CCellGrid::kMinColumnWidth) << c;
    EXPECT_GE(grid->ColumnWidth(0), grid->fontMetrics().horizontalAdvance(" Nutrients By Ingredient Weight "));
}

TEST_F(DietView, TypedWeightsAndLimitsTakeEffectAtOnce) {
    doc->SetModifiedFlag(false);
    CCellGrid* grid = view->Grid();
    Type(grid, 1, 1, "120");
    EXPECT_EQ(doc->DayFoods()[0].weight, 120);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(grid->CellText(1, 5), "12");
    EXPECT_EQ(grid->CellText(5, 5), "14.4");

    Type(grid, 3, 5, "20");  // protein's "Min"
    EXPECT_EQ(doc->Log().RequirementAt(1).min, 20);
    EXPECT_EQ(grid->CellBackground(5, 5), QColor(255, 150, 150));
    Type(grid, 3, 5, "");
    EXPECT_EQ(doc->Log().RequirementAt(1).min, -1);
    EXPECT_EQ(grid->CellBackground(5, 5), QColor(Qt::white));

    Type(grid, 2, 3, "300");  // the broth's own maximum
    EXPECT_EQ(doc->DayFoods()[1].max, 300);
    EXPECT_EQ(grid->CellText(2, 3), "300");

    Type(grid, 1, 1, "1e999");
    EXPECT_EQ(doc->DayFoods()[0].weight, 120);
    EXPECT_EQ(grid->CellText(1, 1), "1e999");
    EXPECT_TRUE(CellMarks::IsMarked(*grid, 1, 1));
}

TEST_F(DietView, DefaultTargetsShowGreyAndItalicAndGiveWayToTypedLimits) {
    UseDefaultTargets();
    CCellGrid* grid = view->Grid();
    EXPECT_EQ(grid->CellText(3, 5), "46");  // protein's RDA
    EXPECT_TRUE(CellStyle::IsSuggested(*grid, 3, 5));
    EXPECT_TRUE(grid->item(3, 5)->font().italic());
    EXPECT_EQ(grid->item(3, 5)->foreground().color(), CellStyle::SuggestedColour());
    EXPECT_FALSE(CellStyle::ToolTip(*grid, 3, 5).isEmpty());
    EXPECT_EQ(grid->CellBackground(3, 5), QColor(255, 255, 0));
    EXPECT_EQ(grid->CellText(4, 8), "45");  // iron's UL
    EXPECT_FALSE(CellStyle::IsSuggested(*grid, 1, 1));
    EXPECT_FALSE(grid->item(1, 1)->font().italic());
    EXPECT_EQ(grid->CellBackground(5, 5), QColor(255, 150, 150));  // 27.4 g
    EXPECT_EQ(CellStyle::ToolTip(*grid, 5, 5), "Below the minimum of 46 g (RDA)");

    // Typed over, even as the same number, the default becomes Ann's own limit.
    doc->SetModifiedFlag(false);
    Type(grid, 3, 5, "46");
    EXPECT_EQ(doc->Log().RequirementAt(1).min, 46);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(CellStyle::IsSuggested(*grid, 3, 5));
    EXPECT_FALSE(grid->item(3, 5)->font().italic());
    EXPECT_EQ(CellStyle::ToolTip(*grid, 5, 5), "Below the minimum of 46 g (your limit)");
    // Emptied, the default is back on display, and only there.
    Type(grid, 3, 5, "");
    EXPECT_EQ(doc->Log().RequirementAt(1).min, -1);
    EXPECT_EQ(grid->CellText(3, 5), "46");
    EXPECT_TRUE(CellStyle::IsSuggested(*grid, 3, 5));

    doc->Log().SetTargetOptions({&current, false});
    view->UpdateData(false);
    EXPECT_EQ(grid->CellText(3, 5), "");
    EXPECT_FALSE(CellStyle::IsSuggested(*grid, 3, 5));
    EXPECT_EQ(grid->CellBackground(5, 5), QColor(Qt::white));
    EXPECT_EQ(CellStyle::ToolTip(*grid, 5, 5), "");
}

// A text the cell can't take keeps the old value: the grid keeps the text framed for the user to
// correct, the status bar says why, and the totals stay as they were.
TEST_F(DietView, ARefusedTextKeepsTheOldValueAndIsMarkedUntilCorrected) {
    const InMainWindow window(view.get());
    doc->SetModifiedFlag(false);
    CCellGrid* grid = view->Grid();
    struct Case {
        int row, column;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {1, 1, "abc", "\"abc\" is not a number; the old value is kept."},
        {1, 1, "-100", "A weight or amount can't be negative (\"-100\"); the old value is kept."},
        {1, 1, "", "A weight or amount can't be empty; the old value is kept."},
        {1, 1, "1,5", "\"1,5\" is not a number; the old value is kept."},
        {3, 5, "-20", "A limit can't be negative (\"-20\"); the old limit is kept."},
    };
    for (const Case& c : cases) {
        Type(grid, c.row, c.column, QString::fromLatin1(c.text));
        EXPECT_EQ(grid->CellText(c.row, c.column), QString::fromLatin1(c.text));
        EXPECT_TRUE(CellMarks::IsMarked(*grid, c.row, c.column)) << c.text;
        EXPECT_EQ(window.StatusMessage(), QString::fromLatin1(c.message));
    }
    EXPECT_EQ(doc->DayFoods()[0].weight, 250);
    EXPECT_EQ(doc->Log().RequirementAt(1).min, -1);
    EXPECT_EQ(grid->CellText(5, 5), "27.4");
    EXPECT_FALSE(doc->IsModified());

    // Another cell's good number refills the grid around the marks.
    Type(grid, 2, 1, "100");
    EXPECT_EQ(doc->DayFoods()[1].weight, 100);
    EXPECT_EQ(grid->CellText(1, 1), "1,5");
    EXPECT_TRUE(CellMarks::IsMarked(*grid, 1, 1));
    // A good number in the cell itself takes the mark away.
    Type(grid, 1, 1, "200");
    EXPECT_EQ(doc->DayFoods()[0].weight, 200);
    EXPECT_FALSE(CellMarks::IsMarked(*grid, 1, 1));
    EXPECT_EQ(grid->CellText(1, 1), "200");
    // An emptied limit is removed, which is no mistake.
    Type(grid, 3, 5, "");
    EXPECT_FALSE(CellMarks::IsMarked(*grid, 3, 5));
    // Another day's grid starts without marks.
    Type(grid, 3, 5, "x");
    doc->Log().SelectDay("20240507");
    view->UpdateData(false);
    EXPECT_FALSE(CellMarks::IsMarked(*grid, 2, 5));
    EXPECT_FALSE(CellMarks::IsMarked(*grid, 3, 5));
}

TEST_F(DietView, UnderAGermanLocaleACommaWeightIsTaken) {
    const ScopedGermanNumbers german;
    if (!german.Active()) GTEST_SKIP() << german.Why();
    Type(view->Grid(), 1, 1, "120,5");
    EXPECT_EQ(doc->DayFoods()[0].weight, 120.5);
    EXPECT_EQ(view->Grid()->CellText(1, 1), "120.5");
}

// On a day with limits of its own the Min and Max rows show them; typing changes what is shown.
TEST_F(DietView, TheMinAndMaxRowsOfADayWithItsOwnLimitsEditThatDay) {
    doc->CurrentDay().requirements.emplace_back(3, 40, -1);  // protein
    view->UpdateData(false);
    CCellGrid* grid = view->Grid();
    EXPECT_EQ(grid->CellText(3, 5), "40");
    Type(grid, 3, 5, "20");
    Type(grid, 4, 5, "30");
    EXPECT_EQ(grid->CellText(3, 5), "20");
    EXPECT_EQ(grid->CellText(4, 5), "30");
    EXPECT_EQ(grid->CellBackground(5, 5), QColor(Qt::white));  // 27.4 within 20 to 30
    EXPECT_EQ(doc->CurrentDay().requirements[0].min, 20);
    EXPECT_EQ(doc->CurrentDay().requirements[0].max, 30);
    EXPECT_EQ(doc->Log().RequirementAt(1).min, -1);
    EXPECT_EQ(doc->Log().RequirementAt(1).max, -1);
}

TEST_F(DietView, LeavingTheTabStoresAnEditInProgress) {
    CCellGrid* grid = view->Grid();
    grid->setCurrentCell(2, 1);
    grid->editItem(grid->item(2, 1));
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(2, 1)));
    ASSERT_NE(editor, nullptr);
    editor->setText("100");
    view->UpdateData(true);
    EXPECT_EQ(doc->DayFoods()[1].weight, 100);
}

TEST_F(DietView, CalculateNutrientsRecomputesAndRefills) {
    EXPECT_TRUE(view->CanRun(Gui::CommandId::CalculateNutrients));
    doc->SetModifiedFlag(false);
    doc->CurrentDay().foods[1].weight = 0;  // changed behind the view's back
    EXPECT_TRUE(view->RunCommand(Gui::CommandId::CalculateNutrients));
    EXPECT_EQ(view->Grid()->CellText(2, 1), "0");
    EXPECT_EQ(doc->Log().EnergyComposition().GetValue(0, CDS_EnergyComposition::kValue), 24.2);  // the stew alone
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(view->Answers(Gui::CommandId::CalculateIngredients));
}

TEST_F(DietView, DraggedSizesMarkTheProfileModifiedAndSurviveSavingAndReopening) {
    doc->SetModifiedFlag(false);
    CCellGrid* grid = view->Grid();
    const int fittedWeight = grid->ColumnWidth(1);
    DragColumnBorder(grid, 5, 40);
    DragRowBorder(grid, 5, 12);
    const int protein = grid->ColumnWidth(5);
    const int total = grid->RowHeight(5);
    EXPECT_TRUE(doc->IsModified());
    view->UpdateData(true);
    ASSERT_TRUE(doc->OnSaveDocument(path));

    doc = std::make_unique<CVelmoraDoc>(app.Context());
    ASSERT_TRUE(doc->OnOpenDocument(path));
    doc->Log().SelectDay("20240506");
    view.reset();
    Show();
    EXPECT_EQ(view->Grid()->ColumnWidth(5), protein);
    EXPECT_EQ(view->Grid()->RowHeight(5), total);
    // The sizes the user never touched keep following their contents.
    EXPECT_EQ(view->Grid()->ColumnWidth(1), fittedWeight);
    Type(view->Grid(), 1, 1, "123456789");
    EXPECT_GT(view->Grid()->ColumnWidth(1), fittedWeight);
}

}  // namespace

namespace {

TEST(GridViewsFactory, TheTabsGetTheirViewsAndAnalysisAnEmptyList) {
    EXPECT_NE(dynamic_cast<CViewDiet*>(CreateViewByName("Diet").get()), nullptr);
    EXPECT_NE(dynamic_cast<CViewEnergy*>(CreateViewByName("Energy").get()), nullptr);
    EXPECT_NE(dynamic_cast<CViewNutrients*>(CreateViewByName("Nutrients").get()), nullptr);
    const std::unique_ptr<CViewBase> analysis = CreateViewByName("Analysis");
    auto* view = dynamic_cast<CViewAnalysis*>(analysis.get());
    ASSERT_NE(view, nullptr);
    view->OnInitialUpdate();
    EXPECT_EQ(view->List()->rowCount(), 0);
    QStringList headers;
    for (int c = 0; c < view->List()->columnCount(); ++c) headers << view->List()->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, (QStringList{" Name           ", " Units  ", " Source   ", "Protein", "Fat  ", "Carbohydrate",
                                    "Alcohol"}));
}

}  // namespace
