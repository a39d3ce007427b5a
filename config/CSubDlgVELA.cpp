// The printer page's controls, layout, visible and enabled states and input rules.

#include "CSubDlgVELA.h"
#include "widget_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResource>
#include <QVBoxLayout>

#include "CCardPreview.h"
#include "CSpinEdit.h"
#include "CVelaCommBinding.h"
#include "ConfigHost.h"
#include "private_profile.h"
#include "program_support.h"

using namespace param;

namespace {

constexpr int kPresetValueCapacity = 128;  // values up to 127 characters
constexpr int kPresetGap = 10;
constexpr int kDisplayTypeWithLanguage = 2;

// The built-in card picture. It is stored without compression, so its bytes are used where
// the program holds them, without a copy.
QByteArray CardPicture() {
    const QResource resource(QStringLiteral(":/card.bmp"));
    if (!resource.isValid())
        return QByteArray();
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                       static_cast<qsizetype>(resource.size()));
    return resource.uncompressedData();
}

QString& SettingsFolderOverride() {
    static QString folder;
    return folder;
}

QLineEdit* ReadOnlyField(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    return edit;
}

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

void AddRow(QGridLayout* grid, int row, int column, const QString& text, QWidget* field) {
    grid->addWidget(Label(text, field, grid->parentWidget()), row, column);
    grid->addWidget(field, row, column + 1);
}

// Object names of the option lists: "option" + bit.
QString OptionName(int bit) {
    return QStringLiteral("option%1").arg(bit);
}

}  // namespace

CSubDlgVELA::CSubDlgVELA(ConfigHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    Q_INIT_RESOURCE(config);
    setObjectName(QStringLiteral("printerPage"));
    m_slotEnabled.fill(true);

    auto* left = new QVBoxLayout;
    left->addWidget(BuildHeader());
    left->addWidget(BuildCalibration());
    left->addWidget(BuildButtons());
    left->addStretch(1);

    m_rightPart = BuildRightPart();
    m_factoryColumn = BuildFactoryColumn();

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSizeConstraint(QLayout::SetFixedSize);
    root->addLayout(left);
    root->addWidget(m_rightPart, 0, Qt::AlignTop);

    ConnectInputRules();

    // Presets from the settings file, then the defaults of the first preset (or "PARAMETER").
    // One reading of the settings file serves both.
    const halvard::PrivateProfile settings(IniPath());
    CreatePresetButtons(settings);
    ApplyDefaults(settings,
                  m_presetNames.isEmpty() ? QStringLiteral("PARAMETER") : m_presetNames.first(),
                  false);

    // Collapsed to start with; the card picture for the preview.
    m_rightPart->hide();
    m_expand->setText(QStringLiteral(">"));
    m_preview->SetPicture(CardPicture());
    UpdateControls();
}

CSubDlgVELA::~CSubDlgVELA() = default;

void CSubDlgVELA::SetSettingsFolder(const QString& folder) {
    SettingsFolderOverride() = folder;
}

QString CSubDlgVELA::SettingsFolder() {
    const QString& folder = SettingsFolderOverride();
    return folder.isEmpty() ? halvard::ProgramFolder() : folder;
}

QString CSubDlgVELA::IniPath() const {
    return SettingsFolder() + QStringLiteral("HalvardConfig.ini");
}

// ---- Construction ----------------------------------------------------------------------

CSpinEdit* CSubDlgVELA::AddSpin(QGridLayout* grid, int row, int column, const QString& label,
                                const char* name, int position) {
    auto* edit = new CSpinEdit(grid->parentWidget());
    edit->setObjectName(QLatin1String(name));
    if (position >= 0)
        m_controls.setSpinEdit(position, edit);
    AddRow(grid, row, column, label, edit);
    return edit;
}

QWidget* CSubDlgVELA::BuildHeader() {
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("headerGroup"));
    auto* grid = new QGridLayout(box);
    m_firmware = ReadOnlyField("firmwareVersion", box);
    m_serial = ReadOnlyField("serialNo", box);
    m_headSerial = ReadOnlyField("headerSerialNo", box);
    m_headResister = ReadOnlyField("headerResister", box);
    m_controls.setReadOnlyEdit(kPosHeadResistor, m_headResister);
    AddRow(grid, 0, 0, QStringLiteral("Firmware Version"), m_firmware);
    AddRow(grid, 1, 0, QStringLiteral("Serial No."), m_serial);
    AddRow(grid, 2, 0, QStringLiteral("Header Serial No."), m_headSerial);
    AddRow(grid, 3, 0, QStringLiteral("Header Resister"), m_headResister);
    return box;
}

