#include "Version.h"
#include "core/settings/SettingsMgr.h"
#include "core/settings/UpdateManager.h"

#include "support/FakeServices.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using boost::gregorian::date;

namespace {

// An "Update" section with the given interval and last check date.
std::unique_ptr<Update::UpdateManager> Section(const std::string& interval, const std::string& last) {
    Xml::XmlDocument doc;
    EXPECT_TRUE(doc.LoadXml("<section name='Update'><param name='Time Interval' type='choice'><value>" + interval +
                            "</value></param><param name='Last Check Date' type='info'><value>" + last +
                            "</value></param></section>"));
    auto update = std::make_unique<Update::UpdateManager>();
    update->Load(doc.Root());
    return update;
}

}  // namespace

struct DueCase {
    const char* interval;
    const char* last;
    date today;
    bool due;
};

class UpdateCheckDue : public ::testing::TestWithParam<DueCase> {};

TEST_P(UpdateCheckDue, ComparesRealDates) {
    const DueCase& c = GetParam();
    ScopedClock clock(c.today);
    auto update = Section(c.interval, c.last);
    EXPECT_EQ(c.due, update->IsCheckDue(false));
    EXPECT_EQ(c.due ? Update::FormatCheckDate(c.today) : std::string(c.last), update->LastCheckDate());
}

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateCheckDue,
    ::testing::Values(
        DueCase{"month", "03/15/11", date(2011, 4, 14), false}, DueCase{"month", "03/15/11", date(2011, 4, 15), true},
        DueCase{"month", "03/15/11", date(2011, 5, 1), true}, DueCase{"week", "03/28/11", date(2011, 4, 3), false},
        DueCase{"week", "03/28/11", date(2011, 4, 4), true}, DueCase{"week", "03/28/11", date(2011, 4, 5), true},
        DueCase{"day", "03/28/11", date(2011, 3, 28), false}, DueCase{"day", "03/28/11", date(2011, 3, 29), true},
        // A month later on the same day of the month is a later date, so a daily check is due.
        DueCase{"day", "03/28/11", date(2011, 4, 28), true},
        // Across the year end: due as soon as a month or a week has really passed.
        DueCase{"month", "12/20/10", date(2011, 1, 19), false}, DueCase{"month", "12/20/10", date(2011, 1, 25), true},
        DueCase{"week", "12/28/10", date(2011, 1, 4), true}, DueCase{"week", "12/28/10", date(2011, 1, 3), false},
        // Month ends: one month after January 31st is the last day of February.
        DueCase{"month", "01/31/11", date(2011, 2, 27), false}, DueCase{"month", "01/31/11", date(2011, 2, 28), true},
        // Unknown intervals are monthly; unreadable or future stamps make the check due.
        DueCase{"fortnight", "03/15/11", date(2011, 4, 14), false},
        DueCase{"month", "13/45/11", date(2011, 4, 1), true}, DueCase{"month", "05/01/30", date(2026, 12, 10), true},
        DueCase{"month", "", date(2026, 12, 10), true}, DueCase{"month", "1/1/11", date(2011, 1, 2), true},
        // "never": only "Software Update" opens the page, whatever the stamp says.
        DueCase{"never", "03/15/11", date(2026, 12, 10), false}, DueCase{"never", "", date(2026, 12, 10), false},
        DueCase{"never", "13/45/11", date(2011, 4, 1), false}));

TEST(UpdateCheck, ForcedOrWithoutStamp) {
    ScopedClock clock(date(2026, 12, 10));
    auto update = Section("day", "12/10/26");
    EXPECT_FALSE(update->IsCheckDue(false));
    EXPECT_TRUE(update->IsCheckDue(true));
    EXPECT_EQ("12/10/26", update->LastCheckDate());

    Update::UpdateManager bare;  // no parameters: the defaults say a month since 07/03/10
    EXPECT_TRUE(bare.IsCheckDue(false));
    EXPECT_EQ("07/03/10", bare.LastCheckDate());  // nothing to stamp
    EXPECT_TRUE(bare.Children().empty());

    std::vector<std::string> choices;
    bare.GetChoices("Time Interval", choices);
    EXPECT_THAT(choices, ::testing::ElementsAre("never", "month", "week", "day"));

    auto never = Section("never", "01/01/20");
    EXPECT_FALSE(never->IsCheckDue(false));
    EXPECT_TRUE(never->IsCheckDue(true));
    EXPECT_EQ("12/10/26", never->LastCheckDate());
}

TEST(UpdateCheck, OpensThePageStampsAndSaves) {
    TempDir dir;
    RecordingPrompt prompt;
    RecordingShell shell;
    ScopedClock clock(date(2026, 12, 10));
    auto update = Section("month", "01/01/26");
    Settings::CSettingsMgr settings(dir.Path().string());
    settings.AddSection("Update", update.get());

    Update::CheckForUpdate(*update, settings, "{0A1B2C3D-0000-4000-8000-00000000ABCD}");
    ASSERT_EQ(1u, shell.opened.size());
    EXPECT_EQ(std::string("https://www.orrindale.com/update/update.php?version=") + GetProgramVersion() +
                  "&user={0A1B2C3D-0000-4000-8000-00000000ABCD}",
              shell.opened[0]);
    EXPECT_STREQ("2.0.2", GetProgramVersion());
    EXPECT_THAT(dir.Read("config.xml"), ::testing::HasSubstr("<value>12/10/26</value>"));
    EXPECT_TRUE(prompt.messages.empty());
}
