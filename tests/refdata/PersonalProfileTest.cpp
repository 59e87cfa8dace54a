#include "refdata/PersonalProfile.h"

#include <gtest/gtest.h>

namespace {

struct ComputeCase {
    const char* what;
    int category;
    int age;
    double weight;
    int height;
    int lifeStyle;
    double kcal;
};

std::ostream& operator<<(std::ostream& os, const ComputeCase& c) { return os << c.what; }

class PersonalProfileCompute : public ::testing::TestWithParam<ComputeCase> {};

TEST_P(PersonalProfileCompute, GivesTheEquationOfCategoryAndAge) {
    const ComputeCase& c = GetParam();
    CDS_PersonalProfile p;
    p.category = c.category;
    p.age = c.age;
    p.weight = c.weight;
    p.height = c.height;
    p.lifeStyle = c.lifeStyle;
    EXPECT_NEAR(c.kcal, p.Compute(), 1e-9);
}

// Infants: 89 W - 100 + deposition by months; boys and girls up to 18 with the deposition 20
// under 9 years and 25 from 9; men and women from 19 without deposition.
INSTANTIATE_TEST_SUITE_P(
    Cases, PersonalProfileCompute,
    ::testing::Values(
        ComputeCase{"dialog defaults: girl of 3", 3, 3, 50.0f, 160, 0, 135.3 - 92.4 + (500 + 1494.4) + 20},
        ComputeCase{"man of 30, active", 2, 30, 80, 180, 2, 662 - 285.9 + 1.25 * (1272.8 + 971.28)},
        ComputeCase{"woman of 19, very active", 3, 19, 60, 170, 3, 354 - 6.91 * 19 + 1.45 * (9.36 * 60 + 7.26 * 170)},
        ComputeCase{"boy of 8 deposits 20", 2, 8, 25, 128, 1, 88.5 - 61.9 * 8 + 1.13 * (26.7 * 25 + 9.03 * 128) + 20},
        ComputeCase{"boy of 9 deposits 25", 2, 9, 28, 133, 1, 88.5 - 61.9 * 9 + 1.13 * (26.7 * 28 + 9.03 * 133) + 25},
        ComputeCase{"boy of 18 keeps the boys' equation", 2, 18, 70, 178, 3,
                    88.5 - 61.9 * 18 + 1.42 * (26.7 * 70 + 9.03 * 178) + 25},
        ComputeCase{"infant of 3 months", 0, 3, 5.5, 60, 4, 89 * 5.5 - 100 + 175},
        ComputeCase{"infant of 4 months", 0, 4, 6, 60, 4, 490},
        ComputeCase{"infant of 7 months", 0, 7, 8, 60, 4, 89 * 8 - 100 + 22},
        ComputeCase{"infant beyond 12 months", 0, 13, 10, 60, 4, 89 * 10 - 100 + 20},
        ComputeCase{"life style of a new record counts as sedentary", 3, 40, 60, 165, 4,
                    354 - 6.91 * 40 + (9.36 * 60 + 7.26 * 165)},
        ComputeCase{"negative life style counts as sedentary", 2, 40, 80, 180, -1,
                    662 - 9.53 * 40 + (15.91 * 80 + 5.396 * 180)},
        ComputeCase{"new record: unknown category", 7, 30, 80, 180, 2, 0},
        ComputeCase{"children are no category here", 1, 5, 20, 110, 1, 0}));

TEST(EnergyEquation, ActivityCoefficientsByGroupAndLifeStyle) {
    using EnergyEquation::ActivityCoefficient;
    using G = EnergyEquation::ActivityGroup;
    EXPECT_DOUBLE_EQ(1.42, ActivityCoefficient(G::Boys, 3));
    EXPECT_DOUBLE_EQ(1.16, ActivityCoefficient(G::Girls, 1));
    EXPECT_DOUBLE_EQ(1.25, ActivityCoefficient(G::Men, 2));
    EXPECT_DOUBLE_EQ(1.27, ActivityCoefficient(G::Women, 2));
    EXPECT_DOUBLE_EQ(1.0, ActivityCoefficient(G::Women, 0));
    EXPECT_DOUBLE_EQ(1.0, ActivityCoefficient(G::Men, 4));
}

}  // namespace
