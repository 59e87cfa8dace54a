#include "MyFoods.h"

#include "AttrValue.h"
#include "DataSourceMgr.h"
#include "DataSourceReader.h"
#include "NutrientLabel.h"
#include "RecordReaders.h"

#include "core/FileUtil.h"
#include "core/xml/Xml.h"

#include <fcntl.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string_view>
#include <unordered_map>

namespace {

using Lookup = std::function<const CDS_Ingredient*(const FoodKey&)>;

// How long a change waits for another program that is writing the table.
constexpr std::chrono::seconds kLockWait{10};
// One more than the highest key a food can have: nextKey at this value has given every key.
constexpr long long kKeysEnd = static_cast<long long>(INT_MAX) + 1;
constexpr const char* kNoKeysLeft = "Your own foods have used every key there is; no more foods can be added.";

bool IsAmount(double v) { return std::isfinite(v) && v >= 0.0; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A portion's weight is kept in single precision: one beyond its range would read back as
// infinite or 0 g, and the next start would refuse the whole table.
bool IsKeptWeight(double grams) {
    return std::isfinite(grams) && grams > 0.0 && grams <= FLT_MAX && static_cast<float>(grams) > 0.0F;
}

// What keeps a name from being written as it is: the file can't carry control characters (and a
// line break would split the command-line program's lines), nor U+FFFE and U+FFFF, and text that
// is not UTF-8 would come back changed. `visible` tells whether it has any character that shows,
// i.e. other than white space and non-characters.
std::string TextFault(std::string_view text, bool& visible) {
    visible = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80                 ? 1
                             : c >= 0xC2 && c <= 0xDF ? 2
                             : c >= 0xE0 && c <= 0xEF ? 3
                             : c >= 0xF0 && c <= 0xF4 ? 4
                                                      : 0;
        char32_t cp = length == 1 ? c : length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid || (length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return "must be UTF-8 text";
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return "can't hold control characters such as line breaks or tabs";
        if (cp == 0xFFFE || cp == 0xFFFF) return "can't hold the non-characters U+FFFE and U+FFFF";
        const bool blank = cp == 0x20 || cp == 0xA0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200B) || cp == 0x2028 ||
                           cp == 0x2029 || cp == 0x202F || cp == 0x205F || cp == 0x3000 || cp == 0xFEFF;
        const bool nonCharacter = (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp & 0xFFFE) == 0xFFFE;
        visible = visible || (!blank && !nonCharacter);
        i += length;
    }
    return {};
}

// Why the name `text`, called `what` in the message, can't be kept; empty when it can.
std::string CheckText(const std::string& text, const std::string& what) {
    bool visible = false;
    const std::string fault = TextFault(text, visible);
    return fault.empty() ? std::string() : what + " " + fault + ".";
}

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
        if (std::string why = CheckText(unit.name, "The name of a portion of " + Quoted(food.Name())); !why.empty())
            return why;
        if (!std::isfinite(unit.grams) || unit.grams <= 0.0)
            return "The portion " + Quoted(unit.name) + " of " + Quoted(food.Name()) + " must weigh more than 0 g.";
        if (!IsKeptWeight(unit.grams))
            return "The portion " + Quoted(unit.name) + " of " + Quoted(food.Name()) + " weighs " +
                   (unit.grams > 1.0 ? "too much" : "too little") + " to be kept.";
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

enum class Computed {
    Done,
    Missing,  // an ingredient is not in the tables (a table not loaded now): the values stay
    Refused,  // the recipe can't be computed as it stands
};

Computed ComputeWith(const Lookup& find, const Recipe& recipe, CDS_Ingredient& out, std::string& error) {
    const std::string recipeName = out.Name().empty() ? "The recipe" : "The recipe " + Quoted(out.Name());
    const std::string tooLarge = recipeName +
                                 " comes out with values too large to keep: check the amounts of its ingredients, "
                                 "its cooked weight and its number of servings.";
    const double ingredientGrams = recipe.IngredientGrams();
    if (!std::isfinite(ingredientGrams)) {
        error = tooLarge;
        return Computed::Refused;
    }
    // Without any weight the recipe would be nothing, whatever weight it is cooked down to.
    if (!(ingredientGrams > 0.0)) {
        error = recipeName + " weighs nothing: give its ingredients amounts.";
        return Computed::Refused;
    }
    const double cooked = recipe.CookedGrams();
    std::map<int, double> totals;
    std::array<double, EnergyComponents::kCount> componentGrams{};
    std::array<double, EnergyComponents::kCount> componentKcal{};
    for (const RecipeIngredient& ingredient : recipe.ingredients) {
        const CDS_Ingredient* food = find(ingredient.food);
        if (!food) {
            error = "The ingredient " + Quoted(ingredient.name) + " is not in the food tables.";
            return Computed::Missing;
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
    for (const auto& [gid, total] : totals) {
        const double per100 = total * 100.0 / cooked;
        if (!std::isfinite(per100)) {
            error = tooLarge;
            return Computed::Refused;
        }
        made.SetNutrientValue(gid, per100);
    }
    // Factors weighted by what each ingredient gives, so the recipe's energy is the sum of its
    // ingredients' energies whatever factors they have.
    std::array<double, EnergyComponents::kCount> factors = EnergyComponents::kDefaultFactor;
    for (int c = 0; c < EnergyComponents::kCount; ++c)
        if (componentGrams[c] > 0.0) factors[c] = componentKcal[c] / componentGrams[c];
    const double serving = cooked / recipe.servings;
    if (!std::all_of(factors.begin(), factors.end(), [](double f) { return std::isfinite(f); }) ||
        !IsKeptWeight(serving) || !IsKeptWeight(cooked)) {
        error = tooLarge;
        return Computed::Refused;
    }
    made.SetEnergyFactors(factors);
    made.SetUnits({FoodUnit{"g", 1.0}, FoodUnit{MyFoods::kServing, serving}, FoodUnit{MyFoods::kWholeRecipe, cooked}});
    out = std::move(made);
    return Computed::Done;
}

// Computes every recipe of `foods` whose ingredients can all be found, ingredients first, and
// answers why each recipe that can't be computed as it stands could not (by key). A recipe with
// a missing ingredient keeps the values it has, as its table may come back. The walk keeps its
// own stack: a hand-written file may chain recipes far deeper than the program's stack reaches.
std::map<int, std::string> ComputeAll(std::vector<MyFood>& foods, const CDataSourceMgr& tables) {
    std::unordered_map<int, std::size_t> byKey;
    byKey.reserve(foods.size());
    for (std::size_t i = 0; i < foods.size(); ++i) byKey[foods[i].food.GetFoodKey().key] = i;
    enum class Mark { None, Busy, Done };
    std::vector<Mark> marks(foods.size(), Mark::None);
    Lookup find = [&](const FoodKey& key) -> const CDS_Ingredient* {
        if (key.source != MyFoods::kSourceId) return tables.FindFood(key);
        auto it = byKey.find(key.key);
        return it == byKey.end() ? nullptr : &foods[it->second].food;
    };
    std::map<int, std::string> failed;
    // Each entry: a recipe and the next of its ingredients to look at.
    std::vector<std::pair<std::size_t, std::size_t>> stack;
    for (std::size_t first = 0; first < foods.size(); ++first) {
        if (marks[first] != Mark::None) continue;
        marks[first] = Mark::Busy;
        stack.emplace_back(first, 0);
        while (!stack.empty()) {
            const std::size_t i = stack.back().first;
            const std::size_t count = foods[i].recipe ? foods[i].recipe->ingredients.size() : 0;
            std::size_t next = stack.back().second;
            std::size_t inner = foods.size();
            while (next < count && inner == foods.size()) {
                const FoodKey& key = foods[i].recipe->ingredients[next++].food;
                if (key.source != MyFoods::kSourceId) continue;
                auto it = byKey.find(key.key);
                // Done already, or a cycle a hand-edited file made.
                if (it != byKey.end() && marks[it->second] == Mark::None) inner = it->second;
            }
            stack.back().second = next;
            if (inner != foods.size()) {
                marks[inner] = Mark::Busy;
                stack.emplace_back(inner, 0);
                continue;
            }
            if (foods[i].recipe) {
                std::string why;
                if (ComputeWith(find, *foods[i].recipe, foods[i].food, why) == Computed::Refused)
                    failed.emplace(foods[i].food.GetFoodKey().key, why);
            }
            marks[i] = Mark::Done;
            stack.pop_back();
        }
    }
    return failed;
}

// nextKey as a file gives it: a whole number up to one past the highest key; below 1 it gives
// nothing.
long long ReadNextKey(std::string_view text) {
    const double next = AttrValue::ToDouble(text);
    if (!std::isfinite(next) || next != std::floor(next) || next > static_cast<double>(kKeysEnd))
        throw std::runtime_error("nextKey \"" + std::string(text) + "\" is not a key");
    return std::max(1LL, static_cast<long long>(std::max(next, 0.0)));
}

// The number an attribute of the tag holds, or -1 when it has none that is a whole number.
long long NumberIn(std::string_view tag, std::string_view attribute) {
    for (std::size_t at = tag.find(attribute); at != std::string_view::npos; at = tag.find(attribute, at + 1)) {
        const std::size_t quote = at + attribute.size();
        if (!std::isspace(static_cast<unsigned char>(tag[at - 1])) || quote >= tag.size() ||
            (tag[quote] != '"' && tag[quote] != '\''))
            continue;
        long long n = 0;
        std::size_t d = quote + 1;
        for (; d < tag.size() && std::isdigit(static_cast<unsigned char>(tag[d])) && n <= kKeysEnd; ++d)
            n = n * 10 + (tag[d] - '0');
        if (d > quote + 1 && d < tag.size() && tag[d] == tag[quote]) return n;
    }
    return -1;
}

// The key after the highest one the file gives (a food's "key", the table's "nextKey"), read from
// its bare text: a table that can't be read keeps its keys from being given to other foods.
// 1 when it gives none or can't be read.
long long KeysAfter(const std::string& path) {
    std::string text;
    try {
        text = FileUtil::ReadFile(path, FileUtil::kMaxDataSourceBytes);
    } catch (const std::exception&) {
        return 1;
    }
    long long after = 1;
    for (std::size_t open = text.find('<'); open != std::string::npos; open = text.find('<', open + 1)) {
        const std::size_t close = text.find('>', open);
        const std::string_view tag =
            std::string_view(text).substr(open, close == std::string::npos ? close : close - open);
        if (tag.starts_with("<Food") && tag.size() > 5 && std::isspace(static_cast<unsigned char>(tag[5]))) {
            if (const long long key = NumberIn(tag, "key="); key >= 0 && key <= INT_MAX)
                after = std::max(after, key + 1);
        } else if (tag.starts_with("<DataSource")) {
            if (const long long next = NumberIn(tag, "nextKey="); next <= kKeysEnd) after = std::max(after, next);
        }
    }
    return after;
}

// The key after the highest one any table moved aside beside `path` names (PATH.broken,
// PATH.broken.N).
long long KeysAfterMovedAside(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string prefix = target.filename().string() + ".broken";
    long long after = 1;
    std::error_code ec;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().starts_with(prefix)) after = std::max(after, KeysAfter(it->path().string()));
    return after;
}

// Writers of the table take turns on the file's lock, as profiles do. While there is no file yet
// they lock its folder instead, so that two first changes don't both create it; a writer that
// finds the file there once it holds the folder turns to the file's lock.
FileUtil::FileLock LockTable(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (FileUtil::StampOf(path).exists) {
            FileUtil::FileLock lock = FileUtil::FileLock::Exclusive(path, kLockWait);
            // Not held with the file there: a file system without locks.
            if (lock.Holds() || FileUtil::StampOf(path).exists) return lock;
        } else {
            FileUtil::FileLock lock = FileUtil::FileLock::Exclusive(folder.string(), kLockWait);
            if (!FileUtil::StampOf(path).exists) return lock;
        }
    }
    return {};
}

// The file was replaced between the lock and the write by a program that doesn't take the lock.
struct ChangedMeanwhile : std::runtime_error {
    ChangedMeanwhile() : std::runtime_error("another program kept changing the file") {}
};

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

// The foods as they stand in their group, appended to `text` a few at a time so that a large table
// never stands in memory as one document tree: each chunk is written under a root, "FoodGroups"
// and "FoodGroup" of its own, so that the serialiser indents the foods at their depth in the file,
// and the lines between that group's tags are taken as they are.
void AppendFoodsText(const std::vector<const MyFood*>& foods, std::string& text) {
    static constexpr std::string_view kOpen = "\n    <FoodGroup>\n";
    static constexpr std::string_view kClose = "    </FoodGroup>\n";
    constexpr std::size_t kFoodsPerChunk = 64;
    for (std::size_t next = 0; next < foods.size();) {
        Xml::XmlDocument chunk;
        Xml::XmlElement root = chunk.CreateElement("DataSource");
        chunk.AppendChild(root);
        const Xml::XmlElement group = root.AddElement("FoodGroups").AddElement("FoodGroup");
        for (std::size_t n = 0; next < foods.size() && n < kFoodsPerChunk; ++next, ++n) {
            const MyFood& f = *foods[next];
            const Xml::XmlElement el = f.food.SaveFood(group);
            if (f.recipe) SaveRecipe(*f.recipe, el);
            f.unknown.Restore(el);
        }
        chunk.Indent();
        const std::string dumped = chunk.GetXml();
        const std::size_t open = dumped.find(kOpen);
        const std::size_t close = dumped.rfind(kClose);
        if (open == std::string::npos || close == std::string::npos || close < open + kOpen.size())
            throw Xml::XmlError(Xml::XmlError::Io, "Can't write the foods of the table");
        text.append(dumped, open + kOpen.size(), close - open - kOpen.size());
    }
}

// Stands in a group for its foods until they are put in as text. A kept element of a newer
// version could have any name, so the name carries a number no file can know beforehand.
std::string FoodsMark() {
    static std::mt19937_64 random(std::random_device{}());
    return "velmora.foods." + std::to_string(random());
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

bool CMyFoods::ReadStaged(const std::string& path, Contents& out) {
    DataSourceReader::StagedDocument doc;
    std::string why;
    if (!DataSourceReader::Read(path, doc, why)) throw std::runtime_error(why);
    if (doc.rootName != "DataSource") throw std::runtime_error("it is not a food table");
    if (doc.unstagedParts) return false;
    for (const auto& [name, value] : doc.root.Items())
        if (name != "Name" && name != "ID" && name != "version" && name != "nextKey") return false;
    if (auto next = doc.root.Get("nextKey")) out.nextKey = ReadNextKey(*next);
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
            out.foods.push_back(std::move(f));
        }
    }
    return true;
}

