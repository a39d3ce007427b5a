// Get Config, Set Config with its read-back check, defaults, presets and the page's controls.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>

#include "CAskHeadResisterDlg.h"
#include "CSpinEdit.h"
#include "head_resistor_memo.h"
#include "message_service.h"
#include "page_fixture.h"

using namespace halvard::test;
namespace mb = halvard::mb;

namespace {

constexpr int kSimBaud = 115200;

QStringList FunctionsCalled(const SimControl& sim, const QStringList& among) {
    QStringList out;
    for (const QJsonObject& call : sim.Calls()) {
        const QString fn = call.value(QStringLiteral("fn")).toString();
        if (among.contains(fn))
            out << fn;
    }
    return out;
}

// Integer arguments of one logged call.
QJsonArray Args(const QJsonObject& call) {
    return call.value(QStringLiteral("args")).toArray();
}

}  // namespace

// ---- Get Config ------------------------------------------------------------------------

TEST_F(PageTest, GetConfigFillsIdentityCountersAndEveryPosition) {
    Start();
    ConnectAndFetch();
    EXPECT_EQ(Edit("firmwareVersion")->text(), QStringLiteral("V2.1.07 (2026-10-14)"));
    EXPECT_EQ(Edit("serialNo")->text(), QStringLiteral("HV2026000101"));
    EXPECT_EQ(Edit("headerSerialNo")->text(), QStringLiteral("TH-447101"));
    EXPECT_EQ(Edit("headerResister")->text(), QStringLiteral("1200"));
    EXPECT_EQ(headResistorMemo, 1200);
    EXPECT_EQ(Edit("userImage")->text(), QStringLiteral("120"));
    EXPECT_EQ(Edit("totalImage")->text(), QStringLiteral("1520"));
    EXPECT_EQ(Edit("totalPrintedPanels")->text(), QStringLiteral("6080"));
    EXPECT_EQ(Edit("totalCleaningCount")->text(), QString());
    EXPECT_EQ(Edit("userCleaningCount")->text(), QStringLiteral("5"));
    EXPECT_EQ(Edit("userSkippedCleaning")->text(), QStringLiteral("2"));
    // Position 1 holds minus the number shown.
    EXPECT_EQ(Spin("yStartPosition")->text(), QStringLiteral("35"));
    EXPECT_EQ(Spin("yEndPosition")->text(), QStringLiteral("336"));
    EXPECT_EQ(Spin("inOutSpeed")->text(), QStringLiteral("200"));
    EXPECT_EQ(Spin("moveSpeed")->text(), QStringLiteral("250"));
    EXPECT_EQ(Combo("uartBaudRate")->currentText(), QString::number(kSimBaud));
    // Bit 0 set: DCL Mode "Use"; bit 9 clear: Cleaning Warning "On".
    EXPECT_EQ(Combo("option0")->currentText(), QStringLiteral("Use"));
    EXPECT_EQ(Combo("option9")->currentText(), QStringLiteral("On"));
    EXPECT_EQ(Page()->PositionCount(), 30);
    EXPECT_TRUE(Button("setConfig")->isEnabled());
    EXPECT_EQ(FunctionsCalled(*sim, L({"Vela_GetVersion", "Vela_ExGetSerial",
                                       "Vela_ExGetHeadSerial", "Vela_ExGetUserIssueCount",
                                       "Vela_ExGetFactIssueCount", "Vela_ExGetDevParam"})),
              (L({"Vela_GetVersion", "Vela_ExGetSerial", "Vela_ExGetHeadSerial",
                  "Vela_ExGetUserIssueCount", "Vela_ExGetFactIssueCount", "Vela_ExGetDevParam"})));
    // The block is asked for with room for 66 values.
    EXPECT_EQ(Args(sim->Calls(QStringLiteral("Vela_ExGetDevParam")).first())[1].toInt(), 264);
}

