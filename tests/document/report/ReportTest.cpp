// Report documents, the installed templates applied to them, and what a report run leaves behind:
// export.htm, the shell's URL, the user's messages and the log.

#include "document/report/Report.h"

#include "document/report/PageTemplate.h"
#include "document/report/TargetsJson.h"

#include "support/ExchangeFixture.h"

#include "core/AppDir.h"
#include "core/Log.h"
#include "refdata/DietaryIntakesMgr.h"
#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

namespace fs = std::filesystem;

Json::Value ParseJson(const std::string& text) {
    Json::CharReaderBuilder builder;
    std::string errors;
    Json::Value value;
    std::istringstream in(text);
    EXPECT_TRUE(Json::parseFromStream(builder, in, &value, &errors)) << errors;
    return value;
}

std::vector<std::string> Names(const std::vector<Xml::XmlElement>& elements) {
    std::vector<std::string> names;
    for (const auto& e : elements) names.push_back(e.TagName());
    return names;
}

std::string Attr(const Xml::XmlNode& node, const std::string& name) {
    return Xml::XmlElement(node).GetAttribute(name).AsString();
}

// ---- Documents ----------------------------------------------------------------------------

TEST(ReportDocument, HoldsTheCurrentDayWithIntakesAmountsAndEnergyRequirement) {
    auto log = ExchangeFixture::LogOn("20260110");
    Xml::XmlDocument doc;
    Report::BuildReportDocument(*log, Report::kSummaryTemplate, doc);

    const Xml::XmlElement root = doc.Root();
    EXPECT_EQ("velmora", Attr(root, "app"));
    EXPECT_EQ("report", Attr(root, "type"));
    EXPECT_EQ("/xslt/HTML.xsl", Attr(root, "version"));
    const Xml::XmlElement profile = root.ChildElement("Profile");
    EXPECT_EQ("/xslt/HTML.xsl", Attr(profile, "version"));
    EXPECT_THAT(Names(profile.ChildElements()),
                ::testing::ElementsAre("Personal", "Energy", "Nutrients", "Meals", "Log"));

    // The day has its own protein minimum of 70; the profile's limits are written, with the
    // day's intake beside them.
    const Xml::XmlNode protein = profile.SelectSingleNode("Nutrients/NutrientRequirement[@gid='3']");
    EXPECT_EQ("50", Attr(protein, "min"));
    EXPECT_EQ("60", Attr(protein, "max"));
    EXPECT_EQ("25.3", Attr(protein, "value"));
    EXPECT_EQ("µg", Attr(profile.SelectSingleNode("Nutrients/NutrientRequirement[@gid='35']"), "units"));

    ASSERT_EQ(1, profile.SelectNodes("Log/LogDay").Length());
    const Xml::XmlElement day = profile.SelectSingleNode("Log/LogDay");
    EXPECT_EQ("20260110", Attr(day, "date"));
    const Xml::XmlNodeList entries = day.SelectNodes("Food/dayFood");
    ASSERT_EQ(5, entries.Length());
    EXPECT_EQ("0.4167", Attr(entries.Item(0), "amount"));
    EXPECT_EQ("cup", Attr(entries.Item(0), "units"));
    EXPECT_EQ("240", Attr(entries.Item(0), "R"));
    EXPECT_EQ("3", Attr(entries.Item(1), "amount"));
    EXPECT_EQ("piece", Attr(entries.Item(1), "units"));
    EXPECT_EQ("70", Attr(day.SelectSingleNode("Nutrients/NutrientRequirement[@gid='3']"), "min"));
    EXPECT_EQ("61.5", Attr(day.SelectSingleNode("Fact[@name='Weight']"), "value"));

    // The day's weight goes into the equation: 2098.51 kcal, rounded.
    const Xml::XmlNode energy = day.SelectSingleNode("EnergyRequirement");
    EXPECT_EQ("2099", Attr(energy, "value"));
    EXPECT_THAT(Attr(energy, "expression"), HasSubstr("Weight(61.5)"));
    EXPECT_EQ("EnergyRequirement", Names(day.ChildElements()).back());

    // Nothing of the file that the report has no use for.
    EXPECT_TRUE(profile.SelectSingleNode("FactManager").IsNull());
}

