#pragma once
// Base of every test page: the link to the main window (its PageHost interface, and through it
// the SDK binding), the last SDK result, the message-reporting rule shared by interactive use
// and batch runs, the "Curr. Card Module :" selector operations, the page's optional worker, and
// the small steps every page shares: a device call that keeps its result, the preemption check,
// error texts, bounded waits and the device-command log lines.

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <stop_token>
#include <utility>

#include "CVelaCommBinding.h"
#include "PageHost.h"
#include "vela_modules.h"
#include "vela_types.h"
#include "worker.h"

class QComboBox;

class CSubDlgBase : public QWidget {
    Q_OBJECT
public:
    // Control bits of ReportMessage's flags above the message-box style.
    static constexpr std::uint32_t kReportClearFirst = 0x80000000u;
    static constexpr std::uint32_t kReportAccumulate = 0x01000000u;
    static constexpr std::uint32_t kReportStyleMask = 0x00FFFFFFu;
    // Last results of commands refused by the page itself: no preemption token held ("Please,
    // Preemption First..."), and the all-ones code that a call without a device also yields
    // ("Preemption, First...").
    static constexpr std::uint32_t kNoPreemption = 0x80000353u;
    static constexpr std::uint32_t kFailed = 0xFFFFFFFFu;

    CSubDlgBase(int templateId, const QString& title, PageHost& host, QWidget* parent = nullptr);
    ~CSubDlgBase() override;

    int TemplateId() const { return m_templateId; }
    const QString& Title() const { return m_title; }
    PageHost& Host() const { return m_host; }

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
    // Stops the page's worker: asks it to stop, then waits for it to end while events other
    // than user input keep being processed. A worker that has already ended is only forgotten.
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
    // Selects the last entry of `box` whose item data equals `value`; false (selection
    // unchanged) when none does.
    static bool SelectByValue(QComboBox* box, int value);

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
    bool HasWorker() const { return m_worker.Started(); }
    bool WorkerRunning() const { return m_worker.Running(); }
    // Starts `body` as the page's worker (stopping any previous one). The body checks its stop
    // token between SDK calls and waits with WaitService::WaitFor.
    void StartWorkerThread(Worker::Body body);

    // ---- Shared steps of the pages ----

    // A device call through the host's binding, as binding.Device(slot, args...), whose result
    // becomes the page's last result. GUI thread.
    template <typename Slot, typename... Args>
    VelaResult Call(Slot slot, Args&&... args) {
        const VelaResult result = Binding().Device(slot, std::forward<Args>(args)...);
        m_lastResult = static_cast<std::uint32_t>(result);
        return result;
    }

    // The preemption check of the commands that need the token: true when one is held.
    // Otherwise the page shows its notice, stores the matching last result and returns false.
    enum class PreemptionNotice {
        kPleaseFirst,  // "Please, Preemption First...", information icon, kNoPreemption
        kFirst,        // "Preemption, First...", exclamation icon, kFailed
    };
    bool HavePreemption(PreemptionNotice notice = PreemptionNotice::kPleaseFirst);

    // An SDK code appended to a message text in one of the pages' forms.
    enum class ErrorForm {
        kParenthesised,      // "Error while CardMove... (error=0x80000302)"
        kParenthesisedBare,  // "Failed to Flip Card [61]... (error=80000302)"
        kDashed,             // "Failed - error : 0x80000302"
    };
    static QString ErrorText(const QString& text, std::uint32_t code,
                             ErrorForm form = ErrorForm::kParenthesised);
    // A warning box, whether or not the page is interactive.
    void Warn(const QString& text);

    // A bounded wait: evaluates `condition` every `periodMs` until it holds, `limitMs` have
    // passed on WaitService's clock, or a stop is asked for (the token, or `stopWhen` returning
    // true). The condition is evaluated at least once. A worker passes its stop token (its
    // pauses then end at once on a stop); on the GUI thread events other than user input are
    // processed during the pauses.
    enum class WaitResult { kHeld, kTimedOut, kStopped };
    static WaitResult WaitUntil(const std::function<bool()>& condition, int periodMs, int limitMs,
                                std::stop_token stop = {},
                                const std::function<bool()>& stopWhen = {});

    // The device-command lines of the log: "> COMMAND (mod:61) ... " or "> COMMAND ... ", then
    // LogResult's "OK\n" or "Failed (0x80000302)\n" (whose return says whether it was OK).
    void LogCommand(const QString& command, std::uint8_t module);
    void LogCommand(const QString& command);
    bool LogResult(VelaResult result);
    // Bytes as "%02X " pairs with the trailing blank trimmed: "3B 02 14".
    static QString HexBytes(std::span<const std::uint8_t> bytes);

    // The device information of an open device (reader names and printer id), read through the
    // SDK when it provides the call; all zero when it does not or when the call fails.
    DeviceInfo ReadDeviceInfo(const QString& deviceId) const;
    // Fills a "Reader :" list with the names that are not empty, with item values 1 and 2 by
    // their place, and selects the first.
    static void FillReaderList(QComboBox* list, const std::array<QString, 2>& names);

protected:
    void SetCurrentModuleSelector(QComboBox* selector) { m_currentModuleSelector = selector; }
    void paintEvent(QPaintEvent* event) override;

    CVelaCommBinding& Binding() const { return m_host.Binding(); }
    // A device is open; the main window records a macro.
    bool Connected() const { return Binding().IsConnected(); }
    bool Recording() const { return m_host.MacroRecording() != 0; }

    int m_templateId = 0;
    PageHost& m_host;
    std::uint32_t m_lastResult = 0;
    QString m_messageBuffer;
    int m_busy = 0;
    int m_interactive = 1;
    QComboBox* m_currentModuleSelector = nullptr;
    QString m_title;
    ConnectedModuleList m_modules{};
    Worker m_worker;
};
