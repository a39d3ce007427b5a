#include "CSubDlgIC.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "message_service.h"
#include "module_labels.h"
#include "rf_frames.h"
#include "sdk_lists.h"
#include "sdk_text.h"
#include "widget_support.h"

using halvard::BuddyLabel;

CSubDlgIC::CSubDlgIC(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("IC"), host, parent) {
    setObjectName(QStringLiteral("pageIC"));
    BuildControls();
    SetCurrentModuleSelector(m_currentModule);
    OnModulesChanged(ConnectedModuleList{});
}

void CSubDlgIC::BuildControls() {
    using halvard::PlainButton;
    auto* grid = new QGridLayout(this);

    m_currentModule = new QComboBox(this);
    m_currentModule->setObjectName(QStringLiteral("currentModule"));
    m_reader = new QComboBox(this);
    m_reader->setObjectName(QStringLiteral("reader"));
    m_moveIcPosition = PlainButton(QStringLiteral("Move IC Position"), "moveIcPosition", this);
    m_restorePosition = PlainButton(QStringLiteral("Restore Position"), "restorePosition", this);
    m_headDown = PlainButton(QStringLiteral("IC Head Down (Contact)"), "headDown", this);
    m_headUp = PlainButton(QStringLiteral("IC Head Up (Release)"), "headUp", this);
    m_powerOn = PlainButton(QStringLiteral("Power ON"), "powerOn", this);
    m_powerOff = PlainButton(QStringLiteral("Power OFF"), "powerOff", this);
    m_atr = new QLineEdit(this);
    m_atr->setObjectName(QStringLiteral("atr"));
    m_atr->setReadOnly(true);

    grid->addWidget(BuddyLabel(QStringLiteral("Curr. Card Module :"), m_currentModule, this), 0, 0);
    grid->addWidget(m_currentModule, 0, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("Reader :"), m_reader, this), 1, 0);
    grid->addWidget(m_reader, 1, 1, 1, 2);
    grid->addWidget(m_moveIcPosition, 2, 0);
    grid->addWidget(m_restorePosition, 2, 1);
    grid->addWidget(m_headDown, 3, 0);
    grid->addWidget(m_headUp, 3, 1);
    grid->addWidget(m_powerOn, 4, 0);
    grid->addWidget(m_powerOff, 4, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("ATR :"), m_atr, this), 5, 0);
    grid->addWidget(m_atr, 5, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);

    QWidget* order[] = {m_currentModule,   m_reader,   m_moveIcPosition,
                        m_restorePosition, m_headDown, m_headUp,
                        m_powerOn,         m_powerOff, m_atr};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_moveIcPosition, &QPushButton::clicked, this, &CSubDlgIC::OnMoveIcPosition);
    connect(m_restorePosition, &QPushButton::clicked, this, &CSubDlgIC::OnRestorePosition);
    connect(m_headDown, &QPushButton::clicked, this, &CSubDlgIC::OnHeadDown);
    connect(m_headUp, &QPushButton::clicked, this, &CSubDlgIC::OnHeadUp);
    connect(m_powerOn, &QPushButton::clicked, this, &CSubDlgIC::OnPowerOn);
    connect(m_powerOff, &QPushButton::clicked, this, &CSubDlgIC::OnPowerOff);
}

// ---- Frame operations ----

void CSubDlgIC::OnDeviceConnected(const QString& deviceId) {
    FillReaderList(m_reader, rf::ContactReaderNames(ReadDeviceInfo(deviceId)));
}

void CSubDlgIC::OnDeviceDisconnected() {
    m_reader->clear();
}

