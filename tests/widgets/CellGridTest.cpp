#include "widgets/CellGrid.h"
#include "widgets/CellMark.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A grid on screen, so that the viewport has a geometry for mouse and editor tests.
struct ShownGrid {
    ShownGrid(int rows, int columns) {
        grid.resize(600, 400);
        grid.SetSize(rows, columns);
        grid.show();
        grid.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }
    // Opens the cell's editor, types `text` over what it holds and leaves the editor open.
    QLineEdit* Type(int row, int column, const QString& text) {
        grid.setCurrentCell(row, column);
        grid.editItem(grid.item(row, column));
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.model()->index(row, column)));
        if (editor) editor->setText(text);
        return editor;
    }
    CCellGrid grid;
};

TEST(CellGrid, StoredSizesNeverHideARowOrAColumn) {
    CCellGrid grid;
    grid.SetSize(3, 3);
    const int line = grid.fontMetrics().lineSpacing();
    struct Case {
        int stored;
        int height;
    };
    for (const Case& c : {Case{30, 30}, Case{0, line + 6}, Case{-1, line + 6}, Case{-3, 3 * line + 6},
                          Case{2, CCellGrid::kMinRowHeight}}) {
        grid.SetRowSize(1, c.stored);
        EXPECT_EQ(grid.RowHeight(1), c.height) << "stored " << c.stored;
    }

    grid.SetCellText(1, 0, QStringLiteral("A rather long food name, raw"));
    for (int stored : {0, -2, -500}) {
        grid.SetColumnSize(0, stored);
        EXPECT_GT(grid.ColumnWidth(0), grid.fontMetrics().horizontalAdvance(QStringLiteral("A rather long food name")))
            << "stored " << stored;
    }
    grid.SetColumnSize(0, 55);
    EXPECT_EQ(grid.ColumnWidth(0), 55);
    grid.SetColumnSize(0, 1);
    EXPECT_EQ(grid.ColumnWidth(0), CCellGrid::kMinColumnWidth);
}

TEST(CellGrid, AFittedColumnFollowsItsContentsOnRedrawAPixelWidthDoesNot) {
    CCellGrid grid;
    grid.SetSize(2, 2);
    grid.SetColumnSize(0, -2);
    grid.SetColumnSize(1, 50);
    const QString longText = QStringLiteral("Cheese, cheddar, sharp, sliced, reduced fat");
    grid.SetCellText(1, 0, longText);
    grid.SetCellText(1, 1, longText);
    grid.Redraw();
    EXPECT_GT(grid.ColumnWidth(0), grid.fontMetrics().horizontalAdvance(longText));
    EXPECT_EQ(grid.ColumnWidth(1), 50);
}

TEST(CellGrid, GrowingKeepsCellsAndNewCellsAreEmptyReadOnlyAndWhite) {
    CCellGrid grid;
    grid.SetSize(2, 2);
    grid.SetCellText(1, 1, QStringLiteral("42"));
    grid.SetCellEditable(1, 1, true);
    grid.SetCellBackground(1, 1, QColor(255, 255, 0));
    grid.SetRowSize(1, 40);
    grid.SetSize(4, 3);
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("42"));
    EXPECT_TRUE(grid.IsCellEditable(1, 1));
    EXPECT_EQ(grid.CellBackground(1, 1), QColor(255, 255, 0));
    EXPECT_EQ(grid.RowHeight(1), 40);
    EXPECT_EQ(grid.CellText(3, 2), QString());
    EXPECT_FALSE(grid.IsCellEditable(3, 2));
    EXPECT_EQ(grid.CellBackground(3, 2), QColor(Qt::white));
    EXPECT_EQ(grid.RowHeight(3), grid.RowHeightFor(0));

    grid.SetSize(1, 1);
    EXPECT_EQ(grid.CellText(1, 1), QString()) << "outside the grid reads as empty";
    grid.SetCellText(5, 5, QStringLiteral("ignored"));
    EXPECT_EQ(grid.rowCount(), 1);
}

TEST(CellGrid, AFinishedEditIsReportedOnceAndOnlyWhenTheTextChanged) {
    ShownGrid shown(3, 3);
    CCellGrid& grid = shown.grid;
    grid.SetCellText(1, 1, QStringLiteral("250"));
    grid.SetCellEditable(1, 1, true);
    QSignalSpy edited(&grid, &CCellGrid::cellTextEdited);

    ASSERT_NE(shown.Type(1, 1, QStringLiteral("120")), nullptr);
    EXPECT_EQ(edited.count(), 0) << "nothing is reported while the user types";
    grid.FinishEdit();
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0][0].toInt(), 1);
    EXPECT_EQ(edited[0][1].toInt(), 1);
    EXPECT_EQ(edited[0][2].toString(), QStringLiteral("120"));
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("120"));
    EXPECT_FALSE(grid.IsEditing());

    ASSERT_NE(shown.Type(1, 1, QStringLiteral("120")), nullptr);
    grid.FinishEdit();
    EXPECT_EQ(edited.count(), 1) << "an unchanged text is no edit";

    grid.FinishEdit();  // no editor open: nothing to do
    EXPECT_EQ(edited.count(), 1);
}

