#include "CKestraConfigDlg.h"
#include "widget_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CPWDlg.h"
#include "CSubDlgVELA.h"
#include "message_service.h"
#include "modal_hook.h"
#include "private_profile.h"
#include "program_support.h"
#include "sdk_lists.h"
#include "sdk_text.h"
#include "wait_service.h"

using halvard::MessageService;
namespace mb = halvard::mb;

namespace {

constexpr int kPageMargin = 8;
constexpr int kStatusGap = 4;
constexpr std::uint64_t kWrongPasswordBit = std::uint64_t{1} << 61;

}  // namespace

CKestraConfigDlg::CKestraConfigDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    m_loginTimer.setSingleShot(true);
    m_loginTimer.setInterval(kLoginTimerMs);
    m_keepAliveTimer.setInterval(kKeepAliveTimerMs);
    connect(&m_loginTimer, &QTimer::timeout, this, &CKestraConfigDlg::OnLoginTimer);
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &CKestraConfigDlg::OnKeepAliveTimer);
    m_binding.SetTraceSink(&halvard::SdkTraceLine);
    BuildControls();
}

CKestraConfigDlg::~CKestraConfigDlg() {
    m_loginTimer.stop();
    m_keepAliveTimer.stop();
    if (m_binding.IsLoaded() && m_binding.m_hDevice != 0) {
        m_binding.VelaDCL_CloseDevice(m_binding.m_hDevice);
        m_binding.m_hDevice = 0;
    }
    m_binding.Unload();
    delete m_page;
    m_page = nullptr;
}

void CKestraConfigDlg::BuildControls() {
    setWindowTitle(QStringLiteral("Halvard Config Utility"));
    setWindowIcon(QApplication::windowIcon());

    auto* deviceLabel = new QLabel(QStringLiteral("Device"), this);
    m_deviceSelector = new QComboBox(this);
    m_deviceSelector->setObjectName(QStringLiteral("deviceSelector"));
    m_deviceSelector->setEditable(true);
    m_deviceSelector->setInsertPolicy(QComboBox::NoInsert);
    m_deviceSelector->setMinimumContentsLength(28);
    // Keys typed into the selector reach the combo box, which hands them to its line edit
    // directly: the filter sits on both.
    m_deviceSelector->installEventFilter(this);
    m_deviceSelector->lineEdit()->installEventFilter(this);
    deviceLabel->setBuddy(m_deviceSelector);
    m_allowNetwork = new QCheckBox(QStringLiteral("Allow Network Printer"), this);
    m_allowNetwork->setObjectName(QStringLiteral("allowNetworkPrinter"));
    m_refresh = halvard::PlainButton(QStringLiteral("Refresh"), "refresh", this);
    m_connect = halvard::PlainButton(QStringLiteral("Connect"), "connect", this);
    m_changeRootPw = halvard::PlainButton(QStringLiteral("Change Root PW"), "changeRootPw", this);
    m_changeUserPw = halvard::PlainButton(QStringLiteral("Change User PW"), "changeUserPw", this);
    m_changePrinterId =
        halvard::PlainButton(QStringLiteral("Change Printer ID"), "changePrinterId", this);
    m_changeHead = halvard::PlainButton(QStringLiteral("Change Head"), "changeHead", this);
    m_setPcSerial = halvard::PlainButton(QStringLiteral("Set PC Serial"), "setPcSerial", this);
    m_setMagKey =
        halvard::PlainButton(QStringLiteral("Set Mag. Encrypt Key"), "setMagEncryptKey", this);
    m_config = halvard::PlainButton(QStringLiteral("Config"), "config", this);

    m_loginPassword = new QLineEdit(this);
    m_loginPassword->setObjectName(QStringLiteral("loginPassword"));
    m_loginPassword->setEchoMode(QLineEdit::Password);
    m_loginPassword->hide();

    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(deviceLabel);
    deviceRow->addWidget(m_deviceSelector, 1);
    deviceRow->addWidget(m_allowNetwork);
    deviceRow->addWidget(m_refresh);
    deviceRow->addWidget(m_connect);

    auto* commandRow = new QHBoxLayout;
    for (QPushButton* b : {m_changeRootPw, m_changeUserPw, m_changePrinterId, m_changeHead,
                           m_setPcSerial, m_setMagKey})
        commandRow->addWidget(b);
    commandRow->addStretch(1);
    commandRow->addWidget(m_config);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));

    m_statusStrip = new QLabel(this);
    m_statusStrip->setObjectName(QStringLiteral("statusStrip"));
    m_statusStrip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusStrip->setMinimumHeight(m_statusStrip->fontMetrics().height() + 6);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);
    layout->addLayout(deviceRow);
    layout->addLayout(commandRow);
    layout->addWidget(m_tabs);
    layout->addSpacing(kStatusGap - layout->spacing());
    layout->addWidget(m_statusStrip);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_refresh, &QPushButton::clicked, this, &CKestraConfigDlg::OnRefresh);
    connect(m_connect, &QPushButton::clicked, this, &CKestraConfigDlg::OnConnect);
    connect(m_changeRootPw, &QPushButton::clicked, this, &CKestraConfigDlg::OnChangeRootPW);
    connect(m_changeUserPw, &QPushButton::clicked, this, &CKestraConfigDlg::OnChangeUserPW);
    connect(m_changePrinterId, &QPushButton::clicked, this, &CKestraConfigDlg::OnChangePrinterID);
    connect(m_changeHead, &QPushButton::clicked, this, &CKestraConfigDlg::OnChangeHead);
    connect(m_setPcSerial, &QPushButton::clicked, this, &CKestraConfigDlg::OnSetPCSerial);
    connect(m_setMagKey, &QPushButton::clicked, this, &CKestraConfigDlg::OnSetMagEncryptKey);
    connect(m_tabs, &QTabWidget::tabBarClicked, this, [this](int) {
        LayoutPage();
        UpdateControls();
    });
}

