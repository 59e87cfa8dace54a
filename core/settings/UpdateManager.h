#pragma once

#include "ConfigManager.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <optional>

namespace Settings {
class CSettingsMgr;
}

namespace Update {

// Section "Update": how often the update page is opened, and when it last was.
class UpdateManager : public Config::ConfigManager {
public:
    // "never", "month", "week" or "day"; "month" when absent.
    std::string TimeInterval() const;
    // MM/DD/YY; "07/03/10" when absent.
    std::string LastCheckDate() const;

    void GetChoices(const std::string& name, std::vector<std::string>& choices) const override;

    // Whether an update check is due today (never without force when the interval is "never");
    // when it is (always, with force), "Last Check Date" is stamped with today's date.
    bool IsCheckDue(bool force);
};

// Today's date in the MM/DD/YY form of "Last Check Date".
std::string FormatCheckDate(boost::gregorian::date d);
// MM/DD/YY back to a date (two-digit years are 2000-2069 and 1970-1999); nullopt when malformed.
std::optional<boost::gregorian::date> ParseCheckDate(const std::string& text);

// The vendor's update page, told the program version and the user ID.
std::string BuildUpdateUrl(const std::string& version, const std::string& userId);

// Opens the update page through the shell service, stamps the date and writes the settings.
void CheckForUpdate(UpdateManager& update, Settings::CSettingsMgr& settings, const std::string& userId);

}  // namespace Update
