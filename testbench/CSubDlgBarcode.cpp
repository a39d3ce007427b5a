#include "CSubDlgBarcode.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "file_dialog_service.h"
#include "module_labels.h"
#include "scanner_records.h"
#include "sdk_lists.h"
#include "sdk_text.h"
#include "vela_modules.h"
#include "vela_scanner.h"
#include "widget_support.h"

using halvard::BuddyLabel;

namespace sc = vela::scanner;

namespace {

// Number boxes are narrow: they hold a few digits.
constexpr int kNumberBoxWidth = 48;
constexpr int kBarcodeUnits = sc::kBarcodeBufferBytes / static_cast<int>(sizeof(VelaChar));
constexpr int kVersionUnits = sc::kVersionBufferBytes / static_cast<int>(sizeof(VelaChar));

// Labels of the scanner configuration record's values, in its order.
constexpr std::array<const char*, 16> kConfigLabels = {
    "dpi:",    "mode:",  "side:",  "face:",  "drop:",  "width:",   "height:",  "gain:",
    "offset:", "speed:", "state:", "cline:", "sline:", "trigger:", "shading:", "monitoring:"};
enum ConfigIndex : int { kGain = 7, kOffset = 8, kSpeed = 9, kShading = 14 };

// The remembered image folder of the process.
QString& ImageFolder() {
    static QString folder = scanner::InitialImageFolder();
    return folder;
}

QLineEdit* NumberBox(const QString& objectName, QWidget* parent, bool editable = true) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setFixedWidth(kNumberBoxWidth);
    if (editable)
        box->setValidator(new QIntValidator(box));
    else
        box->setReadOnly(true);
    return box;
}

}  // namespace

CSubDlgBarcode::CSubDlgBarcode(PageHost& host, QWidget* parent)
    : CSubDlgBase(kTemplateId, QStringLiteral("Barcode"), host, parent) {
    setObjectName(QStringLiteral("pageBarcode"));
    BuildControls();
    SetCurrentModuleSelector(m_module);
}

QString CSubDlgBarcode::RememberedImageFolder() {
    return ImageFolder();
}

void CSubDlgBarcode::SetRememberedImageFolder(const QString& folder) {
    ImageFolder() = folder;
}

