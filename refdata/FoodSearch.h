#pragma once

#include "FoodKey.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class CDataSourceMgr;
class CDS_Ingredient;
class CEverydayFoods;

// One found food: its key, the food, and its position in the data source's food index (which
// lets a narrowing step reach the upper-cased name without a look-up).
struct FoodMatch {
    FoodKey key;
    const CDS_Ingredient* food = nullptr;
    std::uint32_t slot = 0;

    friend bool operator==(const FoodMatch&, const FoodMatch&) = default;
};
using FoodMatchList = std::vector<FoodMatch>;

namespace FoodSearch {

// The terms of a search text: every run of spaces separates two terms, a leading space yields an
// empty first term (which matches nothing) and trailing spaces yield nothing.
std::vector<std::string> SplitTerms(const std::string& text);

// A stop request for a running scan: scans read it every few thousand foods.
using CancelFlag = std::atomic<bool>;

// Every food of the index whose name contains the term, in FoodKey order; nullopt when cancelled.
// Case does not count (a-z against A-Z); an empty term matches nothing.
std::optional<FoodMatchList> First(const CDataSourceMgr& source, std::string_view term,
                                   const CancelFlag* cancel = nullptr);
// The matches of `previous` whose name also contains the term, in their order; nullopt when
// cancelled.
std::optional<FoodMatchList> Narrow(const CDataSourceMgr& source, const FoodMatchList& previous, std::string_view term,
                                    const CancelFlag* cancel = nullptr);
// The whole search of a text: the first term over the index, each further term narrowing the list
// before. Answers the last list (empty when the text has no terms).
FoodMatchList Run(const CDataSourceMgr& source, const std::string& text);

// Orders found foods the way a person scans a list for them, and answers true; false when `cancel`
// was raised meanwhile (the matches then keep their order).
// 1. How the terms stand in the name: every term a whole word (or one with a short ending: "apple"
//    in "Apples"), then the start of a longer word, before a term inside a word ("oat" finds oats
//    before goat's milk); the worst term decides. A food that `everyday` names by just the typed
//    words ("milk": "Milk, whole, 3.25% milkfat") fits as a whole word.
// 2. Among foods that fit alike, the everyday ones: those in `logged` (the profile's history) and
//    the one `everyday` names by the typed words; then other everyday foods whose plain names hold
//    the terms; then the list's other foods; then the rest.
// 3. Foods whose name starts with the terms, then those whose first comma-separated part holds
//    them ("Chicken, roasted" before "Babyfood, chicken"); then logged foods; then shorter names;
//    equal foods keep their order.
// So "milk" puts whole milk first, unless the profile logged another milk of the same standing.
// Linear in the length of each name, however often a term recurs in it.
bool Rank(const CDataSourceMgr& source, FoodMatchList& matches, const std::vector<std::string>& terms,
          const std::set<FoodKey>& logged = {}, const CEverydayFoods* everyday = nullptr,
          const CancelFlag* cancel = nullptr);

// What a result list shows for each match: the food's name, followed by its table's name in
// parentheses where a match of another table has the same name (case aside), so that a copy in
// My Foods and its original can be told apart.
std::vector<std::string> Labels(const CDataSourceMgr& source, const FoodMatchList& matches);

}  // namespace FoodSearch

// The search shared by the search box and its worker threads: the terms of the latest text and one
// result list per processed term. Every member is guarded by one mutex; scans run outside it.
//
// A worker calls ProcessNext until it answers null, handing each list it gets to the view. A new
// text (SetText) stops scans of the old text early and drops their results, so a worker started
// for an old text finds nothing more to do. At most one worker processes a given text's terms at a
// time, so no term is processed twice.
class CFoodSearchContext {
public:
    enum class State { Created = 0, Running = 2, Done = 3 };

    // Replaces the terms by those of the text and drops every result list. Answers the flag the
    // next text (or Cancel) raises, for work on this text's results outside the context (ranking).
    std::shared_ptr<const FoodSearch::CancelFlag> SetText(const std::string& text);
    // Stops any running scan and drops terms and results (for instance before the data source goes).
    void Cancel();
    // Processes the next unprocessed term against the data source and answers the new last result
    // list; null when every term is processed, another worker is busy with this text, or the text
    // was replaced meanwhile. The list stays valid for as long as the caller holds it. Given the
    // flag SetText answered, only that text's terms are processed: a worker started for one text
    // never takes up the next, whose own worker ranks and shows it.
    std::shared_ptr<const FoodMatchList> ProcessNext(const CDataSourceMgr& source,
                                                     const FoodSearch::CancelFlag* text = nullptr);

    State GetState() const;
    std::vector<std::string> Terms() const;
    std::size_t ResultCount() const;
    // The last result list, or null.
    std::shared_ptr<const FoodMatchList> LastResult() const;

    // The everyday foods the results are ranked by; null when there is no list.
    void SetEverydayFoods(std::shared_ptr<const CEverydayFoods> everyday);
    std::shared_ptr<const CEverydayFoods> EverydayFoods() const;

private:
    void Reset();

    mutable std::mutex mutex_;
    std::vector<std::string> terms_;
    std::vector<std::shared_ptr<const FoodMatchList>> results_;
    State state_ = State::Created;
    bool busy_ = false;  // a worker is scanning the next term of the current text
    std::uint64_t generation_ = 0;
    // Raised to stop the current scan; a fresh flag for each text.
    std::shared_ptr<FoodSearch::CancelFlag> cancel_ = std::make_shared<FoodSearch::CancelFlag>(false);
    std::shared_ptr<const CEverydayFoods> everyday_;
};
