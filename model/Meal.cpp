#include "Meal.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

using Xml::XmlElement;
using Xml::XmlError;

namespace Meal {

std::string MealTime::Text() const { return std::to_string(hours) + ":" + std::to_string(minutes); }

MealTime MealTime::FromText(const std::string& text) {
    const char* p = text.data();
    const char* end = p + text.size();
    std::int16_t h = 0;
    std::int16_t m = 0;
    auto r = std::from_chars(p, end, h);
    if (r.ec == std::errc() && r.ptr != end)
        r = std::from_chars(r.ptr + 1, end, m);
    else
        r.ec = std::errc::invalid_argument;
    if (r.ec != std::errc()) throw XmlError(XmlError::Conversion, "'" + text + "' is not a time of day");
    return MealTime{m, h};
}

bool StartsBefore(const MealTime& a, const MealTime& b) noexcept {
    return a.hours < b.hours || (a.hours == b.hours && a.minutes < b.minutes);
}

void CMeal::Save(const XmlElement& parent) const {
    XmlElement el = parent.AddElement("Meal");
    el.SetAttribute("id", name);
    el.SetAttribute("time", startTime.Text());
}

void CMeal::Load(const XmlElement& element) {
    startTime = MealTime::FromText(element.GetAttribute("time").AsString());
    name = element.GetAttribute("id").AsString();
}

void SortByStartTime(std::vector<CMeal>& meals) {
    std::stable_sort(meals.begin(), meals.end(),
                     [](const CMeal& a, const CMeal& b) { return StartsBefore(a.startTime, b.startTime); });
}

CMealManager::CMealManager() {
    // The unnamed meal starts at 24:01, after every real time of day, so it sorts last.
    mealList_ = {
        CMeal("", {.minutes = 1, .hours = 24}),       CMeal("Breakfast", {.minutes = 0, .hours = 7}),
        CMeal("Brunch", {.minutes = 30, .hours = 9}), CMeal("Lunch", {.minutes = 0, .hours = 12}),
        CMeal("Snack", {.minutes = 0, .hours = 15}),  CMeal("Dinner", {.minutes = 0, .hours = 17}),
        CMeal("Supper", {.minutes = 0, .hours = 19}),
    };
    SortByStartTime(mealList_);
}

const CMeal* CMealManager::MealForTime(const MealTime& time) const {
    const CMeal* first = nullptr;
    const CMeal* current = nullptr;
    for (const CMeal& meal : mealList_) {
        if (meal.name.empty()) continue;
        if (!first) first = &meal;
        if (!StartsBefore(time, meal.startTime)) current = &meal;
    }
    return current ? current : first;
}

const CMeal& CMealManager::MealAt(int position) const {
    if (position < 0 || position >= MealCount())
        throw std::out_of_range("Requested item position out of range in Manager.");
    return mealList_[static_cast<std::size_t>(position)];
}

void CMealManager::Save(const XmlElement& parent) const {
    XmlElement el = parent.AddElement("Meals");
    for (const CMeal& meal : mealList_) meal.Save(el);
}

void CMealManager::Load(const XmlElement&) {}

}  // namespace Meal