void CSubDlgBarcode::BuildControls() {
    auto button = [this](const char* text, const char* name, QWidget* parent) {
        QPushButton* b = halvard::PlainButton(QString::fromLatin1(text), name, parent);
        m_controls.append(b);
        return b;
    };
    auto box = [this](const QString& name, QWidget* parent, bool editable = true) {
        QLineEdit* b = NumberBox(name, parent, editable);
        m_controls.append(b);
        return b;
    };
    auto label = [this](const char* text, QWidget* buddy, QWidget* parent) {
        QLabel* l = BuddyLabel(QString::fromLatin1(text), buddy, parent);
        m_controls.append(l);
        return l;
    };

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(6, 6, 6, 6);

    // ---- Left: scanning, barcode data, images, area, version, reset ----
    auto* left = new QGridLayout;
    left->setVerticalSpacing(4);
    int row = 0;
    m_module = new QComboBox(this);
    m_module->setObjectName(QStringLiteral("scannerModule"));
    m_module->setMinimumContentsLength(8);
    left->addWidget(BuddyLabel(QStringLiteral("Bar-Scanner Module :"), m_module, this), row, 0);
    left->addWidget(m_module, row, 1, 1, 2, Qt::AlignLeft);
    ++row;

    QPushButton* scanning = button("Scanning", "scanning", this);
    left->addWidget(scanning, row, 0);
    ++row;

    QPushButton* readData = button("Read Barcode Data", "readBarcodeData", this);
    m_side = new QComboBox(this);
    m_side->setObjectName(QStringLiteral("barcodeSide"));
    m_side->setAccessibleName(QStringLiteral("Side"));
    m_side->addItem(QStringLiteral("Top"), sc::kOpBarcodeTop);
    m_side->addItem(QStringLiteral("Bottom"), sc::kOpBarcodeBottom);
    m_side->setCurrentIndex(0);
    m_controls.append(m_side);
    left->addWidget(readData, row, 0);
    left->addWidget(m_side, row, 1, 1, 2, Qt::AlignLeft);
    ++row;

    m_data = new QPlainTextEdit(this);
    m_data->setObjectName(QStringLiteral("barcodeData"));
    m_data->setAccessibleName(QStringLiteral("Barcode data"));
    m_data->setReadOnly(true);
    m_data->setTabChangesFocus(true);
    m_data->setMinimumHeight(48);
    m_controls.append(m_data);
    left->addWidget(m_data, row, 0, 1, 3);
    left->setRowStretch(row, 1);
    ++row;

    QPushButton* saveImage = button("Save Scanned Image", "saveScannedImage", this);
    left->addWidget(saveImage, row, 0);
    ++row;

    // "x1 , y1 ~ x2 , y2": each box has its own label, the separators are plain text; the
    // second corner on its own line.
    QPushButton* setArea = button("Set Scanning Area", "setScanningArea", this);
    left->addWidget(setArea, row, 0);
    ++row;
    const std::array<const char*, 4> areaLabels = {"x1", "y1", "x2", "y2"};
    const std::array<const char*, 4> areaNames = {"areaX1", "areaY1", "areaX2", "areaY2"};
    const std::array<const char*, 4> leads = {"", ",", "~", ","};
    const std::array<const char*, 4> initial = {"0", "0", "9999", "9999"};
    QHBoxLayout* areaRow = nullptr;
    for (size_t i = 0; i < m_area.size(); ++i) {
        if (i % 2 == 0) {
            areaRow = new QHBoxLayout;
            areaRow->setSpacing(3);
            left->addLayout(areaRow, row++, 0, 1, 3);
        }
        if (*leads[i] != '\0') {
            auto* lead = new QLabel(QString::fromLatin1(leads[i]), this);
            m_controls.append(lead);
            areaRow->addWidget(lead);
        }
        QLineEdit* b = box(QString::fromLatin1(areaNames[i]), this);
        b->setText(QString::fromLatin1(initial[i]));
        areaRow->addWidget(label(areaLabels[i], b, this));
        areaRow->addWidget(b);
        m_area[i] = b;
        if (i % 2 == 1)
            areaRow->addStretch(1);
    }

    QPushButton* getVersion = button("Get Version", "getVersion", this);
    m_version = new QLineEdit(this);
    m_version->setObjectName(QStringLiteral("scannerVersion"));
    m_version->setAccessibleName(QStringLiteral("Version"));
    m_version->setReadOnly(true);
    m_controls.append(m_version);
    left->addWidget(getVersion, row, 0);
    left->addWidget(m_version, row, 1, 1, 2);
    ++row;

    QPushButton* reset = button("Reset", "reset", this);
    left->addWidget(reset, row, 0);
    left->setColumnStretch(2, 1);
    columns->addLayout(left, 0);

    // ---- Right: the image configuration and the scanner configuration ----
    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    auto* imageGroup = new QGroupBox(QStringLiteral("Image Config"), this);
    imageGroup->setObjectName(QStringLiteral("imageConfigGroup"));
    m_controls.append(imageGroup);
    auto* imageGrid = new QGridLayout(imageGroup);
    imageGrid->setVerticalSpacing(3);
    const std::array<const char*, 5> imageNames = {"imageDpi", "imageMode", "imageSide",
                                                   "imageFace", "imageDrop"};
    for (size_t i = 0; i < m_image.size(); ++i) {
        m_image[i] = box(QString::fromLatin1(imageNames[i]), imageGroup);
        const int r = static_cast<int>(i) / 3;
        const int c = static_cast<int>(i) % 3 * 2;
        imageGrid->addWidget(label(kConfigLabels[i], m_image[i], imageGroup), r, c);
        imageGrid->addWidget(m_image[i], r, c + 1);
    }
    auto* imageButtons = new QHBoxLayout;
    QPushButton* getImage = button("Get Image Config", "getImageConfig", imageGroup);
    QPushButton* setImage = button("Set Image Config", "setImageConfig", imageGroup);
    QPushButton* saveImageConfig = button("Save Image Config", "saveImageConfig", imageGroup);
    imageButtons->addWidget(getImage);
    imageButtons->addWidget(setImage);
    imageButtons->addWidget(saveImageConfig);
    imageButtons->addStretch(1);
    imageGrid->addLayout(imageButtons, 2, 0, 1, 6);
    imageGrid->setColumnStretch(6, 1);
    right->addWidget(imageGroup);

    auto* configGroup = new QGroupBox(QStringLiteral("Config"), this);
    configGroup->setObjectName(QStringLiteral("configGroup"));
    m_controls.append(configGroup);
    auto* configGrid = new QGridLayout(configGroup);
    configGrid->setVerticalSpacing(3);
    QPushButton* getConfig = button("Get Config", "getConfig", configGroup);
    configGrid->addWidget(getConfig, 0, 0, 1, 2);
    // The values only "Get Config" fills, four to a row, in the record's order.
    const std::array<int, 12> shownOnly = {0, 1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 15};
    const std::array<const char*, 16> configNames = {
        "configDpi",    "configMode",    "configSide",    "configFace",
        "configDrop",   "configWidth",   "configHeight",  "configGain",
        "configOffset", "configSpeed",   "configState",   "configCline",
        "configSline",  "configTrigger", "configShading", "configMonitoring"};
    for (size_t i = 0; i < shownOnly.size(); ++i) {
        const auto index = static_cast<size_t>(shownOnly[i]);
        m_config[index] = box(QString::fromLatin1(configNames[index]), configGroup, false);
        const int r = 1 + static_cast<int>(i) / 4;
        const int c = static_cast<int>(i) % 4 * 2;
        configGrid->addWidget(label(kConfigLabels[index], m_config[index], configGroup), r, c);
        configGrid->addWidget(m_config[index], r, c + 1);
    }
    // The four values that have their own "Set" button, two to a row.
    struct Setter {
        int index;
        const char* text;
        const char* name;
        void (CSubDlgBarcode::*slot)();
    };
    const std::array<Setter, 4> setters = {{
        {kGain, "Set Gain", "setGain", &CSubDlgBarcode::OnSetGain},
        {kOffset, "Set Offset", "setOffset", &CSubDlgBarcode::OnSetOffset},
        {kSpeed, "Set Speed", "setSpeed", &CSubDlgBarcode::OnSetSpeed},
        {kShading, "Set Shading", "setShading", &CSubDlgBarcode::OnSetShading},
    }};
    for (size_t i = 0; i < setters.size(); ++i) {
        const Setter& s = setters[i];
        const auto index = static_cast<size_t>(s.index);
        m_config[index] = box(QString::fromLatin1(configNames[index]), configGroup);
        const int r = 4 + static_cast<int>(i) / 2;
        const int c = static_cast<int>(i) % 2 * 4;
        configGrid->addWidget(label(kConfigLabels[index], m_config[index], configGroup), r, c);
        configGrid->addWidget(m_config[index], r, c + 1);
        QPushButton* set = button(s.text, s.name, configGroup);
        configGrid->addWidget(set, r, c + 2, 1, 2);
        connect(set, &QPushButton::clicked, this, s.slot);
    }
    auto* configButtons = new QHBoxLayout;
    QPushButton* doShading = button("Do Shading", "doShading", configGroup);
    QPushButton* restore = button("Restore Default", "restoreDefault", configGroup);
    configButtons->addWidget(doShading);
    configButtons->addWidget(restore);
    configButtons->addStretch(1);
    configGrid->addLayout(configButtons, 6, 0, 1, 8);
    configGrid->setColumnStretch(8, 1);
    right->addWidget(configGroup);
    right->addStretch(1);
    columns->addLayout(right, 1);

    connect(m_module, &QComboBox::currentIndexChanged, this, [this] { OnPageShown(); });
    connect(scanning, &QPushButton::clicked, this, &CSubDlgBarcode::OnScanning);
    connect(readData, &QPushButton::clicked, this, &CSubDlgBarcode::OnReadBarcodeData);
    connect(saveImage, &QPushButton::clicked, this, &CSubDlgBarcode::OnSaveScannedImage);
    connect(setArea, &QPushButton::clicked, this, &CSubDlgBarcode::OnSetScanningArea);
    connect(getVersion, &QPushButton::clicked, this, &CSubDlgBarcode::OnGetVersion);
    connect(reset, &QPushButton::clicked, this, &CSubDlgBarcode::OnReset);
    connect(getImage, &QPushButton::clicked, this, &CSubDlgBarcode::OnGetImageConfig);
    connect(setImage, &QPushButton::clicked, this, &CSubDlgBarcode::OnSetImageConfig);
    connect(saveImageConfig, &QPushButton::clicked, this, &CSubDlgBarcode::OnSaveImageConfig);
    connect(getConfig, &QPushButton::clicked, this, &CSubDlgBarcode::OnGetConfig);
    connect(doShading, &QPushButton::clicked, this, &CSubDlgBarcode::OnDoShading);
    connect(restore, &QPushButton::clicked, this, &CSubDlgBarcode::OnRestoreDefault);
}

