#include "tools/IfctConverter.h"

#include "core/FileUtil.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/FoodSearch.h"
#include "refdata/NutrientCatalogue.h"
#include "support/TempDir.h"

#include <archive.h>
#include <archive_entry.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string kFixture = VELMORA_SOURCE_DIR "/tests/data/tools/ifct/index.csv";

std::string FixtureText() { return FileUtil::ReadFile(kFixture); }

// A gzip'd tar of the given members, as npm packs a package.
std::string Tarball(const std::map<std::string, std::string>& members) {
    std::string out;
    archive* a = archive_write_new();
    archive_write_add_filter_gzip(a);
    archive_write_set_format_pax_restricted(a);
    archive_write_open(
        a, &out, nullptr,
        [](archive*, void* data, const void* buffer, std::size_t length) -> la_ssize_t {
            static_cast<std::string*>(data)->append(static_cast<const char*>(buffer), length);
            return static_cast<la_ssize_t>(length);
        },
        nullptr);
    for (const auto& [name, text] : members) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.c_str());
        archive_entry_set_size(e, static_cast<la_int64_t>(text.size()));
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_write_header(a, e);
        archive_write_data(a, text.data(), text.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
    return out;
}

// The fixture converted, then loaded by the program's own loader.
class IfctConversion : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        summary_ = new Ifct::ConvertSummary(Ifct::ConvertIfct(kFixture, dir_->File("ifct.xml")));
        mgr_ = new CDataSourceMgr;
        std::string error;
        ASSERT_TRUE(mgr_->Load(dir_->File("ifct.xml"), {}, error)) << error;
    }
    static void TearDownTestSuite() {
        delete mgr_;
        delete summary_;
        delete dir_;
    }
    static const CDS_Ingredient& Food(int key) {
        const CDS_Ingredient* f = mgr_->FindFood(FoodKey(key, Ifct::kIfctSourceId));
        if (!f) throw std::runtime_error("no food " + std::to_string(key));
        return *f;
    }
    // The value per 100 g of a nutrient number, or nullopt when the food has none.
    static std::optional<double> Value(int key, int number) {
        const auto& values = Food(key).NutrientValues();
        const auto it = values.find(Nutrient::GidOfNutrientNumber(number));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }

    static TempDir* dir_;
    static Ifct::ConvertSummary* summary_;
    static CDataSourceMgr* mgr_;
};

TempDir* IfctConversion::dir_ = nullptr;
Ifct::ConvertSummary* IfctConversion::summary_ = nullptr;
CDataSourceMgr* IfctConversion::mgr_ = nullptr;

TEST_F(IfctConversion, LoadsAsItsOwnSourceWithTheTablesGroups) {
    EXPECT_EQ(Ifct::kIfctSourceId, mgr_->SourceId());
    EXPECT_EQ("Indian Food Composition Tables 2017", mgr_->RootGroup().name);
    EXPECT_EQ(5u, mgr_->Foods().Size());
    EXPECT_EQ(5, summary_->foods);
    std::vector<std::pair<int, std::string>> groups;
    for (const auto& g : mgr_->RootGroup().subGroups) groups.emplace_back(g->code, g->name);
    EXPECT_THAT(groups, ElementsAre(std::make_pair(1, std::string("Cereals and Millets")),
                                    std::make_pair(5, std::string("Fruits")),
                                    std::make_pair(12, std::string("Milk and Milk Products")),
                                    std::make_pair(20, std::string("Edible Oils and Fats"))));
    EXPECT_EQ(5, mgr_->GroupOfFood(FoodKey(5099, Ifct::kIfctSourceId))->code);
}

TEST_F(IfctConversion, ValuesArriveInTheUnitsOfTheProgram) {
    struct Case {
        int key;
        int number;
        double expected;
        const char* why;
    };
    const Case cases[] = {
        {1015, 208, 1491 / 4.184, "energy: kJ to kcal"},
        {1015, 203, 7.94, "protein stays in g"},
        {1015, 301, 7.49, "calcium: g to mg"},
        {1015, 417, 9.32, "folate: g to µg"},
        {12002, 401, 2.01, "vitamin C: g to mg"},
        {5099, 338, 21.2, "lutein and zeaxanthin summed, in µg"},
        // Retinol + beta-carotene / 12 + (alpha-carotene + beta-cryptoxanthin) / 24.
        {12002, 320, 45.6 + 13.7 / 12 + (1.2 + 2.4) / 24, "vitamin A as RAE"},
        {20013, 208, 100 * 37 / 4.184, "energy given as 0 for pure fat: computed with 37 kJ/g"},
    };
    for (const Case& c : cases) {
        const std::optional<double> v = Value(c.key, c.number);
        ASSERT_TRUE(v) << c.why;
        EXPECT_NEAR(c.expected, *v, 1e-6 * c.expected) << c.why;
    }
    // A value converted from grams carries no binary noise into the file.
    EXPECT_THAT(dir_->Read("ifct.xml"), HasSubstr("V=\"7.49\""));
}

