#include "DataSourceMgr.h"

#include "DataSourceReader.h"
#include "RecordReaders.h"

#include <algorithm>

namespace {

// A "Food" element that could not be read into a record.
struct UnreadableFood : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace

// Applies the loading rules to a staged document, in this order: the document element, the
// nutrients, the portion titles, then the groups, each group's foods before its subgroups. A
// failure stops the replay where it happens; what was applied before it stays.
struct CDataSourceMgr::Replay {
    CDataSourceMgr& mgr;
    const LoadProgressFn& progress;
    std::vector<FoodIndexEntry> added;

    void Emit(LoadProgress p) const {
        if (progress) progress(p);
    }

    void Run(DataSourceReader::StagedDocument& doc) {
        using namespace RecordReaders;
        Emit({LoadProgress::Event::Step, 1, 0, 0});

        std::string name;
        int id = 0;
        int version = 1;
        try {
            name = std::string(Required(doc.root, "Name"));
            id = IntOr(doc.root, "ID", 0);
            version = IntOr(doc.root, "version", 1);
        } catch (const std::exception& e) {
            throw std::runtime_error("root element <" + doc.rootName + ">: " + e.what());
        }
        mgr.root_.code = 0;
        mgr.root_.name = std::move(name);
        mgr.sourceId_ = id;
        mgr.idGiven_ = doc.root.Has("ID");
        mgr.version_ = version;

        mgr.nutrients_.resize(doc.nutrients.size());
        for (std::size_t i = 0; i < doc.nutrients.size(); ++i) {
            try {
                mgr.nutrients_[i].ReadAttributes(doc.nutrients[i]);
            } catch (const std::exception& e) {
                throw std::runtime_error("nutrient " + std::to_string(i + 1) + ": " + e.what());
            }
        }
        Emit({LoadProgress::Event::Step, 2, 0, 0});

        mgr.portionTitles_.clear();
        for (const auto& p : doc.portions) {
            try {
                const int portionId = AttrValue::ToInt(Required(p, "id"));
                mgr.portionTitles_[portionId] = std::string(Required(p, "title"));
            } catch (const std::exception& e) {
                throw std::runtime_error(std::string("portion: ") + e.what());
            }
        }
        Emit({LoadProgress::Event::Step, 3, 0, 0});

        const int n = static_cast<int>(doc.groups.size());
        for (int i = 0; i < n; ++i) {
            ReadGroup(*doc.groups[static_cast<std::size_t>(i)], mgr.root_);
            Emit({LoadProgress::Event::Group, 0, n, i});
        }
    }

    void ReadGroup(DataSourceReader::StagedGroup& staged, CDS_FoodGroup& parent) {
        using namespace RecordReaders;
        std::string name;
        int code = 0;
        try {
            name = std::string(Required(staged.attrs, "id"));
            code = AttrValue::ToInt(Required(staged.attrs, "code"));
        } catch (const std::exception& e) {
            throw std::runtime_error("food group \"" + name + "\": " + e.what());
        }
        parent.subGroups.push_back(std::make_unique<CDS_FoodGroup>(code, std::move(name), &parent));
        CDS_FoodGroup& group = *parent.subGroups.back();

        group.foods.reserve(staged.foods.size());
        for (auto& f : staged.foods) {
            if (!f.food)
                throw UnreadableFood("food " + std::to_string(group.foods.size() + 1) + " of group \"" + group.name +
                                     "\": " + f.error);
            CDS_Ingredient& food = *f.food;
            if (!mgr.portionTitles_.empty()) TranslateUnits(food);
            food.SetFoodKey(FoodKey(food.GetFoodKey().key, mgr.sourceId_));
            added.push_back(FoodIndexEntry{food.GetFoodKey(), &food, &group});
            group.foods.push_back(&food);
            mgr.owned_.push_back(std::move(f.food));
        }
        for (auto& sub : staged.subGroups) ReadGroup(*sub, group);
    }

