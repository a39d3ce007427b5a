// The batch run in the real main window against the simulator: cards fed, encoded, read,
// compared and ejected; errors and retries counted; reports, preemption, stopping and closing.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <functional>

#include "magnetic_fixture.h"

namespace halvard::test {
namespace {

using Args = QList<qint64>;
constexpr VelaResult kBusyCode = static_cast<VelaResult>(0x80000302);
constexpr int kRunLimitMs = 120000;

// The default chain with a deck large enough for long runs.
constexpr const char* kLongDeckChain = R"({"devices": [{"name": "[USB1] Halvard Card Printer",
    "modules": [{"id": 16, "cards": 250}, {"id": 64, "encoder": true},
                {"id": 97, "ic": true, "rf": true}, {"id": 98}, {"id": 80}, {"id": 112}]}]})";

class BatchTest : public MagneticTest {
protected:
    // Sets the batch controls and clicks "Batch".
    void StartBatch(int total, bool insert, bool eject, bool prompt = false) {
        Find<QLineEdit>("batchTotal")->setText(QString::number(total));
        for (auto [name, on] : {std::pair{"insertCard", insert}, std::pair{"ejectCard", eject},
                                std::pair{"promptErrorMessage", prompt}}) {
            auto* box = Find<QCheckBox>(name);
            if (box->isChecked() != on)
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        }
        Click("batch");
        ASSERT_TRUE(window->BatchRunning());
    }
    // Serves events as the application does (each as soon as it arrives) until `done` holds;
    // false when the limit passed first.
    static bool ServeUntil(const std::function<bool()>& done, int limitMs = kRunLimitMs) {
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done() || clock.elapsed() > limitMs)
                loop.quit();
        });
        check.start(5);
        if (!done())
            loop.exec();
        return done();
    }
    void WaitForEnd() {
        ASSERT_TRUE(ServeUntil([this] { return !window->BatchRunning(); }));
        QCoreApplication::processEvents();
    }
    // Checks all four tracks on both sides. The page's rule lets JIS and the ISO tracks
    // exclude each other, so no click gives all four: they are set with the rule held back, as
    // a driver of the page (or a page restored with all four) would have them.
    void CheckAllFourTracks() {
        for (const char* side : {"read", "write"})
            for (const char* track : {"1", "2", "3", "Jis"}) {
                auto* box = On<QCheckBox>(Named(side, "Track", track).constData());
                const QSignalBlocker hold(box);
                box->setChecked(true);
            }
    }
    QString Counter(const char* name) { return Find<QLineEdit>(name)->text(); }
    QStringList LogLines() { return LogText().split(u'\n', Qt::SkipEmptyParts); }
    int Stacked(int module) {
        return sim.Module(module).value(QLatin1String("stack")).toArray().size();
    }
};

TEST_F(BatchTest, AnInvalidTotalStartsNothing) {
    Connected();
    for (const char* total : {"0", ""}) {
        boxes.clear();
        Find<QLineEdit>("batchTotal")->setText(QString::fromLatin1(total));
        Click("batch");
        EXPECT_FALSE(window->BatchRunning()) << total;
        EXPECT_EQ(BoxTexts(), Texts({"Please Enter Valid Value..."})) << total;
        EXPECT_EQ(boxes.value(0).style, 0x40u);
        EXPECT_TRUE(Find<QLineEdit>("batchTotal")->hasFocus());
        EXPECT_EQ(Find<QLineEdit>("batchTotal")->selectedText(), QString::fromLatin1(total));
    }
    EXPECT_FALSE(LogText().contains(QStringLiteral("ITERATION")));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_RequestPreemption")), 0);
}

