#pragma once

#include "TypedNumber.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

class CDS_EnergyComposition;
namespace NS_Data {
class CUserLog;
}

// The texts of the "Energy" tab for the current day, apart from any window: the requirement line
// with its parameters, the food energy list and the composition list.
namespace EnergyRows {

inline constexpr const char* kTotal = "Total (rounded)";
inline constexpr const char* kNote = "Numbers in * columns are recommended values based on AMDR";

// Name, kcal, share of the day, then the split of the food's energy: protein, fat, carbohydrate,
// alcohol.
using FoodRow = std::array<std::string, 7>;
// Source, Min(%), Min*(%), Max(%), Max*(%), Value(%), Optimal(%).
using CompositionRow = std::array<std::string, 7>;

// One row per entry of the current day, in entry order, then the total row. An entry's energy is
// the food table's (its components' when the table gives none), so the total is the Diet grid's.
// The total row's split comes from the profile composition, which the document keeps at the day's
// split.
std::vector<FoodRow> FoodEnergy(const NS_Data::CUserLog& log);

struct Requirement {
    std::string text;  // "Energy: <equation> = <kcal> kcal"
    std::vector<std::pair<std::string, std::string>> parameters;
};
Requirement EnergyRequirement(const NS_Data::CUserLog& log);

// The profile's ranges and current split beside the built-in reference, one row per component.
std::vector<CompositionRow> Composition(const CDS_EnergyComposition& profile);
// Whether a component's share of the day's energy lies outside the profile's range, and a tool tip
// that says so: "Fat: 37 % of energy, above the range 20–35 %". One per component, in the order of
// Composition; nothing is flagged on a day without energy.
struct SplitFlag {
    bool outside = false;
    std::string toolTip;
};
std::vector<SplitFlag> SplitFlags(const NS_Data::CUserLog& log);
// Min(%) (column 1) and Max(%) (column 3) take typed numbers, as limits are typed (not negative)
// but never emptied; nothing is stored for any other cell, nor for a text that is no such number
// (the outcome says why).
CellStore StoreRange(CDS_EnergyComposition& profile, int row, int column, const std::string& text);

}  // namespace EnergyRows
