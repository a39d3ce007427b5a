// The Expert page against the simulated printer: its module choice, caption and enabling rule,
// the card move endurance test (its count, its failures, and its end by the engineer's stop, a
// disconnect or the window closing), the fan command and the bounded wait of Toggle Test Mode.

#include <algorithm>
#include <functional>

#include "CSubDlgExpert.h"
#include "barexp_fixture.h"
#include "fake_page_host.h"

namespace halvard::test {
namespace {

using Args = QList<qint64>;
constexpr VelaResult kBusy = static_cast<VelaResult>(0x80000302);
constexpr const char* kLonePrinter = R"({"devices": [{"name": "P", "modules": [{"id": 64}]}]})";

class ExpertPageTest : public PageTest<CSubDlgExpert> {
protected:
    // Starts the card move test with `count` iterations; `during(shown)` runs each time the
    // current-iteration box changes.
    void RunTest(const char* count, const std::function<void(const QString&)>& during = {}) {
        On<QLineEdit>("iterationCount")->setText(QString::fromLatin1(count));
        auto* current = On<QLineEdit>("currentIteration");
        const auto watch = QObject::connect(current, &QLineEdit::textChanged, current,
                                            [this, during](const QString& text) {
                                                shown << text;
                                                if (during)
                                                    during(text);
                                            });
        Press("cardMoveTest");
        QObject::disconnect(watch);
    }
    QStringList shown;
};

TEST_F(ExpertPageTest, PicksThePrinterAndNamesItOnTheButton) {
    Connected(R"({"devices": [{"name": "P", "modules": [{"id": 16}, {"id": 65}, {"id": 64},
        {"id": 53}, {"id": 128}, {"id": 112}]}]})");
    auto* selector = On<QComboBox>("currentModule");
    QStringList entries;
    for (int i = 0; i < selector->count(); ++i)
        entries << selector->itemText(i);
    EXPECT_EQ(entries, Texts({"I  [10]", "P  [41]", "P  [40]", "E  [35]", "MO [80]", "O  [70]"}));
    EXPECT_EQ(page->GetCurrentModule(), 0x41);
    EXPECT_EQ(On<QPushButton>("cardMoveTest")->text(), QStringLiteral("[P1] Card Move Test"));
    EXPECT_TRUE(On("cardMoveTest")->isEnabled());
    EXPECT_FALSE(On("printerFanTest")->isEnabled());
    EXPECT_FALSE(On("toggleTestMode")->isEnabled());

    Pick("currentModule", 0x40);
    EXPECT_EQ(On<QPushButton>("cardMoveTest")->text(), QStringLiteral("[P0] Card Move Test"));
    for (const char* name : {"cardMoveTest", "printerFanTest", "toggleTestMode"})
        EXPECT_TRUE(On(name)->isEnabled()) << name;
    Pick("currentModule", 0x10);
    EXPECT_EQ(On<QPushButton>("cardMoveTest")->text(), QStringLiteral("[P#] Card Move Test"));
    EXPECT_FALSE(On("cardMoveTest")->isEnabled());

    // Every module update chooses the printer again.
    Click("connect");
    for (const char* name : {"currentModule", "cardMoveTest", "printerFanTest"})
        EXPECT_FALSE(On(name)->isEnabled()) << name << " without a device";
    Click("connect");
    QCoreApplication::processEvents();
    EXPECT_EQ(page->GetCurrentModule(), 0x41);
    EXPECT_EQ(On<QPushButton>("cardMoveTest")->text(), QStringLiteral("[P1] Card Move Test"));

    window->SetMacroRecording(1);
    page->OnPageShown();
    for (const char* name : {"currentModule", "cardMoveTest", "printerFanTest", "toggleTestMode"})
        EXPECT_FALSE(On(name)->isEnabled()) << name << " while recording";
}

TEST_F(ExpertPageTest, EveryFieldIsNamedAndTabFollowsReadingOrder) {
    Connected();
    EXPECT_TRUE(Unlabelled(page).isEmpty()) << Unlabelled(page).join(u' ').toStdString();
    EXPECT_EQ(TabOrder(page), Texts({"currentModule", "currentIteration", "iterationCount",
                                     "cardMoveTest", "printerFanTest", "toggleTestMode"}));
}