TEST_F(BatchTest, TwoHundredCardsWrittenReadAndComparedOnAllFourTracks) {
    Connected(kLongDeckChain);
    CheckAllFourTracks();
    StartBatch(200, true, true);
    WaitForEnd();

    EXPECT_EQ(Counter("batchCurrent"), QStringLiteral("200"));
    EXPECT_EQ(Counter("errorCounter"), QStringLiteral("0"));
    EXPECT_EQ(Counter("retryCounter"), QStringLiteral("0"));
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.filter(QStringLiteral("ITER [")).size(), 200);
    EXPECT_TRUE(lines.contains(QStringLiteral("ITER [200/200].")));
    EXPECT_EQ(lines.value(lines.indexOf(QStringLiteral("Start ITERATION.")) - 1),
              QStringLiteral("----------------------------------"));
    EXPECT_EQ(lines.last(), QStringLiteral("Finish ITERATION."));

    // What the printer received, card by card.
    EXPECT_EQ(ArgsOf("Vela_CardMove2"), QList<Args>(200, Args{0x10, 0, 0x40, 0, 0}));
    EXPECT_EQ(ArgsOf("Vela_WriteEncoder"), QList<Args>(200, Args{0x40, 0x0F, 0}));
    EXPECT_EQ(ArgsOf("Vela_ReadEncoder"), QList<Args>(200, Args{0x40, 0x0F, 0}));
    EXPECT_EQ(ArgsOf("Vela_CardEject2"), QList<Args>(200, Args{0x40, 0, 0xFF, 0}));
    EXPECT_EQ(ArgsOf("Vela_SetEncConfig"), (QList<Args>{{0x40, 0, 200}}));
    // Every card left with its four tracks; the last one holds what the page shows.
    const QJsonArray stack = sim.Module(0x70).value(QLatin1String("stack")).toArray();
    ASSERT_EQ(stack.size(), 100) << "the output hopper keeps the newest 100";
    EXPECT_EQ(sim.Module(0x10).value(QLatin1String("cards")).toInt(), 50);
    EXPECT_EQ(stack.last().toObject().value(QLatin1String("serial")).toInt() -
                  stack.first().toObject().value(QLatin1String("serial")).toInt(),
              99);
    const QJsonObject last = stack.last().toObject().value(QLatin1String("tracks")).toObject();
    EXPECT_EQ(last.value(QLatin1String("jis")).toObject().value(QLatin1String("data")).toString(),
              Text("writeDataJis"));
    EXPECT_EQ(last.value(QLatin1String("3")).toObject().value(QLatin1String("data")).toString(),
              Text("readData3"));
    EXPECT_EQ(sim.VelaSim_GetCardModule(nullptr), 0xFF);

    // The run took the token and gave it back; the page is as before the run.
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_RequestPreemption")), 1);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReleasePreemption")), 1);
    EXPECT_EQ(window->GetPreemptionToken(), 0xFFFF);
    EXPECT_EQ(page->Busy(), 0);
    EXPECT_EQ(page->Interactive(), 1);
    EXPECT_TRUE(Find<QPushButton>("batch")->isEnabled());

    // JIS alone, as the check boxes give it, on both sides.
    sim.VelaSim_ClearCallLog();
    for (const char* jis : {"readTrackJis", "writeTrackJis"}) {
        Check(jis, false);
        Check(jis, true);
    }
    ASSERT_EQ(TrackChecks(), (QList<bool>{false, false, false, true, false, false, false, true}));
    StartBatch(20, true, true);
    WaitForEnd();
    EXPECT_EQ(Counter("errorCounter"), QStringLiteral("0"));
    EXPECT_EQ(ArgsOf("Vela_WriteEncoder"), QList<Args>(20, Args{0x40, 0x08, 0}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetEncBuffer")), 20);
}

TEST_F(BatchTest, AReadFailureOnEverySeventhCardCountsErrorsAndRetries) {
    Connected();
    ASSERT_EQ(Text("retryLimit"), QStringLiteral("1"));
    // Cards 7, 21, 35, 49, 63 fail their first read only (a retry); cards 14, 28, 42, 56, 70
    // fail both attempts (a retry and an error). Every earlier bad card took two reads, so the
    // first read of card 7m is the read numbered 8m - 2 from 0.
    for (int m = 1; m <= 10; ++m)
        sim.VelaSim_InjectFault("Vela_ReadEncoder", 8 * m - 2, m % 2 == 0 ? 2 : 1, kBusyCode);
    StartBatch(70, true, true);
    WaitForEnd();

    EXPECT_EQ(Counter("errorCounter"), QStringLiteral("5"));
    EXPECT_EQ(Counter("retryCounter"), QStringLiteral("10"));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReadEncoder")), 80);
    EXPECT_EQ(LogLines().filter(QStringLiteral("  Mag Read Error : 0x80000302")).size(), 5);
    EXPECT_EQ(LogLines().last(), QStringLiteral("Finish ITERATION."));
    // A card in error still goes out; no report was shown ("Prompt Error Message" is off).
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardEject2")), 70);
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_EQ(ui.guiWaits.size(), 10u) << "one pause before each retry";
}

// The real hand-back, with track 2's first character changed: a stripe that reads back wrong.
PFN_Vela_GetEncBuffer g_realGet = nullptr;
VelaResult VELA_API Track2ReadsWrong(VelaHandle h, std::int32_t module, std::int32_t track,
                                     std::int32_t* length, VelaChar* text) {
    const VelaResult r = g_realGet(h, module, track, length, text);
    if (r == 0 && track == 2)
        text[0] = text[0] == u'0' ? u'1' : u'0';
    return r;
}

TEST_F(BatchTest, AMismatchOnTrackTwoLogsEveryTrackAndCountsOneError) {
    Connected();
    CheckAllFourTracks();
    g_realGet = window->Binding().Vela_GetEncBuffer;
    window->Binding().Vela_GetEncBuffer = &Track2ReadsWrong;
    StartBatch(1, true, true, true);
    WaitForEnd();

    EXPECT_EQ(Counter("errorCounter"), QStringLiteral("1"));
    EXPECT_EQ(BoxTexts(), Texts({"Mag Write & Read Data is Different"}));
    EXPECT_EQ(boxes.value(0).style, 0x30u);
    const QStringList lines = LogLines();
    const qsizetype at = lines.indexOf(QStringLiteral("  Mag Write & Read Data is Different"));
    ASSERT_GE(at, 0);
    const QString w2 = Text("writeData2"), r2 = Text("readData2");
    ASSERT_NE(w2, r2);
    EXPECT_EQ(lines.mid(at + 1, 8),
              (QStringList{QStringLiteral("    T1 Write = [") + Text("writeData1") + u']',
                           QStringLiteral("    T1 Read  = [") + Text("readData1") + u']',
                           QStringLiteral("    T2 Write = [") + w2 + u']',
                           QStringLiteral("    T2 Read  = [") + r2 + u']',
                           QStringLiteral("    T3 Write = [") + Text("writeData3") + u']',
                           QStringLiteral("    T3 Read  = [") + Text("readData3") + u']',
                           QStringLiteral("    JIS Write = [") + Text("writeDataJis") + u']',
                           QStringLiteral("    JIS Read  = [") + Text("readDataJis") + u']'}));
    EXPECT_EQ(Text("readData1"), Text("writeData1"));
}

TEST_F(BatchTest, WithNothingToDoEachIterationOnlyLogsItself) {
    Connected();
    for (const char* side : {"read", "write"})
        for (const char* track : {"1", "2", "3"})
            Check(Named(side, "Track", track).constData(), false);
    StartBatch(3, false, false);
    WaitForEnd();
    const QStringList lines = LogLines();
    const qsizetype start = lines.indexOf(QStringLiteral("Start ITERATION."));
    ASSERT_GE(start, 0);
    EXPECT_EQ(lines.mid(start + 1),
              Texts({"ITER [1/3].", "ITER [2/3].", "ITER [3/3].", "Finish ITERATION."}));
    for (const char* fn : {"Vela_CardMove2", "Vela_WriteEncoder", "Vela_ReadEncoder",
                           "Vela_SetEncBuffer", "Vela_CardEject2"})
        EXPECT_EQ(sim.CountCalls(QString::fromLatin1(fn)), 0) << fn;
}

TEST_F(BatchTest, RetriesCountOnlyForTheCommandsOfTheIteration) {
    Connected();
    // An Auto Read by hand that needed a retry, then a run that writes only.
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
    sim.VelaSim_InjectFault("Vela_ReadEncoder", 0, 1, kBusyCode);
    Press("autoWrite");
    Press("autoRead");
    ASSERT_TRUE(page->AutoReadRetried());
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0xFF), 0);
    for (const char* track : {"1", "2", "3"})
        Check(Named("readTrack", track).constData(), false);
    StartBatch(2, true, true);
    WaitForEnd();
    EXPECT_EQ(Counter("retryCounter"), QStringLiteral("0"));
    EXPECT_EQ(Counter("errorCounter"), QStringLiteral("0"));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_WriteEncoder")), 3);
}

