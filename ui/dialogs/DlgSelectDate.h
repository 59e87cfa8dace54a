#pragma once

#include <QDialog>

#include <string>

class QCalendarWidget;

// "Select Date": a month calendar that opens on today; OK gives the chosen day's date key.
class DlgSelectDate : public QDialog {
    Q_OBJECT
public:
    explicit DlgSelectDate(QWidget* parent = nullptr);

    // "YYYYMMDD" after OK; empty before.
    const std::string& DateKey() const { return dateKey_; }
    QCalendarWidget* Calendar() const { return calendar_; }

    void accept() override;

private:
    QCalendarWidget* calendar_ = nullptr;
    std::string dateKey_;
};