TEST(ReportDocument, EmptyDayKeepsItsSkeletonAndTheSplitIsThatDays) {
    auto log = ExchangeFixture::LogOn("20260315");
    Xml::XmlDocument doc;
    Report::BuildReportDocument(*log, Report::kMenuTemplate, doc);

    EXPECT_EQ("/xslt/DailyMenu.xsl", Attr(doc.Root(), "version"));
    ASSERT_EQ(1, doc.SelectNodes("/root/Profile/Log/LogDay").Length());
    const Xml::XmlElement day = doc.SelectSingleNode("/root/Profile/Log/LogDay");
    EXPECT_EQ("20260315", Attr(day, "date"));
    EXPECT_THAT(Names(day.ChildElements()), ::testing::ElementsAre("Food", "EnergyRequirement"));
    EXPECT_TRUE(day.ChildElement("Food").ChildElements().empty());
    // The file's split (30/25/45/0) belongs to no particular day; a day without food has none.
    EXPECT_EQ("0", Attr(doc.SelectSingleNode("//EnergyComponent[@Name='Protein']"), "Value"));
}

TEST(ReportDocument, FoodComparisonHoldsEveryNutrientAndTheFoundFoodsInListOrder) {
    Xml::XmlDocument doc;
    Report::BuildFoodCompareDocument(ExchangeFixture::Foods(), {FoodKey(101, 7), FoodKey(999, 7), FoodKey(100, 7)},
                                     doc);

    EXPECT_EQ("/xslt/FoodCompare.xsl", Attr(doc.Root(), "version"));
    EXPECT_EQ("report", Attr(doc.Root(), "type"));
    EXPECT_EQ(7, doc.SelectNodes("/root/Nutrients/Nutrient").Length());
    const Xml::XmlNodeList foods = doc.SelectNodes("/root/ComparedFood/Food");
    ASSERT_EQ(2, foods.Length());
    EXPECT_EQ("Broth", Attr(foods.Item(0), "Name"));
    EXPECT_EQ("Stew", Attr(foods.Item(1), "Name"));
}

// ---- Running reports in an application folder ----------------------------------------------

// Every test process writes its log entries to one folder: the log registry keeps a file open
// under its name for the life of the process.
const TempDir& LogFolder() {
    static const TempDir* dir = [] {
        auto* d = new TempDir;
        SetLogFolder(d->Path().string() + "/");
        return d;
    }();
    return *dir;
}

class ReportRun : public ::testing::Test {
protected:
    // An application folder whose name needs escaping in a URL, holding the installed templates.
    void SetUp() override {
        LogFolder();
        app = root.Path() / "my reports #1";
        fs::create_directories(app / "xslt");
        for (const char* name : {"HTML.xsl", "DailyMenu.xsl", "FoodCompare.xsl", "PeriodSummary.xsl"})
            fs::copy_file(fs::path(VELMORA_SOURCE_DIR) / "data" / "xslt" / name, app / "xslt" / name);
        AppDir::Set(app.string());
    }

    std::string Html(const std::string& templatePath, const std::string& day) {
        auto log = ExchangeFixture::LogOn(day);
        auto html = Report::ApplyTemplate(templatePath, *log);
        EXPECT_TRUE(html.has_value()) << ::testing::PrintToString(prompt.messages);
        return html.value_or("");
    }

    std::string Read(const std::string& name) const { return root.Read("my reports #1/" + name); }
    void WriteFile(const std::string& name, const std::string& text) const {
        root.Write("my reports #1/" + name, text);
    }

    TempDir root;
    fs::path app;
    RecordingPrompt prompt;
    RecordingShell shell;
};

bool HasRow(const std::string& html, const std::string& rowClass, const std::string& firstCell) {
    const std::string open = rowClass.empty() ? "<tr>" : "<tr class=\"" + rowClass + "\">";
    return std::regex_search(html, std::regex(open + R"(\s*<td>)" + firstCell + "[<\n]"));
}

