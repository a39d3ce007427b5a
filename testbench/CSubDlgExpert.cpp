#include "CSubDlgExpert.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

#include "expert_rules.h"
#include "message_service.h"
#include "module_labels.h"
#include "sdk_lists.h"
#include "vela_modules.h"
#include "wait_service.h"
#include "widget_support.h"

using halvard::BuddyLabel;

namespace {

constexpr int kNumberBoxWidth = 80;

}  // namespace

CSubDlgExpert::CSubDlgExpert(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Expert"), host, parent) {
    setObjectName(QStringLiteral("pageExpert"));
    BuildControls();
    SetCurrentModuleSelector(m_module);
    OnPageShown();
}

void CSubDlgExpert::BuildControls() {
    auto* grid = new QGridLayout(this);
    int row = 0;
    m_module = new QComboBox(this);
    m_module->setObjectName(QStringLiteral("currentModule"));
    m_module->setMinimumContentsLength(8);
    grid->addWidget(BuddyLabel(QStringLiteral("Curr. Card Module :"), m_module, this), row, 0);
    grid->addWidget(m_module, row, 1, Qt::AlignLeft);
    ++row;

    // "Iteration": the iteration being run, and how many to run.
    auto* iteration = new QGroupBox(QStringLiteral("Iteration"), this);
    m_current = new QLineEdit(QStringLiteral("0"), iteration);
    m_current->setObjectName(QStringLiteral("currentIteration"));
    m_current->setReadOnly(true);
    m_current->setFixedWidth(kNumberBoxWidth);
    m_current->setAccessibleDescription(QStringLiteral("current iteration"));
    m_count = new QLineEdit(QStringLiteral("1"), iteration);
    m_count->setObjectName(QStringLiteral("iterationCount"));
    m_count->setFixedWidth(kNumberBoxWidth);
    m_count->setAccessibleDescription(QStringLiteral("number of iterations"));
    auto* counts = new QHBoxLayout(iteration);
    counts->addWidget(BuddyLabel(QStringLiteral("Count :"), m_current, iteration));
    counts->addWidget(m_current);
    counts->addSpacing(12);
    counts->addWidget(BuddyLabel(QStringLiteral("Count :"), m_count, iteration));
    counts->addWidget(m_count);
    counts->addStretch(1);
    grid->addWidget(iteration, row, 0, 1, 3);
    ++row;

    m_cardMove =
        halvard::PlainButton(expert::CardMoveCaption(vela::kModuleNone), "cardMoveTest", this);
    grid->addWidget(m_cardMove, row++, 0);
    m_fan = halvard::PlainButton(QStringLiteral("[P0] Printer Fan Test"), "printerFanTest", this);
    grid->addWidget(m_fan, row++, 0);
    m_testMode =
        halvard::PlainButton(QStringLiteral("[P0] Toggle Test Mode"), "toggleTestMode", this);
    grid->addWidget(m_testMode, row++, 0);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);

    connect(m_module, &QComboBox::currentIndexChanged, this, &CSubDlgExpert::OnModuleSelected);
    connect(m_cardMove, &QPushButton::clicked, this, &CSubDlgExpert::OnCardMoveTest);
    connect(m_fan, &QPushButton::clicked, this, &CSubDlgExpert::OnPrinterFanTest);
    connect(m_testMode, &QPushButton::clicked, this, &CSubDlgExpert::OnToggleTestMode);
}

// ---- Frame slots ----

void CSubDlgExpert::OnDeviceConnected(const QString&) {
    OnPageShown();
}

void CSubDlgExpert::OnDeviceDisconnected() {
    // A running card move test ends before its next step: the device is going. The handle is
    // still open while the pages hear of it, so the controls are judged as without it.
    if (m_running)
        m_stop = StopReason::kDisconnected;
    UpdateControls(false);
}

void CSubDlgExpert::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    {
        const QSignalBlocker quiet(m_module);
        m_module->clear();
        for (std::uint8_t id : sdk_lists::ModuleChain(m_modules))
            m_module->addItem(labels::Expert(id), id);
        const std::optional<std::uint8_t> chosen = expert::DefaultModule(m_modules);
        m_module->setCurrentIndex(chosen ? m_module->findData(*chosen) : -1);
    }
    // The caption rule runs as the selector's own change notification would.
    if (m_module->count() > 0)
        QMetaObject::invokeMethod(this, &CSubDlgExpert::OnModuleSelected, Qt::QueuedConnection);
    OnPageShown();
}

void CSubDlgExpert::OnModuleSelected() {
    if (!m_running)
        m_cardMove->setText(expert::CardMoveCaption(GetCurrentModule()));
    OnPageShown();
}

void CSubDlgExpert::OnPageShown() {
    UpdateControls(Connected());
}

void CSubDlgExpert::UpdateControls(bool connected) {
    const bool usable = connected && !Recording();
    const std::uint8_t module = GetCurrentModule();
    // While the card move test runs its module stays chosen, and its button stops it.
    m_module->setEnabled(usable && !m_running);
    m_cardMove->setEnabled(m_running || (usable && expert::IsPrinter(module)));
    m_fan->setEnabled(usable && module == vela::kModulePrinter);
    m_testMode->setEnabled(usable && module == vela::kModulePrinter);
}

// ---- Card Move Test ----

void CSubDlgExpert::OnCardMoveTest() {
    if (m_running) {
        StopCardMoveTest();
        return;
    }
    RunCardMoveTest();
}

