// The reader of the Indian food composition table (index.csv of its npm package). A table it
// refuses raises ConvertError; a table it takes must come out as a data source that the
// program's own loader reads completely.

#include "ConvertedTable.h"

#include "tools/IfctConverter.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzSupport::MemoryFile output;
    Ifct::ConvertResult result;
    try {
        result = Ifct::BuildDataSource(std::string(reinterpret_cast<const char*>(data), size), "index.csv");
    } catch (const Ifct::ConvertError&) {
        return 0;
    }

    FuzzSupport::CheckConvertedTableLoads(output, result.xml, result.summary.foods);
    return 0;
}
