#pragma once

#include "ViewBase.h"

// moc can't parse the standard headers these pull in, and needs nothing from them.
#ifndef Q_MOC_RUN
#include "document/viewmodel/RecentFoods.h"
#include "refdata/FoodKey.h"
#include "refdata/FoodSearch.h"
#endif

#include "widgets/ReportList.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CCellGrid;
class QAbstractItemDelegate;
class CIngredientTree;
class CRecentFoodsList;
class QLabel;
class QLineEdit;
class QTimer;
class QPushButton;
class QSplitter;
class QToolButton;
class QTreeWidgetItem;

// The "Food" tab: the food tree and the food search on the left and top, the current day's food
// list with its meal, unit, amount and weight, and the "Nutrients By Food" grid below.
class CViewIngredients : public CViewBase {
    Q_OBJECT
public:
    explicit CViewIngredients(QWidget* parent = nullptr);
    ~CViewIngredients() override;

    void OnInitialUpdate() override;

    // ---- the controls, for whoever drives the view ----
    CIngredientTree& Tree() const { return *tree_; }
    CReportList& FoodList() const { return *list_; }
    // What each meal of the day adds up to, one row a meal, under the day's list.
    CReportList& SubtotalList() const { return *subtotals_; }
    // Opens and folds the subtotals; folded, it names each meal's energy on its one line.
    QToolButton& SubtotalFold() const { return *subtotalFold_; }
    CReportList& Results() const { return *results_; }
    QLineEdit& SearchBox() const { return *searchBox_; }
    QPushButton& AddButton() const { return *add_; }
    QPushButton& DeleteButton() const { return *delete_; }
    QPushButton& ClearButton() const { return *clear_; }
    QPushButton& UpButton() const { return *up_; }
    QPushButton& DownButton() const { return *down_; }
    QPushButton& SearchButton() const { return *searchButton_; }
    // The favourite, recent and most logged foods beside the search.
    CRecentFoodsList& RecentList() const { return *recent_; }
    // "Nutrients By Food".
    CCellGrid& Grid() const { return *grid_; }

    // ---- what the controls do ----
    void OnAdd();
    void OnDelete();
    void OnClear();
    void OnUp();
    void OnDown();
    // A drop-down of the list closed on a choice: column 1 the meal, column 2 the unit.
    void OnCellChoiceFinished(int row, int column, const QString& text);
    // A text cell of the list was edited: column 3 the amount, column 4 the weight.
    void OnCellTextEditFinished(int row, int column, const QString& text);
    // Searches for the search box's text on a worker thread; the results arrive later.
    void OnFoodTablesChanged();
    // The food of the tree's current item, else of the first selected entry of the day.
    std::optional<FoodKey> SelectedFood() const;
    void OnNewFood(std::optional<FoodKey> from);
    void OnEditFood();
    void OnDeleteFood();
    void OnSaveAsRecipe();
    void ShowFoodsMenu(const QPoint& at);
    void StartSearch();
    // The selected rows of the day food list, in list order.
    std::vector<int> SelectedRows() const;
    // The meal of the first selected entry of the day.
    std::optional<std::string> SelectedMeal() const override;
    // The food of the tree's selected item, or nullopt when that is no food.
    std::optional<FoodKey> TreeFood() const;
    // The foods the "Food Comparison" command compares; it runs with two or more.
    std::vector<FoodKey> ComparisonFoods() const;
    // "Food Comparison": the report of those foods side by side.
    void OnCompareFoods();

protected:
    bool DoDataExchange(bool save) override;
    void resizeEvent(QResizeEvent* event) override;
    // Enter on a food of the tree logs it, as a double click does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList();
    // Stores what is being typed into a cell of the list, as if the user had pressed Enter.
    void FinishListEdit();
    // Moves the one selected entry up (-1) or down (1), with its remembered grid row size.
    void MoveSelected(int step);
    void SetRow(int row);
    void UpdateButtons();
    // Refills the meal subtotals from the day's entries.
    void UpdateSubtotals();
    void ShowSubtotals(bool open);
    void RebuildGrid();
    // Keeps a size the user gave a grid row in the "Food" layout.
    void StoreRowSize(int gridRow, int height);
    void StoreColumnSize(int column, int width);
    void RefreshTreeIcons();
    void OnSearchTextChanged(const QString& text);
    // A worker's result list, with the same foods ranked; shown only while it is the search's latest.
    void ShowResults(const std::shared_ptr<const FoodMatchList>& list, const FoodMatchList& ranked);
    void OnResultSelected();
    // Enter or a double click on a found food: logged ready to count (one portion, the meal of
    // the time of day), with the amount open for typing.
    void OnResultActivated();
    // The tree's food onto the day, ready to count.
    void AddTreeFood();
    // A row for the day's new last entry, with its amount open for typing: the entry counts
    // already, and a number and Enter correct how much was eaten.
    void ShowAddedEntry();
    void FillRecent();
    // Logs the food again at the amount and unit it was last logged at.
    void OnRecentChosen(int key, int source);
    void OnRecentStarToggled(int key, int source);
    void OnTreeDoubleClicked(QTreeWidgetItem* item);
    void OnSelectionChanged();
    void ApplyProportions();

    CIngredientTree* tree_ = nullptr;
    CRecentFoodsList* recent_ = nullptr;
    // What the recent list shows, with the amounts its foods are logged at.
    std::vector<RecentFoods::Item> recentItems_;
    CReportList* list_ = nullptr;
    CReportList* subtotals_ = nullptr;
    QToolButton* subtotalFold_ = nullptr;
    CReportList* results_ = nullptr;
    QAbstractItemDelegate* listDelegate_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    // How many foods the search found.
    QLabel* resultCount_ = nullptr;
    // Typing searches once the keys pause, so a fast typist's every letter doesn't start a scan.
    QTimer* searchTimer_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    CCellGrid* grid_ = nullptr;
    QSplitter* outer_ = nullptr;
    QSplitter* upper_ = nullptr;
    QSplitter* right_ = nullptr;
    QStringList mealNames_;
    bool initialised_ = false;
    bool proportionsApplied_ = false;
    // Set while the list is refilled, so that its selection signals don't rebuild the grid per row.
    bool filling_ = false;
    // The day the list shows, whose marked cells a refill keeps.
    std::string listDate_;
};
