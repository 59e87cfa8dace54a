#include "QtServices.h"

#include "AppContext.h"

#include "core/AppDir.h"
#include "core/TextUtil.h"
#include "document/report/Report.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

#include <filesystem>
#include <system_error>
#include <vector>

namespace Gui {

namespace {

std::string g_dialogTitle;

QString Title(const std::string& title) {
    return title.empty() ? QApplication::applicationName() : QString::fromStdString(title);
}

// Some message texts break their lines with a bare carriage return; a message box breaks lines at
// line feeds only.
QString BoxText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// The extension of "*.vlx", without its dot; empty for "*" or "*.*".
QString Suffix(const std::string& defaultExt) {
    auto dot = defaultExt.rfind('.');
    std::string ext = dot == std::string::npos ? defaultExt : defaultExt.substr(dot + 1);
    if (ext == "*") ext.clear();
    return QString::fromStdString(ext);
}

// What the program's browser window shows of local files: pages and XML; anything else (a CSV
// file, say) is the desktop's to open.
bool IsPage(const QUrl& url) {
    static const QStringList kPages{QStringLiteral("htm"), QStringLiteral("html"), QStringLiteral("xhtml"),
                                    QStringLiteral("xml"), QStringLiteral("svg"),  QStringLiteral("txt")};
    return kPages.contains(QFileInfo(url.toLocalFile()).suffix().toLower());
}

// The folder of the file last chosen in any file dialog; empty before the first.
std::string g_lastFolder;

// Where a file dialog opens: the folder last used, else the profiles folder of the application
// folder, never the folder the program happened to be started in.
QString StartFolder() {
    std::error_code error;
    if (!g_lastFolder.empty() && std::filesystem::is_directory(g_lastFolder, error))
        return QString::fromStdString(g_lastFolder);
    const std::string profiles = AppDir::Get() + "/profiles";
    return QString::fromStdString(std::filesystem::is_directory(profiles, error) ? profiles : AppDir::Get());
}

void RememberFolder(const QString& path) { g_lastFolder = QFileInfo(path).absolutePath().toStdString(); }

// The extensions of one of Qt's name filters, "SVG Image (*.svg)" gives {"svg"}; none for "*".
QStringList Extensions(const QString& nameFilter) {
    QStringList extensions;
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    const QString patterns = open >= 0 && close > open ? nameFilter.mid(open + 1, close - open - 1) : nameFilter;
    for (const QString& pattern : patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (pattern.startsWith(QStringLiteral("*.")) && pattern.indexOf(QLatin1Char('*'), 1) < 0)
            extensions.append(pattern.mid(2));
    return extensions;
}

// The name with the extension of the chosen type: a name ending in another type's extension gets
// this type's in its place, any other name gets it appended.
QString WithTypeExtension(const QString& path, const QString& chosenFilter, const QStringList& filters) {
    const QStringList wanted = Extensions(chosenFilter);
    if (wanted.isEmpty()) return path;
    const QFileInfo file(path);
    const QString suffix = file.suffix();
    if (wanted.contains(suffix, Qt::CaseInsensitive)) return path;
    for (const QString& filter : filters)
        if (!suffix.isEmpty() && Extensions(filter).contains(suffix, Qt::CaseInsensitive))
            return path.left(path.size() - suffix.size()) + wanted.front();
    return path + QLatin1Char('.') + wanted.front();
}

}  // namespace

QWidget* DialogParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->inherits("QMainWindow")) return w;
    return nullptr;
}

void QtPrompt::Message(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Warning, Title(title), BoxText(text), QMessageBox::Ok, DialogParent());
    box.exec();
}

Services::Answer QtPrompt::Question(const std::string& text, Services::Buttons buttons, const std::string& title) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case Services::Buttons::Ok: set = QMessageBox::Ok; break;
        case Services::Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
        case Services::Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
        case Services::Buttons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox box(QMessageBox::Question, Title(title), BoxText(text), set, DialogParent());
    switch (box.exec()) {
        case QMessageBox::Ok: return Services::Answer::Ok;
        case QMessageBox::Yes: return Services::Answer::Yes;
        case QMessageBox::No: return Services::Answer::No;
        default: return Services::Answer::Cancel;
    }
}

