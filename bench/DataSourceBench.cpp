// Loading and searching a data source of 500,000 foods. The load is measured side by side with
// `xmllint --stream --noout` on the same file (the cost of merely reading it), together with the
// peak memory of each. VELMORA_BENCH_DATASOURCE=FILE keeps the generated file (generated there when
// it does not exist yet); otherwise it goes to a temporary folder removed at exit.

#include "DataSourceGen.h"

#include "refdata/DataSourceMgr.h"
#include "refdata/FoodSearch.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kFoods = 500000;

class BenchFile {
public:
    BenchFile() {
        if (const char* keep = std::getenv("VELMORA_BENCH_DATASOURCE")) {
            path_ = keep;
        } else {
            std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
            if (!::mkdtemp(tmpl.data())) throw std::runtime_error("can't create a temporary folder");
            folder_ = tmpl;
            path_ = folder_ + "/foods.xml";
        }
        if (!std::filesystem::exists(path_)) WriteBenchDataSource(path_, kFoods);
    }
    ~BenchFile() {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
};

const std::string& DataSourcePath() {
    static BenchFile file;
    return file.Path();
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Resets the process's peak resident size so that the next reading covers only what follows.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

double PeakMemoryMB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// Runs xmllint on the file; answers its wall time and peak memory (MB), or a negative time when
// it could not run. Until it starts the program the child shares this process's memory, whose
// peak counts as the child's, so freed memory is handed back and the peak reset first.
std::pair<double, double> RunXmllint(const std::string& path) {
    ::malloc_trim(0);
    ResetPeakMemory();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {"xmllint", "--stream", "--noout", path};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "xmllint", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {-1, 0};
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {-1, 0};
    return {seconds, static_cast<double>(usage.ru_maxrss) / 1024.0};
}

void LoadVsXmllint(benchmark::State& state, const std::string& path) {
    if (!std::filesystem::exists(path)) {
        state.SkipWithError(("no file " + path).c_str());
        return;
    }
    double xmllintTotal = 0, loadTotal = 0, loadPeak = 0, xmllintPeak = 0;
    std::size_t foods = 0;
    for (auto _ : state) {
        const auto [xmllintSeconds, xmllintMB] = RunXmllint(path);
        if (xmllintSeconds < 0) {
            state.SkipWithError("xmllint did not run (scripts/setup installs libxml2-utils)");
            return;
        }
        ResetPeakMemory();
        const auto start = std::chrono::steady_clock::now();
        auto mgr = std::make_unique<CDataSourceMgr>();
        std::string error;
        const bool ok = mgr->Load(path, {}, error);
        const double loadSeconds = Seconds(std::chrono::steady_clock::now() - start);
        if (!ok) {
            state.SkipWithError(error.c_str());
            return;
        }
        foods = mgr->Foods().Size();
        loadPeak = std::max(loadPeak, PeakMemoryMB());
        xmllintPeak = std::max(xmllintPeak, xmllintMB);
        mgr.reset();
        state.SetIterationTime(loadSeconds);
        xmllintTotal += xmllintSeconds;
        loadTotal += loadSeconds;
    }
    state.counters["xmllint_s"] = benchmark::Counter(xmllintTotal, benchmark::Counter::kAvgIterations);
    state.counters["load_s"] = benchmark::Counter(loadTotal, benchmark::Counter::kAvgIterations);
    state.counters["load_per_xmllint"] = loadTotal / xmllintTotal;
    state.counters["load_peak_MB"] = loadPeak;
    state.counters["xmllint_peak_MB"] = xmllintPeak;
    state.counters["foods"] = static_cast<double>(foods);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
}
void BM_LoadVsXmllint(benchmark::State& state) { LoadVsXmllint(state, DataSourcePath()); }
BENCHMARK(BM_LoadVsXmllint)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The converted USDA database that set-up builds.
void BM_LoadUsdaVsXmllint(benchmark::State& state) { LoadVsXmllint(state, VELMORA_USDA_FILE); }
BENCHMARK(BM_LoadUsdaVsXmllint)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

const CDataSourceMgr& Loaded() {
    static const std::unique_ptr<CDataSourceMgr> mgr = [] {
        auto m = std::make_unique<CDataSourceMgr>();
        std::string error;
        if (!m->Load(DataSourcePath(), {}, error)) throw std::runtime_error(error);
        return m;
    }();
    return *mgr;
}

// From rare to matching nearly every food.
const char* const kTerms[] = {"123456", "liver", "beef", "raw", "without salt", "a"};

void BM_SearchFirstTerm(benchmark::State& state) {
    const CDataSourceMgr& mgr = Loaded();
    const char* term = kTerms[state.range(0)];
    std::size_t matches = 0;
    for (auto _ : state) {
        FoodMatchList list = *FoodSearch::First(mgr, term);
        matches = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.SetLabel(term);
    state.counters["matches"] = static_cast<double>(matches);
    state.counters["foods"] = static_cast<double>(mgr.Foods().Size());
}
BENCHMARK(BM_SearchFirstTerm)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Narrowing the list of a first term: time per item of the previous list stays the same whatever
// its length (items_per_second).
void BM_SearchNarrow(benchmark::State& state) {
    const CDataSourceMgr& mgr = Loaded();
    const char* term = kTerms[state.range(0)];
    const FoodMatchList previous = *FoodSearch::First(mgr, term);
    std::size_t matches = 0;
    for (auto _ : state) {
        FoodMatchList list = *FoodSearch::Narrow(mgr, previous, "cooked");
        matches = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.SetLabel(std::string(term) + " cooked");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * previous.size()));
    state.counters["previous"] = static_cast<double>(previous.size());
    state.counters["matches"] = static_cast<double>(matches);
}
BENCHMARK(BM_SearchNarrow)->DenseRange(2, 5)->Unit(benchmark::kMicrosecond);

}  // namespace
