#include "support/RunningApp.h"

#include "support/GermanLocale.h"

#include "ui/dialogs/DlgFactManager.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"

#include "core/AppDir.h"
#include "model/UserLog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Gui::CommandId;

std::vector<std::string> Column(const QTableWidget* list, int column) {
    std::vector<std::string> out;
    for (int row = 0; row < list->rowCount(); ++row) out.push_back(list->item(row, column)->text().toStdString());
    return out;
}

std::vector<std::string> Names(const NS_Data::CUserLog& log) {
    std::vector<std::string> out;
    for (const auto& fact : log.Facts().Definitions()) out.push_back(fact.name);
    return out;
}

// A profile with one fact of its own, "Waist" (target 80), measured on two days.
class FactManager : public ::testing::Test {
protected:
    static bool Prepare(NS_Data::CUserLog& log) {
        log.Facts().AddOrUpdate(UserLog::CFactReference("Waist", 80, "cm"));
        for (const char* date : {"20240501", "20240502"}) {
            log.Days()[log.InsertDay(date)]->SetFact("Waist", 81);
            log.Days()[log.FindDay(date)]->SetFact("Weight", 70);
        }
        return true;
    }

    void Select(int row) { dialog.List()->selectRow(row); }

    NS_Data::CUserLog log{nullptr, nullptr};
    bool prepared = Prepare(log);
    DlgFactManager dialog{log, "/opt/velmora"};
};

TEST_F(FactManager, ListsEveryDefinitionWithItsTarget) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Fact Manager"));
    EXPECT_EQ(dialog.List()->horizontalHeaderItem(0)->text(), QStringLiteral(" Name                 "));
    EXPECT_EQ(dialog.List()->horizontalHeaderItem(1)->text(), QStringLiteral(" Optimal/Target Value "));
    EXPECT_EQ(Column(dialog.List(), 0), (std::vector<std::string>{"Weight", "Extra Energy", "Waist"}));
    EXPECT_EQ(Column(dialog.List(), 1), (std::vector<std::string>{"", "", "80"}));
    EXPECT_TRUE(dialog.ExitButton()->isDefault());
}

