#include "core/Xml.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A profile-shaped document: days with food entries.
std::string MakeLog(int days, int entries) {
    std::string xml = "<root app='velmora' type='profile' version='1'><Profile>";
    for (int d = 0; d < days; ++d) {
        xml += "<LogDay date='2020" + std::to_string(1000 + d) + "'>";
        for (int e = 0; e < entries; ++e)
            xml += "<dayFood key='" + std::to_string(1000 + e) + "' source='1' weight='125.5' unit='2' meal='1'/>";
        xml += "</LogDay>";
    }
    return xml + "</Profile></root>";
}

void BM_ParseAndSerialize(benchmark::State& state) {
    const std::string text = MakeLog(static_cast<int>(state.range(0)), 10);
    for (auto _ : state) {
        Xml::XmlDocument doc;
        if (!doc.LoadXml(text)) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(doc.GetXml());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseAndSerialize)->Arg(365)->Arg(3650)->Unit(benchmark::kMillisecond);

void BM_SelectSectionByName(benchmark::State& state) {
    Xml::XmlDocument doc;
    std::string xml = "<settings>";
    for (int i = 0; i < 50; ++i) xml += "<section name='s" + std::to_string(i) + "'><param name='p'/></section>";
    doc.LoadXml(xml + "</settings>");
    Xml::XmlElement root = doc.Root();
    for (auto _ : state) benchmark::DoNotOptimize(root.SelectSingleNode("section[@name='s49']"));
}
BENCHMARK(BM_SelectSectionByName);

}  // namespace
