#include "DietaryIntakesMgr.h"

#include <cstdint>
#include <span>

namespace {

struct BuiltInIntake {
    int group;
    const char* name;
    const char* units;
    int id;
    std::span<const DietaryIntakesValues> rows;
};

// The reference values of the Food and Nutrition Board's DRI reports as the program carries them.
// Rows: category, lowest age, highest age (0: no upper bound), RDA, AI, UL (-1: not defined).
// Where ranges overlap the earlier row decides. "µg" is U+00B5 followed by g; Vitamin D's units
// are written with a plain u.
const DietaryIntakesValues kBiotin[] = {
    {Infant, 0, 6, -1.0f, 5.0f, -1.0f},           {Infant, 7, 12, -1.0f, 6.0f, -1.0f},
    {Children, 1, 3, -1.0f, 8.0f, -1.0f},         {Children, 4, 8, -1.0f, 12.0f, -1.0f},
    {Male, 9, 13, -1.0f, 20.0f, -1.0f},           {Male, 14, 18, -1.0f, 25.0f, -1.0f},
    {Male, 19, 0, -1.0f, 30.0f, -1.0f},           {Female, 9, 13, -1.0f, 20.0f, -1.0f},
    {Female, 14, 18, -1.0f, 25.0f, -1.0f},        {Female, 19, 0, -1.0f, 30.0f, -1.0f},
    {FemalePregnant, 0, 50, -1.0f, 30.0f, -1.0f}, {FemaleLactation, 0, 50, -1.0f, 35.0f, -1.0f},
};
const DietaryIntakesValues kCholine[] = {
    {Infant, 0, 6, -1.0f, 125.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 150.0f, -1.0f},
    {Children, 1, 3, -1.0f, 200.0f, 1000.0f},
    {Children, 4, 8, -1.0f, 250.0f, 1000.0f},
    {Male, 9, 13, -1.0f, 375.0f, 2000.0f},
    {Male, 14, 18, -1.0f, 550.0f, 3000.0f},
    {Male, 19, 0, -1.0f, 550.0f, 3500.0f},
    {Female, 9, 13, -1.0f, 375.0f, 2000.0f},
    {Female, 14, 18, -1.0f, 400.0f, 3000.0f},
    {Female, 19, 0, -1.0f, 425.0f, 3500.0f},
    {FemalePregnant, 0, 18, -1.0f, 450.0f, 3000.0f},
    {FemalePregnant, 19, 50, -1.0f, 450.0f, 3500.0f},
    {FemaleLactation, 0, 18, -1.0f, 550.0f, 3000.0f},
    {FemaleLactation, 19, 50, -1.0f, 550.0f, 3500.0f},
};
const DietaryIntakesValues kFolate[] = {
    {Infant, 0, 6, -1.0f, 65.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 80.0f, -1.0f},
    {Children, 1, 3, 150.0f, -1.0f, 300.0f},
    {Children, 4, 8, 200.0f, -1.0f, 400.0f},
    {Male, 9, 13, 300.0f, -1.0f, 600.0f},
    {Male, 14, 18, 400.0f, -1.0f, 800.0f},
    {Male, 19, 0, 400.0f, -1.0f, 1000.0f},
    {Female, 9, 13, 300.0f, -1.0f, 600.0f},
    {Female, 14, 18, 400.0f, -1.0f, 800.0f},
    {Female, 19, 0, 400.0f, -1.0f, 1000.0f},
    {FemalePregnant, 0, 18, 600.0f, -1.0f, 800.0f},
    {FemalePregnant, 19, 50, 600.0f, -1.0f, 1000.0f},
    {FemaleLactation, 0, 18, 500.0f, -1.0f, 800.0f},
    {FemaleLactation, 19, 50, 500.0f, -1.0f, 1000.0f},
};
const DietaryIntakesValues kNiacin[] = {
    {Infant, 0, 6, -1.0f, 2.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 4.0f, -1.0f},
    {Children, 1, 3, 6.0f, -1.0f, 10.0f},
    {Children, 4, 8, 8.0f, -1.0f, 15.0f},
    {Male, 9, 13, 12.0f, -1.0f, 20.0f},
    {Male, 14, 18, 16.0f, -1.0f, 30.0f},
    {Male, 19, 0, 16.0f, -1.0f, 35.0f},
    {Female, 9, 13, 12.0f, -1.0f, 20.0f},
    {Female, 14, 18, 14.0f, -1.0f, 30.0f},
    {Female, 19, 0, 14.0f, -1.0f, 35.0f},
    {FemalePregnant, 0, 18, 18.0f, -1.0f, 30.0f},
    {FemalePregnant, 19, 50, 18.0f, -1.0f, 35.0f},
    {FemaleLactation, 0, 18, 17.0f, -1.0f, 30.0f},
    {FemaleLactation, 19, 50, 17.0f, -1.0f, 35.0f},
};
const DietaryIntakesValues kPantothenicAcid[] = {
    {Infant, 0, 6, -1.0f, 1.7f, -1.0f},          {Infant, 7, 12, -1.0f, 1.8f, -1.0f},
    {Children, 1, 3, -1.0f, 2.0f, -1.0f},        {Children, 4, 8, -1.0f, 3.0f, -1.0f},
    {Male, 9, 13, -1.0f, 4.0f, -1.0f},           {Male, 14, 0, -1.0f, 5.0f, -1.0f},
    {Female, 9, 13, -1.0f, 4.0f, -1.0f},         {Female, 14, 0, -1.0f, 5.0f, -1.0f},
    {FemalePregnant, 0, 50, -1.0f, 6.0f, -1.0f}, {FemaleLactation, 0, 50, -1.0f, 7.0f, -1.0f},
};
const DietaryIntakesValues kRiboflavin[] = {
    {Infant, 0, 6, -1.0f, 0.3f, -1.0f},
    {Infant, 7, 12, -1.0f, 0.4f, -1.0f},
    {Children, 1, 3, 0.5f, -1.0f, -1.0f},
    {Children, 4, 8, 0.6f, -1.0f, -1.0f},
    {Male, 9, 13, 0.9f, -1.0f, -1.0f},
    {Male, 14, 0, 1.3f, -1.0f, -1.0f},
    {Female, 9, 13, 0.9f, -1.0f, -1.0f},
    {Female, 14, 18, 1.0f, -1.0f, -1.0f},
    {Female, 19, 0, 1.1f, -1.0f, -1.0f},
    {FemalePregnant, 0, 50, 1.4f, -1.0f, -1.0f},
    {FemaleLactation, 0, 50, 1.6f, -1.0f, -1.0f},
};
const DietaryIntakesValues kThiamin[] = {
    {Infant, 0, 6, -1.0f, 0.2f, -1.0f},
    {Infant, 7, 12, -1.0f, 0.3f, -1.0f},
    {Children, 1, 3, 0.5f, -1.0f, -1.0f},
    {Children, 4, 8, 0.6f, -1.0f, -1.0f},
    {Male, 9, 13, 0.9f, -1.0f, -1.0f},
    {Male, 14, 0, 1.2f, -1.0f, -1.0f},
    {Female, 9, 13, 0.9f, -1.0f, -1.0f},
    {Female, 14, 18, 1.0f, -1.0f, -1.0f},
    {Female, 19, 0, 1.1f, -1.0f, -1.0f},
    {FemalePregnant, 0, 50, 1.4f, -1.0f, -1.0f},
    {FemaleLactation, 0, 50, 1.4f, -1.0f, -1.0f},
};
const DietaryIntakesValues kVitaminA[] = {
    {Infant, 0, 6, -1.0f, 400.0f, 600.0f},
    {Infant, 7, 12, -1.0f, 500.0f, 600.0f},
    {Children, 1, 3, 300.0f, -1.0f, 600.0f},
    {Children, 4, 8, 400.0f, -1.0f, 900.0f},
    {Male, 9, 13, 600.0f, -1.0f, 1700.0f},
    {Male, 14, 18, 900.0f, -1.0f, 2800.0f},
    {Male, 19, 0, 900.0f, -1.0f, 3000.0f},
    {Female, 9, 13, 600.0f, -1.0f, 1700.0f},
    {Female, 14, 18, 700.0f, -1.0f, 2800.0f},
    {Female, 19, 0, 700.0f, -1.0f, 3000.0f},
    {FemalePregnant, 0, 18, 750.0f, -1.0f, 2800.0f},
    {FemalePregnant, 19, 50, 770.0f, -1.0f, 3000.0f},
    {FemaleLactation, 0, 18, 1200.0f, -1.0f, 2800.0f},
    {FemaleLactation, 19, 50, 1300.0f, -1.0f, 3000.0f},
};
const DietaryIntakesValues kVitaminB6[] = {
    {Infant, 0, 6, -1.0f, 0.1f, -1.0f},
    {Infant, 7, 12, -1.0f, 0.3f, -1.0f},
    {Children, 1, 3, 0.5f, -1.0f, 30.0f},
    {Children, 4, 8, 0.6f, -1.0f, 40.0f},
    {Male, 9, 13, 1.0f, -1.0f, 60.0f},
    {Male, 14, 18, 1.3f, -1.0f, 80.0f},
    {Male, 19, 50, 1.3f, -1.0f, 100.0f},
    {Male, 51, 0, 1.7f, -1.0f, 100.0f},
    {Female, 9, 13, 1.0f, -1.0f, 60.0f},
    {Female, 14, 18, 1.2f, -1.0f, 80.0f},
    {Female, 19, 50, 1.3f, -1.0f, 100.0f},
    {Female, 51, 0, 1.5f, -1.0f, 100.0f},
    {FemalePregnant, 0, 18, 1.9f, -1.0f, 80.0f},
    {FemalePregnant, 19, 50, 1.9f, -1.0f, 100.0f},
    {FemaleLactation, 0, 18, 2.0f, -1.0f, 80.0f},
    {FemaleLactation, 19, 50, 2.0f, -1.0f, 100.0f},
};
const DietaryIntakesValues kVitaminB12[] = {
    {Infant, 0, 6, -1.0f, 0.4f, -1.0f},          {Infant, 7, 12, -1.0f, 0.5f, -1.0f},
    {Children, 1, 3, 0.9f, -1.0f, -1.0f},        {Children, 4, 8, 1.2f, -1.0f, -1.0f},
    {Male, 9, 13, 1.8f, -1.0f, -1.0f},           {Male, 14, 0, 2.4f, -1.0f, -1.0f},
    {Female, 9, 13, 1.8f, -1.0f, -1.0f},         {Female, 14, 0, 2.4f, -1.0f, -1.0f},
    {FemalePregnant, 0, 50, 2.6f, -1.0f, -1.0f}, {FemaleLactation, 0, 50, 2.8f, -1.0f, -1.0f},
};
const DietaryIntakesValues kVitaminC[] = {
    {Infant, 0, 6, -1.0f, 40.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 50.0f, -1.0f},
    {Children, 1, 3, 15.0f, -1.0f, 400.0f},
    {Children, 4, 8, 25.0f, -1.0f, 650.0f},
    {Male, 9, 13, 45.0f, -1.0f, 1200.0f},
    {Male, 14, 18, 75.0f, -1.0f, 1800.0f},
    {Male, 19, 0, 90.0f, -1.0f, 2000.0f},
    {Female, 9, 13, 45.0f, -1.0f, 1200.0f},
    {Female, 14, 18, 65.0f, -1.0f, 1800.0f},
    {Female, 19, 0, 75.0f, -1.0f, 2000.0f},
    {FemalePregnant, 0, 18, 80.0f, -1.0f, 1800.0f},
    {FemalePregnant, 19, 50, 85.0f, -1.0f, 2000.0f},
    {FemaleLactation, 0, 18, 115.0f, -1.0f, 1800.0f},
    {FemaleLactation, 19, 50, 120.0f, -1.0f, 2000.0f},
};
const DietaryIntakesValues kVitaminD[] = {
    {Infant, 0, 12, -1.0f, 5.0f, 25.0f},         {Children, 1, 8, -1.0f, 5.0f, 50.0f},
    {Male, 9, 50, -1.0f, 5.0f, 50.0f},           {Male, 51, 70, -1.0f, 10.0f, 50.0f},
    {Male, 71, 0, -1.0f, 15.0f, 50.0f},          {Female, 9, 50, -1.0f, 5.0f, 50.0f},
    {Female, 51, 70, -1.0f, 10.0f, 50.0f},       {Female, 71, 0, -1.0f, 15.0f, 50.0f},
    {FemalePregnant, 0, 50, -1.0f, 5.0f, 50.0f}, {FemaleLactation, 0, 50, -1.0f, 5.0f, 50.0f},
};
const DietaryIntakesValues kVitaminE[] = {
    {Infant, 0, 6, -1.0f, 4.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 5.0f, -1.0f},
    {Children, 1, 3, 6.0f, -1.0f, 200.0f},
    {Children, 4, 8, 7.0f, -1.0f, 300.0f},
    {Male, 9, 13, 11.0f, -1.0f, 600.0f},
    {Male, 14, 18, 15.0f, -1.0f, 800.0f},
    {Male, 19, 0, 15.0f, -1.0f, 1000.0f},
    {Female, 9, 13, 11.0f, -1.0f, 600.0f},
    {Female, 14, 18, 15.0f, -1.0f, 800.0f},
    {Female, 19, 0, 15.0f, -1.0f, 1000.0f},
    {FemalePregnant, 0, 18, 15.0f, -1.0f, 800.0f},
    {FemalePregnant, 19, 50, 15.0f, -1.0f, 1000.0f},
    {FemaleLactation, 0, 18, 19.0f, -1.0f, 800.0f},
    {FemaleLactation, 19, 50, 19.0f, -1.0f, 1000.0f},
};
const DietaryIntakesValues kVitaminK[] = {
    {Infant, 0, 6, -1.0f, 2.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 2.5f, -1.0f},
    {Children, 1, 3, -1.0f, 30.0f, -1.0f},
    {Children, 4, 8, -1.0f, 55.0f, -1.0f},
    {Male, 9, 13, -1.0f, 60.0f, -1.0f},
    {Male, 14, 18, -1.0f, 75.0f, -1.0f},
    {Male, 19, 0, -1.0f, 120.0f, -1.0f},
    {Female, 9, 13, -1.0f, 60.0f, -1.0f},
    {Female, 14, 18, -1.0f, 75.0f, -1.0f},
    {Female, 19, 0, -1.0f, 90.0f, -1.0f},
    {FemalePregnant, 0, 18, -1.0f, 75.0f, -1.0f},
    {FemalePregnant, 19, 50, -1.0f, 90.0f, -1.0f},
    {FemaleLactation, 0, 18, -1.0f, 75.0f, -1.0f},
    {FemaleLactation, 19, 50, -1.0f, 90.0f, -1.0f},
};
const DietaryIntakesValues kBoron[] = {
    {Children, 1, 3, -1.0f, -1.0f, 3.0f},
    {Children, 4, 8, -1.0f, -1.0f, 6.0f},
    {Male, 9, 13, -1.0f, -1.0f, 11.0f},
    {Male, 14, 18, -1.0f, -1.0f, 17.0f},
    {Male, 19, 0, -1.0f, -1.0f, 20.0f},
    {Female, 9, 13, -1.0f, -1.0f, 11.0f},
    {Female, 14, 18, -1.0f, -1.0f, 17.0f},
    {Female, 19, 0, -1.0f, -1.0f, 20.0f},
    {FemalePregnant, 0, 18, -1.0f, -1.0f, 17.0f},
    {FemalePregnant, 19, 50, -1.0f, -1.0f, 20.0f},
    {FemaleLactation, 0, 18, -1.0f, -1.0f, 17.0f},
    {FemaleLactation, 19, 50, -1.0f, -1.0f, 20.0f},
};
const DietaryIntakesValues kCalcium[] = {
    {Infant, 0, 6, -1.0f, 210.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 270.0f, -1.0f},
    {Children, 1, 3, -1.0f, 500.0f, 2500.0f},
    {Children, 4, 8, -1.0f, 800.0f, 2500.0f},
    {Male, 9, 18, -1.0f, 1300.0f, 2500.0f},
    {Male, 19, 50, -1.0f, 1000.0f, 2500.0f},
    {Male, 51, 0, -1.0f, 1200.0f, 2500.0f},
    {Female, 9, 18, -1.0f, 1300.0f, 2500.0f},
    {Female, 19, 50, -1.0f, 1000.0f, 2500.0f},
    {Female, 51, 0, -1.0f, 1200.0f, 2500.0f},
    {FemalePregnant, 0, 18, -1.0f, 1300.0f, 2500.0f},
    {FemalePregnant, 19, 50, -1.0f, 1000.0f, 2500.0f},
    {FemaleLactation, 0, 18, -1.0f, 1300.0f, 2500.0f},
    {FemaleLactation, 19, 50, -1.0f, 1000.0f, 2500.0f},
};
const DietaryIntakesValues kChromium[] = {
    {Infant, 0, 6, -1.0f, 0.2f, -1.0f},
    {Infant, 7, 12, -1.0f, 5.5f, -1.0f},
    {Children, 1, 3, -1.0f, 11.0f, -1.0f},
    {Children, 4, 8, -1.0f, 15.0f, -1.0f},
    {Male, 9, 13, -1.0f, 25.0f, -1.0f},
    {Male, 14, 50, -1.0f, 35.0f, -1.0f},
    {Male, 51, 0, -1.0f, 30.0f, -1.0f},
    {Female, 9, 13, -1.0f, 21.0f, -1.0f},
    {Female, 14, 18, -1.0f, 24.0f, -1.0f},
    {Female, 19, 50, -1.0f, 25.0f, -1.0f},
    {Female, 51, 0, -1.0f, 20.0f, -1.0f},
    {FemalePregnant, 0, 18, -1.0f, 29.0f, -1.0f},
    {FemalePregnant, 19, 50, -1.0f, 30.0f, -1.0f},
    {FemaleLactation, 0, 18, -1.0f, 44.0f, -1.0f},
    {FemaleLactation, 19, 50, -1.0f, 45.0f, -1.0f},
};
const DietaryIntakesValues kCopper[] = {
    {Infant, 0, 6, -1.0f, 0.2f, -1.0f},
    {Infant, 7, 12, -1.0f, 0.22f, -1.0f},
    {Children, 1, 3, 0.34f, -1.0f, 1.0f},
    {Children, 4, 8, 0.44f, -1.0f, 3.0f},
    {Male, 9, 13, 0.7f, -1.0f, 5.0f},
    {Male, 14, 18, 0.89f, -1.0f, 8.0f},
    {Male, 19, 0, 0.9f, -1.0f, 10.0f},
    {Female, 9, 13, 0.7f, -1.0f, 5.0f},
    {Female, 14, 18, 0.89f, -1.0f, 8.0f},
    {Female, 19, 0, 0.9f, -1.0f, 10.0f},
    {FemalePregnant, 0, 18, 1.0f, -1.0f, 8.0f},
    {FemalePregnant, 19, 50, 1.0f, -1.0f, 10.0f},
    {FemaleLactation, 0, 18, 1.3f, -1.0f, 8.0f},
    {FemaleLactation, 19, 50, 1.3f, -1.0f, 10.0f},
};
const DietaryIntakesValues kFluoride[] = {
    {Infant, 0, 6, -1.0f, 0.01f, 0.7f},
    {Infant, 7, 12, -1.0f, 0.5f, 0.9f},
    {Children, 1, 3, -1.0f, 0.7f, 1.3f},
    {Children, 4, 8, -1.0f, 1.0f, 2.2f},
    {Male, 9, 13, -1.0f, 2.0f, 10.0f},
    {Male, 14, 18, -1.0f, 3.0f, 10.0f},
    {Male, 19, 0, -1.0f, 4.0f, 10.0f},
    {Female, 9, 13, -1.0f, 2.0f, 10.0f},
    {Female, 14, 0, -1.0f, 3.0f, 10.0f},
    {FemalePregnant, 0, 50, -1.0f, 3.0f, 10.0f},
    {FemaleLactation, 0, 50, -1.0f, 3.0f, 10.0f},
};
const DietaryIntakesValues kIodine[] = {
    {Infant, 0, 6, -1.0f, 110.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 130.0f, -1.0f},
    {Children, 1, 3, 90.0f, -1.0f, 200.0f},
    {Children, 4, 8, 90.0f, -1.0f, 300.0f},
    {Male, 9, 13, 120.0f, -1.0f, 600.0f},
    {Male, 14, 18, 150.0f, -1.0f, 900.0f},
    {Male, 19, 0, 150.0f, -1.0f, 1100.0f},
    {Female, 9, 13, 120.0f, -1.0f, 600.0f},
    {Female, 14, 18, 150.0f, -1.0f, 900.0f},
    {Female, 19, 0, 150.0f, -1.0f, 1100.0f},
    {FemalePregnant, 0, 18, 220.0f, -1.0f, 900.0f},
    {FemalePregnant, 19, 50, 220.0f, -1.0f, 1100.0f},
    {FemaleLactation, 0, 18, 290.0f, -1.0f, 900.0f},
    {FemaleLactation, 19, 50, 290.0f, -1.0f, 1100.0f},
};
const DietaryIntakesValues kIron[] = {
    {Infant, 0, 6, -1.0f, 0.27f, 40.0f},
    {Infant, 7, 12, 11.0f, -1.0f, 40.0f},
    {Children, 1, 3, 7.0f, -1.0f, 40.0f},
    {Children, 4, 8, 10.0f, -1.0f, 40.0f},
    {Male, 9, 13, 8.0f, -1.0f, 40.0f},
    {Male, 14, 18, 11.0f, -1.0f, 45.0f},
    {Male, 19, 0, 8.0f, -1.0f, 45.0f},
    {Female, 9, 13, 8.0f, -1.0f, 40.0f},
    {Female, 14, 18, 15.0f, -1.0f, 45.0f},
    {Female, 19, 50, 18.0f, -1.0f, 45.0f},
    {Female, 51, 0, 8.0f, -1.0f, 45.0f},
    {FemalePregnant, 0, 50, 27.0f, -1.0f, 45.0f},
    {FemaleLactation, 0, 18, 10.0f, -1.0f, 45.0f},
    {FemaleLactation, 19, 50, 9.0f, -1.0f, 45.0f},
};
const DietaryIntakesValues kMagnesium[] = {
    {Infant, 0, 6, -1.0f, 30.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 75.0f, -1.0f},
    {Children, 1, 3, 80.0f, -1.0f, 65.0f},
    {Children, 4, 8, 130.0f, -1.0f, 110.0f},
    {Male, 9, 13, 240.0f, -1.0f, 350.0f},
    {Male, 14, 18, 410.0f, -1.0f, 350.0f},
    {Male, 19, 30, 400.0f, -1.0f, 350.0f},
    {Male, 31, 0, 420.0f, -1.0f, 350.0f},
    {Female, 9, 13, 240.0f, -1.0f, 350.0f},
    {Female, 14, 18, 360.0f, -1.0f, 350.0f},
    {Female, 19, 30, 310.0f, -1.0f, 350.0f},
    {Female, 31, 0, 320.0f, -1.0f, 350.0f},
    {FemalePregnant, 0, 18, 400.0f, -1.0f, 350.0f},
    {FemalePregnant, 19, 30, 350.0f, -1.0f, 350.0f},
    {FemalePregnant, 31, 0, 360.0f, -1.0f, 350.0f},
    {FemaleLactation, 0, 18, 360.0f, -1.0f, 350.0f},
    {FemaleLactation, 19, 30, 310.0f, -1.0f, 350.0f},
    {FemaleLactation, 31, 50, 320.0f, -1.0f, 350.0f},
};
const DietaryIntakesValues kManganese[] = {
    {Infant, 0, 6, -1.0f, 0.003f, -1.0f},
    {Infant, 7, 12, -1.0f, 0.6f, -1.0f},
    {Children, 1, 3, -1.0f, 1.2f, 2.0f},
    {Children, 4, 8, -1.0f, 1.5f, 3.0f},
    {Male, 9, 13, -1.0f, 1.9f, 6.0f},
    {Male, 14, 18, -1.0f, 2.2f, 9.0f},
    {Male, 19, 0, -1.0f, 2.3f, 11.0f},
    {Female, 9, 13, -1.0f, 1.6f, 6.0f},
    {Female, 14, 18, -1.0f, 1.6f, 9.0f},
    {Female, 19, 0, -1.0f, 1.8f, 11.0f},
    {FemalePregnant, 0, 18, -1.0f, 2.0f, 9.0f},
    {FemalePregnant, 19, 0, -1.0f, 2.0f, 11.0f},
    {FemaleLactation, 0, 18, -1.0f, 2.6f, 9.0f},
    {FemaleLactation, 19, 50, -1.0f, 2.6f, 11.0f},
};
const DietaryIntakesValues kMolybdenum[] = {
    {Infant, 0, 6, -1.0f, 2.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 3.0f, -1.0f},
    {Children, 1, 3, 17.0f, -1.0f, 300.0f},
    {Children, 4, 8, 22.0f, -1.0f, 600.0f},
    {Male, 9, 13, 34.0f, -1.0f, 1100.0f},
    {Male, 14, 18, 43.0f, -1.0f, 1700.0f},
    {Male, 19, 0, 45.0f, -1.0f, 2000.0f},
    {Female, 9, 13, 34.0f, -1.0f, 1100.0f},
    {Female, 14, 18, 43.0f, -1.0f, 1700.0f},
    {Female, 19, 0, 45.0f, -1.0f, 2000.0f},
    {FemalePregnant, 0, 18, 50.0f, -1.0f, 1700.0f},
    {FemalePregnant, 19, 0, 50.0f, -1.0f, 2000.0f},
    {FemaleLactation, 0, 18, 50.0f, -1.0f, 1700.0f},
    {FemaleLactation, 19, 50, 50.0f, -1.0f, 2000.0f},
};
const DietaryIntakesValues kNickel[] = {
    {Children, 1, 3, -1.0f, -1.0f, 0.2f},        {Children, 4, 8, -1.0f, -1.0f, 0.3f},
    {Male, 9, 13, -1.0f, -1.0f, 0.6f},           {Male, 14, 0, -1.0f, -1.0f, 1.0f},
    {Female, 9, 13, -1.0f, -1.0f, 0.6f},         {Female, 14, 0, -1.0f, -1.0f, 1.0f},
    {FemalePregnant, 0, 50, -1.0f, -1.0f, 1.0f}, {FemaleLactation, 0, 50, -1.0f, -1.0f, 1.0f},
};
const DietaryIntakesValues kPhosphorus[] = {
    {Infant, 0, 6, -1.0f, 100.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 275.0f, -1.0f},
    {Children, 1, 3, 460.0f, -1.0f, 3000.0f},
    {Children, 4, 8, 500.0f, -1.0f, 3000.0f},
    {Male, 9, 13, 1250.0f, -1.0f, 4000.0f},
    {Male, 14, 18, 1250.0f, -1.0f, 4000.0f},
    {Male, 19, 70, 700.0f, -1.0f, 4000.0f},
    {Male, 71, 0, 700.0f, -1.0f, 3000.0f},
    {Female, 9, 13, 1250.0f, -1.0f, 4000.0f},
    {Female, 14, 18, 1250.0f, -1.0f, 4000.0f},
    {Female, 19, 70, 700.0f, -1.0f, 4000.0f},
    {Female, 71, 0, 700.0f, -1.0f, 3000.0f},
    {FemalePregnant, 0, 18, 1250.0f, -1.0f, 3500.0f},
    {FemalePregnant, 19, 50, 700.0f, -1.0f, 3500.0f},
    {FemaleLactation, 0, 18, 1250.0f, -1.0f, 4000.0f},
    {FemaleLactation, 19, 50, 700.0f, -1.0f, 4000.0f},
};
const DietaryIntakesValues kSelenium[] = {
    {Infant, 0, 6, -1.0f, 15.0f, 45.0f},           {Infant, 7, 12, -1.0f, 20.0f, 60.0f},
    {Children, 1, 3, 20.0f, -1.0f, 90.0f},         {Children, 4, 8, 30.0f, -1.0f, 150.0f},
    {Male, 9, 13, 40.0f, -1.0f, 280.0f},           {Male, 14, 0, 55.0f, -1.0f, 400.0f},
    {Female, 9, 13, 40.0f, -1.0f, 280.0f},         {Female, 14, 0, 55.0f, -1.0f, 400.0f},
    {FemalePregnant, 0, 50, 60.0f, -1.0f, 400.0f}, {FemaleLactation, 0, 50, 70.0f, -1.0f, 400.0f},
};
const DietaryIntakesValues kVanadium[] = {
    {Male, 19, 0, -1.0f, -1.0f, 1.0f},
    {Female, 19, 0, -1.0f, -1.0f, 1.0f},
};
const DietaryIntakesValues kZinc[] = {
    {Infant, 0, 6, -1.0f, 2.0f, 4.0f},
    {Infant, 7, 12, -1.0f, 3.0f, 5.0f},
    {Children, 1, 3, 3.0f, -1.0f, 7.0f},
    {Children, 4, 8, 5.0f, -1.0f, 12.0f},
    {Male, 9, 13, 8.0f, -1.0f, 23.0f},
    {Male, 14, 18, 11.0f, -1.0f, 34.0f},
    {Male, 19, 0, 11.0f, -1.0f, 40.0f},
    {Female, 9, 13, 8.0f, -1.0f, 23.0f},
    {Female, 14, 18, 9.0f, -1.0f, 34.0f},
    {Female, 19, 0, 8.0f, -1.0f, 40.0f},
    {FemalePregnant, 0, 18, 12.0f, -1.0f, 34.0f},
    {FemalePregnant, 19, 50, 11.0f, -1.0f, 40.0f},
    {FemaleLactation, 0, 18, 13.0f, -1.0f, 34.0f},
    {FemaleLactation, 19, 50, 12.0f, -1.0f, 40.0f},
};
const DietaryIntakesValues kPotassium[] = {
    {Infant, 0, 6, -1.0f, 400.0f, -1.0f},           {Infant, 7, 12, -1.0f, 700.0f, -1.0f},
    {Children, 1, 3, -1.0f, 3000.0f, -1.0f},        {Children, 4, 8, -1.0f, 3800.0f, -1.0f},
    {Male, 9, 13, -1.0f, 4500.0f, -1.0f},           {Male, 14, 0, -1.0f, 4700.0f, -1.0f},
    {Female, 9, 13, -1.0f, 4500.0f, -1.0f},         {Female, 14, 0, -1.0f, 4700.0f, -1.0f},
    {FemalePregnant, 0, 50, -1.0f, 4700.0f, -1.0f}, {FemaleLactation, 0, 50, -1.0f, 5100.0f, -1.0f},
};
const DietaryIntakesValues kSodium[] = {
    {Infant, 0, 6, -1.0f, 120.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 370.0f, -1.0f},
    {Children, 1, 3, -1.0f, 1000.0f, 1500.0f},
    {Children, 4, 8, -1.0f, 1200.0f, 1900.0f},
    {Male, 9, 13, -1.0f, 1500.0f, 2200.0f},
    {Male, 14, 50, -1.0f, 1500.0f, 2300.0f},
    {Male, 51, 70, -1.0f, 1300.0f, 2300.0f},
    {Male, 71, 0, -1.0f, 1200.0f, 2300.0f},
    {Female, 9, 14, -1.0f, 1500.0f, 2200.0f},
    {Female, 9, 50, -1.0f, 1500.0f, 2300.0f},
    {Female, 51, 70, -1.0f, 1300.0f, 2300.0f},
    {Female, 71, 0, -1.0f, 1300.0f, 2300.0f},
    {FemalePregnant, 0, 50, -1.0f, 1500.0f, 2300.0f},
    {FemaleLactation, 0, 50, -1.0f, 1500.0f, 2300.0f},
};
const DietaryIntakesValues kCarbohydrate[] = {
    {Infant, 0, 6, -1.0f, 60.0f, -1.0f},           {Infant, 7, 12, -1.0f, 95.0f, -1.0f},
    {Children, 1, 8, 130.0f, -1.0f, -1.0f},        {Male, 9, 0, 130.0f, -1.0f, -1.0f},
    {Female, 9, 0, 130.0f, -1.0f, -1.0f},          {FemalePregnant, 0, 50, 175.0f, -1.0f, -1.0f},
    {FemaleLactation, 0, 50, -1.0f, -1.0f, -1.0f},
};
const DietaryIntakesValues kTotalFiber[] = {
    {Infant, 0, 12, -1.0f, -1.0f, -1.0f},          {Children, 1, 3, -1.0f, 19.0f, -1.0f},
    {Children, 4, 8, -1.0f, 25.0f, -1.0f},         {Male, 9, 13, -1.0f, 31.0f, -1.0f},
    {Male, 14, 50, -1.0f, 38.0f, -1.0f},           {Male, 50, 0, -1.0f, 30.0f, -1.0f},
    {Female, 9, 18, -1.0f, 26.0f, -1.0f},          {Female, 19, 50, -1.0f, 25.0f, -1.0f},
    {Female, 50, 0, -1.0f, 21.0f, -1.0f},          {FemalePregnant, 0, 50, -1.0f, 28.0f, -1.0f},
    {FemaleLactation, 0, 50, -1.0f, 29.0f, -1.0f},
};
const DietaryIntakesValues kProteinAndAminoAcids[] = {
    {Infant, 0, 6, -1.0f, 9.1f, -1.0f},           {Infant, 7, 12, 13.5f, -1.0f, -1.0f},
    {Children, 1, 3, 13.0f, -1.0f, -1.0f},        {Children, 4, 8, 19.0f, -1.0f, -1.0f},
    {Male, 9, 13, 34.0f, -1.0f, -1.0f},           {Male, 14, 18, 52.0f, -1.0f, -1.0f},
    {Male, 18, 0, 56.0f, -1.0f, -1.0f},           {Female, 9, 13, 34.0f, -1.0f, -1.0f},
    {Female, 14, 18, 46.0f, -1.0f, -1.0f},        {Female, 18, 0, 46.0f, -1.0f, -1.0f},
    {FemalePregnant, 0, 50, 71.0f, -1.0f, -1.0f}, {FemaleLactation, 0, 50, 71.0f, -1.0f, -1.0f},
};
const DietaryIntakesValues kTotalFat[] = {
    {Infant, 0, 6, -1.0f, 31.0f, -1.0f},          {Infant, 7, 12, -1.0f, 30.0f, -1.0f},
    {Children, 1, 3, -1.0f, -1.0f, -1.0f},        {Children, 4, 8, -1.0f, -1.0f, -1.0f},
    {Male, 9, 18, -1.0f, -1.0f, -1.0f},           {Male, 19, 0, -1.0f, -1.0f, -1.0f},
    {Female, 9, 18, -1.0f, -1.0f, -1.0f},         {Female, 19, 0, -1.0f, -1.0f, -1.0f},
    {FemalePregnant, 0, 50, -1.0f, -1.0f, -1.0f}, {FemaleLactation, 0, 50, -1.0f, -1.0f, -1.0f},
};
const DietaryIntakesValues kEnergy[] = {
    {Infant, 0, 12, -1.0f, -1.0f, -1.0f},
    {Children, 1, 8, -1.0f, -1.0f, -1.0f},
    {Male, 9, 0, -1.0f, -1.0f, -1.0f},
    {Female, 9, 0, -1.0f, -1.0f, -1.0f},
    {FemalePregnant, 0, 50, -1.0f, -1.0f, -1.0f},
    {FemaleLactation, 0, 50, -1.0f, -1.0f, -1.0f},
};
const DietaryIntakesValues kUnknown[] = {
    {Infant, 0, 12, -1.0f, -1.0f, -1.0f},
    {Children, 1, 8, -1.0f, -1.0f, -1.0f},
    {Male, 9, 0, -1.0f, -1.0f, -1.0f},
    {Female, 9, 0, -1.0f, -1.0f, -1.0f},
    {FemalePregnant, 0, 50, -1.0f, -1.0f, -1.0f},
    {FemaleLactation, 0, 50, -1.0f, -1.0f, -1.0f},
};

// The revisions that replace four nutrients' rows in the "current" edition: calcium and vitamin D
// (Institute of Medicine, 2011), sodium and potassium (National Academies, 2019). Sodium's upper
// value is the 2019 Chronic Disease Risk Reduction intake; the report set no UL for it.
const DietaryIntakesValues kCalcium2011[] = {
    {Infant, 0, 6, -1.0f, 200.0f, 1000.0f},
    {Infant, 7, 12, -1.0f, 260.0f, 1500.0f},
    {Children, 1, 3, 700.0f, -1.0f, 2500.0f},
    {Children, 4, 8, 1000.0f, -1.0f, 2500.0f},
    {Male, 9, 18, 1300.0f, -1.0f, 3000.0f},
    {Male, 19, 50, 1000.0f, -1.0f, 2500.0f},
    {Male, 51, 70, 1000.0f, -1.0f, 2000.0f},
    {Male, 71, 0, 1200.0f, -1.0f, 2000.0f},
    {Female, 9, 18, 1300.0f, -1.0f, 3000.0f},
    {Female, 19, 50, 1000.0f, -1.0f, 2500.0f},
    {Female, 51, 0, 1200.0f, -1.0f, 2000.0f},
    {FemalePregnant, 0, 18, 1300.0f, -1.0f, 3000.0f},
    {FemalePregnant, 19, 50, 1000.0f, -1.0f, 2500.0f},
    {FemaleLactation, 0, 18, 1300.0f, -1.0f, 3000.0f},
    {FemaleLactation, 19, 50, 1000.0f, -1.0f, 2500.0f},
};
const DietaryIntakesValues kVitaminD2011[] = {
    {Infant, 0, 6, -1.0f, 10.0f, 25.0f},           {Infant, 7, 12, -1.0f, 10.0f, 38.0f},
    {Children, 1, 3, 15.0f, -1.0f, 63.0f},         {Children, 4, 8, 15.0f, -1.0f, 75.0f},
    {Male, 9, 70, 15.0f, -1.0f, 100.0f},           {Male, 71, 0, 20.0f, -1.0f, 100.0f},
    {Female, 9, 70, 15.0f, -1.0f, 100.0f},         {Female, 71, 0, 20.0f, -1.0f, 100.0f},
    {FemalePregnant, 0, 50, 15.0f, -1.0f, 100.0f}, {FemaleLactation, 0, 50, 15.0f, -1.0f, 100.0f},
};
const DietaryIntakesValues kPotassium2019[] = {
    {Infant, 0, 6, -1.0f, 400.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 860.0f, -1.0f},
    {Children, 1, 3, -1.0f, 2000.0f, -1.0f},
    {Children, 4, 8, -1.0f, 2300.0f, -1.0f},
    {Male, 9, 13, -1.0f, 2500.0f, -1.0f},
    {Male, 14, 18, -1.0f, 3000.0f, -1.0f},
    {Male, 19, 0, -1.0f, 3400.0f, -1.0f},
    {Female, 9, 13, -1.0f, 2300.0f, -1.0f},
    {Female, 14, 18, -1.0f, 2300.0f, -1.0f},
    {Female, 19, 0, -1.0f, 2600.0f, -1.0f},
    {FemalePregnant, 0, 18, -1.0f, 2600.0f, -1.0f},
    {FemalePregnant, 19, 50, -1.0f, 2900.0f, -1.0f},
    {FemaleLactation, 0, 18, -1.0f, 2500.0f, -1.0f},
    {FemaleLactation, 19, 50, -1.0f, 2800.0f, -1.0f},
};
const DietaryIntakesValues kSodium2019[] = {
    {Infant, 0, 6, -1.0f, 110.0f, -1.0f},
    {Infant, 7, 12, -1.0f, 370.0f, -1.0f},
    {Children, 1, 3, -1.0f, 800.0f, 1200.0f},
    {Children, 4, 8, -1.0f, 1000.0f, 1500.0f},
    {Male, 9, 13, -1.0f, 1200.0f, 1800.0f},
    {Male, 14, 0, -1.0f, 1500.0f, 2300.0f},
    {Female, 9, 13, -1.0f, 1200.0f, 1800.0f},
    {Female, 14, 0, -1.0f, 1500.0f, 2300.0f},
    {FemalePregnant, 0, 50, -1.0f, 1500.0f, 2300.0f},
    {FemaleLactation, 0, 50, -1.0f, 1500.0f, 2300.0f},
};

// Group, name, units, gid and the rows of each nutrient.
const BuiltInIntake kIntakes[] = {
    {CDC_DietaryIntakesMgr::Vitamins, "Biotin", "µg/day", 113, kBiotin},
    {CDC_DietaryIntakesMgr::Vitamins, "Choline", "mg/day", 36, kCholine},
    {CDC_DietaryIntakesMgr::Vitamins, "Folate", "µg/day", 34, kFolate},
    {CDC_DietaryIntakesMgr::Vitamins, "Niacin", "mg/day", 32, kNiacin},
    {CDC_DietaryIntakesMgr::Vitamins, "Pantothenic Acid", "mg/day", 81, kPantothenicAcid},
    {CDC_DietaryIntakesMgr::Vitamins, "Riboflavin", "mg/day", 31, kRiboflavin},
    {CDC_DietaryIntakesMgr::Vitamins, "Thiamin", "mg/day", 30, kThiamin},
    {CDC_DietaryIntakesMgr::Vitamins, "Vitamin A", "µg/day", 22, kVitaminA},
    {CDC_DietaryIntakesMgr::Vitamins, "Vitamin B6", "mg/day", 33, kVitaminB6},
    {CDC_DietaryIntakesMgr::Vitamins, "Vitamin B12", "µg/day", 35, kVitaminB12},
    {CDC_DietaryIntakesMgr::Vitamins, "Vitamin C", "mg/day", 29, kVitaminC},
    {CDC_DietaryIntakesMgr::Vitamins, "Vitamin D", "ug/day", 66, kVitaminD},
    {CDC_DietaryIntakesMgr::Vitamins, "Vitamin E", "mg/day", 25, kVitaminE},
    {CDC_DietaryIntakesMgr::Vitamins, "Vitamin K", "µg/day", 37, kVitaminK},
    {CDC_DietaryIntakesMgr::Minerals, "Boron", "mg/day", 106, kBoron},
    {CDC_DietaryIntakesMgr::Minerals, "Calcium", "mg/day", 12, kCalcium},
    {CDC_DietaryIntakesMgr::Minerals, "Chromium", "µg/day", 107, kChromium},
    {CDC_DietaryIntakesMgr::Minerals, "Copper", "mg/day", 19, kCopper},
    {CDC_DietaryIntakesMgr::Minerals, "Fluoride", "mg/day", 108, kFluoride},
    {CDC_DietaryIntakesMgr::Minerals, "Iodine", "µg/day", 109, kIodine},
    {CDC_DietaryIntakesMgr::Minerals, "Iron", "mg/day", 13, kIron},
    {CDC_DietaryIntakesMgr::Minerals, "Magnesium", "mg/day", 14, kMagnesium},
    {CDC_DietaryIntakesMgr::Minerals, "Manganese", "mg/day", 75, kManganese},
    {CDC_DietaryIntakesMgr::Minerals, "Molybdenum", "µg/day", 110, kMolybdenum},
    {CDC_DietaryIntakesMgr::Minerals, "Nickel", "mg/day", 111, kNickel},
    {CDC_DietaryIntakesMgr::Minerals, "Phosphorus", "mg/day", 15, kPhosphorus},
    {CDC_DietaryIntakesMgr::Minerals, "Selenium", "µg/day", 20, kSelenium},
    {CDC_DietaryIntakesMgr::Minerals, "Vanadium", "mg/day", 112, kVanadium},
    {CDC_DietaryIntakesMgr::Minerals, "Zinc", "mg/day", 18, kZinc},
    {CDC_DietaryIntakesMgr::Minerals, "Potassium", "mg/day", 16, kPotassium},
    {CDC_DietaryIntakesMgr::Minerals, "Sodium", "mg/day", 17, kSodium},
    {CDC_DietaryIntakesMgr::MacroNutrients, "Carbohydrate", "g/day", 5, kCarbohydrate},
    {CDC_DietaryIntakesMgr::MacroNutrients, "Total Fiber", "g/day", 11, kTotalFiber},
    {CDC_DietaryIntakesMgr::MacroNutrients, "Protein and Amino Acids", "g/day", 3, kProteinAndAminoAcids},
    {CDC_DietaryIntakesMgr::MacroNutrients, "Total Fat", "g/day", 4, kTotalFat},
    {CDC_DietaryIntakesMgr::Other, "Energy", "cal", 1, kEnergy},
    {CDC_DietaryIntakesMgr::Other, "Unknown", "?", -1, kUnknown},
};

constexpr int kMagnesiumGid = 14;
constexpr int kNiacinGid = 32;
constexpr int kFolateGid = 34;
constexpr int kVitaminEGid = 25;
constexpr int kCalciumGid = 12;
constexpr int kVitaminDGid = 66;
constexpr int kPotassiumGid = 16;
constexpr int kSodiumGid = 17;

std::span<const DietaryIntakesValues> RevisedRows(int gid) {
    switch (gid) {
        case kCalciumGid: return kCalcium2011;
        case kVitaminDGid: return kVitaminD2011;
        case kPotassiumGid: return kPotassium2019;
        case kSodiumGid: return kSodium2019;
        default: return {};
    }
}

}  // namespace

