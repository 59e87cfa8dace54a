#include "support/GuiSupport.h"

#include "support/FakeServices.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/EverydayFoods.h"
#include "refdata/FoodSearch.h"
#include "refdata/MyFoods.h"
#include "ui/dialogs/DlgRecipe.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr FoodKey kWholeMilk{1001, 7};  // 1 cup = 244 g; protein 3.15, fat 3.25, carbohydrate 4.8 in 100 g

class RecipeDialog : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(source.Load(TestFile("refdata/sample.xml"), {}, error)) << error;
        ASSERT_TRUE(mine.Load(folder.File("my-foods.xml"), error)) << error;
        app.dataSource = &source;
        app.myFoods = &mine;
    }

    static QTableWidget* Table(QWidget* w) { return w->findChild<QTableWidget*>(QStringLiteral("ingredients")); }
    static QDoubleSpinBox* Spin(QWidget* w, const char* name) {
        return w->findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
    }
    static void Search(QWidget* w, const char* text) {
        w->findChild<QLineEdit*>(QStringLiteral("search"))->setText(QString::fromUtf8(text));
    }
    static void ClickOk(QWidget* w) {
        w->findChild<QDialogButtonBox*>(QStringLiteral("buttons"))->button(QDialogButtonBox::Ok)->click();
    }

    CDataSourceMgr source;
    TempDir folder;
    CMyFoods mine{source};
    Gui::CAppContext app;
};

TEST_F(RecipeDialog, FoodsFoundBecomeIngredientsOfTheSavedRecipe) {
    QString preview;
    OnNextDialog<QDialog>([&](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Milk blend"));
        Search(&d, "milk, wh");
        auto* results = d.findChild<QListWidget*>(QStringLiteral("results"));
        ASSERT_EQ(results->count(), 1);
        results->setCurrentRow(0);
        QTest::keyClick(results, Qt::Key_Return);
        Search(&d, "skim");
        QTest::keyClick(d.findChild<QLineEdit*>(QStringLiteral("search")), Qt::Key_Return);
        ASSERT_EQ(Table(&d)->rowCount(), 2);
        ASSERT_TRUE(d.isVisible());  // Enter adds a food, it doesn't close the dialog
        static_cast<QDoubleSpinBox*>(Table(&d)->cellWidget(0, 1))->setValue(2.0);
        EXPECT_EQ(Table(&d)->item(0, 3)->text(), QStringLiteral("488.0"));
        Spin(&d, "cookedWeight")->setValue(500.0);
        Spin(&d, "servings")->setValue(4.0);
        preview = d.findChild<QLabel*>(QStringLiteral("preview"))->text();
        ClickOk(&d);
    });
    const auto key = Gui::EditRecipe(nullptr, app, std::nullopt, MyFood{});
    ASSERT_TRUE(key);
    const MyFood* saved = mine.Find(*key);
    ASSERT_TRUE(saved && saved->recipe);
    EXPECT_EQ(saved->food.Name(), "Milk blend");
    EXPECT_EQ(saved->group, MyFoods::kRecipesGroup);
    const Recipe& r = *saved->recipe;
    ASSERT_EQ(r.ingredients.size(), 2u);
    // Two cups of whole milk (2 × 244 g) and the first portion of skim milk, one cup of 245 g.
    EXPECT_EQ(r.ingredients[0], (RecipeIngredient{kWholeMilk, "Milk, whole", 2.0, "1 cup", 488.0}));
    EXPECT_EQ(r.ingredients[1], (RecipeIngredient{FoodKey(1002, 7), "Milk, skim", 1.0, "1 cup", 245.0}));
    EXPECT_EQ(r.cookedWeight, 500.0);
    EXPECT_EQ(r.servings, 4.0);
    // Only the whole milk has protein: 3.15 × 4.88 = 15.372 g in the 500 g cooked, 3.0744 in 100 g,
    // 3.843 in a serving of 125 g.
    EXPECT_NEAR(saved->food.NutrientValue(3), 3.0744, 1e-9);
    EXPECT_TRUE(preview.contains(QStringLiteral("Per serving (125.0 g)"))) << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("protein 3.8 g"))) << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("protein 3.1 g"))) << preview.toStdString();
    EXPECT_TRUE(std::filesystem::exists(folder.File("my-foods.xml")));
}

