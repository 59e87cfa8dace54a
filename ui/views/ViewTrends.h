#pragma once

#include "ViewBase.h"

#include "document/viewmodel/TrendsModel.h"
#include "model/Trends.h"

#include <QString>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QHideEvent;
class QDateEdit;
class QLabel;
class QPointF;
class QTableWidget;

// The "Trends" tab: the days of a period side by side. A chart of a fact with its 7-day moving
// average and target, a chart of a followed nutrient's daily intake against its average and
// target band, energy eaten against the requirement, and a table of every followed nutrient
// over the period. A day without foods has no bar and no value of its own, never a zero; a
// fact's line passes over the days it was not measured. Hovering a day tells its value; clicking
// it opens the day on the Log tab.
class CViewTrends : public CViewBase {
    Q_OBJECT
public:
    explicit CViewTrends(QWidget* parent = nullptr);

    QComboBox* PeriodChooser() const { return period_; }
    QDateEdit* FromEdit() const { return from_; }
    QDateEdit* ToEdit() const { return to_; }
    QComboBox* FactChooser() const { return fact_; }
    QComboBox* NutrientChooser() const { return nutrient_; }
    QChartView* FactChart() const { return factView_; }
    QChartView* NutrientChart() const { return nutrientView_; }
    QChartView* EnergyChart() const { return energyView_; }
    // The table is filled once the charts are on screen; asking for it fills it at once.
    QTableWidget* Table();
    const TrendsModel::DateRange& Range() const { return range_; }

    // Makes the period's day at `index` the log's current day and brings the Log tab.
    void OpenDay(int index);
    // Writes the chart to a PNG or SVG file, by the file's extension; false when it can't.
    static bool SaveChart(QChartView& view, const QString& path);

protected:
    bool DoDataExchange(bool save) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FillChoosers();
    void OnPeriodChanged();
    // What the charts show: a chart that would be drawn the same is left as it is, since laying
    // out a chart drawn anew costs far more than computing what it shows.
    struct Drawn {
        std::vector<std::string> days;
        std::array<int, 3> widths{};  // of the plot areas, which place the axis labels
        std::optional<TrendsModel::NutrientChart> nutrient;
        std::optional<TrendsModel::FactChart> fact;
        std::optional<TrendsModel::EnergyChart> energy;
    };

    void Redraw();
    void DrawFact(const std::optional<TrendsModel::FactChart>& data);
    void DrawNutrient(const std::optional<TrendsModel::NutrientChart>& data);
    void DrawEnergy(const std::optional<TrendsModel::EnergyChart>& data);
    void FillTable();
    // The days' values as bars at their places; a gap has none.
    void AddBars(QChart& chart, const Trends::Series& series, const QString& name, const QString& units);
    // Sets the chart's x axis to the period's days and its y axis to the values drawn.
    void FinishChart(QChart& chart, double low, double high);
    // The tip of a day the pointer rests on in the chart; it stays while the pointer rests and
    // goes when the pointer leaves the day or the chart, or the tab is left.
    void ShowDayTip(const QChart* chart, int index, double value, const QString& units);
    void HideDayTip();
    int IndexAt(const QPointF& point) const;
    void AskSaveChart(QChartView* view);
    QChartView* MakeChartView();

    QComboBox* period_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QLabel* daysLabel_ = nullptr;
    QComboBox* fact_ = nullptr;
    QComboBox* nutrient_ = nullptr;
    QChartView* factView_ = nullptr;
    QChartView* nutrientView_ = nullptr;
    QChartView* energyView_ = nullptr;
    QTableWidget* table_ = nullptr;

    TrendsModel::DateRange range_;
    std::vector<std::string> days_;
    bool filling_ = false;
    bool tablePending_ = false;
    std::optional<Drawn> drawn_;
    std::optional<std::vector<Trends::PeriodRow>> tableRows_;
    QString tip_;
    QWidget* tipView_ = nullptr;
};
