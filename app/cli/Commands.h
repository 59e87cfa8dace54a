#pragma once

#include "CliContext.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CSingleDayDocData;

namespace Cli {

// A command gets the arguments after its name and answers the process exit code.
using CommandFn = int (*)(CliContext&, std::vector<std::string>&);

struct Command {
    const char* name;
    const char* usage;
    CommandFn run;
};

int CmdVersion(CliContext&, std::vector<std::string>&);
int CmdSettings(CliContext&, std::vector<std::string>&);
int CmdEer(CliContext&, std::vector<std::string>&);
int CmdConvertUsda(CliContext&, std::vector<std::string>&);
int CmdConvertIfct(CliContext&, std::vector<std::string>&);
int CmdFoods(CliContext&, std::vector<std::string>&);
int FoodsAdd(CliContext&, std::vector<std::string>&);
int FoodsShow(CliContext&, std::vector<std::string>&);
int CmdRecipe(CliContext&, std::vector<std::string>&);
int CmdDri(CliContext&, std::vector<std::string>&);
int CmdJson(CliContext&, std::vector<std::string>&);
int CmdReport(CliContext&, std::vector<std::string>&);

// A profile FILE read as opening it would, on the configured data source, its day `date` made
// current when given. Raises the reader's error text.
std::unique_ptr<CSingleDayDocData> LoadProfileForCommand(CliContext& ctx, const std::string& path,
                                                         const std::optional<std::string>& date);
int CmdProfile(CliContext&, std::vector<std::string>&);
int CmdDay(CliContext&, std::vector<std::string>&);
int CmdTargets(CliContext&, std::vector<std::string>&);
int CmdSampleProfile(CliContext&, std::vector<std::string>&);
// Takes --from YYYYMMDD and --to YYYYMMDD out of args: both required, valid dates, from not after
// to; else a UsageError naming `command`.
std::pair<std::string, std::string> TakeDateRange(std::vector<std::string>& args, const std::string& command);
int CmdTrends(CliContext&, std::vector<std::string>&);
int CmdExport(CliContext&, std::vector<std::string>&);

}  // namespace Cli
