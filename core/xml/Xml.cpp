#include "Xml.h"

#include "core/FileUtil.h"
#include "core/TextUtil.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <mutex>
#include <string_view>

namespace Xml {

namespace detail {

// Owns one libxml2 document and the elements created for it that were never attached (libxml2
// frees only what hangs in the tree).
struct DocHolder {
    xmlDocPtr doc = nullptr;
    std::vector<xmlNodePtr> created;

    void Attached(xmlNodePtr n) { std::erase(created, n); }

    explicit DocHolder(xmlDocPtr d) : doc(d) {}
    DocHolder(const DocHolder&) = delete;
    DocHolder& operator=(const DocHolder&) = delete;
    ~DocHolder() {
        for (xmlNodePtr n : created)
            if (n->parent == nullptr) xmlFreeNode(n);
        xmlFreeDoc(doc);
    }
};

}  // namespace detail

namespace {

using detail::DocHolder;

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

std::string S(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : std::string(); }

std::string TakeString(xmlChar* s) {
    std::string out = S(s);
    xmlFree(s);
    return out;
}

// External resources are never fetched while parsing: no DTDs, no external entities, nothing from
// the network. Style sheets may still read local files through xsl:import.
xmlParserInputPtr GuardedEntityLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
    (void)id;
    if (url && std::strstr(url, "://") && std::strncmp(url, "file://", 7) != 0) return nullptr;
    if (ctxt && (ctxt->options & XML_PARSE_DTDLOAD) == 0 && ctxt->inSubset != 0) return nullptr;
    return xmlNewInputFromFile(ctxt, url);
}

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(GuardedEntityLoader);
        xsltSecurityPrefsPtr prefs = xsltNewSecurityPrefs();
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_READ_NETWORK, xsltSecurityForbid);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
        xsltSetSecurityPrefs(prefs, XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
        xsltSetDefaultSecurityPrefs(prefs);
    });
}

// NOBLANKS drops the indentation of files we read so that writing indents them afresh; NONET
// and the absence of DTDLOAD keep the parser from fetching anything. NOENT replaces entity
// references by their text: the only entities a document may declare are internal ones (the
// guard below stops the parser at any other declaration), and without HUGE libxml2's limits on
// entity amplification stay in force.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                              XML_PARSE_NOCDATA | XML_PARSE_NOENT;

struct ParserCtxtDeleter {
    void operator()(xmlParserCtxtPtr c) const { xmlFreeParserCtxt(c); }
};

// A document type declaration may name internal general entities (an XSL template declaring
// &nbsp;, say) and nothing that points outside the document: no SYSTEM or PUBLIC identifier, no
// parameter entities, no external or unparsed entities. The parser stops at the first such
// declaration, before any reference to it can be read.
struct Streaming;

struct DtdGuard {
    bool refused = false;
    bool declaredEntities = false;
    Streaming* streaming = nullptr;

    static void Refuse(void* ctx) {
        auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
        static_cast<DtdGuard*>(ctxt->_private)->refused = true;
        xmlStopParser(ctxt);
    }
    static void InternalSubset(void* ctx, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId) {
        if (externalId || systemId) return Refuse(ctx);
        xmlSAX2InternalSubset(ctx, name, nullptr, nullptr);
    }
    static void ExternalSubset(void* ctx, const xmlChar*, const xmlChar* externalId, const xmlChar* systemId) {
        if (externalId || systemId) Refuse(ctx);
    }
    static void EntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                           xmlChar* content) {
        if (type != XML_INTERNAL_GENERAL_ENTITY || publicId || systemId) return Refuse(ctx);
        static_cast<DtdGuard*>(static_cast<xmlParserCtxtPtr>(ctx)->_private)->declaredEntities = true;
        xmlSAX2EntityDecl(ctx, name, type, nullptr, nullptr, content);
    }
    static void UnparsedEntityDecl(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {
        Refuse(ctx);
    }
};

