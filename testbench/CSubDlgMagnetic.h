#pragma once
// The "Magnetic" test page: the magnetic stripe encoder of a printer module or of the laser
// unit. The engineer picks the encoder, mode, format, coercivity and tracks, runs each encoder
// step on its own or the combined Auto Read / Auto Write with retries, plain or with a key. The
// batch run drives the page through its driver.

#include <array>
#include <cstdint>
#include <functional>
#include <random>

#include "CSubDlgBase.h"
#include "magnetic_logic.h"
#include "page_drivers.h"
#include "page_ids.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CSubDlgMagnetic : public CSubDlgBase, public MagneticPageDriver {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kMagnetic;

    // Last result of "Set Coercivity" refused by the page: the value is out of range.
    static constexpr std::uint32_t kOutOfRange = 0x80000358;
    // Get Data's buffer, in characters.
    static constexpr int kGetBufferChars = 1025;
    // Set Data hands at most this many characters of a box.
    static constexpr int kSetDataMaxChars = 1024;
    // The pause between two attempts of Auto Read / Auto Write.
    static constexpr int kRetryPauseMs = 100;
    static constexpr int kUserCoercivityDefault = 800;

    explicit CSubDlgMagnetic(PageHost& host, QWidget* parent = nullptr);

    void OnDeviceConnected(const QString& deviceId) override;
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    void OnPageShown() override;

    // ---- Driver (batch run) ----
    void RunSetCoercivity() override { OnSetCoercivity(); }
    void RunAutoWrite() override { OnAutoWrite(); }
    void RunAutoRead() override { OnAutoRead(); }
    bool WriteTrackChecked(Track track) const override;
    bool ReadTrackChecked(Track track) const override;
    QString WriteTrackData(Track track) const override;
    QString ReadTrackData(Track track) const override;
    bool AutoReadRetried() const override { return autoReadRetried; }
    bool AutoWriteRetried() const override { return autoWriteRetried; }
    std::uint32_t LastResult() const override { return CSubDlgBase::LastResult(); }
    const QString& MessageBuffer() const override { return CSubDlgBase::MessageBuffer(); }
    void ClearMessageBuffer() override { CSubDlgBase::ClearMessageBuffer(); }
    void ReportMessage(std::uint32_t flags, const QString& text) override {
        CSubDlgBase::ReportMessage(flags, text);
    }
    int Interactive() const override { return CSubDlgBase::Interactive(); }
    void SetInteractive(int interactive) override { CSubDlgBase::SetInteractive(interactive); }

public slots:
    void OnMoveToMagPosition();
    void OnSetCoercivity();
    void OnMagRead();
    void OnFetchData();
    void OnGetData();
    void OnRandomFill();
    void OnSetData();
    void OnMagWrite();
    void OnAutoRead();
    void OnAutoWrite();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Step = void (CSubDlgMagnetic::*)();

    void BuildControls();
    // Enables the encoder controls when the selector lists an encoder.
    void EnableEncoderControls(bool enabled);
    void UpdateUserCurrent();
    void OnCoercivityChanged();
    void OnTrackToggled(std::array<QCheckBox*, magnetic::kTrackCount>& side, int track,
                        bool checked);
    void OnEncryptedToggled(bool checked);
    void OnHexKeyToggled(bool checked);
    void OnKeyEdited(const QString& text);
    // Leaving the user current box, and the key box in hexadecimal mode.
    void ValidateUserCurrent();
    void CanonicaliseKey();
    // Auto Read / Auto Write: the steps with up to the retry limit's further attempts.
    void RunAuto(bool& retried, std::initializer_list<Step> steps);
    // Get Data and Set Data: `transfer` moves one checked track of `side` (by index, in track
    // order) between its box and the encoder, with the key block when encrypted (else null).
    // The first failure ends the command with `failure`, its %1 the track's name.
    using TrackTransfer =
        std::function<VelaResult(std::uint8_t module, size_t track, const magnetic::KeyBlock* key)>;
    void TransferTracks(const std::array<QCheckBox*, magnetic::kTrackCount>& side,
                        const QString& failure, const TrackTransfer& transfer);

    int ReadMask() const;
    int WriteMask() const;
    int ModeValue() const;
    int FormatValue() const;
    magnetic::KeyBlock KeyBlock() const;
    bool Encrypted() const;
    // A failure of a step, kept in the message buffer when reports are not shown.
    void ReportFailure(const QString& text, VelaResult result);

    // Cleared when Auto Read / Auto Write starts, set when it retries.
    bool autoReadRetried = false;
    bool autoWriteRetried = false;

    std::mt19937 m_random;
    bool m_validating = false;

    QComboBox* m_currentModule = nullptr;
    QComboBox* m_mode = nullptr;
    QComboBox* m_format = nullptr;
    QComboBox* m_writeMode = nullptr;
    QLineEdit* m_currentRetry = nullptr;
    QLineEdit* m_retryLimit = nullptr;
    QPushButton* m_setCoercivity = nullptr;
    QComboBox* m_coercivity = nullptr;
    QLineEdit* m_userCurrent = nullptr;
    QPushButton* m_moveToMagPosition = nullptr;
    QCheckBox* m_encrypted = nullptr;
    QLineEdit* m_key = nullptr;
    QCheckBox* m_hexKey = nullptr;
    QLabel* m_keyPreview = nullptr;
    std::array<QCheckBox*, magnetic::kTrackCount> m_readTracks{};
    std::array<QLineEdit*, magnetic::kTrackCount> m_readData{};
    std::array<QLineEdit*, magnetic::kTrackCount> m_readLength{};
    std::array<QCheckBox*, magnetic::kTrackCount> m_writeTracks{};
    std::array<QLineEdit*, magnetic::kTrackCount> m_writeData{};
    std::array<QLineEdit*, magnetic::kTrackCount> m_writeLength{};
    QPushButton* m_magRead = nullptr;
    QPushButton* m_fetchData = nullptr;
    QPushButton* m_getData = nullptr;
    QPushButton* m_autoRead = nullptr;
    QPushButton* m_randomFill = nullptr;
    QPushButton* m_setData = nullptr;
    QPushButton* m_magWrite = nullptr;
    QPushButton* m_autoWrite = nullptr;
};
