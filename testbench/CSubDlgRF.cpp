#include "CSubDlgRF.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "message_service.h"
#include "module_labels.h"
#include "sdk_lists.h"
#include "sdk_text.h"
#include "widget_support.h"

using halvard::BuddyLabel;

namespace {

constexpr int kMaxBlock = 255;  // the frames carry the block number in one byte
const QString kDefaultKey = QStringLiteral("5A 3C 96 E1 0F 7B");

// The failure text of the position and field commands: "Failed - error : 0x80000302".
QString FailedText(VelaResult r) {
    return CSubDlgBase::ErrorText(QStringLiteral("Failed"), static_cast<std::uint32_t>(r),
                                  CSubDlgBase::ErrorForm::kDashed);
}

}  // namespace

CSubDlgRF::CSubDlgRF(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("RF"), host, parent) {
    setObjectName(QStringLiteral("pageRF"));
    BuildControls();
    SetCurrentModuleSelector(m_currentModule);
    OnModulesChanged(ConnectedModuleList{});
}

void CSubDlgRF::BuildControls() {
    using halvard::PlainButton;
    auto edit = [this](const char* name, QWidget* parent = nullptr) {
        auto* e = new QLineEdit(parent ? parent : this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    auto combo = [this](const char* name, QWidget* parent = nullptr) {
        auto* box = new QComboBox(parent ? parent : this);
        box->setObjectName(QLatin1String(name));
        return box;
    };

    m_currentModule = combo("currentModule");
    m_reader = combo("reader");
    m_moveRfPosition = PlainButton(QStringLiteral("Move to RF Position"), "moveRfPosition", this);
    m_restorePosition = PlainButton(QStringLiteral("Restore Position"), "restorePosition", this);
    m_powerOn = PlainButton(QStringLiteral("Power ON"), "powerOn", this);
    m_powerOff = PlainButton(QStringLiteral("Power OFF"), "powerOff", this);
    m_atr = edit("atr");
    m_atr->setReadOnly(true);
    m_getUid = PlainButton(QStringLiteral("Get UID"), "getUid", this);
    m_uid = edit("uid");
    m_uid->setReadOnly(true);

    auto* mifare = new QGroupBox(QStringLiteral("Mifare"), this);
    mifare->setObjectName(QStringLiteral("mifare"));
    m_auth = PlainButton(QStringLiteral("Auth."), "auth", mifare);
    m_key = edit("key", mifare);
    m_key->setText(kDefaultKey);
    m_side = combo("side", mifare);
    m_side->addItem(QStringLiteral("A Side"), rf::kSideA);
    m_side->addItem(QStringLiteral("B Side"), rf::kSideB);
    m_side->setCurrentIndex(0);
    m_block = edit("block", mifare);
    m_block->setValidator(new QIntValidator(0, kMaxBlock, m_block));
    m_block->setText(QStringLiteral("4"));
    m_block->setMaximumWidth(60);
    m_writeBlock = PlainButton(QStringLiteral("Write Block"), "writeBlock", mifare);
    m_writeData = edit("writeData", mifare);
    m_writeData->setMaxLength(rf::kBlockSize);
    m_writeData->setAccessibleName(QStringLiteral("Write Block Data"));
    m_readBlock = PlainButton(QStringLiteral("Read Block"), "readBlock", mifare);
    m_readData = edit("readData", mifare);
    m_readData->setMaxLength(rf::kBlockSize);
    m_readData->setAccessibleName(QStringLiteral("Read Block Data"));

    auto* group = new QGridLayout(mifare);
    group->addWidget(m_auth, 0, 0);
    group->addWidget(BuddyLabel(QStringLiteral("Key :"), m_key, mifare), 0, 1);
    group->addWidget(m_key, 0, 2);
    group->addWidget(BuddyLabel(QStringLiteral("Side :"), m_side, mifare), 0, 3);
    group->addWidget(m_side, 0, 4);
    group->addWidget(BuddyLabel(QStringLiteral("Block :"), m_block, mifare), 0, 5);
    group->addWidget(m_block, 0, 6);
    group->addWidget(m_writeBlock, 1, 0);
    group->addWidget(BuddyLabel(QStringLiteral("Data :"), m_writeData, mifare), 1, 1);
    group->addWidget(m_writeData, 1, 2, 1, 5);
    group->addWidget(m_readBlock, 2, 0);
    group->addWidget(BuddyLabel(QStringLiteral("Data :"), m_readData, mifare), 2, 1);
    group->addWidget(m_readData, 2, 2, 1, 5);
    group->setColumnStretch(7, 1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(BuddyLabel(QStringLiteral("Curr. Card Module :"), m_currentModule, this), 0, 0);
    grid->addWidget(m_currentModule, 0, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("Reader :"), m_reader, this), 0, 2);
    grid->addWidget(m_reader, 0, 3);
    grid->addWidget(m_moveRfPosition, 1, 0);
    grid->addWidget(m_restorePosition, 1, 1);
    grid->addWidget(m_powerOn, 2, 0);
    grid->addWidget(m_powerOff, 2, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("ATR :"), m_atr, this), 2, 2);
    grid->addWidget(m_atr, 2, 3, 1, 2);
    grid->addWidget(m_getUid, 3, 0);
    grid->addWidget(BuddyLabel(QStringLiteral("UID :"), m_uid, this), 3, 2);
    grid->addWidget(m_uid, 3, 3, 1, 2);
    grid->addWidget(mifare, 4, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(5, 1);

    QWidget* order[] = {m_currentModule,
                        m_reader,
                        m_moveRfPosition,
                        m_restorePosition,
                        m_powerOn,
                        m_powerOff,
                        m_atr,
                        m_getUid,
                        m_uid,
                        m_auth,
                        m_key,
                        m_side,
                        m_block,
                        m_writeBlock,
                        m_writeData,
                        m_readBlock,
                        m_readData};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_currentModule, &QComboBox::currentIndexChanged, this, &CSubDlgRF::OnModuleChosen);
    connect(m_reader, &QComboBox::currentIndexChanged, this, &CSubDlgRF::OnReaderChosen);
    connect(m_moveRfPosition, &QPushButton::clicked, this, &CSubDlgRF::OnMoveRfPosition);
    connect(m_restorePosition, &QPushButton::clicked, this, &CSubDlgRF::OnRestorePosition);
    connect(m_powerOn, &QPushButton::clicked, this, &CSubDlgRF::OnPowerOn);
    connect(m_powerOff, &QPushButton::clicked, this, &CSubDlgRF::OnPowerOff);
    connect(m_getUid, &QPushButton::clicked, this, &CSubDlgRF::OnGetUid);
    connect(m_auth, &QPushButton::clicked, this, &CSubDlgRF::OnAuth);
    connect(m_writeBlock, &QPushButton::clicked, this, &CSubDlgRF::OnWriteBlock);
    connect(m_readBlock, &QPushButton::clicked, this, &CSubDlgRF::OnReadBlock);
}

// ---- Frame operations ----

void CSubDlgRF::OnDeviceConnected(const QString& deviceId) {
    FillReaderList(m_reader, rf::ContactlessReaderNames(ReadDeviceInfo(deviceId)));
}

void CSubDlgRF::OnDeviceDisconnected() {
    m_reader->clear();
}

void CSubDlgRF::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    m_currentModule->clear();
    for (std::uint8_t id : sdk_lists::ModuleChain(m_modules))
        if (vela::IsType(id, vela::kTypePrinter) || vela::IsType(id, vela::kTypeFlipper))
            m_currentModule->addItem(labels::Station(id), id);
    const bool any = m_currentModule->count() > 0;
    if (any)
        m_currentModule->setCurrentIndex(0);
    for (QWidget* w : {static_cast<QWidget*>(m_powerOn), static_cast<QWidget*>(m_powerOff),
                       static_cast<QWidget*>(m_atr)})
        w->setEnabled(any);
}

