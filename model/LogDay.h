#pragma once

#include "DayFood.h"
#include "EnergyComposition.h"
#include "Fact.h"
#include "NutrientRequirement.h"

#include "core/xml/JsonSerialize.h"
#include "core/xml/XmlSerialize.h"
#include "core/xml/XmlUnknown.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace UserLog {

// One logged day: the foods eaten, the facts measured, and limits of this day only.
class CLogDay : public IXMLSerialize, public IJSONSerialize {
public:
    explicit CLogDay(std::string dateKey = {}) : date(std::move(dateKey)) {}
    CLogDay(const CLogDay& other);
    CLogDay& operator=(const CLogDay& other);
    CLogDay(CLogDay&&) noexcept = default;
    CLogDay& operator=(CLogDay&&) noexcept = default;

    // "LogDay" with date, "Food" (always), the own composition, own "Nutrients", then "Fact"s.
    void Save(const Xml::XmlElement& parent) const override;
    // A missing "date" fails the read with the XML layer's error.
    void Load(const Xml::XmlElement& element) override;

    // The day object of the pages, whatever the placeholder: date, "food" and "facts" (each null
    // when the day has none); an empty day makes the value null.
    bool WriteJson(Json::Value& value, const std::string& placeholder) const override;
    // "LogDay" as Save writes it, always (an empty day too), its entries with their amounts and
    // unit names. Answers the element so the log can add what depends on the person.
    Xml::XmlElement WriteReport(const Xml::XmlElement& parent) const;

    // No food, no own composition, no own requirement and no fact. Empty days are not written.
    bool IsEmpty() const;
    // Everything but the date goes.
    void ClearDay();
    // An entry made from the food, appended when index is -1, else inserted before that position.
    CDayFood* AddFood(std::shared_ptr<CDS_Ingredient> food, int index = -1);
    void RemoveFood(int index);
    void SetDate(const std::string& dateKey) { date = dateKey; }

    CFact* FindFact(const std::string& name) { return facts.Find(name); }
    const CFact* FindFact(const std::string& name) const { return facts.Find(name); }
    void SetFact(const std::string& name, double value) { facts.Set(name, value); }
    void RemoveFact(const std::string& name) { facts.Remove(name); }

    // kcal of each energy component over the entries: factor × grams × amount, in component order.
    std::array<double, CDS_EnergyComposition::kComponentCount> ComponentEnergies() const;

    std::string date;
    std::vector<CDayFood> foods;
    std::unique_ptr<CDS_EnergyComposition> energyComposition;  // null: the profile's applies
    std::vector<CNutrientRequirement> requirements;
    CDayFacts facts;
    // What a newer version wrote into "LogDay" and its "Food" and "Nutrients" lists that this one
    // does not read; written back unchanged, and a day holding only that is not empty.
    struct {
        Xml::UnknownParts day, foodList, nutrientList;
    } unknown;
};

}  // namespace UserLog
