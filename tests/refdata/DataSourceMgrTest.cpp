#include "refdata/DataSourceMgr.h"

#include "core/xml/Xml.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kData = std::string(VELMORA_SOURCE_DIR) + "/tests/data/refdata/";

std::vector<std::string> Names(const std::vector<const CDS_Ingredient*>& foods) {
    std::vector<std::string> out;
    for (const auto* f : foods) out.push_back(f->Name());
    return out;
}

std::vector<std::string> Names(const std::vector<std::unique_ptr<CDS_FoodGroup>>& groups) {
    std::vector<std::string> out;
    for (const auto& g : groups) out.push_back(g->name);
    return out;
}

std::vector<FoodUnit> Units(std::initializer_list<FoodUnit> units) { return units; }

// The first line of every load error; the reason follows on the next.
std::string CantLoad(const std::string& path) { return CDataSourceMgr::kCantLoad + path + "\n"; }

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::vector<std::string> Events(const std::vector<LoadProgress>& events) {
    std::vector<std::string> out;
    for (const auto& e : events)
        out.push_back(e.event == LoadProgress::Event::Step
                          ? "step " + std::to_string(e.step)
                          : "group " + std::to_string(e.groupIndex) + "/" + std::to_string(e.groupCount));
    return out;
}

class Sample : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mgr.Load(
            kData + "sample.xml", [this](const LoadProgress& p) { events.push_back(p); }, error))
            << error;
    }
    const CDS_FoodGroup& TopGroup(std::size_t i) { return *mgr.RootGroup().subGroups.at(i); }

    CDataSourceMgr mgr;
    std::string error;
    std::vector<LoadProgress> events;
};

}  // namespace

TEST_F(Sample, DocumentAndNutrients) {
    EXPECT_EQ("Sample Foods", mgr.RootGroup().name);
    EXPECT_EQ(0, mgr.RootGroup().code);
    EXPECT_EQ(nullptr, mgr.RootGroup().parent);
    EXPECT_EQ(7, mgr.SourceId());
    EXPECT_EQ(3, mgr.Version());
    ASSERT_EQ(7u, mgr.Nutrients().size());
    EXPECT_EQ("Energy", mgr.NutrientAt(0).name);
    EXPECT_EQ(1, mgr.NutrientAt(0).gid);
    EXPECT_EQ(1, mgr.NutrientAt(2).energyComponent);
    EXPECT_EQ(28, mgr.NutrientAt(5).gid);
    EXPECT_EQ("\xC2\xB5g", mgr.NutrientAt(5).units);
    EXPECT_EQ(-1, mgr.NutrientAt(6).gid);
    EXPECT_EQ(3, mgr.NutrientAt(6).accuracy);
    EXPECT_THROW(mgr.NutrientAt(7), std::out_of_range);
}

TEST_F(Sample, ReportsProgressInOrder) {
    EXPECT_EQ((std::vector<std::string>{"step 1", "step 2", "step 3", "group 0/3", "group 1/3", "group 2/3"}),
              Events(events));
    EXPECT_EQ(50, events.back().BarPosition());
    EXPECT_EQ(30, events[3].BarPosition());
}

TEST_F(Sample, GroupTreeFollowsTheFile) {
    const CDS_FoodGroup& root = mgr.RootGroup();
    EXPECT_EQ((std::vector<std::string>{"Dairy and Egg Products", "Beef Products", "Mixed Dishes"}),
              Names(root.subGroups));
    EXPECT_TRUE(root.foods.empty());  // a food straight under FoodGroups is not read
    EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(99999, 7)));

    const CDS_FoodGroup& beef = TopGroup(1);
    EXPECT_EQ(13, beef.code);
    EXPECT_EQ(&root, beef.parent);
    // A group's foods are read before its subgroups, whatever their order in the file.
    EXPECT_EQ((std::vector<std::string>{"Beef, ground, raw", "Beef, ground, cooked"}), Names(beef.foods));
    ASSERT_EQ(1u, beef.subGroups.size());
    const CDS_FoodGroup& cuts = *beef.subGroups[0];
    EXPECT_EQ(1301, cuts.code);
    EXPECT_EQ(&beef, cuts.parent);
    EXPECT_EQ((std::vector<std::string>{"Beef, steak, raw", "Beef, steak, cooked"}), Names(cuts.foods));
    ASSERT_EQ(1u, cuts.subGroups.size());
    const CDS_FoodGroup& organs = *cuts.subGroups[0];
    EXPECT_EQ(130101, organs.code);
    EXPECT_EQ(&cuts, organs.parent);
    EXPECT_EQ((std::vector<std::string>{"Beef, liver"}), Names(organs.foods));
    EXPECT_EQ(&organs, mgr.GroupOfFood(FoodKey(13005, 7)));
}

