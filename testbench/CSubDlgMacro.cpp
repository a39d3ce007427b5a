#include "CSubDlgMacro.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <array>

#include "macro_logic.h"
#include "message_service.h"
#include "page_drivers.h"
#include "wait_service.h"
#include "widget_support.h"

namespace {

constexpr int kListFontPixels = 11;
constexpr int kNumberBoxWidth = 70;
const QString kPlayStart = QStringLiteral("Macro Play Start");
const QString kPlayStop = QStringLiteral("Macro Play Stop");
const QString kPlayStopping = QStringLiteral("Macro Play Stoping ...");

}  // namespace

CSubDlgMacro::CSubDlgMacro(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Macro"), host, parent) {
    setObjectName(QStringLiteral("pageMacro"));
    BuildControls();
    m_refreshTimer.setInterval(kDisplayTimerMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &CSubDlgMacro::OnDisplayTimer);
    OnPageShown();
}

CSubDlgMacro::~CSubDlgMacro() {
    // A playback running in an event loop below must not touch this page again.
    *m_alive = false;
    m_refreshTimer.stop();
    // A recording this page started ends with it, so the Move page does not record into nothing.
    if (m_recordingStarted) {
        m_host.ShowQuickRecord(false);
        m_host.SetMacroRecording(0);
    }
}

void CSubDlgMacro::BuildControls() {
    m_recordStart =
        halvard::PlainButton(QStringLiteral("Macro Record Start"), "macroRecordStart", this);
    m_recordStop =
        halvard::PlainButton(QStringLiteral("Macro Record Stop"), "macroRecordStop", this);
    m_playStart = halvard::PlainButton(kPlayStart, "macroPlayStart", this);
    // Wide enough for every caption, so that the row does not shift when it changes.
    const QFontMetrics metrics(m_playStart->font());
    m_playStart->setMinimumWidth(metrics.horizontalAdvance(kPlayStopping) + 24);

    m_currentPass = new QLineEdit(QStringLiteral("0"), this);
    m_currentPass->setObjectName(QStringLiteral("currentPass"));
    m_currentPass->setAccessibleName(QStringLiteral("Current pass"));
    m_currentPass->setReadOnly(true);
    m_currentPass->setMaximumWidth(kNumberBoxWidth);
    m_passes = new QLineEdit(QStringLiteral("1"), this);
    m_passes->setObjectName(QStringLiteral("passes"));
    m_passes->setAccessibleName(QStringLiteral("Number of passes"));
    // A minus sign may be typed: the handler refuses a negative count with its message.
    m_passes->setValidator(new QIntValidator(-999999999, 999999999, m_passes));
    m_passes->setMaximumWidth(kNumberBoxWidth);
    auto* countLabel = halvard::BuddyLabel(QStringLiteral("Count :"), m_passes, this);
    auto* slash = new QLabel(QStringLiteral("/"), this);

    m_list = new QPlainTextEdit(this);
    m_list->setObjectName(QStringLiteral("macroList"));
    m_list->setAccessibleName(QStringLiteral("Recorded macro"));
    m_list->setReadOnly(true);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_list->setUndoRedoEnabled(false);
    m_list->setFont(halvard::FixedPitchFont(kListFontPixels));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_recordStart);
    buttons->addWidget(m_recordStop);
    buttons->addSpacing(16);
    buttons->addWidget(m_playStart);
    buttons->addStretch(1);
    auto* count = new QHBoxLayout;
    count->addWidget(countLabel);
    count->addWidget(m_currentPass);
    count->addWidget(slash);
    count->addWidget(m_passes);
    count->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(count);
    layout->addWidget(m_list, 1);

    setTabOrder(m_recordStart, m_recordStop);
    setTabOrder(m_recordStop, m_playStart);
    setTabOrder(m_playStart, m_currentPass);
    setTabOrder(m_currentPass, m_passes);
    setTabOrder(m_passes, m_list);

    connect(m_recordStart, &QPushButton::clicked, this, &CSubDlgMacro::OnMacroRecordStart);
    connect(m_recordStop, &QPushButton::clicked, this, &CSubDlgMacro::OnMacroRecordStop);
    connect(m_playStart, &QPushButton::clicked, this, &CSubDlgMacro::OnMacroPlayStart);
}

