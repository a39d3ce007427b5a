#pragma once
// Receiver of the card moves the Move page records instead of performing them while the main
// window's macro-recording flag is set.

#include <cstdint>

class MacroRecorder {
public:
    virtual ~MacroRecorder() = default;
    // One recorded move: the first module with its option (source module and hopper line, or
    // module and 0), then the second module with its option (destination and 0, or eject extra).
    virtual void AddRecordedMove(std::uint8_t firstModule, std::int32_t firstOption,
                                 std::uint8_t secondModule, std::int32_t secondOption) = 0;
};
