#include "refdata/EverydayFoods.h"

#include "refdata/DataSourceMgr.h"

#include "core/xml/Xml.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kShipped = std::string(VELMORA_SOURCE_DIR) + "/data/everyday-foods.xml";

std::string ListOf(const std::string& foods) {
    return "<EverydayFoods><Rule id=\"fresh\">the plain fresh form</Rule><Table ID=\"1\">" + foods +
           "</Table></EverydayFoods>";
}

}  // namespace

TEST(EverydayFoods, ReadsThePlainNamesOfEachFoodAsUpperCasedWords) {
    TempDir dir;
    dir.Write("list.xml",
              ListOf("<Food key=\"9003\" Rule=\"fresh\" Name=\"Apples, raw\" Typed=\"apple;  Red apple ;\"/>"
                     "<Food key=\"11124\" Rule=\"fresh\" Typed=\"carrot\"/>"));
    CEverydayFoods list;
    std::string error;
    ASSERT_TRUE(list.Load(dir.File("list.xml"), error)) << error;
    EXPECT_EQ(2u, list.Size());
    const auto* apple = list.TypedWords(FoodKey(9003, 1));
    ASSERT_NE(nullptr, apple);
    EXPECT_EQ((std::vector<std::vector<std::string>>{{"APPLE"}, {"RED", "APPLE"}}), *apple);
    EXPECT_EQ(nullptr, list.TypedWords(FoodKey(9003, 2)));  // another table's food of that key
}

struct BrokenList {
    const char* what;
    std::string text;
    const char* reason;
};

void PrintTo(const BrokenList& c, std::ostream* os) { *os << c.what; }

class BrokenEverydayList : public testing::TestWithParam<BrokenList> {};

// A list that can't be read is refused whole, with the path and the reason, and leaves nothing
// listed: a half-read list would rank some foods by it and others not.
TEST_P(BrokenEverydayList, IsRefusedWithThePathAndTheReason) {
    TempDir dir;
    dir.Write("list.xml", GetParam().text);
    CEverydayFoods list;
    list.Add(FoodKey(1, 1), {"left over"});
    std::string error;
    EXPECT_FALSE(list.Load(dir.File("list.xml"), error));
    EXPECT_NE(std::string::npos, error.find(dir.File("list.xml"))) << error;
    EXPECT_NE(std::string::npos, error.find(GetParam().reason)) << error;
    EXPECT_EQ(0u, list.Size());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenEverydayList,
    testing::Values(
        BrokenList{"not_xml", "<EverydayFoods>", ""},
        BrokenList{"other_root", "<DataSource/>", "it is not a list of everyday foods"},
        BrokenList{"table_without_id", "<EverydayFoods><Table/></EverydayFoods>", "a table has no ID"},
        BrokenList{"key_not_a_number", ListOf("<Food key=\"x\" Rule=\"fresh\" Typed=\"a\"/>"),
                   "key \"x\" is not a number"},
        BrokenList{"undeclared_rule", ListOf("<Food key=\"1\" Rule=\"tasty\" Typed=\"a\"/>"),
                   "food 1:1 follows no declared rule (\"tasty\")"},
        BrokenList{"no_plain_name", ListOf("<Food key=\"1\" Rule=\"fresh\" Typed=\" ; \"/>"),
                   "food 1:1 has no plain name"},
        BrokenList{"listed_twice",
                   ListOf("<Food key=\"1\" Rule=\"fresh\" Typed=\"a\"/><Food key=\"1\" Rule=\"fresh\" Typed=\"b\"/>"),
                   "food 1:1 is listed twice"}),
    [](const auto& info) { return std::string(info.param.what); });

// The list the program comes with reads, and each of its foods is the one its Name says in the
// USDA table (a mistyped key would rank another food first); no plain name is given twice.
TEST(EverydayFoods, TheShippedListNamesFoodsOfTheUsdaTable) {
    CEverydayFoods list;
    std::string error;
    ASSERT_TRUE(list.Load(kShipped, error)) << error;
    EXPECT_GE(list.Size(), 200u);

    const std::string usda = std::string(VELMORA_BIN_DIR) + "/foods/usda-sr24.xml";
    if (!std::filesystem::exists(usda)) GTEST_SKIP() << "no converted USDA database at " << usda;
    CDataSourceMgr mgr;
    ASSERT_TRUE(mgr.Load(usda, {}, error)) << error;
    Xml::XmlDocument doc;
    ASSERT_TRUE(doc.Load(kShipped)) << doc.ParseError();
    std::set<std::string> typed;
    for (const Xml::XmlElement& table : doc.Root().ChildElements("Table")) {
        ASSERT_EQ(1, table.GetAttribute("ID").AsInt());
        for (const Xml::XmlElement& food : table.ChildElements("Food")) {
            const int key = food.GetAttribute("key").AsInt();
            const CDS_Ingredient* found = mgr.FindFood(FoodKey(key, 1));
            ASSERT_NE(nullptr, found) << key;
            EXPECT_EQ(food.GetAttribute("Name").AsString(), found->Name()) << key;
            for (const auto& words : *list.TypedWords(FoodKey(key, 1))) {
                std::string name;
                for (const std::string& w : words) name += (name.empty() ? "" : " ") + w;
                EXPECT_TRUE(typed.insert(name).second) << "\"" << name << "\" given twice, again for " << key;
            }
        }
    }
}
