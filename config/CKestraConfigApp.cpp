#include "CKestraConfigApp.h"

#include <QApplication>

#include <cstdlib>

#include "CKestraConfigDlg.h"

CKestraConfigApp::CKestraConfigApp() {
    QApplication::setApplicationName(QStringLiteral("HalvardConfig"));
    QApplication::setApplicationDisplayName(QStringLiteral("HalvardConfig"));
}

int CKestraConfigApp::Run() {
    CKestraConfigDlg dialog;
    dialog.Initialise();
    dialog.exec();
    return 0;
}

bool CKestraConfigApp::HasDisplay() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#endif
}
