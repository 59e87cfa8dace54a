#include "support/RunningApp.h"

#include "ui/dialogs/DlgCopyFoods.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewIngredients.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

using Gui::CommandId;

QStringList ListTexts(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
    return texts;
}

// Enter on a calendar day adds it; a run of days leaves out the day copied from and the dates
// already there; Delete takes the selected dates out; OK needs a date.
TEST(CopyFoodsDialog, DatesArePickedWithTheKeyboardEachOnceWithoutTheCurrentDay) {
    const std::map<std::string, int> foodsOn = {{"20240509", 4}};
    DlgCopyFoods::Setup setup;
    setup.kind = DlgCopyFoods::Kind::Day;
    setup.currentDate = "20240507";
    setup.entriesOn = [&foodsOn](const std::string& key, const std::optional<std::string>&) {
        auto it = foodsOn.find(key);
        return it == foodsOn.end() ? 0 : it->second;
    };
    DlgCopyFoods dialog(setup);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Copy Day To"));
    EXPECT_EQ(dialog.MealChoice(), nullptr);
    ASSERT_NE(dialog.FactsBox(), nullptr);
    EXPECT_FALSE(dialog.FactsBox()->isChecked());
    EXPECT_EQ(dialog.Calendar()->selectedDate(), QDate(2024, 5, 8));

    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.ErrorLabel()->text(), QStringLiteral("Add at least one date to copy to."));

    dialog.Calendar()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.Dates(), (std::vector<std::string>{"20240508"}));

    dialog.Calendar()->setSelectedDate(QDate(2024, 5, 6));
    dialog.DaysInARow()->setValue(4);
    dialog.AddButton()->click();
    EXPECT_EQ(dialog.Dates(), (std::vector<std::string>{"20240506", "20240508", "20240509"}));
    EXPECT_EQ(ListTexts(*dialog.DateList()), (QStringList{"2024-05-06", "2024-05-08", "2024-05-09  (has 4 foods)"}));
    EXPECT_EQ(dialog.Note()->text(), QStringLiteral("2024-05-07 is the day copied from; it was left out."));

    dialog.DateList()->setCurrentRow(1);
    dialog.DateList()->setFocus();
    QTest::keyClick(dialog.DateList(), Qt::Key_Delete);
    EXPECT_EQ(dialog.Dates(), (std::vector<std::string>{"20240506", "20240509"}));
}

// The profile "Ann": 6 May has stew at lunch and broth of no meal, 7 May (current) nuts of no meal.
class CopyCommands : public ::testing::Test {
protected:
    CopyCommands() {
        EXPECT_TRUE(run.Start());
        doc = run.App().DocManager()->OpenDocumentFile(run.AddProfile("Ann", "Ann"));
    }

    // The Food tab with the entry of that row selected.
    void SelectEntry(int row) {
        CChildFrameBase* frame = run.Main().ActiveChildFrame();
        ASSERT_EQ(frame->TabName(4), "Food");
        ASSERT_TRUE(frame->SelectTab(4));
        auto* food = qobject_cast<CViewIngredients*>(frame->GetActiveView());
        ASSERT_NE(food, nullptr);
        food->FoodList().selectRow(row);
    }

    std::vector<std::string> Names(const std::string& dateKey) {
        std::vector<std::string> names;
        const int index = doc->Log().FindDay(dateKey);
        if (index >= 0)
            for (const auto& e : doc->Log().Days()[std::size_t(index)]->foods) names.push_back(e.name);
        return names;
    }

    RunningApp run;
    CVelmoraDoc* doc = nullptr;
};

TEST_F(CopyCommands, CopyDayToAddsTheDaysFoodsToThePickedDates) {
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->CurrentDate(), "20240507");
    EXPECT_TRUE(run.Main().IsCommandEnabled(CommandId::CopyDayTo));
    OnNextDialog<DlgCopyFoods>([](DlgCopyFoods& dialog) {
        dialog.Calendar()->setSelectedDate(QDate(2024, 5, 6));
        dialog.DaysInARow()->setValue(3);
        dialog.AddButton()->click();
        dialog.accept();
    });
    run.Main().ExecuteCommand(CommandId::CopyDayTo);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});
    EXPECT_EQ(Names("20240506"), (std::vector<std::string>{"Stew", "Broth", "Nuts"}));
    EXPECT_EQ(Names("20240508"), (std::vector<std::string>{"Nuts"}));
    EXPECT_EQ(doc->CurrentDate(), "20240507");
    EXPECT_TRUE(doc->IsModified());
}

// The meal of the selected entry is chosen at first; a meal the day before lacks adds nothing and
// says so.
TEST_F(CopyCommands, RepeatYesterdaysMealStartsOnTheSelectedEntrysMeal) {
    ASSERT_NE(doc, nullptr);
    doc->SetFoodMeal(0, "Lunch");
    SelectEntry(0);
    QString noteShown;
    OnNextDialog<DlgCopyFoods>([&](DlgCopyFoods& dialog) {
        EXPECT_EQ(dialog.Meal(), "Lunch");
        noteShown = dialog.MealNote()->text();
        dialog.accept();
    });
    run.Main().ExecuteCommand(CommandId::RepeatYesterdaysMeal);
    EXPECT_EQ(noteShown, QStringLiteral("2024-05-06 has 1 food in Lunch."));
    EXPECT_EQ(Names("20240507"), (std::vector<std::string>{"Nuts", "Stew"}));
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});

    OnNextDialog<DlgCopyFoods>([](DlgCopyFoods& dialog) {
        dialog.MealChoice()->setCurrentIndex(dialog.MealChoice()->findText(QStringLiteral("Snack")));
        EXPECT_EQ(dialog.MealNote()->text(), QStringLiteral("2024-05-06 has no foods in Snack."));
        dialog.accept();
    });
    run.Main().ExecuteCommand(CommandId::RepeatYesterdaysMeal);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{"2024-05-06 had no foods in Snack; nothing was added."});
    EXPECT_EQ(Names("20240507").size(), 2u);
}

}  // namespace
