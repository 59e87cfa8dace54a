#include "Commands.h"

#include "core/Services.h"
#include "document/SingleDayDocData.h"
#include "document/fileio/ProfileFile.h"
#include "document/report/Report.h"
#include "document/report/ReportDocument.h"
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

}  // namespace

std::unique_ptr<CSingleDayDocData> LoadProfileForCommand(CliContext& ctx, const std::string& path,
                                                         const std::optional<std::string>& date) {
    if (date && !Services::ParseDateKey(*date))
        throw UsageError("--date needs a date as YYYYMMDD, not '" + *date + "'");
    auto data = std::make_unique<CSingleDayDocData>(&MealList(), &ctx.DataSource());
    std::string error;
    if (!ReadProfileFile(*data, path, error)) throw std::runtime_error(error);
    data->Log().SetTargetOptions(ctx.TargetOptions());
    if (date) data->Log().SelectDay(*date);
    return data;
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

    const auto data = LoadProfileForCommand(ctx, args[0], date);
    if (xml) {
        Xml::XmlDocument doc;
        Report::BuildReportDocument(*data, templatePath, doc);
        std::cout << doc.GetXml();
        return 0;
    }
    return PrintHtml(Report::ApplyTemplate(templatePath, data->Log()));
}

}  // namespace Cli
