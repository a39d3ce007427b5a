#pragma once
// The "Macro" test page: recording and playing back card moves. It owns the list of recorded
// steps, which the quick-record window fills while the Move page records, shows them as list
// lines, and plays them back through the Move page a chosen number of passes.
//
// Playback runs inside the play button's handler on the GUI thread and keeps the window alive by
// processing events after each step and inside each wait. A second press of the play button
// asks it to stop at the end of the pass; a disconnect, the window closing or the page going end
// it at once, before its next device call.

#include <QTimer>

#include <cstdint>
#include <memory>

#include "CSubDlgBase.h"
#include "macro_item.h"
#include "page_ids.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class MovePageDriver;

class CSubDlgMacro : public CSubDlgBase {
    Q_OBJECT
public:
    static constexpr int kTemplateId = page_id::kMacro;
    static constexpr int kDisplayTimerMs = 100;

    explicit CSubDlgMacro(PageHost& host, QWidget* parent = nullptr);
    ~CSubDlgMacro() override;

    void OnDeviceConnected(const QString& deviceId) override;
    // Ends a running playback at once: the device is about to close.
    void OnDeviceDisconnected() override;
    void OnModulesChanged(const ConnectedModuleList& modules) override;
    // The button states and the play button's caption.
    void OnPageShown() override;

    // The recorded steps, in recording order.
    MacroList& MacroItems() { return m_macroList; }
    const MacroList& MacroItems() const { return m_macroList; }

    bool Playing() const { return m_playing; }
    bool StopRequested() const { return m_stopRequested; }
    // Ends a running playback before its next device call (the main window is closing).
    void EndPlayback();

public slots:
    void OnMacroRecordStart();
    void OnMacroRecordStop();
    // Starts a playback, or asks the running one to stop at the end of its pass.
    void OnMacroPlayStart();

private:
    void BuildControls();
    // Writes the list lines of the steps recorded since the last tick into the list area.
    void OnDisplayTimer();
    // Empties the list area: no step is shown in it then.
    void ClearListArea();

    // The passes of a playback over `items`; returns when the playback is over or must end.
    void Play(int passes, const MacroList& items, const std::shared_ptr<bool>& alive);
    // Sets up the Move page for a step and sends it the step's command; false when the playback
    // must end.
    bool ReplayStep(const _tagMacroItem& item, const std::shared_ptr<bool>& alive);
    // Polls the step's modules until none is busy; false when the playback must end.
    bool WaitUntilIdle(const _tagMacroItem& item, const std::shared_ptr<bool>& alive);
    // Processes the waiting events; false when the playback must end (the page may be gone:
    // then nothing of it may be touched).
    bool Pump(const std::shared_ptr<bool>& alive);
    // Whether the playback may go on: the page still exists and nothing ended the playback.
    // Static, so that asking never touches a page that is gone: `page` is read only once
    // `alive` says it still exists.
    static bool GoOn(const std::shared_ptr<bool>& alive, const CSubDlgMacro* page) {
        return *alive && !page->m_ended;
    }
    MovePageDriver* MoveDriver() const;

    MacroList m_macroList;
    QTimer m_refreshTimer;
    bool m_playing = false;
    bool m_stopRequested = false;
    // When the stop was asked for, on WaitService's clock.
    std::int64_t m_stopAskedAtMs = 0;
    // The running playback must end before its next device call.
    bool m_ended = false;
    // Cleared when the page is destroyed; a playback holds a copy to notice that after events.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    // Steps already written into the list area.
    int m_shownCount = 0;
    // This page set the main window's recording flag.
    bool m_recordingStarted = false;

    QPushButton* m_recordStart = nullptr;
    QPushButton* m_recordStop = nullptr;
    QPushButton* m_playStart = nullptr;
    QLineEdit* m_currentPass = nullptr;
    QLineEdit* m_passes = nullptr;
    QPlainTextEdit* m_list = nullptr;
};
