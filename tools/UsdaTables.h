#pragma once

#include <map>
#include <string>
#include <vector>

// What the per-food files of USDA SR24 do not say themselves: which USDA nutrient each of their
// nutrient names stands for, and which SR food group each food belongs to. The tables live in
// tools/usda/ and are compiled into the converter.
namespace Usda {

struct SourceNutrient {
    std::string sourceName;  // as the per-food files name it, e.g. "B1 (Thiamine)"
    int number = 0;          // USDA nutrient number; 0 for a derived figure that USDA does not define
    std::string name;        // USDA's name, e.g. "Thiamin"
    std::string units;
    int decimals = -1;  // USDA's display decimals; -1 when the table gives none
};

struct FoodGroup {
    int code = 0;  // FdGrp_Cd as a number: "0100" is 100
    std::string name;
};

// In table order.
const std::vector<SourceNutrient>& SourceNutrients();
// The 25 SR food groups in code order.
const std::vector<FoodGroup>& FoodGroups();
// NDB number -> food group code, for every food of SR24 (current and deprecated).
const std::map<int, int>& FoodGroupByNdb();

// Rows of a tab-separated text after its header line, each split at the tabs; CR line ends and
// blank lines are tolerated.
std::vector<std::vector<std::string>> ParseTsv(const std::string& text);

namespace detail {
extern const char kFoodGroupsTsv[];
extern const char kFoodGroupByNdbTsv[];
extern const char kNutrientsTsv[];
}  // namespace detail

}  // namespace Usda
