#include "pc_identity.h"

#include <QNetworkInterface>

#include <algorithm>

namespace {
constexpr int kAddressLength = 6;
constexpr int kBlockLength = 8;
}  // namespace

std::optional<QByteArray> FirstAdapterAddress() {
    for (const QNetworkInterface& adapter : QNetworkInterface::allInterfaces()) {
        if (adapter.flags().testFlag(QNetworkInterface::IsLoopBack))
            continue;
        // "AA:BB:CC:DD:EE:FF"; other kinds of address (tunnels, none at all) do not qualify.
        const QByteArray address =
            QByteArray::fromHex(adapter.hardwareAddress().toLatin1().replace(':', ""));
        if (address.size() != kAddressLength)
            continue;
        if (std::all_of(address.begin(), address.end(), [](char b) { return b == 0; }))
            continue;
        return address;
    }
    return std::nullopt;
}

QByteArray PcIdentityBlock(const QByteArray& address) {
    QByteArray block(kBlockLength, '\0');
    std::copy_n(address.constData(), std::min<qsizetype>(address.size(), kAddressLength),
                block.data());
    return block;
}
