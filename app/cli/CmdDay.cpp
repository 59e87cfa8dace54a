#include "Commands.h"

#include "core/LoadReport.h"
#include "document/ProfileDocument.h"
#include "model/Meal.h"
#include "model/TextFormat.h"
#include "refdata/DataSourceMgr.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <stdexcept>

namespace Cli {

namespace {

const Meal::CMealManager& Meals() {
    static const Meal::CMealManager meals;
    return meals;
}

// Bad input: reported, exit code 1, nothing written.
[[noreturn]] void Refuse(const std::string& why) { throw std::runtime_error(why); }

std::string TakeFile(std::vector<std::string>& args, const std::string& command) {
    if (args.size() != 1) throw UsageError(command + " needs one profile file");
    return args.front();
}

std::string CheckedDate(const std::string& text) {
    if (!Services::ParseDateKey(text)) Refuse("'" + text + "' is not a date as YYYYMMDD");
    return text;
}

double ParseNumber(const std::string& text, const std::string& what) {
    double d = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto r = std::from_chars(begin, end, d);
    if (text.empty() || r.ec != std::errc() || r.ptr != end || !std::isfinite(d))
        Refuse(what + " must be a number, not '" + text + "'");
    return d;
}

FoodKey ParseFoodKey(const std::string& text) {
    const auto colon = text.find(':');
    int source = 0;
    int key = 0;
    auto whole = [](const std::string& part, int& out) {
        auto r = std::from_chars(part.data(), part.data() + part.size(), out);
        return !part.empty() && r.ec == std::errc() && r.ptr == part.data() + part.size();
    };
    if (colon == std::string::npos || !whole(text.substr(0, colon), source) || !whole(text.substr(colon + 1), key))
        Refuse("--food must be SOURCE:KEY (two whole numbers), not '" + text + "'");
    return FoodKey(key, source);
}

void CheckMeal(const std::string& meal) {
    std::string known;
    for (int i = 0; i < Meals().MealCount(); ++i) {
        const std::string& name = Meals().MealAt(i).Name();
        if (name == meal) return;
        if (!name.empty()) known += (known.empty() ? "" : ", ") + name;
    }
    Refuse("unknown meal '" + meal + "' (meals: " + known + ")");
}

// The profile as the program opens it; a file that can't be read has been reported already.
std::unique_ptr<CProfileDocument> Open(CliContext& ctx, const std::string& path) {
    auto doc = std::make_unique<CProfileDocument>(&Meals(), &ctx.DataSource());
    if (!doc->OnOpenDocument(path)) return nullptr;
    return doc;
}

// The profile opened to be changed and saved: other writers of this program wait until it is
// saved. What reading had to drop would be lost for good by the save, so then nothing is written
// unless the user says --force.
std::unique_ptr<CProfileDocument> OpenForChange(CliContext& ctx, const std::string& path, bool force) {
    auto doc = std::make_unique<CProfileDocument>(&Meals(), &ctx.DataSource());
    if (!doc->OpenForUpdate(path)) return nullptr;
    if (!LoadReport::IsEmpty() && !force) {
        std::cerr << "Reading " << path << " had to drop data that saving would lose:\n"
                  << LoadReport::FormatLost("", "\t", "\n")
                  << "Nothing was written; give --force to save the profile without it.\n";
        return nullptr;
    }
    return doc;
}

// Display width of a UTF-8 text: continuation bytes take no column.
std::size_t Width(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// Columns padded to their widest cell; columns listed in `rightAligned` are numbers.
void PrintTable(const std::vector<std::vector<std::string>>& rows, const std::vector<bool>& rightAligned) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
    }
    for (const auto& row : rows) {
        std::string line = "  ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - Width(row[c]), ' ');
            const bool right = c < rightAligned.size() && rightAligned[c];
            line += right ? pad + row[c] : row[c] + (c + 1 < row.size() ? pad : "");
            if (c + 1 < row.size()) line += "  ";
        }
        std::cout << line << '\n';
    }
}

std::string Limit(double value) { return value == -1 ? "-" : TextFormat::G(value); }

std::string Within(const UserLog::CNutrientRequirement& r, double intake) {
    if (r.min == -1 && r.max == -1) return "-";
    const bool ok = (r.min == -1 || intake >= r.min) && (r.max == -1 || intake <= r.max);
    return ok ? "yes" : "no";
}

