#include "CSubDlgMagnetic.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

#include "message_service.h"
#include "sdk_text.h"
#include "vela_modules.h"
#include "wait_service.h"
#include "widget_support.h"

using halvard::BuddyLabel;

namespace mb = halvard::mb;
using magnetic::kTrackCount;

namespace {

constexpr int kCoercivityItem = 0;
constexpr int kLaserReadModeBit = 0x40;
constexpr int kRetryLimitMax = 999;
constexpr int kUserCurrentMax = 9999;

int DataOf(const QComboBox* box) {
    return box->currentIndex() < 0 ? 0 : box->currentData().toInt();
}

// The track mask of a side's checked tracks.
int CheckedMask(const std::array<QCheckBox*, kTrackCount>& side) {
    std::array<bool, kTrackCount> checked{};
    for (size_t i = 0; i < checked.size(); ++i)
        checked[i] = side[i]->isChecked();
    return magnetic::TrackMask(checked);
}

constexpr std::array<const char*, kTrackCount> kTrackKeys = {"1", "2", "3", "Jis"};

}  // namespace

CSubDlgMagnetic::CSubDlgMagnetic(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Magnetic"), host, parent),
      m_random(static_cast<std::mt19937::result_type>(QDateTime::currentMSecsSinceEpoch())) {
    setObjectName(QStringLiteral("pageMagnetic"));
    BuildControls();
    SetCurrentModuleSelector(m_currentModule);
    // No encoder is known before a module chain is.
    EnableEncoderControls(false);
    OnPageShown();
}

void CSubDlgMagnetic::BuildControls() {
    auto combo = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    auto button = [this](const QString& text, const char* name) {
        return halvard::PlainButton(text, name, this);
    };
    auto number = [this](const char* name, const QString& text, int max, bool readOnly) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QLatin1String(name));
        edit->setValidator(new QIntValidator(0, max, edit));
        edit->setReadOnly(readOnly);
        edit->setMaximumWidth(50);
        return edit;
    };

    // Encoder, mode, format and write passes.
    m_currentModule = combo("currentModule");
    m_mode = combo("mode");
    m_mode->addItem(QStringLiteral("Normal"), 0x00);
    m_mode->addItem(QStringLiteral("Bit Mode"), 0x80);
    m_format = combo("format");
    m_format->setAccessibleName(QStringLiteral("Format"));
    m_format->addItem(QStringLiteral("Normal"), 0x00);
    m_format->addItem(QStringLiteral("Ballys"), 0x40);
    m_writeMode = combo("writeMode");
    m_writeMode->addItem(QStringLiteral("All"), 0);
    m_writeMode->addItem(QStringLiteral("Interlace"), 1);
    auto* row0 = new QHBoxLayout;
    row0->addWidget(BuddyLabel(QStringLiteral("Curr. Card Module :"), m_currentModule, this));
    row0->addWidget(m_currentModule);
    row0->addSpacing(8);
    row0->addWidget(BuddyLabel(QStringLiteral("Mode :"), m_mode, this));
    row0->addWidget(m_mode);
    row0->addWidget(m_format);
    row0->addSpacing(8);
    row0->addWidget(BuddyLabel(QStringLiteral("Write :"), m_writeMode, this));
    row0->addWidget(m_writeMode);
    row0->addStretch(1);

    // Coercivity, the encoding position and the retries.
    m_setCoercivity = button(QStringLiteral("Set Coercivity"), "setCoercivity");
    m_coercivity = combo("coercivity");
    m_coercivity->setAccessibleName(QStringLiteral("Coercivity"));
    m_coercivity->addItem(QStringLiteral("Low-Co"), 200);
    m_coercivity->addItem(QStringLiteral("High-Co"), 600);
    m_coercivity->addItem(QStringLiteral("Super-Co"), 800);
    m_coercivity->addItem(QStringLiteral("User"), kUserCoercivityDefault);
    m_userCurrent =
        number("userCurrent", QString::number(kUserCoercivityDefault), kUserCurrentMax, false);
    m_userCurrent->setAccessibleName(QStringLiteral("User current"));
    m_moveToMagPosition = button(QStringLiteral("Move to Mag. Position"), "moveToMagPosition");
    m_currentRetry = number("currentRetry", QStringLiteral("0"), kRetryLimitMax, true);
    m_currentRetry->setAccessibleName(QStringLiteral("Current retry"));
    m_retryLimit = number("retryLimit", QStringLiteral("1"), kRetryLimitMax, false);
    m_retryLimit->setAccessibleName(QStringLiteral("Retry limit"));
    auto* row1 = new QHBoxLayout;
    row1->addWidget(m_setCoercivity);
    row1->addWidget(m_coercivity);
    row1->addWidget(m_userCurrent);
    row1->addSpacing(8);
    row1->addWidget(m_moveToMagPosition);
    row1->addSpacing(8);
    row1->addWidget(BuddyLabel(QStringLiteral("Retry :"), m_retryLimit, this));
    row1->addWidget(m_currentRetry);
    row1->addWidget(m_retryLimit);
    row1->addStretch(1);

    // Encryption.
    m_encrypted = new QCheckBox(QStringLiteral("Encrypted Read/Write"), this);
    m_encrypted->setObjectName(QStringLiteral("encrypted"));
    m_key = new QLineEdit(this);
    m_key->setObjectName(QStringLiteral("key"));
    m_key->setAccessibleName(QStringLiteral("Key"));
    m_key->setMaxLength(magnetic::kKeyLimit);
    m_key->setAttribute(Qt::WA_InputMethodEnabled, false);
    const int digitWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    m_key->setMinimumWidth(digitWidth * 30);
    m_hexKey = new QCheckBox(QStringLiteral("Hex String Key"), this);
    m_hexKey->setObjectName(QStringLiteral("hexKey"));
    m_keyPreview = new QLabel(this);
    m_keyPreview->setObjectName(QStringLiteral("keyPreview"));
    m_keyPreview->setMinimumWidth(digitWidth * 16);
    m_keyPreview->hide();
    auto* row2 = new QHBoxLayout;
    row2->addWidget(m_encrypted);
    row2->addWidget(m_key);
    row2->addWidget(m_hexKey);
    row2->addWidget(m_keyPreview);
    row2->addStretch(1);

    // The two sides: each track's check box, data box and length box, then the side's steps.
    auto side = [&](bool read, std::array<QCheckBox*, kTrackCount>& tracks,
                    std::array<QLineEdit*, kTrackCount>& boxes,
                    std::array<QLineEdit*, kTrackCount>& lengths) {
        const QString prefix = read ? QStringLiteral("read") : QStringLiteral("write");
        const QString sideName = read ? QStringLiteral("Read") : QStringLiteral("Write");
        auto* group = new QGroupBox(sideName, this);
        group->setObjectName(prefix + QStringLiteral("Side"));
        auto* grid = new QGridLayout(group);
        for (int t = 0; t < kTrackCount; ++t) {
            const auto i = static_cast<size_t>(t);
            const QString label = QLatin1String(magnetic::kTrackLabels[i]);
            const QString key = QLatin1String(kTrackKeys[i]);
            tracks[i] = new QCheckBox(label, group);
            tracks[i]->setObjectName(prefix + QStringLiteral("Track") + key);
            tracks[i]->setChecked(t != magnetic::kJisIndex);
            boxes[i] = new QLineEdit(group);
            boxes[i]->setObjectName(prefix + QStringLiteral("Data") + key);
            boxes[i]->setAccessibleName(sideName + u' ' + label + QStringLiteral(" data"));
            boxes[i]->setReadOnly(read);
            // The read side shows what the device gave whole; typing is limited on the write
            // side only.
            if (!read)
                boxes[i]->setMaxLength(magnetic::kTrackCapacity[i]);
            lengths[i] = new QLineEdit(group);
            lengths[i]->setObjectName(prefix + QStringLiteral("Length") + key);
            lengths[i]->setAccessibleName(sideName + u' ' + label + QStringLiteral(" length"));
            lengths[i]->setReadOnly(true);
            lengths[i]->setMaximumWidth(40);
            grid->addWidget(tracks[i], t, 0);
            grid->addWidget(boxes[i], t, 1);
            grid->addWidget(lengths[i], t, 2);
            connect(boxes[i], &QLineEdit::textChanged, lengths[i],
                    [box = lengths[i]](const QString& text) {
                        box->setText(QString::number(text.size()));
                    });
            connect(tracks[i], &QCheckBox::toggled, this,
                    [this, &tracks, t](bool checked) { OnTrackToggled(tracks, t, checked); });
        }
        grid->setColumnStretch(1, 1);
        return std::pair{group, grid};
    };

    // A side's four steps, two by two under its tracks, so that both sides fit the page.
    auto placeSteps = [](QGroupBox* group, QGridLayout* grid,
                         std::initializer_list<QPushButton*> steps) {
        auto* rows = new QGridLayout;
        int i = 0;
        for (QPushButton* b : steps) {
            b->setParent(group);
            rows->addWidget(b, i / 2, i % 2);
            ++i;
        }
        grid->addLayout(rows, kTrackCount, 0, 1, 3);
    };

    auto [readGroup, readGrid] = side(true, m_readTracks, m_readData, m_readLength);
    m_magRead = button(QStringLiteral("Mag. Read"), "magRead");
    m_fetchData = button(QStringLiteral("Fetch Data"), "fetchData");
    m_getData = button(QStringLiteral("Get Data"), "getData");
    m_autoRead = button(QStringLiteral("Auto Read"), "autoRead");
    placeSteps(readGroup, readGrid, {m_magRead, m_fetchData, m_getData, m_autoRead});

    auto [writeGroup, writeGrid] = side(false, m_writeTracks, m_writeData, m_writeLength);
    m_randomFill = button(QStringLiteral("Random Fill"), "randomFill");
    m_setData = button(QStringLiteral("Set Data"), "setData");
    m_magWrite = button(QStringLiteral("Mag. Write"), "magWrite");
    m_autoWrite = button(QStringLiteral("Auto Write"), "autoWrite");
    placeSteps(writeGroup, writeGrid, {m_randomFill, m_setData, m_magWrite, m_autoWrite});

    auto* sides = new QHBoxLayout;
    sides->addWidget(readGroup, 1);
    sides->addWidget(writeGroup, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row0);
    layout->addLayout(row1);
    layout->addLayout(row2);
    layout->addLayout(sides);
    layout->addStretch(1);

    // Tab order follows reading order: the rows, then the read side, then the write side.
    QList<QWidget*> order = {m_currentModule, m_mode,       m_format,      m_writeMode,
                             m_setCoercivity, m_coercivity, m_userCurrent, m_moveToMagPosition,
                             m_currentRetry,  m_retryLimit, m_encrypted,   m_key,
                             m_hexKey};
    for (int t = 0; t < kTrackCount; ++t)
        order << m_readTracks[static_cast<size_t>(t)] << m_readData[static_cast<size_t>(t)]
              << m_readLength[static_cast<size_t>(t)];
    order << m_magRead << m_fetchData << m_getData << m_autoRead;
    for (int t = 0; t < kTrackCount; ++t)
        order << m_writeTracks[static_cast<size_t>(t)] << m_writeData[static_cast<size_t>(t)]
              << m_writeLength[static_cast<size_t>(t)];
    order << m_randomFill << m_setData << m_magWrite << m_autoWrite;
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    m_key->setEnabled(false);
    m_hexKey->setEnabled(false);
    m_userCurrent->installEventFilter(this);
    m_key->installEventFilter(this);

    connect(m_coercivity, &QComboBox::currentIndexChanged, this,
            &CSubDlgMagnetic::OnCoercivityChanged);
    connect(m_encrypted, &QCheckBox::toggled, this, &CSubDlgMagnetic::OnEncryptedToggled);
    connect(m_hexKey, &QCheckBox::toggled, this, &CSubDlgMagnetic::OnHexKeyToggled);
    connect(m_key, &QLineEdit::textChanged, this, &CSubDlgMagnetic::OnKeyEdited);
    connect(m_moveToMagPosition, &QPushButton::clicked, this,
            &CSubDlgMagnetic::OnMoveToMagPosition);
    connect(m_setCoercivity, &QPushButton::clicked, this, &CSubDlgMagnetic::OnSetCoercivity);
    connect(m_magRead, &QPushButton::clicked, this, &CSubDlgMagnetic::OnMagRead);
    connect(m_fetchData, &QPushButton::clicked, this, &CSubDlgMagnetic::OnFetchData);
    connect(m_getData, &QPushButton::clicked, this, &CSubDlgMagnetic::OnGetData);
    connect(m_autoRead, &QPushButton::clicked, this, &CSubDlgMagnetic::OnAutoRead);
    connect(m_randomFill, &QPushButton::clicked, this, &CSubDlgMagnetic::OnRandomFill);
    connect(m_setData, &QPushButton::clicked, this, &CSubDlgMagnetic::OnSetData);
    connect(m_magWrite, &QPushButton::clicked, this, &CSubDlgMagnetic::OnMagWrite);
    connect(m_autoWrite, &QPushButton::clicked, this, &CSubDlgMagnetic::OnAutoWrite);
}

