#include "ProfileFile.h"

#include "SingleDayDocData.h"

#include <exception>
#include <fstream>

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

bool ReadProfileFile(CSingleDayDocData& data, const std::string& path, std::string& error) {
    const std::string cantOpen = "Can't open file:\n" + path;
    try {
        Xml::XmlDocument doc;
        // A file that can't be opened is reported here rather than by the parser, which would
        // also print its own warning.
        if (!std::ifstream(path, std::ios::binary) || !doc.Load(path)) {
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