TEST_F(PageTest, GetConfigStopsAtTheFirstFailedReadWithItsMessage) {
    const std::pair<const char*, const char*> cases[] = {
        {"Vela_GetVersion", "Failed to Fetch Version Info"},
        {"Vela_ExGetSerial", "Failed to Fetch Serial No. Info"},
        {"Vela_ExGetHeadSerial", "Failed to Fetch Head Serial No. Info"},
        {"Vela_ExGetUserIssueCount", "Failed to Fetch User Issue Count Info"},
        {"Vela_ExGetFactIssueCount", "Failed to Fetch Factory Issue Count Info"},
        {"Vela_ExGetDevParam", "Failed to Fetch Device Parameters."},
    };
    Start();
    Connect();
    for (const auto& [fn, text] : cases) {
        SCOPED_TRACE(fn);
        sim->VelaSim_ClearFaults();
        sim->VelaSim_InjectFault(fn, 0, 1, static_cast<VelaResult>(0x80000001));
        messages.clear();
        Page()->GetConfig();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, QString::fromLatin1(text));
        EXPECT_EQ(messages[0].style, mb::kOk);  // plain box
        // The wait cursor shows while the operation holds the window, and goes with it.
        EXPECT_TRUE(messages[0].waitCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(Page()->IsFetched());
    }
}

namespace {

// What the printer holds that Set Config could overwrite.
QJsonObject WritableState(const SimControl& sim, const char* device = nullptr) {
    const QJsonObject d = sim.Device(device);
    QJsonObject out;
    for (const char* key : {"headSerial", "params", "userCounts", "factoryCounts"})
        out.insert(QLatin1String(key), d.value(QLatin1String(key)));
    return out;
}

const QStringList kWrites = L({"Vela_ExSetHeadSerial", "Vela_ExSetUserIssueCount",
                               "Vela_ExSetFactIssueCount", "Vela_ExSetDevParam"});

}  // namespace

// A reading that stopped part way has cleared fields (counters, positions): whatever came
// before, Set Config refuses until a complete one, and the printer keeps its values.
TEST_F(PageTest, AGetConfigThatStopsPartWayLeavesNothingToWrite) {
    Start();
    Connect();
    const QJsonObject before = WritableState(*sim);
    for (const char* fn :
         {"Vela_GetVersion", "Vela_ExGetSerial", "Vela_ExGetHeadSerial", "Vela_ExGetUserIssueCount",
          "Vela_ExGetFactIssueCount", "Vela_ExGetDevParam"}) {
        SCOPED_TRACE(fn);
        sim->VelaSim_ClearFaults();
        Page()->GetConfig();
        ASSERT_TRUE(Page()->IsFetched());
        sim->VelaSim_InjectFault(fn, 0, 1, static_cast<VelaResult>(0x80000001));
        Page()->GetConfig();
        EXPECT_FALSE(Button("setConfig")->isEnabled());
        messages.clear();
        sim->VelaSim_ClearCallLog();
        Page()->SetConfig();
        EXPECT_EQ(MessageTexts(), L({"Please, Get First"}));
        EXPECT_EQ(FunctionsCalled(*sim, kWrites), QStringList());
    }
    EXPECT_EQ(WritableState(*sim), before);
}

TEST_F(PageTest, SetConfigNeverWritesOnePrintersDataIntoAnother) {
    const char* const b = "[USB2] Halvard Card Printer";
    Start();
    ConnectAndFetch();
    Spin("xStartPosition")->setText(QStringLiteral("7"));
    const QString saved = folder->filePath(QStringLiteral("a.hcf"));
    ASSERT_TRUE(Page()->WriteFile(saved, false));
    Click("connect");  // "Disconnect"
    Connect(QString::fromLatin1(b));
    const QJsonObject before = WritableState(*sim, b);

    // Before a Get Config of its own, and after one that failed, printer B gets nothing.
    EXPECT_FALSE(Button("setConfig")->isEnabled());
    Page()->SetConfig();
    sim->VelaSim_InjectFault("Vela_ExGetDevParam", 0, 1, static_cast<VelaResult>(0x80000001));
    Page()->GetConfig();
    EXPECT_FALSE(Button("setConfig")->isEnabled());
    Page()->SetConfig();
    EXPECT_EQ(MessageTexts(),
              L({"Please, Get First", "Failed to Fetch Device Parameters.", "Please, Get First"}));
    EXPECT_EQ(FunctionsCalled(*sim, kWrites), QStringList());
    EXPECT_EQ(WritableState(*sim, b), before);

    // Copying a set from one printer to the other stays possible: B's complete Get Config,
    // then A's file, then Set Config.
    messages.clear();
    Page()->GetConfig();
    ASSERT_TRUE(Page()->LoadFile(saved));
    Page()->SetConfig();
    EXPECT_EQ(StoredParams(b)[0].toInt(), 7);
}

