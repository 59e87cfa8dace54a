#include "Commands.h"

#include "core/Services.h"
#include "document/Report.h"
#include "model/Meal.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"

#include <iostream>
#include <stdexcept>

namespace Cli {

namespace {

const Meal::CMealManager& MealList() {
    static const Meal::CMealManager meals;
    return meals;
}

// TODO(profile reader): replace the body by ReadProfileFile once the profile format has its
// reader; until then this reads the "Profile" element of a file whose root is "root".
void ReadProfileInto(NS_Data::CUserLog& log, const std::string& path) {
    Xml::XmlDocument doc;
    if (!doc.Load(path)) throw std::runtime_error("Can't open file:\n" + path + "\n" + doc.ParseError());
    const Xml::XmlElement root = doc.Root();
    if (root.TagName() != "root" || root.GetAttribute("app", "").AsString() != "velmora")
        throw std::runtime_error("Can't load file:\n" + path + "\n");
    try {
        log.Load(root.ChildElement("Profile"));
    } catch (const std::exception& e) {
        throw std::runtime_error("Can't open file:\n" + path + "\n" + e.what());
    }
}

}  // namespace

std::unique_ptr<NS_Data::CUserLog> LoadLogForCommand(CliContext& ctx, const std::string& path,
                                                     const std::optional<std::string>& date) {
    if (date && !Services::ParseDateKey(*date)) throw UsageError("--date needs a date as YYYYMMDD, not '" + *date + "'");
    auto log = std::make_unique<NS_Data::CUserLog>(&MealList(), &ctx.DataSource());
    ReadProfileInto(*log, path);
    if (date) log->SelectDay(*date);
    return log;
}

namespace {

std::vector<FoodKey> ParseFoodKeys(const std::string& list) {
    std::vector<FoodKey> keys;
    std::size_t from = 0;
    while (from <= list.size()) {
        std::size_t end = list.find(',', from);
        if (end == std::string::npos) end = list.size();
        const std::string item = list.substr(from, end - from);
        const std::size_t colon = item.find(':');
        if (colon == std::string::npos) throw UsageError("--compare needs SOURCE:KEY pairs, not '" + item + "'");
        keys.emplace_back(ParseInt(item.substr(colon + 1), "KEY"), ParseInt(item.substr(0, colon), "SOURCE"));
        from = end + 1;
    }
    return keys;
}

int PrintHtml(const std::optional<std::string>& html) {
    if (!html) return 1;
    std::cout << *html;
    return 0;
}

}  // namespace

// The report documents and the pages the templates make of them, printed instead of opened.
int CmdReport(CliContext& ctx, std::vector<std::string>& args) {
    const auto templateName = TakeOption(args, "--template");
    const auto compare = TakeOption(args, "--compare");
    const auto date = TakeOption(args, "--date");
    const bool xml = TakeFlag(args, "--xml");

    if (compare) {
        // A comparison needs no profile; a FILE given by habit is not read.
        if (templateName || date || args.size() > 1) throw UsageError("report --compare takes only [FILE] and --xml");
        Xml::XmlDocument doc;
        Report::BuildFoodCompareDocument(ctx.DataSource(), ParseFoodKeys(*compare), doc);
        if (xml) {
            std::cout << doc.GetXml();
            return 0;
        }
        return PrintHtml(Report::ApplyTemplate(Report::kCompareTemplate, doc));
    }

    if (args.size() != 1) throw UsageError("report needs one profile FILE");
    if (!templateName) throw UsageError("report needs --template summary|menu or --compare");
    std::string templatePath;
    if (*templateName == "summary")
        templatePath = Report::kSummaryTemplate;
    else if (*templateName == "menu")
        templatePath = Report::kMenuTemplate;
    else
        throw UsageError("--template is summary or menu, not '" + *templateName + "'");

    const auto log = LoadLogForCommand(ctx, args[0], date);
    if (xml) {
        Xml::XmlDocument doc;
        Report::BuildReportDocument(*log, templatePath, doc);
        std::cout << doc.GetXml();
        return 0;
    }
    return PrintHtml(Report::ApplyTemplate(templatePath, *log));
}

}  // namespace Cli
