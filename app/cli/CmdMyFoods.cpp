// The user's own foods and recipes from the command line: foods add, foods show, recipe add.

#include "Commands.h"

#include "model/TextFormat.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/MyFoods.h"

#include <iostream>

namespace Cli {

namespace {

// NAME=VALUE split at the last '='.
std::pair<std::string, std::string> SplitPair(const std::string& text, const std::string& what) {
    const auto eq = text.rfind('=');
    if (eq == std::string::npos || eq == 0) throw UsageError(what + " must be NAME=VALUE, not '" + text + "'");
    return {text.substr(0, eq), text.substr(eq + 1)};
}

// The nutrient a table declares under that number.
const CDS_Nutrition* NutrientNumbered(const CDataSourceMgr& tables, int number) {
    for (const CDS_Nutrition& n : tables.Nutrients())
        if (n.id == number) return &n;
    return nullptr;
}

const CDS_Nutrition* NutrientOfGid(const CDataSourceMgr& tables, int gid) {
    for (const CDS_Nutrition& n : tables.Nutrients())
        if (n.gid == gid) return &n;
    return nullptr;
}

// Prints the key of what was added, or the refusal; tells where an unreadable table went.
int Report(CliContext& ctx, const std::optional<FoodKey>& key, const std::string& error) {
    if (!ctx.MyFoods().MovedAside().empty())
        std::cerr << "velmora-cli: your own foods could not be read; the file was kept as "
                  << ctx.MyFoods().MovedAside() << '\n';
    if (!key) {
        std::cerr << "velmora-cli: " << error << '\n';
        return 1;
    }
    std::cout << key->source << ':' << key->key << '\n';
    return 0;
}

int Add(CliContext& ctx, std::vector<std::string>& args) {
    const auto name = TakeOption(args, "--name");
    const auto group = TakeOption(args, "--group");
    const auto per = TakeOption(args, "--per");
    const auto nutrients = TakeOptions(args, "--nutrient");
    const auto portions = TakeOptions(args, "--portion");
    if (!name) throw UsageError("foods add needs --name NAME");
    if (!args.empty()) throw UsageError("foods add: unexpected '" + args.front() + "'");
    const double grams = per ? ParseDouble(*per, "--per") : 100.0;
    if (grams <= 0) throw UsageError("--per must be more than 0 grams, not '" + *per + "'");

    const CDataSourceMgr& tables = ctx.DataSource();
    MyFood food;
    food.food.SetName(*name);
    if (group && !group->empty()) food.group = *group;
    for (const std::string& item : nutrients) {
        const auto [numberText, valueText] = SplitPair(item, "--nutrient");
        const int number = ParseInt(numberText, "--nutrient NUMBER");
        const CDS_Nutrition* nutrient = NutrientNumbered(tables, number);
        if (!nutrient) throw UsageError("no food table has a nutrient numbered " + numberText);
        food.food.SetNutrientValue(nutrient->gid, ParseDouble(valueText, "--nutrient VALUE") * 100.0 / grams);
    }
    for (const std::string& item : portions) {
        const auto [portion, weight] = SplitPair(item, "--portion");
        food.food.AddUnit(portion, ParseDouble(weight, "--portion GRAMS"));
    }
    std::string error;
    const auto key = ctx.MyFoods().Add(std::move(food), error);
    return Report(ctx, key, error);
}

}  // namespace

int FoodsAdd(CliContext& ctx, std::vector<std::string>& args) { return Add(ctx, args); }

int FoodsShow(CliContext& ctx, std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError("foods show needs one SOURCE:KEY");
    const FoodKey key = ParseFoodKeyOption(args[0], "SOURCE:KEY");
    const CDataSourceMgr& tables = ctx.DataSource();
    const CDS_Ingredient* food = tables.FindFood(key);
    if (!food) {
        std::cerr << "velmora-cli: no food table has the food " << args[0] << '\n';
        return 1;
    }
    std::cout << food->Name() << '\n';
    // In the order the tables list their nutrients; a value of a nutrient no table declares last.
    for (const CDS_Nutrition& n : tables.Nutrients()) {
        auto it = food->NutrientValues().find(n.gid);
        if (it == food->NutrientValues().end()) continue;
        std::cout << n.id << '\t' << n.name << '\t' << TextFormat::LowerG(it->second) << '\t' << n.units << '\n';
    }
    for (const auto& [gid, value] : food->NutrientValues())
        if (!NutrientOfGid(tables, gid)) std::cout << gid << '\t' << '\t' << TextFormat::LowerG(value) << '\t' << '\n';
    for (std::size_t i = 1; i < food->Units().size(); ++i)
        std::cout << "portion\t" << food->Units()[i].name << '\t' << TextFormat::LowerG(food->Units()[i].grams) << '\n';
    return 0;
}

int CmdRecipe(CliContext& ctx, std::vector<std::string>& args) {
    if (args.empty() || args.front() != "add") throw UsageError("recipe needs a sub-command: add");
    args.erase(args.begin());
    const auto name = TakeOption(args, "--name");
    const auto ingredients = TakeOptions(args, "--ingredient");
    const auto cooked = TakeOption(args, "--cooked-weight");
    const auto servings = TakeOption(args, "--servings");
    if (!name) throw UsageError("recipe add needs --name NAME");
    if (ingredients.empty()) throw UsageError("recipe add needs at least one --ingredient SOURCE:KEY=GRAMS");
    if (!args.empty()) throw UsageError("recipe add: unexpected '" + args.front() + "'");

    const CDataSourceMgr& tables = ctx.DataSource();
    MyFood recipe;
    recipe.food.SetName(*name);
    recipe.group = MyFoods::kRecipesGroup;
    recipe.recipe.emplace();
    for (const std::string& item : ingredients) {
        const auto [keyText, gramsText] = SplitPair(item, "--ingredient");
        RecipeIngredient ingredient;
        ingredient.food = ParseFoodKeyOption(keyText, "--ingredient");
        ingredient.amount = ingredient.grams = ParseDouble(gramsText, "--ingredient GRAMS");
        const CDS_Ingredient* food = tables.FindFood(ingredient.food);
        ingredient.name = food ? food->Name() : keyText;
        recipe.recipe->ingredients.push_back(std::move(ingredient));
    }
    if (cooked) recipe.recipe->cookedWeight = ParseDouble(*cooked, "--cooked-weight");
    if (servings) recipe.recipe->servings = ParseDouble(*servings, "--servings");
    std::string error;
    const auto key = ctx.MyFoods().Add(std::move(recipe), error);
    return Report(ctx, key, error);
}

}  // namespace Cli
