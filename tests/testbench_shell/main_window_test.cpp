// The main window as the engineer uses it: start-up settings and tabs, the device list,
// connection and the module pictures, preemption, manual mode, the batch controls' enabled
// state, the log box and closing.

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>
#include <thread>

#include "CDlgMacroQuickRecord.h"
#include "CHalvardTestApp.h"
#include "CSubDlgBase.h"
#include "CSubDlgMacro.h"
#include "module_chain_view.h"
#include "page_drivers.h"
#include "page_ids.h"
#include "testbench_fixture.h"

namespace halvard::test {
namespace {

using MainWindowTest = TestBenchTest;

// ---- Settings and tabs ----

TEST(ShowExpertSetting, ReadsTheFlagFromTheSettingsFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HalvardTest.ini"));
    auto write = [&](const char* value) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[CONFIG]\r\nShowExpert=") + value + "\r\n");
    };
    CHalvardTestApp app;
    for (const char* on : {"ON", "true", "Yes", "1", " on "}) {
        write(on);
        app.ReadSettings(path);
        EXPECT_TRUE(app.ShowExpert()) << on;
    }
    for (const char* off : {"off", "2", "enabled", ""}) {
        write(off);
        app.ReadSettings(path);
        EXPECT_FALSE(app.ShowExpert()) << off;
    }
    app.ReadSettings(dir.filePath(QStringLiteral("missing.ini")));
    EXPECT_FALSE(app.ShowExpert());
    EXPECT_TRUE(CHalvardTestApp::SettingsPath().endsWith(QStringLiteral(".ini")));
}

TEST(TestBenchApp, ExitStatusIsTheEventLoops) {
    // The program's own library folder holds the simulator, so the window starts as it would.
    struct Case {
        const char* how;
        std::function<void()> end;
        int status;
    };
    const auto mainWindow = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<CHalvardTestDlg*>(w))
                return dialog;
        return static_cast<CHalvardTestDlg*>(nullptr);
    };
    const Case cases[] = {
        {"window closed", [&] { mainWindow()->close(); }, 0},
        {"loop ended with a status", [] { QCoreApplication::exit(7); }, 7},
    };
    for (const Case& c : cases) {
        UiRecorder ui;
        CHalvardTestApp app;
        QTimer::singleShot(0, c.end);
        EXPECT_EQ(app.Run(), c.status) << c.how;
        EXPECT_TRUE(ui.messages.isEmpty()) << c.how;
        EXPECT_EQ(mainWindow(), nullptr) << c.how;
    }
}

TEST_F(MainWindowTest, ShowExpertGivesEightTabsOtherwiseSix) {
    Open(true);
    EXPECT_EQ(TabTitles(),
              Texts({"Move", "Magnetic", "RF", "IC", "Print", "Barcode", "Expert", "Macro"}));
    Open(false);
    EXPECT_EQ(TabTitles(), Texts({"Move", "Magnetic", "RF", "IC", "Print", "Barcode"}));
    // All eight pages exist either way, in creation order, each with its template, and each
    // found by it.
    ASSERT_EQ(window->Pages().size(), 8);
    QStringList titles;
    QList<int> templates;
    for (CSubDlgBase* page : window->Pages()) {
        titles << page->Title();
        templates << page->TemplateId();
        EXPECT_EQ(&page->Host(), static_cast<PageHost*>(window.get()));
        EXPECT_EQ(window->FindPage(page->TemplateId()), page);
    }
    EXPECT_EQ(titles,
              Texts({"Move", "Magnetic", "RF", "IC", "Print", "Barcode", "Expert", "Macro"}));
    EXPECT_EQ(templates, (QList<int>{131, 132, 133, 134, 135, 130, 136, 137}));
    EXPECT_EQ(window->FindPage(138), nullptr);
    EXPECT_EQ(window->FindMoveDriver(), dynamic_cast<MovePageDriver*>(window->Pages()[0]));
    EXPECT_NE(window->FindMoveDriver(), nullptr);
}

