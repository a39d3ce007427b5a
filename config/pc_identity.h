#pragma once
// The PC identity a printer is bound to: the hardware address of this PC's network adapter.

#include <QByteArray>

#include <functional>
#include <optional>

// The 6-byte hardware address of the first adapter that is not a loop-back and has a real
// 6-byte address; nothing when there is none.
std::optional<QByteArray> FirstAdapterAddress();

// Where the main window takes the address from (tests put in their own).
using AdapterAddressSource = std::function<std::optional<QByteArray>()>;

// The 8-byte block sent to the printer: the 6 address bytes, then 2 zero bytes.
QByteArray PcIdentityBlock(const QByteArray& address);
