#include "wait_service.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace halvard {

namespace {
WaitService::Handler& CurrentHandler() {
    static WaitService::Handler handler;
    return handler;
}
WaitService::Clock& CurrentClock() {
    static WaitService::Clock clock;
    return clock;
}
bool OnGuiThread() {
    auto* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}
}  // namespace

void WaitService::SetHandler(Handler handler) {
    CurrentHandler() = std::move(handler);
}

void WaitService::SetClock(Clock clock) {
    CurrentClock() = std::move(clock);
}

std::int64_t WaitService::NowMs() {
    if (CurrentClock())
        return CurrentClock()();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void WaitService::Wait(int ms) {
    if (CurrentHandler()) {
        CurrentHandler()(ms);
        return;
    }
    if (ms <= 0)
        return;
    if (OnGuiThread()) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        return;
    }
    QThread::msleep(static_cast<unsigned long>(ms));
}

bool WaitService::WaitFor(std::stop_token stop, int ms) {
    if (stop.stop_requested())
        return false;
    if (CurrentHandler()) {
        CurrentHandler()(ms);
        return !stop.stop_requested();
    }
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    bool stopped = wake.wait_for(lock, stop, std::chrono::milliseconds(ms), [] { return false; });
    // wait_for returns the predicate's value, which is false unless stop was requested.
    (void)stopped;
    return !stop.stop_requested();
}

void PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace halvard
