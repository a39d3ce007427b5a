#include "CSubDlgPrint.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "file_dialog_service.h"
#include "module_labels.h"
#include "preview_frame.h"
#include "program_support.h"
#include "sdk_lists.h"
#include "sdk_text.h"
#include "wait_service.h"
#include "widget_support.h"

using halvard::BuddyLabel;

namespace {

using vela::IsType;

constexpr const char* kPageNames[print::kPageCount] = {"P1 Front", "P1 Back", "P2 Front",
                                                       "P2 Back"};
constexpr const char* kPageObjects[print::kPageCount] = {"pageP1Front", "pageP1Back", "pageP2Front",
                                                         "pageP2Back"};

}  // namespace

CSubDlgPrint::CSubDlgPrint(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Print"), host, parent) {
    setObjectName(QStringLiteral("pagePrint"));
    BuildControls();
    SetCurrentModuleSelector(m_module);
    OnModuleSelected();
}

void CSubDlgPrint::BuildControls() {
    auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    auto idBox = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setReadOnly(true);
        edit->setMaximumWidth(80);
        return edit;
    };
    auto choice = [this](const char* name, const QString& first, const QString& second) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->addItem(first, 0);
        box->addItem(second, 1);
        return box;
    };

    auto* top = new QVBoxLayout(this);

    // The module the commands address, and its ribbon.
    m_module = new QComboBox(this);
    m_module->setObjectName(QStringLiteral("currentModule"));
    m_module->setMinimumContentsLength(8);
    m_ribbon = new QLabel(this);
    m_ribbon->setObjectName(QStringLiteral("ribbon"));
    auto* moduleRow = new QHBoxLayout;
    moduleRow->addWidget(BuddyLabel(QStringLiteral("Curr. Card Module :"), m_module, this));
    moduleRow->addWidget(m_module);
    moduleRow->addSpacing(24);
    moduleRow->addWidget(m_ribbon);
    moduleRow->addStretch();
    top->addLayout(moduleRow);

    // The design document.
    m_openVdn = button(QStringLiteral("Open VDN"), "openVdn");
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("vdnPath"));
    m_path->setAccessibleName(QStringLiteral("VDN path"));
    m_browse = button(QStringLiteral("Browse"), "browse");
    auto* documentRow = new QHBoxLayout;
    documentRow->addWidget(m_openVdn);
    documentRow->addWidget(m_path, 1);
    documentRow->addWidget(m_browse);
    top->addLayout(documentRow);

    // Left: the preview; right: the pages, then the print data and job commands.
    m_frame = new PreviewFrame(this);
    m_previewStatus = new QLabel(this);
    m_previewStatus->setObjectName(QStringLiteral("previewStatus"));
    m_previewStatus->setWordWrap(true);
    auto* left = new QVBoxLayout;
    left->addWidget(m_frame, 1);
    left->addWidget(m_previewStatus);

    auto* pagesBox = new QGroupBox(QStringLiteral("Page"), this);
    pagesBox->setObjectName(QStringLiteral("pageBox"));
    auto* pagesRow = new QHBoxLayout(pagesBox);
    m_pageGroup = new QButtonGroup(this);
    for (int i = 0; i < print::kPageCount; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kPageNames[i]), pagesBox);
        radio->setObjectName(QLatin1String(kPageObjects[i]));
        m_pages[static_cast<size_t>(i)] = radio;
        m_pageGroup->addButton(radio, i);
        pagesRow->addWidget(radio);
    }

    m_makePrintData = button(QStringLiteral("Make Print Data"), "makePrintData");
    m_prnId = idBox("prnId");
    m_prnId->setAccessibleDescription(QStringLiteral("The id of the print data made"));
    m_deletePrintData = button(QStringLiteral("Delete Print Data"), "deletePrintData");
    m_transferPrintData = button(QStringLiteral("Transfer Print Data"), "transferPrintData");
    m_getPrintDataId = button(QStringLiteral("Get Print Data id"), "getPrintDataId");
    m_jobId = idBox("jobId");
    m_jobId->setAccessibleDescription(QStringLiteral("The id of the printer's current job"));
    m_startPrint = button(QStringLiteral("Start Print/Laminate"), "startPrint");
    m_cardIn = choice("cardIn", QStringLiteral("No"), QStringLiteral("Yes"));
    m_side = choice("side", QStringLiteral("Top"), QStringLiteral("Bottom"));
    m_clearDocument = button(QStringLiteral("Clear Document"), "clearDocument");
    auto* commands = new QGridLayout;
    int row = 0;
    commands->addWidget(m_makePrintData, row, 0);
    commands->addWidget(BuddyLabel(QStringLiteral("PRN id"), m_prnId, this), row, 1);
    commands->addWidget(m_prnId, row, 2);
    ++row;
    commands->addWidget(m_deletePrintData, row, 0);
    commands->addWidget(m_transferPrintData, row, 1, 1, 2);
    ++row;
    commands->addWidget(m_getPrintDataId, row, 0);
    commands->addWidget(BuddyLabel(QStringLiteral("PRN id"), m_jobId, this), row, 1);
    commands->addWidget(m_jobId, row, 2);
    ++row;
    commands->addWidget(m_startPrint, row, 0);
    commands->addWidget(BuddyLabel(QStringLiteral("+ Card-In"), m_cardIn, this), row, 1);
    commands->addWidget(m_cardIn, row, 2);
    ++row;
    commands->addWidget(BuddyLabel(QStringLiteral("Side"), m_side, this), row, 1);
    commands->addWidget(m_side, row, 2);
    ++row;
    commands->addWidget(m_clearDocument, row, 0);
    ++row;
    commands->setRowStretch(row, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(pagesBox);
    right->addLayout(commands);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addSpacing(12);
    body->addLayout(right);
    top->addLayout(body, 1);

    // Reading order.
    const QList<QWidget*> order = {m_module,
                                   m_openVdn,
                                   m_path,
                                   m_browse,
                                   m_pages[0],
                                   m_pages[1],
                                   m_pages[2],
                                   m_pages[3],
                                   m_makePrintData,
                                   m_prnId,
                                   m_deletePrintData,
                                   m_transferPrintData,
                                   m_getPrintDataId,
                                   m_jobId,
                                   m_startPrint,
                                   m_cardIn,
                                   m_side,
                                   m_clearDocument};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    UncheckPages(true);

    connect(m_module, &QComboBox::currentIndexChanged, this, [this] { OnModuleSelected(); });
    connect(m_openVdn, &QPushButton::clicked, this, &CSubDlgPrint::OnOpenVdn);
    connect(m_path, &QLineEdit::returnPressed, this, &CSubDlgPrint::OnOpenVdn);
    connect(m_browse, &QPushButton::clicked, this, &CSubDlgPrint::OnBrowse);
    connect(m_pageGroup, &QButtonGroup::idClicked, this, &CSubDlgPrint::OnPageClicked);
    connect(m_makePrintData, &QPushButton::clicked, this, &CSubDlgPrint::OnMakePrintData);
    connect(m_transferPrintData, &QPushButton::clicked, this, &CSubDlgPrint::OnTransferPrintData);
    connect(m_getPrintDataId, &QPushButton::clicked, this, &CSubDlgPrint::OnGetPrintDataId);
    connect(m_deletePrintData, &QPushButton::clicked, this, &CSubDlgPrint::OnDeletePrintData);
    connect(m_startPrint, &QPushButton::clicked, this, &CSubDlgPrint::OnStartPrint);
    connect(m_clearDocument, &QPushButton::clicked, this, &CSubDlgPrint::OnClearDocument);
}