// The status strip only ever shows the success of the operation that ran last.
TEST_F(PageTest, TheStatusStripDropsAnOldSuccessWhenALaterOperationFails) {
    Start();
    ConnectAndFetch();
    auto* strip = Find<QLabel>("statusStrip");
    const QString file = folder->filePath(QStringLiteral("ok.hcf"));
    ASSERT_TRUE(Page()->WriteFile(file, false));
    const QString broken = folder->filePath(QStringLiteral("broken.hcf"));
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray("HCV1").append(30, '\0'));
    out.close();

    const struct {
        const char* what;
        std::function<void()> succeed;
        std::function<void()> fail;
    } cases[] = {
        {"Set Config", [&] { Page()->SetConfig(); },
         [&] {
             sim->VelaSim_InjectFault("Vela_ExSetDevParam", 0, 1,
                                      static_cast<VelaResult>(0x80000002));
             Page()->SetConfig();
         }},
        {"Load from File",
         [&] {
             fileNames = {file};
             Click("loadFromFile");
         },
         [&] {
             fileNames = {broken};
             Click("loadFromFile");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        c.succeed();
        ASSERT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
        ASSERT_FALSE(strip->text().isEmpty());
        c.fail();
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_EQ(strip->text(), QString());
    }
}

TEST_F(PageTest, GetConfigWithoutConnectionRefuses) {
    Start();
    Page()->GetConfig();
    EXPECT_EQ(MessageTexts(), L({"Failed to connect."}));
    EXPECT_FALSE(Button("getConfig")->isEnabled());
}

TEST_F(PageTest, PrinterWithAFullBlockIsWrittenWithSixtySixValues) {
    const QByteArray scenario = OneDevice(QStringLiteral(R"("paramCount": 66)"));
    Start(kPlainIni, scenario.constData());
    ConnectAndFetch();
    EXPECT_EQ(Page()->PositionCount(), 66);
    Page()->SetConfig();
    const auto writes = sim->Calls(QStringLiteral("Vela_ExSetDevParam"));
    ASSERT_EQ(writes.size(), 1);
    EXPECT_EQ(Args(writes[0])[2].toInt(), 264);  // 66 values, never more
    EXPECT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
}

// ---- Set Config ------------------------------------------------------------------------

TEST_F(PageTest, SetConfigRightAfterStartUpAsksForGetConfigFirst) {
    Start();
    Connect();
    Page()->SetConfig();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Please, Get First"));
    EXPECT_EQ(messages[0].style, mb::kIconWarning);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_ExSetDevParam")), 0);
    EXPECT_FALSE(Button("setConfig")->isEnabled());
}

TEST_F(PageTest, RoundTripWritesTheEditedBlockInOrderAndConfirmsAfterReboot) {
    Start();
    ConnectAndFetch();
    sim->VelaSim_ClearCallLog();
    waits.clear();
    Spin("xStartPosition")->setText(QStringLiteral("12"));
    Spin("yStartPosition")->setText(QStringLiteral("40"));
    Spin("totalDensity")->setText(QStringLiteral("61"));
    Spin("blackOffset")->setText(QStringLiteral("-15"));
    Combo("uartBaudRate")->setCurrentText(QStringLiteral("9600"));
    Combo("option9")->setCurrentIndex(0);  // Cleaning Warning "Off" sets bit 9
    Combo("option2")->setCurrentIndex(1);  // Card Out Direction "Rear"
    Page()->SetHeadSerialText(QStringLiteral("  TH-NEW-1  "));

    Page()->SetConfig();

    EXPECT_EQ(MessageTexts(), L({"Changes will be applied after Reboot Printer..."}));
    EXPECT_EQ(messages[0].style, mb::kOk);
    const QJsonArray p = StoredParams();
    EXPECT_EQ(p[0].toInt(), 12);
    EXPECT_EQ(p[1].toInt(), -40);
    EXPECT_EQ(p[4].toInt(), 61);
    EXPECT_EQ(p[20].toInt(), -15);
    EXPECT_EQ(p[28].toInt(), 9600);
    EXPECT_EQ(static_cast<unsigned>(p[25].toInt()), 0x00300021u | (1u << 9) | (1u << 2));
    EXPECT_EQ(p[22].toInt(), (200 << 16) | 250);
    EXPECT_EQ(sim->Device().value(QStringLiteral("headSerial")).toString(),
              QStringLiteral("TH-NEW-1"));
    EXPECT_EQ(Edit("headerSerialNo")->text(), QStringLiteral("TH-NEW-1"));

    // Head serial, user record (24 bytes), factory record (28), block (30 values), re-read.
    EXPECT_EQ(FunctionsCalled(*sim, L({"Vela_ExSetHeadSerial", "Vela_ExSetUserIssueCount",
                                       "Vela_ExSetFactIssueCount", "Vela_ExSetDevParam",
                                       "Vela_ExGetDevParam"})),
              (L({"Vela_ExSetHeadSerial", "Vela_ExSetUserIssueCount", "Vela_ExSetFactIssueCount",
                  "Vela_ExSetDevParam", "Vela_ExGetDevParam"})));
    EXPECT_EQ(Args(sim->Calls(QStringLiteral("Vela_ExSetUserIssueCount"))[0])[2].toInt(), 24);
    EXPECT_EQ(Args(sim->Calls(QStringLiteral("Vela_ExSetFactIssueCount"))[0])[2].toInt(), 28);
    EXPECT_EQ(Args(sim->Calls(QStringLiteral("Vela_ExSetDevParam"))[0])[2].toInt(), 120);
    EXPECT_EQ(waits, (std::vector<int>{100, 100, 100, 100, 1000}));
    // Counters went back as shown.
    EXPECT_EQ(sim->Device().value(QStringLiteral("userCounts")).toArray()[0].toInt(), 120);
    EXPECT_EQ(sim->Device().value(QStringLiteral("factoryCounts")).toArray()[6].toInt(), 6080);
}

TEST_F(PageTest, XStartOnlyNeedsNoReboot) {
    Start();
    ConnectAndFetch();
    Spin("xStartPosition")->setText(QStringLiteral("3"));
    Page()->SetConfig();
    EXPECT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
    EXPECT_EQ(StoredParams()[0].toInt(), 3);
    EXPECT_EQ(Find<QLabel>("statusStrip")->text(),
              QStringLiteral("Settings written and verified."));
}

TEST_F(PageTest, EmptyHeadSerialAnsweredNoWritesNothing) {
    Start();
    ConnectAndFetch();
    Page()->SetHeadSerialText(QStringLiteral("   "));
    answers = {mb::kIdNo};
    Page()->SetConfig();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Header-Serial is Empty.\n\nContinue Anyway ?"));
    EXPECT_EQ(messages[0].style, mb::kYesNo | mb::kIconWarning);
    EXPECT_EQ(Edit("headerSerialNo")->text(), QString());
    for (const char* fn : {"Vela_ExSetHeadSerial", "Vela_ExSetUserIssueCount",
                           "Vela_ExSetFactIssueCount", "Vela_ExSetDevParam"})
        EXPECT_EQ(sim->CountCalls(QString::fromLatin1(fn)), 0) << fn;
}

TEST_F(PageTest, PrinterWithTwentyPositionsFailsTheReadBackAtPosition20) {
    const QByteArray scenario = OneDevice(QStringLiteral(R"("paramCount": 20)"));
    Start(kPlainIni, scenario.constData());
    ConnectAndFetch();
    EXPECT_EQ(Page()->PositionCount(), 20);
    EXPECT_TRUE(Spin("ymcOffset")->isEnabled());       // position 19
    EXPECT_FALSE(Spin("blackOffset")->isEnabled());    // position 20
    EXPECT_FALSE(Combo("uartBaudRate")->isEnabled());  // position 28
    Page()->SetConfig();
    // 30 values are written; position 20 still shows the default 5, the printer has none.
    EXPECT_EQ(Args(sim->Calls(QStringLiteral("Vela_ExSetDevParam"))[0])[2].toInt(), 120);
    EXPECT_EQ(MessageTexts(),
              (L({"IsSameParameter(20th - 0 != 5)", "Changed settings are not properly applied"})));
    EXPECT_EQ(messages[0].style, mb::kOk);
    EXPECT_EQ(messages[1].style, mb::kIconWarning);
}

TEST_F(PageTest, PositionThePrinterDoesNotTakeIsNamed) {
    const QByteArray scenario = OneDevice(QStringLiteral(R"("rejectPositions": [0])"));
    Start(kPlainIni, scenario.constData());
    ConnectAndFetch();
    Spin("xStartPosition")->setText(QStringLiteral("7"));
    Page()->SetConfig();
    EXPECT_EQ(MessageTexts(),
              (L({"IsSameParameter(0th - 0 != 7)", "Changed settings are not properly applied"})));
}

TEST_F(PageTest, InOutSpeedOutsideTheRangeIsShownAsIsAndWrittenAs300) {
    const QByteArray scenario =
        OneDevice(QStringLiteral(R"("params": [0, -35, 336, 1000, 50, 50, 50, 50, 10, 10,
        10, 10, 1200, 0, 0, 30, 0, 100, 0, 0, 0, 0, 5898490, 0, 0, 33, 0, 0, 115200, 0])"));
    Start(kPlainIni, scenario.constData());
    ConnectAndFetch();
    EXPECT_EQ(Spin("inOutSpeed")->text(), QStringLiteral("90"));  // 5898490 = 90 << 16 | 250
    Page()->SetConfig();
    EXPECT_EQ(StoredParams()[22].toInt(), (300 << 16) | 250);
    EXPECT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
}

TEST_F(PageTest, UartBaudRateChangeAsksForReboot) {
    Start();
    ConnectAndFetch();
    Combo("uartBaudRate")->setCurrentText(QStringLiteral("57600"));
    Page()->SetConfig();
    EXPECT_EQ(MessageTexts(), L({"Changes will be applied after Reboot Printer..."}));
    EXPECT_EQ(StoredParams()[28].toInt(), 57600);
}

TEST_F(PageTest, WrongLoginPasswordFailsAtThePrinter) {
    Start();
    Connect(QStringLiteral("[USB1] Halvard Card Printer"), QStringLiteral("9999"));
    Page()->GetConfig();
    ASSERT_TRUE(messages.empty());
    Spin("xStartPosition")->setText(QStringLiteral("9"));
    Page()->SetConfig();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              QStringLiteral("Failed to Write Parameter to Device (error=0x80000005)"));
    EXPECT_EQ(messages[0].style, mb::kIconWarning);
    EXPECT_EQ(StoredParams()[0].toInt(), 0);
    // The refused counter writes did not stop the block write.
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_ExSetDevParam")), 1);
}

