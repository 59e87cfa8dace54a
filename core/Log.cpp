#include "Log.h"

#include <boost/date_time/posix_time/posix_time.hpp>

#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include <sys/stat.h>

namespace {

// Only a regular file (or none yet) takes the log: opening a FIFO would hold the program until
// something read it, and a device or folder is not the log's to write into.
bool MayAppendTo(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

std::string& Folder() {
    static std::string folder;
    return folder;
}

std::map<std::string, std::shared_ptr<CU_Log>>& Registry() {
    static std::map<std::string, std::shared_ptr<CU_Log>> logs;
    return logs;
}

}  // namespace

CU_Log::CU_Log(const std::string& path) {
    if (MayAppendTo(path)) file_.open(path, std::ios_base::out | std::ios_base::app);
}

bool CU_Log::Write(int level, const std::string& text) {
    if (level > threshold) return true;
    std::ostream& out = file_.is_open() ? static_cast<std::ostream&>(file_) : std::cout;
    out << LogDetail::FormatLine(level, boost::posix_time::microsec_clock::local_time(), text) << '\n';
    out.flush();
    return true;
}

CU_Log* GetLog(const std::string& name) {
    if (Folder().empty()) throw std::logic_error("Log system is not initialized.");
    auto& logs = Registry();
    auto it = logs.find(name);
    if (it == logs.end()) it = logs.emplace(name, std::make_shared<CU_Log>(Folder() + name)).first;
    return it->second.get();
}

void SetLogFolder(const std::string& folder) {
    if (folder == Folder()) return;
    Folder() = folder;
    // Logs of the old folder would go on writing there. They stay alive, as callers may still
    // hold them, but the next request opens the file in the new folder.
    static std::vector<std::shared_ptr<CU_Log>> retired;
    for (auto& [name, log] : Registry()) retired.push_back(std::move(log));
    Registry().clear();
}

const std::string& GetLogFolder() { return Folder(); }

namespace LogDetail {

std::string FormatLine(int level, const boost::posix_time::ptime& time, const std::string& text) {
    static const char* const names[] = {"EVT", "", "ERR", "WRN", "TRC", "DBG", "TIME"};
    const char* name = level >= 0 && level <= 6 ? names[level] : "";
    std::string line = "[";
    line += name;
    line += "] ";
    line += boost::posix_time::to_iso_string(time);
    line += " : ";
    line += text;
    return line;
}

}  // namespace LogDetail
