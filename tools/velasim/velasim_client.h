#pragma once
// The velasim program's side of the control endpoint: finding the simulators that run (one
// socket per process in the private socket folder) and talking to one of them line by line.

#include <sys/types.h>

#include <string>
#include <vector>

namespace velasim {

// A simulator that answers on its socket.
struct Endpoint {
    pid_t pid = 0;
    std::string path;
};

struct Search {
    std::vector<Endpoint> live;      // by pid
    std::vector<std::string> notes;  // dead sockets found (and removed when their process ended)
    std::string problem;             // the folder is not private: nothing in it was used
};

// The simulators with a socket in `folder`. A socket nobody listens on is removed when its
// process has ended, and only noted when the process still exists.
Search FindSimulators(const std::string& folder);

class Connection {
public:
    enum class Got { kLine, kTimeout, kClosed };

    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects to a simulator's socket; false, with the reason, when nobody listens there.
    bool Open(const std::string& path, std::string& error);
    // Sends one line (the line end is added); false when the simulator is gone.
    bool Send(const std::string& line);
    // The next line without its line end, waiting at most `timeoutMs`.
    Got ReadLine(std::string& line, int timeoutMs);

private:
    int m_fd = -1;
    std::string m_buffer;
};

}  // namespace velasim
