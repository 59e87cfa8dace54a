#pragma once

// Reads a data source file as a stream into a compact staged form, without a DOM of the whole
// file. Foods are read into their records on the way; everything else is kept as attribute text
// so that the manager applies the loading rules to it afterwards, in the manager's own order.
// Internal to refdata.

#include "Ingredient.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace DataSourceReader {

// The attributes of one element, as text, in document order.
class StagedAttrs {
public:
    void Add(std::string name, std::string value) { items_.emplace_back(std::move(name), std::move(value)); }
    std::optional<std::string_view> Get(const char* name) const {
        for (const auto& [n, v] : items_)
            if (n == name) return std::string_view(v);
        return std::nullopt;
    }
    bool Has(const char* name) const { return Get(name).has_value(); }
    const std::vector<std::pair<std::string, std::string>>& Items() const noexcept { return items_; }

private:
    std::vector<std::pair<std::string, std::string>> items_;
};

// A "Food" element: its record, or null when the element could not be read into one.
struct StagedFood {
    std::unique_ptr<CDS_Ingredient> food;
    std::string error;  // why there is no record
    // A "Recipe" child (the user's own table writes them) and its "Ingredient" children.
    std::optional<StagedAttrs> recipe;
    std::vector<StagedAttrs> ingredients;
};

struct StagedGroup {
    StagedAttrs attrs;
    std::vector<StagedFood> foods;
    std::vector<std::unique_ptr<StagedGroup>> subGroups;
};

struct StagedDocument {
    std::string rootName;
    StagedAttrs root;                                  // the document element's attributes, whatever its name
    std::vector<StagedAttrs> nutrients;                // /DataSource/Nutrients/Nutrient
    bool hasPortions = false;                          // the first /DataSource/foodPortions
    std::vector<StagedAttrs> portions;                 // its "portion" children
    std::vector<std::unique_ptr<StagedGroup>> groups;  // /DataSource/FoodGroups/FoodGroup
    // The document element or a food had a child element or a food an attribute that is not
    // staged here: a reader that must keep them reads the file another way.
    bool unstagedParts = false;
};

// False when the file cannot be read (missing, not a regular file, larger than the data source
// cap), is not well-formed XML, has an element with more attributes than any data source has, or
// carries a document type declaration; `why` then says what went wrong (without the path).
bool Read(const std::string& path, StagedDocument& doc, std::string& why);

}  // namespace DataSourceReader