QWidget* CSubDlgVELA::BuildCalibration() {
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("calibrationGroup"));
    auto* grid = new QGridLayout(box);
    m_preview = new CCardPreview(
        [this] {
            // The numbers as shown in the fields: decimal parse, 0 when empty.
            const auto shown = [](const CSpinEdit* e) {
                return saturate32(parseLeadingInt(e->text()));
            };
            return CCardPreview::Values{shown(m_xStart), shown(m_yStart), shown(m_yEnd),
                                        shown(m_yScale)};
        },
        box);
    // The preview frame, with the preview one pixel inside it.
    auto* frame = new QWidget(box);
    frame->setObjectName(QStringLiteral("previewFrame"));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(CCardPreview::kFrameInset, CCardPreview::kFrameInset,
                                    CCardPreview::kFrameInset, CCardPreview::kFrameInset);
    frameLayout->addWidget(m_preview);
    grid->addWidget(frame, 0, 0, 9, 1, Qt::AlignTop);
    m_xStart = AddSpin(grid, 0, 1, QStringLiteral("X Start Position"), "xStartPosition", 0);
    m_yStart = AddSpin(grid, 1, 1, QStringLiteral("Y Start Position"), "yStartPosition", 1);
    m_yEnd = AddSpin(grid, 2, 1, QStringLiteral("Y End Position"), "yEndPosition", 2);
    m_yScale = AddSpin(grid, 3, 1, QStringLiteral("Y Scale"), "yScale", 3);
    AddSpin(grid, 4, 1, QStringLiteral("Total Density"), "totalDensity", 4);
    AddSpin(grid, 5, 1, QStringLiteral("YMC Density"), "ymcDensity", 5);
    AddSpin(grid, 6, 1, QStringLiteral("Black Density"), "blackDensity", 6);
    AddSpin(grid, 7, 1, QStringLiteral("Overlay Density"), "overlayDensity", 7);
    m_print = halvard::PlainButton(QStringLiteral("&Print"), "print", box);
    grid->addWidget(m_print, 8, 1, 1, 2);
    m_expand = halvard::PlainButton(QStringLiteral("><"), "expand", box);
    m_expand->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_expand->setFixedWidth(24);
    grid->addWidget(m_expand, 0, 3, 9, 1);
    connect(m_print, &QPushButton::clicked, this, &CSubDlgVELA::PrintTestCard);
    connect(m_expand, &QPushButton::clicked, this, &CSubDlgVELA::ToggleExpanded);
    return box;
}

QWidget* CSubDlgVELA::BuildButtons() {
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("buttonGroup"));
    m_buttonGrid = new QGridLayout(box);
    m_buttonGrid->setHorizontalSpacing(kPresetGap);
    for (int c = 0; c < 3; ++c)
        m_buttonGrid->setColumnStretch(c, 1);
    m_getConfig = halvard::PlainButton(QStringLiteral("Get Config."), "getConfig", box);
    m_loadFromFile = halvard::PlainButton(QStringLiteral("Load from File"), "loadFromFile", box);
    m_loadDefault = halvard::PlainButton(QStringLiteral("Load Default"), "loadDefault", box);
    m_setConfig = halvard::PlainButton(QStringLiteral("Set Config."), "setConfig", box);
    m_saveToFile = halvard::PlainButton(QStringLiteral("Save to File"), "saveToFile", box);
    m_close = halvard::PlainButton(QStringLiteral("Close"), "close", box);
    m_buttonGrid->addWidget(m_getConfig, 0, 0);
    m_buttonGrid->addWidget(m_loadFromFile, 0, 1);
    m_buttonGrid->addWidget(m_loadDefault, 0, 2);
    m_buttonGrid->addWidget(m_setConfig, 1, 0);
    m_buttonGrid->addWidget(m_saveToFile, 1, 1);
    m_buttonGrid->addWidget(m_close, 1, 2);
    connect(m_getConfig, &QPushButton::clicked, this, &CSubDlgVELA::GetConfig);
    connect(m_setConfig, &QPushButton::clicked, this, &CSubDlgVELA::SetConfig);
    connect(m_loadDefault, &QPushButton::clicked, this,
            [this] { LoadDefault(QStringLiteral("PARAMETER"), true); });
    connect(m_loadFromFile, &QPushButton::clicked, this, &CSubDlgVELA::LoadFromFile);
    connect(m_saveToFile, &QPushButton::clicked, this, &CSubDlgVELA::SaveToFile);
    // "Close" closes the tool, as its name promises.
    connect(m_close, &QPushButton::clicked, this, [this] { window()->close(); });
    return box;
}

