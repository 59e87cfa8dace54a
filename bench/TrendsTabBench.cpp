// The Trends tab over a ten-year log (3,650 days of 10 entries): from choosing a nutrient to the
// tab painted with its charts, on the window's thread (aim: within 300 ms), and the same for
// choosing "everything" as the period, which redraws all three charts and the table.

#include "model/Meal.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "ui/frame/AppContext.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewTrends.h"

#include "core/Services.h"
#include "document/viewmodel/TrendsModel.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>
#include <boost/date_time/gregorian/gregorian.hpp>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>

namespace {

// The log ends today, so "everything" and the year reach into it as a user's would.
struct TenYears {
    TenYears() {
        std::string error;
        if (!foods.Load(VELMORA_SOURCE_DIR "/tests/data/model/foods.xml", {}, error)) throw std::runtime_error(error);
        intakes.InitializeBuiltIn(DriEdition::Current);
        context.dataSource = &foods;
        context.meals = &meals;
        context.intakes = &intakes;
        doc = std::make_unique<CVelmoraDoc>(context);
        NS_Data::CUserLog& log = doc->Log();
        for (const CDS_Nutrition& n : foods.Nutrients()) log.AddRequirement(n.Gid(), -1, -1);
        std::mt19937 rng(11);
        const char* mealNames[] = {"Breakfast", "Lunch", "Dinner"};
        boost::gregorian::date day = Services::Today() - boost::gregorian::days(3649);
        for (int d = 0; d < 3650; ++d, day += boost::gregorian::days(1)) {
            log.SelectDay(boost::gregorian::to_iso_string(day));
            for (int e = 0; e < 10; ++e)
                log.AddFood(20.0 + rng() % 3000 / 10.0, 0, mealNames[e % 3],
                            *foods.FindFood(FoodKey(100 + static_cast<int>(rng() % 4), 7)));
            if (rng() % 4) log.GetCurrentDay()->SetFact("Weight", 60 + rng() % 200 / 10.0);
        }
        view = std::make_unique<CViewTrends>();
        view->SetDocument(doc.get());
        view->resize(1366, 700);
        view->show();
        doc->AddView(view.get());
        view->OnInitialUpdate();
        view->PeriodChooser()->setCurrentIndex(static_cast<int>(TrendsModel::Period::Everything));
        QApplication::processEvents();
    }
    ~TenYears() { doc->RemoveView(view.get()); }

    // Everything queued by the choice, then a paint of the whole tab.
    void Settle() {
        QApplication::processEvents();
        benchmark::DoNotOptimize(view->grab());
    }

    CDataSourceMgr foods;
    Meal::CMealManager meals;
    CDC_DietaryIntakesMgr intakes;
    Gui::CAppContext context;
    std::unique_ptr<CVelmoraDoc> doc;
    std::unique_ptr<CViewTrends> view;
};

TenYears& Tab() {
    static TenYears tab;
    return tab;
}

void BM_TrendsTabChoosingANutrient(benchmark::State& state) {
    TenYears& tab = Tab();
    QComboBox* chooser = tab.view->NutrientChooser();
    int next = 0;
    for (auto _ : state) {
        next = (next + 1) % chooser->count();
        chooser->setCurrentIndex(next);
        tab.Settle();
    }
}
BENCHMARK(BM_TrendsTabChoosingANutrient)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_TrendsTabChoosingThePeriod(benchmark::State& state) {
    TenYears& tab = Tab();
    QComboBox* period = tab.view->PeriodChooser();
    bool all = false;
    for (auto _ : state) {
        all = !all;
        period->setCurrentIndex(static_cast<int>(all ? TrendsModel::Period::Everything : TrendsModel::Period::Year));
        tab.Settle();
    }
}
BENCHMARK(BM_TrendsTabChoosingThePeriod)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
