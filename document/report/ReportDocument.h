#pragma once

#include "core/xml/Xml.h"
#include "refdata/FoodKey.h"

#include <string>
#include <vector>

class CDataSourceMgr;
class CSingleDayDocData;
namespace NS_Data {
class CUserLog;
}

namespace Report {

// The built-in report templates, as paths below the application folder. A report document
// carries its template's path as its "version".
inline constexpr const char* kSummaryTemplate = "/xslt/HTML.xsl";
inline constexpr const char* kMenuTemplate = "/xslt/DailyMenu.xsl";
inline constexpr const char* kCompareTemplate = "/xslt/FoodCompare.xsl";
inline constexpr const char* kPeriodTemplate = "/xslt/PeriodSummary.xsl";

// Fills a new document: "root" (app "velmora", type "report", version = the template path)
// holding the log's report of its current day.
void BuildReportDocument(const NS_Data::CUserLog& log, const std::string& version, Xml::XmlDocument& doc);
void BuildReportDocument(const CSingleDayDocData& data, const std::string& version, Xml::XmlDocument& doc);

// Fills a new document for the food comparison: every nutrient of the data source under
// "Nutrients", then the listed foods under "ComparedFood" in list order. A key the data source
// does not hold is left out.
// Fills a new document for the summary of the days [from, to] ("YYYYMMDD"): "Period" (from, to,
// days, logged = days with foods) holding "Energy" (the averages eaten and required), a "Fact"
// with the average of each fact definition that has values, and a "Nutrient" per followed
// nutrient with its average, target, percent of it, days under, within and over, best and worst
// day. Values are rounded to one decimal; an attribute without a value is left out.
void BuildPeriodDocument(const NS_Data::CUserLog& log, const std::string& from, const std::string& to,
                         Xml::XmlDocument& doc);

void BuildFoodCompareDocument(const CDataSourceMgr& source, const std::vector<FoodKey>& foods, Xml::XmlDocument& doc);

}  // namespace Report
