// The reader of the Indian food composition table (index.csv of its npm package). A table it
// refuses raises ConvertError; a table it takes must come out as a data source that the
// program's own loader reads completely.

#include "FuzzSupport.h"

#include "refdata/DataSourceMgr.h"
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

    output.Set(reinterpret_cast<const std::uint8_t*>(result.xml.data()), result.xml.size());
    CDataSourceMgr mgr;
    std::string error;
    if (!mgr.Load(output.Path(), {}, error))
        FuzzSupport::Fault("the converted data source does not load: " + error + " " + mgr.DocumentErrorDetail());
    if (mgr.Foods().Size() != static_cast<std::size_t>(result.summary.foods))
        FuzzSupport::Fault("the loader finds another number of foods than the converter wrote");
    return 0;
}
