#pragma once
// The configuration tool's main window: device selection, connection and login, the security
// and identity commands, and the tab hosting the printer page.

#include <QDialog>
#include <QTimer>

#include <memory>

#include "CVelaCommBinding.h"
#include "ConfigHost.h"
#include "pc_identity.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class CSubDlgVELA;

class CKestraConfigDlg final : public QDialog, public ConfigHost {
    Q_OBJECT
public:
    static constexpr int kLoginTimerMs = 200;
    static constexpr int kKeepAliveTimerMs = 15000;
    static constexpr VelaResult kEmptyDeviceText = static_cast<VelaResult>(0x80000003);

    explicit CKestraConfigDlg(QWidget* parent = nullptr);
    ~CKestraConfigDlg() override;

    // Runs the start-up sequence: title, page, layout, settings, SDK library, posted "Refresh".
    // `libraryPath` overrides the program folder's library (tests).
    void Initialise(const QString& libraryPath = QString());
    // Folder whose "KestraConfig.ini" is read (default: the program's folder; tests).
    void SetProgramFolder(const QString& folder) { m_programFolder = folder; }

    // ConfigHost
    CVelaCommBinding& Binding() override { return m_binding; }
    QString LoginPassword() const override;
    const ToolSettings& Settings() const override { return m_settings; }
    int AccessLevel() const override { return m_accessLevel; }
    void UpdateControls() override;
    void ShowStatusNotice(const QString& text) override;

    const DeviceInfo& Info() const { return m_deviceInfo; }
    CSubDlgVELA* Page() const { return m_page; }
    bool LoginTimerActive() const { return m_loginTimer.isActive(); }
    bool KeepAliveTimerActive() const { return m_keepAliveTimer.isActive(); }
    // Where "Set PC Serial" takes this PC's adapter address from (tests replace it).
    void SetAdapterAddressSource(AdapterAddressSource source) {
        m_adapterAddress = std::move(source);
    }

    // Opens the device named by `text`; 0 on success, kEmptyDeviceText for an empty text.
    VelaResult ConnectDevice(const QString& text);
    // Fits the window around the selected page and keeps it on screen.
    void LayoutPage();

    // Timer expiries (public so tests can fire them without waiting).
    void OnLoginTimer();
    void OnKeepAliveTimer();

public slots:
    void OnRefresh();
    void OnConnect();
    void OnChangeRootPW();
    void OnChangeUserPW();
    void OnChangePrinterID();
    void OnChangeHead();
    void OnSetPCSerial();
    void OnSetMagEncryptKey();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ReadToolSettings();
    void KeepOnScreen();
    bool VerifyPassword(const QString& password);
    void CloseConnection();

    CVelaCommBinding m_binding;
    DeviceInfo m_deviceInfo{};
    ToolSettings m_settings;
    int m_accessLevel = 2;
    QString m_programFolder;
    AdapterAddressSource m_adapterAddress = &FirstAdapterAddress;
    QTimer m_loginTimer;
    QTimer m_keepAliveTimer;

    QComboBox* m_deviceSelector = nullptr;
    QCheckBox* m_allowNetwork = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_changeRootPw = nullptr;
    QPushButton* m_changeUserPw = nullptr;
    QPushButton* m_changePrinterId = nullptr;
    QPushButton* m_changeHead = nullptr;
    QPushButton* m_setPcSerial = nullptr;
    QPushButton* m_setMagKey = nullptr;
    QPushButton* m_config = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_loginPassword = nullptr;  // hidden, holds the accepted login password
    QLabel* m_statusStrip = nullptr;
    CSubDlgVELA* m_page = nullptr;
};
