#include "CsvExport.h"

#include "core/FileUtil.h"
#include "model/TextFormat.h"
#include "model/Trends.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/NutrientLabel.h"

#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

namespace CsvExport {

namespace {

// CRLF, as RFC 4180 writes rows: spreadsheets and Python's csv module read it on every system,
// while a bare LF trips some Windows spreadsheet imports.
constexpr const char* kRowEnd = "\r\n";

// The data source's nutrients that values can be asked for, in its order.
std::vector<const CDS_Nutrition*> Nutrients(const NS_Data::CUserLog& log) {
    std::vector<const CDS_Nutrition*> nutrients;
    if (const CDataSourceMgr* source = log.DataSource())
        for (const CDS_Nutrition& n : source->Nutrients())
            if (n.Gid() != -1) nutrients.push_back(&n);
    return nutrients;
}

std::string Named(const std::string& name, const std::string& units) {
    return units.empty() ? name : name + " (" + units + ")";
}

// A cell of a row: text (names from the log and the food tables, which anyone may have typed) or
// a number this program formatted, which goes out as it is so that spreadsheets read a number.
struct Cell {
    Cell(std::string value) : text(std::move(value)) {}
    Cell(const char* value) : text(value) {}
    static Cell Of(double value) {
        Cell cell(Number(value));
        cell.number = true;
        return cell;
    }
    std::string text;
    bool number = false;
};

void AddRow(std::string& out, const std::vector<Cell>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += ',';
        out += cells[i].number ? cells[i].text : Field(cells[i].text);
    }
    out += kRowEnd;
}

std::string EntriesText(const NS_Data::CUserLog& log, const std::string& from, const std::string& to) {
    const std::vector<const CDS_Nutrition*> nutrients = Nutrients(log);
    std::vector<Cell> row = {"date", "meal", "food", "SOURCE:KEY", "amount", "unit", "grams"};
    for (const CDS_Nutrition* n : nutrients) row.push_back(Named(n->Name(), n->Units()));
    std::string out;
    AddRow(out, row);
    for (const UserLog::CLogDay* day : Trends::DaysWithin(log, from, to))
        for (const UserLog::CDayFood& entry : day->foods) {
            row = {day->date,
                   entry.meal,
                   entry.ShownName(),
                   std::to_string(entry.source) + ":" + std::to_string(entry.key),
                   entry.food ? Cell::Of(entry.Amount()) : "",
                   entry.food ? entry.UnitName() : "",
                   Cell::Of(entry.weight)};
            for (const CDS_Nutrition* n : nutrients)
                // A food the data source lacks has no values: empty cells, not zeros.
                row.push_back(entry.food ? Cell::Of(Nutrient::RoundShown(
                                               n->Gid(), entry.weight * entry.food->NutrientValue(n->Gid()) / 100,
                                               log.DataSource()))
                                         : "");
            AddRow(out, row);
        }
    return out;
}

std::string DailyText(const NS_Data::CUserLog& log, const std::string& from, const std::string& to) {
    const std::vector<const CDS_Nutrition*> nutrients = Nutrients(log);
    const std::vector<UserLog::CFactReference>& facts = log.Facts().Definitions();
    std::vector<Cell> row = {"date"};
    for (const CDS_Nutrition* n : nutrients) row.push_back(Named(n->Name(), n->Units()));
    for (const UserLog::CFactReference& f : facts) row.push_back(Named(f.name, f.units));
    std::string out;
    AddRow(out, row);
    for (const UserLog::CLogDay* day : Trends::DaysWithin(log, from, to)) {
        row = {day->date};
        bool anyValue = !day->foods.empty();
        for (const CDS_Nutrition* n : nutrients)
            row.push_back(day->foods.empty() ? "" : Cell::Of(log.DayIntake(*day, n->Gid())));
        for (const UserLog::CFactReference& f : facts) {
            const UserLog::CFact* fact = day->FindFact(f.name);
            const bool defined = fact && UserLog::IsDefined(fact->value);
            anyValue = anyValue || defined;
            row.push_back(defined ? Cell::Of(fact->value) : "");
        }
        if (anyValue) AddRow(out, row);
    }
    return out;
}

}  // namespace

std::string Text(const NS_Data::CUserLog& log, Kind kind, const std::string& from, const std::string& to) {
    return kind == Kind::Entries ? EntriesText(log, from, to) : DailyText(log, from, to);
}

void Write(const NS_Data::CUserLog& log, Kind kind, const std::string& from, const std::string& to,
           const std::string& path) {
    FileUtil::WriteFileAtomic(path, Text(log, kind, from, to));
}

std::string Field(const std::string& text) {
    // A spreadsheet takes a cell that starts so for a formula and runs it when the file is opened
    // (=HYPERLINK sending other cells away, say). A leading apostrophe makes it text, as OWASP
    // advises against CSV injection; the rest of the text stays as it was.
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    const std::string cell = formula ? "'" + text : text;
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string Number(double value) { return std::isfinite(value) ? TextFormat::LowerG(value) : ""; }

}  // namespace CsvExport
