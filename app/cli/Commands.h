#pragma once

#include "CliContext.h"

#include <string>
#include <vector>

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
int CmdFoods(CliContext&, std::vector<std::string>&);
int CmdDri(CliContext&, std::vector<std::string>&);
int CmdProfile(CliContext&, std::vector<std::string>&);
int CmdDay(CliContext&, std::vector<std::string>&);

}  // namespace Cli
