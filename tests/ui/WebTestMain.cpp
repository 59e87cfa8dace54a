#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QStringLiteral("does not support propagateSizeHints"))) return;
    g_defaultHandler(type, context, text);
}

}  // namespace

// The pages run in the real browser engine, drawn in memory. The engine must be told before the
// application object exists that it runs as root without a sandbox and without a GPU.
int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QTemporaryDir userSettings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userSettings.path());
    g_defaultHandler = qInstallMessageHandler(FilterMessages);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
