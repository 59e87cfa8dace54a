#pragma once

#include "Param.h"

#include <string>
#include <vector>

namespace Config {

// One section of config.xml: a parameter whose children are the section's parameters. Concrete
// sections add typed accessors, defaults, choice lists and editors.
class ConfigManager : public Param {
public:
    ConfigManager() : Param(std::string(), nullptr) {}

    void Save(const Xml::XmlElement& parent) const override;
    void Load(const Xml::XmlElement& element) override;
    // Appends the texts allowed for the choice parameter `name`.
    virtual void GetChoices(const std::string& name, std::vector<std::string>& choices) const;
    // Opens the editor of a parameter that cannot be edited in place; true when it changed the value.
    virtual bool Edit(const std::string& name);
    // Adds the parameters the section must always have; runs at the end of Load.
    virtual void EnsureDefaults();

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // Appends a boolean parameter when none of that name exists; an existing one is left as it is.
    void EnsureBool(const std::string& name, bool defaultValue, const std::string& description, bool writable);

private:
    bool modified_ = false;
};

}  // namespace Config