TEST_F(MainWindowTest, StartsWithTitleTokenAndFirstPageShown) {
    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("HalvardTest v1.0.0.1 (7)"));
    EXPECT_EQ(Find<QLineEdit>("preemptionToken")->text(), QStringLiteral("FFFF"));
    EXPECT_EQ(Find<QLineEdit>("batchCurrent")->text(), QStringLiteral("0"));
    EXPECT_EQ(Find<QLineEdit>("batchTotal")->text(), QStringLiteral("1"));
    EXPECT_EQ(Find<QLineEdit>("errorCounter")->text(), QStringLiteral("0"));
    EXPECT_EQ(Find<QLineEdit>("retryCounter")->text(), QStringLiteral("0"));
    EXPECT_FALSE(Find<QCheckBox>("promptErrorMessage")->isChecked());
    EXPECT_EQ(Find<QTabBar>("tabs")->currentIndex(), 0);
    window->show();
    for (CSubDlgBase* page : window->Pages())
        EXPECT_EQ(page->isVisible(), page->Title() == u"Move") << page->Title().toStdString();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, MissingLibraryShowsTheFailureAndCloses) {
    window = std::make_unique<CHalvardTestDlg>(false);
    window->show();
    window->Initialise(QStringLiteral("/nonexistent/libVelaComm.so"));
    QCoreApplication::processEvents();
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Load VelaComm.dll..."}));
    EXPECT_EQ(boxes[0].style & mb::kIconMask, mb::kIconStop);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    // The tabs still exist; the device commands do nothing.
    EXPECT_EQ(TabTitles().size(), 6);
    Click("connect");
    EXPECT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
}

TEST_F(MainWindowTest, ChordTogglesExpertAndMacroTabs) {
    Open(false);
    auto* tabs = Find<QTabBar>("tabs");
    tabs->setCurrentIndex(2);
    const auto chord = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    QTest::keyClick(window.get(), Qt::Key_F10, chord);
    EXPECT_EQ(TabTitles().size(), 8);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), QStringLiteral("Expert"));
    EXPECT_EQ(window->SelectedPage()->Title(), QStringLiteral("Expert"));
    QTest::keyClick(window.get(), Qt::Key_F10, chord);
    EXPECT_EQ(TabTitles(), Texts({"Move", "Magnetic", "RF", "IC", "Print", "Barcode"}));
    EXPECT_EQ(tabs->currentIndex(), 0);
    window->show();
    for (CSubDlgBase* page : window->Pages())
        EXPECT_EQ(page->isVisible(), page->Title() == u"Move") << page->Title().toStdString();
    // F10 alone or with fewer modifiers leaves the tabs alone.
    QTest::keyClick(window.get(), Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(TabTitles().size(), 6);
}

TEST_F(MainWindowTest, ChordWorksWhereverTheKeyboardFocusIs) {
    // A user presses the chord in whatever control has the focus: a button just clicked, a
    // selector, the log, a page's field.
    Open(false);
    ConnectFirst();
    const auto chord = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    for (const char* name : {"connect", "deviceSelector", "log", "batchTotal", "currentModule"}) {
        SCOPED_TRACE(name);
        QWidget* focus = Find<QWidget>(name);
        ASSERT_NE(focus, nullptr);
        const int before = static_cast<int>(TabTitles().size());
        QTest::keyClick(focus, Qt::Key_F10, chord);
        EXPECT_NE(TabTitles().size(), before);
    }
}

// ---- Device list and connection ----

TEST_F(MainWindowTest, RefreshListsOnlyThePrinterFamily) {
    const char* json = R"({"timeScale": 0, "devices": [
        {"name": "[USB1] A", "type": 14080, "modules": [{"id": 64}]},
        {"name": "[USB2] B", "type": 14096, "modules": [{"id": 64}]},
        {"name": "[USB3] C", "type": 14079, "modules": [{"id": 64}]},
        {"name": "[USB4] D", "type": 14095, "modules": [{"id": 64}]}]})";
    ASSERT_EQ(sim.VelaSim_LoadScenario(json), 0);
    Open();
    auto* selector = Find<QComboBox>("deviceSelector");
    ASSERT_EQ(selector->count(), 2);  // 0x3700 and 0x370F; not 0x3710 nor 0x36FF
    EXPECT_EQ(selector->itemText(0), QStringLiteral("[USB1] A"));
    EXPECT_EQ(selector->itemText(1), QStringLiteral("[USB4] D"));
    EXPECT_EQ(selector->currentIndex(), 0);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetDeviceList")), 1);
}