// ---- Frame operations ----

void CSubDlgMagnetic::OnDeviceConnected(const QString&) {}

void CSubDlgMagnetic::OnDeviceDisconnected() {}

void CSubDlgMagnetic::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    const std::vector<magnetic::EncoderEntry> entries =
        magnetic::EncoderEntries(m_modules, [this](std::uint8_t id) {
            std::uint64_t status = 0;
            Binding().Device(Binding().Vela_GetStatus, id, &status);
            return status;
        });
    m_currentModule->clear();
    for (const magnetic::EncoderEntry& entry : entries)
        m_currentModule->addItem(entry.text, entry.id);
    m_currentModule->setCurrentIndex(entries.empty() ? -1 : 0);
    EnableEncoderControls(!entries.empty());
}

void CSubDlgMagnetic::OnPageShown() {
    UpdateUserCurrent();
}

void CSubDlgMagnetic::EnableEncoderControls(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_setCoercivity, m_coercivity, m_magRead, m_fetchData,
                                         m_getData, m_setData, m_magWrite, m_mode, m_format})
        w->setEnabled(enabled);
    for (int t = 0; t < kTrackCount; ++t) {
        const auto i = static_cast<size_t>(t);
        for (QWidget* w :
             std::initializer_list<QWidget*>{m_readTracks[i], m_readData[i], m_readLength[i],
                                             m_writeTracks[i], m_writeData[i], m_writeLength[i]})
            w->setEnabled(enabled);
    }
}

