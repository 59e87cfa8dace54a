#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// The program's whole vocabulary for XML: thin value wrappers over a libxml2 tree. Copies of a
// wrapper share the underlying document, so a node stays valid for as long as any wrapper of its
// document lives. A null wrapper means "not found".

struct _xmlNode;
struct _xmlDoc;

namespace Xml {

// Failures of the XML library (parse errors, failed writes, wrong node kinds, unconvertible
// attribute values). Misuse of a null wrapper raises std::logic_error instead.
class XmlError : public std::runtime_error {
public:
    enum Code { Parse = 1, Io = 2, NotElement = 3, Conversion = 4, Xpath = 5, Transform = 6 };
    XmlError(Code code, const std::string& message) : std::runtime_error(message), code_(code) {}
    Code code() const noexcept { return code_; }

private:
    Code code_;
};

// An attribute value: what callers pass in, and what they read back and convert. Attributes are
// stored as text; converting an absent value or a text that is not a number raises XmlError.
class XmlValue {
public:
    XmlValue() = default;  // absent
    XmlValue(const char* text) : v_(std::string(text ? text : "")) {}
    XmlValue(std::string text) : v_(std::move(text)) {}
    XmlValue(int n) : v_(n) {}
    XmlValue(bool b) : v_(b) {}
    XmlValue(double d) : v_(d) {}

    bool IsAbsent() const noexcept { return std::holds_alternative<std::monostate>(v_); }
    std::string AsString() const;
    int AsInt() const;
    bool AsBool() const;
    double AsDouble() const;
    float AsFloat() const { return static_cast<float>(AsDouble()); }

private:
    std::variant<std::monostate, std::string, int, bool, double> v_;
};

// Guards a parser against elements with absurdly many attributes: libxml2 spends time growing
// with the square of their number on one element (a few MB of attributes would take hours). The
// scanner follows XML text fed to it in pieces and counts the attributes of each start tag; the
// program writes no more than a couple of hundred on one element.
class AttributeBound {
public:
    static constexpr int kMaxAttributes = 1000;

    // False from the first start tag with more than kMaxAttributes attributes on.
    bool Feed(const char* data, std::size_t size);
    bool Exceeded() const noexcept { return exceeded_; }
    static std::string Message();

private:
    enum class State : unsigned char { Text, Open, Bang, Tag, TagQuote, Skip, Decl, DeclQuote };
    State state_ = State::Text;
    bool exceeded_ = false;
    char quote_ = 0;
    int count_ = 0;
    int declDepth_ = 0;
    std::string bang_;         // what followed "<!" so far
    const char* end_ = "";     // what ends the markup being skipped
    std::size_t matched_ = 0;  // how much of end_ was seen
};

// Why a document type declaration that reaches outside the document is refused. Every reader
// accepts internal general entities only.
constexpr const char* kExternalReferencesRefused =
    "external references in a document type declaration are not accepted (only internal entities are)";

// Text form of a double that reads back to the same value.
std::string FormatDouble(double d);

namespace detail {
struct DocHolder;
}

class XmlElement;
class XmlNodeList;

class XmlNode {
public:
    XmlNode() = default;
    XmlNode(std::shared_ptr<detail::DocHolder> doc, _xmlNode* node);

    bool IsNull() const noexcept { return node_ == nullptr; }
    explicit operator bool() const noexcept { return node_ != nullptr; }

    XmlNode AppendChild(const XmlNode& child) const;
    XmlElement AddElement(const std::string& name) const;
    XmlElement AddTextElement(const std::string& name, const std::string& text) const;
    XmlNodeList SelectNodes(const std::string& path) const;
    XmlNode SelectSingleNode(const std::string& path) const;
    std::string GetText() const;
    void SetText(const std::string& text) const;
    std::string GetXml() const;
    std::string NodeName() const;
    // The element or document above; null for a node outside any tree.
    XmlNode Parent() const;
    bool IsElement() const;
    // Applies an XSLT 1.0 style sheet (a document or its root) to this node.
    bool TransformNode(const XmlNode& styleSheet, std::string& output) const;