TEST_F(PageTest, FailedHeadSerialWriteStopsBeforeTheBlock) {
    Start();
    ConnectAndFetch();
    sim->VelaSim_InjectFault("Vela_ExSetHeadSerial", 0, 1, static_cast<VelaResult>(0x8000000D));
    Page()->SetConfig();
    EXPECT_EQ(MessageTexts(), L({"Failed to Write Head Serial (error=0x8000000D)"}));
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_ExSetUserIssueCount")), 0);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_ExSetDevParam")), 0);
}

TEST_F(PageTest, FailedReReadIsNotReportedAsSuccess) {
    Start();
    ConnectAndFetch();
    Spin("xStartPosition")->setText(QStringLiteral("4"));
    sim->VelaSim_InjectFault("Vela_ExGetDevParam", 0, 1, static_cast<VelaResult>(0x80000330));
    Page()->SetConfig();
    EXPECT_EQ(
        MessageTexts(),
        (L({"Failed to Fetch Device Parameters.", "Changed settings are not properly applied"})));
    // The controls were cleared part way: nothing more is written until a complete reading.
    EXPECT_FALSE(Page()->IsFetched());
    EXPECT_FALSE(Button("setConfig")->isEnabled());
}

TEST_F(PageTest, PrinterOwnedBitsAndCheckBoxesSurviveASetConfig) {
    const QByteArray scenario =
        OneDevice(QStringLiteral(R"("params": [0, -35, 336, 1000, 50, 50, 50, 50, 10, 10,
        10, 10, 1200, 0, 0, 30, 0, 100, 0, 0, 0, 0, 13107450, 0, -2147479807, 7340065, 0, 0, 115200, 0])"));
    Start(kPlainIni, scenario.constData());
    ConnectAndFetch();
    // 0x80000F01: Rewrite Card and Certification set, printer bits 8..11.
    EXPECT_TRUE(Find<QCheckBox>("rewriteCard")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("certification")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("rewriteCard")->isVisibleTo(Page()));
    Page()->SetConfig();
    EXPECT_TRUE(messages.empty()) << MessageTexts().join(u'|').toStdString();
    EXPECT_EQ(static_cast<unsigned>(StoredParams()[24].toInt()), 0x80000F01u);
    EXPECT_EQ(static_cast<unsigned>(StoredParams()[25].toInt()), 0x00700021u);
}

