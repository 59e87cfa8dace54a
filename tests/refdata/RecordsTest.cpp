#include "refdata/AttrValue.h"
#include "refdata/Ingredient.h"
#include "refdata/Nutrition.h"

#include "core/xml/Xml.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

Xml::XmlElement Parse(Xml::XmlDocument& doc, const std::string& text) {
    EXPECT_TRUE(doc.LoadXml(text)) << doc.ParseError();
    return doc.Root();
}

CDS_Ingredient LoadFood(const std::string& text) {
    Xml::XmlDocument doc;
    CDS_Ingredient food;
    food.Load(Parse(doc, text));
    return food;
}

std::vector<FoodUnit> Units(std::initializer_list<FoodUnit> units) { return units; }

}  // namespace

TEST(Ingredient, NewRecordDefaults) {
    CDS_Ingredient food;
    EXPECT_EQ(FoodKey(-1, 0), food.GetFoodKey());
    EXPECT_FALSE(food.IsPlaceholder());
    EXPECT_EQ(Units({{"g", 1.0}}), food.Units());
    EXPECT_EQ((std::array<double, 4>{4, 9, 4, 7}), food.EnergyFactors());
    EXPECT_EQ(0.0, food.NutrientValue(1));
}

TEST(Ingredient, ReadsFoodElement) {
    const CDS_Ingredient food = LoadFood(
        R"(<Food Name="Milk, whole" key="1001" source="3">
             <Nutrition><E N="3" V="3.15"/><E N="1" V="61"/><E N="3" V="3.3"/></Nutrition>
             <Nutrition><E N="4" V="3.25"/></Nutrition>
             <EnergyFactors F="8.5"/>
             <Units main="1"><E M="cup" K="28.35"/></Units>
           </Food>)");
    EXPECT_EQ("Milk, whole", food.Name());
    EXPECT_EQ(FoodKey(1001, 3), food.GetFoodKey());
    // A later value of the same gid overwrites; every Nutrition element counts.
    EXPECT_EQ(3.3, food.NutrientValue(3));
    EXPECT_EQ(61.0, food.NutrientValue(1));
    EXPECT_EQ(3.25, food.EnergyComponentValue(1));
    EXPECT_EQ(0.0, food.NutrientValue(5));
    EXPECT_EQ((std::array<double, 4>{4, 8.5, 4, 7}), food.EnergyFactors());
    // Weights are kept at single precision.
    EXPECT_EQ(Units({{"g", 1.0}, {"cup", 28.350000381469727}}), food.Units());
}

TEST(Ingredient, UnitsWithoutMainHaveNoGram) {
    const CDS_Ingredient food =
        LoadFood(R"(<Food Name="Soup" key="1"><EnergyFactors/><Units><E M="cup" K="240"/></Units></Food>)");
    EXPECT_EQ(Units({{"cup", 240.0}}), food.Units());
}

TEST(Ingredient, IdentityFromDataSourceChildWins) {
    const CDS_Ingredient food = LoadFood(
        R"(<Food Name="Apple" key="5" source="6"><DataSource ID="3" Key="2001"/><EnergyFactors/><Units main="1"/></Food>)");
    EXPECT_EQ(FoodKey(2001, 3), food.GetFoodKey());
}

TEST(Ingredient, UnitLookups) {
    CDS_Ingredient food;
    food.AddUnit("cup", 240.0);
    food.AddUnit("G", 1.0);
    EXPECT_EQ(0, food.FindUnitByName("g"));
    EXPECT_EQ(2, food.FindUnitByName("G"));
    EXPECT_EQ(-1, food.FindUnitByName("Cup"));
    EXPECT_EQ(0, food.FindUnitByWeight(1.0));
    EXPECT_EQ(-1, food.FindUnitByWeight(240.0001));
    std::string name;
    double grams = 0;
    EXPECT_TRUE(food.GetUnit(1, name, grams));
    EXPECT_EQ("cup", name);
    EXPECT_EQ(240.0, grams);
    EXPECT_FALSE(food.GetUnit(3, name, grams));
    EXPECT_FALSE(food.GetUnit(-1, name, grams));
}