TEST_F(ReportRun, SummaryShowsThePersonTheEnergyAndEveryNutrientAgainstItsLimits) {
    const std::string html = Html(Report::kSummaryTemplate, "20260110");

    EXPECT_THAT(html, HasSubstr("Daily summary for Ada Test"));
    EXPECT_THAT(html, HasSubstr("10 January 2026"));
    EXPECT_THAT(html, HasSubstr("35 years"));
    EXPECT_THAT(html, HasSubstr("61.5"));  // the day's weight, not the person's 60
    EXPECT_THAT(html, HasSubstr("2,099"));
    EXPECT_THAT(html, HasSubstr("Activity Coef(1.12) * ( 9.36 * Weight(61.5) + 7.26 * Height(165) )"));
    EXPECT_THAT(html, HasSubstr("Old name of the stew"));
    EXPECT_THAT(html, HasSubstr("Soup &lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt; &amp; more"));
    EXPECT_EQ(std::string::npos, html.find("<script"));

    EXPECT_TRUE(HasRow(html, "", "Energy")) << html;
    EXPECT_TRUE(HasRow(html, "high", "Iron"));
    EXPECT_TRUE(HasRow(html, "low", "Vitamin C"));
    EXPECT_TRUE(HasRow(html, "low", "Vitamin B-12"));
    // The day's own minimum of 70 g applies, not the profile's 50-60 g.
    EXPECT_TRUE(HasRow(html, "low", "Protein"));
    EXPECT_THAT(html, HasSubstr("▲ above maximum"));
    EXPECT_THAT(html, HasSubstr("▼ below minimum"));
    EXPECT_THAT(html, HasSubstr(">µg<"));
    EXPECT_THAT(html, HasSubstr("charset=UTF-8"));
}

// A nutrient without limits of the user's own is judged by the person's reference intakes, in the
// document and on the page; own limits, the day's included, keep judging the others.
TEST_F(ReportRun, SummaryShowsEachNutrientsTargetAndPercent) {
    CDC_DietaryIntakesMgr intakes;
    intakes.InitializeBuiltIn(DriEdition::Current);
    auto log = ExchangeFixture::LogOn("20260110");
    log->SetTargetOptions({&intakes, true});
    log->RequirementAt(log->FindRequirement(29)).min = -1;  // vitamin C: the woman of 35's RDA 75, UL 2000

    Xml::XmlDocument doc;
    Report::BuildReportDocument(*log, Report::kSummaryTemplate, doc);
    const Xml::XmlNode vitaminC = doc.SelectSingleNode("//Nutrients/NutrientRequirement[@gid='29']/Target");
    EXPECT_EQ("75", Attr(vitaminC, "min"));
    EXPECT_EQ("2000", Attr(vitaminC, "max"));
    EXPECT_EQ("RDA+UL", Attr(vitaminC, "basis"));
    EXPECT_EQ("true", Attr(vitaminC, "default"));
    EXPECT_EQ("24", Attr(vitaminC, "percent"));  // 18.1 mg
    EXPECT_EQ("under", Attr(vitaminC, "status"));
    const Xml::XmlNode protein = doc.SelectSingleNode("//Nutrients/NutrientRequirement[@gid='3']/Target");
    EXPECT_EQ("own", Attr(protein, "basis"));  // the day's own 70 g
    EXPECT_EQ("36", Attr(protein, "percent"));
    EXPECT_FALSE(Xml::XmlElement(protein).HasAttribute("default"));

    const auto html = Report::ApplyTemplate(Report::kSummaryTemplate, *log);
    ASSERT_TRUE(html.has_value());
    EXPECT_THAT(*html, HasSubstr("% of target"));
    EXPECT_TRUE(HasRow(*html, "low", "Vitamin C"));
    EXPECT_TRUE(std::regex_search(*html, std::regex(R"re(<td class="num default">75</td>)re"))) << *html;
    EXPECT_THAT(*html, HasSubstr("24\u00A0%"));
    EXPECT_THAT(*html, HasSubstr("default targets from the reference intakes"));
}

