#include "MyFoods.h"

#include "AttrValue.h"
#include "DataSourceMgr.h"
#include "DataSourceReader.h"
#include "NutrientLabel.h"
#include "RecordReaders.h"

#include "core/FileUtil.h"
#include "core/xml/Xml.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

namespace {

using Lookup = std::function<const CDS_Ingredient*(const FoodKey&)>;

bool IsAmount(double v) { return std::isfinite(v) && v >= 0.0; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// What a value of the food may not be, or empty.
std::string CheckValues(const CDS_Ingredient& food, const CDataSourceMgr& tables) {
    for (const auto& [gid, value] : food.NutrientValues()) {
        if (IsAmount(value)) continue;
        const std::string name = Nutrient::LabelOf(gid, &tables).name;
        return "The amount of " + (name.empty() ? "nutrient " + std::to_string(gid) : name) + " in " +
               Quoted(food.Name()) + " must be a number of 0 or more.";
    }
    for (const FoodUnit& unit : food.Units()) {
        if (unit.name.empty()) return "Every portion of " + Quoted(food.Name()) + " needs a name.";
        if (!std::isfinite(unit.grams) || unit.grams <= 0.0)
            return "The portion " + Quoted(unit.name) + " of " + Quoted(food.Name()) + " must weigh more than 0 g.";
    }
    return {};
}

std::string CheckRecipeNumbers(const Recipe& recipe, const std::string& name) {
    if (recipe.ingredients.empty()) return "The recipe " + Quoted(name) + " needs at least one ingredient.";
    for (const RecipeIngredient& i : recipe.ingredients)
        if (!IsAmount(i.amount) || !IsAmount(i.grams))
            return "The amount of " + Quoted(i.name) + " in " + Quoted(name) + " must be a number of 0 or more.";
    if (!std::isfinite(recipe.servings) || recipe.servings <= 0.0)
        return "The number of servings of " + Quoted(name) + " must be more than 0.";
    if (!IsAmount(recipe.cookedWeight)) return "The cooked weight of " + Quoted(name) + " must be 0 g or more.";
    return {};
}

bool ComputeWith(const Lookup& find, const Recipe& recipe, CDS_Ingredient& out, std::string& error) {
    const double cooked = recipe.CookedGrams();
    if (!(cooked > 0.0) || !std::isfinite(cooked)) {
        error = "The recipe weighs nothing: give its ingredients amounts or a cooked weight.";
        return false;
    }
    std::map<int, double> totals;
    std::array<double, EnergyComponents::kCount> componentGrams{};
    std::array<double, EnergyComponents::kCount> componentKcal{};
    for (const RecipeIngredient& ingredient : recipe.ingredients) {
        const CDS_Ingredient* food = find(ingredient.food);
        if (!food) {
            error = "The ingredient " + Quoted(ingredient.name) + " is not in the food tables.";
            return false;
        }
        for (const auto& [gid, value] : food->NutrientValues()) totals[gid] += ingredient.grams * value / 100.0;
        for (int c = 0; c < EnergyComponents::kCount; ++c) {
            const double grams = ingredient.grams * food->EnergyComponentValue(c) / 100.0;
            componentGrams[c] += grams;
            componentKcal[c] += grams * food->EnergyFactor(c);
        }
    }
    CDS_Ingredient made;
    made.SetName(out.Name());
    made.SetFoodKey(out.GetFoodKey());
    for (const auto& [gid, total] : totals) made.SetNutrientValue(gid, total * 100.0 / cooked);
    // Factors weighted by what each ingredient gives, so the recipe's energy is the sum of its
    // ingredients' energies whatever factors they have.
    std::array<double, EnergyComponents::kCount> factors = EnergyComponents::kDefaultFactor;
    for (int c = 0; c < EnergyComponents::kCount; ++c)
        if (componentGrams[c] > 0.0) factors[c] = componentKcal[c] / componentGrams[c];
    made.SetEnergyFactors(factors);
    made.SetUnits({FoodUnit{"g", 1.0}, FoodUnit{MyFoods::kServing, cooked / recipe.servings},
                   FoodUnit{MyFoods::kWholeRecipe, cooked}});
    out = std::move(made);
    return true;
}

// Computes every recipe of `foods` whose ingredients can all be found, ingredients first. A recipe
// with a missing ingredient keeps the values it has.
void ComputeAll(std::vector<MyFood>& foods, const CDataSourceMgr& tables) {
    std::map<int, std::size_t> byKey;
    for (std::size_t i = 0; i < foods.size(); ++i) byKey[foods[i].food.GetFoodKey().key] = i;
    enum class Mark { None, Busy, Done };
    std::vector<Mark> marks(foods.size(), Mark::None);
    Lookup find = [&](const FoodKey& key) -> const CDS_Ingredient* {
        if (key.source != MyFoods::kSourceId) return tables.FindFood(key);
        auto it = byKey.find(key.key);
        return it == byKey.end() ? nullptr : &foods[it->second].food;
    };
    std::function<void(std::size_t)> visit = [&](std::size_t i) {
        if (marks[i] != Mark::None) return;  // done, or a cycle a hand-edited file made
        marks[i] = Mark::Busy;
        if (foods[i].recipe) {
            for (const RecipeIngredient& ingredient : foods[i].recipe->ingredients) {
                if (ingredient.food.source != MyFoods::kSourceId) continue;
                auto it = byKey.find(ingredient.food.key);
                if (it != byKey.end()) visit(it->second);
            }
            std::string ignored;
            ComputeWith(find, *foods[i].recipe, foods[i].food, ignored);
        }
        marks[i] = Mark::Done;
    };
    for (std::size_t i = 0; i < foods.size(); ++i) visit(i);
}

void SaveRecipe(const Recipe& recipe, const Xml::XmlElement& food) {
    Xml::XmlElement el = food.AddElement("Recipe");
    el.SetAttribute("cookedWeight", recipe.cookedWeight);
    el.SetAttribute("servings", recipe.servings);
    for (const RecipeIngredient& i : recipe.ingredients) {
        Xml::XmlElement e = el.AddElement("Ingredient");
        e.SetAttribute("source", i.food.source);
        e.SetAttribute("key", i.food.key);
        e.SetAttribute("name", i.name);
        e.SetAttribute("amount", i.amount);
        e.SetAttribute("unit", i.unit);
        e.SetAttribute("grams", i.grams);
    }
}

// A recipe from its "Recipe" element's attributes and those of its "Ingredient" children, from
// any attribute source (the streaming reader's or the document's).
template <class A, class List>
Recipe ReadRecipe(const A& attrs, const List& ingredients) {
    using namespace RecordReaders;
    Recipe recipe;
    recipe.cookedWeight = DoubleOr(attrs, "cookedWeight", 0.0);
    recipe.servings = DoubleOr(attrs, "servings", 1.0);
    for (const auto& e : ingredients) {
        RecipeIngredient i;
        i.food = FoodKey(AttrValue::ToInt(Required(e, "key")), AttrValue::ToInt(Required(e, "source")));
        i.name = std::string(e.Get("name").value_or(""));
        i.amount = AttrValue::ToDouble(Required(e, "amount"));
        i.unit = std::string(e.Get("unit").value_or("g"));
        i.grams = AttrValue::ToDouble(Required(e, "grams"));
        recipe.ingredients.push_back(std::move(i));
    }
    return recipe;
}

Recipe LoadRecipe(const Xml::XmlElement& el) {
    std::vector<RecordReaders::DomAttrs> ingredients;
    const std::vector<Xml::XmlElement> elements = el.ChildElements("Ingredient");
    ingredients.reserve(elements.size());
    for (const Xml::XmlElement& e : elements) ingredients.emplace_back(e);
    return ReadRecipe(RecordReaders::DomAttrs(el), ingredients);
}

}  // namespace

double Recipe::IngredientGrams() const {
    double sum = 0.0;
    for (const RecipeIngredient& i : ingredients) sum += i.grams;
    return sum;
}

CMyFoods::CMyFoods(CDataSourceMgr& tables) : tables_(tables) {}

const MyFood* CMyFoods::Find(const FoodKey& key) const {
    if (key.source != MyFoods::kSourceId) return nullptr;
    auto it = std::find_if(foods_.begin(), foods_.end(),
                           [&key](const MyFood& f) { return f.food.GetFoodKey().key == key.key; });
    return it == foods_.end() ? nullptr : &*it;
}

bool CMyFoods::ReadStaged(const std::string& path, std::vector<MyFood>& foods, int& nextKey) {
    DataSourceReader::StagedDocument doc;
    std::string why;
    if (!DataSourceReader::Read(path, doc, why)) throw std::runtime_error(why);
    if (doc.rootName != "DataSource") throw std::runtime_error("it is not a food table");
    if (doc.unstagedParts) return false;
    for (const auto& [name, value] : doc.root.Items())
        if (name != "Name" && name != "ID" && name != "version" && name != "nextKey") return false;
    if (auto next = doc.root.Get("nextKey")) nextKey = AttrValue::ToInt(*next);
    for (auto& group : doc.groups) {
        if (!group->subGroups.empty()) return false;
        const std::string groupName(RecordReaders::Required(group->attrs, "id"));
        for (auto& staged : group->foods) {
            if (!staged.food) throw std::runtime_error("a food of group \"" + groupName + "\": " + staged.error);
            MyFood f;
            f.food = std::move(*staged.food);
            f.group = groupName;
            f.food.SetFoodKey(FoodKey(f.food.GetFoodKey().key, MyFoods::kSourceId));
            if (staged.recipe) f.recipe = ReadRecipe(*staged.recipe, staged.ingredients);
            foods.push_back(std::move(f));
        }
    }
    return true;
}

void CMyFoods::ReadWhole(const std::string& path, std::vector<MyFood>& foods, int& nextKey) {
    Xml::XmlDocument doc;
    if (!doc.Load(path)) throw std::runtime_error(doc.ParseError());
    Xml::XmlElement root = doc.Root();
    if (!root || root.TagName() != "DataSource") throw std::runtime_error("it is not a food table");
    unknownRoot_.Capture(root, {"Name", "ID", "version", "nextKey"}, {"Nutrients", "foodPortions", "FoodGroups"});
    nextKey = root.GetAttribute("nextKey", 1).AsInt();
    const Xml::XmlElement groups = root.ChildElement("FoodGroups");
    for (const Xml::XmlElement& group : groups ? groups.ChildElements("FoodGroup") : std::vector<Xml::XmlElement>{}) {
        const std::string groupName = group.GetAttribute("id").AsString();
        for (const Xml::XmlElement& el : group.ChildElements("Food")) {
            MyFood f;
            f.group = groupName;
            f.food.Load(el);
            f.food.SetFoodKey(FoodKey(f.food.GetFoodKey().key, MyFoods::kSourceId));
            if (Xml::XmlElement recipe = el.ChildElement("Recipe")) f.recipe = LoadRecipe(recipe);
            f.unknown.Capture(el, {"Name", "key", "source"},
                              {"Nutrition", "DataSource", "EnergyFactors", "Units", "Recipe"});
            foods.push_back(std::move(f));
        }
    }
}

bool CMyFoods::Load(const std::string& path, std::string& error) {
    path_ = path;
    foods_.clear();
    nextKey_ = 1;
    unreadable_ = false;
    movedAside_.clear();
    unknownRoot_ = {};
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
        Publish();
        return true;
    }
    std::vector<MyFood> foods;
    int nextKey = 1;
    try {
        // The streaming reader is the fast way; a file with parts it doesn't stage (written by a
        // newer version) is read whole, so that those parts are written back.
        if (!ReadStaged(path, foods, nextKey)) {
            foods.clear();
            ReadWhole(path, foods, nextKey);
        }
        std::set<int> keys;
        for (const MyFood& f : foods) {
            if (std::string why = CheckValues(f.food, tables_); !why.empty()) throw std::runtime_error(why);
            if (f.recipe)
                if (std::string why = CheckRecipeNumbers(*f.recipe, f.food.Name()); !why.empty())
                    throw std::runtime_error(why);
            if (!keys.insert(f.food.GetFoodKey().key).second)
                throw std::runtime_error("two foods have the key " + std::to_string(f.food.GetFoodKey().key));
            nextKey = std::max(nextKey, f.food.GetFoodKey().key + 1);
        }
    } catch (const std::exception& e) {
        unreadable_ = true;
        unknownRoot_ = {};
        error = "Can't read your own foods from " + path + ":\n" + e.what() +
                "\nThe file is kept as it is; your next change to your foods moves it aside.";
        Publish();
        return false;
    }
    ComputeAll(foods, tables_);
    foods_ = std::move(foods);
    nextKey_ = nextKey;
    Publish();
    return true;
}