// ---- Defaults and presets --------------------------------------------------------------

TEST_F(PageTest, WithoutTypeSectionLoadDefaultStaysAndParameterSectionIsApplied) {
    Start(kPlainIni);
    EXPECT_TRUE(Page()->PresetNames().isEmpty());
    EXPECT_FALSE(Button("loadDefault")->isHidden());
    EXPECT_EQ(Spin("xStartPosition")->text(), QStringLiteral("7"));
    EXPECT_EQ(Spin("yStartPosition")->text(), QStringLiteral("17"));
    EXPECT_EQ(Edit("headerResister")->text(), QStringLiteral("1100"));
    EXPECT_EQ(Spin("totalDensity")->text(), QStringLiteral("0"));  // missing key reads 0
    EXPECT_EQ(Combo("uartBaudRate")->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(Button("expand")->text(), QStringLiteral(">"));
}

TEST_F(PageTest, PresetButtonsLoadTheirSectionsAndKeepV3Selection) {
    Start(kPresetIni);
    EXPECT_EQ(Page()->PresetNames(), (L({"A", "B"})));
    EXPECT_EQ(Button("loadPreset0")->text(), QStringLiteral("Load : A"));
    EXPECT_EQ(Button("loadPreset1")->text(), QStringLiteral("Load : B"));
    EXPECT_TRUE(Button("loadDefault")->isHidden());
    // Start-up applies the first preset without asking.
    EXPECT_EQ(Spin("xStartPosition")->text(), QStringLiteral("11"));
    EXPECT_EQ(Combo("uartBaudRate")->currentText(), QStringLiteral("9600"));
    // "Close" spans both button rows.
    window->show();
    EXPECT_GT(Button("close")->height(), Button("getConfig")->height());

    Combo("option19")->setCurrentIndex(1);
    Find<QLabel>("ribbonPositionLabel");
    dialogAnswer = [](QDialog& dialog) {
        auto* ask = qobject_cast<CAskHeadResisterDlg*>(&dialog);
        EXPECT_NE(ask, nullptr);
        ask->ValueEdit()->setText(QStringLiteral("777"));
        ask->accept();
        return static_cast<int>(ask->result());
    };
    Click("loadPreset1");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Spin("xStartPosition")->text(), QStringLiteral("22"));
    EXPECT_EQ(Spin("yStartPosition")->text(), QStringLiteral("42"));
    EXPECT_EQ(Edit("headerResister")->text(), QStringLiteral("777"));  // entered, not the ini's 999
    EXPECT_EQ(headResistorMemo, 777);
    EXPECT_EQ(Combo("uartBaudRate")->currentText(), QStringLiteral("38400"));
    EXPECT_EQ(Combo("option19")->currentIndex(), 1);  // kept though B clears bit 19
    // Bit 3 of position 24's default renames "Ribbon Position".
    EXPECT_EQ(Find<QLabel>("ribbonPositionLabel")->text(), QStringLiteral("Warming Up Temp."));
}

