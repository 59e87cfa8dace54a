#include "support/GuiSupport.h"

#include "support/FakeServices.h"
#include "support/GermanLocale.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewCalendar.h"

#include "model/LogDay.h"
#include "model/Targets.h"
#include "refdata/DietaryIntakesMgr.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

namespace {

// The "Log" view of the profile "Ann" of tests/data/ui, on show and attached to its document, her
// day judged by the current reference intakes.
class LogView : public ::testing::Test {
protected:
    LogView() : doc(app.Context()) {
        intakes.InitializeBuiltIn(DriEdition::Current);
        EXPECT_TRUE(doc.OnOpenDocument(app.AddProfile("Ann", "Ann")));
        doc.Log().SetTargetOptions({&intakes, true});
        doc.Log().SelectDay("20240506");
        view.SetDocument(&doc);
        doc.AddView(&view);
        view.resize(1000, 600);
        view.show();
        view.OnInitialUpdate();
    }

    QString Calendar(const QString& script) { return view.CalendarPage().RunScript(script).toString(); }
    QString Summary(const QString& script) { return view.SummaryPage().RunScript(script).toString(); }

    // Clicks an element of the calendar and waits for the day it leads to to be on show.
    bool ClickAndWait(const QString& id, const std::string& expectedDay) {
        const int before = view.CalendarPage().Renderings();
        view.CalendarPage().RunScript(QStringLiteral("document.getElementById('%1').click()").arg(id));
        return QTest::qWaitFor(
            [&] { return view.CalendarPage().Renderings() > before && doc.CurrentDate() == expectedDay; });
    }

    // Clicks the "Today Value" cell of a fact row, types into the editor and lets the tab go.
    void TypeFactValue(int row, const QString& text) {
        view.SummaryPage().RunScript(
            QStringLiteral("var c = document.querySelectorAll('#FactsContent tr')[%1].cells[2]; c.click();"
                           "document.getElementById('InplaceInput').value = '%2'; true")
                .arg(row)
                .arg(text));
        view.UpdateData(true);
    }

