#pragma once
// The simulator's control endpoint: a local socket in a folder private to the user, through which
// the velasim program drives a running simulator while a real client uses it. It is opened only
// when VELASIM_CONTROL asks for it (read as the library loads) and served by a listener thread
// of its own, because a library loaded into a program cannot count on an event loop. That thread
// holds the model's lock no longer than one control call, and it is stopped and joined when the
// library unloads or the process exits. The protocol is in sim_requests.h.

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

class ControlEndpoint {
public:
    // The endpoint VELASIM_CONTROL asks for; null when it does not ask, or when the folder is
    // not private or the socket cannot be made (a warning says why).
    static std::unique_ptr<ControlEndpoint> OpenIfAsked();
    // Stops and joins the listener thread, closes every connection and removes the socket.
    ~ControlEndpoint();
    ControlEndpoint(const ControlEndpoint&) = delete;
    ControlEndpoint& operator=(const ControlEndpoint&) = delete;

    // A line of the call log as it is written, with the model's lock held: queued for the
    // clients that follow the log. Never blocks.
    void OnLogLine(const std::string& line);

    const std::string& SocketPath() const { return m_path; }

private:
    struct Client;
    ControlEndpoint(int listenFd, int wakeRead, int wakeWrite, std::string path);
    void Serve();
    void Wake();
    void Accept(std::deque<Client>& clients);
    bool Read(Client& client);
    bool Write(Client& client);
    void DeliverLogLines(std::deque<Client>& clients);
    void Drop(Client& client);

    int m_listen;
    int m_wakeRead;
    int m_wakeWrite;
    std::string m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_followers{0};
    std::mutex m_pendingMutex;  // guards the two below; taken under the model's lock
    std::deque<std::string> m_pending;
    long long m_pendingDropped = 0;
    std::thread m_thread;
};

}  // namespace sim