TEST_F(PageTest, LoadDefaultCancelledChangesNothing) {
    Start(kPlainIni);
    Spin("xStartPosition")->setText(QStringLiteral("55"));
    dialogAnswer = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
    Click("loadDefault");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("User Cancel"));
    EXPECT_EQ(messages[0].style, mb::kIconInformation);
    EXPECT_EQ(Spin("xStartPosition")->text(), QStringLiteral("55"));
}

TEST_F(PageTest, LoadDefaultLeavesRewriteAndCertificationAlone) {
    const QByteArray scenario =
        OneDevice(QStringLiteral(R"("params": [0, -35, 336, 1000, 50, 50, 50, 50, 10, 10,
        10, 10, 1200, 0, 0, 30, 0, 100, 0, 0, 0, 0, 13107450, 0, 1, 33, 0, 0, 115200, 0])"));
    Start(kPlainIni, scenario.constData());
    ConnectAndFetch();
    ASSERT_TRUE(Find<QCheckBox>("rewriteCard")->isChecked());
    Click("loadDefault");
    EXPECT_TRUE(Find<QCheckBox>("rewriteCard")->isChecked());
    EXPECT_EQ(Spin("xStartPosition")->text(), QStringLiteral("7"));
    // The prompt was offered the fetched head resistance.
    EXPECT_EQ(Edit("headerResister")->text(), QStringLiteral("1200"));
}

