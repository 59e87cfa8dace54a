#include "DlgEnergy.h"

#include "ui/frame/AppContext.h"

#include "core/Services.h"
#include "document/viewmodel/TypedNumber.h"
#include "model/PersonalData.h"
#include "model/TextFormat.h"
#include "model/UserLog.h"
#include "refdata/DriCategory.h"
#include "refdata/PersonalProfile.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace {

constexpr int kDefaultAge = 3;
// An infant's age is in months; the adults' default of 3 would read as 3 months, so choosing
// "Infants" puts an age the infant range accepts.
constexpr int kInfantAge = 6;

std::optional<int> IntegerIn(const QLineEdit* edit, int low, int high) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

std::string RangeMessage(int low, int high) {
    return "Please enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
}

}  // namespace

DlgEnergy::DlgEnergy(std::string appDir, QWidget* parent) : QDialog(parent), appDir_(std::move(appDir)) {
    setWindowTitle(QStringLiteral("Energy Requirements"));

    category_ = new QComboBox(this);
    category_->addItem(QStringLiteral("Infants"), int(DriCategory::Infant));
    category_->addItem(QStringLiteral("Male"), int(DriCategory::Male));
    category_->addItem(QStringLiteral("Female"), int(DriCategory::Female));
    lifeStyle_ = new QComboBox(this);
    lifeStyle_->addItems({QStringLiteral("Sedentary"), QStringLiteral("Low Active"), QStringLiteral("Active"),
                          QStringLiteral("Very Active")});
    age_ = new QLineEdit(QString::number(kDefaultAge), this);
    ageUnit_ = new QLabel(QStringLiteral("[years]"), this);
    weight_ = new QLineEdit(QString::number(50.0f), this);
    height_ = new QLineEdit(QString::number(160), this);
    energy_ = new QLineEdit(this);
    energy_->setReadOnly(true);

    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* label, QWidget* field, QWidget* unit) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        grid->addWidget(field, row, 1);
        if (unit) grid->addWidget(unit, row, 2);
        ++row;
    };
    addRow("Category :", category_, nullptr);
    addRow("Life Style :", lifeStyle_, nullptr);
    addRow("Age : ", age_, ageUnit_);
    addRow("Weight : ", weight_, new QLabel(QStringLiteral("[kg]"), this));
    addRow("Height : ", height_, new QLabel(QStringLiteral("[cm]"), this));
    addRow("Energy:", energy_, new QLabel(QStringLiteral("[kCal]"), this));

    calculate_ = new QPushButton(QStringLiteral("&Calculate"), this);
    calculate_->setDefault(true);
    auto* exit = new QPushButton(QStringLiteral("&Exit"), this);
    help_ = new QPushButton(QStringLiteral("&Help"), this);
    auto* details = new QPushButton(QStringLiteral("&Details >>"), this);
    details->hide();
    connect(calculate_, &QPushButton::clicked, this, &DlgEnergy::OnCalculate);
    connect(exit, &QPushButton::clicked, this, &DlgEnergy::reject);
    connect(help_, &QPushButton::clicked, this,
            [this] { Gui::OpenHelpPage(appDir_, "/help/reference/index.htm#energy"); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {calculate_, exit, help_, details}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    category_->setCurrentIndex(2);
    lifeStyle_->setCurrentIndex(0);
    connect(category_, &QComboBox::currentIndexChanged, this, &DlgEnergy::OnCategoryChanged);
}

void DlgEnergy::OnCategoryChanged() {
    const bool infant = category_->currentData().toInt() == DriCategory::Infant;
    lifeStyle_->setEnabled(!infant);
    height_->setEnabled(!infant);
    ageUnit_->setText(infant ? QStringLiteral("[months]") : QStringLiteral("[years]"));
    age_->setText(QString::number(infant ? kInfantAge : kDefaultAge));
}

void DlgEnergy::OnCalculate() {
    const auto refuse = [this](QLineEdit* edit, const std::string& text) {
        Services::Prompt().Message(text, "Energy Requirements");
        edit->setFocus();
        edit->selectAll();
    };
    using namespace EnergyEquation;
    const std::optional<int> height = IntegerIn(height_, kMinHeightCm, kMaxHeightCm);
    if (!height) return refuse(height_, RangeMessage(kMinHeightCm, kMaxHeightCm));
    const int category = category_->currentData().toInt();
    const bool infant = category == DriCategory::Infant;
    const int ageLow = infant ? 0 : 1;
    const int ageHigh = infant ? 12 : 150;
    const std::optional<int> age = IntegerIn(age_, ageLow, ageHigh);
    if (!age) return refuse(age_, RangeMessage(ageLow, ageHigh));
    const std::optional<double> weight = TypedNumber(weight_->text().toStdString());
    if (!weight) return refuse(weight_, "Please enter a number.");
    if (!WeightInRange(*weight))
        return refuse(weight_, "Please enter a number above 0 and at most " + TextFormat::G(kMaxWeightKg) + ".");

    CDS_PersonalProfile profile;
    profile.category = category;
    profile.lifeStyle = lifeStyle_->currentIndex();
    profile.weight = static_cast<float>(*weight);
    profile.age = *age;
    profile.height = *height;
    energy_->setText(QString::fromStdString(TextFormat::LowerG(profile.Compute())));
}

void DlgEnergy::StartWith(const NS_Data::CUserLog& log) {
    const CPersonalData& person = log.Personal();
    const std::string date = log.GetCurrentDay()->date;
    const DriCategory category = person.DriCategoryAt(date);
    if (category == DriCategory::UnknownCategory) return;
    const DriCategory shown = category == DriCategory::Infant ? DriCategory::Infant
                              : person.female                 ? DriCategory::Female
                                                              : DriCategory::Male;
    category_->setCurrentIndex(category_->findData(int(shown)));
    // After the category, which puts an age of its own.
    age_->setText(QString::number(person.DriAgeAt(date)));
    if (person.lifeStyle >= 0 && person.lifeStyle < lifeStyle_->count()) lifeStyle_->setCurrentIndex(person.lifeStyle);
    const EnergyInputs day = log.GetEnergyInputs();
    const double weight = day.weight > 0 ? day.weight : person.weight;
    const double kg = person.unitsKg ? weight : PoundsToKg(weight);
    if (EnergyEquation::WeightInRange(kg)) weight_->setText(QString::fromStdString(TextFormat::G(kg)));
    if (EnergyEquation::HeightInRange(person.HeightCm())) height_->setText(QString::number(person.HeightCm()));
    // Only inputs it takes, so this never ends in a message about them.
    if (EnergyEquation::WeightInRange(kg) && EnergyEquation::HeightInRange(person.HeightCm())) OnCalculate();
}
