#include "SmartHierarchy.h"

#include "FoodGroup.h"
#include "Ingredient.h"

#include <list>
#include <string>
#include <unordered_map>

namespace {

struct Node {
    std::string name;
    int data = -1;  // -1 for a category, else the food's position
    std::size_t leaves = 1;
    std::list<Node> children;
    // Category children by name, only while building.
    std::unordered_map<std::string, Node*> categories;
};

// Levels of categories a name is split into at most; the rest of a longer name stays in its leaf.
// The tree is walked recursively, and no depth setting comes near this.
constexpr int kMaxLevels = 200;

void Insert(Node& root, std::string_view name, int position) {
    Node* node = &root;
    int level = 0;
    for (std::size_t comma = name.find(','); comma != std::string_view::npos && level < kMaxLevels;
         comma = name.find(','), ++level) {
        std::string part(name.substr(0, comma));
        auto found = node->categories.find(part);
        if (found == node->categories.end()) {
            node->children.push_back(Node{part, -1, 1, {}, {}});
            found = node->categories.emplace(std::move(part), &node->children.back()).first;
        }
        node = found->second;
        name.remove_prefix(comma + 1);
    }
    // Positions are unique, so a leaf never meets a child of the same name and data.
    node->children.push_back(Node{std::string(name), position, 1, {}, {}});
}

// Leaves below each node (a node without children is one leaf). Compacting only moves nodes
// within a subtree, so the counts stay true throughout.
std::size_t CountLeaves(Node& node) {
    node.categories.clear();
    if (node.children.empty()) return node.leaves = 1;
    std::size_t n = 0;
    for (Node& c : node.children) n += CountLeaves(c);
    return node.leaves = n;
}

void Compact(Node& node, int depth, int size) {
    auto it = node.children.begin();
    while (it != node.children.end()) {
        Node& child = *it;
        if (child.children.empty()) {
            ++it;
            continue;
        }
        if (child.children.size() == 1) {
            // A single child joins its parent's name; the same node is looked at again.
            Node& only = child.children.front();
            child.name += "," + only.name;
            child.data = only.data;
            std::list<Node> grandchildren;
            grandchildren.splice(grandchildren.begin(), only.children);
            child.children = std::move(grandchildren);
            continue;
        }
        if (static_cast<long long>(child.leaves) >= size && depth > 0) {
            Compact(child, depth - 1, size);
            ++it;
            continue;
        }
        // Dissolved: its children take its place, named after it, and are looked at on this level.
        for (Node& g : child.children) g.name = child.name + "," + g.name;
        const auto first = child.children.begin();
        node.children.splice(it, child.children);
        node.children.erase(it);
        it = first;
    }
}

std::vector<SmartItem> ToItems(const std::list<Node>& nodes, const std::vector<std::string_view>& names,
                               bool useFullTitle) {
    std::vector<SmartItem> items;
    items.reserve(nodes.size());
    for (const Node& n : nodes) {
        if (n.data == -1) {
            items.push_back(SmartItem{SmartItem::Kind::Category, n.name, -1, ToItems(n.children, names, useFullTitle)});
        } else {
            const bool full = useFullTitle || n.name.empty();
            items.push_back(SmartItem{SmartItem::Kind::Food,
                                      full ? std::string(names[static_cast<std::size_t>(n.data)]) : n.name,
                                      n.data,
                                      {}});
        }
    }
    return items;
}

}  // namespace

std::vector<SmartItem> BuildSmartHierarchy(const std::vector<std::string_view>& names, int depth, int size,
                                           bool useFullTitle) {
    std::vector<SmartItem> items;
    if (depth == 0) {
        items.reserve(names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            items.push_back(SmartItem{SmartItem::Kind::Food, std::string(names[i]), static_cast<int>(i), {}});
        return items;
    }
    Node root;
    for (std::size_t i = 0; i < names.size(); ++i) Insert(root, names[i], static_cast<int>(i));
    CountLeaves(root);
    Compact(root, depth, size);
    return ToItems(root.children, names, useFullTitle);
}

std::vector<SmartItem> BuildSmartHierarchy(const CDS_FoodGroup& group, int depth, int size, bool useFullTitle) {
    std::vector<std::string_view> names;
    names.reserve(group.foods.size());
    for (const CDS_Ingredient* food : group.foods) names.emplace_back(food->Name());
    return BuildSmartHierarchy(names, depth, size, useFullTitle);
}
