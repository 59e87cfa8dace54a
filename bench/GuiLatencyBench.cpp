// What the user waits for in the desktop program: the time from an input event to the view on show
// having its result, with the real browser engine (offscreen) and a one-year sample profile on the
// USDA table. "Shown" means: every event the input queued has been handled, each page on show has
// laid out its document (one script round trip asks for its size), and the window has painted.
//
// Printed per action: the median and the 95th percentile over the repetitions (20 unless
// VELMORA_BENCH_REPS says; VELMORA_BENCH_FRAMES is below), and the start-up time to the main window (the program
// started as its own process each time, so each start is a cold one of the process).
//
//   bench_gui [--startup]     (--startup: start, print the milliseconds to the main window, quit)

#include "VelmoraApp.h"

#include "ui/commands/Commands.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/IngredientTree.h"
#include "ui/views/ViewCalendar.h"
#include "ui/views/ViewIngredients.h"
#include "ui/web/WebControlBase.h"
#include "ui/web/WebEngineSetup.h"

#include "core/Services.h"
#include "document/viewmodel/DayFoodList.h"
#include "model/LogDay.h"
#include "widgets/CustomTabCtrl.h"
#include "widgets/ReportList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <boost/date_time/gregorian/gregorian.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// VELMORA_BENCH_FRAMES=1: "shown" also waits until each page on show has drawn a frame, the
// stricter reading of a page's result being on screen.
bool WaitForFrames() {
    static const bool frames = [] {
        const char* text = std::getenv("VELMORA_BENCH_FRAMES");
        return text && std::string(text) == "1";
    }();
    return frames;
}

