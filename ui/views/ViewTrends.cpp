#include "ViewTrends.h"

#include "ui/frame/QtServices.h"
#include "ui/frame/VelmoraDoc.h"

#include "core/FileUtil.h"
#include "core/Services.h"
#include "model/Targets.h"
#include "model/UserLog.h"
#include "refdata/NutrientLabel.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QScatterSeries>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString Number(double value) { return QString::number(value, 'f', std::abs(value) >= 100 ? 0 : 1); }

QDate ToQDate(const std::string& key) { return QDate::fromString(Q(key), QStringLiteral("yyyyMMdd")); }
std::string ToKey(const QDate& date) { return date.toString(QStringLiteral("yyyyMMdd")).toStdString(); }

const QColor kValueColor(0x1f, 0x77, 0xb4);
const QColor kAverageColor(0xff, 0x7f, 0x0e);
const QColor kTargetColor(0x2c, 0xa0, 0x2c);
const QColor kUpperColor(0xd6, 0x27, 0x28);

// Over more days than this the dots of a line would run together into a band.
constexpr int kMostMarked = 120;

// Columns of the period table.
enum Column { kName, kAverage, kPercent, kUnder, kWithin, kOver, kBest, kWorst, kColumns };

// A cell that sorts by a number of its own (a missing value below every other) instead of its text.
class SortItem : public QTableWidgetItem {
public:
    SortItem(const QString& text, double key) : QTableWidgetItem(text), key_(key) {}
    bool operator<(const QTableWidgetItem& other) const override {
        if (const auto* item = dynamic_cast<const SortItem*>(&other)) return key_ < item->key_;
        return QTableWidgetItem::operator<(other);
    }

private:
    double key_;
};

constexpr double kMissing = -std::numeric_limits<double>::infinity();

// Bounds of the values drawn on a chart.
struct Span {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void Add(double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    void Add(const std::optional<double>& v) {
        if (v) Add(*v);
    }
    void Add(const Trends::Series& series) {
        for (const auto& p : series) Add(p.value);
    }
    bool Empty() const { return low > high; }
};

// A legend shows a series that is drawn in several pieces once.
void HideFromLegend(QChart& chart, QAbstractSeries* series) {
    for (QLegendMarker* marker : chart.legend()->markers(series)) marker->setVisible(false);
}

}  // namespace

CViewTrends::CViewTrends(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewTrends"));

    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 4, 6, 0);
    period_ = new QComboBox(this);
    period_->setObjectName(QStringLiteral("trendsPeriod"));
    for (const std::string& name : TrendsModel::PeriodNames()) period_->addItem(Q(name));
    period_->setCurrentIndex(static_cast<int>(TrendsModel::Period::Last30));
    from_ = new QDateEdit(this);
    to_ = new QDateEdit(this);
    for (QDateEdit* edit : {from_, to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    daysLabel_ = new QLabel(this);
    top->addWidget(new QLabel(QStringLiteral("Period:"), this));
    top->addWidget(period_);
    top->addSpacing(8);
    top->addWidget(new QLabel(QStringLiteral("From"), this));
    top->addWidget(from_);
    top->addWidget(new QLabel(QStringLiteral("to"), this));
    top->addWidget(to_);
    top->addSpacing(12);
    top->addWidget(daysLabel_);
    top->addStretch(1);

    auto pane = [this](const QString& label, QComboBox* chooser, QChartView* view) {
        auto* widget = new QWidget(this);
        auto* layout = new QVBoxLayout(widget);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->setSpacing(2);
        auto* row = new QHBoxLayout;
        auto* title = new QLabel(label, widget);
        // The same height with or without a chooser, so that the charts line up.
        title->setMinimumHeight(fact_->sizeHint().height());
        row->addWidget(title);
        if (chooser) row->addWidget(chooser, 1);
        layout->addLayout(row);
        layout->addWidget(view, 1);
        return widget;
    };
    fact_ = new QComboBox(this);
    fact_->setObjectName(QStringLiteral("trendsFact"));
    nutrient_ = new QComboBox(this);
    nutrient_->setObjectName(QStringLiteral("trendsNutrient"));
    factView_ = MakeChartView();
    factView_->setObjectName(QStringLiteral("factChart"));
    nutrientView_ = MakeChartView();
    nutrientView_->setObjectName(QStringLiteral("nutrientChart"));
    energyView_ = MakeChartView();
    energyView_->setObjectName(QStringLiteral("energyChart"));

    auto* charts = new QSplitter(Qt::Horizontal, this);
    charts->addWidget(pane(QStringLiteral("Fact:"), fact_, factView_));
    charts->addWidget(pane(QStringLiteral("Nutrient:"), nutrient_, nutrientView_));
    charts->addWidget(pane(QStringLiteral("Energy eaten and required"), nullptr, energyView_));

    table_ = new QTableWidget(0, kColumns, this);
    table_->setObjectName(QStringLiteral("trendsTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Nutrient"), QStringLiteral("Average"),
                                       QStringLiteral("% of target"), QStringLiteral("Days under"),
                                       QStringLiteral("Days within"), QStringLiteral("Days over"),
                                       QStringLiteral("Best day"), QStringLiteral("Worst day")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::ResizeToContents);
    table_->setSortingEnabled(true);
    // The profile's order until a column is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setToolTip(QStringLiteral("Double-click a best or worst day to open it on the Log tab"));
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column != kBest && column != kWorst) return;
        const std::string key = table_->item(row, column)->data(Qt::UserRole).toString().toStdString();
        const auto at = std::find(days_.begin(), days_.end(), key);
        if (at != days_.end()) OpenDay(static_cast<int>(at - days_.begin()));
    });

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(charts);
    split->addWidget(table_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(period_, &QComboBox::currentIndexChanged, this, [this] { OnPeriodChanged(); });
    for (QDateEdit* edit : {from_, to_})
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (!filling_) OnPeriodChanged();
        });
    connect(fact_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) Redraw();
    });
    connect(nutrient_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) Redraw();
    });
}

