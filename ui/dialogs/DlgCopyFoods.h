#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

// "Copy Day To", "Copy Meal To" and "Repeat Yesterday's Meal": the meal to copy or repeat, and
// for a copy the dates it goes to, picked on a calendar one day or a run of days at a time.
// A date that already has foods is marked in the list: the copies go after its foods.
class DlgCopyFoods : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Day, Meal, RepeatMeal };

    struct Setup {
        Kind kind = Kind::Day;
        // The current day ("YYYYMMDD"): copied from, or repeated into; never a date to copy to.
        std::string currentDate;
        // The day whose meal is repeated.
        std::string dayBefore;
        // The meal list's names in order; "" stands for the entries of no meal.
        std::vector<std::string> meals;
        // Chosen at first.
        std::string meal;
        // How many entries the day of that date has in that meal; all of them for nullopt.
        std::function<int(const std::string& dateKey, const std::optional<std::string>& meal)> entriesOn;
    };

    explicit DlgCopyFoods(Setup setup, QWidget* parent = nullptr);

    // The picked dates in date order, each once.
    std::vector<std::string> Dates() const;
    std::string Meal() const;
    bool WithFacts() const;

    QComboBox* MealChoice() const { return meal_; }
    QCalendarWidget* Calendar() const { return calendar_; }
    QSpinBox* DaysInARow() const { return days_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* RemoveButton() const { return remove_; }
    QListWidget* DateList() const { return dates_; }
    QCheckBox* FactsBox() const { return facts_; }
    // How many foods the chosen meal has on the day it is taken from.
    QLabel* MealNote() const { return mealNote_; }
    // What adding dates left out.
    QLabel* Note() const { return note_; }
    QLabel* ErrorLabel() const { return error_; }

    // Adds the calendar's day and the days after it, as many as "Days in a row" says.
    void AddDates();
    void RemoveSelectedDates();
    // Refused while a copy has no date to go to.
    void accept() override;

private:
    void UpdateMealNote();
    QString DateText(const std::string& dateKey) const;

    Setup setup_;
    QComboBox* meal_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
    QSpinBox* days_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QListWidget* dates_ = nullptr;
    QCheckBox* facts_ = nullptr;
    QLabel* mealNote_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* error_ = nullptr;
};