// ---- Small control handlers ----

void CSubDlgMagnetic::UpdateUserCurrent() {
    m_userCurrent->setEnabled(m_coercivity->currentIndex() == m_coercivity->count() - 1);
}

void CSubDlgMagnetic::OnCoercivityChanged() {
    UpdateUserCurrent();
    if (m_userCurrent->isEnabled()) {
        m_userCurrent->setFocus();
        m_userCurrent->selectAll();
    }
}

void CSubDlgMagnetic::OnTrackToggled(std::array<QCheckBox*, kTrackCount>& side, int track,
                                     bool checked) {
    if (!checked)
        return;
    // JIS and the ISO tracks exclude each other on one side.
    if (track == magnetic::kJisIndex) {
        for (int t = 0; t < magnetic::kJisIndex; ++t)
            side[static_cast<size_t>(t)]->setChecked(false);
    } else {
        side[magnetic::kJisIndex]->setChecked(false);
    }
}

void CSubDlgMagnetic::OnEncryptedToggled(bool checked) {
    m_key->setEnabled(checked);
    m_hexKey->setEnabled(checked);
}

void CSubDlgMagnetic::OnHexKeyToggled(bool checked) {
    if (checked) {
        m_keyPreview->setText(m_key->text());
        m_keyPreview->show();
        // The limit is raised first, so that the longer form is not cut.
        m_key->setMaxLength(magnetic::kHexKeyLimit);
        m_key->setText(magnetic::EncodeHex(m_key->text()));
    } else {
        m_keyPreview->hide();
        const QString decoded = magnetic::DecodeHex(m_key->text());
        m_key->setMaxLength(magnetic::kKeyLimit);
        m_key->setText(decoded);
    }
}

