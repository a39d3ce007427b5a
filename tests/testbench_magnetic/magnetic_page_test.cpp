// The Magnetic page in the real main window against the simulator: its encoder list, controls
// and their rules, every command as the printer receives it, and every failure as the user sees
// it.

#include <QFocusEvent>
#include <QSignalSpy>

#include "magnetic_fixture.h"
#include "message_service.h"

namespace halvard::test {
namespace {

using Args = QList<qint64>;
constexpr unsigned kExclamation = 0x30;
constexpr unsigned kInformation = 0x40;
constexpr VelaResult kBusyCode = static_cast<VelaResult>(0x80000302);

// A printer without an encoder, and one with; no laser unit.
constexpr const char* kNoEncoderChain = R"({"devices": [{"name": "P", "modules": [
    {"id": 16}, {"id": 64}, {"id": 112}]}]})";

// Leaves a box the way Tab does.
void Leave(QWidget* box) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

TEST_F(MagneticTest, ListsTheEncodersOfTheChainAndEnablesByThem) {
    // Before any connection no encoder is known.
    Open();
    page = window->findChild<CSubDlgMagnetic*>();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(On<QPushButton>("magRead")->isEnabled());
    window.reset();

    struct Case {
        const char* scenario;
        QStringList entries;
    };
    const Case cases[] = {
        {nullptr, Texts({"Int-Enc [40]", "Laser [62]"})},
        {kNoEncoderChain, {}},
    };
    const char* encoderControls[] = {"setCoercivity", "coercivity",  "magRead",       "fetchData",
                                     "getData",       "setData",     "magWrite",      "mode",
                                     "format",        "readTrack1",  "writeTrackJis", "readData2",
                                     "writeData3",    "readLength1", "writeLengthJis"};
    const char* keptControls[] = {"moveToMagPosition", "randomFill", "autoRead", "autoWrite",
                                  "writeMode",         "retryLimit", "encrypted"};
    for (const Case& c : cases) {
        sim.Fresh();
        Connected(c.scenario);
        auto* selector = On<QComboBox>("currentModule");
        QStringList entries;
        for (int i = 0; i < selector->count(); ++i)
            entries << selector->itemText(i);
        EXPECT_EQ(entries, c.entries);
        const bool any = !c.entries.isEmpty();
        EXPECT_EQ(selector->currentIndex(), any ? 0 : -1);
        EXPECT_EQ(page->GetCurrentModule(), any ? 0x40 : 0xFF);
        for (const char* name : encoderControls)
            EXPECT_EQ(On(name)->isEnabled(), any) << name;
        for (const char* name : keptControls)
            EXPECT_TRUE(On(name)->isEnabled()) << name;
        window.reset();
    }
}

