#include "document/viewmodel/TypedNumber.h"

#include "support/GermanLocale.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(TypedNumber, TakesOnlyATextThatIsAWholeNumber) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"50", 50},
        {" 12.5 ", 12.5},
        {"-3", -3},
        {"+.5", 0.5},
        {"5.", 5},
        {"2e3", 2000},
        {"1e-400", 0},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"12kg", std::nullopt},
        {"--2", std::nullopt},
        {"1.5.2", std::nullopt},
        {".", std::nullopt},
        {"1e", std::nullopt},
        {"0x10", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1e999", std::nullopt},
        {"-1e400", std::nullopt},
        // Under the C locale the comma is no decimal separator: "1,5" is refused, never 1.
        {"1,5", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(TypedNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(TypedNumber, EachRuleSaysWhatAnEmptyOrNegativeTextMeans) {
    using Kind = TypedInput::Kind;
    struct Case {
        const char* text;
        TypedRule rule;
        Kind kind;
        double value;
        const char* error;
    };
    const Case cases[] = {
        {"120", TypedRule::Weight, Kind::Number, 120, ""},
        {"0", TypedRule::Weight, Kind::Number, 0, ""},
        {"-0", TypedRule::Weight, Kind::Number, 0, ""},
        {"", TypedRule::Weight, Kind::Refused, 0, "A weight or amount can't be empty; the old value is kept."},
        {"-100", TypedRule::Weight, Kind::Refused, 0,
         "A weight or amount can't be negative (\"-100\"); the old value is kept."},
        {" abc ", TypedRule::Weight, Kind::Refused, 0, "\"abc\" is not a number; the old value is kept."},
        {"1e999", TypedRule::Weight, Kind::Refused, 0, "\"1e999\" is too large a number; the old value is kept."},
        {"  ", TypedRule::Limit, Kind::Cleared, 0, ""},
        {"8", TypedRule::Limit, Kind::Number, 8, ""},
        {"-5", TypedRule::Limit, Kind::Refused, 0, "A limit can't be negative (\"-5\"); the old limit is kept."},
        {"plenty", TypedRule::Limit, Kind::Refused, 0, "\"plenty\" is not a number; the old value is kept."},
        {"", TypedRule::Value, Kind::Cleared, 0, ""},
        {"-2.5", TypedRule::Value, Kind::Number, -2.5, ""},
        {"63,4", TypedRule::Value, Kind::Refused, 0, "\"63,4\" is not a number; the old value is kept."},
    };
    for (const Case& c : cases) {
        const TypedInput typed = ReadTyped(c.text, c.rule);
        EXPECT_EQ(typed.kind, c.kind) << '"' << c.text << '"';
        EXPECT_EQ(typed.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(typed.error, c.error) << '"' << c.text << '"';
    }
}

TEST(TypedNumber, UnderAGermanLocaleTakesTheCommaAsWellAsTheDot) {
    const ScopedGermanNumbers german;
    if (!german.Active()) GTEST_SKIP() << german.Why();
    EXPECT_EQ(LocaleDecimalSeparator(), ",");
    EXPECT_EQ(TypedNumber("1,5"), 1.5);
    EXPECT_EQ(TypedNumber(" 63,4 "), 63.4);
    EXPECT_EQ(TypedNumber("1.5"), 1.5);
    EXPECT_EQ(TypedNumber("-0,25e2"), -25);
    // A text that holds both is no number in either reading.
    EXPECT_EQ(TypedNumber("1.000,5"), std::nullopt);
    EXPECT_EQ(TypedNumber("1,5,0"), std::nullopt);
}

}  // namespace
