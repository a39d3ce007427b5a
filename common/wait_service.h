#pragma once
// Every wait of both programs goes through here, so tests can make waits instant (or record
// them). On the GUI thread a wait keeps painting and timers alive but takes no user input; on a
// worker thread it can be cut short by a stop request.

#include <cstdint>
#include <functional>
#include <stop_token>

namespace halvard {

class WaitService {
public:
    // Receives every requested wait in milliseconds; replaces the real wait.
    using Handler = std::function<void(int ms)>;

    // Waits `ms` milliseconds. On the GUI thread events other than user input are processed
    // meanwhile.
    static void Wait(int ms);

    // Waits up to `ms` milliseconds on a worker thread; returns early (false) when `stop` is
    // requested, true when the whole time passed.
    static bool WaitFor(std::stop_token stop, int ms);

    static void SetHandler(Handler handler);  // empty restores real waits

    // Milliseconds on a monotonic clock, for bounded waits: the steady clock, or the clock a
    // test installs (typically one that each recorded wait advances).
    using Clock = std::function<std::int64_t()>;
    static std::int64_t NowMs();
    static void SetClock(Clock clock);  // empty restores the steady clock
};

// Removes and dispatches every pending event of the calling thread, then returns.
void PumpMessages();

}  // namespace halvard