TEST_F(Sample, FoodsTakeTheSourceId) {
    const CDS_Ingredient* milk = mgr.FindFood(FoodKey(1001, 7));
    ASSERT_NE(nullptr, milk);
    EXPECT_EQ("Milk, whole", milk->Name());
    EXPECT_EQ(3.15, milk->NutrientValue(3));
    EXPECT_EQ(8.79, milk->EnergyFactor(1));
    EXPECT_EQ(7.0, milk->EnergyFactor(3));
    EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(1001, 0)));
    // The identity of a DataSource child keeps its key but takes the file's ID.
    const CDS_Ingredient* apple = mgr.FindFood(FoodKey(2001, 7));
    ASSERT_NE(nullptr, apple);
    EXPECT_EQ("Apple", apple->Name());
    EXPECT_EQ("Beans & rice", mgr.FindFood(FoodKey(22001, 7))->Name());
    EXPECT_EQ("Crème fraîche", mgr.FindFood(FoodKey(22002, 7))->Name());
}

TEST_F(Sample, UnitsNamePortions) {
    // Portion 9 weighs 0 and goes; portion 42 has no title and gets an empty one.
    EXPECT_EQ(Units({{"g", 1.0}, {"1 cup", 244.0}, {"", 15.25}}), mgr.FindFood(FoodKey(1001, 7))->Units());
    // A later title of the same id wins; weights stay at single precision.
    EXPECT_EQ(Units({{"g", 1.0}, {"1 oz", 28.350000381469727}}), mgr.FindFood(FoodKey(1003, 7))->Units());
    EXPECT_EQ(Units({{"g", 1.0}}), mgr.FindFood(FoodKey(2001, 7))->Units());
    // The missing title is remembered in the table.
    EXPECT_EQ((std::map<int, std::string>{{7, "1 cup"}, {9, "1 tbsp"}, {12, "1 oz"}, {42, ""}}), mgr.PortionTitles());
}

TEST_F(Sample, LaterFoodOfTheSameKeyWins) {
    const CDS_Ingredient* cheese = mgr.FindFood(FoodKey(1004, 7));
    ASSERT_NE(nullptr, cheese);
    EXPECT_EQ("CHEESE, cheddar, sharp", cheese->Name());
    EXPECT_EQ(&TopGroup(2), mgr.GroupOfFood(FoodKey(1004, 7)));
    // Both stay listed, and usable, in their groups.
    EXPECT_EQ("Cheese, cheddar", TopGroup(0).foods.at(3)->Name());
    EXPECT_EQ(403.0, TopGroup(0).foods.at(3)->NutrientValue(1));
    EXPECT_EQ("CHEESE, cheddar, sharp", TopGroup(2).foods.at(2)->Name());
}

TEST_F(Sample, IndexIsInKeyOrderWithUpperCaseNames) {
    const CFoodIndex& index = mgr.Foods();
    EXPECT_EQ(12u, index.Size());
    EXPECT_TRUE(std::is_sorted(index.begin(), index.end(), [](const auto& a, const auto& b) { return a.key < b.key; }));
    EXPECT_EQ(FoodKey(1001, 7), index[0].key);
    EXPECT_EQ("MILK, WHOLE", index.UpperName(0));
    const FoodIndexEntry* creme = index.Find(FoodKey(22002, 7));
    ASSERT_NE(nullptr, creme);
    // Only a-z change case; other characters are kept byte for byte.
    EXPECT_EQ("CRèME FRAîCHE", index.UpperName(static_cast<std::size_t>(creme - &index[0])));
}

