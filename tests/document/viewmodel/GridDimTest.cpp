#include "document/viewmodel/GridDim.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include <functional>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Sizes = std::vector<std::int32_t>;

namespace {

// The sizes of a grid on screen, as the widget layer would report them.
struct ScreenGrid : IGridSizes {
    std::vector<int> heights;
    std::vector<int> widths;
    int RowCount() const override { return static_cast<int>(heights.size()); }
    int ColumnCount() const override { return static_cast<int>(widths.size()); }
    int RowHeight(int row) const override { return heights.at(static_cast<std::size_t>(row)); }
    int ColumnWidth(int column) const override { return widths.at(static_cast<std::size_t>(column)); }
    void SetRowCount(int rows) override { heights.resize(static_cast<std::size_t>(rows)); }
    void SetColumnCount(int columns) override { widths.resize(static_cast<std::size_t>(columns)); }
    void SetRowHeight(int row, int height) override { heights.at(static_cast<std::size_t>(row)) = height; }
    void SetColumnWidth(int column, int width) override { widths.at(static_cast<std::size_t>(column)) = width; }
};

// [rows, cols, row sizes..., column sizes...]: two rows (10, 11), three columns (20, 21, 22).
const Sizes kTwoByThree = {2, 3, 10, 11, 20, 21, 22};

struct EditCase {
    const char* name;
    Sizes before;
    std::function<void(CGridDim&)> edit;
    Sizes after;
    friend void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
};

class GridDimEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(GridDimEdit, ChangesTheListAsExpected) {
    CGridDim grid("G", GetParam().before);
    GetParam().edit(grid);
    EXPECT_THAT(grid.sizes, ElementsAreArray(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridDimEdit,
    ::testing::Values(
        EditCase{"AddRowToEmpty", {}, [](CGridDim& g) { g.AddRow(5); }, {1, 0, 5}},
        EditCase{
            "AddRowGoesBeforeTheColumns", kTwoByThree, [](CGridDim& g) { g.AddRow(5); }, {3, 3, 10, 11, 5, 20, 21, 22}},
        EditCase{"AddColumnToEmpty", {}, [](CGridDim& g) { g.AddColumn(5); }, {0, 1, 5}},
        EditCase{"AddColumnAppends", kTwoByThree, [](CGridDim& g) { g.AddColumn(5); }, {2, 4, 10, 11, 20, 21, 22, 5}},
        EditCase{"InsertColumnAtFront",
                 kTwoByThree,
                 [](CGridDim& g) { g.InsertColumn(0, 5); },
                 {2, 4, 10, 11, 5, 20, 21, 22}},
        EditCase{"InsertColumnInside",
                 kTwoByThree,
                 [](CGridDim& g) { g.InsertColumn(2, 5); },
                 {2, 4, 10, 11, 20, 21, 5, 22}},
        EditCase{"InsertColumnBeyondAppends",
                 kTwoByThree,
                 [](CGridDim& g) { g.InsertColumn(9, 5); },
                 {2, 4, 10, 11, 20, 21, 22, 5}},
        EditCase{"RemoveRow", kTwoByThree, [](CGridDim& g) { g.RemoveRow(0); }, {1, 3, 11, 20, 21, 22}},
        EditCase{"RemoveRowOutOfRange", kTwoByThree, [](CGridDim& g) { g.RemoveRow(2); }, kTwoByThree},
        EditCase{"RemoveRowOfEmpty", {}, [](CGridDim& g) { g.RemoveRow(0); }, {}},
        EditCase{"RemoveColumn", kTwoByThree, [](CGridDim& g) { g.RemoveColumn(1); }, {2, 2, 10, 11, 20, 22}},
        EditCase{"RemoveColumnNegative", kTwoByThree, [](CGridDim& g) { g.RemoveColumn(-1); }, kTwoByThree},
        EditCase{"SwapRowSizes", kTwoByThree, [](CGridDim& g) { g.SwapRowSizes(0, 1); }, {2, 3, 11, 10, 20, 21, 22}},
        EditCase{"SwapRowSizesOutOfRange", kTwoByThree, [](CGridDim& g) { g.SwapRowSizes(0, 2); }, kTwoByThree},
        EditCase{"SetColumnSizeStandsAfterTheRows",
                 kTwoByThree,
                 [](CGridDim& g) { EXPECT_TRUE(g.SetColumnSize(0, 7)); },
                 {2, 3, 10, 11, 7, 21, 22}},
        EditCase{"SetRowSizeOutOfRange", kTwoByThree, [](CGridDim& g) { EXPECT_FALSE(g.SetRowSize(2, 7)); },
                 kTwoByThree},
        // A list shorter than its counts claim: nothing is written or removed beyond its end.
        EditCase{"RemoveColumnOfTruncatedList", {1, 3, 10, 20}, [](CGridDim& g) { g.RemoveColumn(2); }, {1, 3, 10, 20}},
        EditCase{"SetColumnSizeOfTruncatedList",
                 {1, 3, 10, 20},
                 [](CGridDim& g) { EXPECT_FALSE(g.SetColumnSize(1, 7)); },
                 {1, 3, 10, 20}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridDim, SizesOutsideTheListReadAsZero) {
    CGridDim grid("G", kTwoByThree);
    EXPECT_EQ(11, grid.RowSize(1));
    EXPECT_EQ(22, grid.ColumnSize(2));
    EXPECT_EQ(0, grid.RowSize(2));
    EXPECT_EQ(0, grid.ColumnSize(-1));
    EXPECT_EQ(0, CGridDim().RowSize(0));
}

TEST(GridDim, CaptureAndApplyMoveSizesBetweenLayoutAndScreen) {
    ScreenGrid screen;
    screen.heights = {-3, 25};
    screen.widths = {-2, 80, 90};
    CGridDim layout("Food", {});
    layout.Capture(screen);
    EXPECT_THAT(layout.sizes, ElementsAre(2, 3, -3, 25, -2, 80, 90));

    ScreenGrid other;
    ASSERT_TRUE(layout.Apply(other));
    EXPECT_THAT(other.heights, ElementsAre(-3, 25));
    EXPECT_THAT(other.widths, ElementsAre(-2, 80, 90));
}

TEST(GridDim, ApplyRefusesAListThatDoesNotMatchItsCounts) {
    ScreenGrid screen;
    screen.heights = {1, 2};
    for (const Sizes& broken : {Sizes{}, Sizes{2, 1, 5}, Sizes{1, 1, 5, 6, 7}}) {
        CGridDim layout("G", broken);
        EXPECT_FALSE(layout.Apply(screen));
        EXPECT_THAT(screen.heights, ElementsAre(1, 2));
    }
}

class GridDimXml : public ::testing::Test {
protected:
    Xml::XmlElement View(const std::string& inner) {
        EXPECT_TRUE(doc.LoadXml("<View>" + inner + "</View>")) << doc.ParseError();
        return doc.Root();
    }
    Xml::XmlDocument doc;
};

TEST_F(GridDimXml, WritesCountsAndOneAttributePerSize) {
    Xml::XmlDocument out;
    Xml::XmlElement view = out.CreateElement("View");
    out.AppendChild(view);
    CGridDim("Food", {2, 1, 0, -3, -2}).Save(view);
    CGridDim("Empty", {}).Save(view);
    EXPECT_EQ(
        "<View>\n  <Grid name=\"Food\">\n    <Rows size=\"2\" R0=\"0\" R1=\"-3\"/>\n"
        "    <Cols size=\"1\" C0=\"-2\"/>\n  </Grid>\n</View>",
        view.GetXml());
}

TEST_F(GridDimXml, ReadsItsOwnGridByName) {
    Xml::XmlElement view = View(
        "<Grid name='Diet'><Rows size='1' R0='9'/><Cols size='1' C0='9'/></Grid>"
        "<Grid name='Food'><Cols size='2' C0='30' C1='31'/><Rows size='1' R0='-3'/></Grid>");
    CGridDim food("Food", {5, 5});
    food.Load(view);
    EXPECT_THAT(food.sizes, ElementsAre(1, 2, -3, 30, 31));
}

TEST_F(GridDimXml, AMissingRowsOrColsElementCountsAsNone) {
    CGridDim grid("Food", {});
    grid.Load(View("<Grid name='Food'><Cols size='1' C0='4'/></Grid>"));
    EXPECT_THAT(grid.sizes, ElementsAre(0, 1, 4));
}

TEST_F(GridDimXml, AViewWithoutTheGridKeepsTheLayout) {
    CGridDim grid("Food", {2, 1, 0, -3, -2});
    grid.Load(View("<Grid name='Diet'><Rows size='0'/><Cols size='0'/></Grid>"));
    EXPECT_THAT(grid.sizes, ElementsAre(2, 1, 0, -3, -2));
}

TEST_F(GridDimXml, AMissingSizeFailsAndKeepsTheLayout) {
    CGridDim grid("Food", {1, 0, 7});
    EXPECT_THROW(grid.Load(View("<Grid name='Food'><Rows size='2' R0='1'/></Grid>")), Xml::XmlError);
    EXPECT_THAT(grid.sizes, ElementsAre(1, 0, 7));
}

}  // namespace