TEST_F(ExpertPageTest, RunsTheCountedMovesAndReportsSuccess) {
    Connected(kLonePrinter);
    RunTest("3");
    EXPECT_EQ(shown, Texts({"1", "2", "3"}));
    EXPECT_EQ(CallsOf("Vela_CardIn"), (QList<Args>{{0x40, 0, 0}}));
    const Args forward{0x40, 3, 430, 0}, back{0x40, 0, -430, 0};
    EXPECT_EQ(CallsOf("Vela_CardMoveSensor"),
              (QList<Args>{forward, back, forward, back, forward, back, {0x40, 0, -700, 0}}));
    EXPECT_EQ(BoxTexts(), Texts({"Success"}));
    EXPECT_EQ(boxes[0].style, mb::kOk);
    EXPECT_EQ(std::count(ui.guiWaits.begin(), ui.guiWaits.end(), 50), 3);
    EXPECT_EQ(sim.VelaSim_GetCardModule(nullptr), 0x40) << "the hand-fed card";
}

TEST_F(ExpertPageTest, RefusesOtherModulesAndAnEmptyCount) {
    Connected();
    RunTest("3");
    EXPECT_EQ(BoxTexts(), Texts({"Please, remove other devices."}));
    EXPECT_EQ(boxes[0].style, mb::kIconWarning);

    Connected(kLonePrinter);
    RunTest("");
    EXPECT_EQ(BoxTexts(), Texts({"Please, insert a iteration count."}));
    EXPECT_EQ(boxes[0].style, mb::kIconWarning);
    EXPECT_EQ(window->focusWidget(), On("iterationCount"));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardIn")), 0);
}

TEST_F(ExpertPageTest, AFailureEndsTheTestAtOnce) {
    Connected(kLonePrinter);
    // The second move of iteration 2.
    sim.VelaSim_InjectFault("Vela_CardMoveSensor", 3, 1, kBusy);
    RunTest("5");
    EXPECT_EQ(BoxTexts(), Texts({"Error - 0x80000302"}));
    EXPECT_EQ(boxes[0].style, mb::kOk);
    EXPECT_EQ(Text("currentIteration"), QStringLiteral("2"));
    EXPECT_EQ(CallsOf("Vela_CardMoveSensor").size(), 4) << "no final move";
    EXPECT_EQ(page->LastResult(), 0x80000302u);

    boxes.clear();
    sim.VelaSim_ClearCallLog();
    sim.VelaSim_InjectFault("Vela_CardIn", 0, 1, kBusy);
    RunTest("5");
    EXPECT_EQ(BoxTexts(), Texts({"Error - 0x80000302"}));
    EXPECT_EQ(Text("currentIteration"), QStringLiteral("0"));
    EXPECT_TRUE(CallsOf("Vela_CardMoveSensor").isEmpty());
}

TEST_F(ExpertPageTest, TheEngineerStopsItBetweenIterations) {
    Connected(kLonePrinter);
    bool lockedDuringRun = false;
    RunTest("10", [&](const QString& text) {
        if (text != u"3")
            return;
        auto* button = On<QPushButton>("cardMoveTest");
        lockedDuringRun = button->text() == u"Stop Card Move Test" && button->isEnabled() &&
                          !On("currentModule")->isEnabled();
        QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
    });
    EXPECT_TRUE(lockedDuringRun);
    EXPECT_EQ(shown.last(), QStringLiteral("3"));
    EXPECT_EQ(CallsOf("Vela_CardMoveSensor").size(), 3 * 2 + 1) << "iteration 3 ends, then out";
    EXPECT_EQ(CallsOf("Vela_CardMoveSensor").last(), (Args{0x40, 0, -700, 0}));
    EXPECT_EQ(BoxTexts(), Texts({"Card Move Test stopped after 3 of 10 iterations."}));
    EXPECT_EQ(page->LastResult(), CSubDlgExpert::kStopped);
    EXPECT_FALSE(page->CardMoveTestRunning());
    EXPECT_EQ(On<QPushButton>("cardMoveTest")->text(), QStringLiteral("[P0] Card Move Test"));
    EXPECT_TRUE(On("currentModule")->isEnabled());
}

