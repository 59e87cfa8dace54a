#pragma once

#include <span>
#include <string>

// The nutrients the program knows by name, and how a data source's nutrient numbers become the
// global nutrient ids (gid) by which foods, requirements, intakes and reference intakes refer to
// a nutrient. -1 means no nutrient.
namespace Nutrient {

struct StandardNutrient {
    int gid;
    short decimals;  // intakes are rounded to this many decimals; negative means none
    const char* name;
    const char* tag;
    const char* units;
    const char* description;
};

// The 37 entries in table order.
std::span<const StandardNutrient> StandardNutrients();
// The first entry with that gid, or null.
const StandardNutrient* StandardNutrientByGid(int gid);
// The gid of the entry with exactly that name, or -1.
int GidOfStandardNutrient(const std::string& name);
// The gid of a data source's nutrient number; the number itself when it is not mapped.
int GidOfNutrientNumber(int number);

// A nutrient that files written by earlier releases name by its data source number rather than by
// the gid of the reference intakes; limits stored under the old number are in oldUnits.
struct RenumberedNutrient {
    int oldGid;
    int gid;
    const char* oldUnits;
    const char* units;
    double oldPerNew;  // how many oldUnits make one of units
};
// The entry for a gid earlier releases wrote, or null when the gid means today what it meant then.
const RenumberedNutrient* RenumberedFrom(int oldGid);

// trunc(x * 10^n + 0.5) / 10^n, the integer part truncated towards zero; a negative n counts as 0.
double RoundDecimals(double x, int decimals);
// An intake rounded to its nutrient's display decimals; unrounded for a nutrient not in the table.
double RoundIntake(int gid, double value);

}  // namespace Nutrient
