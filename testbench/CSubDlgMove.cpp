#include "CSubDlgMove.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "MacroRecorder.h"
#include "module_labels.h"
#include "vela_modules.h"
#include "wait_service.h"
#include "widget_support.h"

using halvard::BuddyLabel;

namespace {

using vela::IsType;

// The flipper's option boxes are laid out in rows of this many.
constexpr int kOptionsPerRow = 4;

void Fill(QComboBox* box, const move::Entries& entries) {
    box->clear();
    for (const move::Entry& entry : entries)
        box->addItem(entry.text, entry.data);
}

int DataOf(const QComboBox* box, int fallback = 0) {
    if (box->currentIndex() < 0)
        return fallback;
    bool ok = false;
    const int value = box->currentData().toInt(&ok);
    return ok ? value : fallback;
}

// A number box as the page reads it: decimal, 0 when empty or not a number.
int NumberOf(const QLineEdit* edit) {
    return edit->text().trimmed().toInt();
}

}  // namespace

CSubDlgMove::CSubDlgMove(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Move"), host, parent) {
    setObjectName(QStringLiteral("pageMove"));
    BuildControls();
    SetCurrentModuleSelector(m_currentModule);
    OnPageShown();
}

CSubDlgMove::~CSubDlgMove() {
    StopPositionTest();
}

