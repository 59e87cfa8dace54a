#include "IfctConverter.h"

#include "UsdaConverter.h"
#include "XmlAttr.h"

#include "core/FileUtil.h"
#include "refdata/NutrientCatalogue.h"

#include <archive.h>
#include <archive_entry.h>
#include <csv.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace Ifct {

namespace {

using XmlAttr::Attr;

constexpr int kEnergy = 208;
constexpr int kProtein = 203;
constexpr int kFat = 204;
constexpr int kCarbohydrate = 205;
constexpr int kRetinol = 319;
constexpr int kVitaminARae = 320;
constexpr int kBetaCarotene = 321;
constexpr int kAlphaCarotene = 322;
constexpr int kBetaCryptoxanthin = 334;

constexpr double kKilojoulesPerKilocalorie = 4.184;
constexpr const char* kTableInPackage = "package/index.csv";
// The real table is about a megabyte; anything far larger is not this data.
constexpr la_int64_t kMaxTable = la_int64_t{64} << 20;

const Column kColumns[] = {
    {{"enerc"}, kEnergy},
    {{"protcnt"}, kProtein},
    // Available carbohydrate by difference: unlike USDA's, without the fibre.
    {{"choavldf"}, kCarbohydrate},
    {{"fibtg"}, 291},
    {{"starch"}, 209},
    // Free sugars: all mono- and disaccharides, lactose included.
    {{"fsugar"}, 269},
    {{"fatce"}, kFat},
    {{"water"}, 255},
    {{"ca"}, 301},
    {{"cu"}, 312},
    {{"fe"}, 303},
    {{"mg"}, 304},
    {{"mn"}, 315},
    {{"p"}, 305},
    {{"k"}, 306},
    {{"se"}, 317},
    {{"na"}, 307},
    {{"zn"}, 309},
    {{"retol"}, kRetinol},
    {{"carta"}, kAlphaCarotene},
    {{"cartb"}, kBetaCarotene},
    {{"crypxb"}, kBetaCryptoxanthin},
    {{"lycpn"}, 337},
    {{"lutn", "zea"}, 338},
    {{"folsum"}, 417},
    {{"thia"}, 404},
    {{"ribf"}, 405},
    {{"nia"}, 406},
    {{"pantac"}, 410},
    {{"vitb6c"}, 415},
    {{"vitc"}, 401},
    // Ergocalciferol plus cholecalciferol; 25-hydroxy D3 is left out, as USDA's 328 leaves it.
    {{"vitd"}, 328},
    {{"tocpha"}, 323},
    {{"tocphb"}, 341},
    {{"tocphd"}, 343},
    {{"tocphg"}, 342},
    {{"vitk1"}, 430},
    {{"fasat"}, 606},
    {{"fams"}, 645},
    {{"fapu"}, 646},
    {{"fatrn"}, 605},
    {{"cholc"}, 601},
    {{"phystr"}, 636},
    {{"ala"}, 513},
    {{"arg"}, 511},
    {{"asp"}, 514},
    {{"cys"}, 507},
    // Labelled "Glucose" in the package, but it sits among the amino acids: glutamic acid.
    {{"glu"}, 515},
    {{"gly"}, 516},
    {{"his"}, 512},
    {{"ile"}, 503},
    {{"leu"}, 504},
    {{"lys"}, 505},
    {{"met"}, 506},
    {{"phe"}, 508},
    {{"pro"}, 517},
    {{"ser"}, 518},
    {{"thr"}, 502},
    {{"trp"}, 501},
    {{"tyr"}, 509},
    {{"val"}, 510},
};

// The columns a table must have to be this table at all.
const char* const kRequired[] = {"code", "name", "grup", "enerc", "protcnt", "fatce", "choavldf"};

// Grams become the units of the USDA nutrient; energy is the one column in kJ.
double ScaleTo(const std::string& units, int number, const std::string& origin) {
    if (number == kEnergy) return 1.0 / kKilojoulesPerKilocalorie;
    if (units == "g") return 1.0;
    if (units == "mg") return 1e3;
    if (units == "\xC2\xB5g") return 1e6;
    throw ConvertError(origin + ": no conversion from grams to " + units + " (nutrient " + std::to_string(number) +
                       ")");
}

// The product of a conversion without the noise of binary fractions: 0.00933 g is 9.33 mg, not
// 9.330000000000002. The table has no more than eight significant digits.
double Tidy(double value) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 10).ptr;
    double out = value;
    std::from_chars(buf, end, out);
    return out;
}