void CMyFoods::ReadWhole(const std::string& path, Contents& out) {
    Xml::XmlDocument doc;
    if (!doc.Load(path)) throw std::runtime_error(doc.ParseError());
    Xml::XmlElement root = doc.Root();
    if (!root || root.TagName() != "DataSource") throw std::runtime_error("it is not a food table");
    out.unknownRoot.Capture(root, {"Name", "ID", "version", "nextKey"}, {"Nutrients", "foodPortions", "FoodGroups"});
    if (root.HasAttribute("nextKey")) out.nextKey = ReadNextKey(root.GetAttribute("nextKey").AsString());
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
            out.foods.push_back(std::move(f));
        }
    }
}

CMyFoods::Contents CMyFoods::ReadTable(FileUtil::FileStamp& stamp) const {
    namespace fs = std::filesystem;
    // The file is held open while the readers read it by name: its inode can't be reused
    // meanwhile, so when the path still leads to it, unchanged, afterwards, the stamp taken here
    // is the stamp of what was read. A writer that replaced it in between makes the read start
    // again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const FileUtil::ScopedFd pin{::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
        std::error_code ec;
        if (pin.fd < 0 && errno == ENOENT && !fs::exists(fs::symlink_status(path_, ec))) {
            stamp = {};
            return {};
        }
        stamp = pin.fd >= 0 ? FileUtil::StampOfOpen(pin.fd) : FileUtil::FileStamp{};
        Contents read;
        // The streaming reader is the fast way; a file with parts it doesn't stage (written by a
        // newer version) is read whole, so that those parts are written back.
        if (!ReadStaged(path_, read)) {
            read = {};
            ReadWhole(path_, read);
        }
        std::set<int> keys;
        for (const MyFood& f : read.foods) {
            if (std::string why = CheckValues(f.food, tables_); !why.empty()) throw std::runtime_error(why);
            if (f.recipe)
                if (std::string why = CheckRecipeNumbers(*f.recipe, f.food.Name()); !why.empty())
                    throw std::runtime_error(why);
            const int key = f.food.GetFoodKey().key;
            if (!keys.insert(key).second) throw std::runtime_error("two foods have the key " + std::to_string(key));
            read.nextKey = std::max(read.nextKey, static_cast<long long>(key) + 1);
        }
        if (stamp.exists && FileUtil::StampOf(path_) == stamp && FileUtil::StampOfOpen(pin.fd) == stamp) return read;
    }
    throw std::runtime_error("the file kept changing while it was being read");
}

