#pragma once
// The magnetic batch run: card after card, feed a card from the input hopper, write and read the
// Magnetic page's tracks, compare what was written with what was read, eject the card, and count
// errors and retries. The run has a thread of its own but never calls the SDK itself: each step
// drives the Move and Magnetic pages through their drivers by a blocking call onto the GUI
// thread, so the pages' handlers (and the message boxes they show, which pause the run) stay on
// the GUI thread.
//
// Stopping is cooperative: a stop is seen between steps, a step not yet begun is dropped, and
// the thread is joined while the GUI thread keeps serving other events. Whether a run ends on
// its own or is stopped, it finishes the same way on the GUI thread: the pages' message buffers
// are emptied, a preemption token the run took is given back, and the final log line is written.

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <stop_token>

#include "vela_types.h"
#include "worker.h"

class PageHost;

// The batch record: what the run was started with.
struct BatchRecord {
    int total = 0;
    int current = 0;
    int errorCount = 0;
    int retryCount = 0;
    int retryLimit = 0;  // "Retry, If Error": kept with the run, the Magnetic page retries itself
    bool insertCard = false;
    bool ejectCard = false;
    bool promptErrors = false;
};

// What the run needs of the main window. Called on the GUI thread only.
class BatchWindow {
public:
    virtual ~BatchWindow() = default;
    // The pages, the log and the preemption token.
    virtual PageHost& Host() = 0;
    virtual const ConnectedModuleList& ModuleChain() const = 0;
    // The main window's "Request" and "Release" commands.
    virtual void RequestPreemption() = 0;
    virtual void ReleasePreemption() = 0;
    // The current-count box, and the "Error :" and "Retry :" counters.
    virtual void ShowIteration(int iteration) = 0;
    virtual void ResetCounters() = 0;
    virtual void CountError() = 0;
    virtual void CountRetry() = 0;
    virtual void Warn(const QString& text) = 0;
    // The run's thread has ended ("Iter Finished (for recv only)"); the window then stops the run.
    virtual void BatchThreadEnded() = 0;
};

class BatchRun {
public:
    BatchRun(BatchWindow& window, QObject* context);
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // Starts a run on its own thread.
    void Start(const BatchRecord& record);
    // A run was started and has not been finished.
    bool Active() const { return m_active; }

    enum class StopResult {
        kNone,      // no run was active
        kDeferred,  // asked from inside a step: the run ends when the step has returned
        kEnded,     // the thread has ended and the run is finished
    };
    // Ends the run. `terminated`: the user stopped it (its final line is "Terminate
    // ITERATION." unless it had already run to its end).
    StopResult Stop(bool terminated);

private:
    void Body(std::stop_token stop, BatchRecord record, int generation);
    // Runs `step` on the GUI thread and waits for it; false when the run is to stop (the step
    // was dropped, or a stop came while it ran).
    bool OnGui(std::stop_token stop, const std::function<void()>& step);
    void Finish(bool terminated);
    void Log(const QString& text);

    BatchWindow& m_window;
    QObject* m_context;
    Worker m_worker;
    // GUI thread only.
    bool m_active = false;
    bool m_terminated = false;
    bool m_acquiredToken = false;
    int m_inStep = 0;
    int m_generation = 0;
    // Written by the thread, read after it has been joined.
    bool m_completed = false;
};
