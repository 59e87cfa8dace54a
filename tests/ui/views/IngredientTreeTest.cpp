#include "support/GuiSupport.h"

#include "document/ProfileDocument.h"
#include "refdata/FoodGroup.h"
#include "refdata/Ingredient.h"
#include "ui/views/IngredientTree.h"

#include "model/DayFood.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

TEST(IngredientTree, GroupsAreFilledOnFirstExpansionAndFoodsAreFound) {
    TestApp app;
    CIngredientTree tree;
    QTreeWidgetItem* root = tree.AddDataSource(app.source);
    EXPECT_EQ(root->childCount(), 0);
    root->setExpanded(true);
    ASSERT_GT(root->childCount(), 0);
    const int filled = root->childCount();
    tree.Populate(root);
    EXPECT_EQ(root->childCount(), filled);

    const auto& entry = app.source.Foods()[0];
    const CDS_FoodGroup* group = app.source.GroupOfFood(entry.key);
    ASSERT_NE(group, nullptr);
    // Open the food's groups from the root down.
    std::vector<const CDS_FoodGroup*> chain;
    for (const CDS_FoodGroup* g = group; g && g->parent; g = g->parent) chain.insert(chain.begin(), g);
    QTreeWidgetItem* at = root;
    for (const CDS_FoodGroup* g : chain) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < at->childCount() && !next; ++i)
            if (tree.GroupOfItem(at->child(i)) == g) next = at->child(i);
        ASSERT_NE(next, nullptr);
        next->setExpanded(true);
        at = next;
    }
    QTreeWidgetItem* item = tree.ItemOfFood(entry.key);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(tree.IsFoodItem(item));
    EXPECT_EQ(tree.FoodOfItem(item), entry.food);
    EXPECT_FALSE(tree.IsFoodItem(root));
    EXPECT_EQ(tree.FoodOfItem(root), nullptr);

    const qint64 before = item->icon(0).cacheKey();
    EXPECT_TRUE(tree.UpdateFoodIcon(entry.key, kFoodWithMeal));
    EXPECT_NE(item->icon(0).cacheKey(), before);
}

TEST(IngredientTree, EverySortOfItemHasAPictureOfItsOwn) {
    using Kind = CIngredientTree::IconKind;
    const Kind kinds[] = {Kind::DataSource,      Kind::Group,        Kind::Food,
                          Kind::FoodWithoutMeal, Kind::FoodWithMeal, Kind::Category};
    for (Kind a : kinds) {
        for (Kind b : kinds) {
            if (a == b) continue;
            EXPECT_NE(CIngredientTree::Icon(a).pixmap(16).toImage(), CIngredientTree::Icon(b).pixmap(16).toImage())
                << int(a) << " " << int(b);
        }
    }
    // An entry without a meal decides whatever else the day holds.
    EXPECT_EQ(CIngredientTree::FoodIconKind(0), Kind::Food);
    EXPECT_EQ(CIngredientTree::FoodIconKind(kFoodWithMeal), Kind::FoodWithMeal);
    EXPECT_EQ(CIngredientTree::FoodIconKind(kFoodWithoutMeal), Kind::FoodWithoutMeal);
    EXPECT_EQ(CIngredientTree::FoodIconKind(kFoodWithoutMeal | kFoodWithMeal), Kind::FoodWithoutMeal);
}

// The tree of tests/data/ui/food-tab.xml: milk, cheese and apple in one group, beef in a group
// nested in another.
class FoodTree : public ::testing::Test {
protected:
    FoodTree() {
        std::string error;
        EXPECT_TRUE(source.Load(TestFile("ui/food-tab.xml"), {}, error)) << error;
    }

    // The items below a group as "text" for a food and "text[children]" for a category or a
    // group (filled on the way), separated by "|".
    static std::string Outline(QTreeWidgetItem* item, CIngredientTree& tree) {
        tree.Populate(item);
        std::string text;
        for (int i = 0; i < item->childCount(); ++i) {
            QTreeWidgetItem* child = item->child(i);
            if (i) text += "|";
            text += child->text(0).toStdString();
            if (tree.IsFoodItem(child)) continue;
            text += '[';
            text += Outline(child, tree);
            text += ']';
        }
        return text;
    }

    // The group's item of a new tree with the given settings (none: the tree's own), expanded.
    std::string GroupOutline(std::optional<CIngredientTree::Options> options, const FoodKey& anyFoodOfTheGroup) {
        CIngredientTree tree;
        if (options) tree.SetOptions(*options);
        tree.AddDataSource(source);
        QTreeWidgetItem* item = tree.ShowFood(source, anyFoodOfTheGroup);
        if (!item) return "<not found>";
        while (!tree.GroupOfItem(item)) item = item->parent();
        return Outline(item, tree);
    }

    CDataSourceMgr source;
};

struct HierarchyCase {
    int depth;
    int size;
    bool fullTitle;
    int key;  // a food of the group shown
    std::string outline;
};