// Energy is given as one share of the requirement on the dashboard, the daily summary and the
// Period Summary, under the profile's own band (100-2,500 kcal) as under the default one; each
// names its band.
TEST_F(ReportRun, EnergyIsOneShareOfTheRequirementEverywhere) {
    CDC_DietaryIntakesMgr intakes;
    intakes.InitializeBuiltIn(DriEdition::Current);
    for (const bool own : {true, false}) {
        SCOPED_TRACE(own ? "own band" : "default band");
        auto log = ExchangeFixture::LogOn("20260110");
        log->SetTargetOptions({&intakes, true});
        if (!own) {
            auto& energy = log->RequirementAt(log->FindRequirement(1));
            energy.min = energy.max = -1;
        }
        const double eaten = log->DayIntake(*log->GetCurrentDay(), 1);
        ASSERT_EQ(2099, log->DayEnergyRequirement(*log->GetCurrentDay()));
        const int share = static_cast<int>(std::lround(eaten / 2099 * 100));
        ASSERT_NE(share, static_cast<int>(std::lround(eaten / (own ? 100 : 1889) * 100)));  // not of the band's end
        const std::string percent = std::to_string(share);

        Xml::XmlDocument doc;
        Report::BuildReportDocument(*log, Report::kSummaryTemplate, doc);
        const Xml::XmlNode target = doc.SelectSingleNode("//Nutrients/NutrientRequirement[@gid='1']/Target");
        EXPECT_EQ("2099", Attr(target, "goal"));
        EXPECT_EQ(percent, Attr(target, "percent"));
        const std::string html = Report::ApplyTemplate(Report::kSummaryTemplate, doc).value_or("");
        EXPECT_THAT(html, HasSubstr("(" + percent + "\u00A0% of the requirement)"));
        EXPECT_TRUE(std::regex_search(
            html, std::regex(own ? "100–2,500</span> kcal\\s*<span class=\"muted\"> \\(your own"
                                 : "1,889–2,309</span> kcal\\s*<span class=\"muted\"> \\(requirement")))
            << html;
        EXPECT_THAT(html, HasSubstr("for energy, against the requirement"));

        const CTargetsJson dashboard(*log);
        const Json::Value day = ParseJson(Page::PlaceholderJson(&dashboard, CTargetsJson::kJsonDayTargets));
        EXPECT_EQ(share, day["energy"]["percent"].asInt());
        EXPECT_EQ(own ? 100 : 1889, day["energy"]["min"].asInt());
        EXPECT_EQ(own, day["energy"]["own"].asBool());
        EXPECT_EQ(share, day["groups"][0]["nutrients"][0]["percent"].asInt());
        EXPECT_EQ(2099, day["groups"][0]["nutrients"][0]["goal"].asInt());

        Xml::XmlDocument period;
        Report::BuildPeriodDocument(*log, "20260101", "20260131", period);
        EXPECT_EQ("2099", Attr(period.SelectSingleNode("//Energy"), "required"));
        EXPECT_EQ(percent, Attr(period.SelectSingleNode("//Energy"), "percent"));
        EXPECT_EQ("1889", Attr(period.SelectSingleNode("//Energy"), "min"));
        EXPECT_EQ("2099", Attr(period.SelectSingleNode("//Nutrient[@gid='1']"), "target"));
        EXPECT_EQ(percent, Attr(period.SelectSingleNode("//Nutrient[@gid='1']"), "percent"));
        const std::string summary = Report::ApplyTemplate(Report::kPeriodTemplate, period).value_or("");
        EXPECT_THAT(summary, HasSubstr("Energy eaten, share of the requirement"));
        EXPECT_THAT(summary, HasSubstr("1889–2309"));
    }
}

TEST_F(ReportRun, MenuGroupsTheFoodsByMealInTheMealListsOrder) {
    const std::string html = Html(Report::kMenuTemplate, "20260110");

    const std::size_t breakfast = html.find(">Breakfast<");
    const std::size_t lunch = html.find(">Lunch<");
    const std::size_t others = html.find(">Other foods<");
    ASSERT_NE(std::string::npos, others);
    EXPECT_LT(breakfast, lunch);
    EXPECT_LT(lunch, others);
    EXPECT_EQ(std::string::npos, html.find(">Dinner<"));  // no food: no heading
    EXPECT_THAT(html, HasSubstr("from 7:00"));
    // Both breakfast foods under the breakfast, the foods of no or an unknown meal at the end.
    EXPECT_LT(html.find("Soup &lt;/script&gt;"), lunch);
    EXPECT_GT(html.find("Broth"), others);
    EXPECT_GT(html.find("Salt"), others);
    EXPECT_THAT(html, HasSubstr("(Elevenses)"));
    EXPECT_THAT(html, HasSubstr("3\u00A0piece"));
}