std::string CMyFoods::Check(const MyFood& food, const FoodKey& key) const {
    const std::string& name = food.food.Name();
    if (name.find_first_not_of(" \t\r\n") == std::string::npos) return "A food needs a name.";
    if (std::string why = CheckValues(food.food, tables_); !why.empty()) return why;
    if (!food.recipe) return {};
    if (std::string why = CheckRecipeNumbers(*food.recipe, name); !why.empty()) return why;
    for (const RecipeIngredient& i : food.recipe->ingredients) {
        if (i.food.source == MyFoods::kSourceId ? !Find(i.food) : !tables_.FindFood(i.food))
            return "The ingredient " + Quoted(i.name) + " is not in the food tables.";
        if (i.food == key) return "A recipe can't be an ingredient of itself: " + Quoted(name) + ".";
        if (const MyFood* inner = Find(i.food); inner && inner->recipe && Reaches(foods_, *inner->recipe, key))
            return Quoted(i.name) + " can't be an ingredient of " + Quoted(name) + ": it is made with " + Quoted(name) +
                   ".";
    }
    return {};
}

bool CMyFoods::Reaches(const std::vector<MyFood>& foods, const Recipe& recipe, const FoodKey& key) const {
    std::set<int> seen;
    std::vector<const Recipe*> todo{&recipe};
    while (!todo.empty()) {
        const Recipe* r = todo.back();
        todo.pop_back();
        for (const RecipeIngredient& i : r->ingredients) {
            if (i.food == key) return true;
            if (i.food.source != MyFoods::kSourceId || !seen.insert(i.food.key).second) continue;
            auto it = std::find_if(foods.begin(), foods.end(),
                                   [&i](const MyFood& f) { return f.food.GetFoodKey().key == i.food.key; });
            if (it != foods.end() && it->recipe) todo.push_back(&*it->recipe);
        }
    }
    return false;
}

