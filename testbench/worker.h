#pragma once
// The test bench's one worker-thread type (status poll, positioning test, page and batch
// workers). A worker is stopped cooperatively, never killed: its body receives a stop token and
// checks it between SDK calls, and waits with WaitService::WaitFor so that a stop cuts the wait
// short. While the GUI thread waits for a worker to end, events other than user input keep
// being processed: the window keeps painting while an SDK call is in flight, and a worker that
// waits for the GUI thread (RunOnGuiThread) can finish.

#include <QObject>

#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

class Worker final {
public:
    using Body = std::function<void(std::stop_token stop)>;

    Worker() = default;
    // Stops and joins a running worker.
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Runs `body` on a new thread, after stopping any previous one.
    void Start(Body body);
    // Asks the worker to stop and returns at once.
    void RequestStop();
    // Asks the worker to stop and waits until it has ended, then forgets it. A worker that has
    // already ended is only forgotten. On the GUI thread, events other than user input are
    // processed meanwhile.
    void Stop();

    // Whether a worker was started and not yet stopped; whether its body is still running.
    bool Started() const { return m_thread != nullptr; }
    bool Running() const;

private:
    struct State;
    static void WaitForEnd(State& state);

    std::unique_ptr<std::jthread> m_thread;
    std::shared_ptr<State> m_state;
    // The worker a Stop() is waiting for; a nested Stop() (from an event processed meanwhile)
    // waits for it too.
    std::shared_ptr<State> m_stopping;
};

// Runs `call` later on the thread of `context` (from any thread), unless `context` is gone by
// then. The call and everything it holds are handed over whole and destroyed on that thread, so
// nothing the two threads share outlives the hand-over.
void PostToThreadOf(QObject* context, std::function<void()> call);

// For a worker: runs `call` on the GUI thread (in the thread of `context`) and waits until it
// has returned; true then. When a stop is requested before the call has begun, the call is
// dropped and the result is false, so a worker never deadlocks against a GUI thread that waits
// for it. A call that has begun runs to its end. Must not be called on the GUI thread.
bool RunOnGuiThread(std::stop_token stop, QObject* context, const std::function<void()>& call);