void CSubDlgMove::BuildControls() {
    auto* grid = new QGridLayout(this);
    auto combo = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    auto number = [this](const char* name, const QString& text) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QLatin1String(name));
        edit->setValidator(new QIntValidator(edit));
        edit->setMaximumWidth(80);
        return edit;
    };
    auto directions = [&combo](const char* name) {
        QComboBox* box = combo(name);
        box->addItem(QStringLiteral("Left"), 0);
        box->addItem(QStringLiteral("Right"), 1);
        return box;
    };

    int row = 0;
    // Where the card is, with the multi-input hopper's line beside it.
    m_currentModule = combo("currentModule");
    m_hopperLine = combo("hopperLine");
    m_hopperLineLabel = BuddyLabel(QStringLiteral("Hopper :"), m_hopperLine, this);
    m_hopperLineLabel->setObjectName(QStringLiteral("hopperLineLabel"));
    m_hopperLineLabel->hide();
    m_hopperLine->hide();
    auto* whereRow = new QHBoxLayout;
    whereRow->addWidget(m_currentModule);
    whereRow->addWidget(m_hopperLineLabel);
    whereRow->addWidget(m_hopperLine);
    whereRow->addStretch();
    grid->addWidget(BuddyLabel(QStringLiteral("Curr. Card Module :"), m_currentModule, this), row,
                    0);
    grid->addLayout(whereRow, row, 1, 1, 4);
    ++row;

    m_cardMove = button(QStringLiteral("Card Move"), "cardMove");
    m_moveDestination = combo("moveDestination");
    grid->addWidget(m_cardMove, row, 0);
    grid->addWidget(BuddyLabel(QStringLiteral("to"), m_moveDestination, this), row, 1);
    grid->addWidget(m_moveDestination, row, 2);
    ++row;

    m_cardEject = button(QStringLiteral("Card Eject"), "cardEject");
    m_ejectDestination = combo("ejectDestination");
    grid->addWidget(m_cardEject, row, 0);
    grid->addWidget(BuddyLabel(QStringLiteral("to"), m_ejectDestination, this), row, 1);
    grid->addWidget(m_ejectDestination, row, 2);
    ++row;
    m_hopLine = combo("hopLine");
    m_ejectDir = directions("ejectDir");
    m_hopLineLabel = BuddyLabel(QStringLiteral("Hop. Line"), m_hopLine, this);
    m_ejectDirLabel = BuddyLabel(QStringLiteral("Eject Dir"), m_ejectDir, this);
    m_hopLineLabel->setObjectName(QStringLiteral("hopLineLabel"));
    m_ejectDirLabel->setObjectName(QStringLiteral("ejectDirLabel"));
    grid->addWidget(m_hopLineLabel, row, 1);
    grid->addWidget(m_hopLine, row, 2);
    grid->addWidget(m_ejectDirLabel, row, 3);
    grid->addWidget(m_ejectDir, row, 4);
    ++row;

    m_cardFlip = button(QStringLiteral("Card Flip"), "cardFlip");
    m_flipper = combo("flipper");
    grid->addWidget(m_cardFlip, row, 0);
    grid->addWidget(BuddyLabel(QStringLiteral("Flipper"), m_flipper, this), row, 1);
    grid->addWidget(m_flipper, row, 2);
    ++row;

    m_cardFlipMove = button(QStringLiteral("Card Flip Move"), "cardFlipMove");
    m_flipMoveFlipper = combo("flipMoveFlipper");
    m_giveTo = combo("giveTo");
    grid->addWidget(m_cardFlipMove, row, 0);
    grid->addWidget(BuddyLabel(QStringLiteral("Flipper"), m_flipMoveFlipper, this), row, 1);
    grid->addWidget(m_flipMoveFlipper, row, 2);
    grid->addWidget(BuddyLabel(QStringLiteral("Give to"), m_giveTo, this), row, 3);
    grid->addWidget(m_giveTo, row, 4);
    ++row;

    // "Module Action": the sensor row and the flipper's option rows share one place; only one
    // of them is visible at a time. The seven options take two rows, so that every caption
    // shows in full at the window's size.
    m_moduleAction = button(QStringLiteral("Module Action"), "moduleAction");
    m_sensor = combo("sensor");
    m_sensor->addItem(QStringLiteral("Left"), 0);
    m_sensor->addItem(QStringLiteral("Center"), 1);
    m_sensor->addItem(QStringLiteral("Right"), 3);
    m_sensorLabel = BuddyLabel(QStringLiteral("Sensor"), m_sensor, this);
    m_sensorLabel->setObjectName(QStringLiteral("sensorLabel"));
    m_optionLabel = new QLabel(QStringLiteral("Option"), this);
    m_optionLabel->setObjectName(QStringLiteral("optionLabel"));
    // The label column holds "Sensor" or "Option"; beside it the sensor selector or the first
    // option row, and the second option row under that.
    auto* firstRow = new QHBoxLayout;
    auto* secondRow = new QHBoxLayout;
    firstRow->addWidget(m_sensor);
    for (size_t i = 0; i < m_options.size(); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(move::kOptionLabels[i]), this);
        box->setObjectName(
            QStringLiteral("option%1").arg(move::kOptionBits[i], 2, 16, QLatin1Char('0')));
        m_options[i] = box;
        (static_cast<int>(i) < kOptionsPerRow ? firstRow : secondRow)->addWidget(box);
        connect(box, &QCheckBox::toggled, this,
                [this, box](bool checked) { OnOptionToggled(box, checked); });
    }
    firstRow->addStretch();
    secondRow->addStretch();
    auto* actionGrid = new QGridLayout;
    actionGrid->setContentsMargins(0, 0, 0, 0);
    actionGrid->addWidget(m_sensorLabel, 0, 0);
    actionGrid->addWidget(m_optionLabel, 0, 0);
    actionGrid->addLayout(firstRow, 0, 1);
    actionGrid->addLayout(secondRow, 1, 1);
    actionGrid->setColumnStretch(1, 1);
    m_distAngle = number("distAngle", QStringLiteral("0"));
    m_speed = number("speed", QString::number(kRecentreSpeed));
    grid->addWidget(m_moduleAction, row, 0, Qt::AlignTop);
    grid->addLayout(actionGrid, row, 1, 1, 4);
    ++row;
    auto* numbers = new QHBoxLayout;
    numbers->addWidget(BuddyLabel(QStringLiteral("dist/angle"), m_distAngle, this));
    numbers->addWidget(m_distAngle);
    numbers->addWidget(BuddyLabel(QStringLiteral("Speed"), m_speed, this));
    numbers->addWidget(m_speed);
    numbers->addStretch();
    grid->addLayout(numbers, row, 1, 1, 4);
    ++row;

    m_moveToErrorBin = button(QStringLiteral("Move to Error Bin"), "moveToErrorBin");
    m_errorBin = combo("errorBin");
    grid->addWidget(m_moveToErrorBin, row, 0);
    grid->addWidget(BuddyLabel(QStringLiteral("Error. Bin"), m_errorBin, this), row, 1);
    grid->addWidget(m_errorBin, row, 2);
    ++row;

    m_keyLock = button(QStringLiteral("(Key) Lock Printer"), "keyLock");
    m_keyUnlock = button(QStringLiteral("(Key) Unlock Printer"), "keyUnlock");
    grid->addWidget(m_keyLock, row, 0);
    grid->addWidget(m_keyUnlock, row, 1, 1, 2);
    ++row;

    // Service commands kept off screen.
    m_moduleCardIn = button(QStringLiteral("Module Card In"), "moduleCardIn");
    m_cardInFrom = directions("cardInFrom");
    m_moduleCardOut = button(QStringLiteral("Module Card Out"), "moduleCardOut");
    m_cardOutTo = directions("cardOutTo");
    for (QWidget* hidden :
         {static_cast<QWidget*>(m_moduleCardIn), static_cast<QWidget*>(m_cardInFrom),
          static_cast<QWidget*>(m_moduleCardOut), static_cast<QWidget*>(m_cardOutTo)})
        hidden->hide();

    // The button first: the keyboard reaches the row's controls in reading order.
    m_posTestButton = button(QStringLiteral("* START pos. move test *"), "posMoveTest");
    m_distance = number("distance", QString());
    grid->addWidget(BuddyLabel(QStringLiteral("distance"), m_distance, this), row, 1);
    grid->addWidget(m_distance, row, 2);
    grid->addWidget(m_posTestButton, row, 0);
    ++row;
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(5, 1);

    m_cardControls = {m_moduleAction, m_sensorLabel, m_sensor,        m_optionLabel,
                      m_distAngle,    m_speed,       m_moduleCardOut, m_cardOutTo};
    for (QCheckBox* box : m_options)
        m_cardControls.append(box);

    connect(m_currentModule, &QComboBox::currentIndexChanged, this, [this] { OnPageShown(); });
    connect(m_ejectDestination, &QComboBox::currentIndexChanged, this,
            &CSubDlgMove::OnEjectDestinationChanged);
    connect(m_cardMove, &QPushButton::clicked, this, &CSubDlgMove::OnCardMove);
    connect(m_cardEject, &QPushButton::clicked, this, &CSubDlgMove::OnCardEject);
    connect(m_cardFlip, &QPushButton::clicked, this, &CSubDlgMove::OnCardFlip);
    connect(m_cardFlipMove, &QPushButton::clicked, this, &CSubDlgMove::OnCardFlipMove);
    connect(m_moduleAction, &QPushButton::clicked, this, &CSubDlgMove::OnModuleAction);
    connect(m_moveToErrorBin, &QPushButton::clicked, this, &CSubDlgMove::OnMoveToErrorBin);
    connect(m_keyLock, &QPushButton::clicked, this, &CSubDlgMove::OnKeyLock);
    connect(m_keyUnlock, &QPushButton::clicked, this, &CSubDlgMove::OnKeyUnlock);
    connect(m_moduleCardIn, &QPushButton::clicked, this, &CSubDlgMove::OnModuleCardIn);
    connect(m_moduleCardOut, &QPushButton::clicked, this, &CSubDlgMove::OnModuleCardOut);
    connect(m_posTestButton, &QPushButton::clicked, this, &CSubDlgMove::OnPositionTest);

    OnEjectDestinationChanged();
}