void CSubDlgMagnetic::OnKeyEdited(const QString& text) {
    if (m_hexKey->isChecked())
        m_keyPreview->setText(magnetic::DecodeHex(text));
}

bool CSubDlgMagnetic::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_validating) {
        // Leaving for another window (or for the box a check shows) is not leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == m_userCurrent)
                ValidateUserCurrent();
            else if (watched == m_key && m_hexKey->isChecked())
                CanonicaliseKey();
        }
    }
    return CSubDlgBase::eventFilter(watched, event);
}

void CSubDlgMagnetic::ValidateUserCurrent() {
    const int value = m_userCurrent->text().trimmed().toInt();
    if (!magnetic::CoercivityInRange(value)) {
        m_validating = true;
        ReportMessage(kReportAccumulate | mb::kIconWarning,
                      QString::asprintf("User Current is out of range. (%d ~ %d)",
                                        magnetic::kMinCoercivity, magnetic::kMaxCoercivity));
        m_userCurrent->setFocus();
        m_userCurrent->selectAll();
        m_validating = false;
        return;
    }
    m_coercivity->setItemData(m_coercivity->count() - 1, value);
}

void CSubDlgMagnetic::CanonicaliseKey() {
    m_key->setText(magnetic::CanonicalHexKey(m_key->text()));
}

