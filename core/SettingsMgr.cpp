#include "SettingsMgr.h"

#include "AppDir.h"
#include "LoadReport.h"
#include "Services.h"
#include "Xml.h"

#include <cstdio>

namespace Settings {

namespace {

std::string Format(const char* fmt, const std::string& a, const std::string& b, const std::string& c = {}) {
    int n = std::snprintf(nullptr, 0, fmt, a.c_str(), b.c_str(), c.c_str());
    std::string out(static_cast<std::size_t>(n), '\0');
    std::snprintf(out.data(), out.size() + 1, fmt, a.c_str(), b.c_str(), c.c_str());
    return out;
}

}  // namespace

CSettingsMgr::CSettingsMgr() : appDir_(AppDir::Get()) {}

CSettingsMgr::CSettingsMgr(std::string appDir) : appDir_(std::move(appDir)) {}

bool CSettingsMgr::AddSection(const std::string& name, Config::ConfigManager* section) {
    sections_.emplace_back(name, section);
    return true;
}

bool CSettingsMgr::LoadSettings() {
    const std::string path = ConfigPath();
    LoadReport::Clear();
    try {
        Xml::XmlDocument doc;
        LoadReport::AddUnique("Progres", "Document created");
        doc.SetProperty("SelectionLanguage", "XPath");
        LoadReport::AddUnique("Progres", "Selection langguage set.");
        if (!doc.Load(path)) LoadReport::AddUnique("Load failed", "");

        for (auto& [name, section] : sections_) {
            section->SetModified(false);
            section->SetName(name);
            section->ClearChildren();
        }
        Xml::XmlElement root = doc.Root();
        for (auto& [name, section] : sections_) {
            const std::string sectionPath = "section[@name='" + name + "']";
            LoadReport::AddUnique("Loading section", sectionPath);
            Xml::XmlElement element = root.SelectSingleNode(sectionPath);
            if (element) section->Load(element);
        }
        LoadReport::Clear();
    } catch (const Xml::XmlError& e) {
        Services::Prompt().Message(
            Format("Error reading config file: %s\n%s\n%s", path, LoadReport::FormatLost("", "\t", "\n"), e.what()));
        LoadReport::Clear();
    } catch (const std::exception&) {
        Services::Prompt().Message(
            Format("Error reading config file: %s\n%s", path, LoadReport::FormatLost("", "\t", "\n")));
        LoadReport::Clear();
    }
    return true;
}

bool CSettingsMgr::SaveSettings() {
    const std::string path = ConfigPath();
    try {
        Xml::XmlDocument doc;
        Xml::XmlElement root = doc.CreateElement("settings");
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
