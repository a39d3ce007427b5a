// The main window's device commands: discovery, connection, status polling, preemption and
// manual mode.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>
#include <vector>

#include "CHalvardTestDlg.h"
#include "CSubDlgBase.h"
#include "message_service.h"
#include "module_chain_view.h"
#include "sdk_lists.h"
#include "sdk_text.h"
#include "status_panel_box.h"

using halvard::MessageService;
namespace mb = halvard::mb;

namespace {
// Shown as the failure code of an open that reported success without giving a handle.
constexpr VelaResult kNoHandle = -1;
}  // namespace

void CHalvardTestDlg::OnRefresh() {
    // The SDK writes the whole record, so the buffer is the whole (zeroed) record.
    auto list = std::make_unique<DeviceList>();
    const VelaResult result =
        m_binding.Vela_GetDeviceList ? m_binding.Vela_GetDeviceList(list.get()) : 0;
    m_deviceSelector->clear();
    // A failed listing offers nothing: what the record holds then is not a list.
    if (result != 0)
        AppendLog("> GET_DEVICE_LIST ... Failed (0x%08X)\r\n", static_cast<unsigned>(result));
    m_deviceSelector->addItems(sdk_lists::PrinterDeviceNames(result, *list));
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
    if (m_binding.VelaDCL_OpenDevice == nullptr)
        return;
    VelaHandle handle = 0;
    const VelaResult opened = m_binding.VelaDCL_OpenDevice(&handle, device.c_str(), 1, 2);
    if (opened != 0 || handle == 0) {
        // No box: the button still reads "Connect"; the log says why.
        AppendLog("> OPEN_DEVICE [%s] ... Failed (0x%08X)\r\n", qUtf8Printable(deviceId),
                  static_cast<unsigned>(opened != 0 ? opened : kNoHandle));
        return;
    }
    m_binding.m_hDevice = handle;
    m_deviceId = deviceId;
    for (CSubDlgBase* page : m_pages)
        page->OnDeviceConnected(deviceId);

    ConnectedModuleList raw{};
    const VelaResult read = m_binding.Device(m_binding.Vela_GetConnectedDevices, &raw);
    if (read != 0) {
        // Every page addresses the modules of the chain: a connection without it could only
        // send commands to no module. It is closed again, so that "Connect" retries.
        AppendLog("> GET_MODULE_LIST ... Failed (0x%08X)\r\n", static_cast<unsigned>(read));
        AppendLogText(QStringLiteral("  Device closed again.\r\n"));
        Disconnect();
        MessageService::Show(this,
                             QString::asprintf("Failed to Get Module List... (error=0x%08X)",
                                               static_cast<unsigned>(read)),
                             mb::kIconWarning);
        return;
    }
    m_modules = sdk_lists::CleanModuleList(raw);
    std::vector<std::uint8_t> shown = sdk_lists::ModuleChain(m_modules);
    if (shown.size() > static_cast<size_t>(kModuleSlotCount))
        shown.resize(static_cast<size_t>(kModuleSlotCount));
    m_moduleView->SetChain(shown);

    m_slots = {};
    for (size_t i = 0; i < shown.size(); ++i)
        m_slots[i].id = shown[i];
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
    // The connection is given up either way; a refused close is said, not hidden.
    const VelaResult closed = m_binding.VelaDCL_CloseDevice(m_binding.m_hDevice);
    if (closed != 0)
        AppendLog("> CLOSE_DEVICE ... Failed (0x%08X)\r\n", static_cast<unsigned>(closed));
    m_binding.m_hDevice = 0;
    m_connect->setText(QStringLiteral("Connect"));
    m_moduleView->SetChain({});
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
