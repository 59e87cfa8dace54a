#pragma once

// The promise both food table converters keep: what they write, the program loads, with every food.

#include "FuzzSupport.h"

#include "refdata/DataSourceMgr.h"

#include <cstdint>
#include <string>

namespace FuzzSupport {

inline void CheckConvertedTableLoads(MemoryFile& output, const std::string& xml, int foods) {
    output.Set(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size());
    CDataSourceMgr mgr;
    std::string error;
    if (!mgr.Load(output.Path(), {}, error))
        Fault("the converted data source does not load: " + error + " " + mgr.DocumentErrorDetail());
    if (mgr.Foods().Size() != static_cast<std::size_t>(foods))
        Fault("the loader finds another number of foods than the converter wrote");
}

}  // namespace FuzzSupport