    TestApp app;
    CDC_DietaryIntakesMgr intakes;
    CVelmoraDoc doc;
    CViewCalendar view;
};

TEST_F(LogView, ShowsTheMonthWithItsFoodsAndTheDaySummary) {
    EXPECT_EQ(Calendar("document.title"), QStringLiteral("Diet Log"));
    EXPECT_EQ(
        Calendar("document.getElementById('Month').textContent + ' ' + document.getElementById('Year').textContent"),
        QStringLiteral("May 2024"));
    EXPECT_EQ(Calendar("document.getElementById('20240506').querySelector('.foods').innerText"),
              QStringLiteral("Stew\nBroth"));
    EXPECT_EQ(Calendar("document.getElementById('20240507').querySelector('.foods').innerText"),
              QStringLiteral("Nuts"));
    EXPECT_EQ(Calendar("document.getElementById('20240506').className"), QStringLiteral("day selected"));
    EXPECT_EQ(Calendar("getComputedStyle(document.getElementById('20240506')).backgroundColor"),
              QStringLiteral("rgb(255, 255, 0)"));
    // The neighbouring months' cells show no foods and ignore clicks.
    EXPECT_EQ(Calendar("document.getElementById('20240430').className"), QStringLiteral("other"));

    EXPECT_EQ(Summary("document.title"), QStringLiteral("Day Summary"));
    EXPECT_EQ(Summary("Array.from(document.querySelectorAll('#FoodContent tr')).map(r => r.className + ':' + "
                      "Array.from(r.cells).map(c => c.textContent).join('|')).join(';')"),
              QStringLiteral(":Title|Meal| QTY |Units;even:Stew|Lunch|250|g;odd:Broth||240|g"));
    EXPECT_EQ(Summary("Array.from(document.querySelectorAll('#FactsContent tr')).slice(1).map(r => "
                      "Array.from(r.cells).map(c => c.textContent).join('|')).join(';')"),
              QStringLiteral("Weight (kg)||63.5;Extra Energy (kcal)||"));
}

// Under the foods, each meal of the day adds up: stew at lunch, broth of no meal.
TEST_F(LogView, TheDaySummaryAddsUpEachMeal) {
    const QString rows = QStringLiteral(
        "Array.from(document.querySelectorAll('#MealsContent tr')).map(r => r.className + ':' + "
        "Array.from(r.cells).map(c => c.textContent).join('|')).join(';')");
    EXPECT_EQ(Summary(rows), QStringLiteral(":Meal|Energy kcal|Protein g|Fat g|Carbohydrate g;"
                                            "even:Lunch|0|25|12.5|50;odd:(no meal)|0|2.4|0|0"));
    ASSERT_TRUE(ClickAndWait(QStringLiteral("20240520"), "20240520"));
    EXPECT_EQ(Summary("document.getElementById('MealsContent').textContent"),
              QStringLiteral("No food is selected for the day"));
}

// Ann, 54, on 6 May 2024: 250 g of stew give 18.1 mg of vitamin C against her RDA of 75 mg and 25 g
// of her 27.4 g of protein; the broth gives the rest of the protein. At first the targets show the
// energy, the split and the nutrients outside their range; a link lists every followed nutrient.
TEST_F(LogView, TheDashboardShowsEachFollowedNutrientAndItsTopFoods) {
    const QString groups = QStringLiteral(
        "Array.from(document.querySelectorAll('#TargetsContent .groupName')).map(g => g.textContent).join('|')");
    EXPECT_EQ(Summary(groups), QStringLiteral("4 nutrients outside their range"));
    EXPECT_EQ(Summary("Array.from(document.querySelectorAll('.outsideMark')).map(m => m.className + ':' + "
                      "m.textContent).join('|')"),
              QStringLiteral("outsideMark under:Protein 60 % \u2193|outsideMark under:Carbohydrate 38 % \u2193|"
                             "outsideMark under:Vitamin C 24 % \u2193|outsideMark under:Iron 39 % \u2193"));
    EXPECT_EQ(Summary("String(document.querySelectorAll('#TargetsContent .nutrient').length)"), QStringLiteral("0"));
    EXPECT_EQ(Summary("document.getElementById('allNutrients').textContent"), QStringLiteral("All 6 nutrients"));

    view.SummaryPage().RunScript(QStringLiteral("document.getElementById('allNutrients').click(); true"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return doc.TargetsView().all; }));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Summary(groups), QStringLiteral("Energy split|Energy and macronutrients|Vitamins|Minerals"));
    EXPECT_EQ(Summary("String(document.querySelectorAll('#TargetsContent .nutrient').length)"), QStringLiteral("6"));
    const QString vitaminC = QStringLiteral(
        "Array.from(document.querySelectorAll('.nutrient')).find(r => r.querySelector('.name').firstChild.nodeValue "
        "== 'Vitamin C')");
    EXPECT_EQ(Summary(vitaminC + ".querySelector('.figure').textContent + '/' + " + vitaminC +
                      ".querySelector('.basis').textContent + '/' + " + vitaminC + ".className"),
              QStringLiteral("18.1 mg \u00b7 24 %/ (RDA+UL)/nutrient under"));

    // A click opens the foods that gave most of it; Enter on a focused row opens another.
    const QString shownFoods = QStringLiteral(
        "Array.from(document.querySelectorAll('.detail')).filter(d => !d.hidden).map(d => "
        "Array.from(d.querySelectorAll('tr')).map(r => Array.from(r.cells).map(c => c.textContent).join(',')).join("
        "';')).join('|')");
    EXPECT_EQ(Summary(shownFoods), QString());
    view.SummaryPage().RunScript(vitaminC + ".click(); true");
    EXPECT_EQ(Summary(shownFoods), QStringLiteral("Stew,18.1 mg,100 %"));
    EXPECT_EQ(Summary(vitaminC + ".getAttribute('aria-expanded') + '/' + " + vitaminC +
                      ".nextSibling.querySelector('.limits').textContent"),
              QStringLiteral("true/target 75 mg (RDA) \u00b7 upper limit 2,000 mg (UL)"));
    view.SummaryPage().RunScript(
        QStringLiteral("var p = Array.from(document.querySelectorAll('.nutrient')).find(r => "
                       "r.querySelector('.name').firstChild.nodeValue == 'Protein'); p.focus();"
                       "p.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter', bubbles: true})); true"));
    EXPECT_EQ(Summary(shownFoods), QStringLiteral("Stew,25 g,91 %;Broth,2.4 g,9 %|Stew,18.1 mg,100 %"));
    view.SummaryPage().RunScript(vitaminC + ".click(); true");
    EXPECT_EQ(Summary(shownFoods), QStringLiteral("Stew,25 g,91 %;Broth,2.4 g,9 %"));

    // Every nutrient stays listed on the next day; a day without foods has a line instead of bars.
    ASSERT_TRUE(ClickAndWait(QStringLiteral("20240507"), "20240507"));
    EXPECT_EQ(Summary("String(document.querySelectorAll('#TargetsContent .nutrient').length)"), QStringLiteral("6"));
    ASSERT_TRUE(ClickAndWait(QStringLiteral("20240520"), "20240520"));
    EXPECT_EQ(Summary("String(document.querySelectorAll('#TargetsContent .nutrient, #TargetsContent .track').length)"),
              QStringLiteral("0"));
    EXPECT_TRUE(Summary("document.getElementById('TargetsContent').textContent")
                    .startsWith(QStringLiteral("No foods logged for the day yet")));
}

