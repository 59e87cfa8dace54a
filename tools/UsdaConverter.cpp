#include "UsdaConverter.h"

#include "UsdaTables.h"
#include "XmlAttr.h"

#include "core/FileUtil.h"
#include "core/xml/Xml.h"
#include "refdata/NutrientCatalogue.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <unordered_map>

namespace Usda {

namespace {

// USDA nutrient numbers the conversion treats specially.
constexpr int kProtein = 203;
constexpr int kFat = 204;
constexpr int kCarbohydrate = 205;
constexpr int kAsh = 207;
constexpr int kAlcohol = 221;
constexpr int kVitaminAIu = 318;
constexpr int kRetinol = 319;
constexpr int kVitaminARae = 320;
constexpr int kBetaCarotene = 321;
constexpr int kAlphaCarotene = 322;
constexpr int kVitaminDIu = 324;
constexpr int kVitaminD = 328;
constexpr int kBetaCryptoxanthin = 334;
constexpr int kFluoride = 313;

// SR defines Vitamin D in IU as 40 times its mass in µg.
constexpr double kVitaminDIuPerUg = 40.0;
// SR gives fluoride in µg; the reference intakes give it in mg.
constexpr double kMicrogramsPerMilligram = 1000.0;
// Alcohol has no factor in the source; the program's default applies.
constexpr double kAlcoholFactor = 7.0;

struct Measure {
    std::string name;
    double amount = 0;
    double grams = 0;
};

struct SourceFood {
    int ndb = 0;
    std::string name;
    double factors[3] = {4, 9, 4};  // protein, fat, carbohydrate
    std::vector<Measure> measures;
    std::vector<std::pair<std::string, double>> nutrients;
};

struct OutFood {
    int ndb = 0;
    std::string name;
    double factors[3] = {4, 9, 4};
    std::map<int, double> values;                       // by USDA nutrient number
    std::vector<std::pair<std::string, double>> units;  // title, grams of one unit
};

struct IndexEntry {
    std::string ndbText;
    int ndb;
};

std::vector<IndexEntry> ParseIndex(const std::string& text, const std::string& what) {
    std::vector<IndexEntry> out;
    std::size_t pos = 0;
    int lineNo = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        bool ok = line.size() >= 6 && line[5] == '|';
        for (std::size_t i = 0; ok && i < 5; ++i) ok = line[i] >= '0' && line[i] <= '9';
        if (!ok)
            throw ConvertError(what + ":" + std::to_string(lineNo) + ": expected NNNNN|name, found '" + line + "'");
        out.push_back({line.substr(0, 5), std::stoi(line.substr(0, 5))});
    }
    return out;
}

double Number(const Xml::XmlElement& el, const char* attr) {
    const Xml::XmlValue v = el.GetAttribute(attr);
    if (v.IsAbsent()) throw ConvertError(std::string("<") + el.TagName() + "> has no " + attr);
    double d = 0;
    try {
        d = v.AsDouble();
    } catch (const Xml::XmlError&) {
        throw ConvertError(std::string("<") + el.TagName() + "> " + attr + " is not a number: '" + v.AsString() + "'");
    }
    if (!std::isfinite(d))
        throw ConvertError(std::string("<") + el.TagName() + "> " + attr + " is not a number: '" + v.AsString() + "'");
    return d;
}

std::string Text(const Xml::XmlElement& el, const char* attr) {
    const Xml::XmlValue v = el.GetAttribute(attr);
    if (v.IsAbsent()) throw ConvertError(std::string("<") + el.TagName() + "> has no " + attr);
    return v.AsString();
}

SourceFood ParseFood(const std::string& text, const IndexEntry& entry) {
    Xml::XmlDocument doc;
    if (!doc.LoadXml(text)) {
        std::string why = doc.ParseError();
        if (why.rfind("text:", 0) == 0) why.replace(0, 5, "at ");
        throw ConvertError("not well-formed XML " + why);
    }
    const Xml::XmlElement root = doc.Root();
    if (root.TagName() != "food") throw ConvertError("the root element is <" + root.TagName() + ">, not <food>");

    SourceFood food;
    food.ndb = entry.ndb;
    const Xml::XmlValue uid = root.GetAttribute("uid");
    if (!uid.IsAbsent() && uid.AsString() != entry.ndbText)
        throw ConvertError("uid \"" + uid.AsString() + "\" does not match the file name");
    food.name = Text(root, "name");
    if (food.name.empty()) throw ConvertError("the food has an empty name");
    const char* factorNames[3] = {"pcf", "fcf", "ccf"};
    for (int i = 0; i < 3; ++i)
        if (root.HasAttribute(factorNames[i])) food.factors[i] = Number(root, factorNames[i]);

    for (const Xml::XmlElement& child : root.ChildElements()) {
        const std::string tag = child.TagName();
        if (tag == "measure")
            food.measures.push_back({Text(child, "name"), Number(child, "amount"), Number(child, "grams")});
        else if (tag == "nutrient")
            food.nutrients.emplace_back(Text(child, "name"), Number(child, "amount"));
    }
    return food;
}

int AccuracyOf(const SourceNutrient& n) {
    if (const auto* standard = Nutrient::StandardNutrientByGid(Nutrient::GidOfNutrientNumber(n.number)))
        return standard->decimals < 0 ? 0 : standard->decimals;
    if (n.decimals >= 0) return n.decimals;
    if (n.units == "kcal" || n.units == "IU") return 0;
    if (n.units == "µg") return 1;
    return 2;
}

int EnergyComponentOf(int number) {
    switch (number) {
        case kProtein: return 0;
        case kFat: return 1;
        case kCarbohydrate: return 2;
        case kAlcohol: return 3;
        default: return -1;
    }
}

}  // namespace

