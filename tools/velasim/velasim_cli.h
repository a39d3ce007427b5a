#pragma once
// The velasim program: live control of a printer simulator running inside a program (or a test)
// that was started with VELASIM_CONTROL=1. Each command becomes one request to the simulator's
// control endpoint; the answer is shown the way command-line users expect.

#include <ostream>
#include <stop_token>
#include <string>
#include <vector>

namespace velasim {

enum ExitCode : int {
    kExitDone = 0,
    kExitRefused = 1,      // the simulator refused, or the device, module or export is unknown
    kExitUsage = 2,        // the command line is wrong
    kExitNoSimulator = 3,  // no simulator could be reached
};

// Runs one command line (the arguments after the program name), writing results to `out` and
// messages to `err`. A stop request ends "log --follow".
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        std::stop_token stop = {});

}  // namespace velasim
