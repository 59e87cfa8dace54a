#pragma once

#include "DriCategory.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// One row of reference values: for whom and for which ages, in the nutrient's units per day.
struct DietaryIntakesValues {
    int category = UnknownCategory;  // a DriCategory
    short minAge = 0;                // inclusive; months for infants, years for everyone else
    short maxAge = 0;                // inclusive; 0 means no upper bound
    float RDA = -1.0f;               // -1: not defined
    float AI = -1.0f;
    float UL = -1.0f;

    // The row is for this category and the age (taken as a signed 16-bit number) lies in its range.
    bool Matches(int forCategory, int age) const;
};

// The reference intakes of one nutrient.
struct DietaryIntake {
    std::string name;
    std::string units;
    int id = -1;  // the nutrient's gid; -1 for none
    std::vector<DietaryIntakesValues> rows;
    // The UL covers only supplements, fortified foods or drugs: information, never a target for
    // a day of food.
    bool ulForSupplementsOnly = false;
    // The upper value is a Chronic Disease Risk Reduction intake, which stands where no UL was set.
    bool ulIsCdrr = false;

    // The values of the first matching row; false, with all three -1, when none matches.
    bool GetValues(int category, int age, float& rda, float& ai, float& ul) const;
};

// Which values the built-in table carries: "original" is the table the program always had;
// "current" replaces the rows of calcium and vitamin D (2011) and of sodium and potassium (2019).
enum class DriEdition { Original, Current };
std::optional<DriEdition> DriEditionFromName(const std::string& name);
const char* DriEditionName(DriEdition edition);

// The built-in dietary reference intakes: four groups of nutrients, each nutrient with its rows.
class CDC_DietaryIntakesMgr {
public:
    enum Group { Vitamins = 0, Minerals = 1, MacroNutrients = 2, Other = 3 };
    static constexpr int kGroupCount = 4;
    // "Vitamins", "Minerals", "MacroNutrients", "Other".
    static const char* GroupName(int group);

    // Replaces whatever the groups hold by the built-in table of that edition, in its order.
    void InitializeBuiltIn(DriEdition edition = DriEdition::Original);
    DriEdition Edition() const noexcept { return edition_; }
    // The nutrient of that gid, searching the groups in order; null when there is none.
    const DietaryIntake* FindIntake(int gid) const;
    const std::vector<DietaryIntake>& GroupIntakes(int group) const {
        return groups_.at(static_cast<std::size_t>(group));
    }

private:
    DriEdition edition_ = DriEdition::Original;
    std::array<std::vector<DietaryIntake>, kGroupCount> groups_;
};