// Errors are read from the context afterwards; some (a text node over the parser's size limit)
// would otherwise be printed on standard error despite XML_PARSE_NOERROR. (Generic, as the error
// argument lost its const between libxml2 versions.)
const xmlStructuredErrorFunc kKeepErrorsQuiet = [](void*, auto*) {};

std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter> NewParser(DtdGuard& guard) {
    std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt) throw XmlError(XmlError::Parse, "Can't create an XML parser");
    ctxt->sax->serror = kKeepErrorsQuiet;
    ctxt->sax->internalSubset = &DtdGuard::InternalSubset;
    ctxt->sax->externalSubset = &DtdGuard::ExternalSubset;
    ctxt->sax->entityDecl = &DtdGuard::EntityDecl;
    ctxt->sax->unparsedEntityDecl = &DtdGuard::UnparsedEntityDecl;
    ctxt->_private = &guard;
    return ctxt;
}

// The state of a parse that hands elements over (XmlDocument::Load with StreamedElements).
struct Streaming {
    const StreamedElements* elements = nullptr;
    // The document being built, once the parse started it; elements handed over point into it.
    std::shared_ptr<DocHolder> holder = std::make_shared<DocHolder>(nullptr);
    std::exception_ptr error;

    static void StartDocument(void* ctx) {
        auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
        xmlSAX2StartDocument(ctx);
        static_cast<DtdGuard*>(ctxt->_private)->streaming->holder->doc = ctxt->myDoc;
    }

    static void EndElement(void* ctx, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
        auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
        xmlNodePtr node = ctxt->node;
        xmlSAX2EndElementNs(ctx, localName, prefix, uri);
        auto* guard = static_cast<DtdGuard*>(ctxt->_private);
        Streaming& s = *guard->streaming;
        if (!node || guard->declaredEntities || s.error || ctxt->disableSAX || !s.holder->doc) return;
        // The names up to an element right below the root, the root sitting on the document
        // being built.
        xmlNodePtr n = node;
        for (auto name = s.elements->path.rbegin(); name != s.elements->path.rend(); ++name, n = n->parent)
            if (!n || n->type != XML_ELEMENT_NODE || *name != S(n->name)) return;
        if (!n || n->type != XML_ELEMENT_NODE || n->parent != reinterpret_cast<xmlNodePtr>(s.holder->doc)) return;
        bool taken = false;
        try {
            taken = s.elements->take(XmlElement(XmlNode(s.holder, node)));
        } catch (...) {
            s.error = std::current_exception();
            xmlStopParser(ctxt);
            return;
        }
        if (!taken) return;
        xmlUnlinkNode(node);
        xmlFreeNode(node);
        // The parser appends text to the parent's last text node by lengths it keeps of the text
        // node it appended to last; with the element gone, the last child may be another one.
        // Without the lengths it appends the safe way.
        ctxt->nodelen = 0;
        ctxt->nodemem = 0;
    }
};

// A parser that gives up half-way (a text beyond its size limit, no memory) hands back the tree
// it had so far and may still call it well-formed; such a tree is only part of the file.
bool ParsedWhole(xmlDocPtr doc, xmlParserCtxtPtr ctxt) {
    return doc && ctxt->wellFormed && !ctxt->disableSAX && ctxt->errNo != XML_ERR_NO_MEMORY;
}

// Text as XML 1.0 can carry it. Control characters other than tab, line feed and carriage return
// can't be written in any form that reads back, so they are left out, and bytes that are not
// UTF-8 become U+FFFD. Without this a name holding such a character would be saved into a file
// that no longer opens.
std::string XmlSafe(const std::string& text) {
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const auto allowedAscii = [](unsigned char c) { return c >= 0x20 || c == '\t' || c == '\n' || c == '\r'; };
    std::size_t i = 0;
    while (i < text.size() && byte(i) < 0x80 && allowedAscii(byte(i))) ++i;
    if (i == text.size()) return text;

    std::string out(text, 0, i);
    while (i < text.size()) {
        const unsigned char c = byte(i);
        if (c < 0x80) {
            if (allowedAscii(c)) out += static_cast<char>(c);
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (byte(i + k) & 0xC0) == 0x80;
            cp = (cp << 6) | (byte(i + k) & 0x3F);
        }
        // Overlong forms, surrogates and code points beyond Unicode are not UTF-8 either.
        if (valid && ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                      (cp >= 0xD800 && cp <= 0xDFFF)))
            valid = false;
        if (!valid) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (cp != 0xFFFE && cp != 0xFFFF) out.append(text, i, length);
        i += length;
    }
    return out;
}