// The energy line gives the one share every page gives, of the requirement, and names the band.
TEST_F(LogView, TheEnergyLineGivesTheShareOfTheRequirementAndNamesItsBand) {
    const double requirement = doc.Log().DayEnergyRequirement(doc.CurrentDay());
    ASSERT_GT(requirement, 0);
    const QString kcal = QLocale(QLocale::English).toString(requirement, 'f', 0);
    EXPECT_EQ(Summary("document.querySelector('.energyLine .figure').textContent"),
              QStringLiteral("0 of %1 kcal required \u00b7 0 % \u00b7 %1 left").arg(kcal));
    const auto [min, max] = Targets::EnergyBand(requirement);
    EXPECT_EQ(
        Summary("document.querySelector('.energyBlock .caption').textContent"),
        QStringLiteral("target %1\u2013%2 kcal (requirement \u00b110 %)")
            .arg(QLocale(QLocale::English).toString(min, 'f', 0), QLocale(QLocale::English).toString(max, 'f', 0)));
}

// The Targets title folds them away, for this profile and every day, until it is clicked again;
// the other sections' titles keep the page's own behaviour.
TEST_F(LogView, TheTargetsTitleFoldsThemForTheProfile) {
    const QString shown = QStringLiteral("String(document.getElementById('TargetsContent').offsetHeight > 0)");
    EXPECT_EQ(Summary(shown), QStringLiteral("true"));
    view.SummaryPage().RunScript(QStringLiteral("document.getElementById('TargetsTitle').click(); true"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return doc.TargetsView().folded; }));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Summary(shown + " + '/' + document.getElementById('TargetsIcon').className"),
              QStringLiteral("false/icon iconRight"));

    ASSERT_TRUE(ClickAndWait(QStringLiteral("20240507"), "20240507"));
    EXPECT_EQ(Summary(shown), QStringLiteral("false"));
    CViewCalendar fresh;
    fresh.SetDocument(&doc);
    fresh.resize(1000, 600);
    fresh.show();
    fresh.OnInitialUpdate();
    EXPECT_EQ(fresh.SummaryPage().RunScript(shown).toString(), QStringLiteral("false"));

    view.SummaryPage().RunScript(QStringLiteral("document.getElementById('TargetsTitle').click(); true"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !doc.TargetsView().folded; }));
    EXPECT_EQ(Summary(shown), QStringLiteral("true"));
}

// A logged day shows how many nutrients fall outside their range; a day without foods, nothing.
TEST_F(LogView, TheCalendarMarksEachLoggedDayWithItsStatus) {
    const QString marks = QStringLiteral(
        "['20240506', '20240507', '20240508'].map(id => { var m = document.getElementById(id)"
        ".querySelector('.marks'); return m ? Array.from(m.children).map(c => c.className + ':' + c.textContent)"
        ".join(',') : '-'; }).join('|')");
    // Both days are short of energy and of protein, carbohydrate, iron and vitamin C; fat has no target.
    EXPECT_EQ(Calendar(marks), QStringLiteral("energy under:kcal\u2193,outside:4|energy under:kcal\u2193,outside:4|-"));
    EXPECT_EQ(Calendar("document.getElementById('20240506').querySelector('.dayBar').lastChild.nodeValue"),
              QStringLiteral("6"));
    EXPECT_FALSE(Calendar("document.getElementById('legend').textContent").isEmpty());
}

