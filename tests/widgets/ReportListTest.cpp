#include "widgets/ReportList.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ReportListTest : public ::testing::Test {
protected:
    ReportListTest() {
        list.SetCheckBoxes(true);
        list.SetColumns({"Name", " Min "}, {2.0, 1.0});
        for (int r = 0; r < 3; ++r) {
            list.AddRow();
            list.SetText(r, 0, QString("row %1").arg(r));
        }
        list.SetCellEditable(1, 1, true);
        list.resize(400, 300);
        list.show();
    }

    QLineEdit* StartEdit(int row, int column) {
        list.setCurrentCell(row, column);
        list.editItem(list.item(row, column));
        return qobject_cast<QLineEdit*>(list.indexWidget(list.model()->index(row, column)));
    }

    CReportList list;
};

TEST_F(ReportListTest, ReportsTypingButNotTheProgramsOwnTexts) {
    QSignalSpy edited(&list, &CReportList::cellTextEdited);
    list.SetText(1, 1, "5");
    EXPECT_EQ(edited.count(), 0);

    QLineEdit* editor = StartEdit(1, 1);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "12.5");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits after the key
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0], (QVariantList{1, 1, QString("12.5")}));
    EXPECT_EQ(list.Text(1, 1), "12.5");

    // Leaving a cell as it was is no edit.
    editor = StartEdit(1, 1);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(edited.count(), 1);

    // Only cells made editable open an editor.
    EXPECT_EQ(StartEdit(2, 1), nullptr);
    EXPECT_FALSE(list.IsEditing());
}

TEST_F(ReportListTest, FinishEditCommitsTheTextInProgress) {
    QSignalSpy edited(&list, &CReportList::cellTextEdited);
    QLineEdit* editor = StartEdit(1, 1);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "7");
    list.FinishEdit();
    EXPECT_FALSE(list.IsEditing());
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(list.Text(1, 1), "7");
    list.FinishEdit();  // nothing in progress
    EXPECT_EQ(edited.count(), 1);
}

TEST_F(ReportListTest, ReportsEachCheckChangeWithItsOldAndNewState) {
    QSignalSpy checks(&list, &CReportList::checkChanged);
    const QRect cell = list.visualRect(list.model()->index(2, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 10, cell.center().y()));
    EXPECT_TRUE(list.IsChecked(2));
    list.SetChecked(0, true);
    list.SetChecked(0, true);
    list.SetText(0, 0, "renamed");
    list.SetChecked(2, false);
    ASSERT_EQ(checks.count(), 3);
    EXPECT_EQ(checks[0], (QVariantList{2, 0, 1}));
    EXPECT_EQ(checks[1], (QVariantList{0, 0, 1}));
    EXPECT_EQ(checks[2], (QVariantList{2, 1, 0}));
}

TEST_F(ReportListTest, ColumnsAreAsWideAsTheirHeadersTimesTheFactor) {
    const QFontMetrics metrics(list.font());
    EXPECT_GE(list.columnWidth(0), metrics.horizontalAdvance("Name") * 2);
    EXPECT_GE(list.columnWidth(1), metrics.horizontalAdvance(" Min "));
    EXPECT_LT(list.columnWidth(1), list.columnWidth(0));
    list.Clear();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columnCount(), 2);
}

}  // namespace