// ---- Frame slots ----

void CSubDlgBarcode::OnDeviceConnected(const QString&) {}

void CSubDlgBarcode::OnDeviceDisconnected() {}

void CSubDlgBarcode::OnModulesChanged(const ConnectedModuleList& modules) {
    CSubDlgBase::OnModulesChanged(modules);
    {
        const QSignalBlocker quiet(m_module);
        m_module->clear();
        for (std::uint8_t id : sdk_lists::ModuleChain(m_modules))
            if (vela::IsType(id, vela::kTypeFlipper))
                m_module->addItem(labels::Barcode(id), id);
        if (m_module->count() > 0)
            m_module->setCurrentIndex(0);
    }
    OnPageShown();
}

void CSubDlgBarcode::OnPageShown() {
    // A scanner the flipper's board reports as missing cannot be used; neither can the page
    // while a macro is recorded. A status that could not be read counts as zero.
    std::uint64_t status = 0;
    if (Binding().Device(Binding().Vela_GetStatus, GetCurrentModule(), &status) != 0)
        status = 0;
    const std::uint64_t noScanner =
        vela::Bit(vela::flipper::kBoardVer2) | vela::Bit(vela::flipper::kNotInstalledScannerModule);
    const bool enabled = (status & noScanner) != noScanner && !Recording();
    for (QWidget* w : m_controls)
        w->setEnabled(enabled);
}

