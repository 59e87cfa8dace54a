#pragma once

#include "support/TempDir.h"

#include "model/Meal.h"
#include "refdata/DataSourceMgr.h"
#include "ui/frame/AppContext.h"

#include <QMainWindow>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

// Failed expectations show texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// A file of tests/data.
std::string TestFile(const std::string& relative);

// Runs `act` on the next modal window (dialog or message box) as soon as it is open, from inside
// the event loop that the window's exec() runs.
void OnNextModal(std::function<void(QWidget*)> act);

template <class Dialog>
void OnNextDialog(std::function<void(Dialog&)> act) {
    OnNextModal([act = std::move(act)](QWidget* w) {
        auto* dialog = qobject_cast<Dialog*>(w);
        if (!dialog) {
            w->close();
            return;
        }
        act(*dialog);
    });
}

class CWebControlBase;

// A renderer that hangs: the page's script runs busy for `ms` milliseconds, and every call to
// the page waits meanwhile.
void HangPage(CWebControlBase& page, int ms);
// Waits until the page answers again.
bool PageAnswers(CWebControlBase& page);

// Page waits end after a short time while one lives, so a hung page costs a test little.
class ShortPageWaits {
public:
    explicit ShortPageWaits(int ms = 300);
    ~ShortPageWaits();
    ShortPageWaits(const ShortPageWaits&) = delete;
    ShortPageWaits& operator=(const ShortPageWaits&) = delete;

private:
    int old_;
};

// Puts a widget into a main window of its own for the object's life, where the status bar
// messages of its views can be read; the widget leaves it again, undeleted.
class InMainWindow {
public:
    explicit InMainWindow(QWidget* widget);
    ~InMainWindow();
    InMainWindow(const InMainWindow&) = delete;
    InMainWindow& operator=(const InMainWindow&) = delete;
    QString StatusMessage() const;

private:
    std::unique_ptr<QMainWindow> window_;
    QWidget* widget_;
};

// Forgets the recent files and the user ID.
void ClearUserSettings();

// The reference data tests open profiles with: the small data source of tests/data/model and the
// meal list, and an application folder of their own.
class TestApp {
public:
    TestApp();
    Gui::CAppContext Context() const;
    const TempDir& Folder() const { return folder_; }
    std::string Profiles() const { return folder_.File("profiles"); }
    // Copies a profile of tests/data/ui into the profiles folder; answers its path there.
    std::string AddProfile(const std::string& fixture, const std::string& name) const;

    CDataSourceMgr source;
    Meal::CMealManager meals;

private:
    TempDir folder_;
};
