#include "model/EnergyComposition.h"

#include "support/XmlFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

using Xml::XmlDocument;
using C = CDS_EnergyComposition;

namespace {

std::array<double, 4> Values(const C& c) {
    return {c.GetValue(0, C::kValue), c.GetValue(1, C::kValue), c.GetValue(2, C::kValue), c.GetValue(3, C::kValue)};
}

void SetValues(C& c, std::array<double, 4> values) {
    for (int i = 0; i < 4; ++i) c.SetValue(i, C::kValue, values[static_cast<std::size_t>(i)]);
}

TEST(EnergyComposition, BuiltInValues) {
    const C c;
    const char* names[] = {"Protein", "Fat", "Carbohydrates", "Alcohol"};
    const double table[4][3] = {{10, 35, 30}, {20, 35, 25}, {45, 65, 45}, {0, 10, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(names[i], c.ComponentName(i));
        for (int col = 0; col < 3; ++col) EXPECT_DOUBLE_EQ(table[i][col], c.GetValue(i, col)) << i << "," << col;
        EXPECT_FALSE(c.IsIncluded(i));
        EXPECT_TRUE(c.IsBalanced(i));
    }
    EXPECT_TRUE(c.IsReference());
    EXPECT_EQ(0, c.Requested());
}

TEST(EnergyComposition, SetValueEndsTheBuiltInState) {
    C c;
    C copy = c;
    c.SetValue(1, C::kMax, 30);
    EXPECT_FALSE(c.IsReference());
    EXPECT_DOUBLE_EQ(30, c.GetValue(1, C::kMax));
    EXPECT_TRUE(copy.IsReference());
    EXPECT_DOUBLE_EQ(35, copy.GetValue(1, C::kMax));
}

TEST(EnergyComposition, ComponentsAndColumnsOutsideTheTableFail) {
    C c;
    EXPECT_THROW(c.GetValue(4, C::kMin), std::out_of_range);
    EXPECT_THROW(c.GetValue(-1, C::kMin), std::out_of_range);
    EXPECT_THROW(c.GetValue(0, 3), std::out_of_range);
    EXPECT_THROW(c.SetValue(0, -1, 1), std::out_of_range);
    EXPECT_THROW(c.ComponentName(4), std::out_of_range);
    EXPECT_TRUE(c.IsReference());
}

struct BalanceCase {
    double min, max, value;
    bool balanced;
};

class EnergyBalance : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(EnergyBalance, WithinTheRangeAndTolerance) {
    const BalanceCase& b = GetParam();
    C c;
    c.SetValue(0, C::kMin, b.min);
    c.SetValue(0, C::kMax, b.max);
    c.SetValue(0, C::kValue, b.value);
    EXPECT_EQ(b.balanced, c.IsBalanced(0)) << b.min << ".." << b.max << ": " << b.value;
}

INSTANTIATE_TEST_SUITE_P(Cases, EnergyBalance,
                         ::testing::Values(BalanceCase{10, 35, 35.00005, true}, BalanceCase{10, 35, 35.0002, false},
                                           BalanceCase{10, 35, 9.99995, true}, BalanceCase{10, 35, 9.9998, false},
                                           BalanceCase{10, 0, 99, true}, BalanceCase{10, 0, 9, false},
                                           BalanceCase{0, 10, 0, true}));

struct RoundCase {
    const char* what;
    std::array<double, 4> values;
    int decimals;
    std::array<double, 4> rounded;
};

std::ostream& operator<<(std::ostream& os, const RoundCase& c) { return os << c.what; }

class EnergyRoundToHundred : public ::testing::TestWithParam<RoundCase> {};

TEST_P(EnergyRoundToHundred, FewestDecimalsThatAddUp) {
    const RoundCase& r = GetParam();
    C c;
    SetValues(c, r.values);
    c.RoundToHundred(r.decimals);
    const auto got = Values(c);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(r.rounded[i], got[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnergyRoundToHundred,
    ::testing::Values(
        RoundCase{"whole numbers suffice", {25.4, 24.6, 50, 0}, 2, {25, 25, 50, 0}},
        RoundCase{"never 100: stored at the most decimals", {33.333, 33.333, 33.334, 0}, 2, {33.33, 33.33, 33.33, 0}},
        RoundCase{"one decimal", {20.44, 29.46, 50.1, 0}, 2, {20.4, 29.5, 50.1, 0}},
        RoundCase{
            "-1 means three decimals", {10.4444, 20.4444, 30.4444, 38.6668}, -1, {10.444, 20.444, 30.444, 38.667}},
        RoundCase{"other negatives change nothing", {10.1234, 20.0001, 69.8765, 0}, -2, {10.1234, 20.0001, 69.8765, 0}},
        RoundCase{"zero decimals", {33.333, 33.333, 33.334, 0}, 0, {33, 33, 33, 0}}));

TEST(EnergyComposition, SharesOfTheEnergies) {
    C c;
    // 100 g with 20 g protein and 10 g fat at 4 and 9 kcal/g: 47.06 % and 52.94 % round to whole
    // numbers that add up.
    c.SetFromEnergies({4 * 100 * 20.0, 9 * 100 * 10.0, 0, 0});
    EXPECT_EQ((std::array<double, 4>{47, 53, 0, 0}), Values(c));
    EXPECT_FALSE(c.IsReference());

    c.SetFromEnergies({0, 0, 0, 0});
    EXPECT_EQ((std::array<double, 4>{0, 0, 0, 0}), Values(c));

    c.SetFromEnergies({1, 1, 1, 0});
    EXPECT_EQ((std::array<double, 4>{33.33, 33.33, 33.33, 0}), Values(c));
}

// ---- XML -----------------------------------------------------------------------------------

TEST(EnergyCompositionXml, SavesComponentsInOrderWithBalance) {
    XmlFixture xml;
    C c;
    c.SetValue(1, C::kValue, 36.5);
    c.SetIncluded(2, true);
    c.SetRequested(3);
    c.Save(xml.root);
    EXPECT_EQ(R"(<EnergyComposition type="request" requested="3">
  <EnergyComponent Name="Protein" Min="10" Max="35" Value="30" included="false" balanced="true"/>
  <EnergyComponent Name="Fat" Min="20" Max="35" Value="36.5" included="false" balanced="false"/>
  <EnergyComponent Name="Carbohydrates" Min="45" Max="65" Value="45" included="true" balanced="true"/>
  <EnergyComponent Name="Alcohol" Min="0" Max="10" Value="0" included="false" balanced="true"/>
</EnergyComposition>)",
              xml.root.ChildElement("EnergyComposition").GetXml());
}

TEST(EnergyCompositionXml, RoundTrip) {
    XmlFixture xml;
    C saved;
    SetValues(saved, {12.5, 30.25, 55, 2.25});
    saved.SetValue(3, C::kMax, 0);
    saved.SetIncluded(0, true);
    saved.SetRequested(2);
    saved.Save(xml.root);

    XmlDocument back;
    C read;
    read.Load(xml.Reparsed(back, "EnergyComposition"));
    EXPECT_EQ(Values(saved), Values(read));
    EXPECT_DOUBLE_EQ(0, read.GetValue(3, C::kMax));
    EXPECT_TRUE(read.IsIncluded(0));
    EXPECT_FALSE(read.IsIncluded(1));
    EXPECT_EQ(2, read.Requested());
    EXPECT_FALSE(read.IsReference());

    XmlFixture again;
    C().Save(again.root);
    XmlDocument back2;
    read.Load(again.Reparsed(back2, "EnergyComposition"));
    EXPECT_TRUE(read.IsReference());
}

TEST(EnergyCompositionXml, ComponentsAreFoundByName) {
    XmlDocument doc;
    C c;
    c.Load(XmlFixture::Parse(doc, R"(<EnergyComposition>
        <EnergyComponent Name="Alcohol" Min="0" Max="5" Value="1"/>
        <EnergyComponent Name="Carbohydrates" Min="40" Max="60" Value="50" included="1"/>
        <EnergyComponent Name="Fat" Min="25" Max="30" Value="29"/>
        <EnergyComponent Name="Protein" Min="15" Max="25" Value="20"/>
      </EnergyComposition>)"));
    EXPECT_EQ((std::array<double, 4>{20, 29, 50, 1}), Values(c));
    EXPECT_DOUBLE_EQ(25, c.GetValue(1, C::kMin));
    EXPECT_DOUBLE_EQ(5, c.GetValue(3, C::kMax));
    EXPECT_TRUE(c.IsIncluded(2));
    EXPECT_FALSE(c.IsIncluded(3));
    EXPECT_EQ(1, c.Requested());
    EXPECT_FALSE(c.IsReference());
}

TEST(EnergyCompositionXml, MissingComponentFailsAfterTheOnesBefore) {
    XmlDocument doc;
    C c;
    EXPECT_THROW(c.Load(XmlFixture::Parse(doc, R"(<EnergyComposition type="reference">
        <EnergyComponent Name="Protein" Min="15" Max="25" Value="20"/>
        <EnergyComponent Name="Carbohydrates" Min="40" Max="60" Value="50"/>
      </EnergyComposition>)")),
                 Xml::XmlError);
    EXPECT_DOUBLE_EQ(20, c.GetValue(0, C::kValue));
    EXPECT_DOUBLE_EQ(25, c.GetValue(1, C::kValue));
}

}  // namespace
