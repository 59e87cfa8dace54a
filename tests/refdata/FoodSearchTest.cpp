#include "refdata/FoodSearch.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/EverydayFoods.h"

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
    // Ranking stops too, and leaves the list as it was.
    FoodMatchList found = *FoodSearch::First(mgr, "milk");
    EXPECT_FALSE(FoodSearch::Rank(mgr, found, {"milk"}, {}, nullptr, &cancel));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Keys(found));
}

// The flag a text hands out stops work on its results (the view's ranking) once the user has
// typed on or the search was dropped; and a worker holding it never takes up the newer text's
// terms, which it would rank by the old terms and then drop as cancelled.
TEST_F(Search, ANewerTextRaisesTheFlagOfTheOlderAndKeepsItsWorkerOff) {
    CFoodSearchContext ctx;
    const auto first = ctx.SetText("milk");
    EXPECT_FALSE(first->load());
    const auto second = ctx.SetText("milk whole");
    EXPECT_TRUE(first->load());
    EXPECT_FALSE(second->load());
    EXPECT_FALSE(ctx.ProcessNext(mgr, first.get()));
    EXPECT_EQ(0u, ctx.ResultCount());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Keys(*ctx.ProcessNext(mgr, second.get())));
    ctx.Cancel();
    EXPECT_TRUE(second->load());
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

// Many places of a term in one long name: the whole word after a run of places inside a word, or
// a long word that starts with it. Ranking reads each name once, so this is as quick as any.
TEST(FoodSearch, RankFindsTheBestPlaceInLongNamesOfManyHits) {
    TempDir dir;
    CDataSourceMgr mgr;
    std::string repeated;
    for (int i = 0; i < 50000; ++i) repeated += "ab";
    LoadFoods(mgr, dir, {{1, "Cab"}, {2, repeated + ", raw"}, {3, "X" + repeated + " ab"}, {4, "aab" + repeated}});
    FoodMatchList found = FoodSearch::Run(mgr, "ab");
    ASSERT_TRUE(FoodSearch::Rank(mgr, found, {"ab"}));
    // 3: a whole word; 2: the start of a longer word; 1 and 4 inside a word, the shorter first.
    EXPECT_EQ((std::vector<int>{3, 2, 1, 4}), Keys(found));
}

// The everyday form of a food first: the one named by just the typed words or the profile's own,
// then the list's other foods whose plain names hold the words, then the rest.
TEST(FoodSearch, RankPutsTheEverydayFormFirst) {
    TempDir dir;
    CDataSourceMgr mgr;
    LoadFoods(mgr, dir,
              {{1, "Milk, sheep, fluid"},
               {2, "Milk, dry, whole"},
               {3, "Milk, whole, 3.25% milkfat, with added vitamin D"},
               {4, "Buttermilk, dried"},
               {5, "Milk, reduced fat, fluid, 2% milkfat"},
               {6, "Candies, milk chocolate"},
               {7, "Beverages, coffee, brewed"},
               {8, "Coffee, instant, powder"},
               {9, "Egg, yolk, dried"},
               {10, "Egg, whole, raw, fresh"},
               {11, "Eggplant, raw"}});
    CEverydayFoods everyday;
    everyday.Add(FoodKey(3, 1), {"milk", "whole milk"});
    everyday.Add(FoodKey(5, 1), {"2% milk", "reduced fat milk"});
    everyday.Add(FoodKey(6, 1), {"milk chocolate"});
    everyday.Add(FoodKey(7, 1), {"coffee"});
    everyday.Add(FoodKey(10, 1), {"egg"});
    struct Case {
        const char* text;
        std::set<FoodKey> logged;
        std::vector<int> order;
    };
    const Case cases[] = {
        // Named by just "milk"; then the list's other milks, the first part first; then the rest,
        // shorter names first; "buttermilk" holds the word inside another.
        {"milk", {}, {3, 5, 6, 2, 1, 4}},
        // Word order and case do not count; "whole milk" is just these words.
        {"WHOLE milk", {}, {3, 2}},
        // A plain name counts even where the food's name puts the word later.
        {"coffee", {}, {7, 8}},
        // The list's food before a dried one; a longer word last.
        {"egg", {}, {10, 9, 11}},
        // Typing on: "mil" is "milk" without its last letter.
        {"mil", {}, {3, 5, 6, 2, 1, 4}},
        // The profile's own foods stand with the one the typed words name: the first part first,
        // then the logged one; and before the list's other foods.
        {"milk", {FoodKey(1, 1)}, {1, 3, 5, 6, 2, 4}},
        {"milk", {FoodKey(6, 1)}, {3, 6, 5, 2, 1, 4}},
    };
    for (const Case& c : cases) {
        FoodMatchList found = FoodSearch::Run(mgr, c.text);
        ASSERT_TRUE(FoodSearch::Rank(mgr, found, FoodSearch::SplitTerms(c.text), c.logged, &everyday)) << c.text;
        EXPECT_EQ(c.order, Keys(found)) << c.text;
    }
}

// Results show which table a food comes from only where another table has a food of that name.
TEST(FoodSearch, LabelsNameTheTableWhereTwoTablesHoldOneName) {
    TempDir dir;
    CDataSourceMgr mgr;
    LoadFoods(mgr, dir, {{1, "Milk, whole"}, {2, "Milk, skim"}, {3, "Oat bar"}});
    dir.Write("second.xml",
              "<DataSource Name=\"Second\" ID=\"2\"><FoodGroups><FoodGroup id=\"All\" code=\"1\">"
              "<Food Name=\"MILK, WHOLE\" key=\"1\"><EnergyFactors/><Units main=\"1\"/></Food>"
              "<Food Name=\"Oat bar (copy)\" key=\"2\"><EnergyFactors/><Units main=\"1\"/></Food>"
              "</FoodGroup></FoodGroups></DataSource>");
    std::string error;
    ASSERT_TRUE(mgr.AddTable(dir.File("second.xml"), error)) << error;
    EXPECT_EQ((std::vector<std::string>{"Milk, whole (Search)", "Milk, skim", "MILK, WHOLE (Second)"}),
              FoodSearch::Labels(mgr, FoodSearch::Run(mgr, "milk")));
    EXPECT_EQ((std::vector<std::string>{"Oat bar", "Oat bar (copy)"}),
              FoodSearch::Labels(mgr, FoodSearch::Run(mgr, "oat")));
}

// A copy's name: free of every food's name, counted on from the original's.
TEST(FoodSearch, CopyNameIsOneNoFoodHas) {
    TempDir dir;
    CDataSourceMgr mgr;
    LoadFoods(mgr, dir,
              {{1, "Oat bar"}, {2, "OAT BAR (COPY)"}, {3, "Oat bar (copy 3)"}, {4, "Pie (copy of mine)"}, {5, "Tea"}});
    const std::pair<const char*, const char*> cases[] = {
        {"Tea", "Tea (copy)"},
        // Case aside, "(copy)" is taken; so is "(copy 3)", but not "(copy 2)".
        {"Oat bar", "Oat bar (copy 2)"},
        // A copy of a copy counts on from the original.
        {"Oat bar (copy)", "Oat bar (copy 2)"},
        {"Oat bar (copy 3)", "Oat bar (copy 2)"},
        // Only "(copy)" and "(copy N)" are the program's own endings.
        {"Pie (copy of mine)", "Pie (copy of mine) (copy)"},
    };
    for (const auto& [name, copy] : cases) EXPECT_EQ(copy, CopyName(mgr.Foods(), name)) << name;
}
