#include "SingleDayDocData.h"

#include "document/fileio/LegacyDiet.h"

#include "model/Meal.h"

#include <algorithm>

namespace {

constexpr const char* kTargetsFolded = "targetsFolded";
constexpr const char* kAllTargets = "allTargets";

}  // namespace

CSingleDayDocData::CSingleDayDocData(const Meal::CMealManager* mealList, const CDataSourceMgr* source)
    : meals_(mealList),
      log_(mealList, source),
      layouts_{InitialLayout(LayoutKind::Diet), InitialLayout(LayoutKind::Food)} {}

CGridDim CSingleDayDocData::InitialLayout(LayoutKind kind) {
    if (kind == LayoutKind::Diet) return CGridDim("Diet", {4, 4, -3, 0, 0, 0, -2, 0, 0, 0});
    return CGridDim("Food", {2, 1, 0, -3, -2});
}

void CSingleDayDocData::Save(const Xml::XmlElement& root) const { SaveParts(root, true); }

void CSingleDayDocData::SaveWithoutDays(const Xml::XmlElement& root) const { SaveParts(root, false); }

void CSingleDayDocData::SaveParts(const Xml::XmlElement& root, bool withDays) const {
    if (withDays)
        log_.Save(root);
    else
        log_.SaveWithoutDays(root);
    Xml::XmlElement view = root.AddElement("View");
    // Written only when set, so a profile that never folded them reads as before.
    if (targetsView_.folded) view.SetAttribute(kTargetsFolded, true);
    if (targetsView_.all) view.SetAttribute(kAllTargets, true);
    for (const CGridDim& layout : layouts_) layout.Save(view);
    unknown_.view.Restore(view);
    if (meals_) meals_->Save(root);
    unknown_.root.Restore(root);
}

bool CSingleDayDocData::Load(const Xml::XmlElement& documentElement) { return Load(documentElement, nullptr); }

Xml::StreamedElements CSingleDayDocData::ReadAheadDays(NS_Data::CUserLog::DaysReadAhead& readAhead) {
    return {{"Profile", "Log", "LogDay"}, [&readAhead](const Xml::XmlElement& day) {
                const Xml::XmlElement log = day.Parent();
                const Xml::XmlElement profile = log.Parent();
                const Xml::XmlElement root = profile.Parent();
                // Anywhere else the day stays in the tree, for whichever reader looks there.
                if (root.TagName() != "root" || root.GetAttribute("app", "").AsString() != "velmora" ||
                    root.ChildElement("Profile").Raw() != profile.Raw())
                    return false;
                readAhead.Take(log, day);
                return true;
            }};
}

bool CSingleDayDocData::Load(const Xml::XmlElement& documentElement, NS_Data::CUserLog::DaysReadAhead* readAhead) {
    const std::string tag = documentElement.TagName();
    if (tag == "Diet") return ReadLegacyDiet(log_, documentElement);
    if (tag != "root" || documentElement.GetAttribute("app", "").AsString() != "velmora") return false;

    unknown_ = {};
    targetsView_ = {};
    unknown_.root.Capture(documentElement, {"app", "type", "version"}, {"Profile", "View", "Meals"});
    Xml::XmlElement profile = documentElement.ChildElement("Profile");
    if (!profile) throw Xml::XmlError(Xml::XmlError::NotElement, "The document has no \"Profile\" element");
    log_.Load(profile, readAhead);
    if (Xml::XmlElement view = documentElement.ChildElement("View")) {
        for (CGridDim& layout : layouts_) layout.Load(view);
        targetsView_.folded = view.GetAttribute(kTargetsFolded, false).AsBool();
        targetsView_.all = view.GetAttribute(kAllTargets, false).AsBool();
        unknown_.view.Capture(view, {kTargetsFolded, kAllTargets}, [this](const Xml::XmlElement& child) {
            if (child.TagName() != "Grid") return false;
            const std::string name = child.GetAttribute("name", "").AsString();
            return std::any_of(layouts_.begin(), layouts_.end(),
                               [&name](const CGridDim& layout) { return layout.gridName == name; });
        });
    }
    return true;
}