TEST(Ingredient, EnergyFromComponents) {
    const CDS_Ingredient food = LoadFood(
        R"(<Food Name="Beer" key="1"><Nutrition><E N="3" V="0.5"/><E N="5" V="3.5"/><E N="6" V="3.9"/></Nutrition>
             <EnergyFactors P="4" C="4"/><Units main="1"/></Food>)");
    EXPECT_DOUBLE_EQ(4 * 0.5 + 4 * 3.5 + 7 * 3.9, food.EnergyPer100g());
}

// Everything Save writes reads back the same, units included.
TEST(Ingredient, SaveLoadRoundTrip) {
    CDS_Ingredient food = LoadFood(
        R"(<Food Name="Beans &amp; rice" key="22001" source="7">
             <Nutrition><E N="1" V="0.1"/><E N="66" V="1e-7"/></Nutrition>
             <EnergyFactors P="3.9" F="8.8" C="4.1" A="6.9"/>
             <Units main="1"><E M="1 cup" K="28.35"/><E M="" K="0"/></Units></Food>)");
    Xml::XmlDocument out;
    Xml::XmlElement parent = out.AppendChild(out.CreateElement("root"));
    food.Save(parent);
    Xml::XmlElement written = parent.ChildElement("Food");
    EXPECT_FALSE(written.HasAttribute("main"));
    EXPECT_FALSE(written.ChildElement("Units").HasAttribute("main"));

    CDS_Ingredient back;
    back.Load(written);
    EXPECT_EQ(food.Name(), back.Name());
    EXPECT_EQ(food.GetFoodKey(), back.GetFoodKey());
    EXPECT_EQ(food.NutrientValues(), back.NutrientValues());
    EXPECT_EQ(food.EnergyFactors(), back.EnergyFactors());
    EXPECT_EQ(food.Units(), back.Units());
}

TEST(Ingredient, CopiesAreDeep) {
    CDS_Ingredient food = LoadFood(
        R"(<Food Name="Oats" key="1"><Nutrition><E N="1" V="379"/></Nutrition><EnergyFactors/><Units main="1"/></Food>)");
    CDS_Ingredient copy = food;
    copy.SetNutrientValue(1, 1.0);
    copy.SetUnits({{"gram", 1.0}});
    copy.MarkPlaceholder();
    EXPECT_EQ(379.0, food.NutrientValue(1));
    EXPECT_EQ("g", food.Units()[0].name);
    EXPECT_FALSE(food.IsPlaceholder());
}

struct BadFood {
    const char* what;
    const char* xml;
};

void PrintTo(const BadFood& c, std::ostream* os) { *os << c.what; }

class IngredientRejects : public testing::TestWithParam<BadFood> {};

TEST_P(IngredientRejects, RaisesXmlError) {
    Xml::XmlDocument doc;
    CDS_Ingredient food;
    EXPECT_THROW(food.Load(Parse(doc, GetParam().xml)), Xml::XmlError);
}

INSTANTIATE_TEST_SUITE_P(
    MissingOrBadValues, IngredientRejects,
    testing::Values(
        BadFood{"no name", R"(<Food key="1"><EnergyFactors/><Units/></Food>)"},
        BadFood{"no key", R"(<Food Name="a"><EnergyFactors/><Units/></Food>)"},
        BadFood{"no identity key", R"(<Food Name="a" key="1"><DataSource ID="1"/><EnergyFactors/><Units/></Food>)"},
        BadFood{"no factors", R"(<Food Name="a" key="1"><Units/></Food>)"},
        BadFood{"no units", R"(<Food Name="a" key="1"><EnergyFactors/></Food>)"},
        BadFood{"bad factor", R"(<Food Name="a" key="1"><EnergyFactors P="x"/><Units/></Food>)"},
        BadFood{"value missing",
                R"(<Food Name="a" key="1"><Nutrition><E N="1"/></Nutrition><EnergyFactors/><Units/></Food>)"},
        BadFood{"negative gid",
                R"(<Food Name="a" key="1"><Nutrition><E N="-1" V="1"/></Nutrition><EnergyFactors/><Units/></Food>)"},
        BadFood{"unit weight", R"(<Food Name="a" key="1"><EnergyFactors/><Units><E M="cup"/></Units></Food>)"}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& c : n)
            if (c == ' ') c = '_';
        return n;
    });

