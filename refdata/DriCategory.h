#pragma once

#include <optional>
#include <string>

// The life-stage category by which reference intakes are looked up, derived from a person's
// personal data and a date. The values are stored in files and tables as these numbers.
enum DriCategory : int {
    Infant = 0,
    Children = 1,
    Male = 2,
    Female = 3,
    FemalePregnant = 4,
    FemaleLactation = 5,
    FemalePregnantLactation = 6,
    UnknownCategory = 7,
};

// "Infant", "Children", "Male", "Female", "Female Pregnant", "Female Lactation",
// "Female Pregnant Lactation", "Unknown"; "Unknown" for a value outside 0-7.
const char* DriCategoryName(int category);
// The category of exactly that name, or nullopt.
std::optional<DriCategory> DriCategoryFromName(const std::string& name);