TEST_F(PageTest, MoreThanTenPresetsOfferTheFirstTen) {
    QByteArray ini = "[TYPE]\n";
    for (int i = 1; i <= 12; ++i)
        ini += QByteArray("Type-") + QByteArray::number(i).rightJustified(2, '0') + "=P" +
               QByteArray::number(i) + "\n";
    Start(ini.constData());
    EXPECT_EQ(Page()->PresetNames().size(), CSubDlgVELA::kMaxPresets);
    EXPECT_NE(window->findChild<QPushButton*>(QStringLiteral("loadPreset9")), nullptr);
    EXPECT_EQ(window->findChild<QPushButton*>(QStringLiteral("loadPreset10")), nullptr);
}

TEST_F(PageTest, BaudRateWithoutEntryIsShownAsExtraEntryAndRemovedOnNextDisplay) {
    const QByteArray scenario =
        OneDevice(QStringLiteral(R"("params": [0, -35, 336, 1000, 50, 50, 50, 50, 10, 10,
        10, 10, 1200, 0, 0, 30, 0, 100, 0, 0, 0, 0, 13107450, 0, 0, 33, 0, 0, 14400, 0])"));
    Start(kPlainIni, scenario.constData());
    ConnectAndFetch();
    EXPECT_EQ(Combo("uartBaudRate")->currentText(), QStringLiteral("14400 (0x00003840) ***"));
    EXPECT_EQ(Combo("uartBaudRate")->count(), 9);
    Click("loadDefault");
    EXPECT_EQ(Combo("uartBaudRate")->count(), 8);
    EXPECT_EQ(Combo("uartBaudRate")->currentText(), QStringLiteral("19200"));
}

