#pragma once

#include "core/xml/XmlSerialize.h"
#include "core/xml/XmlUnknown.h"
#include "refdata/FoodKey.h"
#include "refdata/Ingredient.h"

#include <memory>
#include <string>

namespace UserLog {

// A fraction as the unit choice computes it: of x, to five decimals, reduced, and then nudged
// towards thirds, sixths, sevenths and ninths (so 0.5 comes out as 3/6 and 0.33333 as 1/3).
struct UnitFraction {
    long long numerator = 0;
    long long denominator = 1;
};
UnitFraction FractionOf(double x);

// One food eaten on a day: the amount in grams, the serving unit it is shown in, the meal, and
// the food itself (shared with the log's food cache once resolved).
class CDayFood : public IXMLSerialize {
public:
    CDayFood() = default;
    // Weight 0 in unit 0 (1 gram), no meal, no limits; identity and name from the food.
    explicit CDayFood(std::shared_ptr<CDS_Ingredient> fromFood);

    // "dayFood": weight and R to three decimals, meal, id (the source), key, name, min/max when set.
    void Save(const Xml::XmlElement& parent) const override;
    // The unit is derived from "R" (or, in older files, "CWI") when the food is resolved.
    void Load(const Xml::XmlElement& element) override;
    // "dayFood" as Save writes it, with "amount" (Amount) and "units" (UnitName) added.
    void WriteReport(const Xml::XmlElement& parent) const;

    FoodKey GetFoodKey() const noexcept { return FoodKey(key, source); }
    // weight ÷ grams of the shown unit, to 4 decimals.
    double Amount() const;
    std::string UnitName() const;
    // The unit the amount is shown in; an index outside the food's units stands for unit 0. Null
    // while the food is unresolved or has no units.
    const FoodUnit* ShownUnit() const;
    // The food's current name, or the name the file stored while the food is not in the data.
    const std::string& ShownName() const;
    // Grams of the shown unit from the food's units; an index outside them stands for unit 0.
    double UnitGramsOfFood() const;
    // Chooses the unit the amount is shown in, from what the file gave, or when it is
    // undetermined; a unit the entry already shows is the user's choice and stays whatever its
    // amount.
    void ResolveUnit();
    // The unit that shows the weight best: the smallest whole count, else the nicest fraction.
    int ChooseUnit() const;

    double weight = 0;
    int unitIndex = 0;       // into the food's units; -1 while undetermined
    double unitGrams = 1.0;  // "R"
    // The unit is still as a file gave it ("R", or "CWI" of older files), to be resolved.
    bool unitAsRead = false;
    std::string meal;
    double min = -1;
    double max = -1;
    int key = -1;
    int source = -1;
    std::string name;
    std::shared_ptr<CDS_Ingredient> food;
    // What a newer version wrote here that this one does not read; written back unchanged.
    Xml::UnknownParts unknown;
};

// floor(1000 x + 0.5) / 1000: weights and unit grams as stored in files.
double RoundToGrams3(double x);

}  // namespace UserLog
