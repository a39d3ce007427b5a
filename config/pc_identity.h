#pragma once
// The PC identity a printer is bound to: the hardware address of this PC's network adapter.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// What the choice of adapter looks at, one entry per network adapter of the system.
struct AdapterInfo {
    QString name;
    int index = 0;       // the system's interface index; the adapter list's order
    QByteArray address;  // hardware address bytes
    bool loopback = false;
    bool up = false;
    // Backed by a hardware device; unknown where the platform cannot tell.
    std::optional<bool> hardware;
};

// The adapter the system's adapter list would name first: in the order of the interface
// index, the first that is not a loop-back, has a non-zero 6-byte hardware address, is up and
// is not known to be virtual. Its address, or nothing when no adapter qualifies.
std::optional<QByteArray> ChooseAdapterAddress(std::vector<AdapterInfo> adapters);

// This system's adapters.
std::vector<AdapterInfo> SystemAdapters();

// ChooseAdapterAddress(SystemAdapters()).
std::optional<QByteArray> FirstAdapterAddress();

// Where the main window takes the address from (tests put in their own).
using AdapterAddressSource = std::function<std::optional<QByteArray>()>;

// The 8-byte block sent to the printer: the 6 address bytes, then 2 zero bytes.
QByteArray PcIdentityBlock(const QByteArray& address);
