#include "worker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

bool OnGuiThread() {
    auto* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

// Carries one call to the thread of its context: created by the poster, moved to that thread,
// run and deleted there. The poster never touches it after posting.
class PostedCall final : public QObject {
public:
    static constexpr QEvent::Type kRun = QEvent::User;

    PostedCall(QObject* context, std::function<void()> call)
        : m_context(context), m_call(std::move(call)) {}

    // Called by the poster once the call and its event exist, before posting. The queue that
    // hands the event over locks in ways ThreadSanitizer does not see; this release, paired
    // with the acquire in event(), shows it that the receiver sees all the poster wrote.
    void Publish() { m_published.store(true, std::memory_order_release); }

    bool event(QEvent* e) override {
        if (!m_published.load(std::memory_order_acquire) || e->type() != kRun)
            return QObject::event(e);
        if (m_context != nullptr)
            m_call();
        m_call = nullptr;
        deleteLater();
        return true;
    }

private:
    QPointer<QObject> m_context;
    std::function<void()> m_call;
    std::atomic<bool> m_published{false};
};

}  // namespace

void PostToThreadOf(QObject* context, std::function<void()> call) {
    auto* posted = new PostedCall(context, std::move(call));
    posted->moveToThread(context->thread());
    auto* event = new QEvent(PostedCall::kRun);
    posted->Publish();
    QCoreApplication::postEvent(posted, event);
}

// What the thread shares with those waiting for its end.
struct Worker::State {
    std::mutex mutex;
    bool ended = false;
    // Event loops of the GUI thread waiting for the end; each is woken when the body returns.
    std::vector<QEventLoop*> waiters;
};

Worker::~Worker() {
    Stop();
}

void Worker::Start(Body body) {
    Stop();
    auto state = std::make_shared<State>();
    m_state = state;
    m_thread =
        std::make_unique<std::jthread>([body = std::move(body), state](std::stop_token stop) {
            body(stop);
            const std::lock_guard lock(state->mutex);
            state->ended = true;
            // By name: nothing of ours is handed to the GUI thread, so nothing is shared.
            for (QEventLoop* loop : state->waiters)
                QMetaObject::invokeMethod(loop, "quit", Qt::QueuedConnection);
        });
}

void Worker::RequestStop() {
    if (m_thread != nullptr)
        m_thread->request_stop();
}

bool Worker::Running() const {
    if (m_thread == nullptr)
        return false;
    const std::lock_guard lock(m_state->mutex);
    return !m_state->ended;
}

void Worker::Stop() {
    if (m_thread == nullptr) {
        if (std::shared_ptr<State> stopping = m_stopping)
            WaitForEnd(*stopping);
        return;
    }
    // Taken out first: whatever runs while this waits sees no worker to stop or to replace.
    const std::unique_ptr<std::jthread> thread = std::move(m_thread);
    const std::shared_ptr<State> state = std::move(m_state);
    m_stopping = state;
    thread->request_stop();
    WaitForEnd(*state);
    thread->join();
    if (m_stopping == state)
        m_stopping.reset();
}

void Worker::WaitForEnd(State& state) {
    // Off the GUI thread the caller's join is the wait.
    if (!OnGuiThread())
        return;
    QEventLoop loop;
    {
        const std::lock_guard lock(state.mutex);
        if (state.ended)
            return;
        state.waiters.push_back(&loop);
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    const std::lock_guard lock(state.mutex);
    state.waiters.erase(std::remove(state.waiters.begin(), state.waiters.end(), &loop),
                        state.waiters.end());
}

bool RunOnGuiThread(std::stop_token stop, QObject* context, const std::function<void()>& call) {
    Q_ASSERT_X(!OnGuiThread(), "RunOnGuiThread", "called on the GUI thread");
    if (OnGuiThread()) {
        call();
        return true;
    }
    enum class Phase { kQueued, kRunning, kDone, kDropped };
    struct Shared {
        std::mutex mutex;
        std::condition_variable_any changed;
        Phase phase = Phase::kQueued;
    };
    auto shared = std::make_shared<Shared>();
    PostToThreadOf(context, [shared, &call] {
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->phase == Phase::kDropped)
                return;  // the worker no longer waits: `call` may be gone
            shared->phase = Phase::kRunning;
        }
        call();
        {
            const std::lock_guard lock(shared->mutex);
            shared->phase = Phase::kDone;
        }
        shared->changed.notify_all();
    });

    std::unique_lock lock(shared->mutex);
    shared->changed.wait(lock, stop, [&] { return shared->phase == Phase::kDone; });
    if (shared->phase == Phase::kQueued) {
        shared->phase = Phase::kDropped;
        return false;
    }
    // Begun before the stop: it finishes on the GUI thread, which is not waiting for us.
    shared->changed.wait(lock, [&] { return shared->phase == Phase::kDone; });
    return true;
}