TEST_F(ReportRun, ComparisonPutsNutrientsInRowsAndFoodsInColumns) {
    Xml::XmlDocument doc;
    Report::BuildFoodCompareDocument(ExchangeFixture::Foods(), {FoodKey(101, 7), FoodKey(100, 7)}, doc);
    const std::string html = Report::ApplyTemplate(Report::kCompareTemplate, doc).value_or("");

    EXPECT_LT(html.find(">Broth<"), html.find(">Stew<"));
    // Stew alone has vitamin B-12: a dash for the broth, the value at the nutrient's accuracy.
    EXPECT_TRUE(std::regex_search(html, std::regex(R"(Vitamin B-12<span class="units"> \(µg\)</span>\s*</td>\s*)"
                                                   R"(<td class="none">–</td>\s*<td class="value most">0.80</td>)")))
        << html;

    // Neither broth nor salt has fat: no row of dashes for it.
    Xml::XmlDocument lean;
    Report::BuildFoodCompareDocument(ExchangeFixture::Foods(), {FoodKey(101, 7), FoodKey(102, 7)}, lean);
    const std::string leanHtml = Report::ApplyTemplate(Report::kCompareTemplate, lean).value_or("");
    EXPECT_THAT(leanHtml, HasSubstr("Protein"));
    EXPECT_EQ(std::string::npos, leanHtml.find("Total lipid"));
}

// January 2026 holds one day with foods (the 10th) and one with a fact alone (the 5th).
TEST_F(ReportRun, PeriodSummaryAveragesTheLoggedDaysAndJudgesEachNutrient) {
    auto log = ExchangeFixture::LogOn("20260201");
    Xml::XmlDocument doc;
    Report::BuildPeriodDocument(*log, "20260101", "20260131", doc);
    EXPECT_EQ("/xslt/PeriodSummary.xsl", Attr(doc.Root(), "version"));
    const Xml::XmlNode period = doc.SelectSingleNode("/root/Period");
    EXPECT_EQ("31", Attr(period, "days"));
    EXPECT_EQ("1", Attr(period, "logged"));
    EXPECT_EQ("61.5", Attr(doc.SelectSingleNode("//Fact[@name='Weight']"), "average"));
    const Xml::XmlNode protein = doc.SelectSingleNode("//Nutrient[@gid='3']");
    EXPECT_EQ("1", Attr(protein, "under"));  // the day's own 70 g
    EXPECT_EQ("20260110", Attr(protein, "worst"));
    EXPECT_EQ("36", Attr(protein, "percent"));

    const std::string html = Report::ApplyTemplate(Report::kPeriodTemplate, doc).value_or("");
    EXPECT_THAT(html, HasSubstr("2026-01-01 to 2026-01-31: 1 of 31 days with foods"));
    EXPECT_TRUE(
        std::regex_search(html, std::regex(R"(Protein <span class="units">\(g\)</span>\s*</td>\s*<td>25.3</td>)")))
        << html;
    EXPECT_THAT(html, HasSubstr("36%"));
    EXPECT_THAT(html, HasSubstr("2026-01-10"));

    // Without a day with foods there is nothing to judge, and the page says so.
    Xml::XmlDocument empty;
    Report::BuildPeriodDocument(*log, "20260102", "20260106", empty);
    EXPECT_FALSE(Xml::XmlElement(empty.SelectSingleNode("//Nutrient[@gid='3']")).HasAttribute("average"));
    EXPECT_THAT(Report::ApplyTemplate(Report::kPeriodTemplate, empty).value_or(""),
                HasSubstr("No day of the period has foods."));
}

TEST_F(ReportRun, EachReportReplacesExportHtmAndOpensItsUrl) {
    WriteFile("export.htm", "an older report");
    auto log = ExchangeFixture::LogOn("20260110");

    EXPECT_TRUE(Report::RunTemplate(Report::kSummaryTemplate, *log));
    EXPECT_THAT(Read("export.htm"), HasSubstr("Daily summary"));
    EXPECT_TRUE(Report::CompareFoods(ExchangeFixture::Foods(), {FoodKey(100, 7)}));
    EXPECT_THAT(Read("export.htm"), HasSubstr("Food comparison"));

    const std::string url = "file://" + root.Path().string() + "/my%20reports%20%231/export.htm";
    EXPECT_EQ(std::vector<std::string>({url, url}), shell.opened);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ReportRun, UnwritableOutputIsReportedAndNothingOpened) {
    fs::create_directories(app / "export.htm");
    auto log = ExchangeFixture::LogOn("20260110");

    EXPECT_FALSE(Report::RunTemplate(Report::kMenuTemplate, *log));
    EXPECT_EQ(std::vector<std::string>({"File could not be opened: " + (app / "export.htm").string() + " "}),
              prompt.messages);
    EXPECT_TRUE(shell.opened.empty());
}

struct BadTemplate {
    const char* name;
    const char* content;
    bool loads;  // well-formed, so the failure is the transformation's
};

class ReportTemplateFailure : public ReportRun, public ::testing::WithParamInterface<BadTemplate> {};

