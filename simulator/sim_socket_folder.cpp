#include "sim_socket_folder.h"

#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace velasim {

namespace {

constexpr mode_t kPrivateMode = 0700;
constexpr char kSocketSuffix[] = ".sock";

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string ModeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

}  // namespace

ControlSetting ReadControlSetting() {
    ControlSetting setting;
    setting.folder = DefaultFolder();
    const std::string value = Env(kControlVariable);
    const std::string lower = Lower(value);
    if (lower.empty() || lower == "0" || lower == "off" || lower == "no" || lower == "false")
        return setting;
    if (lower == "1" || lower == "on" || lower == "yes" || lower == "true") {
        setting.enabled = true;
    } else if (value.front() == '/') {
        setting.enabled = true;
        setting.folder = value;
    } else {
        setting.problem = std::string(kControlVariable) + "=\"" + value +
                          "\": give 1 or the absolute path of a folder";
    }
    return setting;
}

std::string DefaultFolder() {
    if (const std::string runtime = Env("XDG_RUNTIME_DIR"); !runtime.empty())
        return runtime + "/halvard-velasim";
    std::string temp = Env("TMPDIR");
    if (temp.empty())
        temp = "/tmp";
    return temp + "/halvard-velasim-" + std::to_string(geteuid());
}

std::string CheckPrivateFolder(const std::string& folder) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0)
        return folder + ": " + std::strerror(errno);
    if (S_ISLNK(info.st_mode))
        return folder + " is a symbolic link";
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a folder";
    if (info.st_uid != geteuid())
        return folder + " belongs to another user";
    if ((info.st_mode & 07777) != kPrivateMode)
        return folder + " has mode " + ModeText(info.st_mode) + ", not 0700";
    return {};
}

std::string MakePrivateFolder(const std::string& folder) {
    if (mkdir(folder.c_str(), kPrivateMode) == 0) {
        // The umask may have taken bits away; the folder is ours, so set exactly 0700.
        if (chmod(folder.c_str(), kPrivateMode) != 0)
            return folder + ": " + std::strerror(errno);
    } else if (errno != EEXIST) {
        return "cannot create " + folder + ": " + std::strerror(errno);
    }
    // An existing folder is never repaired: one that is not private may not be ours to trust.
    return CheckPrivateFolder(folder);
}

std::string SocketPath(const std::string& folder, pid_t pid) {
    std::string path = folder + "/" + std::to_string(pid) + kSocketSuffix;
    if (path.size() >= sizeof(sockaddr_un::sun_path))
        return {};
    return path;
}

pid_t PidOfSocketName(const std::string& name) {
    const std::string_view suffix(kSocketSuffix);
    if (name.size() <= suffix.size() || name.size() > suffix.size() + 9 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    pid_t pid = 0;
    for (size_t i = 0; i + suffix.size() < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

}  // namespace velasim