// ---- What the commands share ----

int CSubDlgMagnetic::ReadMask() const {
    return CheckedMask(m_readTracks);
}

int CSubDlgMagnetic::WriteMask() const {
    return CheckedMask(m_writeTracks);
}

int CSubDlgMagnetic::ModeValue() const {
    return DataOf(m_mode);
}

int CSubDlgMagnetic::FormatValue() const {
    return DataOf(m_format);
}

bool CSubDlgMagnetic::Encrypted() const {
    return m_encrypted->isChecked();
}

magnetic::KeyBlock CSubDlgMagnetic::KeyBlock() const {
    return magnetic::BuildKeyBlock(m_key->text(), m_hexKey->isChecked());
}

void CSubDlgMagnetic::ReportFailure(const QString& text, VelaResult result) {
    ReportMessage(kReportAccumulate | mb::kIconWarning,
                  ErrorText(text, static_cast<std::uint32_t>(result), ErrorForm::kDashed));
}

// ---- Commands ----

void CSubDlgMagnetic::OnMoveToMagPosition() {
    const VelaResult r = Call(Binding().Vela_CardMovePosition, GetCurrentModule(), 1);
    if (r != 0)
        ReportFailure(QStringLiteral("Move Position : Failed"), r);
}

void CSubDlgMagnetic::OnSetCoercivity() {
    int value = DataOf(m_coercivity);
    if (Busy()) {
        // A batch run does not stop for a box: the value is brought into range and logged.
        const int clamped = magnetic::ClampCoercivity(value);
        if (clamped != value) {
            m_host.AppendLog(
                "  * user co-er (%d) is out of range. automatically modified (to %d)\r\n", value,
                clamped);
            value = clamped;
        }
    } else if (!magnetic::CoercivityInRange(value)) {
        SetLastResult(kOutOfRange);
        halvard::MessageService::Show(
            this,
            QString::asprintf("Value is out of range (%d ~ %d)", magnetic::kMinCoercivity,
                              magnetic::kMaxCoercivity),
            mb::kIconWarning);
        return;
    }
    const VelaResult r =
        Call(Binding().Vela_SetEncConfig, GetCurrentModule(), kCoercivityItem, value);
    if (r != 0)
        ReportFailure(QStringLiteral("Set Coercivity : Failed"), r);
}

