#include "tools/UsdaConverter.h"

#include "tools/UsdaTables.h"

#include "core/xml/Xml.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <optional>
#include <set>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

const std::string kFixture = VELMORA_SOURCE_DIR "/tests/data/tools/usda_sr24";

// The fixture converted once, read back through the XML layer as the program's loader reads it.
class UsdaConversion : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        summary_ = new Usda::ConvertSummary(Usda::ConvertUsda(kFixture, dir_->File("usda.xml")));
        doc_ = new Xml::XmlDocument;
        ASSERT_TRUE(doc_->Load(dir_->File("usda.xml"))) << doc_->ParseError();
    }
    static void TearDownTestSuite() {
        delete doc_;
        delete summary_;
        delete dir_;
    }

    static Xml::XmlElement Food(int key) {
        return doc_->SelectSingleNode("/DataSource/FoodGroups/FoodGroup/Food[@key='" + std::to_string(key) + "']");
    }
    static std::map<int, double> Values(int key) {
        std::map<int, double> out;
        for (const auto& e : Food(key).ChildElement("Nutrition").ChildElements("E"))
            out[e.GetAttribute("N").AsInt()] = e.GetAttribute("V").AsDouble();
        return out;
    }
    static std::string PortionTitle(const std::string& id) {
        Xml::XmlElement p = doc_->SelectSingleNode("/DataSource/foodPortions/portion[@id='" + id + "']");
        return p ? p.GetAttribute("title").AsString() : "(no portion " + id + ")";
    }
    // The units as the loader ends up with them: title and grams of one unit.
    static std::vector<std::pair<std::string, double>> Units(int key) {
        std::vector<std::pair<std::string, double>> out;
        for (const auto& e : Food(key).ChildElement("Units").ChildElements("E"))
            out.emplace_back(PortionTitle(e.GetAttribute("M").AsString()), e.GetAttribute("K").AsDouble());
        return out;
    }

    static TempDir* dir_;
    static Usda::ConvertSummary* summary_;
    static Xml::XmlDocument* doc_;
};

TempDir* UsdaConversion::dir_ = nullptr;
Usda::ConvertSummary* UsdaConversion::summary_ = nullptr;
Xml::XmlDocument* UsdaConversion::doc_ = nullptr;

