#include "DlgCopyFoods.h"

#include "document/viewmodel/DayFoodList.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kKeyRole = Qt::UserRole;
// A run of days reaches a year ahead at most.
constexpr int kMostDaysInARow = 366;

QDate DateOf(const std::string& key) {
    return QDate::fromString(QString::fromStdString(key), QStringLiteral("yyyyMMdd"));
}

std::string KeyOf(const QDate& date) { return date.toString(QStringLiteral("yyyyMMdd")).toStdString(); }

QString MealText(const std::string& meal) {
    return QString::fromUtf8(meal.empty() ? DayFoodList::kNoMeal : meal.c_str());
}

QString FoodsText(int count) { return count == 1 ? QStringLiteral("1 food") : QStringLiteral("%1 foods").arg(count); }

}  // namespace

DlgCopyFoods::DlgCopyFoods(Setup setup, QWidget* parent) : QDialog(parent), setup_(std::move(setup)) {
    const Kind kind = setup_.kind;
    setWindowTitle(kind == Kind::Day    ? QStringLiteral("Copy Day To")
                   : kind == Kind::Meal ? QStringLiteral("Copy Meal To")
                                        : QStringLiteral("Repeat Yesterday's Meal"));
    auto* layout = new QVBoxLayout(this);

    const QString current = DateText(setup_.currentDate);
    QString intro;
    switch (kind) {
        case Kind::Day:
            intro = QStringLiteral(
                        "The foods of %1, with the day's own limits and energy split, are copied to "
                        "each date of the list.")
                        .arg(current);
            break;
        case Kind::Meal:
            intro = QStringLiteral("The foods of the meal on %1 are copied to each date of the list.").arg(current);
            break;
        case Kind::RepeatMeal:
            intro = QStringLiteral("The foods that %1 had in the meal are added to %2.")
                        .arg(DateText(setup_.dayBefore), current);
            break;
    }
    auto* introLabel = new QLabel(intro, this);
    introLabel->setWordWrap(true);
    layout->addWidget(introLabel);

    if (kind != Kind::Day) {
        meal_ = new QComboBox(this);
        for (const std::string& name : setup_.meals) meal_->addItem(MealText(name), QString::fromStdString(name));
        const auto chosen = std::find(setup_.meals.begin(), setup_.meals.end(), setup_.meal);
        if (chosen != setup_.meals.end()) meal_->setCurrentIndex(int(chosen - setup_.meals.begin()));
        mealNote_ = new QLabel(this);
        auto* form = new QFormLayout;
        auto* mealLabel = new QLabel(QStringLiteral("&Meal:"), this);
        mealLabel->setBuddy(meal_);
        form->addRow(mealLabel, meal_);
        form->addRow(QString(), mealNote_);
        layout->addLayout(form);
        connect(meal_, &QComboBox::currentIndexChanged, this, &DlgCopyFoods::UpdateMealNote);
        UpdateMealNote();
    }

    if (kind != Kind::RepeatMeal) {
        calendar_ = new QCalendarWidget(this);
        calendar_->setGridVisible(false);
        calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        // Most copies go to the days that follow.
        calendar_->setSelectedDate(DateOf(setup_.currentDate).addDays(1));
        days_ = new QSpinBox(this);
        days_->setRange(1, kMostDaysInARow);
        add_ = new QPushButton(QStringLiteral("&Add"), this);
        add_->setAutoDefault(false);
        remove_ = new QPushButton(QStringLiteral("&Remove"), this);
        remove_->setAutoDefault(false);
        dates_ = new QListWidget(this);
        dates_->setSelectionMode(QAbstractItemView::ExtendedSelection);
        note_ = new QLabel(this);
        note_->setWordWrap(true);

        auto* daysLabel = new QLabel(QStringLiteral("Days in a ro&w:"), this);
        daysLabel->setBuddy(days_);
        auto* datesLabel = new QLabel(QStringLiteral("&Dates to copy to:"), this);
        datesLabel->setBuddy(dates_);
        auto* addLine = new QHBoxLayout;
        addLine->addWidget(daysLabel);
        addLine->addWidget(days_);
        addLine->addWidget(add_);
        addLine->addStretch();
        auto* picker = new QGridLayout;
        picker->addWidget(calendar_, 0, 0);
        picker->addLayout(addLine, 1, 0);
        auto* listColumn = new QVBoxLayout;
        listColumn->addWidget(datesLabel);
        listColumn->addWidget(dates_, 1);
        listColumn->addWidget(remove_, 0, Qt::AlignLeft);
        picker->addLayout(listColumn, 0, 1, 2, 1);
        layout->addLayout(picker);
        layout->addWidget(note_);

        auto* append = new QLabel(QStringLiteral("A date that already has foods keeps them: the copies are added "
                                                 "after its foods, and nothing of the day is replaced."),
                                  this);
        append->setWordWrap(true);
        layout->addWidget(append);

        connect(add_, &QPushButton::clicked, this, &DlgCopyFoods::AddDates);
        // Enter or a double click on a day adds it, so the keyboard alone picks dates.
        connect(calendar_, &QCalendarWidget::activated, this, &DlgCopyFoods::AddDates);
        connect(remove_, &QPushButton::clicked, this, &DlgCopyFoods::RemoveSelectedDates);
        auto* removeKey = new QAction(dates_);
        removeKey->setShortcut(QKeySequence::Delete);
        removeKey->setShortcutContext(Qt::WidgetShortcut);
        dates_->addAction(removeKey);
        connect(removeKey, &QAction::triggered, this, &DlgCopyFoods::RemoveSelectedDates);
    }

    if (kind == Kind::Day) {
        facts_ = new QCheckBox(QStringLiteral("Also copy facts"), this);
        facts_->setToolTip(QStringLiteral("Off, the dates get no weight or other measurement from this day."));
        layout->addWidget(facts_);
    }

    error_ = new QLabel(this);
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    error_->hide();
    layout->addWidget(error_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgCopyFoods::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgCopyFoods::reject);
    layout->addWidget(buttons);

    if (meal_)
        meal_->setFocus();
    else if (calendar_)
        calendar_->setFocus();
}

