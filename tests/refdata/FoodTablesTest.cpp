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
        {"the first table's ID", WithId(kSecond, "7"), "Its ID 7 is the ID of a table already loaded"},
        // Its foods would hide the user's own: a food added there could never be found again.
        {"the ID of the user's own table", WithId(kSecond, "1000"), "Its ID 1000 is the ID of a table already loaded"},
        {"no ID", WithId(kSecond, "2").erase(std::string(kSecond).find(" ID=\"2\""), 7), "It has no ID; give it one"},
        {"a negative ID", WithId(kSecond, "-3"), "Its ID -3 is negative"},
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

    // Nor may its stock become so rich that the soup's values go beyond any number.
    EXPECT_FALSE(foods.Replace(base, Food("Stock", {{1, 1e308}}), error));
    EXPECT_THAT(error, HasSubstr("The recipe \"Soup\" comes out with values too large to keep"));
    EXPECT_EQ(before, dir.Read("foods/my-foods.xml"));
    EXPECT_DOUBLE_EQ(30.0, mgr.FindFood(soup)->NutrientValue(1));
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
    const auto WithPortion = [](double grams) {
        MyFood bar = Food("Bar", {{1, 400}});
        bar.food.AddUnit("bar", grams);
        return bar;
    };
    const FoodKey milk(1001, 7);
    const auto MilkStew = [&milk](double grams, double cooked = 0, double servings = 1) {
        return RecipeOf("Stew", {{milk, "Milk, whole", grams, "g", grams}}, cooked, servings);
    };
    const char* const kTooLarge =
        "The recipe \"Stew\" comes out with values too large to keep: check the amounts of its ingredients, its "
        "cooked weight and its number of servings.";
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
        // Values beyond any number would be written as "inf", and the next start would refuse the
        // whole table.
        {"an ingredient too heavy to compute", MilkStew(1e308), kTooLarge},
        {"ingredients adding up beyond any number",
         RecipeOf("Stew", {{milk, "Milk", 1e308, "g", 1e308}, {milk, "Milk", 1e308, "g", 1e308}}), kTooLarge},
        {"servings that make a serving infinite", MilkStew(100, 0, 1e-320), kTooLarge},
        {"a cooked weight that makes the values infinite", MilkStew(100, 1e-320), kTooLarge},
        {"ingredients of 0 g however it is cooked", MilkStew(0, 250),
         "The recipe \"Stew\" weighs nothing: give its ingredients amounts."},
        // A portion's weight is kept in single precision: beyond it, it would read back as
        // infinite or 0 g.
        {"a portion too heavy to keep", WithPortion(1e39),
         "The portion \"bar\" of \"Bar\" weighs too much to be kept."},
        {"a portion too light to keep", WithPortion(1e-50),
         "The portion \"bar\" of \"Bar\" weighs too little to be kept."},
        // What the file can't carry would be dropped on the way, leaving another name or none.
        {"a name of U+FFFE", Food("\xEF\xBF\xBE", {}),
         "The name of a food can't hold the non-characters U+FFFE and U+FFFF."},
        {"a name of other non-characters", Food("\xEF\xB7\x90 \xF4\x8F\xBF\xBF", {}), "A food needs a name."},
        {"a line break", Food("Oat\nbar", {}),
         "The name of a food can't hold control characters such as line breaks or tabs."},
        {"a control character", Food("Oat\x01", {}),
         "The name of a food can't hold control characters such as line breaks or tabs."},
        {"not UTF-8", Food("Cr\xE8me", {}), "The name of a food must be UTF-8 text."},
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

// Profiles may have logged the foods of a table that was moved aside; their keys are not given to
// other foods, whether the table was moved by this change or an earlier one.
TEST_F(OwnFoods, KeysOfATableMovedAsideAreNotGivenAgain) {
    const std::string refused = R"(<DataSource Name="My Foods" ID="1000" nextKey="41"><FoodGroups>
        <FoodGroup id="My Foods" code="1"><Food Name="Oat bar" key="40"><Nutrition><E N="1" V="inf"/></Nutrition>
        <EnergyFactors/><Units/></Food></FoodGroup></FoodGroups></DataSource>)";
    const struct {
        const char* what;
        const char* file;  // where the table is
        std::string text;
        int next;
    } cases[] = {
        {"a value the table refuses", "my-foods.xml", refused, 41},
        {"cut off", "my-foods.xml",
         R"(<DataSource Name="My Foods" ID="1000"><FoodGroups><FoodGroup id="My Foods" code="1">
            <Food Name="A" key="56"/><Food Name="B" key="57"><Nutrition>)",
         58},
        {"moved aside before", "my-foods.xml.broken", refused, 41},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        folder.Write(c.file, c.text);
        CMyFoods mine(mgr);
        mine.Load(folder.File("my-foods.xml"), error);
        auto key = mine.Add(Food("Good", {{1, 5}}), error);
        ASSERT_TRUE(key) << error;
        EXPECT_EQ(FoodKey(c.next, MyFoods::kSourceId), *key);
        // The new table carries the count on.
        CMyFoods reread(mgr);
        ASSERT_TRUE(reread.Load(folder.File("my-foods.xml"), error)) << error;
        key = reread.Add(Food("Better", {{1, 6}}), error);
        ASSERT_TRUE(key) << error;
        EXPECT_EQ(FoodKey(c.next + 1, MyFoods::kSourceId), *key);
    }
}

