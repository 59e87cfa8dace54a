// Several food tables at once, and the user's own table of foods and recipes.

#include "refdata/DataSourceMgr.h"
#include "refdata/FoodSearch.h"
#include "refdata/MyFoods.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

namespace {

using ::testing::HasSubstr;

const std::string kSample = std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/sample.xml";

// A second table: its own ID, a food whose key the first table also has, and a nutrient the first
// table lacks (291, fibre).
const char* const kSecond = R"(<?xml version="1.0" encoding="UTF-8"?>
<DataSource Name="Second Table" ID="2">
  <Nutrients>
    <Nutrient Name="Energy" Units="kcal" Accuracy="0" id="208"/>
    <Nutrient Name="Fiber, total dietary" Units="g" Accuracy="1" id="291"/>
  </Nutrients>
  <FoodGroups>
    <FoodGroup id="Cereals" code="1">
      <Food Name="Rice, raw, milled" key="1001">
        <Nutrition><E N="1" V="356"/><E N="11" V="2.8"/></Nutrition>
        <EnergyFactors/><Units main="1"/>
      </Food>
    </FoodGroup>
  </FoodGroups>
</DataSource>
)";

std::string WithId(std::string text, const std::string& id) {
    text.replace(text.find("ID=\"2\""), 6, "ID=\"" + id + "\"");
    return text;
}

class Tables : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mgr.Load(kSample, {}, error)) << error; }

    TempDir dir;
    CDataSourceMgr mgr;
    std::string error;
};

}  // namespace

TEST_F(Tables, AFurtherTableKeepsItsIdSoEqualKeysStayApart) {
    dir.Write("second.xml", kSecond);
    ASSERT_TRUE(mgr.AddTable(dir.File("second.xml"), error)) << error;

    ASSERT_EQ(2u, mgr.Tables().size());
    EXPECT_EQ(&mgr.RootGroup(), mgr.Tables()[0].root);
    EXPECT_EQ("Second Table", mgr.Tables()[1].root->name);
    EXPECT_EQ(2, mgr.Tables()[1].sourceId);
    EXPECT_EQ("Milk, whole", mgr.FindFood(FoodKey(1001, 7))->Name());
    EXPECT_EQ("Rice, raw, milled", mgr.FindFood(FoodKey(1001, 2))->Name());
    // The group of the new table's food leads up to that table's root.
    const CDS_FoodGroup* group = mgr.GroupOfFood(FoodKey(1001, 2));
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(mgr.Tables()[1].root, group->parent);
    // Energy is known already; fibre is appended after the first table's nutrients.
    EXPECT_EQ(8u, mgr.Nutrients().size());
    EXPECT_EQ("Fiber, total dietary", mgr.Nutrients().back().name);
    // One search covers every table.
    EXPECT_EQ(1u, FoodSearch::Run(mgr, "milled").size());
    EXPECT_EQ(1u, FoodSearch::Run(mgr, "milk, whole").size());
}

TEST_F(Tables, ATableThatCantBeAddedAddsNothing) {
    struct Case {
        const char* what;
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"the first table's ID", WithId(kSecond, "7"), "is the ID of a table already loaded"},
        {"not well-formed", std::string(kSecond).substr(0, 200), "line 5"},
        {"a food without its units", R"(<DataSource Name="X" ID="3"><FoodGroups><FoodGroup id="G" code="1">
             <Food Name="A" key="1"><EnergyFactors/></Food></FoodGroup></FoodGroups></DataSource>)",
         "Units"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("bad.xml", c.text);
        std::string why;
        EXPECT_FALSE(mgr.AddTable(dir.File("bad.xml"), why));
        EXPECT_THAT(why, HasSubstr(CDataSourceMgr::kCantLoad));
        EXPECT_THAT(why, HasSubstr(c.reason));
        EXPECT_EQ(1u, mgr.Tables().size());
        EXPECT_EQ(7u, mgr.Nutrients().size());
        EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(1, 3)));
    }
}