void CKestraConfigDlg::Initialise(const QString& libraryPath) {
    // Title from the version information: "Halvard Config Utility v1.0.0.1 (7)".
    setWindowTitle(halvard::VersionTitle(QStringLiteral("Halvard Config Utility")));
    m_loginPassword->clear();
    m_loginPassword->setMaxLength(8);

    // The printer page, hidden until laid out, inside the tab's 8-pixel margins.
    delete m_page;
    auto* holder = new QWidget;
    auto* holderLayout = new QVBoxLayout(holder);
    holderLayout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    m_page = new CSubDlgVELA(*this, holder);
    holderLayout->addWidget(m_page);
    m_page->hide();
    m_tabs->addTab(holder, QStringLiteral(" Card Printer   "));
    connect(m_page, &CSubDlgVELA::layoutChanged, this, [this] {
        LayoutPage();
        UpdateControls();
    });

    LayoutPage();
    UpdateControls();
    ReadToolSettings();

    bool loaded =
        libraryPath.isEmpty() ? m_binding.Load() : m_binding.LoadFrom(libraryPath.toStdString());
    if (loaded) {
        QMetaObject::invokeMethod(this, &CKestraConfigDlg::OnRefresh, Qt::QueuedConnection);
    } else {
        MessageService::Show(this, QStringLiteral("VelaComm.dll load failed..."), mb::kIconStop);
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }
    UpdateControls();
}

void CKestraConfigDlg::ReadToolSettings() {
    const QString folder = m_programFolder.isEmpty() ? halvard::ProgramFolder() : m_programFolder;
    const halvard::PrivateProfile settings(folder + QStringLiteral("KestraConfig.ini"));
    const QString section = QStringLiteral("CONFIG");
    const QString autoSave =
        settings.String(section, QStringLiteral("AUTOSAVE"), QStringLiteral("TRUE"), 512).toLower();
    m_settings.autoSave =
        (autoSave == u"true" || autoSave == u"ok" || autoSave == u"yes" || autoSave == u"1") ? 1
                                                                                             : 0;
    m_settings.savePath = settings.String(section, QStringLiteral("SAVEPATH"),
                                          QStringLiteral("C:\\VELALog\\KestraConfig"), 512);
}

