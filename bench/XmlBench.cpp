#include "core/xml/Xml.h"

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

// Grid sizes of a profile as the program writes them, "R0" to "R<n-1>" on one element.
std::string Sizes(int n) {
    std::string xml = "<Rows size='" + std::to_string(n) + "'";
    for (int i = 0; i < n; ++i) xml += " R" + std::to_string(i) + "='" + std::to_string(i % 40) + "'";
    return xml + "/>";
}

// A profile of a few MB whose one grid has 200,000 sizes: refused at once, where libxml2 alone
// would take minutes (its work grows with the square of one element's attributes).
void BM_ElementWithTooManyAttributes(benchmark::State& state) {
    const std::string text = "<root><Grid>" + Sizes(static_cast<int>(state.range(0))) + "</Grid></root>";
    for (auto _ : state) {
        Xml::XmlDocument doc;
        if (doc.LoadXml(text)) state.SkipWithError("a document beyond the bound was read");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ElementWithTooManyAttributes)->Arg(200000)->Unit(benchmark::kMillisecond);

// The worst a few MB can do within the bound: every element at the most attributes, and the
// sizes of one grid looked up by name as the grid layout reads them.
void BM_ElementsAtTheAttributeBound(benchmark::State& state) {
    const int most = Xml::AttributeBound::kMaxAttributes - 1;  // and "size"
    std::string text = "<root>";
    while (text.size() < static_cast<std::size_t>(state.range(0)) << 20) text += "<Grid>" + Sizes(most) + "</Grid>";
    text += "</root>";
    for (auto _ : state) {
        Xml::XmlDocument doc;
        if (!doc.LoadXml(text)) {
            state.SkipWithError(doc.ParseError().c_str());
            break;
        }
        int sum = 0;
        const Xml::XmlElement rows = doc.Root().ChildElement("Grid").ChildElement("Rows");
        for (int i = 0; i < most; ++i) sum += rows.GetAttribute("R" + std::to_string(i)).AsInt();
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ElementsAtTheAttributeBound)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
