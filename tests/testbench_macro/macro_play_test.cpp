// Playback on the Macro page: the recorded steps re-run through the Move page pass after pass,
// the wait until the modules are idle, the stop at the end of a pass, and what ends a playback
// at once (disconnect, closing the window, the page going).

#include "macro_page_fixture.h"

namespace halvard::test {
namespace {

class MacroPlayTest : public MacroPageTest {
protected:
    // Records input hopper -> printer -> flipper -> laminator -> output hopper -> out with the
    // Move page's own buttons.
    void RecordWalk() {
        Press("macroRecordStart");
        for (int destination : {0x40, 0x61, 0x50, 0x70}) {
            PickOnMove("moveDestination", destination);
            PressOnMove("cardMove");
        }
        PickOnMove("ejectDestination", 0xFF);
        PressOnMove("cardEject");
        ShowTab("Macro");
        Press("macroRecordStop");
    }
    int Stacked(int module = 0x70) {
        return static_cast<int>(sim.Module(module).value(QLatin1String("stack")).toArray().size());
    }
    int InDeck() { return sim.Module(0x10).value(QLatin1String("cards")).toInt(); }
};

TEST_F(MacroPlayTest, RecordedWalkThroughTheSystemReplaysThreeTimes) {
    Connected();
    RecordWalk();
    ASSERT_EQ(ListText(), QStringLiteral("MOVE( 10, 00000000, 40, 00000000 );\n"
                                         "MOVE( 40, 00000000, 61, 00000000 );\n"
                                         "MOVE( 61, 00000000, 50, 00000000 );\n"
                                         "MOVE( 50, 00000000, 70, 00000000 );\n"
                                         "MOVE( 70, 00000000, FF, 00000000 );\n"));
    ASSERT_TRUE(Transport().isEmpty());
    const int deck = InDeck();
    ASSERT_GT(deck, 3);

    // Where the card is each time a pass ends.
    struct Seen {
        QString pass;
        int card;
        int stacked;
        int inDeck;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    QObject::connect(
        MacroControl<QLineEdit>("currentPass"), &QLineEdit::textChanged, [&](const QString& pass) {
            seen.push_back({pass, sim.VelaSim_GetCardModule(nullptr), Stacked(), InDeck()});
        });
    SetPasses("3");
    Press("macroPlayStart");

    EXPECT_EQ(seen, (std::vector<Seen>{{QStringLiteral("1"), 0xFF, 1, deck - 1},
                                       {QStringLiteral("2"), 0xFF, 2, deck - 2},
                                       {QStringLiteral("3"), 0xFF, 3, deck - 3}}));
    // Each step through the Move page's command for it: the move into the flipper as an eject
    // into it, the move into the output hopper as the move it was.
    const QStringList pass =
        Texts({"CardMove2(10,0,40,0,0)", "CardEject2(40,0,61,0)", "CardMove2(61,0,50,0,0)",
               "CardMove2(50,0,70,0,0)", "CardEject2(70,0,FF,0)"});
    EXPECT_EQ(Transport(), pass + pass + pass);
    // Three different cards reached the stack.
    QSet<int> serials;
    for (const QJsonValue& card : sim.Module(0x70).value(QLatin1String("stack")).toArray())
        serials.insert(card.toObject().value(QLatin1String("serial")).toInt());
    EXPECT_EQ(serials.size(), 3);
    EXPECT_TRUE(boxes.isEmpty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_FALSE(macro->Playing());
    EXPECT_EQ(PlayCaption(), QStringLiteral("Macro Play Start"));
    EXPECT_EQ(CurrentPass(), QStringLiteral("3"));
}

TEST_F(MacroPlayTest, PassCountAndStopRequest) {
    struct Case {
        const char* passes;
        bool pressAgain;  // the play button pressed again during the first pass
        int commands;
        QStringList passesShown;
        QStringList messages;
    };
    const QStringList none;
    const Case cases[] = {
        {"0", false, 0, none, none},
        {"", false, 0, none, none},
        {"2", false, 6, Texts({"1", "2"}), none},
        {"3", true, 3, none, none},
        {"-1", false, 0, none, Texts({"Iteration value is not valid!"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.passes);
        Connected();
        Recorded({kToPrinter, kToFlipper, kOut});
        QStringList shown;
        auto* currentPass = MacroControl<QLineEdit>("currentPass");
        QObject::connect(currentPass, &QLineEdit::textChanged,
                         [&](const QString& pass) { shown << pass; });
        QString captionAfterPress;
        if (c.pressAgain)
            QMetaObject::invokeMethod(
                macro,
                [&] {
                    MacroControl("macroPlayStart")->click();
                    captionAfterPress = PlayCaption();
                },
                Qt::QueuedConnection);
        SetPasses(c.passes);
        Press("macroPlayStart");

        EXPECT_EQ(Transport().size(), c.commands);
        EXPECT_EQ(shown, c.passesShown);
        EXPECT_EQ(BoxTexts(), c.messages);
        EXPECT_EQ(Stacked(), c.commands / 3);
        if (c.pressAgain) {
            EXPECT_EQ(captionAfterPress, QStringLiteral("Macro Play Stoping ..."));
            EXPECT_EQ(CurrentPass(), QStringLiteral("0"));
        }
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(boxes[0].style & mb::kIconMask, mb::kIconWarning);
            auto* passes = MacroControl<QLineEdit>("passes");
            EXPECT_EQ(passes->selectedText(), passes->text());
        }
        EXPECT_FALSE(macro->Playing());
        EXPECT_EQ(PlayCaption(), QStringLiteral("Macro Play Start"));
        CloseAndRestart();
    }
}

TEST_F(MacroPlayTest, WaitUntilIdleIsBoundedAndSeesAStop) {
    constexpr std::uint64_t kPrinterBusy = 0x1;  // "doing SBS command"
    const QString timedOut = QStringLiteral(
        "Module [40] is still busy after 60 seconds. Macro Play Stopped... (error=0x80000352)");
    struct Case {
        const char* what;
        bool stuck;           // the printer stays busy
        bool clearAfterPoll;  // ... until the first events processed in the wait
        bool statusFails;     // every status query fails
        bool pressStop;       // the play button pressed again in the first wait
        QStringList transport;
        QStringList messages;
        int minWaitedMs;
        int maxWaitedMs;
    };
    const QStringList pass =
        Texts({"CardMove2(10,0,40,0,0)", "CardEject2(40,0,61,0)", "CardEject2(61,0,FF,0)"});
    const QStringList none;
    const Case cases[] = {
        {"idle modules", false, false, false, false, pass, none, 0, 1000},
        {"busy for a while", true, true, false, false, pass, none, 0, 1000},
        {"status queries fail", true, false, true, false, pass, none, 0, 1000},
        {"stays busy, stop asked", true, false, false, true, none, none, 5000, 6000},
        {"stays busy", true, false, false, false, none, QStringList{timedOut}, 60000, 61000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Connected();
        Recorded({kToPrinter, kToFlipper, kOut});
        if (c.stuck)
            sim.VelaSim_SetStatusBits(nullptr, 0x40, kPrinterBusy, 0);
        if (c.statusFails)
            sim.VelaSim_InjectFault("Vela_GetStatus", 0, -1, static_cast<VelaResult>(0x80000302));
        if (c.clearAfterPoll)
            QMetaObject::invokeMethod(
                macro, [&] { sim.VelaSim_SetStatusBits(nullptr, 0x40, 0, 0); },
                Qt::QueuedConnection);
        if (c.pressStop)
            QMetaObject::invokeMethod(
                macro, [&] { MacroControl("macroPlayStart")->click(); }, Qt::QueuedConnection);
        ui.guiWaits.clear();
        Press("macroPlayStart");

        EXPECT_EQ(Transport(), c.transport);
        EXPECT_EQ(BoxTexts(), c.messages);
        EXPECT_GE(ui.GuiWaitedMs(), c.minWaitedMs);
        EXPECT_LE(ui.GuiWaitedMs(), c.maxWaitedMs);
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(boxes[0].style & mb::kIconMask, mb::kIconWarning);
            EXPECT_EQ(macro->LastResult(), 0x80000352u);
        }
        EXPECT_FALSE(macro->Playing());
        EXPECT_EQ(PlayCaption(), QStringLiteral("Macro Play Start"));
        EXPECT_TRUE(MacroControl("macroPlayStart")->isEnabled());
        CloseAndRestart();
    }
}

TEST_F(MacroPlayTest, AFailingCommandIsReportedByTheMovePageAndThePassGoesOn) {
    Connected();
    Recorded({kToPrinter, kToFlipper, kOut});
    sim.VelaSim_InjectFault("Vela_CardMove2", 0, 1, static_cast<VelaResult>(0x80000302));
    SetPasses("2");
    Press("macroPlayStart");
    // The first move failed, so the first pass's ejects found no card; the second pass is whole.
    ASSERT_EQ(Transport().size(), 6);
    EXPECT_EQ(BoxTexts().value(0), QStringLiteral("Error while CardMove... (error=0x80000302)"));
    EXPECT_EQ(boxes.size(), 3);
    EXPECT_EQ(Stacked(), 1);
    EXPECT_EQ(CurrentPass(), QStringLiteral("2"));
}

TEST_F(MacroPlayTest, ReplaysHopperLinesAndEjectOptionsOfTheRecording) {
    sim.Fresh("multi-hopper");
    Connected();
    // A move from hopper 3 of the multi-input hopper, then an eject back onto hopper 3 from the
    // right.
    Press("macroRecordStart");
    ShowTab("Move");
    PickOnMove("hopperLine", 0x30);
    PickOnMove("moveDestination", 0x40);
    PressOnMove("cardMove");
    PickOnMove("ejectDestination", 0x20);
    PickOnMove("hopLine", 0x30000);
    PickOnMove("ejectDir", 1);
    PressOnMove("cardEject");
    ShowTab("Macro");
    Press("macroRecordStop");
    ASSERT_EQ(ListText(), QStringLiteral("MOVE( 20, 00000030, 40, 00000000 );\n"
                                         "MOVE( 40, 00000000, 20, 00030001 );\n"));

    // The Move page's selectors are somewhere else when the playback starts.
    PickOnMove("hopperLine", 0);
    PickOnMove("ejectDestination", 0xFF);
    ShowTab("Macro");
    Press("macroPlayStart");
    EXPECT_EQ(Transport(), Texts({"CardMove2(20,30,40,0,0)", "CardEject2(40,0,20,30001)"}));
    EXPECT_TRUE(boxes.isEmpty()) << BoxTexts().join(u'|').toStdString();
}

TEST_F(MacroPlayTest, DisconnectCloseOrThePageGoingEndThePlaybackAtOnce) {
    struct Case {
        const char* what;
        std::function<void()> act;
        bool windowStays;
    };
    const Case cases[] = {
        {"disconnect",
         [this] {
             ReleasePoll();
             Click("connect");
         },
         true},
        {"window closed", [this] { window->close(); }, true},
        {"window destroyed",
         [this] {
             ReleasePoll();
             window.reset();
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Connected();
        Recorded({kToPrinter, kToFlipper, kOut});
        SetPasses("5");
        // Right after the first command of the first pass.
        OnceDuringEvents([this] { return sim.CountCalls(QStringLiteral("Vela_CardMove2")) >= 1; },
                         c.act);
        Press("macroPlayStart");

        // Nothing reached the device after the first command.
        const QList<QJsonObject> calls = sim.Calls();
        qsizetype first = 0;
        while (first < calls.size() &&
               calls[first].value(QLatin1String("fn")).toString() != u"Vela_CardMove2")
            ++first;
        ASSERT_LT(first, calls.size());
        QStringList after;
        for (qsizetype i = first + 1; i < calls.size(); ++i)
            after << calls[i].value(QLatin1String("fn")).toString();
        // Once the device is closed nothing calls it; before, only the status poll and the other
        // pages' disconnect steps may have.
        const qsizetype closed = after.indexOf(QStringLiteral("VelaDCL_CloseDevice"));
        EXPECT_EQ(closed < 0, c.what == std::string("window closed"));
        if (closed >= 0) {
            EXPECT_EQ(after.size(), closed + 1) << after.join(u' ').toStdString();
        }
        QStringList others = after.mid(0, closed < 0 ? after.size() : closed);
        others.removeAll(QStringLiteral("Vela_GetStatus"));
        others.removeAll(QStringLiteral("Vela_GetModuleState"));
        others.removeAll(QStringLiteral("Vela_ReleasePreemption"));
        others.removeAll(QStringLiteral("Vela_CloseDocument"));  // the Print page's disconnect
        EXPECT_TRUE(others.isEmpty()) << others.join(u' ').toStdString();
        EXPECT_EQ(Transport().size(), 1);
        EXPECT_TRUE(boxes.isEmpty()) << BoxTexts().join(u'|').toStdString();
        if (c.windowStays) {
            EXPECT_FALSE(macro->Playing());
            EXPECT_EQ(PlayCaption(), QStringLiteral("Macro Play Start"));
            EXPECT_EQ(CurrentPass(), QStringLiteral("0"));
        } else {
            EXPECT_EQ(window, nullptr);
        }
        CloseAndRestart();
    }
}

}  // namespace
}  // namespace halvard::test
