// The CSV export's cells. The input, cut at each 0x1F byte, gives the texts a user may have typed
// (food names, meals, fact names) and the bits of the numbers logged with them. Whatever they
// hold, the file must read back by RFC 4180 into rows as wide as the header, each text as it was
// (behind an apostrophe when it would start a formula), and no cell a spreadsheet would run:
// one that starts with =, +, -, @, TAB or CR is a number.

#include "DocumentEnvironment.h"
#include "FuzzSupport.h"

#include "document/fileio/CsvExport.h"
#include "model/Meal.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kFormulaStarts = "=+-@\t\r";
constexpr std::size_t kMostTexts = 48;

using Environment = FuzzSupport::DocumentEnvironment;

using Record = std::vector<std::string>;

// RFC 4180 read on its own terms, not with the writer's code: records end in CRLF, fields are
// bare or quoted with doubled quotes inside.
std::vector<Record> Parse(const std::string& text) {
    std::vector<Record> records;
    std::size_t at = 0;
    while (at < text.size()) {
        Record record;
        for (;;) {
            std::string field;
            if (at < text.size() && text[at] == '"') {
                for (++at;; ++at) {
                    if (at >= text.size()) FuzzSupport::Fault("a quoted field is not closed");
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field += '"';
                            ++at;
                        } else {
                            ++at;
                            break;
                        }
                    } else {
                        field += text[at];
                    }
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                    if (text[at] == '"') FuzzSupport::Fault("a quote in a bare field");
                    field += text[at++];
                }
            }
            record.push_back(std::move(field));
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (text.compare(at, 2, "\r\n") != 0) FuzzSupport::Fault("a record does not end in CRLF");
            at += 2;
            break;
        }
        records.push_back(std::move(record));
    }
    return records;
}

bool StartsAFormula(const std::string& cell) {
    return !cell.empty() && kFormulaStarts.find(cell.front()) != std::string_view::npos;
}

bool IsNumber(const std::string& cell) {
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return error == std::errc() && end == cell.data() + cell.size() && std::isfinite(value);
}

std::string Disarmed(const std::string& text) { return StartsAFormula(text) ? "'" + text : text; }

std::vector<std::string> Split(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> texts(1);
    for (std::size_t i = 0; i < size && texts.size() <= kMostTexts; ++i) {
        if (data[i] == 0x1F)
            texts.emplace_back();
        else
            texts.back() += static_cast<char>(data[i]);
    }
    if (texts.size() > kMostTexts) texts.pop_back();
    return texts;
}

// A number for a fact from a text's bytes: any double, negative ones and those no finite value
// stands for included.
double NumberOf(const std::string& text, std::size_t index) {
    if (text.size() >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, text.data(), sizeof value);
        if (value != UserLog::kUndefinedValue) return value;
    }
    return -static_cast<double>(index) - 0.5;
}

void CheckCells(const std::vector<Record>& records) {
    if (records.empty()) FuzzSupport::Fault("no header row");
    for (const Record& record : records) {
        if (record.size() != records.front().size()) FuzzSupport::Fault("a row is not as wide as the header");
        for (const std::string& cell : record)
            if (StartsAFormula(cell) && !IsNumber(cell)) FuzzSupport::Fault("a cell starts a formula: " + cell);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Environment env;
    Services::SetClock(&env.clock);
    const std::vector<std::string> texts = Split(data, size);

    for (const std::string& text : texts) {
        const std::vector<Record> one = Parse(CsvExport::Field(text) + "\r\n");
        if (one.size() != 1 || one.front().size() != 1 || one.front().front() != Disarmed(text))
            FuzzSupport::Fault("a field does not read back as its text");
    }

    const CDS_Ingredient* stew = env.foods.FindFood(FoodKey(100, 7));
    if (!stew) FuzzSupport::Fault("the fuzz data source has no stew");
    NS_Data::CUserLog log(&env.meals, &env.foods);
    log.SelectDay("20240301");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        CDS_Ingredient food = *stew;
        food.SetName(texts[i]);
        food.SetFoodKey(FoodKey(static_cast<int>(1000 + i), 7));
        log.AddFood(static_cast<double>(i) * 37.5, 0, texts[(i + 1) % texts.size()], food);
        if (!texts[i].empty()) {
            log.Facts().AddOrUpdate(UserLog::CFactReference(texts[i], UserLog::kUndefinedValue, ""));
            log.GetCurrentDay()->SetFact(texts[i], NumberOf(texts[i], i));
        }
    }

    const std::vector<Record> entries = Parse(CsvExport::Text(log, CsvExport::Kind::Entries, "20240301", "20240301"));
    CheckCells(entries);
    if (entries.size() != texts.size() + 1) FuzzSupport::Fault("an entry has no row of its own");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Record& row = entries[i + 1];
        if (row[1] != Disarmed(texts[(i + 1) % texts.size()]) || row[2] != Disarmed(texts[i]))
            FuzzSupport::Fault("a meal or a food name does not read back");
    }
    CheckCells(Parse(CsvExport::Text(log, CsvExport::Kind::Daily, "20240301", "20240301")));
    return 0;
}