std::optional<FoodKey> CMyFoods::Add(MyFood food, std::string& error) {
    const FoodKey key(nextKey_, MyFoods::kSourceId);
    food.food.SetFoodKey(key);
    if (std::string why = Check(food, key); !why.empty()) {
        error = why;
        return std::nullopt;
    }
    if (food.recipe && food.group == MyFoods::kFoodsGroup) food.group = MyFoods::kRecipesGroup;
    std::vector<MyFood> foods = foods_;
    foods.push_back(std::move(food));
    if (!Commit(std::move(foods), nextKey_ + 1, error)) return std::nullopt;
    return key;
}

bool CMyFoods::Replace(const FoodKey& key, MyFood food, std::string& error) {
    const MyFood* old = Find(key);
    if (!old) {
        error = "Your own foods have no food of key " + std::to_string(key.key) + ".";
        return false;
    }
    food.food.SetFoodKey(key);
    if (std::string why = Check(food, key); !why.empty()) {
        error = why;
        return false;
    }
    std::vector<MyFood> foods = foods_;
    foods[static_cast<std::size_t>(old - foods_.data())] = std::move(food);
    return Commit(std::move(foods), nextKey_, error);
}

bool CMyFoods::Remove(const FoodKey& key, std::string& error) {
    const MyFood* old = Find(key);
    if (!old) {
        error = "Your own foods have no food of key " + std::to_string(key.key) + ".";
        return false;
    }
    std::vector<MyFood> foods = foods_;
    foods.erase(foods.begin() + (old - foods_.data()));
    return Commit(std::move(foods), nextKey_, error);
}