// ---- Frame operations ----

void CSubDlgMove::OnDeviceConnected(const QString&) {
    OnPageShown();
}

void CSubDlgMove::OnDeviceDisconnected() {
    // The positioning test uses the connection that is about to close.
    StopPositionTest();
    // The connection is still open while the pages are told; judge the page as it will be.
    UpdateControls(false);
}

void CSubDlgMove::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    const move::Selectors s = move::BuildSelectors(move::Chain(m_modules), [this](std::uint8_t id) {
        VelaResult result = 0;
        const std::uint64_t status = ReadStatus(id, &result);
        return result == 0 ? status : 0;
    });
    {
        // One re-evaluation at the end, not one per refilled entry.
        const QSignalBlocker block(m_currentModule);
        Fill(m_currentModule, s.currentModule);
    }
    Fill(m_hopperLine, s.hopperLine);
    m_hopperLine->setVisible(s.showHopperLine);
    m_hopperLineLabel->setVisible(s.showHopperLine);
    Fill(m_moveDestination, s.moveDestination);
    Fill(m_ejectDestination, s.ejectDestination);
    Fill(m_hopLine, s.hopLine);
    Fill(m_flipper, s.flipper);
    Fill(m_flipMoveFlipper, s.flipMoveFlipper);
    Fill(m_giveTo, s.giveTo);
    Fill(m_errorBin, s.errorBin);
    for (QComboBox* box : {m_hopperLine, m_moveDestination, m_ejectDestination, m_flipper,
                           m_flipMoveFlipper, m_giveTo, m_errorBin})
        box->setCurrentIndex(box->count() > 0 ? 0 : -1);
    m_hopLine->setCurrentIndex(m_hopLine->count() - 1);
    MakeDefaultCurrent();
    for (QWidget* w : {static_cast<QWidget*>(m_hopLineLabel), static_cast<QWidget*>(m_hopLine),
                       static_cast<QWidget*>(m_ejectDirLabel), static_cast<QWidget*>(m_ejectDir)})
        w->hide();
    OnPageShown();
}