QWidget* CSubDlgVELA::BuildRightPart() {
    auto* part = new QWidget(this);
    part->setObjectName(QStringLiteral("rightPart"));
    auto* column = new QVBoxLayout(part);
    column->setContentsMargins(0, 0, 0, 0);

    m_totalGroup = new QGroupBox(QStringLiteral("Total Issue Count "), part);
    m_totalGroup->setObjectName(QStringLiteral("totalGroup"));
    auto* total = new QGridLayout(m_totalGroup);
    m_totalImage = ReadOnlyField("totalImage", m_totalGroup);
    m_totalPanels = ReadOnlyField("totalPrintedPanels", m_totalGroup);
    m_totalCleaning = ReadOnlyField("totalCleaningCount", m_totalGroup);
    m_totalSkipped = ReadOnlyField("totalSkippedCleaning", m_totalGroup);
    AddRow(total, 0, 0, QStringLiteral("Image"), m_totalImage);
    AddRow(total, 1, 0, QStringLiteral("Printed Panels"), m_totalPanels);
    AddRow(total, 2, 0, QStringLiteral("Cleaning Count"), m_totalCleaning);
    AddRow(total, 3, 0, QStringLiteral("Skipped Cleaning"), m_totalSkipped);

    m_userGroup = new QGroupBox(QStringLiteral(" User Issue Count "), part);
    m_userGroup->setObjectName(QStringLiteral("userGroup"));
    auto* user = new QGridLayout(m_userGroup);
    m_userImage = ReadOnlyField("userImage", m_userGroup);
    m_userCleaning = ReadOnlyField("userCleaningCount", m_userGroup);
    m_userSkipped = ReadOnlyField("userSkippedCleaning", m_userGroup);
    AddRow(user, 0, 0, QStringLiteral("Image"), m_userImage);
    AddRow(user, 1, 0, QStringLiteral("Cleaning Count"), m_userCleaning);
    AddRow(user, 2, 0, QStringLiteral("Skipped Cleaning"), m_userSkipped);
    // Fields the page keeps but never shows.
    m_userPanels = ReadOnlyField("userPassedPanels", m_userGroup);
    m_userPanels->hide();
    const char* hiddenNames[] = {"userMagnetic", "userIC", "userSIM", "userExternalRF",
                                 "userInternalRF"};
    for (std::size_t i = 0; i < m_userHidden.size(); ++i) {
        m_userHidden[i] = ReadOnlyField(hiddenNames[i], m_userGroup);
        m_userHidden[i]->hide();
    }

    auto* counters = new QHBoxLayout;
    counters->addWidget(m_totalGroup);
    counters->addWidget(m_userGroup);
    column->addLayout(counters);

    m_settingsGroup = new QGroupBox(part);
    m_settingsGroup->setObjectName(QStringLiteral("settingsGroup"));
    auto* grid = new QGridLayout(m_settingsGroup);
    AddSpin(grid, 0, 0, QStringLiteral("RMP +"), "rmpPlus", 8);
    AddSpin(grid, 1, 0, QStringLiteral("RMP -"), "rmpMinus", 9);
    AddSpin(grid, 2, 0, QStringLiteral("RMM +"), "rmmPlus", 10);
    AddSpin(grid, 3, 0, QStringLiteral("RMM -"), "rmmMinus", 11);
    AddSpin(grid, 4, 0, QStringLiteral("Warming Up Display"), "warmingUpDisplay", 15);
    CSpinEdit* ribbon =
        AddSpin(grid, 5, 0, QStringLiteral("Ribbon Position"), "ribbonPosition", 17);
    m_ribbonPositionLabel = qobject_cast<QLabel*>(grid->itemAtPosition(5, 0)->widget());
    m_ribbonPositionLabel->setObjectName(QStringLiteral("ribbonPositionLabel"));
    Q_UNUSED(ribbon);
    AddSpin(grid, 6, 0, QStringLiteral("YMC Offset"), "ymcOffset", 19);
    AddSpin(grid, 7, 0, QStringLiteral("Black Offset"), "blackOffset", 20);
    AddSpin(grid, 8, 0, QStringLiteral("Overlay Offset"), "overlayOffset", 21);
    CSpinEdit* inOut = AddSpin(grid, 9, 0, QStringLiteral("In/Out Speed"), "inOutSpeed", -1);
    CSpinEdit* move = AddSpin(grid, 10, 0, QStringLiteral("Move Speed"), "moveSpeed", -1);
    m_controls.setSpeeds(inOut, move);
    AddSpin(grid, 11, 0, QStringLiteral("Magnetic Position"), "magneticPosition", 29);

    m_boardType = new QComboBox(m_settingsGroup);
    m_boardType->setObjectName(QStringLiteral("boardType"));
    m_controls.setBoardType(m_boardType);
    AddRow(grid, 12, 0, QStringLiteral("Board Type"), m_boardType);
    m_displayType = new QComboBox(m_settingsGroup);
    m_displayType->setObjectName(QStringLiteral("displayType"));
    m_displayLanguage = new QComboBox(m_settingsGroup);
    m_displayLanguage->setObjectName(QStringLiteral("displayLanguage"));
    m_controls.setDisplay(m_displayType, m_displayLanguage);
    AddRow(grid, 13, 0, QStringLiteral("Display Type"), m_displayType);
    AddRow(grid, 14, 0, QStringLiteral("Display Language"), m_displayLanguage);
    m_baudRate = new QComboBox(m_settingsGroup);
    m_baudRate->setObjectName(QStringLiteral("uartBaudRate"));
    m_controls.setBaudRate(m_baudRate);
    AddRow(grid, 15, 0, QStringLiteral("UART Baud Rate"), m_baudRate);

    auto* security = new QGroupBox(QStringLiteral("Security"), m_settingsGroup);
    security->setObjectName(QStringLiteral("securityGroup"));
    auto* securityRow = new QGridLayout(security);
    const char* securityNames[] = {"pcAuth", "physicalKey", "userAuth", "rootAuth"};
    const char* securityTexts[] = {"PC Auth.", "Physical Key", "User Auth.", "Root Auth."};
    for (int b = 0; b < 4; ++b) {
        m_security[b] = new QCheckBox(QLatin1String(securityTexts[b]), security);
        m_security[b]->setObjectName(QLatin1String(securityNames[b]));
        securityRow->addWidget(m_security[b], b / 2, b % 2);
    }
    m_controls.setSecurity(m_security[0], m_security[1], m_security[2], m_security[3]);
    grid->addWidget(security, 16, 0, 1, 2);

    // Option lists of bits 0..18 in two further column pairs; bit 19 lives in the factory
    // column's "Printer Type" group.
    for (int bit = 0; bit < kOptionFlagCount - 1; ++bit) {
        m_options[bit] = new QComboBox(m_settingsGroup);
        m_options[bit]->setObjectName(OptionName(bit));
        m_controls.setOptionList(bit, m_options[bit]);
        const int row = bit % 10;
        const int gridColumn = 2 + 2 * (bit / 10);
        m_optionLabels[bit] =
            Label(QLatin1String(optionFlagLists[bit].label), m_options[bit], m_settingsGroup);
        grid->addWidget(m_optionLabels[bit], row, gridColumn);
        grid->addWidget(m_options[bit], row, gridColumn + 1);
    }
    column->addWidget(m_settingsGroup);
    return part;
}