TEST_P(ReportTemplateFailure, TellsTheUserLeavesTheOldPageAndLogsTransformationErrors) {
    const BadTemplate& c = GetParam();
    const std::string path = (app / "xslt" / "HTML.xsl").string();
    WriteFile("xslt/HTML.xsl", c.content);
    WriteFile("export.htm", "an older report");
    const std::string logBefore = LogFolder().Read("log.txt");
    auto log = ExchangeFixture::LogOn("20260110");

    EXPECT_FALSE(Report::RunTemplate(Report::kSummaryTemplate, *log));

    EXPECT_EQ("an older report", Read("export.htm"));
    EXPECT_TRUE(shell.opened.empty());
    ASSERT_EQ(1u, prompt.messages.size());
    const std::string logged = LogFolder().Read("log.txt").substr(logBefore.size());
    if (!c.loads) {
        EXPECT_EQ("Can't load template: " + path, prompt.messages[0]);
        EXPECT_EQ("", logged);
        return;
    }
    EXPECT_THAT(prompt.messages[0], StartsWith("Can't apply template: " + path + "\n"));
    EXPECT_THAT(logged, StartsWith("[ERR] "));
    const std::size_t sheet = logged.find(" : \nStyle sheet:\n<");
    const std::size_t document =
        logged.find("\nXML Document:\n<root app=\"velmora\" type=\"report\" version=\"/xslt/HTML.xsl\">");
    ASSERT_NE(std::string::npos, sheet);
    ASSERT_NE(std::string::npos, document);
    EXPECT_LT(sheet, document);
    EXPECT_THAT(logged, HasSubstr("<LogDay date=\"20260110\">"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReportTemplateFailure,
    ::testing::Values(
        BadTemplate{"NotWellFormed", "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>",
                    false},
        BadTemplate{"NotAStyleSheet", "<html><body>report</body></html>", true},
        BadTemplate{"StopsWithAnError",
                    "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                    "<xsl:template match='/'><xsl:message terminate='yes'>no data</xsl:message></xsl:template>"
                    "</xsl:stylesheet>",
                    true}),
    [](const auto& info) { return info.param.name; });

// ---- XML export ----------------------------------------------------------------------------

// A shell that answers with a code, as the desktop's own can.
class CodeShell : public RecordingShell {
public:
    int OpenWithCode(const std::string& url) override {
        opened.push_back(url);
        return code;
    }
    int code = 42;
};

struct ShellCase {
    const char* name;
    int code;
    const char* text;  // null: no message
};

class ExportXml : public ::testing::TestWithParam<ShellCase> {};

TEST_P(ExportXml, WritesTheProfileOpensItAndExplainsShellErrors) {
    const ShellCase& c = GetParam();
    TempDir app;
    AppDir::Set(app.Path().string());
    RecordingPrompt prompt;
    CodeShell shell;
    shell.code = c.code;
    auto log = ExchangeFixture::ReadLog();
    Xml::XmlDocument profile;
    Xml::XmlElement root = profile.CreateElement("root");
    profile.AppendChild(root);
    log->Save(root);

    Report::ExportXml(profile);

    const std::string path = app.File("export.xml");
    EXPECT_THAT(app.Read("export.xml"), HasSubstr("<LogDay date=\"20260110\">"));
    EXPECT_EQ(std::vector<std::string>({"file://" + path}), shell.opened);
    if (c.text)
        EXPECT_EQ(std::vector<std::string>({"File " + path + " could not be opened: " + c.text + " "}),
                  prompt.messages);
    else
        EXPECT_TRUE(prompt.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExportXml,
    ::testing::Values(ShellCase{"OutOfResources", 0, "The operating system is out of memory or resources."},
                      ShellCase{"FileNotFound", 2, "The specified file was not found."},
                      ShellCase{"AccessDenied", 5, "The operating system denied access to the specified file."},
                      ShellCase{"SharingViolation", 26, "A sharing violation occurred"},
                      ShellCase{
                          "NoAssociation", 31,
                          "There is no application associated with the given file name extension. This error will also "
                          "be returned if you attempt to print a file that is not printable."},
                      ShellCase{"DllNotFound", 32, "The specified DLL was not found."},
                      ShellCase{"UnlistedCode", 1, nullptr}, ShellCase{"Opened", 33, nullptr}),
    [](const auto& info) { return info.param.name; });

}  // namespace
