#include "ViewCalendar.h"

#include "ui/frame/VelmoraDoc.h"

#include "core/Services.h"
#include "document/report/TargetsJson.h"
#include "document/viewmodel/TypedNumber.h"
#include "model/LogDay.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

bool IsDateKey(const std::string& text) {
    return text.size() == 8 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The calendar's week as the user's locale has it, as the date dialogs' calendars have it too.
class WeekOfLocale : public IJSONSerialize {
public:
    bool WriteJson(Json::Value& value, const std::string& placeholder) const override {
        if (placeholder != kJsonWeek) return false;
        const QLocale locale;
        value["firstDay"] = static_cast<int>(locale.firstDayOfWeek()) % 7;  // Sunday is 7 to Qt, 0 to a page
        Json::Value names(Json::arrayValue);
        for (int day : {7, 1, 2, 3, 4, 5, 6}) names.append(locale.standaloneDayName(day).toStdString());
        value["dayNames"] = names;
        return true;
    }
    static constexpr const char* kJsonWeek = "%JSON_WEEK%";
};

const WeekOfLocale kWeekOfLocale;

}  // namespace

CViewCalendar::CViewCalendar(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewLog"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setChildrenCollapsible(false);
    calendar_ = new CWebControlBase(Gui::kPageCalendar, splitter_);
    calendar_->setObjectName(QStringLiteral("calendarPage"));
    summary_ = new CWebControlBase(Gui::kPageDaySummary, splitter_);
    summary_->setObjectName(QStringLiteral("summaryPage"));
    splitter_->addWidget(calendar_);
    splitter_->addWidget(summary_);
    // Two thirds for the month, one third for the day.
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({2000, 1000});
    layout->addWidget(splitter_);
}

CViewCalendar::~CViewCalendar() = default;

CVelmoraDoc* CViewCalendar::Document() const {
    if (CVelmoraDoc* doc = GetDocument()) return doc;
    return savedDocument_.data();
}

void CViewCalendar::OnInitialUpdate() {
    CVelmoraDoc* doc = GetDocument();
    if (doc) {
        const IJSONSerialize* source = &doc->Log();
        QPointer<CVelmoraDoc> viewed(doc);
        auto targets = std::make_unique<CTargetsJson>(
            doc->Log(), [viewed] { return viewed ? viewed->TargetsView() : SummaryTargetsView{}; });
        calendar_->SetPlaceholders(std::make_unique<Page::PlaceholderTable>(
            Page::PlaceholderTable{{"%JSON_USERLOG_LOG%", source},
                                   {CTargetsJson::kJsonMonthStatus, targets.get()},
                                   {WeekOfLocale::kJsonWeek, &kWeekOfLocale}}));
        summary_->SetPlaceholders(std::make_unique<Page::PlaceholderTable>(
            Page::PlaceholderTable{{"%JSON_USERLOG_DAY%", source},
                                   {"%JSON_MEASURES%", source},
                                   {CTargetsJson::kJsonDayTargets, targets.get()}}));
        // The tables above no longer point at the old one.
        targets_ = std::move(targets);
    }
    CViewBase::OnInitialUpdate();
    savedDocument_ = doc;
}

bool CViewCalendar::DoDataExchange(bool save) {
    // One limit for both pages, so a hung renderer holds the window for seconds, not minutes.
    CPageWaitBound bound;
    if (save) {
        calendar_->Exchange(true);
        summary_->Exchange(true);
        if (bound.Failed()) Services::Prompt().Message(CWebControlBase::kNotAnsweringSave);
        return true;
    }
    // What the pages reported and the host has not handed on yet happened on the pages being
    // replaced: a click on a day waits its turn, a typed value goes into the day it was typed for.
    calendar_->Exchange(true);
    summary_->Exchange(true);
    CWebControlBase::RenderTogether({calendar_, summary_});
    std::vector<CWebControlBase::Observer> observers;
    observers.push_back({calendar_, "daySelected",
                         std::make_unique<T_FunctorImpl<CViewCalendar>>(this, &CViewCalendar::OnDaySelected)});
    observers.push_back(
        {summary_, "inputFact", std::make_unique<T_FunctorImpl<CViewCalendar>>(this, &CViewCalendar::OnInputFact)});
    observers.push_back(
        {summary_, "targetsView", std::make_unique<T_FunctorImpl<CViewCalendar>>(this, &CViewCalendar::OnTargetsView)});
    CWebControlBase::AddObservers(std::move(observers));
    if (bound.Failed()) Services::Prompt().Message(CWebControlBase::kNotAnsweringLoad);
    return true;
}

