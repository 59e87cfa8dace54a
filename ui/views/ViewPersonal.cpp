#include "ViewPersonal.h"

#include "ui/frame/VelmoraDoc.h"
#include "ui/web/NumberText.h"

#include "core/Services.h"
#include "core/settings/GeneralManager.h"
#include "model/PersonalData.h"
#include "model/TextFormat.h"
#include "refdata/NutrientCatalogue.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int kFirstYear = 1900;

auto Fields(const CPersonalData& p) {
    return std::tie(p.firstName, p.lastName, p.notes, p.birthYear, p.birthMonth, p.birthDay, p.female, p.pregnant,
                    p.lactation, p.lifeStyle, p.unitsKg, p.height, p.weight);
}

}  // namespace

CViewPersonal::CViewPersonal(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewPersonal"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setChildrenCollapsible(false);
    page_ = new CWebControlBase(Gui::kPagePersonal, splitter_);
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
    const Gui::CAppContext& app = doc->App();
    if (doc->IsModified() && app.general && app.general->RunWizard()) {
        emit commandRequested(Gui::CommandId::DietWizard);
    }
    doc->ReportLostData();
}

bool CViewPersonal::DoDataExchange(bool save) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return true;
    CPersonalData& p = doc->Log().Personal();
    // One limit for the whole exchange, so a hung page costs the user seconds, not minutes.
    CPageWaitBound bound;

    if (!save) {
        int day = p.birthDay - 1, month = p.birthMonth - 1, year = p.birthYear - kFirstYear, life = p.lifeStyle;
        std::string bmi = BmiText(p).toStdString();
        int units = 1 - p.unitsKg;
        std::string lb = " lb";
        int gender = 1 - p.female;
        int pregnant = p.pregnant ? 1 : 0, lactation = p.lactation ? 1 : 0;
        int feet = p.height / 12, inches = p.height % 12;

        CPageFields fields;
        fields.Value("FirstName", p.firstName);
        fields.Value("LastName", p.lastName);
        fields.SelectedIndex("ddlDay", day);
        fields.SelectedIndex("ddlMonth", month);
        fields.SelectedIndex("ddlYear", year);
        fields.SelectedIndex("ddlLifeStyle", life);
        fields.Text("BMI", bmi);
        fields.Radio("Units", units, 2);
        if (units == 1) {
            fields.Show("Height", false);
            fields.Show("lebelCm", false);
            for (const char* id : {"lebelFeet", "lebelInches", "ddlFeet", "ddlInches"}) fields.Show(id, true);
            fields.Text("lebelWeight", lb);
        }
        fields.SelectedIndex("ddlGender", gender);
        if (!p.female) {
            fields.SetDisabled("ddlLactation", true);
            fields.SetDisabled("ddlPregnant", true);
        }
        fields.SelectedIndex("ddlPregnant", pregnant);
        fields.SelectedIndex("ddlLactation", lactation);
        fields.Number("Weight", p.weight);
        if (p.unitsKg == 1) {
            fields.Int("Height", p.height);
        } else {
            fields.SelectedIndex("ddlFeet", feet);
            fields.SelectedIndex("ddlInches", inches);
        }
        pageHoldsData_ = page_->Exchange(false, fields);
        marked_ = false;  // a rendering shows the stored values, unframed
        notes_->setPlainText(QString::fromStdString(p.notes));
        if (!pageHoldsData_) Services::Prompt().Message(CWebControlBase::kNotAnsweringLoad);
        return true;
    }

    const CPersonalData before = p;
    // A page that never got the person's data shows the page's own defaults (today as the birth
    // date, empty names): taking them would overwrite the person.
    if (pageHoldsData_) TakePage(*doc);
    p.notes = notes_->toPlainText().toStdString();
    // What the user typed is a change of the profile: closing must offer to save it.
    if (Fields(before) != Fields(p)) doc->SetModifiedFlag();
    return true;
}

