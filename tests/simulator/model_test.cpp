// The model's housekeeping: what a connection holds and when it goes, a reset, the privacy of
// the state file and the call log, and file writes that keep no caller waiting.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "sim_fixture.h"

namespace halvard::test {
namespace {

using namespace std::chrono_literals;

VelaString V(const QString& text) {
    return VelaString(reinterpret_cast<const VelaChar*>(text.utf16()),
                      static_cast<size_t>(text.size()));
}

// A one-page card document of the simulator's format.
QString WriteDocument(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("card.vdn"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "vela-card-document", "version": 1, "ribbon": "YMCKO", "pages": [
        {"side": "front", "objects": [{"type": "rect", "x": 10, "y": 10, "w": 900, "h": 40,
         "color": "#204080"}]}]})");
    return path;
}

int Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0
               ? static_cast<int>(st.st_mode & 0777)
               : -1;
}

class Model : public SimFixture {
public:  // the table-driven cases reach the fixture through a reference
    QJsonArray Connections() {
        return sim->Device().value(QStringLiteral("connections")).toArray();
    }
    QTemporaryDir dir;
};

TEST_F(Model, CloseDropsWhatTheConnectionHeld) {
    const VelaString document = V(WriteDocument(dir));
    VelaHandle first = 0, second = 0;
    ASSERT_EQ(b.VelaDCL_OpenDevice(&first, u"[USB1] Halvard Card Printer", 1, 2), 0);
    ASSERT_EQ(b.VelaDCL_ExOpenDevice(&second, u"[USB1] Halvard Card Printer", 1, 1), 0);
    ASSERT_EQ(b.Vela_OpenDocument(first, document.c_str()), 0);
    ASSERT_EQ(Connections().size(), 2);
    EXPECT_EQ(Connections()[0]
                  .toObject()[QStringLiteral("document")]
                  .toObject()[QStringLiteral("pages")]
                  .toInt(),
              1);
    EXPECT_TRUE(Connections()[1].toObject()[QStringLiteral("document")].isNull())
        << "a document belongs to its connection";

    ASSERT_EQ(b.VelaDCL_CloseDevice(first), 0);
    ASSERT_EQ(Connections().size(), 1);
    EXPECT_EQ(Connections()[0].toObject()[QStringLiteral("handle")].toInt(), second);
    EXPECT_EQ(b.Vela_CloseDocument(first), sim::kErrBadHandle);
    EXPECT_TRUE(Connections()[0].toObject()[QStringLiteral("document")].isNull());
    EXPECT_EQ(b.VelaDCL_Print(second, 0), sim::kErrNoDocument);

    // A new connection starts empty, also when the handle closed with Vela_CloseDevice.
    ASSERT_EQ(b.Vela_OpenDocument(second, document.c_str()), 0);
    ASSERT_EQ(b.Vela_CloseDevice(second), 0);
    VelaHandle third = 0;
    ASSERT_EQ(b.VelaDCL_OpenDevice(&third, u"[USB1] Halvard Card Printer", 1, 2), 0);
    EXPECT_TRUE(Connections()[0].toObject()[QStringLiteral("document")].isNull());
    EXPECT_EQ(b.VelaDCL_Print(third, 0), sim::kErrNoDocument);
}

TEST_F(Model, ResetRestoresDecksAndDropsConnectionsAndCards) {
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
        ASSERT_EQ(b.Device(b.Vela_CardEject2, 0x40, 0, 0xFF, 0), 0);
    }
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x61, 0, 0), 0);
    ASSERT_EQ(b.Device(b.Vela_CardEjectBin, 0x61, 0x62), 0);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    ASSERT_EQ(sim->Module(0x10)[QStringLiteral("cards")].toInt(), 96);

    ASSERT_EQ(sim->VelaSim_Reset(), 0);
    sim->VelaSim_SetTimeScale(0);  // the preset's own factor came back with it
    EXPECT_EQ(sim->Module(0x10)[QStringLiteral("cards")].toInt(), 100);
    EXPECT_EQ(sim->VelaSim_GetCardModule(nullptr), 0xFF);
    EXPECT_TRUE(Kept(0x70).isEmpty());
    EXPECT_TRUE(Kept(0x62, "errorBin").isEmpty());
    EXPECT_TRUE(Connections().isEmpty());
    std::uint64_t status = 0;
    EXPECT_EQ(b.Device(b.Vela_GetStatus, 0x40, &status), sim::kErrBadHandle);
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
    ASSERT_EQ(b.Device(b.Vela_CardMove2, 0x10, 0, 0x40, 0, 0), 0);
    EXPECT_EQ(sim->Card()[QStringLiteral("serial")].toInt(), 1) << "the deck starts over";
}