bool CMyFoods::Commit(std::vector<MyFood> foods, int nextKey, std::string& error) {
    ComputeAll(foods, tables_);
    try {
        const std::string text = Serialize(foods, nextKey);
        if (unreadable_) {
            movedAside_ = FileUtil::MoveAside(path_);
            unreadable_ = false;
        }
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
        FileUtil::WriteFileAtomic(path_, text, path_ + "~");
    } catch (const std::exception& e) {
        error = "Can't save your own foods to " + path_ + ":\n" + e.what();
        return false;
    }
    foods_ = std::move(foods);
    nextKey_ = nextKey;
    Publish();
    return true;
}

std::string CMyFoods::Serialize(const std::vector<MyFood>& foods, int nextKey) const {
    Xml::XmlDocument doc;
    Xml::XmlElement root = doc.CreateElement("DataSource");
    doc.AppendChild(root);
    root.SetAttribute("Name", MyFoods::kTableName);
    root.SetAttribute("ID", MyFoods::kSourceId);
    root.SetAttribute("version", 1);
    // Keys of deleted foods are never given again, so a profile that logged one keeps its own copy.
    root.SetAttribute("nextKey", nextKey);

    std::set<int> used;
    for (const MyFood& f : foods)
        for (const auto& [gid, value] : f.food.NutrientValues()) used.insert(gid);
    Xml::XmlElement nutrients = root.AddElement("Nutrients");
    for (const CDS_Nutrition& n : tables_.Nutrients())
        if (used.count(n.gid)) n.Save(nutrients);

    Xml::XmlElement groups = root.AddElement("FoodGroups");
    std::vector<std::string> order{MyFoods::kFoodsGroup, MyFoods::kRecipesGroup};
    for (const MyFood& f : foods)
        if (std::find(order.begin(), order.end(), f.group) == order.end()) order.push_back(f.group);
    int code = 0;
    for (const std::string& name : order) {
        Xml::XmlElement group = groups.AddElement("FoodGroup");
        group.SetAttribute("id", name);
        group.SetAttribute("code", ++code);
        for (const MyFood& f : foods) {
            if (f.group != name) continue;
            const Xml::XmlElement el = f.food.SaveFood(group);
            if (f.recipe) SaveRecipe(*f.recipe, el);
            f.unknown.Restore(el);
        }
    }
    unknownRoot_.Restore(root);
    doc.Indent();
    return doc.GetXml();
}

void CMyFoods::Publish() {
    FoodTableGroups groups{{MyFoods::kFoodsGroup, {}}, {MyFoods::kRecipesGroup, {}}};
    for (const MyFood& f : foods_) {
        auto it = std::find_if(groups.begin(), groups.end(), [&f](const auto& g) { return g.first == f.group; });
        if (it == groups.end()) {
            groups.emplace_back(f.group, std::vector<CDS_Ingredient>{});
            it = std::prev(groups.end());
        }
        it->second.push_back(f.food);
    }
    tables_.SetTable(MyFoods::kSourceId, MyFoods::kTableName, path_, std::move(groups));
}

bool CMyFoods::Compute(const CDataSourceMgr& tables, const Recipe& recipe, CDS_Ingredient& out, std::string& error) {
    return ComputeWith([&tables](const FoodKey& key) { return tables.FindFood(key); }, recipe, out, error);
}
