#include "ui/frame/QtServices.h"

#include "support/FakeServices.h"
#include "support/TempDir.h"

#include "document/report/Report.h"
#include "ui/web/BrowserWindow.h"

#include <QAction>
#include <QSignalSpy>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The system's browser as the shell sees it: the addresses handed to it, and whether one started.
struct SystemBrowser {
    bool present = true;
    std::vector<std::string> opened;
    std::function<bool(const QUrl&)> Opener() {
        return [this](const QUrl& url) {
            opened.push_back(url.toString().toStdString());
            return present;
        };
    }
};

TEST(QtShell, ProgramPagesOpenInItsOwnWindowAndWebPagesInTheSystemsBrowserElseThere) {
    TempDir tmp;
    tmp.Write("help/index.htm", "<html><head><title>Reference</title></head><body>help</body></html>");
    tmp.Write("log.csv", "Date,Food\n");
    const std::string page = Report::FileUrl(tmp.File("help/index.htm"));
    const std::string csv = Report::FileUrl(tmp.File("log.csv"));
    const std::string web = "http://127.0.0.1:9/update.php?version=2";
    struct Case {
        const char* what;
        std::string url;
        bool browser;           // the system has a browser
        bool toSystem;          // the address goes to it
        std::string shownHere;  // what the program's window shows; empty: no window
    };
    const std::vector<Case> cases = {
        {"a help page, with a place in it", page + "#energy", true, false, page + "#energy"},
        {"a path", tmp.File("help/index.htm"), true, false, page},
        {"the update page", web, true, true, ""},
        {"the update page without a browser", web, false, true, web},
        {"a file that is no page", csv, true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SystemBrowser system;
        system.present = c.browser;
        Gui::QtShell shell(system.Opener());
        EXPECT_TRUE(shell.Open(c.url));
        EXPECT_EQ(system.opened, c.toSystem ? std::vector<std::string>{c.url} : std::vector<std::string>{});
        if (c.shownHere.empty()) {
            EXPECT_EQ(shell.Window(), nullptr);
            continue;
        }
        ASSERT_NE(shell.Window(), nullptr);
        EXPECT_TRUE(shell.Window()->isVisible());
        EXPECT_EQ(shell.Window()->Url().toString().toStdString(), c.shownHere);
    }
}

TEST(QtShell, OnePageWindowServesEveryPageAndHandsThePageOnToTheSystemsBrowser) {
    TempDir tmp;
    tmp.Write("a.htm", "<html><head><title>Reference</title></head><body>a</body></html>");
    tmp.Write("b.htm", "<html><head><title>Summary</title></head><body>b</body></html>");
    RecordingPrompt prompt;
    SystemBrowser system;
    Gui::QtShell shell(system.Opener());

    ASSERT_TRUE(shell.Open(Report::FileUrl(tmp.File("a.htm"))));
    Gui::CBrowserWindow* window = shell.Window();
    QSignalSpy loaded(window->View(), &QWebEngineView::loadFinished);
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Reference - Velmora"));
    ASSERT_TRUE(shell.Open(Report::FileUrl(tmp.File("b.htm"))));
    EXPECT_EQ(shell.Window(), window);
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Summary - Velmora"));

    window->OpenInBrowserAction()->trigger();
    EXPECT_EQ(system.opened, std::vector<std::string>{Report::FileUrl(tmp.File("b.htm"))});
    EXPECT_TRUE(prompt.messages.empty());
    system.present = false;
    window->OpenInBrowserAction()->trigger();
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>{"No web browser could be started for " + Report::FileUrl(tmp.File("b.htm")) +
                                       ".\nThe page stays open here."});
    // Closed, it goes; the next page opens a window again.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shell.Window(), nullptr);
    ASSERT_TRUE(shell.Open(Report::FileUrl(tmp.File("a.htm"))));
    EXPECT_NE(shell.Window(), nullptr);
}

}  // namespace
