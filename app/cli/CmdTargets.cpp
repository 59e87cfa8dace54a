#include "Commands.h"

#include "model/TextFormat.h"

#include "document/SingleDayDocData.h"
#include "model/Targets.h"
#include "model/UserLog.h"

#include <iostream>

namespace Cli {

namespace {

std::string Number(double value) { return value < 0 ? std::string() : TextFormat::LowerG(value); }

}  // namespace

// One line per followed nutrient of the day: how far the day came towards its target, judged as
// the program judges it with the current settings.
int CmdTargets(CliContext& ctx, std::vector<std::string>& args) {
    const auto date = TakeOption(args, "--date");
    if (args.size() != 1) throw UsageError("targets needs one profile FILE");
    const auto data = LoadProfileForCommand(ctx, args[0], date);
    const NS_Data::CUserLog& log = data->Log();
    for (const Targets::Target& t : Targets::ForDay(log, *log.GetCurrentDay())) {
        std::cout << t.name << '\t' << TextFormat::LowerG(t.intake) << '\t' << Number(t.min) << '\t' << Number(t.max)
                  << '\t' << Targets::BasisName(t.basis) << '\t'
                  << (t.percent < 0 ? std::string() : std::to_string(t.percent)) << '\t'
                  << Targets::StatusName(t.status) << '\n';
    }
    return 0;
}

}  // namespace Cli
