#include "IngredientTree.h"

#include "ui/frame/AppContext.h"

#include "core/settings/GeneralManager.h"
#include "document/ProfileDocument.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/FoodGroup.h"
#include "refdata/Ingredient.h"
#include "refdata/SmartHierarchy.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <array>

namespace {

enum ItemRole { kKindRole = Qt::UserRole, kPointerRole, kFilledRole, kStatusRole };
enum ItemKind { kGroup = 1, kCategory, kFood };

// A group is filled only when opened, so whether it can be opened is told by what it holds:
// an empty group must not offer an expander that leads nowhere.
QTreeWidgetItem::ChildIndicatorPolicy IndicatorOf(const CDS_FoodGroup& group) {
    return group.subGroups.empty() && group.foods.empty() ? QTreeWidgetItem::DontShowIndicator
                                                          : QTreeWidgetItem::ShowIndicator;
}

QTreeWidgetItem* MakeItem(const QString& text, ItemKind kind, const void* pointer) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kKindRole, int(kind));
    item->setData(0, kPointerRole, QVariant::fromValue(reinterpret_cast<quintptr>(pointer)));
    return item;
}

}  // namespace

CIngredientTree::CIngredientTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, &CIngredientTree::OnExpanded);
}

namespace {

QPixmap BlankPixmap() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A stack of discs: a whole collection of foods.
QIcon DrawDataSource() {
    QPixmap pixmap = BlankPixmap();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x30, 0x3c, 0x4c), 1));
    painter.setBrush(QColor(0x6f, 0x86, 0xa6));
    for (double y : {9.5, 6.0, 2.5}) painter.drawEllipse(QRectF(2.5, y, 11, 4.5));
    return QIcon(pixmap);
}

// A closed folder; categories get a pale, open-looking one so that the two never mix.
QIcon DrawFolder(const QColor& fill, const QColor& edge, bool open) {
    QPixmap pixmap = BlankPixmap();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(fill);
    QPolygonF tab({{1.5, 4.5}, {6.0, 4.5}, {7.5, 3.0}, {1.5, 3.0}});
    painter.drawPolygon(tab);
    painter.drawRect(QRectF(1.5, 4.5, 13, 9));
    if (open) {
        painter.setBrush(fill.lighter(115));
        painter.drawPolygon(QPolygonF({{1.5, 13.5}, {4.0, 7.5}, {15.0, 7.5}, {12.5, 13.5}}));
    }
    return QIcon(pixmap);
}

// Foods are round. Hollow: not on the day; blue with a bar: on the day without a meal, which is
// what needs attention; green with a tick: on the day with a meal.
QIcon DrawFood(CIngredientTree::IconKind kind) {
    QPixmap pixmap = BlankPixmap();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(2.5, 2.5, 11, 11);
    switch (kind) {
        case CIngredientTree::IconKind::FoodWithoutMeal:
            painter.setPen(QPen(QColor(0x1d, 0x4a, 0x9a), 1));
            painter.setBrush(QColor(0x2f, 0x6f, 0xd6));
            painter.drawEllipse(disc);
            painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
            break;
        case CIngredientTree::IconKind::FoodWithMeal:
            painter.setPen(QPen(QColor(0x1f, 0x6a, 0x27), 1));
            painter.setBrush(QColor(0x2e, 0x9d, 0x3a));
            painter.drawEllipse(disc);
            painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(QPolygonF({{5.0, 8.2}, {7.2, 10.4}, {11.0, 5.8}}));
            break;
        default:
            painter.setPen(QPen(Qt::darkGray, 1));
            painter.setBrush(Qt::white);
            painter.drawEllipse(disc);
            break;
    }
    return QIcon(pixmap);
}

}  // namespace