QString DlgCopyFoods::DateText(const std::string& dateKey) const {
    const QDate date = DateOf(dateKey);
    return date.isValid() ? date.toString(Qt::ISODate) : QString::fromStdString(dateKey);
}

void DlgCopyFoods::UpdateMealNote() {
    if (!meal_ || !mealNote_) return;
    const bool repeat = setup_.kind == Kind::RepeatMeal;
    const std::string& day = repeat ? setup_.dayBefore : setup_.currentDate;
    const int count = setup_.entriesOn ? setup_.entriesOn(day, Meal()) : 0;
    const QString meal = MealText(Meal());
    mealNote_->setText(count == 0 ? QStringLiteral("%1 has no foods in %2.").arg(DateText(day), meal)
                                  : QStringLiteral("%1 has %2 in %3.").arg(DateText(day), FoodsText(count), meal));
}

void DlgCopyFoods::AddDates() {
    if (!calendar_ || !dates_) return;
    error_->hide();
    const QDate first = calendar_->selectedDate();
    bool skippedCurrent = false;
    for (int i = 0; i < days_->value(); ++i) {
        const std::string key = KeyOf(first.addDays(i));
        if (key == setup_.currentDate) {
            skippedCurrent = true;
            continue;
        }
        int at = 0;
        while (at < dates_->count() && dates_->item(at)->data(kKeyRole).toString().toStdString() < key) ++at;
        if (at < dates_->count() && dates_->item(at)->data(kKeyRole).toString().toStdString() == key) continue;
        const int foods = setup_.entriesOn ? setup_.entriesOn(key, std::nullopt) : 0;
        QString text = DateText(key);
        if (foods > 0) text += QStringLiteral("  (has %1)").arg(FoodsText(foods));
        auto* item = new QListWidgetItem(text);
        item->setData(kKeyRole, QString::fromStdString(key));
        dates_->insertItem(at, item);
    }
    note_->setText(skippedCurrent
                       ? QStringLiteral("%1 is the day copied from; it was left out.").arg(DateText(setup_.currentDate))
                       : QString());
}

void DlgCopyFoods::RemoveSelectedDates() {
    if (!dates_) return;
    for (QListWidgetItem* item : dates_->selectedItems()) delete item;
}

std::vector<std::string> DlgCopyFoods::Dates() const {
    std::vector<std::string> keys;
    if (!dates_) return keys;
    for (int i = 0; i < dates_->count(); ++i) keys.push_back(dates_->item(i)->data(kKeyRole).toString().toStdString());
    return keys;
}

std::string DlgCopyFoods::Meal() const { return meal_ ? meal_->currentData().toString().toStdString() : std::string(); }

bool DlgCopyFoods::WithFacts() const { return facts_ && facts_->isChecked(); }

void DlgCopyFoods::accept() {
    if (dates_ && dates_->count() == 0) {
        error_->setText(QStringLiteral("Add at least one date to copy to."));
        error_->show();
        return;
    }
    QDialog::accept();
}
