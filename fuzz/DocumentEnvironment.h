#pragma once

// What the targets that open profiles share: the test data source (ID 7), the meal list, a fixed
// day and a prompt that answers nothing, made once per process.

#include "FuzzSupport.h"

#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <string>

namespace FuzzSupport {

struct DocumentEnvironment {
    DocumentEnvironment() {
        std::string error;
        if (!foods.Load(VELMORA_SOURCE_DIR "/tests/data/document/foods.xml", {}, error))
            Fault("the fuzz data source does not load: " + error);
    }

    Services::FixedClock clock{boost::gregorian::date(2024, 2, 29)};
    SilentPrompt prompt;
    CDataSourceMgr foods;
    Meal::CMealManager meals;
};

}  // namespace FuzzSupport