TEST_F(MagneticTest, DefaultsLabelsAndTheSmallRules) {
    Connected();
    EXPECT_EQ(On<QComboBox>("mode")->currentText(), QStringLiteral("Normal"));
    EXPECT_EQ(On<QComboBox>("format")->currentText(), QStringLiteral("Normal"));
    EXPECT_EQ(On<QComboBox>("writeMode")->currentText(), QStringLiteral("All"));
    EXPECT_EQ(On<QComboBox>("coercivity")->currentText(), QStringLiteral("Low-Co"));
    EXPECT_EQ(Text("currentRetry"), QStringLiteral("0"));
    EXPECT_EQ(Text("retryLimit"), QStringLiteral("1"));
    EXPECT_EQ(Text("userCurrent"), QStringLiteral("800"));
    EXPECT_FALSE(On("userCurrent")->isEnabled());
    EXPECT_FALSE(On("key")->isEnabled());
    EXPECT_FALSE(On("hexKey")->isEnabled());
    EXPECT_FALSE(On("keyPreview")->isVisible());
    EXPECT_EQ(TrackChecks(), (QList<bool>{true, true, true, false, true, true, true, false}));

    // Every input is described: a label that names it, or a name of its own.
    QStringList undescribed;
    QList<QWidget*> inputs;
    for (QComboBox* box : page->findChildren<QComboBox*>())
        inputs << box;
    for (QLineEdit* box : page->findChildren<QLineEdit*>())
        inputs << box;
    for (QWidget* input : inputs) {
        bool labelled = !input->accessibleName().isEmpty();
        for (QLabel* label : page->findChildren<QLabel*>())
            labelled = labelled || label->buddy() == input;
        if (!labelled)
            undescribed << input->objectName();
    }
    EXPECT_TRUE(undescribed.isEmpty()) << undescribed.join(u' ').toStdString();

    // JIS and the ISO tracks exclude each other, each side on its own.
    Check("readTrackJis", true);
    EXPECT_EQ(TrackChecks(), (QList<bool>{false, false, false, true, true, true, true, false}));
    Check("readTrack2", true);
    EXPECT_EQ(TrackChecks(), (QList<bool>{false, true, false, false, true, true, true, false}));
    Check("writeTrackJis", true);
    EXPECT_EQ(TrackChecks(), (QList<bool>{false, true, false, false, false, false, false, true}));

    // Random Fill fills the checked write boxes to their capacity; lengths follow the text.
    Check("writeTrack3", true);
    Check("writeTrackJis", false);
    Press("randomFill");
    EXPECT_EQ(Text("writeData3").size(), 104);
    EXPECT_TRUE(Text("writeData3").contains(QRegularExpression(QStringLiteral("^[0-9]+$"))));
    EXPECT_EQ(Text("writeLength3"), QStringLiteral("104"));
    EXPECT_TRUE(Text("writeData1").isEmpty());
    EXPECT_EQ(page->LastResult(), 0u);
    On<QLineEdit>("writeData2")->setText(QStringLiteral("12345"));
    EXPECT_EQ(Text("writeLength2"), QStringLiteral("5"));
    // The write boxes take no more than their track holds.
    On<QLineEdit>("writeData2")->setText(QString(50, u'9'));
    EXPECT_EQ(Text("writeLength2"), QStringLiteral("37"));

    Check("encrypted", true);
    EXPECT_TRUE(On("key")->isEnabled());
    EXPECT_TRUE(On("hexKey")->isEnabled());
    Check("encrypted", false);
    EXPECT_FALSE(On("key")->isEnabled());
}

TEST_F(MagneticTest, CoercivityAndTheUserCurrentRule) {
    Connected();
    auto* coercivity = On<QComboBox>("coercivity");
    auto* user = On<QLineEdit>("userCurrent");
    coercivity->setCurrentIndex(3);  // "User"
    EXPECT_TRUE(user->isEnabled());
    EXPECT_TRUE(user->hasFocus());
    EXPECT_EQ(user->selectedText(), QStringLiteral("800"));

    // Out of range: reported, focus back in the box, the previous value kept.
    for (const char* typed : {"900", "", "149"}) {
        user->setText(QString::fromLatin1(typed));
        Leave(user);
    }
    EXPECT_EQ(BoxTexts(),
              QStringList(3, QStringLiteral("User Current is out of range. (150 ~ 800)")));
    EXPECT_EQ(boxes.value(0).style, kExclamation);
    Press("setCoercivity");
    user->setText(QStringLiteral("450"));
    Leave(user);
    Press("setCoercivity");
    coercivity->setCurrentIndex(0);  // "Low-Co"
    Press("setCoercivity");
    EXPECT_EQ(ArgsOf("Vela_SetEncConfig"),
              (QList<Args>{{0x40, 0, 800}, {0x40, 0, 450}, {0x40, 0, 200}}));
    EXPECT_EQ(sim.Module(0x40)
                  .value(QLatin1String("encoder"))
                  .toObject()
                  .value(QLatin1String("coercivity"))
                  .toInt(),
              200);

    // A value out of range (one the user box could not give): a box by hand, no call; in a batch
    // run it is brought into range and logged. In range, a batch run logs nothing.
    boxes.clear();
    sim.VelaSim_ClearCallLog();
    coercivity->setItemData(3, 900);
    coercivity->setCurrentIndex(3);
    Press("setCoercivity");
    EXPECT_EQ(BoxTexts(), Texts({"Value is out of range (150 ~ 800)"}));
    EXPECT_EQ(page->LastResult(), CSubDlgMagnetic::kOutOfRange);
    page->SetBusy(1);
    Press("setCoercivity");
    coercivity->setCurrentIndex(0);
    Press("setCoercivity");
    page->SetBusy(0);
    EXPECT_EQ(ArgsOf("Vela_SetEncConfig"), (QList<Args>{{0x40, 0, 800}, {0x40, 0, 200}}));
    QCoreApplication::processEvents();
    EXPECT_EQ(LogText().count(QStringLiteral("user co-er")), 1);
    EXPECT_TRUE(LogText().contains(
        QStringLiteral("  * user co-er (900) is out of range. automatically modified (to 800)\n")));
}

