// Decodes arbitrary module slots (ids, state bytes, status words) bit by bit and renders them
// into the "Device Status" panel at an arbitrary size.
#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "status_decoding.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kSlotBytes = 10;  // id, state, 8 status bytes
    if (size < 4)
        return 0;
    // Panel size first, kept to a panel's size so that a run stays quick.
    const int width = (data[0] | (data[1] << 8)) % 700 - 20;
    const int height = (data[2] | (data[3] << 8)) % 1400 - 20;
    data += 4;
    size -= 4;

    ModuleSlot moduleSlots[kModuleSlotCount]{};
    for (int i = 0; i < kModuleSlotCount && size >= kSlotBytes; ++i) {
        moduleSlots[i].id = data[0];
        moduleSlots[i].state = data[1];
        std::memcpy(&moduleSlots[i].status, data + 2, 8);
        data += kSlotBytes;
        size -= kSlotBytes;
    }

    for (const ModuleSlot& slot : moduleSlots) {
        FormatModuleName(slot.id);
        for (int bit = -1; bit <= 8; ++bit) {
            // Only bits 0-5 have texts, and only when set.
            const DecodedLine line = DescribeStateBit(slot.state, bit);
            if (!line.text.isEmpty() && (bit < 0 || bit > 5 || !(slot.state & (1u << bit))))
                std::abort();
            SeverityColor(line.severity);
            DescribeStateBit(moduleSlots, kModuleSlotCount, slot.id, bit);
        }
        for (int bit = -1; bit <= 64; ++bit) {
            const DecodedLine line = DescribeStatusBit(slot.id, slot.status, bit);
            if (!line.text.isEmpty() && (bit < 0 || bit > 63 || !(slot.status & vela::Bit(bit))))
                std::abort();
            if (line.severity < kSeverityPlain || line.severity > kSeverityFatal)
                std::abort();
            DescribeStatusBit(moduleSlots, kModuleSlotCount, slot.id, bit);
        }
    }

    const QSize groupSize(width, height);
    const QImage panel = RenderStatusPanel(moduleSlots, groupSize);
    const QRect area = StatusPanelArea(QRect(QPoint(0, 0), groupSize));
    if (area.isEmpty() ? !panel.isNull() : panel.size() != area.size())
        std::abort();
    return 0;
}