QChartView* CViewTrends::MakeChartView() {
    auto* view = new QChartView(new QChart, this);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 160);
    view->chart()->legend()->setAlignment(Qt::AlignBottom);
    view->chart()->setMargins(QMargins(2, 2, 2, 2));
    // Items taken off the chart when it is drawn anew (dots, markers) reach a pixel beyond the
    // bounds they report, so updating only those bounds left pieces of them behind.
    view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    // The scene answers a resting pointer's tool tip request with the tip of the item under it,
    // and none of our items has one, so it would hide the day's tip; the day's tip answers it.
    view->viewport()->installEventFilter(this);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
        QMenu menu(this);
        QAction* save = menu.addAction(QStringLiteral("Save Chart..."));
        if (menu.exec(view->mapToGlobal(at)) == save) AskSaveChart(view);
    });
    return view;
}

bool CViewTrends::DoDataExchange(bool save) {
    if (save) return true;
    FillChoosers();
    OnPeriodChanged();
    return true;
}

void CViewTrends::FillChoosers() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    QScopedValueRollback<bool> guard(filling_, true);
    const NS_Data::CUserLog& log = doc->Log();

    const QString fact = fact_->currentText();
    fact_->clear();
    for (const auto& definition : log.Facts().Definitions()) fact_->addItem(Q(definition.name));
    int at = fact_->findText(fact.isEmpty() ? QStringLiteral("Weight") : fact);
    fact_->setCurrentIndex(at >= 0 ? at : 0);

    const int gid = nutrient_->currentData().isValid() ? nutrient_->currentData().toInt() : -1;
    nutrient_->clear();
    int preferred = -1;
    for (const auto& req : log.Requirements()) {
        if (req.gid == -1) continue;
        const Nutrient::Label label = Nutrient::LabelOf(req.gid, log.DataSource());
        nutrient_->addItem(Q(label.name), req.gid);
        if (preferred < 0 && req.gid != Targets::kEnergyGid) preferred = nutrient_->count() - 1;
    }
    at = gid >= 0 ? nutrient_->findData(gid) : -1;
    nutrient_->setCurrentIndex(at >= 0 ? at : std::max(preferred, 0));
}

