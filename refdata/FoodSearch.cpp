#include "FoodSearch.h"

#include "DataSourceMgr.h"

#include <algorithm>
#include <cstring>
#include <tuple>

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

// How a term stands in the name: as a whole word, or one with a short ending ("apple" in
// "Apples"), 0; at the start of a longer word ("Applebee's") 1; inside a word 2; not at all 3. And
// where its best place is: at the very start of the name 0, elsewhere in the first comma-separated
// part 1, after it 2.
struct Fit {
    int word = 3;
    int part = 2;
};

constexpr std::size_t kShortEnding = 2;

Fit FitOf(std::string_view name, std::string_view term) {
    Fit best;
    if (term.empty()) return best;
    const std::size_t comma = name.find(',');
    for (std::size_t at = name.find(term); at != std::string_view::npos; at = name.find(term, at + 1)) {
        const bool starts = at == 0 || !IsWordChar(name[at - 1]);
        std::size_t end = at + term.size();
        while (end < name.size() && IsWordChar(name[end])) ++end;
        const int word = !starts ? 2 : end - at - term.size() <= kShortEnding ? 0 : 1;
        const int part = at == 0 ? 0 : (comma == std::string_view::npos || at < comma) ? 1 : 2;
        if (word < best.word || (word == best.word && part < best.part)) best = {word, part};
    }
    return best;
}

}  // namespace

void Rank(const CDataSourceMgr& source, FoodMatchList& matches, const std::vector<std::string>& terms,
          const std::set<FoodKey>& logged) {
    struct Key {
        int word = 0;  // the worst fit of any term
        int part = 0;  // the sum of the terms' places
        int notLogged = 0;
        std::size_t length = 0;
    };
    std::vector<std::string> upperTerms;
    for (const std::string& term : terms)
        if (!term.empty()) upperTerms.push_back(ToUpperAscii(term));
    const CFoodIndex& index = source.Foods();
    std::vector<std::pair<Key, FoodMatch>> keyed;
    keyed.reserve(matches.size());
    for (const FoodMatch& m : matches) {
        const std::string_view name = m.slot < index.Size() ? index.UpperName(m.slot) : std::string_view();
        Key key;
        key.length = name.size();
        key.notLogged = logged.count(m.key) ? 0 : 1;
        for (const std::string& term : upperTerms) {
            const Fit fit = FitOf(name, term);
            key.word = std::max(key.word, fit.word);
            key.part += fit.part;
        }
        keyed.emplace_back(key, m);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const Key& x = a.first;
        const Key& y = b.first;
        return std::tie(x.word, x.part, x.notLogged, x.length) < std::tie(y.word, y.part, y.notLogged, y.length);
    });
    for (std::size_t i = 0; i < matches.size(); ++i) matches[i] = keyed[i].second;
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

void CFoodSearchContext::SetText(const std::string& text) {
    std::vector<std::string> terms = FoodSearch::SplitTerms(text);
    std::lock_guard lock(mutex_);
    Reset();
    terms_ = std::move(terms);
}

void CFoodSearchContext::Cancel() {
    std::lock_guard lock(mutex_);
    Reset();
    terms_.clear();
    state_ = State::Done;
}

std::shared_ptr<const FoodMatchList> CFoodSearchContext::ProcessNext(const CDataSourceMgr& source) {
    std::unique_lock lock(mutex_);
    if (busy_ || results_.size() >= terms_.size()) return nullptr;
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
