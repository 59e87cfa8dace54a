#include "FoodSearch.h"

#include "DataSourceMgr.h"

#include <algorithm>
#include <cstring>

namespace FoodSearch {

namespace {

// Foods scanned between two looks at the cancel flag.
constexpr std::size_t kChunk = 16384;

bool Cancelled(const CancelFlag* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

bool Contains(std::string_view upperName, const std::string& upperTerm) {
    return ::memmem(upperName.data(), upperName.size(), upperTerm.data(), upperTerm.size()) != nullptr;
}

}  // namespace

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

bool StartsOnEdit(const std::string& text) {
    // Characters, not bytes: continuation bytes of UTF-8 sequences do not count.
    const auto length =
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    return length % 3 == 0;
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
