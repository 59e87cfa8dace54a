#include "NutrientLabel.h"

#include "DataSourceMgr.h"
#include "NutrientCatalogue.h"

namespace Nutrient {

Label LabelOf(int gid, const CDataSourceMgr* source) {
    if (const StandardNutrient* standard = StandardNutrientByGid(gid))
        return {standard->name, standard->units, true, standard->decimals};
    if (source && gid != -1)
        for (const CDS_Nutrition& nutrient : source->Nutrients())
            if (nutrient.Gid() == gid) return {nutrient.Name(), nutrient.Units(), true, nutrient.Accuracy()};
    return {};
}

double RoundShown(const Label& label, double value) {
    return label.rounded ? RoundDecimals(value, label.decimals) : value;
}

double RoundShown(int gid, double value, const CDataSourceMgr* source) {
    return RoundShown(LabelOf(gid, source), value);
}

}  // namespace Nutrient
