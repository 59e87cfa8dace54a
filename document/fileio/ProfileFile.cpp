#include "ProfileFile.h"

#include "document/SingleDayDocData.h"

#include "core/FileUtil.h"
#include "core/LoadReport.h"

#include <cstdio>
#include <exception>
#include <random>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

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

// Stands in "Log" for the days until they are put in as text. A file may hold any element among
// those kept for a later version, so the name carries a number no file can know beforehand.
std::string DaysMark() {
    static std::mt19937_64 random(std::random_device{}());
    return "velmora.days." + std::to_string(random());
}

// The text of the non-empty days as they stand inside the profile's "Log" element. Each chunk of
// days is written under a root, "Profile" and "Log" of its own, so that the serialiser indents
// them at their depth in the file, and the lines between that "Log"'s tags are taken as they are
// (text of kept elements included, which must not be indented again).
std::string DaysText(const NS_Data::CUserLog& log) {
    static constexpr std::string_view kOpen = "\n    <Log>\n";
    static constexpr std::string_view kClose = "    </Log>\n";
    std::string text;
    std::size_t next = 0;
    while (next < log.Days().size()) {
        Xml::XmlDocument chunk;
        Xml::XmlElement root = chunk.CreateElement("root");
        chunk.AppendChild(root);
        Xml::XmlElement logElement = root.AddElement("Profile").AddElement("Log");
        bool any = false;
        for (std::size_t n = 0; next < log.Days().size() && n < kDaysPerChunk; ++next)
            if (!log.Days()[next]->IsEmpty()) {
                log.Days()[next]->Save(logElement);
                any = true;
                ++n;
            }
        if (!any) continue;
        const std::string dumped = chunk.GetXml();
        const std::size_t open = dumped.find(kOpen);
        const std::size_t close = dumped.rfind(kClose);
        if (open == std::string::npos || close == std::string::npos || close < open + kOpen.size())
            throw Xml::XmlError(Xml::XmlError::Io, "Can't write the days of the profile");
        text.append(dumped, open + kOpen.size(), close - open - kOpen.size());
    }
    return text;
}

}  // namespace

void WriteProfileFile(const CSingleDayDocData& data, const std::string& path, FileUtil::WriteOptions options) {
    // Everything but the days, in one small tree.
    Xml::XmlDocument doc;
    Xml::XmlElement root = CreateDocumentRoot(doc, "profile", 1);
    data.SaveWithoutDays(root);
    const std::string days = DaysText(data.Log());
    // The days come last in "Log", as the log writes them.
    const std::string daysMark = DaysMark();
    if (!days.empty()) root.SelectSingleNode("Profile/Log").AddElement(daysMark);
    doc.Indent();
    std::string text = doc.GetXml();

    if (!days.empty()) {
        const std::string mark = "<" + daysMark + "/>\n";
        const std::size_t at = text.find(mark);
        const std::size_t lineStart = at == std::string::npos ? at : text.rfind('\n', at);
        if (lineStart == std::string::npos) throw Xml::XmlError(Xml::XmlError::Io, "Can't place the days in " + path);
        std::string whole;
        whole.reserve(text.size() + days.size());
        whole.append(text, 0, lineStart + 1).append(days).append(text, at + mark.size());
        text = std::move(whole);
    }
    try {
        // The backup goes beside the file that is written, which for a link is its target.
        options.backupPath = ProfileBackupPath(FileUtil::LinkTarget(path));
        FileUtil::WriteFileAtomic(path, text, options);
    } catch (const FileUtil::FileError& e) {
        throw Xml::XmlError(Xml::XmlError::Io, e.what());
    }
}

std::string ProfileBackupPath(const std::string& path) { return path + "~"; }

namespace {

// The reader's reason without the path the message names already; a parser's "LINE:COLUMN: what"
// is spelt out.
std::string ReasonOf(std::string reason, const std::string& path) {
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    for (const std::string& prefix : {"Can't read file " + path + ": ", path + ": ", path + ":"})
        if (reason.starts_with(prefix)) {
            reason.erase(0, prefix.size());
            break;
        }
    std::size_t line = 0;
    std::size_t column = 0;
    int used = 0;
    if (std::sscanf(reason.c_str(), "%zu:%zu: %n", &line, &column, &used) >= 2 && used > 0)
        reason = "Line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                 reason.substr(static_cast<std::size_t>(used));
    return reason;
}

}  // namespace

bool ReadProfileFile(CSingleDayDocData& data, const std::string& path, std::string& error, FileUtil::FileStamp* stamp) {
    // Notes of an earlier read (a file that failed, a paste) are not this file's.
    LoadReport::Clear();
    const std::string cantOpen = "Can't open file:\n" + path;
    // The notes of a file that is not opened belong to no profile.
    struct ClearUnlessRead {
        bool read = false;
        ~ClearUnlessRead() {
            if (!read) LoadReport::Clear();
        }
    } clearUnlessRead;
    try {
        Xml::XmlDocument doc;
        // The days are read as the parse reaches them, so the tree never holds the whole log.
        NS_Data::CUserLog::DaysReadAhead days;
        // The file is held open while the parser reads it by name: its inode can't be reused
        // meanwhile, so when the path still leads to it, unchanged, afterwards, the stamp taken
        // here is the stamp of what was parsed. A writer that replaced it in between makes the
        // read start again.
        FileUtil::FileStamp read;
        bool same = false;
        for (int attempt = 0; attempt < 8 && !same; ++attempt) {
            const FileUtil::ScopedFd pin{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
            read = pin.fd >= 0 ? FileUtil::StampOfOpen(pin.fd) : FileUtil::FileStamp{};
            days = {};
            if (!doc.Load(path, CSingleDayDocData::ReadAheadDays(days))) {
                error = cantOpen + "\n" + ReasonOf(doc.ParseError(), path);
                return false;
            }
            same = read.exists && FileUtil::StampOf(path) == read && FileUtil::StampOfOpen(pin.fd) == read;
        }
        if (!same) {
            error = cantOpen + "\nThe file kept changing while it was being read.";
            return false;
        }
        if (!data.Load(doc.Root(), &days)) {
            error = "Can't load file:\n" + path + "\n";
            return false;
        }
        if (stamp) *stamp = read;
        clearUnlessRead.read = true;
        return true;
    } catch (const Xml::XmlError& e) {
        error = cantOpen + "\n" + ReasonOf(e.what(), path);
    } catch (const std::exception& e) {
        error = cantOpen + "\n" + ReasonOf(e.what(), path);
    } catch (...) {
        error = cantOpen;
    }
    return false;
}