TEST_F(OwnFoods, TheLastKeyIsGivenOnceAndThenAddingIsRefused) {
    dir.Write("last.xml", R"(<DataSource Name="My Foods" ID="1000" nextKey="2147483647"/>)");
    const std::string noneLeft = "Your own foods have used every key there is; no more foods can be added.";
    CMyFoods mine(mgr);
    ASSERT_TRUE(mine.Load(dir.File("last.xml"), error)) << error;
    const auto last = mine.Add(Food("Last", {{1, 5}}), error);
    ASSERT_TRUE(last) << error;
    EXPECT_EQ(FoodKey(std::numeric_limits<int>::max(), MyFoods::kSourceId), *last);
    EXPECT_FALSE(mine.Add(Food("One more", {{1, 5}}), error));
    EXPECT_EQ(noneLeft, error);

    CMyFoods reread(mgr);
    ASSERT_TRUE(reread.Load(dir.File("last.xml"), error)) << error;
    EXPECT_EQ("Last", mgr.FindFood(*last)->Name());
    EXPECT_FALSE(reread.Add(Food("One more", {{1, 5}}), error));
    EXPECT_EQ(noneLeft, error);
}

namespace {

// A chain of recipes, each made of 100 g of the one before, down to a food of 50 kcal; the top of
// the chain comes first, so that computing it goes down the whole chain.
std::string RecipeChain(int depth) {
    std::string text = R"(<DataSource Name="My Foods" ID="1000"><FoodGroups><FoodGroup id="My Recipes" code="1">)";
    for (int key = depth + 1; key > 1; --key)
        text +=
            "<Food Name=\"R" + std::to_string(key) + "\" key=\"" + std::to_string(key) +
            R"("><Nutrition/><EnergyFactors/><Units><E M="g" K="1"/></Units><Recipe><Ingredient source="1000" key=")" +
            std::to_string(key - 1) + R"(" amount="100" grams="100"/></Recipe></Food>)";
    text += R"(<Food Name="Base" key="1"><Nutrition><E N="1" V="50"/></Nutrition><EnergyFactors/>)"
            R"(<Units><E M="g" K="1"/></Units></Food></FoodGroup></FoodGroups></DataSource>)";
    return text;
}

}  // namespace

TEST_F(OwnFoods, ADeepChainOfRecipesLoadsAndTakesMore) {
    for (int depth : {10000, 100000}) {
        SCOPED_TRACE(depth);
        dir.Write("chain.xml", RecipeChain(depth));
        CMyFoods chain(mgr);
        ASSERT_TRUE(chain.Load(dir.File("chain.xml"), error)) << error;
        const FoodKey top(depth + 1, MyFoods::kSourceId);
        EXPECT_DOUBLE_EQ(50, mgr.FindFood(top)->NutrientValue(1));
        auto key = chain.Add(RecipeOf("On top", {{top, "Top", 200, "g", 200}}), error);
        ASSERT_TRUE(key) << error;
        EXPECT_DOUBLE_EQ(50, mgr.FindFood(*key)->NutrientValue(1));
    }
}

// Two programs (the desktop one and the command-line one) that read the table before either
// changed it: each change goes into the file as the other left it.
TEST_F(OwnFoods, TwoProgramsChangingTheTableLoseNothing) {
    CDataSourceMgr otherTables;
    ASSERT_TRUE(otherTables.Load(kSample, {}, error));
    CMyFoods other(otherTables);
    ASSERT_TRUE(other.Load(path, error)) << error;

    const FoodKey bar = Add(Food("Oat bar", {{1, 400}}));
    const auto bread = other.Add(Food("Rye bread", {{1, 250}}), error);
    ASSERT_TRUE(bread) << error;
    EXPECT_NE(bar, *bread);
    ASSERT_TRUE(foods.Replace(bar, Food("Oat bar", {{1, 410}}), error)) << error;
    EXPECT_EQ("Rye bread", mgr.FindFood(*bread)->Name());  // seen here as well
    const auto milk = other.Add(Food("Oat milk", {{1, 46}}), error);
    ASSERT_TRUE(milk) << error;

    CDataSourceMgr fresh;
    ASSERT_TRUE(fresh.Load(kSample, {}, error));
    CMyFoods reread(fresh);
    ASSERT_TRUE(reread.Load(path, error)) << error;
    ASSERT_EQ(3u, reread.Foods().size());
    EXPECT_EQ(410, fresh.FindFood(bar)->NutrientValue(1));
    EXPECT_EQ("Rye bread", fresh.FindFood(*bread)->Name());
    EXPECT_EQ("Oat milk", fresh.FindFood(*milk)->Name());
}

// A write cut off (a crash, a full disk) leaves a hidden temporary file; the next change clears it.
TEST_F(OwnFoods, TemporaryFilesOfCutOffWritesAreCleared) {
    Add(Food("Oat bar", {{1, 400}}));
    dir.Write("foods/.my-foods.xml.Ab12Cd", "<DataSource");
    dir.Write("foods/.other.xml.Ab12Cd", "kept");
    Add(Food("Rye bread", {{1, 250}}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("foods/.my-foods.xml.Ab12Cd")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("foods/.other.xml.Ab12Cd")));
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
