#include "velasim_fixture.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>

#include <iostream>
#include <ostream>

#include "vela_platform_lib.h"
#include "velasim.h"
#include "velasim_cli.h"

namespace halvard::test {

namespace {

constexpr int kProcessTimeoutMs = 20000;

}  // namespace

int HostSimulator() {
    void* library = vela::platform::OpenLibrary(SimulatorLibrary());
    if (library == nullptr)
        return 1;
    const auto reset =
        reinterpret_cast<PFN_VelaSim_Reset>(vela::platform::FindSymbol(library, "VelaSim_Reset"));
    if (reset == nullptr || reset() != 0)
        return 1;
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    vela::platform::CloseLibrary(library);
    return 0;
}

CliResult Velasim(const std::vector<std::string>& args, std::stop_token stop) {
    SharedText out, err;
    std::ostream outStream(&out), errStream(&err);
    CliResult result;
    result.code = velasim::Run(args, outStream, errStream, std::move(stop));
    result.out = out.Text();
    result.err = err.Text();
    return result;
}

std::string SharedText::Text() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

SharedText::int_type SharedText::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        std::lock_guard lock(m_mutex);
        m_text += traits_type::to_char_type(c);
    }
    return traits_type::not_eof(c);
}

std::streamsize SharedText::xsputn(const char* s, std::streamsize n) {
    std::lock_guard lock(m_mutex);
    m_text.append(s, static_cast<size_t>(n));
    return n;
}

void VelasimTest::SetUp() {
    ASSERT_TRUE(b.LoadFrom(SimulatorLibrary()));
    sim = std::make_unique<SimControl>(b);
    sim->Fresh();
    sim->VelaSim_ClearDelays();
}

void VelasimTest::TearDown() {
    if (sim) {
        sim->VelaSim_ClearFaults();
        sim->VelaSim_ClearDelays();
    }
}

void VelasimTest::Connect(const char16_t* device) {
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, device, 1, 2), 0);
}

std::uint64_t VelasimTest::Status(int module) {
    std::uint64_t status = 0;
    EXPECT_EQ(b.Device(b.Vela_GetStatus, module, &status), 0);
    return status;
}

std::uint8_t VelasimTest::State(int module) {
    std::uint8_t state = 0;
    EXPECT_EQ(b.Device(b.Vela_GetModuleState, module, &state), 0);
    return state;
}

VelaResult VelasimTest::Move(int source, int destination) {
    return b.Device(b.Vela_CardMove2, source, 0, destination, 0, 0);
}

HostProcess::HostProcess(const QProcessEnvironment& environment) {
    m_process.setProcessEnvironment(environment);
    m_process.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kHostSimulatorArgument)});
    m_ready = m_process.waitForStarted(kProcessTimeoutMs) &&
              m_process.waitForReadyRead(kProcessTimeoutMs) &&
              m_process.readLine().trimmed() == "ready";
}

HostProcess::~HostProcess() {
    if (m_process.state() != QProcess::NotRunning)
        Finish();
}

int HostProcess::Finish() {
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(kProcessTimeoutMs))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QString HostProcess::Errors() {
    return QString::fromLocal8Bit(m_process.readAllStandardError());
}

CliResult RunProgram(const QStringList& args, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELASIM_PROGRAM), args);
    CliResult result;
    if (!process.waitForFinished(kProcessTimeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.code = process.exitCode();
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

QProcessEnvironment EnvironmentWithRuntime(const QString& runtime) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VELASIM_CONTROL"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("TMPDIR"), runtime);
    return environment;
}

int ModeOf(const QString& path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0
               ? static_cast<int>(info.st_mode & 0777)
               : -1;
}

}  // namespace halvard::test
