#include "pc_identity.h"

#include <QFileInfo>
#include <QNetworkInterface>

#include <algorithm>

namespace {
constexpr int kAddressLength = 6;
constexpr int kBlockLength = 8;

// Whether an adapter is backed by a device. Linux lists every network device under
// /sys/class/net and gives the ones on a bus (PCI, USB, virtio) a "device" link; bridges,
// tunnels, veth pairs and the like have none. Elsewhere only an adapter the system calls
// virtual is known not to be hardware.
std::optional<bool> BackedByHardware(const QNetworkInterface& adapter) {
    if (adapter.type() == QNetworkInterface::Virtual)
        return false;
#if defined(Q_OS_LINUX)
    const QString folder = QStringLiteral("/sys/class/net/") + adapter.name();
    if (QFileInfo(folder).isDir())
        return QFileInfo::exists(folder + QStringLiteral("/device"));
#endif
    return std::nullopt;
}
}  // namespace

std::optional<QByteArray> ChooseAdapterAddress(std::vector<AdapterInfo> adapters) {
    std::stable_sort(adapters.begin(), adapters.end(),
                     [](const AdapterInfo& a, const AdapterInfo& b) { return a.index < b.index; });
    for (const AdapterInfo& adapter : adapters) {
        if (adapter.loopback || !adapter.up || adapter.hardware == false)
            continue;
        if (adapter.address.size() != kAddressLength ||
            std::all_of(adapter.address.begin(), adapter.address.end(),
                        [](char b) { return b == 0; }))
            continue;
        return adapter.address;
    }
    return std::nullopt;
}

std::vector<AdapterInfo> SystemAdapters() {
    std::vector<AdapterInfo> out;
    for (const QNetworkInterface& adapter : QNetworkInterface::allInterfaces()) {
        AdapterInfo info;
        info.name = adapter.name();
        info.index = adapter.index();
        // "AA:BB:CC:DD:EE:FF"; other kinds of address (tunnels, none at all) are other sizes.
        info.address = QByteArray::fromHex(adapter.hardwareAddress().toLatin1().replace(':', ""));
        info.loopback = adapter.flags().testFlag(QNetworkInterface::IsLoopBack) ||
                        adapter.type() == QNetworkInterface::Loopback;
        info.up = adapter.flags().testFlag(QNetworkInterface::IsUp);
        info.hardware = BackedByHardware(adapter);
        out.push_back(std::move(info));
    }
    return out;
}

std::optional<QByteArray> FirstAdapterAddress() {
    return ChooseAdapterAddress(SystemAdapters());
}

QByteArray PcIdentityBlock(const QByteArray& address) {
    QByteArray block(kBlockLength, '\0');
    std::copy_n(address.constData(), std::min<qsizetype>(address.size(), kAddressLength),
                block.data());
    return block;
}