TEST_F(LogView, SectionTitlesTurnTheirArrowAndKeepTheContent) {
    const QString state = QStringLiteral(
        "document.getElementById('FoodIcon').className + '/' + document.getElementById('FoodContent').className + '/' "
        "+ "
        "(document.getElementById('FoodContent').offsetHeight > 0)");
    EXPECT_EQ(Summary(state), QStringLiteral("icon iconDown/expanded/true"));
    view.SummaryPage().RunScript(QStringLiteral("document.querySelector('.sectionTitle[onclick*=Food]').click()"));
    EXPECT_EQ(Summary(state), QStringLiteral("icon iconRight/collapsed/true"));
    EXPECT_EQ(Summary("getComputedStyle(document.getElementById('FoodIcon')).backgroundPosition"),
              QStringLiteral("-32px -16px"));
}

TEST_F(LogView, ClickingADayMakesItTheCurrentDayOnBothPages) {
    ASSERT_TRUE(ClickAndWait(QStringLiteral("20240507"), "20240507"));
    EXPECT_EQ(Summary("document.querySelector('#FoodContent tr:nth-child(2)').cells[0].textContent"),
              QStringLiteral("Nuts"));
    EXPECT_EQ(Calendar("document.querySelector('.selected').id"), QStringLiteral("20240507"));

    // A date the log has no day for gets an empty one.
    ASSERT_TRUE(ClickAndWait(QStringLiteral("20240520"), "20240520"));
    EXPECT_GE(doc.Log().FindDay("20240520"), 0);
    EXPECT_EQ(Summary("document.getElementById('FoodContent').textContent"),
              QStringLiteral("No food is selected for the day"));
    EXPECT_EQ(Calendar("document.getElementById('20240520').querySelector('.foods').textContent"), QString());

    // The page's own selection of the day it shows starts no further rendering.
    const int renderings = view.CalendarPage().Renderings();
    QTest::qWait(300);
    EXPECT_EQ(view.CalendarPage().Renderings(), renderings);
}

// Another day comes to both pages without a load; they must show it as a view opened on it does,
// whether the day was clicked or chosen elsewhere, in the month on show or another.
TEST_F(LogView, AnotherDayLooksAsTheDayOpenedAfresh) {
    const auto choose = [this](const std::string& day) {
        doc.Log().SelectDay(day);
        view.UpdateData(false);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"clicked", [this] { ASSERT_TRUE(ClickAndWait(QStringLiteral("20240507"), "20240507")); }},
        {"clicked back", [this] { ASSERT_TRUE(ClickAndWait(QStringLiteral("20240506"), "20240506")); }},
        {"chosen in the month", [&choose] { choose("20240507"); }},
        {"chosen in another month", [&choose] { choose("20240612"); }},
        {"chosen back", [&choose] { choose("20240506"); }},
    };
    const QString body = QStringLiteral("document.body.innerHTML");
    for (const auto& [how, change] : cases) {
        SCOPED_TRACE(how);
        change();
        CViewCalendar fresh;
        fresh.SetDocument(&doc);
        fresh.resize(1000, 600);
        fresh.show();
        fresh.OnInitialUpdate();
        EXPECT_EQ(view.CalendarPage().RunScript(body).toString(), fresh.CalendarPage().RunScript(body).toString());
        EXPECT_EQ(view.SummaryPage().RunScript(body).toString(), fresh.SummaryPage().RunScript(body).toString());
    }
}

