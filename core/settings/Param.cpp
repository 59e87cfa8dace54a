#include "Param.h"

#include <cctype>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace Config {

namespace {

const char* const kTypeNames[kParamTypeCount] = {"unknown", "integer", "string", "boolean", "ifile",
                                                 "ofile",   "content", "list",   "choice",  "info"};

}  // namespace

const char* TypeName(int type) { return type >= 0 && type < kParamTypeCount ? kTypeNames[type] : kTypeNames[0]; }

int TypeFromName(const std::string& name) {
    for (int i = 0; i < kParamTypeCount; ++i)
        if (name == kTypeNames[i]) return i;
    return Unknown;
}

Param::Param(const std::string& name, const char* value)
    : name_(name), type_(value ? String : Unknown), value_(value ? value : "") {}

Param::Param(const std::string& name, ParamType type) : name_(name), type_(type) {}

Param::~Param() = default;

Param* Param::FindChild(const std::string& name, int occurrence) const {
    for (const auto& child : children_)
        if (child->name_ == name && occurrence-- == 0) return child.get();
    return nullptr;
}

Param* Param::AddChild(const std::string& name, const char* value) {
    return AddChild(std::make_unique<Param>(name, value));
}

Param* Param::AddChild(std::unique_ptr<Param> child) {
    children_.push_back(std::move(child));
    return children_.back().get();
}

void Param::ClearChildren() { children_.clear(); }

void Param::RequireType(int type) const {
    if (type_ != type) throw std::logic_error("wrong setting type requested.");
}

int Param::GetInt() const {
    RequireType(Integer);
    // Leading digits as the C library reads them; 0 when there are none.
    long n = std::strtol(value_.c_str(), nullptr, 10);
    if (n > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (n < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(n);
}

const std::string& Param::GetString() const {
    RequireType(String);
    return value_;
}

namespace {

// The forms people write a flag in by hand; anything else has no plain meaning.
std::optional<bool> BoolFromText(const std::string& text) {
    std::string lower;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isspace(u)) lower += static_cast<char>(std::tolower(u));
    }
    for (const char* yes : {"true", "yes", "1"})
        if (lower == yes) return true;
    for (const char* no : {"false", "no", "0"})
        if (lower == no) return false;
    return std::nullopt;
}

}  // namespace

bool Param::GetBool() const {
    RequireType(Boolean);
    if (const auto flag = BoolFromText(value_)) return *flag;
    throw std::logic_error("wrong boolean setting format specified: " + value_);
}

std::optional<bool> Param::ReadBool() const noexcept {
    if (type_ != Boolean) return std::nullopt;
    return BoolFromText(value_);
}

void Param::SetBool(bool flag) {
    RequireType(Boolean);
    value_ = flag ? "true" : "false";
}

const std::string& Param::GetIFile() const {
    RequireType(IFile);
    return value_;
}

void Param::SetIFile(const std::string& path) {
    RequireType(IFile);
    value_ = path;
}

const std::string& Param::GetOFile() const {
    RequireType(OFile);
    return value_;
}

void Param::Save(const Xml::XmlElement& parent) const {
    Xml::XmlElement el = parent.AddElement("param");
    el.SetAttribute("name", name_);
    el.SetAttribute("type", TypeName(type_));
    if (writable_) el.SetAttribute("write", true);
    SaveContent(el);
}

void Param::SaveContent(const Xml::XmlElement& element) const {
    if (!description_.empty()) element.AddTextElement("description", description_);
    if (!value_.empty()) {
        element.AddTextElement("value", value_);
        return;
    }
    for (const auto& child : children_) child->Save(element);
}

void Param::Load(const Xml::XmlElement& element) {
    name_ = element.GetAttribute("name").AsString();
    type_ = TypeFromName(element.GetAttribute("type").AsString());
    writable_ = element.GetAttribute("write", false).AsBool();
    if (Xml::XmlElement value = element.ChildElement("value")) {
        value_ = value.GetText();
    } else {
        children_.clear();
        for (const Xml::XmlElement& child : element.ChildElements("param")) {
            auto param = std::make_unique<Param>(std::string(), Unknown);
            param->Load(child);
            children_.push_back(std::move(param));
        }
    }
    if (Xml::XmlElement description = element.ChildElement("description")) description_ = description.GetText();
}

}  // namespace Config