// ---- Frame operations ----

void CSubDlgPrint::OnDeviceConnected(const QString&) {}

void CSubDlgPrint::OnDeviceDisconnected() {
    OnClearDocument();
    // Without a device the page has no modules: nothing of the closed connection stays shown.
    OnModulesChanged(ConnectedModuleList{});
    m_prnId->clear();
    m_jobId->clear();
}

void CSubDlgPrint::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    {
        const QSignalBlocker block(m_module);
        m_module->clear();
        for (std::uint8_t id : sdk_lists::ModuleChain(modules))
            if (IsType(id, vela::kTypePrinter) || IsType(id, vela::kTypeLaminator))
                m_module->addItem(labels::Print(id), id);
        m_module->setCurrentIndex(m_module->count() > 0 ? 0 : -1);
    }
    OnModuleSelected();
}

void CSubDlgPrint::OnPageShown() {}

void CSubDlgPrint::OnModuleSelected() {
    const std::uint8_t module = GetCurrentModule();
    const bool printer = IsType(module, vela::kTypePrinter);
    for (QWidget* w :
         {static_cast<QWidget*>(m_makePrintData), static_cast<QWidget*>(m_prnId),
          static_cast<QWidget*>(m_jobId), static_cast<QWidget*>(m_deletePrintData),
          static_cast<QWidget*>(m_transferPrintData), static_cast<QWidget*>(m_getPrintDataId)})
        w->setEnabled(printer);
    const bool selected = module != vela::kModuleNone;
    m_startPrint->setEnabled(selected);
    m_cardIn->setEnabled(selected);
    m_side->setEnabled(false);
    if (printer)
        m_side->setCurrentIndex(0);

    m_ribbon->clear();
    if (!printer)
        return;
    std::int32_t type = -1, countA = 0, countB = 0;
    if (Call(Binding().Vela_GetRibbonInfo, module, &type, &countA, &countB) == 0)
        m_ribbon->setText(print::RibbonLabel(type, countA, countB));
}

