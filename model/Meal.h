#pragma once

#include "core/xml/XmlSerialize.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Meal {

// The time of day at which a meal begins.
struct MealTime {
    std::int16_t minutes = 0;
    std::int16_t hours = 0;

    // Hours and minutes as plain decimal numbers: 7:00 is "7:0", 24:01 is "24:1".
    std::string Text() const;
    // The integer before the separator and the one after it ("7:00" and "7:0" read the same).
    // Raises Xml::XmlError when the text holds no such pair.
    static MealTime FromText(const std::string& text);
};

// Earlier start first: hours, then minutes.
bool StartsBefore(const MealTime& a, const MealTime& b) noexcept;

// A meal food entries can belong to; the empty name stands for no meal.
class CMeal : public IXMLSerialize {
public:
    CMeal() = default;
    CMeal(std::string mealName, MealTime start) : name(std::move(mealName)), startTime(start) {}

    const std::string& Name() const noexcept { return name; }

    void Save(const Xml::XmlElement& parent) const override;
    // "time" and "id" are both required.
    void Load(const Xml::XmlElement& element) override;

    std::string name;
    MealTime startTime;
};

// Orders meals by start time; meals with equal times keep their order.
void SortByStartTime(std::vector<CMeal>& meals);

// The application's meal list, built in and never changed: Breakfast, Brunch, Lunch, Snack,
// Dinner, Supper, then the unnamed meal. Entries store a meal by its name and files list the meals
// only for reports, so a name added here reads and writes as every other.
class CMealManager : public IXMLSerialize {
public:
    CMealManager();

    int MealCount() const noexcept { return static_cast<int>(mealList_.size()); }
    // std::out_of_range "Requested item position out of range in Manager." beyond the list.
    const CMeal& MealAt(int position) const;
    // The named meal a food eaten at that time of day belongs to: the one that began last before
    // it, or the first meal of the day for a time before every meal (an early breakfast).
    const CMeal* MealForTime(const MealTime& time) const;

    // Every profile carries the list ("Meals")...
    void Save(const Xml::XmlElement& parent) const override;
    // ...but never changes it: what a profile lists is ignored.
    void Load(const Xml::XmlElement& element) override;

private:
    std::vector<CMeal> mealList_;
};

}  // namespace Meal