TEST_F(Sample, ClearDropsFoodsButKeepsTheTreeSound) {
    mgr.Clear();
    EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(1001, 7)));
    EXPECT_EQ(nullptr, mgr.GroupOfFood(FoodKey(1001, 7)));
    EXPECT_TRUE(mgr.PortionTitles().empty());
    EXPECT_EQ(0u, mgr.Foods().Size());
    // Groups no longer point at deleted foods.
    EXPECT_TRUE(TopGroup(0).foods.empty());
    EXPECT_TRUE(TopGroup(1).subGroups.at(0)->foods.empty());
}

TEST(DataSourceMgr, NewManagerIsEmpty) {
    CDataSourceMgr mgr;
    EXPECT_EQ(-1, mgr.SourceId());
    EXPECT_TRUE(mgr.RootGroup().subGroups.empty());
    EXPECT_TRUE(mgr.Nutrients().empty());
    EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(1, 0)));
}

TEST(DataSourceMgr, WithoutPortionTitlesUnitsStayAsWritten) {
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(kData + "no-portions.xml", {}, error)) << error;
    EXPECT_EQ(0, mgr.SourceId());
    // The file's ID (absent: 0) replaces a food's own source.
    const CDS_Ingredient* pretzels = mgr.FindFood(FoodKey(25001, 0));
    ASSERT_NE(nullptr, pretzels);
    EXPECT_EQ(Units({{"g", 1.0}, {"7", 28.350000381469727}, {"cup", 0.0}}), pretzels->Units());
    EXPECT_EQ(Units({{"cup", 8.0}}), mgr.FindFood(FoodKey(25002, 0))->Units());
}

TEST(DataSourceMgr, SectionsApplyInTheirOwnOrder) {
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(kData + "out-of-order.xml", {}, error)) << error;
    ASSERT_EQ(2u, mgr.Nutrients().size());
    EXPECT_EQ("Protein", mgr.NutrientAt(1).name);
    EXPECT_EQ(Units({{"g", 1.0}, {"1 cup", 148.0}}), mgr.FindFood(FoodKey(9050, 2))->Units());
    EXPECT_EQ(Units({{"g", 1.0}, {"1 medium", 178.0}}), mgr.FindFood(FoodKey(9252, 2))->Units());
    const CDS_FoodGroup& fruits = *mgr.RootGroup().subGroups.at(0);
    EXPECT_EQ((std::vector<std::string>{"Pear"}), Names(fruits.foods));
    EXPECT_EQ((std::vector<std::string>{"Berries"}), Names(fruits.subGroups));
}

TEST(DataSourceMgr, FailureKeepsWhatWasReadBefore) {
    CDataSourceMgr mgr;
    std::string error;
    std::vector<LoadProgress> events;
    EXPECT_FALSE(mgr.Load(
        kData + "partial.xml", [&](const LoadProgress& p) { events.push_back(p); }, error));
    EXPECT_THAT(error, StartsWith(CantLoad(kData + "partial.xml")));
    EXPECT_EQ((std::vector<std::string>{"step 1", "step 2", "step 3", "group 0/3"}), Events(events));
    EXPECT_EQ(5, mgr.SourceId());
    ASSERT_EQ(1u, mgr.Nutrients().size());
    EXPECT_EQ((std::vector<std::string>{"Cereal Grains and Pasta", "Baked Products"}),
              Names(mgr.RootGroup().subGroups));
    EXPECT_EQ((std::vector<std::string>{"Bread, rye"}), Names(mgr.RootGroup().subGroups[1]->foods));
    EXPECT_NE(nullptr, mgr.FindFood(FoodKey(20044, 5)));
    EXPECT_NE(nullptr, mgr.FindFood(FoodKey(18060, 5)));
    EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(18069, 5)));
    EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(19296, 5)));
    EXPECT_EQ(2u, mgr.Foods().Size());
}

