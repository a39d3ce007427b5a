#pragma once
// The test bench's main window: device list and connection, the module chain pictures, the
// "Device Status" panel fed by the polling thread, the preemption lock, manual mode, the batch
// controls, the log box and the tab control hosting the test pages.

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointer>

#include <array>
#include <cstdint>
#include <memory>

#include "CVelaCommBinding.h"
#include "PageHost.h"
#include "batch_run.h"
#include "status_decoding.h"
#include "status_poller.h"
#include "vela_types.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QWidget;
class CDlgMacroQuickRecord;
class CSubDlgBase;
class MacroRecorder;
class ModuleChainView;
class StatusPanelBox;

class CHalvardTestDlg final : public QDialog, public PageHost, private BatchWindow {
    Q_OBJECT
public:
    explicit CHalvardTestDlg(bool showExpert, QWidget* parent = nullptr);
    ~CHalvardTestDlg() override;

    // Runs the start-up sequence: title, SDK library, pictures, pages and tabs, posted
    // "Refresh". `libraryPath` overrides the program folder's library (tests).
    void Initialise(const QString& libraryPath = QString());

    // ---- Services for the pages and the batch loop (PageHost) ----
    CVelaCommBinding& Binding() override { return m_binding; }
    // From another thread the text is posted to the GUI thread.
    void AppendLogText(const QString& text) override;
    // The token shown in the preemption box, parsed as hexadecimal; 0xFFFF when it does not
    // parse.
    std::uint16_t GetPreemptionToken() const override;
    int MacroRecording() const override { return m_macroRecording; }
    void SetMacroRecording(int recording) override { m_macroRecording = recording; }
    MacroRecorder* QuickRecorder() const override;
    // Shows (placed left of the main window, vertically centred) or hides the quick-record window.
    void ShowQuickRecord(bool show) override;
    CSubDlgBase* FindPage(int templateId) const override;
    CDlgMacroQuickRecord* QuickRecordWindow() const { return m_quickRecord.get(); }

    // ---- State ----
    const QList<CSubDlgBase*>& Pages() const { return m_pages; }
    CSubDlgBase* SelectedPage() const;
    const ConnectedModuleList& Modules() const { return m_modules; }
    const std::array<ModuleSlot, kModuleSlotCount>& Slots() const { return m_slots; }
    const QString& DeviceId() const { return m_deviceId; }
    bool PollingActive() const { return m_poller.Running(); }
    int PollCycles() const { return m_poller.Cycles(); }
    int StatusImagesShown() const { return m_statusImagesShown; }
    ModuleChainView* ModuleView() const { return m_moduleView; }
    StatusPanelBox* StatusBox() const { return m_statusBox; }
    // Updates the enabled state of the batch controls.
    void UpdateBatchControls();
    // A batch run is going on (started and not yet finished).
    bool BatchRunning() const { return m_batchRun.Active(); }

public slots:
    void OnRefresh();
    void OnConnect();
    void OnRequestPreemption();
    void OnReleasePreemption();
    void OnCheckManualMode();
    void OnToggleManualMode();
    void OnBatch();
    // "Iter Finished (for recv only)": the batch thread has ended.
    void OnIterFinished();
    void OnTabSelected();
    // Ctrl+Alt+Shift+F10: shows or hides the Expert and Macro tabs.
    void ToggleExpertTabs();
    // Closing ends a running macro playback and stops a batch run first, so that neither goes
    // on unseen.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void CreatePages();
    void DestroyPages();
    // Points the quick-record window at the Macro page's list of recorded items.
    void ConnectQuickRecordToMacroPage();
    // Moves the quick-record window left of the main window, vertically centred on it.
    void PlaceQuickRecord();
    void Connect();
    void Disconnect();
    void Shutdown();
    void OnStatusPolled(const QImage& image, const ModuleSlots& moduleSlots);
    int TabOfPage(const CSubDlgBase* page) const;
    void AddPageTab(CSubDlgBase* page);

    // ---- Batch run ----
    // Stops a batch run (the thread, every page's worker) and gives the pages back their busy
    // and interactive flags. `terminated`: stopped by the user.
    void StopBatch(bool terminated);
    PageHost& Host() override { return *this; }
    const ConnectedModuleList& ModuleChain() const override { return m_modules; }
    void RequestPreemption() override { OnRequestPreemption(); }
    void ReleasePreemption() override { OnReleasePreemption(); }
    void ShowIteration(int iteration) override;
    void ResetCounters() override;
    void CountError() override;
    void CountRetry() override;
    void Warn(const QString& text) override;
    void BatchThreadEnded() override;

    bool m_showExpert = false;
    QFont m_logFont;
    CVelaCommBinding m_binding;
    ConnectedModuleList m_modules{};
    std::array<ModuleSlot, kModuleSlotCount> m_slots{};
    QString m_deviceId;
    StatusPoller m_poller;
    QList<CSubDlgBase*> m_pages;
    BatchRun m_batchRun{*this, this};
    // The page a batch run was started on, and its interactive flag before the run.
    QPointer<CSubDlgBase> m_batchPage;
    int m_batchPageInteractive = 1;
    bool m_batchOwnWorker = false;  // the page runs its own batch (no batch thread)
    int m_macroRecording = 0;
    std::unique_ptr<CDlgMacroQuickRecord> m_quickRecord;
    int m_statusImagesShown = 0;
    bool m_shutDown = false;
    bool m_changingTabs = false;

    QComboBox* m_deviceSelector = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_connect = nullptr;
    ModuleChainView* m_moduleView = nullptr;
    QPushButton* m_request = nullptr;
    QLineEdit* m_token = nullptr;
    QPushButton* m_release = nullptr;
    QPushButton* m_check = nullptr;
    QLineEdit* m_mode = nullptr;
    QPushButton* m_toggle = nullptr;
    QPushButton* m_batch = nullptr;
    QLineEdit* m_batchCurrent = nullptr;
    QLineEdit* m_batchTotal = nullptr;
    QCheckBox* m_insertCard = nullptr;
    QCheckBox* m_ejectCard = nullptr;
    QCheckBox* m_promptError = nullptr;
    QCheckBox* m_retryIfError = nullptr;
    QLineEdit* m_retryCount = nullptr;
    QLineEdit* m_errorCounter = nullptr;
    QLineEdit* m_retryCounter = nullptr;
    QPushButton* m_iterFinished = nullptr;
    QTabBar* m_tabs = nullptr;
    QWidget* m_pageArea = nullptr;
    QPlainTextEdit* m_log = nullptr;
    StatusPanelBox* m_statusBox = nullptr;
};
