#include "GuiSupport.h"

#include "document/ProfileDocument.h"
#include "refdata/FoodGroup.h"
#include "refdata/Ingredient.h"
#include "ui/IngredientTree.h"

#include <gtest/gtest.h>

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

TEST(IngredientTree, StatusIconsDiffer) {
    QImage a = CIngredientTree::StatusIcon(0, false).pixmap(16).toImage();
    QImage b = CIngredientTree::StatusIcon(kFoodWithMeal, false).pixmap(16).toImage();
    QImage c = CIngredientTree::StatusIcon(kFoodWithoutMeal, false).pixmap(16).toImage();
    QImage d = CIngredientTree::StatusIcon(0, true).pixmap(16).toImage();
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, d);
}

}  // namespace
