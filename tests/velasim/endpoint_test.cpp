// The control endpoint: opened only when asked, in a private folder; found, chosen and cleaned
// up by velasim; malformed requests refused without changing anything; the call log streamed as
// it happens with its secrets masked.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <functional>
#include <thread>

#include "velasim_cli.h"
#include "velasim_fixture.h"

namespace halvard::test {
namespace {

using ::testing::HasSubstr;

constexpr int kWaitMs = 10000;

QString Pid(qint64 pid) {
    return QString::number(pid);
}

std::string Std(const QString& s) {
    return s.toStdString();
}

// This process's own socket folder, as the test main asked for it.
QString OwnFolder() {
    return qEnvironmentVariable("VELASIM_CONTROL");
}

// A socket file nobody listens on, as a process that ended without cleaning up leaves it.
void LeaveDeadSocket(const QString& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()) + 1);
    EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

TEST(EndpointTest, OpensOnlyWhenAskedInAPrivateFolderAndClosesWithTheProcess) {
    QTemporaryDir runtime;
    const QString folder = runtime.filePath(QStringLiteral("halvard-velasim"));
    QProcessEnvironment environment = EnvironmentWithRuntime(runtime.path());
    {
        HostProcess host(environment);
        ASSERT_TRUE(host.Ready()) << Std(host.Errors());
        EXPECT_FALSE(QFile::exists(folder));
        const CliResult listed = RunProgram({QStringLiteral("list")}, environment);
        EXPECT_EQ(listed.code, velasim::kExitNoSimulator);
        EXPECT_THAT(listed.err, HasSubstr("no simulator is running"));
        EXPECT_EQ(host.Finish(), 0);
    }
    environment.insert(QStringLiteral("VELASIM_CONTROL"), QStringLiteral("1"));
    HostProcess host(environment);
    ASSERT_TRUE(host.Ready()) << Std(host.Errors());
    const QString socket = folder + u'/' + Pid(host.Pid()) + QStringLiteral(".sock");
    EXPECT_EQ(ModeOf(folder), 0700);
    EXPECT_EQ(ModeOf(socket), 0600);
    const CliResult listed = RunProgram({QStringLiteral("list")}, environment);
    EXPECT_EQ(listed.code, velasim::kExitDone) << listed.err;
    EXPECT_EQ(listed.out.rfind(Std(Pid(host.Pid())) + " velasim_tests\n  1. [USB1]", 0), 0u)
        << listed.out;
    const CliResult jammed =
        RunProgram({QStringLiteral("jam"), QStringLiteral("0x40")}, environment);
    EXPECT_EQ(jammed.code, velasim::kExitDone) << jammed.err;

    EXPECT_EQ(host.Finish(), 0);
    EXPECT_FALSE(QFile::exists(socket));
    EXPECT_EQ(RunProgram({QStringLiteral("list")}, environment).code, velasim::kExitNoSimulator);
}

TEST(EndpointTest, SeveralSimulatorsAreChosenByPid) {
    QTemporaryDir runtime;
    QProcessEnvironment environment = EnvironmentWithRuntime(runtime.path());
    environment.insert(QStringLiteral("VELASIM_CONTROL"), QStringLiteral("on"));
    HostProcess first(environment), second(environment);
    ASSERT_TRUE(first.Ready() && second.Ready());
    const CliResult listed = RunProgram({QStringLiteral("list")}, environment);
    EXPECT_THAT(listed.out, HasSubstr(Std(Pid(first.Pid())) + " velasim_tests"));
    EXPECT_THAT(listed.out, HasSubstr(Std(Pid(second.Pid())) + " velasim_tests"));

    const CliResult unchosen =
        RunProgram({QStringLiteral("jam"), QStringLiteral("0x40")}, environment);
    EXPECT_EQ(unchosen.code, velasim::kExitUsage);
    EXPECT_THAT(unchosen.err, HasSubstr("2 simulators are running"));
    EXPECT_THAT(unchosen.err, HasSubstr("choose one with --pid"));
    const CliResult chosen = RunProgram(
        {QStringLiteral("show"), QStringLiteral("1"), QStringLiteral("--pid"), Pid(second.Pid())},
        environment);
    EXPECT_EQ(chosen.code, velasim::kExitDone) << chosen.err;
    EXPECT_THAT(chosen.out, HasSubstr("\"cardInTransport\": null"));
}

struct UnsafeFolder {
    const char* what;
    std::function<void(const QString& folder, const QString& runtime)> make;
    const char* says;
    const char* control = "1";
};

TEST(EndpointTest, AFolderThatIsNotPrivateIsNeverUsed) {
    const std::vector<UnsafeFolder> cases = {
        {"open to others",
         [](const QString& folder, const QString&) {
             ASSERT_TRUE(QDir().mkdir(folder));
             ASSERT_TRUE(QFile::setPermissions(
                 folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                             QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
         },
         "has mode 0755, not 0700"},
        {"a link to a private folder",
         [](const QString& folder, const QString& runtime) {
             const QString target = runtime + QStringLiteral("/elsewhere");
             ASSERT_TRUE(QDir().mkdir(target));
             ASSERT_TRUE(QFile::setPermissions(
                 target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
             ASSERT_TRUE(QFile::link(target, folder));
         },
         "is a symbolic link"},
        {"a file",
         [](const QString& folder, const QString&) {
             QFile file(folder);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         },
         "is not a folder"},
    };
    for (const UnsafeFolder& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir runtime;
        const QString folder = runtime.filePath(QStringLiteral("halvard-velasim"));
        c.make(folder, runtime.path());
        const int mode = ModeOf(folder);
        QProcessEnvironment environment = EnvironmentWithRuntime(runtime.path());
        environment.insert(QStringLiteral("VELASIM_CONTROL"), QString::fromLatin1(c.control));
        HostProcess host(environment);
        // The simulator works; only its endpoint stays shut.
        ASSERT_TRUE(host.Ready());
        EXPECT_EQ(host.Finish(), 0);
        const QString errors = host.Errors();
        EXPECT_THAT(Std(errors), HasSubstr("control endpoint not opened"));
        EXPECT_THAT(Std(errors), HasSubstr(c.says));
        EXPECT_EQ(ModeOf(folder), mode);
        EXPECT_EQ(
            QDir(runtime.filePath(QStringLiteral("elsewhere"))).entryList(QDir::System).size(), 0);
        const CliResult listed = RunProgram({QStringLiteral("list")}, environment);
        EXPECT_EQ(listed.code, velasim::kExitNoSimulator);
        EXPECT_THAT(listed.err, HasSubstr(c.says));
    }
    // A value that is neither a switch nor an absolute path opens nothing.
    QTemporaryDir runtime;
    QProcessEnvironment environment = EnvironmentWithRuntime(runtime.path());
    environment.insert(QStringLiteral("VELASIM_CONTROL"), QStringLiteral("sockets"));
    HostProcess host(environment);
    ASSERT_TRUE(host.Ready());
    EXPECT_EQ(host.Finish(), 0);
    EXPECT_THAT(Std(host.Errors()), HasSubstr("give 1 or the absolute path of a folder"));
    EXPECT_TRUE(QDir(runtime.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(VelasimTest, ListCleansUpDeadSocketsAndKeepsTheLiveOnes) {
    // A socket of a process that has ended, and one of a process that lives but does not listen.
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    ASSERT_TRUE(ended.waitForStarted(kWaitMs));
    const qint64 endedPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished(kWaitMs));
    const QString endedSocket = OwnFolder() + u'/' + Pid(endedPid) + QStringLiteral(".sock");
    const QString silentSocket = OwnFolder() + u'/' + Pid(getppid()) + QStringLiteral(".sock");
    LeaveDeadSocket(endedSocket);
    LeaveDeadSocket(silentSocket);

    const CliResult listed = Velasim({"list"});
    EXPECT_EQ(listed.code, velasim::kExitDone) << listed.err;
    EXPECT_EQ(
        listed.out.rfind(Std(Pid(QCoreApplication::applicationPid())) + " velasim_tests\n", 0), 0u);
    EXPECT_THAT(listed.err, HasSubstr("removed the socket of process " + Std(Pid(endedPid)) +
                                      ", which has ended"));
    EXPECT_THAT(listed.err, HasSubstr("process " + Std(Pid(getppid())) +
                                      " has a socket but does not listen on it"));
    EXPECT_FALSE(QFile::exists(endedSocket));
    EXPECT_TRUE(QFile::exists(silentSocket));

    // A dead socket is no simulator to talk to.
    const CliResult dead = Velasim({"--pid", Std(Pid(getppid())), "show", "1"});
    EXPECT_EQ(dead.code, velasim::kExitNoSimulator);
    EXPECT_THAT(dead.err, HasSubstr("no simulator with pid " + Std(Pid(getppid()))));
    EXPECT_TRUE(QFile::remove(silentSocket));
}

class RawEndpoint : public VelasimTest {
public:
    void Open() {
        socket.connectToServer(OwnFolder() + u'/' + Pid(QCoreApplication::applicationPid()) +
                               QStringLiteral(".sock"));
        ASSERT_TRUE(socket.waitForConnected(kWaitMs));
    }
    QJsonObject Ask(const QByteArray& line) {
        socket.write(line + '\n');
        socket.flush();
        while (!socket.canReadLine())
            if (!socket.waitForReadyRead(kWaitMs))
                return {};
        return QJsonDocument::fromJson(socket.readLine()).object();
    }
    QLocalSocket socket;
};

TEST_F(RawEndpoint, MalformedRequestsAreRefusedAndChangeNothing) {
    const std::vector<std::pair<QByteArray, const char*>> cases = {
        {"not json", "malformed request"},
        {"[1, 2]", "malformed request"},
        {R"({"cmd": "hello")", "malformed request"},
        {QByteArray(R"({"cmd": "event", "event": "jam)") + '\0' + R"(", "module": 64})",
         "unknown event"},
        {"{}", "unknown command \"\""},
        {R"({"cmd": 5})", "unknown command \"5\""},
        {R"({"cmd": "launch"})", "unknown command \"launch\""},
        {R"({"cmd": "event", "event": "jam", "module": "64"})",
         "\"module\" must be a whole number from 0 to 255"},
        {R"({"cmd": "event", "event": "jam", "module": 64.5})", "\"module\" must be a whole"},
        {R"({"cmd": "event", "event": "jam", "module": 256})", "\"module\" must be a whole"},
        {R"({"cmd": "event", "event": "jam"})", "missing \"module\""},
        {R"({"cmd": "event", "event": "explode", "module": 64})", "unknown event \"explode\""},
        {R"({"cmd": "event", "event": "jam", "module": 64, "force": true})",
         "unknown argument \"force\""},
        {R"({"cmd": "event", "event": "jam", "module": 64, "device": 1})",
         "\"device\" must be a text"},
        {R"({"cmd": "fault", "export": "Vela_CardMove2", "count": 0})",
         "\"count\" must be -1 (from then on) or at least 1"},
        {R"({"cmd": "fault", "export": "Vela_CardMove2", "skip": 1e300})",
         "\"skip\" must be a whole number"},
        {R"({"cmd": "fault", "export": ["Vela_CardMove2"]})", "\"export\" must be a text"},
        {R"({"cmd": "fault", "export": "Vela_CardMove2", "code": -1})", "\"code\" must be"},
        {R"({"cmd": "status", "module": 64, "set": "-1"})", "\"set\" must be 64 bits"},
        {R"({"cmd": "status", "module": 64, "set": "0x10000000000000000"})",
         "\"set\" must be 64 bits"},
        {R"({"cmd": "status", "module": 64, "set": "0x100", "state": true})",
         "a state byte has 8 bits"},
        {R"({"cmd": "time", "scale": "fast"})", "\"scale\" must be a number"},
        {R"({"cmd": "time", "scale": -0.5})", "\"scale\" must be a number from 0 to 1000"},
        {R"({"cmd": "delay", "export": "Vela_GetStatus", "ms": 600001})", "\"ms\" must be"},
        {R"({"cmd": "card", "put": 64, "remove": true})", "give either \"put\" or \"remove\""},
        {R"({"cmd": "log", "follow": "yes"})", "\"follow\" must be true or false"},
    };
    Connect();
    const QJsonObject before = sim->Device();
    Open();
    for (const auto& [line, says] : cases) {
        SCOPED_TRACE(line.toStdString());
        const QJsonObject answer = Ask(line);
        EXPECT_EQ(answer.value(QStringLiteral("ok")), QJsonValue(false));
        EXPECT_THAT(Std(answer.value(QStringLiteral("error")).toString()), HasSubstr(says));
    }
    // Nothing changed: no jam, no fault rule, no forced bits.
    EXPECT_EQ(sim->Device(), before);
    EXPECT_EQ(Move(0x10, 0x40), 0);

    // A line with no end in sight is cut off, and the connection with it.
    socket.write(QByteArray(70 * 1024, 'x'));
    ASSERT_TRUE(socket.waitForReadyRead(kWaitMs));
    EXPECT_THAT(socket.readLine().toStdString(), HasSubstr("line too long"));
    if (socket.state() != QLocalSocket::UnconnectedState) {
        EXPECT_TRUE(socket.waitForDisconnected(kWaitMs));
    }
    // The endpoint goes on serving.
    Open();
    EXPECT_EQ(Ask(R"({"cmd": "hello"})").value(QStringLiteral("pid")).toInteger(),
              QCoreApplication::applicationPid());
}

TEST_F(VelasimTest, LogFollowStreamsCallsAsTheyHappenWithSecretsMasked) {
    Connect();
    SharedText out, err;
    std::ostream outStream(&out), errStream(&err);
    int code = -1;
    std::jthread follower([&](std::stop_token stop) {
        code = velasim::Run({"log", "--follow"}, outStream, errStream, stop);
    });
    // Calls made before the follower listens are not its business; keep calling until one shows.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            b.Device(b.Vela_ExVerifyPassword, u"s3cret-pass");
            return out.Text().find("Vela_ExVerifyPassword") != std::string::npos;
        },
        kWaitMs))
        << err.Text();
    const VelaResult moved = Move(0x10, 0x40);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return out.Text().find("Vela_CardMove2") != std::string::npos; }, kWaitMs));
    follower.request_stop();
    follower.join();
    EXPECT_EQ(code, velasim::kExitDone) << err.Text();

    const QList<QByteArray> lines = QByteArray::fromStdString(out.Text()).trimmed().split('\n');
    for (const QByteArray& line : lines) {
        const QJsonObject call = QJsonDocument::fromJson(line).object();
        EXPECT_FALSE(call.isEmpty()) << line.toStdString();
        if (call.value(QStringLiteral("fn")) == QStringLiteral("Vela_ExVerifyPassword")) {
            EXPECT_EQ(call.value(QStringLiteral("args")).toArray().at(1), QStringLiteral("***"));
        }
        if (call.value(QStringLiteral("fn")) == QStringLiteral("Vela_CardMove2")) {
            EXPECT_EQ(call.value(QStringLiteral("result")).toInt(), moved);
        }
    }
    EXPECT_EQ(out.Text().find("s3cret"), std::string::npos);
}

}  // namespace
}  // namespace halvard::test
