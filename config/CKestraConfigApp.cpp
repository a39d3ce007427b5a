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
