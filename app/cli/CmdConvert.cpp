#include "Commands.h"

#include "tools/IfctConverter.h"
#include "tools/UsdaConverter.h"

#include <chrono>
#include <iostream>

namespace Cli {

int CmdConvertUsda(CliContext&, std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("convert-usda needs SOURCE and OUT.xml");
    const auto start = std::chrono::steady_clock::now();
    const Usda::ConvertSummary s = Usda::ConvertUsda(args[0], args[1]);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    for (const auto& note : s.notes) std::cerr << "velmora-cli: note: " << note << '\n';
    std::cout << "Wrote " << args[1] << ": " << s.foods << " foods, " << s.groups << " groups, " << s.nutrients
              << " nutrients, " << s.portions << " portions (" << s.units << " food units, " << s.values
              << " nutrient values) in " << ms << " ms\n"
              << "Left out " << s.deprecated << " deprecated foods and " << s.empty << " foods without nutrients\n";
    return 0;
}

int CmdConvertIfct(CliContext&, std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError("convert-ifct needs SOURCE and OUT.xml");
    const auto start = std::chrono::steady_clock::now();
    const Ifct::ConvertSummary s = Ifct::ConvertIfct(args[0], args[1]);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    for (const auto& note : s.notes) std::cerr << "velmora-cli: note: " << note << '\n';
    std::cout << "Wrote " << args[1] << ": " << s.foods << " foods, " << s.groups << " groups, " << s.nutrients
              << " nutrients (" << s.values << " nutrient values) in " << ms << " ms\n";
    return 0;
}

}  // namespace Cli