void CSubDlgMove::OnPageShown() {
    UpdateControls(Connected());
}

void CSubDlgMove::UpdateControls(bool connected) {
    const std::uint8_t current = GetCurrentModule();
    const bool none = current == vela::kModuleNone;
    const bool recording = Recording();

    for (QWidget* w :
         {static_cast<QWidget*>(m_currentModule), static_cast<QWidget*>(m_cardMove),
          static_cast<QWidget*>(m_moveDestination), static_cast<QWidget*>(m_ejectDestination)})
        w->setEnabled(connected);
    m_cardEject->setEnabled(connected && !none);
    const bool card = connected && !none && !recording;
    for (QWidget* w : m_cardControls)
        w->setEnabled(card);
    // A command whose module selector is empty has no module to send: the chain lacks a
    // flipper, or anything to give the card to.
    const auto has = [](const QComboBox* box) { return box->count() > 0; };
    for (QComboBox* box : {m_flipper, m_flipMoveFlipper, m_giveTo, m_errorBin})
        box->setEnabled(card && has(box));
    m_cardFlip->setEnabled(card && has(m_flipper));
    m_cardFlipMove->setEnabled(card && has(m_flipMoveFlipper) && has(m_giveTo));
    m_moveToErrorBin->setEnabled(card && has(m_errorBin));
    const bool printer = IsType(current, vela::kTypePrinter);
    m_keyLock->setEnabled(connected && printer && !recording);
    m_keyUnlock->setEnabled(connected && printer && !recording);
    const bool hopper = connected && IsType(current, vela::kTypeMultiInputHopper);
    m_hopperLine->setEnabled(hopper);
    m_hopperLineLabel->setEnabled(hopper);

    const bool flipper = IsType(current, vela::kTypeFlipper);
    m_sensorLabel->setVisible(!flipper && !recording);
    m_sensor->setVisible(!flipper && !recording);
    m_optionLabel->setVisible(flipper && !recording);
    for (QCheckBox* box : m_options)
        box->setVisible(flipper && !recording);
}