TEST_F(IfctConversion, MissingValuesAreLeftOutNotZero) {
    EXPECT_FALSE(Value(5099, 401)) << "the mango's vitamin C cell is empty";
    EXPECT_FALSE(Value(1003, 338)) << "bajra lacks lutein and zeaxanthin";
    EXPECT_FALSE(Value(1003, 320)) << "RAE needs every carotenoid; bajra lacks beta-cryptoxanthin";
    EXPECT_EQ(0.0, Value(1015, 401).value_or(-1)) << "a zero the table gives is kept";
}

TEST_F(IfctConversion, NamesKeepScientificEnglishAndHindiNames) {
    EXPECT_EQ("Rice, raw, milled (Oryza sativa; H. Chawal)", Food(1015).Name());
    // "H. Bajra" repeats the name; the English name is written without its tag.
    EXPECT_EQ("Bajra (Pennisetum typhoideum; Pearl millet)", Food(1003).Name());
    EXPECT_EQ("Milk, whole, Cow (H. Gai ka doodh)", Food(12002).Name());
    EXPECT_EQ("Ghee", Food(20013).Name());
    EXPECT_EQ("Mango, \"Alphonso\" & ripe, caf\xC3\xA9 (Mangifera indica; H. Aam)", Food(5099).Name());
    const auto found = FoodSearch::Run(*mgr_, "chawal");
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(FoodKey(1015, Ifct::kIfctSourceId), found[0].key);
}

TEST_F(IfctConversion, FoodsHaveTheTablesEnergyFactorsAndOnlyTheGram) {
    const CDS_Ingredient& rice = Food(1015);
    EXPECT_NEAR(17 / 4.184, rice.EnergyFactor(0), 1e-9);
    EXPECT_NEAR(37 / 4.184, rice.EnergyFactor(1), 1e-9);
    EXPECT_NEAR(17 / 4.184, rice.EnergyFactor(2), 1e-9);
    ASSERT_EQ(1u, rice.Units().size());
    EXPECT_EQ("g", rice.Units()[0].name);
    std::map<int, std::string> units;
    for (const CDS_Nutrition& n : mgr_->Nutrients()) units[n.id] = n.units;
    EXPECT_EQ("kcal", units[208]);
    EXPECT_EQ("mg", units[301]);
    EXPECT_EQ("\xC2\xB5g", units[417]);
}

TEST(IfctKeys, FoodCodeBecomesGroupLetterTimesThousandPlusNumber) {
    EXPECT_EQ(1001, Ifct::KeyOfFoodCode("A001"));
    EXPECT_EQ(16092, Ifct::KeyOfFoodCode("P092"));
    EXPECT_EQ(20014, Ifct::KeyOfFoodCode("T014"));
    for (const char* bad : {"", "A", "a001", "A0001", "1001", "AB01"}) EXPECT_EQ(-1, Ifct::KeyOfFoodCode(bad)) << bad;
}

TEST(IfctPackage, TarballGivesTheSameFileAsItsTable) {
    TempDir dir;
    dir.Write("compositions.tgz", Tarball({{"package/LICENSE", "MIT"}, {"package/index.csv", FixtureText()}}));
    const Ifct::ConvertSummary s = Ifct::ConvertIfct(dir.File("compositions.tgz"), dir.File("from-tgz.xml"));
    Ifct::ConvertIfct(kFixture, dir.File("from-csv.xml"));
    EXPECT_EQ(5, s.foods);
    EXPECT_EQ(dir.Read("from-csv.xml"), dir.Read("from-tgz.xml"));
}

