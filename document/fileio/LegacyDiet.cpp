#include "LegacyDiet.h"

#include "core/LoadReport.h"
#include "core/Services.h"
#include "model/StoredNumber.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/NutrientCatalogue.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <cmath>
#include <vector>

bool ReadLegacyDiet(NS_Data::CUserLog& log, const Xml::XmlElement& diet) {
    LoadReport::Clear();

    std::string date = diet.GetAttribute("date", "").AsString();
    if (date.empty()) date = boost::gregorian::to_iso_string(Services::Today());
    log.SelectDay(date);

    const Xml::XmlElement personal = diet.ChildElement("Personal");
    if (!personal) throw Xml::XmlError(Xml::XmlError::NotElement, "The document has no \"Personal\" element");
    log.Personal().Load(personal);
    log.EnergyComposition().Load(diet.SelectSingleNode("Energy/Current"));

    for (const Xml::XmlElement& list : diet.ChildElements("Nutrients")) {
        for (const Xml::XmlElement& e : list.ChildElements("NutrientEx")) {
            const double min = StoredNumber(e.GetAttribute("min", -1.0));
            const double max = StoredNumber(e.GetAttribute("max", -1.0));
            std::string name;
            if (Xml::XmlElement nutrient = e.ChildElement("Nutrient"))
                name = nutrient.GetAttribute("Name", "").AsString();
            const int gid = Nutrient::GidOfStandardNutrient(name);
            if (gid == -1)
                LoadReport::AddUnique("Unknown nutrient", name);
            else if (!log.AddRequirement(gid, min, max))
                LoadReport::AddUnique("Removed nutrient", name);
        }
    }

    const auto day = log.GetCurrentDay();
    for (const Xml::XmlElement& list : diet.ChildElements("Ingredients")) {
        for (const Xml::XmlElement& e : list.ChildElements("FoodEx")) {
            CDS_IngredientEx food;
            food.Load(e);
            if (!std::isfinite(food.weight))
                throw Xml::XmlError(Xml::XmlError::Conversion,
                                    "Can't convert the weight of " + food.Name() + " to a finite number");
            if (food.GetFoodKey().source == 0) {
                LoadReport::AddUnique("Unknown data source for food", food.Name());
            } else if (food.GetFoodKey().key == -1) {
                LoadReport::AddUnique("Unknown key for food", food.Name());
            } else {
                // The entry is bound to the log's own copy of the food by ResolveFoods below, like
                // an entry read from a profile.
                UserLog::CDayFood& entry = day->foods.emplace_back();
                entry.key = food.GetFoodKey().key;
                entry.source = food.GetFoodKey().source;
                entry.weight = food.weight;
                entry.unitIndex = food.unitIndex;
                entry.unitGrams = 1.0;
                entry.unitAsRead = true;
                entry.meal = food.meal;
                entry.name = food.Name();
            }
        }
    }

    log.ResolveFoods();
    std::vector<int> gids;
    if (const CDataSourceMgr* source = log.DataSource())
        for (const CDS_Nutrition& n : source->Nutrients()) gids.push_back(n.gid);
    log.SyncRequirements(gids);
    return true;
}