std::string DescribeError(xmlParserCtxtPtr ctxt, const std::string& what) {
    const xmlError* err = xmlCtxtGetLastError(ctxt);
    if (!err || !err->message) return what + ": not well-formed";
    std::string msg = err->message;
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
    return what + ":" + std::to_string(err->line) + ":" + std::to_string(err->int2) + ": " + msg;
}

// The longest end of `seen` + c that begins `term`: how much of a closing text has been seen.
std::size_t Advance(const char* term, std::size_t matched, char c) {
    char seen[8];
    const std::size_t termLength = std::strlen(term);
    std::memcpy(seen, term, matched);
    seen[matched] = c;
    const std::size_t length = matched + 1;
    for (std::size_t k = std::min(length, termLength); k > 0; --k)
        if (std::memcmp(seen + length - k, term, k) == 0) return k;
    return 0;
}

xmlNodePtr FirstElementChild(xmlNodePtr n, const std::string& name) {
    for (xmlNodePtr c = n->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && (name.empty() || name == S(c->name))) return c;
    return nullptr;
}

[[noreturn]] void ConversionError(const std::string& text, const char* to) {
    throw XmlError(XmlError::Conversion, "Can't convert value '" + text + "' to " + to);
}

std::string Serialize(xmlNodePtr node, xmlDocPtr doc) {
    xmlBufferPtr buf = xmlBufferCreate();
    std::unique_ptr<xmlBuffer, void (*)(xmlBufferPtr)> guard(buf, xmlBufferFree);
    xmlNodeDump(buf, doc, node, 0, 1);
    return S(xmlBufferContent(buf));
}

}  // namespace

// ---- AttributeBound --------------------------------------------------------------------------

std::string AttributeBound::Message() {
    return "an element has more than " + std::to_string(kMaxAttributes) + " attributes";
}

bool AttributeBound::Feed(const char* data, std::size_t size) {
    const auto skipTo = [this](const char* end) {
        state_ = State::Skip;
        end_ = end;
        matched_ = 0;
    };
    for (std::size_t i = 0; i < size && !exceeded_; ++i) {
        const char c = data[i];
        switch (state_) {
            case State::Text:
                if (c == '<') state_ = State::Open;
                break;
            case State::Open:
                if (c == '/') {
                    skipTo(">");
                } else if (c == '?') {
                    skipTo("?>");
                } else if (c == '!') {
                    state_ = State::Bang;
                    bang_.clear();
                } else {
                    state_ = State::Tag;
                    count_ = 0;
                    --i;  // the first letter of the name, read again as part of the tag
                }
                break;
            case State::Bang: {
                bang_ += c;
                const std::string_view comment("--"), cdata("[CDATA[");
                if (bang_ == comment) {
                    skipTo("-->");
                } else if (bang_ == cdata) {
                    skipTo("]]>");
                } else if (!comment.starts_with(bang_) && !cdata.starts_with(bang_)) {
                    // A declaration (DOCTYPE and its internal subset): brackets and quotes nest.
                    state_ = State::Decl;
                    declDepth_ = 0;
                    --i;
                }
                break;
            }
            case State::Tag:
                if (c == '"' || c == '\'') {
                    quote_ = c;
                    state_ = State::TagQuote;
                } else if (c == '=') {
                    exceeded_ = ++count_ > kMaxAttributes;
                } else if (c == '>') {
                    state_ = State::Text;
                }
                break;
            case State::TagQuote:
                if (c == quote_) state_ = State::Tag;
                break;
            case State::Skip:
                matched_ = Advance(end_, matched_, c);
                if (end_[matched_] == '\0') state_ = State::Text;
                break;
            case State::Decl:
                if (c == '"' || c == '\'') {
                    quote_ = c;
                    state_ = State::DeclQuote;
                } else if (c == '[') {
                    ++declDepth_;
                } else if (c == ']') {
                    --declDepth_;
                } else if (c == '>' && declDepth_ <= 0) {
                    state_ = State::Text;
                }
                break;
            case State::DeclQuote:
                if (c == quote_) state_ = State::Decl;
                break;
        }
    }
    return !exceeded_;
}