struct NutrientCase {
    const char* attrs;
    int id;
    int gid;
    int energyComponent;
};

void PrintTo(const NutrientCase& c, std::ostream* os) { *os << c.attrs; }

class NutritionReads : public testing::TestWithParam<NutrientCase> {};

TEST_P(NutritionReads, DerivesGidFromId) {
    Xml::XmlDocument doc;
    CDS_Nutrition n;
    n.Load(
        Parse(doc, std::string("<Nutrient Name=\"Energy\" Units=\"kcal\" Accuracy=\"1\" ") + GetParam().attrs + "/>"));
    EXPECT_EQ("Energy", n.Name());
    EXPECT_EQ("kcal", n.Units());
    EXPECT_EQ(1, n.Accuracy());
    EXPECT_EQ(GetParam().id, n.Id());
    EXPECT_EQ(GetParam().gid, n.Gid());
    EXPECT_EQ(GetParam().energyComponent, n.EnergyComponentIndex());
}

INSTANTIATE_TEST_SUITE_P(Ids, NutritionReads,
                         testing::Values(NutrientCase{R"(id="208")", 208, 1, -1},
                                         NutrientCase{R"(id="999")", 999, 999, -1}, NutrientCase{"", -1, -1, -1},
                                         NutrientCase{R"(id="0")", 0, 0, -1},
                                         NutrientCase{R"(id="203" EnergyComponent="0" gid="77")", 203, 3, 0}));

TEST(Nutrition, RequiredAttributes) {
    for (const char* text :
         {R"(<Nutrient Units="g" Accuracy="1"/>)", R"(<Nutrient Name="a" Accuracy="1"/>)",
          R"(<Nutrient Name="a" Units="g"/>)", R"(<Nutrient Name="a" Units="g" Accuracy="70000"/>)"}) {
        Xml::XmlDocument doc;
        CDS_Nutrition n;
        EXPECT_THROW(n.Load(Parse(doc, text)), Xml::XmlError) << text;
    }
}

TEST(Nutrition, SaveLoadRoundTrip) {
    Xml::XmlDocument doc;
    CDS_Nutrition n;
    n.Load(Parse(doc, R"(<Nutrient Name="Protein" Units="g" Accuracy="2" id="203" EnergyComponent="0"/>)"));
    Xml::XmlDocument out;
    Xml::XmlElement parent = out.AppendChild(out.CreateElement("root"));
    n.Save(parent);
    CDS_Nutrition back;
    back.Load(parent.ChildElement("Nutrient"));
    EXPECT_EQ(n.name, back.name);
    EXPECT_EQ(n.units, back.units);
    EXPECT_EQ(n.accuracy, back.accuracy);
    EXPECT_EQ(n.id, back.id);
    EXPECT_EQ(n.gid, back.gid);
    EXPECT_EQ(n.energyComponent, back.energyComponent);
}

