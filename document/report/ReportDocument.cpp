#include "ReportDocument.h"

#include "document/SingleDayDocData.h"
#include "document/fileio/ProfileFile.h"

#include "model/Targets.h"
#include "model/Trends.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"

#include <cmath>
#include <optional>

namespace Report {

void BuildReportDocument(const NS_Data::CUserLog& log, const std::string& version, Xml::XmlDocument& doc) {
    log.WriteReport(CreateDocumentRoot(doc, "report", version), version);
}

void BuildReportDocument(const CSingleDayDocData& data, const std::string& version, Xml::XmlDocument& doc) {
    BuildReportDocument(data.Log(), version, doc);
}

namespace {

double OneDecimal(double value) { return std::round(value * 10) / 10; }

void SetAverage(const Xml::XmlElement& el, const char* name, const Trends::Series& series) {
    if (auto mean = Trends::Average(series)) el.SetAttribute(name, OneDecimal(mean->value));
}

}  // namespace

void BuildPeriodDocument(const NS_Data::CUserLog& log, const std::string& from, const std::string& to,
                         Xml::XmlDocument& doc) {
    Xml::XmlElement root = CreateDocumentRoot(doc, "report", kPeriodTemplate);
    Xml::XmlElement period = root.AddElement("Period");
    period.SetAttribute("from", from);
    period.SetAttribute("to", to);
    period.SetAttribute("days", static_cast<int>(Trends::DaysOf(from, to).size()));
    const Trends::Series eaten = Trends::NutrientSeries(log, Targets::kEnergyGid, from, to);
    const std::optional<Trends::Mean> logged = Trends::Average(eaten);
    period.SetAttribute("logged", logged ? logged->days : 0);

    Xml::XmlElement energy = period.AddElement("Energy");
    SetAverage(energy, "eaten", eaten);
    const Trends::Series required = Trends::RequirementSeries(log, from, to);
    SetAverage(energy, "required", required);
    // Eaten as a share of the requirement over the days that have both, as the day's pages give
    // it, and the mean of the days' default bands around the requirement.
    Trends::Series eatenWithRequirement, low, high;
    for (std::size_t i = 0; i < required.size() && i < eaten.size(); ++i) {
        if (!required[i].value || !eaten[i].value) continue;
        const auto [min, max] = Targets::EnergyBand(*required[i].value);
        eatenWithRequirement.push_back(eaten[i]);
        low.push_back({required[i].date, min});
        high.push_back({required[i].date, max});
    }
    const auto meanRequired = Trends::Average(required);
    if (const auto meanEaten = Trends::Average(eatenWithRequirement); meanEaten && meanRequired) {
        const int percent = Targets::PercentOf(meanEaten->value, meanRequired->value);
        if (percent >= 0) energy.SetAttribute("percent", percent);
        SetAverage(energy, "min", low);
        SetAverage(energy, "max", high);
    }
    for (const UserLog::CFactReference& definition : log.Facts().Definitions()) {
        const Trends::Series values = Trends::FactSeries(log, definition.name, from, to);
        const std::optional<Trends::Mean> mean = Trends::Average(values);
        if (!mean) continue;
        Xml::XmlElement fact = period.AddElement("Fact");
        fact.SetAttribute("name", definition.name);
        fact.SetAttribute("units", definition.units);
        fact.SetAttribute("average", OneDecimal(mean->value));
        fact.SetAttribute("days", mean->days);
    }
    for (const Trends::PeriodRow& row : Trends::PeriodTable(log, from, to)) {
        Xml::XmlElement el = period.AddElement("Nutrient");
        el.SetAttribute("gid", row.gid);
        el.SetAttribute("name", row.name);
        el.SetAttribute("units", row.units);
        el.SetAttribute("days", row.days);
        if (row.average) el.SetAttribute("average", OneDecimal(*row.average));
        if (row.target) el.SetAttribute("target", OneDecimal(*row.target));
        if (row.percent >= 0) el.SetAttribute("percent", row.percent);
        el.SetAttribute("under", row.under);
        el.SetAttribute("within", row.within);
        el.SetAttribute("over", row.over);
        if (!row.bestDate.empty()) el.SetAttribute("best", row.bestDate);
        if (!row.worstDate.empty()) el.SetAttribute("worst", row.worstDate);
    }
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