// ---- XmlValue --------------------------------------------------------------------------------

std::string FormatDouble(double d) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

std::string XmlValue::AsString() const {
    switch (v_.index()) {
        case 0: throw XmlError(XmlError::Conversion, "Attribute value is missing");
        case 1: return std::get<std::string>(v_);
        case 2: return std::to_string(std::get<int>(v_));
        case 3: return std::get<bool>(v_) ? "true" : "false";
        default: return FormatDouble(std::get<double>(v_));
    }
}

double XmlValue::AsDouble() const {
    switch (v_.index()) {
        case 0: throw XmlError(XmlError::Conversion, "Attribute value is missing");
        case 2: return std::get<int>(v_);
        case 3: return std::get<bool>(v_) ? -1.0 : 0.0;
        case 4: return std::get<double>(v_);
        default: break;
    }
    const std::string text(TextUtil::Trimmed(std::get<std::string>(v_)));
    const char* b = text.c_str();
    if (*b == '+') ++b;
    double d = 0;
    auto r = std::from_chars(b, text.c_str() + text.size(), d);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.c_str() + text.size())
        ConversionError(std::get<std::string>(v_), "a number");
    return d;
}

int XmlValue::AsInt() const {
    if (v_.index() == 2) return std::get<int>(v_);
    if (v_.index() == 3) return std::get<bool>(v_) ? -1 : 0;
    if (v_.index() == 1) {
        const std::string text(TextUtil::Trimmed(std::get<std::string>(v_)));
        const char* b = text.c_str();
        if (*b == '+') ++b;
        int n = 0;
        auto r = std::from_chars(b, text.c_str() + text.size(), n);
        if (!text.empty() && r.ec == std::errc() && r.ptr == text.c_str() + text.size()) return n;
    }
    // Fractions round to the nearest integer, ties to even, as variant conversion does.
    double d = AsDouble();
    if (!(d >= -2147483648.5 && d < 2147483647.5)) ConversionError(AsString(), "an integer");
    return static_cast<int>(std::nearbyint(d));
}

bool XmlValue::AsBool() const {
    if (v_.index() == 3) return std::get<bool>(v_);
    if (v_.index() == 1) {
        const std::string text(TextUtil::Trimmed(std::get<std::string>(v_)));
        if (text == "true" || text == "True" || text == "TRUE") return true;
        if (text == "false" || text == "False" || text == "FALSE") return false;
    }
    try {
        return AsDouble() != 0.0;
    } catch (const XmlError&) {
        if (v_.index() == 0) throw;
        ConversionError(std::get<std::string>(v_), "a boolean");
    }
}

// ---- XmlNode ---------------------------------------------------------------------------------

XmlNode::XmlNode(std::shared_ptr<DocHolder> doc, xmlNodePtr node)
    : doc_(node ? std::move(doc) : nullptr), node_(node) {}

void XmlNode::Check() const {
    if (!node_) throw std::logic_error("Invalid node");
}