void CMyFoods::Adopt(Contents contents, const FileUtil::FileStamp& stamp) {
    std::map<int, std::string> failing = ComputeAll(contents.foods, tables_);
    failing_.clear();
    for (const auto& [key, why] : failing) failing_.insert(key);
    foods_ = std::move(contents.foods);
    // Never back: the keys given here stay given whatever the file now says.
    nextKey_ = std::max(nextKey_, contents.nextKey);
    unknownRoot_ = std::move(contents.unknownRoot);
    unreadable_ = false;
    diskStamp_ = stamp;
}

bool CMyFoods::Load(const std::string& path, std::string& error) {
    path_ = path;
    foods_.clear();
    failing_.clear();
    nextKey_ = 1;
    unreadable_ = false;
    movedAside_.clear();
    unknownRoot_ = {};
    diskStamp_ = {};
    bool read = true;
    try {
        FileUtil::FileStamp stamp;
        Contents contents = ReadTable(stamp);
        Adopt(std::move(contents), stamp);
    } catch (const std::exception& e) {
        unreadable_ = true;
        diskStamp_ = FileUtil::StampOf(path_);
        nextKey_ = KeysAfter(path_);
        error = "Can't read your own foods from " + path + ":\n" + e.what() +
                "\nThe file is kept as it is; your next change to your foods moves it aside.";
        read = false;
    }
    // Profiles may have logged foods of a table moved aside: their keys stay taken.
    nextKey_ = std::max(nextKey_, KeysAfterMovedAside(path_));
    Publish();
    return read;
}