void CSubDlgRF::OnPageShown() {}

// ---- Selector coupling: the printer's reader is value 1, the flipper's value 2 ----

void CSubDlgRF::OnModuleChosen() {
    if (m_coupling)
        return;
    const std::uint8_t module = GetCurrentModule();
    int reader = 0;
    if (vela::IsType(module, vela::kTypePrinter))
        reader = kPrinterReader;
    else if (vela::IsType(module, vela::kTypeFlipper))
        reader = kFlipperReader;
    if (reader == 0)
        return;
    m_coupling = true;
    SelectByValue(m_reader, reader);
    m_coupling = false;
}

void CSubDlgRF::OnReaderChosen() {
    if (m_coupling || m_reader->currentIndex() < 0)
        return;
    const int reader = m_reader->currentData().toInt();
    vela::ModuleType type = vela::kTypeNone;
    if (reader == kPrinterReader)
        type = vela::kTypePrinter;
    else if (reader == kFlipperReader)
        type = vela::kTypeFlipper;
    else
        return;
    for (int i = 0; i < m_currentModule->count(); ++i) {
        if (vela::IsType(static_cast<std::uint8_t>(m_currentModule->itemData(i).toInt()), type)) {
            m_coupling = true;
            m_currentModule->setCurrentIndex(i);
            m_coupling = false;
            return;
        }
    }
}

// ---- Helpers ----

int CSubDlgRF::Side() const {
    bool ok = false;
    const int side = m_side->currentData().toInt(&ok);
    return ok ? side : rf::kSideA;
}

bool CSubDlgRF::BlockAddress(std::uint8_t& block) {
    bool ok = false;
    const int value = m_block->text().trimmed().toInt(&ok);
    // A number the frame's one byte cannot carry would address another block: refused too.
    if (!ok || value < 0 || value > kMaxBlock) {
        SetLastResult(kFailed);
        halvard::MessageService::Show(this, QStringLiteral("Please, input 'Block' address."));
        return false;
    }
    block = static_cast<std::uint8_t>(value);
    return true;
}

