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

// Fills a new document: "root" (app "velmora", type "report", version = the template path)
// holding the log's report of its current day.
void BuildReportDocument(const NS_Data::CUserLog& log, const std::string& version, Xml::XmlDocument& doc);
void BuildReportDocument(const CSingleDayDocData& data, const std::string& version, Xml::XmlDocument& doc);

// Fills a new document for the food comparison: every nutrient of the data source under
// "Nutrients", then the listed foods under "ComparedFood" in list order. A key the data source
// does not hold is left out.
void BuildFoodCompareDocument(const CDataSourceMgr& source, const std::vector<FoodKey>& foods, Xml::XmlDocument& doc);

}  // namespace Report
