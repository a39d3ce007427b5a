#include "CHalvardTestApp.h"

#include <QApplication>

#include "CHalvardTestDlg.h"
#include "private_profile.h"
#include "program_support.h"
#include "vela_platform_lib.h"

namespace {
constexpr int kShowExpertCapacity = 128;
}

CHalvardTestApp::CHalvardTestApp() {
    halvard::SetProgramName(QStringLiteral("HalvardTest"));
}

QString CHalvardTestApp::SettingsPath() {
    return halvard::ProgramFolder() + QString::fromStdString(vela::platform::ExecutableBaseName()) +
           QStringLiteral(".ini");
}

bool CHalvardTestApp::IsOnValue(const QString& value) {
    const QString v = value.toLower();
    return v == u"true" || v == u"yes" || v == u"on" || v == u"1";
}

void CHalvardTestApp::ReadSettings(const QString& path) {
    m_showExpert = IsOnValue(halvard::PrivateProfile::ReadString(path, QStringLiteral("CONFIG"),
                                                                 QStringLiteral("ShowExpert"),
                                                                 QString(), kShowExpertCapacity));
}

int CHalvardTestApp::Run() {
    ReadSettings();
    CHalvardTestDlg dialog(m_showExpert);
    // The main window is the program: closing it ends the event loop, and the loop's exit
    // status is the program's.
    QObject::connect(&dialog, &QDialog::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    dialog.show();
    dialog.Initialise();
    return QApplication::exec();
}
