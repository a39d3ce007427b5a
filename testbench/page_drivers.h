#pragma once
// The driver interfaces of the pages that others drive: the batch run drives the Move and
// Magnetic pages, macro playback the Move page. A driver sets the page's controls by value and
// runs its commands through the same handlers as their buttons, on the GUI thread; the caller
// judges each command by the page's last result afterwards.
//
// A page implements its driver next to its frame (CSubDlgBase); where a driver member has the
// frame's name (LastResult, MessageBuffer, ...), the page overrides it by forwarding to the
// frame.

#include <QString>

#include <cstdint>

class MovePageDriver {
public:
    virtual ~MovePageDriver() = default;

    // Each setter selects an entry of its selector by item value, searching from the last entry
    // to the first; false, with the selection unchanged, when no entry carries the value.
    virtual bool SetCurrentModule(std::uint8_t id) = 0;       // "Curr. Card Module :"
    virtual bool SetHopperLine(std::uint32_t value) = 0;      // the hopper selector beside it
    virtual bool SetMoveDestination(std::uint8_t id) = 0;     // "Card Move" "to"
    virtual bool SetEjectTarget(std::uint8_t id) = 0;         // "Card Eject" "to"
    virtual bool SetHopLine(std::uint32_t value) = 0;         // "Hop. Line"
    virtual bool SetEjectDirection(std::uint32_t value) = 0;  // "Eject Dir"

    // "Card Move" and "Card Eject" as the command their button sends: recorded while the main
    // window records a macro, performed otherwise. They run whatever the button's enabled
    // state, and always leave a fresh last result.
    virtual void RunCardMove() = 0;
    virtual void RunCardEject() = 0;

    virtual std::uint32_t LastResult() const = 0;
};

class MagneticPageDriver {
public:
    // The four tracks of each side, in the page's order.
    enum Track { kTrack1 = 0, kTrack2, kTrack3, kTrackJis, kTrackCount };

    virtual ~MagneticPageDriver() = default;

    // "Set Coercivity", "Auto Write" and "Auto Read" as the command their button sends.
    virtual void RunSetCoercivity() = 0;
    virtual void RunAutoWrite() = 0;
    virtual void RunAutoRead() = 0;

    // The write-side and read-side track check boxes ("ISO Track 1" ... "JIS") and data boxes.
    virtual bool WriteTrackChecked(Track track) const = 0;
    virtual bool ReadTrackChecked(Track track) const = 0;
    virtual QString WriteTrackData(Track track) const = 0;
    virtual QString ReadTrackData(Track track) const = 0;

    // Whether the last Auto Read / Auto Write needed a retry (autoReadRetried, autoWriteRetried).
    virtual bool AutoReadRetried() const = 0;
    virtual bool AutoWriteRetried() const = 0;

    // The frame's state the batch run reads and sets.
    virtual std::uint32_t LastResult() const = 0;
    virtual const QString& MessageBuffer() const = 0;
    virtual void ClearMessageBuffer() = 0;
    virtual void ReportMessage(std::uint32_t flags, const QString& text) = 0;
    virtual int Interactive() const = 0;
    virtual void SetInteractive(int interactive) = 0;
};