const QIcon& CIngredientTree::Icon(IconKind kind) {
    // Drawn once: a large group sets thousands of icons, and equal icons share their pixmap.
    static const std::array<QIcon, 6> icons = {
        DrawDataSource(),
        DrawFolder(QColor(0xf2, 0xc1, 0x4e), QColor(0x9a, 0x6f, 0x10), false),
        DrawFood(IconKind::Food),
        DrawFood(IconKind::FoodWithoutMeal),
        DrawFood(IconKind::FoodWithMeal),
        DrawFolder(QColor(0xe6, 0xe1, 0xd3), QColor(0x80, 0x78, 0x66), true),
    };
    return icons[static_cast<std::size_t>(kind)];
}

CIngredientTree::IconKind CIngredientTree::FoodIconKind(unsigned status) {
    // An entry without a meal decides, whatever else the day holds.
    if (status & kFoodWithoutMeal) return IconKind::FoodWithoutMeal;
    if (status & kFoodWithMeal) return IconKind::FoodWithMeal;
    return IconKind::Food;
}

void CIngredientTree::SetFoodIcon(QTreeWidgetItem* item, unsigned status) {
    const QVariant known = item->data(0, kStatusRole);
    if (known.isValid() && known.toUInt() == status) return;
    item->setData(0, kStatusRole, status);
    item->setIcon(0, Icon(FoodIconKind(status)));
}

void CIngredientTree::ShowProgramFoods(const Gui::CAppContext& app, std::vector<UserLog::CDayFood> entries) {
    Options options{2, 2, false};
    if (app.general) {
        options.depth = app.general->SmartHierarchyDepth();
        options.size = app.general->SmartHierarchySize();
        options.useFullTitle = app.general->UseFullTitle();
    }
    SetOptions(options);
    SetStatusList(std::move(entries));
    if (app.dataSource) ShowTables(*app.dataSource);
}

void CIngredientTree::ShowTables(const CDataSourceMgr& source) {
    // Whatever is open stays open when a table changes under the tree.
    std::vector<bool> open;
    for (int i = 0; i < topLevelItemCount(); ++i) open.push_back(topLevelItem(i)->isExpanded());
    clear();
    items_.clear();
    const std::vector<FoodTableInfo> tables = source.Tables();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        QTreeWidgetItem* item = AddTable(*tables[i].root);
        const bool expand = i < open.size() ? open[i] : i == 0;
        if (expand) {
            Populate(item);
            item->setExpanded(true);
        }
    }
}

QTreeWidgetItem* CIngredientTree::AddDataSource(const CDataSourceMgr& source) { return AddTable(source.RootGroup()); }

QTreeWidgetItem* CIngredientTree::AddTable(const CDS_FoodGroup& root) {
    auto* item = MakeItem(QString::fromStdString(root.name), kGroup, &root);
    item->setIcon(0, Icon(IconKind::DataSource));
    item->setChildIndicatorPolicy(IndicatorOf(root));
    addTopLevelItem(item);
    return item;
}

void CIngredientTree::OnExpanded(QTreeWidgetItem* item) { Populate(item); }

