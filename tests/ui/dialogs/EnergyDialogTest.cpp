#include "support/RunningApp.h"

#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"

#include "core/AppDir.h"
#include "ui/dialogs/DlgEnergy.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct EnergyCase {
    const char* what;
    int category;  // position in the category list
    int lifeStyle;
    const char* age;
    const char* weight;
    const char* height;
    const char* energy;
};

void PrintTo(const EnergyCase& c, std::ostream* os) { *os << c.what; }

class EnergyExamples : public testing::TestWithParam<EnergyCase> {};

TEST_P(EnergyExamples, CalculateShowsTheRequirement) {
    const EnergyCase& c = GetParam();
    RecordingPrompt prompt;
    DlgEnergy dialog("/nowhere");
    dialog.Category()->setCurrentIndex(c.category);
    dialog.LifeStyle()->setCurrentIndex(c.lifeStyle);
    dialog.Age()->setText(QString::fromLatin1(c.age));
    dialog.Weight()->setText(QString::fromLatin1(c.weight));
    dialog.Height()->setText(QString::fromLatin1(c.height));
    dialog.CalculateButton()->click();
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(dialog.Energy()->text().toStdString(), c.energy);
}

INSTANTIATE_TEST_SUITE_P(Dialog, EnergyExamples,
                         testing::Values(EnergyCase{"defaults", 2, 0, "3", "50", "160", "2057.3"},
                                         EnergyCase{"active man", 1, 2, "30", "80", "180", "3181.2"},
                                         EnergyCase{"infant of four months", 0, 0, "4", "6", "160", "490"},
                                         EnergyCase{"boy of ten", 1, 0, "10", "30", "140", "1559.7"},
                                         EnergyCase{"newborn", 0, 0, "0", "3.5", "160", "386.5"}));

TEST(EnergyDialog, OpensOnTheDefaults) {
    DlgEnergy dialog("/nowhere");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Energy Requirements"));
    EXPECT_EQ(dialog.Category()->currentText(), QStringLiteral("Female"));
    EXPECT_EQ(dialog.LifeStyle()->currentText(), QStringLiteral("Sedentary"));
    EXPECT_EQ(dialog.Age()->text(), QStringLiteral("3"));
    EXPECT_EQ(dialog.Weight()->text(), QStringLiteral("50"));
    EXPECT_EQ(dialog.Height()->text(), QStringLiteral("160"));
    EXPECT_TRUE(dialog.Energy()->isReadOnly());
    EXPECT_TRUE(dialog.CalculateButton()->isDefault());
}

TEST(EnergyDialog, InfantsDisableLifeStyleAndHeightAndCountMonths) {
    RecordingPrompt prompt;
    DlgEnergy dialog("/nowhere");
    dialog.Category()->setCurrentIndex(0);
    EXPECT_FALSE(dialog.LifeStyle()->isEnabled());
    EXPECT_FALSE(dialog.Height()->isEnabled());
    EXPECT_EQ(dialog.AgeUnit()->text(), QStringLiteral("[months]"));
    // The age put there is one the infant range accepts, so Calculate works at once.
    EXPECT_EQ(dialog.Age()->text(), QStringLiteral("6"));
    dialog.CalculateButton()->click();
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(dialog.Energy()->text(), QStringLiteral("4406"));

    dialog.Age()->setText(QStringLiteral("40"));
    dialog.Category()->setCurrentIndex(1);
    EXPECT_TRUE(dialog.LifeStyle()->isEnabled());
    EXPECT_TRUE(dialog.Height()->isEnabled());
    EXPECT_EQ(dialog.AgeUnit()->text(), QStringLiteral("[years]"));
    EXPECT_EQ(dialog.Age()->text(), QStringLiteral("3"));
}

struct RefusalCase {
    const char* what;
    int category;
    const char* age;
    const char* weight;
    const char* height;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }

class EnergyRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(EnergyRefusals, AreReportedAndLeaveTheResultAlone) {
    const RefusalCase& c = GetParam();
    RecordingPrompt prompt;
    DlgEnergy dialog("/nowhere");
    dialog.CalculateButton()->click();
    const QString before = dialog.Energy()->text();
    dialog.Category()->setCurrentIndex(c.category);
    dialog.Age()->setText(QString::fromLatin1(c.age));
    dialog.Weight()->setText(QString::fromLatin1(c.weight));
    dialog.Height()->setText(QString::fromLatin1(c.height));
    dialog.CalculateButton()->click();
    EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(dialog.Energy()->text(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, EnergyRefusals,
    testing::Values(
        RefusalCase{"short woman", 2, "30", "50", "40", "Please enter an integer between 50 and 250."},
        RefusalCase{"short infant", 0, "4", "6", "40", "Please enter an integer between 50 and 250."},
        RefusalCase{"tall man", 1, "30", "80", "251", "Please enter an integer between 50 and 250."},
        RefusalCase{"height not a number", 1, "30", "80", "1.8m", "Please enter an integer between 50 and 250."},
        RefusalCase{"infant of 13 months", 0, "13", "6", "160", "Please enter an integer between 0 and 12."},
        RefusalCase{"adult of 0 years", 2, "0", "50", "160", "Please enter an integer between 1 and 150."},
        RefusalCase{"adult of 151 years", 1, "151", "50", "160", "Please enter an integer between 1 and 150."},
        RefusalCase{"weight not a number", 2, "30", "heavy", "160", "Please enter a number."},
        RefusalCase{"no weight", 2, "30", "0", "160", "Please enter a number above 0 and at most 500."},
        RefusalCase{"heavy man", 1, "30", "500.5", "180", "Please enter a number above 0 and at most 500."}));

TEST(EnergyDialog, HelpOpensAPageOfTheApplicationFolder) {
    RecordingShell shell;
    DlgEnergy dialog("/opt/velmora");
    dialog.HelpButton()->click();
    EXPECT_EQ(shell.opened,
              std::vector<std::string>{"file://" + AppDir::ExecutableDir() + "/help/reference/index.htm#energy"});
}

// The calculator opens at the profile's person on the day shown, the day's weight before the
// person's, and works out the requirement the profile has for that day.
TEST(EnergyCommand, OpensTheCalculatorAtTheProfilesPerson) {
    RunningApp run;
    ASSERT_TRUE(run.Start());
    CVelmoraDoc* doc = run.App().DocManager()->OpenDocumentFile(run.AddProfile("Ann", "Ann"));
    ASSERT_NE(doc, nullptr);
    doc->GoToDate("20240506");  // Ann, 54, weighed 63.5 kg that day
    QStringList shown;
    OnNextDialog<DlgEnergy>([&](DlgEnergy& dialog) {
        shown = {dialog.Category()->currentText(), dialog.LifeStyle()->currentText(), dialog.Age()->text(),
                 dialog.AgeUnit()->text(),         dialog.Weight()->text(),           dialog.Height()->text(),
                 dialog.Energy()->text()};
        dialog.reject();
    });
    run.Main().ExecuteCommand(Gui::CommandId::EnergyRequirements);
    ASSERT_EQ(shown.size(), 7);
    EXPECT_EQ(shown.mid(0, 6), (QStringList{"Female", "Low Active", "54", "[years]", "63.5", "170"}));
    EXPECT_EQ(std::lround(shown[6].toDouble()), std::lround(doc->Log().DayEnergyRequirement(doc->CurrentDay())));
    EXPECT_TRUE(run.prompt.messages.empty());

    // A day the person's age is unknown on (before the birth) leaves the calculator's own start.
    doc->GoToDate("19691231");
    OnNextDialog<DlgEnergy>([&](DlgEnergy& dialog) {
        shown = {dialog.Category()->currentText(), dialog.Age()->text(), dialog.Energy()->text()};
        dialog.reject();
    });
    run.Main().ExecuteCommand(Gui::CommandId::EnergyRequirements);
    EXPECT_EQ(shown, (QStringList{"Female", "3", ""}));
}

}  // namespace
