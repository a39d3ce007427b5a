// The printer page's configuration data file and test print.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <array>

#include "CCardPreview.h"
#include "CSubDlgVELA.h"
#include "CVelaCommBinding.h"
#include "ConfigHost.h"
#include "config_file.h"
#include "file_dialog_service.h"
#include "file_platform.h"
#include "message_service.h"
#include "program_support.h"

using halvard::MessageService;
namespace mb = halvard::mb;
namespace cf = halvard::config_file;
using namespace param;

namespace {

const QString kFileFilter = QStringLiteral("Halvard Config Data File (*.hcf)");
const QString kFileSuffix = QStringLiteral("hcf");
const QString kSampleDocumentName = QStringLiteral("KestraSampleDocument.vdn");
constexpr std::int32_t kPrinterModule = 64;
constexpr std::int32_t kRibbonYmcko = 0;
constexpr std::int32_t kRibbonRewritable = 9;

}  // namespace

// ---- Configuration data file -------------------------------------------------------------

void CSubDlgVELA::SaveToFile() {
    m_host.ShowStatusNotice(QString());
    halvard::FileDialogRequest request;
    request.save = true;
    request.caption = QStringLiteral("Save to File");
    request.filter = kFileFilter;
    request.defaultSuffix = kFileSuffix;
    const QString suggested = cf::suggestedFileName(m_serial->text());
    request.startPath = suggested;
    const ToolSettings& settings = m_host.Settings();
    if (settings.autoSave) {
        // A relative folder is never created relative to wherever the tool was started.
        const QString folder = halvard::LocalFolderPath(settings.savePath);
        if (QDir::isAbsolutePath(folder) && halvard::CreateFolderPath(folder) != 0)
            request.startPath = QDir(folder).filePath(suggested);
    }
    const QString path = halvard::FileDialogService::Pick(this, request);
    if (!path.isEmpty())
        WriteFile(path, true);
}

bool CSubDlgVELA::WriteFile(const QString& path, bool prompt) {
    // Whatever already stands at the path is only replaced when the user agrees. Looking never
    // opens it, so a pipe of that name cannot hold the window.
    const QFileInfo existing(path);
    if (prompt && existing.exists() && !existing.isDir() &&
        MessageService::Show(this, QStringLiteral("Same file is already exist.\n\nOverwrite?"),
                             mb::kYesNo | mb::kIconWarning) != mb::kIdYes)
        return false;
    // What the controls show, as it would be sent: the printer-owned bits stay zero.
    std::array<std::int32_t, cf::kWrittenValueCount> values{};
    for (int i = 0; i < cf::kWrittenValueCount; ++i)
        values[i] = m_controls.read(i);
    const cf::Result result = cf::write(
        path, cf::HeaderTexts{m_serial->text(), m_headSerial->text(), m_firmware->text()}, values);
    if (!result.ok()) {
        MessageService::Show(this, result.message());
        return false;
    }
    return true;
}

void CSubDlgVELA::LoadFromFile() {
    m_host.ShowStatusNotice(QString());
    halvard::FileDialogRequest request;
    request.caption = QStringLiteral("Load from File");
    request.filter = kFileFilter;
    request.defaultSuffix = kFileSuffix;
    const QString path = halvard::FileDialogService::Pick(this, request);
    if (path.isEmpty())
        return;
    m_loadedFileName.clear();
    m_loadedFirmware.clear();
    m_loadedNotice.clear();
    // A file of another kind is passed over without a word.
    if (!cf::hasMagic(path))
        return;
    LoadFile(path);
}

bool CSubDlgVELA::LoadFile(const QString& path) {
    // The strip never keeps the notice of an earlier load once this one has begun.
    m_host.ShowStatusNotice(QString());
    cf::LoadSink sink;
    sink.serial = [this](const QString& text) { m_serial->setText(text); };
    sink.headSerial = [this](const QString& text) { m_headSerial->setText(text); };
    sink.apply = [this](int position, std::int32_t value) {
        // Rewrite Card and Certification are never taken from a file.
        if (position != kPosPrinterType)
            m_controls.show(position, value);
    };
    const cf::LoadResult loaded = cf::load(path, sink);
    m_preview->Rescale();
    UpdateControls();
    if (!loaded.result.ok()) {
        MessageService::Show(this, loaded.result.message());
        return false;
    }
    m_loadedFileName = QFileInfo(path).fileName();
    m_loadedFirmware = loaded.firmware;
    while (!m_loadedFirmware.isEmpty() && m_loadedFirmware.back().isSpace())
        m_loadedFirmware.chop(1);
    m_loadedNotice = cf::loadedNotice(path, loaded.firmware);
    m_host.ShowStatusNotice(m_loadedNotice);
    return true;
}

// ---- Test print --------------------------------------------------------------------------

void CSubDlgVELA::PrintTestCard() {
    m_host.ShowStatusNotice(QString());
    // The sample goes into a private folder of the user's, so nobody can pre-place the file;
    // the folder and the file go away on every path.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/halvard-print-XXXXXX"));
    if (!folder.isValid()) {
        MessageService::Show(this,
                             QStringLiteral("File Creation Failed !!!\n\nError No. : %1")
                                 .arg(halvard::platform::LastError()),
                             mb::kIconWarning);
        return;
    }
    const QString path = folder.filePath(kSampleDocumentName);
    CVelaCommBinding& b = m_host.Binding();

    std::int32_t ribbon = -1;
    b.Device(b.Vela_GetRibbonInfo, kPrinterModule, &ribbon, nullptr, nullptr);
    QFile resource(ribbon == kRibbonRewritable ? QStringLiteral(":/sample_rewritable.vdn")
                                               : QStringLiteral(":/sample_ymcko.vdn"));
    QFile document(path);
    if (!resource.open(QIODevice::ReadOnly) || !document.open(QIODevice::WriteOnly) ||
        document.write(resource.readAll()) != resource.size()) {
        MessageService::Show(this,
                             QStringLiteral("File Creation Failed !!!\n\nError No. : %1")
                                 .arg(halvard::platform::LastError()),
                             mb::kIconWarning);
        return;
    }
    document.close();

    if (ribbon != kRibbonYmcko && ribbon != kRibbonRewritable) {
        MessageService::Show(
            this, QStringLiteral("You should install YMCKO or Rewritable ribbon for printing."),
            mb::kIconWarning);
        return;
    }
    const std::u16string native = QDir::toNativeSeparators(path).toStdU16String();
    const VelaString vpath(native.begin(), native.end());
    VelaResult result = b.Device(b.Vela_OpenDocument, vpath.c_str());
    if (result == 0) {
        result = b.Device(b.VelaDCL_Print, 0);
        b.Device(b.Vela_CloseDocument);
    }
    if (result != 0)
        MessageService::Show(
            this, QString::asprintf("Found error : 0x%08X", static_cast<unsigned>(result)),
            mb::kIconWarning);
}