void CViewPersonal::TakePage(CVelmoraDoc& doc) {
    CPersonalData& p = doc.Log().Personal();
    std::string firstName = p.firstName, lastName = p.lastName;
    // A drop-down with nothing selected answers -1; the field then keeps what it had rather than
    // turning into a day, month or year before the list starts.
    int day = -1, month = -1, year = -1, life = -1, units = -1, gender = -1, pregnant = -1, lactation = -1;
    // Read as typed, so that a text which is no number is refused rather than passed over.
    constexpr const char* kUnread = "\x01";
    std::string weightText = kUnread, heightText = kUnread;
    int feet = -1, inches = -1;

    CPageFields fields;
    fields.Value("FirstName", firstName);
    fields.Value("LastName", lastName);
    fields.SelectedIndex("ddlDay", day);
    fields.SelectedIndex("ddlMonth", month);
    fields.SelectedIndex("ddlYear", year);
    fields.SelectedIndex("ddlLifeStyle", life);
    fields.Radio("Units", units, 2);
    fields.SelectedIndex("ddlGender", gender);
    fields.SelectedIndex("ddlPregnant", pregnant);
    fields.SelectedIndex("ddlLactation", lactation);
    fields.Value("Weight", weightText);
    // Both forms of the height: which one counts depends on the units read with them.
    fields.Value("Height", heightText);
    fields.SelectedIndex("ddlFeet", feet);
    fields.SelectedIndex("ddlInches", inches);
    if (!page_->Exchange(true, fields)) {
        Services::Prompt().Message(CWebControlBase::kNotAnsweringSave);
        return;
    }

    p.firstName = firstName;
    p.lastName = lastName;
    if (day >= 0) p.birthDay = day + 1;
    if (month >= 0) p.birthMonth = month + 1;
    if (year >= 0) p.birthYear = year + kFirstYear;
    if (life >= 0) p.lifeStyle = life;
    // What was kept, in the units chosen now.
    double keptWeight = p.weight;
    int keptHeight = p.height;
    if (units == 0 || units == 1) {
        const int unitsKg = units == 0 ? 1 : 0;
        if (unitsKg != p.unitsKg) {
            keptWeight = unitsKg ? PoundsToKg(p.weight) : KgToPounds(p.weight);
            keptHeight = unitsKg ? InchesToCm(p.height) : static_cast<int>(std::lround(p.height / 2.54));
            p.unitsKg = unitsKg;
            doc.Log().ConvertWeightUnits(unitsKg == 1);
        }
    }
    if (gender == 0 || gender == 1) p.female = 1 - gender;
    if (pregnant >= 0) p.pregnant = pregnant ? 1 : 0;
    if (lactation >= 0) p.lactation = lactation ? 1 : 0;

    // A refused height or weight leaves the person's as it was; its field keeps the text, framed
    // in red with the reason, and the status bar says why, as a refused cell does on the other tabs.
    const char* cm = p.unitsKg ? " cm." : " inches.";
    const char* kg = p.unitsKg ? " kg." : " lb.";
    const std::string keptHeightText = "The height stays " + std::to_string(keptHeight) + cm;
    const std::string keptWeightText = "The weight stays " + TextFormat::G(keptWeight) + kg;
    std::vector<std::pair<std::string, std::string>> refusals;  // field id, reason
    const auto number = [](const std::string& text, const char* what, const std::string& kept, std::string& error) {
        const auto value = Gui::WholeNumber(text);
        if (value) return value;
        const bool blank = text.find_first_not_of(" \t") == std::string::npos;
        error =
            (blank ? std::string("The ") + what + " can't be empty." : '"' + text + "\" is not a number.") + ' ' + kept;
        return value;
    };

    int height = keptHeight;
    std::string heightError;
    if (p.unitsKg == 1) {
        if (heightText != kUnread)
            if (const auto cmValue = number(heightText, "height", keptHeightText, heightError))
                height = std::fabs(*cmValue) < 1e9 ? static_cast<int>(std::lround(*cmValue)) : -1;
    } else if (feet >= 0 && inches >= 0) {
        height = feet * 12 + inches;
    }
    if (heightError.empty() && height != keptHeight) {
        heightError = CPersonalData::HeightRangeError(height, p.unitsKg);
        if (!heightError.empty()) heightError += ' ' + keptHeightText;
    }
    if (!heightError.empty()) {
        height = keptHeight;
        refusals.emplace_back(p.unitsKg ? "Height" : "ddlFeet", heightError);
    }

    double weight = keptWeight;
    std::string weightError;
    if (weightText != kUnread)
        if (const auto typed = number(weightText, "weight", keptWeightText, weightError)) weight = *typed;
    if (weightError.empty() && weight != keptWeight) {
        weightError = CPersonalData::WeightRangeError(weight, p.unitsKg);
        if (!weightError.empty()) weightError += ' ' + keptWeightText;
    }
    if (!weightError.empty()) {
        weight = keptWeight;
        refusals.emplace_back("Weight", weightError);
    }
    p.height = height;
    p.weight = weight;
    ShowRefusals(refusals);
}

void CViewPersonal::ShowRefusals(const std::vector<std::pair<std::string, std::string>>& refusals) {
    std::string said;
    QJsonObject marks;
    for (const auto& [id, reason] : refusals) {
        said += (said.empty() ? "" : " ") + reason;
        marks.insert(QString::fromStdString(id), QString::fromStdString(reason));
    }
    if (refusals.empty() && !marked_) return;
    const QString json = QString::fromUtf8(QJsonDocument(marks).toJson(QJsonDocument::Compact));
    page_->RunScript(QStringLiteral("typeof markFields === 'function' && markFields(%1)").arg(json));
    if (!said.empty())
        ShowStatusMessage(said);
    else
        ClearStatusMessage();
    marked_ = !refusals.empty();
}
