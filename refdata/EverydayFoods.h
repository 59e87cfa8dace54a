#pragma once

#include "FoodKey.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The everyday foods of the food tables, each with the plain names people type for it ("milk" and
// "whole milk" for "Milk, whole, 3.25% milkfat"). Food tables carry no popularity, so the search
// ranks these ahead of the dried, powdered and specialty forms that fit a text as well.
//
// The file (foods/everyday-foods.xml) declares its rules, then lists foods by table:
//   <EverydayFoods>
//     <Rule id="fresh">the plain fresh or raw form of a fruit or vegetable</Rule>
//     <Table ID="1">
//       <Food key="9003" Rule="fresh" Name="Apples, raw, with skin" Typed="apple"/>
//   ...
// Name is the food's name in its table, for the reader of the file; Typed holds the plain names,
// separated by ";".
class CEverydayFoods {
public:
    // Where the program looks for the file, below the application folder (else where the program
    // came with its data).
    static constexpr const char* kRelativePath = "/foods/everyday-foods.xml";

    // The list the program ranks by: the application folder's file, else the one the program came
    // with (AppDir::SharedFile). Null when there is no such file, or when it can't be read: then
    // `error` says why.
    static std::shared_ptr<const CEverydayFoods> LoadShared(const std::string& appDir, std::string& error);

    // Reads the file in place of what the list held. On failure the list is empty and `error` has
    // the path and the reason.
    bool Load(const std::string& path, std::string& error);
    // Lists a food with its plain names, in place of any it had.
    void Add(const FoodKey& key, const std::vector<std::string>& typed);

    // The food's plain names, each as its upper-cased words; null when the food is not listed.
    const std::vector<std::vector<std::string>>* TypedWords(const FoodKey& key) const;
    std::size_t Size() const noexcept { return foods_.size(); }

private:
    std::map<FoodKey, std::vector<std::vector<std::string>>> foods_;
};
