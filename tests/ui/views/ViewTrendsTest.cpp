#include "support/GridViewsFixture.h"
#include "support/TempDir.h"

#include "ui/views/ViewTrends.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>
#include <QXYSeries>

#include <gmock/gmock.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

namespace {

using ::testing::ElementsAre;

// Ann's last week, 1 to 7 May 2024: stew on the 4th (added here), nothing on the 5th, stew and
// broth on the 6th, nuts on the 7th.
class TrendsView : public GridViewTest<CViewTrends> {
protected:
    TrendsView() {
        doc->Log().SelectDay("20240504");
        const int entry = doc->AddFoodByKey(100, 7);
        doc->SetFoodWeight(entry, 100);
        doc->Log().SelectDay("20240506");
        view->PeriodChooser()->setCurrentIndex(static_cast<int>(TrendsModel::Period::Last7));
        ChooseNutrient("Iron");
    }

    void ChooseNutrient(const QString& name) {
        QComboBox* chooser = view->NutrientChooser();
        const int at = chooser->findText(name);
        ASSERT_GE(at, 0) << name.toStdString();
        chooser->setCurrentIndex(at);
    }

    static QBarSet* Bars(QChartView* chart) {
        for (QAbstractSeries* series : chart->chart()->series())
            if (auto* bars = qobject_cast<QBarSeries*>(series)) return bars->barSets().value(0);
        return nullptr;
    }

    // The x of every point drawn on the chart, lines and dots alike.
    static std::set<int> DaysDrawn(QChartView* chart) {
        std::set<int> days;
        for (QAbstractSeries* series : chart->chart()->series())
            if (auto* xy = qobject_cast<QXYSeries*>(series))
                for (const QPointF& p : xy->points())
                    if (p.x() >= 0) days.insert(static_cast<int>(p.x()));
        return days;
    }

    std::vector<std::string> Column(int column) const {
        std::vector<std::string> out;
        for (int r = 0; r < view->Table()->rowCount(); ++r)
            out.push_back(view->Table()->item(r, column)->text().toStdString());
        return out;
    }
};

TEST_F(TrendsView, DrawsTheChosenNutrientDayByDayWithADayWithoutFoodsLeftOut) {
    EXPECT_EQ(view->Range().from, "20240501");
    EXPECT_EQ(view->Range().to, "20240507");
    EXPECT_EQ(view->NutrientChart()->chart()->title(), QStringLiteral("Iron (mg)"));
    QBarSet* bars = Bars(view->NutrientChart());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 7);
    EXPECT_GT(bars->at(3), 0);
    EXPECT_EQ(bars->at(4), 0);  // no bar on the 5th
    EXPECT_GT(bars->at(5), bars->at(3));
    // Energy against the requirement, marked on the 4th, the 6th and the 7th only.
    QBarSet* eaten = Bars(view->EnergyChart());
    ASSERT_NE(eaten, nullptr);
    EXPECT_EQ(eaten->count(), 7);
    EXPECT_THAT(DaysDrawn(view->EnergyChart()), ElementsAre(3, 5, 6));

    ChooseNutrient("Protein");
    EXPECT_EQ(view->NutrientChart()->chart()->title(), QStringLiteral("Protein (g)"));
    EXPECT_NE(Bars(view->NutrientChart()), nullptr);
}

TEST_F(TrendsView, TheWeightChartShowsTheWeighedDayAndItsWeekAfter) {
    EXPECT_EQ(view->FactChooser()->currentText(), QStringLiteral("Weight"));
    // Weighed on the 6th: the dot there, the moving average from the 6th to the end.
    EXPECT_THAT(DaysDrawn(view->FactChart()), ElementsAre(5, 6));
}

TEST_F(TrendsView, TheTableSortsByTheClickedColumn) {
    QTableWidget* table = view->Table();
    ASSERT_EQ(table->rowCount(), 6);
    QHeaderView* header = table->horizontalHeader();
    auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    auto numbers = [&](int column) {
        std::vector<double> out;
        for (const std::string& text : Column(column)) out.push_back(std::stod(text));
        return out;
    };
    clickHeader(1);  // average: 8.5 before 10.8, as numbers
    const std::vector<double> up = numbers(1);
    EXPECT_TRUE(std::is_sorted(up.begin(), up.end())) << ::testing::PrintToString(up);
    clickHeader(1);
    const std::vector<double> down = numbers(1);
    EXPECT_TRUE(std::is_sorted(down.rbegin(), down.rend())) << ::testing::PrintToString(down);
    clickHeader(0);
    EXPECT_EQ(Column(0).front(), "Carbohydrate (g)");
}

