// Opening and saving a profile of ten years (3,650 days of 10 foods each, 60 followed nutrients),
// side by side with libxml2's own parse (xmlReadFile) and serialisation (xmlSaveFormatFileEnc) of
// the same file. The summary at the end gives each of the program's times as a multiple of
// libxml2's. VELMORA_BENCH_PROFILE_DIR=DIR keeps the generated data source and profile there.

#include "document/ProfileDocument.h"

#include "core/LoadReport.h"
#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <boost/date_time/gregorian/gregorian.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kDays = 3650;
constexpr int kEntriesPerDay = 10;
constexpr int kNutrients = 60;
constexpr int kFoods = 400;
constexpr int kSourceId = 3;

// USDA nutrient numbers; the first 37 map to the standard nutrients.
const int kNumbers[kNutrients] = {208, 203, 204, 205, 221, 255, 262, 263, 269, 291, 301, 303, 304, 305, 306,
                                  307, 309, 312, 317, 320, 323, 401, 404, 405, 406, 415, 417, 418, 421, 430,
                                  431, 601, 606, 645, 646, 328, 324, 207, 209, 210, 211, 212, 213, 214, 287,
                                  313, 315, 318, 319, 321, 322, 334, 337, 338, 410, 429, 432, 435, 454, 573};

class Workspace {
public:
    Workspace() {
        if (const char* keep = std::getenv("VELMORA_BENCH_PROFILE_DIR")) {
            folder_ = keep;
            keep_ = true;
            std::filesystem::create_directories(folder_);
        } else {
            std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-profile-bench-XXXXXX").string();
            if (!::mkdtemp(tmpl.data())) throw std::runtime_error("can't create a temporary folder");
            folder_ = tmpl;
        }
        WriteDataSource(File("foods.xml"));
        std::string error;
        if (!source_.Load(File("foods.xml"), {}, error)) throw std::runtime_error(error);
        WriteProfile(File("profile.vlx"));
    }
    ~Workspace() {
        std::error_code ec;
        if (!keep_) std::filesystem::remove_all(folder_, ec);
    }

    std::string File(const std::string& name) const { return (folder_ / name).string(); }
    const CDataSourceMgr& Source() const { return source_; }
    const Meal::CMealManager& Meals() const { return meals_; }

private:
    void WriteDataSource(const std::string& path) const {
        std::mt19937 rng(20240611);
        std::ofstream out(path);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DataSource Name=\"Bench\" ID=\"" << kSourceId << "\">\n";
        out << "  <Nutrients>\n";
        for (int n : kNumbers)
            out << "    <Nutrient Name=\"N" << n << "\" Units=\"mg\" Accuracy=\"2\" id=\"" << n << "\"/>\n";
        out << "  </Nutrients>\n  <foodPortions>\n    <portion id=\"1\" title=\"cup\"/>\n"
               "    <portion id=\"2\" title=\"piece\"/>\n  </foodPortions>\n  <FoodGroups>\n"
               "    <FoodGroup id=\"All\" code=\"1\">\n";
        for (int f = 0; f < kFoods; ++f) {
            out << "      <Food Name=\"Food " << f << "\" key=\"" << 1000 + f << "\">\n        <Nutrition>";
            for (int n : kNumbers) out << "<E N=\"" << n << "\" V=\"" << rng() % 5000 / 10.0 << "\"/>";
            out << "</Nutrition>\n        <EnergyFactors/>\n        <Units main=\"1\"><E M=\"1\" K=\"240\"/>"
                   "<E M=\"2\" K=\""
                << 20 + rng() % 200 << "\"/></Units>\n      </Food>\n";
        }
        out << "    </FoodGroup>\n  </FoodGroups>\n</DataSource>\n";
    }

