#pragma once

#include "core/xml/XmlSerialize.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Config {

// Index into the type table; the file holds the names of TypeName().
enum ParamType : int {
    Unknown = 0,
    Integer = 1,
    String = 2,
    Boolean = 3,
    IFile = 4,
    OFile = 5,
    Content = 6,
    List = 7,
    Choice = 8,
    Info = 9,
};
constexpr int kParamTypeCount = 10;
const char* TypeName(int type);
// Exact, case-sensitive; any other text is Unknown.
int TypeFromName(const std::string& name);

// A typed configuration parameter: a name, a type, a text value, a description, whether the user
// may change it, and owned sub-parameters.
class Param : public IXMLSerialize {
public:
    // String type with a value; Unknown type when value is null.
    Param(const std::string& name, const char* value);
    Param(const std::string& name, ParamType type);
    ~Param() override;
    Param(const Param&) = delete;
    Param& operator=(const Param&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    int Type() const { return type_; }
    void SetType(int type) { type_ = type; }
    bool IsWritable() const { return writable_; }
    void SetWritable(bool writable) { writable_ = writable; }
    const std::string& Description() const { return description_; }
    void SetDescription(const std::string& text) { description_ = text; }
    // The value text, whatever the type.
    const std::string& Value() const { return value_; }
    void SetValue(const std::string& text) { value_ = text; }

    const std::vector<std::unique_ptr<Param>>& Children() const { return children_; }
    // The occurrence-th child (0 = first) whose name equals `name`; null when there is none.
    Param* FindChild(const std::string& name, int occurrence = 0) const;
    Param* AddChild(const std::string& name, const char* value);
    Param* AddChild(std::unique_ptr<Param> child);
    void ClearChildren();

    // Typed access; each raises std::logic_error "wrong setting type requested." on a mismatch.
    // GetBool takes true/yes/1 and false/no/0 in any case and raises std::logic_error "wrong
    // boolean setting format specified: " + value for anything else.
    int GetInt() const;
    const std::string& GetString() const;
    bool GetBool() const;
    void SetBool(bool flag);
    const std::string& GetIFile() const;
    void SetIFile(const std::string& path);
    const std::string& GetOFile() const;
    // The boolean GetBool reads, or nullopt where it would raise: a setting the user edited by
    // hand must not stop the program.
    std::optional<bool> ReadBool() const noexcept;

    void Save(const Xml::XmlElement& parent) const override;
    void Load(const Xml::XmlElement& element) override;

protected:
    void SaveContent(const Xml::XmlElement& element) const;

private:
    void RequireType(int type) const;

    std::string name_;
    int type_ = Unknown;
    bool writable_ = false;
    std::string description_;
    std::string value_;
    std::vector<std::unique_ptr<Param>> children_;
};

}  // namespace Config