// ---- Helpers ----

int CSubDlgPrint::CheckedPage() const {
    return m_pageGroup->checkedId();
}

void CSubDlgPrint::UncheckPages(bool disable) {
    // An exclusive group keeps one button checked; it lets go while the group is open.
    m_pageGroup->setExclusive(false);
    for (QRadioButton* radio : m_pages) {
        radio->setChecked(false);
        if (disable)
            radio->setEnabled(false);
    }
    m_pageGroup->setExclusive(true);
}

void CSubDlgPrint::FetchPreview(int pageIndex) {
    VelaBitmap bitmap{nullptr, 0};
    const VelaResult r = Binding().Device(Binding().Vela_GetPreviewBitmap, pageIndex, &bitmap);
    if (r != 0) {
        DropPreview(ErrorText(QStringLiteral("No preview..."), static_cast<std::uint32_t>(r)));
        return;
    }
    // The SDK's bitmap is checked before anything of it is copied or painted.
    QByteArray copy = print::CopyPreviewBitmap(bitmap);
    const QImage image = print::PreviewImage(copy);
    if (image.isNull()) {
        DropPreview(QStringLiteral("No preview: the SDK gave no valid bitmap."));
        return;
    }
    m_preview = std::move(copy);
    m_frame->SetImage(image);
    m_previewStatus->clear();
}

void CSubDlgPrint::DropPreview(const QString& reason) {
    m_preview.clear();
    m_frame->SetImage(QImage());
    m_previewStatus->setText(reason);
}

void CSubDlgPrint::Fail(const QString& text, VelaResult result) {
    Warn(ErrorText(text, static_cast<std::uint32_t>(result)));
}

// ---- Commands ----

void CSubDlgPrint::OnBrowse() {
    halvard::FileDialogRequest request;
    request.caption = QStringLiteral("Open");
    request.startPath = m_lastFolder;
    request.filter = QStringLiteral("Vela Design File (*.vdn)");
    const QString path = halvard::FileDialogService::Pick(this, request);
    if (path.isEmpty())
        return;
    m_path->setText(QDir::toNativeSeparators(path));
    m_lastFolder = QDir::toNativeSeparators(QFileInfo(path).absolutePath() + QLatin1Char('/'));
    QMetaObject::invokeMethod(this, &CSubDlgPrint::OnOpenVdn, Qt::QueuedConnection);
}