void CIngredientTree::Populate(QTreeWidgetItem* item) {
    if (!item || item->data(0, kKindRole).toInt() != kGroup || item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const CDS_FoodGroup* group = GroupOfItem(item);
    QList<QTreeWidgetItem*> children;
    for (const auto& sub : group->subGroups) {
        auto* child = MakeItem(QString::fromStdString(sub->name), kGroup, sub.get());
        child->setIcon(0, Icon(IconKind::Group));
        child->setChildIndicatorPolicy(IndicatorOf(*sub));
        children.append(child);
    }
    auto build = [&](auto&& self, const std::vector<SmartItem>& items) -> QList<QTreeWidgetItem*> {
        QList<QTreeWidgetItem*> made;
        for (const SmartItem& smart : items) {
            if (smart.kind == SmartItem::Kind::Category) {
                auto* category = MakeItem(QString::fromStdString(smart.text), kCategory, nullptr);
                category->setIcon(0, Icon(IconKind::Category));
                category->addChildren(self(self, smart.children));
                made.append(category);
            } else {
                const CDS_Ingredient* food = group->foods[std::size_t(smart.food)];
                auto* leaf = MakeItem(QString::fromStdString(smart.text), kFood, food);
                SetFoodIcon(leaf, FoodStatusOf(statusList_, food->GetFoodKey()));
                items_[food->GetFoodKey()] = leaf;
                made.append(leaf);
            }
        }
        return made;
    };
    children.append(build(build, BuildSmartHierarchy(*group, options_.depth, options_.size, options_.useFullTitle)));
    item->addChildren(children);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool CIngredientTree::UpdateFoodIcon(const FoodKey& key, unsigned status) {
    auto it = items_.find(key);
    if (it == items_.end()) return false;
    SetFoodIcon(it->second, status);
    return true;
}

void CIngredientTree::UpdateAllFoodIcons() {
    for (auto& [key, item] : items_) SetFoodIcon(item, FoodStatusOf(statusList_, key));
}

QTreeWidgetItem* CIngredientTree::ShowFood(const CDataSourceMgr& source, const FoodKey& key) {
    const CDS_FoodGroup* group = source.GroupOfFood(key);
    if (!group || !source.FindFood(key)) return nullptr;
    std::vector<const CDS_FoodGroup*> path;
    for (const CDS_FoodGroup* g = group; g; g = g->parent) path.insert(path.begin(), g);

    // Groups are matched by code, level by level, among the siblings of each level.
    std::vector<QTreeWidgetItem*> level;
    for (int i = 0; i < topLevelItemCount(); ++i) level.push_back(topLevelItem(i));
    for (const CDS_FoodGroup* wanted : path) {
        QTreeWidgetItem* found = nullptr;
        for (QTreeWidgetItem* item : level) {
            const CDS_FoodGroup* g = GroupOfItem(item);
            // Every table's root has code 0: the top level is matched by the table itself.
            if (g && (wanted->parent ? g->code == wanted->code : g == wanted)) {
                found = item;
                break;
            }
        }
        if (!found) break;
        Populate(found);
        found->setExpanded(true);
        level.clear();
        for (int i = 0; i < found->childCount(); ++i) level.push_back(found->child(i));
    }

    auto search = [&](auto&& self, QTreeWidgetItem* item) -> QTreeWidgetItem* {
        if (const CDS_Ingredient* food = FoodOfItem(item)) return food->GetFoodKey() == key ? item : nullptr;
        if (item->data(0, kKindRole).toInt() != kCategory) return nullptr;
        for (int i = 0; i < item->childCount(); ++i)
            if (QTreeWidgetItem* hit = self(self, item->child(i))) return hit;
        return nullptr;
    };
    QTreeWidgetItem* hit = nullptr;
    for (QTreeWidgetItem* item : level)
        if ((hit = search(search, item))) break;
    if (!hit) return nullptr;
    for (QTreeWidgetItem* up = hit->parent(); up; up = up->parent()) up->setExpanded(true);
    setCurrentItem(hit);
    scrollToItem(hit);
    return hit;
}

bool CIngredientTree::IsFoodItem(const QTreeWidgetItem* item) const {
    return item && item->data(0, kKindRole).toInt() == kFood;
}

const CDS_Ingredient* CIngredientTree::FoodOfItem(const QTreeWidgetItem* item) const {
    if (!IsFoodItem(item)) return nullptr;
    return reinterpret_cast<const CDS_Ingredient*>(item->data(0, kPointerRole).value<quintptr>());
}

const CDS_FoodGroup* CIngredientTree::GroupOfItem(const QTreeWidgetItem* item) const {
    if (!item || item->data(0, kKindRole).toInt() != kGroup) return nullptr;
    return reinterpret_cast<const CDS_FoodGroup*>(item->data(0, kPointerRole).value<quintptr>());
}

QTreeWidgetItem* CIngredientTree::ItemOfFood(const FoodKey& key) const {
    auto it = items_.find(key);
    return it == items_.end() ? nullptr : it->second;
}