// ---- Page behaviour --------------------------------------------------------------------

TEST_F(PageTest, ExpandAndCollapseShowTheRightPartAndAskForRelayout) {
    Start();
    window->show();
    QSignalSpy relayout(Page(), &CSubDlgVELA::layoutChanged);
    const int collapsedWidth = Page()->width();
    EXPECT_FALSE(Find<QGroupBox>("settingsGroup")->isVisible());
    Click("expand");
    EXPECT_TRUE(Page()->IsExpanded());
    EXPECT_EQ(Button("expand")->text(), QStringLiteral("<"));
    EXPECT_TRUE(Find<QGroupBox>("settingsGroup")->isVisible());
    EXPECT_TRUE(Find<QGroupBox>("totalGroup")->isVisible());
    EXPECT_FALSE(Combo("option19")->isVisible());  // "Use V3 Ribbon Only" stays hidden
    EXPECT_FALSE(Find<QWidget>("factoryColumn")->isVisible());
    EXPECT_GT(Page()->width(), collapsedWidth);
    Click("expand");
    EXPECT_EQ(Button("expand")->text(), QStringLiteral(">"));
    EXPECT_FALSE(Find<QGroupBox>("settingsGroup")->isVisible());
    EXPECT_EQ(relayout.count(), 2);
}

TEST_F(PageTest, UpdateControlsFollowsConnectionAndDisplayType) {
    Start();
    EXPECT_FALSE(Button("print")->isEnabled());
    Connect();
    window->UpdateControls();
    EXPECT_TRUE(Button("getConfig")->isEnabled());
    EXPECT_TRUE(Button("print")->isEnabled());
    EXPECT_FALSE(Button("setConfig")->isEnabled());
    EXPECT_TRUE(Edit("serialNo")->isReadOnly());
    EXPECT_FALSE(Combo("boardType")->isEnabled());
    EXPECT_FALSE(Combo("displayType")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("rootAuth")->isEnabled());
    EXPECT_FALSE(Combo("displayLanguage")->isEnabled());  // Display Type index 0
}

TEST_F(PageTest, YEndCommitSetsYScaleAndEnterReachesNoButton) {
    Start();
    window->show();
    CSpinEdit* yEnd = Spin("yEndPosition");
    yEnd->setFocus();
    yEnd->setText(QStringLiteral("100"));
    QTest::keyClick(yEnd, Qt::Key_Return);
    EXPECT_EQ(Spin("yScale")->text(), QStringLiteral("292 "));
    // Enter on a focused page button presses nothing.
    Connect();
    window->UpdateControls();
    Button("getConfig")->setFocus();
    sim->VelaSim_ClearCallLog();
    QTest::keyClick(Button("getConfig"), Qt::Key_Return);
    QTest::keyClick(Edit("serialNo"), Qt::Key_Enter);
    EXPECT_EQ(sim->CountCalls(QStringLiteral("Vela_GetVersion")), 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PageTest, CloseClosesTheTool) {
    Start();
    window->show();
    ASSERT_TRUE(window->isVisible());
    Click("close");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PageTest, ResetUserCountersAndSetToZero) {
    Start();
    ConnectAndFetch();
    Page()->ResetUserCounters();
    EXPECT_EQ(Edit("userImage")->text(), QStringLiteral("0"));
    EXPECT_EQ(Edit("userMagnetic")->text(), QStringLiteral("0"));
    Click("factorySetToZero");
    Page()->SetConfig();
    EXPECT_EQ(sim->Device().value(QStringLiteral("userCounts")).toArray()[0].toInt(), 0);
    EXPECT_EQ(sim->Device().value(QStringLiteral("factoryCounts")).toArray()[0].toInt(), 0);
    EXPECT_EQ(sim->Device().value(QStringLiteral("factoryCounts")).toArray()[6].toInt(), 0);
    // Position 18 came from the zeroed factory spin edits.
    EXPECT_EQ(StoredParams()[18].toInt(), 0);
}