void CViewTrends::OnPeriodChanged() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const auto period = static_cast<TrendsModel::Period>(std::max(period_->currentIndex(), 0));
    const bool custom = period == TrendsModel::Period::Range;
    from_->setEnabled(custom);
    to_->setEnabled(custom);
    const std::string today = boost::gregorian::to_iso_string(Services::Today());
    range_ = TrendsModel::RangeOf(period, doc->Log(), today, {ToKey(from_->date()), ToKey(to_->date())});
    if (!custom) {
        QScopedValueRollback<bool> guard(filling_, true);
        from_->setDate(ToQDate(range_.from));
        to_->setDate(ToQDate(range_.to));
    }
    doc->SetTrendsRange(range_);
    days_ = Trends::DaysOf(range_.from, range_.to);
    // The day a tip names may no longer be where it was.
    HideDayTip();
    Redraw();
}

void CViewTrends::Redraw() {
    Drawn now;
    now.days = days_;
    const QChartView* views[] = {nutrientView_, factView_, energyView_};
    for (std::size_t i = 0; i < now.widths.size(); ++i)
        now.widths[i] = static_cast<int>(views[i]->chart()->plotArea().width());
    if (CVelmoraDoc* doc = GetDocument()) {
        if (nutrient_->currentIndex() >= 0)
            now.nutrient = TrendsModel::NutrientChartOf(doc->Log(), nutrient_->currentData().toInt(), range_);
        if (fact_->currentIndex() >= 0)
            now.fact = TrendsModel::FactChartOf(doc->Log(), fact_->currentText().toStdString(), range_);
        now.energy = TrendsModel::EnergyChartOf(doc->Log(), range_);
    }
    const bool frame = !drawn_ || drawn_->days != now.days || drawn_->widths != now.widths;
    if (frame || drawn_->nutrient != now.nutrient) DrawNutrient(now.nutrient);
    if (frame || drawn_->fact != now.fact) DrawFact(now.fact);
    if (frame || drawn_->energy != now.energy) DrawEnergy(now.energy);
    drawn_ = std::move(now);
    // Judging every day of a long period against its targets takes longer than drawing it.
    if (!tablePending_) {
        tablePending_ = true;
        QTimer::singleShot(0, this, [this] {
            if (tablePending_) FillTable();
        });
    }
}

QTableWidget* CViewTrends::Table() {
    if (tablePending_) FillTable();
    return table_;
}

int CViewTrends::IndexAt(const QPointF& point) const {
    const long index = std::lround(point.x());
    if (days_.empty() || index < 0) return -1;
    return static_cast<int>(std::min<long>(index, static_cast<long>(days_.size()) - 1));
}

void CViewTrends::ShowDayTip(const QChart* chart, int index, double value, const QString& units) {
    QChartView* view = nullptr;
    for (QChartView* v : {factView_, nutrientView_, energyView_})
        if (v->chart() == chart) view = v;
    if (!view || !isVisible() || index < 0 || index >= static_cast<int>(days_.size())) return HideDayTip();
    tip_ = Q(TrendsModel::ShowDate(days_[static_cast<std::size_t>(index)])) + QStringLiteral(": ") + Number(value) +
           (units.isEmpty() ? QString() : QLatin1Char(' ') + units);
    tipView_ = view->viewport();
    QToolTip::showText(QCursor::pos(), tip_, tipView_);
}

void CViewTrends::HideDayTip() {
    if (tip_.isEmpty()) return;
    tip_.clear();
    tipView_ = nullptr;
    QToolTip::hideText();
}

bool CViewTrends::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !tip_.isEmpty() && watched == tipView_) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip_, tipView_);
        return true;
    }
    if (event->type() == QEvent::Leave && watched == tipView_) HideDayTip();
    return CViewBase::eventFilter(watched, event);
}

void CViewTrends::hideEvent(QHideEvent* event) {
    // A tip of this tab has nothing to say over another.
    HideDayTip();
    CViewBase::hideEvent(event);
}

void CViewTrends::OpenDay(int index) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc || index < 0 || index >= static_cast<int>(days_.size())) return;
    HideDayTip();
    doc->GoToDate(days_[static_cast<std::size_t>(index)]);
    emit commandRequested(Gui::CommandId::DayTargets);
}