    // Units after the first name portions by their id; they become (title, weight), led by the
    // gram. A unit of weight 0 is dropped; an id without a title gets an empty one, which is then
    // remembered in the table.
    void TranslateUnits(CDS_Ingredient& food) {
        std::vector<FoodUnit> units;
        units.reserve(food.Units().size());
        units.push_back(FoodUnit{"g", 1.0});
        for (std::size_t i = 1; i < food.Units().size(); ++i) {
            const FoodUnit& u = food.Units()[i];
            if (u.grams == 0.0) continue;
            units.push_back(FoodUnit{mgr.portionTitles_[AttrValue::AtoiLike(u.name)], u.grams});
        }
        food.SetUnits(std::move(units));
    }
};

CDataSourceMgr::CDataSourceMgr() = default;
CDataSourceMgr::~CDataSourceMgr() = default;

bool CDataSourceMgr::Load(const std::string& path, const LoadProgressFn& progress, std::string& error) {
    detail_.clear();
    path_ = path;
    DataSourceReader::StagedDocument doc;
    if (!DataSourceReader::Read(path, doc, detail_)) {
        error = kCantLoad + path + "\n" + detail_;
        return false;
    }
    Replay replay{*this, progress, {}};
    try {
        replay.Run(doc);
    } catch (const std::exception& e) {
        detail_ = e.what();
    } catch (...) {
        detail_ = "unknown error";
    }
    index_.Merge(std::move(replay.added));
    if (detail_.empty()) return true;
    error = kCantLoad + path + "\n" + detail_;
    return false;
}

bool CDataSourceMgr::HasTable(int sourceId) const {
    if (sourceId_ != -1 && sourceId_ == sourceId) return true;
    return std::any_of(more_.begin(), more_.end(), [sourceId](const Table& t) { return t.sourceId == sourceId; });
}

std::vector<FoodTableInfo> CDataSourceMgr::Tables() const {
    std::vector<FoodTableInfo> tables;
    if (sourceId_ != -1) tables.push_back(FoodTableInfo{&root_, sourceId_, path_, false});
    for (const Table& t : more_) tables.push_back(FoodTableInfo{t.root.get(), t.sourceId, t.path, t.writable});
    return tables;
}

bool CDataSourceMgr::AddTable(const std::string& path, std::string& error) {
    CDataSourceMgr other;
    if (!other.Load(path, {}, error)) return false;
    // A table without an ID would be read as table 0, and one with the user's own table's ID
    // would hide those foods: what is added under it could never be found again.
    const std::string place = " in its \"DataSource\" element.";
    std::string refusal;
    if (!other.idGiven_)
        refusal = "It has no ID; give it one" + place;
    else if (other.sourceId_ < 0)
        refusal = "Its ID " + std::to_string(other.sourceId_) + " is negative; give it one of 0 or more" + place;
    else if (HasTable(other.sourceId_) || other.sourceId_ == MyFoods::kSourceId)
        refusal = "Its ID " + std::to_string(other.sourceId_) +
                  " is the ID of a table already loaded; give it another ID" + place;
    if (!refusal.empty()) {
        error = kCantLoad + path + "\n" + refusal;
        return false;
    }
    auto root = std::make_unique<CDS_FoodGroup>(0, other.root_.name, nullptr);
    root->subGroups = std::move(other.root_.subGroups);
    for (auto& sub : root->subGroups) sub->parent = root.get();

    std::vector<FoodIndexEntry> added(other.index_.begin(), other.index_.end());
    index_.Merge(std::move(added));
    for (auto& food : other.owned_) owned_.push_back(std::move(food));
    other.index_.Clear();
    for (const CDS_Nutrition& n : other.nutrients_) {
        const bool known = std::any_of(nutrients_.begin(), nutrients_.end(),
                                       [&n](const CDS_Nutrition& mine) { return mine.gid == n.gid; });
        if (!known) nutrients_.push_back(n);
    }
    more_.push_back(Table{path, other.sourceId_, std::move(root), false});
    return true;
}

bool CDataSourceMgr::SetTable(int sourceId, const std::string& name, const std::string& path, FoodTableGroups groups) {
    auto table =
        std::find_if(more_.begin(), more_.end(), [sourceId](const Table& t) { return t.sourceId == sourceId; });
    if (table == more_.end()) {
        if (HasTable(sourceId)) return false;
        more_.push_back(Table{path, sourceId, nullptr, true});
        table = std::prev(more_.end());
    } else if (!table->writable) {
        return false;
    }
    if (table->root) retired_.push_back(std::move(table->root));
    table->root = std::make_unique<CDS_FoodGroup>(0, name, nullptr);
    table->path = path;

    std::vector<FoodIndexEntry> added;
    int code = 0;
    for (auto& [groupName, foods] : groups) {
        table->root->subGroups.push_back(std::make_unique<CDS_FoodGroup>(++code, groupName, table->root.get()));
        CDS_FoodGroup& group = *table->root->subGroups.back();
        for (CDS_Ingredient& food : foods) {
            owned_.push_back(std::make_unique<CDS_Ingredient>(std::move(food)));
            CDS_Ingredient& mine = *owned_.back();
            mine.SetFoodKey(FoodKey(mine.GetFoodKey().key, sourceId));
            group.foods.push_back(&mine);
            added.push_back(FoodIndexEntry{mine.GetFoodKey(), &mine, &group});
        }
    }
    index_.ReplaceSource(sourceId, std::move(added));
    return true;
}

void CDataSourceMgr::Clear() {
    std::vector<CDS_FoodGroup*> stack{&root_};
    for (Table& t : more_)
        if (t.root) stack.push_back(t.root.get());
    for (auto& r : retired_) stack.push_back(r.get());
    while (!stack.empty()) {
        CDS_FoodGroup* g = stack.back();
        stack.pop_back();
        g->foods.clear();
        for (auto& sub : g->subGroups) stack.push_back(sub.get());
    }
    index_.Clear();
    owned_.clear();
    portionTitles_.clear();
}

const CDS_Ingredient* CDataSourceMgr::FindFood(const FoodKey& key) const {
    const FoodIndexEntry* e = index_.Find(key);
    return e ? e->food : nullptr;
}

const CDS_FoodGroup* CDataSourceMgr::GroupOfFood(const FoodKey& key) const {
    const FoodIndexEntry* e = index_.Find(key);
    return e ? e->group : nullptr;
}