TEST_F(Tables, AWritableTableIsReplacedWholeAndOldRecordsStayValid) {
    CDS_Ingredient soup;
    soup.SetName("Soup");
    soup.SetFoodKey(FoodKey(1, 0));
    ASSERT_TRUE(mgr.SetTable(1000, "My Foods", "my.xml", {{"My Foods", {soup}}, {"My Recipes", {}}}));
    const CDS_Ingredient* before = mgr.FindFood(FoodKey(1, 1000));
    ASSERT_NE(nullptr, before);
    const CDS_FoodGroup* oldGroup = mgr.GroupOfFood(FoodKey(1, 1000));

    soup.SetName("Tomato soup");
    CDS_Ingredient bread;
    bread.SetName("Bread");
    bread.SetFoodKey(FoodKey(2, 0));
    ASSERT_TRUE(mgr.SetTable(1000, "My Foods", "my.xml", {{"My Foods", {soup, bread}}, {"My Recipes", {}}}));

    EXPECT_EQ("Tomato soup", mgr.FindFood(FoodKey(1, 1000))->Name());
    EXPECT_EQ("Soup", before->Name());      // a view that held the old record still reads it
    EXPECT_EQ("My Foods", oldGroup->name);  // and its group
    ASSERT_EQ(2u, mgr.Tables().size());
    EXPECT_TRUE(mgr.Tables()[1].writable);
    EXPECT_EQ(2u, mgr.Tables()[1].root->subGroups.size());
    EXPECT_EQ(1u, FoodSearch::Run(mgr, "tomato").size());
    EXPECT_TRUE(FoodSearch::Run(mgr, "soup").size() == 1u);
    EXPECT_TRUE(FoodSearch::Run(mgr, "milk").size() > 0u);  // the other tables' foods are still indexed

    // A table read from a file is never replaced.
    EXPECT_FALSE(mgr.SetTable(7, "X", "x.xml", {}));
    EXPECT_EQ("Milk, whole", mgr.FindFood(FoodKey(1001, 7))->Name());
}

namespace {

class OwnFoods : public Tables {
protected:
    void SetUp() override {
        Tables::SetUp();
        path = dir.File("foods/my-foods.xml");
        ASSERT_TRUE(foods.Load(path, error)) << error;
    }

    static MyFood Food(const std::string& name, std::initializer_list<std::pair<int, double>> values) {
        MyFood f;
        f.food.SetName(name);
        for (const auto& [gid, v] : values) f.food.SetNutrientValue(gid, v);
        return f;
    }
    static MyFood RecipeOf(const std::string& name, std::vector<RecipeIngredient> ingredients, double cooked = 0.0,
                           double servings = 1.0) {
        MyFood f;
        f.food.SetName(name);
        f.recipe = Recipe{std::move(ingredients), cooked, servings};
        return f;
    }
    FoodKey Add(MyFood f) {
        auto key = foods.Add(std::move(f), error);
        EXPECT_TRUE(key) << error;
        return key.value_or(FoodKey());
    }

    CMyFoods foods{mgr};
    std::string path;
};

}  // namespace

TEST_F(OwnFoods, AFoodIsSavedAtOnceAndReadBackAfterARestart) {
    EXPECT_FALSE(std::filesystem::exists(path));  // created on first use
    ASSERT_EQ(2u, mgr.Tables().size());           // but shown at once, with its two groups

    MyFood bar = Food("Crème \"brûlée\" bar & </script>", {{1, 450}, {3, 7.5}});
    bar.food.AddUnit("bar", 40);
    const FoodKey key = Add(bar);
    EXPECT_EQ(FoodKey(1, MyFoods::kSourceId), key);
    EXPECT_EQ("Crème \"brûlée\" bar & </script>", mgr.FindFood(key)->Name());

    CDataSourceMgr again;
    ASSERT_TRUE(again.Load(kSample, {}, error));
    CMyFoods reread(again);
    ASSERT_TRUE(reread.Load(path, error)) << error;
    const CDS_Ingredient* food = again.FindFood(key);
    ASSERT_NE(nullptr, food);
    EXPECT_EQ(bar.food.Name(), food->Name());
    EXPECT_EQ(450, food->NutrientValue(1));
    EXPECT_EQ(7.5, food->NutrientValue(3));
    ASSERT_EQ(2u, food->Units().size());
    EXPECT_EQ("bar", food->Units()[1].name);
    EXPECT_EQ(40, food->Units()[1].grams);
    EXPECT_EQ(MyFoods::kFoodsGroup, again.GroupOfFood(key)->name);

    // The second change keeps the first file as the backup.
    Add(Food("Oat drink", {{1, 46}}));
    EXPECT_TRUE(std::filesystem::exists(path + "~"));
}

