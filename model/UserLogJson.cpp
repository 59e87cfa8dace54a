// What the log tells the HTML pages: the JSON values behind the page placeholders.

#include "UserLog.h"

#include <cmath>

using UserLog::CDayFood;
using UserLog::CLogDay;

namespace {

// The page shows amounts to three decimals, one fewer than the program's own lists.
double JsonAmount(const CDayFood& entry) {
    const double grams = entry.UnitGramsOfFood();
    // A unit of no weight measures nothing; give grams, as the lists do, rather than infinity.
    const double quotient = grams > 0 ? entry.weight / grams : entry.weight;
    return std::floor(1000 * quotient + 0.5) / 1000;
}

Json::Value EntryJson(const CDayFood& entry) {
    Json::Value v;
    v["amount"] = JsonAmount(entry);
    v["meal"] = entry.meal;
    v["name"] = entry.food ? entry.food->Name() : entry.name;
    v["units"] = entry.UnitName();
    return v;
}

}  // namespace

namespace UserLog {

bool CLogDay::WriteJson(Json::Value& value, const std::string& /*placeholder*/) const {
    if (IsEmpty()) {
        value = Json::Value();
        return true;
    }
    value["date"] = date;
    // Arrays come into being by appending, so a day without food or facts gives null for them,
    // which the pages test for.
    Json::Value foodList;
    for (const CDayFood& entry : foods) foodList.append(EntryJson(entry));
    value["food"] = foodList;
    Json::Value factList;
    for (const CFact& fact : facts.Items()) {
        Json::Value f;
        f["name"] = fact.name;
        f["value"] = fact.value;
        factList.append(f);
    }
    value["facts"] = factList;
    return true;
}

}  // namespace UserLog

namespace NS_Data {

bool CUserLog::WriteJson(Json::Value& value, const std::string& placeholder) const {
    if (placeholder == kJsonLog) {
        const std::string month = currentDay_->date.substr(0, 6);
        Json::Value log;
        for (const auto& day : days_) {
            if (day->date.substr(0, 6) != month) continue;
            Json::Value d;
            day->WriteJson(d, placeholder);
            if (!d.isNull()) log.append(d);
        }
        value["log"] = log;
        value["currentDay"] = currentDay_->date;
        return true;
    }
    if (placeholder == kJsonDay) {
        Json::Value d;
        currentDay_->WriteJson(d, placeholder);
        Json::Value log;
        if (!d.isNull()) log.append(d);
        value["log"] = log;
        return true;
    }
    if (placeholder == kJsonMeasures) {
        Json::Value list(Json::arrayValue);
        for (const UserLog::CFactReference& definition : facts_.Definitions()) {
            Json::Value d;
            d["name"] = definition.name;
            d["value"] = definition.value;
            d["units"] = definition.units;
            list.append(d);
        }
        value["facts"] = list;
        return true;
    }
    return false;
}

}  // namespace NS_Data
