#pragma once
// The printer configuration page hosted in the main window's tab control: identity, counters
// and the device parameter block of one printer, with Get Config, Set Config and its read-back
// check, defaults and printer-type presets, the configuration data file, the test print and the
// calibration preview.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

#include "ParamControls.h"
#include "param_model.h"

class ConfigHost;
namespace halvard {
class PrivateProfile;
}
class CCardPreview;
class CSpinEdit;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CSubDlgVELA : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxPresets = 10;
    static constexpr int kPresetCommandBase = 2000;
    static constexpr int kDeviceWaitMs = 100;
    static constexpr int kReadBackWaitMs = 1000;

    explicit CSubDlgVELA(ConfigHost& host, QWidget* parent = nullptr);
    ~CSubDlgVELA() override;

    // Folder holding "HalvardConfig.ini" (ending in a separator) for pages created from now
    // on; empty restores the program's folder.
    static void SetSettingsFolder(const QString& folder);
    static QString SettingsFolder();

    // Whether the page shows its right-hand part ("><").
    bool IsExpanded() const { return m_expanded; }

    // Refreshes the page's own enabled and visible states (run by the main window).
    void UpdateControls();

    // "Get Config.": reads identity, counters and the parameter block from the printer. Set
    // Config needs the last one to have been complete.
    void GetConfig();
    // A new connection: what was fetched belongs to another printer, or to none.
    void ForgetFetched();

    // Identity texts, used by the print-head replacement command.
    QString SerialText() const;
    QString HeadSerialText() const;
    QString HeadResisterText() const;
    void SetSerialText(const QString& text);
    void SetHeadSerialText(const QString& text);
    void SetHeadResisterText(const QString& text);
    void ResetUserCounters();

    // Commands, as their buttons run them.
    void SetConfig();
    void LoadDefault(const QString& section, bool prompt);
    void ToggleExpanded();
    void SaveToFile();
    void LoadFromFile();
    void PrintTestCard();

    // Page state for the tool's own checks.
    bool IsFetched() const { return m_fetched; }
    int PositionCount() const { return m_positionCount; }
    const param::DeviceParams& DeviceParams() const { return m_deviceParams; }
    QStringList PresetNames() const { return m_presetNames; }
    CCardPreview* Preview() const { return m_preview; }
    // write(path, prompt) and load(path) of the data file; see the .cpp.
    bool WriteFile(const QString& path, bool prompt);
    bool LoadFile(const QString& path);
    QString LoadedNotice() const { return m_loadedNotice; }

signals:
    // The page grew or shrank; the main window lays itself out again.
    void layoutChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Construction (CSubDlgVELA.cpp).
    QWidget* BuildHeader();
    QWidget* BuildCalibration();
    QWidget* BuildButtons();
    QWidget* BuildRightPart();
    QWidget* BuildFactoryColumn();
    CSpinEdit* AddSpin(QGridLayout* grid, int row, int column, const QString& label,
                       const char* name, int position);
    void ConnectInputRules();
    void CreatePresetButtons(const halvard::PrivateProfile& settings);
    void OnSlotChanged(QWidget* control);

    // Operations (CSubDlgVELA_config.cpp).
    // Shows the "Default-NN" values of `section`; `prompted`: position 12 takes the head
    // resistance just entered, and "Use V3 Ribbon Only" keeps its selection.
    void ApplyDefaults(const halvard::PrivateProfile& settings, const QString& section,
                       bool prompted);
    bool RunGetConfig();
    void SetFirmwareAndHeader(const QString& firmware, const QString& serial,
                              const QString& headSerial);
    void ApplySlotEnabling();
    QString IniPath() const;

    ConfigHost& m_host;
    ParamControls m_controls;
    param::DeviceParams m_deviceParams{};
    int m_positionCount = 0;
    bool m_fetched = false;
    bool m_expanded = false;
    std::array<bool, param::kParamSlotCount> m_slotEnabled{};
    QStringList m_presetNames;
    std::vector<QPushButton*> m_presetButtons;
    QString m_loadedFileName;
    QString m_loadedFirmware;
    QString m_loadedNotice;

    // Header.
    QLineEdit* m_firmware = nullptr;
    QLineEdit* m_serial = nullptr;
    QLineEdit* m_headSerial = nullptr;
    QLineEdit* m_headResister = nullptr;

    // Calibration.
    CCardPreview* m_preview = nullptr;
    CSpinEdit* m_xStart = nullptr;
    CSpinEdit* m_yStart = nullptr;
    CSpinEdit* m_yEnd = nullptr;
    CSpinEdit* m_yScale = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_expand = nullptr;

    // Buttons.
    QGridLayout* m_buttonGrid = nullptr;
    QPushButton* m_getConfig = nullptr;
    QPushButton* m_loadFromFile = nullptr;
    QPushButton* m_loadDefault = nullptr;
    QPushButton* m_setConfig = nullptr;
    QPushButton* m_saveToFile = nullptr;
    QPushButton* m_close = nullptr;

    // Right-hand part.
    QWidget* m_rightPart = nullptr;
    QGroupBox* m_totalGroup = nullptr;
    QGroupBox* m_userGroup = nullptr;
    QGroupBox* m_settingsGroup = nullptr;
    QLineEdit* m_totalImage = nullptr;
    QLineEdit* m_totalPanels = nullptr;
    QLineEdit* m_totalCleaning = nullptr;
    QLineEdit* m_totalSkipped = nullptr;
    QLineEdit* m_userImage = nullptr;
    QLineEdit* m_userCleaning = nullptr;
    QLineEdit* m_userSkipped = nullptr;
    // Hidden user fields (reset with the user counters).
    QLineEdit* m_userPanels = nullptr;
    std::array<QLineEdit*, 5> m_userHidden{};  // Magnetic, IC, SIM, External RF, Internal RF
    QLabel* m_ribbonPositionLabel = nullptr;
    QComboBox* m_boardType = nullptr;
    QComboBox* m_displayType = nullptr;
    QComboBox* m_displayLanguage = nullptr;
    std::array<QCheckBox*, 4> m_security{};
    std::array<QComboBox*, param::kOptionFlagCount> m_options{};
    std::array<QLabel*, param::kOptionFlagCount> m_optionLabels{};
    QComboBox* m_baudRate = nullptr;

    // Factory column, never visible: carries the factory counters and position 18.
    QWidget* m_factoryColumn = nullptr;
    CSpinEdit* m_factoryImage = nullptr;
    CSpinEdit* m_factoryPanels = nullptr;
    CSpinEdit* m_factoryCleaning = nullptr;
    CSpinEdit* m_factorySkipped = nullptr;
    QCheckBox* m_rewriteCard = nullptr;
    QCheckBox* m_certification = nullptr;
};