TEST_F(MainWindowTest, ConnectOpensDrawsTheChainAndTellsThePages) {
    Open();
    // Module pictures are drawn only once a chain needs them.
    EXPECT_EQ(window->ModuleView()->PicturesDrawn(), 0);
    ConnectFirst();
    const auto opens = sim.Calls(QStringLiteral("VelaDCL_OpenDevice"));
    ASSERT_EQ(opens.size(), 1);
    EXPECT_EQ(opens[0].value(QStringLiteral("args")).toArray(),
              QJsonArray({QStringLiteral("[USB1] Halvard Card Printer"), 1, 2}));
    EXPECT_EQ(window->DeviceId(), QStringLiteral("[USB1] Halvard Card Printer"));

    const std::uint8_t chain[] = {0x10, 0x40, 0x61, 0x62, 0x50, 0x70};
    ASSERT_EQ(window->Modules().count, 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(window->Slots()[i].id, chain[i]);
    for (int i = 6; i < kModuleSlotCount; ++i)
        EXPECT_EQ(window->Slots()[i].id, 0);
    for (CSubDlgBase* page : window->Pages()) {
        EXPECT_EQ(page->Modules().count, 6);
        EXPECT_EQ(page->Modules().entries[5].id, 0x70);
    }

    // Pictures at their sizes, side by side, the row centred in the area.
    const QList<QRect>& rects = window->ModuleView()->PictureRects();
    ASSERT_EQ(rects.size(), 6);
    const int widths[] = {42, 89, 40, 40, 88, 36};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(rects[i].size(), QSize(widths[i], 133));
        EXPECT_EQ(rects[i].top(), 0);
        if (i > 0) {
            EXPECT_EQ(rects[i].left(), rects[i - 1].right() + 1);
        }
    }
    const int leftGap = rects.first().left();
    const int rightGap = window->ModuleView()->width() - 1 - rects.last().right();
    EXPECT_LE(std::abs(leftGap - rightGap), 1);
    EXPECT_GT(leftGap, 0);

    // One picture per type of the chain (I, P, F, L, O), kept for the next connection.
    EXPECT_EQ(window->ModuleView()->PicturesDrawn(), 5);
    Click("connect");
    EXPECT_TRUE(window->ModuleView()->PictureRects().isEmpty());
    Click("connect");
    EXPECT_EQ(window->ModuleView()->PictureRects().size(), 6);
    EXPECT_EQ(window->ModuleView()->PicturesDrawn(), 5);
}