TEST_F(LogView, ClicksWhileAnotherIsHandledAreHandledAfterItInTheirOrder) {
    std::vector<std::string> shown;
    QObject::connect(&doc, &CVelmoraDoc::changed, [&] {
        const std::string& day = doc.CurrentDate();
        if (shown.empty() || shown.back() != day) shown.push_back(day);
    });
    // The three clicks come in before the first is handled.
    view.CalendarPage().RunScript(QStringLiteral(
        "['20240520', '20240507', '20240521'].forEach(id => document.getElementById(id).click()); true"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return doc.CurrentDate() == "20240521"; }));
    EXPECT_EQ(shown, (std::vector<std::string>{"20240520", "20240507", "20240521"}));
    EXPECT_GE(doc.Log().FindDay("20240520"), 0);
    EXPECT_EQ(Calendar("document.querySelector('.selected').id"), QStringLiteral("20240521"));
    EXPECT_EQ(Summary("document.getElementById('FoodContent').textContent"),
              QStringLiteral("No food is selected for the day"));
}

TEST_F(LogView, AValueBeingTypedStaysWithItsDayWhenAnotherDayIsClicked) {
    view.SummaryPage().RunScript(
        QStringLiteral("document.querySelectorAll('#FactsContent tr')[1].cells[2].click();"
                       "document.getElementById('InplaceInput').value = '62'; true"));
    ASSERT_TRUE(ClickAndWait(QStringLiteral("20240507"), "20240507"));
    EXPECT_DOUBLE_EQ(
        doc.Log().Days()[static_cast<std::size_t>(doc.Log().FindDay("20240506"))]->FindFact("Weight")->value, 62);
    EXPECT_EQ(doc.CurrentDay().FindFact("Weight"), nullptr);
}

struct MonthCase {
    const char* from;
    const char* button;
    const char* to;
    const char* shown;  // month and year on the new page
};

TEST_F(LogView, MonthAndYearButtonsGoToTheFirstOfTheMonth) {
    const MonthCase cases[] = {
        {"20241215", "nextMonth", "20250101", "January 2025"},
        {"20240115", "prevMonth", "20231201", "December 2023"},
        {"20240229", "nextYear", "20250201", "February 2025"},
        {"20240310", "prevYear", "20230301", "March 2023"},
    };
    for (const auto& c : cases) {
        doc.Log().SelectDay(c.from);
        view.UpdateData(false);
        ASSERT_TRUE(ClickAndWait(QString::fromLatin1(c.button), c.to)) << c.from << ' ' << c.button;
        EXPECT_EQ(
            Calendar(
                "document.getElementById('Month').textContent + ' ' + document.getElementById('Year').textContent"),
            QString::fromLatin1(c.shown));
    }
}

struct GridCase {
    QLocale::Language language;
    QLocale::Territory territory;
    const char* day;
    const char* first;  // the first cell of the grid and its column's name
    const char* heading;
    const char* last;
};

// The weeks start on the locale's first day of the week, as the Copy Day calendar's do.
TEST_F(LogView, WeeksStartOnTheLocalesFirstDay) {
    const GridCase cases[] = {
        {QLocale::English, QLocale::UnitedStates, "20240915", "20240901", "Sunday", "20241005"},
        {QLocale::English, QLocale::UnitedStates, "20241103", "20241027", "Sunday", "20241130"},
        {QLocale::English, QLocale::UnitedKingdom, "20240915", "20240826", "Monday", "20241006"},
        {QLocale::German, QLocale::Germany, "20240401", "20240401", "Montag", "20240505"},
    };
    const QLocale before;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day);
        QLocale::setDefault(QLocale(c.language, c.territory));
        doc.Log().SelectDay(c.day);
        CViewCalendar shown;
        shown.SetDocument(&doc);
        shown.resize(1000, 600);
        shown.show();
        shown.OnInitialUpdate();
        const QStringList ids =
            shown.CalendarPage()
                .RunScript(QStringLiteral("Array.from(document.querySelectorAll('#calendar td')).map(td => td.id)"
                                          ".join(',')"))
                .toString()
                .split(u',');
        EXPECT_EQ(ids.first(), QString::fromLatin1(c.first));
        EXPECT_EQ(ids.last(), QString::fromLatin1(c.last));
        EXPECT_EQ(ids.size() % 7, 0);
        EXPECT_EQ(shown.CalendarPage()
                      .RunScript(QStringLiteral("document.querySelector('#calendar th').textContent"))
                      .toString(),
                  QString::fromLatin1(c.heading));
        QCalendarWidget copyDay;
        EXPECT_EQ(copyDay.firstDayOfWeek(), QLocale().firstDayOfWeek());
    }
    QLocale::setDefault(before);
}