TEST_F(UsdaConversion, FileIsADataSourceWithDeclaration) {
    EXPECT_THAT(dir_->Read("usda.xml"), StartsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DataSource "));
    Xml::XmlElement root = doc_->Root();
    EXPECT_EQ("DataSource", root.TagName());
    EXPECT_EQ("USDA SR24", root.GetAttribute("Name").AsString());
    EXPECT_EQ(Usda::kUsdaSourceId, root.GetAttribute("ID").AsInt());
}

TEST_F(UsdaConversion, OnlyCurrentFoodsWithNutrientsAreWritten) {
    std::set<int> keys;
    Xml::XmlNodeList foods = doc_->SelectNodes("/DataSource/FoodGroups/FoodGroup/Food");
    Xml::XmlNode n;
    while (foods.NextNode(n)) keys.insert(Xml::XmlElement(n).GetAttribute("key").AsInt());
    // 01075 is only deprecated, 23999 has no nutrients; 03813 is in both indexes, so current.
    EXPECT_EQ((std::set<int>{1001, 3813, 19411, 42128}), keys);
    EXPECT_EQ(4, summary_->foods);
    EXPECT_EQ(2, summary_->deprecated);
    EXPECT_EQ(1, summary_->empty);
}

TEST_F(UsdaConversion, FoodsSitInTheirSrGroupNotTheOneOfTheirPrefix) {
    std::map<int, std::pair<int, std::string>> groupOf;
    for (const auto& g : doc_->Root().ChildElement("FoodGroups").ChildElements("FoodGroup"))
        for (const auto& f : g.ChildElements("Food"))
            groupOf[f.GetAttribute("key").AsInt()] = {g.GetAttribute("code").AsInt(), g.GetAttribute("id").AsString()};
    EXPECT_EQ(std::make_pair(2500, std::string("Snacks")), groupOf[19411]);  // prefix 19 would be Sweets
    EXPECT_EQ(std::make_pair(700, std::string("Sausages and Luncheon Meats")), groupOf[42128]);
    EXPECT_EQ(std::make_pair(100, std::string("Dairy and Egg Products")), groupOf[1001]);
    // Groups come in code order, and a group left without foods (Beef, for 23999) is not written.
    std::vector<int> codes;
    for (const auto& g : doc_->Root().ChildElement("FoodGroups").ChildElements("FoodGroup"))
        codes.push_back(g.GetAttribute("code").AsInt());
    EXPECT_THAT(codes, ElementsAre(100, 300, 700, 2500));
    EXPECT_EQ(4, summary_->groups);
}

TEST_F(UsdaConversion, NameWithQuotesAndAmpersandReadsBack) {
    EXPECT_EQ("Turkey ham, \"deli\" & sliced", Food(42128).GetAttribute("Name").AsString());
}

TEST_F(UsdaConversion, NutrientListFollowsTheTableAndKeepsOnlyUsedOnes) {
    struct Row {
        int id;
        std::string name;
        std::string units;
        int accuracy;
        int energyComponent;
    };
    std::vector<Row> rows;
    for (const auto& n : doc_->Root().ChildElement("Nutrients").ChildElements("Nutrient"))
        rows.push_back({n.GetAttribute("id").AsInt(), n.GetAttribute("Name").AsString(),
                        n.GetAttribute("Units").AsString(), n.GetAttribute("Accuracy").AsInt(),
                        n.GetAttribute("EnergyComponent", -1).AsInt()});
    std::vector<int> ids;
    for (const auto& r : rows) ids.push_back(r.id);
    // No Ash (207), no Omega sums, no Vitamin D in IU (324); RAE (320) right after Vitamin A in IU.
    EXPECT_THAT(ids, ElementsAre(208, 203, 205, 204, 221, 313, 315, 318, 320, 319, 322, 321, 334, 404, 410, 328));
    auto row = [&rows](int id) {
        for (const auto& r : rows)
            if (r.id == id) return r;
        return Row{};
    };
    EXPECT_EQ(0, row(203).energyComponent);
    EXPECT_EQ(1, row(204).energyComponent);
    EXPECT_EQ(2, row(205).energyComponent);
    EXPECT_EQ(3, row(221).energyComponent);
    EXPECT_EQ(-1, row(208).energyComponent);
    EXPECT_EQ("Vitamin D (D2 + D3)", row(328).name);
    EXPECT_EQ("\xC2\xB5g", row(328).units);
    EXPECT_EQ(1, row(328).accuracy);  // from the standard table
    EXPECT_EQ(1, row(221).accuracy);
    EXPECT_EQ(3, row(404).accuracy);  // Thiamin, standard table
    EXPECT_EQ(0, row(318).accuracy);  // IU, not in the standard table
    EXPECT_EQ("IU", row(318).units);
    EXPECT_EQ("Vitamin A, RAE", row(320).name);
    // Fluoride in mg, as the reference intakes give it, keeping the precision of USDA's µg.
    EXPECT_EQ("mg", row(313).units);
    EXPECT_EQ(4, row(313).accuracy);
    EXPECT_EQ(16, summary_->nutrients);
}

// One food value as read back: gid -> value, or absent.
struct ValueCase {
    const char* what;
    int key;
    int gid;
    std::optional<double> value;
    friend void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.what; }
};

class UsdaValue : public UsdaConversion, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(UsdaValue, ReadsBackExactly) {
    const ValueCase& c = GetParam();
    const auto values = Values(c.key);
    auto it = values.find(c.gid);
    if (!c.value) {
        EXPECT_EQ(values.end(), it) << "value " << (it == values.end() ? 0 : it->second);
        return;
    }
    ASSERT_NE(values.end(), it);
    EXPECT_EQ(*c.value, it->second);
}

