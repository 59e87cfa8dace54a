#include "support/GuiSupport.h"

#include "support/FakeServices.h"

#include "document/viewmodel/TypedNumber.h"
#include "ui/web/NumberText.h"
#include "ui/web/WebControlBase.h"

#include "model/UserLog.h"

#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records what an observed element reports.
struct Recorder {
    std::vector<Gui::ElementEvent> events;
    void OnEvent(const Gui::ElementEvent& e) { events.push_back(e); }
    std::unique_ptr<T_Functor> Functor() { return std::make_unique<T_FunctorImpl<Recorder>>(this, &Recorder::OnEvent); }
};

class PageHost : public ::testing::Test {
protected:
    PageHost() : log(&app.meals, &app.source), host(QStringLiteral(":/test/Probe.html")) {
        auto table = std::make_unique<Page::PlaceholderTable>();
        (*table)[NS_Data::CUserLog::kJsonMeasures] = &log;
        (*table)[NS_Data::CUserLog::kJsonDay] = &log;
        host.SetPlaceholders(std::move(table));
        host.resize(600, 400);
        host.show();
        host.Exchange(false);
    }

    QVariant Eval(const char* script) { return host.RunScript(QString::fromUtf8(script)); }

    // Lets reports on their way through the channel arrive.
    void Settle() {
        for (int i = 0; i < 20; ++i) QTest::qWait(10);
    }

    TestApp app;
    NS_Data::CUserLog log;
    CWebControlBase host;
};

TEST_F(PageHost, RenderingRunsTheLoadScriptAndFillsEveryPlaceholderWithFreshJson) {
    EXPECT_TRUE(Eval("loadRan").toBool());
    EXPECT_EQ(Eval("data.facts.length").toInt(), 2);
    EXPECT_EQ(Eval("twice[1].facts[0].name").toString(), QStringLiteral("Weight"));
    EXPECT_TRUE(Eval("day.log === null").toBool());

    // A name that spells a key is inserted as it is, not expanded again.
    log.Facts().AddOrUpdate(UserLog::CFactReference("%JSON_MEASURES%", 3, "x"));
    host.Exchange(false);
    EXPECT_EQ(Eval("data.facts.length").toInt(), 3);
    EXPECT_EQ(Eval("twice[0].facts[2].name").toString(), QStringLiteral("%JSON_MEASURES%"));
}

TEST(PageHostFailure, AMissingPageShowsTheFailurePage) {
    CWebControlBase host(4711);
    host.Exchange(false);
    EXPECT_EQ(host.RunScript(QStringLiteral("document.body.textContent")).toString(),
              QStringLiteral("Failed to load resource!"));
    EXPECT_FALSE(host.GetElement("text"));
}

TEST_F(PageHost, ValuesCrossInBothDirections) {
    std::string text = "typed here";
    host.ExchangeValue(false, "text", text);
    text.clear();
    host.ExchangeValue(true, "text", text);
    EXPECT_EQ(text, "typed here");

    double number = 72.5;
    host.ExchangeNumber(false, "number", number);
    EXPECT_EQ(Eval("document.getElementById('number').value").toString(), QStringLiteral("72.5"));
    number = 70;
    host.ExchangeNumber(false, "number", number);
    EXPECT_EQ(Eval("document.getElementById('number').value").toString(), QStringLiteral("70"));
    Eval("document.getElementById('number').value = ' 1.25 '");
    host.ExchangeNumber(true, "number", number);
    EXPECT_DOUBLE_EQ(number, 1.25);
    Eval("document.getElementById('number').value = 'abc'");
    host.ExchangeNumber(true, "number", number);
    EXPECT_DOUBLE_EQ(number, 1.25);

    int whole = 171;
    host.ExchangeInt(false, "number", whole);
    whole = 0;
    host.ExchangeInt(true, "number", whole);
    EXPECT_EQ(whole, 171);

    int index = -5;
    host.ExchangeSelectedIndex(true, "list", index);
    EXPECT_EQ(index, 2);  // chosen by the page's load script
    index = 1;
    host.ExchangeSelectedIndex(false, "list", index);
    EXPECT_EQ(Eval("document.getElementById('list').value").toString(), QStringLiteral("b"));

    std::string label;
    host.ExchangeText(true, "label", label);
    EXPECT_EQ(label, "label text");
    label = "<b>not markup</b>";
    host.ExchangeText(false, "label", label);
    EXPECT_EQ(Eval("document.getElementById('label').textContent").toString(), QStringLiteral("<b>not markup</b>"));
}

