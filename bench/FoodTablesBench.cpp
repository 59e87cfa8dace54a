// Loading every food table the program starts with: the USDA data source, the Indian table when
// set-up built it, and the user's own table with 10,000 foods and 1,000 recipes, side by side with
// `xmllint --stream --noout` over the same files. And adding one food to a user's table of
// 200,000 foods, as one `velmora-cli foods add` does: read the table, add, write it whole.

#include "refdata/DataSourceMgr.h"
#include "refdata/MyFoods.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kOwnFoods = 10000;
constexpr int kRecipes = 1000;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Writes a table of the user's own foods: label-sized foods (15 values, a portion) and recipes of
// five ingredients, half from the data source (when it has foods) and half of the user's own.
void WriteOwnFoods(const std::string& path, const CDataSourceMgr& usda, int ownFoods = kOwnFoods,
                   int recipes = kRecipes) {
    std::mt19937 random(42);
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DataSource Name=\"My Foods\" ID=\"1000\" version=\"1\" "
           "nextKey=\""
        << ownFoods + recipes + 1 << "\">\n  <FoodGroups>\n    <FoodGroup id=\"My Foods\" code=\"1\">\n";
    const int gids[] = {1, 3, 4, 5, 10, 11, 12, 13, 16, 17, 20, 27, 28, 29, 42};
    for (int k = 1; k <= ownFoods; ++k) {
        out << "      <Food Name=\"Own food " << k << ", brand " << k % 97 << "\" source=\"1000\" key=\"" << k
            << "\">\n        <Nutrition>\n";
        for (int gid : gids) out << "          <E N=\"" << gid << "\" V=\"" << (random() % 50000) / 100.0 << "\"/>\n";
        out << "        </Nutrition>\n        <EnergyFactors P=\"4\" F=\"9\" C=\"4\" A=\"7\"/>\n        <Units>\n"
               "          <E M=\"g\" K=\"1\"/>\n          <E M=\"serving\" K=\"30\"/>\n        </Units>\n      "
               "</Food>\n";
    }
    out << "    </FoodGroup>\n    <FoodGroup id=\"My Recipes\" code=\"2\">\n";
    const auto& index = usda.Foods();
    for (int r = 0; r < recipes; ++r) {
        const int k = ownFoods + 1 + r;
        out << "      <Food Name=\"Recipe " << r << "\" source=\"1000\" key=\"" << k
            << "\">\n        <Nutrition/>\n        <EnergyFactors P=\"4\" F=\"9\" C=\"4\" A=\"7\"/>\n"
               "        <Units><E M=\"g\" K=\"1\"/></Units>\n        <Recipe cookedWeight=\"0\" servings=\"4\">\n";
        for (int i = 0; i < 5; ++i) {
            FoodKey key(1 + static_cast<int>(random() % ownFoods), 1000);
            if (i % 2 == 0 && index.Size() > 0) key = index[random() % index.Size()].key;
            out << "          <Ingredient source=\"" << key.source << "\" key=\"" << key.key
                << "\" name=\"x\" amount=\"100\" unit=\"g\" grams=\"100\"/>\n";
        }
        out << "        </Recipe>\n      </Food>\n";
    }
    out << "    </FoodGroup>\n  </FoodGroups>\n</DataSource>\n";
}

// Wall time of `xmllint --stream --noout` over the files, or a negative time when it could not run.
double XmllintSeconds(const std::vector<std::string>& files) {
    std::vector<std::string> args = {"xmllint", "--stream", "--noout"};
    args.insert(args.end(), files.begin(), files.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xmllint", nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return Seconds(std::chrono::steady_clock::now() - start);
}

void BM_LoadAllTablesVsXmllint(benchmark::State& state) {
    const std::string usda = VELMORA_USDA_FILE;
    const std::string ifct = VELMORA_IFCT_FILE;
    if (!std::filesystem::exists(usda)) {
        state.SkipWithError(("no file " + usda).c_str());
        return;
    }
    const std::string own = (std::filesystem::temp_directory_path() / "velmora-bench-my-foods.xml").string();
    {
        CDataSourceMgr first;
        std::string error;
        first.Load(usda, {}, error);
        WriteOwnFoods(own, first);
    }
    std::vector<std::string> files = {usda};
    if (std::filesystem::exists(ifct)) files.push_back(ifct);
    files.push_back(own);

    double xmllintTotal = 0, loadTotal = 0;
    std::size_t foods = 0;
    for (auto _ : state) {
        const double xmllint = XmllintSeconds(files);
        if (xmllint < 0) {
            state.SkipWithError("xmllint did not run (scripts/setup installs libxml2-utils)");
            break;
        }
        const auto start = std::chrono::steady_clock::now();
        auto mgr = std::make_unique<CDataSourceMgr>();
        std::string error;
        bool ok = mgr->Load(usda, {}, error);
        for (std::size_t i = 1; ok && i + 1 < files.size(); ++i) ok = mgr->AddTable(files[i], error);
        CMyFoods mine(*mgr);
        ok = ok && mine.Load(own, error);
        const double load = Seconds(std::chrono::steady_clock::now() - start);
        if (!ok) {
            state.SkipWithError(error.c_str());
            break;
        }
        foods = mgr->Foods().Size();
        state.SetIterationTime(load);
        xmllintTotal += xmllint;
        loadTotal += load;
    }
    std::filesystem::remove(own);
    state.counters["xmllint_s"] = benchmark::Counter(xmllintTotal, benchmark::Counter::kAvgIterations);
    state.counters["load_s"] = benchmark::Counter(loadTotal, benchmark::Counter::kAvgIterations);
    state.counters["load_per_xmllint"] = xmllintTotal > 0 ? loadTotal / xmllintTotal : 0;
    state.counters["tables"] = static_cast<double>(files.size());
    state.counters["foods"] = static_cast<double>(foods);
}
BENCHMARK(BM_LoadAllTablesVsXmllint)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Reading the table and adding one food to it, timed apart; the peak memory of the process.
void BM_AddOneFoodToALargeTable(benchmark::State& state) {
    const int ownFoods = static_cast<int>(state.range(0));
    const auto folder = std::filesystem::temp_directory_path() / "velmora-bench-large-table";
    std::filesystem::create_directories(folder);
    const std::string seed = (folder / "seed.xml").string();
    const std::string own = (folder / "my-foods.xml").string();
    const CDataSourceMgr noTables;
    WriteOwnFoods(seed, noTables, ownFoods, ownFoods / 100);
    double loadTotal = 0, addTotal = 0;
    for (auto _ : state) {
        std::filesystem::copy_file(seed, own, std::filesystem::copy_options::overwrite_existing);
        auto start = std::chrono::steady_clock::now();
        CDataSourceMgr tables;
        CMyFoods mine(tables);
        std::string error;
        bool ok = mine.Load(own, error);
        const double load = Seconds(std::chrono::steady_clock::now() - start);
        start = std::chrono::steady_clock::now();
        MyFood food;
        food.food.SetName("One more");
        food.food.SetNutrientValue(1, 100);
        ok = ok && mine.Add(food, error).has_value();
        const double add = Seconds(std::chrono::steady_clock::now() - start);
        if (!ok) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.SetIterationTime(load + add);
        loadTotal += load;
        addTotal += add;
    }
    std::filesystem::remove_all(folder);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["load_s"] = benchmark::Counter(loadTotal, benchmark::Counter::kAvgIterations);
    state.counters["add_s"] = benchmark::Counter(addTotal, benchmark::Counter::kAvgIterations);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_AddOneFoodToALargeTable)->Arg(200000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