// The ingredient search ranks as the Food tab's does: the everyday form first, then by how the
// words fit and the shorter names; where two tables hold one name, each says its table.
TEST_F(RecipeDialog, FoundFoodsAreRankedAsOnTheFoodTab) {
    CFoodSearchContext search;
    auto everyday = std::make_shared<CEverydayFoods>();
    everyday->Add(kWholeMilk, {"milk"});
    search.SetEverydayFoods(everyday);
    app.searchContext = &search;
    MyFood own;
    own.food.SetName("Milk, skim");
    own.group = MyFoods::kFoodsGroup;
    std::string error;
    ASSERT_TRUE(mine.Add(own, error)) << error;
    QStringList shown;
    OnNextDialog<QDialog>([&](QDialog& d) {
        Search(&d, "milk");
        auto* results = d.findChild<QListWidget*>(QStringLiteral("results"));
        for (int row = 0; row < results->count(); ++row) shown << results->item(row)->text();
        d.reject();
    });
    Gui::EditRecipe(nullptr, app, std::nullopt, MyFood{});
    EXPECT_EQ(shown,
              (QStringList{"Milk, whole", "Milk, skim (Sample Foods)", "Milk, skim (My Foods)", "Milk, dry, nonfat"}));
}

TEST_F(RecipeDialog, StartEntriesBecomeIngredientsAndMissingFoodsAreMarked) {
    MyFood start;
    start.recipe = Recipe{{RecipeIngredient{kWholeMilk, "Milk, whole", 2.0, "1 cup", 488.0},
                           RecipeIngredient{FoodKey(99999, 7), "Gone food", 3.0, "slice", 90.0}},
                          0.0,
                          2.0};
    OnNextDialog<QDialog>([&](QDialog& d) {
        QTableWidget* t = Table(&d);
        ASSERT_EQ(t->rowCount(), 2);
        EXPECT_EQ(t->item(0, 0)->text(), QStringLiteral("Milk, whole"));
        EXPECT_EQ(static_cast<QDoubleSpinBox*>(t->cellWidget(0, 1))->value(), 2.0);
        EXPECT_EQ(static_cast<QComboBox*>(t->cellWidget(0, 2))->currentText(), QStringLiteral("1 cup"));
        EXPECT_EQ(t->item(0, 3)->text(), QStringLiteral("488.0"));
        EXPECT_EQ(t->item(1, 0)->text(), QStringLiteral("Gone food (missing)"));
        EXPECT_EQ(static_cast<QComboBox*>(t->cellWidget(1, 2))->currentText(), QStringLiteral("slice"));
        EXPECT_EQ(t->item(1, 3)->text(), QStringLiteral("90.0"));
        EXPECT_EQ(Spin(&d, "servings")->value(), 2.0);
        EXPECT_EQ(Spin(&d, "cookedWeight")->text(), QStringLiteral("sum of ingredients"));
        d.reject();
    });
    EXPECT_FALSE(Gui::EditRecipe(nullptr, app, std::nullopt, start));
    EXPECT_TRUE(mine.Foods().empty());
}

TEST_F(RecipeDialog, RefusedRecipeIsReportedAndNothingWritten) {
    MyFood cocoa;
    cocoa.food.SetName("Cocoa drink");
    cocoa.group = MyFoods::kRecipesGroup;
    cocoa.recipe = Recipe{{RecipeIngredient{kWholeMilk, "Milk, whole", 1.0, "1 cup", 244.0}}, 0.0, 1.0};
    std::string error;
    const auto key = mine.Add(cocoa, error);
    ASSERT_TRUE(key) << error;
    const std::string before = folder.Read("my-foods.xml");

    RecordingPrompt prompt;
    bool openAfterRefusal = false;
    OnNextDialog<QDialog>([&](QDialog& d) {
        // The recipe put into itself.
        Search(&d, "cocoa");
        QTest::keyClick(d.findChild<QLineEdit*>(QStringLiteral("search")), Qt::Key_Return);
        ASSERT_EQ(Table(&d)->rowCount(), 2);
        ClickOk(&d);
        openAfterRefusal = d.isVisible();
        d.reject();
    });
    EXPECT_FALSE(Gui::EditRecipe(nullptr, app, key, MyFood{}));
    EXPECT_TRUE(openAfterRefusal);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_TRUE(prompt.messages[0].starts_with("A recipe can't be an ingredient of itself")) << prompt.messages[0];
    EXPECT_EQ(folder.Read("my-foods.xml"), before);
    EXPECT_EQ(mine.Find(*key)->recipe->ingredients.size(), 1u);
}

}  // namespace