TEST_F(MagneticTest, HexKeyBox) {
    Connected();
    Check("encrypted", true);
    auto* key = On<QLineEdit>("key");
    auto* preview = On<QLabel>("keyPreview");
    EXPECT_EQ(key->maxLength(), 16);
    // Sixteen characters become 47 in hexadecimal: the limit is raised before the text grows.
    key->setText(QStringLiteral("abcdefghijklmnop"));
    Check("hexKey", true);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->text(), QStringLiteral("abcdefghijklmnop"));
    EXPECT_EQ(key->text(), QStringLiteral("61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70"));

    key->setText(QStringLiteral("a1b2"));
    EXPECT_EQ(preview->text(), QStringLiteral("\u00A1\u00B2"));
    Leave(key);
    EXPECT_EQ(key->text(), QStringLiteral("A1 B2"));

    key->setText(QStringLiteral("4B 45 59"));
    Check("hexKey", false);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(key->text(), QStringLiteral("KEY"));
    EXPECT_EQ(key->maxLength(), 16);
}

TEST_F(MagneticTest, WritePassesAsThePrinterReceivesThem) {
    Connected();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
    Press("randomFill");
    Press("setData");
    On<QComboBox>("writeMode")->setCurrentIndex(1);  // "Interlace"
    Press("magWrite");
    EXPECT_EQ(ArgsOf("Vela_WriteEncoder"), (QList<Args>{{0x40, 0x05, 0}, {0x40, 0x02, 0}}));
    EXPECT_EQ(CardTrack("1"), Text("writeData1"));
    EXPECT_EQ(CardTrack("2"), Text("writeData2"));
    EXPECT_EQ(CardTrack("3"), Text("writeData3"));

    // Track 2 alone: one pass; JIS alone: one pass, with the mode and format bits.
    sim.VelaSim_ClearCallLog();
    Check("writeTrack1", false);
    Check("writeTrack3", false);
    Press("magWrite");
    Check("writeTrackJis", true);
    On<QComboBox>("mode")->setCurrentIndex(1);
    On<QComboBox>("format")->setCurrentIndex(1);
    Press("randomFill");
    Press("setData");
    Press("magWrite");
    EXPECT_EQ(ArgsOf("Vela_WriteEncoder"), (QList<Args>{{0x40, 0x02, 0}, {0x40, 0x08, 0xC0}}));
    EXPECT_EQ(CardTrack("jis"), Text("writeDataJis"));
    EXPECT_TRUE(boxes.empty());

    // A failing first pass names its tracks; a failing second pass is track 2.
    Check("writeTrack1", true);
    Check("writeTrack2", true);
    Check("writeTrack3", true);
    On<QComboBox>("mode")->setCurrentIndex(0);
    On<QComboBox>("format")->setCurrentIndex(0);
    sim.VelaSim_InjectFault("Vela_WriteEncoder", 0, 1, kBusyCode);
    Press("magWrite");
    sim.VelaSim_InjectFault("Vela_WriteEncoder", 1, 1, kBusyCode);
    Press("magWrite");
    EXPECT_EQ(BoxTexts(), Texts({"Mag. Write Track 1, Track 3 : Failed - error : 0x80000302",
                                 "Mag. Write Track 2 : Failed - error : 0x80000302"}));
    EXPECT_EQ(boxes.value(1).style, kExclamation);
    EXPECT_EQ(page->LastResult(), 0x80000302u);
}

