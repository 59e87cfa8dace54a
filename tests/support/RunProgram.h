#pragma once

#include "support/TempDir.h"

#include <string>
#include <vector>

struct ProgramRun {
    int code = -1;  // the exit code; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `args` as a user's shell would, each argument one word whatever it holds.
// Standard error goes through "stderr.txt" in `scratch`.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const TempDir& scratch);

// Runs the built velmora-cli with "--app-dir" `appDir`, then `options`, then `args`. The
// application folder also takes the scratch files.
ProgramRun RunCli(const TempDir& appDir, const std::vector<std::string>& args,
                  const std::vector<std::string>& options = {});
