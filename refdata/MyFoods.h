#pragma once

#include "FoodKey.h"
#include "Ingredient.h"

#include "core/FileUtil.h"
#include "core/xml/XmlUnknown.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

class CDataSourceMgr;

namespace MyFoods {

// The user's table among the food tables: its ID (MyFoods::kSourceId, beside FoodKey), its name
// and its two standing groups.
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
// Every change is written at once, atomically, the file before it kept as FILE~. Writers take
// turns through the file's lock (the one profiles take), and a file another program changed
// since it was read here is read again first and the change made to it, so two programs adding
// foods at once lose none and never give one key to two foods. A change that can't be written is
// undone. A file that can't be read is never overwritten: the table starts empty, and the first
// change moves the file aside to FILE.broken first; the keys that file used are not given again.
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
    // Replaces the food of that key; recipes made with it are computed again. Refused when one of
    // them would come out with values too large to keep.
    bool Replace(const FoodKey& key, MyFood food, std::string& error);
    // Profiles that logged the food keep their own copy of it; recipes made with it keep their values.
    bool Remove(const FoodKey& key, std::string& error);

    // Why the food can't be stored (a name missing, or holding control characters or what is not
    // UTF-8; a negative or non-finite value, a portion weight out of range, a recipe without
    // ingredients, whose ingredients weigh nothing, with a food the tables lack, that contains
    // itself or whose values come out too large); empty when it can.
    std::string Check(const MyFood& food, const FoodKey& key) const;

    // The recipe's values per 100 g, energy factors and portions ("g", "serving", "whole recipe"),
    // from its ingredients as the tables hold them; name and key are left as they are. False with
    // `error` when an ingredient is missing from the tables, the ingredients weigh nothing or the
    // values come out too large to keep.
    static bool Compute(const CDataSourceMgr& tables, const Recipe& recipe, CDS_Ingredient& out, std::string& error);

private:
    // What a file holds.
    struct Contents {
        std::vector<MyFood> foods;
        long long nextKey = 1;  // up to 2^31: every key given
        Xml::UnknownParts unknownRoot;
    };
    // The table at path_ (empty when there is no file), and the stamp of the very file read;
    // raises with the reason when it can't be read.
    Contents ReadTable(FileUtil::FileStamp& stamp) const;
    // False when the file has parts the streaming reader doesn't keep; raises on a bad file.
    static bool ReadStaged(const std::string& path, Contents& out);
    static void ReadWhole(const std::string& path, Contents& out);
    void Adopt(Contents contents, const FileUtil::FileStamp& stamp);
    // Reads the file again, another program having changed it since it was read here.
    void Reread();
    // Makes `edit` to the table as the file holds it now and writes the result, the file's lock
    // held throughout.
    using Edit = std::function<bool(std::vector<MyFood>& foods, long long& nextKey, std::string& error)>;
    bool Change(const Edit& edit, std::string& error);
    void Publish();
    bool Reaches(const Recipe& recipe, const FoodKey& key) const;
    std::string Serialize(const std::vector<MyFood>& foods, long long nextKey) const;

    CDataSourceMgr& tables_;
    std::string path_;
    std::vector<MyFood> foods_;
    long long nextKey_ = 1;
    // Recipes that could not be computed when last written (keys); a change may not add to them.
    std::set<int> failing_;
    bool unreadable_ = false;
    FileUtil::FileStamp diskStamp_;  // of the file as last read or written here
    std::string movedAside_;
    Xml::UnknownParts unknownRoot_;
};