TEST(FactValueFormat, IsPercentCapitalGAndEmptyWhenUndefined) {
    EXPECT_EQ(DlgFactManager::FormatValue(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(DlgFactManager::FormatValue(0.0001), QStringLiteral("0.0001"));
    EXPECT_EQ(DlgFactManager::FormatValue(1e-5), QStringLiteral("1E-05"));
    EXPECT_EQ(DlgFactManager::FormatValue(150), QStringLiteral("150"));
    EXPECT_EQ(DlgFactManager::FormatValue(UserLog::kUndefinedValue), QString());
}

struct ParseCase {
    const char* text;
    TypedInput::Kind kind;
    double value;
    const char* fact = "Waist";
    friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.fact << " \"" << c.text << '"'; }
};

class FactValueParse : public testing::TestWithParam<ParseCase> {};

// Any whole number for a fact of the user's own; a weight a person can have for the body weight.
TEST_P(FactValueParse, TakesAWholeNumberOrNothing) {
    const NS_Data::CUserLog log(nullptr, nullptr);
    const TypedInput typed = DlgFactManager::ParseValue(QString::fromLatin1(GetParam().text), log, GetParam().fact);
    EXPECT_EQ(typed.kind, GetParam().kind);
    EXPECT_DOUBLE_EQ(typed.value, GetParam().value);
}

using Kind = TypedInput::Kind;
INSTANTIATE_TEST_SUITE_P(Dialog, FactValueParse,
                         testing::Values(ParseCase{"", Kind::Cleared, UserLog::kUndefinedValue},
                                         ParseCase{"0.5", Kind::Number, 0.5}, ParseCase{"  -3", Kind::Number, -3},
                                         ParseCase{"+2.5e1", Kind::Number, 25}, ParseCase{"65.5kg", Kind::Refused, 0},
                                         ParseCase{"abc", Kind::Refused, 0}, ParseCase{"1,5", Kind::Refused, 0},
                                         ParseCase{"inf", Kind::Refused, 0}, ParseCase{"1e999", Kind::Refused, 0},
                                         ParseCase{"72.5", Kind::Number, 72.5, "Weight"},
                                         ParseCase{"", Kind::Cleared, UserLog::kUndefinedValue, "Weight"},
                                         ParseCase{"-80", Kind::Refused, 0, "Weight"},
                                         ParseCase{"0", Kind::Refused, 0, "Weight"},
                                         ParseCase{"501", Kind::Refused, 0, "Weight"},
                                         ParseCase{"-300", Kind::Number, -300, "Extra Energy"}));

// Shown and read one way: 72.5 is shown "72.5" under a German locale too, where "72,5" and
// "72.5" both read as 72.5.
TEST_F(FactManager, UnderAGermanLocaleAValueShowsWithTheDotAndReadsWithTheCommaToo) {
    const ScopedGermanNumbers german;
    if (!german.Active()) GTEST_SKIP() << german.Why();
    EXPECT_EQ(DlgFactManager::FormatValue(72.5), QStringLiteral("72.5"));
    Select(0);
    dialog.ValueEdit()->setText(QStringLiteral("72,5"));
    dialog.ApplyButton()->click();
    EXPECT_DOUBLE_EQ(log.Facts().At(0).value, 72.5);
    EXPECT_EQ(dialog.List()->item(0, 1)->text(), QStringLiteral("72.5"));
    Select(2);
    EXPECT_EQ(dialog.ValueEdit()->text(), QStringLiteral("80"));
    dialog.ValueEdit()->setText(QStringLiteral("81.25"));
    dialog.ApplyButton()->click();
    EXPECT_DOUBLE_EQ(log.Facts().At(2).value, 81.25);
    Select(0);
    EXPECT_EQ(dialog.ValueEdit()->text(), QStringLiteral("72.5"));
}

TEST_F(FactManager, ABuiltInTakesATargetButKeepsItsName) {
    Select(0);
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Weight"));
    EXPECT_FALSE(dialog.NameEdit()->isEnabled());
    EXPECT_FALSE(dialog.RemoveButton()->isEnabled());
    EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
    dialog.NameEdit()->setText(QStringLiteral("Mass"));
    dialog.ValueEdit()->setText(QStringLiteral("65.5"));
    dialog.ApplyButton()->click();
    EXPECT_EQ(log.Facts().At(0).name, "Weight");
    EXPECT_DOUBLE_EQ(log.Facts().At(0).value, 65.5);
    EXPECT_EQ(dialog.List()->item(0, 1)->text(), QStringLiteral("65.5"));
}

TEST_F(FactManager, ApplyIsOnlyForAFreeNameOrTheRowsOwn) {
    Select(2);
    EXPECT_TRUE(dialog.NameEdit()->isEnabled());
    EXPECT_TRUE(dialog.RemoveButton()->isEnabled());
    EXPECT_EQ(dialog.ValueEdit()->text(), QStringLiteral("80"));
    QLineEdit* name = dialog.NameEdit();
    name->clear();
    QTest::keyClicks(name, "Weight");
    EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
    dialog.ApplyButton()->click();
    EXPECT_EQ(Names(log), (std::vector<std::string>{"Weight", "Extra Energy", "Waist"}));
    QTest::keyClicks(name, "s");
    EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
    name->setText(QStringLiteral("Waist"));
    EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
}

TEST_F(FactManager, ApplyRenamesAndTheDaysValuesFollow) {
    Select(2);
    dialog.NameEdit()->setText(QStringLiteral("Waist size"));
    dialog.ValueEdit()->setText(QStringLiteral("78"));
    dialog.ApplyButton()->click();
    EXPECT_EQ(log.Facts().At(2).name, "Waist size");
    EXPECT_DOUBLE_EQ(log.Facts().At(2).value, 78);
    EXPECT_EQ(Column(dialog.List(), 0).back(), "Waist size");
    EXPECT_EQ(Column(dialog.List(), 1).back(), "78");
    for (const auto& day : log.Days()) {
        if (day->date == "20240501" || day->date == "20240502") {
            ASSERT_NE(day->FindFact("Waist size"), nullptr) << day->date;
            EXPECT_EQ(day->FindFact("Waist"), nullptr);
        }
    }

    dialog.ValueEdit()->clear();
    dialog.ApplyButton()->click();
    EXPECT_FALSE(UserLog::IsDefined(log.Facts().At(2).value));
    EXPECT_EQ(dialog.List()->item(2, 1)->text(), QString());
}

TEST_F(FactManager, AValueThatIsNoNumberIsRefusedWithItsReasonAndNothingIsApplied) {
    RecordingPrompt prompt;
    Select(2);
    dialog.NameEdit()->setText(QStringLiteral("Waist size"));
    dialog.ValueEdit()->setText(QStringLiteral("abc"));
    dialog.ApplyButton()->click();
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"\"abc\" is not a number; the old value is kept."});
    EXPECT_EQ(log.Facts().At(2).name, "Waist");
    EXPECT_DOUBLE_EQ(log.Facts().At(2).value, 80);
    EXPECT_EQ(Column(dialog.List(), 1).back(), "80");
    EXPECT_EQ(dialog.ValueEdit()->text(), QStringLiteral("abc"));
}

