#include "UpdateManager.h"

#include "SettingsMgr.h"
#include "Version.h"
#include "core/Services.h"

#include <boost/date_time/gregorian/gregorian.hpp>

#include <cstdio>

namespace Update {

namespace {

constexpr const char* kTimeInterval = "Time Interval";
constexpr const char* kLastCheckDate = "Last Check Date";
constexpr const char* kUpdatePage = "https://www.orrindale.com/update/update.php";

}  // namespace

std::string UpdateManager::TimeInterval() const {
    const Param* p = FindChild(kTimeInterval);
    return p ? p->Value() : "month";
}

std::string UpdateManager::LastCheckDate() const {
    const Param* p = FindChild(kLastCheckDate);
    return p ? p->Value() : "07/03/10";
}

void UpdateManager::GetChoices(const std::string& name, std::vector<std::string>& choices) const {
    if (name == kTimeInterval) {
        choices.emplace_back("never");
        choices.emplace_back("month");
        choices.emplace_back("week");
        choices.emplace_back("day");
    }
}

bool UpdateManager::IsCheckDue(bool force) {
    using namespace boost::gregorian;
    const date today = Services::Today();
    bool due = true;
    const std::string last = LastCheckDate();
    // Only the user asks then ("Software Update" forces the check).
    if (!force && TimeInterval() == "never") return false;
    if (!force && last.size() > 6) {
        // Real dates, so that a check made in December is due again in January.
        if (auto lastDate = ParseCheckDate(last); lastDate && *lastDate <= today) {
            const std::string interval = TimeInterval();
            if (interval == "day")
                due = today > *lastDate;
            else if (interval == "week")
                due = (today - *lastDate).days() >= 7;
            else
                due = today >= *lastDate + months(1);
        }
    }
    if (due) {
        if (Param* p = FindChild(kLastCheckDate)) p->SetValue(FormatCheckDate(today));
    }
    return due;
}

std::string FormatCheckDate(boost::gregorian::date d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", static_cast<int>(d.month()), static_cast<int>(d.day()),
                  static_cast<int>(d.year() % 100));
    return buf;
}

std::optional<boost::gregorian::date> ParseCheckDate(const std::string& text) {
    if (text.size() != 8 || text[2] != '/' || text[5] != '/') return std::nullopt;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (text[static_cast<std::size_t>(i)] < '0' || text[static_cast<std::size_t>(i)] > '9') return std::nullopt;
    const int month = std::stoi(text.substr(0, 2));
    const int day = std::stoi(text.substr(3, 2));
    const int yy = std::stoi(text.substr(6, 2));
    try {
        return boost::gregorian::date(static_cast<unsigned short>(yy < 70 ? 2000 + yy : 1900 + yy),
                                      static_cast<unsigned short>(month), static_cast<unsigned short>(day));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string BuildUpdateUrl(const std::string& version, const std::string& userId) {
    return std::string(kUpdatePage) + "?version=" + version + "&user=" + userId;
}

void CheckForUpdate(UpdateManager& update, Settings::CSettingsMgr& settings, const std::string& userId) {
    Services::Shell().Open(BuildUpdateUrl(GetProgramVersion(), userId));
    update.IsCheckDue(true);
    settings.SaveSettings();
}

}  // namespace Update
