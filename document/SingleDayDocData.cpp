#include "SingleDayDocData.h"

#include "document/fileio/LegacyDiet.h"

#include "model/Meal.h"

#include <algorithm>

CSingleDayDocData::CSingleDayDocData(const Meal::CMealManager* mealList, const CDataSourceMgr* source)
    : meals(mealList), log(mealList, source), gridLayouts{InitialLayout(kDietLayout), InitialLayout(kFoodLayout)} {}

CGridDim CSingleDayDocData::InitialLayout(int index) {
    if (index == kDietLayout) return CGridDim("Diet", {4, 4, -3, 0, 0, 0, -2, 0, 0, 0});
    return CGridDim("Food", {2, 1, 0, -3, -2});
}

void CSingleDayDocData::Save(const Xml::XmlElement& root) const { SaveParts(root, true); }

void CSingleDayDocData::SaveWithoutDays(const Xml::XmlElement& root) const { SaveParts(root, false); }

void CSingleDayDocData::SaveParts(const Xml::XmlElement& root, bool withDays) const {
    if (withDays)
        log.Save(root);
    else
        log.SaveWithoutDays(root);
    Xml::XmlElement view = root.AddElement("View");
    for (const CGridDim& layout : gridLayouts) layout.Save(view);
    unknown.view.Restore(view);
    if (meals) meals->Save(root);
    unknown.root.Restore(root);
}

bool CSingleDayDocData::Load(const Xml::XmlElement& documentElement) {
    const std::string tag = documentElement.TagName();
    if (tag == "Diet") return ReadLegacyDiet(log, documentElement);
    if (tag != "root" || documentElement.GetAttribute("app", "").AsString() != "velmora") return false;

    unknown = {};
    unknown.root.Capture(documentElement, {"app", "type", "version"}, {"Profile", "View", "Meals"});
    Xml::XmlElement profile = documentElement.ChildElement("Profile");
    if (!profile) throw Xml::XmlError(Xml::XmlError::NotElement, "The document has no \"Profile\" element");
    log.Load(profile);
    if (Xml::XmlElement view = documentElement.ChildElement("View")) {
        for (CGridDim& layout : gridLayouts) layout.Load(view);
        unknown.view.Capture(view, {}, [this](const Xml::XmlElement& child) {
            if (child.TagName() != "Grid") return false;
            const std::string name = child.GetAttribute("name", "").AsString();
            return std::any_of(gridLayouts.begin(), gridLayouts.end(),
                               [&name](const CGridDim& layout) { return layout.gridName == name; });
        });
    }
    return true;
}