// Flippers whose status shows an IC contactor are listed; the head and power commands need one.
void CSubDlgIC::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    m_currentModule->clear();
    for (std::uint8_t id : sdk_lists::ModuleChain(m_modules)) {
        if (!vela::IsType(id, vela::kTypeFlipper))
            continue;
        std::uint64_t status = 0;
        const VelaResult r = Binding().Device(Binding().Vela_GetStatus, id, &status);
        if (r == 0 && (status & vela::Bit(vela::flipper::kDetectIcContactor)))
            m_currentModule->addItem(labels::Station(id), id);
    }
    const bool any = m_currentModule->count() > 0;
    if (any)
        m_currentModule->setCurrentIndex(0);
    for (QWidget* w : {static_cast<QWidget*>(m_headDown), static_cast<QWidget*>(m_headUp),
                       static_cast<QWidget*>(m_powerOn), static_cast<QWidget*>(m_powerOff),
                       static_cast<QWidget*>(m_atr)})
        w->setEnabled(any);
}

void CSubDlgIC::OnPageShown() {}

// ---- Commands ----

void CSubDlgIC::ReportFailure(VelaResult result) {
    ReportMessage(halvard::mb::kIconWarning,
                  ErrorText(QStringLiteral("Failed"), static_cast<std::uint32_t>(result),
                            ErrorForm::kDashed));
}

void CSubDlgIC::MovePosition(int position) {
    if (!HavePreemption(PreemptionNotice::kFirst))
        return;
    const VelaResult r = Call(Binding().Vela_CardMovePosition, GetCurrentModule(), position);
    if (r != 0)
        ReportFailure(r);
}

void CSubDlgIC::OnMoveIcPosition() {
    MovePosition(kIcPosition);
}

void CSubDlgIC::OnRestorePosition() {
    MovePosition(kRestorePosition);
}

// Waits (bounded) until the module no longer runs a command. A time-out or a failed state query
// ends the wait; the command that follows is sent anyway and its result decides.
void CSubDlgIC::WaitReady(std::uint8_t module) {
    const auto ready = [this, module] {
        std::uint8_t state = 0;
        const VelaResult r = Binding().Device(Binding().Vela_GetModuleState, module, &state);
        return r != 0 || (state & vela::Bit(vela::state::kCommandRunning)) == 0;
    };
    if (WaitUntil(ready, kReadyPollMs, kReadyLimitMs) == WaitResult::kTimedOut)
        SetLastResult(kReadyTimedOut);
}

void CSubDlgIC::OnHeadDown() {
    const std::uint8_t module = GetCurrentModule();
    WaitReady(module);
    const VelaResult r = Call(Binding().Vela_ICHContact, module);
    if (r != 0)
        ReportFailure(r);
}

void CSubDlgIC::OnHeadUp() {
    const std::uint8_t module = GetCurrentModule();
    WaitReady(module);
    const VelaResult r = Call(Binding().Vela_ICHDiscontact, module);
    if (r != 0)
        ReportFailure(r);
}

void CSubDlgIC::OnPowerOn() {
    const std::uint8_t module = GetCurrentModule();
    WaitReady(module);
    std::int32_t length = rf::kAtrBufferSize;
    std::array<std::uint8_t, rf::kAtrBufferSize> atr{};
    m_atr->clear();
    repaint();
    LogCommand(QStringLiteral("IC_POWER_ON"), module);
    const VelaResult r = Call(Binding().Vela_ICPowerOn2, module, &length, atr.data());
    if (!LogResult(r)) {
        ReportFailure(r);
        return;
    }
    // The reported length is the SDK's: never beyond the buffer.
    const QString text = HexBytes(rf::Returned(atr, length));
    m_atr->setText(text);
    m_host.AppendLogText(QStringLiteral("      ATR : [ ") + text + QStringLiteral(" ]\n"));
}

void CSubDlgIC::OnPowerOff() {
    const std::uint8_t module = GetCurrentModule();
    WaitReady(module);
    LogCommand(QStringLiteral("IC_POWER_OFF"), module);
    const VelaResult r = Call(Binding().Vela_ICPowerOff2, module);
    if (!LogResult(r))
        ReportFailure(r);
}