XmlNode XmlNode::AppendChild(const XmlNode& child) const {
    Check();
    child.Check();
    if (child.doc_ != doc_ && child.node_->doc != node_->doc)
        throw XmlError(XmlError::NotElement, "Can't append a node of another document");
    if (child.node_->parent) xmlUnlinkNode(child.node_);
    doc_->Attached(child.node_);
    xmlNodePtr added = xmlAddChild(node_, child.node_);
    if (!added) throw XmlError(XmlError::NotElement, "Can't append child node");
    return XmlNode(doc_, added);
}

XmlElement XmlNode::AddElement(const std::string& name) const {
    Check();
    xmlNodePtr el = xmlNewDocNode(node_->doc, nullptr, X(name), nullptr);
    if (!el) throw XmlError(XmlError::NotElement, "Can't create element " + name);
    xmlAddChild(node_, el);
    return XmlElement(XmlNode(doc_, el));
}

XmlElement XmlNode::AddTextElement(const std::string& name, const std::string& text) const {
    XmlElement el = AddElement(name);
    el.SetText(text);
    return el;
}

XmlNodeList XmlNode::SelectNodes(const std::string& path) const {
    Check();
    xmlXPathContextPtr ctx = xmlXPathNewContext(node_->doc);
    if (!ctx) throw XmlError(XmlError::Xpath, "Can't evaluate path " + path);
    std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContextPtr)> ctxGuard(ctx, xmlXPathFreeContext);
    xmlXPathObjectPtr result = xmlXPathNodeEval(node_, X(path), ctx);
    if (!result) throw XmlError(XmlError::Xpath, "Invalid path: " + path);
    std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObjectPtr)> resGuard(result, xmlXPathFreeObject);
    std::vector<xmlNodePtr> nodes;
    if (result->type == XPATH_NODESET && result->nodesetval) {
        nodes.reserve(static_cast<std::size_t>(result->nodesetval->nodeNr));
        for (int i = 0; i < result->nodesetval->nodeNr; ++i) nodes.push_back(result->nodesetval->nodeTab[i]);
    }
    return XmlNodeList(doc_, std::move(nodes));
}

XmlNode XmlNode::SelectSingleNode(const std::string& path) const { return SelectNodes(path).Item(0); }

std::string XmlNode::GetText() const {
    Check();
    return TakeString(xmlNodeGetContent(node_));
}

void XmlNode::SetText(const std::string& text) const {
    Check();
    // xmlNodeSetContent would read entity references out of the text; the text is literal.
    xmlChar* escaped = xmlEncodeSpecialChars(node_->doc, X(XmlSafe(text)));
    xmlNodeSetContent(node_, escaped);
    xmlFree(escaped);
}

std::string XmlNode::GetXml() const {
    Check();
    if (node_->type == XML_DOCUMENT_NODE) {
        xmlChar* mem = nullptr;
        int size = 0;
        xmlDocDumpFormatMemoryEnc(reinterpret_cast<xmlDocPtr>(node_), &mem, &size, "UTF-8", 1);
        return TakeString(mem);
    }
    return Serialize(node_, node_->doc);
}

std::string XmlNode::NodeName() const {
    Check();
    return S(node_->name);
}

XmlNode XmlNode::Parent() const {
    Check();
    return XmlNode(doc_, node_->parent);
}

bool XmlNode::IsElement() const { return node_ && node_->type == XML_ELEMENT_NODE; }

