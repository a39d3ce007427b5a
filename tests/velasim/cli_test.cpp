// velasim's commands against the simulator of this test process: what each one does to the
// running system as a client sees it, and that every bad input gets a clear message and the
// right exit code and changes nothing.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>

#include <functional>

#include "sim_codes.h"
#include "vela_modules.h"
#include "velasim_cli.h"
#include "velasim_fixture.h"

namespace halvard::test {
namespace {

using ::testing::HasSubstr;
using vela::Bit;

struct CommandCase {
    std::vector<std::string> args;
    std::string says;  // part of what it prints
    std::function<void(VelasimTest&, const CliResult&)> check;
};

TEST_F(VelasimTest, EachCommandChangesTheRunningSystem) {
    const std::string pid = std::to_string(QCoreApplication::applicationPid());
    const std::vector<CommandCase> cases = {
        {{"list"},
         pid + " velasim_tests\n  1. [USB1] Halvard Card Printer: modules 10 40 61 62 50 70, "
               "1 open connection",
         [](VelasimTest&, const CliResult& r) {
             EXPECT_THAT(r.out, HasSubstr("  4. [USB3] Label Printer: modules 40, 0 open"));
         }},
        {{"show", "usb2"},
         "\"name\": \"[USB2] Halvard Card Printer\"",
         [](VelasimTest& t, const CliResult& r) {
             const QJsonObject shown =
                 QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
             EXPECT_EQ(shown, t.sim->Device("[USB2] Halvard Card Printer"));
         }},
        {{"fault", "Vela_GetStatus", "--skip", "1", "--count", "2", "--code", "0x80000301"},
         "Vela_GetStatus fails with 0x80000301 for 2 call(s) from call 2",
         [](VelasimTest& t, const CliResult&) {
             std::uint64_t status = 0;
             std::vector<VelaResult> results;
             for (int i = 0; i < 4; ++i)
                 results.push_back(t.b.Device(t.b.Vela_GetStatus, 0x40, &status));
             const VelaResult fault = sim::Code(0x80000301);
             EXPECT_EQ(results, (std::vector<VelaResult>{0, fault, fault, 0}));
         }},
        {{"fault", "Vela_Card*"},
         "Vela_Card* fails with 0x80000330 from call 1 on",
         [](VelasimTest& t, const CliResult&) {
             EXPECT_EQ(t.Move(0x10, 0x40), sim::kErrTimeout);
             EXPECT_EQ(t.b.Device(t.b.Vela_CardMoveQuick, 0x40, 1, 0), sim::kErrTimeout);
             EXPECT_EQ(Velasim({"clear"}).out, "fault rules and delays cleared\n");
             EXPECT_EQ(t.Move(0x10, 0x40), 0);
         }},
        {{"delay", "Vela_GetStatus", "400"},
         "every call of Vela_GetStatus takes 400 ms longer",
         [](VelasimTest& t, const CliResult&) {
             QElapsedTimer clock;
             clock.start();
             t.Status(0x40);
             EXPECT_GE(clock.restart(), 400);
             EXPECT_EQ(Velasim({"clear"}).code, 0);
             t.Status(0x40);
             EXPECT_LT(clock.elapsed(), 400);
         }},
        {{"status", "1", "0x40", "--set", "0x200000000", "--clear", "0x800"},
         "module 40 of \"[USB1] Halvard Card Printer\": status bits forced on "
         "0x0000000200000000, off 0x0000000000000800",
         [](VelasimTest& t, const CliResult&) {
             const std::uint64_t status = t.Status(0x40);
             EXPECT_TRUE(status & Bit(vela::printer::kFailedToMoveCard));
             EXPECT_FALSE(status & Bit(vela::printer::kReady));
         }},
        {{"status", "[usb1] halvard card printer", "97", "--set", "0x21", "--state"},
         "state bits forced on 0x21, off 0x00",
         [](VelasimTest& t, const CliResult&) { EXPECT_EQ(t.State(0x61) & 0x21, 0x21); }},
        {{"card", "1", "--put", "0x61"},
         "card in module 61",
         [](VelasimTest& t, const CliResult&) {
             EXPECT_EQ(t.sim->VelaSim_GetCardModule(nullptr), 0x61);
             EXPECT_EQ(Velasim({"card", "1", "--remove"}).out,
                       "card taken out of \"[USB1] Halvard Card Printer\"\n");
             EXPECT_EQ(t.sim->VelaSim_GetCardModule(nullptr), 0xFF);
         }},
        {{"card", "1", "--put", "0x40", "--profile", "default"},
         "card in module 40",
         [](VelasimTest& t, const CliResult&) {
             // A card the client can move on at once.
             EXPECT_EQ(t.b.Device(t.b.Vela_CardMoveQuick, 0x40, 1, 0), 0);
             EXPECT_EQ(t.sim->VelaSim_GetCardModule(nullptr), 0x61);
         }},
        {{"time", "10"},
         "operation times scaled by 10",
         [](VelasimTest& t, const CliResult&) {
             // A queued step takes 600 ms lifelike: ten times that now.
             ASSERT_EQ(t.sim->VelaSim_SetCardModule(nullptr, 0x40), 0);
             ASSERT_EQ(t.b.Device(t.b.Vela_CardMoveQuick, 0x40, 1, 1), 0);
             const int busy = t.sim->Module(0x61).value(QStringLiteral("busyMs")).toInt();
             EXPECT_GT(busy, 3000);
             EXPECT_LE(busy, 6000);
         }},
        {{"log"},
         "\"fn\":\"Vela_ExVerifyPassword\",\"args\":[",
         [](VelasimTest&, const CliResult& r) {
             // The call made before, with its password masked.
             EXPECT_THAT(r.out, HasSubstr("\"***\""));
             EXPECT_EQ(r.out.find("1234"), std::string::npos);
         }},
        {{"jam", "0x40"},
         "module 40 of \"[USB1] Halvard Card Printer\" jammed: its commands are refused with "
         "0x80000306 until clear-errors",
         [](VelasimTest& t, const CliResult&) {
             EXPECT_TRUE(t.Status(0x40) & Bit(vela::printer::kFailedToMoveCard));
             EXPECT_EQ(t.Move(0x10, 0x40), sim::kErrJammed);
             EXPECT_EQ(Velasim({"clear-errors"}).out,
                       "errors of \"[USB1] Halvard Card Printer\" cleared\n");
             EXPECT_EQ(t.Move(0x10, 0x40), 0);
         }},
        {{"cover-open", "--device", "2"},
         "cover of \"[USB2] Halvard Card Printer\" open",
         [](VelasimTest& t, const CliResult&) {
             EXPECT_FALSE(t.Status(0x40) & Bit(vela::printer::kCaseIsOpened));
             EXPECT_TRUE(t.sim->Device("[USB2] Halvard Card Printer")
                             .value(QStringLiteral("coverOpen"))
                             .toBool());
         }},
        {{"ribbon-out"},
         "ribbon of \"[USB1] Halvard Card Printer\" empty: prints are refused with 0x80000320",
         [](VelasimTest& t, const CliResult&) {
             EXPECT_TRUE(t.Status(0x40) & Bit(vela::printer::kRibbonIsEmpty));
         }},
        {{"hopper-empty", "16"},
         "module 10 of \"[USB1] Halvard Card Printer\" emptied",
         [](VelasimTest& t, const CliResult&) {
             EXPECT_TRUE(t.Status(0x10) & Bit(vela::input_hopper::kEmptyCard));
             EXPECT_EQ(t.Move(0x10, 0x40), sim::kErrHopperEmpty);
         }},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        sim->Fresh();
        sim->VelaSim_ClearDelays();
        Connect();
        ASSERT_EQ(b.Device(b.Vela_ExVerifyPassword, u"1234"), 0);
        const CliResult r = Velasim(c.args);
        EXPECT_EQ(r.code, velasim::kExitDone) << r.err;
        EXPECT_THAT(r.out, HasSubstr(c.says));
        c.check(*this, r);
        b.Device(b.VelaDCL_CloseDevice);
        b.m_hDevice = 0;
    }
}

struct BadInput {
    std::vector<std::string> args;
    int code;
    std::string says;  // part of the message
};

TEST_F(VelasimTest, BadInputGetsAClearMessageAndChangesNothing) {
    const std::vector<BadInput> cases = {
        {{}, velasim::kExitUsage, "usage: velasim [--pid PID] COMMAND"},
        {{"frobnicate"}, velasim::kExitUsage, "unknown command \"frobnicate\""},
        {{"show"}, velasim::kExitUsage, "missing DEVICE"},
        {{"show", "Nope"}, velasim::kExitRefused, "unknown device \"Nope\" (devices: "},
        {{"show", "Printer"}, velasim::kExitRefused, "\"Printer\" names more than one device"},
        {{"show", "5"}, velasim::kExitRefused, "unknown device \"5\""},
        {{"jam"}, velasim::kExitUsage, "missing MODULE"},
        {{"jam", "0x41"},
         velasim::kExitRefused,
         "unknown module 0x41 on \"[USB1] Halvard Card Printer\" (modules: 10 40 61 62 50 70)"},
        {{"jam", "0x140"}, velasim::kExitUsage, "MODULE \"0x140\" is not a number from 0 to 255"},
        {{"jam", "forty"}, velasim::kExitUsage, "MODULE \"forty\" is not a number"},
        {{"jam", "0x"}, velasim::kExitUsage, "MODULE \"0x\" is not a number"},
        {{"jam", "0x40", "0x61"}, velasim::kExitUsage, "unexpected argument \"0x61\""},
        {{"hopper-empty", "0x40"},
         velasim::kExitRefused,
         "module 40 of \"[USB1] Halvard Card Printer\" is not an input hopper (0x80000057)"},
        {{"fault", "Vela_Nope"}, velasim::kExitRefused, "unknown export \"Vela_Nope\""},
        {{"fault", "Nope*"}, velasim::kExitRefused, "no export starts with \"Nope\""},
        {{"fault", "Vela_*Status"}, velasim::kExitRefused, "unknown export \"Vela_*Status\""},
        {{"fault", "Vela_GetStatus", "--skip", "-1"}, velasim::kExitUsage, "--skip \"-1\""},
        {{"fault", "Vela_GetStatus", "--count", "0"}, velasim::kExitUsage, "--count must be"},
        {{"fault", "Vela_GetStatus", "--code", "0x100000000"}, velasim::kExitUsage, "--code"},
        {{"fault", "Vela_GetStatus", "--skip"}, velasim::kExitUsage, "--skip needs a value"},
        {{"fault", "Vela_GetStatus", "--skip", "1", "--skip", "2"},
         velasim::kExitUsage,
         "--skip is given twice"},
        {{"fault", "Vela_GetStatus", "--bogus"},
         velasim::kExitUsage,
         "unknown option --bogus for fault"},
        {{"delay", "Vela_GetStatus", "1e3"}, velasim::kExitUsage, "MS \"1e3\" is not a number"},
        {{"delay", "Vela_GetStatus", "600001"}, velasim::kExitUsage, "from 0 to 600000"},
        {{"delay", "Vela_Card*", "10"}, velasim::kExitRefused, "unknown export \"Vela_Card*\""},
        {{"status", "1", "0x40"}, velasim::kExitUsage, "give --set BITS, --clear BITS or both"},
        {{"status", "1", "0x40", "--set", "0x1G"}, velasim::kExitUsage, "--set \"0x1G\""},
        {{"status", "1", "0x40", "--set", "0x100", "--state"},
         velasim::kExitUsage,
         "is not a state byte"},
        {{"status", "1", "0x40", "--state=yes", "--set", "1"},
         velasim::kExitUsage,
         "--state takes no value"},
        {{"card", "1"}, velasim::kExitUsage, "give either --put MODULE or --remove"},
        {{"card", "1", "--put", "0x40", "--remove"}, velasim::kExitUsage, "give either"},
        {{"card", "1", "--remove"},
         velasim::kExitRefused,
         "there is no card in \"[USB1] Halvard Card Printer\" (0x80000301)"},
        {{"card", "1", "--put", "0x40", "--profile", "nope"},
         velasim::kExitRefused,
         "unknown card profile \"nope\""},
        {{"card", "1", "--put", "0x99"}, velasim::kExitRefused, "unknown module 0x99"},
        {{"time", "-1"}, velasim::kExitUsage, "unknown option -1 for time"},
        {{"time", "nan"}, velasim::kExitUsage, "SCALE \"nan\" is not a number from 0 to 1000"},
        {{"time", "1001"}, velasim::kExitUsage, "SCALE \"1001\""},
        {{"log", "all"}, velasim::kExitUsage, "unexpected argument \"all\""},
        {{"--pid", "abc", "list"}, velasim::kExitUsage, "--pid \"abc\" is not a process id"},
        {{"--pid", "1", "list"}, velasim::kExitNoSimulator, "no simulator with pid 1"},
        {{"help", "frobnicate"}, velasim::kExitUsage, "unknown command \"frobnicate\""},
    };
    Connect();
    for (const BadInput& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const QJsonObject before = sim->Device();
        const CliResult r = Velasim(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_THAT(r.err, HasSubstr(c.says));
        EXPECT_TRUE(r.out.empty()) << r.out;
        // Nothing changed: the system is as it was, no fault rule or jam was installed.
        EXPECT_EQ(sim->Device(), before);
        EXPECT_EQ(Move(0x10, 0x40), 0);
        EXPECT_EQ(sim->VelaSim_SetCardModule(nullptr, 0xFF), 0);
    }
}

TEST_F(VelasimTest, HelpForEveryCommand) {
    const CliResult all = Velasim({"--help"});
    EXPECT_EQ(all.code, velasim::kExitDone);
    for (const char* command :
         {"list", "show", "fault", "clear", "delay", "status", "card", "time", "log", "jam",
          "cover-open", "ribbon-out", "hopper-empty", "clear-errors"}) {
        SCOPED_TRACE(command);
        EXPECT_THAT(all.out, HasSubstr(std::string("\n  ") + command));
        const CliResult one = Velasim({command, "--help"});
        EXPECT_EQ(one.code, velasim::kExitDone);
        EXPECT_EQ(one.out.rfind(std::string("usage: velasim ") + command, 0), 0u) << one.out;
        EXPECT_EQ(Velasim({"help", command}).out, one.out);
    }
}

}  // namespace
}  // namespace halvard::test