TEST_F(MainWindowTest, FailedModuleListReadSaysSoAndClosesTheDeviceAgain) {
    Open();
    auto* log = Find<QPlainTextEdit>("log");
    sim.VelaSim_InjectFault("Vela_GetConnectedDevices", 0, 1, static_cast<VelaResult>(0x80001234));
    bool connectedWhileShown = true;
    ui.onMessage = [&](const ShownMessage&) {
        connectedWhileShown = window->Binding().IsConnected();
    };
    Click("connect");
    ASSERT_EQ(BoxTexts(), Texts({"Failed to Get Module List... (error=0x80001234)"}));
    EXPECT_EQ(boxes[0].style & mb::kIconMask, mb::kIconWarning);
    EXPECT_FALSE(connectedWhileShown) << "the box tells of a connection already closed";
    EXPECT_EQ(
        log->toPlainText(),
        QStringLiteral("> GET_MODULE_LIST ... Failed (0x80001234)\n  Device closed again.\n"));

    // Nothing of the connection is left, and nothing can be sent to module 0xFF.
    QStringList order;
    for (const QJsonObject& call : sim.Calls())
        order << call.value(QStringLiteral("fn")).toString();
    const qsizetype read = order.indexOf(QStringLiteral("Vela_GetConnectedDevices"));
    ASSERT_GE(read, 0);
    EXPECT_EQ(order.indexOf(QStringLiteral("VelaDCL_CloseDevice"), read), order.size() - 1);
    EXPECT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(window->Binding().IsConnected());
    EXPECT_FALSE(window->PollingActive());
    EXPECT_TRUE(window->DeviceId().isEmpty());
    EXPECT_TRUE(window->ModuleView()->PictureRects().isEmpty());
    EXPECT_EQ(window->Modules().count, 0);
    EXPECT_FALSE(
        PageOf(page_id::kMove)->findChild<QPushButton*>(QStringLiteral("cardMove"))->isEnabled());

    // "Connect" tries again.
    boxes.clear();
    ConnectFirst();
    EXPECT_EQ(window->Modules().count, 6);
    EXPECT_TRUE(window->PollingActive());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, FailedListingOpenAndCloseAreLogged) {
    sim.VelaSim_InjectFault("Vela_GetDeviceList", 0, 1, static_cast<VelaResult>(0x80000101));
    Open();
    auto* log = Find<QPlainTextEdit>("log");
    auto* selector = Find<QComboBox>("deviceSelector");
    EXPECT_EQ(selector->count(), 0);
    EXPECT_EQ(log->toPlainText(), QStringLiteral("> GET_DEVICE_LIST ... Failed (0x80000101)\n"));
    Click("refresh");
    ASSERT_GT(selector->count(), 0);

    sim.VelaSim_InjectFault("VelaDCL_OpenDevice", 0, 1, static_cast<VelaResult>(0x80000102));
    Click("connect");
    EXPECT_TRUE(log->toPlainText().endsWith(
        QStringLiteral("> OPEN_DEVICE [[USB1] Halvard Card Printer] ... Failed (0x80000102)\n")));
    EXPECT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetConnectedDevices")), 0);

    // A refused close still ends the connection here.
    ConnectFirst();
    sim.VelaSim_InjectFault("VelaDCL_CloseDevice", 0, 1, static_cast<VelaResult>(0x80000103));
    Click("connect");
    EXPECT_TRUE(
        log->toPlainText().endsWith(QStringLiteral("> CLOSE_DEVICE ... Failed (0x80000103)\n")));
    EXPECT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(window->Binding().IsConnected());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, FailedOpenChangesNothing) {
    Open();
    Find<QComboBox>("deviceSelector")->clear();
    Click("connect");
    EXPECT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(window->PollingActive());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetConnectedDevices")), 0);
    EXPECT_TRUE(window->ModuleView()->PictureRects().isEmpty());
}

class TwelveModulesTest : public TestBenchTest {
    const char* Preset() const override { return "twelve-modules"; }
};

TEST_F(TwelveModulesTest, OnlyTheFirstTenModulesAreShown) {
    Open();
    ConnectFirst();
    EXPECT_EQ(window->ModuleView()->PictureRects().size(), 10);
    const std::uint8_t chain[] = {0x10, 0x11, 0x40, 0x50, 0x61, 0x62, 0x63, 0x51, 0x30, 0x80};
    for (int i = 0; i < kModuleSlotCount; ++i)
        EXPECT_EQ(window->Slots()[i].id, chain[i]);
    // The pages still receive the whole chain.
    EXPECT_EQ(window->Pages().first()->Modules().count, 12);
    // Only the ten shown modules are polled.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->StatusImagesShown() > 0; }, 5000));
    for (const QJsonObject& call : sim.Calls(QStringLiteral("Vela_GetStatus"))) {
        const int module = call.value(QStringLiteral("args")).toArray().at(1).toInt();
        EXPECT_NE(module, 0x70);
        EXPECT_NE(module, 0x71);
    }
}

// ---- Labels ----

