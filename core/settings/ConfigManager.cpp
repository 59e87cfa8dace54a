#include "ConfigManager.h"

#include <memory>

namespace Config {

void ConfigManager::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement section = parent.AddElement("section");
    section.SetAttribute("name", Name());
    for (const auto& param : Children()) param->Save(section);
}

void ConfigManager::Load(const Xml::XmlElement& element) {
    SetName(element.GetAttribute("name").AsString());
    for (const Xml::XmlElement& child : element.ChildElements("param")) {
        auto param = std::make_unique<Param>(std::string(), Unknown);
        param->Load(child);
        AddChild(std::move(param));
    }
    EnsureDefaults();
}

void ConfigManager::GetChoices(const std::string&, std::vector<std::string>&) const {}

bool ConfigManager::Edit(const std::string&) { return false; }

void ConfigManager::EnsureDefaults() {}

void ConfigManager::EnsureBool(const std::string& name, bool defaultValue, const std::string& description,
                               bool writable) {
    if (FindChild(name)) return;
    auto param = std::make_unique<Param>(name, Boolean);
    param->SetValue(defaultValue ? "true" : "false");
    param->SetDescription(description);
    param->SetWritable(writable);
    AddChild(std::move(param));
}

}  // namespace Config