// The body weight's target is a weight a person can have; the energy requirement is computed
// from the weight.
TEST_F(FactManager, AnImpossibleBodyWeightTargetIsRefusedWithItsReason) {
    RecordingPrompt prompt;
    Select(0);
    dialog.ValueEdit()->setText(QStringLiteral("-5"));
    dialog.ApplyButton()->click();
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>{"Weight must be above 0 and at most 500 kg (\"-5\"); the old value is kept."});
    EXPECT_FALSE(UserLog::IsDefined(log.Facts().At(0).value));
    EXPECT_EQ(Column(dialog.List(), 1).front(), "");
}

TEST_F(FactManager, ApplyWithoutASelectedRowChangesNothing) {
    dialog.NameEdit()->setText(QStringLiteral("Sleep"));
    dialog.ApplyButton()->click();
    dialog.OnApply();
    EXPECT_EQ(Names(log), (std::vector<std::string>{"Weight", "Extra Energy", "Waist"}));
}

TEST_F(FactManager, NewTakesTheFirstFreeNumber) {
    for (int i = 0; i < 3; ++i) dialog.NewButton()->click();
    EXPECT_EQ(Column(dialog.List(), 0),
              (std::vector<std::string>{"Weight", "Extra Energy", "Waist", "New Fact 1", "New Fact 2", "New Fact 3"}));
    EXPECT_FALSE(UserLog::IsDefined(log.Facts().At(4).value));
    EXPECT_TRUE(log.Facts().At(4).units.empty());
    Select(4);
    dialog.RemoveButton()->click();
    dialog.NewButton()->click();
    EXPECT_EQ(Names(log),
              (std::vector<std::string>{"Weight", "Extra Energy", "Waist", "New Fact 1", "New Fact 3", "New Fact 2"}));
    EXPECT_EQ(Column(dialog.List(), 0), Names(log));
}

TEST_F(FactManager, RemoveTakesTheValuesOfEveryDayWithoutAsking) {
    RecordingPrompt prompt;
    Select(2);
    dialog.RemoveButton()->click();
    EXPECT_EQ(Names(log), (std::vector<std::string>{"Weight", "Extra Energy"}));
    EXPECT_EQ(Column(dialog.List(), 0), Names(log));
    for (const auto& day : log.Days()) {
        EXPECT_EQ(day->FindFact("Waist"), nullptr) << day->date;
    }
    EXPECT_NE(log.Days()[log.FindDay("20240501")]->FindFact("Weight"), nullptr);
    EXPECT_TRUE(dialog.NameEdit()->text().isEmpty());
    EXPECT_TRUE(dialog.ValueEdit()->text().isEmpty());
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(FactManager, BuiltInsCannotBeRemoved) {
    Select(1);
    dialog.OnRemove();
    dialog.List()->clearSelection();
    dialog.OnRemove();
    EXPECT_EQ(Names(log), (std::vector<std::string>{"Weight", "Extra Energy", "Waist"}));
    EXPECT_EQ(dialog.List()->rowCount(), 3);
}

TEST_F(FactManager, HelpOpensTheFactManagerPlaceOfTheFactsPage) {
    RecordingShell shell;
    dialog.HelpButton()->click();
    EXPECT_EQ(shell.opened,
              std::vector<std::string>{"file://" + AppDir::ExecutableDir() + "/help/reference/facts.htm#facts_manger"});
}

// The "Facts ..." command of a profile: the document is modified exactly when the definitions
// changed, units aside.
class FactsCommand : public ::testing::Test {
protected:
    FactsCommand() {
        EXPECT_TRUE(run.Start());
        run.Main().ExecuteCommand(CommandId::FileNew);
        doc = run.Main().ActiveChildFrame()->GetActiveDocument();
        if (doc) doc->SetModifiedFlag(false);  // a new profile starts out modified
    }

    void RunFacts(std::function<void(DlgFactManager&)> act) {
        OnNextDialog<DlgFactManager>([act](DlgFactManager& dialog) {
            act(dialog);
            dialog.ExitButton()->click();
        });
        run.Main().ExecuteCommand(CommandId::Facts);
    }

    RunningApp run;
    CVelmoraDoc* doc = nullptr;
};

TEST_F(FactsCommand, LooksLeaveTheProfileUnmodified) {
    ASSERT_NE(doc, nullptr);
    RunFacts([](DlgFactManager& dialog) {
        EXPECT_EQ(dialog.List()->rowCount(), 2);
        dialog.List()->selectRow(0);
        dialog.ApplyButton()->click();  // the same name and value again
    });
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(FactsCommand, ATargetOrANewFactModifiesTheProfile) {
    ASSERT_NE(doc, nullptr);
    RunFacts([](DlgFactManager& dialog) {
        dialog.List()->selectRow(1);
        dialog.ValueEdit()->setText(QStringLiteral("300"));
        dialog.ApplyButton()->click();
    });
    EXPECT_TRUE(doc->IsModified());
    EXPECT_DOUBLE_EQ(doc->Log().Facts().At(1).value, 300);
}

}  // namespace