TEST_F(TrendsView, ClickingADaysBarOpensThatDayOnTheLogTab) {
    std::vector<Gui::CommandId> asked;
    QObject::connect(view.get(), &CViewBase::commandRequested, [&asked](Gui::CommandId id) { asked.push_back(id); });
    QChart* chart = view->NutrientChart()->chart();
    QBarSet* bars = Bars(view->NutrientChart());
    ASSERT_NE(bars, nullptr);
    QCoreApplication::processEvents();
    const QPointF inBar = chart->mapToPosition(QPointF(3, bars->at(3) / 2), chart->series().front());
    QTest::mouseClick(view->NutrientChart()->viewport(), Qt::LeftButton, {},
                      view->NutrientChart()->mapFromScene(chart->mapToScene(inBar)));
    EXPECT_EQ(doc->CurrentDate(), "20240504");
    EXPECT_THAT(asked, ElementsAre(Gui::CommandId::DayTargets));
}

// A day's tip goes when the period changes or a click opens the day on another tab, and no later
// request of the chart brings it back.
TEST_F(TrendsView, ADaysTipGoesWhenTheChartDoes) {
    const std::vector<std::pair<const char*, std::function<void()>>> leaving = {
        {"another period",
         [this] { view->PeriodChooser()->setCurrentIndex(static_cast<int>(TrendsModel::Period::Last30)); }},
        {"a click on the day", [this] { emit Bars(view->NutrientChart())->clicked(3); }},
    };
    for (const auto& [how, leave] : leaving) {
        SCOPED_TRACE(how);
        QBarSet* bars = Bars(view->NutrientChart());
        ASSERT_NE(bars, nullptr);
        emit bars->hovered(true, 3);
        ASSERT_TRUE(QToolTip::isVisible());
        EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral(" mg"))) << QToolTip::text().toStdString();
        leave();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        QWidget* viewport = view->NutrientChart()->viewport();
        QHelpEvent rest(QEvent::ToolTip, QPoint(20, 20), viewport->mapToGlobal(QPoint(20, 20)));
        QCoreApplication::sendEvent(viewport, &rest);
        QTest::qWait(100);
        EXPECT_FALSE(QToolTip::isVisible());
        view->PeriodChooser()->setCurrentIndex(static_cast<int>(TrendsModel::Period::Last7));
    }
}

// A showing redraws the charts whose values changed since, and leaves the others as they are.
TEST_F(TrendsView, AShowingRedrawsTheChartsWhoseValuesChanged) {
    QBarSet* iron = Bars(view->NutrientChart());
    QBarSet* energy = Bars(view->EnergyChart());
    ASSERT_NE(iron, nullptr);
    ASSERT_NE(energy, nullptr);
    const QList<QAbstractSeries*> weight = view->FactChart()->chart()->series();
    const std::vector<std::string> averages = Column(1);
    view->UpdateData(false);
    EXPECT_EQ(Bars(view->NutrientChart()), iron);
    EXPECT_EQ(Bars(view->EnergyChart()), energy);
    EXPECT_EQ(view->FactChart()->chart()->series(), weight);

    // Twice the stew on the 4th, and a weight on the 3rd.
    const double ironBefore = iron->at(3);
    doc->Log().SelectDay("20240504");
    doc->SetFoodWeight(0, 200);
    doc->Log().SelectDay("20240503");
    doc->CurrentDay().SetFact("Weight", 70);
    view->UpdateData(false);
    ASSERT_NE(Bars(view->NutrientChart()), nullptr);
    EXPECT_NEAR(Bars(view->NutrientChart())->at(3), 2 * ironBefore, 0.1);
    EXPECT_THAT(DaysDrawn(view->FactChart()), ::testing::Contains(2));
    EXPECT_NE(Column(1), averages);
}

TEST_F(TrendsView, AChartIsSavedAsPngOrSvgByTheFilesEnding) {
    TempDir dir;
    QChartView* chart = view->NutrientChart();
    ASSERT_TRUE(CViewTrends::SaveChart(*chart, QString::fromStdString(dir.File("iron.png"))));
    const QImage picture(QString::fromStdString(dir.File("iron.png")));
    EXPECT_EQ(picture.size(), chart->size() * chart->devicePixelRatio());
    ASSERT_TRUE(CViewTrends::SaveChart(*chart, QString::fromStdString(dir.File("iron.SVG"))));
    const std::string svg = dir.Read("iron.SVG");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("Iron (mg)"), std::string::npos);
    EXPECT_FALSE(CViewTrends::SaveChart(*chart, QString::fromStdString(dir.File("missing/iron.png"))));
    ASSERT_EQ(0, ::mkfifo(dir.File("fifo.png").c_str(), 0600));
    EXPECT_FALSE(CViewTrends::SaveChart(*chart, QString::fromStdString(dir.File("fifo.png"))));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.Path() / "fifo.png"));
}

}  // namespace
