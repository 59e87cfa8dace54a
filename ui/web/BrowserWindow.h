#pragma once

#include <QMainWindow>
#include <QUrl>

#include <functional>

class QAction;
class QWebEngineView;

namespace Gui {

// The program's own browser: help pages, reports and the update page, shown without a web browser
// of the system. "Open in Browser" hands the page on to the system's browser for those who want it
// there (to print it, to keep it).
class CBrowserWindow : public QMainWindow {
    Q_OBJECT

public:
    // How a page goes to the system's browser; false when no browser took it.
    using ExternalOpener = std::function<bool(const QUrl&)>;

    explicit CBrowserWindow(ExternalOpener openExternally, QWidget* parent = nullptr);

    // Loads the page and brings the window to the front.
    void Show(const QUrl& url);
    // The page on show, or the one asked for while it loads.
    QUrl Url() const;
    QWebEngineView* View() const { return view_; }
    QAction* OpenInBrowserAction() const { return openExternally_; }

private:
    void OpenInBrowser();

    ExternalOpener opener_;
    QUrl requested_;
    QWebEngineView* view_ = nullptr;
    QAction* openExternally_ = nullptr;
};

}  // namespace Gui