struct OutNutrient {
    Usda::OutNutrient def;
    std::vector<int> columns;  // indexes into the table's columns; empty for a computed nutrient
    double scale = 1.0;
};

struct OutFood {
    int key = 0;
    std::string name;
    std::string localNames;
    std::map<int, double> values;  // by USDA nutrient number
};

struct Table {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
};

Table ParseCsv(const std::string& text, const std::string& origin) {
    Table table;
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw ConvertError(origin + ": out of memory");
    struct Freer {
        csv_parser* p;
        ~Freer() { csv_free(p); }
    } freer{&parser};
    auto onField = [](void* field, std::size_t len, void* data) {
        static_cast<Table*>(data)->row.emplace_back(static_cast<const char*>(field), len);
    };
    auto onRow = [](int, void* data) {
        auto* t = static_cast<Table*>(data);
        t->rows.push_back(std::move(t->row));
        t->row.clear();
    };
    std::size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;  // a byte order mark
    const std::size_t done = csv_parse(&parser, text.data() + start, text.size() - start, onField, onRow, &table);
    if (done != text.size() - start || csv_fini(&parser, onField, onRow, &table) != 0)
        throw ConvertError(origin + ": not a CSV table (" + csv_strerror(csv_error(&parser)) + " in row " +
                           std::to_string(table.rows.size() + 1) + ")");
    return table;
}

// "Energy; enerc" names the column enerc; a header of bare tags is read as well.
std::string TagOfHeader(const std::string& header) {
    const std::size_t semicolon = header.rfind(';');
    std::string tag = semicolon == std::string::npos ? header : header.substr(semicolon + 1);
    const auto first = tag.find_first_not_of(' ');
    const auto last = tag.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : tag.substr(first, last - first + 1);
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The English (E.) and Hindi (H.) names of a food's local names, e.g. "A. Garoor gakhir; ...;
// H. Gai ka doodh; ..." gives "H. Gai ka doodh". Entries may name several languages at once
// ("H., Mar. Shingara") or lack the space after the point ("A.Urohi"). A name that the food's
// name or scientific name holds already is left out.
std::vector<std::string> SearchNames(const std::string& localNames, const std::string& known) {
    std::vector<std::string> out;
    const std::string lowerKnown = Lower(known);
    std::size_t pos = 0;
    while (pos <= localNames.size()) {
        std::size_t end = localNames.find(';', pos);
        if (end == std::string::npos) end = localNames.size();
        std::string part = Trimmed(localNames.substr(pos, end - pos));
        pos = end + 1;
        std::set<std::string> languages;
        std::size_t i = 0;
        for (;;) {
            std::size_t j = i;
            if (j >= part.size() || part[j] < 'A' || part[j] > 'Z') break;
            ++j;
            while (j < part.size() && part[j] >= 'a' && part[j] <= 'z') ++j;
            if (j >= part.size() || part[j] != '.') break;
            languages.insert(part.substr(i, j - i));
            i = j + 1;
            while (i < part.size() && (part[i] == ' ' || part[i] == ',')) ++i;
        }
        std::string name = part.substr(i);
        while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        if (name.empty() || lowerKnown.find(Lower(name)) != std::string::npos) continue;
        if (languages.count("E")) out.push_back(name);
        if (languages.count("H")) out.push_back("H. " + name);
    }
    return out;
}

// "Rice, raw, milled (Oryza sativa; H. Chawal)": the name the tree shows and search finds, with
// the scientific name and the names most users of the table search by. The full list of local
// names in fourteen languages would make every name hundreds of characters long.
std::string FoodName(const std::string& name, const std::string& scientific, const std::string& localNames) {
    std::vector<std::string> extra;
    if (!scientific.empty()) extra.push_back(scientific);
    for (std::string& n : SearchNames(localNames, name + " " + scientific))
        if (std::find(extra.begin(), extra.end(), n) == extra.end()) extra.push_back(std::move(n));
    if (extra.empty()) return name;
    std::string out = name + " (";
    for (std::size_t i = 0; i < extra.size(); ++i) out += (i ? "; " : "") + extra[i];
    return out + ")";
}

std::optional<double> ReadValue(const std::string& cell, const std::string& code, const std::string& tag,
                                const std::string& origin) {
    const std::string text = Trimmed(cell);
    if (text.empty()) return std::nullopt;  // not analysed
    double value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    const std::string where = origin + ": food " + code + ", column " + tag + ": ";
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        throw ConvertError(where + "'" + text + "' is not a number");
    if (value < 0) throw ConvertError(where + "negative value " + text);
    return value;
}

// UTF-8 made of characters an XML file may hold, so that every name reads back. libxml2's own
// helpers take a stray continuation byte for the start of a character, so the check is done here.
bool IsXmlText(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') return false;
            ++p;
            continue;
        }
        int extra = 0;
        std::uint32_t c = 0;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0Fu;
            if (b == 0xE0) low = 0xA0;   // no overlong forms
            if (b == 0xED) high = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07u;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
        } else {
            return false;
        }
        if (end - p <= extra || p[1] < low || p[1] > high) return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            c = (c << 6) | (p[i] & 0x3Fu);
        }
        if (c == 0xFFFE || c == 0xFFFF) return false;
        p += extra + 1;
    }
    return true;
}