void CViewTrends::FinishChart(QChart& chart, double low, double high) {
    const int n = static_cast<int>(days_.size());
    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    // As many labels as fit the chart's width.
    const qreal width = chart.plotArea().width() > 0 ? chart.plotArea().width() : 400;
    for (const auto& [index, text] : TrendsModel::AxisLabels(days_, std::max(2, static_cast<int>(width / 85))))
        x->append(Q(text), index);
    x->setRange(-0.5, std::max(n, 1) - 0.5);
    x->setGridLineVisible(false);
    auto* y = new QValueAxis;
    if (!(low < high)) {
        low = std::isfinite(low) ? low - 1 : 0;
        high = std::isfinite(high) ? high + 1 : 1;
    }
    y->setRange(low, high);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%g"));
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart.series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

namespace {

// A chart item per run costs about a millisecond; beyond this many runs the days are dots alone,
// which over such a period lie as close as a line would.
constexpr std::size_t kMostRuns = 50;

// Draws a series with gaps: a line through each run of consecutive days, and with `dots` a dot on
// every day that has a value. Each piece reports hovering and clicking through `connectPiece`.
template <class Connect>
void AddGapped(QChart& chart, const Trends::Series& series, const QString& name, const QColor& color,
               Qt::PenStyle style, bool dots, Connect connectPiece) {
    const std::vector<TrendsModel::Run> runs = TrendsModel::RunsOf(series);
    const bool lines = runs.size() <= kMostRuns;
    QPen pen(color, 2, style);
    bool named = false;
    auto add = [&](QXYSeries* piece) {
        piece->setName(name);
        chart.addSeries(piece);
        if (named) HideFromLegend(chart, piece);
        named = true;
        connectPiece(piece);
    };
    if (dots || !lines) {
        auto* points = new QScatterSeries;
        points->setMarkerSize(dots ? 6 : 3);
        points->setColor(color);
        points->setBorderColor(color);
        QList<QPointF> list;
        for (std::size_t i = 0; i < series.size(); ++i)
            if (series[i].value) list.append(QPointF(static_cast<double>(i), *series[i].value));
        points->replace(list);
        add(points);
    }
    for (const TrendsModel::Run& run : runs) {
        if (!lines) break;
        if (run.values.size() < 2) continue;
        auto* line = new QLineSeries;
        line->setPen(pen);
        QList<QPointF> list;
        list.reserve(static_cast<qsizetype>(run.values.size()));
        for (std::size_t i = 0; i < run.values.size(); ++i)
            list.append(QPointF(run.first + static_cast<double>(i), run.values[i]));
        line->replace(list);
        add(line);
    }
}

// A line through the days that have a value, over the gaps between them: a measurement such as
// the weight, or the requirement, still is what it was on a day nobody wrote it down. With
// `marks` each of those days has a dot, drawn by the line itself rather than an item per day.
template <class Connect>
void AddThrough(QChart& chart, const Trends::Series& series, const QString& name, const QColor& color,
                Qt::PenStyle style, bool marks, Connect connectPiece) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->setPen(QPen(color, 2, style));
    QList<QPointF> list;
    for (std::size_t i = 0; i < series.size(); ++i)
        if (series[i].value) list.append(QPointF(static_cast<double>(i), *series[i].value));
    line->replace(list);
    line->setPointsVisible(marks);
    line->setMarkerSize(6);
    chart.addSeries(line);
    connectPiece(line);
}

// A horizontal line across the whole period.
QLineSeries* AddLevel(QChart& chart, double value, int days, const QString& name, const QColor& color,
                      Qt::PenStyle style) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->setPen(QPen(color, 2, style));
    line->append(-0.5, value);
    line->append(std::max(days, 1) - 0.5, value);
    chart.addSeries(line);
    return line;
}

}  // namespace