TEST_F(Model, StateFileIsPrivateToTheUser) {
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "over an existing file" : "a new file");
        const QString path =
            dir.filePath(existing ? QStringLiteral("old.json") : QStringLiteral("new.json"));
        if (existing) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("{}");
            file.close();
            ASSERT_TRUE(QFile::setPermissions(
                path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        sim->Fresh();
        ASSERT_EQ(sim->VelaSim_SetStateFile(path.toUtf8().constData()), 0);
        if (existing) {
            EXPECT_EQ(Mode(path), 0600) << "made private as soon as it is named";
        }
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
        ASSERT_EQ(b.WriteHeadSerial(u"KEPT-7"), 0);
        EXPECT_EQ(Mode(path), 0600);
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray content = written.readAll();
        EXPECT_TRUE(content.contains("KEPT-7"));
        EXPECT_TRUE(content.contains("\"password\": \"1234\"")) << "the printer's own memory";
        EXPECT_FALSE(content.contains("cardInTransport")) << "only what a printer keeps";
    }
}

TEST_F(Model, CallLogNeverShowsAPasswordOrKey) {
    const char* kRoot = "Rt-Pw-77";
    const char* kWrong = "Gs-Pw-31";
    const char* kNew = "Nx-Pw-45";
    const QByteArray key("MagKey-Secret-16");
    ASSERT_EQ(sim->VelaSim_LoadScenario(R"({"devices": [{"name": "P", "password": "Rt-Pw-77",
        "modules": [{"id": 64}]}]})"),
              0);
    ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"P", 1, 2), 0);
    const VelaString root = V(QString::fromLatin1(kRoot)), wrong = V(QString::fromLatin1(kWrong)),
                     next = V(QString::fromLatin1(kNew));
    const auto* keyBytes = reinterpret_cast<const std::uint8_t*>(key.constData());
    const std::uint8_t pc[8] = {2, 0x11, 0x22, 0x33, 0x44, 0x55};
    IssueCountRecord counts{};
    std::int32_t params[30] = {};
    struct Call {
        const char* fn;
        std::function<void()> make;
        QList<int> secretArgs;  // positions after the handle
    };
    const Call calls[] = {
        {"Vela_ExVerifyPassword", [&] { b.Device(b.Vela_ExVerifyPassword, wrong.c_str()); }, {0}},
        {"Vela_ExVerifyPassword", [&] { b.Device(b.Vela_ExVerifyPassword, root.c_str()); }, {0}},
        {"Vela_ExSetUserPassword",
         [&] { b.Device(b.Vela_ExSetUserPassword, root.c_str(), next.c_str()); },
         {0, 1}},
        {"Vela_ExSetPCName", [&] { b.Device(b.Vela_ExSetPCName, root.c_str(), pc, 8); }, {0}},
        {"Vela_ExSetMagCryptKey",
         [&] { b.Device(b.Vela_ExSetMagCryptKey, root.c_str(), keyBytes, 16); },
         {0, 1}},
        {"Vela_ExSetDevParam",
         [&] { b.Device(b.Vela_ExSetDevParam, params, 120, wrong.c_str()); },
         {2}},
        {"Vela_ExSetUserIssueCount",
         [&] { b.Device(b.Vela_ExSetUserIssueCount, &counts, 28, root.c_str()); },
         {2}},
        {"Vela_ExSetFactIssueCount",
         [&] { b.Device(b.Vela_ExSetFactIssueCount, &counts, 28, wrong.c_str()); },
         {2}},
        {"Vela_ExSetPassword",
         [&] { b.Device(b.Vela_ExSetPassword, root.c_str(), next.c_str()); },
         {0, 1}},
    };
    for (const Call& call : calls) {
        SCOPED_TRACE(call.fn);
        sim->VelaSim_ClearCallLog();
        call.make();
        const QList<QJsonObject> logged = sim->Calls(QString::fromLatin1(call.fn));
        ASSERT_EQ(logged.size(), 1);
        const QJsonArray args = logged[0][QStringLiteral("args")].toArray();
        for (int position : call.secretArgs)
            EXPECT_EQ(args[position + 1].toString(), QStringLiteral("***")) << position;
        const int size = sim->VelaSim_GetCallLog(nullptr, 0);
        std::string text(static_cast<size_t>(size) + 1, '\0');
        sim->VelaSim_GetCallLog(text.data(), size + 1);
        const QByteArray log(text.c_str());
        for (const QByteArray& secret :
             {QByteArray(kRoot), QByteArray(kWrong), QByteArray(kNew), key}) {
            const QString wide = QString::fromLatin1(secret);
            const QByteArray utf16(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
            for (const QByteArray& form : {secret, secret.toHex(), secret.toHex().toUpper(),
                                           utf16.toHex(), utf16.toHex().toUpper()})
                EXPECT_FALSE(log.contains(form)) << form.constData();
        }
    }
    EXPECT_EQ(sim->Device()[QStringLiteral("password")].toString(), QString::fromLatin1(kNew))
        << "the last call really changed the password";
}