struct ArchiveReadDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};

std::string ReadFromPackage(const std::string& bytes, const std::string& path) {
    std::unique_ptr<archive, ArchiveReadDeleter> a(archive_read_new());
    if (!a) throw ConvertError(path + ": out of memory");
    archive_read_support_filter_gzip(a.get());
    archive_read_support_format_tar(a.get());
    archive_read_support_format_gnutar(a.get());
    auto message = [&a] {
        const char* text = archive_error_string(a.get());
        return std::string(text ? text : "unreadable archive");
    };
    if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK)
        throw ConvertError(path + ": not a gzip'd tar package (" + message() + ")");
    archive_entry* entry = nullptr;
    for (;;) {
        const int r = archive_read_next_header(a.get(), &entry);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) throw ConvertError(path + ": not a gzip'd tar package (" + message() + ")");
        const char* name = archive_entry_pathname(entry);
        if (!name || std::string(name) != kTableInPackage || archive_entry_filetype(entry) != AE_IFREG) continue;
        const std::string what = path + ": " + kTableInPackage;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > kMaxTable)
            throw ConvertError(what + ": too large to be the composition table");
        std::string data;
        char buf[64 * 1024];
        for (;;) {
            const la_ssize_t n = archive_read_data(a.get(), buf, sizeof buf);
            if (n == 0) break;
            if (n < 0) throw ConvertError(what + ": " + message());
            data.append(buf, static_cast<std::size_t>(n));
            if (static_cast<la_int64_t>(data.size()) > kMaxTable)
                throw ConvertError(what + ": too large to be the composition table");
        }
        return data;
    }
    throw ConvertError(path + ": the package holds no " + kTableInPackage);
}

}  // namespace

std::span<const Column> Columns() { return kColumns; }

int KeyOfFoodCode(const std::string& code) {
    if (code.size() < 2 || code.size() > 4 || code[0] < 'A' || code[0] > 'Z') return -1;
    int number = 0;
    for (std::size_t i = 1; i < code.size(); ++i) {
        if (code[i] < '0' || code[i] > '9') return -1;
        number = number * 10 + (code[i] - '0');
    }
    return (code[0] - 'A' + 1) * 1000 + number;
}