// ---- Frame operations ----

void CSubDlgMacro::OnDeviceConnected(const QString&) {
    OnPageShown();
}

void CSubDlgMacro::OnDeviceDisconnected() {
    // The device closes when this returns: a playback must not call it again.
    if (m_playing)
        m_ended = true;
    OnPageShown();
    // The connection is still open while the pages are told; judge the page as it will be.
    m_recordStart->setEnabled(false);
    m_recordStop->setEnabled(false);
    m_playStart->setEnabled(false);
}

void CSubDlgMacro::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    OnPageShown();
}

void CSubDlgMacro::OnPageShown() {
    const bool connected = Connected();
    const bool recording = Recording();
    m_recordStart->setEnabled(connected && !recording && !m_playing);
    m_recordStop->setEnabled(connected && recording && !m_playing);
    // Stays enabled while playing: it is then the stop button.
    m_playStart->setEnabled(connected && !recording && !m_macroList.empty());
    m_passes->setEnabled(!m_playing);
    if (!m_playing)
        m_playStart->setText(kPlayStart);
    else
        m_playStart->setText(m_stopRequested ? kPlayStopping : kPlayStop);
}

void CSubDlgMacro::EndPlayback() {
    if (m_playing)
        m_ended = true;
}

// ---- Recording ----

void CSubDlgMacro::OnMacroRecordStart() {
    if (!m_macroList.empty()) {
        const int answer = halvard::MessageService::Show(
            this, QStringLiteral("Previous macro will be deleted.\n\nContinue Anyway?"),
            halvard::mb::kYesNo | halvard::mb::kIconWarning);
        if (answer != halvard::mb::kIdYes)
            return;
        m_macroList.clear();
        ClearListArea();
    }
    m_host.SetMacroRecording(1);
    m_recordingStarted = true;
    m_host.ShowQuickRecord(true);
    m_refreshTimer.start();
    OnPageShown();
}

void CSubDlgMacro::OnMacroRecordStop() {
    m_refreshTimer.stop();
    // Steps recorded since the last tick are shown too.
    OnDisplayTimer();
    m_host.ShowQuickRecord(false);
    m_host.SetMacroRecording(0);
    m_recordingStarted = false;
    OnPageShown();
}

