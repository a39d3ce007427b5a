#include "velasim_client.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "sim_socket_folder.h"

namespace velasim {

namespace {

constexpr size_t kMaxLineBytes = 64u << 20;  // an answer line longer than this is broken
constexpr size_t kReadChunk = 64 * 1024;

// A connected local socket, or -1 with errno set.
int ConnectTo(const std::string& path) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool ProcessEnded(pid_t pid) {
    return kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

Search FindSimulators(const std::string& folder) {
    Search search;
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 && errno == ENOENT)
        return search;  // no simulator has opened an endpoint yet
    if (std::string problem = CheckPrivateFolder(folder); !problem.empty()) {
        search.problem = problem;
        return search;
    }
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        search.problem = folder + ": " + std::strerror(errno);
        return search;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t pid = PidOfSocketName(name);
        if (pid == 0)
            continue;
        const std::string path = folder + "/" + name;
        const int fd = ConnectTo(path);
        if (fd >= 0) {
            close(fd);
            search.live.push_back({pid, path});
            continue;
        }
        const int error = errno;
        if (error != ECONNREFUSED && error != ENOENT) {
            search.notes.push_back("process " + std::to_string(pid) +
                                   " does not answer: " + std::strerror(error));
        } else if (ProcessEnded(pid)) {
            unlink(path.c_str());
            search.notes.push_back("removed the socket of process " + std::to_string(pid) +
                                   ", which has ended");
        } else if (error == ECONNREFUSED) {
            search.notes.push_back("process " + std::to_string(pid) +
                                   " has a socket but does not listen on it");
        }
    }
    closedir(dir);
    std::sort(search.live.begin(), search.live.end(),
              [](const Endpoint& a, const Endpoint& b) { return a.pid < b.pid; });
    return search;
}

Connection::~Connection() {
    if (m_fd >= 0)
        close(m_fd);
}

bool Connection::Open(const std::string& path, std::string& error) {
    m_fd = ConnectTo(path);
    if (m_fd < 0)
        error = path + ": " + std::strerror(errno);
    return m_fd >= 0;
}

bool Connection::Send(const std::string& line) {
    const std::string data = line + '\n';
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(m_fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

Connection::Got Connection::ReadLine(std::string& line, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const size_t end = m_buffer.find('\n'); end != std::string::npos) {
            line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return Got::kLine;
        }
        if (m_buffer.size() > kMaxLineBytes)
            return Got::kClosed;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return Got::kTimeout;
        pollfd p{m_fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Got::kClosed;
        if (ready == 0)
            return Got::kTimeout;
        char chunk[kReadChunk];
        const ssize_t n = recv(m_fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Got::kClosed;
        m_buffer.append(chunk, static_cast<size_t>(n));
    }
}

}  // namespace velasim