TEST_F(MainWindowTest, EveryBoxOfTheWindowIsNamedByAShownLabel) {
    Open();
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    const auto labelOf = [&](const char* name) {
        QWidget* box = Find(name);
        for (QLabel* label : labels)
            if (label->buddy() == box && label->isVisible())
                return label->text();
        return QString();
    };
    EXPECT_EQ(labelOf("deviceSelector"), QStringLiteral("Device :"));
    EXPECT_EQ(labelOf("preemptionToken"), QStringLiteral("Token :"));
    EXPECT_EQ(labelOf("manualMode"), QStringLiteral("Mode :"));
    EXPECT_EQ(labelOf("batchCurrent"), QStringLiteral("Iter :"));
    EXPECT_EQ(labelOf("batchTotal"), QStringLiteral("/"));
    EXPECT_EQ(labelOf("retryCount"), QStringLiteral("Limit :"));
    EXPECT_EQ(labelOf("errorCounter"), QStringLiteral("Error :"));
    EXPECT_EQ(labelOf("retryCounter"), QStringLiteral("Retry :"));
    // No box of the window's own is left out.
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        if (window->findChild<QWidget*>(QStringLiteral("pageArea"))->isAncestorOf(box) ||
            qobject_cast<QComboBox*>(box->parentWidget()))
            continue;
        EXPECT_FALSE(labelOf(qPrintable(box->objectName())).isEmpty())
            << box->objectName().toStdString();
    }
}

// ---- Preemption ----

TEST_F(MainWindowTest, RequestAndReleaseThePreemptionToken) {
    Open();
    ConnectFirst();
    auto* token = Find<QLineEdit>("preemptionToken");
    Click("request");
    ASSERT_EQ(sim.CountCalls(QStringLiteral("Vela_RequestPreemption")), 1);
    EXPECT_EQ(token->text().size(), 4);
    EXPECT_NE(token->text(), QStringLiteral("FFFF"));
    const std::uint16_t held = window->GetPreemptionToken();
    EXPECT_EQ(QString::asprintf("%04X", held), token->text());
    EXPECT_TRUE(boxes.empty());

    // A second request while a token is shown: the notice only.
    Click("request");
    EXPECT_EQ(BoxTexts(), Texts({"Already Preempted !!!"}));
    EXPECT_EQ(boxes[0].style & mb::kIconMask, mb::kIconInformation);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_RequestPreemption")), 1);

    Click("release");
    const auto releases = sim.Calls(QStringLiteral("Vela_ReleasePreemption"));
    ASSERT_EQ(releases.size(), 1);
    EXPECT_EQ(releases[0].value(QStringLiteral("args")).toArray().at(1).toInt(), held);
    EXPECT_EQ(releases[0].value(QStringLiteral("result")).toInt(), 0);
    EXPECT_EQ(token->text(), QStringLiteral("FFFF"));

    // Release with "FFFF" shown makes no call.
    Click("release");
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ReleasePreemption")), 1);
}

TEST_F(MainWindowTest, AnyShownTokenBlocksARequest) {
    Open();
    ConnectFirst();
    Find<QLineEdit>("preemptionToken")->setText(QStringLiteral("0000"));
    Click("request");
    EXPECT_EQ(BoxTexts(), Texts({"Already Preempted !!!"}));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_RequestPreemption")), 0);
    // A box that does not parse counts as no token.
    Find<QLineEdit>("preemptionToken")->setText(QStringLiteral("zz"));
    EXPECT_EQ(window->GetPreemptionToken(), 0xFFFF);
}

TEST_F(MainWindowTest, RefusedRequestWarnsAndShowsNoToken) {
    // Another connection holds the lock.
    CVelaCommBinding other;
    ASSERT_TRUE(other.LoadFrom(SimulatorLibrary()));
    const std::u16string name = u"[USB1] Halvard Card Printer";
    ASSERT_EQ(other.VelaDCL_OpenDevice(&other.m_hDevice,
                                       reinterpret_cast<const VelaChar*>(name.c_str()), 1, 2),
              0);
    std::uint16_t otherToken = 0xFFFF;
    ASSERT_EQ(other.Device(other.Vela_RequestPreemption, &otherToken), 0);

    Open();
    ConnectFirst();
    Click("request");
    EXPECT_EQ(BoxTexts(), Texts({"Failed to Get Preemption !!!"}));
    EXPECT_EQ(boxes[0].style & mb::kIconMask, mb::kIconWarning);
    EXPECT_EQ(Find<QLineEdit>("preemptionToken")->text(), QStringLiteral("FFFF"));
    window.reset();
    other.Device(other.Vela_ReleasePreemption, otherToken);
    other.VelaDCL_CloseDevice(other.m_hDevice);
    other.m_hDevice = 0;
}

