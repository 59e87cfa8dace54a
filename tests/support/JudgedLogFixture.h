#pragma once

#include "model/Meal.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <string>

// A man of 40 (born 1986, "today" 10 December 2026) on the test table of tests/data/model, who
// follows energy, protein, iron and vitamin C without limits of his own, judged by the current
// reference intakes: protein RDA 56 g; iron RDA 8 mg, UL 45 mg; vitamin C RDA 90 mg, UL 2000 mg.
class JudgedLogTest : public testing::Test {
protected:
    static constexpr int kSource = 7;
    static constexpr int kEnergy = 1, kProtein = 3, kIron = 13, kVitaminC = 29;

    JudgedLogTest() : clock_(boost::gregorian::date(2026, 12, 10)) {
        std::string error;
        EXPECT_TRUE(foods_.Load(std::string(VELMORA_TEST_DATA) + "/model/foods.xml", {}, error)) << error;
        log_.Personal().female = 0;
        log_.Personal().birthYear = 1986;
        log_.SetTargetOptions({&Current(), true});
        for (const int gid : {kEnergy, kProtein, kIron, kVitaminC}) log_.AddRequirement(gid, -1, -1);
    }

    static const CDC_DietaryIntakesMgr& Current() {
        static const CDC_DietaryIntakesMgr mgr = [] {
            CDC_DietaryIntakesMgr m;
            m.InitializeBuiltIn(DriEdition::Current);
            return m;
        }();
        return mgr;
    }

    const CDS_Ingredient& Food(int key) { return *foods_.FindFood(FoodKey(key, kSource)); }

    ScopedClock clock_;
    CDataSourceMgr foods_;
    Meal::CMealManager meals_;
    NS_Data::CUserLog log_{&meals_, &foods_};
};
