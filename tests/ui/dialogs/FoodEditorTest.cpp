// Several food tables in the running program, and the editor of the user's own foods.

#include "support/FakeServices.h"
#include "support/GuiSupport.h"
#include "support/TempDir.h"

#include "app/gui/VelmoraApp.h"
#include "ui/dialogs/DlgFoodEditor.h"
#include "ui/frame/AppContext.h"
#include "ui/views/IngredientTree.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/MyFoods.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using ::testing::HasSubstr;

// The row of a nutrient in the editor's table.
int RowOf(QTableWidget* table, const QString& name) {
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 0)->text() == name) return r;
    return -1;
}

class FoodEditor : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(tables.Load(TestFile("refdata/sample.xml"), {}, error)) << error;
        path = dir.File("foods/my-foods.xml");
        ASSERT_TRUE(mine.Load(path, error)) << error;
        app.dataSource = &tables;
        app.myFoods = &mine;
    }

    TempDir dir;
    CDataSourceMgr tables;
    CMyFoods mine{tables};
    Gui::CAppContext app;
    std::string path;
    RecordingPrompt prompt;
};

}  // namespace

// A label gives values per serving; they are kept per 100 g.
TEST_F(FoodEditor, ValuesPerServingAreKeptPer100Grams) {
    Gui::DlgFoodEditor dialog(nullptr, app, std::nullopt, MyFood{});
    auto* nutrients = dialog.findChild<QTableWidget*>("nutrients");
    ASSERT_NE(nullptr, nutrients);
    // The label's nutrients come first: energy, fat, ..., protein.
    EXPECT_EQ("Energy", nutrients->item(0, 0)->text());
    EXPECT_EQ("Total lipid (fat)", nutrients->item(1, 0)->text());
    dialog.findChild<QLineEdit*>("name")->setText("Granola bar");
    dialog.findChild<QComboBox*>("basis")->setCurrentIndex(1);
    dialog.findChild<QDoubleSpinBox*>("servingGrams")->setValue(40);
    nutrients->item(RowOf(nutrients, "Energy"), 1)->setText("180");
    nutrients->item(RowOf(nutrients, "Protein"), 1)->setText("4");
    auto* portions = dialog.findChild<QTableWidget*>("portions");
    portions->insertRow(0);
    portions->setItem(0, 0, new QTableWidgetItem("bar"));
    portions->setItem(0, 1, new QTableWidgetItem("40"));
    dialog.accept();

    ASSERT_TRUE(dialog.SavedKey()) << (prompt.messages.empty() ? "" : prompt.messages.front());
    const CDS_Ingredient* bar = tables.FindFood(*dialog.SavedKey());
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ("Granola bar", bar->Name());
    EXPECT_DOUBLE_EQ(450, bar->NutrientValue(1));
    EXPECT_DOUBLE_EQ(10, bar->NutrientValue(3));
    ASSERT_EQ(2u, bar->Units().size());
    EXPECT_EQ((FoodUnit{"bar", 40}), bar->Units()[1]);
    EXPECT_TRUE(std::filesystem::exists(path));
}

// A new portion starts at the weight the values are given for: a label's serving, else 100 g.
TEST_F(FoodEditor, AddPortionOffersTheServingTheValuesAreGivenFor) {
    const struct {
        int basis;
        double serving;
        const char* grams;
    } cases[] = {{1, 40, "40"}, {1, 12.5, "12.5"}, {0, 40, "100"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grams);
        Gui::DlgFoodEditor dialog(nullptr, app, std::nullopt, MyFood{});
        dialog.findChild<QComboBox*>("basis")->setCurrentIndex(c.basis);
        dialog.findChild<QDoubleSpinBox*>("servingGrams")->setValue(c.serving);
        dialog.findChild<QPushButton*>("addPortion")->click();
        auto* portions = dialog.findChild<QTableWidget*>("portions");
        ASSERT_EQ(1, portions->rowCount());
        EXPECT_EQ("serving", portions->item(0, 0)->text());
        EXPECT_EQ(c.grams, portions->item(0, 1)->text());
    }
}

