#pragma once

#include "core/xml/XmlSerialize.h"
#include "core/xml/XmlUnknown.h"
#include "refdata/DriCategory.h"

#include <string>
#include <utility>
#include <vector>

class CPersonalData;

// Unit conversions used throughout the program: 1 kg = 2.2 lb, 1 inch = 2.54 cm.
double PoundsToKg(double lb);  // one decimal
double KgToPounds(double kg);  // one decimal
int InchesToCm(int inches);    // whole centimetres

// What the energy requirement of one day depends on besides the person; the user log fills it
// from the day's built-in facts.
struct EnergyInputs {
    double weight = 0;       // the day's weight in the person's units; 0: use the person's weight
    double extraEnergy = 0;  // kcal/day spent beyond the life style; 0 when not recorded
    const CPersonalData* personal = nullptr;
    std::string date;  // "YYYYMMDD"; empty means today
};

// (name, value) texts describing the inputs of an energy requirement.
using EnergyDetail = std::pair<std::string, std::string>;

// The person a profile belongs to.
class CPersonalData : public IXMLSerialize {
public:
    CPersonalData();

    void Save(const Xml::XmlElement& parent) const override;
    void Load(const Xml::XmlElement& element) override;

    // Age in whole years from one year on; under one year the whole months / 100 (5 months give
    // 0.05); -1 when the date lies before the birth date, more than 120 years after it, or is not
    // a readable "YYYYMMDD" date. An empty date means today.
    double AgeAt(const std::string& date = {}) const;
    DriCategory DriCategoryAt(const std::string& date = {}) const;
    // Whole months under one year, else whole years (the age reference intakes are listed by).
    int DriAgeAt(const std::string& date = {}) const;
    int HeightCm() const;
    // "SEDENTARY", "LOWACTIVE", "ACTIVE", "VERYACTIVE", or "?".
    std::string LifeStyleName() const;

    // The energy calculator's ranges for a height or weight in the units given (`unitsKg` as
    // below): what the user is told about a value outside them, empty for one inside.
    static std::string HeightRangeError(int height, int unitsKg);
    static std::string WeightRangeError(double weight, int unitsKg);

    // Estimated energy requirement in kcal/day and the equation it came from, with the values
    // put in. 0 and an empty description when the age is unknown.
    double EnergyRequirement(const EnergyInputs& inputs, std::string& description) const;
    // The inputs of EnergyRequirement as the user knows them (own units, no conversion).
    std::vector<EnergyDetail> EnergyDetails(const EnergyInputs& inputs) const;

    std::string date;  // "YYYYMMDD", the day the data refers to
    std::string firstName;
    std::string lastName;
    std::string notes;
    int birthYear = 1970;
    int birthMonth = 1;
    int birthDay = 1;
    int female = 1;
    int pregnant = 0;
    int lactation = 0;
    int lifeStyle = 1;     // 0 sedentary .. 3 very active
    int unitsKg = 1;       // 1: kg and cm; 0: lb and inches
    int height = 170;      // cm or inches
    double weight = 70.0;  // kg or lb
    // What a newer version wrote into "Personal", "DOB", "Sex" and "Weight" that this one does
    // not read; written back unchanged.
    struct {
        Xml::UnknownParts personal, dob, sex, weight;
    } unknown;
};
