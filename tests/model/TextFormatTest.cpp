#include "model/TextFormat.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace {

struct GCase {
    double value;
    const char* text;
};

class TextFormatG : public ::testing::TestWithParam<GCase> {};

TEST_P(TextFormatG, MatchesPrintf) {
    EXPECT_EQ(GetParam().text, TextFormat::G(GetParam().value));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%G", GetParam().value);
    EXPECT_STREQ(buf, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextFormatG,
                         ::testing::Values(GCase{0.5, "0.5"}, GCase{0.0001, "0.0001"}, GCase{0.00001, "1E-05"},
                                           GCase{80, "80"}, GCase{1.0, "1"}, GCase{3181.2, "3181.2"},
                                           GCase{2093.176, "2093.18"}, GCase{123456, "123456"},
                                           GCase{1234567, "1.23457E+06"}, GCase{-12.5, "-12.5"}, GCase{0, "0"},
                                           GCase{std::numeric_limits<double>::infinity(), "INF"}));

TEST(TextFormat, LowerGWritesLikePrintfLowerG) {
    EXPECT_EQ(TextFormat::LowerG(47.06), "47.06");
    EXPECT_EQ(TextFormat::LowerG(100), "100");
    EXPECT_EQ(TextFormat::LowerG(1234567), "1.23457e+06");
    EXPECT_EQ(TextFormat::LowerG(0.5), "0.5");
}

TEST(TextFormat, PrintfFillsConversionsInOrder) {
    EXPECT_EQ("Age(30) Coef(1.25) 100%", TextFormat::Printf("Age(%d) Coef(%G) 100%%", {30, 1.25}));
    EXPECT_EQ("plain", TextFormat::Printf("plain", {}));
}

TEST(TextFormat, PrintfRefusesWhatItCannotFormat) {
    EXPECT_THROW(TextFormat::Printf("%d", {}), std::logic_error);
    EXPECT_THROW(TextFormat::Printf("%d", {1, 2}), std::logic_error);
    EXPECT_THROW(TextFormat::Printf("%G", {1}), std::logic_error);
    EXPECT_THROW(TextFormat::Printf("%d", {1.5}), std::logic_error);
    EXPECT_THROW(TextFormat::Printf("%s", {1}), std::logic_error);
    EXPECT_THROW(TextFormat::Printf("50%", {}), std::logic_error);
}

}  // namespace