ConvertResult BuildDataSource(const std::string& csv, const std::string& origin) {
    ConvertResult result;
    ConvertSummary& summary = result.summary;

    Table table = ParseCsv(csv, origin);
    if (table.rows.empty()) throw ConvertError(origin + ": empty, so not the composition table");
    std::map<std::string, int> columnOf;
    for (std::size_t i = 0; i < table.rows[0].size(); ++i)
        columnOf.emplace(TagOfHeader(table.rows[0][i]), static_cast<int>(i));
    std::string missing;
    for (const char* tag : kRequired)
        if (!columnOf.count(tag)) missing += std::string(missing.empty() ? "" : ", ") + tag;
    if (!missing.empty())
        throw ConvertError(origin + ": no column " + missing + ", so this is not the composition table");
    auto column = [&columnOf](const char* tag) {
        const auto it = columnOf.find(tag);
        return it == columnOf.end() ? -1 : it->second;
    };

    std::map<int, Usda::OutNutrient> usda;
    for (Usda::OutNutrient& n : Usda::NutrientDefinitions()) usda.emplace(n.number, std::move(n));
    std::vector<OutNutrient> nutrients;
    for (const Column& c : kColumns) {
        OutNutrient n{usda.at(c.number), {}, 1.0};
        for (const char* tag : c.tags) n.columns.push_back(column(tag));
        if (std::find(n.columns.begin(), n.columns.end(), -1) != n.columns.end()) continue;
        n.scale = ScaleTo(n.def.units, c.number, origin);
        nutrients.push_back(std::move(n));
        // Vitamin A as RAE comes right after retinol, as in the USDA data source.
        if (c.number == kRetinol) nutrients.push_back({usda.at(kVitaminARae), {}, 1.0});
    }

    const int codeColumn = column("code");
    const int nameColumn = column("name");
    const int groupColumn = column("grup");
    const int scientificColumn = column("scie");
    const int localColumn = column("lang");
    const std::size_t width = table.rows[0].size();

    struct Group {
        std::string name;
        std::vector<OutFood> foods;
    };
    std::map<int, Group> groups;  // by code
    std::set<int> keys;
    std::vector<std::string> energyComputed;
    for (std::size_t r = 1; r < table.rows.size(); ++r) {
        const std::vector<std::string>& row = table.rows[r];
        const std::string rowName = origin + ": row " + std::to_string(r + 1);
        if (row.size() != width)
            throw ConvertError(rowName + " has " + std::to_string(row.size()) + " fields, the header " +
                               std::to_string(width));
        for (const std::string& cell : row)
            if (!IsXmlText(cell)) throw ConvertError(rowName + " is not UTF-8 text without control characters");
        const std::string code = Trimmed(row[static_cast<std::size_t>(codeColumn)]);
        const int key = KeyOfFoodCode(code);
        if (key < 0) throw ConvertError(rowName + ": food code '" + code + "' is not a letter and up to three digits");
        if (!keys.insert(key).second) throw ConvertError(rowName + ": food code " + code + " comes twice");
        auto cell = [&row](int c) { return c < 0 ? std::string() : Trimmed(row[static_cast<std::size_t>(c)]); };

        OutFood food;
        food.key = key;
        const std::string name = cell(nameColumn);
        if (name.empty()) throw ConvertError(rowName + ": food " + code + " has no name");
        food.localNames = cell(localColumn);
        food.name = FoodName(name, cell(scientificColumn), food.localNames);
        for (const OutNutrient& n : nutrients) {
            if (n.columns.empty()) continue;
            double sum = 0;
            bool complete = true;
            for (int c : n.columns) {
                const auto v = ReadValue(row[static_cast<std::size_t>(c)], code, TagOfHeader(table.rows[0][c]), origin);
                if (!v) complete = false;
                sum += v.value_or(0);
            }
            if (!complete) continue;
            if (!std::isfinite(sum * n.scale))
                throw ConvertError(origin + ": food " + code + ": " + n.def.name + " too large");
            food.values[n.def.number] = Tidy(sum * n.scale);
        }

        auto& v = food.values;
        // The package writes 0 for the energy it lacks, as it does for every oil and fat: a food
        // of 100 g fat would count as nothing. Its energy is the table's own sum instead.
        const double fromComponents =
            v.count(kProtein) && v.count(kFat) && v.count(kCarbohydrate)
                ? kProteinFactor * v[kProtein] + kFatFactor * v[kFat] + kCarbohydrateFactor * v[kCarbohydrate]
                : 0;
        if (v.count(kEnergy) && v[kEnergy] == 0 && fromComponents > 0) {
            v[kEnergy] = Tidy(fromComponents);
            energyComputed.push_back(code + " " + name + " (" + Xml::FormatDouble(std::round(fromComponents)) +
                                     " kcal)");
        }
        if (v.count(kRetinol) && v.count(kBetaCarotene) && v.count(kAlphaCarotene) && v.count(kBetaCryptoxanthin))
            v[kVitaminARae] =
                Tidy(v[kRetinol] + v[kBetaCarotene] / 12.0 + (v[kAlphaCarotene] + v[kBetaCryptoxanthin]) / 24.0);

        const std::string groupName = cell(groupColumn);
        if (groupName.empty()) throw ConvertError(rowName + ": food " + code + " has no food group");
        const int groupCode = key / 1000;
        Group& group = groups[groupCode];
        if (group.name.empty())
            group.name = groupName;
        else if (group.name != groupName)
            throw ConvertError(rowName + ": food " + code + " is in group \"" + groupName + "\", but the foods of " +
                               code.substr(0, 1) + " are in \"" + group.name + "\"");
        group.foods.push_back(std::move(food));
    }

    if (!energyComputed.empty()) {
        std::string note = "energy given as 0, computed from protein, fat and carbohydrate for " +
                           std::to_string(energyComputed.size()) +
                           (energyComputed.size() == 1 ? " food: " : " foods: ");
        for (std::size_t i = 0; i < energyComputed.size(); ++i) note += (i ? ", " : "") + energyComputed[i];
        summary.notes.push_back(std::move(note));
    }

    std::set<int> used;
    for (auto& [code, group] : groups) {
        std::sort(group.foods.begin(), group.foods.end(),
                  [](const OutFood& a, const OutFood& b) { return a.key < b.key; });
        for (const OutFood& f : group.foods)
            for (const auto& [number, value] : f.values) used.insert(number);
    }

    std::string& xml = result.xml;
    xml.reserve(4u << 20);
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DataSource";
    Attr(xml, "Name", std::string(kIfctSourceName));
    Attr(xml, "ID", kIfctSourceId);
    Attr(xml, "version", 1);
    xml += ">\n  <Nutrients>\n";
    for (const OutNutrient& n : nutrients) {
        if (!used.count(n.def.number)) continue;
        ++summary.nutrients;
        xml += "    <Nutrient";
        Attr(xml, "Name", n.def.name);
        Attr(xml, "Units", n.def.units);
        Attr(xml, "Accuracy", n.def.accuracy);
        Attr(xml, "id", n.def.number);
        if (n.def.energyComponent >= 0) Attr(xml, "EnergyComponent", n.def.energyComponent);
        xml += "/>\n";
    }
    // No portions: the table gives every value per 100 g and no household measures.
    xml += "  </Nutrients>\n  <FoodGroups>\n";
    for (const auto& [code, group] : groups) {
        ++summary.groups;
        xml += "    <FoodGroup";
        Attr(xml, "id", group.name);
        Attr(xml, "code", code);
        xml += ">\n";
        for (const OutFood& f : group.foods) {
            ++summary.foods;
            xml += "      <Food";
            Attr(xml, "Name", f.name);
            Attr(xml, "key", f.key);
            // Kept for the record; the program reads only the name.
            if (!f.localNames.empty()) Attr(xml, "LocalNames", f.localNames);
            xml += ">\n";
            summary.values += XmlAttr::AppendNutrition(xml, f.values);
            xml += "        <EnergyFactors";
            Attr(xml, "P", Tidy(kProteinFactor));
            Attr(xml, "F", Tidy(kFatFactor));
            Attr(xml, "C", Tidy(kCarbohydrateFactor));
            Attr(xml, "A", Tidy(kAlcoholFactor));
            xml += "/>\n        <Units main=\"true\"/>\n      </Food>\n";
        }
        xml += "    </FoodGroup>\n";
    }
    xml += "  </FoodGroups>\n</DataSource>\n";
    return result;
}

std::string ReadTable(const std::string& path, std::string& origin) {
    std::string bytes;
    try {
        bytes = FileUtil::ReadFile(path);
    } catch (const FileUtil::FileError& e) {
        throw ConvertError(e.what());
    }
    if (bytes.rfind("\x1F\x8B", 0) == 0) {
        origin = path + ": " + kTableInPackage;
        return ReadFromPackage(bytes, path);
    }
    const std::string ext = path.size() >= 4 ? Lower(path.substr(path.size() - 4)) : "";
    if (ext == ".tgz" || ext == ".gz") throw ConvertError(path + ": not a gzip'd tar package (no gzip header)");
    origin = path;
    return bytes;
}

ConvertSummary ConvertIfct(const std::string& sourcePath, const std::string& outPath) {
    std::string origin;
    const std::string csv = ReadTable(sourcePath, origin);
    ConvertResult result = BuildDataSource(csv, origin);
    if (result.summary.foods == 0) throw ConvertError(origin + ": no foods in the table");
    FileUtil::WriteFileAtomic(outPath, result.xml);
    return result.summary;
}

}  // namespace Ifct
