#include "GuiSupport.h"

#include "ui/web/WebControlBase.h"

#include <QApplication>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <filesystem>

std::string TestFile(const std::string& relative) { return std::string(VELMORA_TEST_DATA) + "/" + relative; }

void OnNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

void HangPage(CWebControlBase& page, int ms) {
    // Not through the host, which would wait for it.
    page.View()->page()->runJavaScript(
        QStringLiteral("(function(){var t=Date.now();while(Date.now()-t<%1){}})()").arg(ms));
}

bool PageAnswers(CWebControlBase& page) {
    return QTest::qWaitFor([&] { return page.RunScript(QStringLiteral("1")).toInt() == 1; }, 10000);
}

ShortPageWaits::ShortPageWaits(int ms)
    : old_(static_cast<int>(CWebControlBase::SetWaitLimit(std::chrono::milliseconds(ms)).count())) {}

ShortPageWaits::~ShortPageWaits() { CWebControlBase::SetWaitLimit(std::chrono::milliseconds(old_)); }
InMainWindow::InMainWindow(QWidget* widget) : window_(std::make_unique<QMainWindow>()), widget_(widget) {
    window_->setCentralWidget(widget_);
    window_->resize(1000, 700);
    window_->show();
}

InMainWindow::~InMainWindow() {
    window_->takeCentralWidget();
    widget_->setParent(nullptr);
}

QString InMainWindow::StatusMessage() const { return window_->statusBar()->currentMessage(); }

void ClearUserSettings() {
    QSettings settings(QStringLiteral("Orrindale"), QStringLiteral("Velmora"));
    settings.clear();
    settings.sync();
}

TestApp::TestApp() {
    std::string error;
    if (!source.Load(TestFile("model/foods.xml"), {}, error)) ADD_FAILURE() << error;
    std::filesystem::create_directories(Profiles());
}

Gui::CAppContext TestApp::Context() const {
    Gui::CAppContext ctx;
    ctx.dataSource = &source;
    ctx.meals = &meals;
    ctx.appDir = folder_.Path().string();
    return ctx;
}

std::string TestApp::AddProfile(const std::string& fixture, const std::string& name) const {
    const std::string path = Profiles() + "/" + name;
    std::filesystem::copy_file(TestFile("ui/" + fixture), path, std::filesystem::copy_options::overwrite_existing);
    return path;
}