TEST_F(BatchTest, WithoutAnInputHopperTheCardIsFedByHand) {
    sim.Fresh("no-input-hopper");
    Connected();
    StartBatch(2, true, true);
    WaitForEnd();
    EXPECT_EQ(ArgsOf("Vela_CardMove2"), QList<Args>(2, Args{0xFF, 0, 0x40, 0, 0}));
    EXPECT_EQ(Counter("errorCounter"), QStringLiteral("0"));
    EXPECT_EQ(Stacked(0x70), 2);
}

TEST_F(BatchTest, FailuresAreReportedAndOnlyTransportFailuresEndTheRun) {
    Connected();
    // No token to be had, and no coercivity: both reported, the run goes on.
    sim.VelaSim_InjectFault("Vela_RequestPreemption", 0, 1, kBusyCode);
    sim.VelaSim_InjectFault("Vela_SetEncConfig", 0, 1, kBusyCode);
    // The second card does not come in.
    sim.VelaSim_InjectFault("Vela_CardMove2", 1, 1, kBusyCode);
    StartBatch(5, true, true);
    WaitForEnd();
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Get Preemption !!!", "Failed to Acquire Preemption",
                                 "Error while CardMove... (error=0x80000302)",
                                 "Card Move Error [10 to 40] : 0x80000302"}));
    const QStringList lines = LogLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Failed to Acquire Preemption")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Failed to Set Mag. Coercivity : 0x80000302")));
    EXPECT_TRUE(lines.contains(QStringLiteral("  Card Move Error [10 to 40] : 0x80000302")));
    EXPECT_FALSE(lines.contains(QStringLiteral("ITER [3/5].")));
    EXPECT_EQ(lines.last(), QStringLiteral("Finish ITERATION."));
    EXPECT_EQ(Counter("batchCurrent"), QStringLiteral("2"));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReleasePreemption")), 0) << "none was held";
    EXPECT_EQ(Stacked(0x70), 1);

    // An eject that fails ends the run too.
    boxes.clear();
    sim.VelaSim_ClearFaults();
    sim.VelaSim_InjectFault("Vela_CardEject2", 0, 1, kBusyCode);
    StartBatch(5, true, true);
    WaitForEnd();
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardEject... (error=0x80000302)",
                                 "Card Eject Error [40 to 70] : 0x80000302"}));
    EXPECT_EQ(Counter("batchCurrent"), QStringLiteral("1"));
}

