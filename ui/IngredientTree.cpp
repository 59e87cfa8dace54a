#include "IngredientTree.h"

#include "document/ProfileDocument.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/FoodGroup.h"
#include "refdata/Ingredient.h"
#include "refdata/SmartHierarchy.h"

#include <QPainter>
#include <QPixmap>

namespace {

enum ItemRole { kKindRole = Qt::UserRole, kPointerRole, kFilledRole };
enum ItemKind { kGroup = 1, kCategory, kFood };

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

QIcon CIngredientTree::StatusIcon(unsigned status, bool category) {
    // Colour says whether the food is in the day and how; shape says food or category.
    QColor fill = Qt::white;
    // An entry without a meal is what needs the user's attention, whatever else the day holds.
    if (status & kFoodWithoutMeal) fill = QColor(0x2f, 0x6f, 0xd6);
    else if (status & kFoodWithMeal) fill = QColor(0x2e, 0x9d, 0x3a);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(fill);
    if (category) painter.drawRect(QRectF(2.5, 2.5, 11, 11));
    else painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return QIcon(pixmap);
}

QTreeWidgetItem* CIngredientTree::AddDataSource(const CDataSourceMgr& source) {
    const CDS_FoodGroup& root = source.RootGroup();
    auto* item = MakeItem(QString::fromStdString(root.name), kGroup, &root);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
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
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        children.append(child);
    }
    const QIcon categoryIcon = StatusIcon(0, true), foodIcon = StatusIcon(0, false);
    auto build = [&](auto&& self, const std::vector<SmartItem>& items) -> QList<QTreeWidgetItem*> {
        QList<QTreeWidgetItem*> made;
        for (const SmartItem& smart : items) {
            if (smart.kind == SmartItem::Kind::Category) {
                auto* category = MakeItem(QString::fromStdString(smart.text), kCategory, nullptr);
                category->setIcon(0, categoryIcon);
                category->addChildren(self(self, smart.children));
                made.append(category);
            } else {
                const CDS_Ingredient* food = group->foods[std::size_t(smart.food)];
                auto* leaf = MakeItem(QString::fromStdString(smart.text), kFood, food);
                const unsigned status = FoodStatusOf(statusList_, food->GetFoodKey());
                leaf->setIcon(0, status ? StatusIcon(status, false) : foodIcon);
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
    it->second->setIcon(0, StatusIcon(status, false));
    return true;
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
