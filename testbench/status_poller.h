#pragma once
// The status polling thread: once a second it reads the state byte and status word of every
// shown module through the shared binding, renders the "Device Status" panel into an image and
// hands image and slots to the GUI thread. It stops cooperatively: the stop request is checked
// between SDK calls and cuts the wait short; while the GUI thread waits for a call in flight to
// end, the window keeps painting.

#include <QImage>
#include <QObject>
#include <QSize>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>

#include "status_decoding.h"
#include "worker.h"

class CVelaCommBinding;

using ModuleSlots = std::array<ModuleSlot, kModuleSlotCount>;

class StatusPoller final {
public:
    static constexpr int kPollIntervalMs = 1000;

    // Receives each cycle's image and slots on the GUI thread (the thread of `context`).
    using Sink = std::function<void(const QImage& image, const ModuleSlots& moduleSlots)>;

    StatusPoller(CVelaCommBinding& binding, QObject* context, Sink sink);
    ~StatusPoller();
    StatusPoller(const StatusPoller&) = delete;
    StatusPoller& operator=(const StatusPoller&) = delete;

    // Starts polling the given slots (stopping a running poll first).
    void Start(const ModuleSlots& moduleSlots, QSize panelSize);
    // Asks the thread to stop and waits for it. Results it posted before are dropped.
    void Stop();
    bool Running() const { return m_worker.Started(); }

    // Client size of the "Device Status" box the panel is rendered for (GUI thread).
    void SetPanelSize(QSize size);

    // Poll cycles completed by the current thread.
    int Cycles() const { return m_cycles.load(); }

private:
    void Run(std::stop_token stop, ModuleSlots moduleSlots, std::weak_ptr<unsigned> current,
             unsigned generation);

    CVelaCommBinding& m_binding;
    QObject* m_context;
    Sink m_sink;
    Worker m_worker;
    std::atomic<int> m_panelWidth{0};
    std::atomic<int> m_panelHeight{0};
    std::atomic<int> m_cycles{0};
    // Only results of the running generation are delivered; a stop bumps it. GUI thread only.
    std::shared_ptr<unsigned> m_generation = std::make_shared<unsigned>(0);
};