TEST_F(BatchTest, AReportPausesTheRunAndTheInteractiveFlagComesBack) {
    Connected();
    // The first card's write fails: with "Prompt Error Message" the page shows each report, and
    // the run waits for the answer before it ejects that card.
    sim.VelaSim_InjectFault("Vela_WriteEncoder", 0, 2, kBusyCode);
    std::vector<int> ejectsWhenShown;
    ui.onMessage = [&](const ShownMessage&) {
        ejectsWhenShown.push_back(sim.CountCalls(QStringLiteral("Vela_CardEject2")));
    };
    StartBatch(2, true, true, true);
    WaitForEnd();
    ui.onMessage = nullptr;
    EXPECT_EQ(BoxTexts(),
              Texts({"Mag. Write Track 1, Track 2, Track 3 : Failed - error : 0x80000302",
                     "Mag. Write Track 1, Track 2, Track 3 : Failed - error : 0x80000302",
                     "[ERROR] 0x80000302\n", "Mag Write Error : 0x80000302"}));
    EXPECT_EQ(ejectsWhenShown, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardEject2")), 2);
    EXPECT_EQ(Counter("errorCounter"), QStringLiteral("1"));
    EXPECT_EQ(Counter("retryCounter"), QStringLiteral("1"));

    // A run without reports leaves the page reporting what is clicked by hand afterwards.
    boxes.clear();
    StartBatch(1, true, true, false);
    EXPECT_EQ(page->Interactive(), 0);
    WaitForEnd();
    EXPECT_EQ(page->Interactive(), 1);
    sim.VelaSim_InjectFault("Vela_FetchEncoder", 0, 1, kBusyCode);
    Press("fetchData");
    EXPECT_EQ(BoxTexts(), Texts({"Fetch Data : Failed - error : 0x80000302"}));
}

TEST_F(BatchTest, StoppedInTheMiddleOfAnIteration) {
    Connected(kLongDeckChain);
    StartBatch(200, true, true);
    // Stopped once the third card is written and before it is read.
    ASSERT_TRUE(
        ServeUntil([this] { return sim.CountCalls(QStringLiteral("Vela_WriteEncoder")) >= 3; }));
    Click("batch");
    EXPECT_FALSE(window->BatchRunning());
    const int calls =
        static_cast<int>(sim.Calls().size() - sim.Calls(QStringLiteral("Vela_GetStatus")).size() -
                         sim.Calls(QStringLiteral("Vela_GetModuleState")).size());
    EXPECT_LT(sim.CountCalls(QStringLiteral("Vela_CardMove2")), 5);

    // The token the run took is given back, the last line says the run was stopped, the page
    // is free, and nothing more reaches the printer.
    EXPECT_EQ(window->GetPreemptionToken(), 0xFFFF);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReleasePreemption")), 1);
    EXPECT_EQ(LogLines().last(), QStringLiteral("Terminate ITERATION."));
    EXPECT_FALSE(LogText().contains(QStringLiteral("Finish ITERATION.")));
    EXPECT_EQ(page->Busy(), 0);
    EXPECT_EQ(page->Interactive(), 1);
    QTest::qWait(100);
    EXPECT_EQ(
        static_cast<int>(sim.Calls().size() - sim.Calls(QStringLiteral("Vela_GetStatus")).size() -
                         sim.Calls(QStringLiteral("Vela_GetModuleState")).size()),
        calls);
    EXPECT_EQ(LogLines().last(), QStringLiteral("Terminate ITERATION."));

    // A new run starts afresh.
    sim.VelaSim_RemoveCard(nullptr);
    StartBatch(2, true, true);
    WaitForEnd();
    EXPECT_EQ(Counter("batchCurrent"), QStringLiteral("2"));
    EXPECT_EQ(LogLines().last(), QStringLiteral("Finish ITERATION."));
}

TEST_F(BatchTest, ClosingTheWindowStopsTheRun) {
    // Between two steps.
    Connected(kLongDeckChain);
    StartBatch(200, true, true);
    ASSERT_TRUE(
        ServeUntil([this] { return sim.CountCalls(QStringLiteral("Vela_ReadEncoder")) >= 2; }));
    window->close();
    EXPECT_FALSE(window->BatchRunning());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReleasePreemption")), 1);
    window.reset();

    // While a step shows a box: the close is taken once the box is answered.
    sim.Fresh();
    Connected();
    sim.VelaSim_InjectFault("Vela_WriteEncoder", 2, -1, kBusyCode);
    std::atomic<int> closes{0};
    ui.onMessage = [&](const ShownMessage&) {
        if (closes++ == 0)
            window->close();
    };
    StartBatch(50, true, true, true);
    WaitForEnd();
    ui.onMessage = nullptr;
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMove2")), 3) << "no card after the third";
    EXPECT_EQ(LogLines().last(), QStringLiteral("Terminate ITERATION."));
    EXPECT_EQ(window->GetPreemptionToken(), 0xFFFF);

    // Destroyed outright while running.
    window.reset();
    sim.Fresh();
    Connected(kLongDeckChain);
    StartBatch(200, true, true);
    ASSERT_TRUE(
        ServeUntil([this] { return sim.CountCalls(QStringLiteral("Vela_CardMove2")) >= 2; }));
    window.reset();
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReleasePreemption")), 1);
}

}  // namespace
}  // namespace halvard::test