TEST_F(ExpertPageTest, ADisconnectOrClosedWindowEndsItCleanly) {
    Connected(kLonePrinter);
    RunTest("10", [&](const QString& text) {
        if (text == u"2")
            QMetaObject::invokeMethod(Find<QPushButton>("connect"), &QPushButton::click,
                                      Qt::QueuedConnection);
    });
    EXPECT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
    EXPECT_EQ(CallsOf("Vela_CardMoveSensor").size(), 2) << "nothing after the disconnect";
    EXPECT_EQ(BoxTexts(), Texts({"Error - 0xFFFFFFFF"}));
    EXPECT_FALSE(page->CardMoveTestRunning());

    Connected(kLonePrinter);
    RunTest("10", [&](const QString& text) {
        if (text == u"2")
            QMetaObject::invokeMethod(window.get(), &QWidget::close, Qt::QueuedConnection);
    });
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(CallsOf("Vela_CardMoveSensor").size(), 2);
    EXPECT_TRUE(boxes.empty()) << "nothing shown for a closed window";
    EXPECT_FALSE(page->CardMoveTestRunning());
}

TEST_F(ExpertPageTest, FanTestSendsItsCommandAndShowsNothing) {
    Connected();
    Press("printerFanTest");
    const auto calls = sim.Calls(QStringLiteral("Vela_ExCmdSend"));
    ASSERT_EQ(calls.size(), 1);
    const QJsonArray args = calls[0].value(QLatin1String("args")).toArray();
    EXPECT_EQ(args[1].toString(), QStringLiteral("407001"));
    EXPECT_EQ(args[2].toInteger(), 3);
    EXPECT_EQ(page->LastResult(), 0u);

    sim.VelaSim_InjectFault("Vela_ExCmdSend", 0, 1, kBusy);
    Press("printerFanTest");
    EXPECT_EQ(page->LastResult(), 0x80000302u);
    EXPECT_TRUE(boxes.empty());
}

// ---- Toggle Test Mode: the page on its own, the printer's status given by a stand-in ----

struct Printer {
    static inline int busyPolls = 0;  // polls answered busy before the real status; -1: for ever
    static inline VelaResult failWith = 0;
    static inline PFN_Vela_GetStatus real = nullptr;
    static VelaResult VELA_API GetStatus(VelaHandle h, std::int32_t module, std::uint64_t* status) {
        if (failWith != 0)
            return failWith;
        if (busyPolls != 0) {
            busyPolls -= busyPolls > 0 ? 1 : 0;
            *status = vela::Bit(vela::printer::kPrinting);
            return 0;
        }
        return real(h, module, status);
    }
};

TEST(ExpertToggleTestMode, WaitsBoundedForAnIdlePrinter) {
    struct Case {
        const char* name;
        int busyPolls;
        VelaResult failWith;
        bool toggled;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"idle at once", 0, 0, true, nullptr},
        {"busy for three polls", 3, 0, true, nullptr},
        {"status unreadable", 0, kBusy, false, nullptr},
        {"busy for ever", -1, 0, false,
         "The printer stayed busy for 30 seconds: test mode was not toggled."},
    };
    for (const Case& c : cases) {
        UiRecorder ui;
        FakePageHost host;
        ASSERT_TRUE(host.OpenSimulatorDevice());
        SimControl sim(host.binding);
        Printer::real = host.binding.Vela_GetStatus;
        Printer::busyPolls = c.busyPolls;
        Printer::failWith = c.failWith;
        host.binding.Vela_GetStatus = &Printer::GetStatus;
        sim.VelaSim_ClearCallLog();
        CSubDlgExpert page(host);
        const std::int64_t start = ui.NowMs();

        page.OnToggleTestMode();
        EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExToggleTestMode")), c.toggled ? 1 : 0)
            << c.name;
        EXPECT_EQ(sim.Device().value(QLatin1String("testMode")).toBool(), c.toggled) << c.name;
        EXPECT_EQ(ui.MessageTexts(), c.message ? Texts({c.message}) : QStringList()) << c.name;
        if (c.busyPolls >= 0 && c.failWith == 0) {
            EXPECT_EQ(ui.guiWaits, std::vector<int>(static_cast<size_t>(c.busyPolls) + 1, 50))
                << c.name;
        }
        if (c.busyPolls < 0) {
            EXPECT_EQ(page.LastResult(), CSubDlgExpert::kIdleTimedOut);
            EXPECT_GE(ui.NowMs() - start, CSubDlgExpert::kIdleLimitMs);
            EXPECT_LE(ui.NowMs() - start, CSubDlgExpert::kIdleLimitMs + 100);
        }
        host.binding.Vela_GetStatus = Printer::real;
        sim.Fresh();
    }
}

}  // namespace
}  // namespace halvard::test