// ---- Manual mode ----

TEST_F(MainWindowTest, CheckAndToggleManualMode) {
    Open();
    ConnectFirst();
    auto* mode = Find<QLineEdit>("manualMode");
    Click("checkManualMode");
    EXPECT_EQ(mode->text(), QStringLiteral("Normal Mode"));
    Click("toggleManualMode");
    EXPECT_EQ(mode->text(), QStringLiteral("MANUAL Mode"));
    EXPECT_TRUE(sim.Device().value(QStringLiteral("manualMode")).toBool());
    Click("toggleManualMode");
    EXPECT_EQ(mode->text(), QStringLiteral("Normal Mode"));
    EXPECT_TRUE(boxes.empty());
    const auto statusCalls = sim.Calls(QStringLiteral("Vela_GetStatus"));
    ASSERT_FALSE(statusCalls.isEmpty());
}

TEST_F(MainWindowTest, ManualModeFailuresShowTheirCodes) {
    Open();
    Click("checkManualMode");  // not connected: the SDK is not reached
    Click("toggleManualMode");
    EXPECT_EQ(BoxTexts(), Texts({"Error while GetStatus... (error=0xFFFFFFFF)",
                                 "Error while ToggleManualMode... (error=0xFFFFFFFF)"}));
    boxes.clear();
    ConnectFirst();
    sim.VelaSim_InjectFault("Vela_ToggleManualMode", 0, 1, static_cast<VelaResult>(0x80001234));
    Click("toggleManualMode");
    EXPECT_EQ(BoxTexts(), Texts({"Error while ToggleManualMode... (error=0x80001234)"}));
    EXPECT_EQ(boxes[0].style & mb::kIconMask, mb::kIconWarning);
    EXPECT_EQ(Find<QLineEdit>("manualMode")->text(), QString());
}

// ---- Batch controls ----

TEST_F(MainWindowTest, BatchControlsNeedADeviceAndTheMagneticTab) {
    Open();
    const char* controls[] = {"batch",     "batchCurrent",       "batchTotal",  "insertCard",
                              "ejectCard", "promptErrorMessage", "retryIfError"};
    auto allEnabled = [&](bool expected) {
        for (const char* name : controls)
            EXPECT_EQ(Find(name)->isEnabled(), expected) << name;
    };
    allEnabled(false);
    Find<QTabBar>("tabs")->setCurrentIndex(1);  // Magnetic, not connected
    allEnabled(false);
    ConnectFirst();
    allEnabled(true);
    EXPECT_FALSE(Find("retryCount")->isEnabled());
    QTest::mouseClick(Find<QCheckBox>("retryIfError"), Qt::LeftButton);
    EXPECT_TRUE(Find("retryCount")->isEnabled());
    Find<QTabBar>("tabs")->setCurrentIndex(0);  // Move
    allEnabled(false);
    EXPECT_FALSE(Find("retryCount")->isEnabled());
    Find<QTabBar>("tabs")->setCurrentIndex(1);
    Click("connect");  // disconnect
    allEnabled(false);
    EXPECT_FALSE(Find("iterFinished")->isVisible());
}

// ---- Log ----

