#include "NutrientCatalogue.h"

#include <cmath>

namespace Nutrient {

namespace {

// "µg" is written as UTF-8 (U+00B5); "Folic acid" is measured in "mcg", as USDA writes it.
const StandardNutrient kStandard[] = {
    {0, 0, "Calculated Energy", "CalcEnergy", "kcal", "Energy calculated from protein, fat, carbohydrates and alcohol"},
    {1, 0, "Energy", "ENERC_KCAL", "kcal", "Energy provided from data source"},
    {3, 2, "Protein", "PROCNT", "g", "Protein"},
    {4, 2, "Total Fat", "FAT", "g", "Fat"},
    {5, 2, "Carbohydrate", "CHOCDF", "g", "Carbohydrate"},
    {6, 1, "Alcohol", "ALC", "g", "Alcohol"},
    {7, 2, "Water", "WATER", "g", "Water"},
    {8, 0, "Caffeine", "CAFFN", "mg", "Caffeine"},
    {9, 0, "Theobromine", "THEBRN", "mg", "Theobromine"},
    {10, 2, "Sugars, total", "SUGAR", "g", "Sugars, total"},
    {11, 1, "Fiber, total dietary", "FIBTG", "g", "Fiber, total dietary"},
    {12, 0, "Calcium", "CA", "mg", "Calcium"},
    {13, 2, "Iron", "FE", "mg", "Iron"},
    {14, 0, "Magnesium", "MG", "mg", "Magnesium"},
    {15, 0, "Phosphorus", "P", "mg", "Phosphorus"},
    {16, 0, "Potassium", "K", "mg", "Potassium"},
    {17, 0, "Sodium", "NA", "mg", "Sodium"},
    {18, 2, "Zinc", "ZN", "mg", "Zinc"},
    {19, 3, "Copper", "CU", "mg", "Copper"},
    {20, 1, "Selenium", "SE", "µg", "Selenium"},
    {22, 0, "Vitamin A, RAE", "VITA_RAE", "µg_RAE", "Vitamin A, RAE"},
    {25, 2, "Vitamin E (alpha-tocopherol)", "TOCPHA", "mg", "Vitamin E (alpha-tocopherol)"},
    {29, 1, "Vitamin C", "VITC", "mg", "Vitamin C"},
    {30, 3, "Thiamin", "THIA", "mg", "Thiamin"},
    {31, 3, "Riboflavin", "RIBF", "mg", "Riboflavin"},
    {32, 3, "Niacin", "NIA", "mg", "Niacin"},
    {33, 3, "Vitamin B-6", "VITB6A", "mg", "Vitamin B-6"},
    {34, 0, "Folate, total", "FOL", "µg", "Folate, total"},
    {35, 2, "Vitamin B-12", "VITB12", "µg", "Vitamin B-12"},
    {36, 1, "Choline, total", "CHOLN", "mg", "Choline, total"},
    {37, 1, "Vitamin K (phylloquinone)", "VITK", "µg", "Vitamin K (phylloquinone)"},
    {38, 0, "Folic acid", "FOLAC", "mcg", "Folic acid"},
    {43, 0, "Cholesterol", "CHOLE", "mg", "Cholesterol"},
    {44, 3, "Fatty acids, total saturated", "FASAT", "g", "Fatty acids, total saturated"},
    {64, 3, "Fatty acids, total monounsaturated", "FAMS", "g", "Fatty acids, total monounsaturated"},
    {65, 3, "Fatty acids, total polyunsaturated", "FAPU", "g", "Fatty acids, total polyunsaturated"},
    {66, 1, "Vitamin D (D2 + D3)", "VITD", "µg", "Vitamin D (D2 + D3)"},
};

struct NumberToGid {
    int number;
    int gid;
};

// Searched in this order: 208 always finds gid 1 before the pair 208 -> 2. Manganese (315),
// fluoride (313) and pantothenic acid (410) have no entry in the standard table but one in the
// reference intakes, under these gids.
const NumberToGid kNumberMap[] = {
    {0, 0},     {208, 1},  {208, 2},  {203, 3},  {204, 4},  {205, 5},  {221, 6},  {255, 7},  {262, 8},  {263, 9},
    {269, 10},  {291, 11}, {301, 12}, {303, 13}, {304, 14}, {305, 15}, {306, 16}, {307, 17}, {309, 18}, {312, 19},
    {313, 108}, {315, 75}, {317, 20}, {319, 21}, {320, 22}, {321, 23}, {322, 24}, {323, 25}, {328, 66}, {334, 26},
    {337, 27},  {338, 28}, {401, 29}, {404, 30}, {405, 31}, {406, 32}, {410, 81}, {415, 33}, {417, 34}, {418, 35},
    {421, 36},  {430, 37}, {431, 38}, {432, 39}, {435, 40}, {573, 41}, {578, 42}, {601, 43}, {606, 44}, {607, 45},
    {608, 46},  {609, 47}, {610, 48}, {611, 49}, {612, 50}, {613, 51}, {614, 52}, {617, 53}, {618, 54}, {619, 55},
    {620, 56},  {621, 57}, {626, 58}, {627, 59}, {628, 60}, {629, 61}, {630, 62}, {631, 63}, {645, 64}, {646, 65},
};

// Profiles followed these under the USDA numbers until they were mapped to the reference intakes'
// gids above; USDA gives fluoride in µg, the reference intakes in mg.
const RenumberedNutrient kRenumbered[] = {
    {313, 108, "µg", "mg", 1000.0},
    {315, 75, "mg", "mg", 1.0},
    {410, 81, "mg", "mg", 1.0},
};

}  // namespace

const RenumberedNutrient* RenumberedFrom(int oldGid) {
    for (const auto& r : kRenumbered)
        if (r.oldGid == oldGid) return &r;
    return nullptr;
}

std::span<const StandardNutrient> StandardNutrients() { return kStandard; }

const StandardNutrient* StandardNutrientByGid(int gid) {
    for (const auto& n : kStandard)
        if (n.gid == gid) return &n;
    return nullptr;
}

int GidOfStandardNutrient(const std::string& name) {
    for (const auto& n : kStandard)
        if (name == n.name) return n.gid;
    return -1;
}

int GidOfNutrientNumber(int number) {
    for (const auto& p : kNumberMap)
        if (p.number == number) return p.gid;
    return number;
}

double RoundDecimals(double x, int decimals) {
    const double e = decimals > 0 ? std::pow(10.0, decimals) : 1.0;
    return std::trunc(x * e + 0.5) / e;
}

double RoundIntake(int gid, double value) {
    const StandardNutrient* n = StandardNutrientByGid(gid);
    return n ? RoundDecimals(value, n->decimals) : value;
}

}  // namespace Nutrient
