#pragma once
// One guard that stands in for the user for the length of a test: it records and answers every
// message box, modal dialog and file dialog, makes waits instant, and restores the real services
// when it goes. Build one per test (a fixture member), before any window.

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "file_dialog_service.h"
#include "message_service.h"

namespace halvard::test {

struct ShownMessage {
    QString text;
    QString caption;
    unsigned style = 0;
};

class UiRecorder {
public:
    UiRecorder();
    ~UiRecorder();
    UiRecorder(const UiRecorder&) = delete;
    UiRecorder& operator=(const UiRecorder&) = delete;

    // ---- Message boxes: recorded; answered from `answers`, else OK (Yes for a Yes/No box).
    QList<ShownMessage> messages;
    std::deque<int> answers;
    QStringList MessageTexts() const;
    // Called with each box as it is shown (after it is recorded), e.g. to check state then.
    std::function<void(const ShownMessage&)> onMessage;

    // ---- Modal dialogs: `onDialog` plays the user's part and returns the result. Without it a
    // dialog is a test failure and is rejected.
    std::function<int(QDialog&)> onDialog;
    QStringList dialogTitles;

    // ---- File and folder dialogs: answered from `fileAnswers` ("" = cancelled); an empty queue
    // cancels and fails the test.
    std::deque<QString> fileAnswers;
    std::vector<FileDialogRequest> fileRequests;

    // ---- Waits. A wait on the GUI thread is instant: it advances the virtual clock that bounded
    // waits read (WaitService::NowMs) and is recorded. A wait on another thread runs
    // `workerWait` (default: a 1 ms real pause, so that workers never spin), then advances the
    // clock too.
    std::vector<int> guiWaits;  // GUI thread only
    int GuiWaitedMs() const;
    std::function<void(int ms)> workerWait;
    std::int64_t NowMs() const { return m_clock.load(); }
    void AdvanceClock(int ms) { m_clock.fetch_add(ms); }

private:
    std::atomic<std::int64_t> m_clock{1'000'000};
};

}  // namespace halvard::test
