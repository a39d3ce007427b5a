// The control endpoint's socket and listener thread: connections, request lines and the call log
// streamed to the clients that follow it. Answers come from sim_requests.cpp.

#include "sim_endpoint.h"

#include <QtGlobal>

#include "sim_state.h"

#if !defined(_WIN32)

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "sim_requests.h"
#include "sim_socket_folder.h"

namespace sim {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kMaxClients = 16;
constexpr int kBacklog = 8;
constexpr size_t kMaxRequestBytes = 64 * 1024;
constexpr size_t kMaxAnswerBacklog = 16u << 20;  // stop reading requests from a client past it
constexpr size_t kMaxFollowBacklog = 1u << 20;   // a slow follower misses lines past it
constexpr size_t kMaxPendingLines = 10000;
constexpr auto kIdleLimit = std::chrono::seconds(60);
constexpr size_t kReadChunk = 4096;
constexpr size_t kCompactBytes = 1u << 20;  // written output dropped from the buffer past it

void Warn(const std::string& text) {
    qWarning("velasim: control endpoint not opened: %s", text.c_str());
}

std::string DroppedLine(long long dropped) {
    return "{\"dropped\":" + std::to_string(dropped) + "}\n";
}

}  // namespace

struct ControlEndpoint::Client {
    int fd = -1;
    std::string in;
    std::string out;
    size_t sent = 0;        // bytes of `out` already written
    bool follow = false;    // streams the call log
    bool closing = false;   // closes once `out` is written
    long long dropped = 0;  // log lines a slow follower missed
    SteadyClock::time_point lastActive = SteadyClock::now();

    size_t Unsent() const { return out.size() - sent; }
    // A client is let go after a minute without progress, unless it follows a quiet log.
    bool MayIdle() const { return !follow || Unsent() > 0; }
};

std::unique_ptr<ControlEndpoint> ControlEndpoint::OpenIfAsked() {
    const velasim::ControlSetting setting = velasim::ReadControlSetting();
    if (!setting.problem.empty()) {
        Warn(setting.problem);
        return nullptr;
    }
    if (!setting.enabled)
        return nullptr;
    if (const std::string problem = velasim::MakePrivateFolder(setting.folder); !problem.empty()) {
        Warn(problem);
        return nullptr;
    }
    const std::string path = velasim::SocketPath(setting.folder, getpid());
    if (path.empty()) {
        Warn(setting.folder + ": the path is too long for a local socket");
        return nullptr;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        Warn(std::string("socket: ") + std::strerror(errno));
        return nullptr;
    }
    // A socket of an earlier process with the same pid can only be dead.
    unlink(path.c_str());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int wake[2] = {-1, -1};
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || listen(fd, kBacklog) != 0 ||
        pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        Warn(path + ": " + std::strerror(errno));
        close(fd);
        unlink(path.c_str());
        return nullptr;
    }
    return std::unique_ptr<ControlEndpoint>(new ControlEndpoint(fd, wake[0], wake[1], path));
}

ControlEndpoint::ControlEndpoint(int listenFd, int wakeRead, int wakeWrite, std::string path)
    : m_listen(listenFd), m_wakeRead(wakeRead), m_wakeWrite(wakeWrite), m_path(std::move(path)) {
    m_thread = std::thread([this] { Serve(); });
}

ControlEndpoint::~ControlEndpoint() {
    m_stop = true;
    Wake();
    m_thread.join();
    unlink(m_path.c_str());
    close(m_listen);
    close(m_wakeRead);
    close(m_wakeWrite);
}

void ControlEndpoint::Wake() {
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t n = write(m_wakeWrite, &byte, 1);
}

void ControlEndpoint::OnLogLine(const std::string& line) {
    if (m_followers.load(std::memory_order_relaxed) == 0)
        return;
    {
        std::lock_guard lock(m_pendingMutex);
        if (m_pending.size() >= kMaxPendingLines) {
            ++m_pendingDropped;
            return;
        }
        m_pending.push_back(line);
    }
    Wake();
}

void ControlEndpoint::Serve() {
    std::deque<Client> clients;
    std::vector<pollfd> fds;
    while (!m_stop) {
        fds.clear();
        fds.push_back({m_wakeRead, POLLIN, 0});
        const bool room = static_cast<int>(clients.size()) < kMaxClients;
        fds.push_back({m_listen, static_cast<short>(room ? POLLIN : 0), 0});
        // The time until the first idle client is let go.
        const auto now = SteadyClock::now();
        auto timeout = std::chrono::milliseconds(-1);
        for (const Client& c : clients) {
            short events = 0;
            if (!c.closing && c.Unsent() < kMaxAnswerBacklog)
                events |= POLLIN;
            if (c.Unsent() > 0)
                events |= POLLOUT;
            fds.push_back({c.fd, events, 0});
            if (c.MayIdle()) {
                const auto left = std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                                               c.lastActive + kIdleLimit - now),
                                           std::chrono::milliseconds(0));
                if (timeout.count() < 0 || left < timeout)
                    timeout = left;
            }
        }
        if (poll(fds.data(), fds.size(), static_cast<int>(timeout.count())) < 0 && errno != EINTR) {
            qWarning("velasim: control endpoint stopped: poll: %s", std::strerror(errno));
            break;
        }
        if (fds[0].revents != 0) {
            char drain[64];
            while (read(m_wakeRead, drain, sizeof drain) > 0) {
            }
        }
        if (m_stop)
            break;
        DeliverLogLines(clients);
        for (size_t i = 0; i < clients.size(); ++i) {
            Client& c = clients[i];
            const short revents = fds[i + 2].revents;
            bool alive = true;
            if (revents & (POLLIN | POLLHUP | POLLERR))
                alive = Read(c);
            if (alive && (revents & POLLOUT))
                alive = Write(c);
            if (alive && c.closing && c.Unsent() == 0)
                alive = false;
            if (alive && c.MayIdle() && SteadyClock::now() - c.lastActive >= kIdleLimit)
                alive = false;
            if (!alive)
                Drop(c);
        }
        std::erase_if(clients, [](const Client& c) { return c.fd < 0; });
        if (fds[1].revents & POLLIN)
            Accept(clients);
    }
    for (Client& c : clients)
        Drop(c);
}

