#include "ScreenshotRunner.h"
#include "VelmoraApp.h"
#include "Version.h"

#include "ui/commands/Commands.h"
#include "ui/frame/QtServices.h"
#include "ui/web/WebEngineSetup.h"

#include "core/AppDir.h"
#include "core/Services.h"

#include <QApplication>
#include <QTimer>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: velmora [--app-dir DIR] [--data-source FILE] [PROFILE...]\n"
    "  --app-dir DIR        the application folder (config.xml, profiles/, log.txt)\n"
    "  --data-source FILE   the food data source instead of the \"Data Source\" setting\n"
    "  PROFILE              profile files to open\n";

struct CommandLine {
    CVelmoraApp::Options options;
    std::optional<std::string> screenshots;
    std::string screenshotProfile;
};

// Takes the value of "--name VALUE" or "--name=VALUE" at args[i]; false when args[i] is not it.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name, std::string& value) {
    if (args[i] == name) {
        if (i + 1 >= args.size()) throw std::runtime_error("option " + name + " needs a value");
        value = args[++i];
        return true;
    }
    if (args[i].rfind(name + "=", 0) == 0) {
        value = args[i].substr(name.size() + 1);
        return true;
    }
    return false;
}

// The first --data-source is the data source, the others are further tables.
void AddDataSource(CVelmoraApp::Options& options, const std::string& path) {
    if (options.dataSource)
        options.moreDataSources.push_back(path);
    else
        options.dataSource = path;
}

CommandLine Parse(const std::vector<std::string>& args) {
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (TakeValue(args, i, "--app-dir", value))
            cl.options.appDir = value;
        else if (TakeValue(args, i, "--data-source", value))
            AddDataSource(cl.options, value);
        else if (TakeValue(args, i, "--my-foods", value))
            cl.options.myFoods = value;
        else if (TakeValue(args, i, "--screenshots", value))
            cl.screenshots = value;
        else if (TakeValue(args, i, "--screenshot-profile", value))
            cl.screenshotProfile = value;
        else if (args[i].rfind("--", 0) == 0)
            throw std::runtime_error("unknown option " + args[i]);
        else
            cl.options.files.push_back(args[i]);
    }
    return cl;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--version") {
            std::cout << "velmora " << GetProgramVersion() << '\n';
            return 0;
        }
    }
    CommandLine cl;
    try {
        cl = Parse(args);
    } catch (const std::exception& e) {
        std::cerr << "velmora: " << e.what() << '\n' << kUsage;
        return 2;
    }

    // Before the application object: the embedded browser shares its GL contexts with it.
    Gui::PrepareWebEngine();
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orrindale"));
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QString::fromLatin1(GetProgramVersion()));
    QApplication::setWindowIcon(Gui::ApplicationIcon());

    Gui::QtPrompt prompt;
    Gui::QtShell shell;
    Gui::QtFileChooser chooser;
    // Pictures are taken without anyone to answer a message box: messages then go to standard
    // error and nothing is opened in a browser.
    if (!cl.screenshots) {
        Services::SetPrompt(&prompt);
        Services::SetShell(&shell);
    }
    Services::SetFileChooser(&chooser);

    // A folder named by the user is set up as the default one is, or refused before anything is
    // written there.
    try {
        cl.options.appDir = AppDir::ResolveAndSetUp(AppDir::FromEnvironment(cl.options.appDir));
    } catch (const AppDir::Refused& e) {
        std::cerr << "velmora: " << e.what() << '\n';
        if (!cl.screenshots) Services::Prompt().Message(e.what());
        Services::SetPrompt(nullptr);
        Services::SetShell(nullptr);
        Services::SetFileChooser(nullptr);
        return 2;
    }

    int result = 1;
    {
        CVelmoraApp app(cl.options);
        if (!app.InitInstance()) return app.ExitInstance(1);
        std::optional<CScreenshotRunner> screenshots;
        if (cl.screenshots) {
            screenshots.emplace(app, QString::fromStdString(*cl.screenshots),
                                QString::fromStdString(cl.screenshotProfile));
            QTimer::singleShot(0, &qapp, [&screenshots] { screenshots->Start(); });
        }
        result = app.ExitInstance(QApplication::exec());
    }
    Services::SetPrompt(nullptr);
    Services::SetShell(nullptr);
    Services::SetFileChooser(nullptr);
    return result;
}
