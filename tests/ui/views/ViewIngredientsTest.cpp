#include "support/GuiSupport.h"
#include "support/RunningApp.h"

#include "support/FakeServices.h"
#include "support/GermanLocale.h"

#include "refdata/FoodSearch.h"
#include "refdata/Ingredient.h"
#include "ui/dialogs/DlgSelectIngredients.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/ProfileController.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/IngredientTree.h"
#include "ui/views/RecentFoodsList.h"
#include "ui/views/SearchWorkers.h"
#include "ui/views/ViewIngredients.h"
#include "widgets/CellGrid.h"
#include "widgets/CellMark.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using ::testing::ElementsAre;

namespace {

// Ann's profile opened in the running program with its Food tab on show; null after a failure.
CViewIngredients* OpenAnnsFoodTab(RunningApp& run) {
    if (!run.App().DocManager()->OpenDocumentFile(run.AddProfile("Ann", "Ann"))) {
        ADD_FAILURE() << "Ann's profile does not open";
        return nullptr;
    }
    CChildFrameBase* frame = run.Main().ActiveChildFrame();
    if (!frame || !frame->SelectTab(4)) {
        ADD_FAILURE() << "no Food tab";
        return nullptr;
    }
    return dynamic_cast<CViewIngredients*>(frame->GetActiveView());
}

constexpr int kSource = 5;
const FoodKey kMilkWhole(1001, kSource), kMilkSkim(1002, kSource), kCheese(1004, kSource), kApple(1005, kSource),
    kSteakRaw(13003, kSource);
enum Column { kName, kMeal, kUnits, kAmount, kWeight };

// The "Food" tab of a new profile over the foods of tests/data/ui/food-tab.xml, with the food
// search of its own.
class FoodTab : public ::testing::Test {
protected:
    FoodTab() {
        std::string error;
        EXPECT_TRUE(source.Load(TestFile("ui/food-tab.xml"), {}, error)) << error;
        Gui::CAppContext ctx;
        ctx.dataSource = &source;
        ctx.meals = &meals;
        ctx.searchContext = &search;
        ctx.searchWorkers = &workers;
        ctx.appDir = folder.Path().string();
        doc = std::make_unique<CVelmoraDoc>(ctx);
        doc->OnNewDocument();
        view = std::make_unique<CViewIngredients>();
        view->SetDocument(doc.get());
        doc->AddView(view.get());
        view->OnInitialUpdate();
    }
    ~FoodTab() override {
        doc->RemoveView(view.get());
        view.reset();
        workers.WaitForAll();
    }

    std::vector<UserLog::CDayFood>& Entries() { return doc->CurrentDay().foods; }
    void SelectInTree(const FoodKey& key) { ASSERT_NE(view->Tree().ShowFood(source, key), nullptr); }
    void Add(const FoodKey& key) {
        SelectInTree(key);
        view->OnAdd();
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = view->FoodList().item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    void SelectRows(std::initializer_list<int> rows) {
        view->FoodList().clearSelection();
        for (int row : rows)
            view->FoodList().selectionModel()->select(view->FoodList().model()->index(row, 0),
                                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Every worker has delivered its lists to the view.
    void FinishSearches() {
        workers.WaitForAll();
        QCoreApplication::processEvents();
    }
    QStringList Results() const {
        QStringList names;
        for (int row = 0; row < view->Results().rowCount(); ++row) names << view->Results().item(row, 0)->text();
        return names;
    }
    bool ComparisonEnabled() {
        EXPECT_TRUE(view->Answers(Gui::CommandId::ReportFoodComparison));
        return view->CanRun(Gui::CommandId::ReportFoodComparison);
    }

    TempDir folder;
    CDataSourceMgr source;
    Meal::CMealManager meals;
    CFoodSearchContext search;
    CSearchWorkers workers;
    std::unique_ptr<CVelmoraDoc> doc;
    std::unique_ptr<CViewIngredients> view;
};

// Add, a double click and Enter on a food of the tree all log it ready to count, with its amount
// open for typing.
TEST_F(FoodTab, EveryAddFromTheTreeCountsAtOnceWithTheAmountOpenForTyping) {
    SelectInTree(kMilkWhole);
    QTreeWidgetItem* item = view->Tree().currentItem();
    view->OnAdd();
    emit view->Tree().itemDoubleClicked(item, 0);
    QTest::keyClick(&view->Tree(), Qt::Key_Return);
    ASSERT_EQ(Entries().size(), 3u);
    for (const auto& entry : Entries()) {
        EXPECT_EQ(entry.weight, 244);  // one cup, its first portion
        EXPECT_EQ(entry.UnitName(), "cup");
        EXPECT_FALSE(entry.meal.empty());
    }
    EXPECT_EQ(Cell(2, kAmount), QStringLiteral("1"));
    EXPECT_EQ(Cell(2, kWeight), QStringLiteral("244"));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(view->FoodList().currentRow(), 2);
    EXPECT_EQ(view->FoodList().currentColumn(), kAmount);
    EXPECT_NE(view->FoodList().indexWidget(view->FoodList().currentIndex()), nullptr);
    EXPECT_TRUE(view->AddButton().isEnabled());

    // Enter on a group adds nothing.
    view->Tree().setCurrentItem(view->Tree().topLevelItem(0));
    QTest::keyClick(&view->Tree(), Qt::Key_Return);
    EXPECT_EQ(Entries().size(), 3u);
}

TEST_F(FoodTab, AFoodOnTheDayWithoutAMealIsNotAddedAgainUntilItHasOne) {
    // The food selection dialog adds entries of 0 g without a meal.
    doc->AddFoodByKey(kMilkWhole.key, kSource);
    view->UpdateData(false);
    SelectInTree(kMilkWhole);
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Cell(0, kName), QStringLiteral("Milk, whole"));
    EXPECT_EQ(Cell(0, kAmount), QString());
    EXPECT_EQ(Cell(0, kWeight), QString());

    EXPECT_FALSE(view->AddButton().isEnabled());
    view->OnAdd();
    QTreeWidgetItem* item = view->Tree().currentItem();
    emit view->Tree().itemDoubleClicked(item, 0);
    QTest::keyClick(&view->Tree(), Qt::Key_Return);
    EXPECT_EQ(Entries().size(), 1u);
    EXPECT_EQ(view->Tree().FoodIconKind(doc->FoodStatus(1001, kSource)), CIngredientTree::IconKind::FoodWithoutMeal);

    view->OnCellChoiceFinished(0, kMeal, QStringLiteral("Lunch"));
    EXPECT_EQ(Entries()[0].meal, "Lunch");
    EXPECT_EQ(Cell(0, kMeal), QStringLiteral("Lunch"));
    EXPECT_TRUE(view->AddButton().isEnabled());
    emit view->Tree().itemDoubleClicked(item, 0);
    ASSERT_EQ(Entries().size(), 2u);
    EXPECT_EQ(view->FoodList().rowCount(), 2);
}

TEST_F(FoodTab, TreeIconsFollowTheDaysEntriesAndMeals) {
    Add(kMilkWhole);
    QTreeWidgetItem* milk = view->Tree().ItemOfFood(kMilkWhole);
    auto iconOf = [](QTreeWidgetItem* item) { return item->icon(0).cacheKey(); };
    using Kind = CIngredientTree::IconKind;
    EXPECT_EQ(iconOf(milk), CIngredientTree::Icon(Kind::FoodWithMeal).cacheKey());
    SelectRows({0});
    view->OnDelete();
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(iconOf(milk), CIngredientTree::Icon(Kind::Food).cacheKey());

    // A day changed behind the view (another day chosen, a paste) shows when the view reloads.
    doc->AddFoodByKey(kCheese.key, kSource);
    view->UpdateData(false);
    QTreeWidgetItem* cheese = view->Tree().ItemOfFood(kCheese);
    EXPECT_EQ(iconOf(cheese), CIngredientTree::Icon(Kind::FoodWithoutMeal).cacheKey());
    EXPECT_EQ(view->FoodList().rowCount(), 1);
    view->OnCellChoiceFinished(0, kMeal, QStringLiteral("Dinner"));
    EXPECT_EQ(iconOf(cheese), CIngredientTree::Icon(Kind::FoodWithMeal).cacheKey());
}

TEST_F(FoodTab, AmountAndWeightConvertBothWays) {
    Add(kMilkWhole);
    view->OnCellChoiceFinished(0, kUnits, QStringLiteral("oz"));
    EXPECT_EQ(Entries()[0].unitIndex, 2);
    EXPECT_EQ(Cell(0, kUnits), QStringLiteral("oz"));

    view->OnCellTextEditFinished(0, kAmount, QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(Entries()[0].weight, 56.7);
    EXPECT_EQ(Cell(0, kWeight), QStringLiteral("56.7"));
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("2"));

    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("244"));
    EXPECT_EQ(Entries()[0].weight, 244);
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("8.6067"));