void PrintDay(const CProfileDocument& doc) {
    const NS_Data::CUserLog& log = doc.Log();
    const auto day = log.GetCurrentDay();
    std::cout << "Day " << day->date << '\n';

    std::cout << "Foods:\n";
    if (day->foods.empty()) {
        std::cout << "  (none)\n";
    } else {
        std::vector<std::vector<std::string>> rows = {{"Food", "Meal", "Amount", "Unit", "Grams"}};
        for (const UserLog::CDayFood& e : day->foods)
            rows.push_back({e.food ? e.food->Name() : e.name, e.meal.empty() ? "-" : e.meal, TextFormat::G(e.Amount()),
                            e.UnitName(), TextFormat::G(e.weight)});
        PrintTable(rows, {false, false, true, false, true});
    }

    std::cout << "Requirements:\n";
    std::vector<UserLog::CNutrientRequirement> requirements;
    log.GetEffectiveRequirements(requirements);
    if (requirements.empty()) {
        std::cout << "  (none)\n";
    } else {
        std::vector<std::vector<std::string>> rows = {{"Nutrient", "Units", "Min", "Max", "Intake", "Within"}};
        for (const UserLog::CNutrientRequirement& r : requirements) {
            std::string name = r.name;
            std::string units = r.units;
            if (name.empty() && log.DataSource())
                for (const CDS_Nutrition& n : log.DataSource()->Nutrients())
                    if (n.gid == r.gid) {
                        name = n.name;
                        units = n.units;
                    }
            const double intake = log.GetIntake(r.gid);
            rows.push_back({name, units, Limit(r.min), Limit(r.max), TextFormat::G(intake), Within(r, intake)});
        }
        PrintTable(rows, {false, false, true, true, true, false});
    }

    if (!day->facts.IsEmpty()) {
        std::cout << "Facts:\n";
        std::vector<std::vector<std::string>> rows;
        for (const UserLog::CFact& f : day->facts.Items()) {
            const int def = log.Facts().FindDefinition(f.name);
            rows.push_back({f.name, UserLog::IsDefined(f.value) ? TextFormat::G(f.value) : "-",
                            def >= 0 ? log.Facts().At(def).units : ""});
        }
        PrintTable(rows, {false, true, false});
    }
}

int Show(CliContext& ctx, std::vector<std::string>& args) {
    const auto date = TakeOption(args, "--date");
    const std::string path = TakeFile(args, "day show");
    if (date) CheckedDate(*date);
    auto doc = Open(ctx, path);
    if (!doc) return 1;
    if (date) doc->GoToDate(*date);
    PrintDay(*doc);
    return 0;
}

int Add(CliContext& ctx, std::vector<std::string>& args) {
    const auto date = TakeOption(args, "--date");
    const auto food = TakeOption(args, "--food");
    const auto grams = TakeOption(args, "--grams");
    const auto meal = TakeOption(args, "--meal");
    const bool force = TakeFlag(args, "--force");
    const std::string path = TakeFile(args, "day add");
    if (!date) throw UsageError("day add needs --date YYYYMMDD");
    if (!food) throw UsageError("day add needs --food SOURCE:KEY");

    CheckedDate(*date);
    const FoodKey key = ParseFoodKey(*food);
    const double weight = grams ? ParseNumber(*grams, "--grams") : 0.0;
    if (weight < 0) Refuse("--grams must not be negative");
    if (meal) CheckMeal(*meal);

    auto doc = OpenForChange(ctx, path, force);
    if (!doc) return 1;
    doc->GoToDate(*date);
    const int index = doc->AddFoodByKey(key.key, key.source);
    if (index < 0) Refuse("the data source has no food " + *food);
    if (grams) doc->SetFoodWeight(index, weight);
    if (meal) doc->SetFoodMeal(index, *meal);
    return doc->OnSaveDocument(path) ? 0 : 1;
}

int Fact(CliContext& ctx, std::vector<std::string>& args) {
    const auto date = TakeOption(args, "--date");
    const auto name = TakeOption(args, "--name");
    const auto value = TakeOption(args, "--value");
    const bool force = TakeFlag(args, "--force");
    const std::string path = TakeFile(args, "day fact");
    if (!date || !name || !value) throw UsageError("day fact needs --date YYYYMMDD, --name NAME and --value V");

    CheckedDate(*date);
    const double v = ParseNumber(*value, "--value");

    auto doc = OpenForChange(ctx, path, force);
    if (!doc) return 1;
    if (doc->Log().Facts().FindDefinition(*name) < 0) {
        std::string known;
        for (const auto& d : doc->Log().Facts().Definitions()) known += (known.empty() ? "" : ", ") + d.name;
        Refuse("the profile defines no fact '" + *name + "' (facts: " + known + ")");
    }
    doc->GoToDate(*date);
    doc->SetDayFact(*name, v);
    return doc->OnSaveDocument(path) ? 0 : 1;
}

}  // namespace

int CmdDay(CliContext& ctx, std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("day needs a sub-command: show, add or fact");
    const std::string sub = args.front();
    args.erase(args.begin());
    if (sub == "show") return Show(ctx, args);
    if (sub == "add") return Add(ctx, args);
    if (sub == "fact") return Fact(ctx, args);
    throw UsageError("unknown day sub-command '" + sub + "'");
}

}  // namespace Cli
