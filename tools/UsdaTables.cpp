#include "UsdaTables.h"

#include <charconv>
#include <stdexcept>

namespace Usda {

namespace {

// The tables are compiled in, so a malformed one is a build mistake, not bad input.
int TableNumber(const std::string& text, const char* table) {
    int n = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        throw std::logic_error(std::string("bad number '") + text + "' in " + table);
    return n;
}

}  // namespace

std::vector<std::vector<std::string>> ParseTsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::size_t pos = 0;
    bool header = true;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (header) {
            header = false;
            continue;
        }
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (;;) {
            std::size_t tab = line.find('\t', start);
            cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

const std::vector<SourceNutrient>& SourceNutrients() {
    static const std::vector<SourceNutrient> table = [] {
        std::vector<SourceNutrient> out;
        for (const auto& row : ParseTsv(detail::kNutrientsTsv)) {
            if (row.size() < 5) throw std::logic_error("short row in usda-sr24-nutrients.tsv");
            SourceNutrient n;
            n.sourceName = row[0];
            n.number = row[1].empty() ? 0 : TableNumber(row[1], "usda-sr24-nutrients.tsv");
            n.name = row[2];
            n.units = row[3];
            n.decimals = row[4].empty() ? -1 : TableNumber(row[4], "usda-sr24-nutrients.tsv");
            out.push_back(std::move(n));
        }
        return out;
    }();
    return table;
}

const std::vector<FoodGroup>& FoodGroups() {
    static const std::vector<FoodGroup> table = [] {
        std::vector<FoodGroup> out;
        for (const auto& row : ParseTsv(detail::kFoodGroupsTsv)) {
            if (row.size() < 2) throw std::logic_error("short row in usda-sr-food-groups.tsv");
            out.push_back({TableNumber(row[0], "usda-sr-food-groups.tsv"), row[1]});
        }
        return out;
    }();
    return table;
}

const std::map<int, int>& FoodGroupByNdb() {
    static const std::map<int, int> table = [] {
        std::map<int, int> out;
        for (const auto& row : ParseTsv(detail::kFoodGroupByNdbTsv)) {
            if (row.size() < 2) throw std::logic_error("short row in usda-sr24-food-group-by-ndb.tsv");
            out[TableNumber(row[0], "usda-sr24-food-group-by-ndb.tsv")] =
                TableNumber(row[1], "usda-sr24-food-group-by-ndb.tsv");
        }
        return out;
    }();
    return table;
}

}  // namespace Usda