void CMyFoods::Reread() {
    try {
        FileUtil::FileStamp stamp;
        Contents contents = ReadTable(stamp);
        Adopt(std::move(contents), stamp);
    } catch (const std::exception&) {
        // Broken since it was read here: the change goes on from the table as it was read, and
        // the broken file is moved aside, its keys kept from being given again.
        unreadable_ = true;
        diskStamp_ = FileUtil::StampOf(path_);
        nextKey_ = std::max(nextKey_, KeysAfter(path_));
    }
    Publish();
}

std::string CMyFoods::Check(const MyFood& food, const FoodKey& key) const {
    const std::string& name = food.food.Name();
    bool visible = false;
    if (const std::string fault = TextFault(name, visible); !fault.empty()) return "The name of a food " + fault + ".";
    if (!visible) return "A food needs a name.";
    if (std::string why = CheckText(food.group, "The group of " + Quoted(name)); !why.empty()) return why;
    if (std::string why = CheckValues(food.food, tables_); !why.empty()) return why;
    if (!food.recipe) return {};
    if (std::string why = CheckRecipeNumbers(*food.recipe, name); !why.empty()) return why;
    for (const RecipeIngredient& i : food.recipe->ingredients) {
        if (i.food.source == MyFoods::kSourceId ? !Find(i.food) : !tables_.FindFood(i.food))
            return "The ingredient " + Quoted(i.name) + " is not in the food tables.";
        if (i.food == key) return "A recipe can't be an ingredient of itself: " + Quoted(name) + ".";
        if (const MyFood* inner = Find(i.food); inner && inner->recipe && Reaches(*inner->recipe, key))
            return Quoted(i.name) + " can't be an ingredient of " + Quoted(name) + ": it is made with " + Quoted(name) +
                   ".";
    }
    CDS_Ingredient made = food.food;
    std::string why;
    if (ComputeWith([this](const FoodKey& k) { return tables_.FindFood(k); }, *food.recipe, made, why) !=
        Computed::Done)
        return why;
    return {};
}