VelaResult CSubDlgRF::Transmit(std::span<const std::uint8_t> frame, rf::Bytes& response) {
    std::array<std::uint8_t, rf::kResponseBufferSize> buffer{};
    std::int32_t length = rf::kResponseBufferSize;
    const VelaResult r =
        Call(Binding().Vela_RFTransmit2, GetCurrentModule(),
             static_cast<std::int32_t>(frame.size()), frame.data(), &length, buffer.data());
    // The reported length is the SDK's: never beyond the buffer.
    const auto returned = rf::Returned(buffer, length);
    response.assign(returned.begin(), returned.end());
    return r;
}

void CSubDlgRF::LogResponse(const rf::Bytes& response) {
    m_host.AppendLogText(QStringLiteral("      <<< [ ") + HexBytes(response) +
                         QStringLiteral(" ]\n"));
}

// ---- Commands ----

void CSubDlgRF::OnMoveRfPosition() {
    const std::uint8_t module = GetCurrentModule();
    VelaResult r = 0;
    if (vela::IsType(module, vela::kTypePrinter)) {
        r = Call(Binding().Vela_CardMoveSensor, module, kPrinterRfSensor, 0, 0);
    } else if (vela::IsType(module, vela::kTypeFlipper)) {
        if (!HavePreemption(PreemptionNotice::kFirst))
            return;
        r = Call(Binding().Vela_CardMovePosition, module, kRfPosition);
    } else {
        return;
    }
    if (r != 0)
        ReportMessage(halvard::mb::kIconWarning, FailedText(r));
}

void CSubDlgRF::OnRestorePosition() {
    if (!HavePreemption(PreemptionNotice::kFirst))
        return;
    const VelaResult r =
        Call(Binding().Vela_CardMovePosition, GetCurrentModule(), kRestorePosition);
    if (r != 0)
        ReportMessage(halvard::mb::kIconWarning, FailedText(r));
}

void CSubDlgRF::OnPowerOn() {
    const std::uint8_t module = GetCurrentModule();
    std::int32_t length = rf::kAtrBufferSize;
    std::array<std::uint8_t, rf::kAtrBufferSize> atr{};
    m_atr->clear();
    repaint();
    LogCommand(QStringLiteral("RF_POWER_ON"), module);
    const VelaResult r = Call(Binding().Vela_RFPowerOn2, module, &length, atr.data());
    if (!LogResult(r)) {
        Warn(FailedText(r));
        return;
    }
    const QString text = HexBytes(rf::Returned(atr, length));
    m_atr->setText(text);
    m_host.AppendLogText(QStringLiteral("      ATR : [ ") + text + QStringLiteral(" ]\n"));
}

void CSubDlgRF::OnPowerOff() {
    LogCommand(QStringLiteral("RF_POWER_OFF"), GetCurrentModule());
    const VelaResult r = Call(Binding().Vela_RFPowerOff2, GetCurrentModule());
    if (!LogResult(r))
        Warn(FailedText(r));
}

void CSubDlgRF::OnGetUid() {
    LogCommand(QStringLiteral("RF_GET_UID"));
    m_uid->clear();
    rf::Bytes response;
    if (!LogResult(Transmit(rf::GetUidFrame(), response)))
        return;
    const QString uid = HexBytes(rf::DecodeUid(response));
    m_uid->setText(uid);
    m_host.AppendLogText(QStringLiteral("      UID : [ ") + uid + QStringLiteral(" ]\n"));
}

void CSubDlgRF::OnAuth() {
    const rf::Key key = rf::ParseKey(m_key->text());
    LogCommand(QStringLiteral("RF_AUTH"));
    rf::Bytes response;
    if (LogResult(Transmit(rf::AuthFrame(key), response)))
        LogResponse(response);
}

void CSubDlgRF::OnWriteBlock() {
    const int side = Side();
    std::uint8_t block = 0;
    if (!BlockAddress(block))
        return;
    const rf::Block written = rf::EncodeBlockText(m_writeData->text());
    m_host.AppendLog("> RF_WRITE_BLOCK block=%d side=%d ... ", block, side);
    rf::Bytes response;
    const VelaResult r = Transmit(rf::WriteBlockFrame(block, side, written), response);
    if (!LogResult(r)) {
        Warn(QString::asprintf("Failed... code=%08X", static_cast<unsigned>(r)));
        return;
    }
    LogResponse(response);
}

void CSubDlgRF::OnReadBlock() {
    const int side = Side();
    std::uint8_t block = 0;
    if (!BlockAddress(block))
        return;
    m_host.AppendLog("> RF_READ_BLOCK block=%d side=%d ... ", block, side);
    rf::Bytes response;
    const VelaResult r = Transmit(rf::ReadBlockFrame(block, side), response);
    if (!LogResult(r)) {
        Warn(QString::asprintf("Failed... code=%08X", static_cast<unsigned>(r)));
        return;
    }
    LogResponse(response);
    rf::Bytes read;
    if (rf::DecodeReadBlock(response, read))
        m_readData->setText(rf::DecodeBlockText(read));
}