QString CKestraConfigDlg::LoginPassword() const {
    return m_loginPassword->text();
}

void CKestraConfigDlg::ShowStatusNotice(const QString& text) {
    m_statusStrip->setText(text);
}

void CKestraConfigDlg::UpdateControls() {
    const bool connected = m_binding.IsConnected();
    const bool expanded = m_page != nullptr && m_page->IsExpanded();
    m_connect->setText(connected ? QStringLiteral("Disconnect") : QStringLiteral("Connect"));
    for (QWidget* w : {static_cast<QWidget*>(m_deviceSelector),
                       static_cast<QWidget*>(m_allowNetwork), static_cast<QWidget*>(m_refresh)})
        w->setEnabled(!connected);
    for (QPushButton* b : {m_changeRootPw, m_changeUserPw, m_changePrinterId, m_changeHead,
                           m_setPcSerial, m_setMagKey})
        b->setEnabled(connected);
    for (QPushButton* b : {m_changePrinterId, m_changeHead, m_setPcSerial, m_setMagKey})
        b->setVisible(expanded);
    if (m_page != nullptr && m_tabs->currentIndex() == 0)
        m_page->UpdateControls();
    // The access level is fixed at 2, which keeps "Config" disabled.
    m_config->setEnabled(m_accessLevel != 2);
}

void CKestraConfigDlg::LayoutPage() {
    if (m_page == nullptr)
        return;
    m_page->show();
    m_page->adjustSize();
    if (QLayout* l = layout())
        l->activate();
    adjustSize();
    // The window system may apply the new size later; resizeEvent checks again then.
    KeepOnScreen();
    update();
}

// Pushes the window back inside the screen's work area: right edge first, then left, then
// bottom, then top.
void CKestraConfigDlg::KeepOnScreen() {
    QScreen* s = screen();
    if (s == nullptr)
        return;
    const QRect work = s->availableGeometry();
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    const QSize wanted = layout() ? layout()->totalSizeHint() : size();
    const QRect frame(frameGeometry().topLeft(), wanted.expandedTo(size()) + frameExtra);
    QPoint shift;
    if (frame.right() > work.right())
        shift.rx() = work.right() - frame.right();
    if (frame.left() + shift.x() < work.left())
        shift.rx() = work.left() - frame.left();
    if (frame.bottom() > work.bottom())
        shift.ry() = work.bottom() - frame.bottom();
    if (frame.top() + shift.y() < work.top())
        shift.ry() = work.top() - frame.top();
    if (!shift.isNull())
        move(pos() + shift);
}

// ---- Discovery, connection and login ----

void CKestraConfigDlg::OnRefresh() {
    auto list = std::make_unique<DeviceList>();
    VelaResult result = 0;
    if (m_binding.Vela_ExGetDeviceList)
        result = m_binding.Vela_ExGetDeviceList(list.get(), m_allowNetwork->isChecked() ? 7 : 1);
    m_deviceSelector->clear();
    m_deviceSelector->addItems(sdk_lists::PrinterDeviceNames(result, *list));
    if (m_deviceSelector->count() > 0)
        m_deviceSelector->setCurrentIndex(0);
    else
        m_deviceSelector->setCurrentIndex(-1);
}

