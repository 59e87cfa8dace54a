#include "ReportDocument.h"

#include "document/SingleDayDocData.h"
#include "document/fileio/ProfileFile.h"

#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"

namespace Report {

void BuildReportDocument(const NS_Data::CUserLog& log, const std::string& version, Xml::XmlDocument& doc) {
    log.WriteReport(CreateDocumentRoot(doc, "report", version), version);
}

void BuildReportDocument(const CSingleDayDocData& data, const std::string& version, Xml::XmlDocument& doc) {
    BuildReportDocument(data.Log(), version, doc);
}

void BuildFoodCompareDocument(const CDataSourceMgr& source, const std::vector<FoodKey>& foods, Xml::XmlDocument& doc) {
    Xml::XmlElement root = CreateDocumentRoot(doc, "report", kCompareTemplate);
    Xml::XmlElement nutrients = root.AddElement("Nutrients");
    for (const CDS_Nutrition& n : source.Nutrients()) n.Save(nutrients);
    Xml::XmlElement compared = root.AddElement("ComparedFood");
    for (const FoodKey& key : foods)
        if (const CDS_Ingredient* food = source.FindFood(key)) food->Save(compared);
}

}  // namespace Report
