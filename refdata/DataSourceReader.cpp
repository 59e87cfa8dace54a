#include "DataSourceReader.h"

#include "RecordReaders.h"

#include "core/FileUtil.h"

#include <libxml/SAX2.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <exception>

namespace DataSourceReader {

namespace {

using RecordReaders::FoodBuilder;
using RecordReaders::FoodChild;

const char* C(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

// The attributes SAX2 hands to startElementNs: five pointers each (local name, prefix, namespace,
// value start, value end). Only attributes without a namespace count, as in the DOM reader.
class SaxAttrs {
public:
    SaxAttrs(const xmlChar** attrs, int count) : attrs_(attrs), count_(count) {}

    // Entities are substituted, so every reference in a value arrives decoded.
    std::optional<std::string_view> Get(const char* name) const {
        const xmlChar** a = Find(name);
        if (!a) return std::nullopt;
        return std::string_view(C(a[3]), static_cast<std::size_t>(a[4] - a[3]));
    }
    bool Has(const char* name) const { return Find(name) != nullptr; }
    // Attributes of any namespace.
    int Count() const noexcept { return count_; }

    StagedAttrs Stage() const {
        StagedAttrs out;
        for (int i = 0; i < count_; ++i) {
            const xmlChar** a = attrs_ + 5 * i;
            if (a[2] != nullptr) continue;
            out.Add(C(a[0]), std::string(C(a[3]), static_cast<std::size_t>(a[4] - a[3])));
        }
        return out;
    }

private:
    const xmlChar** Find(const char* name) const {
        for (int i = 0; i < count_; ++i) {
            const xmlChar** a = attrs_ + 5 * i;
            if (a[2] == nullptr && a[0][0] == static_cast<unsigned char>(name[0]) && std::strcmp(C(a[0]), name) == 0)
                return a;
        }
        return nullptr;
    }

    const xmlChar** attrs_;
    int count_;
};

// Errors are collected by the parser context and read at the end, never printed. (Generic, as the
// error argument lost its const between libxml2 versions.)
const xmlStructuredErrorFunc kIgnoreError = [](void*, auto*) {};

enum class Frame : unsigned char {
    Ignore,         // nothing below is read
    Root,           // DataSource
    Nutrients,      // DataSource/Nutrients
    Portions,       // DataSource/foodPortions (the first one)
    FoodGroups,     // DataSource/FoodGroups
    Group,          // a FoodGroup
    Food,           // a FoodGroup's Food
    FoodNutrition,  // Food/Nutrition
    FoodUnits,      // Food/Units (the first one)
    FoodRecipe,     // Food/Recipe (the first one)
};

class Reader {
public:
    explicit Reader(StagedDocument& doc) : doc_(doc) {}

    bool Run(int fd, std::string& why);

private:
    static void OnStart(void* self, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                        int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                        const xmlChar** attributes);
    static void OnEnd(void* self, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri);
    // A document type declaration may declare internal general entities and nothing that reaches
    // outside the file; reading stops at anything else.
    static void OnInternalSubset(void* self, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId);
    static void OnExternalSubset(void* self, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId);
    static void OnEntityDecl(void* self, const xmlChar* name, int type, const xmlChar* publicId,
                             const xmlChar* systemId, xmlChar* content);
    static void OnUnparsedEntityDecl(void* self, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*);
    static xmlEntityPtr OnGetEntity(void* self, const xmlChar* name);
    void Refuse() {
        refusedDoctype_ = true;
        Stop();
    }
    static int OnRead(void* context, char* buffer, int len);

    void Start(const xmlChar* name, bool plain, const SaxAttrs& attrs);
    void End();
    void StartFood(const SaxAttrs& attrs);
    void EndFood();
    void Stop() { xmlStopParser(ctxt_); }
    void FoodFailed(const Xml::XmlError& e) {
        foodBad_ = true;
        foodError_ = e.what();
    }

    StagedDocument& doc_;
    xmlParserCtxtPtr ctxt_ = nullptr;
    std::vector<Frame> frames_;
    std::vector<StagedGroup*> groups_;
    std::unique_ptr<CDS_Ingredient> food_;
    std::optional<FoodBuilder> builder_;
    std::optional<StagedAttrs> recipe_;
    std::vector<StagedAttrs> ingredients_;
    bool foodBad_ = false;
    std::string foodError_;
    std::size_t lastNutrientCount_ = 0;
    bool refusedDoctype_ = false;
    std::exception_ptr failure_;
    std::string readError_;

    // Element names interned in the parser's dictionary, so names compare as pointers.
    struct Names {
        const xmlChar *DataSource, *Nutrients, *Nutrient, *foodPortions, *portion, *FoodGroups, *FoodGroup, *Food,
            *Nutrition, *Units, *E, *Recipe, *Ingredient, *DataSourceChild, *EnergyFactors;
    } n_{};
};

struct ReadContext {
    int fd;
    std::string* error;
    std::uint64_t total = 0;
    Xml::AttributeBound bound;
};

int Reader::OnRead(void* context, char* buffer, int len) {
    auto* rc = static_cast<ReadContext*>(context);
    for (;;) {
        const ssize_t got = ::read(rc->fd, buffer, static_cast<std::size_t>(len));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *rc->error = std::strerror(errno);
            return -1;
        }
        // The parser only sees what passed both checks: a file that grew past the cap while it
        // was read, and an element with more attributes than libxml2 handles in reasonable time.
        rc->total += static_cast<std::uint64_t>(got);
        if (rc->total > FileUtil::kMaxDataSourceBytes) {
            *rc->error = FileUtil::TooLarge(FileUtil::kMaxDataSourceBytes);
            return -1;
        }
        if (!rc->bound.Feed(buffer, static_cast<std::size_t>(got))) {
            *rc->error = Xml::AttributeBound::Message();
            return -1;
        }
        return static_cast<int>(got);
    }
}

// The declared entities live in a document of their own that holds nothing else.
void Reader::OnInternalSubset(void* self, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId) {
    auto* r = static_cast<Reader*>(self);
    if (externalId || systemId) return r->Refuse();
    if (!r->ctxt_->myDoc) xmlSAX2StartDocument(r->ctxt_);
    xmlSAX2InternalSubset(r->ctxt_, name, nullptr, nullptr);
}

void Reader::OnExternalSubset(void* self, const xmlChar*, const xmlChar* externalId, const xmlChar* systemId) {
    if (externalId || systemId) static_cast<Reader*>(self)->Refuse();
}

void Reader::OnEntityDecl(void* self, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                          xmlChar* content) {
    auto* r = static_cast<Reader*>(self);
    if (type != XML_INTERNAL_GENERAL_ENTITY || publicId || systemId || !r->ctxt_->myDoc) return r->Refuse();
    xmlSAX2EntityDecl(r->ctxt_, name, type, nullptr, nullptr, content);
}

void Reader::OnUnparsedEntityDecl(void* self, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {
    static_cast<Reader*>(self)->Refuse();
}

xmlEntityPtr Reader::OnGetEntity(void* self, const xmlChar* name) {
    auto* r = static_cast<Reader*>(self);
    return r->ctxt_->myDoc ? xmlSAX2GetEntity(r->ctxt_, name) : xmlGetPredefinedEntity(name);
}

void Reader::OnStart(void* self, const xmlChar* localname, const xmlChar*, const xmlChar* uri, int, const xmlChar**,
                     int nbAttributes, int, const xmlChar** attributes) {
    auto* r = static_cast<Reader*>(self);
    try {
        r->Start(localname, uri == nullptr, SaxAttrs(attributes, nbAttributes));
    } catch (...) {
        r->failure_ = std::current_exception();
        r->Stop();
    }
}

void Reader::OnEnd(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* r = static_cast<Reader*>(self);
    try {
        r->End();
    } catch (...) {
        r->failure_ = std::current_exception();
        r->Stop();
    }
}

void Reader::Start(const xmlChar* name, bool plain, const SaxAttrs& attrs) {
    if (frames_.empty()) {
        doc_.rootName = C(name);
        doc_.root = attrs.Stage();
        frames_.push_back(plain && name == n_.DataSource ? Frame::Root : Frame::Ignore);
        return;
    }
    Frame next = Frame::Ignore;
    if (plain) {
        switch (frames_.back()) {
            case Frame::Root:
                if (name == n_.Nutrients) {
                    next = Frame::Nutrients;
                } else if (name == n_.foodPortions && !doc_.hasPortions) {
                    doc_.hasPortions = true;
                    next = Frame::Portions;
                } else if (name == n_.FoodGroups) {
                    next = Frame::FoodGroups;
                } else if (name != n_.foodPortions) {
                    doc_.unstagedParts = true;
                }
                break;
            case Frame::Nutrients:
                if (name == n_.Nutrient) doc_.nutrients.push_back(attrs.Stage());
                break;
            case Frame::Portions:
                if (name == n_.portion) doc_.portions.push_back(attrs.Stage());
                break;
            case Frame::FoodGroups:
            case Frame::Group:
                if (name == n_.FoodGroup) {
                    auto group = std::make_unique<StagedGroup>();
                    group->attrs = attrs.Stage();
                    StagedGroup* g = group.get();
                    (frames_.back() == Frame::FoodGroups ? doc_.groups : groups_.back()->subGroups)
                        .push_back(std::move(group));
                    groups_.push_back(g);
                    next = Frame::Group;
                } else if (name == n_.Food && frames_.back() == Frame::Group) {
                    StartFood(attrs);
                    next = Frame::Food;
                }
                break;
            case Frame::Food:
                if (name == n_.Recipe) {
                    if (!recipe_) {
                        recipe_ = attrs.Stage();
                        next = Frame::FoodRecipe;
                    }
                    break;
                }
                if (name != n_.Nutrition && name != n_.Units && name != n_.DataSourceChild && name != n_.EnergyFactors)
                    doc_.unstagedParts = true;
                if (!foodBad_) {
                    try {
                        const FoodChild kind = builder_->Child(C(name), attrs);
                        if (kind == FoodChild::Nutrition) next = Frame::FoodNutrition;
                        if (kind == FoodChild::Units) next = Frame::FoodUnits;
                    } catch (const Xml::XmlError& e) {
                        FoodFailed(e);
                    }
                }
                break;
            case Frame::FoodNutrition:
            case Frame::FoodUnits:
                if (name == n_.E && !foodBad_) {
                    try {
                        if (frames_.back() == Frame::FoodNutrition)
                            builder_->NutritionValue(attrs);
                        else
                            builder_->Unit(attrs);
                    } catch (const Xml::XmlError& e) {
                        FoodFailed(e);
                    }
                }
                break;
            case Frame::FoodRecipe:
                if (name == n_.Ingredient) ingredients_.push_back(attrs.Stage());
                break;
            case Frame::Ignore: break;
        }
    } else if (!frames_.empty() && frames_.back() == Frame::Food) {
        doc_.unstagedParts = true;
    }
    frames_.push_back(next);
}

void Reader::End() {
    const Frame f = frames_.back();
    frames_.pop_back();
    if (f == Frame::Group) groups_.pop_back();
    if (f == Frame::Food) EndFood();
}

void Reader::StartFood(const SaxAttrs& attrs) {
    if (attrs.Count() > static_cast<int>(attrs.Has("Name")) + attrs.Has("key") + attrs.Has("source"))
        doc_.unstagedParts = true;
    recipe_.reset();
    ingredients_.clear();
    food_ = std::make_unique<CDS_Ingredient>();
    food_->ReserveNutrientValues(lastNutrientCount_);
    builder_.emplace(*food_);
    foodBad_ = false;
    foodError_.clear();
    try {
        builder_->Begin(attrs);
    } catch (const Xml::XmlError& e) {
        FoodFailed(e);
    }
}

void Reader::EndFood() {
    if (!foodBad_) {
        try {
            builder_->End();
        } catch (const Xml::XmlError& e) {
            FoodFailed(e);
        }
    }
    builder_.reset();
    StagedFood staged;
    if (!foodBad_) {
        lastNutrientCount_ = food_->NutrientValues().size();
        if (food_->NutrientValues().capacity() > lastNutrientCount_ + lastNutrientCount_ / 8)
            food_->ShrinkNutrientValues();
        staged.food = std::move(food_);
    } else {
        staged.error = food_ && !food_->Name().empty() ? "\"" + food_->Name() + "\": " + foodError_ : foodError_;
    }
    food_.reset();
    staged.recipe = std::move(recipe_);
    staged.ingredients = std::move(ingredients_);
    recipe_.reset();
    ingredients_.clear();
    groups_.back()->foods.push_back(std::move(staged));
}

bool Reader::Run(int fd, std::string& why) {
    xmlInitParser();
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Reader::OnStart;
    sax.endElementNs = &Reader::OnEnd;
    sax.internalSubset = &Reader::OnInternalSubset;
    sax.externalSubset = &Reader::OnExternalSubset;
    sax.entityDecl = &Reader::OnEntityDecl;
    sax.unparsedEntityDecl = &Reader::OnUnparsedEntityDecl;
    sax.getEntity = &Reader::OnGetEntity;
    sax.serror = kIgnoreError;

    ReadContext rc{fd, &readError_, 0, {}};
    ctxt_ = xmlCreateIOParserCtxt(&sax, this, &Reader::OnRead, nullptr, &rc, XML_CHAR_ENCODING_NONE);
    if (!ctxt_) {
        why = "can't create an XML parser";
        return false;
    }
    struct Freer {
        void operator()(xmlParserCtxtPtr c) const {
            xmlFreeDoc(c->myDoc);  // the declared entities, if any
            c->myDoc = nullptr;
            xmlFreeParserCtxt(c);
        }
    };
    std::unique_ptr<xmlParserCtxt, Freer> guard(ctxt_);
    // No network, no DTD loading; the internal entities the guards above let through are
    // substituted within libxml2's amplification limits (no HUGE). Errors are reported here, not
    // printed.
    xmlCtxtUseOptions(ctxt_, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOENT);
    // Whatever another part of the process set as libxml2's defaults.
    ctxt_->replaceEntities = 1;
    ctxt_->loadsubset = 0;
    ctxt_->validate = 0;
    ctxt_->sax->serror = kIgnoreError;
    auto intern = [this](const char* s) { return xmlDictLookup(ctxt_->dict, reinterpret_cast<const xmlChar*>(s), -1); };
    n_ = Names{intern("DataSource"),   intern("Nutrients"),  intern("Nutrient"),
               intern("foodPortions"), intern("portion"),    intern("FoodGroups"),
               intern("FoodGroup"),    intern("Food"),       intern("Nutrition"),
               intern("Units"),        intern("E"),          intern("Recipe"),
               intern("Ingredient"),   intern("DataSource"), intern("EnergyFactors")};

    xmlParseDocument(ctxt_);

    if (failure_) std::rethrow_exception(failure_);
    if (refusedDoctype_) {
        why = Xml::kExternalReferencesRefused;
        return false;
    }
    if (!readError_.empty()) {
        why = readError_;
        return false;
    }
    if (!ctxt_->wellFormed) {
        const xmlError* err = xmlCtxtGetLastError(ctxt_);
        why = err && err->message ? "line " + std::to_string(err->line) + ": " + err->message : "not well-formed";
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        return false;
    }
    return true;
}

}  // namespace

bool Read(const std::string& path, StagedDocument& doc, std::string& why) {
    int fd = -1;
    try {
        fd = FileUtil::OpenForReading(path, FileUtil::kMaxDataSourceBytes);
    } catch (const FileUtil::FileError& e) {
        // The message names the path already; the reason is what follows it.
        why = e.what();
        const std::string named = "Can't read file " + path + ": ";
        if (why.rfind(named, 0) == 0) why.erase(0, named.size());
        return false;
    }
    const FileUtil::ScopedFd closer{fd};
    Reader reader(doc);
    try {
        if (reader.Run(fd, why)) return true;
    } catch (const std::exception& e) {
        why = e.what();
    }
    return false;
}

}  // namespace DataSourceReader