TEST(CellGrid, AReadOnlyCellOpensNoEditor) {
    ShownGrid shown(3, 3);
    shown.grid.SetCellText(1, 2, QStringLiteral("8.5"));
    EXPECT_EQ(shown.Type(1, 2, QStringLiteral("9")), nullptr);
    EXPECT_EQ(shown.grid.CellText(1, 2), QStringLiteral("8.5"));
}

TEST(CellGrid, LeavingTheGridFinishesTheEdit) {
    QWidget window;
    auto* grid = new CCellGrid(&window);
    auto* other = new QLineEdit(&window);
    grid->setGeometry(0, 0, 400, 300);
    other->setGeometry(0, 310, 200, 24);
    grid->SetSize(2, 2);
    grid->SetCellEditable(1, 1, true);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy edited(grid, &CCellGrid::cellTextEdited);

    grid->setCurrentCell(1, 1);
    grid->editItem(grid->item(1, 1));
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(1, 1)));
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("64"));
    other->setFocus();
    QTRY_COMPARE(edited.count(), 1);
    EXPECT_EQ(edited[0][2].toString(), QStringLiteral("64"));
}

TEST(CellGrid, AnOwnerMayRebuildTheGridInAnswerToAnEdit) {
    // The views refill, and may shrink, the grid from the edit signal; the closing editor must
    // not touch cells that are gone.
    ShownGrid shown(5, 5);
    CCellGrid& grid = shown.grid;
    grid.SetCellEditable(4, 4, true);
    QObject::connect(&grid, &CCellGrid::cellTextEdited, &grid, [&grid](int, int, const QString& text) {
        grid.SetSize(1, 1);
        grid.SetCellText(0, 0, text);
    });
    ASSERT_NE(shown.Type(4, 4, QStringLiteral("7")), nullptr);
    grid.FinishEdit();
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral("7"));
}

TEST(CellGrid, DraggingABorderResizesThatRowOrColumnAndTellsTheOwner) {
    ShownGrid shown(4, 4);
    CCellGrid& grid = shown.grid;
    grid.SetColumnSize(1, 60);
    grid.SetRowSize(2, 30);
    QSignalSpy columns(&grid, &CCellGrid::columnResized);
    QSignalSpy rows(&grid, &CCellGrid::rowResized);
    QSignalSpy any(&grid, &CCellGrid::sizesChanged);
    QWidget* viewport = grid.viewport();

    const int columnEdge = grid.columnViewportPosition(1) + grid.columnWidth(1) - 1;
    const int y = grid.rowViewportPosition(1) + 5;
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(columnEdge, y));
    QTest::mouseMove(viewport, QPoint(columnEdge + 25, y));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(columnEdge + 25, y));
    EXPECT_EQ(grid.ColumnWidth(1), 85);
    ASSERT_EQ(columns.count(), 1);
    EXPECT_EQ(columns[0][0].toInt(), 1);
    EXPECT_EQ(columns[0][1].toInt(), 85);

    const int rowEdge = grid.rowViewportPosition(2) + grid.rowHeight(2) - 1;
    const int x = grid.columnViewportPosition(0) + 5;
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(x, rowEdge));
    QTest::mouseMove(viewport, QPoint(x, rowEdge - 100));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(x, rowEdge - 100));
    EXPECT_EQ(grid.RowHeight(2), CCellGrid::kMinRowHeight) << "a row is never dragged out of sight";
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows[0][0].toInt(), 2);
    EXPECT_EQ(any.count(), 2);

    // A click inside a cell is a click, not a resize.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(grid.columnViewportPosition(2) + 20, y));
    EXPECT_EQ(any.count(), 2);
    EXPECT_EQ(grid.currentColumn(), 2);
}

}  // namespace

namespace {

// A refused text is framed in red with its reason as the tool tip, over the owner's colour,
// until the mark is taken off; the owner's colour stays meanwhile.
TEST(CellGrid, AMarkedCellIsFramedInRedUntilItsMarkGoes) {
    ShownGrid shown(2, 2);
    CCellGrid& grid = shown.grid;
    grid.SetCellBackground(1, 1, QColor(255, 255, 0));
    CellMarks::Set(grid, 1, 1, QStringLiteral("a"), QStringLiteral("\"a\" is not a number"));
    const QRect cell = grid.visualRect(grid.model()->index(1, 1));
    const QPoint edge = cell.topLeft() + QPoint(1, cell.height() / 2);
    const QPoint inside = cell.bottomRight() - QPoint(6, 5);  // clear of the text
    auto colourAt = [&](QPoint p) { return grid.viewport()->grab().toImage().pixelColor(p); };
    EXPECT_EQ(colourAt(edge).rgb(), QColor(220, 0, 0).rgb());
    EXPECT_EQ(colourAt(inside).rgb(), QColor(255, 255, 0).rgb());
    EXPECT_EQ(grid.CellText(1, 1), QStringLiteral("a"));
    EXPECT_EQ(grid.item(1, 1)->toolTip(), QStringLiteral("\"a\" is not a number"));
    EXPECT_EQ(grid.CellBackground(1, 1), QColor(255, 255, 0));

    CellMarks::Clear(grid, 1, 1);
    EXPECT_FALSE(CellMarks::IsMarked(grid, 1, 1));
    EXPECT_EQ(colourAt(edge).rgb(), QColor(255, 255, 0).rgb());
    EXPECT_EQ(grid.item(1, 1)->toolTip(), QString());
}

}  // namespace