TEST_F(PageHost, RadioGroupsAnswerTheCheckedPosition) {
    int index = 7;
    host.ExchangeRadio(true, "group", index, 3);
    EXPECT_EQ(index, -1);

    index = 2;
    host.ExchangeRadio(false, "group", index, 3);
    index = 7;
    host.ExchangeRadio(true, "group", index, 3);
    EXPECT_EQ(index, 2);
    // Only the first `count` buttons belong to the group asked about.
    host.ExchangeRadio(true, "group", index, 2);
    EXPECT_EQ(index, -1);

    index = 3;
    host.ExchangeRadio(false, "group", index, 3);
    host.ExchangeRadio(true, "group", index, 3);
    EXPECT_EQ(index, 2);
}

TEST_F(PageHost, MissingElementsLeaveEverythingAsItWas) {
    std::string text = "kept";
    double number = 4.5;
    int whole = 9;
    host.ExchangeValue(true, "nothing", text);
    host.ExchangeNumber(true, "nothing", number);
    host.ExchangeInt(true, "nothing", whole);
    host.ExchangeSelectedIndex(true, "nothing", whole);
    host.ExchangeText(true, "nothing", text);
    host.Show("nothing", false);
    host.SetDisabled("nothing", true);
    EXPECT_EQ(text, "kept");
    EXPECT_DOUBLE_EQ(number, 4.5);
    EXPECT_EQ(whole, 9);
    EXPECT_FALSE(host.GetElement("nothing"));
    EXPECT_TRUE(host.GetElement("label"));
    EXPECT_TRUE(host.GetElement("anonymous"));  // found by name too

    Recorder recorder;
    EXPECT_FALSE(host.AddObserver("nothing", recorder.Functor()));
}

TEST_F(PageHost, ClassesAndDisabledStateAreSet) {
    host.Show("label", false);
    EXPECT_EQ(Eval("document.getElementById('label').className").toString(), QStringLiteral("hide"));
    EXPECT_EQ(Eval("getComputedStyle(document.getElementById('label')).display").toString(), QStringLiteral("none"));
    host.Show("label", true);
    EXPECT_EQ(Eval("document.getElementById('label').className").toString(), QStringLiteral("show"));
    host.SetDisabled("list", true);
    EXPECT_TRUE(Eval("document.getElementById('list').disabled").toBool());
    host.SetDisabled("list", false);
    EXPECT_FALSE(Eval("document.getElementById('list').disabled").toBool());
}

TEST_F(PageHost, ObserversHearWhatThePageScriptWritesButNotItsLoadStep) {
    Recorder recorder;
    ASSERT_TRUE(host.AddObserver("hidden", recorder.Functor()));
    Settle();
    EXPECT_TRUE(recorder.events.empty());  // "from load" was written before

    Eval("later('20240512')");
    Settle();
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].id, "hidden");
    EXPECT_EQ(recorder.events[0].value, "20240512");
    EXPECT_EQ(recorder.events[0].dispatchId, Gui::ElementEvent::kPropertyChange);

    host.RemoveObservers();
    Eval("later('20240513')");
    Settle();
    EXPECT_EQ(recorder.events.size(), 1u);
}

