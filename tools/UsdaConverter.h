#pragma once

#include "UsdaSource.h"

#include <string>
#include <vector>

// Builds the program's default food data source from USDA SR24: one "DataSource" file with the
// nutrients, the portion titles, the SR food groups and the current foods with their values per
// 100 g, energy factors and measures.
namespace Usda {

// The data source's "ID". Shared by any USDA SR release: NDB numbers are stable across releases,
// so the foods of a profile are still found when a newer release replaces this one.
constexpr int kUsdaSourceId = 1;
constexpr const char* kUsdaSourceName = "USDA SR24";

struct ConvertSummary {
    int foods = 0;       // "Food" elements written
    int groups = 0;      // "FoodGroup" elements written
    int nutrients = 0;   // "Nutrient" elements written
    int portions = 0;    // distinct portion titles
    int units = 0;       // portion units over all foods
    int values = 0;      // nutrient values over all foods
    int deprecated = 0;  // foods listed only in deprecated.index, left out
    int empty = 0;       // current foods without any nutrient value, left out
    // Things the converter had to drop, one line each, e.g. a nutrient name it does not know.
    std::vector<std::string> notes;
};

// A "Nutrient" of the data source; its food values are written under the gid of its number.
struct OutNutrient {
    int number;  // USDA nutrient number
    std::string name;
    std::string units;
    int accuracy;
    int energyComponent;  // -1 for none
};

// Every nutrient the converter can write, in the order of the nutrient table; a data source holds
// those its foods use. Ash and the derived omega sums are not USDA nutrients worth following;
// Vitamin D is given in µg and fluoride in mg, as the reference intakes give them; Vitamin A as
// RAE follows Vitamin A in IU.
std::vector<OutNutrient> NutrientDefinitions();

struct ConvertResult {
    std::string xml;  // the whole data source file
    ConvertSummary summary;
};

// Raises ConvertError naming the file when an index or a food file is broken.
ConvertResult BuildDataSource(const CUsdaSource& source);

// Reads the source (a .deb, the jar, or a folder; see CUsdaSource::Open) and writes the data
// source to outPath atomically: on any error outPath is left as it was. Raises ConvertError for
// bad input and FileUtil::FileError when the file cannot be written.
ConvertSummary ConvertUsda(const std::string& sourcePath, const std::string& outPath);

}  // namespace Usda
