#include "support/GuiSupport.h"

#include "support/FakeServices.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewPersonal.h"

#include "core/LoadReport.h"
#include "model/LogDay.h"

#include <QTest>
#include <QTextEdit>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

namespace {

auto Fields(const CPersonalData& p) {
    return std::make_tuple(p.firstName, p.lastName, p.notes, p.birthYear, p.birthMonth, p.birthDay, p.female,
                           p.pregnant, p.lactation, p.lifeStyle, p.unitsKg, p.height, p.weight);
}

// The "Personal" view of a new profile, on show and attached to its document.
class PersonalView : public ::testing::Test {
protected:
    PersonalView() : doc(app.Context()) {
        LoadReport::Clear();
        view.SetDocument(&doc);
        doc.AddView(&view);
        view.resize(900, 700);
        view.show();
    }

    QString Page(const QString& script) { return view.Page().RunScript(script).toString(); }
    QString Value(const char* id) {
        return Page(QStringLiteral("document.getElementById('%1').value").arg(QLatin1String(id)));
    }
    QString Shown(const char* id) {
        return Page(QStringLiteral("getComputedStyle(document.getElementById('%1')).display").arg(QLatin1String(id)));
    }
    CPersonalData& Person() { return doc.Log().Personal(); }

    TestApp app;
    RecordingPrompt prompt;
    CVelmoraDoc doc;
    CViewPersonal view;
};

CPersonalData Someone(int unitsKg, int height, double weight) {
    CPersonalData p;
    p.firstName = "Zoë";
    p.lastName = "O'Brien \"Jr\"";
    p.notes = "line one\nline two";
    p.birthYear = 1980;
    p.birthMonth = 2;
    p.birthDay = 29;
    p.female = 1;
    p.pregnant = 1;
    p.lactation = 1;
    p.lifeStyle = 3;
    p.unitsKg = unitsKg;
    p.height = height;
    p.weight = weight;
    return p;
}

TEST_F(PersonalView, EveryFieldMakesTheRoundTripThroughThePage) {
    for (const CPersonalData& wanted : {Someone(1, 172, 61.5), Someone(0, 67, 135.5)}) {
        Person() = wanted;
        view.UpdateData(false);
        Person() = CPersonalData();
        Person().unitsKg = wanted.unitsKg;  // no conversion in this round trip
        view.UpdateData(true);
        EXPECT_EQ(Fields(Person()), Fields(wanted)) << "units kg " << wanted.unitsKg;
    }
}

TEST_F(PersonalView, ThePageShowsThePersonAsStored) {
    Person() = Someone(1, 170, 70);
    view.UpdateData(false);
    EXPECT_EQ(Page("document.title"), QStringLiteral("Personal Page"));
    EXPECT_EQ(Value("FirstName"), QStringLiteral("Zoë"));
    EXPECT_EQ(Page("['ddlDay','ddlMonth','ddlYear'].map(i => { var s = document.getElementById(i); "
                   "return s.options[s.selectedIndex].text; }).join(' ')"),
              QStringLiteral("29 Feb 1980"));
    EXPECT_EQ(Page("document.getElementById('BMI').textContent"), QStringLiteral("24.2"));
    EXPECT_EQ(Value("Weight"), QStringLiteral("70"));
    EXPECT_EQ(Value("Height"), QStringLiteral("170"));
    EXPECT_EQ(Shown("Height"), QStringLiteral("inline-block"));
    EXPECT_EQ(Shown("ddlFeet"), QStringLiteral("none"));
    EXPECT_EQ(view.Notes().toPlainText(), QStringLiteral("line one\nline two"));
}

TEST_F(PersonalView, PoundsAndInchesShowFeetAndInches) {
    Person() = Someone(0, 67, 150);
    view.UpdateData(false);
    EXPECT_EQ(Page("document.getElementById('ddlFeet').selectedIndex + ' ' + "
                   "document.getElementById('ddlInches').selectedIndex"),
              QStringLiteral("5 7"));
    EXPECT_EQ(Page("document.getElementById('lebelWeight').textContent"), QStringLiteral(" lb"));
    EXPECT_EQ(Shown("Height"), QStringLiteral("none"));
    EXPECT_EQ(Shown("lebelCm"), QStringLiteral("none"));
    EXPECT_EQ(Shown("lebelInches"), QStringLiteral("inline"));
    EXPECT_EQ(Page("document.querySelector('input[name=Units]:checked').id"), QStringLiteral("radioLB"));
}

struct BmiCase {
    int unitsKg;
    int height;
    double weight;
    const char* text;
};

TEST(PersonalBmi, FollowsHeightWeightAndUnits) {
    const BmiCase cases[] = {
        {1, 170, 70, "24.2"}, {1, 0, 70, "NaN"}, {0, 0, 150, "NaN"}, {0, 67, 154, "24.2"}, {1, 180, 100, "30.9"},
    };
    for (const auto& c : cases) {
        CPersonalData p;
        p.unitsKg = c.unitsKg;
        p.height = c.height;
        p.weight = c.weight;
        EXPECT_EQ(CViewPersonal::BmiText(p), QString::fromLatin1(c.text)) << c.height << ' ' << c.weight;
    }
}

TEST_F(PersonalView, SwitchingToPoundsConvertsTheLoggedWeights) {
    Person() = Someone(1, 170, 70);
    doc.Log().SelectDay("20240506");
    doc.CurrentDay().SetFact("Weight", 70);
    view.UpdateData(false);
    Page("document.getElementById('radioLB').click(); true");
    EXPECT_EQ(Value("Weight"), QStringLiteral("154"));
    EXPECT_EQ(Page("document.getElementById('ddlFeet').selectedIndex + ' ' + "
                   "document.getElementById('ddlInches').selectedIndex"),
              QStringLiteral("5 7"));
    doc.SetModifiedFlag(false);

    view.UpdateData(true);
    EXPECT_EQ(Person().unitsKg, 0);
    EXPECT_DOUBLE_EQ(Person().weight, 154);
    EXPECT_EQ(Person().height, 67);
    EXPECT_DOUBLE_EQ(doc.CurrentDay().FindFact("Weight")->value, 154);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(PersonalView, AMansPregnancyAndLactationAreOffAndDisabled) {
    Person().female = 0;
    view.UpdateData(false);
    for (const char* id : {"ddlPregnant", "ddlLactation"}) {
        EXPECT_EQ(Page(QStringLiteral(
                           "var s = document.getElementById('%1'); s.disabled + ' ' + s.options[s.selectedIndex].text")
                           .arg(QLatin1String(id))),
                  QStringLiteral("true No"))
            << id;
    }
    // Choosing "Female" on the page gives them back.
    Page(
        "var g = document.getElementById('ddlGender'); g.selectedIndex = 0; g.dispatchEvent(new Event('change')); "
        "true");
    EXPECT_EQ(Page("document.getElementById('ddlPregnant').disabled"), QStringLiteral("false"));
}

// Typed keys reach the field as typed; what is no height is refused at leaving, framed in red
// with its reason until corrected, and the status bar says why.
TEST_F(PersonalView, ATypedNegativeHeightIsRefusedAndMarkedUntilCorrected) {
    const InMainWindow window(&view);
    Person() = Someone(1, 170, 70);
    view.UpdateData(false);
    Page("document.getElementById('Height').value = ''; document.getElementById('Height').focus(); true");
    view.Page().View()->setFocus();
    QWidget* target = view.Page().View()->focusProxy() ? view.Page().View()->focusProxy() : view.Page().View();
    QTest::keyClicks(target, "-70");
    // Typed keys reach the page asynchronously.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Value("Height") == QStringLiteral("-70"); }, 3000))
        << Value("Height").toStdString();
    EXPECT_EQ(Page("document.getElementById('BMI').textContent"), QStringLiteral("NaN"));

    const QString reason = QStringLiteral("Height must be from 50 to 250 cm. The height stays 170 cm.");
    view.UpdateData(true);
    EXPECT_EQ(Person().height, 170);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(window.StatusMessage(), reason);
    EXPECT_EQ(Value("Height"), QStringLiteral("-70"));
    EXPECT_EQ(Page("document.getElementById('Height').className"), QStringLiteral("invalid"));
    EXPECT_EQ(Page("document.getElementById('Height').title"), reason);

    Page("document.getElementById('Height').value = '172'; true");
    view.UpdateData(true);
    EXPECT_EQ(Person().height, 172);
    EXPECT_EQ(window.StatusMessage(), QString());
    EXPECT_EQ(Page("document.getElementById('Height').className"), QString());
}

TEST_F(PersonalView, TheRightMouseButtonBringsNoMessage) {
    view.UpdateData(false);
    Page(
        "document.getElementById('FirstName').dispatchEvent(new MouseEvent('mousedown', {button: 2, bubbles: true})); "
        "true");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(PersonalView, ChangesOnThePageMarkTheProfileModified) {
    view.UpdateData(false);
    view.UpdateData(true);
    EXPECT_FALSE(doc.IsModified());  // a new document starts unmodified here
    Page("document.getElementById('LastName').value = 'Smith'; true");
    view.UpdateData(true);
    EXPECT_EQ(Person().lastName, "Smith");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(PersonalView, AHungPageIsToldOnceAndTakesNothing) {
    Person() = Someone(1, 170, 70);
    view.UpdateData(false);
    Page("document.getElementById('LastName').value = 'Smith'; document.getElementById('Weight').value = '80'; true");
    {
        ShortPageWaits shortWaits;
        HangPage(view.Page(), 1500);
        view.UpdateData(true);
    }
    EXPECT_EQ(prompt.messages, std::vector<std::string>{CWebControlBase::kNotAnsweringSave});
    EXPECT_EQ(Fields(Person()), Fields(Someone(1, 170, 70)));
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(PageAnswers(view.Page()));
}

TEST_F(PersonalView, APageThatNeverGotThePersonIsNotReadBack) {
    Person() = Someone(1, 170, 70);
    view.UpdateData(false);
    {
        ShortPageWaits shortWaits;
        HangPage(view.Page(), 1500);
        view.UpdateData(false);
    }
    EXPECT_EQ(prompt.messages, std::vector<std::string>{CWebControlBase::kNotAnsweringLoad});
    ASSERT_TRUE(PageAnswers(view.Page()));
    // Whatever the page shows now, it is not the person: leaving the tab keeps the person.
    view.Notes().setPlainText(QStringLiteral("typed meanwhile"));
    view.UpdateData(true);
    CPersonalData wanted = Someone(1, 170, 70);
    wanted.notes = "typed meanwhile";
    EXPECT_EQ(Fields(Person()), Fields(wanted));
    EXPECT_EQ(prompt.messages.size(), 1u);
}

struct RangeCase {
    const char* what;
    int unitsKg;
    const char* typed;  // the user's doing on the page
    int height;         // stored afterwards
    double weight;
    const char* message;  // in the status bar; empty: none
    const char* marked;   // the fields framed as refused
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.what; }

class PersonalRanges : public PersonalView, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PersonalRanges, HeightAndWeightAreNumbersInTheEnergyCalculatorsRanges) {
    const RangeCase& c = GetParam();
    const InMainWindow window(&view);
    const CPersonalData start = c.unitsKg ? Someone(1, 170, 70) : Someone(0, 67, 154);
    Person() = start;
    view.UpdateData(false);
    doc.SetModifiedFlag(false);
    Page(QStringLiteral("var $ = id => document.getElementById(id); %1; true").arg(QLatin1String(c.typed)));
    view.UpdateData(true);

    EXPECT_EQ(Person().height, c.height);
    EXPECT_DOUBLE_EQ(Person().weight, c.weight);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(window.StatusMessage(), QString::fromUtf8(c.message));
    EXPECT_EQ(Page("Array.from(document.querySelectorAll('.invalid'), e => e.id).join(' ')"),
              QString::fromUtf8(c.marked));
}

INSTANTIATE_TEST_SUITE_P(
    Personal, PersonalRanges,
    ::testing::Values(
        RangeCase{"tall_cm", 1, "$('Height').value = '1650'", 170, 70,
                  "Height must be from 50 to 250 cm. The height stays 170 cm.", "Height"},
        RangeCase{"negative_cm", 1, "$('Height').value = '-70'", 170, 70,
                  "Height must be from 50 to 250 cm. The height stays 170 cm.", "Height"},
        RangeCase{"letters_cm", 1, "$('Height').value = 'abc'", 170, 70,
                  "\"abc\" is not a number. The height stays 170 cm.", "Height"},
        RangeCase{"no_weight", 1, "$('Weight').value = '0'", 170, 70,
                  "Weight must be above 0 and at most 500 kg. The weight stays 70 kg.", "Weight"},
        RangeCase{"empty_weight", 1, "$('Weight').value = ' '", 170, 70,
                  "The weight can't be empty. The weight stays 70 kg.", "Weight"},
        RangeCase{"both_out", 1, "$('Height').value = '49'; $('Weight').value = '500.5'", 170, 70,
                  "Height must be from 50 to 250 cm. The height stays 170 cm. "
                  "Weight must be above 0 and at most 500 kg. The weight stays 70 kg.",
                  "Height Weight"},
        RangeCase{"edges_cm", 1, "$('Height').value = '250'; $('Weight').value = '500'", 250, 500, "", ""},
        RangeCase{"low_edges_cm", 1, "$('Height').value = '50'; $('Weight').value = '0.1'", 50, 0.1, "", ""},
        RangeCase{"short_inches", 0, "$('ddlFeet').selectedIndex = 1; $('ddlInches').selectedIndex = 7", 67, 154,
                  "Height must be from 20 to 98 inches (50 to 250 cm). The height stays 67 inches.",
                  "ddlFeet ddlInches"},
        RangeCase{"tall_inches", 0, "$('ddlFeet').selectedIndex = 8; $('ddlInches').selectedIndex = 3", 67, 154,
                  "Height must be from 20 to 98 inches (50 to 250 cm). The height stays 67 inches.",
                  "ddlFeet ddlInches"},
        RangeCase{"heavy_lb", 0, "$('Weight').value = '1100.5'", 67, 154,
                  "Weight must be above 0 and at most 1100 lb. The weight stays 154 lb.", "Weight"},
        RangeCase{"edges_inches", 0,
                  "$('ddlFeet').selectedIndex = 1; $('ddlInches').selectedIndex = 8; $('Weight').value = '1100'", 20,
                  1100, "", ""},
        RangeCase{"to_pounds_without_weight", 1, "$('radioLB').click(); $('Weight').value = '0'", 67, 154,
                  "Weight must be above 0 and at most 1100 lb. The weight stays 154 lb.", "Weight"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PersonalView, ARefusedHeightLeavesTheEnergyRequirementAlone) {
    doc.Log().SelectDay("20240506");
    Person() = Someone(1, 170, 70);
    Person().pregnant = Person().lactation = 0;
    std::string equation;
    const double before = Person().EnergyRequirement(doc.Log().GetEnergyInputs(), equation);
    view.UpdateData(false);
    Page("document.getElementById('Height').value = '1650'; document.getElementById('Weight').value = '0'; true");
    view.UpdateData(true);
    EXPECT_DOUBLE_EQ(Person().EnergyRequirement(doc.Log().GetEnergyInputs(), equation), before);
    EXPECT_EQ(CViewPersonal::BmiText(Person()), QStringLiteral("24.2"));
}

TEST_F(PersonalView, DataLostWhileReadingIsReportedOnce) {
    // "Ann" with a food the data source doesn't have.
    std::ifstream in(TestFile("ui/Ann"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string known = "key=\"103\" name=\"Nuts\"";
    ASSERT_NE(text.find(known), std::string::npos);
    text.replace(text.find(known), known.size(), "key=\"99999\" name=\"Nuts\"");
    const std::string path = app.Profiles() + "/Ann";
    std::ofstream(path) << text;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_FALSE(doc.IsModified());

    view.OnInitialUpdate();
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], "Imported data lost:\nUnknown food reference\n\tNuts\n");
    EXPECT_TRUE(LoadReport::IsEmpty());
    EXPECT_TRUE(doc.IsModified());

    view.UpdateData(false);
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST(PersonalTab, LeavingTheTabGivesTheEnergyRequirementTheNewData) {
    TestApp app;
    auto doc = std::make_unique<CVelmoraDoc>(app.Context());
    ASSERT_TRUE(doc->OnOpenDocument(app.AddProfile("Ann", "Ann")));
    CVelmoraDoc* profile = doc.get();
    CChildFrameDay frame(std::move(doc));
    ASSERT_TRUE(frame.Create());
    frame.resize(900, 700);
    frame.show();
    frame.InitialUpdateFrame();
    auto* view = qobject_cast<CViewPersonal*>(frame.GetActiveView());
    ASSERT_NE(view, nullptr);

    std::string equation;
    const double before = profile->Log().Personal().EnergyRequirement(profile->Log().GetEnergyInputs(), equation);
    view->Page().RunScript(QStringLiteral(
        "var s = document.getElementById('ddlLifeStyle'); s.selectedIndex = 3; s.dispatchEvent(new Event('change'));"
        "var w = document.getElementById('Weight'); w.value = '80'; w.dispatchEvent(new Event('input')); true"));
    ASSERT_TRUE(frame.SelectTab(3));  // Energy

    EXPECT_EQ(profile->Log().Personal().lifeStyle, 3);
    EXPECT_DOUBLE_EQ(profile->Log().Personal().weight, 80);
    EXPECT_TRUE(profile->IsModified());
    EXPECT_GT(profile->Log().Personal().EnergyRequirement(profile->Log().GetEnergyInputs(), equation), before);
}

}  // namespace
