#pragma once

#include "GuiSupport.h"

#include "support/FakeServices.h"

#include "refdata/DietaryIntakesMgr.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewBase.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// The profile "Ann" of tests/data/ui opened on 6 May 2024 (stew 250 g and broth 240 g; energy,
// protein, fat, carbohydrate, iron and vitamin C followed) and one view of it on screen, made and
// first shown as the profile window does. The day is judged by Ann's own limits alone until a
// test calls UseDefaultTargets.
template <class View>
class GridViewTest : public ::testing::Test {
protected:
    GridViewTest() : clock(boost::gregorian::date(2024, 5, 7)) {
        intakes.InitializeBuiltIn();
        Gui::CAppContext context = app.Context();
        context.intakes = &intakes;
        path = app.AddProfile("Ann", "Ann");
        doc = std::make_unique<CVelmoraDoc>(context);
        EXPECT_TRUE(doc->OnOpenDocument(path));
        doc->SetPathName(path);
        doc->Log().SelectDay("20240506");
        doc->RecomputeEnergyShares();
        doc->Log().SetTargetOptions({&intakes, false});
        Show();
    }

    ~GridViewTest() override {
        if (view) doc->RemoveView(view.get());
    }

    // A new view, as a tab shows it the first time.
    void Show() {
        if (view) doc->RemoveView(view.get());
        view = std::make_unique<View>();
        view->SetDocument(doc.get());
        view->resize(1000, 700);
        view->show();
        doc->AddView(view.get());
        view->OnInitialUpdate();
    }

    // Followed nutrients without limits of Ann's own are judged against the current reference
    // intakes, as a new profile is; the view shows it. Ann is a woman of 54 on the day: protein
    // RDA 46 g, iron RDA 8 mg and UL 45 mg, vitamin C RDA 75 mg and UL 2000 mg.
    void UseDefaultTargets() {
        current.InitializeBuiltIn(DriEdition::Current);
        doc->Log().SetTargetOptions({&current, true});
        view->UpdateData(false);
    }

    // Types into a cell through its editor and presses Enter, as a user would.
    static void Type(QAbstractItemView* list, int row, int column, const QString& text) {
        const QModelIndex index = list->model()->index(row, column);
        list->setCurrentIndex(index);
        list->edit(index);
        auto* editor = qobject_cast<QLineEdit*>(list->indexWidget(index));
        ASSERT_NE(editor, nullptr) << "no editor at " << row << "," << column;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the delegate commits after the key
    }

    // Whether the cell opens an editor at all.
    static bool OpensEditor(QAbstractItemView* list, int row, int column) {
        const QModelIndex index = list->model()->index(row, column);
        list->setCurrentIndex(index);
        list->edit(index);
        QWidget* editor = list->indexWidget(index);
        if (editor) QTest::keyClick(editor, Qt::Key_Escape);
        const bool editing = editor != nullptr;
        return editing;
    }

    ScopedClock clock;
    RecordingPrompt prompt;
    TestApp app;
    CDC_DietaryIntakesMgr intakes;
    CDC_DietaryIntakesMgr current;
    std::string path;
    std::unique_ptr<CVelmoraDoc> doc;
    std::unique_ptr<View> view;
};
