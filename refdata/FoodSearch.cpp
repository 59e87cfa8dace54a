#include "FoodSearch.h"

#include "DataSourceMgr.h"
#include "EverydayFoods.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

namespace FoodSearch {

namespace {

// Foods scanned between two looks at the cancel flag.
constexpr std::size_t kChunk = 16384;

bool Cancelled(const CancelFlag* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

bool Contains(std::string_view upperName, const std::string& upperTerm) {
    return ::memmem(upperName.data(), upperName.size(), upperTerm.data(), upperTerm.size()) != nullptr;
}

// Hyphens and apostrophes join words: "apple" sits inside "Mammy-apple", not at a word's start.
bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' || u == '\'' ||
           u >= 0x80;
}

// A term with its Knuth-Morris-Pratt failure table, so that finding every place of it in a name
// takes one pass over the name: "AAAA…" holds "AA" at every letter, and a search restarted after
// each hit would read the name again and again.
struct Term {
    std::string text;  // upper-cased, not empty
    std::vector<std::size_t> fail;

    explicit Term(std::string upper) : text(std::move(upper)), fail(text.size(), 0) {
        for (std::size_t i = 1, k = 0; i < text.size(); ++i) {
            while (k > 0 && text[i] != text[k]) k = fail[k - 1];
            if (text[i] == text[k]) ++k;
            fail[i] = k;
        }
    }
};

// How a term stands in the name: as a whole word, or one with a short ending ("apple" in
// "Apples"), 0; at the start of a longer word ("Applebee's") 1; inside a word 2; not at all 3. And
// where its best place is: at the very start of the name 0, elsewhere in the first comma-separated
// part 1, after it 2.
struct Fit {
    int word = 3;
    int part = 2;
};

constexpr std::size_t kShortEnding = 2;

Fit FitOf(std::string_view name, const Term& term) {
    Fit best;
    const std::string& t = term.text;
    const std::size_t comma = name.find(',');
    // The end of the word around the last hit's end: hits only move right, so each letter is
    // looked at once however many hits share a word.
    std::size_t wordEnd = 0;
    for (std::size_t i = 0, k = 0; i < name.size(); ++i) {
        while (k > 0 && name[i] != t[k]) k = term.fail[k - 1];
        if (name[i] == t[k]) ++k;
        if (k < t.size()) continue;
        k = term.fail[k - 1];
        const std::size_t at = i + 1 - t.size();
        const std::size_t end = i + 1;
        if (wordEnd < end) {
            wordEnd = end;
            while (wordEnd < name.size() && IsWordChar(name[wordEnd])) ++wordEnd;
        }
        const bool starts = at == 0 || !IsWordChar(name[at - 1]);
        const int word = !starts ? 2 : wordEnd - end <= kShortEnding ? 0 : 1;
        const int part = at == 0 ? 0 : (comma == std::string_view::npos || at < comma) ? 1 : 2;
        if (word < best.word || (word == best.word && part < best.part)) best = {word, part};
        if (best.word == 0 && best.part == 0) break;
    }
    return best;
}

// A term and a word of a plain name as a person types them: the same word, give or take a short
// ending ("apples" for "apple"), 0; the start of the word, as while typing on, 1; neither 2.
int TypedFit(std::string_view term, std::string_view word) {
    const std::string_view shorter = term.size() <= word.size() ? term : word;
    const std::string_view longer = term.size() <= word.size() ? word : term;
    if (longer.substr(0, shorter.size()) != shorter) return 2;
    if (longer.size() - shorter.size() <= kShortEnding) return 0;
    return shorter == term ? 1 : 2;
}

// How the terms meet an everyday food's plain names: one of them is just the terms 0; the terms
// all stand in one of them 1; neither 2.
int TypedNamesFit(const std::vector<std::vector<std::string>>& names, const std::vector<Term>& terms) {
    int best = 2;
    for (const std::vector<std::string>& words : names) {
        std::vector<bool> wordMet(words.size(), false);
        bool all = true, whole = true;
        for (const Term& term : terms) {
            int fit = 2;
            for (std::size_t w = 0; w < words.size(); ++w) {
                const int f = TypedFit(term.text, words[w]);
                if (f == 0) wordMet[w] = true;
                fit = std::min(fit, f);
            }
            all = all && fit < 2;
            whole = whole && fit == 0;
        }
        if (!all) continue;
        const bool exact = whole && std::find(wordMet.begin(), wordMet.end(), false) == wordMet.end();
        best = std::min(best, exact ? 0 : 1);
    }
    return best;
}

}  // namespace

bool Rank(const CDataSourceMgr& source, FoodMatchList& matches, const std::vector<std::string>& terms,
          const std::set<FoodKey>& logged, const CEverydayFoods* everyday, const CancelFlag* cancel) {
    struct Key {
        int word = 0;   // the worst fit of any term; 0 for the food the everyday list names by the terms
        int known = 3;  // logged or named by the terms 0, everyday with the terms in a plain name 1, everyday 2
        int part = 0;   // the sum of the terms' places
        int notLogged = 0;
        std::size_t length = 0;
    };
    std::vector<Term> upperTerms;
    for (const std::string& term : terms)
        if (!term.empty()) upperTerms.emplace_back(ToUpperAscii(term));
    const CFoodIndex& index = source.Foods();
    std::vector<std::pair<Key, FoodMatch>> keyed;
    keyed.reserve(matches.size());
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (i % 1024 == 0 && Cancelled(cancel)) return false;
        const FoodMatch& m = matches[i];
        const bool indexed = m.slot < index.Size() && index[m.slot].food == m.food;
        const std::string upper = indexed ? std::string() : ToUpperAscii(m.food->Name());
        const std::string_view name = indexed ? index.UpperName(m.slot) : std::string_view(upper);
        Key key;
        key.length = name.size();
        key.notLogged = logged.count(m.key) ? 0 : 1;
        for (const Term& term : upperTerms) {
            const Fit fit = FitOf(name, term);
            key.word = std::max(key.word, fit.word);
            key.part += fit.part;
        }
        const auto* typed = everyday ? everyday->TypedWords(m.key) : nullptr;
        const int typedFit = typed ? TypedNamesFit(*typed, upperTerms) : 3;
        // What the typed words name fits them as a whole word does, wherever its name puts them
        // ("coffee": "Beverages, coffee, brewed").
        if (typedFit == 0) key.word = 0;
        key.known = key.notLogged == 0 ? 0 : typedFit;
        keyed.emplace_back(key, m);
    }
    if (Cancelled(cancel)) return false;
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const Key& x = a.first;
        const Key& y = b.first;
        return std::tie(x.word, x.known, x.part, x.notLogged, x.length) <
               std::tie(y.word, y.known, y.part, y.notLogged, y.length);
    });
    for (std::size_t i = 0; i < matches.size(); ++i) matches[i] = keyed[i].second;
    return true;
}

