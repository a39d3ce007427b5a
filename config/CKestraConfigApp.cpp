#include "CKestraConfigApp.h"

#include <QApplication>

#include <cstdlib>

#include "CKestraConfigDlg.h"
#include "program_support.h"

CKestraConfigApp::CKestraConfigApp() {
    halvard::SetProgramName(QStringLiteral("HalvardConfig"));
}

int CKestraConfigApp::Run() {
    CKestraConfigDlg dialog;
    dialog.Initialise();
    dialog.exec();
    return 0;
}