void CSubDlgMagnetic::OnMagRead() {
    const std::uint8_t module = GetCurrentModule();
    int mode = ModeValue();
    VelaResult r = 0;
    if (module == vela::kModuleLaser) {
        r = Call(Binding().Vela_CardMovePosition, module, 6);
        mode |= kLaserReadModeBit;
    }
    if (r == 0)
        r = Call(Binding().Vela_ReadEncoder, module, ReadMask(), mode);
    if (r != 0)
        ReportFailure(QStringLiteral("Mag. Read : Failed"), r);
}

void CSubDlgMagnetic::OnFetchData() {
    const VelaResult r = Call(Binding().Vela_FetchEncoder, GetCurrentModule(), ReadMask());
    if (r != 0)
        ReportFailure(QStringLiteral("Fetch Data : Failed"), r);
}

void CSubDlgMagnetic::TransferTracks(const std::array<QCheckBox*, kTrackCount>& side,
                                     const QString& failure, const TrackTransfer& transfer) {
    const std::uint8_t module = GetCurrentModule();
    const bool encrypted = Encrypted();
    const magnetic::KeyBlock key = encrypted ? KeyBlock() : magnetic::KeyBlock{};
    SetLastResult(0);
    for (size_t i = 0; i < side.size(); ++i) {
        if (!side[i]->isChecked())
            continue;
        if (transfer(module, i, encrypted ? &key : nullptr) != 0) {
            ReportInfo(failure.arg(QLatin1String(magnetic::kTrackNames[i])));
            return;
        }
    }
}

void CSubDlgMagnetic::OnGetData() {
    TransferTracks(
        m_readTracks, QStringLiteral("Get Data : Failed from %1..."),
        [this](std::uint8_t module, size_t i, const magnetic::KeyBlock* key) {
            const int track = magnetic::kTrackBits[i];
            std::vector<halvard::SdkChar> buffer(kGetBufferChars, 0);
            std::int32_t length = kGetBufferChars;
            const VelaResult r = key != nullptr ? Call(Binding().Vela_GetCryptoEncBuffer, module,
                                                       track, &length, buffer.data(), key->data())
                                                : Call(Binding().Vela_GetEncBuffer, module, track,
                                                       &length, buffer.data());
            // Up to the terminator, and never past the buffer when there is none.
            if (r == 0)
                m_readData[i]->setText(halvard::FromSdkText(buffer.data(), kGetBufferChars));
            return r;
        });
}

void CSubDlgMagnetic::OnRandomFill() {
    for (int t = 0; t < kTrackCount; ++t) {
        const auto i = static_cast<size_t>(t);
        if (m_writeTracks[i]->isChecked())
            m_writeData[i]->setText(magnetic::RandomDigits(magnetic::kTrackCapacity[i], m_random));
    }
    SetLastResult(0);
}

void CSubDlgMagnetic::OnSetData() {
    TransferTracks(m_writeTracks, QStringLiteral("Set Data : Failed to %1..."),
                   [this](std::uint8_t module, size_t i, const magnetic::KeyBlock* key) {
                       const int track = magnetic::kTrackBits[i];
                       const std::basic_string<halvard::SdkChar> text =
                           halvard::ToSdkText(m_writeData[i]->text().left(kSetDataMaxChars));
                       const auto length = static_cast<std::int32_t>(text.size());
                       return key != nullptr ? Call(Binding().Vela_SetCryptoEncBuffer, module,
                                                    track, length, text.c_str(), key->data())
                                             : Call(Binding().Vela_SetEncBuffer, module, track,
                                                    length, text.c_str());
                   });
}