std::vector<std::string> Labels(const CDataSourceMgr& source, const FoodMatchList& matches) {
    std::vector<std::string> labels;
    labels.reserve(matches.size());
    // The tables each upper-cased name was found in.
    std::unordered_map<std::string, std::set<std::int32_t>> tablesOfName;
    std::vector<std::string> upper;
    upper.reserve(matches.size());
    for (const FoodMatch& m : matches) {
        upper.push_back(ToUpperAscii(m.food->Name()));
        tablesOfName[upper.back()].insert(m.key.source);
    }
    std::map<std::int32_t, std::string> tableNames;
    for (const FoodTableInfo& table : source.Tables())
        if (table.root && !table.root->name.empty()) tableNames[table.sourceId] = table.root->name;
    const auto tableName = [&tableNames](std::int32_t id) {
        const auto it = tableNames.find(id);
        return it != tableNames.end() ? it->second : "table " + std::to_string(id);
    };
    for (std::size_t i = 0; i < matches.size(); ++i) {
        std::string label = matches[i].food->Name();
        if (tablesOfName[upper[i]].size() > 1) label += " (" + tableName(matches[i].key.source) + ")";
        labels.push_back(std::move(label));
    }
    return labels;
}

std::vector<std::string> SplitTerms(const std::string& text) {
    std::vector<std::string> terms;
    if (text.empty()) return terms;
    std::size_t i = 0;
    for (;;) {
        const std::size_t space = text.find(' ', i);
        terms.push_back(text.substr(i, space == std::string::npos ? std::string::npos : space - i));
        if (space == std::string::npos) break;
        i = text.find_first_not_of(' ', space);
        if (i == std::string::npos) break;
    }
    return terms;
}

std::optional<FoodMatchList> First(const CDataSourceMgr& source, std::string_view term, const CancelFlag* cancel) {
    FoodMatchList out;
    if (term.empty()) return out;
    const std::string upper = ToUpperAscii(term);
    const CFoodIndex& index = source.Foods();
    const char* text = index.UpperNames().data();
    const std::size_t n = index.Size();
    // One pass over all names at once: far fewer calls than one search per name, and the names lie
    // side by side in memory.
    for (std::size_t chunk = 0; chunk < n; chunk += kChunk) {
        if (Cancelled(cancel)) return std::nullopt;
        const std::size_t chunkEnd = std::min(n, chunk + kChunk);
        const std::size_t end = index.NameStart(chunkEnd);
        std::size_t slot = chunk;
        std::size_t pos = index.NameStart(slot);
        while (pos < end) {
            const void* hit = ::memmem(text + pos, end - pos, upper.data(), upper.size());
            if (!hit) break;
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - text);
            // The food whose name holds the hit: the last one starting at or before it.
            std::size_t lo = slot, hi = chunkEnd;
            while (hi - lo > 1) {
                const std::size_t mid = lo + (hi - lo) / 2;
                (index.NameStart(mid) <= at ? lo : hi) = mid;
            }
            slot = lo;
            const FoodIndexEntry& e = index[slot];
            out.push_back(FoodMatch{e.key, e.food, static_cast<std::uint32_t>(slot)});
            pos = index.NameStart(++slot);
        }
    }
    return out;
}