int Repetitions() {
    const char* text = std::getenv("VELMORA_BENCH_REPS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 20;
}

// Nobody answers message boxes; closing never saves.
class SilentPrompt : public Services::IPrompt {
public:
    void Message(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    Services::Answer Question(const std::string&, Services::Buttons, const std::string&) override {
        return Services::Answer::No;
    }
};

// A report is written to its file; no browser is started.
class NoBrowser : public Services::IShell {
public:
    bool Open(const std::string&) override { return true; }
};

// Handles events until `done` answers true; throws after a minute.
void WaitUntil(const std::function<bool()>& done, const char* what) {
    const auto start = Clock::now();
    while (!done()) {
        if (Ms(start) > 60000) throw std::runtime_error(std::string("timed out: ") + what);
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// Handles what is queued, then has every page on show lay out and the window paint. The pages are
// asked straight through the browser, as the program's own scripts would change what a page shows.
void Settle(QWidget& window) {
    QApplication::processEvents();
    for (CWebControlBase* page : window.findChildren<CWebControlBase*>()) {
        if (!page->isVisible()) continue;
        auto done = std::make_shared<bool>(false);
        page->View()->page()->runJavaScript(QStringLiteral("document.body ? document.body.offsetHeight : 0"),
                                            [done](const QVariant&) { *done = true; });
        WaitUntil([done] { return *done; }, "a page's layout");
        if (WaitForFrames()) {
            // Two animation frames on, the frame with what the page laid out has been drawn.
            page->View()->page()->runJavaScript(
                QStringLiteral("window.__benchFramed = false;"
                               "requestAnimationFrame(function () {"
                               "  requestAnimationFrame(function () { window.__benchFramed = true; }); }); 0"));
            for (bool framed = false; !framed;) {
                auto asked = std::make_shared<std::optional<bool>>();
                page->View()->page()->runJavaScript(QStringLiteral("window.__benchFramed === true"),
                                                    [asked](const QVariant& v) { *asked = v.toBool(); });
                WaitUntil([asked] { return asked->has_value(); }, "a page's frame");
                framed = **asked;
            }
        }
    }
    window.repaint();
}

class Table {
public:
    void Add(const std::string& action, double ms) {
        if (!times_.count(action)) order_.push_back(action);
        times_[action].push_back(ms);
    }
    void Print() const {
        std::printf("%-40s %6s %9s %9s\n", "action", "n", "median ms", "p95 ms");
        for (const std::string& action : order_) {
            std::vector<double> t = times_.at(action);
            std::sort(t.begin(), t.end());
            const auto at = [&t](double q) {
                const std::size_t i = static_cast<std::size_t>(q * static_cast<double>(t.size() - 1) + 0.5);
                return t[std::min(i, t.size() - 1)];
            };
            std::printf("%-40s %6zu %9.1f %9.1f\n", action.c_str(), t.size(), at(0.5), at(0.95));
        }
        std::fflush(stdout);
    }

private:
    std::vector<std::string> order_;
    std::map<std::string, std::vector<double>> times_;
};

// A fresh application folder using the USDA table, with the one-year sample profile in it.
struct Workspace {
    Workspace() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-gui-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("can't create a temporary folder");
        folder = tmpl;
        std::filesystem::create_directories(folder / "profiles");
        std::filesystem::create_directories(folder / "config");
        std::ofstream(folder / "config.xml")
            << "<?xml version=\"1.0\"?>\n<settings>\n  <section name=\"General\">\n"
               "    <param name=\"Data Source\" type=\"ifile\" write=\"true\"><value>" VELMORA_USDA_FILE
               "</value></param>\n"
               "    <param name=\"Load Last Profile\" type=\"boolean\" write=\"true\"><value>false</value></param>\n"
               "    <param name=\"Run Wizard\" type=\"boolean\" write=\"true\"><value>false</value></param>\n"
               "  </section>\n  <section name=\"Update\">\n"
               "    <param name=\"Time Interval\" type=\"choice\" write=\"true\"><value>never</value></param>\n"
               "  </section>\n</settings>\n";
        // The report templates the program came with, which it finds beside itself.
        std::filesystem::copy(VELMORA_RUNTIME_DIR "/xslt", folder / "xslt", std::filesystem::copy_options::recursive);
        profile = (folder / "profiles" / "Sample").string();
        const std::string command = std::string("'") + VELMORA_CLI +
                                    "' --data-source '" VELMORA_USDA_FILE "' sample-profile '" + profile +
                                    "' --days 365 >/dev/null";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("can't write the sample profile");
    }
    ~Workspace() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path folder;
    std::string profile;
};

int TabIndex(CChildFrameBase& child, const std::string& name) {
    for (int i = 0; i < child.TabCount(); ++i)
        if (child.TabName(i) == name) return i;
    throw std::runtime_error("no tab " + name);
}

// Chooses the tab as a click on its strip does and waits for it to be on show.
double ShowTab(CMainFrame& main, CChildFrameBase& child, const std::string& name) {
    const int index = TabIndex(child, name);
    const auto start = Clock::now();
    child.TabCtrl()->TabBar()->setCurrentIndex(index);
    Settle(main);
    if (child.CurrentTab() != index) throw std::runtime_error("tab " + name + " not on show");
    return Ms(start);
}

const std::vector<std::string> kTabs = {"Personal", "Log", "Diet", "Energy", "Food", "Nutrients", "Trends"};

void FirstShowings(CVelmoraApp& app, const std::string& profile, int reps, Table& table) {
    CMainFrame& main = *app.MainFrame();
    for (int r = 0; r < reps; ++r) {
        const auto start = Clock::now();
        if (!app.DocManager()->OpenDocumentFile(profile, false)) throw std::runtime_error("can't open the profile");
        CChildFrameBase* child = main.ActiveChildFrame();
        Settle(main);
        table.Add("open the profile (" + child->TabName(child->CurrentTab()) + " on show)", Ms(start));
        for (const std::string& tab : kTabs)
            if (child->TabName(child->CurrentTab()) != tab)
                table.Add(tab + " tab, first showing", ShowTab(main, *child, tab));
        main.CloseAllDocuments();
        QApplication::processEvents();
    }
}

void Actions(CVelmoraApp& app, const std::string& profile, int reps, Table& table) {
    CMainFrame& main = *app.MainFrame();
    if (!app.DocManager()->OpenDocumentFile(profile, false)) throw std::runtime_error("can't open the profile");
    CChildFrameBase& child = *main.ActiveChildFrame();
    CVelmoraDoc& doc = *child.GetActiveDocument();
    for (const std::string& tab : kTabs) ShowTab(main, child, tab);
    for (int r = 0; r < reps; ++r)
        for (const std::string& tab : kTabs) table.Add(tab + " tab, later showing", ShowTab(main, child, tab));

    // The Log tab: clicking days of the month on show, and typing the first fact's value.
    ShowTab(main, child, "Log");
    auto& log = dynamic_cast<CViewCalendar&>(*child.TabView(TabIndex(child, "Log")));
    const QStringList days =
        log.CalendarPage()
            .RunScript(QStringLiteral("Array.prototype.map.call(document.querySelectorAll('#calendar td.day'),"
                                      "function (c) { return c.id; }).join(',')"))
            .toString()
            .split(u',', Qt::SkipEmptyParts);
    if (days.size() < 2) throw std::runtime_error("the calendar shows no days");
    for (int r = 0; r < reps; ++r) {
        const std::string day = days[r % days.size()].toStdString() == doc.CurrentDate()
                                    ? days[(r + 1) % days.size()].toStdString()
                                    : days[r % days.size()].toStdString();
        const int calendarBefore = log.CalendarPage().Renderings();
        const int summaryBefore = log.SummaryPage().Renderings();
        const auto start = Clock::now();
        log.CalendarPage().RunScript(
            QStringLiteral("document.getElementById('%1').click()").arg(QString::fromStdString(day)));
        WaitUntil(
            [&] {
                return doc.CurrentDate() == day && log.CalendarPage().Renderings() > calendarBefore &&
                       log.SummaryPage().Renderings() > summaryBefore;
            },
            "a clicked day");
        Settle(main);
        table.Add("Log: click a day", Ms(start));
    }
    const std::string fact =
        log.SummaryPage()
            .RunScript(QStringLiteral("factName(document.querySelectorAll('#FactsContent tr')[1])"))
            .toString()
            .toStdString();
    for (int r = 0; r < reps; ++r) {
        const double value = 60.0 + r / 10.0;
        const auto start = Clock::now();
        log.SummaryPage().RunScript(
            QStringLiteral("document.querySelectorAll('#FactsContent tr')[1].cells[2].click();"
                           "var i = document.getElementById('InplaceInput'); i.value = '%1';"
                           "i.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter'}));"
                           // An offscreen page has no keyboard focus to lose: its blur comes by hand.
                           "if (i.parentNode) i.dispatchEvent(new FocusEvent('blur')); true")
                .arg(value));
        WaitUntil(
            [&] {
                const UserLog::CFact* f = doc.CurrentDay().FindFact(fact);
                return f && std::abs(f->value - value) < 1e-9;
            },
            "a typed fact value");
        Settle(main);
        table.Add("Log: type a fact value", Ms(start));
    }

    // The Food tab: adding a food of the tree, editing its amount, a keystroke in the search.
    ShowTab(main, child, "Food");
    auto& food = dynamic_cast<CViewIngredients&>(*child.TabView(TabIndex(child, "Food")));
    // A food is added once without a meal; each repetition adds another.
    const int keys[] = {8120,  1079,  9040,  18075, 1132, 14209, 1116,  9003,  16098, 9200,  5064,  20045, 11091,
                        16070, 11529, 11251, 11124, 1009, 4053,  18069, 20121, 23568, 15237, 11828, 1001};
    for (int r = 0; r < reps; ++r) {
        const FoodKey key(keys[r % std::size(keys)], app.DataSource().SourceId());
        food.Tree().setCurrentItem(food.Tree().ShowFood(app.DataSource(), key));
        QApplication::processEvents();
        const int before = food.FoodList().rowCount();
        const auto start = Clock::now();
        food.AddButton().click();
        Settle(main);
        table.Add("Food: add a food", Ms(start));
        if (food.FoodList().rowCount() != before + 1) throw std::runtime_error("no food was added");
    }
    for (int r = 0; r < reps; ++r) {
        const int row = food.FoodList().rowCount() - 1;
        const auto start = Clock::now();
        food.OnCellTextEditFinished(row, DayFoodList::kAmount, QString::number(1 + r % 3));
        Settle(main);
        table.Add("Food: edit an amount", Ms(start));
    }
    QLineEdit& box = food.SearchBox();
    box.setFocus();
    box.setText(QStringLiteral("chees"));
    for (int r = 0; r < reps; ++r) {
        // "cheese" and back to "chees": each keystroke changes the text, and so the results.
        const bool add = r % 2 == 0;
        bool shown = false;
        auto connection =
            QObject::connect(food.Results().model(), &QAbstractItemModel::rowsInserted, [&shown] { shown = true; });
        const auto start = Clock::now();
        QKeyEvent press(QEvent::KeyPress, add ? Qt::Key_E : Qt::Key_Backspace, Qt::NoModifier,
                        add ? QStringLiteral("e") : QString());
        QApplication::sendEvent(&box, &press);
        WaitUntil([&] { return shown && app.SearchWorkers().Running() == 0; }, "search results");
        Settle(main);
        table.Add("Food: search keystroke to results", Ms(start));
        QObject::disconnect(connection);
    }

    // A report written to its file.
    const std::filesystem::path report = app.AppDir() + "/export.htm";
    for (int r = 0; r < reps; ++r) {
        std::error_code ec;
        std::filesystem::remove(report, ec);
        const auto start = Clock::now();
        main.ExecuteCommand(Gui::CommandId::ReportSummary);
        const double ms = Ms(start);
        if (!std::filesystem::exists(report)) throw std::runtime_error("no report was written");
        table.Add("Report (summary) written", ms);
    }
    main.CloseAllDocuments();
    QApplication::processEvents();
}

// The start-ups as separate processes, each printing its own time.
void StartUps(const QString& self, int reps, const Workspace& w, Table& table) {
    for (int r = 0; r < reps; ++r) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(self, {QStringLiteral("--startup"), QString::fromStdString(w.folder.string())});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) throw std::runtime_error("the start-up run failed");
        table.Add("start-up to the main window", p.readAllStandardOutput().trimmed().toDouble());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto processStart = Clock::now();
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    const bool startupOnly = argc >= 3 && std::string(argv[1]) == "--startup";
    std::unique_ptr<Workspace> workspace;
    std::filesystem::path folder;
    if (startupOnly) {
        folder = argv[2];
    } else {
        workspace = std::make_unique<Workspace>();
        folder = workspace->folder;
    }
    // Nothing of the user's own settings is read or changed.
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

    Gui::PrepareWebEngine();
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orrindale"));
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    SilentPrompt prompt;
    NoBrowser shell;
    Services::SetPrompt(&prompt);
    Services::SetShell(&shell);
    int result = 0;
    try {
        CVelmoraApp::Options options;
        options.appDir = folder.string();
        CVelmoraApp app(options);
        if (!app.InitInstance()) throw std::runtime_error("the program did not start");
        WaitUntil([&] { return app.MainFrame() && app.MainFrame()->isVisible(); }, "the main window");
        Settle(*app.MainFrame());
        if (startupOnly) {
            std::printf("%.1f\n", Ms(processStart));
        } else {
            const int reps = Repetitions();
            Table table;
            StartUps(QString::fromLocal8Bit(argv[0]), reps, *workspace, table);
            FirstShowings(app, workspace->profile, reps, table);
            Actions(app, workspace->profile, reps, table);
            table.Print();
        }
        app.ExitInstance();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_gui: %s\n", e.what());
        result = 1;
    }
    Services::SetPrompt(nullptr);
    Services::SetShell(nullptr);
    return result;
}
