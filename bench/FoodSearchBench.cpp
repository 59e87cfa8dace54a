// Ranking found foods whose names are very long: a hostile table may hold a name of a megabyte
// where the typed word recurs at every letter. Ranking reads each name once, so the time per
// letter (bytes_per_second) stays the same from 64 KB to 1 MB.

#include "refdata/DataSourceMgr.h"
#include "refdata/FoodSearch.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// A table of one food whose name is `letters` letters "a" and a last word "a".
std::unique_ptr<CDataSourceMgr> OneLongName(std::size_t letters) {
    std::string folder = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) throw std::runtime_error("can't create a temporary folder");
    const std::string path = folder + "/long.xml";
    {
        std::ofstream out(path);
        out << "<DataSource Name=\"Long\" ID=\"1\"><FoodGroups><FoodGroup id=\"All\" code=\"1\"><Food Name=\""
            << std::string(letters, 'a') << " a\" key=\"1\"><EnergyFactors/><Units main=\"1\"/></Food>"
            << "</FoodGroup></FoodGroups></DataSource>";
    }
    auto mgr = std::make_unique<CDataSourceMgr>();
    std::string error;
    const bool loaded = mgr->Load(path, {}, error);
    std::filesystem::remove_all(folder);
    if (!loaded) throw std::runtime_error(error);
    return mgr;
}

void BM_RankLongName(benchmark::State& state) {
    const std::size_t letters = static_cast<std::size_t>(state.range(0));
    const std::unique_ptr<CDataSourceMgr> mgr = OneLongName(letters);
    const FoodMatchList found = FoodSearch::Run(*mgr, "a");
    // "a" at every letter; "aa" at every letter but inside one word, found again after each hit.
    const std::vector<std::string> terms = {"a", "aa"};
    for (auto _ : state) {
        FoodMatchList ranked = found;
        FoodSearch::Rank(*mgr, ranked, terms);
        benchmark::DoNotOptimize(ranked.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * letters * terms.size()));
}
BENCHMARK(BM_RankLongName)->Arg(1 << 16)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