TEST_F(OwnFoods, RecipeValuesComeFromTheIngredients) {
    // Milk, whole: 61 kcal, protein 3.15 g, fat 3.25 g, carbohydrate 4.8 g, calcium 113 mg in 100 g,
    // factors P 4.27, F 8.79, C 3.87. Milk, skim: 34 kcal, calcium 122 mg, default factors.
    // 200 g whole + 100 g skim, cooked down to 250 g, 2 servings:
    //   energy  (2 × 61 + 34) × 100 / 250 = 62.4 kcal in 100 g
    //   calcium (2 × 113 + 122) × 100 / 250 = 139.2 mg in 100 g
    //   protein 2 × 3.15 × 100 / 250 = 2.52 g, with factor 4.27 as only whole milk has protein
    //   serving 250 / 2 = 125 g, whole recipe 250 g
    const FoodKey key = Add(RecipeOf(
        "Milk pudding",
        {{FoodKey(1001, 7), "Milk, whole", 200, "g", 200}, {FoodKey(1002, 7), "Milk, skim", 1, "cup", 100}}, 250, 2));
    const CDS_Ingredient* pudding = mgr.FindFood(key);
    ASSERT_NE(nullptr, pudding);
    EXPECT_DOUBLE_EQ(62.4, pudding->NutrientValue(1));
    EXPECT_DOUBLE_EQ(139.2, pudding->NutrientValue(12));
    EXPECT_DOUBLE_EQ(2.52, pudding->NutrientValue(3));
    EXPECT_DOUBLE_EQ(4.27, pudding->EnergyFactor(0));
    EXPECT_EQ(MyFoods::kRecipesGroup, mgr.GroupOfFood(key)->name);
    ASSERT_EQ(3u, pudding->Units().size());
    EXPECT_EQ((FoodUnit{MyFoods::kServing, 125}), pudding->Units()[1]);
    EXPECT_EQ((FoodUnit{MyFoods::kWholeRecipe, 250}), pudding->Units()[2]);
    // Energy from the components equals the sum of the ingredients' energies, in 100 g.
    const double whole = mgr.FindFood(FoodKey(1001, 7))->EnergyPer100g();
    const double skim = mgr.FindFood(FoodKey(1002, 7))->EnergyPer100g();
    EXPECT_NEAR((2 * whole + skim) * 100 / 250, pudding->EnergyPer100g(), 1e-9);

    // Without a cooked weight the recipe weighs what its ingredients weigh.
    const FoodKey plain = Add(RecipeOf("Milk mix", {{FoodKey(1001, 7), "Milk, whole", 200, "g", 200},
                                                    {FoodKey(1002, 7), "Milk, skim", 100, "g", 100}}));
    EXPECT_DOUBLE_EQ(52.0, mgr.FindFood(plain)->NutrientValue(1));  // (122 + 34) / 3
}

TEST_F(OwnFoods, ARecipeInARecipeFollowsItsIngredient) {
    const FoodKey base = Add(Food("Stock", {{1, 10}}));
    const FoodKey soup = Add(RecipeOf("Soup", {{base, "Stock", 300, "g", 300}}));
    const FoodKey meal = Add(
        RecipeOf("Soup and milk", {{soup, "Soup", 100, "g", 100}, {FoodKey(1002, 7), "Milk, skim", 100, "g", 100}}));
    EXPECT_DOUBLE_EQ(22.0, mgr.FindFood(meal)->NutrientValue(1));  // (10 + 34) / 2

    MyFood richer = Food("Stock", {{1, 30}});
    ASSERT_TRUE(foods.Replace(base, richer, error)) << error;
    EXPECT_DOUBLE_EQ(30.0, mgr.FindFood(soup)->NutrientValue(1));
    EXPECT_DOUBLE_EQ(32.0, mgr.FindFood(meal)->NutrientValue(1));  // (30 + 34) / 2

    // Soup may not be made with a recipe that is made with soup.
    MyFood cyclic = *foods.Find(soup);
    cyclic.recipe->ingredients.push_back({meal, "Soup and milk", 10, "g", 10});
    const std::string before = dir.Read("foods/my-foods.xml");
    EXPECT_FALSE(foods.Replace(soup, cyclic, error));
    EXPECT_EQ("\"Soup and milk\" can't be an ingredient of \"Soup\": it is made with \"Soup\".", error);
    cyclic.recipe->ingredients.back().food = soup;
    EXPECT_FALSE(foods.Replace(soup, cyclic, error));
    EXPECT_EQ("A recipe can't be an ingredient of itself: \"Soup\".", error);
    EXPECT_EQ(before, dir.Read("foods/my-foods.xml"));
}