// ---- Commands ----

void CSubDlgBarcode::Fail(const char* format, VelaResult code) {
    Warn(QString::asprintf(format, static_cast<unsigned>(code)));
}

void CSubDlgBarcode::OnScanning() {
    const VelaResult r = Call(Binding().Vela_ReadEncoder, GetCurrentModule(), sc::kChannel, 0);
    if (r != 0)
        Fail("Error while BarcodeRead. error=%08X", r);
}

void CSubDlgBarcode::OnReadBarcodeData() {
    const std::int32_t side = m_side->currentData().toInt();
    m_data->clear();
    repaint();
    std::array<VelaChar, kBarcodeUnits> buffer{};
    std::int32_t length = sc::kBarcodeBufferBytes;
    const VelaResult r = Call(Binding().Vela_RunEncoder, GetCurrentModule(), sc::kChannel, side,
                              buffer.data(), &length);
    if (r != 0) {
        Fail("Error while BarcodeGetData. error=%08X", r);
        return;
    }
    for (const QString& text : scanner::WalkBarcodeTexts(buffer.data(), buffer.size())) {
        m_data->moveCursor(QTextCursor::End);
        m_data->insertPlainText(text + u'\n');
    }
}

void CSubDlgBarcode::OnSaveScannedImage() {
    halvard::FileDialogRequest request;
    request.folder = true;
    request.caption = QStringLiteral("Please choose the Directory for Save Image...");
    request.startPath = RememberedImageFolder();
    const QString picked = halvard::FileDialogService::Pick(this, request);
    if (picked.isEmpty()) {
        SetLastResult(0);
        return;
    }
    SetRememberedImageFolder(QDir::toNativeSeparators(picked));
    const auto [topPath, bottomPath] = scanner::ScanImagePaths(picked);
    const VelaString top = halvard::ToSdkText(topPath);
    const VelaString bottom = halvard::ToSdkText(bottomPath);
    sc::ImagePathRecord paths{top.c_str(), bottom.c_str()};
    // The record holds two pointers: its length is its size on this platform.
    std::int32_t length = sizeof(paths);
    const VelaResult r = Call(Binding().Vela_RunEncoder, GetCurrentModule(), sc::kChannel,
                              sc::kOpSaveImages, &paths, &length);
    if (r != 0)
        Fail("Error while BarcodeGetImage. error=%08X", r);
}

void CSubDlgBarcode::OnSetScanningArea() {
    sc::AreaRecord area{scanner::BoxValue(m_area[0]->text()), scanner::BoxValue(m_area[1]->text()),
                        scanner::BoxValue(m_area[2]->text()), scanner::BoxValue(m_area[3]->text())};
    std::int32_t length = sizeof(area);
    const VelaResult r = Call(Binding().Vela_RunEncoder, GetCurrentModule(), sc::kChannel,
                              sc::kOpSetArea, &area, &length);
    if (r != 0)
        Fail("Error while Barcode Set Scanning Area. error=%08X", r);
}