void CViewTrends::DrawFact(const std::optional<TrendsModel::FactChart>& shown) {
    QChart* chart = factView_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) chart->removeAxis(axis), delete axis;
    if (!shown) {
        chart->setTitle(QStringLiteral("No facts are defined"));
        FinishChart(*chart, 0, 1);
        return;
    }
    const TrendsModel::FactChart& data = *shown;
    const QString units = Q(data.units);
    chart->setTitle(units.isEmpty() ? Q(data.name) : Q(data.name) + QStringLiteral(" (") + units + ')');
    auto connectPiece = [this, chart, units](QXYSeries* piece) {
        connect(piece, &QXYSeries::hovered, this, [this, chart, units](const QPointF& point, bool on) {
            if (on)
                ShowDayTip(chart, IndexAt(point), point.y(), units);
            else
                HideDayTip();
        });
        connect(piece, &QXYSeries::clicked, this, [this](const QPointF& point) { OpenDay(IndexAt(point)); });
    };
    const int n = static_cast<int>(days_.size());
    AddThrough(*chart, data.values, Q(data.name), kValueColor, Qt::SolidLine, n <= kMostMarked, connectPiece);
    AddGapped(*chart, data.moving, QStringLiteral("7-day average"), kAverageColor, Qt::SolidLine, false, connectPiece);
    if (data.target) AddLevel(*chart, *data.target, n, QStringLiteral("Target"), kTargetColor, Qt::DashLine);
    Span span;
    span.Add(data.values);
    span.Add(data.target);
    const double pad = span.Empty() ? 0 : std::max((span.high - span.low) * 0.1, 0.5);
    FinishChart(*chart, span.low - pad, span.high + pad);
}

void CViewTrends::AddBars(QChart& chart, const Trends::Series& series, const QString& name, const QString& units) {
    // One set of bars; a day without foods keeps its place with no bar, and says nothing when
    // hovered.
    auto* set = new QBarSet(name);
    set->setColor(kValueColor);
    set->setBorderColor(kValueColor);
    QList<qreal> values;
    values.reserve(static_cast<qsizetype>(series.size()));
    for (const auto& point : series) values.append(point.value.value_or(0));
    set->append(values);
    auto* bars = new QBarSeries;
    bars->setBarWidth(0.8);
    bars->append(set);
    chart.addSeries(bars);
    connect(set, &QBarSet::hovered, this, [this, chart = &chart, series, units](bool on, int index) {
        if (on && index >= 0 && index < static_cast<int>(series.size()) &&
            series[static_cast<std::size_t>(index)].value)
            ShowDayTip(chart, index, *series[static_cast<std::size_t>(index)].value, units);
        else
            HideDayTip();
    });
    connect(set, &QBarSet::clicked, this, [this](int index) { OpenDay(index); });
}

void CViewTrends::DrawNutrient(const std::optional<TrendsModel::NutrientChart>& shown) {
    QChart* chart = nutrientView_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) chart->removeAxis(axis), delete axis;
    if (!shown) {
        chart->setTitle(QStringLiteral("No nutrients are followed"));
        FinishChart(*chart, 0, 1);
        return;
    }
    const TrendsModel::NutrientChart& data = *shown;
    const QString units = Q(data.units);
    chart->setTitle(Q(data.name) + QStringLiteral(" (") + units + ')');
    const int n = static_cast<int>(days_.size());

    AddBars(*chart, data.intake, QStringLiteral("Intake"), units);

    if (data.min) {
        if (data.max) {
            auto* lower = new QLineSeries(chart);
            auto* upper = new QLineSeries(chart);
            lower->append(-0.5, *data.min);
            lower->append(n - 0.5, *data.min);
            upper->append(-0.5, *data.max);
            upper->append(n - 0.5, *data.max);
            auto* band = new QAreaSeries(upper, lower);
            band->setName(QStringLiteral("Target"));
            QColor fill = kTargetColor;
            fill.setAlpha(50);
            band->setBrush(fill);
            band->setPen(QPen(kTargetColor, 1));
            chart->addSeries(band);
        } else {
            AddLevel(*chart, *data.min, n, QStringLiteral("Target"), kTargetColor, Qt::DashLine);
        }
    }
    if (data.upper) AddLevel(*chart, *data.upper, n, QStringLiteral("Upper limit"), kUpperColor, Qt::DashLine);
    if (data.average) AddLevel(*chart, data.average->value, n, QStringLiteral("Average"), kAverageColor, Qt::SolidLine);

    Span span;
    span.Add(0.0);
    span.Add(data.intake);
    span.Add(data.min);
    span.Add(data.upper);
    FinishChart(*chart, 0, span.high * 1.05);
}

