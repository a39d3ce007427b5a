#include "status_poller.h"

#include "CVelaCommBinding.h"
#include "wait_service.h"

StatusPoller::StatusPoller(CVelaCommBinding& binding, QObject* context, Sink sink)
    : m_binding(binding), m_context(context), m_sink(std::move(sink)) {}

StatusPoller::~StatusPoller() {
    Stop();
}

void StatusPoller::SetPanelSize(QSize size) {
    m_panelWidth.store(size.width());
    m_panelHeight.store(size.height());
}

void StatusPoller::Start(const ModuleSlots& moduleSlots, QSize panelSize) {
    Stop();
    SetPanelSize(panelSize);
    m_cycles.store(0);
    const unsigned generation = ++*m_generation;
    std::weak_ptr<unsigned> current = m_generation;
    m_worker.Start([this, moduleSlots, current, generation](std::stop_token stop) {
        Run(stop, moduleSlots, current, generation);
    });
}

void StatusPoller::Stop() {
    if (!m_worker.Started())
        return;
    // Results still queued, or posted while the thread ends, are dropped from here on.
    ++*m_generation;
    m_worker.Stop();
}

void StatusPoller::Run(std::stop_token stop, ModuleSlots moduleSlots,
                       std::weak_ptr<unsigned> current, unsigned generation) {
    // The generation counter is only read on the GUI thread, inside the posted call.
    while (!stop.stop_requested()) {
        for (ModuleSlot& slot : moduleSlots) {
            if (stop.stop_requested())
                return;
            if (slot.id == 0)
                continue;
            // A failing call leaves the slot's previous value.
            std::uint8_t state = slot.state;
            if (m_binding.Device(m_binding.Vela_GetModuleState, slot.id, &state) == 0)
                slot.state = state;
            if (stop.stop_requested())
                return;
            std::uint64_t status = slot.status;
            if (m_binding.Device(m_binding.Vela_GetStatus, slot.id, &status) == 0)
                slot.status = status;
        }
        if (stop.stop_requested())
            return;
        const QSize size(m_panelWidth.load(), m_panelHeight.load());
        QImage image = RenderStatusPanel(moduleSlots.data(), size);
        PostToThreadOf(m_context,
                       [sink = m_sink, current, generation, image = std::move(image), moduleSlots] {
                           auto live = current.lock();
                           if (live && *live == generation)
                               sink(image, moduleSlots);
                       });
        m_cycles.fetch_add(1);
        if (!halvard::WaitService::WaitFor(stop, kPollIntervalMs))
            return;
    }
}
