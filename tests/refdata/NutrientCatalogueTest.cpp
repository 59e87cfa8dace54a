#include "refdata/NutrientCatalogue.h"

#include <gtest/gtest.h>

using namespace Nutrient;

TEST(NutrientCatalogue, NumberMapSearchesInOrder) {
    EXPECT_EQ(1, GidOfNutrientNumber(208));
    EXPECT_EQ(3, GidOfNutrientNumber(203));
    EXPECT_EQ(66, GidOfNutrientNumber(328));
    EXPECT_EQ(65, GidOfNutrientNumber(646));
    EXPECT_EQ(999, GidOfNutrientNumber(999));
    EXPECT_EQ(-1, GidOfNutrientNumber(-1));
    EXPECT_EQ(0, GidOfNutrientNumber(0));
}

TEST(NutrientCatalogue, StandardTableLookups) {
    ASSERT_EQ(37u, StandardNutrients().size());
    for (int gid : {2, 21, 23, 24, 26, 27, 28, 39, 42, 45, 63}) EXPECT_EQ(nullptr, StandardNutrientByGid(gid)) << gid;
    const StandardNutrient* se = StandardNutrientByGid(20);
    ASSERT_NE(nullptr, se);
    EXPECT_STREQ("Selenium", se->name);
    EXPECT_STREQ("\xC2\xB5g", se->units);
    EXPECT_STREQ("mcg", StandardNutrientByGid(38)->units);
    EXPECT_STREQ("Fatty acids, total saturated", StandardNutrientByGid(44)->description);
    EXPECT_EQ(4, GidOfStandardNutrient("Total Fat"));
    EXPECT_EQ(-1, GidOfStandardNutrient("Fat"));
    EXPECT_EQ(-1, GidOfStandardNutrient("total fat"));
}

TEST(NutrientCatalogue, IntakesRoundToDisplayDecimals) {
    EXPECT_DOUBLE_EQ(12.35, RoundIntake(13, 12.346));  // Iron, 2 decimals
    EXPECT_DOUBLE_EQ(12, RoundIntake(12, 12.346));     // Calcium, 0 decimals
    EXPECT_DOUBLE_EQ(0.123, RoundIntake(19, 0.1234));  // Copper, 3 decimals
    EXPECT_DOUBLE_EQ(12.346, RoundIntake(2, 12.346));  // not in the table
    EXPECT_DOUBLE_EQ(3, RoundDecimals(2.5, -2));
    // The integer part is truncated towards zero, so negatives round up by half a unit.
    EXPECT_DOUBLE_EQ(-1, RoundDecimals(-1.7, 0));
}