VelaResult CKestraConfigDlg::ConnectDevice(const QString& text) {
    if (text.isEmpty())
        return kEmptyDeviceText;
    const VelaString device = halvard::ToSdkText(text);
    // "[" first, or "USB" at or after the first "[": the direct USB open; else by address.
    const qsizetype bracket = text.indexOf(u'[');
    const bool usb =
        bracket == 0 || (bracket > 0 && text.indexOf(QStringLiteral("USB"), bracket) >= 0);
    VelaResult result;
    if (usb)
        result = m_binding.VelaDCL_ExOpenDevice(&m_binding.m_hDevice, device.c_str(), 1, 1);
    else
        result = m_binding.VelaDCL_OpenDevice3(&m_binding.m_hDevice, device.c_str(), 11110, 0, 1);
    if (result != 0)
        return result;
    // Set Config needs a complete Get Config of this printer, not of the one before, and no
    // command may send the previous printer's password before this one's login.
    if (m_page != nullptr)
        m_page->ForgetFetched();
    m_loginPassword->clear();
    m_loginTimer.start();
    m_keepAliveTimer.start();
    m_deviceInfo = DeviceInfo{};
    m_binding.Vela_GetDeviceInfo(&m_deviceInfo, device.c_str(), 1);
    m_binding.Device(m_binding.Vela_ExSetConfig, 13, 1);
    return 0;
}

void CKestraConfigDlg::OnConnect() {
    if (!m_binding.IsLoaded())
        return;
    ShowStatusNotice(QString());
    if (m_binding.IsConnected()) {
        CloseConnection();
        UpdateControls();
        return;
    }
    VelaResult result = ConnectDevice(m_deviceSelector->currentText());
    if (result == 0) {
        UpdateControls();
    } else {
        MessageService::Show(
            this,
            QString::asprintf("Failed to Connect (error=0x%08X)", static_cast<unsigned>(result)),
            mb::kIconWarning);
    }
}

void CKestraConfigDlg::CloseConnection() {
    if (m_binding.IsConnected()) {
        m_binding.VelaDCL_CloseDevice(m_binding.m_hDevice);
        m_binding.m_hDevice = 0;
    }
    // The accepted password belongs to the printer that was connected.
    m_loginPassword->clear();
}

bool CKestraConfigDlg::VerifyPassword(const QString& password) {
    if (!m_binding.IsConnected())
        return false;
    const VelaString text = halvard::ToSdkText(password);
    if (m_binding.Device(m_binding.Vela_ExVerifyPassword, text.c_str()) != 0)
        return false;
    halvard::WaitService::Wait(100);
    // Without the status word nothing shows that the password was right: a failed read is a
    // failed login.
    std::uint64_t status = 0;
    if (m_binding.Device(m_binding.Vela_GetStatus, 64, &status) != 0)
        return false;
    return (status & kWrongPasswordBit) == 0;
}

void CKestraConfigDlg::OnLoginTimer() {
    m_loginTimer.stop();
    CPWDlg dialog(CPWDlg::LoginMode, QString(), this);
    for (;;) {
        if (halvard::ModalHook::Run(dialog) != QDialog::Accepted) {
            m_keepAliveTimer.stop();
            m_loginTimer.stop();
            CloseConnection();
            UpdateControls();
            return;
        }
        repaint();
        if (VerifyPassword(dialog.CurrentPassword()))
            break;
        MessageService::Show(this, QStringLiteral("User Cancel or Password is Wrong"),
                             mb::kIconWarning);
    }
    m_loginPassword->setText(dialog.CurrentPassword());
    if (m_page != nullptr)
        m_page->GetConfig();
}

void CKestraConfigDlg::OnKeepAliveTimer() {
    if (!m_binding.IsConnected())
        return;
    std::uint64_t status = 0;
    m_binding.Device(m_binding.Vela_GetStatus, 64, &status);
}

void CKestraConfigDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (isVisible())
        KeepOnScreen();
}

// ---- Keys ----

void CKestraConfigDlg::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window; Escape does (as the close button).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CKestraConfigDlg::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_deviceSelector || watched == m_deviceSelector->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QMetaObject::invokeMethod(this, &CKestraConfigDlg::OnConnect, Qt::QueuedConnection);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
