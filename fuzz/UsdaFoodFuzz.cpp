// The USDA converter's reader of one food file (NNNNN.xml of the cronometer jar). A file it
// refuses raises ConvertError; a file it takes must come out as a data source that the program's
// own loader reads completely.

#include "ConvertedTable.h"

#include "tools/UsdaConverter.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Environment {
    Environment() {
        // Butter: a food whose group the converter knows.
        std::ofstream(folder.Path() + "/foods.index") << "01001|Butter, salted\n";
        source.emplace(Usda::CUsdaSource::Open(folder.Path()));
    }

    FuzzSupport::TempFolder folder;
    std::optional<Usda::CUsdaSource> source;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Environment env;
    static FuzzSupport::MemoryFile output;
    {
        std::ofstream food(env.folder.Path() + "/01001.xml", std::ios::binary | std::ios::trunc);
        food.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Usda::ConvertResult result;
    try {
        result = Usda::BuildDataSource(*env.source);
    } catch (const Usda::ConvertError&) {
        return 0;
    }

    FuzzSupport::CheckConvertedTableLoads(output, result.xml, result.summary.foods);
    return 0;
}
