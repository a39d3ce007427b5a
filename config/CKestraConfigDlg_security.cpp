// The security and identity commands of the main window.
//
// The two password changes report success when the SDK returns non-zero: those two exports
// answer 1 for a changed password and 0 for a refused one. Every other command here judges its
// result against 0 as usual.

#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstring>

#include "CChangePrinterIDDlg.h"
#include "CChangeSerialDlg.h"
#include "CKestraConfigDlg.h"
#include "CMagAuthKeyDlg.h"
#include "CPWDlg.h"
#include "CSubDlgVELA.h"
#include "CUserPWDlg.h"
#include "message_service.h"
#include "modal_hook.h"
#include "sdk_text.h"

using halvard::MessageService;
namespace mb = halvard::mb;

namespace {

constexpr int kPrinterIdChars = 64;  // DeviceInfo's printer ID field
constexpr int kMagKeyBlock = 16;

void ShowRebootNotice(QWidget* parent) {
    MessageService::Show(parent, QStringLiteral("Changes will be applied after Reboot Printer..."));
}

// The printer-ID, PC and key commands: a refused change is said so, with the SDK's code.
void ShowResult(QWidget* parent, VelaResult result, const char* failure) {
    if (result == 0) {
        ShowRebootNotice(parent);
        return;
    }
    MessageService::Show(
        parent, QString::asprintf("%s (error=0x%08X)", failure, static_cast<unsigned>(result)),
        mb::kIconWarning);
}

}  // namespace

void CKestraConfigDlg::OnChangeRootPW() {
    CPWDlg dialog(CPWDlg::ChangeMode, LoginPassword(), this);
    if (halvard::ModalHook::Run(dialog) != QDialog::Accepted)
        return;
    const VelaString current = halvard::ToSdkText(dialog.CurrentPassword());
    const VelaString next = halvard::ToSdkText(dialog.NewPassword());
    const VelaResult result =
        m_binding.Device(m_binding.Vela_ExSetPassword, current.c_str(), next.c_str());
    // Without a connection the binding's -1 is no success.
    if (m_binding.IsConnected() && result != 0)
        ShowRebootNotice(this);
    else
        MessageService::Show(this, QStringLiteral("Failed to Change Password"));
}

void CKestraConfigDlg::OnChangeUserPW() {
    CUserPWDlg dialog(this);
    if (halvard::ModalHook::Run(dialog) != QDialog::Accepted)
        return;
    const VelaString password = halvard::ToSdkText(dialog.Password());
    const VelaString next = halvard::ToSdkText(dialog.NewUserPassword());
    const VelaResult result =
        m_binding.Device(m_binding.Vela_ExSetUserPassword, password.c_str(), next.c_str());
    if (m_binding.IsConnected() && result != 0)
        ShowRebootNotice(this);
    else
        MessageService::Show(this, QStringLiteral("Failed to Change User Password"));
}

void CKestraConfigDlg::OnChangePrinterID() {
    CChangePrinterIDDlg dialog(halvard::FromSdkText(m_deviceInfo.printerId, kPrinterIdChars), this);
    if (halvard::ModalHook::Run(dialog) != QDialog::Accepted)
        return;
    const VelaString id = halvard::ToSdkText(dialog.NewId());
    const VelaString empty;
    ShowResult(this, m_binding.Device(m_binding.Vela_ExSetDeviceID, id.c_str(), empty.c_str()),
               "Failed to Change Printer ID");
}

void CKestraConfigDlg::OnSetPCSerial() {
    // Binding the printer to a made-up identity would tie it to no PC at all: without a real
    // adapter address nothing is sent.
    const std::optional<QByteArray> address =
        m_adapterAddress ? m_adapterAddress() : std::optional<QByteArray>();
    if (!address || address->size() < 6) {
        MessageService::Show(this,
                             QStringLiteral("No network adapter with a hardware address was "
                                            "found. The PC Serial was not sent to the printer."),
                             mb::kIconWarning);
        return;
    }
    const QByteArray block = PcIdentityBlock(*address);
    const VelaString password = halvard::ToSdkText(LoginPassword());
    ShowResult(this,
               m_binding.Device(m_binding.Vela_ExSetPCName, password.c_str(),
                                reinterpret_cast<const std::uint8_t*>(block.constData()),
                                static_cast<std::int32_t>(block.size())),
               "Failed to Set PC Serial");
}

void CKestraConfigDlg::OnSetMagEncryptKey() {
    CMagAuthKeyDlg dialog(this);
    if (halvard::ModalHook::Run(dialog) != QDialog::Accepted)
        return;
    const QString key = dialog.Key().left(kMagKeyBlock);
    // The key travels as bytes of the system code page in a zeroed 16-byte block.
    QStringEncoder encoder(QStringConverter::System);
    const QByteArray bytes = encoder.encode(key);
    std::array<std::uint8_t, kMagKeyBlock> block{};
    std::memcpy(block.data(), bytes.constData(),
                static_cast<size_t>(std::min<qsizetype>(bytes.size(), kMagKeyBlock)));
    const VelaString password = halvard::ToSdkText(LoginPassword());
    ShowResult(this,
               m_binding.Device(m_binding.Vela_ExSetMagCryptKey, password.c_str(), block.data(),
                                static_cast<std::int32_t>(key.size())),
               "Failed to Set Mag. Encrypt Key");
}

void CKestraConfigDlg::OnChangeHead() {
    if (m_page == nullptr)
        return;
    HeadChange preset;
    preset.serial = m_page->SerialText();
    preset.headSerial = m_page->HeadSerialText();
    preset.headResister = m_page->HeadResisterText();
    CChangeSerialDlg dialog(preset, m_accessLevel == 0, this);
    if (halvard::ModalHook::Run(dialog) != QDialog::Accepted)
        return;
    // Nothing goes to the printer yet: the page writes these with its next "Set Config.".
    ApplyHeadChange(dialog.Values(), *m_page);
}
