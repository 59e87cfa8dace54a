#include "DocTemplate.h"

#include "core/xml/Xml.h"

#include <filesystem>

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool SamePath(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(fs::absolute(a), ea);
    const fs::path cb = fs::weakly_canonical(fs::absolute(b), eb);
    if (ea || eb) return a == b;
    return ca == cb;
}

CDynamicDocTemplate::Confidence CDynamicDocTemplate::MatchDocType(const std::string& path,
                                                                  const std::vector<std::string>& openPaths,
                                                                  int& match) const {
    match = -1;
    try {
        Xml::XmlDocument xml;
        if (!xml.Load(path)) return noAttempt;
        const char* native = nullptr;
        switch (kind_) {
            case 1: native = "Profile"; break;
            case 2: native = "Diet"; break;
            default: return noAttempt;
        }
        // A file already open comes forward whatever its root: opening it twice would let two
        // windows overwrite each other's changes.
        for (std::size_t i = 0; i < openPaths.size(); ++i)
            if (SamePath(openPaths[i], path)) {
                match = static_cast<int>(i);
                return yesAlreadyOpen;
            }
        if (xml.Root().TagName() != native) return yesAttemptForeign;
        return EndsWith(path, kExtension) ? yesAttemptNative : yesAttemptForeign;
    } catch (const std::exception&) {
        return noAttempt;
    }
}
