#include "VelmoraApp.h"

#include "DlgAbout.h"
#include "DlgLogo.h"
#include "Version.h"

#include "ui/dialogs/DlgSettings.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/QtServices.h"
#include "ui/frame/VelmoraDoc.h"

#include "core/AppDir.h"
#include "core/Log.h"
#include "core/Services.h"
#include "document/fileio/ProfileFile.h"
#include "refdata/EverydayFoods.h"

#include <QApplication>
#include <QSettings>
#include <QUuid>

#include <filesystem>

namespace {

std::string ResolveAppDir(const std::optional<std::string>& option) {
    std::string dir = AppDir::Resolve(AppDir::FromEnvironment(option));
    AppDir::Set(dir);
    return dir;
}

QSettings UserSettings() { return QSettings(QStringLiteral("Orrindale"), QStringLiteral("Velmora")); }

}  // namespace

CVelmoraApp::CVelmoraApp(Options options) : options_(std::move(options)), settings_(ResolveAppDir(options_.appDir)) {
    using Gui::CommandId;
    OnCommand(CommandId::FileNew, [this] {
        if (docManager_) docManager_->OnFileNew();
    });
    OnCommand(CommandId::FileOpen, [this] {
        if (docManager_) docManager_->OnFileOpen();
    });
    OnCommand(CommandId::Import, [this] { OnImport(); });
    OnCommand(CommandId::AppAbout, [this] { OnAppAbout(); });
    OnCommand(CommandId::HelpReference, [this] { Gui::OpenHelpPage(appDir_, "/help/reference/index.htm"); });
    OnCommand(CommandId::SoftwareUpdate, [this] { CheckForUpdate(); });
    OnCommand(CommandId::Settings, [this] { OnSettings(); });
}

CVelmoraApp::~CVelmoraApp() {
    // Windows go first: their documents read the reference data below.
    docManager_.reset();
    mainFrame_.reset();
    searchContext_.Cancel();
    workers_.WaitForAll();
}

Gui::CAppContext CVelmoraApp::Context() {
    Gui::CAppContext ctx;
    ctx.dataSource = &dataSource_;
    ctx.meals = &meals_;
    ctx.intakes = &intakes_;
    ctx.settings = &settings_;
    ctx.general = &general_;
    ctx.searchContext = &searchContext_;
    ctx.searchWorkers = &workers_;
    ctx.myFoods = myFoods_.get();
    ctx.appDir = appDir_;
    return ctx;
}

bool CVelmoraApp::LoadConfiguration() {
    DLG_Logo splash;
    splash.show();
    splash.SetStatus(QStringLiteral("Loading configuration"));

    settings_.AddSection("General", &general_);
    settings_.AddSection("Update", &update_);
    settings_.LoadSettings();

    if (update_.IsCheckDue(false)) {
        // The update page is told who asks; the ID must exist before the first check.
        EnsureUserId(false);
        CheckForUpdate();
    }

    // --data-source is taken from the working folder, the setting from the application folder.
    std::string path = options_.dataSource ? *options_.dataSource : general_.GetDataSource();
    if (!path.empty()) {
        if (!std::filesystem::path(path).is_absolute())
            path = options_.dataSource ? std::filesystem::absolute(path).string() : settings_.GetAppDir() + "/" + path;
        splash.SetStatus(QStringLiteral("Loading Data file: %1").arg(QString::fromStdString(path)));
        std::string error;
        const bool loaded = dataSource_.Load(
            path, [&splash](const LoadProgress& progress) { splash.SetProgress(progress.BarPosition()); }, error);
        if (!loaded) Services::Prompt().Message(error);
    }
    // The further tables: each one that fails is reported, and the others still load.
    std::vector<std::string> more = options_.dataSource ? options_.moreDataSources : general_.GetMoreDataSources();
    for (std::string table : more) {
        if (table.empty()) continue;
        if (!std::filesystem::path(table).is_absolute())
            table =
                options_.dataSource ? std::filesystem::absolute(table).string() : settings_.GetAppDir() + "/" + table;
        splash.SetStatus(QStringLiteral("Loading Data file: %1").arg(QString::fromStdString(table)));
        std::string error;
        if (!dataSource_.AddTable(table, error)) Services::Prompt().Message(error);
    }
    myFoods_ = std::make_unique<CMyFoods>(dataSource_);
    {
        const std::string mine = options_.myFoods ? std::filesystem::absolute(*options_.myFoods).string()
                                                  : settings_.GetAppDir() + "/" + MyFoods::kDefaultPath;
        std::string error;
        if (!myFoods_->Load(mine, error)) Services::Prompt().Message(error);
    }

    splash.SetStatus(QStringLiteral("Initializing Dietary Intakes"));
    intakes_.InitializeBuiltIn(DriEditionFromName(general_.ReferenceIntakes()).value_or(DriEdition::Current));

    appDir_ = settings_.GetAppDir();
    SetLogFolder(appDir_ + "/");

    // Searches rank everyday foods first; without the list they still find everything.
    std::string error;
    searchContext_.SetEverydayFoods(CEverydayFoods::LoadShared(appDir_, error));
    if (!error.empty()) Trace(error);
    return true;
}

