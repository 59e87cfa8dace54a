#pragma once

#include "document/ProfileDocument.h"
#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <string>

// A profile document on tests/data/document/views-foods.xml (ID 9) with an empty current day,
// 7 May 2024, and no followed nutrients; counts the refreshes it asks for.
namespace ViewsFixture {

constexpr int kSource = 9;
constexpr int kYogurt = 200, kMeat = 201, kWater = 202;
constexpr int kProtein = 3, kFat = 4, kCalcium = 12, kIron = 13, kGlow = 999;

inline const CDataSourceMgr& Foods() {
    static const CDataSourceMgr* foods = [] {
        auto* mgr = new CDataSourceMgr;
        std::string error;
        EXPECT_TRUE(mgr->Load(std::string(VELMORA_TEST_DATA) + "/document/views-foods.xml", {}, error)) << error;
        return mgr;
    }();
    return *foods;
}

class Profile : public ::testing::Test {
protected:
    Profile() : clock(boost::gregorian::date(2024, 5, 7)), doc(&meals, &Foods()) {
        doc.hooks.updateAllViews = [this] { ++refreshes; };
    }

    // Adds an entry of the food with the weight; its index.
    int Eat(int key, double grams) {
        const int index = doc.AddFoodByKey(key, kSource);
        EXPECT_GE(index, 0);
        doc.CurrentDay().foods[static_cast<std::size_t>(index)].weight = grams;
        doc.RecomputeEnergyShares();
        return index;
    }

    void Follow(std::initializer_list<int> gids) {
        for (int gid : gids) EXPECT_TRUE(doc.AddNutrient(gid)) << gid;
    }

    ScopedClock clock;
    Meal::CMealManager meals;
    CProfileDocument doc;
    int refreshes = 0;
};

}  // namespace ViewsFixture