QWidget* CSubDlgVELA::BuildFactoryColumn() {
    // Beyond what the user sees: a hidden child that is never laid out.
    auto* column = new QWidget(this);
    column->setObjectName(QStringLiteral("factoryColumn"));
    auto* layout = new QVBoxLayout(column);
    auto* factory = new QGroupBox(QStringLiteral(" Factory Issue Count "), column);
    factory->setObjectName(QStringLiteral("factoryGroup"));
    auto* grid = new QGridLayout(factory);
    auto* setToZero = halvard::PlainButton(QStringLiteral("Set to 0"), "factorySetToZero", factory);
    grid->addWidget(setToZero, 0, 0, 1, 2);
    m_factoryImage = AddSpin(grid, 1, 0, QStringLiteral("Image"), "factoryImage", -1);
    m_factoryPanels =
        AddSpin(grid, 2, 0, QStringLiteral("Passed Panels"), "factoryPassedPanels", -1);
    m_factoryCleaning =
        AddSpin(grid, 3, 0, QStringLiteral("Cleaning Count"), "factoryCleaningCount", -1);
    m_factorySkipped =
        AddSpin(grid, 4, 0, QStringLiteral("Skipped Cleaning"), "factorySkippedCleaning", -1);
    m_factoryImage->setRange(kFullMinimum, kFullMaximum);
    m_factoryPanels->setRange(-99, 99);
    m_controls.setCleaningCounts(m_userCleaning, m_userSkipped, m_factoryCleaning,
                                 m_factorySkipped);
    connect(setToZero, &QPushButton::clicked, this, [this] {
        for (CSpinEdit* e : {m_factoryImage, m_factoryPanels, m_factoryCleaning, m_factorySkipped})
            e->setValue(0);
    });
    layout->addWidget(factory);

    auto* printerType = new QGroupBox(QStringLiteral("Printer Type"), column);
    printerType->setObjectName(QStringLiteral("printerTypeGroup"));
    auto* types = new QVBoxLayout(printerType);
    m_rewriteCard = new QCheckBox(QStringLiteral("Rewrite Card"), printerType);
    m_rewriteCard->setObjectName(QStringLiteral("rewriteCard"));
    m_certification = new QCheckBox(QStringLiteral("Certification"), printerType);
    m_certification->setObjectName(QStringLiteral("certification"));
    m_controls.setPrinterType(m_rewriteCard, m_certification);
    const int v3 = kOptionFlagCount - 1;
    m_options[v3] = new QComboBox(printerType);
    m_options[v3]->setObjectName(OptionName(v3));
    m_controls.setOptionList(v3, m_options[v3]);
    m_optionLabels[v3] =
        Label(QLatin1String(optionFlagLists[v3].label), m_options[v3], printerType);
    types->addWidget(m_rewriteCard);
    types->addWidget(m_certification);
    types->addWidget(m_optionLabels[v3]);
    types->addWidget(m_options[v3]);
    layout->addWidget(printerType);
    column->hide();
    return column;
}