// A day with more foods than its cell holds names the first ones and how many more it has.
TEST_F(LogView, ACellFullOfFoodsSaysHowManyMore) {
    doc.Log().SelectDay("20240508");
    for (int i = 0; i < 9; ++i) doc.AddFoodByKey(100, 7);
    view.UpdateData(false);
    const QString foods = QStringLiteral("document.getElementById('%1').querySelector('.foods')");
    EXPECT_EQ(Calendar(foods.arg(QStringLiteral("20240508")) + ".children.length"), QStringLiteral("7"));
    EXPECT_EQ(Calendar(foods.arg(QStringLiteral("20240508")) + ".lastChild.textContent"), QStringLiteral("+3 more"));
    EXPECT_EQ(Calendar(foods.arg(QStringLiteral("20240508")) + ".lastChild.title"), QStringLiteral("Stew\nStew\nStew"));
    EXPECT_EQ(Calendar("String(" + foods.arg(QStringLiteral("20240508")) +
                       ".scrollHeight <= " + foods.arg(QStringLiteral("20240508")) + ".clientHeight)"),
              QStringLiteral("true"));
    EXPECT_EQ(Calendar(foods.arg(QStringLiteral("20240506")) + ".innerText"), QStringLiteral("Stew\nBroth"));
}

struct FactCase {
    const char* typed;
    std::optional<double> stored;  // nullopt: the day has no value
    const char* shown;
    const char* message;  // of a refused text, which stays marked
};

// A typed value goes into the day without a rendering; an emptied cell takes the value away; a
// text that is no number, or no weight a person can have, keeps the logged value (63.5) and stays
// in the cell, marked, until a value is taken.
TEST_F(LogView, ATypedFactValueGoesIntoTheDayAndARefusedOneKeepsTheOld) {
    const InMainWindow window(&view);
    const FactCase cases[] = {
        {"abc", 63.5, "abc", "\"abc\" is not a number; the old value is kept."},
        {"1,5", 63.5, "1,5", "\"1,5\" is not a number; the old value is kept."},
        {"72.5", 72.5, "72.5", ""},
        {" 1e999 ", 72.5, "1e999", "\"1e999\" is too large a number; the old value is kept."},
        {"", std::nullopt, "", ""},
        {"-80", std::nullopt, "-80", "Weight must be above 0 and at most 500 kg (\"-80\"); the old value is kept."},
        {"64", 64, "64", ""},
    };
    const QString cell = QStringLiteral("document.querySelectorAll('#FactsContent tr')[1].cells[2]");
    for (const auto& c : cases) {
        doc.SetModifiedFlag(false);
        const int renderings = view.SummaryPage().Renderings();
        TypeFactValue(1, QString::fromLatin1(c.typed));
        const UserLog::CFact* fact = doc.CurrentDay().FindFact("Weight");
        EXPECT_EQ(fact ? std::optional<double>(fact->value) : std::nullopt, c.stored) << c.typed;
        EXPECT_EQ(Summary(cell + ".textContent"), QString::fromLatin1(c.shown));
        const bool refused = *c.message != 0;
        EXPECT_EQ(Summary(cell + ".className"),
                  refused ? QStringLiteral("value today invalid") : QStringLiteral("value today"));
        EXPECT_EQ(Summary(cell + ".title"), QString::fromLatin1(c.message));
        EXPECT_EQ(window.StatusMessage(), QString::fromLatin1(c.message)) << c.typed;
        EXPECT_EQ(doc.IsModified(), !refused) << c.typed;
        EXPECT_EQ(view.SummaryPage().Renderings(), renderings);
    }
}

TEST_F(LogView, UnderAGermanLocaleAFactValueTakesTheComma) {
    const ScopedGermanNumbers german;
    if (!german.Active()) GTEST_SKIP() << german.Why();
    TypeFactValue(1, QStringLiteral("63,4"));
    EXPECT_DOUBLE_EQ(doc.CurrentDay().FindFact("Weight")->value, 63.4);
    EXPECT_EQ(Summary("document.querySelectorAll('#FactsContent tr')[1].cells[2].textContent"), QStringLiteral("63.4"));
}