    void WriteProfile(const std::string& path) const {
        std::mt19937 rng(7);
        CProfileDocument doc(&meals_, &source_);
        std::vector<int> gids;
        for (const CDS_Nutrition& n : source_.Nutrients()) gids.push_back(n.gid);
        doc.Log().SyncRequirements(gids);
        for (std::size_t i = 0; i < gids.size(); ++i) {
            doc.Log().RequirementAt(static_cast<int>(i)).min = 1;
            doc.Log().RequirementAt(static_cast<int>(i)).max = 100;
        }
        const char* meals[] = {"", "Breakfast", "Lunch", "Dinner", "Supper"};
        boost::gregorian::date day(2014, 1, 1);
        for (int d = 0; d < kDays; ++d, day += boost::gregorian::days(1)) {
            doc.GoToDate(boost::gregorian::to_iso_string(day));
            for (int e = 0; e < kEntriesPerDay; ++e) {
                const int i = doc.AddFoodByKey(1000 + static_cast<int>(rng() % kFoods), kSourceId);
                doc.SetFoodWeight(i, 5 + rng() % 4000 / 10.0);
                doc.SetFoodMeal(i, meals[rng() % 5]);
                doc.SetFoodUnit(i, static_cast<int>(rng() % 3));
            }
            doc.SetDayFact("Weight", 60 + rng() % 200 / 10.0);
        }
        if (!doc.OnSaveDocument(path)) throw std::runtime_error("can't write the profile");
    }

    std::filesystem::path folder_;
    bool keep_ = false;
    Meal::CMealManager meals_;
    CDataSourceMgr source_;
};

Workspace& Files() {
    static Workspace w;
    return w;
}

void BM_OpenProfile(benchmark::State& state) {
    Workspace& w = Files();
    for (auto _ : state) {
        LoadReport::Clear();
        CProfileDocument doc(&w.Meals(), &w.Source());
        if (!doc.OnOpenDocument(w.File("profile.vlx"))) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.Log().Days().size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(w.File("profile.vlx"))));
}
BENCHMARK(BM_OpenProfile)->Unit(benchmark::kMillisecond);

void BM_Libxml2ReadFile(benchmark::State& state) {
    Workspace& w = Files();
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile(w.File("profile.vlx").c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
        if (!doc) state.SkipWithError("parse failed");
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(w.File("profile.vlx"))));
}
BENCHMARK(BM_Libxml2ReadFile)->Unit(benchmark::kMillisecond);

void BM_SaveProfile(benchmark::State& state) {
    Workspace& w = Files();
    LoadReport::Clear();
    CProfileDocument doc(&w.Meals(), &w.Source());
    if (!doc.OnOpenDocument(w.File("profile.vlx"))) state.SkipWithError("open failed");
    for (auto _ : state)
        if (!doc.OnSaveDocument(w.File("saved.vlx"))) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveProfile)->Unit(benchmark::kMillisecond);

void BM_Libxml2SaveFormatFileEnc(benchmark::State& state) {
    Workspace& w = Files();
    xmlDocPtr doc = xmlReadFile(w.File("profile.vlx").c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    if (!doc) state.SkipWithError("parse failed");
    for (auto _ : state)
        if (xmlSaveFormatFileEnc(w.File("libxml2.vlx").c_str(), doc, "UTF-8", 1) < 0)
            state.SkipWithError("save failed");
    xmlFreeDoc(doc);
}
BENCHMARK(BM_Libxml2SaveFormatFileEnc)->Unit(benchmark::kMillisecond);

// Prints the usual table, then each of the program's times against libxml2's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration) seconds_[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Ratio("open", "BM_OpenProfile", "BM_Libxml2ReadFile");
        Ratio("save", "BM_SaveProfile", "BM_Libxml2SaveFormatFileEnc");
    }

private:
    void Ratio(const char* what, const std::string& ours, const std::string& theirs) {
        if (!seconds_.count(ours) || !seconds_.count(theirs) || seconds_[theirs] <= 0) return;
        std::printf("%s: %.2f x libxml2 (%s)\n", what, seconds_[ours] / seconds_[theirs], theirs.c_str());
    }
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("profile: %s bytes\n", std::to_string(std::filesystem::file_size(Files().File("profile.vlx"))).c_str());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