// ---- Selector rules ----

void CSubDlgMove::OnEjectDestinationChanged() {
    const auto destination =
        static_cast<std::uint8_t>(DataOf(m_ejectDestination, vela::kModuleNone));
    const bool hopper = IsType(destination, vela::kTypeMultiInputHopper);
    for (QWidget* w : {static_cast<QWidget*>(m_hopLineLabel), static_cast<QWidget*>(m_hopLine),
                       static_cast<QWidget*>(m_ejectDirLabel), static_cast<QWidget*>(m_ejectDir)})
        w->setVisible(hopper);
}

void CSubDlgMove::OnOptionToggled(QCheckBox* box, bool checked) {
    if (!checked)
        return;
    // "Vert."/"Horz." and "Scan Sensor"/"Center Sensor" exclude each other.
    auto partner = [this](int bit) -> QCheckBox* {
        for (size_t i = 0; i < m_options.size(); ++i)
            if (move::kOptionBits[i] == bit)
                return m_options[i];
        return nullptr;
    };
    QCheckBox* other = nullptr;
    if (box == partner(0x20))
        other = partner(0x10);
    else if (box == partner(0x10))
        other = partner(0x20);
    else if (box == partner(0x04))
        other = partner(0x02);
    else if (box == partner(0x02))
        other = partner(0x04);
    if (other != nullptr)
        other->setChecked(false);
}

void CSubDlgMove::MakeCurrent(std::uint8_t id) {
    SelectCurrentModule(id);
    OnPageShown();
}

void CSubDlgMove::MakeDefaultCurrent() {
    move::Entries entries;
    for (int i = 0; i < m_currentModule->count(); ++i)
        entries.push_back({m_currentModule->itemText(i), m_currentModule->itemData(i).toInt()});
    if (!entries.empty())
        m_currentModule->setCurrentIndex(move::DefaultPositionIndex(entries));
    OnPageShown();
}

// ---- Helpers ----

std::uint64_t CSubDlgMove::ReadStatus(std::uint8_t module, VelaResult* result) const {
    std::uint64_t status = 0;
    const VelaResult r = Binding().Device(Binding().Vela_GetStatus, module, &status);
    if (result)
        *result = r;
    return status;
}

bool CSubDlgMove::HasModules(std::initializer_list<const QComboBox*> selectors) {
    for (const QComboBox* box : selectors) {
        if (box->currentIndex() < 0) {
            SetLastResult(kBadInput);
            return false;
        }
    }
    return true;
}

// ---- Driver ----

bool CSubDlgMove::SetCurrentModule(std::uint8_t id) {
    return SelectByValue(m_currentModule, id);
}

bool CSubDlgMove::SetHopperLine(std::uint32_t value) {
    return SelectByValue(m_hopperLine, static_cast<int>(value));
}

bool CSubDlgMove::SetMoveDestination(std::uint8_t id) {
    return SelectByValue(m_moveDestination, id);
}

bool CSubDlgMove::SetEjectTarget(std::uint8_t id) {
    return SelectByValue(m_ejectDestination, id);
}

bool CSubDlgMove::SetHopLine(std::uint32_t value) {
    return SelectByValue(m_hopLine, static_cast<int>(value));
}

bool CSubDlgMove::SetEjectDirection(std::uint32_t value) {
    return SelectByValue(m_ejectDir, static_cast<int>(value));
}

// ---- Commands ----

