#include "DlgSelectDate.h"

#include "core/Services.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QVBoxLayout>

DlgSelectDate::DlgSelectDate(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Select Date"));
    calendar_ = new QCalendarWidget(this);
    calendar_->setGridVisible(false);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    const auto today = Services::Today();
    calendar_->setSelectedDate(QDate(today.year(), today.month(), today.day()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgSelectDate::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgSelectDate::reject);
    connect(calendar_, &QCalendarWidget::activated, this, &DlgSelectDate::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    layout->addWidget(buttons);
}

void DlgSelectDate::accept() {
    dateKey_ = calendar_->selectedDate().toString(QStringLiteral("yyyyMMdd")).toStdString();
    QDialog::accept();
}