TEST_F(PageHost, AnElementWithoutAnIdIsNotHeard) {
    Recorder recorder;
    EXPECT_TRUE(host.AddObserver("anonymous", recorder.Functor()));
    Eval("document.getElementsByName('anonymous')[0].value = 'x'");
    Settle();
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(PageHost, ARenderingDropsTheOldPagesObservers) {
    Recorder recorder;
    ASSERT_TRUE(host.AddObserver("hidden", recorder.Functor()));
    Eval("later('old page')");
    host.Exchange(false);
    // Element operations reach the new document.
    std::string value;
    host.ExchangeValue(true, "hidden", value);
    EXPECT_EQ(value, "from load");
    Eval("later('new page')");
    Settle();
    for (const auto& e : recorder.events) EXPECT_NE(e.value, "new page");
}

// A rendering of the text on show, which nothing has changed since, needs no load; anything that
// may have changed the page (a write, a script, the user, new data) loads it again.
TEST_F(PageHost, ARenderingLoadsThePageAgainOnlyWhenItMayShowOtherwise) {
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"nothing", [] {}},
        {"a field written",
         [this] {
             std::string text = "written";
             host.ExchangeValue(false, "text", text);
         }},
        {"a script run", [this] { Eval("true"); }},
        {"the user typed",
         [this] {
             Recorder recorder;
             ASSERT_TRUE(host.AddObserver("editor", recorder.Functor()));
             host.View()->page()->runJavaScript(
                 QStringLiteral("var e = document.getElementById('editor'); e.value = 'typed';"
                                "e.dispatchEvent(new Event('input'))"));
             Settle();
             host.Exchange(true);
         }},
        {"new data", [this] { log.Facts().AddOrUpdate(UserLog::CFactReference("Waist", 80, "cm")); }},
    };
    for (const auto& [change, make] : cases) {
        SCOPED_TRACE(change);
        host.Exchange(false);
        // A mark left without the host's knowledge: only a load takes it away.
        bool marked = false;
        host.View()->page()->runJavaScript(QStringLiteral("window.mark = 1"),
                                           [&marked](const QVariant&) { marked = true; });
        ASSERT_TRUE(QTest::qWaitFor([&marked] { return marked; }));
        make();
        const int before = host.Renderings();
        EXPECT_TRUE(host.Exchange(false));
        EXPECT_EQ(host.Renderings(), before + 1);
        EXPECT_EQ(Eval("window.mark === 1").toBool(), std::string(change) == "nothing");
        EXPECT_EQ(Eval("data.facts.length").toInt(), std::string(change) == "new data" ? 3 : 2);
    }
}

// A page with a refreshPage takes new data without a load, and then shows what a load of the
// new text would: its body as the text has it, built from the new values, scrolled to the top,
// with nothing observed.
TEST(PageRefresh, NewDataIsShownAsALoadWouldShowIt) {
    TestApp app;
    NS_Data::CUserLog log(&app.meals, &app.source);
    const auto placeholders = [&log] {
        return std::make_unique<Page::PlaceholderTable>(
            Page::PlaceholderTable{{NS_Data::CUserLog::kJsonMeasures, &log}});
    };
    CWebControlBase host(QStringLiteral(":/test/Refreshed.html"));
    host.SetPlaceholders(placeholders());
    host.resize(400, 300);
    host.show();
    ASSERT_TRUE(host.Exchange(false));
    const auto eval = [&host](const char* script) { return host.RunScript(QString::fromUtf8(script)); };
    Recorder recorder;
    ASSERT_TRUE(host.AddObserver("hidden", recorder.Functor()));
    eval(
        "document.getElementById('text').value = 'typed'; document.getElementById('facts').innerHTML += '<li>x</li>';"
        "window.scrollTo(0, 900); true");

    log.Facts().AddOrUpdate(UserLog::CFactReference("Waist", 80, "cm"));
    const int before = host.Renderings();
    EXPECT_TRUE(host.Exchange(false));
    EXPECT_EQ(host.Renderings(), before + 1);
    EXPECT_EQ(eval("loads").toInt(), 1);  // no load
    EXPECT_EQ(eval("document.querySelectorAll('#facts li').length").toInt(), 3);
    EXPECT_EQ(eval("document.getElementById('text').value").toString(), QStringLiteral("start"));
    EXPECT_EQ(eval("window.scrollY").toInt(), 0);
    // The same body as a host that loads the text.
    CWebControlBase loaded(QStringLiteral(":/test/Refreshed.html"));
    loaded.SetPlaceholders(placeholders());
    ASSERT_TRUE(loaded.Exchange(false));
    const QString body = QStringLiteral("document.body.innerHTML");
    EXPECT_EQ(host.RunScript(body).toString(), loaded.RunScript(body).toString());
    eval("document.getElementById('hidden').value = 'after'; true");
    QTest::qWait(100);
    EXPECT_TRUE(recorder.events.empty());

    // A refreshPage that fails leaves the page to a load.
    eval("window.failNext = true");
    log.Facts().AddOrUpdate(UserLog::CFactReference("Pulse", 60, "bpm"));
    EXPECT_TRUE(host.Exchange(false));
    EXPECT_TRUE(eval("window.failNext === undefined").toBool());
    EXPECT_EQ(eval("document.querySelectorAll('#facts li').length").toInt(), 4);
}

TEST_F(PageHost, TheSaveStepDeliversWhatTheFocusedElementWritesOnLeaving) {
    Recorder recorder;
    ASSERT_TRUE(host.AddObserver("hidden", recorder.Functor()));
    Eval("var e = document.getElementById('editor'); e.focus(); e.value = '72.5'; true");
    host.Exchange(true);
    // Delivered before the save step returns, not later by the channel...
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].value, "committed 72.5");
    // ...and not a second time when the channel catches up.
    Settle();
    EXPECT_EQ(recorder.events.size(), 1u);
}

