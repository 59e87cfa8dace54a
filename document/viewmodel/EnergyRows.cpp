#include "EnergyRows.h"

#include "TypedNumber.h"

#include "model/EnergyComposition.h"
#include "model/Targets.h"
#include "model/TextFormat.h"
#include "model/UserLog.h"
#include "refdata/Ingredient.h"
#include "refdata/NutrientCatalogue.h"

namespace EnergyRows {

namespace {

using Nutrient::RoundDecimals;
constexpr int kComponents = EnergyComponents::kCount;
constexpr const char* kNotAvailable = "N/A";

}  // namespace

std::vector<FoodRow> FoodEnergy(const NS_Data::CUserLog& log) {
    const auto& entries = log.GetCurrentDay()->foods;
    std::vector<FoodRow> rows;
    std::vector<double> energies;
    double total = 0;
    for (const UserLog::CDayFood& entry : entries) {
        FoodRow row;
        row[0] = entry.ShownName();
        double per100g = 0;
        if (entry.food)
            for (int k = 0; k < kComponents; ++k)
                per100g += entry.food->EnergyFactor(k) * entry.food->EnergyComponentValue(k);
        for (int k = 0; k < kComponents; ++k) {
            if (per100g == 0) {
                row[3 + k].assign(1, '?');  // not a literal assignment: g++ 12 warns falsely (-Wrestrict) on that
                continue;
            }
            const double share = entry.food->EnergyComponentValue(k) * entry.food->EnergyFactor(k) * 100 / per100g;
            row[3 + k] = TextFormat::LowerG(RoundDecimals(share, 2));
        }
        // The energy the food table states, the one the Diet grid, the Log tab and the reports add
        // up, so that every total of the day is the same number; it differs from its components'
        // by the table's own factors and rounding. A food without one (your own, typed without
        // it) has its components' energy.
        const double stated = entry.food ? entry.food->NutrientValue(Targets::kEnergyGid) : 0;
        const double energy = entry.weight / 100 * (stated > 0 ? stated : per100g);
        row[1] = TextFormat::LowerG(RoundDecimals(energy, 1));
        energies.push_back(energy);
        total += energy;
        rows.push_back(std::move(row));
    }
    for (std::size_t j = 0; j < rows.size(); ++j)
        rows[j][2] = total == 0 ? kNotAvailable : TextFormat::LowerG(RoundDecimals(energies[j] / total * 100, 2));

    FoodRow last;
    last[0] = kTotal;
    last[1] = TextFormat::LowerG(RoundDecimals(total, 0));
    for (int k = 0; k < kComponents; ++k)
        last[3 + k] = total == 0
                          ? kNotAvailable
                          : TextFormat::LowerG(log.EnergyComposition().GetValue(k, CDS_EnergyComposition::kValue));
    rows.push_back(std::move(last));
    return rows;
}

Requirement EnergyRequirement(const NS_Data::CUserLog& log) {
    const EnergyInputs inputs = log.GetEnergyInputs();
    std::string equation;
    const double kcal = log.Personal().EnergyRequirement(inputs, equation);
    Requirement out;
    out.text = "Energy: " + equation + " = " + TextFormat::G(RoundDecimals(kcal, 0)) + " kcal";
    out.parameters = log.Personal().EnergyDetails(inputs);
    return out;
}

std::vector<CompositionRow> Composition(const CDS_EnergyComposition& profile) {
    const CDS_EnergyComposition reference;
    std::vector<CompositionRow> rows;
    for (int i = 0; i < kComponents; ++i) {
        CompositionRow row;
        row[0] = reference.ComponentName(i);
        row[1] = TextFormat::LowerG(RoundDecimals(profile.GetValue(i, CDS_EnergyComposition::kMin), 2));
        row[2] = TextFormat::LowerG(reference.GetValue(i, CDS_EnergyComposition::kMin));
        row[3] = TextFormat::LowerG(RoundDecimals(profile.GetValue(i, CDS_EnergyComposition::kMax), 2));
        row[4] = TextFormat::LowerG(reference.GetValue(i, CDS_EnergyComposition::kMax));
        row[5] = TextFormat::LowerG(RoundDecimals(profile.GetValue(i, CDS_EnergyComposition::kValue), 2));
        row[6] = TextFormat::LowerG(reference.GetValue(i, CDS_EnergyComposition::kValue));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<SplitFlag> SplitFlags(const NS_Data::CUserLog& log) {
    const CDS_EnergyComposition& profile = log.EnergyComposition();
    const CDS_EnergyComposition reference;  // names the components as the list does
    double energy = 0;
    for (const double kcal : log.GetCurrentDay()->ComponentEnergies()) energy += kcal;
    std::vector<SplitFlag> flags(kComponents);
    if (energy <= 0) return flags;
    const auto shown = [&](int i, int column) {
        return TextFormat::LowerG(RoundDecimals(profile.GetValue(i, column), 2));
    };
    for (int i = 0; i < kComponents; ++i) {
        if (profile.IsBalanced(i)) continue;
        const double min = profile.GetValue(i, CDS_EnergyComposition::kMin);
        const double max = profile.GetValue(i, CDS_EnergyComposition::kMax);
        const bool below = profile.GetValue(i, CDS_EnergyComposition::kValue) < min;
        std::string text =
            reference.ComponentName(i) + ": " + shown(i, CDS_EnergyComposition::kValue) + " % of energy, ";
        if (max == 0)
            text += "below the minimum of " + shown(i, CDS_EnergyComposition::kMin) + " %";
        else
            text += std::string(below ? "below" : "above") + " the range " + shown(i, CDS_EnergyComposition::kMin) +
                    "–" + shown(i, CDS_EnergyComposition::kMax) + " %";
        flags[static_cast<std::size_t>(i)] = {true, std::move(text)};
    }
    return flags;
}

CellStore StoreRange(CDS_EnergyComposition& profile, int row, int column, const std::string& text) {
    if (row < 0 || row >= kComponents || (column != 1 && column != 3)) return {};
    const TypedInput typed = ReadTyped(text, TypedRule::Limit);
    if (typed.kind == TypedInput::Kind::Cleared)
        return {false, "An energy range can't be empty; the old value is kept."};
    if (typed.kind == TypedInput::Kind::Refused) return {false, typed.error};
    if (typed.value > 100)
        return {false, "An energy range is a share of 0 to 100 % (\"" + TextFormat::G(typed.value) +
                           "\"); the old value is kept."};
    // A maximum of 0 is no maximum.
    const double min = column == 1 ? typed.value : profile.GetValue(row, CDS_EnergyComposition::kMin);
    const double max = column == 3 ? typed.value : profile.GetValue(row, CDS_EnergyComposition::kMax);
    if (max > 0) {
        if (std::string order = LimitOrderError(min, max); !order.empty()) return {false, std::move(order)};
    }
    profile.SetValue(row, column == 1 ? CDS_EnergyComposition::kMin : CDS_EnergyComposition::kMax, typed.value);
    return {true, {}};
}

}  // namespace EnergyRows
