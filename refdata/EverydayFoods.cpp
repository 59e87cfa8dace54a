#include "EverydayFoods.h"

#include "FoodIndex.h"

#include "core/AppDir.h"
#include "core/TextUtil.h"
#include "core/xml/Xml.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

namespace {

std::vector<std::string> WordsOf(std::string_view name) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < name.size()) {
        const std::size_t end = std::min(name.find(' ', i), name.size());
        if (end > i) words.push_back(ToUpperAscii(name.substr(i, end - i)));
        i = end + 1;
    }
    return words;
}

int IntAttribute(const Xml::XmlElement& el, const char* name, const std::string& where) {
    const Xml::XmlValue value = el.GetAttribute(name);
    if (value.IsAbsent()) throw std::runtime_error(where + " has no " + name);
    try {
        return value.AsInt();
    } catch (const Xml::XmlError&) {
        throw std::runtime_error(where + ": " + name + " \"" + value.AsString() + "\" is not a number");
    }
}

}  // namespace

std::shared_ptr<const CEverydayFoods> CEverydayFoods::LoadShared(const std::string& appDir, std::string& error) {
    error.clear();
    const std::string path = AppDir::SharedFile(appDir, kRelativePath);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return nullptr;
    auto list = std::make_shared<CEverydayFoods>();
    if (!list->Load(path, error)) return nullptr;
    return list;
}

bool CEverydayFoods::Load(const std::string& path, std::string& error) {
    foods_.clear();
    try {
        Xml::XmlDocument doc;
        if (!doc.Load(path)) throw std::runtime_error(doc.ParseError());
        const Xml::XmlElement root = doc.Root();
        if (!root || root.TagName() != "EverydayFoods")
            throw std::runtime_error(path + ": it is not a list of everyday foods");
        // Every food names the rule it was chosen by, so a food nobody can justify stands out.
        std::set<std::string> rules;
        for (const Xml::XmlElement& rule : root.ChildElements("Rule"))
            rules.insert(rule.GetAttribute("id", "").AsString());
        for (const Xml::XmlElement& table : root.ChildElements("Table")) {
            const int source = IntAttribute(table, "ID", path + ": a table");
            for (const Xml::XmlElement& food : table.ChildElements("Food")) {
                const int key = IntAttribute(food, "key", path + ": a food of table " + std::to_string(source));
                const std::string where = path + ": food " + std::to_string(source) + ":" + std::to_string(key);
                const std::string rule = food.GetAttribute("Rule", "").AsString();
                if (!rules.count(rule))
                    throw std::runtime_error(where + " follows no declared rule (\"" + rule + "\")");
                std::vector<std::string> typed;
                const std::string names = food.GetAttribute("Typed", "").AsString();
                for (std::size_t i = 0; i <= names.size();) {
                    const std::size_t end = std::min(names.find(';', i), names.size());
                    const std::string_view name = TextUtil::Trimmed(std::string_view(names).substr(i, end - i));
                    if (!name.empty()) typed.emplace_back(name);
                    i = end + 1;
                }
                if (typed.empty()) throw std::runtime_error(where + " has no plain name (Typed)");
                if (foods_.count(FoodKey(key, source))) throw std::runtime_error(where + " is listed twice");
                Add(FoodKey(key, source), typed);
            }
        }
    } catch (const std::exception& e) {
        foods_.clear();
        error = e.what();
        return false;
    }
    error.clear();
    return true;
}

void CEverydayFoods::Add(const FoodKey& key, const std::vector<std::string>& typed) {
    std::vector<std::vector<std::string>>& names = foods_[key];
    names.clear();
    for (const std::string& name : typed)
        if (std::vector<std::string> words = WordsOf(name); !words.empty()) names.push_back(std::move(words));
}

const std::vector<std::vector<std::string>>* CEverydayFoods::TypedWords(const FoodKey& key) const {
    const auto it = foods_.find(key);
    return it == foods_.end() ? nullptr : &it->second;
}
