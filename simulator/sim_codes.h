#pragma once
// Result codes the simulated SDK returns (0 = success). Documented in docs/simulator.md.

#include "vela_platform.h"

namespace sim {

constexpr VelaResult Code(unsigned value) {
    return static_cast<VelaResult>(value);
}

inline constexpr VelaResult kOk = 0;
inline constexpr VelaResult kErrDeviceNotFound = Code(0x80000002);  // no device of that name
inline constexpr VelaResult kErrEmptyDeviceName = Code(0x80000003);
inline constexpr VelaResult kErrWrongPassword = Code(0x80000005);
inline constexpr VelaResult kErrBadHandle = Code(0x80000006);    // not an open connection
inline constexpr VelaResult kErrTagMismatch = Code(0x8000000D);  // digest does not match
inline constexpr VelaResult kErrNotSupported = Code(0x80000010);
inline constexpr VelaResult kErrBadArgument = Code(0x80000057);
inline constexpr VelaResult kErrBufferTooSmall = Code(0x8000007A);
inline constexpr VelaResult kErrNoModule = Code(0x80000300);   // module id not in the chain
inline constexpr VelaResult kErrNoCard = Code(0x80000301);     // no card where the move starts
inline constexpr VelaResult kErrBusy = Code(0x80000302);       // module still running a command
inline constexpr VelaResult kErrPreempted = Code(0x80000303);  // another holder has the token
inline constexpr VelaResult kErrHopperEmpty = Code(0x80000304);
inline constexpr VelaResult kErrNotPreempted = Code(0x80000305);  // wrong or no token
inline constexpr VelaResult kErrJammed = Code(0x80000306);        // a card jam until cleared
inline constexpr VelaResult kErrCoverOpen = Code(0x80000307);     // the printer's cover is open
inline constexpr VelaResult kErrNoDocument = Code(0x80000310);
inline constexpr VelaResult kErrBadDocument = Code(0x80000311);
inline constexpr VelaResult kErrNoPage = Code(0x80000312);        // no such page (print data)
inline constexpr VelaResult kErrNoJob = Code(0x80000313);         // the printer's queue is empty
inline constexpr VelaResult kErrBadPrintData = Code(0x80000314);  // not print data of ours
inline constexpr VelaResult kErrBadPicture = Code(0x80000315);    // a picture cannot be read
inline constexpr VelaResult kErrRibbon = Code(0x80000320);
inline constexpr VelaResult kErrTimeout = Code(0x80000330);
inline constexpr VelaResult kErrNoStation = Code(0x80000340);  // the module lacks that station
inline constexpr VelaResult kErrNoContact = Code(0x80000341);  // IC head not down
inline constexpr VelaResult kErrNoChip = Code(0x80000342);     // no chip at the station answers
inline constexpr VelaResult kErrFieldOff = Code(0x80000343);   // contactless field off
inline constexpr VelaResult kErrNoScanner = Code(0x80000344);  // the module has no scanner
inline constexpr VelaResult kErrNoScan = Code(0x80000345);     // the scanner holds no scan yet
inline constexpr VelaResult kErrFileWrite = Code(0x80000346);  // a file could not be written
// Magnetic encoders.
inline constexpr VelaResult kErrNoEncoder = Code(0x80000360);     // the module has no encoder
inline constexpr VelaResult kErrNotAtEncoder = Code(0x80000361);  // card not at the position
inline constexpr VelaResult kErrTrackData = Code(0x80000362);     // data does not fit the track
inline constexpr VelaResult kErrNoTrackData = Code(0x80000363);   // nothing handed for a track
inline constexpr VelaResult kErrBlankTrack = Code(0x80000364);    // nothing on the track
inline constexpr VelaResult kErrKeyMismatch = Code(0x80000365);   // not the key it was written with
inline constexpr VelaResult kErrNotRead = Code(0x80000366);       // track not read or not fetched

}  // namespace sim