void CSubDlgVELA::CreatePresetButtons(const halvard::PrivateProfile& settings) {
    // "Type-01", "Type-02", ... until the first empty value; the page has room for ten.
    for (int i = 0;; ++i) {
        const QString key = QString::asprintf("%s%02d", "Type-", i + 1);
        const QString name =
            settings.String(QStringLiteral("TYPE"), key, QString(), kPresetValueCapacity);
        if (name.isEmpty())
            break;
        if (i >= kMaxPresets) {
            qWarning("HalvardConfig.ini names more than %d printer types; the rest are not offered",
                     kMaxPresets);
            break;
        }
        m_presetNames << name;
    }
    if (m_presetNames.isEmpty())
        return;

    // Presets replace "Load Default"; "Close" then spans both button rows.
    m_loadDefault->hide();
    m_buttonGrid->removeWidget(m_loadDefault);
    m_buttonGrid->removeWidget(m_close);
    m_buttonGrid->addWidget(m_close, 0, 2, 2, 1);
    m_close->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    for (int i = 0; i < m_presetNames.size(); ++i) {
        auto* button =
            halvard::PlainButton(QStringLiteral("Load : ") + m_presetNames[i],
                                 QString::asprintf("loadPreset%d", i).toLatin1().constData(),
                                 m_buttonGrid->parentWidget());
        button->setProperty("commandId", kPresetCommandBase + i);
        m_buttonGrid->addWidget(button, 2 + i / 3, i % 3);
        m_presetButtons.push_back(button);
        connect(button, &QPushButton::clicked, this, [this, button] {
            // The section is the caption after "Load : ".
            QString section = button->text();
            if (section.contains(QStringLiteral("Load : ")))
                section = section.mid(7);
            LoadDefault(section, true);
        });
    }
}

// ---- States ------------------------------------------------------------------------------

