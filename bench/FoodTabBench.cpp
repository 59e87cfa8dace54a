// The "Food" tab's costs on the window's thread: expanding a group of the food tree (smart
// hierarchy built, compacted and turned into items) and starting a search, whose scan runs on a
// worker. A group of 1,000 foods with names shaped like the USDA's is made here; with the converted
// USDA file present its largest group is measured too.

#include "refdata/DataSourceMgr.h"
#include "refdata/FoodGroup.h"
#include "refdata/FoodSearch.h"
#include "ui/views/IngredientTree.h"
#include "ui/views/SearchWorkers.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

// One group of `foods` foods whose names share leading words the way a USDA group's do.
std::string WriteOneGroup(int foods) {
    const std::string path = (std::filesystem::temp_directory_path() / "velmora-food-tab-bench.xml").string();
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DataSource Name=\"Bench\" ID=\"9\">\n<Nutrients>"
           "<Nutrient Name=\"Protein\" Units=\"g\" Accuracy=\"2\" id=\"203\" EnergyComponent=\"0\"/></Nutrients>\n"
           "<foodPortions><portion id=\"1\" title=\"cup\"/></foodPortions>\n<FoodGroups>\n"
           "<FoodGroup id=\"Big group\" code=\"1\">\n";
    const char* heads[] = {"Beef", "Cheese", "Milk", "Soup", "Cereals", "Pork", "Fish", "Beverages"};
    const char* middles[] = {"ground", "steak", "whole", "canned", "fresh", "frozen", "dried", "prepared", "raw"};
    const char* tails[] = {"raw", "cooked", "braised", "roasted", "with salt", "without salt", "lean only"};
    for (int i = 0; i < foods; ++i) {
        out << "<Food Name=\"" << heads[i % 8] << ", " << middles[(i / 8) % 9] << ", " << tails[(i / 72) % 7];
        if (i >= 504) out << ", variety " << i;
        out << "\" key=\"" << (i + 1) << "\"><Nutrition><E N=\"3\" V=\"1\"/></Nutrition><EnergyFactors/>"
            << "<Units main=\"1\"><E M=\"1\" K=\"240\"/></Units></Food>\n";
    }
    out << "</FoodGroup>\n</FoodGroups>\n</DataSource>\n";
    return path;
}

const CDataSourceMgr& Load(const std::string& path) {
    static std::map<std::string, std::unique_ptr<CDataSourceMgr>> loaded;
    auto& slot = loaded[path];
    if (!slot) {
        slot = std::make_unique<CDataSourceMgr>();
        std::string error;
        if (!slot->Load(path, {}, error)) throw std::runtime_error(error);
    }
    return *slot;
}

const CDS_FoodGroup* LargestGroup(const CDS_FoodGroup& group) {
    const CDS_FoodGroup* best = &group;
    for (const auto& sub : group.subGroups) {
        const CDS_FoodGroup* candidate = LargestGroup(*sub);
        if (candidate->foods.size() > best->foods.size()) best = candidate;
    }
    return best;
}

void ExpandGroup(benchmark::State& state, const CDataSourceMgr& source) {
    const CDS_FoodGroup* group = LargestGroup(source.RootGroup());
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<CIngredientTree>();
        tree->SetOptions({2, 2, false});
        QTreeWidgetItem* root = tree->AddDataSource(source);
        tree->Populate(root);
        QTreeWidgetItem* item = root;
        if (group != &source.RootGroup())
            for (int i = 0; i < root->childCount(); ++i)
                if (tree->GroupOfItem(root->child(i)) == group) item = root->child(i);
        state.ResumeTiming();
        tree->Populate(item);
        benchmark::DoNotOptimize(item->childCount());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.counters["foods"] = double(group->foods.size());
}

void BM_ExpandGroupOf1000Foods(benchmark::State& state) {
    static const std::string path = WriteOneGroup(1000);
    ExpandGroup(state, Load(path));
}
BENCHMARK(BM_ExpandGroupOf1000Foods)->Unit(benchmark::kMillisecond);

void BM_ExpandLargestUsdaGroup(benchmark::State& state) {
    if (!std::filesystem::exists(VELMORA_USDA_FILE)) {
        state.SkipWithError("no converted USDA file");
        return;
    }
    ExpandGroup(state, Load(VELMORA_USDA_FILE));
}
BENCHMARK(BM_ExpandLargestUsdaGroup)->Unit(benchmark::kMillisecond);

// What a keystroke costs the window: handing the text to the search and starting a worker. The
// scan itself (BM_SearchScan) runs on the worker.
void BM_SearchKeystrokeOnTheWindowThread(benchmark::State& state) {
    const std::string path = std::filesystem::exists(VELMORA_USDA_FILE) ? VELMORA_USDA_FILE : WriteOneGroup(1000);
    const CDataSourceMgr& source = Load(path);
    CFoodSearchContext context;
    CSearchWorkers workers;
    for (auto _ : state) {
        context.SetText("milk whole");
        workers.Launch([&] {
            while (context.ProcessNext(source)) {}
        });
    }
    workers.WaitForAll();
}
BENCHMARK(BM_SearchKeystrokeOnTheWindowThread)->Unit(benchmark::kMicrosecond);

void BM_SearchScan(benchmark::State& state) {
    const std::string path = std::filesystem::exists(VELMORA_USDA_FILE) ? VELMORA_USDA_FILE : WriteOneGroup(1000);
    const CDataSourceMgr& source = Load(path);
    for (auto _ : state) benchmark::DoNotOptimize(FoodSearch::Run(source, "milk whole"));
}
BENCHMARK(BM_SearchScan)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
