#pragma once
// Base of every test page: the link to the main window (and through it the SDK binding), the
// last SDK result, the message-reporting rule shared by interactive use and batch runs, the
// "Curr. Card Module :" selector operations and the page's optional worker thread.

#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

#include "vela_types.h"

class QComboBox;
class CHalvardTestDlg;

class CSubDlgBase : public QWidget {
    Q_OBJECT
public:
    // Control bits of ReportMessage's flags above the message-box style.
    static constexpr std::uint32_t kReportClearFirst = 0x80000000u;
    static constexpr std::uint32_t kReportAccumulate = 0x01000000u;
    static constexpr std::uint32_t kReportStyleMask = 0x00FFFFFFu;
    static constexpr std::uint8_t kNoModule = 0xFF;

    CSubDlgBase(int templateId, const QString& title, CHalvardTestDlg* mainWindow,
                QWidget* parent = nullptr);
    ~CSubDlgBase() override;

    int TemplateId() const { return m_templateId; }
    const QString& Title() const { return m_title; }
    CHalvardTestDlg* MainWindow() const { return m_mainWindow; }

    // Called on every page, in page order, right after a successful connect.
    virtual void OnDeviceConnected(const QString& deviceId) = 0;
    // Called on every page at the start of a disconnect, before the device is closed.
    virtual void OnDeviceDisconnected() = 0;
    // Called after each connect with the module chain; the base keeps a copy. Overrides must
    // call the base (or copy themselves).
    virtual void OnModulesChanged(const ConnectedModuleList& modules);
    // Called on every page each time the tab selection changes.
    virtual void OnPageShown() = 0;
    // True when a batch run starts this page's own worker instead of the common batch loop.
    virtual bool RunsOwnBatch() const { return false; }
    virtual void StartWorker() {}
    // Stops the page's worker: asks it to stop, then waits for it to end. Events other than
    // user input keep being processed meanwhile, so a worker that waits for the GUI thread
    // can finish. A worker that has already ended is only forgotten.
    virtual void StopWorker();

    // Shows `text` (joined to what has accumulated) in a box of style flags & 0xFFFFFF when the
    // page is interactive; otherwise accumulates it if bit 24 is set. Bit 31 empties the
    // buffer first.
    void ReportMessage(std::uint32_t flags, const QString& text);
    // An information box, or accumulation when not interactive.
    void ReportInfo(const QString& text);

    // Module id of the selected entry of the current-module selector; 0xFF when none.
    std::uint8_t GetCurrentModule() const;
    // Selects the last entry whose module id equals `id`; no match leaves the selection.
    void SelectCurrentModule(std::uint8_t id);

    std::uint32_t LastResult() const { return m_lastResult; }
    void SetLastResult(std::uint32_t result) { m_lastResult = result; }
    const QString& MessageBuffer() const { return m_messageBuffer; }
    void ClearMessageBuffer() { m_messageBuffer.clear(); }
    int Busy() const { return m_busy; }
    void SetBusy(int busy) { m_busy = busy; }
    int Interactive() const { return m_interactive; }
    void SetInteractive(int interactive) { m_interactive = interactive; }
    const ConnectedModuleList& Modules() const { return m_modules; }
    QComboBox* CurrentModuleSelector() const { return m_currentModuleSelector; }

    // Whether a worker was started and not yet stopped; whether it is still running.
    bool HasWorker() const { return m_workerThread != nullptr; }
    bool WorkerRunning() const { return m_workerThread != nullptr && !m_workerEnded->load(); }

    // Starts `body` as the page's worker (stopping any previous one). The body is expected to
    // check its stop token between SDK calls and to wait with WaitService::WaitFor.
    void StartWorkerThread(std::function<void(std::stop_token)> body);

protected:
    void SetCurrentModuleSelector(QComboBox* selector) { m_currentModuleSelector = selector; }
    void paintEvent(QPaintEvent* event) override;

    int m_templateId = 0;
    CHalvardTestDlg* m_mainWindow = nullptr;
    std::uint32_t m_lastResult = 0;
    QString m_messageBuffer;
    int m_busy = 0;
    int m_interactive = 1;
    QComboBox* m_currentModuleSelector = nullptr;
    QString m_title;
    ConnectedModuleList m_modules{};
    std::unique_ptr<std::jthread> m_workerThread;

private:
    std::shared_ptr<std::atomic<bool>> m_workerEnded = std::make_shared<std::atomic<bool>>(true);
};