void CSubDlgMagnetic::OnMagWrite() {
    const std::uint8_t module = GetCurrentModule();
    const int mode = ModeValue() | FormatValue();
    const magnetic::WritePasses passes =
        magnetic::PlanWritePasses(WriteMask(), DataOf(m_writeMode) == 1);
    SetLastResult(0);
    // The laser unit takes the card to its write position first; a failure there ends the
    // command with its result and no message.
    if (module == vela::kModuleLaser && Call(Binding().Vela_CardMovePosition, module, 1) != 0)
        return;
    if (passes.first != 0) {
        const VelaResult r = Call(Binding().Vela_WriteEncoder, module, passes.first, mode);
        if (r != 0) {
            ReportFailure(
                QStringLiteral("Mag. Write %1 : Failed").arg(magnetic::TrackNames(passes.first)),
                r);
            return;
        }
    }
    if (passes.second != 0) {
        const VelaResult r = Call(Binding().Vela_WriteEncoder, module, passes.second, mode);
        if (r != 0)
            ReportFailure(QStringLiteral("Mag. Write Track 2 : Failed"), r);
    }
}

void CSubDlgMagnetic::OnAutoRead() {
    RunAuto(autoReadRetried, {&CSubDlgMagnetic::OnMagRead, &CSubDlgMagnetic::OnFetchData,
                              &CSubDlgMagnetic::OnGetData});
}

void CSubDlgMagnetic::OnAutoWrite() {
    RunAuto(autoWriteRetried, {&CSubDlgMagnetic::OnRandomFill, &CSubDlgMagnetic::OnSetData,
                               &CSubDlgMagnetic::OnMagWrite});
}

void CSubDlgMagnetic::RunAuto(bool& retried, std::initializer_list<Step> steps) {
    const int limit = m_retryLimit->text().trimmed().toInt();
    int current = m_currentRetry->text().trimmed().toInt();
    CSubDlgBase::ClearMessageBuffer();
    retried = false;
    for (int attempt = 0; attempt <= limit; ++attempt) {
        SetLastResult(0);
        for (Step step : steps) {
            (this->*step)();
            if (CSubDlgBase::LastResult() != 0)
                break;
        }
        if (CSubDlgBase::LastResult() == 0)
            break;
        if (current < limit) {
            retried = true;
            ++current;
            m_currentRetry->setText(QString::number(current));
            repaint();
            halvard::WaitService::Wait(kRetryPauseMs);
        }
    }
    if (const std::uint32_t result = CSubDlgBase::LastResult(); result != 0) {
        const QString collected = CSubDlgBase::MessageBuffer();
        CSubDlgBase::ReportMessage(kReportClearFirst | mb::kIconWarning,
                                   QString::asprintf("[ERROR] 0x%08X\n", result) + collected);
    }
    CSubDlgBase::ClearMessageBuffer();
    m_currentRetry->setText(QStringLiteral("0"));
    repaint();
}

// ---- Driver ----

bool CSubDlgMagnetic::WriteTrackChecked(Track track) const {
    return m_writeTracks[static_cast<size_t>(track)]->isChecked();
}

bool CSubDlgMagnetic::ReadTrackChecked(Track track) const {
    return m_readTracks[static_cast<size_t>(track)]->isChecked();
}

QString CSubDlgMagnetic::WriteTrackData(Track track) const {
    return m_writeData[static_cast<size_t>(track)]->text();
}

QString CSubDlgMagnetic::ReadTrackData(Track track) const {
    return m_readData[static_cast<size_t>(track)]->text();
}