void CViewTrends::DrawEnergy(const std::optional<TrendsModel::EnergyChart>& shown) {
    QChart* chart = energyView_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) chart->removeAxis(axis), delete axis;
    if (!shown) return;
    const TrendsModel::EnergyChart& data = *shown;
    chart->setTitle(QStringLiteral("Energy (kcal)"));
    auto connectPiece = [this, chart](QXYSeries* piece) {
        connect(piece, &QXYSeries::hovered, this, [this, chart](const QPointF& point, bool on) {
            if (on)
                ShowDayTip(chart, IndexAt(point), point.y(), QStringLiteral("kcal"));
            else
                HideDayTip();
        });
        connect(piece, &QXYSeries::clicked, this, [this](const QPointF& point) { OpenDay(IndexAt(point)); });
    };
    AddBars(*chart, data.eaten, QStringLiteral("Eaten"), QStringLiteral("kcal"));
    // Beside the bars, dots on the requirement would only crowd the chart.
    AddThrough(*chart, data.requirement, QStringLiteral("Required"), kTargetColor, Qt::SolidLine, false, connectPiece);
    Span span;
    span.Add(0.0);
    span.Add(data.eaten);
    span.Add(data.requirement);
    FinishChart(*chart, 0, span.high * 1.05);
}

void CViewTrends::FillTable() {
    tablePending_ = false;
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    std::vector<Trends::PeriodRow> rows = Trends::PeriodTable(doc->Log(), range_.from, range_.to);
    int logged = 0;
    for (const auto& row : rows) logged = std::max(logged, row.days);
    daysLabel_->setText(QStringLiteral("%1 of %2 days with foods").arg(logged).arg(days_.size()));
    // Rows as they are on show are left as they are, sorted and selected as the user left them.
    if (tableRows_ == rows) return;

    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const Trends::PeriodRow& row = rows[static_cast<std::size_t>(r)];
        auto set = [&](int column, const QString& text, double key) {
            auto* item = new SortItem(text, key);
            if (column != kName) item->setTextAlignment(Qt::AlignCenter);
            table_->setItem(r, column, item);
            return item;
        };
        // Names sort by their text.
        auto* name = new QTableWidgetItem(Q(row.name) + QStringLiteral(" (") + Q(row.units) + ')');
        name->setData(Qt::UserRole, row.gid);
        table_->setItem(r, kName, name);
        set(kAverage, row.average ? Number(*row.average) : QString(), row.average.value_or(kMissing));
        set(kPercent, row.percent >= 0 ? QString::number(row.percent) + '%' : QString(),
            row.percent >= 0 ? row.percent : kMissing);
        set(kUnder, QString::number(row.under), row.under);
        set(kWithin, QString::number(row.within), row.within);
        set(kOver, QString::number(row.over), row.over);
        for (auto [column, date] : {std::pair{kBest, &row.bestDate}, std::pair{kWorst, &row.worstDate}}) {
            const double key = date->empty() ? kMissing : std::stod(*date);
            set(column, Q(TrendsModel::ShowDate(*date)), key)->setData(Qt::UserRole, Q(*date));
        }
    }
    table_->setSortingEnabled(true);
    tableRows_ = std::move(rows);
}

void CViewTrends::AskSaveChart(QChartView* view) {
    const std::string suggested = view->chart()->title().toStdString();
    auto path = Gui::ChooseSaveFile("Save Chart", suggested.empty() ? "chart" : suggested, "*.png",
                                    "PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg||");
    if (!path) return;
    if (!SaveChart(*view, Q(*path))) Services::Prompt().Message("The chart could not be saved to " + *path);
}

bool CViewTrends::SaveChart(QChartView& view, const QString& path) {
    // Drawn in memory first and written as every file of the program is, whole or not at all and
    // never over a device or a FIFO.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&bytes);
        svg.setSize(view.size());
        svg.setViewBox(QRect(QPoint(0, 0), view.size()));
        svg.setTitle(view.chart()->title());
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        view.render(&painter);
        if (!painter.end()) return false;
    } else if (!view.grab().save(&bytes, "PNG")) {
        return false;
    }
    try {
        FileUtil::WriteFileAtomic(path.toStdString(), bytes.data().toStdString());
    } catch (const FileUtil::FileError&) {
        return false;
    }
    return true;
}