    _xmlNode* Raw() const noexcept { return node_; }
    const std::shared_ptr<detail::DocHolder>& Holder() const noexcept { return doc_; }

protected:
    void Check() const;
    std::shared_ptr<detail::DocHolder> doc_;
    _xmlNode* node_ = nullptr;
};

class XmlElement : public XmlNode {
public:
    XmlElement() = default;
    // A null node gives a null element; a node that is not an element raises XmlError.
    XmlElement(const XmlNode& node);  // NOLINT: implicit on purpose, as the callers read best

    void SetAttribute(const std::string& name, const XmlValue& value) const;
    XmlValue GetAttribute(const std::string& name) const;
    XmlValue GetAttribute(const std::string& name, const XmlValue& defaultValue) const;
    bool HasAttribute(const std::string& name) const;
    void RemoveAttribute(const std::string& name) const;
    std::string TagName() const;
    // The first child element with that name (no path parsing); null when there is none.
    XmlElement ChildElement(const std::string& name) const;
    std::vector<XmlElement> ChildElements(const std::string& name = {}) const;

private:
    void CheckElement() const;
};

class XmlNodeList {
public:
    XmlNodeList() = default;
    XmlNodeList(std::shared_ptr<detail::DocHolder> doc, std::vector<_xmlNode*> nodes);

    int Length() const noexcept { return static_cast<int>(nodes_ ? nodes_->size() : 0); }
    XmlNode Item(int index) const;
    // Moves the cursor: stores the next node and answers whether there was one.
    bool NextNode(XmlNode& node);
    void Reset() noexcept { cursor_ = 0; }

private:
    std::shared_ptr<detail::DocHolder> doc_;
    std::shared_ptr<const std::vector<_xmlNode*>> nodes_;
    std::size_t cursor_ = 0;
};

// Elements a parse hands over as it goes, instead of keeping them in the tree: those whose element
// names from below the root down are `path` (any root). A reader of long repeated records thus
// never holds the whole file's tree. Nothing is handed over from a document that declares
// entities, whose expansions the tree may hold in copies the parse does not report.
struct StreamedElements {
    std::vector<std::string> path;
    // Called as soon as such an element has been parsed whole, with everything before it in the
    // tree; true drops it from the tree. The element lives only during the call. An exception
    // stops the parse and leaves the parse's Load.
    std::function<bool(const XmlElement& element)> take;
};

class XmlDocument {
public:
    // Always a new, empty document that holds only the XML declaration.
    XmlDocument();

    // False when the file is missing or not well-formed; ParseError() then tells why.
    bool Load(const std::string& path);
    // The same, handing over the streamed elements as they are parsed. Those handed over and
    // taken are not in the document; a file that turns out not to be well-formed still fails
    // after some were handed over.
    bool Load(const std::string& path, const StreamedElements& streamed);
    bool LoadXml(const std::string& text);
    // Writes indented UTF-8 with an XML declaration, through a temporary file that replaces the
    // target only when complete. Raises XmlError with the path and the reason on failure.
    void Save(const std::string& path) const;
    bool Indent();
    void SetProperty(const std::string& name, const std::string& value);

    XmlElement Root() const;
    XmlElement CreateElement(const std::string& name) const;
    XmlNode AppendChild(const XmlNode& node) const;
    XmlNode SelectSingleNode(const std::string& path) const;
    XmlNodeList SelectNodes(const std::string& path) const;
    XmlNode AsNode() const;
    // The whole document as text, as Save would write it.
    std::string GetXml() const;
    const std::string& ParseError() const noexcept { return parseError_; }

private:
    bool Adopt(_xmlDoc* parsed);
    std::shared_ptr<detail::DocHolder> holder_;
    std::string parseError_;
};

}  // namespace Xml
