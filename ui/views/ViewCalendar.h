#pragma once

#include "ViewBase.h"

#include "ui/web/WebControlBase.h"

#include <QJsonValue>
#include <QPointer>

#include <deque>
#include <memory>
#include <string>

class CTargetsJson;
class QSplitter;

// The "Log" tab: the month of the log's current day on the left, each logged day marked with how
// it met its targets; that day's targets, foods and facts on the right. A click on a day makes it
// the current day; a typed fact value goes into the day.
class CViewCalendar : public CViewBase {
    Q_OBJECT
public:
    explicit CViewCalendar(QWidget* parent = nullptr);
    ~CViewCalendar() override;

    void OnInitialUpdate() override;

    void OnDaySelected(const Gui::ElementEvent& event);
    void OnInputFact(const Gui::ElementEvent& event);
    // The summary's targets folded or opened, or every nutrient shown or only those outside.
    void OnTargetsView(const Gui::ElementEvent& event);

    CWebControlBase& CalendarPage() { return *calendar_; }
    CWebControlBase& SummaryPage() { return *summary_; }

protected:
    bool DoDataExchange(bool save) override;

private:
    // The document even while the view is hidden and not attached to it.
    CVelmoraDoc* Document() const;
    void SelectDay(const std::string& date);
    // Tells the summary page what became of a typed fact value: the value the day now holds
    // (null for none) or, with a reason, the text that was refused.
    void AnswerFact(const std::string& name, const QJsonValue& value, const std::string& text,
                    const std::string& reason);

    QSplitter* splitter_ = nullptr;
    CWebControlBase* calendar_ = nullptr;
    CWebControlBase* summary_ = nullptr;
    QPointer<CVelmoraDoc> savedDocument_;
    // Answers the targets placeholders of both pages for the document's log.
    std::unique_ptr<CTargetsJson> targets_;
    // Days clicked while an earlier click is handled, in the order of the clicks.
    std::deque<std::string> pendingDays_;
    bool selectingDay_ = false;
};