void CSubDlgPrint::OnOpenVdn() {
    const QString path = m_path->text();
    if (!print::IsVdnPath(path)) {
        Warn(QStringLiteral("VDN filename is missing or invalid."));
        return;
    }
    const auto text = halvard::ToSdkText(QDir::toNativeSeparators(path));
    const VelaResult opened = Binding().Device(Binding().Vela_OpenDocument, text.c_str());
    if (opened != 0)
        Fail(QStringLiteral("Failed to load VDN file..."), opened);

    // The pages come from the printer's settings, also after a failed open.
    PrinterSettings settings{};
    const VelaResult read =
        Binding().Device(Binding().Vela_GetPrinterSettings, vela::kModulePrinter, &settings);
    if (read != 0) {
        settings = PrinterSettings{};
        if (opened == 0)
            Fail(QStringLiteral("Error while Get/SetPrinterSettings..."), read);
    }
    UncheckPages(false);
    const std::array<bool, print::kPageCount> enabled = print::EnabledPages(settings);
    for (size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setEnabled(enabled[i]);
    for (int i = 0; i < print::kPageCount; ++i) {
        if (enabled[static_cast<size_t>(i)]) {
            m_pages[static_cast<size_t>(i)]->setChecked(true);
            OnPageClicked(i);
            return;
        }
    }
    // No page to show: the preview of what was open before goes too.
    DropPreview();
}

void CSubDlgPrint::OnPageClicked(int pageIndex) {
    FetchPreview(pageIndex);
}

void CSubDlgPrint::OnMakePrintData() {
    const std::uint8_t module = GetCurrentModule();
    const int ribbonType = print::RibbonTypeFromLabel(m_ribbon->text());
    const int checked = CheckedPage();
    const bool noDocument = checked < 0;
    const int pageIndex = noDocument ? 0 : checked;

    PrinterSettings settings{};
    VelaResult r = Binding().Device(Binding().Vela_GetPrinterSettings, module, &settings);
    if (r == 0) {
        print::SelectPage(settings, pageIndex, ribbonType);
        r = Binding().Device(Binding().Vela_SetPrinterSettings, module, &settings);
    }
    if (r != 0) {
        Fail(QStringLiteral("Error while Get/SetPrinterSettings..."), r);
        return;
    }

    if (noDocument) {
        // The built-in test card: the background picture on colour ribbons, then the text.
        if (print::DrawsBackground(ribbonType)) {
            const auto picture = halvard::ToSdkText(QDir::toNativeSeparators(
                halvard::ProgramFolder() + QLatin1String(kBackgroundFile)));
            r = Binding().Device(Binding().Vela_DrawImage, pageIndex, kColourPanel, 0, 0, 0, 0,
                                 picture.c_str(), 0);
            if (r != 0) {
                Fail(QStringLiteral("Error while DrawImage..."), r);
                return;
            }
        }
        const auto font = halvard::ToSdkText(QStringLiteral("Tahoma"));
        const auto text = halvard::ToSdkText(QStringLiteral("Test Print"));
        r = Binding().Device(Binding().Vela_DrawText, pageIndex, kBlackPanel, kTestTextX,
                             kTestTextY, font.c_str(), kTestTextSize, kTestTextStyle, text.c_str(),
                             0);
        if (r != 0) {
            Fail(QStringLiteral("Error while DrawText..."), r);
            return;
        }
        FetchPreview(0);
    }

    // The handle changes only when new print data was made.
    std::int32_t printData = 0;
    r = Binding().Device(Binding().Vela_PrintDocument, kPrintFlags, &printData);
    if (r != 0) {
        Fail(QStringLiteral("Error while PrintDocument..."), r);
        return;
    }
    m_printData = printData;

    m_prnId->clear();
    std::int32_t id = 0;
    r = Binding().Device(Binding().Vela_GetMyPrnId, m_printData, pageIndex, &id);
    if (r != 0) {
        Fail(QStringLiteral("Error while GetMyPrnId..."), r);
        return;
    }
    m_prnId->setText(QString::asprintf("%04X", static_cast<unsigned>(id) & 0xFFFFu));
}

void CSubDlgPrint::OnTransferPrintData() {
    const int pageIndex = std::max(CheckedPage(), 0);
    const std::uint8_t* bytes = nullptr;
    std::int32_t size = 0;
    VelaResult r =
        Binding().Device(Binding().Vela_GetMyPrnData, m_printData, pageIndex, &bytes, &size);
    // The data stays the SDK's; it goes back to the SDK as it came.
    if (r == 0)
        r = Binding().Device(Binding().Vela_ExWriteData, bytes, size);
    if (r != 0)
        Fail(QStringLiteral("Error while SendPrnData..."), r);
}

void CSubDlgPrint::OnGetPrintDataId() {
    const std::uint8_t module = GetCurrentModule();
    m_jobId->clear();
    VelaResult r = Binding().Device(Binding().Vela_UpdateCurrPrintJob, module);
    if (r != 0) {
        Fail(QStringLiteral("Error while UpatePrintJob..."), r);
        return;
    }
    halvard::WaitService::Wait(kUpdateJobWaitMs);
    std::uint16_t jobId = 0;
    r = Binding().Device(Binding().Vela_GetCurrPrintJob, module, &jobId);
    if (r != 0) {
        Fail(QStringLiteral("Error while GetCurrJobId..."), r);
        return;
    }
    m_jobId->setText(QString::asprintf("%04X", static_cast<unsigned>(jobId)));
}

void CSubDlgPrint::OnDeletePrintData() {
    const VelaResult r = Binding().Device(Binding().Vela_DeleteCurrPrintJob, GetCurrentModule());
    if (r != 0)
        Fail(QStringLiteral("Error while DeleteCurrPrintJob..."), r);
}

void CSubDlgPrint::OnStartPrint() {
    const std::uint8_t module = GetCurrentModule();
    if (module == vela::kModuleNone) {
        Warn(QStringLiteral("Invalid Module ID..."));
        return;
    }
    const VelaResult r =
        Binding().Device(Binding().Vela_PrintStart, module, m_cardIn->currentData().toInt(), 0);
    if (r != 0)
        Fail(QStringLiteral("Error while Print or Laminate..."), r);
}

void CSubDlgPrint::OnClearDocument() {
    const VelaResult r = Binding().Device(Binding().Vela_CloseDocument);
    if (r != 0)
        Fail(QStringLiteral("Failed to clear document..."), r);
    UncheckPages(true);
    DropPreview();
}
