#include "core/TextUtil.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

struct TrimCase {
    std::string_view text;
    std::string_view whitespace;
    std::string_view expected;
};

}  // namespace

TEST(TextUtil, TrimmedDropsOnlyTheGivenCharactersAtTheEnds) {
    const TrimCase cases[] = {
        {"  12 ", TextUtil::kWhitespace, "12"},
        {"\t\r\n1 2\n", TextUtil::kWhitespace, "1 2"},  // inner blanks stay
        {" \t\r\n", TextUtil::kWhitespace, ""},
        {"", TextUtil::kWhitespace, ""},
        {"\v5\f", TextUtil::kWhitespace, "\v5\f"},  // no XML character, so no white space
        {" 5\n", " \t", "5\n"},                     // a narrower set leaves the line end
        {"x", TextUtil::kWhitespace, "x"},
    };
    for (const TrimCase& c : cases)
        EXPECT_EQ(c.expected, TextUtil::Trimmed(c.text, c.whitespace)) << '"' << c.text << '"';
}