bool CMyFoods::Reaches(const Recipe& recipe, const FoodKey& key) const {
    std::unordered_map<int, const MyFood*> byKey;
    byKey.reserve(foods_.size());
    for (const MyFood& f : foods_) byKey.emplace(f.food.GetFoodKey().key, &f);
    std::set<int> seen;
    std::vector<const Recipe*> todo{&recipe};
    while (!todo.empty()) {
        const Recipe* r = todo.back();
        todo.pop_back();
        for (const RecipeIngredient& i : r->ingredients) {
            if (i.food == key) return true;
            if (i.food.source != MyFoods::kSourceId || !seen.insert(i.food.key).second) continue;
            auto it = byKey.find(i.food.key);
            if (it != byKey.end() && it->second->recipe) todo.push_back(&*it->second->recipe);
        }
    }
    return false;
}

std::optional<FoodKey> CMyFoods::Add(MyFood food, std::string& error) {
    if (food.recipe && food.group == MyFoods::kFoodsGroup) food.group = MyFoods::kRecipesGroup;
    // A first look against the table as read here, so that a refused food touches nothing.
    if (nextKey_ >= kKeysEnd) {
        error = kNoKeysLeft;
        return std::nullopt;
    }
    food.food.SetFoodKey(FoodKey(static_cast<int>(nextKey_), MyFoods::kSourceId));
    if (std::string why = Check(food, food.food.GetFoodKey()); !why.empty()) {
        error = why;
        return std::nullopt;
    }
    std::optional<FoodKey> added;
    const bool changed = Change(
        [&](std::vector<MyFood>& foods, long long& nextKey, std::string& why) {
            if (nextKey >= kKeysEnd) {
                why = kNoKeysLeft;
                return false;
            }
            const FoodKey key(static_cast<int>(nextKey), MyFoods::kSourceId);
            food.food.SetFoodKey(key);
            if (why = Check(food, key); !why.empty()) return false;
            foods.push_back(food);
            ++nextKey;
            added = key;
            return true;
        },
        error);
    if (!changed) return std::nullopt;
    return added;
}

