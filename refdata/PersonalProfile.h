#pragma once

// Estimated energy requirement (kcal/day) from the equations of the dietary reference intakes
// report, shared by the energy calculator and the profile's own requirement.
namespace EnergyEquation {

// What the equations are given: a height in whole centimetres from 50 to 250 and a weight in
// kilograms above 0 and at most 500. The calculator refuses anything else, and so does the
// person's own data.
constexpr int kMinHeightCm = 50;
constexpr int kMaxHeightCm = 250;
constexpr double kMaxWeightKg = 500;

inline bool HeightInRange(int cm) noexcept { return cm >= kMinHeightCm && cm <= kMaxHeightCm; }
// NaN is outside too.
inline bool WeightInRange(double kg) noexcept { return kg > 0 && kg <= kMaxWeightKg; }

// Who an activity coefficient is for: boys and girls up to 18 years, men and women from 19.
enum class ActivityGroup { Boys, Girls, Men, Women };

// The coefficient of life style 0 (sedentary) to 3 (very active). Any other life style counts as
// sedentary, so a damaged setting still gives a plausible requirement.
double ActivityCoefficient(ActivityGroup group, int lifeStyle);

// Energy deposition of growth for an infant of that many months.
int InfantDeposition(int months);

// 89 W - 100 + deposition.
double Infant(double weightKg, int deposition);
// 88.5 - 61.9 n + PA (26.7 W + 9.03 H) + deposition.
double Boys(int age, double pa, double weightKg, int heightCm, int deposition);
// 135.3 - 30.8 n + PA (10 W + 9.34 H) + deposition.
double Girls(int age, double pa, double weightKg, int heightCm, int deposition);
// 662 - 9.53 n + PA (15.91 W + 5.396 H).
double Men(int age, double pa, double weightKg, int heightCm);
// 354 - 6.91 n + PA (9.36 W + 7.26 H).
double Women(int age, double pa, double weightKg, int heightCm);

}  // namespace EnergyEquation

// The inputs of the energy calculator, always in kg and cm.
class CDS_PersonalProfile {
public:
    virtual ~CDS_PersonalProfile() = default;

    // Energy requirement in kcal/day; 0 for a category other than infants, male or female.
    double Compute() const;

    int category = 7;   // 0 infants, 2 male, 3 female (DriCategory values)
    double weight = 0;  // kg
    int age = 0;        // months for infants, else years
    int height = 0;     // cm
    int lifeStyle = 4;  // 0-3
};
