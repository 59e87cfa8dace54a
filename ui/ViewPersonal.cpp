#include "ViewPersonal.h"

#include "MainFrame.h"
#include "VelmoraDoc.h"

#include "core/GeneralManager.h"
#include "model/PersonalData.h"
#include "refdata/NutrientCatalogue.h"

#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

#include <tuple>

namespace {

constexpr int kFirstYear = 1900;

auto Fields(const CPersonalData& p) {
    return std::tie(p.firstName, p.lastName, p.notes, p.birthYear, p.birthMonth, p.birthDay, p.female, p.pregnant,
                    p.lactation, p.lifeStyle, p.unitsKg, p.height, p.weight);
}

// A drop-down with nothing selected answers -1; the field then keeps what it had rather than
// turning into a day, month or year before the list starts.
void TakeIndex(CWebControlBase& page, const std::string& id, int& field, int offset) {
    int index = field - offset;
    page.ExchangeSelectedIndex(true, id, index);
    if (index >= 0) field = index + offset;
}

}  // namespace

CViewPersonal::CViewPersonal(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewPersonal"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setChildrenCollapsible(false);
    page_ = new CWebControlBase(Ui::kPagePersonal, splitter_);
    page_->setObjectName(QStringLiteral("personalPage"));
    notes_ = new QTextEdit(splitter_);
    notes_->setObjectName(QStringLiteral("notes"));
    notes_->setAcceptRichText(false);
    splitter_->addWidget(page_);
    splitter_->addWidget(notes_);
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({2000, 1000});
    layout->addWidget(splitter_);
}

CViewPersonal::~CViewPersonal() = default;

QString CViewPersonal::BmiText(const CPersonalData& p) {
    const double h = p.unitsKg == 1 ? p.height : Nutrient::RoundDecimals(p.height * 2.54, 0);
    if (h == 0) return QStringLiteral("NaN");
    const double w = p.unitsKg == 0 ? Nutrient::RoundDecimals(p.weight / 2.2, 1) : p.weight;
    const double cm = p.HeightCm();
    return QString::asprintf("%.3G", w * 10000 / cm / cm);
}

void CViewPersonal::OnInitialUpdate() {
    CViewBase::OnInitialUpdate();
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const Ui::CAppContext& app = doc->App();
    if (doc->IsModified() && app.general && app.general->RunWizard()) {
        // As if the user chose it: whichever part of the program answers the command runs it.
        if (auto* main = qobject_cast<CMainFrame*>(window())) main->ExecuteCommand(Ui::CommandId::DietWizard);
        else doc->OnCmdMsg(Ui::CommandId::DietWizard, nullptr);
    }
    doc->ReportLostData();
}

bool CViewPersonal::DoDataExchange(bool save) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return true;
    CPersonalData& p = doc->log.personal;
    CWebControlBase& page = *page_;

    if (!save) {
        page.Exchange(false);
        page.ExchangeValue(false, "FirstName", p.firstName);
        page.ExchangeValue(false, "LastName", p.lastName);
        int day = p.birthDay - 1, month = p.birthMonth - 1, year = p.birthYear - kFirstYear, life = p.lifeStyle;
        page.ExchangeSelectedIndex(false, "ddlDay", day);
        page.ExchangeSelectedIndex(false, "ddlMonth", month);
        page.ExchangeSelectedIndex(false, "ddlYear", year);
        page.ExchangeSelectedIndex(false, "ddlLifeStyle", life);
        std::string bmi = BmiText(p).toStdString();
        page.ExchangeText(false, "BMI", bmi);
        int units = 1 - p.unitsKg;
        page.ExchangeRadio(false, "Units", units, 2);
        if (units == 1) {
            page.Show("Height", false);
            page.Show("lebelCm", false);
            for (const char* id : {"lebelFeet", "lebelInches", "ddlFeet", "ddlInches"}) page.Show(id, true);
            std::string lb = " lb";
            page.ExchangeText(false, "lebelWeight", lb);
        }
        int gender = 1 - p.female;
        page.ExchangeSelectedIndex(false, "ddlGender", gender);
        if (!p.female) {
            page.SetDisabled("ddlLactation", true);
            page.SetDisabled("ddlPregnant", true);
        }
        int pregnant = p.pregnant ? 1 : 0, lactation = p.lactation ? 1 : 0;
        page.ExchangeSelectedIndex(false, "ddlPregnant", pregnant);
        page.ExchangeSelectedIndex(false, "ddlLactation", lactation);
        page.ExchangeNumber(false, "Weight", p.weight);
        if (p.unitsKg == 1) {
            page.ExchangeInt(false, "Height", p.height);
        } else {
            int feet = p.height / 12, inches = p.height % 12;
            page.ExchangeSelectedIndex(false, "ddlFeet", feet);
            page.ExchangeSelectedIndex(false, "ddlInches", inches);
        }
        notes_->setPlainText(QString::fromStdString(p.notes));
        return true;
    }

    const CPersonalData before = p;
    page.Exchange(true);
    page.ExchangeValue(true, "FirstName", p.firstName);
    page.ExchangeValue(true, "LastName", p.lastName);
    TakeIndex(page, "ddlDay", p.birthDay, 1);
    TakeIndex(page, "ddlMonth", p.birthMonth, 1);
    TakeIndex(page, "ddlYear", p.birthYear, kFirstYear);
    TakeIndex(page, "ddlLifeStyle", p.lifeStyle, 0);
    int units = 1 - p.unitsKg;
    page.ExchangeRadio(true, "Units", units, 2);
    if (units == 0 || units == 1) {
        const int unitsKg = units == 0 ? 1 : 0;
        if (unitsKg != p.unitsKg) {
            p.unitsKg = unitsKg;
            doc->log.ConvertWeightUnits(unitsKg == 1);
        }
    }
    int gender = 1 - p.female;
    page.ExchangeSelectedIndex(true, "ddlGender", gender);
    if (gender == 0 || gender == 1) p.female = 1 - gender;
    int pregnant = p.pregnant, lactation = p.lactation;
    page.ExchangeSelectedIndex(true, "ddlPregnant", pregnant);
    page.ExchangeSelectedIndex(true, "ddlLactation", lactation);
    if (pregnant >= 0) p.pregnant = pregnant ? 1 : 0;
    if (lactation >= 0) p.lactation = lactation ? 1 : 0;
    page.ExchangeNumber(true, "Weight", p.weight);
    if (p.unitsKg == 1) {
        page.ExchangeInt(true, "Height", p.height);
    } else {
        int feet = p.height / 12, inches = p.height % 12;
        page.ExchangeSelectedIndex(true, "ddlFeet", feet);
        page.ExchangeSelectedIndex(true, "ddlInches", inches);
        if (feet >= 0 && inches >= 0) p.height = feet * 12 + inches;
    }
    p.notes = notes_->toPlainText().toStdString();
    // What the user typed is a change of the profile: closing must offer to save it.
    if (Fields(before) != Fields(p)) doc->SetModifiedFlag();
    return true;
}
