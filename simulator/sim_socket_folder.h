#pragma once
// Where the simulator's control endpoint lives, shared by the simulator library and the velasim
// program: one local socket per process, named by its pid, in a folder private to the user.
// POSIX only; no Qt, so the command-line program needs nothing else from the simulator.

#include <sys/types.h>

#include <string>

namespace velasim {

inline constexpr char kControlVariable[] = "VELASIM_CONTROL";

// What VELASIM_CONTROL asks for.
struct ControlSetting {
    bool enabled = false;
    std::string folder;   // the socket folder (also when not enabled: where velasim looks)
    std::string problem;  // why a value that was set is not understood
};

// "1", "on", "yes" or "true": the default folder; an absolute path: that folder; unset, "",
// "0", "off", "no" or "false": no endpoint. Anything else is refused with a problem.
ControlSetting ReadControlSetting();

// $XDG_RUNTIME_DIR/halvard-velasim, else $TMPDIR (or /tmp)/halvard-velasim-<uid>.
std::string DefaultFolder();

// Creates `folder` (its parent must exist) with mode 0700, or accepts an existing one only when
// it is a folder, not a link, owned by this user, with mode 0700. Empty on success, otherwise
// what is wrong.
std::string MakePrivateFolder(const std::string& folder);
// The same check of an existing folder, creating nothing.
std::string CheckPrivateFolder(const std::string& folder);

// "<folder>/<pid>.sock"; empty when the path is too long for a local socket.
std::string SocketPath(const std::string& folder, pid_t pid);
// The pid a socket file name stands for ("1234.sock"); 0 when the name is none of ours.
pid_t PidOfSocketName(const std::string& name);

}  // namespace velasim
