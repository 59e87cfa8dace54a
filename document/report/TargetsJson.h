#pragma once

#include "document/SingleDayDocData.h"

#include "core/xml/JsonSerialize.h"

#include <functional>

namespace NS_Data {
class CUserLog;
}

// What the Log tab's pages show of the targets: the current day's dashboard and the status of
// each logged day of the current day's month.
class CTargetsJson : public IJSONSerialize {
public:
    static constexpr const char* kJsonDayTargets = "%JSON_DAY_TARGETS%";
    static constexpr const char* kJsonMonthStatus = "%JSON_MONTH_STATUS%";

    // `view`: how the summary shows the targets, handed to the page with them.
    explicit CTargetsJson(const NS_Data::CUserLog& log, std::function<SummaryTargetsView()> view = {})
        : log_(log), view_(std::move(view)) {}

    // "%JSON_DAY_TARGETS%": {date, hasFoods, folded, all, energy (null without a requirement:
    // {eaten, requirement, remaining, percent of the requirement, min, max, own}), split[4],
    // groups[{name, nutrients[...]}], meals[{meal, energy, protein, fat, carbohydrate}]}.
    // "%JSON_MONTH_STATUS%": {"YYYYMMDD": {energy, outside}} for each day of the month that has
    // foods. See the pages for the fields they read.
    bool WriteJson(Json::Value& value, const std::string& placeholder) const override;

private:
    const NS_Data::CUserLog& log_;
    std::function<SummaryTargetsView()> view_;
};
