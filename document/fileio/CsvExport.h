#pragma once

#include <string>

namespace NS_Data {
class CUserLog;
}

// The log as comma-separated values for spreadsheets: UTF-8, a header row, fields quoted where
// they hold a comma, a quote or a line break (quotes doubled), numbers with a dot whatever the
// locale, empty cells for missing values. Days are "YYYYMMDD" keys; a range includes both ends.
namespace CsvExport {

enum class Kind {
    // One row per food entry: date, meal, food, SOURCE:KEY, amount, unit, grams, then every
    // nutrient of the data source ("NAME (UNITS)").
    Entries,
    // One row per day that has foods or fact values: date, every nutrient of the data source,
    // then every fact definition ("NAME (UNITS)", or "NAME" without units).
    Daily,
};

// The CSV text of the log's days within [from, to].
std::string Text(const NS_Data::CUserLog& log, Kind kind, const std::string& from, const std::string& to);

// Writes Text(...) to `path` so that a reader sees the old file or the new one, never a part.
// FileUtil::FileError (a std::runtime_error) with the path and the reason when it can't.
void Write(const NS_Data::CUserLog& log, Kind kind, const std::string& from, const std::string& to,
           const std::string& path);

// One text field as it goes into a row: quoted when it holds a comma, a quote, CR or LF, and with
// an apostrophe before a text that a spreadsheet would take for a formula (one that starts with
// =, +, -, @, TAB or CR). Numbers go out as Number gives them, never through here.
std::string Field(const std::string& text);
// A number as a field: shortest form that reads back to 6 significant digits (like %g), a dot
// for the decimal point, no thousands separators; empty for NaN or infinity.
std::string Number(double value);

}  // namespace CsvExport