void CSubDlgMove::OnCardMove() {
    const std::uint8_t source = GetCurrentModule();
    const auto destination =
        static_cast<std::uint8_t>(DataOf(m_moveDestination, vela::kModuleNone));
    const int hopperLine = IsType(source, vela::kTypeMultiInputHopper) ? DataOf(m_hopperLine) : 0;
    if (Recording()) {
        if (MacroRecorder* recorder = m_host.QuickRecorder())
            recorder->AddRecordedMove(source, static_cast<std::uint32_t>(hopperLine), destination,
                                      0);
        SetLastResult(0);
        MakeCurrent(destination);
        return;
    }
    const VelaResult r = Call(Binding().Vela_CardMove2, source, hopperLine, destination, 0, 0);
    if (r != 0) {
        Warn(ErrorText(QStringLiteral("Error while CardMove..."), static_cast<std::uint32_t>(r)));
        return;
    }
    MakeCurrent(destination);
}

void CSubDlgMove::OnCardEject() {
    const std::uint8_t module = GetCurrentModule();
    const auto destination =
        static_cast<std::uint8_t>(DataOf(m_ejectDestination, vela::kModuleNone));
    const bool recording = Recording();
    VelaResult r = 0;

    if (IsType(module, vela::kTypeFlipper) && !recording) {
        VelaResult read = 0;
        const std::uint64_t status = ReadStatus(module, &read);
        if (read == 0 && move::EjectNeedsRecentre(status)) {
            // An off-centre card is brought back to the centre before it leaves.
            if (!HavePreemption(PreemptionNotice::kFirst))
                return;
            r = Call(Binding().Vela_CardMoveSensor, module, kRecentreOption, 0, kRecentreSpeed);
            if (r == 0)
                r = Call(Binding().Vela_CardMovePosition, module, kRecentrePosition);
        }
    }
    SetLastResult(static_cast<std::uint32_t>(r));

    std::int32_t extra = 0;
    if (IsType(destination, vela::kTypeMultiInputHopper))
        extra = DataOf(m_hopLine) | DataOf(m_ejectDir);

    if (recording) {
        if (MacroRecorder* recorder = m_host.QuickRecorder())
            recorder->AddRecordedMove(module, 0, destination, static_cast<std::uint32_t>(extra));
        SetLastResult(0);
        MakeDefaultCurrent();
        return;
    }
    if (r == 0)
        r = Call(Binding().Vela_CardEject2, module, 0, destination, extra);
    if (r != 0) {
        Warn(ErrorText(QStringLiteral("Error while CardEject..."), static_cast<std::uint32_t>(r)));
        return;
    }
    MakeDefaultCurrent();
}

void CSubDlgMove::OnCardFlip() {
    if (!HasModules({m_flipper}))
        return;
    const std::uint8_t current = GetCurrentModule();
    const auto flipper = static_cast<std::uint8_t>(DataOf(m_flipper, vela::kModuleNone));
    const move::FlipPlan plan = move::PlanFlip(move::Chain(m_modules), flipper, current);

    VelaResult r = Call(Binding().Vela_CardPass, flipper, plan.passBits | 4, 1);
    if (r != 0) {
        Warn(ErrorText(QString::asprintf("Failed to Flip Card [%02X]...", flipper),
                       static_cast<std::uint32_t>(r), ErrorForm::kParenthesisedBare));
        return;
    }
    r = Call(Binding().Vela_CardMoveQuick, current, plan.giveDirection, 0);
    if (r != 0)
        Warn(ErrorText(
            QString::asprintf("Failed to Give Card [%02X] to [%02X]...", current, flipper),
            static_cast<std::uint32_t>(r), ErrorForm::kParenthesisedBare));
}

