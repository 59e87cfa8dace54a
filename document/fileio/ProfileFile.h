#pragma once

#include "core/FileUtil.h"
#include "core/xml/Xml.h"

#include <string>

class CSingleDayDocData;

// The file chooser's filter for profiles, for opening and saving alike.
inline constexpr const char* kProfileFileFilter =
    "Velmora xml file (*.vlx)|*.vlx|eXtensible Markup Language file (*.xml)|*.xml|All Files (*.*)|*.*||";

// The root every document of the program carries: "root" with "app" = "velmora", the document's
// "type" and "version", appended to the (new, empty) document and returned.
Xml::XmlElement CreateDocumentRoot(Xml::XmlDocument& doc, const std::string& type, const Xml::XmlValue& version);

// The whole profile file in memory: the root of type "profile", version 1, and the data under it.
void BuildProfileDocument(const CSingleDayDocData& data, Xml::XmlDocument& doc);

// Writes the file BuildProfileDocument, Indent and Save would write, byte for byte, through a
// temporary file renamed over the old one. The days are turned into text a few at a time, so a
// log of many years never stands in memory as one document tree. Raises an exception with the
// reason on failure; the old file is then left as it was. The file being replaced stays beside
// the new one as ProfileBackupPath(path), so a bad save or a bad edit can be undone by hand. A
// profile reached through a symbolic link is written where the link leads. `options` adds the
// caller's part of the write (a last check before the replacement, the new file's stamp).
void WriteProfileFile(const CSingleDayDocData& data, const std::string& path, FileUtil::WriteOptions options = {});

// Where the previous version of a saved profile is kept: its path with "~" appended.
std::string ProfileBackupPath(const std::string& path);

// Reads a profile (or an older "Diet" document) into the data, starting from an empty load
// report. On failure `error` receives "Can't open file:\n" + path + "\n" + the reason when the
// file could not be read as XML or lacks required data, or "Can't load file:\n" + path + "\n"
// when it is not a profile. The data is then partly filled and should be discarded. `stamp`, when
// given, receives the stamp of the very file that was parsed.
bool ReadProfileFile(CSingleDayDocData& data, const std::string& path, std::string& error,
                     FileUtil::FileStamp* stamp = nullptr);
