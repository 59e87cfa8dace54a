#pragma once

#include <memory>
#include <string>
#include <vector>

class CDS_Ingredient;

// One node of the food group tree. A group owns its subgroups; its foods belong to the data source
// manager, which outlives the tree's use of them.
class CDS_FoodGroup {
public:
    CDS_FoodGroup() = default;
    CDS_FoodGroup(int groupCode, std::string groupName, CDS_FoodGroup* parentGroup)
        : code(groupCode), name(std::move(groupName)), parent(parentGroup) {}
    CDS_FoodGroup(const CDS_FoodGroup&) = delete;
    CDS_FoodGroup& operator=(const CDS_FoodGroup&) = delete;

    int code = 0;
    std::string name;
    // In document order; held by pointer so that `parent` links stay valid as the tree grows.
    std::vector<std::unique_ptr<CDS_FoodGroup>> subGroups;
    // In document order.
    std::vector<const CDS_Ingredient*> foods;
    CDS_FoodGroup* parent = nullptr;
};