    // Another unit keeps the weight and shows another amount.
    view->OnCellChoiceFinished(0, kUnits, QStringLiteral("cup"));
    EXPECT_EQ(Entries()[0].weight, 244);
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("1"));

    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("0"));
    EXPECT_EQ(Entries()[0].weight, 0);
    EXPECT_EQ(Cell(0, kAmount), QString());
    EXPECT_EQ(Cell(0, kWeight), QString());
}

// What the user typed stays in the cell, framed, until a good number replaces it; the entry
// keeps its weight, and the status bar says why.
TEST_F(FoodTab, ATextThatIsNoWeightKeepsTheOldOneAndIsMarkedUntilCorrected) {
    const InMainWindow window(view.get());
    Add(kMilkWhole);
    view->OnCellChoiceFinished(0, kUnits, QStringLiteral("cup"));
    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("122"));
    struct Case {
        Column column;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {kWeight, "abc", "\"abc\" is not a number; the old value is kept."},
        {kAmount, "1,5", "\"1,5\" is not a number; the old value is kept."},  // no comma in the C locale
        {kWeight, "", "A weight or amount can't be empty; the old value is kept."},
        {kWeight, "-5", "A weight or amount can't be negative (\"-5\"); the old value is kept."},
        {kAmount, "-0.5", "A weight or amount can't be negative (\"-0.5\"); the old value is kept."},
        {kWeight, "nan", "\"nan\" is not a number; the old value is kept."},
        {kAmount, "1e308", "\"1e308\" is too large a number; the old value is kept."},  // 244 g a cup
    };
    for (const Case& c : cases) {
        view->OnCellTextEditFinished(0, c.column, QString::fromLatin1(c.text));
        EXPECT_EQ(Entries()[0].weight, 122) << c.text;
        EXPECT_EQ(Cell(0, c.column), QString::fromLatin1(c.text));
        EXPECT_TRUE(CellMarks::IsMarked(view->FoodList(), 0, c.column)) << c.text;
        EXPECT_EQ(CellMarks::Reason(view->FoodList(), 0, c.column), QString::fromLatin1(c.message));
        EXPECT_EQ(window.StatusMessage(), QString::fromLatin1(c.message));
        const Column other = c.column == kWeight ? kAmount : kWeight;
        EXPECT_EQ(Cell(0, other), other == kWeight ? QStringLiteral("122") : QStringLiteral("0.5")) << c.text;
        EXPECT_FALSE(CellMarks::IsMarked(view->FoodList(), 0, other)) << c.text;
    }

    // The mark outlives a refresh of the tab and a change of another entry...
    Add(kCheese);
    view->OnCellTextEditFinished(1, kWeight, QStringLiteral("30"));
    view->UpdateData(false);
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("1e308"));
    EXPECT_TRUE(CellMarks::IsMarked(view->FoodList(), 0, kAmount));
    // ...and goes, with the word in the status bar, when either face of the entry's weight gets a
    // good number.
    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("244"));
    EXPECT_EQ(Entries()[0].weight, 244);
    EXPECT_FALSE(CellMarks::IsMarked(view->FoodList(), 0, kAmount));
    EXPECT_EQ(window.StatusMessage(), QString());
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("1"));
}