void CSubDlgVELA::UpdateControls() {
    CVelaCommBinding& b = m_host.Binding();
    const bool connected = b.IsConnected();
    m_serial->setReadOnly(true);
    m_getConfig->setEnabled(connected);
    m_print->setEnabled(connected);
    m_setConfig->setEnabled(connected && m_fetched);

    const int level = m_host.AccessLevel();
    for (int i = 0; i < kParamSlotCount; ++i) {
        for (QWidget* w : m_controls.widgets(i)) {
            w->setVisible(slotVisible(i, level));
            w->setEnabled(m_slotEnabled[i]);
        }
    }
    // Hidden whatever the level: "Use V3 Ribbon Only" and the factory column's spin edits.
    m_options[kOptionFlagCount - 1]->hide();
    m_factoryImage->hide();
    m_factoryCleaning->hide();
    m_factorySkipped->hide();

    m_boardType->setEnabled(false);
    m_displayType->setEnabled(false);
    for (QCheckBox* box : m_security)
        box->setEnabled(false);
    m_displayLanguage->setEnabled(m_slotEnabled[kPosDisplay] &&
                                  m_displayType->currentIndex() == kDisplayTypeWithLanguage);
}

void CSubDlgVELA::ApplySlotEnabling() {
    for (int i = 0; i < kParamSlotCount; ++i)
        m_slotEnabled[i] = i < m_positionCount;
    for (int i = 0; i < kParamSlotCount; ++i)
        for (QWidget* w : m_controls.widgets(i))
            w->setEnabled(m_slotEnabled[i]);
    UpdateControls();
}

void CSubDlgVELA::ToggleExpanded() {
    m_expanded = !m_expanded;
    m_rightPart->setVisible(m_expanded);
    UpdateControls();
    m_expand->setText(m_expanded ? QStringLiteral("<") : QStringLiteral(">"));
    adjustSize();
    emit layoutChanged();
}

// ---- Input rules -------------------------------------------------------------------------

void CSubDlgVELA::ConnectInputRules() {
    for (CSpinEdit* edit : {m_xStart, m_yStart, m_yEnd}) {
        connect(edit, &CSpinEdit::changed, m_preview, &CCardPreview::Repaint);
        connect(edit, &CSpinEdit::valueCommitted, m_preview, &CCardPreview::Repaint);
    }
    connect(m_yScale, &CSpinEdit::changed, m_preview, &CCardPreview::Rescale);
    connect(m_yScale, &CSpinEdit::valueCommitted, m_preview, &CCardPreview::Repaint);
    // A committed Y End Position gives Y Scale = 3 x Y End - 8.
    connect(m_yEnd, &CSpinEdit::valueCommitted, this, [this] {
        const long long end = parseLeadingInt(m_yEnd->text());
        m_yScale->setValue(saturate32(3 * end - 8));
        m_preview->Repaint();
    });
    connect(m_displayType, &QComboBox::activated, this, [this] { OnSlotChanged(m_displayType); });
}

void CSubDlgVELA::OnSlotChanged(QWidget* control) {
    if (control == m_displayType) {
        if (m_displayType->currentIndex() < kDisplayTypeWithLanguage)
            m_displayLanguage->setCurrentIndex(0);
        UpdateControls();
    }
}

void CSubDlgVELA::keyPressEvent(QKeyEvent* event) {
    // Enter never reaches a default button: spin edits commit on their own, other slot
    // controls take it as their change notification.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (QWidget* focus = focusWidget())
            OnSlotChanged(focus);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- Identity texts ----------------------------------------------------------------------

QString CSubDlgVELA::SerialText() const {
    return m_serial->text();
}
QString CSubDlgVELA::HeadSerialText() const {
    return m_headSerial->text();
}
QString CSubDlgVELA::HeadResisterText() const {
    return m_headResister->text();
}
void CSubDlgVELA::SetSerialText(const QString& text) {
    m_serial->setText(text);
}
void CSubDlgVELA::SetHeadSerialText(const QString& text) {
    m_headSerial->setText(text);
}
void CSubDlgVELA::SetHeadResisterText(const QString& text) {
    m_headResister->setText(text);
}

void CSubDlgVELA::ResetUserCounters() {
    m_userImage->setText(QStringLiteral("0"));
    for (QLineEdit* e : m_userHidden)
        e->setText(QStringLiteral("0"));
}
