#include "Report.h"

#include "core/AppDir.h"
#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/Services.h"

#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace Report {

namespace {

// The program's message formats carry "%s" conversions; each takes the next text.
std::string FormatText(const std::string& format, std::initializer_list<std::string> args) {
    std::string out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

bool LoadTemplate(const std::string& templatePath, Xml::XmlDocument& sheet) {
    const std::string path = TemplateFile(templatePath);
    if (sheet.Load(path)) return true;
    Services::Prompt().Message("Can't load template: " + path);
    return false;
}

std::optional<std::string> Transform(const std::string& templatePath, const Xml::XmlDocument& sheet,
                                     const Xml::XmlDocument& data) {
    std::string html;
    try {
        if (data.Root().TransformNode(sheet.AsNode(), html)) return html;
        return std::nullopt;
    } catch (const Xml::XmlError& e) {
        GetLog("log.txt")->Write(
            CU_Log::ERR, "\nStyle sheet:\n" + sheet.Root().GetXml() + "\nXML Document:\n" + data.Root().GetXml());
        // Without a word the user would click the report again and again and see nothing happen.
        Services::Prompt().Message("Can't apply template: " + TemplateFile(templatePath) + "\n" + e.what());
        return std::nullopt;
    }
}

}  // namespace

std::string TemplateFile(const std::string& templatePath) { return AppDir::SharedFile(AppDir::Get(), templatePath); }

bool OpenInBrowser(const std::string& path, const std::string& fragment) {
    std::error_code ec;
    // A missing file would only show as an error page, or as nothing at all.
    int code = 2;
    if (std::filesystem::is_regular_file(path, ec))
        code = Services::Shell().OpenWithCode(FileUrl(path) + (fragment.empty() ? "" : "#" + fragment));
    const char* text = ShellErrorText(code);
    if (!text) return true;
    Services::Prompt().Message(FormatText("File %s could not be opened: %s ", {path, text}));
    return false;
}

std::string OutputFile() { return AppDir::Get() + "/export.htm"; }

std::string ExportFile() { return AppDir::Get() + "/export.xml"; }

std::string FileUrl(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                           c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0xF];
        }
    }
    return url;
}

std::optional<std::string> ApplyTemplate(const std::string& templatePath, const Xml::XmlDocument& data) {
    Xml::XmlDocument sheet;
    if (!LoadTemplate(templatePath, sheet)) return std::nullopt;
    return Transform(templatePath, sheet, data);
}

std::optional<std::string> ApplyTemplate(const std::string& templatePath, const NS_Data::CUserLog& log) {
    Xml::XmlDocument sheet;
    if (!LoadTemplate(templatePath, sheet)) return std::nullopt;
    Xml::XmlDocument data;
    BuildReportDocument(log, templatePath, data);
    return Transform(templatePath, sheet, data);
}

bool RunTemplate(const std::string& templatePath, const Xml::XmlDocument& data) {
    auto html = ApplyTemplate(templatePath, data);
    return html && WriteAndOpenHtml(*html);
}

bool RunTemplate(const std::string& templatePath, const NS_Data::CUserLog& log) {
    auto html = ApplyTemplate(templatePath, log);
    return html && WriteAndOpenHtml(*html);
}

bool WriteAndOpenHtml(const std::string& text) {
    const std::string path = OutputFile();
    // Replaced whole, so a browser reloading the previous report never reads half of the new one.
    try {
        FileUtil::WriteFileAtomic(path, text);
    } catch (const FileUtil::FileError&) {
        Services::Prompt().Message(FormatText("File could not be opened: %s ", {path}));
        return false;
    }
    return OpenInBrowser(path);
}

bool CompareFoods(const CDataSourceMgr& source, const std::vector<FoodKey>& foods) {
    Xml::XmlDocument doc;
    BuildFoodCompareDocument(source, foods, doc);
    return RunTemplate(kCompareTemplate, doc);
}

void ExportXml(Xml::XmlDocument& profileDocument) {
    profileDocument.Indent();
    const std::string path = ExportFile();
    profileDocument.Save(path);
    OpenInBrowser(path);
}

const char* ShellErrorText(int code) {
    switch (code) {
        case 0: return "The operating system is out of memory or resources.";
        case 2: return "The specified file was not found.";
        case 3: return "The specified path was not found.";
        case 5: return "The operating system denied access to the specified file.";
        case 8: return "There was not enough memory to complete the operation.";
        case 11: return "The .exe file is invalid (non-Win32 .exe or error in .exe image).";
        case 26: return "A sharing violation occurred";
        case 27: return "The file name association is incomplete or invalid.";
        case 28: return "The DDE transaction could not be completed because the request timed out.";
        case 29: return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not be completed because other DDE transactions were being processed.";
        case 31:
            return "There is no application associated with the given file name extension. This error will also be "
                   "returned if you attempt to print a file that is not printable.";
        case 32: return "The specified DLL was not found.";
        default: return nullptr;
    }
}

}  // namespace Report