// Qt's warnings while one lives, passed on as well; the offscreen platform's word on size hints
// is no fault of the program.
class RecordedWarnings {
public:
    RecordedWarnings() { previous_ = qInstallMessageHandler(&RecordedWarnings::Record); }
    ~RecordedWarnings() {
        qInstallMessageHandler(previous_);
        texts_.clear();
    }
    static const QStringList& Texts() { return texts_; }

private:
    static void Record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && !text.contains(QStringLiteral("propagateSizeHints"))) texts_ << text;
        if (previous_) previous_(type, context, text);
    }
    static inline QtMessageHandler previous_ = nullptr;
    static inline QStringList texts_;
};

// An amount stored while the editor an add opened is still there, then a command's save step:
// the list is refilled under the editor, which must not be committed once it is gone.
TEST_F(FoodTab, AnAmountStoredWhileItsEditorIsOpenCommitsNoEditorTwice) {
    const InMainWindow window(view.get());
    Add(kMilkWhole);
    Add(kCheese);
    ASSERT_NE(view->FoodList().indexWidget(view->FoodList().currentIndex()), nullptr);
    const RecordedWarnings warnings;
    view->OnCellTextEditFinished(1, kAmount, QStringLiteral("2"));
    view->UpdateData(true);
    QCoreApplication::processEvents();
    view->OnCellTextEditFinished(1, kAmount, QStringLiteral("3"));
    QCoreApplication::processEvents();
    view->UpdateData(true);
    EXPECT_EQ(RecordedWarnings::Texts(), QStringList{});
    EXPECT_EQ(Cell(1, kAmount), QStringLiteral("3"));
}

TEST_F(FoodTab, UnderAGermanLocaleTheCommaIsADecimalSeparatorToo) {
    const ScopedGermanNumbers german;
    if (!german.Active()) GTEST_SKIP() << german.Why();
    Add(kMilkWhole);
    view->OnCellChoiceFinished(0, kUnits, QStringLiteral("cup"));
    view->OnCellTextEditFinished(0, kAmount, QStringLiteral("1,5"));
    EXPECT_EQ(Entries()[0].weight, 366);
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("1.5"));
    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("63,4"));
    EXPECT_DOUBLE_EQ(Entries()[0].weight, 63.4);
    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("70.5"));
    EXPECT_DOUBLE_EQ(Entries()[0].weight, 70.5);
}

// Opens the text editor of a cell, once the editors closed before are gone.
QLineEdit* EditCell(QTableWidget& list, int row, int column) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    list.editItem(list.item(row, column));
    return list.findChild<QLineEdit*>();
}

TEST_F(FoodTab, EditorsOfTheListReachTheEntry) {
    QTableWidget& list = view->FoodList();
    view->show();
    // A food just added has its amount open: a number and Enter finish.
    Add(kMilkWhole);
    auto* editor = list.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "0.5");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(Entries()[0].weight, 122);  // half a cup
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("0.5"));
    view->OnCellChoiceFinished(0, kUnits, QStringLiteral("g"));

    editor = EditCell(list, 0, kWeight);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("30"));
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor commits from a queued call, and the view answers the commit in another.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(Entries()[0].weight, 30);
    EXPECT_EQ(Cell(0, kWeight), QStringLiteral("30"));

    // Saving or running a command while a cell is being edited stores what was typed.
    editor = EditCell(list, 0, kAmount);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("45"));
    view->UpdateData(true);
    EXPECT_EQ(Entries()[0].weight, 45);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(Entries()[0].weight, 45);

    // Passing through a cell without changing it leaves the profile unmodified.
    doc->SetModifiedFlag(false);
    editor = EditCell(list, 0, kWeight);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(doc->IsModified());
}

// Under the list, a line for each meal adds up its foods, following every change of the day.
TEST_F(FoodTab, MealSubtotalsFollowTheDaysEntries) {
    const CReportList& subtotals = view->SubtotalList();
    auto rows = [&subtotals] {
        QStringList out;
        for (int row = 0; row < subtotals.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < subtotals.columnCount(); ++column) cells << subtotals.Text(row, column);
            out << cells.join('|');
        }
        return out.join(';');
    };
    QToolButton& fold = view->SubtotalFold();
    EXPECT_TRUE(subtotals.isHidden());
    EXPECT_TRUE(fold.isHidden());
    Add(kMilkWhole);
    Add(kCheese);
    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("200"));
    view->OnCellTextEditFinished(1, kWeight, QStringLiteral("50"));
    view->OnCellChoiceFinished(0, kMeal, QStringLiteral("Snack"));
    // Added foods take the meal of the hour; this one is to have none.
    view->OnCellChoiceFinished(1, kMeal, QString());
    // Folded, one line names each meal's energy.
    EXPECT_FALSE(fold.isHidden());
    EXPECT_TRUE(subtotals.isHidden());
    EXPECT_EQ(fold.text(), QStringLiteral("Meal subtotals: Snack 122 kcal \u00b7 (no meal) 202 kcal"));
    fold.click();
    EXPECT_FALSE(subtotals.isHidden());
    EXPECT_EQ(fold.text(), QStringLiteral("Meal subtotals"));
    EXPECT_EQ(rows(), QStringLiteral("Snack|122|6.31|6.5|0;(no meal)|202|12.45|0|0"));

    view->OnCellChoiceFinished(1, kMeal, QStringLiteral("Snack"));
    EXPECT_EQ(rows(), QStringLiteral("Snack|324|18.76|6.5|0"));
    SelectRows({0});
    view->OnDelete();
    EXPECT_EQ(rows(), QStringLiteral("Snack|202|12.45|0|0"));
    view->OnClear();
    EXPECT_TRUE(subtotals.isHidden());
    EXPECT_TRUE(fold.isHidden());
}

