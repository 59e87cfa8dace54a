#pragma once

#include "core/xml/JsonSerialize.h"

namespace NS_Data {
class CUserLog;
}

// What the Log tab's pages show of the targets: the current day's dashboard and the status of
// each logged day of the current day's month.
class CTargetsJson : public IJSONSerialize {
public:
    static constexpr const char* kJsonDayTargets = "%JSON_DAY_TARGETS%";
    static constexpr const char* kJsonMonthStatus = "%JSON_MONTH_STATUS%";

    explicit CTargetsJson(const NS_Data::CUserLog& log) : log_(log) {}

    // "%JSON_DAY_TARGETS%": {date, hasFoods, energy (null without a requirement), split[4],
    // groups[{name, nutrients[...]}], meals[{meal, energy, protein, fat, carbohydrate}]}.
    // "%JSON_MONTH_STATUS%": {"YYYYMMDD": {energy, outside}} for each day of the month that has
    // foods. See the pages for the fields they read.
    bool WriteJson(Json::Value& value, const std::string& placeholder) const override;

private:
    const NS_Data::CUserLog& log_;
};
