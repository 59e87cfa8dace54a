#pragma once

#include "ReportDocument.h"

#include "core/xml/Xml.h"
#include "refdata/FoodKey.h"

#include <optional>
#include <string>
#include <vector>

class CDataSourceMgr;
namespace NS_Data {
class CUserLog;
}

// Reports: a document transformed into HTML by a template of the application folder, written to
// export.htm there and opened in the browser; and the XML export of a whole profile.
namespace Report {

// The application folder's "export.htm" and "export.xml".
std::string OutputFile();
std::string ExportFile();
// A file:// URL of an absolute path, with every byte a URL could misread percent-encoded.
std::string FileUrl(const std::string& path);

// Where the template ("/xslt/HTML.xsl") is read from: the application folder's, else the one
// the program came with.
std::string TemplateFile(const std::string& templatePath);

// Asks the shell to open the file (at `fragment`, when given) in the browser. False, after
// telling the user with the file's path, when the file is missing or no program took it.
bool OpenInBrowser(const std::string& path, const std::string& fragment = {});

// The HTML that the template (a path below the application folder) makes of the document.
// nullopt when the template does not load (the user is told "Can't load template: " and the
// path) or the transformation fails (the style sheet and the document go to log.txt, and the
// user is told).
std::optional<std::string> ApplyTemplate(const std::string& templatePath, const Xml::XmlDocument& data);
// The same for the log's report document, built for that template once the template has loaded.
std::optional<std::string> ApplyTemplate(const std::string& templatePath, const NS_Data::CUserLog& log);

// ApplyTemplate, then WriteAndOpenHtml; false when no page was opened.
bool RunTemplate(const std::string& templatePath, const Xml::XmlDocument& data);
bool RunTemplate(const std::string& templatePath, const NS_Data::CUserLog& log);

// Replaces export.htm with the text and opens it in the browser; false, after telling the user,
// when the file can't be written or shown.
bool WriteAndOpenHtml(const std::string& text);

// The food comparison of the listed foods through FoodCompare.xsl.
bool CompareFoods(const CDataSourceMgr& source, const std::vector<FoodKey>& foods);

// Writes the profile document to export.xml and opens it in the browser; a failure to show it is
// explained to the user. Raises Xml::XmlError when the file can't be written.
void ExportXml(Xml::XmlDocument& profileDocument);

// What a shell error code means; null for an answer that is no error.
const char* ShellErrorText(int code);

}  // namespace Report
