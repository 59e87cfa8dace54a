// The user log's hot paths: a day's intakes, and reading and writing a ten-year log measured
// beside libxml2's own parse and serialisation of the same file.

#include "model/Meal.h"
#include "model/UserLog.h"

#include "core/LoadReport.h"
#include "refdata/DataSourceMgr.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <boost/date_time/gregorian/gregorian.hpp>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

namespace {

const Meal::CMealManager& Meals() {
    static Meal::CMealManager meals;
    return meals;
}

const CDataSourceMgr& Foods() {
    static CDataSourceMgr mgr;
    static bool loaded = [] {
        std::string error;
        return mgr.Load(VELMORA_SOURCE_DIR "/tests/data/model/foods.xml", {}, error);
    }();
    (void)loaded;
    return mgr;
}

// A food with values for `nutrients` gids, like a USDA food.
CDS_Ingredient MakeFood(int key, int nutrients) {
    CDS_Ingredient food;
    food.SetFoodKey(FoodKey(key, 9));
    food.SetName("Food " + std::to_string(key));
    for (int gid = 0; gid < nutrients; ++gid) food.SetNutrientValue(gid, 0.5 + gid + key % 7);
    food.AddUnit("cup", 240);
    return food;
}

void BM_DayIntakeOfEveryNutrient(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    constexpr int kFollowed = 60;
    NS_Data::CUserLog log(&Meals(), nullptr);
    for (int i = 0; i < entries; ++i) log.AddFood(100 + i, 0, "", MakeFood(i, 70));
    for (auto _ : state)
        for (int gid = 0; gid < kFollowed; ++gid) benchmark::DoNotOptimize(log.GetIntake(gid));
    // The per-item rate is nutrients × entries, so its inverse is the time per nutrient per entry.
    state.SetItemsProcessed(state.iterations() * kFollowed * entries);
}
BENCHMARK(BM_DayIntakeOfEveryNutrient)->Arg(50);

// 3,650 days of 10 entries, 60 followed nutrients, written to a file once.
const std::string& TenYearFile() {
    static std::string path = [] {
        const auto folder = std::filesystem::temp_directory_path() / "velmora-bench-log";
        std::filesystem::create_directories(folder);
        const std::string file = (folder / "profile.xml").string();
        NS_Data::CUserLog log(&Meals(), &Foods());
        std::vector<int> gids(60);
        std::iota(gids.begin(), gids.end(), 0);
        log.SyncRequirements(gids);
        for (int i = 0; i < 60; ++i) {
            log.RequirementAt(i).min = 1;
            log.RequirementAt(i).max = 100;
        }
        boost::gregorian::date day(2016, 1, 1);
        for (int d = 0; d < 3650; ++d, day += boost::gregorian::days(1)) {
            log.SelectDay(boost::gregorian::to_iso_string(day));
            for (int e = 0; e < 10; ++e)
                log.AddFood(50.0 + e * 12.5, e % 3, e % 2 ? "Lunch" : "Dinner",
                            *Foods().FindFood(FoodKey(100 + e % 4, 7)));
            log.GetCurrentDay()->SetFact("Weight", 70 + d % 10 * 0.1);
        }
        Xml::XmlDocument doc;
        Xml::XmlElement root = doc.CreateElement("root");
        doc.AppendChild(root);
        log.Save(root);
        doc.Save(file);
        return file;
    }();
    return path;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_TenYearLogLoadBesideLibxml2(benchmark::State& state) {
    const std::string& path = TenYearFile();
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        xmlDocPtr raw = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
        theirs += Seconds(std::chrono::steady_clock::now() - start);
        xmlFreeDoc(raw);

        start = std::chrono::steady_clock::now();
        Xml::XmlDocument doc;
        doc.Load(path);
        NS_Data::CUserLog log(&Meals(), &Foods());
        LoadReport::Clear();
        log.Load(doc.Root().ChildElement("Profile"));
        const double t = Seconds(std::chrono::steady_clock::now() - start);
        ours += t;
        state.SetIterationTime(t);
        if (log.Days().size() != 3650) state.SkipWithError("days missing");
    }
    state.counters["libxml2_parse_ms"] = benchmark::Counter(theirs * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = ours / theirs;
}
BENCHMARK(BM_TenYearLogLoadBesideLibxml2)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_TenYearLogSaveBesideLibxml2(benchmark::State& state) {
    const std::string& path = TenYearFile();
    const std::string out = path + ".out";
    Xml::XmlDocument read;
    read.Load(path);
    NS_Data::CUserLog log(&Meals(), &Foods());
    log.Load(read.Root().ChildElement("Profile"));
    xmlDocPtr raw = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        xmlSaveFormatFileEnc(out.c_str(), raw, "UTF-8", 1);
        theirs += Seconds(std::chrono::steady_clock::now() - start);

        start = std::chrono::steady_clock::now();
        Xml::XmlDocument doc;
        Xml::XmlElement root = doc.CreateElement("root");
        doc.AppendChild(root);
        log.Save(root);
        doc.Indent();
        doc.Save(out);  // through a temporary file, flushed to disk, renamed
        const double t = Seconds(std::chrono::steady_clock::now() - start);
        ours += t;
        state.SetIterationTime(t);
    }
    xmlFreeDoc(raw);
    state.counters["libxml2_save_ms"] = benchmark::Counter(theirs * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = ours / theirs;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_TenYearLogSaveBesideLibxml2)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