void CSubDlgBarcode::OnGetVersion() {
    std::array<VelaChar, kVersionUnits> buffer{};
    std::int32_t length = sc::kVersionBufferBytes;
    const VelaResult r = Call(Binding().Vela_RunEncoder, GetCurrentModule(), sc::kChannel,
                              sc::kOpVersion, buffer.data(), &length);
    if (r != 0) {
        Fail("Error while Barcode Get Version. error=%08X", r);
        return;
    }
    m_version->setText(halvard::FromSdkText(buffer.data(), kVersionUnits));
}

void CSubDlgBarcode::RunAnswered(std::int32_t operation, const char* failure) {
    std::int32_t value = 0;
    std::int32_t length = sizeof(value);
    const VelaResult r = Call(Binding().Vela_RunEncoder, GetCurrentModule(), sc::kChannel,
                              operation, &value, &length);
    if (r != 0) {
        Fail(failure, r);
        return;
    }
    // The call went through, but the scanner answered with an error of its own.
    if (value != 0) {
        SetLastResult(static_cast<std::uint32_t>(value));
        Fail(failure, value);
    }
}

void CSubDlgBarcode::OnReset() {
    RunAnswered(sc::kOpReset, "Error while Barcode Reset. error=%08X");
}

void CSubDlgBarcode::OnSaveImageConfig() {
    RunAnswered(sc::kOpSaveImageConfig, "Error while Barcode Save Image Config. error=%08X");
}

void CSubDlgBarcode::OnDoShading() {
    RunAnswered(sc::kOpDoShading, "Error while Barcode Do Shading. error=%08X");
}

void CSubDlgBarcode::OnRestoreDefault() {
    RunAnswered(sc::kOpRestoreDefault, "Error while Barcode Restore Dfeault. error=%08X");
}

void CSubDlgBarcode::OnGetImageConfig() {
    std::array<std::int32_t, 5> values{};
    static_assert(sizeof(values) == sizeof(sc::ImageConfigRecord));
    std::int32_t length = sizeof(values);
    const VelaResult r = Call(Binding().Vela_GetEncConfig2, GetCurrentModule(), sc::kCfgImage,
                              values.data(), &length);
    if (r != 0) {
        Fail("Error while Barcode Get Image Config. error=%08X", r);
        return;
    }
    for (size_t i = 0; i < values.size(); ++i)
        m_image[i]->setText(QString::number(values[i]));
}

void CSubDlgBarcode::OnSetImageConfig() {
    std::array<std::int32_t, 5> values{};
    static_assert(sizeof(values) == sizeof(sc::ImageConfigRecord));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = scanner::BoxValue(m_image[i]->text());
    const VelaResult r = Call(Binding().Vela_SetEncConfig2, GetCurrentModule(), sc::kCfgImage,
                              values.data(), static_cast<std::int32_t>(sizeof(values)));
    if (r != 0)
        Fail("Error while Barcode Set Image Config. error=%08X", r);
}

void CSubDlgBarcode::OnGetConfig() {
    std::array<std::int32_t, 16> values{};
    static_assert(sizeof(values) == sizeof(sc::ScannerConfigRecord));
    std::int32_t length = sizeof(values);
    const VelaResult r = Call(Binding().Vela_GetEncConfig2, GetCurrentModule(), sc::kCfgScanner,
                              values.data(), &length);
    if (r != 0) {
        Fail("Error while Barcode Get Config. error=%08X", r);
        return;
    }
    for (size_t i = 0; i < values.size(); ++i)
        m_config[i]->setText(QString::number(values[i]));
}

void CSubDlgBarcode::SetValue(std::int32_t id, const QLineEdit* box, const char* failure) {
    std::int32_t value = scanner::BoxValue(box->text());
    const VelaResult r = Call(Binding().Vela_SetEncConfig2, GetCurrentModule(), id, &value,
                              static_cast<std::int32_t>(sizeof(value)));
    if (r != 0)
        Fail(failure, r);
}

void CSubDlgBarcode::OnSetGain() {
    SetValue(sc::kCfgGain, m_config[kGain], "Error while Barcode Set Gain. error=%08X");
}

void CSubDlgBarcode::OnSetOffset() {
    SetValue(sc::kCfgOffset, m_config[kOffset], "Error while Barcode Set Offset. error=%08X");
}

void CSubDlgBarcode::OnSetSpeed() {
    SetValue(sc::kCfgSpeed, m_config[kSpeed], "Error while Barcode Set Speed. error=%08X");
}

void CSubDlgBarcode::OnSetShading() {
    SetValue(sc::kCfgShading, m_config[kShading], "Error while Barcode Set Shading. error=%08X");
}