TEST(DataSourceMgr, BrokenNutrientKeepsEarlierOnesAndTheCount) {
    TempDir dir;
    dir.Write("ds.xml", R"(<DataSource Name="N"><Nutrients>
        <Nutrient Name="Energy" Units="kcal" Accuracy="0" id="208"/>
        <Nutrient Name="Protein" Units="g" Accuracy="two" id="203"/>
        <Nutrient Name="Fat" Units="g" Accuracy="2" id="204"/>
      </Nutrients><FoodGroups><FoodGroup id="G" code="1"/></FoodGroups></DataSource>)");
    CDataSourceMgr mgr;
    std::string error;
    EXPECT_FALSE(mgr.Load(dir.File("ds.xml"), {}, error));
    EXPECT_EQ(CantLoad(dir.File("ds.xml")) + "nutrient 2: Can't convert value 'two' to a number", error);
    ASSERT_EQ(3u, mgr.Nutrients().size());
    EXPECT_EQ(1, mgr.NutrientAt(0).gid);
    EXPECT_EQ("", mgr.NutrientAt(2).name);
    EXPECT_TRUE(mgr.RootGroup().subGroups.empty());
}

TEST(DataSourceMgr, DocumentErrorLoadsNothing) {
    CDataSourceMgr mgr;
    std::string error;
    std::vector<LoadProgress> events;
    EXPECT_FALSE(mgr.Load(
        kData + "broken/truncated.xml", [&](const LoadProgress& p) { events.push_back(p); }, error));
    EXPECT_THAT(error, StartsWith(CantLoad(kData + "broken/truncated.xml") + "line "));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(-1, mgr.SourceId());
    EXPECT_EQ("", mgr.RootGroup().name);
    EXPECT_EQ(0u, mgr.Foods().Size());
    EXPECT_EQ(error, CantLoad(kData + "broken/truncated.xml") + mgr.DocumentErrorDetail());
}

// What is not a readable file of sane size is refused at once, with the path and why: a FIFO
// would block the loader for ever, /dev/zero would fill the memory.
TEST(DataSourceMgr, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    ASSERT_EQ(0, ::mkfifo(dir.File("fifo.xml").c_str(), 0600));
    dir.Write("locked.xml", "<DataSource Name=\"x\"/>");
    std::filesystem::permissions(dir.File("locked.xml"), std::filesystem::perms::none);
    const bool root = ::geteuid() == 0;  // root reads any file
    const std::pair<std::string, std::string> cases[] = {
        {dir.File("absent.xml"), "No such file or directory"},
        {dir.Path().string(), "Is a directory"},
        {dir.File("fifo.xml"), "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {dir.File("locked.xml"), root ? "" : "Permission denied"},
    };
    for (const auto& [path, reason] : cases) {
        if (reason.empty()) continue;
        CDataSourceMgr mgr;
        std::string error;
        EXPECT_FALSE(mgr.Load(path, {}, error)) << path;
        EXPECT_EQ(CantLoad(path) + reason, error) << path;
    }
}

// Internal entities are read as everywhere else; anything that reaches outside the file, or
// expands beyond libxml2's limits, is refused.
TEST(DataSourceMgr, DocumentTypeDeclarationWithInternalEntitiesOnly) {
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(kData + "internal-entities.xml", {}, error)) << error;
    EXPECT_EQ(std::string(640, 'a'), mgr.RootGroup().name);
    EXPECT_EQ(std::string(640, 'a'), mgr.FindFood(FoodKey(1, 0))->Name());

    TempDir dir;
    const std::string secret = dir.File("secret.txt");
    dir.Write("secret.txt", "top secret");
    const std::pair<std::string, std::string> refused[] = {
        {"<!DOCTYPE DataSource [<!ENTITY s SYSTEM \"" + secret + "\">]><DataSource Name=\"&s;\"/>",
         Xml::kExternalReferencesRefused},
        {"<!DOCTYPE DataSource [<!ENTITY % p \"<!ENTITY q 'x'>\"> %p;]><DataSource Name=\"&q;\"/>",
         Xml::kExternalReferencesRefused},
        {"<!DOCTYPE DataSource PUBLIC \"-//X//Y\" \"" + secret + "\"><DataSource Name=\"x\"/>",
         Xml::kExternalReferencesRefused},
        {"<!DOCTYPE DataSource [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><DataSource Name=\"&a;\"/>", "line "},
    };
    for (const auto& [text, reason] : refused) {
        dir.Write("ds.xml", text);
        CDataSourceMgr other;
        EXPECT_FALSE(other.Load(dir.File("ds.xml"), {}, error)) << text;
        EXPECT_THAT(error, StartsWith(CantLoad(dir.File("ds.xml")) + reason)) << text;
        EXPECT_THAT(error, Not(HasSubstr("top secret")));
    }
}

