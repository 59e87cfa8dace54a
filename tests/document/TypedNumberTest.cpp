#include "document/TypedNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>

namespace {

TEST(TypedNumber, ReadsTheLeadingNumberAsAtofDoes) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"50", 50},      {" 12.5kg", 12.5}, {"-3", -3},    {"+.5", 0.5},         {"1,5", 1},
        {"abc", 0},      {"", 0},           {"--2", 0},    {"1e-400", 0},        {"2e3", 2000},
        {"inf", std::nullopt}, {"1e999", std::nullopt}, {"nan", std::nullopt}, {"-1e400", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(TypedNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(TypedNumber, IgnoresTheLocalesDecimalSeparator) {
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german) GTEST_SKIP() << "no German locale here";
    const std::optional<double> value = TypedNumber("1.5");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(value, 1.5);
}

}  // namespace
