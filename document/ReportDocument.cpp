#include "ReportDocument.h"

#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"

namespace Report {

namespace {

Xml::XmlElement AppendReportRoot(Xml::XmlDocument& doc, const std::string& version) {
    Xml::XmlElement root = doc.CreateElement("root");
    root.SetAttribute("app", "velmora");
    root.SetAttribute("type", "report");
    root.SetAttribute("version", version);
    doc.AppendChild(root);
    return root;
}

}  // namespace

void BuildReportDocument(const NS_Data::CUserLog& log, const std::string& version, Xml::XmlDocument& doc) {
    log.WriteReport(AppendReportRoot(doc, version), version);
}

void BuildFoodCompareDocument(const CDataSourceMgr& source, const std::vector<FoodKey>& foods,
                              Xml::XmlDocument& doc) {
    Xml::XmlElement root = AppendReportRoot(doc, kCompareTemplate);
    Xml::XmlElement nutrients = root.AddElement("Nutrients");
    for (const CDS_Nutrition& n : source.Nutrients()) n.Save(nutrients);
    Xml::XmlElement compared = root.AddElement("ComparedFood");
    for (const FoodKey& key : foods)
        if (const CDS_Ingredient* food = source.FindFood(key)) food->Save(compared);
}

}  // namespace Report