QtShell::QtShell(std::function<bool(const QUrl&)> openExternally) : openExternally_(std::move(openExternally)) {
    if (!openExternally_) openExternally_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QtShell::~QtShell() { delete window_.data(); }

bool QtShell::Open(const std::string& url) {
    const QString text = QString::fromStdString(url);
    const QUrl target = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text);
    if (!target.isValid()) return false;
    if (target.isLocalFile() ? IsPage(target) : target.scheme().startsWith(QStringLiteral("http"))) {
        if (target.isLocalFile() || !openExternally_(target)) ShowInWindow(target);
        return true;
    }
    return openExternally_(target);
}

void QtShell::ShowInWindow(const QUrl& url) {
    if (!window_) {
        // A window of the main window's: it closes with it, and never keeps the program running.
        QWidget* main = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("mainFrame")) main = w;
        window_ = new CBrowserWindow(openExternally_, main);
        window_->setAttribute(Qt::WA_DeleteOnClose);
    }
    window_->Show(url);
}

std::optional<std::string> QtFileChooser::OpenFile(const std::string& initialPath, const std::string& defaultExt,
                                                   const std::string& filter) {
    QFileDialog dialog(DialogParent(),
                       g_dialogTitle.empty() ? QStringLiteral("Open") : QString::fromStdString(g_dialogTitle));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromStdString(ToQtFilter(filter)));
    dialog.setDefaultSuffix(Suffix(defaultExt));
    dialog.setDirectory(StartFolder());
    if (!initialPath.empty()) dialog.selectFile(QString::fromStdString(initialPath));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    RememberFolder(dialog.selectedFiles().front());
    return dialog.selectedFiles().front().toStdString();
}

ScopedDialogTitle::ScopedDialogTitle(std::string title) : previous_(std::move(g_dialogTitle)) {
    g_dialogTitle = std::move(title);
}

ScopedDialogTitle::~ScopedDialogTitle() { g_dialogTitle = std::move(previous_); }

std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& suggestedName,
                                          const std::string& defaultExt, const std::string& filter) {
    QFileDialog dialog(DialogParent(), QString::fromStdString(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromStdString(ToQtFilter(filter)));
    dialog.setDefaultSuffix(Suffix(defaultExt));
    dialog.setDirectory(StartFolder());
    dialog.selectFile(QString::fromStdString(suggestedName));
    // The type chosen decides the extension: the name on show takes it at once, so that what the
    // dialog asks about replacing is the file that will be written.
    const QStringList filters = dialog.nameFilters();
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters](const QString& chosen) {
        const QStringList extensions = Extensions(chosen);
        if (extensions.isEmpty()) return;
        dialog.setDefaultSuffix(extensions.front());
        // Qt puts the new extension in place of one the name has, but leaves a name without any.
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name && !name->text().trimmed().isEmpty())
            name->setText(WithTypeExtension(name->text().trimmed(), chosen, filters));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString typed = dialog.selectedFiles().front();
    const QString path = WithTypeExtension(typed, dialog.selectedNameFilter(), filters);
    if (path != typed && QFileInfo::exists(path) &&
        Services::Prompt().Question(
            QFileInfo(path).fileName().toStdString() + " already exists.\nDo you want to replace it?",
            Services::Buttons::YesNo, title) != Services::Answer::Yes)
        return std::nullopt;
    RememberFolder(path);
    return path.toStdString();
}

std::string ToQtFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start < filter.size()) {
        auto bar = filter.find('|', start);
        if (bar == std::string::npos) bar = filter.size();
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;  // the "||" at the end
        std::string name = parts[i];
        if (auto open = name.rfind('('); open != std::string::npos && name.back() == ')')
            name = TextUtil::Trimmed(name.substr(0, open));
        std::string patterns;
        std::string::size_type p = 0;
        const std::string& list = parts[i + 1];
        while (p <= list.size()) {
            auto semi = list.find(';', p);
            if (semi == std::string::npos) semi = list.size();
            std::string pattern(TextUtil::Trimmed(list.substr(p, semi - p)));
            if (pattern == "*.*") pattern = "*";  // every file, with or without an extension
            if (!pattern.empty()) patterns += (patterns.empty() ? "" : " ") + pattern;
            p = semi + 1;
        }
        if (!out.empty()) out += ";;";
        out += name + " (" + patterns + ")";
    }
    return out;
}

void OpenHelpPage(const std::string& appDir, const std::string& page) {
    // A "#anchor" names a place in the page, not part of the file name.
    const std::size_t hash = page.find('#');
    const std::string file = AppDir::SharedFile(appDir, page.substr(0, hash));
    Report::OpenInBrowser(file, hash == std::string::npos ? std::string() : page.substr(hash + 1));
}

}  // namespace Gui
