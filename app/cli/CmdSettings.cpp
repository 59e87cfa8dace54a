#include "Commands.h"

#include "Version.h"

#include <iostream>

namespace Cli {

namespace {

void PrintParam(const Config::Param& p, int depth) {
    std::cout << std::string(static_cast<std::size_t>(depth) * 2, ' ') << p.Name() << " (" << Config::TypeName(p.Type())
              << (p.IsWritable() ? ", writable" : "") << ")";
    if (!p.Value().empty()) std::cout << " = " << p.Value();
    std::cout << '\n';
    for (const auto& child : p.Children()) PrintParam(*child, depth + 1);
}

}  // namespace

int CmdVersion(CliContext&, std::vector<std::string>&) {
    std::cout << "Velmora " << GetProgramVersion() << '\n';
    return 0;
}

int CmdSettings(CliContext& ctx, std::vector<std::string>&) {
    auto& store = ctx.SettingsStore();
    std::cout << "Application folder: " << ctx.AppDir() << '\n';
    for (const auto& [name, section] : store.Sections()) {
        std::cout << '[' << name << "]\n";
        for (const auto& param : section->Children()) PrintParam(*param, 1);
    }
    // The error went to standard error as it happened; what is listed then is what the program
    // runs on instead, which a script must not take for the file's content.
    return store.ReadFailed() ? 1 : 0;
}

}  // namespace Cli
