#pragma once

#include "FoodGroup.h"
#include "FoodIndex.h"
#include "FoodKey.h"
#include "Ingredient.h"
#include "Nutrition.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// What Load reports while it works, for the start-up splash.
struct LoadProgress {
    enum class Event {
        Step,   // a loading step is done: step 1 the document, 2 the nutrients, 3 the portion titles
        Group,  // top-level group `groupIndex` (0-based) of `groupCount` is read
    };
    Event event = Event::Step;
    int step = 0;
    int groupCount = 0;
    int groupIndex = 0;

    // Where the splash's progress bar (0-50) stands: the step number, or for groups
    // (index + 3) × 50 / (count + 2), so that the last group reaches 50.
    int BarPosition() const { return event == Event::Step ? step : (groupIndex + 3) * 50 / (groupCount + 2); }
};
using LoadProgressFn = std::function<void(const LoadProgress&)>;

// One food table as the food tree shows it: its root group (named by the file's "Name"), its ID and
// the file it came from.
struct FoodTableInfo {
    const CDS_FoodGroup* root = nullptr;
    int sourceId = 0;
    std::string path;
    bool writable = false;  // the user's own table, which changes while the program runs
};

// The groups of a writable table, in order: each group's name and its foods.
using FoodTableGroups = std::vector<std::pair<std::string, std::vector<CDS_Ingredient>>>;

// The food data source: the group tree, the foods, the nutrient list and the portion titles of
// one read-only XML file, loaded once at start-up and read by the rest of the program, and beside
// it any further tables (each under its own ID, so food keys never collide) and the user's own
// writable table. Between loads nothing changes, so any thread may read it meanwhile; SetTable is
// the one change while the program runs, and its caller stops the readers first.
class CDataSourceMgr {
public:
    // Every load error starts with this, the path and a line feed; the reason follows.
    static constexpr const char* kCantLoad = "Can't load data source file: ";

    CDataSourceMgr();
    ~CDataSourceMgr();
    CDataSourceMgr(const CDataSourceMgr&) = delete;
    CDataSourceMgr& operator=(const CDataSourceMgr&) = delete;

    // Reads the file. On failure `error` receives kCantLoad, the path, a line feed and the reason
    // (the file is missing, not a regular file, too large or not well-formed XML with its line:
    // nothing is loaded; or a value is missing or not a number: what was read before it stays
    // loaded and usable), and the result is false. `progress` may be empty.
    bool Load(const std::string& path, const LoadProgressFn& progress, std::string& error);
    // The reason of the last failure (as in `error`, without the first line); empty after success.
    const std::string& DocumentErrorDetail() const noexcept { return detail_; }

    // Loads one more table beside those loaded. Its foods keep the file's ID; its nutrients that
    // the loaded tables lack are appended to Nutrients(). All or nothing: a file that fails to
    // load, that has no ID or a negative one, or whose ID a loaded table or the user's own table
    // (MyFoods::kSourceId) has, adds nothing, and `error` says why.
    bool AddTable(const std::string& path, std::string& error);
    // Puts `groups` in as the writable table `sourceId` named `name`, replacing what it held (it is
    // made when absent). The foods take the table's ID. Records and groups handed out before stay
    // valid until Clear, but the food index changes: no search may run meanwhile. False when a
    // table read from a file has that ID.
    bool SetTable(int sourceId, const std::string& name, const std::string& path, FoodTableGroups groups);
    // Every table: the first loaded (when there is one), then the others in loading order.
    std::vector<FoodTableInfo> Tables() const;
    // Whether a table of that ID is loaded.
    bool HasTable(int sourceId) const;

    // Deletes every food and empties the food index and the portion titles; groups stay, without
    // foods.
    void Clear();

    // Null when the data source has no such food.
    const CDS_Ingredient* FindFood(const FoodKey& key) const;
    // The group the food was read in (the later one for a key read twice); null when unknown.
    const CDS_FoodGroup* GroupOfFood(const FoodKey& key) const;
    const CDS_FoodGroup& RootGroup() const noexcept { return root_; }
    const std::vector<CDS_Nutrition>& Nutrients() const noexcept { return nutrients_; }
    // std::out_of_range when the index is not below the number of nutrients.
    const CDS_Nutrition& NutrientAt(std::size_t index) const { return nutrients_.at(index); }
    // Every food in FoodKey order, with the upper-cased names the food search reads.
    const CFoodIndex& Foods() const noexcept { return index_; }
    // Portion id -> title.
    const std::map<int, std::string>& PortionTitles() const noexcept { return portionTitles_; }
    // The file's "ID" (of the first table), -1 before any load.
    int SourceId() const noexcept { return sourceId_; }
    int Version() const noexcept { return version_; }

private:
    struct Replay;

    int version_ = 1;
    std::vector<CDS_Nutrition> nutrients_;
    // Every food read, in reading order. A key read twice keeps both records alive: the index
    // points at the later one, while each stays listed in its own group.
    std::vector<std::unique_ptr<CDS_Ingredient>> owned_;
    CFoodIndex index_;
    CDS_FoodGroup root_;
    std::map<int, std::string> portionTitles_;
    int sourceId_ = -1;
    bool idGiven_ = false;  // the file named its ID, rather than being read as table 0
    std::string path_;
    std::string detail_;

    struct Table {
        std::string path;
        int sourceId = 0;
        std::unique_ptr<CDS_FoodGroup> root;
        bool writable = false;
    };
    // The tables after the first, in loading order.
    std::vector<Table> more_;
    // Roots a writable table held before its last change, kept so that groups handed out stay valid.
    std::vector<std::unique_ptr<CDS_FoodGroup>> retired_;
};