std::optional<FoodMatchList> Narrow(const CDataSourceMgr& source, const FoodMatchList& previous, std::string_view term,
                                    const CancelFlag* cancel) {
    FoodMatchList out;
    if (term.empty()) return out;
    const std::string upper = ToUpperAscii(term);
    const CFoodIndex& index = source.Foods();
    for (std::size_t i = 0; i < previous.size(); ++i) {
        if (i % kChunk == 0 && Cancelled(cancel)) return std::nullopt;
        const FoodMatch& m = previous[i];
        const bool indexed = m.slot < index.Size() && index[m.slot].food == m.food;
        if (indexed ? Contains(index.UpperName(m.slot), upper) : Contains(ToUpperAscii(m.food->Name()), upper))
            out.push_back(m);
    }
    return out;
}

FoodMatchList Run(const CDataSourceMgr& source, const std::string& text) {
    const std::vector<std::string> terms = SplitTerms(text);
    FoodMatchList list;
    for (std::size_t i = 0; i < terms.size(); ++i)
        list = *(i == 0 ? First(source, terms[i]) : Narrow(source, list, terms[i]));
    return list;
}

}  // namespace FoodSearch

void CFoodSearchContext::Reset() {
    cancel_->store(true);
    cancel_ = std::make_shared<FoodSearch::CancelFlag>(false);
    ++generation_;
    results_.clear();
    busy_ = false;
}

std::shared_ptr<const FoodSearch::CancelFlag> CFoodSearchContext::SetText(const std::string& text) {
    std::vector<std::string> terms = FoodSearch::SplitTerms(text);
    std::lock_guard lock(mutex_);
    Reset();
    terms_ = std::move(terms);
    return cancel_;
}

void CFoodSearchContext::Cancel() {
    std::lock_guard lock(mutex_);
    Reset();
    terms_.clear();
    state_ = State::Done;
}

std::shared_ptr<const FoodMatchList> CFoodSearchContext::ProcessNext(const CDataSourceMgr& source,
                                                                     const FoodSearch::CancelFlag* text) {
    std::unique_lock lock(mutex_);
    if (busy_ || results_.size() >= terms_.size() || (text && text != cancel_.get())) return nullptr;
    busy_ = true;
    state_ = State::Running;
    const std::uint64_t generation = generation_;
    const std::string term = terms_[results_.size()];
    const std::shared_ptr<const FoodMatchList> previous = results_.empty() ? nullptr : results_.back();
    const std::shared_ptr<FoodSearch::CancelFlag> cancel = cancel_;
    lock.unlock();

    // The scan runs without the lock, so the user interface never waits for it.
    std::optional<FoodMatchList> list;
    try {
        list = previous ? FoodSearch::Narrow(source, *previous, term, cancel.get())
                        : FoodSearch::First(source, term, cancel.get());
    } catch (...) {
        lock.lock();
        if (generation == generation_) busy_ = false;
        throw;
    }

    lock.lock();
    if (generation != generation_) return nullptr;
    busy_ = false;
    if (!list) return nullptr;
    auto shared = std::make_shared<const FoodMatchList>(std::move(*list));
    results_.push_back(shared);
    state_ = State::Done;
    return shared;
}

CFoodSearchContext::State CFoodSearchContext::GetState() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::vector<std::string> CFoodSearchContext::Terms() const {
    std::lock_guard lock(mutex_);
    return terms_;
}

std::size_t CFoodSearchContext::ResultCount() const {
    std::lock_guard lock(mutex_);
    return results_.size();
}

std::shared_ptr<const FoodMatchList> CFoodSearchContext::LastResult() const {
    std::lock_guard lock(mutex_);
    return results_.empty() ? nullptr : results_.back();
}

void CFoodSearchContext::SetEverydayFoods(std::shared_ptr<const CEverydayFoods> everyday) {
    std::lock_guard lock(mutex_);
    everyday_ = std::move(everyday);
}

std::shared_ptr<const CEverydayFoods> CFoodSearchContext::EverydayFoods() const {
    std::lock_guard lock(mutex_);
    return everyday_;
}