// Far beyond anything a data source holds on one element; the parser would spend minutes on it.
TEST(DataSourceMgr, RefusesAnElementWithTooManyAttributes) {
    TempDir dir;
    std::string attributes;
    for (int i = 0; i <= Xml::AttributeBound::kMaxAttributes; ++i) attributes += " a" + std::to_string(i) + "=\"1\"";
    dir.Write("many.xml", "<DataSource Name=\"x\"><Nutrients><Nutrient" + attributes + "/></Nutrients></DataSource>");
    CDataSourceMgr mgr;
    std::string error;
    EXPECT_FALSE(mgr.Load(dir.File("many.xml"), {}, error));
    EXPECT_EQ(CantLoad(dir.File("many.xml")) + Xml::AttributeBound::Message(), error);
}

// Another file loaded into the same manager adds its groups and replaces foods of the same key.
TEST(DataSourceMgr, SecondLoadAddsToTheFirst) {
    TempDir dir;
    dir.Write("a.xml", R"(<DataSource Name="A" ID="1"><FoodGroups><FoodGroup id="G" code="1">
        <Food Name="Old" key="1"><EnergyFactors/><Units main="1"/></Food>
        <Food Name="Kept" key="2"><EnergyFactors/><Units main="1"/></Food></FoodGroup></FoodGroups></DataSource>)");
    dir.Write("b.xml", R"(<DataSource Name="B" ID="1"><FoodGroups><FoodGroup id="H" code="2">
        <Food Name="New" key="1"><EnergyFactors/><Units main="1"/></Food></FoodGroup></FoodGroups></DataSource>)");
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(dir.File("a.xml"), {}, error));
    ASSERT_TRUE(mgr.Load(dir.File("b.xml"), {}, error));
    EXPECT_EQ("B", mgr.RootGroup().name);
    EXPECT_EQ((std::vector<std::string>{"G", "H"}), Names(mgr.RootGroup().subGroups));
    EXPECT_EQ("New", mgr.FindFood(FoodKey(1, 1))->Name());
    EXPECT_EQ("Kept", mgr.FindFood(FoodKey(2, 1))->Name());
    EXPECT_EQ("Old", mgr.RootGroup().subGroups[0]->foods[0]->Name());
    EXPECT_EQ(2u, mgr.Foods().Size());
}

