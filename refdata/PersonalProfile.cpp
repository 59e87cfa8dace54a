#include "PersonalProfile.h"

#include "DriCategory.h"

namespace EnergyEquation {

double ActivityCoefficient(ActivityGroup group, int lifeStyle) {
    static constexpr double kTable[4][4] = {
        {1.0, 1.13, 1.26, 1.42},  // boys
        {1.0, 1.16, 1.31, 1.56},  // girls
        {1.0, 1.11, 1.25, 1.48},  // men
        {1.0, 1.12, 1.27, 1.45},  // women
    };
    if (lifeStyle < 0 || lifeStyle > 3) lifeStyle = 0;
    return kTable[static_cast<int>(group)][lifeStyle];
}

int InfantDeposition(int months) {
    if (months <= 3) return 175;
    if (months <= 6) return 56;
    if (months <= 12) return 22;
    return 20;
}

double Infant(double weightKg, int deposition) { return 89 * weightKg - 100 + deposition; }

double Boys(int age, double pa, double weightKg, int heightCm, int deposition) {
    return 88.5 - 61.9 * age + pa * (26.7 * weightKg + 9.03 * heightCm) + deposition;
}

double Girls(int age, double pa, double weightKg, int heightCm, int deposition) {
    return 135.3 - 30.8 * age + pa * (10 * weightKg + 9.34 * heightCm) + deposition;
}

double Men(int age, double pa, double weightKg, int heightCm) {
    return 662 - 9.53 * age + pa * (15.91 * weightKg + 5.396 * heightCm);
}

double Women(int age, double pa, double weightKg, int heightCm) {
    return 354 - 6.91 * age + pa * (9.36 * weightKg + 7.26 * heightCm);
}

}  // namespace EnergyEquation

double CDS_PersonalProfile::Compute() const {
    namespace eq = EnergyEquation;
    using Group = eq::ActivityGroup;
    // The calculator has no category of its own for children: every boy or girl up to 18 gets
    // the boys' or girls' equation.
    const int deposition = age < 9 ? 20 : 25;
    switch (category) {
        case DriCategory::Infant: return eq::Infant(weight, eq::InfantDeposition(age));
        case DriCategory::Male:
            if (age <= 18)
                return eq::Boys(age, eq::ActivityCoefficient(Group::Boys, lifeStyle), weight, height, deposition);
            return eq::Men(age, eq::ActivityCoefficient(Group::Men, lifeStyle), weight, height);
        case DriCategory::Female:
            if (age <= 18)
                return eq::Girls(age, eq::ActivityCoefficient(Group::Girls, lifeStyle), weight, height, deposition);
            return eq::Women(age, eq::ActivityCoefficient(Group::Women, lifeStyle), weight, height);
        default: return 0;
    }
}
