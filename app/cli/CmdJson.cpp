#include "Commands.h"

#include "document/SingleDayDocData.h"

#include "document/report/PageTemplate.h"
#include "document/report/TargetsJson.h"
#include "model/UserLog.h"

#include <iostream>

namespace Cli {

// The JSON text the page host inserts for a placeholder, as the pages receive it.
int CmdJson(CliContext& ctx, std::vector<std::string>& args) {
    const auto key = TakeOption(args, "--placeholder");
    const auto date = TakeOption(args, "--date");
    if (args.size() != 1) throw UsageError("json needs one profile FILE");
    if (!key) throw UsageError("json needs --placeholder KEY, for example %JSON_USERLOG_LOG%");
    const auto data = LoadProfileForCommand(ctx, args[0], date);
    const CTargetsJson targets(data->Log());
    const bool ofTargets = *key == CTargetsJson::kJsonDayTargets || *key == CTargetsJson::kJsonMonthStatus;
    std::cout << Page::PlaceholderJson(ofTargets ? static_cast<const IJSONSerialize*>(&targets) : &data->Log(), *key);
    return 0;
}

}  // namespace Cli
