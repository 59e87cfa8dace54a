#include "support/FakeServices.h"

#include "core/AppDir.h"
#include "ui/dialogs/DlgExportCsv.h"
#include "ui/dialogs/DlgSaveProfile.h"
#include "ui/dialogs/DlgSelectDate.h"
#include "ui/dialogs/DlgSelectProfile.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <boost/date_time/gregorian/gregorian.hpp>

namespace {

using Services::Answer;

std::vector<std::string> Shown(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

TEST(SelectProfile, ListsTheNamesSortedAndAnswersTheChosenOne) {
    RecordingPrompt prompt;
    DlgSelectProfile dialog({"zed", "Ann", "bob"}, "/nowhere");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Profile"));
    EXPECT_EQ(Shown(dialog.List()), (std::vector<std::string>{"Ann", "bob", "zed"}));
    dialog.List()->setCurrentRow(2);
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenName(), "zed");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(SelectProfile, OkWithoutASelectedLineAsksForOne) {
    RecordingPrompt prompt;
    DlgSelectProfile dialog({"Ann"}, "/nowhere");
    dialog.show();
    dialog.OkButton()->click();
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Please select profile."});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.ChosenName().empty());
}

TEST(SelectProfile, WithoutProfilesOkIsDisabled) {
    DlgSelectProfile dialog({}, "/nowhere");
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
}

TEST(SelectProfile, HelpOpensTheStartPageOfTheApplicationFolder) {
    RecordingShell shell;
    DlgSelectProfile dialog({"Ann"}, "/opt/velmora");
    dialog.findChildren<QPushButton*>().at(2)->click();
    EXPECT_EQ(shell.opened,
              std::vector<std::string>{"file://" + AppDir::ExecutableDir() + "/help/start/start_main.htm"});
}

TEST(SelectProfile, ResizingKeepsTheButtonsTenPixelsFromTheRightEdge) {
    DlgSelectProfile dialog({"Ann"}, "/nowhere");
    dialog.show();
    dialog.resize(500, 320);
    QTest::qWait(0);
    const QPushButton* ok = dialog.OkButton();
    EXPECT_EQ(ok->geometry().right() + 1, 500 - 10);
    EXPECT_EQ(dialog.List()->geometry(), QRect(10, 10, ok->x() - 20, 320 - 20));
}

struct SaveCase {
    const char* name;
    const char* typed;
    std::deque<Answer> answers;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool saved;
};

class SaveProfile : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveProfile, AcceptsOnlyUsableNames) {
    const SaveCase& c = GetParam();
    RecordingPrompt prompt;
    prompt.answers = c.answers;
    DlgSaveProfile dialog({"Ann", "Bob"});
    dialog.show();
    dialog.NameEdit()->setText(QString::fromUtf8(c.typed));
    dialog.SaveButton()->click();
    EXPECT_EQ(prompt.messages, c.messages);
    EXPECT_EQ(prompt.questions, c.questions);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.saved);
    EXPECT_EQ(dialog.ChosenName(), c.saved ? std::string(c.typed) : std::string());
    // A refused name stays in the edit for the user to correct.
    EXPECT_EQ(dialog.NameEdit()->text().toStdString(), c.typed);
}

INSTANTIATE_TEST_SUITE_P(
    , SaveProfile,
    ::testing::Values(
        SaveCase{"Empty", "", {}, {"Please select profile name."}, {}, false},
        SaveCase{"WordsAndDigits", "Ann Lee 2", {}, {}, {}, true},
        SaveCase{"FullStop", "Ann.Lee", {Answer::Ok}, {}, {"Profile name does not support: '.' character"}, false},
        SaveCase{
            "Underscore", "Ann_Lee", {Answer::Cancel}, {}, {"Profile name does not support: '_' character"}, false},
        SaveCase{"Slash", "x/Ann", {}, {}, {"Profile name does not support: '/' character"}, false},
        SaveCase{"OutsideAscii", "Zo\xC3\xAB", {}, {}, {"Profile name does not support: '\xC3\xAB' character"}, false},
        SaveCase{"ExistingCancelled", "Ann", {Answer::Cancel}, {}, {"Existing profile will be replaced."}, false},
        SaveCase{"ExistingReplaced", "Bob", {Answer::Ok}, {}, {"Existing profile will be replaced."}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveProfileList, DoubleClickCopiesTheNameAndSavingItAsksToReplace) {
    RecordingPrompt prompt;
    prompt.answers = {Answer::Ok};
    DlgSaveProfile dialog({"Bob", "Ann"});
    dialog.show();
    EXPECT_EQ(Shown(dialog.List()), (std::vector<std::string>{"Ann", "Bob"}));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QListWidget* list = dialog.List();
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Bob"));
    dialog.SaveButton()->click();
    EXPECT_EQ(prompt.questions, std::vector<std::string>{"Existing profile will be replaced."});
    EXPECT_EQ(dialog.ChosenName(), "Bob");
}

TEST(SelectDate, OpensOnTodayAndAnswersTheChosenDayAsDateKey) {
    ScopedClock clock(boost::gregorian::date(2011, 3, 5));
    DlgSelectDate dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Date"));
    EXPECT_EQ(dialog.Calendar()->selectedDate(), QDate(2011, 3, 5));
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.DateKey(), "20110305");

    DlgSelectDate other;
    other.Calendar()->setSelectedDate(QDate(2011, 12, 31));
    other.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(other.DateKey(), "20111231");
}

TEST(SelectDate, CancelChoosesNothing) {
    DlgSelectDate dialog;
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.DateKey().empty());
}

TEST(ExportCsv, AnswersTheKindAndTheDaysAndRefusesARangeBackwards) {
    DlgExportCsv dialog("20240401", "20240430");
    EXPECT_FALSE(dialog.Entries());  // daily totals unless asked
    dialog.EntriesButton()->setChecked(true);
    dialog.FromEdit()->setDate(QDate(2024, 5, 2));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ErrorLabel()->text(), QStringLiteral("The first day lies after the last."));

    dialog.ToEdit()->setDate(QDate(2024, 5, 31));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Entries());
    EXPECT_EQ(dialog.From(), "20240502");
    EXPECT_EQ(dialog.To(), "20240531");
}

}  // namespace