INSTANTIATE_TEST_SUITE_P(Fixture, UsdaValue,
                         ::testing::Values(ValueCase{"energy by gid 1", 1001, 1, 717.0},
                                           ValueCase{"written 0.0050", 1001, 30, 0.005},
                                           ValueCase{"vitamin D IU / 40", 1001, 66, 60.0 / 40.0},
                                           ValueCase{"vitamin D of 4 IU", 42128, 66, 4.0 / 40.0},
                                           ValueCase{"vitamin A IU kept under its number", 1001, 318, 2499.0},
                                           ValueCase{"RAE from retinol and carotenoids", 1001, 22,
                                                     671.0 + 158.0 / 12.0 + (0.0 + 0.0) / 24.0},
                                           ValueCase{"no RAE without carotenoids", 19411, 22, std::nullopt},
                                           ValueCase{"a given zero stays", 19411, 6, 0.0},
                                           ValueCase{"a missing nutrient is absent, not 0", 42128, 21, std::nullopt},
                                           ValueCase{"ash left out", 1001, 207, std::nullopt}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST_F(UsdaConversion, ValuesOfAFoodAreTheMappedOnesOnly) {
    std::set<int> gids;
    for (const auto& [gid, v] : Values(1001)) gids.insert(gid);
    // Energy, protein, fat, carbohydrate, retinol, RAE, beta-, alpha-carotene, cryptoxanthin,
    // thiamin, vitamin D, vitamin A IU: the omega sums and ash are gone.
    EXPECT_EQ((std::set<int>{1, 3, 4, 5, 21, 22, 23, 24, 26, 30, 66, 318}), gids);
    // Energy only: its ash and an unknown nutrient are dropped.
    EXPECT_EQ((std::map<int, double>{{1, 66.0}}), Values(3813));
}

TEST_F(UsdaConversion, EnergyFactorsCarryAlcoholsDefault) {
    Xml::XmlElement f = Food(1001).ChildElement("EnergyFactors");
    EXPECT_EQ(4.27, f.GetAttribute("P").AsDouble());
    EXPECT_EQ(8.79, f.GetAttribute("F").AsDouble());
    EXPECT_EQ(3.87, f.GetAttribute("C").AsDouble());
    EXPECT_EQ(7.0, f.GetAttribute("A").AsDouble());
}

TEST_F(UsdaConversion, MeasuresBecomeOneUnitPerNameInGramsOfOne) {
    using U = std::vector<std::pair<std::string, double>>;
    // The measure "g" repeats the gram unit and the second "tbsp" (half a tablespoon) repeats a name.
    EXPECT_EQ((U{{"cup", 227.0}, {"tbsp", 14.2}, {"pat (1\" sq, 1/3\" high)", 5.0}}), Units(1001));
    EXPECT_EQ((U{{"slice", 28.0}, {"oz", 28.35}}), Units(42128));  // 2 slices weigh 56 g
    EXPECT_EQ((U{{"oz", 28.35}, {"bag (8 oz)", 227.0}}), Units(19411));
    EXPECT_TRUE(Units(3813).empty());
    for (int key : {1001, 3813, 19411, 42128}) EXPECT_TRUE(Food(key).ChildElement("Units").HasAttribute("main")) << key;
}

TEST_F(UsdaConversion, PortionTitlesAreDistinctAndShared) {
    std::vector<std::string> titles;
    std::vector<int> ids;
    for (const auto& p : doc_->Root().ChildElement("foodPortions").ChildElements("portion")) {
        titles.push_back(p.GetAttribute("title").AsString());
        ids.push_back(p.GetAttribute("id").AsInt());
    }
    EXPECT_THAT(titles, ElementsAre("cup", "tbsp", "pat (1\" sq, 1/3\" high)", "slice", "oz", "bag (8 oz)"));
    EXPECT_THAT(ids, ElementsAre(1, 2, 3, 4, 5, 6));
    EXPECT_EQ(6, summary_->portions);
}

TEST_F(UsdaConversion, UnknownNutrientIsNoted) {
    EXPECT_THAT(summary_->notes, ElementsAre(HasSubstr("\"Glitter\" is not known; left out of 1 food")));
}

TEST(UsdaTables, EveryFoodsGroupHasAName) {
    std::set<int> named;
    for (const auto& g : Usda::FoodGroups()) named.insert(g.code);
    EXPECT_EQ(25u, named.size());
    for (const auto& [ndb, code] : Usda::FoodGroupByNdb()) EXPECT_TRUE(named.count(code)) << ndb << " in " << code;
    EXPECT_EQ(8858u, Usda::FoodGroupByNdb().size());
}

}  // namespace
