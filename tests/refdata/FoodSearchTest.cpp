#include "refdata/FoodSearch.h"

#include "refdata/DataSourceMgr.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) out += c == '&' ? std::string("&amp;") : c == '"' ? std::string("&quot;") : std::string(1, c);
    return out;
}

// A data source of one group holding the foods (key, name) in the given order.
void LoadFoods(CDataSourceMgr& mgr, const TempDir& dir, const std::vector<std::pair<int, std::string>>& foods) {
    std::string xml = "<DataSource Name=\"Search\" ID=\"1\"><FoodGroups><FoodGroup id=\"All\" code=\"1\">";
    for (const auto& [key, name] : foods)
        xml += "<Food Name=\"" + Escape(name) + "\" key=\"" + std::to_string(key) +
               "\"><EnergyFactors/><Units main=\"1\"/></Food>";
    dir.Write("search.xml", xml + "</FoodGroup></FoodGroups></DataSource>");
    std::string error;
    ASSERT_TRUE(mgr.Load(dir.File("search.xml"), {}, error)) << error;
}

std::vector<int> Keys(const FoodMatchList& list) {
    std::vector<int> keys;
    for (const auto& m : list) keys.push_back(m.key.key);
    return keys;
}

class Search : public testing::Test {
protected:
    void SetUp() override {
        LoadFoods(mgr, dir,
                  {{3, "Milk, whole"},
                   {1, "Buttermilk, whole"},
                   {2, "Milk, skim"},
                   {4, "MILK SHAKE, whole milk"},
                   {5, "Cheese"},
                   {6, "ab"},
                   {7, "cd"},
                   {8, "Crème fraîche"}});
    }
    TempDir dir;
    CDataSourceMgr mgr;
};

}  // namespace

struct SplitCase {
    const char* text;
    std::vector<std::string> terms;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class SplitTerms : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTerms, AtRunsOfSpaces) { EXPECT_EQ(GetParam().terms, FoodSearch::SplitTerms(GetParam().text)); }

INSTANTIATE_TEST_SUITE_P(Texts, SplitTerms,
                         testing::Values(SplitCase{"milk whole", {"milk", "whole"}},
                                         SplitCase{"milk   whole", {"milk", "whole"}}, SplitCase{" milk", {"", "milk"}},
                                         SplitCase{"   milk whole", {"", "milk", "whole"}},
                                         SplitCase{"milk  ", {"milk"}}, SplitCase{"   ", {""}}, SplitCase{"", {}},
                                         SplitCase{"a\tb", {"a\tb"}}));

TEST_F(Search, FirstTermScansInKeyOrder) {
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Keys(*FoodSearch::First(mgr, "milk")));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Keys(*FoodSearch::First(mgr, "mIlK")));
    EXPECT_EQ((std::vector<int>{8}), Keys(*FoodSearch::First(mgr, "crème")));
    // Only a-z fold: an upper-case È is another letter.
    EXPECT_TRUE(FoodSearch::First(mgr, "CRÈME")->empty());
    // A match never runs from one name into the next.
    EXPECT_TRUE(FoodSearch::First(mgr, "bc")->empty());
    EXPECT_TRUE(FoodSearch::First(mgr, "")->empty());
    const FoodMatchList list = *FoodSearch::First(mgr, "cheese");
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(FoodKey(5, 1), list[0].key);
    EXPECT_EQ("Cheese", list[0].food->Name());
}

TEST_F(Search, FurtherTermsNarrowThePreviousList) {
    EXPECT_EQ((std::vector<int>{1, 3, 4}), Keys(FoodSearch::Run(mgr, "milk whole")));
    EXPECT_EQ((std::vector<int>{4}), Keys(FoodSearch::Run(mgr, "milk  whole shake")));
    EXPECT_EQ((std::vector<int>{1, 3, 4}), Keys(FoodSearch::Run(mgr, "whole milk ")));
    EXPECT_TRUE(FoodSearch::Run(mgr, " milk").empty());
    EXPECT_TRUE(FoodSearch::Run(mgr, "").empty());
    // Narrowing reads only the list it is given.
    const FoodMatchList skim = *FoodSearch::First(mgr, "skim");
    EXPECT_TRUE(FoodSearch::Narrow(mgr, skim, "whole")->empty());
}

TEST_F(Search, CancelledScanAnswersNothing) {
    FoodSearch::CancelFlag cancel{true};
    EXPECT_FALSE(FoodSearch::First(mgr, "milk", &cancel).has_value());
    EXPECT_FALSE(FoodSearch::Narrow(mgr, *FoodSearch::First(mgr, "milk"), "whole", &cancel).has_value());
}

