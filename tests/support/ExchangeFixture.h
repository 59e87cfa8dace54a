#pragma once

#include "model/Meal.h"
#include "model/UserLog.h"

#include "core/LoadReport.h"
#include "core/xml/Xml.h"
#include "refdata/DataSourceMgr.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The exchange fixtures: a small data source (ID 7) and a profile on it whose days are
//   20250110  stew (same month, another year)
//   20251231  broth (another month)
//   20260105  the fact "Mood" only
//   20260110  five entries: stew in cups under an old name, stew in pieces, broth without a meal,
//             salt of an unknown meal, a food the data source lacks whose name closes a script;
//             its own protein limit and the fact "Weight"
//   20260201  broth (the current day after reading)
namespace ExchangeFixture {

inline std::string DataPath(const std::string& name) { return std::string(VELMORA_TEST_DATA) + "/exchange/" + name; }

inline const CDataSourceMgr& Foods() {
    static const CDataSourceMgr* foods = [] {
        auto* mgr = new CDataSourceMgr;
        std::string error;
        EXPECT_TRUE(mgr->Load(DataPath("foods.xml"), {}, error)) << error;
        return mgr;
    }();
    return *foods;
}

inline const Meal::CMealManager& Meals() {
    static const Meal::CMealManager meals;
    return meals;
}

inline std::unique_ptr<NS_Data::CUserLog> ReadLog(const std::string& file = "profile.xml") {
    LoadReport::Clear();
    Xml::XmlDocument doc;
    EXPECT_TRUE(doc.Load(DataPath(file))) << doc.ParseError();
    auto log = std::make_unique<NS_Data::CUserLog>(&Meals(), &Foods());
    log->Load(doc.Root().ChildElement("Profile"));
    return log;
}

// The log with that day current.
inline std::unique_ptr<NS_Data::CUserLog> LogOn(const std::string& dateKey) {
    auto log = ReadLog();
    log->SelectDay(dateKey);
    return log;
}

inline constexpr const char* kScriptName = "Soup </script><script>alert(1)</script> & more";

}  // namespace ExchangeFixture
