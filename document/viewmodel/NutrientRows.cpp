#include "NutrientRows.h"

#include "TargetTips.h"
#include "TypedNumber.h"
#include "document/ProfileDocument.h"

#include "model/Targets.h"
#include "model/TextFormat.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/DietaryIntakesMgr.h"
#include "refdata/NutrientLabel.h"

#include <optional>
#include <vector>

namespace NutrientRows {

namespace {

std::string Shown(double value) { return value == -1 ? std::string() : TextFormat::G(value); }

const CDS_Nutrition* NutrientOfRow(const CProfileDocument& document, int row) {
    const CDataSourceMgr* source = document.Log().DataSource();
    if (!source || row < 0 || row >= static_cast<int>(source->Nutrients().size())) return nullptr;
    return &source->NutrientAt(static_cast<std::size_t>(row));
}

}  // namespace

std::vector<Row> Rows(const NS_Data::CUserLog& log, const CDC_DietaryIntakesMgr* intakes) {
    std::vector<Row> rows;
    const CDataSourceMgr* source = log.DataSource();
    if (!source) return rows;
    std::vector<UserLog::CNutrientRequirement> effective;
    log.GetEffectiveRequirements(effective);
    const std::string date = log.GetCurrentDay()->date;
    const int category = log.Personal().DriCategoryAt(date);
    const int age = log.Personal().DriAgeAt(date);

    for (const CDS_Nutrition& nutrient : source->Nutrients()) {
        Row row;
        row.name = nutrient.Name();
        row.units = nutrient.Units();
        row.gid = nutrient.Gid();
        for (const UserLog::CNutrientRequirement& req : effective) {
            if (req.gid != row.gid) continue;
            const Targets::Target target = Targets::For(log, *log.GetCurrentDay(), req);
            row.followed = true;
            row.min = Shown(target.min);
            row.max = Shown(target.max);
            row.defaultLimits = target.IsDefault();
            row.minTip = TargetTips::DefaultLimit(target, false);
            row.maxTip = TargetTips::DefaultLimit(target, true);
            break;
        }
        const DietaryIntake* intake = intakes && row.gid != -1 ? intakes->FindIntake(row.gid) : nullptr;
        if (intake) {
            float rda = -1, ai = -1, ul = -1;
            intake->GetValues(category, age, rda, ai, ul);
            row.rda = Shown(rda);
            row.ai = Shown(ai);
            row.ul = Shown(ul);
            if (ul >= 0 && intake->ulForSupplementsOnly) {
                row.ul += " *";
                row.ulTip = "For supplements only: not a target for food";
            } else if (ul >= 0 && intake->ulIsCdrr) {
                row.ul += " CDRR";
                row.ulTip = "Chronic Disease Risk Reduction intake (2019), which stands as the upper limit";
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> OrderNames(const NS_Data::CUserLog& log) {
    std::vector<UserLog::CNutrientRequirement> effective;
    log.GetEffectiveRequirements(effective);
    std::vector<std::string> names;
    for (const UserLog::CNutrientRequirement& req : effective)
        names.push_back(Nutrient::LabelOf(req.gid, log.DataSource()).name);
    return names;
}

bool SetFollowed(CProfileDocument& document, int row, bool followed) {
    const CDS_Nutrition* nutrient = NutrientOfRow(document, row);
    if (!nutrient) return false;
    CProfileDocument::ChangeScope change(document, followed ? "Follow Nutrient" : "Stop Following Nutrient");
    const int gid = nutrient->Gid();
    const int index = document.Log().FindRequirement(gid);
    if (!followed && index >= 0) {
        // The row showed the current day's own limits when it has some; left behind, they would
        // come back with the nutrient the next time it is ticked.
        auto& own = document.CurrentDay().requirements;
        std::erase_if(own, [gid](const UserLog::CNutrientRequirement& r) { return r.gid == gid; });
        document.RemoveNutrient(index);
        return true;
    }
    if (followed && index < 0) return document.AddNutrient(gid);
    return false;
}

CellStore StoreLimit(CProfileDocument& document, int row, int column, const std::string& text) {
    const CDS_Nutrition* nutrient = NutrientOfRow(document, row);
    if (!nutrient || (column != 2 && column != 3)) return {};
    UserLog::CNutrientRequirement* req = document.Log().EffectiveRequirement(nutrient->Gid());
    if (!req) return {};
    const TypedInput typed = ReadTyped(text, TypedRule::Limit);
    if (typed.kind == TypedInput::Kind::Refused) return {false, typed.error};
    const double limit = typed.kind == TypedInput::Kind::Cleared ? -1 : typed.value;
    if (std::string order = LimitOrderError(column == 2 ? limit : req->min, column == 2 ? req->max : limit);
        !order.empty())
        return {false, std::move(order)};
    CProfileDocument::ChangeScope change(document, "Change Limit");
    (column == 2 ? req->min : req->max) = limit;
    // A typed limit is part of the profile; closing without the question to save would lose it.
    document.SetModifiedFlag();
    return {true, {}};
}

bool Drop(CProfileDocument& document, int oldIndex, int dropIndex) {
    const int count = static_cast<int>(document.Log().Requirements().size());
    if (dropIndex < 0 || oldIndex < 0 || oldIndex >= count) return false;
    const int target = DropTarget(oldIndex, dropIndex);
    if (target == oldIndex) return false;
    document.MoveNutrient(oldIndex, target);
    return true;
}

int DropTarget(int oldIndex, int dropIndex) { return oldIndex < dropIndex ? dropIndex - 1 : dropIndex; }

void Reset(CProfileDocument& document) { document.SetDefaultRequirements(); }

void SelectAll(CProfileDocument& document) {
    const CDataSourceMgr* source = document.Log().DataSource();
    if (!source) return;
    CProfileDocument::ChangeScope change(document, "Follow All Nutrients");
    for (const CDS_Nutrition& nutrient : source->Nutrients())
        if (document.Log().FindRequirement(nutrient.Gid()) < 0) document.AddNutrient(nutrient.Gid());
}

void Clear(CProfileDocument& document) {
    // Through the document, one by one from the end, so the grid layouts lose the nutrients'
    // columns too and closing asks to save.
    CProfileDocument::ChangeScope change(document, "Stop Following All Nutrients");
    for (int i = static_cast<int>(document.Log().Requirements().size()) - 1; i >= 0; --i) document.RemoveNutrient(i);
}

}  // namespace NutrientRows