// An add whose meal is new to the day grows the open subtotals under the list, which shrinks
// after the add has opened the amount: the entry and its amount stay in sight for typing.
TEST_F(FoodTab, AnAddedEntryAndItsOpenAmountStayInView) {
    const InMainWindow window(view.get());
    Add(kMilkWhole);
    const QString addedTo = QString::fromStdString(Entries()[0].meal);
    QStringList others;
    for (const char* meal : {"Breakfast", "Brunch", "Lunch", "Snack", "Dinner", "Supper"})
        if (addedTo != QLatin1String(meal)) others << QLatin1String(meal);
    for (int i = 1; i < 12; ++i) Add(kMilkWhole);
    for (int row = 0; row < 12; ++row) view->OnCellChoiceFinished(row, kMeal, others[row % others.size()]);
    view->SubtotalFold().click();
    QCoreApplication::processEvents();
    const int listHeight = view->FoodList().height();

    Add(kCheese);
    QCoreApplication::processEvents();
    CReportList& list = view->FoodList();
    ASSERT_EQ(view->SubtotalList().rowCount(), 6);
    ASSERT_LT(list.height(), listHeight);
    const QModelIndex amount = list.model()->index(12, kAmount);
    ASSERT_EQ(list.currentIndex(), amount);
    QWidget* editor = list.indexWidget(amount);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(amount))) << list.visualRect(amount).y();
    EXPECT_TRUE(list.viewport()->rect().contains(editor->geometry()));

    // Found by the search and logged with Enter, into a meal the day has already, while the list
    // shows its first rows.
    list.scrollToTop();
    view->SearchBox().setText(QStringLiteral("cheddar"));
    view->StartSearch();
    FinishSearches();
    ASSERT_GT(view->Results().rowCount(), 0);
    view->Results().setFocus();
    view->Results().setCurrentCell(0, 0);
    QTest::keyClick(&view->Results(), Qt::Key_Return);
    QCoreApplication::processEvents();
    const QModelIndex next = list.model()->index(13, kAmount);
    ASSERT_EQ(list.currentIndex(), next);
    ASSERT_NE(list.indexWidget(next), nullptr);
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(next))) << list.visualRect(next).y();
}

TEST_F(FoodTab, TheMealChoicesAreTheMealListSnackIncluded) {
    Add(kMilkWhole);
    view->show();
    QTableWidget& list = view->FoodList();
    // Adding left the amount open for typing.
    if (auto* amount = list.findChild<QLineEdit*>()) QTest::keyClick(amount, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    list.editItem(list.item(0, kMeal));
    auto* choice = list.findChild<QComboBox*>();
    ASSERT_NE(choice, nullptr);
    QStringList names;
    for (int i = 0; i < choice->count(); ++i) names << choice->itemText(i);
    // The unnamed meal is named for the user, and chooses no meal.
    EXPECT_EQ(names, (QStringList{"Breakfast", "Brunch", "Lunch", "Snack", "Dinner", "Supper", "(no meal)"}));
    EXPECT_EQ(choice->itemData(choice->count() - 1).toString(), QString());
}

TEST_F(FoodTab, ReorderingKeepsTheSelectionAndTheRememberedRowSizes) {
    for (const FoodKey& key : {kMilkWhole, kMilkSkim, kCheese}) Add(key);
    CGridDim layout = doc->Layout(LayoutKind::Food);
    layout.SetRowSize(2, 11);
    layout.SetRowSize(3, 22);
    doc->SetLayout(LayoutKind::Food, layout);

    SelectRows({0});
    EXPECT_FALSE(view->UpButton().isEnabled());
    EXPECT_TRUE(view->DownButton().isEnabled());
    EXPECT_TRUE(view->DeleteButton().isEnabled());
    view->OnDown();
    EXPECT_EQ(Cell(0, kName), QStringLiteral("Milk, skim"));
    EXPECT_EQ(Cell(1, kName), QStringLiteral("Milk, whole"));
    EXPECT_EQ(Entries()[1].GetFoodKey(), kMilkWhole);
    EXPECT_THAT(view->SelectedRows(), ElementsAre(1));
    layout = doc->Layout(LayoutKind::Food);
    EXPECT_EQ(layout.RowSize(2), 22);
    EXPECT_EQ(layout.RowSize(3), 11);

    SelectRows({2});
    EXPECT_TRUE(view->UpButton().isEnabled());
    EXPECT_FALSE(view->DownButton().isEnabled());
    view->OnUp();
    EXPECT_EQ(Entries()[1].GetFoodKey(), kCheese);
    EXPECT_THAT(view->SelectedRows(), ElementsAre(1));

    SelectRows({0, 2});
    EXPECT_FALSE(view->UpButton().isEnabled());
    EXPECT_FALSE(view->DownButton().isEnabled());
    EXPECT_FALSE(view->DeleteButton().isEnabled());

    view->OnClear();
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(view->FoodList().rowCount(), 0);
    EXPECT_FALSE(view->ClearButton().isEnabled());
}

TEST_F(FoodTab, TypingSearchesOnceTheKeysPauseRankedAndNarrowedByEachWord) {
    QTest::keyClicks(&view->SearchBox(), "m");
    FinishSearches();
    EXPECT_TRUE(Results().isEmpty());  // still typing
    QTest::keyClicks(&view->SearchBox(), "il");
    QTest::qWait(150);
    FinishSearches();
    // Ranked: word starts, then shorter names.
    EXPECT_EQ(Results(), (QStringList{"Milk, skim", "Milk, whole", "Milk, dry, nonfat"}));
    EXPECT_EQ(view->findChild<QLabel*>(QStringLiteral("searchResultCount"))->text(), QStringLiteral("3 foods found"));

    view->SearchBox().setText(QStringLiteral("MILK whole"));
    view->StartSearch();
    FinishSearches();
    EXPECT_EQ(Results(), QStringList{"Milk, whole"});

    // Emptying the box empties the list at once.
    view->SearchBox().selectAll();
    QTest::keyClick(&view->SearchBox(), Qt::Key_Backspace);
    EXPECT_TRUE(Results().isEmpty());
    FinishSearches();
    EXPECT_TRUE(Results().isEmpty());

    view->SearchBox().setText(QStringLiteral(" milk"));
    view->StartSearch();
    FinishSearches();
    EXPECT_TRUE(Results().isEmpty());
}

TEST_F(FoodTab, EnterOnAFoundFoodLogsItReadyWithTheAmountOpenForTyping) {
    view->show();
    view->SearchBox().setText(QStringLiteral("milk whole"));
    view->StartSearch();
    FinishSearches();
    ASSERT_EQ(Results(), QStringList{"Milk, whole"});
    // Down in the search box goes to the best match.
    QTest::keyClick(&view->SearchBox(), Qt::Key_Down);
    EXPECT_EQ(view->Results().currentRow(), 0);
    QTest::keyClick(&view->Results(), Qt::Key_Return);
    ASSERT_EQ(Entries().size(), 1u);
    const double portion = Entries()[0].weight;
    EXPECT_GT(portion, 0);  // one of its first portion
    EXPECT_FALSE(Entries()[0].meal.empty());
    EXPECT_EQ(view->FoodList().currentColumn(), kAmount);
    // An editor is open in the amount cell: a number and Enter finish.
    EXPECT_NE(view->FoodList().indexWidget(view->FoodList().currentIndex()), nullptr);
    auto* editor = view->FoodList().findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "2");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(Entries()[0].weight, 2 * portion);
}