TEST(IngredientEx, ReadsAndWritesFoodEx) {
    Xml::XmlDocument doc;
    CDS_IngredientEx ex;
    ex.Load(Parse(doc, R"(<FoodEx weight="56.7" CWI="1" meal="Breakfast" Px="1.5" Ax="0.25">
                            <Food Name="Oats" key="8120" source="1"><EnergyFactors/><Units main="1"><E M="cup" K="81"/></Units></Food>
                          </FoodEx>)"));
    EXPECT_EQ(56.7, ex.weight);
    EXPECT_EQ(1, ex.unitIndex);
    EXPECT_EQ("Breakfast", ex.meal);
    EXPECT_EQ(0.0, ex.minWeight);
    EXPECT_EQ((std::array<double, 4>{1.5, 0, 0, 0.25}), ex.componentValues);
    EXPECT_EQ(FoodKey(8120, 1), ex.GetFoodKey());
    EXPECT_EQ("cup", ex.Units()[1].name);

    Xml::XmlDocument out;
    Xml::XmlElement parent = out.AppendChild(out.CreateElement("root"));
    ex.maxWeight = 200;
    ex.Save(parent);
    Xml::XmlElement written = parent.ChildElement("FoodEx");
    EXPECT_FALSE(written.HasAttribute("min"));
    EXPECT_EQ(200.0, written.GetAttribute("max").AsDouble());
    EXPECT_EQ("Oats", written.ChildElement("Food").GetAttribute("Name").AsString());

    CDS_IngredientEx back;
    back.Load(written);
    EXPECT_EQ(ex.weight, back.weight);
    EXPECT_EQ(ex.maxWeight, back.maxWeight);
    EXPECT_EQ(ex.unitIndex, back.unitIndex);
    EXPECT_EQ(ex.meal, back.meal);
    EXPECT_EQ(ex.componentValues, back.componentValues);
    EXPECT_EQ(ex.Units(), back.Units());
}

TEST(IngredientEx, RequiresUnitIndexAndFood) {
    for (const char* text : {R"(<FoodEx weight="1"><Food Name="a" key="1"><EnergyFactors/><Units/></Food></FoodEx>)",
                             R"(<FoodEx CWI="0"/>)"}) {
        Xml::XmlDocument doc;
        CDS_IngredientEx ex;
        EXPECT_THROW(ex.Load(Parse(doc, text)), Xml::XmlError) << text;
    }
}

// The streaming reader converts attribute text itself; it must agree with the XML layer on every
// text, accepted or refused.
TEST(AttrValue, AgreesWithXmlValue) {
    for (const char* text :
         {"12", " 12 ", "+12", "-7",  "2.5",        "3.5",        "-2.5",          "1e3",  "28.35", "0x10", "",   " ",
          "+",  "12a",  "nan", "inf", "2147483647", "2147483648", "-2147483648.4", "1e10", "\t5\n", "++1",  "+-5"}) {
        const Xml::XmlValue v{std::string(text)};
        std::optional<double> d, dv;
        std::optional<int> i, iv;
        try {
            d = v.AsDouble();
        } catch (const Xml::XmlError&) {}
        try {
            dv = AttrValue::ToDouble(text);
        } catch (const Xml::XmlError&) {}
        try {
            i = v.AsInt();
        } catch (const Xml::XmlError&) {}
        try {
            iv = AttrValue::ToInt(text);
        } catch (const Xml::XmlError&) {}
        EXPECT_EQ(d.has_value(), dv.has_value()) << '"' << text << '"';
        if (d && dv && !std::isnan(*d)) {
            EXPECT_EQ(*d, *dv) << text;
        }
        EXPECT_EQ(i, iv) << '"' << text << '"';
    }
}

TEST(AttrValue, AtoiLike) {
    EXPECT_EQ(7, AttrValue::AtoiLike("7"));
    EXPECT_EQ(7, AttrValue::AtoiLike("  7abc"));
    EXPECT_EQ(-12, AttrValue::AtoiLike("-12"));
    EXPECT_EQ(0, AttrValue::AtoiLike("cup"));
    EXPECT_EQ(0, AttrValue::AtoiLike(""));
    EXPECT_EQ(2147483647, AttrValue::AtoiLike("99999999999"));
    EXPECT_EQ(-2147483647 - 1, AttrValue::AtoiLike("-99999999999"));
}
