#include "support/RunProgram.h"

#include <sys/wait.h>
#include <cstdio>

namespace {

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const TempDir& scratch) {
    std::string cmd = Quote(program);
    for (const auto& a : args) cmd += ' ' + Quote(a);
    cmd += " 2>" + Quote(scratch.File("stderr.txt"));
    ProgramRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    const int status = ::pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = scratch.Read("stderr.txt");
    return r;
}

ProgramRun RunCli(const TempDir& appDir, const std::vector<std::string>& args,
                  const std::vector<std::string>& options) {
    std::vector<std::string> all = {"--app-dir", appDir.Path().string()};
    all.insert(all.end(), options.begin(), options.end());
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram(std::string(VELMORA_BIN_DIR) + "/velmora-cli", all, appDir);
}
