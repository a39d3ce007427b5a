#include "CHalvardTestApp.h"

#include <QApplication>

#include <cstdlib>

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
    dialog.Initialise();
    dialog.exec();
    return 0;
}