TEST_F(FoodEditor, ARefusedFoodIsSaidAndNothingIsWritten) {
    const struct {
        const char* value;
        const char* message;
    } cases[] = {
        {"-1", "The amount of Protein in \"Bar\" must be a number of 0 or more."},
        {"lots", "The value of Protein, \"lots\", is not a number."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        prompt.messages.clear();
        Gui::DlgFoodEditor dialog(nullptr, app, std::nullopt, MyFood{});
        auto* nutrients = dialog.findChild<QTableWidget*>("nutrients");
        dialog.findChild<QLineEdit*>("name")->setText("Bar");
        nutrients->item(RowOf(nutrients, "Protein"), 1)->setText(c.value);
        dialog.accept();
        EXPECT_FALSE(dialog.SavedKey());
        EXPECT_EQ(std::vector<std::string>{c.message}, prompt.messages);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

// The command-line program added a food after the desktop program read the table: a new food
// saved here keeps it, under a key of its own, and shows it here too.
TEST_F(FoodEditor, ANewFoodKeepsWhatAnotherProgramAddedMeanwhile) {
    CDataSourceMgr cliTables;
    std::string error;
    ASSERT_TRUE(cliTables.Load(TestFile("refdata/sample.xml"), {}, error)) << error;
    CMyFoods cli(cliTables);
    ASSERT_TRUE(cli.Load(path, error)) << error;
    MyFood bread;
    bread.food.SetName("Rye bread");
    const auto theirs = cli.Add(bread, error);
    ASSERT_TRUE(theirs) << error;

    Gui::DlgFoodEditor dialog(nullptr, app, std::nullopt, MyFood{});
    dialog.findChild<QLineEdit*>("name")->setText("Granola bar");
    dialog.accept();
    ASSERT_TRUE(dialog.SavedKey()) << (prompt.messages.empty() ? "" : prompt.messages.front());
    EXPECT_NE(*theirs, *dialog.SavedKey());
    EXPECT_EQ("Rye bread", tables.FindFood(*theirs)->Name());
    const std::string file = dir.Read("foods/my-foods.xml");
    EXPECT_THAT(file, HasSubstr("Name=\"Rye bread\""));
    EXPECT_THAT(file, HasSubstr("Name=\"Granola bar\""));
}

// The tree shows each table as a node of its own and opens the right one to show a food.
TEST_F(FoodEditor, TheTreeHasANodePerTableAndFindsFoodsInEach) {
    std::string error;
    ASSERT_TRUE(tables.AddTable(TestFile("refdata/second-table.xml"), error)) << error;
    CIngredientTree tree;
    tree.ShowProgramFoods(app, {});
    ASSERT_EQ(3, tree.topLevelItemCount());
    EXPECT_EQ("Sample Foods", tree.topLevelItem(0)->text(0).toStdString());
    EXPECT_EQ("My Foods", tree.topLevelItem(1)->text(0).toStdString());  // loaded before the second table here
    EXPECT_EQ("Second Table", tree.topLevelItem(2)->text(0).toStdString());
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());

    QTreeWidgetItem* rice = tree.ShowFood(tables, FoodKey(1001, 2));
    ASSERT_NE(nullptr, rice);
    EXPECT_EQ("Rice, raw", tree.FoodOfItem(rice)->Name());
    EXPECT_EQ(tree.topLevelItem(2), rice->parent()->parent());
    QTreeWidgetItem* milk = tree.ShowFood(tables, FoodKey(1001, 7));
    ASSERT_NE(nullptr, milk);
    EXPECT_EQ("Milk, whole", tree.FoodOfItem(milk)->Name());
}

// Start-up loads the further tables of the settings and the user's own foods; a table that
// can't be loaded is reported and the others still load.
TEST(StartupTables, FurtherTablesAndOwnFoodsLoadAndABrokenTableIsReported) {
    TempDir folder;
    folder.Write("config.xml", "<?xml version=\"1.0\"?><settings/>");
    folder.Write("broken.xml", "<DataSource Name=\"B\" ID=\"3\">");
    std::filesystem::create_directories(folder.Path() / "foods");
    folder.Write("foods/my-foods.xml",
                 "<DataSource Name=\"My Foods\" ID=\"1000\"><FoodGroups><FoodGroup id=\"My Foods\" code=\"1\">"
                 "<Food Name=\"Oat bar\" key=\"1\"><EnergyFactors/><Units main=\"1\"/></Food>"
                 "</FoodGroup></FoodGroups></DataSource>");
    RecordingPrompt prompt;
    RecordingShell shell;
    CVelmoraApp::Options options{folder.Path().string(), TestFile("refdata/sample.xml"), {}, {}, {}};
    options.moreDataSources = {folder.File("broken.xml"), TestFile("refdata/second-table.xml")};
    CVelmoraApp app(options);
    ASSERT_TRUE(app.InitInstance());
    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_THAT(prompt.messages[0], HasSubstr(CDataSourceMgr::kCantLoad + folder.File("broken.xml")));
    EXPECT_EQ(3u, app.DataSource().Tables().size());
    EXPECT_EQ("Rice, raw", app.DataSource().FindFood(FoodKey(1001, 2))->Name());
    EXPECT_EQ("Oat bar", app.DataSource().FindFood(FoodKey(1, 1000))->Name());
    EXPECT_EQ(app.MyFoods(), app.Context().myFoods);
    app.ExitInstance();
}
