// The main window's device commands: discovery, connection, status polling, preemption and
// manual mode.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <memory>

#include "CHalvardTestDlg.h"
#include "CSubDlgBase.h"
#include "message_service.h"
#include "module_chain_view.h"
#include "sdk_text.h"
#include "status_panel_box.h"

using halvard::MessageService;
namespace mb = halvard::mb;

void CHalvardTestDlg::OnRefresh() {
    // The SDK writes the whole record, so the buffer is the whole record.
    auto list = std::make_unique<DeviceList>();
    *list = DeviceList{};
    if (m_binding.Vela_GetDeviceList)
        m_binding.Vela_GetDeviceList(list.get());
    m_deviceSelector->clear();
    const int count = std::clamp(list->count, 0, kMaxDevices);
    for (int i = 0; i < count; ++i) {
        const DeviceListEntry& entry = list->entries[i];
        if ((entry.type & kDeviceTypeMask) == kDeviceTypeFamily)
            m_deviceSelector->addItem(halvard::FromSdkText(entry.name, 256));
    }
    if (m_deviceSelector->count() > 0)
        m_deviceSelector->setCurrentIndex(0);
}

void CHalvardTestDlg::OnConnect() {
    if (!m_binding.IsLoaded())
        return;
    if (m_binding.m_hDevice != 0)
        Disconnect();
    else
        Connect();
    UpdateBatchControls();
}

void CHalvardTestDlg::Connect() {
    const QString deviceId = m_deviceSelector->currentText();
    const VelaString device = halvard::ToSdkText(deviceId);
    VelaHandle handle = 0;
    if (m_binding.VelaDCL_OpenDevice == nullptr ||
        m_binding.VelaDCL_OpenDevice(&handle, device.c_str(), 1, 2) != 0 || handle == 0)
        return;
    m_binding.m_hDevice = handle;
    m_deviceId = deviceId;
    for (CSubDlgBase* page : m_pages)
        page->OnDeviceConnected(deviceId);

    m_modules = ConnectedModuleList{};
    if (m_binding.Device(m_binding.Vela_GetConnectedDevices, &m_modules) != 0)
        m_modules = ConnectedModuleList{};
    // The count comes from the SDK: never trust it beyond the record's room.
    m_modules.count = std::clamp(m_modules.count, 0, kMaxModules);
    const int shown = std::min(m_modules.count, kModuleSlotCount);

    QList<QImage> pictures;
    for (int i = 0; i < shown; ++i)
        pictures.append(m_typePictures[vela::TypeOf(m_modules.entries[i].id)]);
    m_moduleView->SetPictures(pictures);

    m_slots = {};
    for (int i = 0; i < shown; ++i)
        m_slots[i].id = m_modules.entries[i].id;
    for (CSubDlgBase* page : m_pages)
        page->OnModulesChanged(m_modules);

    m_poller.Stop();
    m_poller.Start(m_slots, m_statusBox->size());
    m_connect->setText(QStringLiteral("Disconnect"));
}

void CHalvardTestDlg::Disconnect() {
    // A batch run and the poll thread go before anything they use changes.
    StopBatch(true);
    m_poller.Stop();
    for (CSubDlgBase* page : m_pages)
        page->OnDeviceDisconnected();
    // A token belongs to the connection: give it back before closing.
    OnReleasePreemption();
    m_binding.VelaDCL_CloseDevice(m_binding.m_hDevice);
    m_binding.m_hDevice = 0;
    m_connect->setText(QStringLiteral("Connect"));
    m_moduleView->SetPictures({});
    m_slots = {};
    m_deviceId.clear();
    m_modules = ConnectedModuleList{};
    m_statusBox->ClearImage();
}

void CHalvardTestDlg::OnStatusPolled(const QImage& image, const ModuleSlots& moduleSlots) {
    m_slots = moduleSlots;
    m_statusBox->SetImage(image);
    ++m_statusImagesShown;
}

// ---- Preemption ----

std::uint16_t CHalvardTestDlg::GetPreemptionToken() const {
    const QString text = m_token->text().left(8).trimmed();
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok)
        return kNoToken;
    return static_cast<std::uint16_t>(value);
}

void CHalvardTestDlg::OnRequestPreemption() {
    if (GetPreemptionToken() != kNoToken) {
        MessageService::Show(this, QStringLiteral("Already Preempted !!!"), mb::kIconInformation);
        return;
    }
    std::uint16_t token = kNoToken;
    m_binding.Device(m_binding.Vela_RequestPreemption, &token);
    m_token->setText(QString::asprintf("%04X", token));
    if (token == kNoToken)
        MessageService::Show(this, QStringLiteral("Failed to Get Preemption !!!"),
                             mb::kIconWarning);
}

void CHalvardTestDlg::OnReleasePreemption() {
    const std::uint16_t token = GetPreemptionToken();
    if (token == kNoToken)
        return;
    m_binding.Device(m_binding.Vela_ReleasePreemption, token);
    m_token->setText(QStringLiteral("FFFF"));
}

// ---- Manual mode ----

void CHalvardTestDlg::OnCheckManualMode() {
    std::uint64_t status = 0;
    const VelaResult result =
        m_binding.Device(m_binding.Vela_GetStatus, vela::kModulePrinter, &status);
    if (result != 0) {
        MessageService::Show(this,
                             QString::asprintf("Error while GetStatus... (error=0x%08X)",
                                               static_cast<unsigned>(result)),
                             mb::kIconWarning);
        return;
    }
    m_mode->setText((status & vela::Bit(vela::printer::kManualMode))
                        ? QStringLiteral("MANUAL Mode")
                        : QStringLiteral("Normal Mode"));
}

void CHalvardTestDlg::OnToggleManualMode() {
    const VelaResult result = m_binding.Device(m_binding.Vela_ToggleManualMode);
    if (result != 0) {
        MessageService::Show(this,
                             QString::asprintf("Error while ToggleManualMode... (error=0x%08X)",
                                               static_cast<unsigned>(result)),
                             mb::kIconWarning);
        return;
    }
    OnCheckManualMode();
}
