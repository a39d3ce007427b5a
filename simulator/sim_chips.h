#pragma once
// The chip stations: the contact IC head with the chip's power, the contactless reader with its
// field and the Mifare commands of its transparent channel, the card positions that bring a card
// to them, and the reader names the device information shows.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

#include "sim_fields.h"
#include "sim_model.h"

namespace sim {

// Card positions inside a module (Vela_CardMovePosition).
inline constexpr int kIcPosition = 2;
inline constexpr int kRfPosition = 3;
inline constexpr int kRestorePosition = 4;
// The sensor option of Vela_CardMoveSensor that brings a printer's card over its contactless
// reader (its right sensor).
inline constexpr int kRfSensor = 3;

// The readers of the device information, in its order: contact IC, SIM, contactless of the
// printer, contactless of the flipper.
enum ReaderIndex : int { kIcReader, kSimReader, kRfReader, kRfReader2, kReaderCount };
// The names the device information carries: those the scenario declares, the others from the
// stations fitted (empty when there is no such station).
std::array<QString, kReaderCount> ReaderNames(const Device& d);
// The device field "readers": {"ic": ..., "sim": ..., "rf": ..., "rf2": ...}.
Field<Device> ReadersField();

// Whether module `m` has the station a position needs: kErrNoStation when it lacks it.
VelaResult CheckPosition(const Module& m, int position);
// The card in `m` goes to `position`; leaving a station drops chip power and authentication.
void PlaceCard(Device& d, Module& m, int position);

// The contactless reader's answer to one frame of its transparent channel (field on): a status
// byte, the data, then the status word (0x90 0x00 on success).
QByteArray RfRespond(Device& d, Module& m, const std::uint8_t* frame, int length);

// The bytes of a frame that the call log must not show: the key of an authentication frame, the
// data of a write to a sector trailer (which holds the keys).
struct SecretRange {
    int from = 0;
    int count = 0;
};
SecretRange RfFrameSecret(const std::uint8_t* frame, int length);

}  // namespace sim
