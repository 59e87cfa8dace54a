#include "DayFood.h"

#include "StoredNumber.h"

#include <cmath>
#include <cstdlib>
#include <numeric>

namespace UserLog {

namespace {

double GramsOfUnit(const CDS_Ingredient& food, int index) {
    std::string unitName;
    double grams = 0;
    return food.GetUnit(index, unitName, grams) ? grams : 0.0;
}

// The unit a file's "R" refers to. Files keep R to three decimals while unit weights are
// single-precision values (28.35 is 28.350000381...), so an exact match alone would lose the
// user's unit on every save; a match at three decimals is taken when no exact one exists.
int FindUnitOfStoredGrams(const CDS_Ingredient& food, double r) {
    if (int exact = food.FindUnitByWeight(r); exact >= 0) return exact;
    for (std::size_t i = 0; i < food.Units().size(); ++i)
        if (RoundToGrams3(food.Units()[i].grams) == r) return static_cast<int>(i);
    return -1;
}

}  // namespace

double RoundToGrams3(double x) { return std::floor(1000 * x + 0.5) / 1000; }

UnitFraction FractionOf(double x) {
    // Weights come from files and may be anything a double holds. Beyond this bound hundred
    // thousandths no longer fit the integers below (and no unit is chosen for such an amount
    // anyway); the answer is then no fraction of a small denominator.
    if (!(std::fabs(x) < 1e12)) return {0, 100000};
    long long num = static_cast<long long>(std::floor(100000 * x + 0.5));
    long long den = 100000;
    if (long long g = std::gcd(std::llabs(num), den); g > 1) {
        num /= g;
        den /= g;
    }
    const long long q = num / den;
    const double u = static_cast<double>(num % den) / static_cast<double>(den);
    for (int t : {1, 3, 6, 7, 9}) {
        const double tu = t * u;
        const double b = std::trunc(tu + 5e-5);
        if (std::fabs(tu - b) <= t * 1e-5) return {q * t + static_cast<long long>(b), t};
    }
    return {num, den};
}

CDayFood::CDayFood(std::shared_ptr<CDS_Ingredient> fromFood)
    : key(fromFood->GetFoodKey().key),
      source(fromFood->GetFoodKey().source),
      name(fromFood->Name()),
      food(std::move(fromFood)) {}

void CDayFood::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement el = parent.AddElement("dayFood");
    el.SetAttribute("weight", RoundToGrams3(weight));
    el.SetAttribute("R", RoundToGrams3(UnitGramsOfFood()));
    el.SetAttribute("meal", meal);
    el.SetAttribute("id", source);
    el.SetAttribute("key", key);
    el.SetAttribute("name", name);
    if (min != -1) el.SetAttribute("min", min);
    if (max != -1) el.SetAttribute("max", max);
    unknown.Restore(el);
}

void CDayFood::Load(const Xml::XmlElement& element) {
    weight = StoredNumber(element.GetAttribute("weight", 0));
    unitGrams = StoredNumber(element.GetAttribute("R", 0));
    unitIndex = -1;
    unitAsRead = true;
    if (unitGrams == 0) {
        unitIndex = element.GetAttribute("CWI", -1).AsInt();
        unitGrams = 1;
    }
    meal = element.GetAttribute("meal", "").AsString();
    source = element.GetAttribute("id", -1).AsInt();
    key = element.GetAttribute("key", -1).AsInt();
    name = element.GetAttribute("name", "").AsString();
    min = StoredNumber(element.GetAttribute("min", -1));
    max = StoredNumber(element.GetAttribute("max", -1));
    unknown.Capture(element, {"weight", "R", "CWI", "meal", "id", "key", "name", "min", "max"}, {});
    food.reset();
}

const FoodUnit* CDayFood::ShownUnit() const {
    if (!food || food->Units().empty()) return nullptr;
    const bool inRange = unitIndex >= 0 && static_cast<std::size_t>(unitIndex) < food->Units().size();
    return &food->Units()[inRange ? static_cast<std::size_t>(unitIndex) : 0];
}

const std::string& CDayFood::ShownName() const { return food ? food->Name() : name; }

double CDayFood::UnitGramsOfFood() const {
    const FoodUnit* unit = ShownUnit();
    return unit ? unit->grams : 1.0;
}

std::string CDayFood::UnitName() const {
    const FoodUnit* unit = ShownUnit();
    return unit ? unit->name : "g";
}

double CDayFood::Amount() const {
    const double grams = UnitGramsOfFood();
    // A unit of no weight cannot measure anything; show grams rather than infinity.
    if (!(grams > 0)) return std::floor(10000 * weight + 0.5) / 10000;
    return std::floor(10000 * weight / grams + 0.5) / 10000;
}

int CDayFood::ChooseUnit() const {
    if (!food) return 0;
    static constexpr long long kPreferred[] = {2, 4, 3, 5, 8, 10};
    std::size_t allowed = std::size(kPreferred);
    int best = 0;
    bool wholeFound = false;
    long long smallestWhole = 0;
    for (std::size_t i = 1; i < food->Units().size(); ++i) {
        const double grams = food->Units()[i].grams;
        if (grams == 0) break;
        const UnitFraction f = FractionOf(weight / grams);
        if (f.denominator == 1) {
            if (!wholeFound || f.numerator < smallestWhole) {
                best = static_cast<int>(i);
                smallestWhole = f.numerator;
                wholeFound = true;
            }
        } else if (!wholeFound) {
            for (std::size_t p = 0; p < allowed; ++p) {
                if (kPreferred[p] == f.denominator) {
                    best = static_cast<int>(i);
                    allowed = p;
                    break;
                }
            }
        }
    }
    return best;
}

void CDayFood::ResolveUnit() {
    if (!food) return;
    // A unit index an older file gave is checked against the weight; one the entry shows is not.
    const bool checkIndex = unitAsRead;
    unitAsRead = false;
    if (unitIndex == -1) {
        unitIndex = FindUnitOfStoredGrams(*food, unitGrams);
    } else if (unitIndex != 0 && checkIndex) {
        unitGrams = GramsOfUnit(*food, unitIndex);
        if (unitGrams == 0) {
            unitIndex = -1;
        } else {
            const UnitFraction f = FractionOf(weight / unitGrams);
            if (f.denominator > 10 || f.denominator % 4 != 0) unitIndex = -1;
        }
    }
    if (unitIndex == -1) {
        unitIndex = ChooseUnit();
        unitGrams = GramsOfUnit(*food, unitIndex);
    }
}

}  // namespace UserLog