class SmartHierarchyItems : public FoodTree, public ::testing::WithParamInterface<HierarchyCase> {};

TEST_P(SmartHierarchyItems, AreTheTreesItems) {
    const HierarchyCase& c = GetParam();
    EXPECT_EQ(GroupOutline(CIngredientTree::Options{c.depth, c.size, c.fullTitle}, FoodKey(c.key, 5)), c.outline);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SmartHierarchyItems,
    ::testing::Values(
        HierarchyCase{2, 2, false, 1001, "Milk[ whole| skim| dry, nonfat]|Cheese, cheddar|Apple"},
        HierarchyCase{2, 3, false, 1001, "Milk[ whole| skim| dry, nonfat]|Cheese, cheddar|Apple"},
        HierarchyCase{2, 4, false, 1001, "Milk, whole|Milk, skim|Milk, dry, nonfat|Cheese, cheddar|Apple"},
        HierarchyCase{0, 2, false, 1001, "Milk, whole|Milk, skim|Milk, dry, nonfat|Cheese, cheddar|Apple"},
        HierarchyCase{2, 2, true, 1001, "Milk[Milk, whole|Milk, skim|Milk, dry, nonfat]|Cheese, cheddar|Apple"},
        HierarchyCase{2, 2, false, 13003, "Beef[ ground[ raw| cooked]| steak[ raw| cooked]| liver]"},
        HierarchyCase{1, 2, false, 13003, "Beef[ ground, raw| ground, cooked| steak, raw| steak, cooked| liver]"},
        HierarchyCase{2, 6, false, 13003,
                      "Beef, ground, raw|Beef, ground, cooked|Beef, steak, raw|Beef, steak, cooked|Beef, liver"},
        // Subgroups come before the group's own foods.
        HierarchyCase{2, 2, false, 13100,
                      "Beef cuts[Beef[ ground[ raw| cooked]| steak[ raw| cooked]| liver]]|Beef, jerky"}));

TEST_F(FoodTree, WithoutTheUsersSettingsCategoriesNeedThreeFoodsOnTwoLevels) {
    EXPECT_EQ(GroupOutline(std::nullopt, FoodKey(1001, 5)), "Milk[ whole| skim| dry, nonfat]|Cheese, cheddar|Apple");
    EXPECT_EQ(GroupOutline(std::nullopt, FoodKey(13003, 5)),
              "Beef[ ground, raw| ground, cooked| steak, raw| steak, cooked| liver]");
}

TEST_F(FoodTree, OnlyGroupsThatHoldSomethingCanBeOpened) {
    CIngredientTree tree;
    QTreeWidgetItem* root = tree.AddDataSource(source);
    EXPECT_EQ(root->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    tree.Populate(root);
    std::map<std::string, QTreeWidgetItem::ChildIndicatorPolicy> groups;
    for (int i = 0; i < root->childCount(); ++i)
        groups[root->child(i)->text(0).toStdString()] = root->child(i)->childIndicatorPolicy();
    EXPECT_EQ(groups, (std::map<std::string, QTreeWidgetItem::ChildIndicatorPolicy>{
                          {"Dairy and Egg Products", QTreeWidgetItem::ShowIndicator},
                          {"Beef Products", QTreeWidgetItem::ShowIndicator},
                          {"Spices and Herbs", QTreeWidgetItem::DontShowIndicator}}));
}

TEST_F(FoodTree, FoodItemsAreMarkedAgainstTheStatusListWhenMadeAndLater) {
    auto entry = [&](int key, const std::string& meal) {
        UserLog::CDayFood e(std::make_shared<CDS_Ingredient>(*source.FindFood(FoodKey(key, 5))));
        e.meal = meal;
        return e;
    };
    CIngredientTree tree;
    tree.SetOptions({2, 2, false});
    tree.AddDataSource(source);
    tree.SetStatusList({entry(1001, ""), entry(1001, "Lunch"), entry(1002, "Lunch")});
    tree.ShowFood(source, FoodKey(1001, 5));
    using Kind = CIngredientTree::IconKind;
    auto shows = [&](int key, Kind kind) {
        return tree.ItemOfFood(FoodKey(key, 5))->icon(0).cacheKey() == CIngredientTree::Icon(kind).cacheKey();
    };
    EXPECT_TRUE(shows(1001, Kind::FoodWithoutMeal));
    EXPECT_TRUE(shows(1002, Kind::FoodWithMeal));
    EXPECT_TRUE(shows(1004, Kind::Food));

    tree.SetStatusList({entry(1004, "")});
    tree.UpdateAllFoodIcons();
    EXPECT_TRUE(shows(1001, Kind::Food));
    EXPECT_TRUE(shows(1004, Kind::FoodWithoutMeal));
    // Foods of groups never opened have no item to update.
    EXPECT_FALSE(tree.UpdateFoodIcon(FoodKey(13001, 5), kFoodWithMeal));
}

}  // namespace
