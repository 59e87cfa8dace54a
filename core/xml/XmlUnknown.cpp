#include "XmlUnknown.h"

#include <libxml/tree.h>

#include <algorithm>

namespace Xml {

namespace {

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }
std::string S(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : std::string(); }

bool Listed(std::initializer_list<std::string_view> names, const xmlChar* name) {
    const std::string_view n(reinterpret_cast<const char*>(name));
    return std::find(names.begin(), names.end(), n) != names.end();
}

// An attribute's name as written, with its namespace prefix.
std::string QualifiedName(xmlAttrPtr a) {
    if (a->ns && a->ns->prefix) return S(a->ns->prefix) + ":" + S(a->name);
    return S(a->name);
}

}  // namespace

void UnknownParts::Capture(const XmlElement& element, std::initializer_list<std::string_view> knownAttributes,
                           std::initializer_list<std::string_view> knownChildren) {
    Capture(element, knownAttributes, [knownChildren](const XmlElement& child) {
        return Listed(knownChildren, reinterpret_cast<const xmlChar*>(child.TagName().c_str()));
    });
}

void UnknownParts::Capture(const XmlElement& element, std::initializer_list<std::string_view> knownAttributes,
                           const std::function<bool(const XmlElement& child)>& isKnownChild) {
    CaptureBy(
        element,
        [knownAttributes](std::string_view name) {
            return std::find(knownAttributes.begin(), knownAttributes.end(), name) != knownAttributes.end();
        },
        isKnownChild);
}

void UnknownParts::CaptureBy(const XmlElement& element,
                             const std::function<bool(std::string_view name)>& isKnownAttribute,
                             const std::function<bool(const XmlElement& child)>& isKnownChild) {
    attributes_.clear();
    children_.reset();
    xmlNodePtr node = element.Raw();
    if (!node) return;
    for (xmlAttrPtr a = node->properties; a; a = a->next) {
        // Namespaced attributes are kept with their prefix only when the prefix is the
        // conventional xml one; others could not be written back well-formed without their
        // declaration, which belongs to an element this version does not write.
        if (a->ns && (!a->ns->prefix || S(a->ns->prefix) != "xml")) continue;
        if (!a->ns && isKnownAttribute(reinterpret_cast<const char*>(a->name))) continue;
        xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
        attributes_.emplace_back(QualifiedName(a), S(value));
        xmlFree(value);
    }
    std::shared_ptr<XmlDocument> kept;
    for (xmlNodePtr c = node->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        const XmlElement child(XmlNode(element.Holder(), c));
        if (isKnownChild(child)) continue;
        if (!kept) {
            kept = std::make_shared<XmlDocument>();
            kept->AppendChild(kept->CreateElement("kept"));
        }
        xmlNodePtr root = kept->Root().Raw();
        xmlNodePtr copy = xmlDocCopyNode(c, root->doc, 1);
        if (!copy || !xmlAddChild(root, copy)) {
            xmlFreeNode(copy);
            throw XmlError(XmlError::NotElement, "Can't keep element " + child.TagName());
        }
    }
    children_ = std::move(kept);
}

void UnknownParts::Restore(const XmlElement& element) const {
    xmlNodePtr node = element.Raw();
    if (!node || IsEmpty()) return;
    for (const auto& [name, value] : attributes_)
        if (!xmlHasProp(node, X(name.substr(name.find(':') + 1)))) xmlSetProp(node, X(name), X(value));
    if (!children_) return;
    for (xmlNodePtr c = children_->Root().Raw()->children; c; c = c->next) {
        xmlNodePtr copy = xmlDocCopyNode(c, node->doc, 1);
        if (!copy || !xmlAddChild(node, copy)) {
            xmlFreeNode(copy);
            throw XmlError(XmlError::NotElement, "Can't write kept element " + S(c->name));
        }
    }
}

bool operator==(const UnknownParts& a, const UnknownParts& b) {
    if (a.attributes_ != b.attributes_) return false;
    if (a.children_ == b.children_) return true;
    if (!a.children_ || !b.children_) return false;
    return a.children_->Root().GetXml() == b.children_->Root().GetXml();
}

}  // namespace Xml
