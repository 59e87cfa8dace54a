#include "WebEngineSetup.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <unistd.h>

namespace Gui {

void PrepareWebEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    if (!QCoreApplication::instance()) QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The browser's sandbox refuses to start for root. The pages shown are the program's own,
    // never anything from the network, so nothing is lost by going without it.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto add = [&flags](const char* name, const char* flag) {
        if (!flags.contains(name)) flags = (flags + ' ' + flag).trimmed();
    };
    // Every page is the program's own, so one renderer serves them all: a tab shown for the first
    // time then waits for its page and not for a new process to start as well.
    add("--renderer-process-limit", "--renderer-process-limit=1");
    // Drawing in memory, there is no GPU to talk to.
    const QByteArray platform =
        QCoreApplication::instance() ? QGuiApplication::platformName().toUtf8() : qgetenv("QT_QPA_PLATFORM");
    if (platform == "offscreen" || platform == "minimal") add("--disable-gpu", "--disable-gpu");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

}  // namespace Gui

#if defined(__SANITIZE_ADDRESS__)
// The browser engine of the system frees some of its own objects with a size other than the one
// they were made with; that is the engine's business, and it would stop every program showing a
// page when built with the address sanitizer.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
// What the engine and the font library it loads keep until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6WebEngineCore.so\nleak:libfontconfig.so\n"; }
#endif
