#pragma once

#include "TypedNumber.h"

#include <string>
#include <vector>

class CDC_DietaryIntakesMgr;
class CProfileDocument;
namespace NS_Data {
class CUserLog;
}

// The "Nutrients" tab as data and its changes to the followed set: one row per nutrient of the
// data source (row i is nutrient i), and the display order of the followed nutrients.
namespace NutrientRows {

struct Row {
    std::string name;
    std::string units;
    int gid = -1;
    bool followed = false;
    // The effective limits of a followed nutrient, empty when unset or not followed; without limits
    // of the user's own, its default target, if any.
    std::string min;
    std::string max;
    // Min and Max are the default target, not limits the user typed; the tips say where from.
    bool defaultLimits = false;
    std::string minTip;
    std::string maxTip;
    // The reference values for the person on the current day, empty when the table has none.
    std::string rda;
    std::string ai;
    std::string ul;
    // Why the UL is no plain upper target: it covers supplements only, or it is sodium's Chronic
    // Disease Risk Reduction intake. The UL text then carries a mark.
    std::string ulTip;
};

// Every nutrient of the log's data source; reference values when `intakes` is given, default
// targets as the log's target options give them.
std::vector<Row> Rows(const NS_Data::CUserLog& log, const CDC_DietaryIntakesMgr* intakes);

// The names of the followed nutrients in their order: the standard nutrient table's, else the
// data source's.
std::vector<std::string> OrderNames(const NS_Data::CUserLog& log);

// Follows nutrient `row` (appended, without limits) or stops following it, on the profile and,
// for the day's own limits of it, on the current day. False when nothing changed.
bool SetFollowed(CProfileDocument& document, int row, bool followed);

// Column 2 (Min) or 3 (Max) of a followed nutrient: the limit shown takes the typed number (the
// current day's own limit when it has one, else the profile's); an empty text removes the limit.
// Nothing is stored for any other cell or a nutrient the profile does not follow, nor for a text
// that is no limit (the outcome says why).
CellStore StoreLimit(CProfileDocument& document, int row, int column, const std::string& text);

// The item at `oldIndex` of the order list was dropped at `dropIndex` (before the item there; the
// list's size for the end; -1 outside the list). False when the order did not change.
bool Drop(CProfileDocument& document, int oldIndex, int dropIndex);
// Where the item at `oldIndex` lands when dropped at `dropIndex` (0 and up): the items after it
// close up first.
int DropTarget(int oldIndex, int dropIndex);

// Follows every nutrient of the data source, in its order, without limits.
void Reset(CProfileDocument& document);
// Follows the nutrients not yet followed, appended in data source order.
void SelectAll(CProfileDocument& document);
// Follows nothing.
void Clear(CProfileDocument& document);

}  // namespace NutrientRows