void CSubDlgMacro::OnDisplayTimer() {
    // A list emptied since the last tick is shown afresh.
    if (static_cast<int>(m_macroList.size()) < m_shownCount)
        ClearListArea();
    const int count = static_cast<int>(m_macroList.size());
    if (count == m_shownCount)
        return;
    QString text;
    for (int i = m_shownCount; i < count; ++i)
        text += macro::ListLine(m_macroList[static_cast<size_t>(i)]) + u'\n';
    m_list->setUpdatesEnabled(false);
    QTextCursor cursor(m_list->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    m_list->setUpdatesEnabled(true);
    m_list->setTextCursor(cursor);
    m_list->ensureCursorVisible();
    m_shownCount = count;
}

void CSubDlgMacro::ClearListArea() {
    m_list->clear();
    m_shownCount = 0;
}

// ---- Playback ----

void CSubDlgMacro::OnMacroPlayStart() {
    const std::optional<int> passes = macro::ParsePasses(m_passes->text());
    if (!passes) {
        Warn(QStringLiteral("Iteration value is not valid!"));
        m_passes->setFocus();
        m_passes->selectAll();
        return;
    }
    if (m_playing) {
        // A press from the running playback's event processing: stop at the end of the pass.
        if (!m_stopRequested) {
            m_stopRequested = true;
            m_stopAskedAtMs = halvard::WaitService::NowMs();
        }
        OnPageShown();
        return;
    }
    m_playing = true;
    m_stopRequested = false;
    m_ended = false;
    OnPageShown();
    m_currentPass->setText(QStringLiteral("0"));

    // The playback works on its own copy: nothing done meanwhile can change its steps.
    const MacroList items = m_macroList;
    const std::shared_ptr<bool> alive = m_alive;
    Play(*passes, items, alive);
    if (!*alive)
        return;
    m_playing = false;
    m_stopRequested = false;
    m_ended = false;
    OnPageShown();
}

void CSubDlgMacro::Play(int passes, const MacroList& items, const std::shared_ptr<bool>& alive) {
    for (int pass = 1; pass <= passes; ++pass) {
        for (const _tagMacroItem& item : items) {
            if (!WaitUntilIdle(item, alive) || !ReplayStep(item, alive) ||
                !WaitUntilIdle(item, alive))
                return;
        }
        if (m_stopRequested)
            return;
        m_currentPass->setText(QString::number(pass));
    }
}

bool CSubDlgMacro::ReplayStep(const _tagMacroItem& item, const std::shared_ptr<bool>& alive) {
    MovePageDriver* move = MoveDriver();
    if (move == nullptr)
        return false;
    const bool eject = macro::ReplayCommand(item) == macro::Replay::kCardEject;
    // A selector without the value keeps its selection.
    move->SetCurrentModule(item.firstModule);
    if (eject) {
        move->SetEjectTarget(item.secondModule);
        move->SetHopLine(item.secondOption & macro::kHopLineMask);
        move->SetEjectDirection(item.secondOption & macro::kEjectDirMask);
    } else {
        // The hopper line the move was recorded with (the page reads it for a multi-input
        // hopper only).
        if (vela::IsType(item.firstModule, vela::kTypeMultiInputHopper))
            move->SetHopperLine(item.firstOption);
        move->SetMoveDestination(item.secondModule);
    }
    if (!Pump(alive))
        return false;
    // The page may have been rebuilt while events were processed.
    move = MoveDriver();
    if (move == nullptr)
        return false;
    if (eject)
        move->RunCardEject();
    else
        move->RunCardMove();
    return Pump(alive);
}

bool CSubDlgMacro::WaitUntilIdle(const _tagMacroItem& item, const std::shared_ptr<bool>& alive) {
    const std::vector<std::uint8_t> modules = macro::PolledModules(item);
    const std::int64_t start = halvard::WaitService::NowMs();
    for (;;) {
        std::array<macro::Polled, 3> round{};
        size_t polled = 0;
        VelaResult last = 0;
        for (std::uint8_t module : modules) {
            std::uint64_t status = 0;
            last = Call(Binding().Vela_GetStatus, module, &status);
            round[polled++] = {module, status};
            halvard::WaitService::Wait(macro::kPollPauseMs);
            if (!GoOn(alive, this))
                return false;
        }
        const std::int64_t now = halvard::WaitService::NowMs();
        const std::int64_t stopAsked = m_stopRequested ? now - m_stopAskedAtMs : -1;
        const std::span<const macro::Polled> seen(round.data(), polled);
        switch (macro::JudgeRound(seen, last, now - start, stopAsked)) {
            case macro::Idle::kIdle:
            case macro::Idle::kQueryFailed:
                // A failing query ends this wait; the playback goes on.
                return Pump(alive);
            case macro::Idle::kBusy:
                if (!Pump(alive))
                    return false;
                break;
            case macro::Idle::kStopped:
                return false;
            case macro::Idle::kTimedOut: {
                SetLastResult(macro::kWaitTimedOut);
                const QString text = QString::asprintf(
                    "Module [%02X] is still busy after %d seconds. Macro Play Stopped...",
                    macro::FirstBusy(seen), macro::kIdleLimitMs / 1000);
                Warn(ErrorText(text, macro::kWaitTimedOut));
                return false;
            }
        }
    }
}

bool CSubDlgMacro::Pump(const std::shared_ptr<bool>& alive) {
    halvard::PumpMessages();
    return GoOn(alive, this);
}

MovePageDriver* CSubDlgMacro::MoveDriver() const {
    return m_host.FindMoveDriver();
}