bool XmlNode::TransformNode(const XmlNode& styleSheet, std::string& output) const {
    Check();
    styleSheet.Check();
    InitLibrary();

    // libxslt takes ownership of the style sheet document it compiles, so it gets a copy.
    xmlDocPtr sheetDoc = nullptr;
    if (styleSheet.node_->type == XML_DOCUMENT_NODE) {
        sheetDoc = xmlCopyDoc(reinterpret_cast<xmlDocPtr>(styleSheet.node_), 1);
    } else {
        sheetDoc = xmlNewDoc(X("1.0"));
        xmlDocSetRootElement(sheetDoc, xmlDocCopyNode(styleSheet.node_, sheetDoc, 1));
    }
    // The copy of a whole document already carries its URL; only a copied root needs it set.
    if (sheetDoc && !sheetDoc->URL && styleSheet.node_->doc && styleSheet.node_->doc->URL)
        sheetDoc->URL = xmlStrdup(styleSheet.node_->doc->URL);
    xsltStylesheetPtr sheet = sheetDoc ? xsltParseStylesheetDoc(sheetDoc) : nullptr;
    if (!sheet) {
        xmlFreeDoc(sheetDoc);
        throw XmlError(XmlError::Transform, "The style sheet is not a valid XSLT style sheet");
    }
    std::unique_ptr<xsltStylesheet, void (*)(xsltStylesheetPtr)> sheetGuard(sheet, xsltFreeStylesheet);

    xmlDocPtr input = nullptr;
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> inputGuard(nullptr, xmlFreeDoc);
    if (node_->type == XML_DOCUMENT_NODE) {
        input = reinterpret_cast<xmlDocPtr>(node_);
    } else {
        input = xmlNewDoc(X("1.0"));
        inputGuard.reset(input);
        xmlDocSetRootElement(input, xmlDocCopyNode(node_, input, 1));
    }

    xsltTransformContextPtr tctx = xsltNewTransformContext(sheet, input);
    if (!tctx) throw XmlError(XmlError::Transform, "Can't start the transformation");
    std::unique_ptr<xsltTransformContext, void (*)(xsltTransformContextPtr)> tctxGuard(tctx, xsltFreeTransformContext);
    xsltSetCtxtSecurityPrefs(xsltGetDefaultSecurityPrefs(), tctx);
    xmlDocPtr result = xsltApplyStylesheetUser(sheet, input, nullptr, nullptr, nullptr, tctx);
    if (!result || tctx->state != XSLT_STATE_OK) {
        xmlFreeDoc(result);
        throw XmlError(XmlError::Transform, "The transformation failed");
    }
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> resultGuard(result, xmlFreeDoc);
    xmlChar* mem = nullptr;
    int size = 0;
    if (xsltSaveResultToString(&mem, &size, result, sheet) != 0)
        throw XmlError(XmlError::Transform, "Can't write the transformation result");
    output.assign(mem ? reinterpret_cast<const char*>(mem) : "", static_cast<std::size_t>(size));
    xmlFree(mem);
    return true;
}

// ---- XmlElement ------------------------------------------------------------------------------

XmlElement::XmlElement(const XmlNode& node) : XmlNode(node) {
    if (node_ && node_->type != XML_ELEMENT_NODE)
        throw XmlError(XmlError::NotElement, "Node '" + S(node_->name) + "' is not an element");
}

void XmlElement::CheckElement() const {
    if (!node_) throw std::logic_error("Invalid element");
}

void XmlElement::SetAttribute(const std::string& name, const XmlValue& value) const {
    CheckElement();
    xmlSetProp(node_, X(name), X(XmlSafe(value.AsString())));
}

XmlValue XmlElement::GetAttribute(const std::string& name) const {
    CheckElement();
    xmlChar* v = xmlGetNoNsProp(node_, X(name));
    if (!v) return XmlValue();
    return XmlValue(TakeString(v));
}

XmlValue XmlElement::GetAttribute(const std::string& name, const XmlValue& defaultValue) const {
    XmlValue v = GetAttribute(name);
    return v.IsAbsent() ? defaultValue : v;
}

bool XmlElement::HasAttribute(const std::string& name) const {
    CheckElement();
    return xmlHasNsProp(node_, X(name), nullptr) != nullptr;
}

void XmlElement::RemoveAttribute(const std::string& name) const {
    CheckElement();
    xmlUnsetProp(node_, X(name));
}

std::string XmlElement::TagName() const {
    CheckElement();
    return S(node_->name);
}

XmlElement XmlElement::ChildElement(const std::string& name) const {
    CheckElement();
    return XmlElement(XmlNode(doc_, FirstElementChild(node_, name)));
}

