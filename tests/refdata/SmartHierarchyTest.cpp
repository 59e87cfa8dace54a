#include "refdata/SmartHierarchy.h"

#include "refdata/DataSourceMgr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The tree as lines: two spaces per level, categories in brackets.
std::string Render(const std::vector<SmartItem>& items, int level = 0) {
    std::string out;
    for (const SmartItem& i : items) {
        out += std::string(static_cast<std::size_t>(level) * 2, ' ');
        out += i.kind == SmartItem::Kind::Category ? "[" + i.text + "]" : "'" + i.text + "'";
        out += '\n';
        out += Render(i.children, level + 1);
    }
    return out;
}

const std::vector<std::string_view> kDairy = {"Milk, whole", "Milk, skim", "Milk, dry, nonfat", "Cheese, cheddar",
                                              "Apple"};
const std::vector<std::string_view> kBeef = {"Beef, ground, raw", "Beef, ground, cooked", "Beef, steak, raw",
                                             "Beef, steak, cooked", "Beef, liver"};

}  // namespace

struct HierarchyCase {
    const char* what;
    const std::vector<std::string_view>* names;
    int depth;
    int size;
    bool fullTitle;
    const char* expected;
};

void PrintTo(const HierarchyCase& c, std::ostream* os) { *os << c.what; }

class SmartHierarchyTable : public testing::TestWithParam<HierarchyCase> {};

TEST_P(SmartHierarchyTable, Builds) {
    const HierarchyCase& c = GetParam();
    EXPECT_EQ(c.expected, Render(BuildSmartHierarchy(*c.names, c.depth, c.size, c.fullTitle)));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SmartHierarchyTable,
    testing::Values(
        HierarchyCase{"dairy_2_2", &kDairy, 2, 2, false,
                      "[Milk]\n  ' whole'\n  ' skim'\n  ' dry, nonfat'\n'Cheese, cheddar'\n'Apple'\n"},
        HierarchyCase{"dairy_2_3", &kDairy, 2, 3, false,
                      "[Milk]\n  ' whole'\n  ' skim'\n  ' dry, nonfat'\n'Cheese, cheddar'\n'Apple'\n"},
        HierarchyCase{"dairy_2_4", &kDairy, 2, 4, false,
                      "'Milk, whole'\n'Milk, skim'\n'Milk, dry, nonfat'\n'Cheese, cheddar'\n'Apple'\n"},
        HierarchyCase{"dairy_depth_0", &kDairy, 0, 2, false,
                      "'Milk, whole'\n'Milk, skim'\n'Milk, dry, nonfat'\n'Cheese, cheddar'\n'Apple'\n"},
        HierarchyCase{"dairy_full_title", &kDairy, 2, 2, true,
                      "[Milk]\n  'Milk, whole'\n  'Milk, skim'\n  'Milk, dry, nonfat'\n'Cheese, cheddar'\n'Apple'\n"},
        HierarchyCase{
            "beef_2_2", &kBeef, 2, 2, false,
            "[Beef]\n  [ ground]\n    ' raw'\n    ' cooked'\n  [ steak]\n    ' raw'\n    ' cooked'\n  ' liver'\n"},
        HierarchyCase{
            "beef_1_2", &kBeef, 1, 2, false,
            "[Beef]\n  ' ground, raw'\n  ' ground, cooked'\n  ' steak, raw'\n  ' steak, cooked'\n  ' liver'\n"},
        HierarchyCase{
            "beef_2_3", &kBeef, 2, 3, false,
            "[Beef]\n  ' ground, raw'\n  ' ground, cooked'\n  ' steak, raw'\n  ' steak, cooked'\n  ' liver'\n"},
        HierarchyCase{
            "beef_2_6", &kBeef, 2, 6, false,
            "'Beef, ground, raw'\n'Beef, ground, cooked'\n'Beef, steak, raw'\n'Beef, steak, cooked'\n'Beef, liver'\n"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(SmartHierarchy, FoodsKeepTheirPositions) {
    const auto items = BuildSmartHierarchy(kDairy, 2, 2, false);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(-1, items[0].food);
    EXPECT_EQ(2, items[0].children[2].food);
    EXPECT_EQ(3, items[1].food);
    EXPECT_EQ(4, items[2].food);
}

TEST(SmartHierarchy, EdgeNames) {
    // A name ending with a comma has an empty leaf and shows its full name; a name that is also a
    // category's name stays a food of its own; a chain of single children joins into one name.
    const std::vector<std::string_view> names = {
        "Beef,", "Beef, raw", "Beef", "Oil, olive, extra virgin", "Oil, olive, light", "Tea"};
    EXPECT_EQ("[Beef]\n  'Beef,'\n  ' raw'\n'Beef'\n[Oil, olive]\n  ' extra virgin'\n  ' light'\n'Tea'\n",
              Render(BuildSmartHierarchy(names, 2, 2, false)));
}

TEST(SmartHierarchy, PartsCompareExactly) {
    const std::vector<std::string_view> names = {"Milk, whole", "milk, skim", "Milk,whole"};
    EXPECT_EQ("[Milk]\n  ' whole'\n  'whole'\n'milk, skim'\n", Render(BuildSmartHierarchy(names, 2, 2, false)));
}

TEST(SmartHierarchy, EmptyGroup) {
    EXPECT_TRUE(BuildSmartHierarchy(std::vector<std::string_view>{}, 2, 2, false).empty());
}

TEST(SmartHierarchy, FromAGroupOfTheDataSource) {
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/sample.xml", {}, error)) << error;
    const CDS_FoodGroup& dairy = *mgr.RootGroup().subGroups.at(0);
    const auto items = BuildSmartHierarchy(dairy, 2, 2, false);
    EXPECT_EQ("[Milk]\n  ' whole'\n  ' skim'\n  ' dry, nonfat'\n'Cheese, cheddar'\n'Apple'\n", Render(items));
    EXPECT_EQ("Apple", dairy.foods[static_cast<std::size_t>(items[2].food)]->Name());
}