TEST_F(PageHost, ManyFieldsCrossInOneCall) {
    std::string text = "one call", label = "both ways";
    double number = 72.5;
    int index = 0, radio = 1;
    CPageFields out;
    out.Value("text", text);
    out.Number("number", number);
    out.SelectedIndex("list", index);
    out.Radio("group", radio, 3);
    out.Text("label", label);
    out.Show("label", false);
    out.SetDisabled("list", true);
    out.Value("nothing", text);  // missing: left alone
    ASSERT_TRUE(host.Write(out));
    EXPECT_EQ(Eval("getComputedStyle(document.getElementById('label')).display").toString(), QStringLiteral("none"));
    EXPECT_TRUE(Eval("document.getElementById('list').disabled").toBool());

    std::string text2 = "x", label2 = "x";
    double number2 = 0;
    int index2 = -7, radio2 = -7;
    bool present = true, absent = true;
    CPageFields in;
    in.Value("text", text2);
    in.Number("number", number2);
    in.SelectedIndex("list", index2);
    in.Radio("group", radio2, 3);
    in.Text("label", label2);
    in.Has("label", present);
    in.Has("nothing", absent);
    in.Show("label", true);  // a write: not done by a read
    ASSERT_TRUE(host.Read(in));
    EXPECT_EQ(text2, "one call");
    EXPECT_DOUBLE_EQ(number2, 72.5);
    EXPECT_EQ(index2, 0);
    EXPECT_EQ(radio2, 1);
    EXPECT_EQ(label2, "both ways");
    EXPECT_TRUE(present);
    EXPECT_TRUE(absent);  // no answer for a missing element: left as it was
    EXPECT_EQ(Eval("document.getElementById('label').className").toString(), QStringLiteral("hide"));
}

TEST_F(PageHost, AHungPageEndsTheWaitAndChangesNothing) {
    ShortPageWaits shortWaits;
    std::string text = "kept";
    double number = 4.5;
    int index = -5;
    CPageFields fields;
    fields.Value("text", text);
    fields.Number("number", number);
    fields.SelectedIndex("list", index);
    HangPage(host, 1500);
    {
        CPageWaitBound bound;
        EXPECT_FALSE(host.Exchange(true, fields));
        EXPECT_FALSE(host.Read(fields));
        EXPECT_TRUE(bound.Failed());
    }
    EXPECT_EQ(text, "kept");
    EXPECT_DOUBLE_EQ(number, 4.5);
    EXPECT_EQ(index, -5);

    // The page that answers again is read as before.
    ASSERT_TRUE(PageAnswers(host));
    CPageWaitBound bound;
    EXPECT_TRUE(host.Read(fields));
    EXPECT_FALSE(bound.Failed());
    EXPECT_EQ(text, "start");
    EXPECT_DOUBLE_EQ(number, 1.5);
    EXPECT_EQ(index, 2);
}

TEST_F(PageHost, AHandlerMayAskThePageAgainFromInsideItself) {
    // The save step inside a handler hands on what came meanwhile, to the handler being run.
    struct Nested {
        CWebControlBase* host;
        std::vector<std::string> values;
        void OnEvent(const Gui::ElementEvent& e) {
            values.push_back(e.value);
            if (values.size() == 1) host->Exchange(true);
        }
    } nested{&host, {}};
    ASSERT_TRUE(host.AddObserver("hidden", std::make_unique<T_FunctorImpl<Nested>>(&nested, &Nested::OnEvent)));
    Eval("later('first'); later('second'); true");
    Settle();
    EXPECT_EQ(nested.values, (std::vector<std::string>{"first", "second"}));
}

struct NumberCase {
    const char* text;
    std::optional<double> whole;
};

// What the pages write, the page host and the typed-number reader take alike.
TEST(PageNumbers, ReadTheSameInEveryLocale) {
    const NumberCase cases[] = {
        {"72.5", 72.5}, {" 70 ", 70},          {"", std::nullopt},    {"abc", std::nullopt}, {"12abc", std::nullopt},
        {"+3", 3},      {"inf", std::nullopt}, {"nan", std::nullopt}, {"-1.5e2", -150},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Gui::WholeNumber(c.text), c.whole) << c.text;
        EXPECT_EQ(TypedNumber(c.text), c.whole) << c.text;
    }
}

}  // namespace