void CSubDlgExpert::StopCardMoveTest() {
    if (m_running && m_stop == StopReason::kNone)
        m_stop = StopReason::kEngineer;
}

CSubDlgExpert::StopReason CSubDlgExpert::PendingStop() const {
    if (m_stop != StopReason::kNone)
        return m_stop;
    // The main window was closed while the test dispatched its messages.
    if (m_windowShown && !window()->isVisible())
        return StopReason::kClosing;
    return StopReason::kNone;
}

void CSubDlgExpert::ShowIteration(int iteration) {
    m_current->setText(QString::number(iteration));
    repaint();
}

void CSubDlgExpert::Say(const QString& text) {
    halvard::MessageService::Show(this, text, halvard::mb::kOk);
}

void CSubDlgExpert::RunCardMoveTest() {
    if (sdk_lists::ModuleChain(m_modules).size() >= 2) {
        SetLastResult(kFailed);
        Warn(QStringLiteral("Please, remove other devices."));
        return;
    }
    const std::optional<int> iterations = expert::IterationCount(m_count->text());
    if (!iterations) {
        SetLastResult(kFailed);
        Warn(QStringLiteral("Please, insert a iteration count."));
        m_count->setFocus();
        m_count->selectAll();
        return;
    }
    const int n = *iterations;
    const std::uint8_t module = GetCurrentModule();
    ShowIteration(0);

    m_running = true;
    m_stop = StopReason::kNone;
    m_windowShown = window()->isVisible();
    m_cardMove->setText(QStringLiteral("Stop Card Move Test"));
    OnPageShown();

    // Message dispatching may run anything, the page's end included: after each dispatch the
    // test goes on only while the page exists.
    const QPointer<CSubDlgExpert> self(this);
    StopReason stop = StopReason::kNone;
    VelaResult r = Call(Binding().Vela_CardIn, module, 0, 0);
    for (int i = 1; r == 0 && i <= n; ++i) {
        // The engineer's stop ends the test between iterations.
        if ((stop = PendingStop()) != StopReason::kNone)
            break;
        ShowIteration(i);
        halvard::PumpMessages();
        if (self.isNull())
            return;
        // A closing window or a lost device ends it at once.
        if (m_stop == StopReason::kDisconnected || PendingStop() == StopReason::kClosing) {
            stop = PendingStop();
            break;
        }
        r = Call(Binding().Vela_CardMoveSensor, module, expert::kForwardSensor,
                 expert::kForwardDistance, 0);
        if (r == 0)
            r = Call(Binding().Vela_CardMoveSensor, module, expert::kBackSensor,
                     expert::kBackDistance, 0);
        halvard::PumpMessages();
        if (self.isNull())
            return;
        halvard::WaitService::Wait(kIterationPauseMs);
        if (self.isNull())
            return;
    }
    m_running = false;
    OnModuleSelected();

    if (r != 0) {
        Say(QString::asprintf("Error - 0x%08X", static_cast<unsigned>(r)));
        return;
    }
    if (stop == StopReason::kClosing) {
        // Nothing more is sent or shown for a window that is going away.
        SetLastResult(kStopped);
        return;
    }
    if (stop == StopReason::kDisconnected) {
        // As every call without a device: the test ends with the no-device code.
        SetLastResult(kFailed);
        Say(QString::asprintf("Error - 0x%08X", static_cast<unsigned>(kFailed)));
        return;
    }
    // Finished, or stopped by the engineer: the card is brought back out either way.
    r = Call(Binding().Vela_CardMoveSensor, module, expert::kBackSensor, expert::kFinalDistance, 0);
    if (r != 0) {
        Say(QString::asprintf("Error - 0x%08X", static_cast<unsigned>(r)));
        return;
    }
    if (stop == StopReason::kEngineer) {
        SetLastResult(kStopped);
        Say(QStringLiteral("Card Move Test stopped after %1 of %2 iterations.")
                .arg(m_current->text().toInt())
                .arg(n));
        return;
    }
    Say(QStringLiteral("Success"));
}

// ---- Printer commands ----

void CSubDlgExpert::OnPrinterFanTest() {
    Call(Binding().Vela_ExCmdSend, expert::kFanCommand.data(),
         static_cast<std::int32_t>(expert::kFanCommand.size()));
}

void CSubDlgExpert::OnToggleTestMode() {
    if (m_waitingIdle)
        return;
    m_waitingIdle = true;
    const QPointer<CSubDlgExpert> self(this);
    VelaResult failed = 0;
    const auto idle = [&] {
        std::uint64_t status = 0;
        const VelaResult r = Call(Binding().Vela_GetStatus, vela::kModulePrinter, &status);
        if (r != 0) {
            failed = r;
            return true;
        }
        return (status & vela::BusyMask(vela::kTypePrinter)) == 0;
    };
    // The printer is asked 50 ms after the click, then every 50 ms while it is busy.
    halvard::WaitService::Wait(kIdlePollMs);
    if (self.isNull())
        return;
    const WaitResult waited =
        WaitUntil(idle, kIdlePollMs, kIdleLimitMs, {}, [&] { return self.isNull(); });
    if (self.isNull())
        return;
    m_waitingIdle = false;
    if (waited == WaitResult::kTimedOut) {
        SetLastResult(kIdleTimedOut);
        Warn(QStringLiteral("The printer stayed busy for 30 seconds: test mode was not toggled."));
        return;
    }
    if (failed != 0)
        return;
    Call(Binding().Vela_ExToggleTestMode);
}