// The state file and a spooled card are written with no lock held: while their writes wait,
// another caller's call goes through.
TEST_F(Model, FileWritesWaitForNoLockAndKeepNoCallerWaiting) {
    const QString document = WriteDocument(dir);
    const QString spool = dir.filePath(QStringLiteral("spool"));
    const QString state = dir.filePath(QStringLiteral("state.json"));
    qputenv("VELASIM_SPOOL_DIR", spool.toUtf8());
    struct Write {
        const char* name;
        std::function<void(Model&)> prepare;
        std::function<VelaResult(Model&)> act;  // runs on a thread of its own
        std::function<bool()> written;
    };
    const Write writes[] = {
        {"state file", [&](Model& t) { t.sim->VelaSim_SetStateFile(state.toUtf8().constData()); },
         [](Model& t) { return t.b.WriteHeadSerial(u"WAITED-1"); },
         [&] {
             QFile file(state);
             return file.open(QIODevice::ReadOnly) && file.readAll().contains("WAITED-1");
         }},
        {"spooled card",
         [&](Model& t) { ASSERT_EQ(t.b.Device(t.b.Vela_OpenDocument, V(document).c_str()), 0); },
         [](Model& t) { return t.b.Device(t.b.VelaDCL_Print, 0); },
         [&] { return !QDir(spool).entryList({QStringLiteral("*.png")}, QDir::Files).isEmpty(); }},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.name);
        sim->Fresh();
        ASSERT_EQ(b.VelaDCL_OpenDevice(&b.m_hDevice, u"[USB1] Halvard Card Printer", 1, 2), 0);
        w.prepare(*this);
        ASSERT_EQ(sim->VelaSim_HoldFileWrites(1), 0);
        std::future<VelaResult> writer =
            std::async(std::launch::async, [&] { return w.act(*this); });
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (sim->VelaSim_HoldFileWrites(-1) == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        ASSERT_EQ(sim->VelaSim_HoldFileWrites(-1), 1) << "the write waits";
        EXPECT_FALSE(w.written());

        std::future<VelaResult> other = std::async(std::launch::async, [&] {
            std::uint64_t status = 0;
            return b.Device(b.Vela_GetStatus, 0x40, &status);
        });
        EXPECT_EQ(other.wait_for(5s), std::future_status::ready)
            << "a call made while the write waits is not held up";
        sim->VelaSim_HoldFileWrites(0);
        EXPECT_EQ(writer.get(), 0);
        EXPECT_EQ(other.get(), 0);
        EXPECT_TRUE(w.written());
    }
    sim->VelaSim_SetStateFile(nullptr);

    // The printed card carries the spooled picture of its upper side.
    const QJsonObject printed = Kept(0x70)
                                    .last()
                                    .toObject()[QStringLiteral("printed")]
                                    .toObject()[QStringLiteral("top")]
                                    .toObject();
    EXPECT_EQ(printed[QStringLiteral("width")].toInt(), 1012);
    QImage spooled(printed[QStringLiteral("file")].toString());
    ASSERT_FALSE(spooled.isNull());
    EXPECT_EQ(spooled.pixelColor(100, 20), QColor(0x20, 0x40, 0x80));
    qunsetenv("VELASIM_SPOOL_DIR");
}

}  // namespace
}  // namespace halvard::test
