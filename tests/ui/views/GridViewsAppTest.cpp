#include "support/RunningApp.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewDiet.h"
#include "widgets/CellGrid.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using Gui::CommandId;
enum Tab { Personal, Log, Diet, Energy, Food, Nutrients };

CViewDiet* ShowDiet(CMainFrame& main) {
    CChildFrameBase* frame = main.ActiveChildFrame();
    EXPECT_TRUE(frame->SelectTab(Diet));
    return dynamic_cast<CViewDiet*>(frame->GetActiveView());
}

TEST(GridViewsInTheProgram, SizesDraggedOnTheDietTabSurviveSavingAndReopening) {
    RunningApp run;
    ASSERT_TRUE(run.Start());
    const std::string path = run.AddProfile("Ann", "Ann");
    CVelmoraDoc* doc = run.App().DocManager()->OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    CViewDiet* diet = ShowDiet(run.Main());
    ASSERT_NE(diet, nullptr);
    CCellGrid* grid = diet->Grid();
    ASSERT_EQ(grid->rowCount(), 5);  // the nuts of 7 May

    QWidget* viewport = grid->viewport();
    const int edge = grid->columnViewportPosition(5) + grid->columnWidth(5) - 1;
    const int y = grid->rowViewportPosition(1) + 5;
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(viewport, QPoint(edge + 35, y));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(edge + 35, y));
    const int dragged = grid->ColumnWidth(5);
    EXPECT_TRUE(doc->IsModified());

    run.Main().ActiveChildFrame()->SelectTab(Energy);
    run.Main().ExecuteCommand(CommandId::FileSave);
    EXPECT_FALSE(doc->IsModified());
    run.Main().ExecuteCommand(CommandId::FileClose);
    QTest::qWait(0);
    ASSERT_TRUE(run.Main().ChildFrames().empty());
    EXPECT_TRUE(run.prompt.questions.empty());

    ASSERT_NE(run.App().DocManager()->OpenDocumentFile(path), nullptr);
    diet = ShowDiet(run.Main());
    ASSERT_NE(diet, nullptr);
    EXPECT_EQ(diet->Grid()->ColumnWidth(5), dragged);
}

}  // namespace
