// Recording on the Macro page: the Move page's moves land in the list instead of moving the
// card, shown in the floating "Macro Recording" window and as list lines on the page; the
// button states; the hidden-tab chord.

#include "macro_page_fixture.h"

namespace halvard::test {
namespace {

using MacroRecordTest = MacroPageTest;

// Printer 0x41 and laser unit 0x62 in one chain.
constexpr const char* kLaserChain = R"({"devices": [{"name": "[USB1] Halvard Card Printer",
    "modules": [{"id": 16}, {"id": 65}, {"id": 98}, {"id": 112}]}]})";

TEST_F(MacroRecordTest, MovePageCommandsAreRecordedAndShownInBothPlaces) {
    Connected(kLaserChain);
    CDlgMacroQuickRecord* quick = window->QuickRecordWindow();
    // Placed beside the main window from the start, hidden until recording.
    EXPECT_FALSE(quick->isVisible());
    EXPECT_LE(std::abs(quick->frameGeometry().center().y() - window->frameGeometry().center().y()),
              1);
    Press("macroRecordStart");
    EXPECT_EQ(window->MacroRecording(), 1);
    EXPECT_TRUE(quick->isVisible());
    EXPECT_EQ(quick->CountText(), QStringLiteral("0 Macros are Recorded."));

    PickOnMove("currentModule", 0x41);
    PickOnMove("moveDestination", 0x62);
    PressOnMove("cardMove");
    EXPECT_EQ(quick->CountText(), QStringLiteral("1 Macros are Recorded."));
    EXPECT_EQ(quick->LinesText(), QStringLiteral("MOVE\tP1 -> F2\n"));
    // The page's list follows on its display timer.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ListText() == QStringLiteral("MOVE( 41, 00000000, 62, 00000000 );\n"); },
        2000))
        << ListText().toStdString();

    // The Move page went on as if the card had moved; the eject from there is recorded too, and
    // stopping at once still shows it.
    EXPECT_EQ(move->GetCurrentModule(), 0x62);
    PickOnMove("ejectDestination", 0xFF);
    PressOnMove("cardEject");
    ShowTab("Macro");
    Press("macroRecordStop");
    EXPECT_EQ(window->MacroRecording(), 0);
    EXPECT_FALSE(quick->isVisible());
    EXPECT_EQ(ListText(), QStringLiteral("MOVE( 41, 00000000, 62, 00000000 );\n"
                                         "MOVE( 62, 00000000, FF, 00000000 );\n"));
    EXPECT_EQ(quick->LinesText(), QStringLiteral("MOVE\tP1 -> F2\nMOVE\tF2 -> FF\n"));
    EXPECT_EQ(macro->MacroItems().size(), 2u);
    // Nothing moved while recording.
    EXPECT_TRUE(Transport().isEmpty());
    EXPECT_EQ(sim.VelaSim_GetCardModule(nullptr), 0xFF);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MacroRecordTest, ANewRecordingAsksBeforeTheOldOneIsDeleted) {
    Connected();
    Press("macroRecordStart");
    for (int destination : {0x40, 0x61, 0xFF}) {
        PickOnMove("moveDestination", destination);
        PressOnMove("cardMove");
    }
    ShowTab("Macro");
    Press("macroRecordStop");
    ASSERT_EQ(macro->MacroItems().size(), 3u);
    const QString shown = ListText();
    ASSERT_EQ(shown.count(u'\n'), 3);

    ui.answers = {mb::kIdNo};
    Press("macroRecordStart");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Previous macro will be deleted.\n\nContinue Anyway?"));
    EXPECT_EQ(boxes[0].style, mb::kYesNo | mb::kIconWarning);
    EXPECT_EQ(macro->MacroItems().size(), 3u);
    EXPECT_EQ(ListText(), shown);
    EXPECT_EQ(window->MacroRecording(), 0);
    EXPECT_FALSE(window->QuickRecordWindow()->isVisible());
    EXPECT_TRUE(MacroControl("macroRecordStart")->isEnabled());

    ui.answers = {mb::kIdYes};
    Press("macroRecordStart");
    EXPECT_EQ(boxes.size(), 2);
    EXPECT_TRUE(macro->MacroItems().empty());
    EXPECT_TRUE(ListText().isEmpty());
    EXPECT_EQ(window->MacroRecording(), 1);
    EXPECT_EQ(window->QuickRecordWindow()->CountText(), QStringLiteral("0 Macros are Recorded."));
    EXPECT_TRUE(window->QuickRecordWindow()->LinesText().isEmpty());
    // What is recorded now is shown from the first line on.
    PickOnMove("currentModule", 0x10);
    PickOnMove("moveDestination", 0x40);
    PressOnMove("cardMove");
    ShowTab("Macro");
    Press("macroRecordStop");
    EXPECT_EQ(ListText(), QStringLiteral("MOVE( 10, 00000000, 40, 00000000 );\n"));
}