TEST_F(MainWindowTest, LogAppendsAtTheEndWithTheCaretThere) {
    Open();
    auto* log = Find<QPlainTextEdit>("log");
    EXPECT_TRUE(log->isReadOnly());
    EXPECT_EQ(log->font().pixelSize(), 13);
    window->AppendLog("> IC_POWER_ON (mod:%02X) ... ", 0x61);
    window->AppendLog("OK\r\n");
    window->AppendLog("Failed (0x%08X)\r\n", 0x80000001u);
    // Moving the caret away does not change where text goes.
    QTextCursor start(log->document());
    log->setTextCursor(start);
    window->AppendLog("%s", "  tail");
    EXPECT_EQ(log->toPlainText(),
              QStringLiteral("> IC_POWER_ON (mod:61) ... OK\nFailed (0x80000001)\n  tail"));
    EXPECT_EQ(log->textCursor().position(), log->document()->characterCount() - 1);
    // Long lines are kept whole.
    window->AppendLogText(QString(3000, u'x'));
    EXPECT_TRUE(log->toPlainText().endsWith(QStringLiteral("tail") + QString(3000, u'x')));
}

TEST_F(MainWindowTest, LogTextFromAnotherThreadArrivesOnTheGuiThread) {
    Open();
    std::thread([&] { window->AppendLog("from worker %d\r\n", 7); }).join();
    auto* log = Find<QPlainTextEdit>("log");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log->toPlainText().isEmpty(); }, 2000));
    EXPECT_EQ(log->toPlainText(), QStringLiteral("from worker 7\n"));
}

// ---- Quick-record window ----

TEST_F(MainWindowTest, QuickRecordWindowTakesRecordedMovesAndSitsLeftOfTheWindow) {
    Open();
    EXPECT_EQ(window->MacroRecording(), 0);
    ASSERT_NE(window->QuickRecorder(), nullptr);
    EXPECT_FALSE(window->QuickRecordWindow()->isVisible());
    // Recorded moves land in the Macro page's list.
    window->QuickRecorder()->AddRecordedMove(0x10, 1, 0x40, 0x30001);
    const MacroList& items = static_cast<CSubDlgMacro*>(PageOf(page_id::kMacro))->MacroItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].type, 0);
    EXPECT_EQ(items[0].firstModule, 0x10);
    EXPECT_EQ(items[0].firstOption, 1u);
    EXPECT_EQ(items[0].secondModule, 0x40);
    EXPECT_EQ(items[0].secondOption, 0x30001u);
    EXPECT_EQ(items[0].thirdModule, 0xFF);
    EXPECT_EQ(items[0].thirdOption, 0u);

    window->show();
    window->move(600, 100);
    window->ShowQuickRecord(true);
    const QRect main = window->frameGeometry();
    const QRect quick = window->QuickRecordWindow()->frameGeometry();
    EXPECT_TRUE(window->QuickRecordWindow()->isVisible());
    EXPECT_EQ(quick.right() + 1, main.left());
    EXPECT_LE(std::abs(quick.center().y() - main.center().y()), 1);
    window->move(50, 100);
    window->ShowQuickRecord(true);
    EXPECT_EQ(window->QuickRecordWindow()->frameGeometry().left(), 0);
    window->ShowQuickRecord(false);
    EXPECT_FALSE(window->QuickRecordWindow()->isVisible());
}

// ---- Closing ----

TEST_F(MainWindowTest, EnterAndEscapeDoNotCloseTheWindow) {
    Open();
    window->show();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, DestroyReleasesTheTokenThenClosesTheDevice) {
    Open();
    ConnectFirst();
    Click("request");
    ASSERT_NE(window->GetPreemptionToken(), 0xFFFF);
    sim.VelaSim_ClearCallLog();
    window.reset();
    QStringList order;
    for (const QJsonObject& call : sim.Calls())
        order << call.value(QStringLiteral("fn")).toString();
    // Nothing is polled once the device is closed; release comes before the close.
    const qsizetype release = order.indexOf(QStringLiteral("Vela_ReleasePreemption"));
    const qsizetype close = order.indexOf(QStringLiteral("VelaDCL_CloseDevice"));
    ASSERT_GE(release, 0);
    ASSERT_GT(close, release);
    EXPECT_EQ(close, order.size() - 1);
    EXPECT_EQ(sim.Calls().last().value(QStringLiteral("result")).toInt(), 0);
}

}  // namespace
}  // namespace halvard::test
