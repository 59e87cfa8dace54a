#include "SettingsMgr.h"

#include "core/AppDir.h"
#include "core/FileUtil.h"
#include "core/LoadReport.h"
#include "core/Services.h"
#include "core/xml/Xml.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace Settings {

namespace {

std::string Format(const char* fmt, const std::string& a, const std::string& b, const std::string& c = {}) {
    int n = std::snprintf(nullptr, 0, fmt, a.c_str(), b.c_str(), c.c_str());
    std::string out(static_cast<std::size_t>(n), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, a.c_str(), b.c_str(), c.c_str());
    return out;
}

constexpr const char* kRoot = "settings";

struct ReadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The reader's error without the path it starts with (the message names the file once), and a
// parser's "LINE:COLUMN: what" spelt out.
std::string ReasonWithoutPath(const std::string& error, const std::string& path) {
    std::string reason = error;
    for (const std::string& prefix : {"Can't read file " + path + ": ", path + ": ", path + ":"}) {
        if (reason.rfind(prefix, 0) == 0) {
            reason.erase(0, prefix.size());
            break;
        }
    }
    const auto lineEnd = reason.find(':');
    const auto columnEnd = lineEnd == std::string::npos ? lineEnd : reason.find(':', lineEnd + 1);
    const auto digits = [&reason](std::size_t from, std::size_t to) {
        return to > from && reason.find_first_not_of("0123456789", from) >= to;
    };
    if (columnEnd != std::string::npos && digits(0, lineEnd) && digits(lineEnd + 1, columnEnd)) {
        std::string what = reason.substr(columnEnd + 1);
        if (!what.empty() && what.front() == ' ') what.erase(0, 1);
        const std::string line = reason.substr(0, lineEnd);
        const std::string column = reason.substr(lineEnd + 1, columnEnd - lineEnd - 1);
        reason = "line " + line + ", column " + column + ": " + what;
    }
    return reason;
}

}  // namespace

CSettingsMgr::CSettingsMgr() : appDir_(AppDir::Get()) {}

CSettingsMgr::CSettingsMgr(std::string appDir) : appDir_(std::move(appDir)) {}

bool CSettingsMgr::AddSection(const std::string& name, Config::ConfigManager* section) {
    sections_.emplace_back(name, section);
    return true;
}

void CSettingsMgr::ResetSections() {
    for (auto& [name, section] : sections_) {
        section->SetModified(false);
        section->SetName(name);
        section->ClearChildren();
    }
}

void CSettingsMgr::LoadSections(const Xml::XmlElement& root) {
    for (auto& [name, section] : sections_) {
        Xml::XmlElement element = root.SelectSingleNode("section[@name='" + name + "']");
        if (!element) continue;
        try {
            section->Load(element);
        } catch (const std::exception& e) {
            throw ReadFailure("section \"" + name + "\": " + e.what());
        }
    }
}

bool CSettingsMgr::LoadSettings() {
    const std::string path = ConfigPath();
    LoadReport::Clear();
    ResetSections();
    std::error_code ec;
    const bool present = std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    std::string reason;
    try {
        Xml::XmlDocument doc;
        if (!doc.Load(path)) throw ReadFailure(ReasonWithoutPath(doc.ParseError(), path));
        Xml::XmlElement root = doc.Root();
        // A file whose root is something else is not settings written by the program (a profile
        // saved under the wrong name, say); it must not be taken for empty settings and replaced.
        if (root.TagName() != kRoot)
            throw ReadFailure("the root element is <" + root.TagName() + ">, not <" + kRoot + ">");
        LoadSections(root);
    } catch (const std::exception& e) {
        reason = e.what();
    }
    LoadReport::Clear();
    readError_ = !reason.empty();
    keepUnreadable_ = readError_ && present;
    if (!readError_) return true;

    ResetSections();
    std::string message = "Error reading config file: " + path + "\n" + reason;
    if (keepUnreadable_) {
        Xml::XmlDocument installed;
        if (installed.LoadXml(kInstalledConfig)) {
            try {
                LoadSections(installed.Root());
            } catch (const std::exception&) {
                ResetSections();
            }
        }
        message += "\nThe program runs on the installed settings; the file is kept as it is.";
    }
    Services::Prompt().Message(message);
    return false;
}

std::string CSettingsMgr::MoveAside() const { return FileUtil::MoveAside(ConfigPath()); }

bool CSettingsMgr::SaveSettings() {
    const std::string path = ConfigPath();
    if (keepUnreadable_) {
        std::string aside;
        try {
            aside = MoveAside();
        } catch (const FileUtil::FileError& e) {
            Services::Prompt().Message(Format("Can't save settings:\n%s\n%s", path, e.what()));
            return false;
        }
        keepUnreadable_ = false;
        if (!aside.empty()) {
            Services::Prompt().Message("The settings file " + path + " could not be read; it was kept as " + aside +
                                       ".");
        }
    }
    try {
        Xml::XmlDocument doc;
        Xml::XmlElement root = doc.CreateElement(kRoot);
        doc.AppendChild(root);
        for (auto& [name, section] : sections_) section->Save(root);
        doc.Indent();
        doc.Save(path);
    } catch (const Xml::XmlError& e) {
        Services::Prompt().Message(Format("Can't save settings:\n%s\n%s", path, e.what()));
        return false;
    } catch (const std::exception&) {
        Services::Prompt().Message("Can't save settings: Unknown error.");
        return false;
    }
    for (auto& entry : sections_) entry.second->SetModified(false);
    return true;
}

bool CSettingsMgr::IsModified() const {
    for (const auto& entry : sections_)
        if (entry.second->IsModified()) return true;
    return false;
}

}  // namespace Settings
