#include "ProfileFile.h"

#include "SingleDayDocData.h"

#include "core/FileUtil.h"

#include <exception>
#include <fstream>
#include <string_view>

Xml::XmlElement CreateDocumentRoot(Xml::XmlDocument& doc, const std::string& type, const Xml::XmlValue& version) {
    Xml::XmlElement root = doc.CreateElement("root");
    root.SetAttribute("app", "velmora");
    root.SetAttribute("type", type);
    root.SetAttribute("version", version);
    doc.AppendChild(root);
    return root;
}

void BuildProfileDocument(const CSingleDayDocData& data, Xml::XmlDocument& doc) {
    data.Save(CreateDocumentRoot(doc, "profile", 1));
}

namespace {

// How many days go into one tree before they are turned into text.
constexpr std::size_t kDaysPerChunk = 8;

// The log's "Log" element as the whole document writes it when no day has data.
constexpr std::string_view kEmptyLog = "\n    <Log/>\n";

// The text of the non-empty days as they stand inside the profile's "Log" element: each chunk of
// days is written under a "Log" of its own and serialised, and its lines, without that element's
// own first and last line, are moved to the depth of the profile's "Log".
std::string DaysText(const NS_Data::CUserLog& log) {
    std::string text;
    std::size_t next = 0;
    while (next < log.days.size()) {
        Xml::XmlDocument chunk;
        Xml::XmlElement root = chunk.CreateElement("Log");
        chunk.AppendChild(root);
        for (std::size_t n = 0; next < log.days.size() && n < kDaysPerChunk; ++next)
            if (!log.days[next]->IsEmpty()) {
                log.days[next]->Save(root);
                ++n;
            }
        const std::string dumped = root.GetXml();
        const std::size_t first = dumped.find('\n');
        const std::size_t last = dumped.rfind('\n');
        if (first == std::string::npos || last == first) continue;  // "<Log/>": nothing in this chunk
        // Day elements hold only attributes and child elements, never text, so every line break
        // in the dump is one of the serialiser's own and may be indented.
        for (std::size_t line = first + 1; line <= last;) {
            const std::size_t end = dumped.find('\n', line);
            text.append("    ");
            text.append(dumped, line, end - line + 1);
            line = end + 1;
        }
    }
    return text;
}

}  // namespace

void WriteProfileFile(const CSingleDayDocData& data, const std::string& path) {
    // Everything but the days, in one small tree. The copy of the log is small: its days and
    // foods are shared, and the days are dropped from it at once.
    NS_Data::CUserLog withoutDays = data.log;
    withoutDays.days.clear();
    Xml::XmlDocument doc;
    Xml::XmlElement root = CreateDocumentRoot(doc, "profile", 1);
    CSingleDayDocData::SaveParts(withoutDays, data.gridLayouts, data.meals, root);
    doc.Indent();
    std::string text = doc.GetXml();

    const std::string days = DaysText(data.log);
    if (!days.empty()) {
        const std::size_t at = text.find(kEmptyLog);
        if (at == std::string::npos) throw Xml::XmlError(Xml::XmlError::Io, "Can't place the days in " + path);
        std::string whole;
        whole.reserve(text.size() + days.size() + 32);
        whole.append(text, 0, at).append("\n    <Log>\n").append(days).append("    </Log>\n");
        whole.append(text, at + kEmptyLog.size());
        text = std::move(whole);
    }
    try {
        FileUtil::WriteFileAtomic(path, text, ProfileBackupPath(path));
    } catch (const FileUtil::FileError& e) {
        throw Xml::XmlError(Xml::XmlError::Io, e.what());
    }
}

std::string ProfileBackupPath(const std::string& path) { return path + "~"; }

bool ReadProfileFile(CSingleDayDocData& data, const std::string& path, std::string& error) {
    const std::string cantOpen = "Can't open file:\n" + path;
    try {
        Xml::XmlDocument doc;
        // Load opens nothing but a regular file: a stream opened here first would wait for ever
        // on a FIFO.
        if (!doc.Load(path)) {
            error = cantOpen;
            return false;
        }
        if (!data.Load(doc.Root())) {
            error = "Can't load file:\n" + path + "\n";
            return false;
        }
        return true;
    } catch (const Xml::XmlError& e) {
        std::string reason = e.what();
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
        error = cantOpen + "\n" + reason;
    } catch (...) {
        error = cantOpen;
    }
    return false;
}