std::vector<XmlElement> XmlElement::ChildElements(const std::string& name) const {
    CheckElement();
    std::vector<XmlElement> out;
    for (xmlNodePtr c = node_->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && (name.empty() || name == S(c->name))) out.emplace_back(XmlNode(doc_, c));
    return out;
}

// ---- XmlNodeList -----------------------------------------------------------------------------

XmlNodeList::XmlNodeList(std::shared_ptr<DocHolder> doc, std::vector<xmlNodePtr> nodes)
    : doc_(std::move(doc)), nodes_(std::make_shared<const std::vector<xmlNodePtr>>(std::move(nodes))) {}

XmlNode XmlNodeList::Item(int index) const {
    if (!nodes_ || index < 0 || index >= Length()) return XmlNode();
    return XmlNode(doc_, (*nodes_)[static_cast<std::size_t>(index)]);
}

bool XmlNodeList::NextNode(XmlNode& node) {
    if (!nodes_ || cursor_ >= nodes_->size()) {
        node = XmlNode();
        return false;
    }
    node = XmlNode(doc_, (*nodes_)[cursor_++]);
    return true;
}

// ---- XmlDocument -----------------------------------------------------------------------------

namespace {

std::shared_ptr<DocHolder> NewEmptyDocument() {
    InitLibrary();
    xmlDocPtr doc = xmlNewDoc(X("1.0"));
    if (!doc) throw XmlError(XmlError::Io, "Can't create an XML document");
    doc->encoding = xmlStrdup(X("UTF-8"));
    return std::make_shared<DocHolder>(doc);
}

}  // namespace

XmlDocument::XmlDocument() : holder_(NewEmptyDocument()) {}

bool XmlDocument::Adopt(xmlDocPtr parsed) {
    holder_ = std::make_shared<DocHolder>(parsed);
    return true;
}

bool XmlDocument::Load(const std::string& path) { return Load(path, StreamedElements{}); }

bool XmlDocument::Load(const std::string& path, const StreamedElements& streamed) {
    InitLibrary();
    parseError_.clear();
    DtdGuard guard;
    std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter> ctxt = NewParser(guard);
    Streaming streaming;
    if (!streamed.path.empty() && streamed.take) {
        streaming.elements = &streamed;
        guard.streaming = &streaming;
        ctxt->sax->startDocument = &Streaming::StartDocument;
        ctxt->sax->endElementNs = &Streaming::EndElement;
    }
    // The file is read here rather than by the parser, whose own file access reports a missing
    // file on standard error; the path still names the document (base of relative references).
    std::string text;
    try {
        text = FileUtil::ReadFile(path);
    } catch (const FileUtil::FileError& e) {
        parseError_ = e.what();
        return false;
    }
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
        parseError_ = path + ": file too large";
        return false;
    }
    if (!AttributeBound().Feed(text.data(), text.size())) {
        parseError_ = path + ": " + AttributeBound::Message();
        return false;
    }
    xmlDocPtr doc =
        xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), path.c_str(), nullptr, kParseOptions);
    // The holder never owned what the parse built: the document is adopted below, or freed.
    streaming.holder->doc = nullptr;
    if (streaming.error) {
        xmlFreeDoc(doc);
        std::rethrow_exception(streaming.error);
    }
    if (guard.refused || !ParsedWhole(doc, ctxt.get())) {
        parseError_ = guard.refused ? path + ": " + kExternalReferencesRefused : DescribeError(ctxt.get(), path);
        xmlFreeDoc(doc);
        return false;
    }
    if (!Adopt(doc)) return false;
    parseError_.clear();
    return true;
}

