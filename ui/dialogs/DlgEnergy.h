#pragma once

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace NS_Data {
class CUserLog;
}

// "Energy Requirements": a calculator of the estimated energy requirement from its own inputs
// (category, life style, age, weight, height, always kg and cm). It may start at a profile's
// person, but never changes a profile.
class DlgEnergy : public QDialog {
    Q_OBJECT
public:
    explicit DlgEnergy(std::string appDir, QWidget* parent = nullptr);

    QComboBox* Category() const { return category_; }
    QComboBox* LifeStyle() const { return lifeStyle_; }
    QLineEdit* Age() const { return age_; }
    QLabel* AgeUnit() const { return ageUnit_; }
    QLineEdit* Weight() const { return weight_; }
    QLineEdit* Height() const { return height_; }
    QLineEdit* Energy() const { return energy_; }
    QPushButton* CalculateButton() const { return calculate_; }
    QPushButton* HelpButton() const { return help_; }

    // Reads and checks the inputs; a refused one is reported and leaves the result as it was.
    void OnCalculate();
    // Starts at the profile's person as of its current day (the day's weight when it has one),
    // with the requirement worked out; inputs the calculator can't take keep their defaults.
    void StartWith(const NS_Data::CUserLog& log);

private:
    void OnCategoryChanged();

    std::string appDir_;
    QComboBox* category_ = nullptr;
    QComboBox* lifeStyle_ = nullptr;
    QLineEdit* age_ = nullptr;
    QLabel* ageUnit_ = nullptr;
    QLineEdit* weight_ = nullptr;
    QLineEdit* height_ = nullptr;
    QLineEdit* energy_ = nullptr;
    QPushButton* calculate_ = nullptr;
    QPushButton* help_ = nullptr;
};