TEST_F(MagneticTest, WhatIsWrittenReadsBackPlainOrWithItsKey) {
    Connected();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
    Press("autoWrite");
    Press("autoRead");
    for (const char* t : {"1", "2", "3"}) {
        EXPECT_EQ(Text(Named("readData", t).constData()), Text(Named("writeData", t).constData()))
            << t;
        EXPECT_EQ(Text(Named("readLength", t).constData()),
                  Text(Named("writeLength", t).constData()));
    }
    EXPECT_EQ(ArgsOf("Vela_ReadEncoder"), (QList<Args>{{0x40, 0x07, 0}}));
    EXPECT_EQ(ArgsOf("Vela_FetchEncoder"), (QList<Args>{{0x40, 0x07}}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetEncBuffer")), 3);
    EXPECT_EQ(sim.Calls(QStringLiteral("Vela_GetEncBuffer"))
                  .value(0)
                  .value(QLatin1String("args"))
                  .toArray()
                  .at(3)
                  .toInt(),
              1025)
        << "the buffer's capacity";
    const QString plainTrack2 = Text("readData2");

    // Keyed: typed, and the same key given in hexadecimal, read it back.
    Check("encrypted", true);
    On<QLineEdit>("key")->setText(QStringLiteral("Pass"));
    Press("autoWrite");
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_SetCryptoEncBuffer")), 3);
    Check("hexKey", true);
    EXPECT_EQ(Text("key"), QStringLiteral("50 61 73 73"));
    Press("autoRead");
    EXPECT_EQ(Text("readData2"), Text("writeData2"));
    EXPECT_NE(Text("readData2"), plainTrack2);
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();

    // Another key: track 1 fails, the later boxes keep what they showed.
    const QString shown3 = Text("readData3");
    Check("hexKey", false);
    On<QLineEdit>("key")->setText(QStringLiteral("Pasz"));
    Press("magRead");
    Press("fetchData");
    Press("getData");
    EXPECT_EQ(BoxTexts(), Texts({"Get Data : Failed from Track 1..."}));
    EXPECT_EQ(boxes.value(0).style, kInformation);
    EXPECT_EQ(page->LastResult(), 0x80000365u);
    EXPECT_EQ(Text("readData3"), shown3);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetCryptoEncBuffer")), 4);
}

TEST_F(MagneticTest, TheLaserUnitTakesItsCardToEachPosition) {
    Connected();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x62), 0);
    On<QComboBox>("currentModule")->setCurrentIndex(1);
    ASSERT_EQ(page->GetCurrentModule(), 0x62);
    Press("autoWrite");
    Press("autoRead");
    EXPECT_TRUE(boxes.empty()) << BoxTexts().join(u'|').toStdString();
    EXPECT_EQ(Text("readData3"), Text("writeData3"));
    EXPECT_EQ(ArgsOf("Vela_CardMovePosition"), (QList<Args>{{0x62, 1}, {0x62, 6}}));
    EXPECT_EQ(ArgsOf("Vela_ReadEncoder"), (QList<Args>{{0x62, 0x07, 0x40}}));

    // A failed move before writing ends the command silently with its result.
    sim.VelaSim_InjectFault("Vela_CardMovePosition", 0, 1, kBusyCode);
    Press("magWrite");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(page->LastResult(), 0x80000302u);
    // Before reading, the move's failure is the read's.
    sim.VelaSim_InjectFault("Vela_CardMovePosition", 0, 1, kBusyCode);
    Press("magRead");
    EXPECT_EQ(BoxTexts(), Texts({"Mag. Read : Failed - error : 0x80000302"}));
}

TEST_F(MagneticTest, EveryFailureIsReported) {
    Connected();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
    Press("randomFill");
    struct Case {
        const char* button;
        const char* fault;
        const char* message;
        unsigned icon;
    };
    const Case cases[] = {
        {"moveToMagPosition", "Vela_CardMovePosition",
         "Move Position : Failed - error : 0x80000302", kExclamation},
        {"setCoercivity", "Vela_SetEncConfig", "Set Coercivity : Failed - error : 0x80000302",
         kExclamation},
        {"magRead", "Vela_ReadEncoder", "Mag. Read : Failed - error : 0x80000302", kExclamation},
        {"fetchData", "Vela_FetchEncoder", "Fetch Data : Failed - error : 0x80000302",
         kExclamation},
        {"getData", "Vela_GetEncBuffer", "Get Data : Failed from Track 1...", kInformation},
        {"setData", "Vela_SetEncBuffer", "Set Data : Failed to Track 1...", kInformation},
    };
    for (const Case& c : cases) {
        boxes.clear();
        sim.VelaSim_ClearFaults();
        sim.VelaSim_InjectFault(c.fault, 0, 1, kBusyCode);
        Press(c.button);
        EXPECT_EQ(BoxTexts(), QStringList(QString::fromLatin1(c.message))) << c.button;
        EXPECT_EQ(boxes.value(0).style, c.icon) << c.button;
        EXPECT_EQ(page->LastResult(), 0x80000302u) << c.button;
    }

    // Without a device every command fails with the binding's -1, and says so.
    boxes.clear();
    sim.VelaSim_ClearFaults();
    Click("connect");
    Press("magRead");
    EXPECT_EQ(BoxTexts(), Texts({"Mag. Read : Failed - error : 0xFFFFFFFF"}));
}