TEST_F(MacroRecordTest, ButtonsFollowConnectionRecordingAndPlayback) {
    // Record start, record stop, play, number of passes: enabled ("1") or not ("0").
    const auto states = [this] {
        QString s;
        for (QWidget* w : {static_cast<QWidget*>(MacroControl("macroRecordStart")),
                           static_cast<QWidget*>(MacroControl("macroRecordStop")),
                           static_cast<QWidget*>(MacroControl("macroPlayStart")),
                           static_cast<QWidget*>(MacroControl<QLineEdit>("passes"))})
            s += w->isEnabled() ? u'1' : u'0';
        return s;
    };
    Open(true);
    macro = static_cast<CSubDlgMacro*>(PageOf(page_id::kMacro));
    ShowTab("Macro");
    EXPECT_EQ(states(), QStringLiteral("0001")) << "disconnected";
    ConnectFirst();
    EXPECT_EQ(states(), QStringLiteral("1001")) << "connected, nothing recorded";
    Press("macroRecordStart");
    EXPECT_EQ(states(), QStringLiteral("0101")) << "recording";
    window->QuickRecorder()->AddRecordedMove(0x10, 0, 0x40, 0);
    Press("macroRecordStop");
    EXPECT_EQ(states(), QStringLiteral("1011")) << "one step recorded";
    EXPECT_EQ(PlayCaption(), QStringLiteral("Macro Play Start"));

    // During playback the play button is the stop button.
    QStringList during;
    QMetaObject::invokeMethod(
        macro,
        [&] {
            during << states() << PlayCaption();
            MacroControl("macroPlayStart")->click();
            during << states() << PlayCaption();
        },
        Qt::QueuedConnection);
    Press("macroPlayStart");
    EXPECT_EQ(during, Texts({"0010", "Macro Play Stop", "0010", "Macro Play Stoping ..."}));
    EXPECT_EQ(states(), QStringLiteral("1011"));
    EXPECT_EQ(PlayCaption(), QStringLiteral("Macro Play Start"));

    ReleasePoll();
    Click("connect");
    EXPECT_EQ(states(), QStringLiteral("0001")) << "disconnected with a macro";
}

TEST_F(MacroRecordTest, KeysInsideThePageAndTheQuickRecordWindow) {
    Connected();
    const auto chord = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    const QStringList all =
        Texts({"Move", "Magnetic", "RF", "IC", "Print", "Barcode", "Expert", "Macro"});
    // The chord from a control of the page hides the tab, and from the page shown then brings
    // it back.
    auto* list = MacroControl<QPlainTextEdit>("macroList");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F10, chord);
    EXPECT_EQ(TabTitles(), Texts({"Move", "Magnetic", "RF", "IC", "Print", "Barcode"}));
    EXPECT_FALSE(macro->isVisible());
    QTest::keyClick(window->SelectedPage(), Qt::Key_F10, chord);
    EXPECT_EQ(TabTitles(), all);

    // While recording, the floating window cannot be closed from the keyboard, and passes the
    // chord on to the main window.
    ShowTab("Macro");
    Press("macroRecordStart");
    CDlgMacroQuickRecord* quick = window->QuickRecordWindow();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return})
        QTest::keyClick(quick, key);
    EXPECT_FALSE(quick->close());
    EXPECT_TRUE(quick->isVisible());
    QTest::keyClick(quick, Qt::Key_F10, chord);
    EXPECT_EQ(TabTitles().size(), 6);
    QTest::keyClick(quick, Qt::Key_F10, chord);
    EXPECT_EQ(TabTitles(), all);
    EXPECT_EQ(window->MacroRecording(), 1);
}

}  // namespace
}  // namespace halvard::test
