#include "RunningApp.h"

#include "ui/frame/MainFrame.h"

#include <QSettings>

#include <boost/date_time/gregorian/gregorian.hpp>

#include <filesystem>

RunningApp::RunningApp(const Config& config) : clock(boost::gregorian::date(2024, 5, 7)) {
    ClearUserSettings();
    const std::string source = config.dataSource.empty() ? TestFile("model/foods.xml") : config.dataSource;
    folder_.Write("config.xml",
                  "<?xml version=\"1.0\"?>\n<settings>\n"
                  "  <section name=\"General\">\n"
                  "    <param name=\"Data Source\" type=\"ifile\" write=\"true\"><value>" +
                      source +
                      "</value></param>\n"
                      "    <param name=\"Maximized\" type=\"boolean\" write=\"true\"><value>" +
                      std::string(config.maximized ? "true" : "false") +
                      "</value></param>\n"
                      "    <param name=\"Load Last Profile\" type=\"boolean\" write=\"true\"><value>" +
                      std::string(config.loadLastProfile ? "true" : "false") +
                      "</value></param>\n"
                      "    <param name=\"Run Wizard\" type=\"boolean\" write=\"true\"><value>" +
                      std::string(config.runWizard ? "true" : "false") +
                      "</value></param>\n"
                      "  </section>\n"
                      "  <section name=\"Update\">\n"
                      "    <param name=\"Time Interval\" type=\"choice\" write=\"true\"><value>month</value></param>\n"
                      "    <param name=\"Last Check Date\" type=\"info\"><value>" +
                      config.lastCheck +
                      "</value></param>\n"
                      "  </section>\n"
                      "</settings>\n");
    std::filesystem::create_directories(folder_.Path() / "profiles");
}

RunningApp::~RunningApp() { Stop(); }

bool RunningApp::Start(std::vector<std::string> files) {
    CVelmoraApp::Options options;
    options.appDir = folder_.Path().string();
    options.files = std::move(files);
    app_ = std::make_unique<CVelmoraApp>(options);
    return app_->InitInstance();
}

void RunningApp::Stop() {
    if (!app_) return;
    if (app_->MainFrame()) app_->MainFrame()->CloseAllDocuments();
    app_->ExitInstance();
    app_.reset();
}

CMainFrame& RunningApp::Main() { return *app_->MainFrame(); }

std::string RunningApp::AddProfile(const std::string& fixture, const std::string& name) const {
    const std::string path = folder_.File("profiles/" + name);
    std::filesystem::copy_file(TestFile("ui/" + fixture), path, std::filesystem::copy_options::overwrite_existing);
    return path;
}

void RunningApp::SetRecentFiles(const std::vector<std::string>& paths) const {
    QSettings settings(QStringLiteral("Orrindale"), QStringLiteral("Velmora"));
    settings.remove(QStringLiteral("Recent File List"));
    for (std::size_t i = 0; i < paths.size(); ++i)
        settings.setValue(QStringLiteral("Recent File List/File%1").arg(i + 1), QString::fromStdString(paths[i]));
    settings.sync();
}