TEST(DataSourceMgr, OtherEncodingsAndNamespacedElements) {
    TempDir dir;
    dir.Write("latin1.xml",
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
              "<DataSource Name=\"Caf\xE9\"><FoodGroups><FoodGroup id=\"G\" code=\"1\">"
              "<Food Name=\"P\xE2t\xE9\" key=\"1\"><EnergyFactors/><Units main=\"1\"/></Food>"
              "<x:Food xmlns:x=\"urn:other\" Name=\"Elsewhere\" key=\"2\"><EnergyFactors/><Units/></x:Food>"
              "<Food Name=\"A &amp;#38; B &#38; &lt;C&gt; &#233;\" key=\"3\"><EnergyFactors/><Units/></Food>"
              "</FoodGroup></FoodGroups></DataSource>");
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(dir.File("latin1.xml"), {}, error)) << error;
    EXPECT_EQ("Café", mgr.RootGroup().name);
    EXPECT_EQ("Pâté", mgr.FindFood(FoodKey(1, 0))->Name());
    EXPECT_EQ(nullptr, mgr.FindFood(FoodKey(2, 0)));
    // References are decoded once: an escaped "&#38;" stays text.
    EXPECT_EQ("A &#38; B & <C> é", mgr.FindFood(FoodKey(3, 0))->Name());
}

// Every file of the broken folder, and the reason loading it gives.
struct BrokenFile {
    const char* file;
    const char* reason;  // a part of it
};

void PrintTo(const BrokenFile& c, std::ostream* os) { *os << c.file; }

namespace {

const BrokenFile kBroken[] = {
    {"empty.xml", "line 1: Document is empty"},
    {"truncated.xml", "line "},
    {"not-well-formed.xml", "line "},
    {"two-roots.xml", "Extra content at the end of the document"},
    {"undeclared-entity.xml", "Entity 'nbsp' not defined"},
    {"external-entity.xml", "external references in a document type declaration are not accepted"},
    {"missing-name.xml", "Missing attribute 'Name'"},
    {"bad-id.xml", "root element <DataSource>: "},
    {"nutrient-missing-units.xml", "nutrient 1: Missing attribute 'Units'"},
    {"nutrient-negative-accuracy.xml", "nutrient 1: "},
    {"portion-missing-title.xml", "portion: Missing attribute 'title'"},
    {"portion-bad-id.xml", "portion: "},
    {"group-missing-code.xml", "Missing attribute 'code'"},
    {"group-bad-code.xml", "food group "},
    {"group-missing-name.xml", "Missing attribute 'id'"},
    {"food-missing-name.xml", "Missing attribute 'Name'"},
    {"food-missing-key.xml", "food 1 of group "},
    {"food-bad-source.xml", "food 1 of group "},
    {"food-identity-missing-key.xml", "food 1 of group "},
    {"food-missing-energyfactors.xml", "Missing element 'EnergyFactors'"},
    {"food-missing-units.xml", "Missing element 'Units'"},
    {"food-bad-factor.xml", "food 1 of group "},
    {"food-bad-value.xml", "food 1 of group "},
    {"food-missing-value.xml", "Missing attribute 'V'"},
    {"food-negative-gid.xml", "food 1 of group "},
    {"food-empty-unit-weight.xml", "food 1 of group "},
    {"food-missing-unit-name.xml", "Missing attribute 'M'"},
};

}  // namespace

class BrokenDataSource : public testing::TestWithParam<BrokenFile> {};

TEST_P(BrokenDataSource, IsRefusedWithItsText) {
    CDataSourceMgr mgr;
    std::string error;
    const std::string path = kData + "broken/" + GetParam().file;
    EXPECT_FALSE(mgr.Load(path, {}, error));
    EXPECT_THAT(error, StartsWith(CantLoad(path)));
    EXPECT_THAT(error, HasSubstr(GetParam().reason));
    EXPECT_EQ(0u, mgr.Foods().Size());
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenDataSource, testing::ValuesIn(kBroken), [](const auto& info) {
    std::string n = info.param.file;
    n = n.substr(0, n.find('.'));
    std::replace(n.begin(), n.end(), '-', '_');
    return n;
});

// A new file in the folder must be given its expected answer above.
TEST(BrokenDataSource, TableCoversTheFolder) {
    std::set<std::string> listed, present;
    for (const auto& b : kBroken) listed.insert(b.file);
    for (const auto& entry : std::filesystem::directory_iterator(kData + "broken"))
        present.insert(entry.path().filename().string());
    EXPECT_EQ(listed, present);
}