void CSubDlgMove::OnCardFlipMove() {
    // Checked before the card is taken in: the flip must be possible at all.
    if (!HasModules({m_flipMoveFlipper, m_giveTo}))
        return;
    const std::uint8_t current = GetCurrentModule();
    const auto flipper = static_cast<std::uint8_t>(DataOf(m_flipMoveFlipper, vela::kModuleNone));
    const auto giveTo = static_cast<std::uint8_t>(DataOf(m_giveTo, vela::kModuleNone));
    const move::FlipMovePlan plan = move::PlanFlipMove(move::Chain(m_modules), giveTo, current);
    const auto fail = [this](const QString& text, VelaResult r) {
        Warn(ErrorText(text, static_cast<std::uint32_t>(r), ErrorForm::kParenthesisedBare));
    };

    VelaResult r = Call(Binding().Vela_CardIn, giveTo, plan.inDirection, 1);
    if (r != 0) {
        fail(QString::asprintf("Failed to Flip Pass - Card In [%02X]...", giveTo), r);
        return;
    }
    r = Call(Binding().Vela_CardFlipPass, flipper, plan.flipBits | 4, 1);
    if (r != 0) {
        fail(QString::asprintf("Failed to Flip Pass - Flip [%02X]...", flipper), r);
        return;
    }
    r = Call(Binding().Vela_CardOut, current, plan.outDirection, 1);
    if (r != 0) {
        fail(QString::asprintf("Failed to Flip Pass - Card Out [%02X]...", current), r);
        return;
    }

    // Wait until the three modules have finished the queued transport. The wait is bounded:
    // a module that never leaves "Command : Running" must not hold the page for ever.
    std::uint32_t code = 0;
    const auto finished = [&] {
        std::array<std::uint8_t, 3> states{};
        const std::array<std::uint8_t, 3> modules = {current, flipper, giveTo};
        for (size_t i = 0; i < modules.size(); ++i) {
            const VelaResult read =
                Binding().Device(Binding().Vela_GetModuleState, modules[i], &states[i]);
            if (read != 0) {
                code = static_cast<std::uint32_t>(read);
                return true;
            }
        }
        return move::FlipMoveProgress(states, &code) <= 0;
    };
    if (WaitUntil(finished, kFlipMovePollMs, kFlipMoveTimeoutMs) != WaitResult::kHeld)
        code = kFlipMoveTimedOut;
    SetLastResult(code);
    if (code == 0) {
        MakeCurrent(giveTo);
        return;
    }
    fail(QStringLiteral("Failed to Flip Pass - ..."), static_cast<VelaResult>(code));
}

void CSubDlgMove::OnModuleAction() {
    if (!HavePreemption())
        return;
    const std::uint8_t current = GetCurrentModule();
    int option = 0;
    if (IsType(current, vela::kTypeFlipper)) {
        for (size_t i = 0; i < m_options.size(); ++i)
            if (m_options[i]->isChecked())
                option |= move::kOptionBits[i];
    } else {
        option = DataOf(m_sensor);
    }
    Call(Binding().Vela_CardMoveSensor, current, option, NumberOf(m_distAngle), NumberOf(m_speed));
}

void CSubDlgMove::OnMoveToErrorBin() {
    if (!HasModules({m_errorBin}) || !HavePreemption())
        return;
    const std::uint8_t current = GetCurrentModule();
    const int bin = DataOf(m_errorBin, vela::kModuleNone);
    const VelaResult r = Call(Binding().Vela_CardEjectBin, current, bin);
    if (r != 0) {
        Warn(ErrorText(QStringLiteral("Failed to Eject to Bin - ..."),
                       static_cast<std::uint32_t>(r), ErrorForm::kParenthesisedBare));
        return;
    }
    MakeDefaultCurrent();
}

void CSubDlgMove::OnKeyLock() {
    SendKeyLock(true);
}

void CSubDlgMove::OnKeyUnlock() {
    SendKeyLock(false);
}

void CSubDlgMove::SendKeyLock(bool lock) {
    if (!HavePreemption())
        return;
    const std::array<std::uint8_t, 6> frame =
        move::KeyLockFrame(GetCurrentModule(), m_host.GetPreemptionToken(), lock);
    Call(Binding().Vela_ExCmdSend, frame.data(), static_cast<std::int32_t>(frame.size()));
}

