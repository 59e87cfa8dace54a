#include "DlgExportCsv.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QDate FromKey(const std::string& key) {
    return QDate::fromString(QString::fromStdString(key), QStringLiteral("yyyyMMdd"));
}

}  // namespace

DlgExportCsv::DlgExportCsv(const std::string& from, const std::string& to, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Export CSV"));
    entries_ = new QRadioButton(QStringLiteral("Every food entry, with its nutrients"), this);
    daily_ = new QRadioButton(QStringLiteral("Daily totals of nutrients and facts"), this);
    daily_->setChecked(true);
    from_ = new QDateEdit(FromKey(from), this);
    to_ = new QDateEdit(FromKey(to), this);
    for (QDateEdit* edit : {from_, to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    error_ = new QLabel(this);
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    error_->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("From:"), from_);
    form->addRow(QStringLiteral("To:"), to_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgExportCsv::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgExportCsv::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(entries_);
    layout->addWidget(daily_);
    layout->addLayout(form);
    layout->addWidget(error_);
    layout->addWidget(buttons);
}

bool DlgExportCsv::Entries() const { return entries_->isChecked(); }

std::string DlgExportCsv::From() const { return from_->date().toString(QStringLiteral("yyyyMMdd")).toStdString(); }

std::string DlgExportCsv::To() const { return to_->date().toString(QStringLiteral("yyyyMMdd")).toStdString(); }

void DlgExportCsv::accept() {
    if (from_->date() > to_->date()) {
        error_->setText(QStringLiteral("The first day lies after the last."));
        error_->show();
        return;
    }
    QDialog::accept();
}
