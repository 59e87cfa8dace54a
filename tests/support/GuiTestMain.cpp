#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform says on every shown window that it can't pass size hints on; that is
// expected here and would bury the messages that matter.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QStringLiteral("does not support propagateSizeHints"))) return;
    g_defaultHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    // Number formatting must not depend on the machine's locale.
    std::setlocale(LC_ALL, "C");
    // Windows are drawn in memory, never on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tests that show pages run the real browser engine, which must be told before the
    // application object exists that it runs as root without a sandbox and without a GPU.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The recent-file list and the user ID of test runs never reach the user's own settings.
    QTemporaryDir userSettings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userSettings.path());
    g_defaultHandler = qInstallMessageHandler(FilterMessages);
    QApplication app(argc, argv);
    // The application object has just set the locale from the environment, as it does for the
    // program: typed numbers would then read the machine's decimal separator.
    std::setlocale(LC_ALL, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