bool DietaryIntakesValues::Matches(int forCategory, int age) const {
    const auto a = static_cast<std::int16_t>(age);
    return category == forCategory && minAge <= a && (a <= maxAge || maxAge == 0);
}

bool DietaryIntake::GetValues(int category, int age, float& rda, float& ai, float& ul) const {
    for (const auto& row : rows) {
        if (row.Matches(category, age)) {
            rda = row.RDA;
            ai = row.AI;
            ul = row.UL;
            return true;
        }
    }
    rda = ai = ul = -1.0f;
    return false;
}

const char* CDC_DietaryIntakesMgr::GroupName(int group) {
    static const char* const names[] = {"Vitamins", "Minerals", "MacroNutrients", "Other"};
    return group >= 0 && group < kGroupCount ? names[group] : "";
}

void CDC_DietaryIntakesMgr::InitializeBuiltIn(DriEdition edition) {
    edition_ = edition;
    for (auto& g : groups_) g.clear();
    for (const BuiltInIntake& b : kIntakes) {
        DietaryIntake intake{b.name, b.units, b.id, std::vector<DietaryIntakesValues>(b.rows.begin(), b.rows.end())};
        // Their ULs are for supplements, fortified foods or drugs, not for the nutrient as food has it.
        intake.ulForSupplementsOnly =
            b.id == kMagnesiumGid || b.id == kNiacinGid || b.id == kFolateGid || b.id == kVitaminEGid;
        if (edition == DriEdition::Current) {
            const std::span<const DietaryIntakesValues> revised = RevisedRows(b.id);
            if (!revised.empty()) intake.rows.assign(revised.begin(), revised.end());
            intake.ulIsCdrr = b.id == kSodiumGid;
        }
        groups_[static_cast<std::size_t>(b.group)].push_back(std::move(intake));
    }
}

std::optional<DriEdition> DriEditionFromName(const std::string& name) {
    if (name == "current") return DriEdition::Current;
    if (name == "original") return DriEdition::Original;
    return std::nullopt;
}

const char* DriEditionName(DriEdition edition) { return edition == DriEdition::Current ? "current" : "original"; }

const DietaryIntake* CDC_DietaryIntakesMgr::FindIntake(int gid) const {
    for (const auto& group : groups_)
        for (const auto& intake : group)
            if (intake.id == gid) return &intake;
    return nullptr;
}