TEST_F(OwnFoods, RefusedFoodsChangeNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        MyFood food;
        const char* message;
    };
    MyFood badPortion = Food("Bar", {{1, 400}});
    badPortion.food.AddUnit("bar", -40);
    std::vector<Case> cases = {
        {"no name", Food("  ", {{1, 1}}), "A food needs a name."},
        {"negative", Food("Bar", {{3, -1}}), "The amount of Protein in \"Bar\" must be a number of 0 or more."},
        {"not a number", Food("Bar", {{1, nan}}), "The amount of Energy in \"Bar\" must be a number of 0 or more."},
        {"infinite", Food("Bar", {{1, inf}}), "The amount of Energy in \"Bar\" must be a number of 0 or more."},
        {"a portion below 0 g", badPortion, "The portion \"bar\" of \"Bar\" must weigh more than 0 g."},
        {"no ingredients", RecipeOf("Stew", {}), "The recipe \"Stew\" needs at least one ingredient."},
        {"an unknown ingredient", RecipeOf("Stew", {{FoodKey(99, 7), "Gone", 1, "g", 1}}),
         "The ingredient \"Gone\" is not in the food tables."},
        {"no servings", RecipeOf("Stew", {{FoodKey(1001, 7), "Milk", 1, "g", 1}}, 0, 0),
         "The number of servings of \"Stew\" must be more than 0."},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(foods.Add(c.food, error));
        EXPECT_EQ(c.message, error);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(foods.Foods().empty());
}

TEST_F(OwnFoods, ADeletedFoodsKeyIsNeverGivenAgain) {
    const FoodKey first = Add(Food("A", {}));
    ASSERT_TRUE(foods.Remove(first, error)) << error;
    EXPECT_EQ(nullptr, mgr.FindFood(first));

    CDataSourceMgr again;
    CMyFoods reread(again);
    ASSERT_TRUE(reread.Load(path, error)) << error;
    auto second = reread.Add(Food("B", {}), error);
    ASSERT_TRUE(second);
    EXPECT_NE(first, *second);
}

TEST_F(OwnFoods, AnUnreadableFileIsMovedAsideBeforeTheFirstChange) {
    const std::string broken = R"(<DataSource Name="My Foods" ID="1000"><FoodGroups><FoodGroup id="My Foods" code="1">
        <Food Name="Bad" key="1"><Nutrition><E N="1" V="-5"/></Nutrition><EnergyFactors/><Units/></Food>
        </FoodGroup></FoodGroups></DataSource>)";
    for (const std::string& text : {broken, std::string("<DataSource><unclosed>")}) {
        TempDir folder;
        folder.Write("my-foods.xml", text);
        CMyFoods mine(mgr);
        EXPECT_FALSE(mine.Load(folder.File("my-foods.xml"), error));
        EXPECT_THAT(error, HasSubstr("Can't read your own foods from " + folder.File("my-foods.xml")));
        EXPECT_EQ(text, folder.Read("my-foods.xml"));  // reading leaves it

        auto key = mine.Add(Food("Good", {{1, 5}}), error);
        ASSERT_TRUE(key) << error;
        EXPECT_EQ(folder.File("my-foods.xml.broken"), mine.MovedAside());
        EXPECT_EQ(text, folder.Read("my-foods.xml.broken"));
        EXPECT_THAT(folder.Read("my-foods.xml"), HasSubstr("Name=\"Good\""));
    }
}

// A newer version may write more into a food; a change made here keeps it.
TEST_F(OwnFoods, WhatANewerVersionWroteIsKeptThroughAChange) {
    dir.Write("newer.xml", R"(<DataSource Name="My Foods" ID="1000" nextKey="5" origin="phone">
        <FoodGroups><FoodGroup id="My Foods" code="1">
        <Food Name="Tea" key="4" barcode="4006381333931"><Nutrition><E N="1" V="1"/></Nutrition>
          <EnergyFactors/><Units><E M="g" K="1"/></Units><Photo file="tea.jpg"/></Food>
        </FoodGroup></FoodGroups></DataSource>)");
    CMyFoods newer(mgr);
    ASSERT_TRUE(newer.Load(dir.File("newer.xml"), error)) << error;
    EXPECT_EQ("Tea", mgr.FindFood(FoodKey(4, MyFoods::kSourceId))->Name());
    auto key = newer.Add(Food("Coffee", {{1, 2}}), error);
    ASSERT_TRUE(key) << error;
    EXPECT_EQ(FoodKey(5, MyFoods::kSourceId), *key);
    const std::string text = dir.Read("newer.xml");
    EXPECT_THAT(text, HasSubstr("origin=\"phone\""));
    EXPECT_THAT(text, HasSubstr("barcode=\"4006381333931\""));
    EXPECT_THAT(text, HasSubstr("<Photo file=\"tea.jpg\"/>"));
}
