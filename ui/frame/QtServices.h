#pragma once

#include "ui/web/BrowserWindow.h"

#include "core/Services.h"

#include <QPointer>
#include <QUrl>

#include <functional>
#include <optional>
#include <string>

class QWidget;

// The program's services on Qt: message boxes, the desktop's URL handler and file dialogs. All
// dialogs are Qt's own widgets, never the platform's, so they look and behave the same everywhere
// and tests can drive them.
namespace Gui {

class QtPrompt : public Services::IPrompt {
public:
    void Message(const std::string& text, const std::string& title) override;
    Services::Answer Question(const std::string& text, Services::Buttons buttons, const std::string& title) override;
};

// Pages of the program's own (help, reports, the XML export) open in the program's browser
// window; other addresses in the system's browser, else in that window too, so that nothing
// depends on the desktop having a handler.
class QtShell : public Services::IShell {
public:
    // How an address goes to the system's browser; QDesktopServices when empty.
    explicit QtShell(std::function<bool(const QUrl&)> openExternally = {});
    ~QtShell() override;
    QtShell(const QtShell&) = delete;
    QtShell& operator=(const QtShell&) = delete;

    bool Open(const std::string& url) override;
    // The window the last page went to; null before the first, or after it was closed.
    CBrowserWindow* Window() const { return window_; }

private:
    void ShowInWindow(const QUrl& url);

    std::function<bool(const QUrl&)> openExternally_;
    QPointer<CBrowserWindow> window_;
};

class QtFileChooser : public Services::IFileChooser {
public:
    std::optional<std::string> OpenFile(const std::string& initialPath, const std::string& defaultExt,
                                        const std::string& filter) override;
};

// The title the next file dialogs carry while this object lives ("Open" otherwise); the chooser
// interface has no room for one.
class ScopedDialogTitle {
public:
    explicit ScopedDialogTitle(std::string title);
    ~ScopedDialogTitle();
    ScopedDialogTitle(const ScopedDialogTitle&) = delete;
    ScopedDialogTitle& operator=(const ScopedDialogTitle&) = delete;

private:
    std::string previous_;
};

// A file dialog for saving: the suggested name, the default extension ("*.vlx"), a filter in the
// "Name (*.ext)|*.ext|...||" form. Asks before replacing an existing file. nullopt on Cancel.
std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& suggestedName,
                                          const std::string& defaultExt, const std::string& filter);

// "Name (*.a)|*.a;*.b|All Files (*.*)|*.*||" to Qt's "Name (*.a *.b);;All Files (*)".
std::string ToQtFilter(const std::string& filter);

// The window dialogs and message boxes belong to: the active window, else the main window.
QWidget* DialogParent();

}  // namespace Gui
