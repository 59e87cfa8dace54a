#pragma once

#include <boost/date_time/posix_time/ptime.hpp>

#include <fstream>
#include <string>

// Append-only, levelled log files in the application folder. Lower levels are more important; a
// line is written when its level is at most the log's threshold.
class CU_Log {
public:
    enum Level { EVT = 0, NONE = 1, ERR = 2, WRN = 3, TRC = 4, DBG = 5, TIME = 6 };

    explicit CU_Log(const std::string& path);
    CU_Log(const CU_Log&) = delete;
    CU_Log& operator=(const CU_Log&) = delete;

    // Always true; write failures are not reported, as a log has nowhere to report them.
    bool Write(int level, const std::string& text);
    bool IsOpen() const { return file_.is_open(); }

    int threshold = 4;

private:
    std::ofstream file_;
};

// The registered log of that file name, created (and its file opened) on first request. Raises
// std::logic_error "Log system is not initialized." before SetLogFolder.
CU_Log* GetLog(const std::string& name);
inline CU_Log* GetLog(const char* name) { return GetLog(std::string(name ? name : "")); }

// Set once at start-up; `folder` ends with a path separator. Setting another folder makes the
// next GetLog open its file there.
void SetLogFolder(const std::string& folder);
const std::string& GetLogFolder();

namespace LogDetail {
// "[" + level name + "] " + YYYYMMDDTHHMMSS[.ffffff] + " : " + text, without the line end.
std::string FormatLine(int level, const boost::posix_time::ptime& time, const std::string& text);
}  // namespace LogDetail