namespace {

// The food of that key in the table being changed (which may have been read again since), or end()
// with the reason.
std::vector<MyFood>::iterator FoodOfKey(std::vector<MyFood>& foods, const FoodKey& key, std::string& why) {
    const auto it = std::find_if(foods.begin(), foods.end(), [&key](const MyFood& f) {
        return key.source == MyFoods::kSourceId && f.food.GetFoodKey().key == key.key;
    });
    if (it == foods.end()) why = "Your own foods have no food of key " + std::to_string(key.key) + ".";
    return it;
}

}  // namespace

bool CMyFoods::Replace(const FoodKey& key, MyFood food, std::string& error) {
    food.food.SetFoodKey(key);
    return Change(
        [&](std::vector<MyFood>& foods, long long&, std::string& why) {
            const auto old = FoodOfKey(foods, key, why);
            if (old == foods.end()) return false;
            if (why = Check(food, key); !why.empty()) return false;
            *old = food;
            return true;
        },
        error);
}

bool CMyFoods::Remove(const FoodKey& key, std::string& error) {
    return Change(
        [&](std::vector<MyFood>& foods, long long&, std::string& why) {
            const auto old = FoodOfKey(foods, key, why);
            if (old == foods.end()) return false;
            foods.erase(old);
            return true;
        },
        error);
}