void ControlEndpoint::Accept(std::deque<Client>& clients) {
    while (static_cast<int>(clients.size()) < kMaxClients) {
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        // The folder is private already; a peer of another user is refused all the same.
        ucred peer{};
        socklen_t size = sizeof peer;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != geteuid()) {
            close(fd);
            continue;
        }
        Client c;
        c.fd = fd;
        clients.push_back(std::move(c));
    }
}

// Reads what the client sent and answers every complete line; false when the client is gone.
bool ControlEndpoint::Read(Client& c) {
    char buffer[kReadChunk];
    bool ended = false;
    while (!c.closing && c.Unsent() < kMaxAnswerBacklog) {
        const ssize_t n = recv(c.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0) {
            ended = true;
            break;
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            if (errno == EINTR)
                continue;
            return false;
        }
        c.lastActive = SteadyClock::now();
        if (c.follow)
            continue;  // a follower only listens
        c.in.append(buffer, static_cast<size_t>(n));
        size_t end;
        while (!c.closing && !c.follow && (end = c.in.find('\n')) != std::string::npos) {
            std::string line = c.in.substr(0, end);
            c.in.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos)
                continue;
            Answer answer = AnswerRequest(line);
            c.out += answer.text;
            if (answer.after == AfterAnswer::kClose) {
                c.closing = true;
            } else if (answer.after == AfterAnswer::kFollowLog) {
                c.follow = true;
                ++m_followers;
            }
        }
        if (c.follow || c.closing) {
            c.in.clear();
        } else if (c.in.size() > kMaxRequestBytes) {
            c.out += "{\"ok\":false,\"error\":\"malformed request: line too long\"}\n";
            c.in.clear();
            c.closing = true;
        }
    }
    if (ended) {
        // The client sent everything it will send: a follower has left; others get the
        // answers still owed to them.
        if (c.follow || c.Unsent() == 0)
            return false;
        c.closing = true;
    }
    return true;
}

bool ControlEndpoint::Write(Client& c) {
    while (c.Unsent() > 0) {
        const ssize_t n =
            send(c.fd, c.out.data() + c.sent, c.Unsent(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            if (errno == EINTR)
                continue;
            return false;
        }
        c.sent += static_cast<size_t>(n);
        c.lastActive = SteadyClock::now();
    }
    if (c.sent == c.out.size() || c.sent > kCompactBytes) {
        c.out.erase(0, c.sent);
        c.sent = 0;
    }
    return true;
}

void ControlEndpoint::DeliverLogLines(std::deque<Client>& clients) {
    std::deque<std::string> lines;
    long long lost = 0;
    {
        std::lock_guard lock(m_pendingMutex);
        lines.swap(m_pending);
        std::swap(lost, m_pendingDropped);
    }
    if (lines.empty() && lost == 0)
        return;
    for (Client& c : clients) {
        if (!c.follow || c.closing)
            continue;
        // A quiet log is no idleness: the wait for the reader starts with the first new line.
        if (c.Unsent() == 0)
            c.lastActive = SteadyClock::now();
        c.dropped += lost;
        for (const std::string& line : lines) {
            if (c.Unsent() > kMaxFollowBacklog) {
                ++c.dropped;
                continue;
            }
            if (c.dropped > 0) {
                c.out += DroppedLine(c.dropped);
                c.dropped = 0;
            }
            c.out += line;
        }
    }
}

void ControlEndpoint::Drop(Client& c) {
    if (c.fd < 0)
        return;
    if (c.follow)
        --m_followers;
    close(c.fd);
    c.fd = -1;
}

}  // namespace sim

#else  // no local sockets: the endpoint is never opened

namespace sim {

std::unique_ptr<ControlEndpoint> ControlEndpoint::OpenIfAsked() {
    if (!qEnvironmentVariableIsEmpty("VELASIM_CONTROL"))
        qWarning("velasim: the control endpoint needs local sockets, which this build lacks");
    return nullptr;
}

ControlEndpoint::~ControlEndpoint() = default;

void ControlEndpoint::OnLogLine(const std::string&) {}

}  // namespace sim

#endif

namespace {

// Asked for, the endpoint opens as the library loads: the model, which owns it, is made now
// rather than at the first call.
[[maybe_unused]] const bool kOpenedAtLoad = [] {
    if (!qEnvironmentVariableIsEmpty("VELASIM_CONTROL"))
        sim::Simulator::Instance();
    return true;
}();

}  // namespace
