#pragma once
// Receiver of the card moves the Move page records instead of performing them while the main
// window's macro-recording flag is set.

#include <cstdint>

class MacroRecorder {
public:
    virtual ~MacroRecorder() = default;
    // One recorded move: the first module with its option (source module and hopper line, or
    // module and 0), then the second module with its option (destination and 0, or eject target
    // and line with direction).
    virtual void AddRecordedMove(std::uint8_t firstModule, std::uint32_t firstOption,
                                 std::uint8_t secondModule, std::uint32_t secondOption) = 0;
};
