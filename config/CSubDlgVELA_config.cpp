// The printer page's exchanges with the printer (Get Config, Set Config) and the defaults.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "CAskHeadResisterDlg.h"
#include "CCardPreview.h"
#include "CSpinEdit.h"
#include "CSubDlgVELA.h"
#include "CVelaCommBinding.h"
#include "ConfigHost.h"
#include "head_resistor_memo.h"
#include "message_service.h"
#include "modal_hook.h"
#include "private_profile.h"
#include "sdk_text.h"
#include "wait_service.h"

using halvard::MessageService;
namespace mb = halvard::mb;
using namespace param;

namespace {

// The wait cursor while an operation holds the window.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Runs `fn` when the scope ends, on every path.
template <typename Fn>
class AtExit {
public:
    explicit AtExit(Fn fn) : m_fn(std::move(fn)) {}
    ~AtExit() { m_fn(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

private:
    Fn m_fn;
};

QString ErrorText(const char* format, VelaResult result) {
    return QString::asprintf(format, static_cast<unsigned>(result));
}

constexpr int kRibbonPositionBit = 3;  // of slot 24's default value

}  // namespace

// ---- Get Config --------------------------------------------------------------------------

void CSubDlgVELA::GetConfig() {
    RunGetConfig();
}

void CSubDlgVELA::ForgetFetched() {
    m_fetched = false;
    UpdateControls();
}

bool CSubDlgVELA::RunGetConfig() {
    // Nothing of a printer is held until this reading is complete: a reading that stops part
    // way has cleared fields, so Set Config waits for the next complete one.
    m_fetched = false;
    m_host.ShowStatusNotice(QString());
    m_host.UpdateControls();
    WaitCursor cursor;
    AtExit atEnd([this] { m_host.UpdateControls(); });
    CVelaCommBinding& b = m_host.Binding();
    if (!b.IsConnected()) {
        MessageService::Show(this, QStringLiteral("Failed to connect."));
        return false;
    }

    VelaString text;
    m_firmware->clear();
    if (b.ReadFirmwareVersion(text) != 0) {
        MessageService::Show(this, QStringLiteral("Failed to Fetch Version Info"));
        return false;
    }
    const QString firmware = halvard::FromSdkText(text);
    m_firmware->setText(firmware);

    m_serial->clear();
    text.clear();
    if (b.ReadSerial(text) != 0) {
        MessageService::Show(this, QStringLiteral("Failed to Fetch Serial No. Info"));
        return false;
    }
    const QString serial = halvard::FromSdkText(text);
    m_serial->setText(serial);

    m_headSerial->clear();
    text.clear();
    if (b.ReadHeadSerial(text) != 0) {
        MessageService::Show(this, QStringLiteral("Failed to Fetch Head Serial No. Info"));
        return false;
    }
    const QString headSerial = halvard::FromSdkText(text);
    m_headSerial->setText(headSerial);

    m_userImage->clear();
    m_userCleaning->clear();
    m_userSkipped->clear();
    m_userPanels->clear();
    IssueCountRecord user{};
    std::int32_t bytes = sizeof(user);
    if (b.Device(b.Vela_ExGetUserIssueCount, &user, &bytes) != 0) {
        MessageService::Show(this, QStringLiteral("Failed to Fetch User Issue Count Info"));
        return false;
    }
    m_userImage->setText(plainText(user.values[0]));

    for (QLineEdit* e : {m_totalImage, m_totalPanels, m_totalCleaning, m_totalSkipped})
        e->clear();
    for (CSpinEdit* e : {m_factoryImage, m_factoryPanels, m_factoryCleaning, m_factorySkipped})
        e->clear();
    IssueCountRecord factory{};
    bytes = sizeof(factory);
    if (b.Device(b.Vela_ExGetFactIssueCount, &factory, &bytes) != 0) {
        MessageService::Show(this, QStringLiteral("Failed to Fetch Factory Issue Count Info"));
        return false;
    }
    m_factoryImage->setText(plainText(factory.values[0]));
    m_totalImage->setText(plainText(factory.values[0]));
    m_factoryPanels->setText(plainText(factory.values[6]));
    m_totalPanels->setText(plainText(factory.values[6]));
    m_userPanels->setText(plainText(factory.values[6]));
    m_factoryImage->clearPendingNotice();
    m_factoryPanels->clearPendingNotice();

    param::DeviceParams block{};
    bytes = kParamBlockBytes;
    if (b.Device(b.Vela_ExGetDevParam, block.data(), &bytes) != 0) {
        MessageService::Show(this, QStringLiteral("Failed to Fetch Device Parameters."));
        return false;
    }
    // A count above the buffer never indexes past it: N stays within 0..66.
    m_positionCount = positionCountFromBytes(bytes);
    m_deviceParams = param::DeviceParams{};
    for (int i = 0; i < m_positionCount; ++i) {
        m_deviceParams[i] = block[i];
        m_controls.show(i, block[i]);
        if (i == kPosHeadResistor)
            headResistorMemo = block[i];
    }
    m_preview->Rescale();
    ApplySlotEnabling();

    m_fetched = true;
    SetFirmwareAndHeader(firmware, serial, headSerial);
    return true;
}

void CSubDlgVELA::SetFirmwareAndHeader(const QString& firmware, const QString& serial,
                                       const QString& headSerial) {
    m_firmware->setText(firmware);
    SetSerialText(serial);
    SetHeadSerialText(headSerial);
    if (m_positionCount > kPosHeadResistor)
        SetHeadResisterText(plainText(m_deviceParams[kPosHeadResistor]));
}

// ---- Set Config --------------------------------------------------------------------------

void CSubDlgVELA::SetConfig() {
    m_host.ShowStatusNotice(QString());
    if (!m_fetched) {
        MessageService::Show(this, QStringLiteral("Please, Get First"), mb::kIconWarning);
        return;
    }
    const QString headSerial = m_headSerial->text().trimmed();
    m_headSerial->setText(headSerial);
    if (headSerial.isEmpty() &&
        MessageService::Show(this, QStringLiteral("Header-Serial is Empty.\n\nContinue Anyway ?"),
                             mb::kYesNo | mb::kIconWarning) != mb::kIdYes)
        return;

    WaitCursor cursor;
    AtExit atEnd([this] { m_host.UpdateControls(); });
    CVelaCommBinding& b = m_host.Binding();

    halvard::WaitService::Wait(kDeviceWaitMs);
    const VelaResult serialResult = b.WriteHeadSerial(halvard::ToSdkText(headSerial));
    if (serialResult != 0) {
        MessageService::Show(this,
                             ErrorText("Failed to Write Head Serial (error=0x%08X)", serialResult),
                             mb::kIconWarning);
        return;
    }
    const QString written = headSerial;

    halvard::WaitService::Wait(kDeviceWaitMs);
    const VelaString password = halvard::ToSdkText(m_host.LoginPassword());

    // The two counter records; their results do not stop the operation.
    IssueCountRecord record{};
    record.values[0] = saturate32(parseLeadingInt(m_userImage->text()));
    b.Device(b.Vela_ExSetUserIssueCount, &record, 24, password.c_str());
    halvard::WaitService::Wait(kDeviceWaitMs);
    record.values[0] = saturate32(parseLeadingInt(m_factoryImage->text()));
    record.values[6] = saturate32(parseLeadingInt(m_factoryPanels->text()));
    b.Device(b.Vela_ExSetFactIssueCount, &record, 28, password.c_str());
    halvard::WaitService::Wait(kDeviceWaitMs);

    const WriteArray array = buildWriteArray([this](int i) { return m_controls.read(i); },
                                             m_deviceParams, m_positionCount);
    const VelaResult paramResult =
        b.Device(b.Vela_ExSetDevParam, array.values.data(),
                 static_cast<std::int32_t>(4 * array.values.size()), password.c_str());
    if (paramResult != 0) {
        MessageService::Show(
            this, ErrorText("Failed to Write Parameter to Device (error=0x%08X)", paramResult),
            mb::kIconWarning);
        return;
    }

    halvard::WaitService::Wait(kReadBackWaitMs);
    // A re-read that failed has shown its message; nothing was verified, so say so.
    const bool reread = RunGetConfig();
    const QString rereadSerial = m_headSerial->text();
    if (!reread) {
        MessageService::Show(this, QStringLiteral("Changed settings are not properly applied"),
                             mb::kIconWarning);
        return;
    }
    if (const auto position = firstDifference(array.values, m_deviceParams)) {
        MessageService::Show(this,
                             QString::asprintf("IsSameParameter(%dth - %d != %d)", *position,
                                               m_deviceParams[*position], array.values[*position]));
    } else if (rereadSerial == written) {
        if (array.rebootNeeded)
            MessageService::Show(this,
                                 QStringLiteral("Changes will be applied after Reboot Printer..."));
        else
            m_host.ShowStatusNotice(QStringLiteral("Settings written and verified."));
        return;
    }
    MessageService::Show(this, QStringLiteral("Changed settings are not properly applied"),
                         mb::kIconWarning);
}

// ---- Defaults ----------------------------------------------------------------------------

void CSubDlgVELA::LoadDefault(const QString& section, bool prompt) {
    m_host.ShowStatusNotice(QString());
    if (prompt) {
        CAskHeadResisterDlg dialog(this);
        if (halvard::ModalHook::Run(dialog) != QDialog::Accepted) {
            MessageService::Show(this, QStringLiteral("User Cancel"), mb::kIconInformation);
            return;
        }
    }
    WaitCursor cursor;
    // The settings file is read once for all the slots.
    ApplyDefaults(halvard::PrivateProfile(IniPath()), section, prompt);
}

void CSubDlgVELA::ApplyDefaults(const halvard::PrivateProfile& settings, const QString& section,
                                bool prompted) {
    // The buttons keep the "Use V3 Ribbon Only" selection.
    QComboBox* v3 = m_options[kOptionFlagCount - 1];
    const int v3Index = v3->currentIndex();
    for (int i = 0; i < kParamSlotCount; ++i) {
        if (i == kPosBoardType || i == kPosSecurity)
            continue;
        const int v = (prompted && i == kPosHeadResistor)
                          ? headResistorMemo
                          : settings.Int(section, QString::asprintf("Default-%02d", i + 1), 0);
        if (i == kPosPrinterType) {
            // Its check boxes stay as they are; bit 3 renames "Ribbon Position".
            m_ribbonPositionLabel->setText(((v >> kRibbonPositionBit) & 1)
                                               ? QStringLiteral("Warming Up Temp.")
                                               : QStringLiteral("Ribbon Position"));
            continue;
        }
        m_controls.show(i, v);
    }
    if (prompted)
        v3->setCurrentIndex(v3Index);
    m_preview->Rescale();
    UpdateControls();
}
