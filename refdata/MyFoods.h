#pragma once

#include "FoodKey.h"
#include "Ingredient.h"

#include "core/xml/XmlUnknown.h"

#include <optional>
#include <string>
#include <vector>

class CDataSourceMgr;

namespace MyFoods {

// The user's table among the food tables: its ID, its name and its two standing groups.
constexpr int kSourceId = 1000;
constexpr const char* kTableName = "My Foods";
constexpr const char* kFoodsGroup = "My Foods";
constexpr const char* kRecipesGroup = "My Recipes";
// Where the table lives, relative to the application folder.
constexpr const char* kDefaultPath = "foods/my-foods.xml";
// The portions every recipe has.
constexpr const char* kServing = "serving";
constexpr const char* kWholeRecipe = "whole recipe";

}  // namespace MyFoods

// One ingredient of a recipe: the food, the amount in one of its units and what that weighs.
struct RecipeIngredient {
    FoodKey food;
    std::string name;  // the food's name when it was added: shown when the food is gone
    double amount = 0.0;
    std::string unit = "g";
    double grams = 0.0;  // amount × the unit's grams

    friend bool operator==(const RecipeIngredient&, const RecipeIngredient&) = default;
};

// What a recipe is made of and what it yields.
struct Recipe {
    std::vector<RecipeIngredient> ingredients;
    double cookedWeight = 0.0;  // grams after cooking; 0 for the sum of the ingredients
    double servings = 1.0;

    double IngredientGrams() const;
    double CookedGrams() const { return cookedWeight > 0.0 ? cookedWeight : IngredientGrams(); }

    friend bool operator==(const Recipe&, const Recipe&) = default;
};

// One food of the user's table: its record, the group it is filed under and, for a recipe, what it
// is made of.
struct MyFood {
    CDS_Ingredient food;
    std::string group = MyFoods::kFoodsGroup;
    std::optional<Recipe> recipe;
    // What a newer version wrote into the food's element; written back unchanged.
    Xml::UnknownParts unknown;
};

// The user's own foods and recipes: a food table file of the usual format, read and written by the
// program, and put into the food tables (under MyFoods::kSourceId) after every change so that the
// tree, the search and the profiles find its foods like any other.
//
// Every change is written at once, atomically, the file before it kept as FILE~. A change that
// can't be written is undone. A file that can't be read is never overwritten: the table starts
// empty, and the first change moves the file aside to FILE.broken first.
class CMyFoods {
public:
    explicit CMyFoods(CDataSourceMgr& tables);

    // Reads the table; a missing file is an empty table, written on the first change. False with
    // `error` when the file can't be read (malformed, or a negative or non-finite value).
    bool Load(const std::string& path, std::string& error);
    const std::string& Path() const noexcept { return path_; }
    // Where the unreadable file was moved by the last change; empty when nothing was moved.
    const std::string& MovedAside() const noexcept { return movedAside_; }

    const std::vector<MyFood>& Foods() const noexcept { return foods_; }
    const MyFood* Find(const FoodKey& key) const;

    // Adds a food (a recipe when it has one) under a new key that no earlier food had, so a
    // profile never finds another food under a deleted one's key. A recipe's values and portions
    // are computed from its ingredients. Nullopt with `error` when the food is refused or the file
    // can't be written; nothing changes then.
    std::optional<FoodKey> Add(MyFood food, std::string& error);
    // Replaces the food of that key; recipes made with it are computed again.
    bool Replace(const FoodKey& key, MyFood food, std::string& error);
    // Profiles that logged the food keep their own copy of it; recipes made with it keep their values.
    bool Remove(const FoodKey& key, std::string& error);

    // Why the food can't be stored (a name missing, a negative or non-finite value or portion
    // weight, a recipe without ingredients or with a food the tables lack, or one that contains
    // itself); empty when it can.
    std::string Check(const MyFood& food, const FoodKey& key) const;

    // The recipe's values per 100 g, energy factors and portions ("g", "serving", "whole recipe"),
    // from its ingredients as the tables hold them; name and key are left as they are. False with
    // `error` when an ingredient is missing from the tables or the recipe weighs nothing.
    static bool Compute(const CDataSourceMgr& tables, const Recipe& recipe, CDS_Ingredient& out, std::string& error);

private:
    // False when the file has parts the streaming reader doesn't keep; raises on a bad file.
    bool ReadStaged(const std::string& path, std::vector<MyFood>& foods, int& nextKey);
    void ReadWhole(const std::string& path, std::vector<MyFood>& foods, int& nextKey);
    bool Commit(std::vector<MyFood> foods, int nextKey, std::string& error);
    void Publish();
    // Computes again every recipe made, directly or through other recipes, with a changed food.
    void Recompute(std::vector<MyFood>& foods, const FoodKey& changed) const;
    bool Reaches(const std::vector<MyFood>& foods, const Recipe& recipe, const FoodKey& key) const;
    std::string Serialize(const std::vector<MyFood>& foods, int nextKey) const;

    CDataSourceMgr& tables_;
    std::string path_;
    std::vector<MyFood> foods_;
    int nextKey_ = 1;
    bool unreadable_ = false;
    std::string movedAside_;
    Xml::UnknownParts unknownRoot_;
};