bool CMyFoods::Change(const Edit& edit, std::string& error) {
    const std::string cantSave = "Can't save your own foods to " + path_ + ":\n";
    for (int attempt = 0;; ++attempt) {
        try {
            const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
            if (!folder.empty()) std::filesystem::create_directories(folder);
            const FileUtil::FileLock lock = LockTable(path_);
            // Another program (the command-line one beside the desktop one) may have changed the
            // file since it was read here; the change is made to the file as it is now.
            if (FileUtil::StampOf(path_) != diskStamp_) Reread();
            std::vector<MyFood> foods = foods_;
            long long nextKey = nextKey_;
            if (!edit(foods, nextKey, error)) return false;
            std::map<int, std::string> failing = ComputeAll(foods, tables_);
            for (const auto& [key, why] : failing)
                if (!failing_.count(key)) {
                    error = why;
                    return false;
                }
            const std::string text = Serialize(foods, nextKey);
            if (unreadable_) {
                movedAside_ = FileUtil::MoveAside(path_);
                unreadable_ = false;
            }
            const FileUtil::FileStamp expected = FileUtil::StampOf(path_);
            FileUtil::FileStamp written;
            FileUtil::WriteOptions options;
            options.backupPath = path_ + "~";
            // Only a writer that holds the lock knows that no other one is half-way.
            options.removeStaleTemporaries = lock.Holds();
            options.written = &written;
            options.beforeReplace = [this, &expected] {
                if (FileUtil::StampOf(path_) != expected) throw ChangedMeanwhile();
            };
            FileUtil::WriteFileAtomic(path_, text, options);
            foods_ = std::move(foods);
            nextKey_ = nextKey;
            failing_.clear();
            for (const auto& [key, why] : failing) failing_.insert(key);
            diskStamp_ = written;
            Publish();
            return true;
        } catch (const ChangedMeanwhile& e) {
            if (attempt < 3) continue;
            error = cantSave + e.what();
            return false;
        } catch (const std::exception& e) {
            error = cantSave + e.what();
            return false;
        }
    }
}

std::string CMyFoods::Serialize(const std::vector<MyFood>& foods, long long nextKey) const {
    Xml::XmlDocument doc;
    Xml::XmlElement root = doc.CreateElement("DataSource");
    doc.AppendChild(root);
    root.SetAttribute("Name", MyFoods::kTableName);
    root.SetAttribute("ID", MyFoods::kSourceId);
    root.SetAttribute("version", 1);
    // Keys of deleted foods are never given again, so a profile that logged one keeps its own
    // copy. The last key given makes it one past the largest int, hence a double.
    root.SetAttribute("nextKey", static_cast<double>(nextKey));

    std::set<int> used;
    for (const MyFood& f : foods)
        for (const auto& [gid, value] : f.food.NutrientValues()) used.insert(gid);
    Xml::XmlElement nutrients = root.AddElement("Nutrients");
    for (const CDS_Nutrition& n : tables_.Nutrients())
        if (used.count(n.gid)) n.Save(nutrients);

    Xml::XmlElement groupsElement = root.AddElement("FoodGroups");
    std::vector<std::pair<std::string, std::vector<const MyFood*>>> groups{{MyFoods::kFoodsGroup, {}},
                                                                           {MyFoods::kRecipesGroup, {}}};
    std::unordered_map<std::string, std::size_t> groupIndex{{MyFoods::kFoodsGroup, 0}, {MyFoods::kRecipesGroup, 1}};
    for (const MyFood& f : foods) {
        auto [it, added] = groupIndex.emplace(f.group, groups.size());
        if (added) groups.emplace_back(f.group, std::vector<const MyFood*>{});
        groups[it->second].second.push_back(&f);
    }
    const std::string mark = FoodsMark();
    int code = 0;
    for (const auto& [name, members] : groups) {
        Xml::XmlElement group = groupsElement.AddElement("FoodGroup");
        group.SetAttribute("id", name);
        group.SetAttribute("code", ++code);
        if (!members.empty()) group.AddElement(mark);
    }
    unknownRoot_.Restore(root);
    doc.Indent();
    const std::string outline = doc.GetXml();

    // Each group's mark gives way to its foods, group by group.
    const std::string markLine = "<" + mark + "/>\n";
    std::string text;
    std::size_t from = 0;
    for (const auto& [name, members] : groups) {
        if (members.empty()) continue;
        const std::size_t at = outline.find(markLine, from);
        const std::size_t lineStart = at == std::string::npos ? at : outline.rfind('\n', at);
        if (lineStart == std::string::npos || lineStart < from)
            throw Xml::XmlError(Xml::XmlError::Io, "Can't place the foods of the table");
        text.append(outline, from, lineStart + 1 - from);
        AppendFoodsText(members, text);
        from = at + markLine.size();
    }
    text.append(outline, from);
    return text;
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
    return ComputeWith([&tables](const FoodKey& key) { return tables.FindFood(key); }, recipe, out, error) ==
           Computed::Done;
}