// Writes a full buffer of digits with no terminator.
VelaResult VELA_API UnterminatedBuffer(VelaHandle, std::int32_t, std::int32_t, std::int32_t* length,
                                       VelaChar* text) {
    for (std::int32_t i = 0; i < *length; ++i)
        text[i] = u'7';
    return 0;
}

TEST_F(MagneticTest, GetDataReadsNoFurtherThanItsBuffer) {
    Connected();
    window->Binding().Vela_GetEncBuffer = &UnterminatedBuffer;
    Check("readTrack1", false);
    Check("readTrack3", false);
    Press("getData");
    EXPECT_EQ(Text("readData2"), QString(1025, u'7'));
    EXPECT_EQ(Text("readLength2"), QStringLiteral("1025"));
}

TEST_F(MagneticTest, AutoReadRetriesUpToItsLimit) {
    Connected();
    ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, 0x40), 0);
    auto* current = On<QLineEdit>("currentRetry");
    QStringList shown;
    QObject::connect(current, &QLineEdit::textChanged, current,
                     [&shown](const QString& text) { shown << text; });

    // Limit 0: one attempt, no pause, no retry.
    On<QLineEdit>("retryLimit")->setText(QStringLiteral("0"));
    sim.VelaSim_InjectFault("Vela_ReadEncoder", 0, -1, kBusyCode);
    Press("autoRead");
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReadEncoder")), 1);
    EXPECT_TRUE(ui.guiWaits.empty());
    EXPECT_FALSE(page->AutoReadRetried());
    EXPECT_EQ(BoxTexts(),
              Texts({"Mag. Read : Failed - error : 0x80000302", "[ERROR] 0x80000302\n"}));

    // Limit 2 against a device that always fails: three attempts, "1" then "2", one error box
    // at the end, and the box back at "0".
    boxes.clear();
    shown.clear();
    sim.VelaSim_ClearCallLog();
    On<QLineEdit>("retryLimit")->setText(QStringLiteral("2"));
    Press("autoRead");
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReadEncoder")), 3);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_FetchEncoder")), 0);
    EXPECT_EQ(shown, Texts({"1", "2", "0"}));
    EXPECT_EQ(ui.guiWaits, (std::vector<int>{100, 100}));
    EXPECT_TRUE(page->AutoReadRetried());
    EXPECT_EQ(boxes.size(), 4);
    EXPECT_EQ(boxes.last().text, QStringLiteral("[ERROR] 0x80000302\n"));
    EXPECT_EQ(boxes.last().style, kExclamation);

    // Not interactive: the failures are kept and shown with the error, which is not kept; the
    // buffer is empty afterwards. A retry that succeeds reports nothing.
    boxes.clear();
    page->SetInteractive(0);
    Press("autoRead");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(page->MessageBuffer().isEmpty());
    sim.VelaSim_ClearFaults();
    sim.VelaSim_InjectFault("Vela_ReadEncoder", 0, 1, kBusyCode);
    page->SetInteractive(1);
    Press("autoWrite");
    ASSERT_EQ(page->LastResult(), 0u);
    EXPECT_FALSE(page->AutoWriteRetried());
    page->SetInteractive(0);
    Press("autoRead");
    page->SetInteractive(1);
    EXPECT_EQ(page->LastResult(), 0u);
    EXPECT_TRUE(page->AutoReadRetried());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Text("readData1"), Text("writeData1"));
}

}  // namespace
}  // namespace halvard::test