// Every bad input raises an error that says what is wrong, and the output file stays as it was.
TEST(IfctPackage, BadInputIsRefusedAndNothingIsWritten) {
    const std::string csv = FixtureText();
    auto replaced = [&csv](const std::string& from, const std::string& to) {
        std::string out = csv;
        out.replace(out.find(from), from.size(), to);
        return out;
    };
    struct Case {
        const char* what;
        std::string file;     // written under this name, unless content is empty
        std::string content;  // empty: no such file
        std::string error;
    };
    const Case cases[] = {
        {"missing file", "none.csv", "", "none.csv"},
        {"text named .tgz", "pkg.tgz", "just text", "pkg.tgz: not a gzip'd tar package"},
        {"gzip'd tar without the table", "pkg.tgz", Tarball({{"package/README.md", "hi"}}),
         "pkg.tgz: the package holds no package/index.csv"},
        {"table without energy", "index.csv", replaced("\"Energy; enerc\",", "\"Energy; other\","),
         "no column enerc, so this is not the composition table"},
        {"negative value", "index.csv", replaced(",0.00749,", ",-0.00749,"),
         "index.csv: food A015, column ca: negative value -0.00749"},
        {"not a number", "index.csv", replaced(",1456,", ",lots,"), "food A003, column enerc: 'lots' is not a number"},
        {"infinite value", "index.csv", replaced(",1456,", ",inf,"), "food A003, column enerc: 'inf' is not a number"},
        {"too large in µg", "index.csv", replaced(",0.00000932,", ",1e305,"), "food A015: Folate, total too large"},
        {"short row", "index.csv", replaced(",0.0000012\n", "\n"), "row 4 has 21 fields, the header 22"},
        {"unclosed quote", "index.csv", replaced("\"Ghee\",", "\"Ghee,"), "not a CSV table"},
        {"bad food code", "index.csv", replaced("\"E099\"", "\"E 99\""), "food code 'E 99'"},
        {"not UTF-8", "index.csv", replaced("caf\xC3\xA9", "caf\xE9"), "row 4 is not UTF-8 text"},
        {"stray continuation bytes", "index.csv", replaced("Milat", "Mi\x9C\x9Et"), "row 2 is not UTF-8 text"},
        {"control character", "index.csv",
         replaced("Ghee\",", std::string("Gh\x01"
                                         "ee\",")),
         "is not UTF-8 text"},
        {"code twice", "index.csv", replaced("\"E099\"", "\"A003\""), "food code A003 comes twice"},
        {"no foods", "index.csv", csv.substr(0, csv.find('\n') + 1), "no foods in the table"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (!c.content.empty()) dir.Write(c.file, c.content);
        dir.Write("out.xml", "old");
        try {
            Ifct::ConvertIfct(dir.File(c.file), dir.File("out.xml"));
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Ifct::ConvertError& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.error)) << c.what;
        }
        EXPECT_EQ("old", dir.Read("out.xml")) << c.what;
        const auto files = std::distance(std::filesystem::directory_iterator(dir.Path()), {});
        EXPECT_EQ(c.content.empty() ? 1 : 2, files) << c.what << ": a file was left behind";
    }
}

// The published package, when set-up has downloaded it; values looked up by hand in its index.csv.
TEST(IfctPackage, RealPackageConvertsAndLoads) {
    const std::string package = VELMORA_BIN_DIR "/../downloads/compositions-2.0.9.tgz";
    if (!std::filesystem::exists(package)) GTEST_SKIP() << package << " not downloaded";
    TempDir dir;
    const Ifct::ConvertSummary s = Ifct::ConvertIfct(package, dir.File("ifct.xml"));
    // The package says 528 foods; its table has 542 rows, each with a code of its own.
    EXPECT_EQ(542, s.foods);
    EXPECT_EQ(20, s.groups);
    CDataSourceMgr mgr;
    std::string error;
    ASSERT_TRUE(mgr.Load(dir.File("ifct.xml"), {}, error)) << error;
    EXPECT_EQ(542u, mgr.Foods().Size());
    const CDS_Ingredient* pineapple = mgr.FindFood(FoodKey(5053, Ifct::kIfctSourceId));
    ASSERT_NE(nullptr, pineapple);
    EXPECT_EQ("Pineapple (Ananas comosus)", pineapple->Name());
    EXPECT_NEAR(180 / 4.184, pineapple->NutrientValue(1), 1e-6);  // enerc 180 kJ
    EXPECT_DOUBLE_EQ(36.37, pineapple->NutrientValue(29));        // vitc 0.03637 g
    const CDS_Ingredient* egg = mgr.FindFood(FoodKey(13001, Ifct::kIfctSourceId));
    ASSERT_NE(nullptr, egg);
    EXPECT_DOUBLE_EQ(366, egg->NutrientValue(43));   // cholc 0.366 g
    EXPECT_DOUBLE_EQ(13.28, egg->NutrientValue(3));  // protcnt
    EXPECT_DOUBLE_EQ(1.82, egg->NutrientValue(13));  // fe 0.00182 g
}

}  // namespace
