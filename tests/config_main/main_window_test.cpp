// Start-up of the configuration tool's main window: title, settings, first refresh, enabling.
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "CKestraConfigApp.h"
#include "CSubDlgVELA.h"

#include "config_fixture.h"

namespace {

using MainWindow = ConfigWindowTest;

TEST_F(MainWindow, StartUpPostsExactlyOneRefreshAndSelectsTheFirstDevice) {
    CKestraConfigDlg& w = Start();
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExGetDeviceList")), 1);
    QApplication::processEvents();
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExGetDeviceList")), 1);
    auto* selector = Find<QComboBox>("deviceSelector");
    ASSERT_EQ(selector->count(), 2) << "two local card printers";
    EXPECT_EQ(selector->currentIndex(), 0);
    EXPECT_EQ(selector->currentText(), QStringLiteral("[USB1] Halvard Card Printer"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Halvard Config Utility v1.0.0.1 (7)"));
    EXPECT_TRUE(messages.empty());
}

// The window system appends a pinned application display name to every window and dialog
// title ("Halvard Config Utility v1.0.0.1 (7) — HalvardConfig"); the program pins none, so the
// titles read exactly as set. Message boxes take the program's name as their caption.
TEST_F(MainWindow, TitlesGetNoProgramNameAppended) {
    CKestraConfigApp app;
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("HalvardConfig"));
    QApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("probe"))
        << "a display name is pinned";
    QApplication::setApplicationName(QStringLiteral("HalvardConfig"));
    Start(QByteArray(), HALVARD_SIM_MISSING_REQUIRED);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].caption, QStringLiteral("HalvardConfig"));
}

TEST_F(MainWindow, BeforeAnyConnectionOnlyDiscoveryIsEnabled) {
    Start();
    EXPECT_TRUE(Find<QComboBox>("deviceSelector")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("allowNetworkPrinter")->isEnabled());
    EXPECT_TRUE(ButtonNamed("refresh")->isEnabled());
    for (const char* name : {"changeRootPw", "changeUserPw", "changePrinterId", "changeHead",
                             "setPcSerial", "setMagEncryptKey"})
        EXPECT_FALSE(ButtonNamed(name)->isEnabled()) << name;
    EXPECT_EQ(ButtonNamed("connect")->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(ButtonNamed("config")->isEnabled());
}

TEST_F(MainWindow, IdentityButtonsStayHiddenWhileThePageIsCollapsed) {
    CKestraConfigDlg& w = Start();
    ASSERT_FALSE(w.Page()->IsExpanded());
    for (const char* name : {"changePrinterId", "changeHead", "setPcSerial", "setMagEncryptKey"})
        EXPECT_TRUE(ButtonNamed(name)->isHidden()) << name;
    EXPECT_FALSE(ButtonNamed("changeRootPw")->isHidden());
    EXPECT_FALSE(ButtonNamed("changeUserPw")->isHidden());
}

TEST_F(MainWindow, AutoSaveAcceptsTrueOkYesAndOneIgnoringCase) {
    for (const char* on : {"TRUE", "Yes", "OK", "1", "true"}) {
        Start("[CONFIG]\nAUTOSAVE=" + QByteArray(on) + "\n");
        EXPECT_EQ(window->Settings().autoSave, 1) << on;
    }
    for (const char* off : {"no", "0", "false", "on", ""}) {
        Start("[CONFIG]\nAUTOSAVE=" + QByteArray(off) + "\n");
        EXPECT_EQ(window->Settings().autoSave, 0) << off;
    }
}

TEST_F(MainWindow, MissingSettingsFileGivesTheDefaults) {
    CKestraConfigDlg& w = Start();
    EXPECT_EQ(w.Settings().autoSave, 1);
    EXPECT_EQ(w.Settings().savePath, QStringLiteral("C:\\VELALog\\KestraConfig"));
    Start("[config]\nsavepath = \"/tmp/halvard logs\"\n");
    EXPECT_EQ(window->Settings().savePath, QStringLiteral("/tmp/halvard logs"));
    EXPECT_EQ(window->Settings().autoSave, 1);
}

TEST_F(MainWindow, LibraryWithoutARequiredExportShowsTheFailureAndCloses) {
    CKestraConfigDlg& w = Start(QByteArray(), HALVARD_SIM_MISSING_REQUIRED);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, QStringLiteral("VelaComm.dll load failed..."));
    EXPECT_EQ(messages[0].style & halvard::mb::kIconMask, halvard::mb::kIconStop);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_FALSE(w.Binding().IsLoaded());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExGetDeviceList")), 0)
        << "no refresh after a failed load";
}

TEST_F(MainWindow, EnterOutsideTheDeviceSelectorDoesNothing) {
    CKestraConfigDlg& w = Start();
    w.show();
    QTest::keyClick(ButtonNamed("refresh"), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(w.isVisible()) << "Enter never closes the window";
    EXPECT_FALSE(w.Binding().IsConnected());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("VelaDCL_ExOpenDevice")), 0);
}

TEST_F(MainWindow, LayoutKeepsTheWindowOnScreen) {
    CKestraConfigDlg& w = Start();
    w.show();
    const QRect work = w.screen()->availableGeometry();
    w.move(work.right() + 500, work.bottom() + 500);
    w.LayoutPage();
    const QRect frame = w.frameGeometry();
    EXPECT_LE(frame.right(), work.right());
    EXPECT_LE(frame.bottom(), work.bottom());
    EXPECT_GE(frame.left(), work.left());
    EXPECT_GE(frame.top(), work.top());
}

TEST_F(MainWindow, ClosingWithAnOpenConnectionClosesItAndUnloads) {
    CKestraConfigDlg& w = Start();
    ASSERT_EQ(w.ConnectDevice(QStringLiteral("[USB1] Halvard Card Printer")), 0);
    const int handle = w.Binding().m_hDevice;
    sim.VelaSim_ClearCallLog();
    window.reset();
    QList<QJsonObject> closes = sim.Calls(QStringLiteral("VelaDCL_CloseDevice"));
    ASSERT_EQ(closes.size(), 1);
    EXPECT_EQ(closes[0].value(QStringLiteral("args")).toArray().at(0).toInt(), handle);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CloseDevice")), 0)
        << "the unload finds no connection left to close";
}

}  // namespace
