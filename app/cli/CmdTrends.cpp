#include "Commands.h"

#include "document/SingleDayDocData.h"
#include "model/TextFormat.h"
#include "model/Trends.h"
#include "model/UserLog.h"

#include <iostream>

namespace Cli {

std::pair<std::string, std::string> TakeDateRange(std::vector<std::string>& args, const std::string& command) {
    const auto from = TakeOption(args, "--from");
    const auto to = TakeOption(args, "--to");
    if (!from || !to) throw UsageError(command + " needs --from YYYYMMDD and --to YYYYMMDD");
    for (const std::string* date : {&*from, &*to})
        if (!Services::ParseDateKey(*date))
            throw UsageError((date == &*from ? "--from" : "--to") + std::string(" needs a date as YYYYMMDD, not '") +
                             *date + "'");
    if (*from > *to) throw UsageError("--from " + *from + " lies after --to " + *to);
    return {*from, *to};
}

namespace {

std::string Value(const std::optional<double>& value) { return value ? TextFormat::LowerG(*value) : std::string(); }

}  // namespace

// A nutrient's intake or a fact's value on every day of a range, then the mean of the days that
// have one: tab-separated, for scripts and plots.
int CmdTrends(CliContext& ctx, std::vector<std::string>& args) {
    const auto nutrient = TakeOption(args, "--nutrient");
    const auto fact = TakeOption(args, "--fact");
    const auto [from, to] = TakeDateRange(args, "trends");
    if (nutrient.has_value() == fact.has_value())
        throw UsageError("trends needs either --nutrient NAME or --fact NAME");
    if (args.size() != 1) throw UsageError("trends needs one profile FILE");
    const auto data = LoadProfileForCommand(ctx, args[0], std::nullopt);
    const NS_Data::CUserLog& log = data->Log();

    Trends::Series series;
    if (nutrient) {
        const int gid = Trends::FindNutrient(log, *nutrient);
        if (gid < 0) throw UsageError("the data source has no nutrient '" + *nutrient + "'");
        series = Trends::NutrientSeries(log, gid, from, to);
    } else {
        if (log.Facts().FindDefinition(*fact) < 0) {
            std::string known;
            for (const auto& d : log.Facts().Definitions()) known += (known.empty() ? "" : ", ") + d.name;
            throw UsageError("the profile defines no fact '" + *fact + "' (facts: " + known + ")");
        }
        series = Trends::FactSeries(log, *fact, from, to);
    }
    for (const Trends::Point& point : series) std::cout << point.date << '\t' << Value(point.value) << '\n';
    const auto mean = Trends::Average(series);
    std::cout << "average\t" << (mean ? Value(mean->value) : std::string()) << '\n'
              << "days\t" << (mean ? mean->days : 0) << '\n';
    return 0;
}

}  // namespace Cli
