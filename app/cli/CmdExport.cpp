#include "Commands.h"

#include "document/SingleDayDocData.h"
#include "document/fileio/CsvExport.h"

namespace Cli {

// The log of a range of days as a spreadsheet: one row per food entry, or one per day.
int CmdExport(CliContext& ctx, std::vector<std::string>& args) {
    if (args.empty() || args.front() != "csv") throw UsageError("export needs a format: csv");
    args.erase(args.begin());
    const bool entries = TakeFlag(args, "--entries");
    const bool daily = TakeFlag(args, "--daily");
    const auto [from, to] = TakeDateRange(args, "export csv");
    if (entries == daily) throw UsageError("export csv needs either --entries or --daily");
    if (args.size() != 2) throw UsageError("export csv needs a profile FILE and an OUT.csv file");
    const auto data = LoadProfileForCommand(ctx, args[0], std::nullopt);
    CsvExport::Write(data->Log(), entries ? CsvExport::Kind::Entries : CsvExport::Kind::Daily, from, to, args[1]);
    return 0;
}

}  // namespace Cli
