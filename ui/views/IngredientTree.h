#pragma once

// moc can't parse the standard headers FoodKey pulls in, and needs nothing from it.
#ifndef Q_MOC_RUN
#include "model/DayFood.h"
#include "refdata/FoodKey.h"
#endif

#include <QTreeWidget>

#include <map>
#include <vector>

class CDataSourceMgr;
class CDS_FoodGroup;
class CDS_Ingredient;
namespace Gui {
struct CAppContext;
}

// The food tree: one root per data source, its groups and subgroups, and below each group its
// foods arranged by the smart hierarchy. A group's contents are made when it is first expanded,
// so that a large data source costs nothing until it is opened.
class CIngredientTree : public QTreeWidget {
    Q_OBJECT
public:
    // Until the owner passes the user's settings: two levels of categories of three foods or more.
    struct Options {
        int depth = 2;
        int size = 3;
        bool useFullTitle = false;
    };

    explicit CIngredientTree(QWidget* parent = nullptr);

    void SetOptions(const Options& options) { options_ = options; }
    // What the food tab and the food selection show: the user's smart-hierarchy settings (two
    // levels of two foods without them), items marked against `entries`, and the program's data
    // source as an open root.
    void ShowProgramFoods(const Gui::CAppContext& app, std::vector<UserLog::CDayFood> entries);
    QTreeWidgetItem* AddDataSource(const CDataSourceMgr& source);
    // One top-level item per food table, the first opened; made again after a table changed,
    // keeping the tables that were open open.
    void ShowTables(const CDataSourceMgr& source);
    // Fills a group item with its subgroups and foods unless that was done already.
    void Populate(QTreeWidgetItem* item);
    // `status` holds the FoodStatusFlags of the food against the day's entries.
    // False when the food has no item yet.
    bool UpdateFoodIcon(const FoodKey& key, unsigned status);
    // The entries food items are marked against when they are made.
    void SetStatusList(std::vector<UserLog::CDayFood> entries) { statusList_ = std::move(entries); }

    bool IsFoodItem(const QTreeWidgetItem* item) const;
    const CDS_Ingredient* FoodOfItem(const QTreeWidgetItem* item) const;
    const CDS_FoodGroup* GroupOfItem(const QTreeWidgetItem* item) const;
    // The item of a food once its group has been filled; null otherwise.
    QTreeWidgetItem* ItemOfFood(const FoodKey& key) const;

    // The item of the food after opening the groups from the data source's root down to the
    // food's group (and through the categories that hold it); null when the tree has no item for
    // it. The item is selected and scrolled into view.
    QTreeWidgetItem* ShowFood(const CDataSourceMgr& source, const FoodKey& key);
    // Brings every food item made so far up to date with the status list.
    void UpdateAllFoodIcons();

    // The six pictures of the tree, by what an item is.
    enum class IconKind { DataSource = 0, Group, Food, FoodWithoutMeal, FoodWithMeal, Category };
    static const QIcon& Icon(IconKind kind);
    // The picture of a food item for its FoodStatusFlags.
    static IconKind FoodIconKind(unsigned status);

private:
    void OnExpanded(QTreeWidgetItem* item);
    QTreeWidgetItem* AddTable(const CDS_FoodGroup& root);
    void SetFoodIcon(QTreeWidgetItem* item, unsigned status);

    Options options_;
    std::vector<UserLog::CDayFood> statusList_;
    std::map<FoodKey, QTreeWidgetItem*> items_;
};
