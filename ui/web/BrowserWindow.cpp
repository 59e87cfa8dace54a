#include "BrowserWindow.h"

#include "WebEngineSetup.h"

#include "core/Services.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>

namespace Gui {

namespace {

// Help and reports keep nothing between runs: no cache, no cookies, no storage on disk.
QWebEngineProfile* BrowserProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (!profile) profile = new QWebEngineProfile(qApp);
    return profile;
}

}  // namespace

CBrowserWindow::CBrowserWindow(ExternalOpener openExternally, QWidget* parent)
    : QMainWindow(parent, Qt::Window), opener_(std::move(openExternally)) {
    Gui::PrepareWebEngine();
    setObjectName(QStringLiteral("browserWindow"));
    setWindowTitle(QStringLiteral("Velmora"));
    view_ = new QWebEngineView(this);
    view_->setPage(new QWebEnginePage(BrowserProfile(), view_));
    setCentralWidget(view_);

    auto* bar = new QToolBar(QStringLiteral("Navigation"), this);
    bar->setObjectName(QStringLiteral("browserToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolBar(Qt::TopToolBarArea, bar);
    QAction* back = bar->addAction(QStringLiteral("Back"), view_, &QWebEngineView::back);
    back->setShortcut(QKeySequence::Back);
    QAction* forward = bar->addAction(QStringLiteral("Forward"), view_, &QWebEngineView::forward);
    forward->setShortcut(QKeySequence::Forward);
    bar->addSeparator();
    openExternally_ = bar->addAction(QStringLiteral("Open in Browser"), this, &CBrowserWindow::OpenInBrowser);
    openExternally_->setObjectName(QStringLiteral("openInBrowser"));
    openExternally_->setToolTip(QStringLiteral("Open this page in the system's web browser"));
    QAction* close = bar->addAction(QStringLiteral("Close"), this, &QWidget::close);
    close->setShortcut(QKeySequence::Close);

    connect(view_, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        setWindowTitle(title.isEmpty() ? QStringLiteral("Velmora") : title + QStringLiteral(" - Velmora"));
    });
    // Where the page came from, so that a page that could not be reached still says what was asked.
    auto* address = new QLabel(this);
    address->setObjectName(QStringLiteral("browserAddress"));
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(address, 1);
    connect(view_, &QWebEngineView::urlChanged, this, [address, back, forward, this](const QUrl& url) {
        address->setText(url.toDisplayString());
        back->setEnabled(view_->history()->canGoBack());
        forward->setEnabled(view_->history()->canGoForward());
    });
    back->setEnabled(false);
    forward->setEnabled(false);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableSize() : QSize(1024, 768);
    resize(std::min(960, room.width() * 9 / 10), room.height() * 9 / 10);
}

void CBrowserWindow::Show(const QUrl& url) {
    requested_ = url;
    view_->load(url);
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

QUrl CBrowserWindow::Url() const { return view_->url().isEmpty() ? requested_ : view_->url(); }

void CBrowserWindow::OpenInBrowser() {
    const QUrl url = Url();
    if (url.isEmpty()) return;
    if (opener_ && opener_(url)) return;
    Services::Prompt().Message("No web browser could be started for " + url.toDisplayString().toStdString() +
                               ".\nThe page stays open here.");
}

}  // namespace Gui