std::vector<OutNutrient> NutrientDefinitions() {
    std::vector<OutNutrient> out;
    auto add = [&out](SourceNutrient n) {
        const int accuracy = AccuracyOf(n);
        out.push_back({n.number, n.name, n.units, accuracy, EnergyComponentOf(n.number)});
    };
    for (const SourceNutrient& n : SourceNutrients()) {
        if (n.number == 0 || n.number == kAsh) continue;
        if (n.number == kVitaminDIu) {
            add({n.sourceName, kVitaminD, "Vitamin D (D2 + D3)", "µg", -1});
            continue;
        }
        if (n.number == kFluoride) {
            add({n.sourceName, n.number, n.name, "mg", n.decimals < 0 ? -1 : n.decimals + 3});
            continue;
        }
        add(n);
        if (n.number == kVitaminAIu) add({n.sourceName, kVitaminARae, "Vitamin A, RAE", "µg", -1});
    }
    return out;
}

using XmlAttr::Attr;

ConvertResult BuildDataSource(const CUsdaSource& source) {
    ConvertResult result;
    ConvertSummary& summary = result.summary;

    const std::vector<IndexEntry> current = ParseIndex(source.FoodsIndex(), source.Describe("foods.index"));
    std::set<int> currentNdbs;
    for (const auto& e : current) currentNdbs.insert(e.ndb);
    std::set<int> deprecatedOnly;
    for (const auto& e : ParseIndex(source.DeprecatedIndex(), source.Describe("deprecated.index")))
        if (!currentNdbs.count(e.ndb)) deprecatedOnly.insert(e.ndb);
    summary.deprecated = static_cast<int>(deprecatedOnly.size());

    std::unordered_map<std::string, const SourceNutrient*> nutrientByName;
    for (const SourceNutrient& n : SourceNutrients()) nutrientByName.emplace(n.sourceName, &n);
    std::map<std::string, int> unknownNutrients;  // name -> number of foods

    const auto& groupByNdb = FoodGroupByNdb();
    std::map<int, std::vector<OutFood>> foodsByGroup;
    std::set<int> groupCodes;
    for (const FoodGroup& g : FoodGroups()) groupCodes.insert(g.code);

    std::set<int> done;
    for (const IndexEntry& entry : current) {
        if (!done.insert(entry.ndb).second) continue;  // listed twice
        const std::string fileName = entry.ndbText + ".xml";
        const std::optional<std::string> text = source.FoodFile(entry.ndbText);
        if (!text) throw ConvertError(source.Describe(fileName) + ": missing, though foods.index lists it");
        SourceFood food;
        try {
            food = ParseFood(*text, entry);
        } catch (const ConvertError& e) {
            throw ConvertError(source.Describe(fileName) + ": " + e.what());
        } catch (const Xml::XmlError& e) {
            throw ConvertError(source.Describe(fileName) + ": " + e.what());
        }

        OutFood out;
        out.ndb = food.ndb;
        out.name = food.name;
        std::copy(std::begin(food.factors), std::end(food.factors), std::begin(out.factors));
        for (const auto& [name, amount] : food.nutrients) {
            auto it = nutrientByName.find(name);
            if (it == nutrientByName.end()) {
                ++unknownNutrients[name];
                continue;
            }
            const int number = it->second->number;
            if (number == 0 || number == kAsh) continue;
            if (number == kVitaminDIu)
                out.values[kVitaminD] = amount / kVitaminDIuPerUg;
            else if (number == kFluoride)
                out.values[number] = amount / kMicrogramsPerMilligram;
            else
                out.values[number] = amount;
        }
        const auto& v = out.values;
        if (v.count(kRetinol) && v.count(kBetaCarotene) && v.count(kAlphaCarotene) && v.count(kBetaCryptoxanthin))
            out.values[kVitaminARae] =
                v.at(kRetinol) + v.at(kBetaCarotene) / 12.0 + (v.at(kAlphaCarotene) + v.at(kBetaCryptoxanthin)) / 24.0;
        if (out.values.empty()) {
            ++summary.empty;
            continue;
        }

        // The gram unit comes first in every food, so a measure called "g" would only repeat it.
        std::set<std::string> unitNames{"g"};
        for (const Measure& m : food.measures) {
            if (m.name.empty() || !(m.amount > 0) || !(m.grams > 0)) {
                summary.notes.push_back(source.Describe(fileName) + ": measure \"" + m.name +
                                        "\" without a name, amount or weight left out");
                continue;
            }
            if (!unitNames.insert(m.name).second) continue;
            out.units.emplace_back(m.name, m.grams / m.amount);
        }

        auto group = groupByNdb.find(food.ndb);
        if (group == groupByNdb.end() || !groupCodes.count(group->second)) {
            summary.notes.push_back(source.Describe(fileName) + ": no food group known for this food; left out");
            continue;
        }
        foodsByGroup[group->second].push_back(std::move(out));
    }
    for (const auto& [name, count] : unknownNutrients)
        summary.notes.push_back("nutrient \"" + name + "\" is not known; left out of " + std::to_string(count) +
                                (count == 1 ? " food" : " foods"));

    // Portion ids in order of first use, counted from 1: the loader reads a unit name that is not
    // a number as id 0.
    std::map<std::string, int> portionIds;
    std::vector<const std::string*> portionTitles;
    std::set<int> usedNutrients;
    for (auto& [code, foods] : foodsByGroup) {
        std::sort(foods.begin(), foods.end(), [](const OutFood& a, const OutFood& b) { return a.ndb < b.ndb; });
        for (const OutFood& f : foods) {
            for (const auto& [number, value] : f.values) usedNutrients.insert(number);
            for (const auto& unit : f.units) {
                auto [it, added] = portionIds.emplace(unit.first, static_cast<int>(portionTitles.size()) + 1);
                if (added) portionTitles.push_back(&it->first);
            }
        }
    }

    std::vector<OutNutrient> nutrients;
    for (OutNutrient& n : NutrientDefinitions())
        if (usedNutrients.count(n.number)) nutrients.push_back(std::move(n));

    std::string& xml = result.xml;
    xml.reserve(16u << 20);
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DataSource";
    Attr(xml, "Name", std::string(kUsdaSourceName));
    Attr(xml, "ID", kUsdaSourceId);
    Attr(xml, "version", 1);
    xml += ">\n  <Nutrients>\n";
    for (const OutNutrient& n : nutrients) {
        xml += "    <Nutrient";
        Attr(xml, "Name", n.name);
        Attr(xml, "Units", n.units);
        Attr(xml, "Accuracy", n.accuracy);
        Attr(xml, "id", n.number);
        if (n.energyComponent >= 0) Attr(xml, "EnergyComponent", n.energyComponent);
        xml += "/>\n";
    }
    xml += "  </Nutrients>\n";
    if (portionTitles.empty()) {
        xml += "  <foodPortions/>\n";
    } else {
        xml += "  <foodPortions>\n";
        for (std::size_t i = 0; i < portionTitles.size(); ++i) {
            xml += "    <portion";
            Attr(xml, "id", static_cast<int>(i) + 1);
            Attr(xml, "title", *portionTitles[i]);
            xml += "/>\n";
        }
        xml += "  </foodPortions>\n";
    }
    xml += "  <FoodGroups>\n";
    for (const FoodGroup& group : FoodGroups()) {
        auto it = foodsByGroup.find(group.code);
        if (it == foodsByGroup.end()) continue;
        ++summary.groups;
        xml += "    <FoodGroup";
        Attr(xml, "id", group.name);
        Attr(xml, "code", group.code);
        xml += ">\n";
        for (const OutFood& f : it->second) {
            ++summary.foods;
            xml += "      <Food";
            Attr(xml, "Name", f.name);
            Attr(xml, "key", f.ndb);
            xml += ">\n";
            summary.values += XmlAttr::AppendNutrition(xml, f.values);
            xml += "        <EnergyFactors";
            Attr(xml, "P", f.factors[0]);
            Attr(xml, "F", f.factors[1]);
            Attr(xml, "C", f.factors[2]);
            Attr(xml, "A", kAlcoholFactor);
            xml += "/>\n";
            if (f.units.empty()) {
                xml += "        <Units main=\"true\"/>\n";
            } else {
                xml += "        <Units main=\"true\">\n";
                for (const auto& [title, grams] : f.units) {
                    ++summary.units;
                    xml += "          <E";
                    Attr(xml, "M", std::to_string(portionIds.at(title)));
                    Attr(xml, "K", grams);
                    xml += "/>\n";
                }
                xml += "        </Units>\n";
            }
            xml += "      </Food>\n";
        }
        xml += "    </FoodGroup>\n";
    }
    xml += "  </FoodGroups>\n</DataSource>\n";

    summary.nutrients = static_cast<int>(nutrients.size());
    summary.portions = static_cast<int>(portionTitles.size());
    return result;
}

ConvertSummary ConvertUsda(const std::string& sourcePath, const std::string& outPath) {
    ConvertResult result = BuildDataSource(CUsdaSource::Open(sourcePath));
    FileUtil::WriteFileAtomic(outPath, result.xml);
    return result.summary;
}

}  // namespace Usda