// A double click or Enter on a food of the recent list logs it again at the amount and unit it
// was last logged at; one click only selects it. A click on its star, or Space or "*" on it, stars
// or unstars it, and the profile keeps that; after a click the rows keep their places until the
// pointer leaves the list.
TEST_F(FoodTab, ARecentFoodIsLoggedAgainAtItsLastAmountAndItsStarMarksAFavourite) {
    view->resize(900, 700);
    view->show();
    CRecentFoodsList& recent = view->RecentList();
    auto at = [&](const FoodKey& food, int column) {
        QTreeWidgetItem* item = recent.ItemOfFood(food);
        EXPECT_NE(item, nullptr);
        return item ? recent.visualRect(recent.model()->index(recent.indexOfTopLevelItem(item), column)).center()
                    : QPoint();
    };
    auto doubleClick = [&](const FoodKey& food, int column) {
        const QPoint point = at(food, column);
        // As the window system delivers it: a click, then the second press as a double click.
        QTest::mouseClick(recent.viewport(), Qt::LeftButton, {}, point);
        QTest::mousePress(recent.viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(recent.viewport(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(recent.viewport(), Qt::LeftButton, {}, point);
    };
    auto rows = [&] {
        QStringList texts;
        for (int i = 0; i < recent.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = recent.topLevelItem(i);
            texts << (recent.FoodOfItem(item) ? item->text(0) + " " + item->text(1) + " " + item->text(2)
                                              : item->text(0))
                         .trimmed();
        }
        return texts;
    };
    auto leave = [&] {
        QEvent left(QEvent::Leave);
        QApplication::sendEvent(&recent, &left);
    };

    Add(kMilkWhole);
    view->OnCellChoiceFinished(0, kUnits, QStringLiteral("oz"));
    view->OnCellTextEditFinished(0, kAmount, QStringLiteral("2"));
    Add(kCheese);
    EXPECT_EQ(rows(), (QStringList{"Recent", "\u2606 Cheese, cheddar 1 slice", "\u2606 Milk, whole 2 oz"}));

    doc->GoToDate("20300101");
    view->UpdateData(false);
    doc->SetModifiedFlag(false);
    // A click, say to bring the window forward, selects and logs nothing.
    QTest::mouseClick(recent.viewport(), Qt::LeftButton, {}, at(kMilkWhole, CRecentFoodsList::kName));
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(recent.FoodOfItem(recent.currentItem()), kMilkWhole);
    EXPECT_FALSE(doc->IsModified());

    doubleClick(kMilkWhole, CRecentFoodsList::kName);
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_DOUBLE_EQ(Entries()[0].weight, 56.7);
    EXPECT_EQ(Entries()[0].UnitName(), "oz");
    EXPECT_FALSE(Entries()[0].meal.empty());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(view->FoodList().currentColumn(), kAmount);
    EXPECT_NE(view->FoodList().indexWidget(view->FoodList().currentIndex()), nullptr);
    EXPECT_EQ(rows().at(1), QStringLiteral("\u2606 Milk, whole 2 oz"));  // the latest now

    recent.setCurrentItem(recent.ItemOfFood(kCheese));
    QTest::keyClick(&recent, Qt::Key_Return);
    ASSERT_EQ(Entries().size(), 2u);
    EXPECT_EQ(Entries()[1].GetFoodKey(), kCheese);

    // Starring the second row by its star leaves the rows where they are under the pointer...
    doc->SetModifiedFlag(false);
    EXPECT_EQ(rows(), (QStringList{"Recent", "\u2606 Cheese, cheddar 1 slice", "\u2606 Milk, whole 2 oz"}));
    QTest::mouseClick(recent.viewport(), Qt::LeftButton, {}, at(kMilkWhole, CRecentFoodsList::kStar));
    EXPECT_EQ(Entries().size(), 2u);
    EXPECT_THAT(doc->Log().Favourites(), ElementsAre(kMilkWhole));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(rows(), (QStringList{"Recent", "\u2606 Cheese, cheddar 1 slice", "\u2605 Milk, whole 2 oz"}));
    // ...until it leaves the list.
    leave();
    EXPECT_EQ(rows(),
              (QStringList{"Favourites", "\u2605 Milk, whole 2 oz", "Recent", "\u2606 Cheese, cheddar 1 slice"}));

    // The keys star and unstar the current food, which stays current as its row moves.
    recent.setCurrentItem(recent.ItemOfFood(kCheese));
    QTest::keyClick(&recent, Qt::Key_Space);
    EXPECT_THAT(doc->Log().Favourites(), ElementsAre(kMilkWhole, kCheese));
    EXPECT_EQ(recent.FoodOfItem(recent.currentItem()), kCheese);
    QTest::keyClick(&recent, Qt::Key_Asterisk);
    EXPECT_THAT(doc->Log().Favourites(), ElementsAre(kMilkWhole));
    // A double click on a star stars once and logs nothing.
    doubleClick(kMilkWhole, CRecentFoodsList::kStar);
    leave();
    EXPECT_TRUE(doc->Log().Favourites().empty());
    EXPECT_EQ(Entries().size(), 2u);
}

TEST_F(FoodTab, OnlyTheLatestSearchIsShown) {
    view->SearchBox().setText(QStringLiteral("beef"));
    view->StartSearch();
    view->SearchBox().setText(QStringLiteral("cheese"));
    view->StartSearch();
    FinishSearches();
    EXPECT_EQ(Results(), QStringList{"Cheese, cheddar"});
}

TEST_F(FoodTab, AFoundFoodIsShownInsideItsCategoryOfANestedGroup) {
    view->SearchBox().setText(QStringLiteral("steak raw"));
    view->StartSearch();
    FinishSearches();
    ASSERT_EQ(Results(), QStringList{"Beef, steak, raw"});
    view->Results().selectRow(0);

    QTreeWidgetItem* item = view->Tree().currentItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(view->Tree().FoodOfItem(item)->GetFoodKey(), kSteakRaw);
    QStringList path;
    for (QTreeWidgetItem* at = item; at; at = at->parent()) path.prepend(at->text(0));
    EXPECT_EQ(path, (QStringList{"Food Tab Foods", "Beef Products", "Beef cuts", "Beef", " steak", " raw"}));
    for (QTreeWidgetItem* at = item->parent(); at; at = at->parent()) EXPECT_TRUE(at->isExpanded());
    EXPECT_TRUE(view->AddButton().isEnabled());
}

TEST_F(FoodTab, ComparisonNeedsTwoFoodsInTheGrid) {
    Add(kMilkWhole);
    Add(kCheese);
    view->Tree().setCurrentItem(nullptr);
    SelectRows({0});
    EXPECT_FALSE(ComparisonEnabled());
    SelectInTree(kApple);
    EXPECT_TRUE(ComparisonEnabled());
    EXPECT_THAT(view->ComparisonFoods(), ElementsAre(kMilkWhole, kApple));
    view->Tree().setCurrentItem(view->Tree().topLevelItem(0));
    SelectRows({1, 0});
    EXPECT_TRUE(ComparisonEnabled());
    EXPECT_THAT(view->ComparisonFoods(), ElementsAre(kMilkWhole, kCheese));
}

TEST_F(FoodTab, TheGridShowsTheSelectedEntriesThenTheTreeFoodWithTheirRememberedSizes) {
    Add(kMilkWhole);
    Add(kCheese);
    CGridDim layout = doc->Layout(LayoutKind::Food);
    layout.SetRowSize(2, 40);  // the entry of list row 0
    doc->SetLayout(LayoutKind::Food, layout);
    CCellGrid& grid = view->Grid();
    SelectRows({0});

    ASSERT_EQ(grid.rowCount(), 3);
    ASSERT_EQ(grid.columnCount(), 1 + int(doc->Log().Requirements().size()));
    EXPECT_EQ(grid.CellText(0, 0), QStringLiteral(" Nutrients By Food\n  per 100 g "));
    EXPECT_EQ(grid.CellText(1, 0), QStringLiteral("Milk, whole"));
    EXPECT_EQ(grid.CellText(2, 0), QStringLiteral("Cheese, cheddar"));
    int protein = -1;
    for (int c = 1; c < grid.columnCount(); ++c)
        if (grid.CellText(0, c) == QStringLiteral("Protein\n  g")) protein = c;
    ASSERT_GT(protein, 0);
    EXPECT_EQ(grid.CellText(1, protein), QStringLiteral("3.15"));
    EXPECT_EQ(grid.CellText(2, protein), QStringLiteral("24.9"));
    const QColor face = view->palette().color(QPalette::Button);
    EXPECT_EQ(grid.CellBackground(0, protein), face);
    EXPECT_EQ(grid.CellBackground(1, 0), face);
    EXPECT_EQ(grid.CellBackground(1, protein), QColor(Qt::white));
    EXPECT_EQ(grid.CellBackground(2, protein), QColor(150, 255, 150));
    EXPECT_FALSE(grid.IsCellEditable(1, protein));
    EXPECT_EQ(grid.RowHeight(1), 40);
    EXPECT_EQ(grid.RowHeight(0), grid.RowHeightFor(-3));

    // What the user drags is kept under the row's place in the layout, and saved with the profile.
    doc->SetModifiedFlag(false);
    emit grid.rowResized(2, 55);
    emit grid.sizesChanged();
    EXPECT_TRUE(doc->IsModified());
    emit grid.rowResized(0, 60);
    emit grid.columnResized(protein, 90);
    layout = doc->Layout(LayoutKind::Food);
    EXPECT_EQ(layout.RowSize(0), 55);
    EXPECT_EQ(layout.RowSize(1), 60);
    EXPECT_EQ(layout.ColumnSize(protein), 90);
    EXPECT_EQ(layout.RowSize(2), 40);

    SelectRows({1, 0});
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.ColumnWidth(protein), 90);
    EXPECT_EQ(grid.CellText(2, 0), QStringLiteral("Cheese, cheddar"));
    EXPECT_EQ(grid.RowHeight(3), 55);
    view->Tree().setCurrentItem(nullptr);
    EXPECT_EQ(grid.rowCount(), 3);
}

TEST_F(FoodTab, SelectIngredientsEditsACopyOfTheDayAndOkPutsItBack) {
    Add(kMilkWhole);
    view->OnCellTextEditFinished(0, kWeight, QStringLiteral("100"));
    doc->SetModifiedFlag(false);

    auto edit = [&](std::function<void(DlgSelectIngredients&)> act, bool ok,
                    Gui::CommandId command = Gui::CommandId::SelectIngredients) {
        OnNextDialog<DlgSelectIngredients>([act, ok](DlgSelectIngredients& dialog) {
            act(dialog);
            ok ? dialog.accept() : dialog.reject();
        });
        EXPECT_TRUE(CProfileController(*doc).RunCommand(command));
    };
    auto keys = [&] {
        std::vector<FoodKey> k;
        for (const auto& e : Entries()) k.push_back(e.GetFoodKey());
        return k;
    };

    edit(
        [&](DlgSelectIngredients& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Ingredients"));
            QStringList cells;
            for (int c = 0; c < dialog.List().columnCount(); ++c) cells << dialog.List().item(0, c)->text();
            EXPECT_EQ(cells, (QStringList{"Milk, whole", "cup", "", "4.27", "8.79", "3.87", "7"}));
            EXPECT_FALSE(dialog.DeleteButton().isEnabled());
            dialog.OnClear();
            EXPECT_EQ(dialog.List().rowCount(), 0);
        },
        false);
    EXPECT_THAT(keys(), ElementsAre(kMilkWhole));
    EXPECT_FALSE(doc->IsModified());

    edit(
        [&](DlgSelectIngredients& dialog) {
            ASSERT_NE(dialog.Tree().ShowFood(source, kMilkWhole), nullptr);
            EXPECT_FALSE(dialog.AddButton().isEnabled());
            ASSERT_NE(dialog.Tree().ShowFood(source, kCheese), nullptr);
            EXPECT_TRUE(dialog.AddButton().isEnabled());
            dialog.OnAdd();
            EXPECT_FALSE(dialog.AddButton().isEnabled());
            EXPECT_EQ(dialog.Tree().ItemOfFood(kCheese)->icon(0).cacheKey(),
                      CIngredientTree::Icon(CIngredientTree::IconKind::FoodWithoutMeal).cacheKey());
            ASSERT_NE(dialog.Tree().ShowFood(source, kApple), nullptr);
            dialog.OnAdd();
            dialog.List().selectRow(2);
            EXPECT_TRUE(dialog.UnitsButton().isEnabled());
            EXPECT_FALSE(dialog.DownButton().isEnabled());
            dialog.OnUp();
            dialog.OnUp();
            EXPECT_EQ(dialog.SelectedRow(), 0);
            EXPECT_FALSE(dialog.UpButton().isEnabled());
            dialog.List().selectRow(2);
            dialog.OnDelete();
        },
        true);
    EXPECT_THAT(keys(), ElementsAre(kApple, kMilkWhole));
    EXPECT_EQ(Entries()[1].weight, 100);
    EXPECT_NE(Entries()[0].food, nullptr);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(view->FoodList().rowCount(), 2);
    EXPECT_EQ(Cell(0, kName), QStringLiteral("Apple"));

    // The wizard is the same dialog.
    edit([](DlgSelectIngredients& dialog) { dialog.OnClear(); }, true, Gui::CommandId::DietWizard);
    EXPECT_TRUE(Entries().empty());
}

// Half a cup is no amount the unit choice of a profile's file would pick, which made OK put
// the entry in grams.
TEST_F(FoodTab, OkInSelectIngredientsKeepsTheUnitsOfTheEntriesAlreadyThere) {
    Add(kMilkWhole);
    view->OnCellChoiceFinished(0, kUnits, QStringLiteral("cup"));
    view->OnCellTextEditFinished(0, kAmount, QStringLiteral("0.5"));
    Add(kCheese);
    view->OnCellChoiceFinished(1, kUnits, QStringLiteral("slice"));
    view->OnCellTextEditFinished(1, kAmount, QStringLiteral("1.5"));
    OnNextDialog<DlgSelectIngredients>([&](DlgSelectIngredients& dialog) {
        ASSERT_NE(dialog.Tree().ShowFood(source, kApple), nullptr);
        dialog.OnAdd();
        dialog.List().selectRow(1);
        dialog.OnUp();
        dialog.accept();
    });
    EXPECT_TRUE(CProfileController(*doc).RunCommand(Gui::CommandId::SelectIngredients));
    ASSERT_EQ(Entries().size(), 3u);
    EXPECT_EQ(Cell(0, kName), QStringLiteral("Cheese, cheddar"));
    EXPECT_EQ(Cell(0, kUnits), QStringLiteral("slice"));
    EXPECT_EQ(Cell(0, kAmount), QStringLiteral("1.5"));
    EXPECT_EQ(Cell(1, kUnits), QStringLiteral("cup"));
    EXPECT_EQ(Cell(1, kAmount), QStringLiteral("0.5"));
    EXPECT_EQ(Entries()[1].weight, 122);
    EXPECT_EQ(Cell(2, kName), QStringLiteral("Apple"));

    // Saved and read back, the units are still the user's.
    const std::string file = folder.File("units");
    ASSERT_TRUE(doc->OnSaveDocument(file));
    auto reopened = std::make_unique<CVelmoraDoc>(doc->App());
    ASSERT_TRUE(reopened->OnOpenDocument(file));
    const auto& foods = reopened->DayFoods();
    ASSERT_EQ(foods.size(), 3u);
    EXPECT_EQ(foods[1].UnitName(), "cup");
    EXPECT_EQ(foods[0].UnitName(), "slice");
}

TEST(FoodComparison, OpensTheReportOfTheSelectedEntryAndTheTreeFood) {
    RunningApp run;
    ASSERT_TRUE(run.Start());
    std::filesystem::copy(std::string(VELMORA_SOURCE_DIR) + "/data/xslt", run.Folder().File("xslt"));
    CViewIngredients* view = OpenAnnsFoodTab(run);
    ASSERT_NE(view, nullptr);
    // Ann's day holds Nuts.
    ASSERT_EQ(view->FoodList().rowCount(), 1);
    view->FoodList().selectRow(0);
    EXPECT_FALSE(run.Main().IsCommandEnabled(Gui::CommandId::ReportFoodComparison));

    ASSERT_NE(view->Tree().ShowFood(run.App().DataSource(), FoodKey(102, 7)), nullptr);
    EXPECT_TRUE(run.Main().IsCommandEnabled(Gui::CommandId::ReportFoodComparison));
    run.Main().ExecuteCommand(Gui::CommandId::ReportFoodComparison);
    ASSERT_EQ(run.shell.opened.size(), 1u);
    EXPECT_NE(run.shell.opened[0].find("/export.htm"), std::string::npos);
    const std::string page = run.Folder().Read("export.htm");
    EXPECT_NE(page.find("Nuts"), std::string::npos);
    EXPECT_NE(page.find("Salt"), std::string::npos);
    EXPECT_EQ(page.find("Stew"), std::string::npos);
}

TEST(FoodComparison, ShowsEachFoodOnceAndTakesAFoodFoundBySearch) {
    RunningApp run;
    ASSERT_TRUE(run.Start());
    CViewIngredients* view = OpenAnnsFoodTab(run);
    ASSERT_NE(view, nullptr);
    const FoodKey nuts = run.App().DocManager()->Documents().front()->DayFoods().at(0).GetFoodKey();
    auto columns = [&run](const std::string& name) {
        const std::string page = run.Folder().Read("export.htm");
        std::size_t count = 0;
        for (auto at = page.find(name); at != std::string::npos; at = page.find(name, at + 1)) ++count;
        return count;
    };

    // The day's Nuts selected and shown in the tree too: one food, nothing to compare.
    view->FoodList().selectRow(0);
    ASSERT_NE(view->Tree().ShowFood(run.App().DataSource(), nuts), nullptr);
    EXPECT_EQ(view->ComparisonFoods(), std::vector<FoodKey>{nuts});
    EXPECT_FALSE(run.Main().IsCommandEnabled(Gui::CommandId::ReportFoodComparison));

    // A food picked from the search results goes beside it.
    view->SearchBox().setText(QStringLiteral("salt"));
    view->StartSearch();
    run.App().SearchWorkers().WaitForAll();
    QCoreApplication::processEvents();
    ASSERT_GE(view->Results().rowCount(), 1);
    view->Results().selectRow(0);
    EXPECT_TRUE(run.Main().IsCommandEnabled(Gui::CommandId::ReportFoodComparison));
    run.Main().ExecuteCommand(Gui::CommandId::ReportFoodComparison);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{});
    ASSERT_EQ(run.shell.opened.size(), 1u);
    EXPECT_EQ(view->ComparisonFoods().size(), 2u);
    EXPECT_EQ(columns("Nuts"), 1u);
    EXPECT_EQ(columns("Salt"), 1u);
}

}  // namespace