TEST_F(LogView, AFactNameIsSplitAtTheLastEqualsSign) {
    view.OnInputFact({Gui::ElementEvent::kPropertyChange, "inputFact", "a=b=3.5"});
    const UserLog::CFact* fact = doc.CurrentDay().FindFact("a=b");
    ASSERT_NE(fact, nullptr);
    EXPECT_DOUBLE_EQ(fact->value, 3.5);

    const auto count = doc.CurrentDay().facts.Count();
    view.OnInputFact({Gui::ElementEvent::kPropertyChange, "inputFact", "no sign"});
    view.OnInputFact({0, "inputFact", "Weight=1"});  // not a value change
    EXPECT_EQ(doc.CurrentDay().facts.Count(), count);
    EXPECT_DOUBLE_EQ(doc.CurrentDay().FindFact("Weight")->value, 63.5);
}

TEST_F(LogView, AHiddenViewStillStoresFactsInItsDocument) {
    doc.RemoveView(&view);
    view.SetDocument(nullptr);
    view.OnInputFact({Gui::ElementEvent::kPropertyChange, "inputFact", "Weight=64"});
    EXPECT_DOUBLE_EQ(doc.CurrentDay().FindFact("Weight")->value, 64);
}

TEST_F(LogView, TheRightMouseButtonIsRefused) {
    RecordingPrompt prompt;
    for (CWebControlBase* page : {&view.CalendarPage(), &view.SummaryPage()})
        page->RunScript(QStringLiteral(
            "document.body.dispatchEvent(new MouseEvent('mousedown', {button: 2, bubbles: true})); true"));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"function disabled", "function disabled"}));
}

// The views as the profile window makes, hides and shows them again: "Ann" on her 6 May 2024.
class LogTab : public ::testing::Test {
protected:
    enum { Personal, Log, Diet };

    LogTab() : path(app.AddProfile("Ann", "Ann")) {
        auto doc = std::make_unique<CVelmoraDoc>(app.Context());
        EXPECT_TRUE(doc->OnOpenDocument(path));
        doc->SetPathName(path);
        doc->Log().SelectDay("20240506");
        profile = doc.get();
        frame = std::make_unique<CChildFrameDay>(std::move(doc));
        EXPECT_TRUE(frame->Create());
        frame->resize(1000, 700);
        frame->show();
        frame->InitialUpdateFrame();
    }

    CViewCalendar* LogView() { return qobject_cast<CViewCalendar*>(frame->TabView(Log)); }

    TestApp app;
    std::string path;
    CVelmoraDoc* profile = nullptr;
    std::unique_ptr<CChildFrameDay> frame;
};

TEST_F(LogTab, ComingBackToTheTabLeavesOneObserverPerPage) {
    ASSERT_TRUE(frame->SelectTab(Log));
    ASSERT_TRUE(frame->SelectTab(Diet));
    ASSERT_TRUE(frame->SelectTab(Log));
    CViewCalendar* view = LogView();
    ASSERT_NE(view, nullptr);

    const int before = view->SummaryPage().Renderings();
    view->CalendarPage().RunScript(QStringLiteral("document.getElementById('20240507').click()"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->SummaryPage().Renderings() > before; }));
    QTest::qWait(300);
    EXPECT_EQ(view->SummaryPage().Renderings(), before + 1);
    EXPECT_EQ(profile->CurrentDate(), "20240507");
}

TEST_F(LogTab, AValueBeingTypedIsInTheProfileSavedByTheNextCommand) {
    ASSERT_TRUE(frame->SelectTab(Log));
    CViewCalendar* view = LogView();
    ASSERT_NE(view, nullptr);

    // The editor still has the focus when the command comes.
    view->SummaryPage().RunScript(
        QStringLiteral("document.querySelectorAll('#FactsContent tr')[1].cells[2].click();"
                       "document.getElementById('InplaceInput').value = '71.25'; true"));
    frame->BeforeCommand();
    ASSERT_TRUE(profile->IsModified());
    ASSERT_TRUE(profile->DoFileSave());

    std::ifstream in(path);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find("<Fact name=\"Weight\" value=\"71.25\"/>"), std::string::npos) << saved;
}

}  // namespace
