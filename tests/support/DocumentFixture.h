#pragma once

#include "core/LoadReport.h"
#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"

#include <gtest/gtest.h>

#include <string>

// The small data source of tests/data/document/foods.xml (ID 7) and the application's meal list,
// shared by the document tests.
namespace DocumentFixture {

constexpr int kSource = 7;
constexpr int kStew = 100, kBroth = 101, kSalt = 102, kNuts = 103;
constexpr int kEnergy = 1, kProtein = 3, kFat = 4, kCarbohydrate = 5, kIron = 13, kVitaminC = 29;

inline std::string Data(const std::string& name) { return std::string(VELMORA_TEST_DATA) + "/document/" + name; }

inline const CDataSourceMgr& Foods() {
    static const CDataSourceMgr* foods = [] {
        auto* mgr = new CDataSourceMgr;
        std::string error;
        EXPECT_TRUE(mgr->Load(Data("foods.xml"), {}, error)) << error;
        return mgr;
    }();
    return *foods;
}

inline const Meal::CMealManager& Meals() {
    static const Meal::CMealManager meals;
    return meals;
}

inline std::string LostText() { return LoadReport::FormatLost("", "\t", "\n"); }

}  // namespace DocumentFixture