bool XmlDocument::LoadXml(const std::string& text) {
    InitLibrary();
    parseError_.clear();
    DtdGuard guard;
    std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter> ctxt = NewParser(guard);
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
        parseError_ = "text too large";
        return false;
    }
    if (!AttributeBound().Feed(text.data(), text.size())) {
        parseError_ = std::string("text: ") + AttributeBound::Message();
        return false;
    }
    xmlDocPtr doc =
        xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", kParseOptions);
    if (guard.refused || !ParsedWhole(doc, ctxt.get())) {
        parseError_ =
            guard.refused ? std::string("text: ") + kExternalReferencesRefused : DescribeError(ctxt.get(), "text");
        xmlFreeDoc(doc);
        return false;
    }
    if (!Adopt(doc)) return false;
    parseError_.clear();
    return true;
}

std::string XmlDocument::GetXml() const {
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(holder_->doc, &mem, &size, "UTF-8", 1);
    if (!mem) throw XmlError(XmlError::Io, "Can't serialise the document");
    return TakeString(mem);
}

void XmlDocument::Save(const std::string& path) const {
    try {
        FileUtil::WriteFileAtomic(path, GetXml());
    } catch (const FileUtil::FileError& e) {
        throw XmlError(XmlError::Io, e.what());
    }
}

bool XmlDocument::Indent() {
    // Serialising always indents; what stands in the way are whitespace-only text nodes left from
    // another writer's layout among element siblings, so those go.
    std::vector<xmlNodePtr> stack;
    if (xmlNodePtr root = xmlDocGetRootElement(holder_->doc)) stack.push_back(root);
    while (!stack.empty()) {
        xmlNodePtr n = stack.back();
        stack.pop_back();
        bool hasElement = false;
        for (xmlNodePtr c = n->children; c; c = c->next) hasElement |= c->type == XML_ELEMENT_NODE;
        for (xmlNodePtr c = n->children; c;) {
            xmlNodePtr next = c->next;
            if (c->type == XML_ELEMENT_NODE) {
                stack.push_back(c);
            } else if (hasElement && c->type == XML_TEXT_NODE && xmlIsBlankNode(c)) {
                xmlUnlinkNode(c);
                xmlFreeNode(c);
            }
            c = next;
        }
    }
    return true;
}

void XmlDocument::SetProperty(const std::string& name, const std::string& value) {
    // XPath is the only selection language here, so the one property callers set needs no work.
    (void)name;
    (void)value;
}

XmlElement XmlDocument::Root() const {
    xmlNodePtr root = xmlDocGetRootElement(holder_->doc);
    if (!root) throw std::logic_error("Invalid document root element.");
    return XmlElement(XmlNode(holder_, root));
}

XmlElement XmlDocument::CreateElement(const std::string& name) const {
    xmlNodePtr el = xmlNewDocNode(holder_->doc, nullptr, X(name), nullptr);
    if (!el) throw XmlError(XmlError::NotElement, "Can't create element " + name);
    holder_->created.push_back(el);
    return XmlElement(XmlNode(holder_, el));
}

XmlNode XmlDocument::AppendChild(const XmlNode& node) const {
    if (node.IsNull()) throw std::logic_error("Invalid node");
    xmlNodePtr n = node.Raw();
    if (n->doc != holder_->doc) throw XmlError(XmlError::NotElement, "Can't append a node of another document");
    if (n->type == XML_ELEMENT_NODE) {
        if (xmlDocGetRootElement(holder_->doc))
            throw XmlError(XmlError::NotElement, "The document has a root element already");
        if (n->parent) xmlUnlinkNode(n);
        holder_->Attached(n);
        xmlDocSetRootElement(holder_->doc, n);
        return XmlNode(holder_, n);
    }
    return AsNode().AppendChild(node);
}

XmlNode XmlDocument::AsNode() const { return XmlNode(holder_, reinterpret_cast<xmlNodePtr>(holder_->doc)); }

XmlNode XmlDocument::SelectSingleNode(const std::string& path) const { return AsNode().SelectSingleNode(path); }

XmlNodeList XmlDocument::SelectNodes(const std::string& path) const { return AsNode().SelectNodes(path); }

}  // namespace Xml