void CViewCalendar::OnDaySelected(const Gui::ElementEvent& event) {
    if (event.dispatchId != Gui::ElementEvent::kPropertyChange || !IsDateKey(event.value)) return;
    // A click while another is handled (its pages are rendered again in between, so the host
    // hands it on from inside this) is handled after it, in the order of the clicks.
    pendingDays_.push_back(event.value);
    if (selectingDay_) return;
    QPointer<CViewCalendar> self(this);
    selectingDay_ = true;
    while (self && !pendingDays_.empty()) {
        const std::string day = pendingDays_.front();
        pendingDays_.pop_front();
        SelectDay(day);
    }
    if (self) selectingDay_ = false;
}

void CViewCalendar::SelectDay(const std::string& date) {
    CVelmoraDoc* doc = Document();
    if (!doc) return;
    // The page reports its own selection of the day it was rendered for; answering that with
    // another rendering would never end.
    if (doc->CurrentDate() == date) return;
    // A value still being typed in the summary belongs to the day it was typed for.
    summary_->Exchange(true);
    doc->Log().SelectDay(date);
    if (doc->FirstView() == this)
        doc->RefreshFirstView();
    else
        UpdateData(false);
}

void CViewCalendar::OnInputFact(const Gui::ElementEvent& event) {
    if (event.dispatchId != Gui::ElementEvent::kPropertyChange) return;
    CVelmoraDoc* doc = Document();
    if (!doc) return;
    const std::size_t split = event.value.rfind('=');
    if (split == std::string::npos) return;
    const std::string name = event.value.substr(0, split);
    const std::string text = event.value.substr(split + 1);
    UserLog::CLogDay& day = doc->CurrentDay();
    const TypedInput typed = ReadFactValue(text, doc->Log(), name);
    CProfileDocument::ChangeScope change(*doc, "Change " + name);
    QJsonValue shown;  // null: no value
    switch (typed.kind) {
        case TypedInput::Kind::Refused:
            ShowStatusMessage(typed.error);
            if (const UserLog::CFact* old = day.FindFact(name)) shown = old->value;
            AnswerFact(name, shown, text, typed.error);
            return;
        case TypedInput::Kind::Cleared:
            // An emptied cell takes the day's value away; there was nothing to change without one.
            if (!day.FindFact(name)) {
                AnswerFact(name, shown, text, {});
                ClearStatusMessage();
                return;
            }
            day.RemoveFact(name);
            break;
        case TypedInput::Kind::Number:
            day.SetFact(name, typed.value);
            shown = typed.value;
            break;
    }
    AnswerFact(name, shown, text, {});
    ClearStatusMessage();
    // A typed value is a change of the profile like any other: closing must offer to save it.
    doc->SetModifiedFlag();
}

void CViewCalendar::OnTargetsView(const Gui::ElementEvent& event) {
    if (event.dispatchId != Gui::ElementEvent::kPropertyChange) return;
    CVelmoraDoc* doc = Document();
    if (!doc) return;
    // "folded" or "open", then "all" or "outside": what the page shows already.
    const std::size_t comma = event.value.find(',');
    if (comma == std::string::npos) return;
    doc->SetTargetsView({event.value.substr(0, comma) == "folded", event.value.substr(comma + 1) == "all"});
}

void CViewCalendar::AnswerFact(const std::string& name, const QJsonValue& value, const std::string& text,
                               const std::string& reason) {
    const QJsonArray args{QString::fromStdString(name), value, QString::fromStdString(text),
                          QString::fromStdString(reason)};
    const QString json = QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact));
    summary_->RunScript(QStringLiteral("typeof showFact === 'function' && showFact.apply(null, %1)").arg(json));
}
