#pragma once
// The simulator loaded in this test process, whose control endpoint the test main asks for (in a
// private folder of this run); velasim's command line run against it in-process; and processes
// of this program in host mode, for what another process's environment asks for.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <streambuf>
#include <string>
#include <vector>

#include <QJsonDocument>
#include <QJsonObject>

#include <ostream>

#include "CVelaCommBinding.h"
#include "sim_control.h"

// Snapshots in failure messages as compact JSON.
inline void PrintTo(const QJsonObject& o, std::ostream* os) {
    *os << QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

namespace halvard::test {

inline constexpr char kHostSimulatorArgument[] = "--host-simulator";
inline constexpr char16_t kFirstDevice[] = u"[USB1] Halvard Card Printer";

// Host mode: loads the simulator, makes it build its model, says "ready" and waits until its
// input closes.
int HostSimulator();

struct CliResult {
    int code = -1;
    std::string out;
    std::string err;
};

// velasim's command line, run in this process against this process's simulator.
CliResult Velasim(const std::vector<std::string>& args, std::stop_token stop = {});

// Text written by one thread while another reads it.
class SharedText : public std::streambuf {
public:
    std::string Text() const;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

private:
    mutable std::mutex m_mutex;
    std::string m_text;
};

class VelasimTest : public ::testing::Test {
public:  // the table-driven cases reach the fixture through a reference
    void SetUp() override;
    void TearDown() override;

    void Connect(const char16_t* device = kFirstDevice);
    std::uint64_t Status(int module);
    std::uint8_t State(int module);
    // A move the test bench's Move page makes: from `source` into `destination`.
    VelaResult Move(int source, int destination);

    CVelaCommBinding b;
    std::unique_ptr<SimControl> sim;
};

// This test program started in host mode with its own environment.
class HostProcess {
public:
    explicit HostProcess(const QProcessEnvironment& environment);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool Ready() const { return m_ready; }
    qint64 Pid() const { return m_process.processId(); }
    // Closes its input and waits for it to end; its exit code.
    int Finish();
    QString Errors();

private:
    QProcess m_process;
    bool m_ready = false;
};

// The real velasim program, run with an environment; its exit code and output.
CliResult RunProgram(const QStringList& args, const QProcessEnvironment& environment);

// The environment of this process without the control variable, with XDG_RUNTIME_DIR and
// TMPDIR set to `runtime` (so the default socket folder lies in it).
QProcessEnvironment EnvironmentWithRuntime(const QString& runtime);

// Mode bits of a file (0777 mask), or -1 when it does not exist.
int ModeOf(const QString& path);

}  // namespace halvard::test