void CSubDlgMove::OnModuleCardIn() {
    const VelaResult r = Call(Binding().Vela_CardIn, GetCurrentModule(), DataOf(m_cardInFrom), 0);
    if (r != 0)
        Warn(ErrorText(QStringLiteral("Error while CardIn..."), static_cast<std::uint32_t>(r)));
}

void CSubDlgMove::OnModuleCardOut() {
    const std::uint8_t current = GetCurrentModule();
    const int direction = DataOf(m_cardOutTo);
    const VelaResult r = Call(Binding().Vela_CardOut, current, direction, 0);
    if (r != 0) {
        Warn(ErrorText(QStringLiteral("Error while CardOut..."), static_cast<std::uint32_t>(r)));
        return;
    }
    MakeCurrent(move::Neighbour(move::Chain(m_modules), current, direction));
}

// ---- Positioning test ----

void CSubDlgMove::OnPositionTest() {
    if (m_posTest.Started()) {
        StopPositionTest();
        SetLastResult(0);
        return;
    }
    bool ok = false;
    const int distance = m_distance->text().trimmed().toInt(&ok);
    if (!ok) {
        SetLastResult(kBadInput);
        Warn(QStringLiteral("Please insert valid distance value..."));
        m_distance->setFocus();
        m_distance->selectAll();
        return;
    }
    const std::uint8_t module = GetCurrentModule();
    if (module == vela::kModuleNone) {
        SetLastResult(kBadInput);
        Warn(QStringLiteral("Please select working module..."));
        m_currentModule->setFocus();
        return;
    }

    // The thread gets its own copy of what it works with, the device handle included: the main
    // window may open a device while a test started without one runs, and a disconnect stops
    // the test before the handle goes. Like a device call, no handle means -1 and no SDK call.
    const CVelaCommBinding* binding = &Binding();
    const VelaHandle handle = binding->m_hDevice;
    auto result = m_posTestResult;
    auto moves = m_posTestMoves;
    moves->store(0);
    m_posTest.Start([binding, handle, module, distance, result, moves](std::stop_token stop) {
        const bool scan = module == kPosTestScanModule;
        const int firstOption = scan ? kPosTestScanOption : 0;
        const int secondOption = scan ? kPosTestScanOption : 3;
        const int secondDistance = scan ? -distance : distance;
        constexpr std::uint8_t kBusyState =
            vela::Bit(vela::state::kActionRunning) | vela::Bit(vela::state::kCommandRunning);
        // A device call as the binding makes it, with the thread's own handle.
        const auto device = [handle](auto slot, auto... args) -> VelaResult {
            return handle == 0 || slot == nullptr ? -1 : slot(handle, args...);
        };
        const auto idle = [&] {
            std::uint8_t state = 0;
            return device(binding->Vela_GetModuleState, module, &state) != 0 ||
                   (state & kBusyState) == 0;
        };
        auto moveOnce = [&](int option, int dist) {
            const VelaResult r =
                device(binding->Vela_CardMoveSensor, module, option, dist, kPosTestSpeed);
            result->store(static_cast<std::uint32_t>(r));
            moves->fetch_add(1);
            if (halvard::WaitService::WaitFor(stop, kPosTestPauseMs))
                WaitUntil(idle, kPosTestPauseMs, kPosTestIdleLimitMs, stop);
        };
        while (!stop.stop_requested()) {
            moveOnce(firstOption, distance);
            if (stop.stop_requested())
                break;
            moveOnce(secondOption, secondDistance);
        }
    });
    halvard::WaitService::Wait(kPosTestStartWaitMs);
    m_posTestButton->setText(QStringLiteral("* STOP pos. move test *"));
    SetLastResult(0);
}

void CSubDlgMove::StopPositionTest() {
    if (!m_posTest.Started())
        return;
    m_posTest.Stop();
    if (m_posTestButton != nullptr)
        m_posTestButton->setText(QStringLiteral("* START pos. move test *"));
}
