#include "Commands.h"

#include "document/ProfileDocument.h"
#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <cmath>
#include <filesystem>
#include <iostream>
#include <random>
#include <stdexcept>

namespace Cli {

namespace {

const Meal::CMealManager& Meals() {
    static const Meal::CMealManager meals;
    return meals;
}

// A food of the USDA table by its key, and a usual portion of it.
struct Portion {
    int key;
    double grams;
};
using Dish = std::vector<Portion>;

// Common foods of the USDA table, put together as a person might eat them.
constexpr int kOats = 8120, kMilk = 1079, kBanana = 9040, kWholeWheatBread = 18075, kScrambledEgg = 1132,
              kCoffee = 14209, kYogurt = 1116, kApple = 9003, kPeanutButter = 16098, kOrange = 9200,
              kChickenBreast = 5064, kRice = 20045, kBroccoli = 11091, kLentils = 16070, kTomato = 11529,
              kLettuce = 11251, kCarrot = 11124, kCheddar = 1009, kOliveOil = 4053, kWhiteBread = 18069,
              kSpaghetti = 20121, kBeefPatty = 23568, kSalmon = 15237, kPotato = 11828, kButter = 1001;

// About 500 kcal for breakfast, 700 for lunch and dinner each.
const std::vector<Dish> kBreakfasts = {
    {{kOats, 70}, {kMilk, 250}, {kBanana, 120}},
    {{kWholeWheatBread, 70}, {kScrambledEgg, 130}, {kButter, 8}, {kCoffee, 240}, {kOrange, 140}},
    {{kYogurt, 250}, {kApple, 180}, {kOats, 40}, {kBanana, 100}, {kCoffee, 240}},
    {{kWholeWheatBread, 70}, {kPeanutButter, 32}, {kOrange, 140}, {kMilk, 200}},
    {{kWhiteBread, 60}, {kButter, 10}, {kCheddar, 35}, {kApple, 150}, {kCoffee, 240}},
};
const std::vector<Dish> kLunches = {
    {{kChickenBreast, 150}, {kRice, 250}, {kBroccoli, 120}, {kOliveOil, 10}},
    {{kLentils, 250}, {kWholeWheatBread, 80}, {kTomato, 150}, {kOliveOil, 10}, {kCheddar, 25}},
    {{kLettuce, 80},
     {kTomato, 120},
     {kCarrot, 60},
     {kCheddar, 40},
     {kOliveOil, 15},
     {kWhiteBread, 100},
     {kScrambledEgg, 60}},
    {{kSpaghetti, 250}, {kBeefPatty, 100}, {kTomato, 120}},
    {{kWholeWheatBread, 100}, {kCheddar, 50}, {kApple, 180}, {kMilk, 250}},
};
const std::vector<Dish> kDinners = {
    {{kSalmon, 170}, {kPotato, 250}, {kBroccoli, 150}, {kButter, 10}},
    {{kBeefPatty, 130}, {kPotato, 250}, {kCarrot, 100}, {kOliveOil, 10}},
    {{kChickenBreast, 160}, {kSpaghetti, 220}, {kOliveOil, 15}, {kTomato, 100}},
    {{kLentils, 220}, {kRice, 220}, {kCarrot, 80}, {kOliveOil, 15}, {kYogurt, 100}},
    {{kSalmon, 150}, {kRice, 200}, {kLettuce, 70}, {kOliveOil, 12}, {kBanana, 100}},
};

boost::gregorian::date ParseEnd(const std::optional<std::string>& text) {
    if (!text) return Services::Today();
    const auto date = Services::ParseDateKey(*text);
    if (!date) throw UsageError("--end must be a date as YYYYMMDD, not '" + *text + "'");
    return *date;
}

}  // namespace

// A plausible profile to look at the views with: a person, three meals on most days, a weight
// that drifts down with daily noise. The same arguments always give the same profile.
int CmdSampleProfile(CliContext& ctx, std::vector<std::string>& args) {
    const auto daysText = TakeOption(args, "--days");
    const auto endText = TakeOption(args, "--end");
    if (args.size() != 1) throw UsageError("sample-profile needs one profile file");
    const std::string path = args.front();
    const int days = daysText ? ParseInt(*daysText, "--days") : 90;
    if (days < 1 || days > 36600) throw UsageError("--days must lie between 1 and 36600");
    const boost::gregorian::date end = ParseEnd(endText);
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        throw std::runtime_error("'" + path + "' exists already; it is left as it is");

    const CDataSourceMgr& source = ctx.DataSource();
    CProfileDocument doc(&Meals(), &source);
    doc.OnNewDocument();
    const boost::gregorian::date first = end - boost::gregorian::days(days - 1);

    CPersonalData& person = doc.Log().Personal();
    person.firstName = "Alex";
    person.lastName = "Sample";
    person.female = 0;
    person.birthYear = 1988;
    person.birthMonth = 4;
    person.birthDay = 12;
    person.height = 178;
    person.weight = 72;
    person.lifeStyle = 1;
    person.unitsKg = 1;
    person.date = boost::gregorian::to_iso_string(first);

    std::mt19937 random(20240101u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto pick = [&](const std::vector<Dish>& dishes) -> const Dish& {
        return dishes[static_cast<std::size_t>(unit(random) * static_cast<double>(dishes.size())) % dishes.size()];
    };
    const double drift = days > 1 ? 3.5 / (days - 1) : 0;  // kg lost over the whole range

    for (int i = 0; i < days; ++i) {
        doc.GoToDate(boost::gregorian::to_iso_string(first + boost::gregorian::days(i)));
        // About one day in twelve nothing was logged; one in four no weight was taken.
        if (unit(random) >= 1.0 / 12) {
            const std::pair<const char*, const std::vector<Dish>*> meals[] = {
                {"Breakfast", &kBreakfasts}, {"Lunch", &kLunches}, {"Dinner", &kDinners}};
            for (const auto& [meal, dishes] : meals)
                for (const Portion& portion : pick(*dishes)) {
                    const int index = doc.AddFoodByKey(portion.key, source.SourceId());
                    if (index < 0)
                        throw std::runtime_error("the data source has no food " + std::to_string(source.SourceId()) +
                                                 ":" + std::to_string(portion.key) +
                                                 "; the sample profile needs the USDA SR24 table");
                    // Portions vary by up to 15 % either way, in steps of 5 g.
                    const double grams = std::round(portion.grams * (0.85 + 0.3 * unit(random)) / 5) * 5;
                    doc.SetFoodWeight(index, grams);
                    doc.SetFoodMeal(index, meal);
                }
        }
        if (unit(random) >= 0.25) {
            const double weight = 72.0 - drift * i + (unit(random) - 0.5) * 0.8;
            doc.SetDayFact("Weight", std::round(weight * 10) / 10);
        }
    }
    doc.GoToDate(boost::gregorian::to_iso_string(end));
    if (!doc.OnSaveDocument(path)) return 1;
    std::cout << path << ": " << days << " days from " << boost::gregorian::to_iso_string(first) << " to "
              << boost::gregorian::to_iso_string(end) << '\n';
    return 0;
}

}  // namespace Cli
