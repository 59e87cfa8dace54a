#include "Commands.h"

#include "document/SingleDayDocData.h"
#include "document/viewmodel/DayFoodList.h"
#include "document/viewmodel/RecentFoods.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/EverydayFoods.h"
#include "refdata/FoodSearch.h"
#include "refdata/SmartHierarchy.h"

#include <iostream>
#include <set>

namespace Cli {

namespace {

std::ostream& operator<<(std::ostream& out, const FoodKey& key) { return out << key.source << ':' << key.key; }

const CDS_FoodGroup* FindGroup(const CDS_FoodGroup& group, int code) {
    if (group.code == code) return &group;
    for (const auto& sub : group.subGroups)
        if (const CDS_FoodGroup* found = FindGroup(*sub, code)) return found;
    return nullptr;
}

void PrintItems(const CDS_FoodGroup& group, const std::vector<SmartItem>& items, int level) {
    const std::string indent(static_cast<std::size_t>(level) * 2, ' ');
    for (const SmartItem& item : items) {
        if (item.kind == SmartItem::Kind::Category) {
            std::cout << indent << "[category] " << item.text << '\n';
            PrintItems(group, item.children, level + 1);
        } else {
            std::cout << indent << item.text << '\t' << group.foods[static_cast<std::size_t>(item.food)]->GetFoodKey()
                      << '\n';
        }
    }
}

// The search as the ingredients view runs it: each term in turn through the shared search
// context, the last list shown in the order the view ranks it (foods the profile logged before
// ahead of others when --profile names one).
int Search(CliContext& ctx, std::vector<std::string>& args) {
    const auto profile = TakeOption(args, "--profile");
    if (args.empty()) throw UsageError("foods search needs a text");
    std::string text = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) text += ' ' + args[i];
    const CDataSourceMgr& source = ctx.DataSource();
    std::set<FoodKey> logged;
    if (profile) logged = LoadProfileForCommand(ctx, *profile, std::nullopt)->Log().LoggedFoods();
    std::string error;
    const auto everyday = CEverydayFoods::LoadShared(ctx.AppDir(), error);
    if (!error.empty()) std::cerr << "velmora-cli: " << error << '\n';
    CFoodSearchContext search;
    search.SetText(text);
    while (search.ProcessNext(source)) {}
    if (auto list = search.LastResult()) {
        FoodMatchList ranked = *list;
        FoodSearch::Rank(source, ranked, search.Terms(), logged, everyday.get());
        for (const FoodMatch& m : ranked) std::cout << m.key << '\t' << m.food->Name() << '\n';
    }
    return 0;
}

// The Food tab's list of foods to log again, without its headings: favourites (marked "*" before
// the key), recent foods, then the most logged, each with the amount and unit a click logs.
int Recent(CliContext& ctx, std::vector<std::string>& args) {
    if (args.size() != 1) throw UsageError("foods recent needs one profile FILE");
    const auto data = LoadProfileForCommand(ctx, args[0], std::nullopt);
    for (const RecentFoods::Item& item : RecentFoods::Build(data->Log())) {
        const std::string amount = item.last ? DayFoodList::NumberText(item.last->amount) : "";
        const std::string unit = item.last ? item.last->unitName : "";
        std::cout << (item.favourite ? "*" : "") << item.key << '\t' << item.food->Name() << '\t' << amount << '\t'
                  << unit << '\n';
    }
    return 0;
}

// What the food tree shows when the group is expanded: its subgroups, then its foods arranged by
// the smart hierarchy.
int Tree(CliContext& ctx, std::vector<std::string>& args) {
    const auto depthOption = TakeOption(args, "--depth");
    const auto sizeOption = TakeOption(args, "--size");
    const bool fullTitleFlag = TakeFlag(args, "--full-title");
    if (args.size() != 1) throw UsageError("foods tree needs one group code");
    const int code = ParseInt(args[0], "GROUPCODE");
    const int depth = depthOption ? ParseInt(*depthOption, "--depth") : ctx.General().SmartHierarchyDepth();
    const int size = sizeOption ? ParseInt(*sizeOption, "--size") : ctx.General().SmartHierarchySize();
    const bool fullTitle = fullTitleFlag || ctx.General().UseFullTitle();

    const CDataSourceMgr& source = ctx.DataSource();
    const CDS_FoodGroup* group = FindGroup(source.RootGroup(), code);
    if (!group) {
        std::cerr << "velmora-cli: the data source has no food group with code " << code << '\n';
        return 1;
    }
    for (const auto& sub : group->subGroups) std::cout << "[group] " << sub->name << '\n';
    PrintItems(*group, BuildSmartHierarchy(*group, depth, size, fullTitle), 0);
    return 0;
}

}  // namespace

int CmdFoods(CliContext& ctx, std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("foods needs a sub-command: search, tree, recent, add or show");
    const std::string sub = args.front();
    args.erase(args.begin());
    if (sub == "search") return Search(ctx, args);
    if (sub == "tree") return Tree(ctx, args);
    if (sub == "recent") return Recent(ctx, args);
    if (sub == "add") return FoodsAdd(ctx, args);
    if (sub == "show") return FoodsShow(ctx, args);
    throw UsageError("unknown foods sub-command '" + sub + "'");
}

}  // namespace Cli
