#pragma once

#include "document/viewmodel/GridDim.h"

#include "model/UserLog.h"

#include <array>

class CDataSourceMgr;
namespace Meal {
class CMealManager;
}

// The data of one profile document: the user log and the saved layouts of the profile's two
// grids. Not an IXMLSerialize: reading answers whether the file was a profile at all, which the
// interface's Load cannot say.
class CSingleDayDocData {
public:
    static constexpr int kDietLayout = 0;
    static constexpr int kFoodLayout = 1;

    CSingleDayDocData(const Meal::CMealManager* mealList, const CDataSourceMgr* source);
    virtual ~CSingleDayDocData() = default;
    CSingleDayDocData(const CSingleDayDocData&) = delete;
    CSingleDayDocData& operator=(const CSingleDayDocData&) = delete;

    // Under the root: "Profile", "View" with the two layouts, then the application's "Meals".
    void Save(const Xml::XmlElement& root) const;
    // Reads a document element: a "root" whose "app" is "velmora", or an older "Diet" document.
    // False for any other element. Missing required data raises the XML layer's error.
    bool Load(const Xml::XmlElement& documentElement);

    // What a newer version wrote into the document element and "View" that this one does not
    // read; written back unchanged.
    struct UnknownOfDocument {
        Xml::UnknownParts root, view;
    };

    // What Save writes but the days, which the profile writer streams in after the rest of "Log".
    void SaveWithoutDays(const Xml::XmlElement& root) const;

    // The layouts as a new document has them.
    static CGridDim InitialLayout(int index);

    const Meal::CMealManager* meals = nullptr;
    NS_Data::CUserLog log;
    std::array<CGridDim, 2> gridLayouts;
    UnknownOfDocument unknown;

private:
    void SaveParts(const Xml::XmlElement& root, bool withDays) const;
};
