#include "DataSourceMgr.h"

#include "DataSourceReader.h"
#include "RecordReaders.h"

namespace {

// A "Food" element that could not be read into a record.
struct UnreadableFood : std::runtime_error {
    UnreadableFood() : std::runtime_error("A food of the data source can't be read") {}
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

        std::string name(Required(doc.root, "Name"));
        const int id = IntOr(doc.root, "ID", 0);
        const int version = IntOr(doc.root, "version", 1);
        mgr.root_.code = 0;
        mgr.root_.name = std::move(name);
        mgr.sourceId_ = id;
        mgr.version_ = version;

        mgr.nutrients_.resize(doc.nutrients.size());
        for (std::size_t i = 0; i < doc.nutrients.size(); ++i) ReadNutrition(mgr.nutrients_[i], doc.nutrients[i]);
        Emit({LoadProgress::Event::Step, 2, 0, 0});

        mgr.portionTitles_.clear();
        for (const auto& p : doc.portions) {
            const int portionId = AttrValue::ToInt(Required(p, "id"));
            mgr.portionTitles_[portionId] = std::string(Required(p, "title"));
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
        std::string name(Required(staged.attrs, "id"));
        const int code = AttrValue::ToInt(Required(staged.attrs, "code"));
        parent.subGroups.push_back(std::make_unique<CDS_FoodGroup>(code, std::move(name), &parent));
        CDS_FoodGroup& group = *parent.subGroups.back();

        group.foods.reserve(staged.foods.size());
        for (auto& f : staged.foods) {
            if (!f.food) throw UnreadableFood();
            CDS_Ingredient& food = *f.food;
            if (!mgr.portionTitles_.empty()) TranslateUnits(food);
            food.source = mgr.sourceId_;
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
        units.reserve(food.units.size());
        units.push_back(FoodUnit{"g", 1.0});
        for (std::size_t i = 1; i < food.units.size(); ++i) {
            const FoodUnit& u = food.units[i];
            if (u.grams == 0.0) continue;
            units.push_back(FoodUnit{mgr.portionTitles_[AttrValue::AtoiLike(u.name)], u.grams});
        }
        food.units = std::move(units);
    }
};

CDataSourceMgr::CDataSourceMgr() = default;
CDataSourceMgr::~CDataSourceMgr() = default;

bool CDataSourceMgr::Load(const std::string& path, const LoadProgressFn& progress, std::string& error) {
    detail_.clear();
    DataSourceReader::StagedDocument doc;
    std::string why;
    if (!DataSourceReader::Read(path, doc, why)) {
        detail_ = why;
        error = kDocumentError;
        return false;
    }
    Replay replay{*this, progress, {}};
    bool ok = true;
    try {
        replay.Run(doc);
    } catch (...) {
        ok = false;
    }
    index_.Merge(std::move(replay.added));
    if (!ok) error = kReadError;
    return ok;
}

void CDataSourceMgr::Clear() {
    std::vector<CDS_FoodGroup*> stack{&root_};
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
