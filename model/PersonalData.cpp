#include "PersonalData.h"

#include "StoredNumber.h"

#include "TextFormat.h"
#include "core/Services.h"
#include "refdata/NutrientCatalogue.h"
#include "refdata/PersonalProfile.h"

#include <boost/date_time/gregorian/gregorian.hpp>
#include <boost/lexical_cast.hpp>
#include <boost/tokenizer.hpp>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <iterator>

using TextFormat::Printf;
using Xml::XmlElement;

double PoundsToKg(double lb) { return Nutrient::RoundDecimals(lb / 2.2, 1); }

double KgToPounds(double kg) { return Nutrient::RoundDecimals(kg * 2.2, 1); }

int InchesToCm(int inches) {
    // Heights come from files and may be any 32-bit number; their centimetres need not fit.
    const double cm = std::trunc(inches * 2.54 + 0.5);
    return static_cast<int>(std::clamp(cm, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

namespace {

const char* const kInfantFormat = "89 * Weight(%G) - 100 + Energy Deposition(%d) )";
const char* const kGirlsFormat =
    "135.3 - 30.8 * Age(%d) + Activity Coef(%G) * ( 10 * Weight(%G) + 9.34 * Height(%d) + Energy Deposition(%d) )";
const char* const kChildBoysFormat =
    "88.5 - 61.9 * Age(%d) + Activity Coef(%G) * ( 26.7 * Weight(%G) + 9.03 * Height(%d) ) + Energy Deposition(%d)";
const char* const kBoysFormat =
    "88.5 - 61.9 * Age(%d) + Activity Coef(%G) * ( 26.7 * Weight(%G) + 9.03 * Height(%d) + Energy Deposition(%d) )";
const char* const kMenFormat = "662 - 9.53 * Age(%d) + Activity Coef(%G) * ( 15.91 * Weight(%G) + 5.396 * Height(%d) )";
const char* const kWomenFormat = "354 - 6.91 * Age(%d) + Activity Coef(%G) * ( 9.36 * Weight(%G) + 7.26 * Height(%d) )";
const char* const kPregnancyNote = " Pregnancy and Lactation are not taken into account now.";
const char* const kExtraEnergyFormat = " + Extra Energy(%G)";
const char* const kNotTakenIntoAccount = "not taken into account";

const char* const kLifeStyleNames[] = {"SEDENTARY", "LOWACTIVE", "ACTIVE", "VERYACTIVE"};

bool IsWomanCategory(DriCategory c) { return c >= DriCategory::Female && c <= DriCategory::FemalePregnantLactation; }

int EnergyDeposition(DriCategory c, int age) {
    if (c == DriCategory::Infant) return EnergyEquation::InfantDeposition(age);
    if (c == DriCategory::Children) return 20;
    if (c == DriCategory::Male || IsWomanCategory(c)) return age <= 18 ? 25 : 0;
    return 0;
}

// 0 where no equation with an activity coefficient applies (infants, toddlers, unknown age).
double ActivityCoefficient(DriCategory c, int age, bool female, int lifeStyle) {
    using EnergyEquation::ActivityCoefficient;
    using Group = EnergyEquation::ActivityGroup;
    if (c == DriCategory::Children) {
        if (age < 3) return 0;
        return ActivityCoefficient(female ? Group::Girls : Group::Boys, lifeStyle);
    }
    if (c == DriCategory::Male) return ActivityCoefficient(age <= 18 ? Group::Boys : Group::Men, lifeStyle);
    if (IsWomanCategory(c)) return ActivityCoefficient(age <= 18 ? Group::Girls : Group::Women, lifeStyle);
    return 0;
}

std::string TodayKey() { return boost::gregorian::to_iso_string(Services::Today()); }

bool IsDateKeyText(const std::string& text) {
    return text.size() == 8 && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

CPersonalData::CPersonalData() : date(TodayKey()) {}

// ---- Derived values ------------------------------------------------------------------------

double CPersonalData::AgeAt(const std::string& dateKey) const {
    // Today only when asked: the clock reads the local time zone, which a period of many days
    // judged nutrient by nutrient would otherwise do thousands of times.
    boost::gregorian::date day;
    if (dateKey.empty()) {
        day = Services::Today();
    } else {
        auto parsed = Services::ParseDateKey(dateKey);
        if (!parsed) return -1;
        day = *parsed;
    }
    // A birth date read from a file may hold any 32-bit numbers: the differences are taken wide
    // enough to stay defined, and such a date gives an unknown age like any other beyond range.
    long long months = static_cast<long long>(day.month()) - birthMonth - (day.day() < birthDay ? 1 : 0);
    const long long years = static_cast<long long>(day.year()) - birthYear - (months < 0 ? 1 : 0);
    if (years < 0 || years > 120) return -1;
    if (years >= 1) return static_cast<double>(years);
    if (months < 0) months += 12;
    return months >= 0 && months <= 12 ? months / 100.0 : -1;
}

DriCategory CPersonalData::DriCategoryAt(const std::string& dateKey) const {
    const double age = AgeAt(dateKey);
    if (age < 0) return DriCategory::UnknownCategory;
    if (age < 1) return DriCategory::Infant;
    if (age <= 8) return DriCategory::Children;
    if (!female) return DriCategory::Male;
    if (pregnant && lactation) return DriCategory::FemalePregnantLactation;
    if (pregnant) return DriCategory::FemalePregnant;
    if (lactation) return DriCategory::FemaleLactation;
    return DriCategory::Female;
}

int CPersonalData::DriAgeAt(const std::string& dateKey) const {
    const double age = AgeAt(dateKey);
    // Months are kept as hundredths; rounding guards against 0.07 * 100 landing below 7.
    return age >= 1 ? static_cast<int>(age) : static_cast<int>(std::lround(age * 100));
}

int CPersonalData::HeightCm() const { return unitsKg ? height : InchesToCm(height); }

std::string CPersonalData::LifeStyleName() const {
    return lifeStyle >= 0 && lifeStyle <= 3 ? kLifeStyleNames[lifeStyle] : "?";
}

std::string CPersonalData::HeightRangeError(int height, int unitsKg) {
    if (EnergyEquation::HeightInRange(unitsKg ? height : InchesToCm(height))) return {};
    const std::string cm =
        std::to_string(EnergyEquation::kMinHeightCm) + " to " + std::to_string(EnergyEquation::kMaxHeightCm) + " cm";
    if (unitsKg) return "Height must be from " + cm + ".";
    // The whole inches whose centimetres are in the range.
    int low = 0;
    while (!EnergyEquation::HeightInRange(InchesToCm(low))) ++low;
    int high = low;
    while (EnergyEquation::HeightInRange(InchesToCm(high + 1))) ++high;
    return "Height must be from " + std::to_string(low) + " to " + std::to_string(high) + " inches (" + cm + ").";
}

std::string CPersonalData::WeightRangeError(double weight, int unitsKg) {
    if (EnergyEquation::WeightInRange(unitsKg ? weight : weight / 2.2)) return {};
    return "Weight must be above 0 and at most " +
           TextFormat::G(unitsKg ? EnergyEquation::kMaxWeightKg : EnergyEquation::kMaxWeightKg * 2.2) +
           (unitsKg ? " kg." : " lb.");
}

// ---- Energy requirement --------------------------------------------------------------------

double CPersonalData::EnergyRequirement(const EnergyInputs& inputs, std::string& description) const {
    namespace eq = EnergyEquation;
    description.clear();
    double w = inputs.weight != 0 ? inputs.weight : weight;
    if (!unitsKg) w = PoundsToKg(w);

    const DriCategory c = DriCategoryAt(inputs.date);
    // An unknown age has no requirement; adding the extra energy alone would pass it off as one.
    if (c == DriCategory::UnknownCategory) return 0;
    const int n = DriAgeAt(inputs.date);
    const int dep = EnergyDeposition(c, n);
    const double pa = ActivityCoefficient(c, n, female != 0, lifeStyle);
    const int h = HeightCm();

    double eer = 0;
    if (c == DriCategory::Infant || (c == DriCategory::Children && n < 3)) {
        // Children of one and two years have no coefficient; the toddlers' equation of the
        // reference report is the infants' one with the children's deposition.
        eer = eq::Infant(w, dep);
        description = Printf(kInfantFormat, {w, dep});
    } else if (c == DriCategory::Children) {
        if (female) {
            eer = eq::Girls(n, pa, w, h, dep);
            description = Printf(kGirlsFormat, {n, pa, w, h, dep});
        } else {
            eer = eq::Boys(n, pa, w, h, dep);
            description = Printf(kChildBoysFormat, {n, pa, w, h, dep});
        }
    } else if (c == DriCategory::Male) {
        if (n <= 18) {
            eer = eq::Boys(n, pa, w, h, dep);
            description = Printf(kBoysFormat, {n, pa, w, h, dep});
        } else {
            eer = eq::Men(n, pa, w, h);
            description = Printf(kMenFormat, {n, pa, w, h});
        }
    } else {
        if (n <= 18) {
            eer = eq::Girls(n, pa, w, h, dep);
            description = Printf(kGirlsFormat, {n, pa, w, h, dep});
        } else {
            eer = eq::Women(n, pa, w, h);
            description = Printf(kWomenFormat, {n, pa, w, h});
        }
        if (c != DriCategory::Female) description += kPregnancyNote;
    }

    if (inputs.extraEnergy != 0) {
        description += Printf(kExtraEnergyFormat, {inputs.extraEnergy});
        eer += inputs.extraEnergy;
    }
    return eer;
}

std::vector<EnergyDetail> CPersonalData::EnergyDetails(const EnergyInputs& inputs) const {
    std::vector<EnergyDetail> details;
    const DriCategory c = DriCategoryAt(inputs.date);
    const int n = DriAgeAt(inputs.date);

    if (c == DriCategory::UnknownCategory)
        details.emplace_back("Age", "unknown");
    else
        details.emplace_back("Age", Printf(c == DriCategory::Infant ? "%d months" : "%d years", {n}));

    const double w = inputs.weight != 0 ? inputs.weight : weight;
    details.emplace_back("Weight", Printf(unitsKg ? "%G kg" : "%G lb", {w}));

    if (c != DriCategory::Infant) {
        details.emplace_back(
            "Height", unitsKg ? Printf("%d cm", {height}) : Printf("%d feet %d inches", {height / 12, height % 12}));
        details.emplace_back("Gender", female ? "Female" : "Male");
        details.emplace_back("Life Style", LifeStyleName());
    }

    const int dep = EnergyDeposition(c, n);
    if (c != DriCategory::UnknownCategory && dep != 0)
        details.emplace_back("Energy Deposition", Printf("%d kcal", {dep}));
    if (c == DriCategory::FemalePregnant || c == DriCategory::FemalePregnantLactation)
        details.emplace_back("Pregnancy", kNotTakenIntoAccount);
    if (c == DriCategory::FemaleLactation || c == DriCategory::FemalePregnantLactation)
        details.emplace_back("Lactation", kNotTakenIntoAccount);

    if (inputs.extraEnergy != 0) details.emplace_back("Extra Energy", Printf("%G kcal", {inputs.extraEnergy}));
    return details;
}

// ---- XML -----------------------------------------------------------------------------------

void CPersonalData::Save(const XmlElement& parent) const {
    XmlElement el = parent.AddElement("Personal");
    el.SetAttribute("date", date);
    el.SetAttribute("LifeStyle", lifeStyle);
    el.SetAttribute("Height", height);
    el.SetAttribute("UnitsKG", unitsKg);
    el.AddTextElement("FirstName", firstName);
    el.AddTextElement("LastName", lastName);

    XmlElement dob = el.AddElement("DOB");
    dob.SetAttribute("YYYY", birthYear);
    dob.SetAttribute("MM", birthMonth);
    dob.SetAttribute("DD", birthDay);
    unknown.dob.Restore(dob);

    XmlElement sex = el.AddElement("Sex");
    sex.SetAttribute("Female", female);
    if (female) {
        sex.SetAttribute("Pregnant", pregnant);
        sex.SetAttribute("Lactation", lactation);
    }
    unknown.sex.Restore(sex);

    if (!notes.empty()) el.AddTextElement("PersonalNotes", notes);

    XmlElement w = el.AddElement("Weight");
    w.SetAttribute("value", weight);
    w.SetAttribute("date", date);
    unknown.weight.Restore(w);
    unknown.personal.Restore(el);
}

void CPersonalData::Load(const XmlElement& element) {
    date = element.GetAttribute("date", TodayKey()).AsString();
    lifeStyle = element.GetAttribute("LifeStyle").AsInt();
    height = element.GetAttribute("Height").AsInt();

    // Older files keep the weight as an attribute of "Personal", newer ones in a "Weight" child.
    // A file with neither keeps the weight as it was rather than taking the marker -1 as a weight.
    const double oldWeight = StoredNumber(element.GetAttribute("Weight", -1));
    if (oldWeight != -1) {
        weight = oldWeight;
    } else if (XmlElement w = element.ChildElement("Weight")) {
        weight = StoredNumber(w.GetAttribute("value", 0.0));
    }
    if (XmlElement w = element.ChildElement("Weight")) unknown.weight.Capture(w, {"value", "date"}, {});

    unitsKg = element.GetAttribute("UnitsKG").AsInt();
    firstName = element.ChildElement("FirstName").GetText();
    lastName = element.ChildElement("LastName").GetText();

    XmlElement dob = element.ChildElement("DOB");
    if (dob) unknown.dob.Capture(dob, {"date", "YYYY", "MM", "DD"}, {});
    const std::string dobText = dob.GetAttribute("date", "").AsString();
    if (IsDateKeyText(dobText)) {
        static const int kOffsets[] = {4, 2, 2};
        boost::offset_separator parts(std::begin(kOffsets), std::end(kOffsets));
        boost::tokenizer<boost::offset_separator> tokens(dobText, parts);
        auto it = tokens.begin();
        birthYear = boost::lexical_cast<int>(*it++);
        birthMonth = boost::lexical_cast<int>(*it++);
        birthDay = boost::lexical_cast<int>(*it);
    } else {
        birthYear = dob.GetAttribute("YYYY").AsInt();
        birthMonth = dob.GetAttribute("MM").AsInt();
        birthDay = dob.GetAttribute("DD").AsInt();
    }

    XmlElement sex = element.ChildElement("Sex");
    if (sex) unknown.sex.Capture(sex, {"Female", "Pregnant", "Lactation"}, {});
    female = sex.GetAttribute("Female").AsInt();
    if (female) {
        pregnant = sex.GetAttribute("Pregnant", 0).AsInt();
        lactation = sex.GetAttribute("Lactation", 0).AsInt();
    } else {
        pregnant = 0;
        lactation = 0;
    }

    XmlElement personalNotes = element.ChildElement("PersonalNotes");
    notes = personalNotes ? personalNotes.GetText() : std::string();
    unknown.personal.Capture(element, {"date", "LifeStyle", "Height", "UnitsKG", "Weight"},
                             {"FirstName", "LastName", "DOB", "Sex", "PersonalNotes", "Weight"});
}