namespace {

// Every other test makes new profiles with the setting off, and would hang on the dialog if it
// opened regardless.
TEST(DietWizard, ANewProfileStartsInTheFoodSelectionWhenTheSettingAsksForIt) {
    RunningApp::Config config;
    config.runWizard = true;
    RunningApp run(config);
    ASSERT_TRUE(run.Start());
    bool opened = false;
    OnNextDialog<DlgSelectIngredients>([&](DlgSelectIngredients& dialog) {
        opened = true;
        dialog.reject();
    });
    run.Main().ExecuteCommand(Gui::CommandId::FileNew);
    EXPECT_TRUE(opened);
    ASSERT_NE(run.Main().ActiveChildFrame(), nullptr) << "the profile stays open after the wizard";
}

// Duplicate Food starts the copy under a name of its own; where two tables still hold one name,
// the search results say which table each comes from.
TEST(OwnFoods, DuplicateNamesTheCopyAndResultsTellTheTablesApart) {
    RunningApp run;
    ASSERT_TRUE(run.Start());
    CViewIngredients* view = OpenAnnsFoodTab(run);
    ASSERT_NE(view, nullptr);
    auto duplicate = [&](const QString& nameGiven) {
        QString offered;
        OnNextDialog<QDialog>([&](QDialog& d) {
            auto* name = d.findChild<QLineEdit*>(QStringLiteral("name"));
            offered = name->text();
            if (!nameGiven.isEmpty()) name->setText(nameGiven);
            d.accept();
        });
        run.Main().ExecuteCommand(Gui::CommandId::DuplicateFood);
        return offered;
    };
    auto results = [&](const char* text) {
        view->SearchBox().setText(QString::fromUtf8(text));
        view->StartSearch();
        run.App().SearchWorkers().WaitForAll();
        QCoreApplication::processEvents();
        QStringList names;
        for (int row = 0; row < view->Results().rowCount(); ++row) names << view->Results().item(row, 0)->text();
        return names;
    };

    ASSERT_NE(view->Tree().ShowFood(run.App().DataSource(), FoodKey(102, 7)), nullptr);
    EXPECT_EQ(duplicate({}), QStringLiteral("Salt (copy)"));
    EXPECT_EQ(results("salt"), (QStringList{"Salt", "Salt (copy)"}));
    // The copy of the original again gets the next free name.
    ASSERT_NE(view->Tree().ShowFood(run.App().DataSource(), FoodKey(102, 7)), nullptr);
    EXPECT_EQ(duplicate(QStringLiteral("salt")), QStringLiteral("Salt (copy 2)"));
    EXPECT_EQ(results("salt"), (QStringList{"Salt (Test Foods)", "salt (My Foods)", "Salt (copy)"}));
}

}  // namespace