void CVelmoraApp::Trace(const std::string& text) const { GetLog("log.txt")->Write(CU_Log::DBG, text); }

void CVelmoraApp::EnsureUserId(bool trace) {
    if (trace) Trace("GetProfileString");
    QSettings settings = UserSettings();
    userId_ = settings.value(QStringLiteral("Velmora/UserId")).toString().toStdString();
    if (!userId_.empty()) return;
    if (trace) Trace("Create user ID start");
    userId_ = QUuid::createUuid().toString(QUuid::WithBraces).toUpper().toStdString();
    settings.setValue(QStringLiteral("Velmora/UserId"), QString::fromStdString(userId_));
    settings.sync();
    if (trace) Trace("Create user ID End");
}

bool CVelmoraApp::InitInstance() {
    LoadConfiguration();

    CU_Log* log = GetLog("log.txt");
    log->threshold = 2;
    log->Write(CU_Log::DBG, "Application started.");
    log->Write(CU_Log::DBG, appDir_);

    EnsureUserId(true);

    Trace("LoadStdProfileSettings");
    recent_.ReadList();

    Trace("CDynamicDocTemplate");
    template_ = std::make_unique<CDynamicDocTemplate>(2);

    Trace("LoadFrame");
    mainFrame_ = std::make_unique<CMainFrame>();
    mainFrame_->setWindowIcon(QApplication::windowIcon());
    if (!mainFrame_->Create()) return false;
    mainFrame_->SetAppTarget(this);

    Trace("CDocManagerEx");
    docManager_ = std::make_unique<CDocManagerEx>(Context(), *template_, *mainFrame_, &recent_);

    Trace("DragAcceptFiles");
    mainFrame_->setAcceptDrops(true);
    mainFrame_->SetOpenFileHandler([this](const std::string& path) { docManager_->OpenDocumentFile(path); });

    Trace("ShowWindow");
    if (general_.IsMaximized())
        mainFrame_->showMaximized();
    else
        mainFrame_->showNormal();
    Trace("UpdateWindow");
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    ReopenLastProfile();
    for (const std::string& file : options_.files) {
        Trace(file);
        docManager_->OpenDocumentFile(file);
    }

    Trace("Exit");
    return true;
}

void CVelmoraApp::ReopenLastProfile() {
    if (general_.LoadLastProfile()) {
        const std::vector<std::string> entries = recent_.Entries();
        for (const std::string& path : entries) {
            Trace(path);
            if (path.empty()) continue;
            try {
                Trace("ProcessShellCommand");
                if (docManager_->OpenDocumentFile(path)) return;
            } catch (const std::exception&) {
                Services::Prompt().Message("Can't load file: " + path);
            }
        }
    }
    Trace("CCommandLineInfo::FileNothing");
}

int CVelmoraApp::ExitInstance(int result) {
    // The windows and their documents first, then every search that still reads the food index,
    // then the food data itself.
    docManager_.reset();
    mainFrame_.reset();
    searchContext_.Cancel();
    workers_.WaitForAll();
    myFoods_.reset();
    dataSource_.Clear();
    recent_.WriteList();
    return result;
}

void CVelmoraApp::CheckForUpdate() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Update::CheckForUpdate(update_, settings_, userId_);
    QApplication::restoreOverrideCursor();
}

void CVelmoraApp::OnAppAbout() {
    DLG_About dialog(Gui::DialogParent());
    dialog.exec();
}

void CVelmoraApp::OnSettings() {
    try {
        DlgSettings dialog(settings_, appDir_, Gui::DialogParent());
        dialog.exec();
        ApplyTargetSettings();
    } catch (const std::exception& e) {
        Services::Prompt().Message(e.what());
    }
}

void CVelmoraApp::ApplyTargetSettings() {
    const DriEdition edition = DriEditionFromName(general_.ReferenceIntakes()).value_or(DriEdition::Current);
    if (edition != intakes_.Edition()) intakes_.InitializeBuiltIn(edition);
    if (!docManager_) return;
    for (CVelmoraDoc* doc : docManager_->Documents()) {
        doc->Log().SetTargetOptions(Gui::TargetOptionsOf(doc->App()));
        doc->UpdateAllViews();
    }
}

void CVelmoraApp::OnImport() {
    std::optional<std::string> path;
    {
        Gui::ScopedDialogTitle title("Import");
        path = Services::FileChooser().OpenFile("", "*.vlx", kProfileFileFilter);
    }
    if (!path || !docManager_) return;
    const std::vector<CVelmoraDoc*> before = docManager_->Documents();
    CVelmoraDoc* doc = nullptr;
    try {
        doc = docManager_->OpenDocumentFile(*path, false);
    } catch (const std::exception&) {
        doc = nullptr;
    }
    if (!doc) {
        Services::Prompt().Message("Can't import document " + *path);
        return;
    }
    // An imported file becomes a new profile: saving asks for its name in the profiles folder
    // instead of writing over the file it came from.
    if (std::find(before.begin(), before.end(), doc) == before.end()) doc->ClearPathName();
    doc->SetModifiedFlag(true);
}