// Enough foods for several scan chunks, checked against a plain search of every name.
TEST(FoodSearch, AgreesWithPlainSearchOverManyFoods) {
    TempDir dir;
    CDataSourceMgr mgr;
    std::vector<std::pair<int, std::string>> foods;
    const char* const words[] = {"Beef", "ground", "raw", "Milk", "whole", "Apple", "dried", "juice", "Oats"};
    for (int i = 0; i < 40000; ++i)
        foods.emplace_back((i * 7919) % 40000,
                           std::string(words[i % 9]) + ", " + words[(i / 9) % 9] + " " + std::to_string(i % 997));
    LoadFoods(mgr, dir, foods);
    for (const std::string term : {"MILK", "raw 1", "ap", "9", "dried, ", "e", "xyz"}) {
        std::vector<int> expected;
        const std::string upper = ToUpperAscii(term);
        for (const auto& e : mgr.Foods())
            if (ToUpperAscii(e.food->Name()).find(upper) != std::string::npos) expected.push_back(e.key.key);
        EXPECT_EQ(expected, Keys(*FoodSearch::First(mgr, term))) << term;
    }
}

TEST_F(Search, ContextProcessesEachTermOnce) {
    CFoodSearchContext ctx;
    EXPECT_EQ(CFoodSearchContext::State::Created, ctx.GetState());
    ctx.SetText("milk whole");
    auto first = ctx.ProcessNext(mgr);
    ASSERT_TRUE(first);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Keys(*first));
    auto second = ctx.ProcessNext(mgr);
    ASSERT_TRUE(second);
    EXPECT_EQ((std::vector<int>{1, 3, 4}), Keys(*second));
    EXPECT_FALSE(ctx.ProcessNext(mgr));
    EXPECT_EQ(CFoodSearchContext::State::Done, ctx.GetState());
    EXPECT_EQ(2u, ctx.ResultCount());

    // A new text drops the old results; lists handed out stay valid.
    ctx.SetText("cheese");
    EXPECT_EQ(0u, ctx.ResultCount());
    EXPECT_EQ(3u, second->size());
    EXPECT_EQ((std::vector<int>{5}), Keys(*ctx.ProcessNext(mgr)));

    ctx.Cancel();
    EXPECT_TRUE(ctx.Terms().empty());
    EXPECT_FALSE(ctx.ProcessNext(mgr));
    EXPECT_FALSE(ctx.LastResult());
}

// Workers started for each new text while earlier ones still run: the last text's terms are each
// processed once, and its last list is the plain search's answer.
TEST(FoodSearch, ConcurrentWorkersEndWithTheLastText) {
    TempDir dir;
    CDataSourceMgr mgr;
    std::vector<std::pair<int, std::string>> foods;
    for (int i = 0; i < 60000; ++i) foods.emplace_back(i, (i % 3 ? "Milk, whole " : "Beef, raw ") + std::to_string(i));
    LoadFoods(mgr, dir, foods);

    CFoodSearchContext ctx;
    const std::vector<std::string> texts = {"mil", "milk", "milk who", "milk whole 1", "beef", "milk whole 12"};
    std::vector<std::thread> workers;
    for (const auto& text : texts) {
        ctx.SetText(text);
        workers.emplace_back([&] {
            while (auto list = ctx.ProcessNext(mgr)) {}
        });
    }
    for (auto& w : workers) w.join();
    // A worker of the last text may have found another one busy; finish what is left.
    while (ctx.ProcessNext(mgr)) {}
    EXPECT_EQ(3u, ctx.ResultCount());
    ASSERT_TRUE(ctx.LastResult());
    EXPECT_EQ(Keys(FoodSearch::Run(mgr, "milk whole 12")), Keys(*ctx.LastResult()));
}

TEST(FoodSearch, RankPutsWordStartsTheFirstPartLoggedFoodsAndShortNamesFirst) {
    TempDir dir;
    CDataSourceMgr mgr;
    LoadFoods(mgr, dir,
              {{1, "Goat's milk"},
               {2, "Babyfood, chicken noodle dinner"},
               {3, "Oats"},
               {4, "Chicken, broilers, roasted"},
               {5, "Oat bran, raw"},
               {6, "Chicken spread"},
               {7, "Mammy-apple, raw"},
               {8, "Apples, raw"},
               {9, "APPLEBEE'S, fries"},
               {10, "Apple juice, canned"},
               {11, "Soup, chicken noodle"}});
    struct Case {
        const char* text;
        std::set<FoodKey> logged;
        std::vector<int> order;
    };
    const Case cases[] = {
        // A word's start, at the name's start, shorter first; inside a word last.
        {"oat", {}, {3, 5, 1}},
        // The first part before later parts; within a part, shorter names first.
        {"chicken", {}, {6, 4, 11, 2}},
        // A short ending still counts as the whole word; a longer word after it; "Mammy-apple" holds
        // "apple" inside one word.
        {"apple", {}, {8, 10, 9, 7}},
        // Foods the profile logged come before others that fit as well.
        {"chicken", {FoodKey(4, 1)}, {4, 6, 11, 2}},
        // Several terms: the worse fit of the two decides.
        {"chicken noodle", {}, {11, 2}},
    };
    for (const Case& c : cases) {
        FoodMatchList found = FoodSearch::Run(mgr, c.text);
        FoodSearch::Rank(mgr, found, FoodSearch::SplitTerms(c.text), c.logged);
        EXPECT_EQ(c.order, Keys(found)) << c.text;
    }
}
